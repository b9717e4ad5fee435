// Markup, variation marks and annotations of a node, read from SGF text by the program's
// reader: each row reads "these properties, these marks".

#include <gtest/gtest.h>

#include <string>

#include "record/NodeMarkup.h"
#include "tests/record/RecordTestSupport.h"

namespace tavrin {
namespace {

using test::treeOf;

// The node reached from the root by `steps` first children.
RecordTree::NodeId nodeAfter(const RecordTree& t, int steps) {
    RecordTree::NodeId n = t.gameRoot(0);
    while (steps-- > 0) n = t.firstChild(n);
    return n;
}

// A board position as SGF letters again.
std::string point(int pos, int size) {
    const int stride = size + 2;
    std::string s = "..";
    s[0] = static_cast<char>('a' + pos / stride - 1);
    s[1] = static_cast<char>('a' + pos % stride - 1);
    return s;
}

std::string shown(const NodeMarkup& m, int size) {
    static const char* const Shapes[] = {"TR", "SQ", "CR", "MA", "SL", "DD"};
    std::string out;
    const auto add = [&](const std::string& s) { out += (out.empty() ? "" : " ") + s; };
    for (const PointMark& p : m.Marks) add(std::string(Shapes[static_cast<int>(p.Shape)]) + ":" + point(p.Pos, size));
    for (const PointLabel& l : m.Labels) add("LB:" + point(l.Pos, size) + "=" + l.Text);
    for (const LineMark& l : m.Lines) add((l.Arrow ? "AR:" : "LN:") + point(l.From, size) + ">" + point(l.To, size));
    return out;
}

TEST(NodeMarkup, PropertiesBecomeMarksOnTheBoard) {
    const struct {
        const char* node;  // properties of the node after the root
        int size;
        const char* marks;
    } rows[] = {
        {"B[pd]TR[aa][ss]", 19, "TR:aa TR:ss"},
        // Rectangles, corners in either order, point by point.
        {"SQ[aa:bb]", 19, "SQ:aa SQ:ab SQ:ba SQ:bb"},
        {"CR[cb:ba]", 19, "CR:ba CR:bb CR:ca CR:cb"},
        {"MA[dd]SL[ee]CR[ff]", 19, "MA:dd SL:ee CR:ff"},
        // Off the board, a pass, broken values: nothing.
        {"TR[tt][zz][a][]SQ[aa:zz]", 19, ""},
        {"TR[ii][jj]", 9, "TR:ii"},
        // Labels: the text from the first colon; escaped ':' and ']' are the text's own.
        {"LB[aa:A][bb:1\\:2][cc:x\\]y][dd:黒]", 19, "LB:aa=A LB:bb=1:2 LB:cc=x]y LB:dd=黒"},
        {"LB[aa][bb:][zz:A]", 19, ""},
        // Arrows and lines; one from a point to itself is none.
        {"AR[aa:cc][dd:dd]LN[cc:aa][ee]", 19, "AR:aa>cc LN:cc>aa"},
        {"LN[aa:zz]AR[ia:ai]", 9, "AR:ia>ai"},
        // Every kind together, in property order by kind.
        {"tr[aa]LB[bb:x]SQ[cc]AR[aa:bb]", 19, "TR:aa SQ:cc LB:bb=x AR:aa>bb"},
    };
    for (const auto& r : rows) {
        const std::string sgf = "(;SZ[" + std::to_string(r.size) + "];" + r.node + ")";
        const RecordTree t = treeOf(sgf);
        EXPECT_EQ(shown(markupOf(t, nodeAfter(t, 1), r.size), r.size), r.marks) << sgf;
    }
}

TEST(NodeMarkup, DimmedPointsHoldUntilTheNextDD) {
    const RecordTree t = treeOf("(;SZ[19]DD[aa:ab];B[cc];W[dd]DD[ee];B[ff]DD[];W[gg])");
    const char* const expected[] = {"DD:aa DD:ab", "DD:aa DD:ab", "DD:ee", "", ""};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(shown(markupOf(t, nodeAfter(t, k), 19), 19), expected[k]) << k;
}

TEST(NodeMarkup, VariationMarksLetterEveryChild) {
    const struct {
        const char* sgf;
        const char* marks;  // letter, colour, point, '*' for the main line's
    } rows[] = {
        {"(;SZ[19];B[aa];W[bb])", ""},
        {"(;SZ[19];B[aa](;W[bb])(;W[cc]))", "A W bb *, B W cc"},
        // A pass and a setup-only child keep their letters; a point played again is marked once.
        {"(;SZ[19];B[aa](;W[bb])(;W[tt])(;AB[dd])(;W[bb])(;B[ee]))", "A W bb *, E B ee"},
        {"(;SZ[9](;B[ii])(;B[jj])(;W[aa]))", "A B ii *, C W aa"},
    };
    for (const auto& r : rows) {
        const RecordTree t = treeOf(r.sgf);
        const int size = std::string(r.sgf).find("SZ[9]") != std::string::npos ? 9 : 19;
        const RecordTree::NodeId at = t.childCount(t.gameRoot(0)) > 1 ? t.gameRoot(0) : nodeAfter(t, 1);
        std::string out;
        for (const VariationMark& v : variationMarksOf(t, at, size)) {
            if (!out.empty()) out += ", ";
            out += std::string(1, v.Letter) + (v.Colour == Black ? " B " : " W ") + point(v.Pos, size) +
                   (v.MainLine ? " *" : "");
            EXPECT_EQ(t.parent(v.Node), at);
        }
        EXPECT_EQ(out, r.marks) << r.sgf;
    }
}

TEST(NodeMarkup, AnnotationsInJapanese) {
    const struct {
        const char* node;
        const char* line;
        const char* tooltip;
    } rows[] = {
        // Doubles, the order (the move's judgement first), the name in brackets.
        {"B[aa]", "", ""},
        {"B[aa]UC[1]BM[2]", "大悪手・形勢不明", "大悪手・形勢不明"},
        {"B[aa]HO[1]GW[2]IT[]TE[1]DO[]", "好手・疑問手・面白い手・白優勢・要所",
         "好手・疑問手・面白い手・白優勢・要所"},
        {"B[aa]N[定石]BM[1]GB[1]V[-3.5]C[ここは\n手抜きが本手]", "【定石】 悪手・黒好調",
         "【定石】 悪手・黒好調\n評価値 -3.5\nここは"},
        {"B[aa]N[定石]DM[1]", "【定石】 互角", "【定石】 互角"},
        {"B[aa]C[一行目\n二行目]TE[2]", "妙手", "妙手\n一行目"},
    };
    for (const auto& r : rows) {
        const RecordTree t = treeOf(std::string("(;SZ[19];") + r.node + ")");
        EXPECT_EQ(annotationLine(t, nodeAfter(t, 1)), r.line) << r.node;
        EXPECT_EQ(nodeTooltip(t, nodeAfter(t, 1)), r.tooltip) << r.node;
    }
}

// 検索: the nodes in tree order whose comment, name or a label's text holds the words.
TEST(NodeMarkup, SearchFindsCommentsNamesAndLabelsInTreeOrder) {
    const RecordTree t = treeOf("(;C[Joseki start](;B[aa]C[a JOSEKI move];W[bb]N[Tesuji])(;B[cc]LB[dd:joseki]))");
    // Each node as the moves that lead to it.
    const auto named = [&](const std::vector<RecordTree::NodeId>& found) {
        std::string out;
        for (const RecordTree::NodeId n : found) {
            std::string path;
            for (RecordTree::NodeId a = n; t.parent(a) != RecordTree::None; a = t.parent(a))
                path = std::string(t.value(t.firstProperty(a), 0)) + path;
            out += "(" + path + ")";
        }
        return out;
    };
    const struct {
        const char* text;
        const char* found;
    } cases[] = {
        {"joseki", "()(aa)(cc)"},  // a comment, a comment in either case, a label's text only
        {"tesuji", "(aabb)"},
        {"dd", ""},  // a label's point is no text
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(named(searchNodes(t, c.text)), c.found) << c.text;
}

}  // namespace
}  // namespace tavrin
