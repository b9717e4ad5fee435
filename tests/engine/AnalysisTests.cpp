// Lines of both analysis dialects read into candidates (positions checked against the board's
// own numbering, not the vertex reader), malformed lines refused, the dialect told from a
// command list. (Black's side of the figures is checked by LiveAnalysis's judgements.)

#include <gtest/gtest.h>

#include "engine/Analysis.h"
#include "tests/game/TestBoard.h"

namespace tavrin::analysis {

void PrintTo(const Candidate& c, std::ostream* os) {
    *os << "{pos " << c.pos << " visits " << c.visits << " winrate " << c.winrate << " lead "
        << (c.scoreLead ? std::to_string(*c.scoreLead) : "-") << " order " << c.order << " pv";
    for (int p : c.pv) *os << ' ' << p;
    *os << '}';
}

namespace {

using test::newGame;
using test::pt;

// The position of a GTP column letter and a row counted from the bottom on 19x19.
int at(char col, int row) {
    static const GameState g = newGame(19);
    const int c = col - 'A' + (col > 'I' ? 0 : 1);
    return pt(g, c, 20 - row);
}

TEST(AnalysisLine, BothDialectsReadIntoCandidatesAndMalformedLinesAreRefused) {
    const int q16 = at('Q', 16), d4 = at('D', 4), r17 = at('R', 17), t1 = at('T', 1);
    struct Row {
        const char* what;
        Dialect dialect;
        const char* line;
        std::vector<Candidate> expected;
        const char* error;  // a part of the error, nullptr when the line reads
    };
    const Row rows[] = {
        {"kata, out of order, unknown keys, lists and the ownership after them",
         Dialect::Kata,
         "info move D4 visits 20 edgeVisits 19 utility -0.1 winrate 0.25 scoreMean -1 scoreLead -1.5 prior 0.1 "
         "lcb 0.2 order 1 isSymmetryOf Q16 futureKey a b pv D4 Q16 pvVisits 20 7 "
         "info move Q16 visits 1234 winrate 0.4321 scoreLead 2.5 order 0 pv Q16 R17 pass "
         "ownership 0.1 -0.2 0.3",
         {{q16, 1234, 0.4321, 2.5, 0, {q16, r17, PassPos}}, {d4, 20, 0.25, -1.5, 1, {d4, q16}}},
         nullptr},
        {"kata of old versions: the lead as scoreMean",
         Dialect::Kata,
         "info move T1 visits 3 winrate 1 scoreMean 0.5 order 0 pv T1",
         {{t1, 3, 1.0, 0.5, 0, {t1}}},
         nullptr},
        {"kata: rootInfo's figures are no candidate's",
         Dialect::Kata,
         "info move pass visits 9 winrate 0 order 0 pv pass rootInfo visits 99 winrate 0.75 scoreLead 7",
         {{PassPos, 9, 0.0, std::nullopt, 0, {PassPos}}},
         nullptr},
        {"leela: hundredths of a percent, no order: as written",
         Dialect::Leela,
         "info move q16 visits 5 winrate 5000 prior 1621 lcb -12 pv Q16 D4 info move D4 visits 7 winrate 2500 pv D4",
         {{q16, 5, 0.5, std::nullopt, 0, {q16, d4}}, {d4, 7, 0.25, std::nullopt, 1, {d4}}},
         nullptr},
        {"blank", Dialect::Leela, "   ", {}, nullptr},
        {"visits no number", Dialect::Kata, "info move Q16 visits 12x winrate 0.5 pv Q16", {}, "12x"},
        {"negative visits", Dialect::Leela, "info move Q16 visits -1 winrate 5000", {}, "-1"},
        {"kata winrate above 1", Dialect::Kata, "info move Q16 visits 1 winrate 1.5", {}, "1.5"},
        {"leela winrate above 10000", Dialect::Leela, "info move Q16 visits 1 winrate 10001", {}, "10001"},
        {"decimal comma", Dialect::Kata, "info move Q16 visits 1 winrate 0,5", {}, "0,5"},
        {"not a number at all", Dialect::Kata, "info move Q16 visits 1 winrate nan", {}, "nan"},
        {"lead no number", Dialect::Kata, "info move Q16 visits 1 winrate 0.5 scoreLead +-3", {}, "+-3"},
        {"move off the board", Dialect::Kata, "info move Z25 visits 1 winrate 0.5", {}, "Z25"},
        {"pv off the board", Dialect::Leela, "info move Q16 visits 1 winrate 5000 pv Q16 U20", {}, "U20"},
        {"no winrate", Dialect::Kata, "info move Q16 visits 1 order 0 pv Q16", {}, "winrate"},
        {"no move", Dialect::Leela, "info visits 1 winrate 5000", {}, "move"},
        {"a key without its value", Dialect::Kata, "info move Q16 winrate 0.5 visits", {}, "visits"},
        {"not an info line", Dialect::Kata, "= play Q16", {}, "info"},
        {"no dialect", Dialect::None, "info move Q16 visits 1 winrate 0.5", {}, "形式"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const LineRead read = readLine(r.line, r.dialect, 19);
        if (r.error == nullptr) {
            EXPECT_EQ(read.error, "");
            EXPECT_EQ(read.candidates, r.expected);
        } else {
            EXPECT_NE(read.error.find(r.error), std::string::npos) << read.error;
            EXPECT_TRUE(read.candidates.empty());
        }
    }
}

TEST(AnalysisLine, DialectFromTheCommandListAndItsCommand) {
    const struct {
        const char* list;
        Dialect dialect;
        const char* command;  // for white to move every 20 hundredths
    } dialects[] = {
        {"protocol_version\nkata-analyze\nlz-analyze\nplay", Dialect::Kata, "kata-analyze W 20\n"},
        {"lz-analyze\nlz-genmove_analyze", Dialect::Leela, "lz-analyze W 20\n"},
        {"kata-analyzer\nplay\ntop_moves_black", Dialect::None, nullptr},
        {"", Dialect::None, nullptr},
    };
    for (const auto& d : dialects) {
        SCOPED_TRACE(d.list);
        EXPECT_EQ(dialectOf(d.list), d.dialect);
        const auto c = analyzeCommand(d.dialect, White, 20);
        EXPECT_EQ(c ? c->line() : "", d.command ? d.command : "");
    }
    EXPECT_EQ(analyzeCommand(Dialect::Kata, 3, 20), std::nullopt);
    EXPECT_EQ(analyzeCommand(Dialect::Leela, Black, 0)->line(), "lz-analyze B 1\n");
}

}  // namespace
}  // namespace tavrin::analysis
