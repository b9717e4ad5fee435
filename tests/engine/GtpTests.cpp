// The protocol text: vertices against Tavrin's positions, the commands Tavrin can write (and
// the ones it cannot), the komi under a decimal-comma locale, answers cut anywhere, and the
// lists engines answer with.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Gtp.h"
#include "formats/SgfWriter.h"
#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

using gtp::AnswerKind;
using gtp::Command;
using gtp::VertexKind;

// ---- Vertices

TEST(GtpVertex, CornersAndTheColumnsAroundTheMissingI) {
    struct Row {
        int size, col, topRow;  // Tavrin's column and row counted from the top line
        const char* vertex;
    };
    const Row rows[] = {
        {9, 1, 9, "A1"},   {9, 1, 1, "A9"},    {9, 9, 9, "J1"},    {9, 9, 1, "J9"},     {9, 8, 5, "H5"},
        {9, 5, 5, "E5"},   {13, 1, 13, "A1"},  {13, 13, 1, "N13"}, {13, 9, 4, "J10"},   {13, 7, 7, "G7"},
        {19, 1, 19, "A1"}, {19, 19, 1, "T19"}, {19, 1, 1, "A19"},  {19, 19, 19, "T1"},  {19, 16, 4, "Q16"},
        {19, 4, 16, "D4"}, {19, 8, 10, "H10"}, {19, 9, 10, "J10"}, {19, 10, 10, "K10"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.vertex);
        GameState g = newGame(r.size);
        const int pos = pt(g, r.col, r.topRow);
        EXPECT_EQ(gtp::vertexText(pos, r.size), r.vertex);
        EXPECT_EQ(gtp::parseVertex(r.vertex, r.size), (gtp::Vertex{VertexKind::Point, pos}));
    }
}

TEST(GtpVertex, EveryPointRoundTripsAndAgreesWithTavrinsOwnNames) {
    for (int size : {9, 13, 19}) {
        SCOPED_TRACE(size);
        GameState g = newGame(size);
        int points = 0;
        for (int pos = 0; pos <= g.BoardLast; ++pos) {
            const std::string v = gtp::vertexText(pos, size);
            if (g.Board[pos] != 0) {
                EXPECT_EQ(v, "") << pos << " is a border cell";
                continue;
            }
            ++points;
            ASSERT_FALSE(v.empty()) << pos;
            EXPECT_EQ(v.find('I'), std::string::npos);
            EXPECT_EQ(gtp::parseVertex(v, size), (gtp::Vertex{VertexKind::Point, pos})) << v;
            // Tavrin names its points "A  1" from the top line down; GTP counts from the bottom.
            const std::string& name = g.CoordName[static_cast<std::size_t>(pos)];
            EXPECT_EQ(v[0], name[0]) << v << " / " << name;
            EXPECT_EQ(std::stoi(v.substr(1)), size + 1 - std::stoi(name.substr(1))) << v << " / " << name;
            // The SGF writer's letters: column first, then rows from the top.
            const std::string sgf = sgfPoint(pos, g.BoardStride);
            EXPECT_EQ(std::stoi(v.substr(1)), size - (sgf[1] - 'a')) << v << " / " << sgf;
        }
        EXPECT_EQ(points, size * size);
        EXPECT_EQ(gtp::vertexText(PassPos, size), "pass");
    }
}

