// The record replay must agree with fncHitCheck on every try: the same moves legal, and a
// legal move leaving the same board and the same captures booked in the same order.

#include <gtest/gtest.h>

#include <random>

#include "game/Engine.h"
#include "game/StoneReplay.h"
#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

::testing::AssertionResult sameAfterMove(const GameState& want, const GameState& got, int k) {
    if (want.Board != got.Board)
        return ::testing::AssertionFailure() << "Board\n" << diagram(want, want.BoardSize, want.BoardSize) << "\n" << diagram(got, got.BoardSize, got.BoardSize);
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
        GameState got = want;
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
            ++legal;
            captures += want.MoveCaptures[move] > 0;
        }
    }
    // Random play on small boards reaches every case, or the test proves little.
    EXPECT_GT(captures, 500);
    EXPECT_GT(kos, 50);
    EXPECT_GT(suicides, 50);
    std::printf("%d legal moves (%d capturing), %d refused tries (%d ko, %d suicide)\n", legal,
                captures, refused, kos, suicides);
}

}  // namespace
}  // namespace tavrin::test
