#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "formats/RecordLoad.h"
#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "game/Engine.h"
#include "record/GameRecord.h"
#include "tests/formats/FormatsTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

using test::boardRows;
using test::expectSameGame;
using test::readSgf;

struct Shape {
    int size;
    int moves;
    int handicap;
    int komi;
    std::vector<std::string> board;  // rows from the top; empty: not checked
};

struct ReadCase {
    const char* what;
    std::string sgf;
    std::string reason;  // "" = read
    Shape shape;
};

const std::string F = reason::Format;

// Reads each case: its refusal, or the game read (size, moves, setup stones, komi, board).
template <size_t N>
void expectReads(const ReadCase (&cases)[N]) {
    for (const ReadCase& c : cases) {
        GameState g = test::newGame(19);
        EXPECT_EQ(readSgf(g, c.sgf), c.reason) << c.what;
        if (!c.reason.empty()) continue;
        EXPECT_EQ(g.BoardSize, c.shape.size) << c.what;
        EXPECT_EQ(g.MoveCount, c.shape.moves) << c.what;
        EXPECT_EQ(g.HandicapCount, c.shape.handicap) << c.what;
        EXPECT_EQ(g.KomiTenths, c.shape.komi) << c.what;
        if (!c.shape.board.empty()) {
            EXPECT_EQ(boardRows(g), c.shape.board) << c.what;
        }
    }
}

