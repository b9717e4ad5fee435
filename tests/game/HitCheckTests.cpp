// The legality check: captures and their booking order, ko, suicide, occupied points, capacity.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

using Point = std::pair<int, int>;  // (column, row)

struct CaptureCase {
    const char* name;
    std::vector<const char*> before;  // 9 x 9, rows from the top
    Point move;
    int colour;
    HitResult result;
    std::vector<Point> captured;  // CapturedPos in booking order
    std::vector<const char*> after;
};

const CaptureCase CaptureCases[] = {
    {"up group of two, then the single stone below",
     {".O.", "OXO", "OXO", "O.O", "OXO", ".O."},
     {2, 4},
     White,
     HitResult::Legal,
     {{2, 3}, {2, 2}, {2, 5}},
     {".O.", "O.O", "O.O", "OOO", "O.O", ".O."}},
    {"right group before left group",
     {".XX.X.", "XOO.OX", ".XX.X."},
     {4, 2},
     Black,
     HitResult::Legal,
     {{5, 2}, {3, 2}, {2, 2}},
     {".XX.X.", "X..X.X", ".XX.X."}},
    {"a group is booked in search order from the touching stone",
     {".XXX.", "XOOOX", ".XXOX", "..XOX", "....."},
     {4, 5},
     Black,
     HitResult::Legal,
     {{4, 4}, {4, 3}, {4, 2}, {3, 2}, {2, 2}},
     {".XXX.", "X...X", ".XX.X", "..X.X", "...X."}},
    {"filling the own last liberty while capturing is legal",
     {".XO", "XO.", "O.."},
     {1, 1},
     White,
     HitResult::Legal,
     {{2, 1}, {1, 2}},
     {"O.O", ".O.", "O.."}},
    {"suicide of a single stone on the first line",
     {"X.X", ".X."},
     {2, 1},
     White,
     HitResult::Suicide,
     {},
     {"X.X", ".X."}},
    {"suicide of a two-stone group on the first line",
     {"O.X", "XX."},
     {2, 1},
     White,
     HitResult::Suicide,
     {},
     {"O.X", "XX."}},
    {"first-line stone joining a group that has a liberty",
     {"O.X", ".X."},
     {2, 1},
     White,
     HitResult::Legal,
     {},
     {"OOX", ".X."}},
    {"suicide in the middle with all four neighbours occupied",
     {".X.", "X.X", ".X."},
     {2, 2},
     White,
     HitResult::Suicide,
     {},
     {".X.", "X.X", ".X."}},
    {"occupied point", {"XO"}, {2, 1}, Black, HitResult::Occupied, {}, {"XO"}},
};

TEST(HitCheck, CapturesSuicideAndOccupied) {
    for (const CaptureCase& c : CaptureCases) {
        SCOPED_TRACE(c.name);
        GameState g = newGame(9);
        setBoard(g, c.before);
        g.SideToMove = c.colour;
        const GameState before = g;
        RecordingPainter p;
        const int pos = pt(g, c.move.first, c.move.second);
        const HitResult r = prcHitCore(g, pos, c.colour, p);
        EXPECT_EQ(r, c.result);

        std::vector<int> wantCaptured;
        std::vector<std::string> wantCalls;
        for (const Point& s : c.captured) {
            wantCaptured.push_back(pt(g, s.first, s.second));
            wantCalls.push_back("E " + std::to_string(wantCaptured.back()));
        }
        const std::vector<int> captured =
            g.CapturedPos.slice(1, static_cast<size_t>(1 + g.CapturedCount[1] + g.CapturedCount[2]));
        EXPECT_EQ(captured, wantCaptured);
        EXPECT_EQ(g.MoveCaptures[1], static_cast<int>(wantCaptured.size()));
        EXPECT_EQ(g.CapturedCount[c.colour], static_cast<int>(wantCaptured.size()));
        EXPECT_EQ(g.CapturedCount[3 - c.colour], 0);

        const int rows = static_cast<int>(c.after.size());
        const int cols = static_cast<int>(std::string(c.after.front()).size());
        EXPECT_EQ(diagram(g, rows, cols), diagram(c.after));

        if (r == HitResult::Legal) {
            wantCalls.push_back("S " + std::to_string(pos) + " " + std::to_string(c.colour) + " m");
            EXPECT_EQ(p.Calls, wantCalls);
        } else {
            EXPECT_TRUE(p.Calls.empty());
            EXPECT_TRUE(sameGame(g, before));
        }
    }
}

TEST(HitCheck, RefusalTexts) {
    EXPECT_STREQ(hitRefusalText(HitResult::Ko), "コウです。すぐには打てません。");
    EXPECT_STREQ(hitRefusalText(HitResult::Suicide), "自殺手は打てません。");
    EXPECT_STREQ(hitRefusalText(HitResult::Occupied), "");
    EXPECT_STREQ(hitRefusalText(HitResult::Legal), "");
    EXPECT_STRNE(hitRefusalText(HitResult::Full), "");
}

TEST(HitCheck, BorderCellsAndPointsOffTheBoardAreOccupied) {
    GameState g = newGame(9);
    const GameState before = g;
    RecordingPainter p;
    for (int pos : {0, 5, 10, 11, 21, 110, 120, -1, 121, 440, 441, 998, 1000}) {
        EXPECT_EQ(fncHitCheck(g, pos, Black, p), HitResult::Occupied) << pos;
    }
    EXPECT_EQ(fncHitCheck(g, pt(g, 1, 1), 0, p), HitResult::Occupied) << "no such colour";
    EXPECT_EQ(fncHitCheck(g, pt(g, 1, 1), 3, p), HitResult::Occupied) << "no such colour";
    EXPECT_TRUE(sameGame(g, before));
    EXPECT_TRUE(p.Calls.empty());
}

