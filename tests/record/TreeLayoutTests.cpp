// The game tree's layout, drawn as ASCII: a node is the first letter of its move's point
// ('R' the root, '-' a node without a move), one character per column.

#include <gtest/gtest.h>

#include <string>

#include "record/TreeLayout.h"
#include "tests/record/RecordTestSupport.h"

namespace tavrin {
namespace {

using test::treeOf;

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

TEST(TreeLayout, LongLinesMeetWhereverTheyMeet) {
    // Branches far along a line of 200 moves: the spans cross the places where the layout's
    // bookkeeping changes words (every 64 columns).
    const struct {
        int at, length, row;  // branch after main-line node `at`, its moves, the row it takes
    } branches[] = {
        {60, 10, 1},   // columns 60..70
        {66, 2, 2},    // 66..68: under the first
        {70, 3, 2},    // 70..73: meets the first at its last column
        {71, 60, 1},   // 71..131: beside the first
        {127, 1, 2},   // 127..128: under it, after the third
        {131, 70, 2},  // 131..201: meets the fourth at its last column; the fifth's row is free past 128
        {199, 1, 1},   // 199..200: row 1 is free again after 131
    };
    RecordTree t;
    t.clear();
    std::vector<RecordTree::NodeId> line{t.addNode(RecordTree::None)};
    for (int k = 1; k <= 200; ++k) line.push_back(t.addMoveNode(line.back(), k % 2 ? 'B' : 'W', 'a', 'a'));
    std::vector<RecordTree::NodeId> starts;
    for (const auto& b : branches) {
        RecordTree::NodeId n = line[static_cast<size_t>(b.at)];
        for (int k = 0; k < b.length; ++k) {
            n = t.addMoveNode(n, 'B', 'b', 'b');
            if (k == 0) starts.push_back(n);
        }
    }
    TreeLayout l;
    l.build(t, 0);
    for (size_t k = 0; k < starts.size(); ++k) {
        EXPECT_EQ(l.placeOf(starts[k]).Column, branches[k].at + 1) << k;
        EXPECT_EQ(l.placeOf(starts[k]).Row, branches[k].row) << k;
    }
    EXPECT_EQ(l.columns(), 202);
}

}  // namespace
}  // namespace tavrin