TEST(GtpVertex, WhatIsNoPointOfTheBoard) {
    struct Row {
        const char* text;
        int size;
        VertexKind kind;
    };
    const Row rows[] = {
        {"pass", 19, VertexKind::Pass},     {"PASS", 9, VertexKind::Pass},      {"Pass", 13, VertexKind::Pass},
        {"resign", 19, VertexKind::Resign}, {"RESIGN", 9, VertexKind::Resign},  {"Resign", 9, VertexKind::Resign},
        {"q16", 19, VertexKind::Point},     {"j9", 9, VertexKind::Point},       {"K1", 9, VertexKind::OffBoard},
        {"A10", 9, VertexKind::OffBoard},   {"O1", 13, VertexKind::OffBoard},   {"N14", 13, VertexKind::OffBoard},
        {"U1", 19, VertexKind::OffBoard},   {"T20", 19, VertexKind::OffBoard},  {"Z25", 19, VertexKind::OffBoard},
        {"A100", 19, VertexKind::OffBoard}, {"I5", 19, VertexKind::Invalid},    {"i5", 9, VertexKind::Invalid},
        {"A0", 19, VertexKind::Invalid},    {"A01", 19, VertexKind::Invalid},   {"A", 19, VertexKind::Invalid},
        {"", 19, VertexKind::Invalid},      {"1A", 19, VertexKind::Invalid},    {"AA1", 19, VertexKind::Invalid},
        {"A-1", 19, VertexKind::Invalid},   {"A1000", 19, VertexKind::Invalid}, {" A1", 19, VertexKind::Invalid},
        {"A1 B2", 19, VertexKind::Invalid}, {"passe", 19, VertexKind::Invalid}, {"Q16.", 19, VertexKind::Invalid},
        {"Ａ1", 19, VertexKind::Invalid},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const gtp::Vertex v = gtp::parseVertex(r.text, r.size);
        EXPECT_EQ(v.kind, r.kind);
        if (r.kind == VertexKind::Pass) {
            EXPECT_EQ(v.pos, PassPos);
        }
        if (r.kind == VertexKind::OffBoard || r.kind == VertexKind::Invalid) {
            EXPECT_EQ(v.pos, 0);
        }
    }
    // A move answer may carry spaces around it; nothing else.
    EXPECT_EQ(gtp::parseMoveAnswer("  Q16 ", 19).kind, VertexKind::Point);
    EXPECT_EQ(gtp::parseMoveAnswer("PASS\n", 19).kind, VertexKind::Pass);
    EXPECT_EQ(gtp::parseMoveAnswer("Q16 D4", 19).kind, VertexKind::Invalid);
    // Positions that are no point give no text.
    GameState g = newGame(9);
    for (int pos : {0, -1, 10, 11, 21, 22, 120, 500}) {
        EXPECT_EQ(gtp::vertexText(pos, 9), "") << pos;
    }
    EXPECT_EQ(gtp::vertexText(pt(g, 1, 1), 20), "");
    EXPECT_EQ(gtp::vertexText(pt(g, 1, 1), 1), "");
}

// ---- Commands

