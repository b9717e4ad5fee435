// Playing moves: recording and clocks, the pass rule and the end of a game, resignation,
// take-back, resuming at a shown position, and the last-move marker.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

// Plays 'P' (pass) or 'S' (a stone on the next free point of the first column) for the
// side to move.
HitResult playCode(GameState& g, char code, BoardPainter& p) {
    if (code == 'P') return prcHitCore(g, PassPos, g.SideToMove, p);
    for (int row = 1; row <= g.BoardSize; ++row) {
        const int pos = pt(g, 2, row);
        if (g.Board[pos] == 0) return prcHitCore(g, pos, g.SideToMove, p);
    }
    return HitResult::Occupied;
}

TEST(Play, MoveIsRecordedWithItsTimeAndTotals) {
    struct Step {
        int col, row, seconds;  // col 0 = pass
    };
    const Step steps[] = {{2, 2, 0}, {8, 8, 4}, {0, 0, 12}, {4, 6, 59}, {6, 4, 0}};
    for (int handicap : {0, 3}) {
        SCOPED_TRACE(handicap);
        GameState g = newGame(9, handicap);
        NullPainter p;
        int totals[3] = {0, 0, 0};
        int k = 0;
        for (const Step& s : steps) {
            ++k;
            const int mover = g.SideToMove;
            const int pos = s.col == 0 ? PassPos : pt(g, s.col, s.row);
            g.MoveSeconds = s.seconds;
            ASSERT_EQ(prcHitCore(g, pos, mover, p), HitResult::Legal);
            const int e = handicap + k;
            EXPECT_EQ(g.MovePos[e], pos);
            EXPECT_EQ(g.MoveColor[e], mover);
            EXPECT_EQ(g.MoveTime[e], s.seconds + 1) << "every move costs at least a second";
            totals[mover] += s.seconds + 1;
            EXPECT_EQ(g.BlackTotalSeconds, totals[Black]);
            EXPECT_EQ(g.WhiteTotalSeconds, totals[White]);
            EXPECT_EQ(g.MoveSeconds, 0);
            EXPECT_EQ(g.SideToMove, 3 - mover);
            EXPECT_EQ(g.CurrentMove, k + 1);
            EXPECT_EQ(g.MoveCount, k);
            if (pos != PassPos) {
                EXPECT_EQ(g.Board[pos], mover);
            }
        }
    }
}

TEST(Play, TwoPassesInARowEndTheGameFromMoveThreeOn) {
    struct Case {
        const char* moves;
        int endsAt;  // 1-based move whose pass ends the game; 0 = never
    };
    const Case cases[] = {
        {"PP", 0}, {"PPP", 3}, {"SPP", 3}, {"PSP", 0}, {"SSSPP", 5}, {"PSPSP", 0}, {"SPSPP", 5},
    };
    for (int handicap : {0, 4}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.moves << " handicap " << handicap);
            GameState g = newGame(13, handicap);
            NullPainter p;
            int endedAt = 0;
            for (int k = 1; c.moves[k - 1] != '\0' && endedAt == 0; ++k) {
                ASSERT_EQ(playCode(g, c.moves[k - 1], p), HitResult::Legal);
                if (c.moves[k - 1] == 'P' && passEndsGame(g)) endedAt = k;
            }
            EXPECT_EQ(endedAt, c.endsAt);
            g.MoveSeconds = 5;
            prcEndOfGameCore(g);
            EXPECT_TRUE(g.GameOver);
            EXPECT_EQ(g.EndedByPasses, c.endsAt != 0);
            EXPECT_EQ(g.MoveSeconds, 0);
        }
    }
}

TEST(Play, StoneAfterPassesNeverEndsTheGame) {
    GameState g = newGame(9);
    NullPainter p;
    for (char code : std::string("SPPS")) ASSERT_EQ(playCode(g, code, p), HitResult::Legal);
    EXPECT_FALSE(passEndsGame(g));
    prcEndOfGameCore(g);
    EXPECT_FALSE(g.EndedByPasses);
}

TEST(Play, Resignation) {
    struct Case {
        int side;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {Black, "", "W+R"},
        {White, "", "B+R"},
        {Black, "B+3.5", "B+3.5"},
        {White, "観戦記は別紙", "観戦記は別紙"},
    };
    for (const Case& c : cases) {
        GameState g = newGame(19);
        g.SideToMove = c.side;
        g.GameComment = c.before;
        const int moves = g.CurrentMove;
        resignCore(g);
        EXPECT_EQ(g.GameComment, c.after) << c.side << " " << c.before;
        EXPECT_EQ(g.CurrentMove, moves) << "no move is recorded for a resignation";
    }
}

