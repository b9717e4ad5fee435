// The record tree's edits and questions. Trees are read from SGF text by the program's
// reader and shown here in a compact SGF form of the test's own, so each row reads as
// "this file, this edit, this tree".

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "formats/SgfReader.h"
#include "game/Engine.h"
#include "record/RecordTree.h"
#include "tests/record/RecordTestSupport.h"

namespace tavrin {
namespace {

using test::freshGame;
using test::shown;
using test::treeOf;

TEST(RecordTree, ReadsEveryNodePropertyAndValueInFileOrder) {
    const struct {
        const char* what;
        std::string sgf;
        std::string tree;
    } cases[] = {
        {"a record alone", "(;SZ[9];B[aa];W[bb])", "(;SZ[9];B[aa];W[bb])"},
        {"identifiers as written, escapes undone", "(;SZ[9]c[a\\]b\\\\];b[aa]LB[cc:x])",
         "(;SZ[9]c[a]b\\];b[aa]LB[cc:x])"},
        {"several values, blanks between", "(;SZ[9]AB[aa] [bb]TR[cc][dd];B[ee])", "(;SZ[9]AB[aa][bb]TR[cc][dd];B[ee])"},
        {"a value's line breaks kept, a soft one dropped", "(;SZ[9]C[one\r\ntwo\\\nthree\n])",
         "(;SZ[9]C[one\ntwothree\n])"},
        {"variations in order", "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd])(;W[ee]))",
         "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd])(;W[ee]))"},
        {"a collection: every game", "(;SZ[9];B[aa])\n(;SZ[13]GN[two];B[mm])(;C[three])",
         "(;SZ[9];B[aa])(;SZ[13]GN[two];B[mm])(;C[three])"},
        {"an empty node and a blank move kept", "(;SZ[9];;B[aa];W[])", "(;SZ[9];;B[aa];W[])"},
        {"a node of two moves", "(;SZ[9];B[aa]W[bb];B[cc])", "(;SZ[9];B[aa]W[bb];B[cc])"},
        {"an empty game is one empty node", "()", "(;)"},
        {"properties after \"(\" open a node", "(;SZ[9](C[x];B[aa]))", "(;SZ[9];C[x];B[aa])"},
        {"properties after a \")\" are no node's", "(;SZ[9];B[aa](;W[bb])C[x](;W[cc]))",
         "(;SZ[9];B[aa](;W[bb])(;W[cc]))"},
    };
    for (const auto& c : cases) EXPECT_EQ(shown(treeOf(c.sgf)), c.tree) << c.what;
}

TEST(RecordTree, MainLineQuestions) {
    // Index: 0 root, 1 empty node, 2 B[aa] (two variations branch here), 3 W[bb]+B[cc], 4 W[dd].
    const RecordTree t = treeOf("(;SZ[9]C[root];C[before];B[aa](;W[bb]B[cc]C[x][y];W[dd])(;W[ee])(;W[ff]))");
    EXPECT_EQ(t.mainLineLength(), 5);
    EXPECT_EQ(t.moveCount(), 4);
    const struct { int move, node; } moves[] = {{-1, 0}, {0, 0}, {1, 2}, {2, 3}, {3, 3}, {4, 4}, {5, -1}};
    for (const auto& m : moves) EXPECT_EQ(t.nodeOfMove(m.move), m.node) << "move " << m.move;
    const struct {
        int node, movesThrough, variations;
        const char* comment;
    } nodes[] = {{0, 0, 0, "root"}, {1, 0, 0, "before"}, {2, 1, 2, ""},
                 {3, 3, 0, "x\ny"}, {4, 4, 0, ""},       {5, 4, 0, ""}};
    for (const auto& n : nodes) {
        EXPECT_EQ(t.movesThrough(n.node), n.movesThrough) << "node " << n.node;
        EXPECT_EQ(t.variationCount(n.node), n.variations) << "node " << n.node;
        EXPECT_EQ(t.hasVariations(n.node), n.variations > 0) << "node " << n.node;
        EXPECT_EQ(t.comment(n.node), n.comment) << "node " << n.node;
    }
}

TEST(RecordTree, KeepMovesCutsTheMainLineAndWhatHangsFromIt) {
    const std::string withVariations = "(;SZ[9];B[aa]C[one](;W[bb](;B[cc];W[dd])(;B[ee]))(;W[ff]))";
    const struct {
        const char* what;
        std::string sgf;
        int keep;
        std::string tree;
    } cases[] = {
        {"nothing to cut", withVariations, 4, "(;SZ[9];B[aa]C[one](;W[bb](;B[cc];W[dd])(;B[ee]))(;W[ff]))"},
        {"the last move", withVariations, 3, "(;SZ[9];B[aa]C[one](;W[bb](;B[cc])(;B[ee]))(;W[ff]))"},
        {"the alternatives to a removed move go with it", withVariations, 2, "(;SZ[9];B[aa]C[one](;W[bb])(;W[ff]))"},
        {"back to the first move", withVariations, 1, "(;SZ[9];B[aa]C[one])"},
        {"back to the start", withVariations, 0, "(;SZ[9])"},
        {"below zero is the start", "(;SZ[9];B[aa])", -3, "(;SZ[9])"},
        {"a node before the first move stays", "(;SZ[9];C[x];B[aa];W[bb])", 0, "(;SZ[9];C[x])"},
        {"later moves of the same node go", "(;SZ[9];B[aa]C[k]W[bb];B[cc])", 1, "(;SZ[9];B[aa]C[k])"},
        {"a move in the root", "(;SZ[9]B[aa];W[bb])", 0, "(;SZ[9])"},
        {"other games stay", "(;SZ[9];B[aa];W[bb])(;C[two])", 1, "(;SZ[9];B[aa])(;C[two])"},
    };
    for (const auto& c : cases) {
        RecordTree t = treeOf(c.sgf);
        t.keepMoves(c.keep);
        EXPECT_EQ(shown(t), c.tree) << c.what;
        EXPECT_EQ(t.moveCount(), std::max(0, std::min(c.keep, treeOf(c.sgf).moveCount()))) << c.what;
    }
}

TEST(RecordTree, AppendMoveAddsANodeAtTheMainLinesEnd) {
    RecordTree t = treeOf("(;SZ[9];B[aa](;W[bb])(;W[cc]))");
    t.appendMove(Black, 3 * 11 + 4, 9);  // column 3, row 4 of 9x9
    t.appendMove(White, PassPos, 9);
    EXPECT_EQ(shown(t), "(;SZ[9];B[aa](;W[bb];B[cd];W[tt])(;W[cc]))");
    EXPECT_EQ(t.moveCount(), 4);
    EXPECT_EQ(t.nodeOfMove(4), 4);

    RecordTree fresh;  // a new game
    EXPECT_EQ(shown(fresh), "(;)");
    fresh.appendMove(Black, 1 * 21 + 1, 19);
    EXPECT_EQ(shown(fresh), "(;;B[aa])");
    EXPECT_FALSE(fresh.hasExtras());
}

TEST(RecordTree, SetCommentReplacesAddsOrRemovesC) {
    const struct {
        const char* what;
        int node;
        std::string text;
        std::string tree;
    } cases[] = {
        {"replaces every value", 1, "new", "(;SZ[9]C[r];B[aa]N[n]C[new];W[bb])"},
        {"added after the node's properties", 2, "w", "(;SZ[9]C[r];B[aa]N[n]C[a][b];W[bb]C[w])"},
        {"line breaks of any kind become \\n", 0, "1\r\n2\r3\n4", "(;SZ[9]C[1\n2\n3\n4];B[aa]N[n]C[a][b];W[bb])"},
        {"an empty text removes it", 1, "", "(;SZ[9]C[r];B[aa]N[n];W[bb])"},
        {"an empty text where there is none", 2, "", "(;SZ[9]C[r];B[aa]N[n]C[a][b];W[bb])"},
        {"past the main line: nothing", 3, "x", "(;SZ[9]C[r];B[aa]N[n]C[a][b];W[bb])"},
    };
    for (const auto& c : cases) {
        RecordTree t = treeOf("(;SZ[9]C[r];B[aa]N[n]C[a][b];W[bb])");
        t.setComment(c.node, c.text);
        EXPECT_EQ(shown(t), c.tree) << c.what;
    }
}

TEST(RecordTree, HasExtrasOnlyWhenTheRecordsOwnFormWouldLoseSomething) {
    const struct {
        std::string sgf;
        bool extras;
    } cases[] = {
        {"(;GM[1]FF[4]SZ[9]PB[x]KM[6.5]HA[0];B[aa];W[bb])", false},
        {"(;SZ[9];B[aa];W[bb]PB[late])", false},  // written in the root, where it is read
        {"(;SZ[9]AB[aa][bb];W[cc])", false},
        {"(;SZ[9]C[x];B[aa])", true},
        {"(;SZ[9];B[aa]BL[30])", true},
        {"(;SZ[9];B[aa](;W[bb])(;W[cc]))", true},
        {"(;SZ[9];B[aa])(;SZ[9])", true},
        {"(;SZ[9]B[aa])", true},
        {"(;SZ[9];;B[aa])", true},
        {"(;SZ[9];B[aa]W[bb])", true},
        {"(;SZ[9];B[aa];W[])", true},
    };
    for (const auto& c : cases) EXPECT_EQ(treeOf(c.sgf).hasExtras(), c.extras) << c.sgf;
}

TEST(RecordTree, ResetHoldsTheRecordAlone) {
    GameState g = freshGame();
    TextBuffer buf;
    buf.setText("(;SZ[9]AB[ee]C[x];B[aa]C[y](;W[bb])(;W[cc]))");
    ASSERT_TRUE(fncStringsToKif(g, buf, "").ok());
    RecordTree t = treeOf("(;C[old])");
    t.Rebuilt = true;
    t.reset(g);
    EXPECT_EQ(shown(t), "(;;B[aa];W[bb])");
    EXPECT_FALSE(t.Rebuilt);
    EXPECT_FALSE(t.hasExtras());
}

TEST(RecordTree, ComparingTrees) {
    const RecordTree a = treeOf("(;SZ[9]C[r];B[aa]C[x];W[bb])");
    EXPECT_TRUE(a == treeOf("(;SZ[9]C[r];B[aa]C[x];W[bb])"));
    EXPECT_FALSE(a == treeOf("(;SZ[9]C[r];B[aa]C[y];W[bb])"));
    // Beyond the record: the root's own properties and the points of moves are the record's.
    EXPECT_TRUE(a.sameBeyondRecord(treeOf("(;GM[1]SZ[19]C[r]PB[p];B[cc]C[x];W[dd])")));
    EXPECT_FALSE(a.sameBeyondRecord(treeOf("(;SZ[9]C[r];W[aa]C[x];W[bb])")));
    EXPECT_FALSE(a.sameBeyondRecord(treeOf("(;SZ[9]C[r];B[aa]C[x];W[bb]C[z])")));
    EXPECT_FALSE(a.sameBeyondRecord(treeOf("(;SZ[9]C[r];B[aa]C[x](;W[bb])(;W[cc]))")));
    // Off the main line everything counts.
    EXPECT_FALSE(treeOf("(;;B[aa](;W[bb])(;W[cc]))").sameBeyondRecord(treeOf("(;;B[aa](;W[bb])(;W[dd]))")));
}

TEST(RecordTree, StaysSmall) {
    std::string sgf = "(;GM[1]FF[4]SZ[19]PB[Black]PW[White]KM[6.5]RE[B+R]";
    for (int k = 0; k < 300; ++k) {
        sgf += k % 2 ? ";W[" : ";B[";
        sgf += static_cast<char>('a' + k % 19);
        sgf += static_cast<char>('a' + k / 19);
        sgf += k % 10 ? "]" : "]C[a comment of some forty bytes, now and then]";
    }
    const RecordTree t = treeOf(sgf + ")");
    EXPECT_EQ(t.moveCount(), 300);
    EXPECT_LE(t.memoryBytes(), 64u * 1024u);

    // Comments edited again and again do not pile up.
    RecordTree edited = t;
    const std::string text(2000, 'x');
    for (int k = 0; k < 2000; ++k) edited.setComment(k % 300, text + std::to_string(k));
    EXPECT_EQ(edited.comment(1999 % 300), text + "1999");
    EXPECT_EQ(edited.moveCount(), 300);
    EXPECT_LE(edited.memoryBytes(), 2 * 300 * 2100u + 64u * 1024u);
}

}  // namespace
}  // namespace tavrin