TEST(GtpCommand, TextOfEachCommand) {
    GameState g19 = newGame(19);
    GameState g9 = newGame(9);
    const int q16 = pt(g19, 16, 4), d4 = pt(g19, 4, 16), c3 = pt(g9, 3, 7), g7 = pt(g9, 7, 3);
    struct Row {
        std::optional<Command> command;
        const char* line;
    };
    const Row rows[] = {
        {Command::protocolVersion(), "protocol_version\n"},
        {Command::name(), "name\n"},
        {Command::version(), "version\n"},
        {Command::listCommands(), "list_commands\n"},
        {Command::clearBoard(), "clear_board\n"},
        {Command::undo(), "undo\n"},
        {Command::quit(), "quit\n"},
        {Command::boardsize(19), "boardsize 19\n"},
        {Command::boardsize(9), "boardsize 9\n"},
        {Command::play(Black, q16, 19), "play B Q16\n"},
        {Command::play(White, d4, 19), "play W D4\n"},
        {Command::play(White, PassPos, 19), "play W pass\n"},
        {Command::play(Black, c3, 9), "play B C3\n"},
        {Command::genmove(White), "genmove W\n"},
        {Command::regGenmove(Black), "reg_genmove B\n"},
        {Command::ggGenmove(White, 4294967295u), "gg_genmove W 4294967295\n"},
        {Command::topMoves(Black), "top_moves_black\n"},
        {Command::topMoves(White), "top_moves_white\n"},
        {Command::setFreeHandicap({c3, g7}, 9), "set_free_handicap C3 G7\n"},
        {Command::finalStatusList(gtp::FinalStatus::Dead), "final_status_list dead\n"},
        {Command::finalStatusList(gtp::FinalStatus::Seki), "final_status_list seki\n"},
        {Command::finalStatusList(gtp::FinalStatus::Alive), "final_status_list alive\n"},
        {Command::estimateScore(), "estimate_score\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        ASSERT_TRUE(r.command.has_value());
        EXPECT_EQ(r.command->line(), r.line);
    }
    EXPECT_EQ(Command::genmove(Black)->line(17), "17 genmove B\n");
    EXPECT_EQ(Command::play(Black, q16, 19)->commandName(), "play");
    EXPECT_EQ(Command::play(Black, q16, 19)->arguments(), "B Q16");
}

TEST(GtpCommand, ValuesThatCannotBeWrittenAreRefused) {
    GameState g = newGame(9);
    const int c3 = pt(g, 3, 7), g7 = pt(g, 7, 3);
    struct Row {
        const char* what;
        std::optional<Command> command;
    };
    const Row rows[] = {
        {"boardsize 1", Command::boardsize(1)},
        {"boardsize 20", Command::boardsize(20)},
        {"boardsize 25", Command::boardsize(25)},
        {"colour 0", Command::play(0, c3, 9)},
        {"colour 3", Command::genmove(3)},
        {"colour -1", Command::regGenmove(-1)},
        {"colour 0 gg", Command::ggGenmove(0, 1)},
        {"colour 3 top", Command::topMoves(3)},
        {"position 0", Command::play(Black, 0, 9)},
        {"border cell", Command::play(Black, pt(g, 0, 3), 9)},
        {"beyond the 9x9 board", Command::play(Black, pt(g, 10, 3), 9)},
        {"one handicap stone", Command::setFreeHandicap({c3}, 9)},
        {"repeated handicap stone", Command::setFreeHandicap({c3, g7, c3}, 9)},
        {"pass as handicap", Command::setFreeHandicap({c3, PassPos}, 9)},
        {"handicap off board", Command::setFreeHandicap({c3, 500}, 9)},
    };
    for (const Row& r : rows) EXPECT_FALSE(r.command.has_value()) << r.what;
}

TEST(GtpCommand, KomiIsTheShortestDecimalWithAPoint) {
    struct Row {
        int tenths;
        const char* line;
    };
    const Row rows[] = {{65, "komi 6.5\n"},
                        {60, "komi 6\n"},
                        {0, "komi 0\n"},
                        {5, "komi 0.5\n"},
                        {-5, "komi -0.5\n"},
                        {-55, "komi -5.5\n"},
                        {75, "komi 7.5\n"},
                        {995, "komi 99.5\n"},
                        {-70, "komi -7\n"},
                        {1005, "komi 100.5\n"},
                        {-2147483647 - 1, "komi -214748364.8\n"}};
    for (const Row& r : rows) EXPECT_EQ(Command::komi(r.tenths).line(), r.line) << r.tenths;
}

// Switches LC_NUMERIC to a decimal-comma locale for the test's scope: the system's, or the
// one the build made; C again at the end.
class CommaLocale {
public:
    CommaLocale() {
        active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        if (!active_) {
            const char* old = std::getenv("LOCPATH");
            if (old != nullptr) oldLocPath_ = old;
            hadLocPath_ = old != nullptr;
            ::setenv("LOCPATH", TAVRIN_TEST_LOCALES, 1);
            active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        }
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        if (hadLocPath_) {
            ::setenv("LOCPATH", oldLocPath_.c_str(), 1);
        } else {
            ::unsetenv("LOCPATH");
        }
    }
    bool active() const { return active_; }

private:
    bool active_ = false;
    bool hadLocPath_ = false;
    std::string oldLocPath_;
};

TEST(GtpCommand, NumbersIgnoreADecimalCommaLocale) {
    CommaLocale de;
    if (!de.active()) GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine or in the build";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 6.5);
    ASSERT_STREQ(printed, "6,5") << "the locale is not in force, so this test proves nothing";
    EXPECT_EQ(Command::komi(65).line(), "komi 6.5\n");
    EXPECT_EQ(Command::komi(-75).line(), "komi -7.5\n");
}

// ---- Answers

struct Expected {
    AnswerKind kind;
    std::optional<int> id;
    std::string text;
};

std::vector<Expected> readAll(gtp::AnswerReader& r) {
    std::vector<Expected> out;
    while (auto a = r.next()) out.push_back({a->kind, a->id, a->text});
    return out;
}

bool operator==(const Expected& a, const Expected& b) { return a.kind == b.kind && a.id == b.id && a.text == b.text; }

std::ostream& operator<<(std::ostream& os, const Expected& e) {
    return os << "{" << static_cast<int>(e.kind) << ", " << (e.id ? std::to_string(*e.id) : "-") << ", \"" << e.text
              << "\"}";
}

struct StreamRow {
    const char* what;
    std::string bytes;
    std::vector<Expected> answers;
    bool midAnswer = false;  // bytes end inside an answer
};

const std::vector<StreamRow>& streams() {
    using K = AnswerKind;
    static const std::vector<StreamRow> rows = {
        {"move", "= Q16\n\n", {{K::Success, {}, "Q16"}}},
        {"id", "=7 Q16\n\n", {{K::Success, 7, "Q16"}}},
        {"id 0", "=0\n\n", {{K::Success, 0, ""}}},
        {"failure with id", "?3 illegal move\n\n", {{K::Failure, 3, "illegal move"}}},
        {"failure", "? unknown command\n\n", {{K::Failure, {}, "unknown command"}}},
        {"empty success", "=\n\n", {{K::Success, {}, ""}}},
        {"space only", "= \n\n", {{K::Success, {}, ""}}},
        {"multi-line", "= protocol_version\nname\n  undo\n\n", {{K::Success, {}, "protocol_version\nname\n  undo"}}},
        {"board on the next lines", "=5 \n X . \n . O \n\n", {{K::Success, 5, "\n X . \n . O "}}},
        {"CR LF", "= Q16\r\n\r\n", {{K::Success, {}, "Q16"}}},
        {"CR inside", "= Q1\r6\n\n", {{K::Success, {}, "Q16"}}},
        {"tab", "=\tQ16\n\n", {{K::Success, {}, "Q16"}}},
        {"control character",
         "= Q\x01"
         "16\n\n",
         {{K::Success, {}, "Q16"}}},
        {"blank lines between", "\n\n= A1\n\n\n \n= B2\n\n", {{K::Success, {}, "A1"}, {K::Success, {}, "B2"}}},
        {"two answers", "=1\n\n?2 no\n\n", {{K::Success, 1, ""}, {K::Failure, 2, "no"}}},
        {"not an answer", "bestmove q16\n\n", {{K::Garbage, {}, "bestmove q16"}}},
        {"no space after status", "=Q16\n\n", {{K::Garbage, {}, "=Q16"}}},
        {"letters in the id", "=1a Q16\n\n", {{K::Garbage, {}, "=1a Q16"}}},
        {"negative id", "=-1 Q16\n\n", {{K::Garbage, {}, "=-1 Q16"}}},
        {"id too large", "=99999999999 A1\n\n", {{K::Garbage, {}, "=99999999999 A1"}}},
        {"space before status", " = Q16\n\n", {{K::Garbage, {}, " = Q16"}}},
        {"chatter glued to an answer", "thinking...\n= Q16\n\n", {{K::Garbage, {}, "thinking...\n= Q16"}}},
        {"garbage then an answer",
         "thinking...\n\n= Q16\n\n",
         {{K::Garbage, {}, "thinking..."}, {K::Success, {}, "Q16"}}},
        {"answer not ended", "= Q16\n", {}, true},
        {"line not ended", "= Q1", {}, true},
        {"one ended, one not", "= A1\n\n=2 B", {{K::Success, {}, "A1"}}, true},
    };
    return rows;
}

TEST(GtpAnswer, StreamsReadWhole) {
    for (const StreamRow& r : streams()) {
        SCOPED_TRACE(r.what);
        gtp::AnswerReader reader;
        reader.feed(r.bytes);
        EXPECT_EQ(readAll(reader), r.answers);
        EXPECT_EQ(reader.midAnswer(), r.midAnswer);
    }
}

TEST(GtpAnswer, StreamsCutAnywhereReadTheSame) {
    for (const StreamRow& r : streams()) {
        SCOPED_TRACE(r.what);
        for (std::size_t cut = 0; cut <= r.bytes.size(); ++cut) {
            gtp::AnswerReader reader;
            reader.feed(std::string_view(r.bytes).substr(0, cut));
            std::vector<Expected> got = readAll(reader);
            reader.feed(std::string_view(r.bytes).substr(cut));
            for (auto& e : readAll(reader)) got.push_back(e);
            EXPECT_EQ(got, r.answers) << "cut at " << cut;
        }
        gtp::AnswerReader bytewise;
        std::vector<Expected> got;
        for (char c : r.bytes) {
            bytewise.feed(std::string_view(&c, 1));
            for (auto& e : readAll(bytewise)) got.push_back(e);
        }
        EXPECT_EQ(got, r.answers) << "byte by byte";
    }
}

TEST(GtpAnswer, AnOverlongAnswerIsGarbageAndTheNextOneIsRead) {
    // Many long lines, or one line without end; the answer ends at its empty line either way.
    for (const char* lineEnd : {"\n", ""}) {
        SCOPED_TRACE(*lineEnd ? "many lines" : "one line");
        gtp::AnswerReader reader;
        reader.feed("= ");
        const std::string chunk(64 * 1024, 'x');
        for (std::size_t n = 0; n <= gtp::AnswerReader::MaxAnswerBytes; n += chunk.size()) {
            reader.feed(chunk);
            reader.feed(lineEnd);
        }
        if (*lineEnd == '\0') reader.feed("\n");
        EXPECT_TRUE(reader.midAnswer()) << "the skipped answer has not ended yet";
        reader.feed("tail\n\n=4 Q16\n\n");
        const auto answers = readAll(reader);
        ASSERT_EQ(answers.size(), 2u);
        EXPECT_EQ(answers[0].kind, AnswerKind::Garbage);
        EXPECT_EQ(answers[1], (Expected{AnswerKind::Success, 4, "Q16"}));
        EXPECT_FALSE(reader.midAnswer());
    }
}

TEST(GtpAnswer, ResetForgetsAPartAndAWaitingAnswer) {
    gtp::AnswerReader reader;
    reader.feed("= A1\n\n= B");
    ASSERT_TRUE(reader.midAnswer());
    reader.reset();
    EXPECT_FALSE(reader.midAnswer());
    EXPECT_FALSE(reader.next().has_value());
    reader.feed("2\n\n");  // the rest of the forgotten answer is garbage now
    reader.feed("= C3\n\n");
    EXPECT_EQ(readAll(reader),
              (std::vector<Expected>{{AnswerKind::Garbage, {}, "2"}, {AnswerKind::Success, {}, "C3"}}));
}

// ---- Lists in answers

TEST(GtpLists, CommandList) {
    const auto names = gtp::parseCommandList("protocol_version\n name \n\nundo\nkata-analyze");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, (std::set<std::string, std::less<>>{"protocol_version", "name", "undo", "kata-analyze"}));
    EXPECT_TRUE(gtp::parseCommandList("")->empty());
    EXPECT_FALSE(gtp::parseCommandList("play\nplay B Q16").has_value());
}