// Black captures the white stone at (3,4) with (4,4), white answers elsewhere.
GameState gameWithCapture(MirrorPainter& p) {
    GameState g = newGame(9);
    setBoard(g, KoRows);
    p.reset(g);
    g.MoveSeconds = 4;
    EXPECT_EQ(prcHitCore(g, pt(g, 4, 4), Black, p), HitResult::Legal);
    g.MoveSeconds = 9;
    EXPECT_EQ(prcHitCore(g, pt(g, 8, 8), White, p), HitResult::Legal);
    g.MoveSeconds = 2;
    EXPECT_EQ(prcHitCore(g, PassPos, Black, p), HitResult::Legal);
    return g;
}

TEST(Play, TakeBackRestoresCapturedStonesCountsAndTimes) {
    MirrorPainter p;
    GameState g = gameWithCapture(p);
    ASSERT_EQ(g.CapturedCount[Black], 1);
    ASSERT_EQ(g.BlackTotalSeconds, 5 + 3);
    ASSERT_EQ(g.WhiteTotalSeconds, 10);

    g.MoveSeconds = 6;
    EXPECT_EQ(prcMattaCore(g, p), 1);  // the pass
    EXPECT_EQ(g.CurrentMove, 3);
    EXPECT_EQ(g.SideToMove, Black);
    EXPECT_EQ(g.BlackTotalSeconds, 5);
    EXPECT_EQ(g.MoveSeconds, 0);
    EXPECT_TRUE(p.matches(g));

    EXPECT_EQ(prcMattaCore(g, p), 1);  // white's answer
    EXPECT_EQ(g.WhiteTotalSeconds, 0);
    EXPECT_EQ(g.SideToMove, White);
    EXPECT_TRUE(p.matches(g));

    EXPECT_EQ(prcMattaCore(g, p), 1);  // the capture
    EXPECT_EQ(diagram(g, 5, 9), diagram(KoRows));
    EXPECT_EQ(g.CapturedCount[Black], 0);
    EXPECT_EQ(g.BlackTotalSeconds, 0);
    EXPECT_EQ(g.SideToMove, Black);
    EXPECT_EQ(g.CurrentMove, 1);
    EXPECT_EQ(g.MoveCount, 0);
    EXPECT_TRUE(p.matches(g));

    const GameState atStart = g;
    EXPECT_EQ(prcMattaCore(g, p), 0);
    EXPECT_TRUE(sameGame(g, atStart));
}

TEST(Play, TakeBackRemovesTwoMovesWhenOneSideIsTheComputer) {
    struct Case {
        bool blackHuman, whiteHuman;
        const char* moves;
        int taken;
        int currentAfter;
    };
    const Case cases[] = {
        {true, true, "SSS", 1, 3}, {false, false, "SSS", 1, 3}, {false, true, "SSS", 2, 2}, {true, false, "SSS", 2, 2},
        {true, false, "SS", 2, 1}, {false, true, "S", 0, 2},    {true, true, "", 0, 1},     {true, false, "SPS", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.blackHuman << c.whiteHuman << " " << c.moves);
        GameState g = newGame(9);
        g.BlackPlayerKind = c.blackHuman;
        g.WhitePlayerKind = c.whiteHuman;
        MirrorPainter p;
        p.reset(g);
        for (const char* m = c.moves; *m; ++m) ASSERT_EQ(playCode(g, *m, p), HitResult::Legal);
        const GameState before = g;
        EXPECT_EQ(mattaCount(g), c.blackHuman == c.whiteHuman ? 1 : 2);
        EXPECT_EQ(prcMattaCore(g, p), c.taken);
        EXPECT_EQ(g.CurrentMove, c.currentAfter);
        if (c.taken == 0) {
            EXPECT_TRUE(sameGame(g, before));
        } else {
            EXPECT_EQ(g.MoveCount, c.currentAfter - 1);
            EXPECT_EQ(g.SideToMove, g.MoveColor[c.currentAfter]);
        }
        EXPECT_TRUE(p.matches(g));
    }
}

