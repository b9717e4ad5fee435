// Cutting records into kifu figures: ranges, numbers, start stones and notes, on hand-made
// records with a ko and a captured handicap stone and on real records; the rules every cut
// of every record of the corpus keeps.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "record/GameRecord.h"
#include "tests/kifu/KifuTestKit.h"
#include "tests/support/CorpusDir.h"

namespace tavrin::test {
namespace {

using Notes = std::vector<std::vector<std::string>>;

struct CutCase {
    const char* name;
    const char* record;  // SGF text, or a path below the corpus folder
    int per;
    bool restart;
    std::vector<std::pair<int, int>> ranges;
    Notes notes;
};

void expectCut(const GameState& g, const CutCase& c) {
    const KifuFigureSet set = cutKifuFigures(g, c.per, c.restart);
    ASSERT_EQ(set.Figures.size(), c.ranges.size()) << c.name;
    for (size_t k = 0; k < c.ranges.size(); ++k) {
        const KifuFigure& fig = set.Figures[k];
        EXPECT_EQ(fig.Index, static_cast<int>(k) + 1) << c.name;
        EXPECT_EQ(fig.FirstMove, c.ranges[k].first) << c.name << " figure " << k + 1;
        EXPECT_EQ(fig.LastMove, c.ranges[k].second) << c.name << " figure " << k + 1;
        EXPECT_EQ(noteTexts(fig), c.notes[k]) << c.name << " figure " << k + 1;
    }
}

TEST(KifuFigures, HandMadeRecordsCutWithTheirNotes) {
    const CutCase cases[] = {
        {"ko in one figure", KoRecord, 0, false, {{1, 15}}, {{"12 = 8", "14 パス", "15 = 9"}}},
        // Figure 2 starts with 9 standing at ed; 12 takes it and 15 is played where it stood.
        {"ko in figures of 10", KoRecord, 10, false, {{1, 10}, {11, 15}}, {{}, {"14 パス", "15 = A"}}},
        {"ko, numbers from 1", KoRecord, 10, true, {{1, 10}, {11, 15}}, {{}, {"4 パス", "5 = A"}}},
        {"handicap stone played on", HandicapRecord, 0, false, {{1, 10}}, {{"9 = A"}}},
        {"handicap stone, second figure", HandicapRecord, 5, true, {{1, 5}, {6, 10}}, {{}, {"4 = A"}}},
        {"no moves", "(;GM[1]SZ[9]HA[2]AB[cg][gc])", 100, false, {{1, 0}}, {{}}},
        // Figures without a single stone: the last move, a pass, is marked in its note.
        {"one pass", "(;GM[1]FF[4]SZ[9];B[tt])", 100, false, {{1, 1}}, {{"1 パス"}}},
        {"passes on an empty board",
         "(;GM[1]FF[4]SZ[9];B[tt];W[tt];B[tt])",
         2,
         false,
         {{1, 2}, {3, 3}},
         {{"1 パス", "2 パス"}, {"3 パス"}}},
    };
    for (const CutCase& c : cases) expectCut(readRecordText(c.record), c);
}

TEST(KifuFigures, StonesOfAFigureAreItsStartPositionThenItsMoves) {
    const GameState ko = readRecordText(KoRecord);
    const KifuFigureSet set = cutKifuFigures(ko, 10, true);
    const KifuFigure& second = set.Figures[1];
    // After move 10: cd ec dc ee de fd ii ed gg stand (8 at dd was taken by 9).
    std::map<int, FigureStone> start;
    std::vector<FigureStone> numbered;
    for (const FigureStone& s : second.Stones) {
        if (s.Move == 0)
            start[s.Pos] = s;
        else
            numbered.push_back(s);
    }
    EXPECT_EQ(start.size(), 9u);
    const int ed = sgfPoint("ed", 9), dd = sgfPoint("dd", 9);
    ASSERT_TRUE(start.count(ed));
    EXPECT_EQ(start[ed].Colour, Black);
    EXPECT_EQ(start[ed].Label, 1);
    EXPECT_FALSE(start.count(dd));
    // Moves 11, 12, 13 numbered 1..3 (14 passes, 15 is a note); 12 stands at dd.
    ASSERT_EQ(numbered.size(), 3u);
    EXPECT_EQ(numbered[1].Pos, dd);
    EXPECT_EQ(numbered[1].Move, 12);
    EXPECT_EQ(numbered[1].Number, 2);
    EXPECT_EQ(numbered[1].Colour, White);
    // The record's last move (15) is the figure's last note, so no stone is marked.
    EXPECT_EQ(second.LastMoveNote, 1);
    EXPECT_EQ(second.LastMovePos, 0);
    EXPECT_EQ(set.Figures[0].LastMoveNote, -1);

    const GameState h = readRecordText(HandicapRecord);
    const KifuFigureSet whole = cutKifuFigures(h, 0, false);
    const KifuFigure& all = whole.Figures[0];
    EXPECT_EQ(all.Stones[0].Move, 0);  // the handicap stones open the figure, plain
    EXPECT_EQ(all.Stones[1].Move, 0);
    EXPECT_EQ(all.LastMovePos, sgfPoint("ae", 9));
    EXPECT_EQ(all.LastMoveNote, -1);
}

// A figure's stones as rows from the top: the last digit of a stone's number, x or o for a
// stone without one, . for a point showing nothing.
std::vector<std::string> figureRows(const KifuFigure& fig, int size) {
    std::vector<std::string> rows(static_cast<size_t>(size), std::string(static_cast<size_t>(size), '.'));
    for (const FigureStone& s : fig.Stones) {
        const char c = s.Number > 0 ? static_cast<char>('0' + s.Number % 10) : s.Colour == Black ? 'x' : 'o';
        rows[static_cast<size_t>(s.Pos % (size + 2) - 1)][static_cast<size_t>(s.Pos / (size + 2) - 1)] = c;
    }
    return rows;
}

// Setup between the moves: before a figure's first move it is the figure's start; within a
// figure its stones show unnumbered and the unnumbered stones it empties go; after the last
// move it belongs to the last figure. The moves keep their numbers.
TEST(KifuFigures, SetupBetweenTheMovesShowsUnnumbered) {
    const char* const record = "(;SZ[9]AW[dd];B[aa];W[ba];AE[dd]AB[cc];B[ab];W[ca];AE[cc];B[ea];AW[gg])";
    GameState g;
    TextBuffer buf;
    buf.setText(record);
    RecordTree tree;
    ASSERT_TRUE(fncStringsToKif(g, buf, "", &tree).ok());
    GameRecord r;
    r.adopt(g, tree);
    const SetupChanges later = r.laterSetup();
    ASSERT_EQ(later.size(), 4u);
    const std::string e = ".........";
    const struct {
        int per;
        std::vector<std::vector<std::string>> figures;  // the top seven rows of each
    } cases[] = {{0, {{"124.5....", "3........", e, e, e, e, "......o.."}}},
                 {2,
                  {{"12.......", e, e, "...o.....", e, e, e},
                   {"xo4......", "3........", "..x......", e, e, e, e},
                   {"xoo.5....", "x........", e, e, e, e, "......o.."}}}};
    for (const auto& c : cases) {
        const KifuFigureSet set = cutKifuFigures(g, c.per, false, 0, later);
        ASSERT_EQ(set.Figures.size(), c.figures.size()) << c.per;
        for (size_t k = 0; k < c.figures.size(); ++k) {
            std::vector<std::string> rows = figureRows(set.Figures[k], 9);
            rows.resize(7);
            EXPECT_EQ(rows, c.figures[k]) << "per " << c.per << " figure " << k + 1;
        }
    }
}

TEST(KifuFigures, CuttingLeavesTheShownPositionAlone) {
    GameState g = readRecordText(KoRecord);
    NullPainter none;
    prcKifBack(g, 7, none);
    const GameState before = g;
    cutKifuFigures(g, 10, false);
    EXPECT_EQ(g.Board, before.Board);
    EXPECT_EQ(g.CurrentMove, 7);
    EXPECT_EQ(g.CapturedCount, before.CapturedCount);
}

TEST(KifuFigures, FigureOfMoveAndLabels) {
    // A 300-move line; with a branch after move 120 its moves from 121 on are a variation.
    std::string passes = "(;SZ[19]";
    for (int k = 1; k <= 150; ++k) passes += ";B[tt];W[tt]";
    const GameState g = readRecordText(passes + ")");
    ASSERT_EQ(g.MoveCount, 300);
    const struct {
        int move, per, branch, figure;
        const char* numbers;  // the figure's first and last numbers
    } figures[] = {{0, 100, 0, 1, "1-100"},       {1, 100, 0, 1, "1-100"},       {100, 100, 0, 1, "1-100"},
                   {101, 100, 0, 2, "101-200"},   {250, 100, 0, 3, "201-300"},   {51, 50, 0, 2, "51-100"},
                   {300, 0, 0, 1, "1-300"},       {120, 100, 120, 2, "101-120"}, {121, 100, 120, 3, "1-100"},
                   {221, 100, 120, 4, "101-180"}, {300, 0, 120, 2, "1-180"}};
    for (const auto& f : figures) {
        const KifuFigureSet set = cutKifuFigures(g, f.per, false, f.branch);
        const int k = figureOfMove(set, f.move);
        ASSERT_EQ(k, f.figure) << f.move << " per " << f.per << " branch " << f.branch;
        const KifuFigure& fig = set.Figures[static_cast<size_t>(k - 1)];
        EXPECT_EQ(std::to_string(fig.Notes.front().Number) + "-" + std::to_string(fig.Notes.back().Number), f.numbers)
            << f.move << " per " << f.per << " branch " << f.branch;
        EXPECT_EQ(fig.Reference > 0, f.branch > 0 && f.move > f.branch);
    }
    const std::pair<int, const char*> labels[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}};
    for (const auto& [n, text] : labels) EXPECT_EQ(figureLabelText(n), text);
}

TEST(KifuFigures, RealRecordsCutWithTheirNotes) {
    SKIP_WITHOUT_CORPUS();
    // Notes checked against the records' own move lists by hand and by a separate replay.
    const CutCase cases[] = {
        {"title game",
         "pro/kombilo/Gosei-Gos23-T08.sgf",
         100,
         false,
         {{1, 100}, {101, 200}, {201, 209}},
         {{}, {"196 = 190", "197 = A", "198 = 145", "199 = 193"}, {"205 = A", "208 = 202"}}},
        {"title game from 1",
         "pro/kombilo/Gosei-Gos23-T08.sgf",
         100,
         true,
         {{1, 100}, {101, 200}, {201, 209}},
         {{}, {"96 = 90", "97 = A", "98 = 45", "99 = 93"}, {"5 = A", "8 = 2"}}},
        {"title game in one",
         "pro/kombilo/Gosei-Gos23-T08.sgf",
         0,
         false,
         {{1, 209}},
         {{"196 = 190", "197 = 87", "198 = 145", "199 = 193", "202 = 190", "205 = 193", "208 = 190"}}},
        {"handicap game ending in a ko fight",
         "handicap/gnugo__regression__games__incident278.sgf",
         100,
         false,
         {{1, 100}, {101, 200}, {201, 300}, {301, 334}},
         {{"72 = 68", "79 = 18"}, {}, {"292 = A"}, {"304 = A",   "307 = B",   "312 = A",  "313 = B",  "317 = C",
                                                    "319 = D",   "320 = 301", "321 = E",  "322 = F",  "323 = G",
                                                    "324 = 303", "325 = B",   "326 パス", "327 = G",  "328 = C",
                                                    "329 = D",   "330 = E",   "331 = B",  "332 パス", "333 パス",
                                                    "334 パス"}}},
        {"passes at the end",
         "handicap/gnugo__regression__games__atari_atari02.sgf",
         100,
         false,
         {{1, 100}, {101, 200}, {201, 210}},
         {{}, {"181 = A", "192 = B", "195 = 189", "197 = B"}, {"207 パス", "209 パス", "210 パス"}}},
    };
    for (const CutCase& c : cases) {
        GameState g;
        ASSERT_TRUE(readRecordPath(g, (corpusDir() / c.record).string())) << c.record;
        expectCut(g, c);
    }
}

// What every cut keeps: each move once, on a stone or in a note that names what stands on
// its point; numbered stones on points that showed nothing; numbers as asked.
void expectSoundCut(const GameState& g, int per, bool restart, const std::string& what) {
    const KifuFigureSet set = cutKifuFigures(g, per, restart);
    std::vector<int> seen(static_cast<size_t>(g.MoveCount) + 1, 0);
    int next = 1;
    for (const KifuFigure& fig : set.Figures) {
        SCOPED_TRACE(what + " per " + std::to_string(per) + " figure " + std::to_string(fig.Index));
        ASSERT_EQ(fig.FirstMove, next);
        next = fig.LastMove + 1;
        std::map<int, const FigureStone*> at;
        for (const FigureStone& s : fig.Stones) {
            ASSERT_TRUE(at.emplace(s.Pos, &s).second) << "two stones at " << s.Pos;
            if (s.Move == 0) continue;
            ASSERT_GE(s.Move, fig.FirstMove);
            ASSERT_LE(s.Move, fig.LastMove);
            ++seen[static_cast<size_t>(s.Move)];
            EXPECT_EQ(s.Number, restart ? s.Move - fig.FirstMove + 1 : s.Move);
            EXPECT_EQ(s.Pos, g.MovePos[static_cast<size_t>(g.HandicapCount + s.Move)]);
        }
        int labels = 0;
        for (const FigureNote& n : fig.Notes) {
            ++seen[static_cast<size_t>(n.Move)];
            EXPECT_EQ(n.Number, restart ? n.Move - fig.FirstMove + 1 : n.Move);
            const int pos = g.MovePos[static_cast<size_t>(g.HandicapCount + n.Move)];
            if (n.Kind == FigureNoteKind::Pass) {
                EXPECT_EQ(pos, PassPos);
                continue;
            }
            ASSERT_TRUE(at.count(pos)) << "note " << figureNoteText(n) << " names an empty point";
            const FigureStone& there = *at[pos];
            if (n.Kind == FigureNoteKind::SameNumber) {
                EXPECT_GT(there.Move, 0) << "a number, not a start stone";
                EXPECT_EQ(there.Number, n.AtNumber);
                EXPECT_LT(there.Move, n.Move);
            } else {
                EXPECT_EQ(there.Move, 0);
                EXPECT_EQ(there.Label, n.AtLabel);
                EXPECT_LE(n.AtLabel, labels + 1) << "letters are given in order";
                labels = std::max(labels, n.AtLabel);
            }
        }
    }
    EXPECT_EQ(next, g.MoveCount + 1) << what;
    for (int m = 1; m <= g.MoveCount; ++m) ASSERT_EQ(seen[static_cast<size_t>(m)], 1) << what << " move " << m;
    const KifuFigure& last = set.Figures.back();
    if (g.MoveCount > 0) {
        EXPECT_NE(last.LastMovePos > 0, last.LastMoveNote >= 0) << what;
    }
}

TEST(KifuFigures, EveryCutOfEveryCorpusRecordIsSound) {
    SKIP_WITHOUT_CORPUS();
    int records = 0, notes = 0;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(corpusDir(), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file() || recordKind(it->path().string()) == RecordKind::None) continue;
        GameState g;
        if (!readRecordPath(g, it->path().string())) continue;
        ++records;
        for (int per : {50, 100, 200, 0})
            for (bool restart : {false, true}) expectSoundCut(g, per, restart, it->path().filename().string());
        for (const KifuFigure& f : cutKifuFigures(g, 100, false).Figures) notes += static_cast<int>(f.Notes.size());
    }
    EXPECT_GT(records, 100);
    EXPECT_GT(notes, 100);  // kos, retakes and passes are really there
}

TEST(KifuFigures, RandomGamesCutSoundly) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const GameState g = randomGame(320, seed);
        for (int per : {50, 100, 200, 0}) expectSoundCut(g, per, seed == 2, "seed " + std::to_string(seed));
    }
}

}  // namespace
}  // namespace tavrin::test
