// The rough judgement on positions whose answer any player sees at a glance.

#include <gtest/gtest.h>

#include <vector>

#include "game/Estimate.h"
#include "tests/game/TestBoard.h"

namespace tavrin {
namespace {

using test::pt;

GameState board(int size, const std::vector<const char*>& rows, int komiTenths = 0) {
    GameState g = test::newGame(size, 0, komiTenths);
    test::setBoard(g, rows);
    return g;
}

TEST(Estimate, LoneCornerStoneOwnsItsCorner) {
    for (const int size : {9, 13, 19}) {
        SCOPED_TRACE(size);
        GameState g = test::newGame(size, 0, 0);
        g.Board[pt(g, 3, 3)] = Black;
        g.Board[pt(g, size - 2, size - 2)] = White;
        const PositionEstimate e = fncEstimate(g);
        for (int c = 1; c <= 3; ++c) {
            for (int r = 1; r <= 3; ++r) {
                EXPECT_EQ(e.Owner[pt(g, c, r)], Black) << c << "," << r;
                EXPECT_EQ(e.Owner[pt(g, size + 1 - c, size + 1 - r)], White) << c << "," << r;
            }
        }
        EXPECT_EQ(e.BlackArea, e.WhiteArea);
        EXPECT_EQ(e.LeadTenths, 0);
    }
}

TEST(Estimate, EmptyAndSymmetricPositions) {
    const GameState empty = test::newGame(19, 0, 65);
    const PositionEstimate e0 = fncEstimate(empty);
    EXPECT_EQ(e0.BlackArea + e0.WhiteArea, 0);
    EXPECT_EQ(e0.LeadTenths, -65);  // komi alone

    // Four corners, each side two diagonal ones: a mirror image colour for colour.
    std::vector<const char*> rows(19, "...................");
    rows[3] = "...X...........O...";
    rows[15] = "...O...........X...";
    const PositionEstimate e = fncEstimate(board(19, rows, 65));
    EXPECT_GT(e.BlackArea, 0);
    EXPECT_EQ(e.BlackArea, e.WhiteArea);
    EXPECT_EQ(e.LeadTenths, -65);
}

TEST(Estimate, FrameworkLeads) {
    // Black's six stones frame the upper half; White holds two lower corners.
    std::vector<const char*> rows(19, "...................");
    rows[3] = "...X.....X.....X...";
    rows[9] = "...X.....X.....X...";
    rows[15] = "...O...........O...";
    const PositionEstimate e = fncEstimate(board(19, rows, 65));
    EXPECT_EQ(e.Owner[pt(board(19, rows), 4, 7)], Black);  // between two of its stones
    EXPECT_GT(e.BlackArea, 2 * e.WhiteArea);
    EXPECT_GT(e.LeadTenths, 300);
}

TEST(Estimate, EnclosedStoneIsDead) {
    // A white stone inside a closed black wall has no room and no eyes.
    const GameState g = board(9, {".........", "..XXXX...", "..X..X...", "..X.OX...", "..XXXX...", ".........",
                                  ".........", "......O..", "........."});
    const PositionEstimate e = fncEstimate(g);
    EXPECT_EQ(e.Owner[pt(g, 5, 4)], Black);
    EXPECT_EQ(e.Owner[pt(g, 4, 3)], Black);
    EXPECT_EQ(e.BlackPrisoners, 1);
    EXPECT_EQ(e.Owner[pt(g, 7, 8)], White);  // the lone stone outside lives

    // A group with two eyes in the corner lives, however small.
    const GameState eyes = board(9, {".X.XO....", "XXXXO....", "OOOOO....", ".........", ".........", ".........",
                                     ".........", ".........", "........."});
    const PositionEstimate e2 = fncEstimate(eyes);
    EXPECT_EQ(e2.Owner[pt(eyes, 2, 2)], Black);
    EXPECT_EQ(e2.Owner[pt(eyes, 1, 1)], Black);
    EXPECT_EQ(e2.Owner[pt(eyes, 3, 1)], Black);
    EXPECT_EQ(e2.WhitePrisoners, 0);
}

}  // namespace
}  // namespace tavrin