TEST(HitCheck, PassIsLegalOnAFullBoard) {
    GameState g = newGame(9);
    for (int i = 0; i <= g.BoardLast; ++i)
        if (g.Board[i] == 0) g.Board[i] = Black;
    RecordingPainter p;
    EXPECT_EQ(fncHitCheck(g, PassPos, White, p), HitResult::Legal);
    EXPECT_EQ(g.MoveCaptures[1], 0);
    EXPECT_TRUE(p.Calls.empty());
}

// A ko in the middle of 9 x 9; black takes at (4,4), white may not retake at (3,4) at once.
GameState koPosition() {
    GameState g = newGame(9);
    setBoard(g, KoRows);
    return g;
}

TEST(HitCheck, KoRetakeWaitsForOneMove) {
    struct Case {
        const char* name;
        std::vector<std::pair<Point, int>> between;  // moves after black's take; (0,0) = pass
        HitResult retake;
    };
    const Case cases[] = {
        {"at once", {}, HitResult::Ko},
        {"after a pass by each side", {{{0, 0}, White}, {{0, 0}, Black}}, HitResult::Legal},
        {"after a move elsewhere by each side", {{{8, 8}, White}, {{9, 9}, Black}}, HitResult::Legal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState g = koPosition();
        NullPainter p;
        ASSERT_EQ(prcHitCore(g, pt(g, 4, 4), Black, p), HitResult::Legal);
        ASSERT_EQ(g.MoveCaptures[1], 1);
        ASSERT_EQ(g.CapturedPos[1], pt(g, 3, 4));
        for (const auto& [where, colour] : c.between) {
            const int pos = where.first == 0 ? PassPos : pt(g, where.first, where.second);
            ASSERT_EQ(prcHitCore(g, pos, colour, p), HitResult::Legal);
        }
        const GameState before = g;
        EXPECT_EQ(prcHitCore(g, pt(g, 3, 4), White, p), c.retake);
        if (c.retake == HitResult::Legal) {
            EXPECT_EQ(g.Board[pt(g, 4, 4)], 0);
            EXPECT_EQ(g.Board[pt(g, 3, 4)], White);
            EXPECT_EQ(g.CapturedCount[White], 1);
        } else {
            EXPECT_TRUE(sameGame(g, before));
            // After the refusal black may still play on; the ko stays intact.
            EXPECT_EQ(g.Board[pt(g, 4, 4)], Black);
        }
    }
}

TEST(HitCheck, RetakeCapturingTwoStonesIsNoKo) {
    // Black takes one stone at (3,1) with (2,1); white's answer on (3,1) takes two stones.
    GameState g = newGame(9);
    setBoard(g, {"X.OX.", "OOXO.", "....."});
    NullPainter p;
    ASSERT_EQ(prcHitCore(g, pt(g, 2, 1), Black, p), HitResult::Legal);
    ASSERT_EQ(g.MoveCaptures[1], 1);
    ASSERT_EQ(g.CapturedPos[1], pt(g, 3, 1));
    EXPECT_EQ(prcHitCore(g, pt(g, 3, 1), White, p), HitResult::Legal);
    EXPECT_EQ(g.MoveCaptures[2], 2);
    EXPECT_EQ(diagram(g, 3, 5), diagram({"..OX.", "OOXO.", "....."}));
    // Taking the single white stone back at once is allowed: the last move took two.
    EXPECT_EQ(prcHitCore(g, pt(g, 2, 1), Black, p), HitResult::Legal);
    EXPECT_EQ(g.MoveCaptures[3], 1);
}

TEST(HitCheck, GamesGoOnPastAThousandMoves) {
    for (const int handicap : {0, 2, 9}) {
        SCOPED_TRACE(handicap);
        GameState g = newGame(19, handicap);
        NullPainter p;
        for (int k = 1; k <= 2100; ++k)
            ASSERT_EQ(prcHitCore(g, PassPos, g.SideToMove, p), HitResult::Legal) << "move " << k;
        ASSERT_EQ(prcHitCore(g, pt(g, 10, 3), g.SideToMove, p), HitResult::Legal);
        EXPECT_EQ(g.MoveCount, 2101);
        EXPECT_EQ(g.MovePos[static_cast<size_t>(handicap + 2101)], pt(g, 10, 3));
        EXPECT_EQ(g.MoveColor[static_cast<size_t>(handicap + 2101)], handicap ? White : Black);
    }
}

TEST(HitCheck, CapturedStackNeverOverflows) {
    // A state whose captured stack is already at its end (cannot happen in play) must refuse
    // a capture of two groups and put back the group it already took.
    GameState g = newGame(9);
    setBoard(g, {".O.", "OXO", "O.O", "OXO", "OXO", ".O."});
    g.CapturedCount[1] = RecordCapacity - 2;
    const GameState before = g;
    MirrorPainter p;
    p.reset(g);
    EXPECT_EQ(prcHitCore(g, pt(g, 2, 3), White, p), HitResult::Full);
    EXPECT_TRUE(sameGame(g, before));
    EXPECT_EQ(p.Shown[pt(g, 2, 2)], Black) << "the stone taken first is drawn again";
    // With room for all three the same move captures them.
    g.CapturedCount[1] = RecordCapacity - 3;
    EXPECT_EQ(prcHitCore(g, pt(g, 2, 3), White, p), HitResult::Legal);
    EXPECT_EQ(g.CapturedCount[1] + g.CapturedCount[2], RecordCapacity);
    EXPECT_EQ(g.CapturedPos[RecordCapacity], pt(g, 2, 5));
}

}  // namespace
}  // namespace tavrin::test
