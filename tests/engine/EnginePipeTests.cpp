// The protocol layer against engines on real pipes: the scripted engine (its board agrees with
// Tavrin's, each misbehaviour looks as the window's tests will expect, it logs what it got)
// and GNU Go (boards after the sync plans and undo, a whole game through Tavrin's rules).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Gtp.h"
#include "formats/RecordFile.h"
#include "tests/engine/GtpPipe.h"
#include "tests/game/TestBoard.h"
#include "tests/support/CorpusDir.h"

namespace tavrin::test {
namespace {

using gtp::AnswerKind;
using gtp::Command;
using gtp::VertexKind;

const std::string FakeGtp = TAVRIN_FAKE_GTP;
const std::string GnuGo = "/usr/games/gnugo";

bool haveGnuGo() { return ::access(GnuGo.c_str(), X_OK) == 0; }

#define SKIP_WITHOUT_GNUGO() \
    if (!haveGnuGo()) GTEST_SKIP() << GnuGo << " is not installed"

std::vector<std::string> fake(std::vector<std::string> options = {}) {
    options.insert(options.begin(), FakeGtp);
    return options;
}

std::vector<std::string> gnugo(int level = 1) { return {GnuGo, "--mode", "gtp", "--level", std::to_string(level)}; }

// The whole board of g, rows from the top, "X" black, "O" white, "." empty.
std::string tavrinDiagram(const GameState& g) {
    std::string s;
    for (int r = 1; r <= g.BoardSize; ++r) {
        if (r > 1) s += '\n';
        for (int c = 1; c <= g.BoardSize; ++c) {
            const int v = g.Board[pt(g, c, r)];
            s += v == Black ? 'X' : v == White ? 'O' : '.';
        }
    }
    return s;
}

// The board an engine shows with showboard, in the same form. The scripted engine writes bare
// rows of ".XO"; GNU Go frames each row with its number and marks star points with '+'.
std::string engineDiagram(GtpPipe& engine, int size) {
    if (!engine.sendRaw("showboard\n")) return "(engine gone)";
    const auto a = engine.answer(10000);
    if (!a || !a->ok()) return "(no board)";
    std::istringstream in(a->text);
    std::string s;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string x; words >> x;) w.push_back(x);
        std::string row;
        if (w.size() == 1 && static_cast<int>(w[0].size()) == size) {
            row = w[0];
        } else if (static_cast<int>(w.size()) >= size + 2 && std::isdigit(static_cast<unsigned char>(w[0][0]))) {
            for (int c = 1; c <= size; ++c)
                row += w[static_cast<std::size_t>(c)] == "+" ? "." : w[static_cast<std::size_t>(c)];
        } else {
            continue;
        }
        if (!s.empty()) s += '\n';
        s += row;
    }
    return s;
}

// Plays moves (column, row from the top; (0, 0) passes) as the window does.
void playMoves(GameState& g, const std::vector<std::pair<int, int>>& moves) {
    NullPainter p;
    for (auto [c, r] : moves) {
        const int pos = c == 0 ? PassPos : pt(g, c, r);
        ASSERT_EQ(prcHitCore(g, pos, g.SideToMove, p), HitResult::Legal) << c << "," << r;
    }
}

struct SmallGame {
    const char* what;
    int size, handicap, komiTenths;
    std::vector<std::pair<int, int>> moves;
};

const std::vector<SmallGame>& smallGames() {
    static const std::vector<SmallGame> games = {
        // Black takes the white corner stone; both pass at the end.
        {"capture in the corner on 9x9", 9, 0, 65, {{2, 1}, {1, 1}, {1, 2}, {0, 0}, {5, 5}, {9, 9}, {0, 0}, {0, 0}}},
        {"three stones on 13x13 and a pass", 13, 3, 5, {{7, 7}, {0, 0}, {1, 13}, {13, 1}}},
        {"nine stones on 19x19", 19, 9, 5, {{3, 3}, {17, 3}, {3, 17}, {17, 17}}},
        {"two stones on 9x9", 9, 2, 0, {{5, 5}, {4, 5}, {5, 4}}},
    };
    return games;
}

TEST(EngineBoards, ScriptedEngineAndGnuGoShowTavrinsBoardAfterTheSyncPlan) {
    for (const bool real : {false, true}) {
        if (real && !haveGnuGo()) continue;
        for (const SmallGame& sg : smallGames()) {
            SCOPED_TRACE(std::string(sg.what) + (real ? " (GNU Go)" : " (scripted)"));
            GameState g = newGame(sg.size, sg.handicap, sg.komiTenths);
            playMoves(g, sg.moves);
            GtpPipe engine(real ? gnugo() : fake());
            ASSERT_TRUE(engine.started());
            EXPECT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
            EXPECT_EQ(engineDiagram(engine, sg.size), tavrinDiagram(g));
        }
    }
}

