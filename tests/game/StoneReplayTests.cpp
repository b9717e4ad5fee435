// The record replay must agree with fncHitCheck on every try: the same moves legal, and a
// legal move leaving the same board and the same captures booked in the same order.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "game/Engine.h"
#include "game/StoneReplay.h"
#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

::testing::AssertionResult sameAfterMove(const GameState& want, const GameState& got, int k) {
    if (want.Board != got.Board)
        return ::testing::AssertionFailure() << "Board\n"
                                             << diagram(want, want.BoardSize, want.BoardSize) << "\n"
                                             << diagram(got, got.BoardSize, got.BoardSize);
    if (want.CapturedCount != got.CapturedCount) return ::testing::AssertionFailure() << "CapturedCount";
    if (want.MoveCaptures[k] != got.MoveCaptures[k]) return ::testing::AssertionFailure() << "MoveCaptures";
    const int top = want.CapturedCount[1] + want.CapturedCount[2];
    for (int j = 1; j <= top; ++j) {
        if (want.CapturedPos[j] != got.CapturedPos[j])
            return ::testing::AssertionFailure() << "CapturedPos[" << j << "]";
    }
    return ::testing::AssertionSuccess();
}

TEST(StoneReplay, AgreesWithTheMoveCheckOnRandomGames) {
    std::mt19937 rng(20261207);
    const int sizes[] = {9, 9, 13, 19};
    const int handicaps[] = {0, 0, 0, 2, 5, 9};
    NullPainter painter;
    int legal = 0, refused = 0, captures = 0, kos = 0, suicides = 0;
    for (int game = 0; game < 400; ++game) {
        const int size = sizes[game % 4];
        // want goes through the check and prcHitCore; got through the replay, as a reader
        // uses it.
        GameState want = newGame(size, handicaps[rng() % 6]);
        const GameState start = want;
        GameState got = want;
        std::vector<int> colours{0}, positions{0};  // the legal moves, from 1
        StoneReplay replay(got);
        std::uniform_int_distribution<int> line(1, size);
        const int length = std::uniform_int_distribution<int>(1, size * size * 2)(rng);
        for (int k = 1; k <= length; ++k) {
            const int colour = want.SideToMove;
            // Most tries on the board, a few passes, some on the border or on stones.
            int pos = pt(want, line(rng), line(rng));
            if (rng() % 40 == 0) pos = PassPos;
            if (rng() % 60 == 0) pos = pt(want, 0, line(rng));
            // Retaking at once where the last move took a single stone: often a ko.
            const int top = want.CapturedCount[1] + want.CapturedCount[2];
            if (want.MoveCaptures[want.CurrentMove - 1] == 1 && rng() % 2 == 0) {
                pos = want.CapturedPos[top];
            }

            GameState tried = want;
            const HitResult r = fncHitCheck(tried, pos, colour, painter);
            if (r != HitResult::Legal) {
                GameState scratch = got;
                StoneReplay probe(replay, scratch);
                ASSERT_FALSE(probe.play(pos, colour)) << "game " << game << " try " << k;
                ++refused;
                kos += r == HitResult::Ko;
                suicides += r == HitResult::Suicide;
                continue;
            }
            ASSERT_EQ(prcHitCore(want, pos, colour, painter), HitResult::Legal);
            const int move = got.CurrentMove;
            ASSERT_TRUE(replay.play(pos, colour)) << "game " << game << " try " << k;
            got.CurrentMove = move + 1;
            ASSERT_TRUE(sameAfterMove(want, got, move)) << "game " << game << " move " << move;
            colours.push_back(colour);
            positions.push_back(pos);
            ++legal;
            captures += want.MoveCaptures[move] > 0;
        }
        // The same moves as one list, the way a record is loaded.
        GameState whole = start;
        StoneReplay list(whole);
        const int count = static_cast<int>(colours.size()) - 1;
        ASSERT_EQ(list.playMoves(colours.data(), positions.data(), count), count) << "game " << game;
        EXPECT_EQ(whole.CurrentMove, count + 1);
        EXPECT_TRUE(sameAfterMove(want, whole, count)) << "game " << game;
        EXPECT_EQ(whole.MovePos, want.MovePos) << "game " << game;
        EXPECT_EQ(whole.MoveColor, want.MoveColor) << "game " << game;
        EXPECT_EQ(whole.MoveCaptures, want.MoveCaptures) << "game " << game;
        // A refused move (here the board's corner) stops the list there.
        if (count >= 1) {
            GameState stopped = start;
            StoneReplay again(stopped);
            std::vector<int> broken = positions;
            broken[count] = 0;
            EXPECT_EQ(again.playMoves(colours.data(), broken.data(), count), count - 1);
            // So does a pass of neither colour: an entry the record never filled.
            GameState gap = start;
            StoneReplay third(gap);
            std::vector<int> blank = colours;
            broken[count] = PassPos;
            blank[count] = 0;
            EXPECT_EQ(third.playMoves(blank.data(), broken.data(), count), count - 1);
        }
    }
    // Random play on small boards reaches every case, or the test proves little.
    EXPECT_GT(captures, 500);
    EXPECT_GT(kos, 50);
    EXPECT_GT(suicides, 50);
    std::printf("%d legal moves (%d capturing), %d refused tries (%d ko, %d suicide)\n", legal, captures, refused, kos,
                suicides);
}

}  // namespace
}  // namespace tavrin::test