TEST(GtpLists, VertexLists) {
    GameState g = newGame(9);
    struct Row {
        const char* text;
        std::optional<std::vector<int>> points;
    };
    const std::vector<Row> rows = {
        {"", std::vector<int>{}},
        {"A1", std::vector<int>{pt(g, 1, 9)}},
        {"A1 B2\nC3\n\nj9  E5 ", std::vector<int>{pt(g, 1, 9), pt(g, 2, 8), pt(g, 3, 7), pt(g, 9, 1), pt(g, 5, 5)}},
        {"A1 pass", std::nullopt},
        {"A1 resign", std::nullopt},
        {"A1 K5", std::nullopt},
        {"A1 I5", std::nullopt},
        {"A1, B2", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(gtp::parseVertexList(r.text, 9), r.points) << r.text;
}

TEST(GtpLists, TopMovesInTheirOrder) {
    GameState g = newGame(9);
    struct Row {
        const char* text;
        std::optional<std::vector<int>> points;
    };
    const std::vector<Row> rows = {
        {"", std::vector<int>{}},
        {"D6 75.01 F7 74 g5 -0.5", std::vector<int>{pt(g, 4, 4), pt(g, 6, 3), pt(g, 7, 5)}},
        {"D6 75.01\nF7 74.01", std::vector<int>{pt(g, 4, 4), pt(g, 6, 3)}},
        {"D6", std::nullopt},
        {"D6 x", std::nullopt},
        {"D6 7,5", std::nullopt},
        {"75.01 D6", std::nullopt},
        {"pass 3.0", std::nullopt},
        {"Z9 3.0", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(gtp::parseTopMoves(r.text, 9), r.points) << r.text;
}

}  // namespace
}  // namespace tavrin::test