// Records of the shared corpus Tavrin reads, one per folder, with at least minMoves moves.
std::vector<std::filesystem::path> corpusRecords(const char* folder, int minMoves, int count) {
    std::vector<std::filesystem::path> files;
    const auto dir = corpusDir() / folder;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec)) {
        if (e.path().extension() == ".sgf") files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::filesystem::path> out;
    for (const auto& f : files) {
        GameState g;
        TextBuffer buf;
        if (readRecordFile(g, buf, f.string()).ok() && g.MoveCount >= minMoves) out.push_back(f);
        if (static_cast<int>(out.size()) == count) break;
    }
    return out;
}

TEST(EngineBoards, GnuGoFollowsRecordsForwardAndBackWithUndo) {
    SKIP_WITHOUT_CORPUS();
    SKIP_WITHOUT_GNUGO();
    std::vector<std::filesystem::path> files = corpusRecords("pro", 150, 2);
    for (const auto& f : corpusRecords("handicap", 60, 2)) files.push_back(f);
    for (const auto& f : corpusRecords("small", 40, 2)) files.push_back(f);
    ASSERT_GE(files.size(), 5u);
    for (const auto& f : files) {
        SCOPED_TRACE(f.string());
        GameState g;
        TextBuffer buf;
        ASSERT_TRUE(readRecordFile(g, buf, f.string()).ok());
        GtpPipe engine(gnugo());
        GtpPipe scripted(fake());
        // Forward to the middle, back a few, on again: each step from what the engine has.
        const int n = g.MoveCount;
        std::optional<gtp::Game> has;
        for (int moves : {n / 2, n / 2 - 5, n / 2 + 10, n - 3, n}) {
            SCOPED_TRACE(moves);
            NullPainter p;
            prcKifBack(g, 1, p);
            prcKifNext(g, moves + 1, p);
            const gtp::Game target = gtp::gameOf(g);
            const auto plan = has ? gtp::syncPlan(*has, target, true) : gtp::syncPlan(target);
            ASSERT_TRUE(plan.has_value());
            EXPECT_EQ(engine.run(*plan), std::nullopt);
            EXPECT_EQ(scripted.run(*plan), std::nullopt);
            const std::string expected = tavrinDiagram(g);
            EXPECT_EQ(engineDiagram(engine, g.BoardSize), expected);
            EXPECT_EQ(engineDiagram(scripted, g.BoardSize), expected);
            has = target;
        }
    }
}

// Asks for moves in turn and plays each through Tavrin's rules; the moves played.
int playOut(GameState& g, GtpPipe& engine, int maxMoves) {
    NullPainter p;
    int played = 0;
    for (; played < maxMoves; ++played) {
        const auto a = engine.ask(*Command::genmove(g.SideToMove), 20000);
        if (!a || !a->ok()) {
            ADD_FAILURE() << "genmove: " << (a ? a->text : "no answer");
            break;
        }
        const gtp::Vertex v = gtp::parseMoveAnswer(a->text, g.BoardSize);
        if (v.kind == VertexKind::Resign) break;
        if (v.kind != VertexKind::Point && v.kind != VertexKind::Pass) {
            ADD_FAILURE() << "not a move: " << a->text;
            break;
        }
        const int mover = g.SideToMove;
        EXPECT_EQ(prcHitCore(g, v.pos, mover, p), HitResult::Legal) << a->text;
        if (v.pos == PassPos && passEndsGame(g)) return played + 1;
    }
    return played;
}

TEST(EngineBoards, WholeGamesAgreeWithTavrinsRules) {
    struct Row {
        const char* what;
        std::vector<std::string> argv;
        int size, maxMoves;
    };
    std::vector<Row> rows = {{"scripted, 9x9", fake(), 9, 300}, {"scripted, 13x13", fake(), 13, 400}};
    if (haveGnuGo()) rows.push_back({"GNU Go level 1, 9x9", gnugo(1), 9, 300});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GameState g = newGame(r.size, 0, 65);
        GtpPipe engine(r.argv);
        ASSERT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
        const int played = playOut(g, engine, r.maxMoves);
        EXPECT_GT(played, 10);
        EXPECT_EQ(engineDiagram(engine, r.size), tavrinDiagram(g)) << played << " moves";
    }
}

