// The rough judgement on positions whose answer any player sees at a glance.

#include <gtest/gtest.h>

#include <string>

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
    struct Row {
        const char* what;
        int size;
        std::string board, moves;
        int komi, lo, hi;  // the lead in tenths lies in [lo, hi]
        int blackDead, whiteDead;
    };
    const Row rows[] = {
        {"the empty board: komi alone", 19, "", "", 65, -65, -65, 0, 0},
        {"four corners, each side's the other's mirror image", 19, "", "dd pd pp dp", 65, -65, -65, 0, 0},
        {"an even opening, move 9 of a title game", 19, "", "qd dc dq qp ce dn cl ed oq", 55, -80, 80, 0, 0},
        {"the same game at move 30", 19, "",
         "qd dd fc cf pp od dp ec mc ne me mf md pc lf nf lg fd qg qc qj jq lq gq eq re qp pk qk pl", 55, -100, 100, 0,
         0},
        {"halves walled off", 9, halves, "", 0, 0, 0, 0, 0},
        {"a white stone in black's closed wall", 9, "/..XXXX.../..X..X.../..X.OX.../..XXXX...///......O..", "", 0, 100,
         400, 0, 1},
        {"a small group with two eyes in the corner", 9, ".X.XO..../XXXXO..../OOOOO....", "", 0, -810, 0, 0, 0},
        {"two chains in the corner sharing their last liberty: neither is dead", 9,
         ".XOX...../OXOX...../OOOX...../XXXX.....", "", 0, 0, 300, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const PositionEstimate e = fncEstimate(position(r.size, r.board, r.moves, r.komi));
        EXPECT_GE(e.LeadTenths, r.lo);
        EXPECT_LE(e.LeadTenths, r.hi);
        EXPECT_EQ(e.BlackDead, r.blackDead);
        EXPECT_EQ(e.WhiteDead, r.whiteDead);
    }
}

}  // namespace
}  // namespace tavrin
