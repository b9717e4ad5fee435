// Random legal games: stepping through the record must reproduce every position exactly.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>
#include <vector>

#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

struct Snapshot {
    std::array<int, BoardCells> Board;
    std::array<int, 3> CapturedCount;
    int BlackTotal, WhiteTotal, SideToMove;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snap(const GameState& g) {
    return {g.Board, g.CapturedCount, g.BlackTotalSeconds, g.WhiteTotalSeconds, g.SideToMove};
}

::testing::AssertionResult at(const GameState& g, const std::vector<Snapshot>& shots, const MirrorPainter& p) {
    const Snapshot now = snap(g);
    const Snapshot& want = shots[g.CurrentMove - 1];
    if (now.Board != want.Board) return ::testing::AssertionFailure() << "Board";
    if (now.CapturedCount != want.CapturedCount) return ::testing::AssertionFailure() << "CapturedCount";
    if (now.BlackTotal != want.BlackTotal || now.WhiteTotal != want.WhiteTotal)
        return ::testing::AssertionFailure() << "time totals";
    if (now.SideToMove != want.SideToMove) return ::testing::AssertionFailure() << "SideToMove";
    return p.matches(g);
}

// Plays one random legal move (or a pass) for the side to move; refused tries change
// nothing and are simply retried elsewhere.
void playRandomMove(GameState& g, std::mt19937& rng, BoardPainter& p, int& refusals) {
    std::uniform_int_distribution<int> line(1, g.BoardSize);
    g.MoveSeconds = std::uniform_int_distribution<int>(0, 40)(rng);
    if (rng() % 25 != 0) {
        for (int tries = 0; tries < 30; ++tries) {
            const int pos = pt(g, line(rng), line(rng));
            const HitResult r = prcHitCore(g, pos, g.SideToMove, p);
            if (r == HitResult::Legal) return;
            ++refusals;
        }
    }
    ASSERT_EQ(prcHitCore(g, PassPos, g.SideToMove, p), HitResult::Legal);
}

TEST(RandomGames, SteppingReproducesEveryPosition) {
    std::mt19937 rng(20240501);
    const int sizes[] = {9, 13, 19};
    const int handicaps[] = {0, 0, 2, 3, 4, 5, 6, 7, 8, 9};
    int totalMoves = 0, totalCaptures = 0, refusals = 0, kos = 0;
    for (int game = 0; game < 1200; ++game) {
        const int size = sizes[game % 3];
        GameState g = newGame(size, handicaps[rng() % 10]);
        MirrorPainter p;
        p.reset(g);
        // Long enough for many captures and some kos on the small boards.
        const int length = std::uniform_int_distribution<int>(1, size * size * 3 / 2 + 20)(rng);
        std::vector<Snapshot> shots{snap(g)};
        for (int k = 1; k <= length; ++k) {
            ASSERT_NO_FATAL_FAILURE(playRandomMove(g, rng, p, refusals));
            shots.push_back(snap(g));
            ASSERT_TRUE(p.matches(g)) << "game " << game << " move " << k;
            kos += g.MoveCaptures[k] == 1 && k > 1 && g.MoveCaptures[k - 1] == 1;
        }
        totalMoves += g.MoveCount;
        totalCaptures += g.CapturedCount[1] + g.CapturedCount[2];
        prcEndOfGameCore(g);

        prcKifBack(g, 1, p);
        ASSERT_EQ(g.CurrentMove, 1);
        ASSERT_TRUE(at(g, shots, p)) << "game " << game << " at the start";
        prcKifNext(g, g.MoveCount + 1, p);
        ASSERT_EQ(g.CurrentMove, length + 1);
        ASSERT_TRUE(at(g, shots, p)) << "game " << game << " at the end";
        for (int jump = 0; jump < 12; ++jump) {
            const int target = std::uniform_int_distribution<int>(1, length + 1)(rng);
            if (target < g.CurrentMove)
                prcKifBack(g, target, p);
            else
                prcKifNext(g, target, p);
            ASSERT_EQ(g.CurrentMove, target);
            ASSERT_TRUE(at(g, shots, p)) << "game " << game << " jump to " << target;
        }
        // Single steps in both directions from wherever the jumps ended.
        while (g.CurrentMove > 1) {
            prcKifBack(g, g.CurrentMove - 1, p);
            ASSERT_TRUE(at(g, shots, p)) << "game " << game << " back to " << g.CurrentMove;
        }
        while (g.CurrentMove <= g.MoveCount) {
            prcKifNext(g, g.CurrentMove + 1, p);
            ASSERT_TRUE(at(g, shots, p)) << "game " << game << " forward to " << g.CurrentMove;
        }
    }
    // The games must really exercise captures and refusals, or the test proves little.
    EXPECT_GT(totalCaptures, totalMoves / 10);
    EXPECT_GT(refusals, 1000);
    EXPECT_GT(kos, 100);
    std::printf("%d games, %d moves, %d captured stones, %d refused tries, %d single-stone retakes\n", 1200, totalMoves,
                totalCaptures, refusals, kos);
    RecordProperty("moves", totalMoves);
    RecordProperty("captures", totalCaptures);
}

}  // namespace
}  // namespace tavrin::test
