// The commands that bring an engine's board to Tavrin's game: from nothing (handicap stones,
// passes, komi) and from what the engine already has (undo against replaying), checked line by
// line and, for many random games, by reading the commands back into a board.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Gtp.h"
#include "formats/SgfReader.h"
#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

using gtp::Command;
using gtp::Game;
using gtp::Stone;

std::vector<std::string> lines(const std::optional<std::vector<Command>>& plan) {
    std::vector<std::string> out;
    if (!plan) return {"(no plan)"};
    for (const Command& c : *plan) {
        std::string l = c.line();
        l.pop_back();
        out.push_back(l);
    }
    return out;
}

using Lines = std::vector<std::string>;

// Plays the moves through the engine as the window does; 0 stands for a pass.
void play(GameState& g, const std::vector<int>& moves) {
    NullPainter p;
    for (int pos : moves) {
        ASSERT_EQ(prcHitCore(g, pos == 0 ? PassPos : pos, g.SideToMove, p), HitResult::Legal) << pos;
    }
}

TEST(SyncPlan, FromNothing) {
    struct Row {
        const char* what;
        int size, handicap, komiTenths;
        std::vector<std::pair<int, int>> moves;  // (column, row from the top); (0, 0) = pass
        Lines expected;
    };
    const std::vector<Row> rows = {
        {"empty 19x19", 19, 0, 65, {}, {"boardsize 19", "clear_board", "komi 6.5"}},
        {"moves and a pass",
         19,
         0,
         65,
         {{16, 4}, {4, 16}, {0, 0}, {3, 17}},
         {"boardsize 19", "clear_board", "komi 6.5", "play B Q16", "play W D4", "play B pass", "play W C3"}},
        {"two stones on 9x9",
         9,
         2,
         5,
         {{5, 5}, {0, 0}, {0, 0}},
         {"boardsize 9", "clear_board", "komi 0.5", "set_free_handicap G7 C3", "play W E5", "play B pass",
          "play W pass"}},
        {"three stones on 13x13",
         13,
         3,
         0,
         {},
         {"boardsize 13", "clear_board", "komi 0", "set_free_handicap K10 D4 D10"}},
        {"four stones on 19x19",
         19,
         4,
         -55,
         {{1, 19}},
         {"boardsize 19", "clear_board", "komi -5.5", "set_free_handicap Q16 D4 D16 Q4", "play W A1"}},
        {"five stones: the centre last",
         19,
         5,
         5,
         {},
         {"boardsize 19", "clear_board", "komi 0.5", "set_free_handicap Q16 D4 D16 Q4 K10"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GameState g = newGame(r.size, r.handicap, r.komiTenths);
        std::vector<int> moves;
        for (auto [c, row] : r.moves) moves.push_back(c == 0 ? 0 : pt(g, c, row));
        play(g, moves);
        EXPECT_EQ(lines(gtp::syncPlan(gtp::gameOf(g))), r.expected);
    }
}

// A record with setup between its moves: its moves do not make the position, so the engine
// is given the stones shown; a record whose moves make it keeps its moves.
TEST(SyncPlan, SetupBetweenTheMovesSendsThePositionShown) {
    const struct {
        const char* sgf;
        Lines tail;  // after boardsize, clear_board and komi
    } rows[] = {
        {"(;SZ[9]AB[aa]AW[ba];B[ab];W[bb])", {"play B A9", "play W B9", "play B A8", "play W B8"}},
        // B[aa] is taken away and white plays there.
        {"(;SZ[9];B[aa];AE[aa];W[aa];B[cc])", {"play W A9", "play B C7"}},
        {"(;SZ[9];B[aa];W[bb];AB[ee])", {"play B A9", "play W B8", "play B E5"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.sgf);
        GameState g;
        TextBuffer buf;
        buf.setText(r.sgf);
        ASSERT_TRUE(fncStringsToKif(g, buf, "").ok());
        Lines want = {"boardsize 9", "clear_board", "komi 0"};
        want.insert(want.end(), r.tail.begin(), r.tail.end());
        EXPECT_EQ(lines(gtp::syncPlan(gtp::gameOf(g))), want);
    }
}

TEST(SyncPlan, SetupStonesSetFreeHandicapCannotTake) {
    GameState g = newGame(9);
    const int e5 = pt(g, 5, 5), c3 = pt(g, 3, 7), g7 = pt(g, 7, 3);
    struct Row {
        const char* what;
        std::vector<Stone> setup;
        Lines tail;  // after boardsize, clear_board and komi
    };
    const std::vector<Row> rows = {
        {"one stone", {{Black, e5}}, {"play B E5"}},
        {"a white stone among them", {{Black, c3}, {White, e5}, {Black, g7}}, {"play B C3", "play W E5", "play B G7"}},
        {"black stones in record order", {{Black, e5}, {Black, c3}}, {"set_free_handicap E5 C3"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Game game{9, 65, r.setup, {{White, g7 + 1}}};
        Lines expected{"boardsize 9", "clear_board", "komi 6.5"};
        expected.insert(expected.end(), r.tail.begin(), r.tail.end());
        expected.push_back("play W G6");
        EXPECT_EQ(lines(gtp::syncPlan(game)), expected);
    }
}

TEST(SyncPlan, AGameThatCannotBeWrittenHasNoPlan) {
    GameState g = newGame(9);
    const int e5 = pt(g, 5, 5);
    struct Row {
        const char* what;
        Game game;
    };
    const std::vector<Row> rows = {
        {"board of 20 lines", {20, 65, {}, {}}},
        {"board of 0 lines", {0, 65, {}, {}}},
        {"a pass among the setup stones", {9, 65, {{Black, e5}, {Black, PassPos}}, {}}},
        {"a move on the border", {9, 65, {}, {{Black, pt(g, 0, 5)}}}},
        {"a move beyond 9x9", {9, 65, {}, {{Black, e5}, {White, pt(g, 10, 5)}}}},
        {"a move of no colour", {9, 65, {}, {{0, e5}}}},
        {"a repeated handicap point", {9, 65, {{Black, e5}, {Black, e5}}, {}}},
    };
    for (const Row& r : rows) {
        EXPECT_FALSE(gtp::syncPlan(r.game).has_value()) << r.what;
        EXPECT_FALSE(gtp::syncPlan(Game{9, 65, {}, {}}, r.game, true).has_value()) << r.what;
    }
}

TEST(SyncPlan, GameOfShowsTheBoardAsShown) {
    GameState g = newGame(9, 2, 5);
    const int a = pt(g, 1, 1), b = pt(g, 2, 2), c = pt(g, 3, 3);
    play(g, {a, b, 0, c});
    Game all = gtp::gameOf(g);
    EXPECT_EQ(all.boardSize, 9);
    EXPECT_EQ(all.komiTenths, 5);
    EXPECT_EQ(all.setup, (std::vector<Stone>{{Black, g.MovePos[1]}, {Black, g.MovePos[2]}}));
    EXPECT_EQ(all.moves, (std::vector<Stone>{{White, a}, {Black, b}, {White, PassPos}, {Black, c}}));
    // A take-back leaves the later moves in the record but not on the board.
    NullPainter p;
    prcKifBack(g, 3, p);
    EXPECT_EQ(gtp::gameOf(g).moves, (std::vector<Stone>{{White, a}, {Black, b}}));
    EXPECT_EQ(gtp::gameOf(g, 4).moves, all.moves);
    EXPECT_EQ(gtp::gameOf(g, 0).moves, std::vector<Stone>{});
    EXPECT_EQ(gtp::gameOf(g, -3).moves, std::vector<Stone>{});
}

TEST(SyncPlan, FromWhatTheEngineHas) {
    GameState g = newGame(9);
    // B9 C9 … J9 A8 B8 …: move i on the i-th point in reading order from B9.
    std::vector<Stone> m;
    for (int i = 1; i <= 30; ++i) {
        m.push_back({i % 2 == 1 ? Black : White, pt(g, i % 9 + 1, i / 9 + 1)});
    }
    const auto game = [&m](std::size_t n) { return Game{9, 65, {}, {m.begin(), m.begin() + n}}; };
    const auto with = [](Game x, auto change) {
        change(x);
        return x;
    };
    const Game six = game(6);
    const Lines full6{"boardsize 9", "clear_board", "komi 6.5",  "play B B9", "play W C9",
                      "play B D9",   "play W E9",   "play B F9", "play W G9"};
    const Game sixAndPass = with(six, [](Game& x) { x.moves.push_back({Black, PassPos}); });
    const Game on13 = with(six, [](Game& x) { x.boardSize = 13; });
    const Game handicap = with(six, [&](Game& x) { x.setup = {{Black, pt(g, 3, 7)}, {Black, pt(g, 7, 3)}}; });
    struct Row {
        const char* what;
        Game has, target;
        bool undo;
        Lines expected;
    };
    const std::vector<Row> rows = {
        {"nothing to do", six, six, true, {}},
        {"two more moves", six, game(8), true, {"play B H9", "play W J9"}},
        {"a pass more", six, sixAndPass, false, {"play B pass"}},
        {"two taken back", six, game(4), true, {"undo", "undo"}},
        {"two taken back, engine without undo",
         six,
         game(4),
         false,
         {"boardsize 9", "clear_board", "komi 6.5", "play B B9", "play W C9", "play B D9", "play W E9"}},
        {"two taken back and another move",
         six,
         with(game(4),
              [&](Game& x) {
                  x.moves.push_back({Black, pt(g, 5, 5)});
              }),
         true,
         {"undo", "undo", "play B E5"}},
        {"a pass taken back", sixAndPass, six, true, {"undo"}},
        {"as many as undo may", game(20), game(12), true, Lines(8, "undo")},
        {"more taken back than undo may", game(20), game(11), true, lines(gtp::syncPlan(game(11)))},
        {"undo would cost more than starting over", six, game(0), true, {"boardsize 9", "clear_board", "komi 6.5"}},
        {"komi alone", six, with(six, [](Game& x) { x.komiTenths = 5; }), true, {"komi 0.5"}},
        {"komi and a move", six, with(game(7), [](Game& x) { x.komiTenths = 5; }), false, {"komi 0.5", "play B H9"}},
        {"another board size", six, on13, true, lines(gtp::syncPlan(on13))},
        {"other setup stones", six, handicap, true, lines(gtp::syncPlan(handicap))},
        {"the engine's first move differs", with(six, [&](Game& x) { x.moves[0].pos = pt(g, 5, 5); }), six, true,
         full6},
    };
    ASSERT_EQ(lines(gtp::syncPlan(game(11))).size(), 14u);
    ASSERT_EQ(lines(gtp::syncPlan(handicap))[3], "set_free_handicap C3 G7");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(lines(gtp::syncPlan(r.has, r.target, r.undo)), r.expected);
    }
}

// A board as the commands leave it: the stones in the order they were placed (setup and
// moves alike, since set_free_handicap and play of the first stones give the same board).
struct ReplayedEngine {
    int size = 0;
    std::string komi;
    std::vector<Stone> stones;
    bool failed = false;

    void run(const std::vector<Command>& plan) {
        for (const Command& c : plan) apply(c);
    }

    void apply(const Command& c) {
        std::istringstream args(c.arguments());
        std::vector<std::string> a;
        for (std::string w; args >> w;) a.push_back(w);
        const std::string_view n = c.commandName();
        if (n == "boardsize") {
            size = std::stoi(a.at(0));
            stones.clear();
        } else if (n == "clear_board") {
            stones.clear();
        } else if (n == "komi") {
            komi = a.at(0);
        } else if (n == "set_free_handicap") {
            failed |= !stones.empty();
            for (const auto& v : a) stones.push_back({Black, vertex(v)});
        } else if (n == "play") {
            stones.push_back({a.at(0) == "B" ? Black : White, vertex(a.at(1))});
        } else if (n == "undo") {
            failed |= stones.empty();
            if (!stones.empty()) stones.pop_back();
        } else {
            failed = true;
        }
    }

    int vertex(const std::string& v) {
        const auto x = gtp::parseVertex(v, size);
        failed |= x.kind != gtp::VertexKind::Point && x.kind != gtp::VertexKind::Pass;
        return x.pos;
    }
};

std::vector<Stone> flat(const Game& g) {
    std::vector<Stone> s = g.setup;
    s.insert(s.end(), g.moves.begin(), g.moves.end());
    return s;
}

TEST(SyncPlan, RandomTakeBacksAndNewMovesAlwaysEndOnTheTarget) {
    std::mt19937 rng(20261207);
    const std::regex safeLine("[a-z_]+( [A-Za-z0-9.-]+)*\n");
    for (int round = 0; round < 400; ++round) {
        const int size = std::vector<int>{9, 13, 19}[rng() % 3];
        GameState shape = newGame(size);
        const auto randomStone = [&](int colour) {
            if (rng() % 6 == 0) return Stone{colour, PassPos};
            const int col = static_cast<int>(rng() % size) + 1, row = static_cast<int>(rng() % size) + 1;
            return Stone{colour, pt(shape, col, row)};
        };
        Game has{size, static_cast<int>(rng() % 100), {}, {}};
        const int setup = std::vector<int>{0, 0, 1, 2, 4}[rng() % 5];
        for (int i = 0; i < setup; ++i) {
            Stone s = randomStone(Black);
            if (s.pos == PassPos) s.pos = pt(shape, 1, i + 1);
            if (std::find(has.setup.begin(), has.setup.end(), s) == has.setup.end()) has.setup.push_back(s);
        }
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) has.moves.push_back(randomStone(i % 2 == 0 ? Black : White));
        Game target = has;
        const int back = static_cast<int>(rng() % 12);
        target.moves.resize(static_cast<std::size_t>(std::max(0, n - back)));
        const int more = static_cast<int>(rng() % 6);
        for (int i = 0; i < more; ++i) target.moves.push_back(randomStone(i % 2 == 0 ? White : Black));
        if (rng() % 5 == 0) target.komiTenths = 65;
        const bool undo = rng() % 2 == 0;

        ReplayedEngine engine;
        engine.run(*gtp::syncPlan(has));
        ASSERT_FALSE(engine.failed);
        ASSERT_EQ(engine.stones, flat(has));
        const auto plan = gtp::syncPlan(has, target, undo);
        ASSERT_TRUE(plan.has_value());
        engine.run(*plan);
        SCOPED_TRACE(::testing::Message() << "round " << round << ": " << n << " moves, " << back << " back, " << more
                                          << " more, undo " << undo);
        EXPECT_FALSE(engine.failed);
        EXPECT_EQ(engine.size, size);
        EXPECT_EQ(engine.komi, Command::komi(target.komiTenths).arguments());
        EXPECT_EQ(engine.stones, flat(target));
        for (const Command& c : *plan) {
            EXPECT_TRUE(std::regex_match(c.line(), safeLine)) << c.line();
            if (!undo) {
                EXPECT_NE(c.commandName(), "undo");
            }
        }
        EXPECT_LE(plan->size(), gtp::syncPlan(target)->size());
    }
}

}  // namespace
}  // namespace tavrin::test
