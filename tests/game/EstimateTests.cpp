// The rough judgement on positions whose answer any player sees at a glance.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "game/Estimate.h"
#include "tests/game/TestBoard.h"

namespace tavrin {
namespace {

using test::pt;

// A position from a diagram (rows joined by '/', the rows left out empty), then SGF points
// played on it with captures, black first.
GameState position(int size, const std::string& board, const std::string& moves, int komiTenths) {
    GameState g = test::newGame(size, 0, komiTenths);
    for (std::size_t i = 0, row = 1, col = 1; i < board.size(); ++i, ++col) {
        if (board[i] == '/') row += 1, col = 0;
        if (board[i] == 'X' || board[i] == 'O') g.Board[pt(g, int(col), int(row))] = board[i] == 'X' ? Black : White;
    }
    NullPainter p;
    for (std::size_t i = 0; i + 1 < moves.size(); i += 3)
        prcHitCore(g, pt(g, moves[i] - 'a' + 1, moves[i + 1] - 'a' + 1), g.SideToMove, p);
    return g;
}

TEST(Estimate, LeadAndDeadStonesOfPositionsAPlayerJudgesAtAGlance) {
    std::string halves;
    for (int row = 1; row <= 9; ++row) halves += "...X.O.../";
    // What, board size, diagram, moves, komi, the lead's range in tenths, dead black and white stones.
    const std::tuple<const char*, int, std::string, const char*, int, int, int, int, int> rows[] = {
        {"four corners, each side's the other's mirror image", 19, "", "dd pd pp dp", 65, -65, -65, 0, 0},
        {"an even opening, move 9 of a title game", 19, "", "qd dc dq qp ce dn cl ed oq", 55, -80, 80, 0, 0},
        {"halves walled off", 9, halves, "", 0, 0, 0, 0, 0},
        {"a white stone in black's closed wall", 9, "/..XXXX.../..X..X.../..X.OX.../..XXXX...///......O..", "", 0, 100,
         400, 0, 1},
        {"a small group with two eyes in the corner", 9, ".X.XO..../XXXXO..../OOOOO....", "", 0, -810, 0, 0, 0},
        {"two chains in the corner sharing their last liberty: neither is dead", 9,
         ".XOX...../OXOX...../OOOX...../XXXX.....", "", 0, 0, 300, 0, 0},
    };
    for (const auto& [what, size, board, moves, komi, lo, hi, blackDead, whiteDead] : rows) {
        SCOPED_TRACE(what);
        const PositionEstimate e = fncEstimate(position(size, board, moves, komi));
        EXPECT_TRUE(e.LeadTenths >= lo && e.LeadTenths <= hi) << e.LeadTenths;
        EXPECT_EQ(std::pair(e.BlackDead, e.WhiteDead), std::pair(blackDead, whiteDead));
    }
}

}  // namespace
}  // namespace tavrin
