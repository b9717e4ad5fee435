// The game tree's layout, drawn as ASCII: a node is the first letter of its move's point
// ('R' the root, '-' a node without a move), one character per column.

#include <gtest/gtest.h>

#include <string>

#include "formats/SgfReader.h"
#include "game/Engine.h"
#include "record/TreeLayout.h"

namespace tavrin {
namespace {

RecordTree treeOf(const std::string& sgf) {
    GameState g;
    prcNewSetCore(g, "2026-12-08");
    TextBuffer buf;
    buf.setText(sgf);
    RecordTree tree;
    const LoadResult r = fncStringsToKif(g, buf, "", &tree);
    EXPECT_TRUE(r.ok()) << sgf << ": " << r.reason;
    return tree;
}

char letterOf(const RecordTree& t, RecordTree::NodeId n) {
    if (t.parent(n) == RecordTree::None) return 'R';
    for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p))
        if ((t.identifier(p) == "B" || t.identifier(p) == "W") && t.valueCount(p) > 0 && !t.value(p, 0).empty())
            return t.value(p, 0)[0];
    return '-';
}

std::string drawn(const RecordTree& t, const TreeLayout& l) {
    std::string out;
    for (int r = 0; r < l.rows(); ++r) {
        std::string line;
        for (int c = 0; c < l.columns(); ++c) {
            const RecordTree::NodeId n = l.nodeAt(c, r);
            line += n == RecordTree::None ? ' ' : letterOf(t, n);
            if (n != RecordTree::None) {
                EXPECT_EQ(l.placeOf(n).Column, c);
                EXPECT_EQ(l.placeOf(n).Row, r);
            }
        }
        out += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
    }
    return out;
}

TEST(TreeLayout, VariationsTakeTheFirstRowFreeOverTheirSpan) {
    const struct {
        const char* what;
        const char* sgf;
        const char* layout;
    } rows[] = {
        {"one line", "(;FF[4];B[aa];W[bb];B[cc])", "Rabc\n"},
        {"alternatives at the root, one row each", "(;FF[4](;B[aa];W[bb])(;B[cc])(;B[dd]))",
         "Rab\n"
         " c\n"
         " d\n"},
        // x's line runs on under the branch at c, so q drops below it; t starts after x's
        // line has ended and goes back up beside it.
        {"a variation drops below a longer one",
         "(;FF[4];B[aa](;W[bb];B[cc](;W[dd];B[ee];W[ff];B[gg];W[hh])(;W[qq]))(;W[xx];B[yy];W[zz]))",
         "Rabcdefgh\n"
         "  xyz\n"
         "    q\n"},
        {"a variation's own variation goes under it, before the next branch",
         "(;FF[4];B[aa](;W[bb];B[cc];W[dd])(;W[ee](;B[ff];W[gg])(;B[hh]))(;W[ii]))",
         "Rabcd\n"
         "  efg\n"
         "   h\n"
         "  i\n"},
        {"siblings deep in a line", "(;FF[4];B[aa];W[bb];B[cc](;W[dd])(;W[ee])(;W[ff]))",
         "Rabcd\n"
         "    e\n"
         "    f\n"},
        {"a branch fits back beside an ended one",
         "(;FF[4];B[aa](;W[bb];B[cc];W[dd];B[ee];W[ff](;B[gg];W[hh])(;B[ii]))(;W[jj]))",
         "Rabcdefgh\n"
         "  j    i\n"},
        {"a node without a move", "(;FF[4];B[aa];C[x];W[bb])", "Ra-b\n"},
    };
    for (const auto& r : rows) {
        const RecordTree t = treeOf(r.sgf);
        TreeLayout l;
        l.build(t, 0);
        EXPECT_EQ(drawn(t, l), r.layout) << r.what << ": " << r.sgf << "\n" << drawn(t, l);
    }
}

TEST(TreeLayout, MoveNumbersCountMovesOnThePath) {
    // A node that only sets stones up holds no move; a variation counts from its branch.
    const RecordTree t = treeOf("(;AB[dd];B[aa];C[c];W[bb](;B[cc])(;B[ff];W[gg]))");
    TreeLayout l;
    l.build(t, 0);
    std::string numbers;
    for (int r = 0; r < l.rows(); ++r)
        for (const TreeLayout::Cell& c : l.row(r)) numbers += std::to_string(l.moveNumberOf(c.Node)) + " ";
    EXPECT_EQ(numbers, "0 1 1 2 3 3 4 ");
    EXPECT_EQ(l.nodeCount(), 7);
    // The second game of a collection alone; a game that is not there lays out nothing.
    const RecordTree two = treeOf("(;FF[4];B[aa];W[bb])(;FF[4];B[cc])");
    l.build(two, 1);
    EXPECT_EQ(drawn(two, l), "Rc\n");
    l.build(two, 5);
    EXPECT_EQ(l.rows(), 0);
    EXPECT_EQ(l.nodeAt(0, 0), RecordTree::None);
}

}  // namespace
}  // namespace tavrin
