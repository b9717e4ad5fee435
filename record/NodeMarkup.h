#pragma once
// What a node of the record marks on the board and says about itself: the markup (TR SQ CR
// MA SL DD, LB labels, AR arrows and LN lines) with points as board positions, the moves
// its variations play next, and the annotations (N, BM TE DO IT, GB GW DM UC HO, V) as the
// Japanese words of a Go book. Pure; the board view and the tree pane draw from these.

#include <string>
#include <vector>

#include "record/RecordTree.h"

namespace tavrin {

enum class MarkShape : unsigned char { Triangle, Square, Circle, Cross, Selected, Dimmed };

struct PointMark {
    int Pos = 0;
    MarkShape Shape = MarkShape::Triangle;
    bool operator==(const PointMark&) const = default;
};

struct PointLabel {
    int Pos = 0;
    std::string Text;  // UTF-8
    bool operator==(const PointLabel&) const = default;
};

struct LineMark {
    int From = 0;
    int To = 0;
    bool Arrow = false;  // AR: a head at To; LN: a plain line
    bool operator==(const LineMark&) const = default;
};

struct NodeMarkup {
    std::vector<PointMark> Marks;  // in the node's property order; a rectangle point by point
    std::vector<PointLabel> Labels;
    std::vector<LineMark> Lines;
    bool empty() const { return Marks.empty() && Labels.empty() && Lines.empty(); }
    bool operator==(const NodeMarkup&) const = default;
};

// The board position of an SGF point ("aa" is the top-left corner) on a board of the given
// size; 0 for anything else (a pass, a point off the board).
int sgfPointPos(std::string_view value, int boardSize);
// The board positions of a point-list value: one point, or every point of the rectangle
// "aa:cc" (corners in any order); none for anything else.
std::vector<int> sgfPointsOf(std::string_view value, int boardSize);
// The SGF point of a board position ("aa" for the top-left corner).
std::string sgfPointText(int pos, int boardSize);

// The markup of node n. Points off the board, malformed values and lines from a point to
// itself are passed over. DD holds from the node that sets it until a later DD (an empty
// DD[] ends it), so the nearest DD on the path from the root counts.
NodeMarkup markupOf(const RecordTree& tree, RecordTree::NodeId n, int boardSize);

// The next move of each of n's children when n has more than one (nothing otherwise): the
// children in order, Letter 'A', 'B', …; the first child is the main line's. A child
// without a move on the board (a pass, setup only) keeps its letter and gets no mark; a
// point played by an earlier child is marked once, with the earlier letter.
struct VariationMark {
    int Pos = 0;
    int Colour = 0;  // Black or White
    char Letter = 'A';
    bool MainLine = false;
    RecordTree::NodeId Node = RecordTree::None;
    bool operator==(const VariationMark&) const = default;
};
std::vector<VariationMark> variationMarksOf(const RecordTree& tree, RecordTree::NodeId n, int boardSize);

// The move annotations of node n in the words of a Go book, in a fixed order: the move's
// own judgement (悪手, 大悪手, 好手, 妙手, 疑問手, 面白い手), then the position's (黒好調,
// 黒優勢, 白好調, 白優勢, 互角, 形勢不明) and 要所.
std::vector<std::string> annotationWords(const RecordTree& tree, RecordTree::NodeId n);
// The node's name (N), "" when none.
std::string nodeName(const RecordTree& tree, RecordTree::NodeId n);
// The node's comment (C), values joined by line breaks; "" when none.
std::string nodeComment(const RecordTree& tree, RecordTree::NodeId n);
// The nodes of the first game, in tree order (a node, then its variations one after
// another), whose comment, name or a label holds text (letters A-Z matched in either case).
std::vector<RecordTree::NodeId> searchNodes(const RecordTree& tree, std::string_view text);
// The nodes of the first game in tree order.
std::vector<RecordTree::NodeId> treeOrder(const RecordTree& tree);

// One line for the move list and the comment window: "【name】 word・word"; either part
// alone when the other is missing, "" when the node has neither.
std::string annotationLine(const RecordTree& tree, RecordTree::NodeId n);
// The tree pane's tooltip: the annotation line, "評価値 V" and the comment's first line,
// one to a line.
std::string nodeTooltip(const RecordTree& tree, RecordTree::NodeId n);

}  // namespace tavrin