TEST(SgfReader, ScansTheFirstLineOfPlay) {
    const ReadCase cases[] = {
        {"two moves on 9x9",
         "(;GM[1]SZ[9];B[cc];W[gc])",
         "",
         {9,
          2,
          0,
          0,
          {".........", ".........", "..X...O..", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"first branch only",
         "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd]))",
         "",
         {9,
          3,
          0,
          0,
          {"X........", ".O.......", "..X......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"() is an empty 19x19 game", "()", "", {19, 0, 0, 0, {}}},
        {"')' where a property begins ends the record", "(;SZ[9];B[aa])(;W[bb])", "", {9, 1, 0, 0, {}}},
        {"nothing after that ')' is read", "(;SZ[9];B[aa];W[bb])KM[200])", "", {9, 2, 0, 0, {}}},
        {"empty B is not a pass", "(;SZ[9];B[];W[cc])", "", {9, 1, 0, 0, {}}},
        {"tt is a pass on 9x9", "(;SZ[9];B[tt];W[TT])", "", {9, 2, 0, 0, {}}},
        {"upper-case points",
         "(;SZ[9];B[CC])",
         "",
         {9,
          1,
          0,
          0,
          {".........", ".........", "..X......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AB gives the handicap stones (komi from HA, not from AB)",
         "(;SZ[9]AB[cc][gg];W[ee])",
         "",
         {9,
          1,
          2,
          0,
          {".........", ".........", "..X......", ".........", "....O....", ".........", "......X..", ".........",
           "........."}}},
        {"values without identifier belong to the property before them",
         "(;SZ[9]AB[aa][bb]TR[cc][dd])",
         "",
         {9, 0, 2, 0, {}}},
        {"values after AB across blanks and lines are AB stones", "(;SZ[9]AB[aa] [bb]\n[cc])", "", {9, 0, 3, 0, {}}},
        {"values without identifier before AB are ignored", "(;SZ[9]TR[cc][dd];B[ee])", "", {9, 1, 0, 0, {}}},
        // Setup after the first move stands between the moves, where its node does.
        {"AB after the first move",
         "(;SZ[9];B[aa];AB[bb];W[cc])",
         "",
         {9,
          2,
          0,
          0,
          {"X........", ".X.......", "..O......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AE empties a point a later move is played on",
         "(;SZ[9];B[aa];AE[aa];W[aa])",
         "",
         {9,
          2,
          0,
          0,
          {"O........", ".........", ".........", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AE without identifier values",
         "(;SZ[9]AB[aa][bb];B[cc];AE[aa][bb])",
         "",
         {9,
          1,
          2,
          0,
          {".........", ".........", "..X......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"empty AW ignored", "(;SZ[9]AW[];B[aa])", "", {9, 1, 0, 0, {}}},
        // A position set up with both colours (a problem), rectangles of points included;
        // a white stone that cannot stand is refused.
        {"AW and AB set up a position",
         "(;SZ[9]AW[aa][cc:cd]AB[ba:bb]PL[W])",
         "",
         {9,
          0,
          5,
          0,
          {"OX.......", ".X.......", "..O......", "..O......", ".........", ".........", ".........", ".........",
           "........."}}},
        {"a setup takes nothing, even stones without liberties",
         "(;SZ[9]AB[aa][ab]AW[ac][ba][bb])",
         "",
         {9,
          0,
          5,
          0,
          {"XO.......", "XO.......", "O........", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AW after the first move in its node",
         "(;SZ[9];B[aa]AW[bb])",
         "",
         {9,
          1,
          0,
          0,
          {"X........", ".O.......", ".........", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AW in a node after the first move",
         "(;SZ[9];B[aa];AW[bb];W[cc])",
         "",
         {9,
          2,
          0,
          0,
          {"X........", ".O.......", "..O......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"AW on a stone set up before it", "(;SZ[9]AB[aa]AW[aa])", reason::WhiteSetup, {}},
        {"blank values are ignored", "(;SZ[ ]GM[\t]B[ ])", "", {19, 0, 0, 0, {}}},
        {"identifier of three characters", "(;GM[1]\tPB[x])", F, {}},
        {"two-character identifier with a tab", "(;\tB[aa])", "", {19, 0, 0, 0, {}}},
        {"lines joined inside a value", "(;SZ[1\n9];B[aa])", "", {19, 1, 0, 0, {}}},
        {"captures are applied",
         "(;SZ[9];B[ba];W[aa];B[ab])",
         "",
         {9,
          3,
          0,
          0,
          {".X.......", "X........", ".........", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"stones read before SZ are placed on the final board",
         "(;AB[cc]SZ[9])",
         "",
         {9,
          0,
          1,
          0,
          {".........", ".........", "..X......", ".........", ".........", ".........", ".........", ".........",
           "........."}}},
        {"a stone beyond the final board", "(;B[pp]SZ[9])", F, {}},
        {"moves read before SZ are placed on the final board",
         "(;B[cc];W[gc];B[tt]SZ[9];W[dd])",
         "",
         {9,
          4,
          0,
          0,
          {".........", ".........", "..X...O..", "...O.....", ".........", ".........", ".........", ".........",
           "........."}}},
        {"SZ again of the same size", "(;SZ[9];B[cc]SZ[9];W[gc])", "", {9, 2, 0, 0, {}}},
        {"HA 2 without AB", "(;HA[2];B[aa])", "", {19, 1, 0, 0, {}}},
        // Refusals of the scan.
        {"GM other than 1", "(;GM[2])", reason::NotGo, {}},
        {"SZ not a number", "(;SZ[9x])", F, {}},
        {"SZ 26", "(;SZ[26])", reason::BoardSize, {}},
        {"SZ 1", "(;SZ[1])", reason::BoardSize, {}},
        {"a board that is no square", "(;SZ[19:13])", reason::Rectangle, {}},
        {"HA not a whole number is not used", "(;HA[7.5];B[aa])", "", {19, 1, 0, 0, {}}},
        // Identifiers of more capitals name properties of their own, kept and not used.
        {"long identifiers", "(;GM[1]KGSDE[x]MultiGoGM[1]SZ[9];B[aa])", "", {9, 1, 0, 0, {}}},
        {"AW without a value run into LB", "(;SZ[9]AWLB[dp:A];B[aa])", "", {9, 1, 0, 0, {}}},
        {"HA 10", "(;HA[10])", reason::Handicap, {}},
        {"B of one letter", "(;B[a])", F, {}},
        {"B outside 9x9", "(;SZ[9];B[jj])", F, {}},
        {"AB tt", "(;AB[tt])", F, {}},
        {"further AB value of three letters", "(;AB[aa][bbb])", F, {}},
        {"ko retaken after a move elsewhere",
         "(;SZ[9];B[ba];W[ca];B[ab];W[db];B[bc];W[cc];B[ii];W[bb];B[cb];W[hh];B[gg];W[bb])",
         "",
         {9, 12, 0, 0, {}}},
        {"duplicate AB stone", "(;AB[aa][aa])", F, {}},
    };
    expectReads(cases);
}

// A move the rules refuse stands as the record has it: the load names the first, the
// position follows the moves (a stone replaced, a suicide's group taken, a ko retaken), a
// step back over the move puts back what it took, and saving writes the moves as they were.
TEST(SgfReader, MovesTheRulesRefuseStandAsTheRecordHasThem) {
    const struct {
        const char* what;
        std::string sgf;
        std::vector<int> illegal;         // the moves the rules refuse, in order
        std::array<int, 3> captured;      // by black, by white
        std::vector<std::string> board;   // the top rows at the end; the others empty
        std::vector<std::string> before;  // the same just before the first of the moves
    } cases[] = {
        {"on a stone of the other colour", "(;SZ[9];B[aa];W[aa])", {2}, {0, 1}, {"O........"}, {"X........"}},
        {"on a stone of its own colour",
         "(;SZ[9];B[aa];W[bb];B[aa])",
         {3},
         {0, 1},
         {"X........", ".O......."},
         {"X........", ".O......."}},
        {"onto a setup stone", "(;SZ[9]AB[aa];W[aa])", {1}, {0, 1}, {"O........"}, {"X........"}},
        {"onto a stone set up later",
         "(;SZ[9];B[aa];AB[bb];W[bb])",
         {2},
         {0, 1},
         {"X........", ".O......."},
         {"X........", ".X......."}},
        {"suicide of one stone",
         "(;SZ[9];B[ba];W[cc];B[ab];W[aa])",
         {4},
         {1, 0},
         {".X.......", "X........", "..O......"},
         {".X.......", "X........", "..O......"}},
        {"suicide of a group",
         "(;SZ[9];B[ca];W[aa];B[ab];W[ee];B[bb];W[ba])",
         {6},
         {2, 0},
         {"..X......", "XX.......", ".........", ".........", "....O...."},
         {"O.X......", "XX.......", ".........", ".........", "....O...."}},
        {"ko retaken at once",
         "(;SZ[9];B[ba];W[ca];B[ab];W[db];B[bc];W[cc];B[ii];W[bb];B[cb];W[bb])",
         {10},
         {1, 1},
         {".XO......", "XO.O.....", ".XO......", ".........", ".........", ".........", ".........", ".........",
          "........X"},
         {".XO......", "X.XO.....", ".XO......", ".........", ".........", ".........", ".........", ".........",
          "........X"}},
        {"the first of two", "(;SZ[9];B[aa];W[aa];B[aa])", {2, 3}, {1, 1}, {"X........"}, {"X........"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> board = c.board;
        board.resize(9, ".........");
        GameState g = test::newGame(19);
        RecordTree tree;
        const LoadResult r = fncStringsToKif(g, test::textOf(c.sgf), "", &tree);
        ASSERT_TRUE(r.ok()) << c.what << ": " << r.reason;
        const int first = c.illegal.empty() ? 0 : c.illegal.front();
        EXPECT_EQ(r.IllegalMove, first) << c.what;
        EXPECT_EQ(boardRows(g), board) << c.what;
        EXPECT_EQ(g.CapturedCount[Black], c.captured[0]) << c.what;
        EXPECT_EQ(g.CapturedCount[White], c.captured[1]) << c.what;

        // The record's steps back and forth give each position the same way.
        GameRecord record;
        record.adopt(g, std::move(tree));
        EXPECT_EQ(record.firstIllegalMove(), first) << c.what;
        EXPECT_EQ(boardRows(record.state()), board) << c.what;
        NullPainter none;
        const int moves = record.state().MoveCount;
        std::vector<std::vector<std::string>> back(static_cast<size_t>(moves) + 1);
        for (int k = moves; k >= 0; --k) {
            record.goToMove(k, none);
            back[static_cast<size_t>(k)] = boardRows(record.state());
        }
        EXPECT_EQ(record.state().CapturedCount, (std::array<int, 3>{0, 0, 0})) << c.what;
        for (int k = 0; k <= moves; ++k) {
            record.goToMove(k, none);
            EXPECT_EQ(boardRows(record.state()), back[static_cast<size_t>(k)]) << c.what << " move " << k;
            const bool named = std::find(c.illegal.begin(), c.illegal.end(), k) != c.illegal.end();
            EXPECT_EQ(record.illegalAt(record.depth()), named) << c.what << " move " << k;
        }
        EXPECT_EQ(boardRows(record.state()), board) << c.what;
        std::vector<std::string> before = c.before;
        before.resize(9, ".........");
        record.goToIndex(record.nodeIndexOfMove(first) - 1, none);
        EXPECT_EQ(boardRows(record.state()), before) << c.what;

        // Saved and read again: the same moves, the same position.
        TextBuffer buf;
        GameState again = test::newGame(19);
        const LoadResult reread = fncStringsToKif(again, test::textOf(sgfFileBytes(g, buf, &record.tree())), "");
        EXPECT_EQ(reread.IllegalMove, first) << c.what;
        expectSameGame(again, g, c.what);
    }
    // Play from there checks moves as always, also the one the record holds.
    GameState g = test::newGame(19);
    RecordTree tree;
    ASSERT_TRUE(fncStringsToKif(g, test::textOf("(;SZ[9];B[aa];W[aa])"), "", &tree).ok());
    GameRecord record;
    record.adopt(g, std::move(tree));
    NullPainter none;
    record.goToMove(1, none);
    EXPECT_EQ(record.play(White, test::pt(record.state(), 1, 1), none), HitResult::Occupied);
    EXPECT_EQ(record.depth(), 1);
}

// Files of old programs and servers, and files damaged on their way, open as a Go player
// expects: what cannot be read as a game keeps its refusal.
TEST(SgfReader, OpensOldServersAndDamagedFiles) {
    const std::vector<std::string> handicapTwo = {".........", ".........", "......X..", ".........", "....O....",
                                                  ".........", "..X......", ".........", "........."};
    const ReadCase cases[] = {
        // Identifiers with lower-case letters are read by their capitals.
        {"old identifiers",
         "(;FF[3]SZ[9]VieW[]USer[me]CoPyright[c]AddBlack[cc];White[ee];Black[gg])",
         "",
         {9,
          2,
          1,
          0,
          {".........", ".........", "..X......", ".........", "....O....", ".........", "......X..", ".........",
           "........."}}},
        {"more than two capitals: a property of its own", "(;SZ[9]CoPyRight[c])", "", {9, 0, 0, 0, {}}},
        {"lower case alone, longer than two: a property of its own", "(;SZ[9]view[x])", "", {9, 0, 0, 0, {}}},
        // Found by the tree fuzz run: capitals the nodes cut apart name no property.
        {"three capitals across nodes", ";A;AW[]AWW[]AW", F, {}},
        // What stands around the record.
        {"a note before the record", "Game 1 (IGS)\n(;SZ[9];B[aa])", "", {9, 1, 0, 0, {}}},
        {"blanks around the record", " \t(;SZ[9];B[aa]) ", "", {9, 1, 0, 0, {}}},
        {"a note after the record", "(;SZ[9];B[aa];W[bb])\n-- \nsent (from home)", "", {9, 2, 0, 0, {}}},
        {"no opening parenthesis", ";SZ[9];B[aa];W[bb])", "", {9, 2, 0, 0, {}}},
        {"cut off inside a value", "(;SZ[9];B[aa];W[bb];B[c", "", {9, 2, 0, 0, {}}},
        {"cut off after a backslash", "(;SZ[9];B[aa]C[a\\", "", {9, 1, 0, 0, {}}},
        {"no record", "Nothing (here) to read", F, {}},
        // A handicap named without its stones: white first means the table's stones.
        {"HA without AB, white first", "(;SZ[9]HA[2];W[ee])", "", {9, 1, 2, 0, handicapTwo}},
        {"HA without AB, black first", "(;SZ[9]HA[2];B[ee])", "", {9, 1, 0, 0, {}}},
        {"HA without AB nor moves", "(;SZ[9]HA[3])", "", {9, 0, 0, 0, {}}},
        {"the table's stones in the way: the table mirrored", "(;SZ[9]HA[2];W[gc])", "", {9, 1, 2, 0, {}}},
        {"HA[6] with the side stars above and below", "(;SZ[19]HA[6];W[pj];B[dj])", "", {19, 2, 6, 0, {}}},
        {"setup of one variation is not the start",
         "(;SZ[9]HA[2]AB[cc][gg](;AB[bb]AW[dd];B[ee])(;B[ff]))",
         "",
         {9, 1, 2, 0, {}}},
        {"every placement in the way: the moves as they stand",
         "(;SZ[9]HA[2];W[gc];B[cc];W[gg])",
         "",
         {9, 3, 0, 0, {}}},
        {"illegal either way: the table's stones and the moves as they stand",
         "(;SZ[9]HA[2];W[gc];B[gc])",
         "",
         {9,
          2,
          2,
          0,
          {".........", ".........", "......X..", ".........", ".........", ".........", "..X......", ".........",
           "........."}}},
    };
    expectReads(cases);
}

// The handicap table's stones of a record that named them alone stand before the first move
// when the record is stepped through, and the tree read stays the file's.
TEST(SgfReader, TheHandicapTablesStonesStandBeforeTheFirstMove) {
    GameState g = test::newGame(19);
    RecordTree tree;
    ASSERT_TRUE(fncStringsToKif(g, test::textOf("(;SZ[9]HA[2]C[root];W[ee]C[one];B[aa])"), "", &tree).ok());
    EXPECT_FALSE(tree.Rebuilt);
    GameRecord record;
    record.adopt(g, std::move(tree));
    NullPainter none;
    record.goToMove(0, none);
    EXPECT_EQ(boardRows(record.state()),
              (std::vector<std::string>{".........", ".........", "......X..", ".........", ".........", ".........",
                                        "..X......", ".........", "........."}));
    record.goToMove(2, none);
    EXPECT_EQ(boardRows(record.state())[0], "X........");
    EXPECT_EQ(boardRows(record.state())[4], "....O....");
}

// Real files of the forms above, where the corpus is at hand: each opens with the top row
// of its final position as GNU Go reads the file (the damaged ones: once repaired).
TEST(SgfReader, OpensTheCorpusFilesOfOldServersAndDamage) {
    SKIP_WITHOUT_CORPUS();
    const struct {
        const char* file;
        int moves;
        int handicap;
        int komi;
        const char* topRow;
    } cases[] = {
        {"odd/fox_HA4_without_AB__1400163652019999058.sgf", 283, 4, 0, ".X.XXXXO...OOOX..X."},
        {"pro/fox/3p/1428322115019999050.sgf", 179, 5, 0, ".............XO..XX"},
        {"handicap/gnugo__regression__games__buzco1.sgf", 267, 3, 5, "OOO.OXXX..........."},
        {"odd/fox_missing_open_paren__1550746119080010073.sgf", 219, 0, 75, "......OO..........."},
        {"odd/fox_truncated_mid_property__1511855947010001660.sgf", 154, 2, 0, "..................."},
    };
    for (const auto& c : cases) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        const LoadResult r = fncFileReadSGF(g, buf, (test::corpusDir() / c.file).string());
        if (r.status == LoadStatus::CannotOpen) continue;  // a corpus without this file
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.reason;
        EXPECT_EQ(g.MoveCount, c.moves) << c.file;
        EXPECT_EQ(g.HandicapCount, c.handicap) << c.file;
        EXPECT_EQ(g.KomiTenths, c.komi) << c.file;
        EXPECT_EQ(boardRows(g).front(), c.topRow) << c.file;
    }
}

TEST(SgfReader, LeavesTheGameEndedAtTheLastMove) {
    GameState g = test::newGame(19);
    g.Level = 1;
    ASSERT_EQ(readSgf(g, "(;GM[1]SZ[9];B[cc];W[gc])", "/tmp/a.sgf"), "");
    EXPECT_EQ(g.CurrentMove, 3);
    EXPECT_EQ(g.SideToMove, Black);
    EXPECT_EQ(g.LastMovePos, 7 * 11 + 3);
    EXPECT_TRUE(g.GameOver);
    EXPECT_FALSE(g.EndedByPasses);
    EXPECT_EQ(g.GameDate, "");
    EXPECT_EQ(g.BlackPlayer, "");
    EXPECT_EQ(g.WhitePlayer, "");
    EXPECT_EQ(g.Level, 1);
    EXPECT_EQ(g.AppTag, test::AppTagOfThisBuild);
    EXPECT_EQ(g.MoveColor[1], Black);
    EXPECT_EQ(g.MovePos[2], 7 * 11 + 3);
    EXPECT_EQ(g.CoordName[3 * 11 + 3], "C  3");

    ASSERT_EQ(readSgf(g, "(;SZ[9]AB[aa][ii])"), "");
    EXPECT_EQ(g.SideToMove, White) << "white plays after handicap stones";
    ASSERT_EQ(readSgf(g, "(;SZ[9];B[aa];W[bb];B[tt];W[tt])"), "");
    EXPECT_TRUE(g.EndedByPasses);
    EXPECT_EQ(g.SideToMove, Black);
    ASSERT_EQ(readSgf(g, "(;SZ[9])"), "");
    EXPECT_EQ(g.SideToMove, Black);
}

TEST(SgfReader, GameInformation) {
    GameState g = test::newGame(19);
    ASSERT_EQ(readSgf(g,
                      "(;GM[1]FF[4]AP[x]GN[名人戦]EV[ev]DT[2005-07-01]PB[a\\]b\\\\c]PW[白]"
                      "RU[Japanese]RE[B+R]US[u]C[comment]N[n])"),
              "");
    EXPECT_EQ(g.GameName, "名人戦");
    EXPECT_EQ(g.GameDate, "2005-07-01");
    EXPECT_EQ(g.BlackPlayer, "a]b\\c");
    EXPECT_EQ(g.WhitePlayer, "白");
    EXPECT_EQ(g.GameRule, "Japanese");
    EXPECT_EQ(g.GameComment, "B+R");

    const struct {
        const char* sgf;
        const char* name;
        const char* date;
    } cases[] = {
        {"(;TE[t]GN[g])", "g", ""},
        {"(;GN[g]TE[t]EV[e])", "g", ""},
        {"(;EV[e]TE[t])", "e", ""},
        {"(;GN[a]GN[b])", "b", ""},
        {"(;DT[2005/7/1])", "", "2005-07-01"},
        {"(;DT[2005-07-01,02])", "", ""},
        {"(;DT[2001/10/01 22:03:45 UT])", "", ""},
        {"(;DT[2001-10-01 22:03])", "", "2001-10-01"},
        {"(;RD[2004-02-29])", "", "2004-02-29"},
        {"(;DT[2005-07-01]RD[2004-02-29])", "", "2005-07-01"},
        {"(;DT[2003-02-29])", "", ""},
        {"(;DT[05-7-1])", "", "2005-07-01"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(readSgf(g, c.sgf), "") << c.sgf;
        EXPECT_EQ(g.GameName, c.name) << c.sgf;
        EXPECT_EQ(g.GameDate, c.date) << c.sgf;
    }
}

// A record without KM gives no komi (none counted, none written); a negative one keeps its half.
TEST(SgfReader, Komi) {
    const struct {
        const char* sgf;
        const char* reason;
        int tenths;
        bool given;
    } cases[] = {
        {"(;KM[7.5])", "", 75, true},
        {"(;KM[6])", "", 60, true},
        {"(;KM[0.25])", "", 5, true},
        {"(;KM[ +6.5 ])", "", 65, true},
        {"(;KM[-6.5])", "", -65, true},
        {"(;KM[-4.5])", "", -45, true},
        {"(;KM[-4])", "", -40, true},
        {"(;KM[99.9])", "", 995, true},
        // 100 or more in steps of 25: hundredths of a point, or of a stone (doubled).
        {"(;KM[650])", "", 65, true},
        {"(;KM[750])", "", 75, true},
        {"(;KM[650.00])", "", 65, true},
        {"(;KM[100])", "", 10, true},
        {"(;KM[375])", "", 75, true},
        {"(;KM[325])", "", 65, true},
        {"(;KM[9950])", "", 995, true},
        {"(;KM[9975])", reason::Komi, 0, true},
        {"(;KM[100000])", reason::Komi, 0, true},
        {"(;KM[101])", reason::Komi, 0, true},
        {"(;KM[640])", reason::Komi, 0, true},
        {"(;KM[650.5])", reason::Komi, 0, true},
        {"(;KM[6,5])", "", 0, true},  // not a number: a komi of none
        {"(;KM[-])", "", 0, true},
        {"(;HA[3])", "", 0, false},
        {"(;HA[0])", "", 0, false},
        {"(;B[aa])", "", 0, false},
        {"(;KM[5.5]HA[3])", "", 55, true},
        {"(;AP[MultiGo:4.4.4]GN[日本棋院ネット対局 1]HA[1]KM[6.5])", "", 60, true},
        {"(;AP[MultiGo:4.4.4]GN[日本棋院ネット対局 1]HA[1])", "", 0, false},
        {"(;AP[MultiGo:4.4.4]GN[日本棋院ネット対局 1]HA[2]KM[0.5])", "", 0, true},
        {"(;AP[Other]GN[日本棋院ネット対局 1]HA[1]KM[6.5])", "", 65, true},
        {"(;AP[MultiGo:4.4.4]GN[日本棋院ネット対局 1]HA[0]KM[6.5])", "", 65, true},
    };
    for (const auto& c : cases) {
        GameState g = test::newGame(19);
        g.KomiGiven = !c.given;
        EXPECT_EQ(readSgf(g, c.sgf), c.reason) << c.sgf;
        if (*c.reason == '\0') {
            EXPECT_EQ(g.KomiTenths, c.tenths) << c.sgf;
            EXPECT_EQ(g.KomiGiven, c.given) << c.sgf;
        }
    }
}

TEST(SgfReader, RefusalLeavesTheGameExactlyAsItWas) {
    GameState g = test::newGame(13);
    g.GameName = "before";
    test::play(g, test::pt(g, 4, 4));
    const GameState before = g;
    // A refusal of the scan, one of the replay (an AB stone twice).
    for (const char* sgf : {"(;SZ[26])", "(;SZ[9]AB[aa][aa];W[bb])"}) {
        ASSERT_NE(readSgf(g, sgf, "/tmp/refused.sgf"), "") << sgf;
        EXPECT_EQ(g.BoardSize, 13) << sgf;
        EXPECT_EQ(g.Board, before.Board) << sgf;
        EXPECT_EQ(g.MovePos, before.MovePos) << sgf;
        EXPECT_EQ(g.MoveCount, 1) << sgf;
        EXPECT_EQ(g.GameName, "before") << sgf;
        EXPECT_FALSE(g.GameOver) << sgf;
    }
}

TEST(SgfReader, ARecordReadOverALongerOneIsTheRecordAlone) {
    // A long record with a capture, one with moves the rules refuse, a refused one, then a
    // short one: the game must be the short record's, whatever the earlier loads left in the
    // record arrays past its end.
    const std::string longer = "(;SZ[9];B[ba];W[aa];B[ab];W[ee];B[ef];W[fe];B[gg];W[hh];B[ii];W[ih];B[hi];W[tt];B[tt])";
    const std::string shorter = "(;SZ[9];B[cc];W[gc];B[ba])";
    GameState reused = test::newGame(19);
    ASSERT_EQ(readSgf(reused, longer), "");
    ASSERT_EQ(readSgf(reused, "(;SZ[9];B[aa];W[aa];B[ba];W[ab];B[ab])"), "");
    ASSERT_NE(readSgf(reused, "(;SZ[9]AB[aa][aa];W[bb])"), "");
    ASSERT_EQ(readSgf(reused, shorter), "");
    GameState fresh = test::newGame(19);
    ASSERT_EQ(readSgf(fresh, shorter), "");

    NullPainter p;
    const auto same = [&](const std::string& when) {
        test::expectSameGame(reused, fresh, when);
        EXPECT_EQ(reused.CurrentMove, fresh.CurrentMove) << when;
        const int entries = fresh.HandicapCount + fresh.MoveCount;
        for (int e = 1; e <= entries; ++e) EXPECT_EQ(reused.MoveTime[e], fresh.MoveTime[e]) << when;
        for (int k = 1; k <= fresh.MoveCount; ++k) {
            EXPECT_EQ(reused.MoveCaptures[k], fresh.MoveCaptures[k]) << when << " move " << k;
        }
        TextBuffer a, b;
        EXPECT_EQ(sgfFileBytes(reused, a), sgfFileBytes(fresh, b)) << when;
    };
    same("read");
    for (GameState* g : {&reused, &fresh}) prcKifBack(*g, 1, p);
    same("back to the start");
    for (GameState* g : {&reused, &fresh}) prcKifNext(*g, g->MoveCount + 1, p);
    same("on to the end");
    for (GameState* g : {&reused, &fresh}) {
        resumeCore(*g, p);
        test::play(*g, test::pt(*g, 1, 2));
        test::play(*g, test::pt(*g, 5, 5));
    }
    same("played on");
    for (GameState* g : {&reused, &fresh}) prcMattaCore(*g, p);
    same("taken back");
}

TEST(SgfReader, RecordsOfAnyLength) {
    // 342 stones that never touch (black left of the middle line, white right of it), then
    // passes, in one line or spread over lines as a paste gives them; the moves cross the
    // reader's first room (1,023 entries) and its doublings.
    std::string moves;
    for (int k = 0; k < 171; ++k) {
        const char row = static_cast<char>('a' + k % 19);
        moves += std::string(";B[") + static_cast<char>('a' + k / 19) + row + "]";
        moves += std::string(";W[") + static_cast<char>('k' + k / 19) + row + "]";
    }
    for (const int passes : {680, 681, 1705, 4658}) {
        for (const bool split : {false, true}) {
            std::string text = "(;SZ[19]AB[jj]" + moves;
            for (int k = 0; k < passes; ++k)
                text += (k % 2 ? ";W[tt]" : ";B[tt]") + std::string(split && k % 7 == 0 ? "\r\n" : "");
            GameState g = test::newGame(9);
            ASSERT_EQ(readSgf(g, text + ")"), "") << passes;
            EXPECT_EQ(g.MoveCount, 342 + passes) << passes;
            EXPECT_EQ(g.Board[static_cast<size_t>(test::pt(g, 19, 9))], White) << passes;
            EXPECT_EQ(g.MovePos[static_cast<size_t>(1 + 342 + passes)], PassPos) << passes;
        }
    }
}

// A file's bytes are scanned as they stand, without decoding every line first; what they
// give must not differ from reading the decoded lines. The cases are the ones where a byte
// means something else inside a two-byte character or at the end of a line.
TEST(SgfReader, FileBytesReadAsTheirDecodedLinesWouldBe) {
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a trail byte \\ before ]", "(;SZ[9]GN[\x83\x5C]PB[p];B[aa])"},
        {"a trail byte ] inside a value", "(;SZ[9]GN[\x83\x5D];B[aa]PW[w])"},
        {"a trail byte [ in an identifier", "(;SZ[9]\x83\x5Bxx];B[aa])"},
        {"an escaped two-byte character",
         "(;SZ[9]GN[a\\\x83\x5D"
         "b];B[aa])"},
        {"a lead byte ends a line, a trail byte begins the next", "(;SZ[9]GN[ab\x83\r\n\x5D;B[aa];W[bb])"},
        {"the same with LF and CR breaks", "(;SZ[9]PB[\x88\n\x40]PW[\x88\r\x5D;B[aa])"},
        {"a lead byte after an escape at the end of a line", "(;SZ[9]GN[x\\\x83\n]y];B[aa])"},
        {"a two-byte character ends a line", "(;SZ[9]GN[\x8D\x95\r\n];B[aa])"},
        {"half-width katakana and bytes without a character", "(;SZ[9]PB[\xB1\xB2]PW[\xFD\x80\xA0]GN[\x85\x40];B[aa])"},
        {"a lead byte before the last )", "(;SZ[9];B[aa]\x83)"},
        {"two-byte characters as identifiers", "(;SZ[9]\x8D\x95[x]\x8D\x95\x8D\x95[y];B[aa])"},
        {"one as a move", "(;SZ[9];B[\x82\xA0];W[bb])"},
        {"a move split over lines", "(;SZ[9]\r\n;B[a\r\na];W[bb]\n)\r\n"},
        {"komi and size with a two-byte character", "(;SZ[9\x82\x4F]KM[6\x81\x44\x35])"},
        {"UTF-8 over lines", "(;SZ[9]PB[\xE9\xBB\x92]\r\nPW[\xE7\x99\xBD];B[aa]\r\n)"},
        {"a byte-order mark", "\xEF\xBB\xBF(;SZ[9]PB[\xE9\xBB];B[aa])"},
        {"no record", "\x83\x5C"},
    };
    for (const auto& c : cases) test::expectSameReadEitherWay(c.bytes, c.what);
}

}  // namespace
}  // namespace tavrin