// ---- The scripted engine's misbehaviour, as the window's tests will meet it

struct AskResult {
    std::optional<gtp::Answer> answer;
    gtp::Vertex move;
    long long ms = 0;
};

// A 9x9 engine that has seen B at E5 and W at C3, then asked for black's move.
AskResult askAfterTwoMoves(GtpPipe& engine, GameState& g, int timeoutMs) {
    playMoves(g, {{5, 5}, {3, 7}});
    AskResult r;
    if (engine.run(*gtp::syncPlan(gtp::gameOf(g)))) return r;
    const auto start = std::chrono::steady_clock::now();
    engine.send(*Command::genmove(Black));
    r.answer = engine.answer(timeoutMs);
    r.ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (r.answer) r.move = gtp::parseMoveAnswer(r.answer->text, 9);
    return r;
}

TEST(ScriptedEngine, EachMisbehaviour) {
    struct Row {
        std::vector<std::string> options;
        int timeoutMs;
        std::optional<AnswerKind> kind;  // empty: no answer at all
        VertexKind move;
    };
    const std::vector<Row> rows = {
        {{}, 5000, AnswerKind::Success, VertexKind::Point},
        {{"--garbage"}, 5000, AnswerKind::Garbage, VertexKind::Invalid},
        {{"--bad-vertex"}, 5000, AnswerKind::Success, VertexKind::Invalid},
        {{"--offboard"}, 5000, AnswerKind::Success, VertexKind::OffBoard},
        {{"--occupied"}, 5000, AnswerKind::Success, VertexKind::Point},
        {{"--resign-at", "1"}, 5000, AnswerKind::Success, VertexKind::Resign},
        {{"--resign-at", "2"}, 5000, AnswerKind::Success, VertexKind::Point},
        {{"--crash-after", "1"}, 5000, std::nullopt, VertexKind::Invalid},
        {{"--hang-genmove", "--hang-limit", "5"}, 400, std::nullopt, VertexKind::Invalid},
        {{"--slow", "300"}, 5000, AnswerKind::Success, VertexKind::Point},
        {{"--stderr-spam"}, 5000, AnswerKind::Success, VertexKind::Point},
    };
    for (const Row& r : rows) {
        std::string name;
        for (const auto& o : r.options) name += o + " ";
        SCOPED_TRACE(name);
        GtpPipe engine(fake(r.options));
        GameState g = newGame(9);
        const AskResult got = askAfterTwoMoves(engine, g, r.timeoutMs);
        ASSERT_EQ(got.answer.has_value(), r.kind.has_value());
        if (got.answer) {
            EXPECT_EQ(got.answer->kind, *r.kind) << got.answer->text;
            EXPECT_EQ(got.move.kind, r.move) << got.answer->text;
        }
        const bool occupied = r.options == std::vector<std::string>{"--occupied"};
        if (got.move.kind == VertexKind::Point) {
            EXPECT_EQ(g.Board[got.move.pos] != 0, occupied) << got.answer->text;
        }
        if (r.options == std::vector<std::string>{"--slow", "300"}) {
            EXPECT_GE(got.ms, 300);
        }
        if (!r.options.empty() && r.options[0] == "--crash-after") {
            EXPECT_TRUE(engine.closed());
            EXPECT_EQ(engine.exitStatus(2000), 3);
        }
        if (!r.options.empty() && r.options[0] == "--hang-genmove") {
            EXPECT_FALSE(engine.closed());
            EXPECT_EQ(engine.exitStatus(0), -1) << "still running, as a hung engine is";
        }
        if (r.options == std::vector<std::string>{"--stderr-spam"}) {
            EXPECT_GT(engine.stderrText().size(), 256u * 1024u);
        }
    }
}

TEST(ScriptedEngine, StderrNobodyReadsStallsIt) {
    GtpPipe engine(fake({"--stderr-spam"}), GtpPipe::Stderr::UnreadPipe);
    EXPECT_FALSE(engine.ask(Command::protocolVersion(), 1000).has_value())
        << "a full stderr pipe must hold the engine, or the option tests nothing";
    EXPECT_EQ(engine.exitStatus(0), -1);
}

TEST(ScriptedEngine, FailsToStart) {
    GtpPipe engine(fake({"--fail-start"}));
    ASSERT_TRUE(engine.started());
    EXPECT_EQ(engine.exitStatus(5000), 1);
    EXPECT_FALSE(engine.ask(Command::protocolVersion(), 1000).has_value());
    EXPECT_NE(engine.stderrText().find("cannot start"), std::string::npos) << engine.stderrText();
}