TEST(Play, ResumeCutsTheRecordAtTheShownPosition) {
    GameState g = newGame(9, 2);
    MirrorPainter p;
    p.reset(g);
    for (char code : std::string("SSSSSS")) ASSERT_EQ(playCode(g, code, p), HitResult::Legal);
    prcEndOfGameCore(g);
    prcKifBack(g, 4, p);
    ASSERT_EQ(g.CurrentMove, 4);
    ASSERT_EQ(g.MoveCount, 6);
    resumeCore(g, p);
    EXPECT_EQ(g.MoveCount, 3);
    EXPECT_FALSE(g.GameOver);
    EXPECT_FALSE(g.EndedByPasses);
    EXPECT_EQ(g.LastMovePos, g.MovePos[2 + 3]);
    EXPECT_TRUE(p.matches(g));

    // The next move overwrites the cut entries.
    const int mover = g.SideToMove;
    ASSERT_EQ(prcHitCore(g, pt(g, 9, 9), mover, p), HitResult::Legal);
    EXPECT_EQ(g.MovePos[2 + 4], pt(g, 9, 9));
    EXPECT_EQ(g.MoveCount, 4);
    prcKifBack(g, 1, p);
    prcKifNext(g, g.MoveCount + 1, p);
    EXPECT_EQ(g.CurrentMove, 5);
    EXPECT_EQ(g.Board[pt(g, 9, 9)], mover);
    EXPECT_TRUE(p.matches(g));
}

TEST(Play, ResumeAfterTwoPassesClearsTheEnd) {
    GameState g = newGame(9);
    MirrorPainter p;
    p.reset(g);
    for (char code : std::string("SPP")) ASSERT_EQ(playCode(g, code, p), HitResult::Legal);
    prcEndOfGameCore(g);
    ASSERT_TRUE(g.EndedByPasses);
    prcKifBack(g, 3, p);
    resumeCore(g, p);
    EXPECT_EQ(g.MoveCount, 2);
    EXPECT_FALSE(g.EndedByPasses);
    EXPECT_TRUE(p.matches(g)) << "no stone is marked after a pass";
}

TEST(StonePut, LastMoveMarkerMoves) {
    struct Op {
        int pos, colour, mode;
        std::vector<std::string> calls;
        int lastMovePos;
    };
    // On 9 x 9: 12 is A1, 24 is B2, 36 is C3.
    const Op ops[] = {
        {12, Black, 2, {"S 12 1 m"}, 12},
        {24, White, 2, {"S 12 1", "S 24 2 m"}, 24},
        {PassPos, Black, 2, {"S 24 2"}, 24},  // a pass only unmarks
        {36, White, 0, {"S 36 2"}, 24},       // a plain stone leaves the marker alone
        {24, 0, 0, {"E 24"}, 24},             // erasing the marked stone
        {36, White, 2, {"S 36 2 m"}, 36},     // nothing left to unmark
        {36, White, 2, {"S 36 2", "S 36 2 m"}, 36},
        {PassPos, White, 0, {}, 36},
    };
    GameState g = newGame(9);
    RecordingPainter p;
    for (const Op& op : ops) {
        SCOPED_TRACE(testing::Message() << op.pos << " " << op.colour << " " << op.mode);
        p.Calls.clear();
        prcStnPut(g, op.pos, op.colour, op.mode, p);
        EXPECT_EQ(p.Calls, op.calls);
        EXPECT_EQ(g.LastMovePos, op.lastMovePos);
        if (op.pos != PassPos) {
            EXPECT_EQ(g.Board[op.pos], op.colour);
        }
    }
}

TEST(StonePut, StepsOverCapturesDrawNewestFirst) {
    // White's (2,4) takes (2,3) and (2,2), then (2,5), in that order.
    GameState g = newGame(9);
    setBoard(g, {".O.", "OXO", "OXO", "O.O", "OXO", ".O."});
    g.SideToMove = White;
    NullPainter none;
    ASSERT_EQ(prcHitCore(g, pt(g, 2, 4), White, none), HitResult::Legal);
    const auto s = [&](int col, int row) { return std::to_string(pt(g, col, row)); };
    RecordingPainter p;
    prcKifBack(g, 1, p);
    EXPECT_EQ(p.Calls, (std::vector<std::string>{"E " + s(2, 4), "S " + s(2, 5) + " 1", "S " + s(2, 2) + " 1",
                                                 "S " + s(2, 3) + " 1"}));
    p.Calls.clear();
    prcKifNext(g, 2, p);
    EXPECT_EQ(p.Calls, (std::vector<std::string>{"S " + s(2, 4) + " 2", "E " + s(2, 5), "E " + s(2, 2), "E " + s(2, 3),
                                                 // LastMovePos still names (2,4): redrawn plain first
                                                 "S " + s(2, 4) + " 2", "S " + s(2, 4) + " 2 m"}));
}

}  // namespace
}  // namespace tavrin::test