TEST(ScriptedEngine, UndoOnlyWhenListed) {
    for (const bool noUndo : {false, true}) {
        SCOPED_TRACE(noUndo ? "--no-undo" : "default");
        GtpPipe engine(noUndo ? fake({"--no-undo"}) : fake());
        const auto list = engine.ask(Command::listCommands());
        ASSERT_TRUE(list && list->ok());
        const auto names = gtp::parseCommandList(list->text);
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(names->count("undo"), noUndo ? 0u : 1u);
        EXPECT_EQ(names->count("genmove"), 1u);
        GameState g = newGame(9);
        playMoves(g, {{5, 5}});
        ASSERT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
        const auto undo = engine.ask(Command::undo());
        ASSERT_TRUE(undo.has_value());
        EXPECT_EQ(undo->ok(), !noUndo);
    }
}

TEST(ScriptedEngine, AnswersEchoIdsAndRefuseACommaKomi) {
    GtpPipe engine(fake());
    engine.send(*Command::boardsize(9));
    engine.sendRaw(Command::genmove(Black)->line(41));
    engine.sendRaw("7 komi 6,5\n");
    engine.sendRaw(Command::komi(65).line(8));
    const auto a1 = engine.answer(5000), a2 = engine.answer(5000), a3 = engine.answer(5000), a4 = engine.answer(5000);
    ASSERT_TRUE(a1 && a2 && a3 && a4);
    EXPECT_EQ(a1->id, std::nullopt);
    EXPECT_EQ(a2->id, 41);
    EXPECT_EQ(gtp::parseMoveAnswer(a2->text, 9), (gtp::Vertex{VertexKind::Point, 12}));  // A9
    EXPECT_EQ(a3->id, 7);
    EXPECT_EQ(a3->kind, AnswerKind::Failure);
    EXPECT_EQ(a4->id, 8);
    EXPECT_TRUE(a4->ok());
}

TEST(ScriptedEngine, PassesAfterTheOpponentAndVariesWithTheSeed) {
    GtpPipe engine(fake());
    GameState g = newGame(9);
    playMoves(g, {{5, 5}, {0, 0}});
    ASSERT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
    const auto pass = engine.ask(*Command::regGenmove(Black));
    ASSERT_TRUE(pass.has_value());
    EXPECT_EQ(gtp::parseMoveAnswer(pass->text, 9).kind, VertexKind::Pass) << pass->text;

    playMoves(g, {{5, 6}});
    ASSERT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
    std::set<int> moves;
    for (unsigned seed : {0u, 1u, 2u}) {
        const auto a = engine.ask(*Command::ggGenmove(White, seed));
        ASSERT_TRUE(a.has_value());
        moves.insert(gtp::parseMoveAnswer(a->text, 9).pos);
    }
    EXPECT_EQ(moves.size(), 3u) << "three seeds, three moves";

    GtpPipe insisting(fake({"--insist"}));
    ASSERT_EQ(insisting.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
    moves.clear();
    for (unsigned seed : {0u, 1u, 2u}) {
        const auto a = insisting.ask(*Command::ggGenmove(White, seed));
        ASSERT_TRUE(a.has_value());
        moves.insert(gtp::parseMoveAnswer(a->text, 9).pos);
    }
    EXPECT_EQ(moves.size(), 1u);
}

TEST(ScriptedEngine, LogsEveryLineItReceived) {
    const auto log = std::filesystem::temp_directory_path() / ("fake-gtp-log-" + std::to_string(::getpid()) + ".txt");
    std::filesystem::remove(log);
    {
        GtpPipe engine(fake({"--log", log.string()}));
        GameState g = newGame(13, 4, 5);
        g.BlackPlayer = "play B A1";
        g.GameName = "名人戦\nquit";
        playMoves(g, {{7, 7}, {0, 0}});
        ASSERT_EQ(engine.run(*gtp::syncPlan(gtp::gameOf(g))), std::nullopt);
        ASSERT_TRUE(engine.ask(*Command::genmove(Black)).has_value());
        ASSERT_TRUE(engine.ask(Command::quit()).has_value());
        EXPECT_EQ(engine.exitStatus(2000), 0);
        std::ifstream in(log);
        std::vector<std::string> got;
        for (std::string line; std::getline(in, line);) got.push_back(line);
        EXPECT_EQ(got, engine.sentLines());
        EXPECT_EQ(got.front(), "boardsize 13");
        EXPECT_EQ(got.back(), "quit");
    }
    std::filesystem::remove(log);
}

}  // namespace
}  // namespace tavrin::test
