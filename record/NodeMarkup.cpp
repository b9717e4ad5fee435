#include "record/NodeMarkup.h"

#include <algorithm>
#include <cstdlib>

#include "game/GameState.h"

namespace tavrin {

namespace {

using NodeId = RecordTree::NodeId;
using PropId = RecordTree::PropId;

constexpr uint32_t key(const char* ident) { return RecordTree::identKey(ident); }

PropId findProperty(const RecordTree& t, NodeId n, uint32_t k) {
    for (PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p))
        if (RecordTree::identKey(t.identifier(p)) == k) return p;
    return RecordTree::None;
}

std::string joinedValues(const RecordTree& t, NodeId n, const char* ident) {
    const PropId p = findProperty(t, n, key(ident));
    std::string text;
    for (int k = 0; p != RecordTree::None && k < t.valueCount(p); ++k) {
        if (k > 0) text += '\n';
        text += t.value(p, k);
    }
    return text;
}

// Every point of a point-list value: one point, or the rectangle "aa:cc" (corners in any order).
template <typename Put>
void forEachPoint(std::string_view value, int size, Put&& put) {
    const size_t colon = value.find(':');
    const int a = sgfPointPos(value.substr(0, colon), size);
    const int b = colon == std::string_view::npos ? a : sgfPointPos(value.substr(colon + 1), size);
    if (a == 0 || b == 0) return;
    const int stride = size + 2;
    const int x0 = std::min(a / stride, b / stride), x1 = std::max(a / stride, b / stride);
    const int y0 = std::min(a % stride, b % stride), y1 = std::max(a % stride, b % stride);
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) put(x * stride + y);
}

bool markShape(uint32_t k, MarkShape& shape) {
    if (k == key("TR"))
        shape = MarkShape::Triangle;
    else if (k == key("SQ"))
        shape = MarkShape::Square;
    else if (k == key("CR"))
        shape = MarkShape::Circle;
    else if (k == key("MA"))
        shape = MarkShape::Cross;
    else if (k == key("SL"))
        shape = MarkShape::Selected;
    else
        return false;
    return true;
}

// A double (the value "2") strengthens BM, TE, GB and GW.
bool emphasised(const RecordTree& t, PropId p) { return t.valueCount(p) > 0 && t.value(p, 0) == "2"; }

}  // namespace

int sgfPointPos(std::string_view value, int boardSize) {
    if (value.size() != 2) return 0;
    const int x = value[0] - 'a' + 1;
    const int y = value[1] - 'a' + 1;
    if (x < 1 || x > boardSize || y < 1 || y > boardSize) return 0;
    return x * (boardSize + 2) + y;
}

std::vector<int> sgfPointsOf(std::string_view value, int boardSize) {
    std::vector<int> points;
    forEachPoint(value, boardSize, [&](int pos) { points.push_back(pos); });
    return points;
}

std::string sgfPointText(int pos, int boardSize) {
    const int stride = boardSize + 2;
    return {static_cast<char>('a' + pos / stride - 1), static_cast<char>('a' + pos % stride - 1)};
}

NodeMarkup markupOf(const RecordTree& tree, NodeId n, int boardSize) {
    NodeMarkup m;
    for (PropId p = tree.firstProperty(n); p != RecordTree::None; p = tree.nextProperty(p)) {
        const uint32_t k = RecordTree::identKey(tree.identifier(p));
        MarkShape shape;
        if (markShape(k, shape)) {
            for (int v = 0; v < tree.valueCount(p); ++v)
                forEachPoint(tree.value(p, v), boardSize, [&](int pos) { m.Marks.push_back({pos, shape}); });
        } else if (k == key("LB")) {
            for (int v = 0; v < tree.valueCount(p); ++v) {
                // "aa:text": the text runs from the first colon (an escaped one in the text is
                // a plain colon by now).
                const std::string_view value = tree.value(p, v);
                const size_t colon = value.find(':');
                const int pos = sgfPointPos(value.substr(0, colon), boardSize);
                if (pos == 0 || colon == std::string_view::npos || colon + 1 == value.size()) continue;
                m.Labels.push_back({pos, std::string(value.substr(colon + 1))});
            }
        } else if (k == key("AR") || k == key("LN")) {
            for (int v = 0; v < tree.valueCount(p); ++v) {
                const std::string_view value = tree.value(p, v);
                const size_t colon = value.find(':');
                if (colon == std::string_view::npos) continue;
                const int from = sgfPointPos(value.substr(0, colon), boardSize);
                const int to = sgfPointPos(value.substr(colon + 1), boardSize);
                if (from == 0 || to == 0 || from == to) continue;
                m.Lines.push_back({from, to, k == key("AR")});
            }
        }
    }
    // Dimmed points: the nearest DD on the way to the root.
    for (NodeId a = n; a != RecordTree::None; a = tree.parent(a)) {
        const PropId p = findProperty(tree, a, key("DD"));
        if (p == RecordTree::None) continue;
        for (int v = 0; v < tree.valueCount(p); ++v)
            forEachPoint(tree.value(p, v), boardSize, [&](int pos) { m.Marks.push_back({pos, MarkShape::Dimmed}); });
        break;
    }
    return m;
}

std::vector<VariationMark> variationMarksOf(const RecordTree& tree, NodeId n, int boardSize) {
    std::vector<VariationMark> marks;
    if (tree.childCount(n) < 2) return marks;
    char letter = 'A';
    for (NodeId c = tree.firstChild(n); c != RecordTree::None; c = tree.nextSibling(c)) {
        const bool main = c == tree.firstChild(n);
        for (PropId p = tree.firstProperty(c); p != RecordTree::None; p = tree.nextProperty(p)) {
            const uint32_t k = RecordTree::identKey(tree.identifier(p));
            if ((k != key("B") && k != key("W")) || tree.valueCount(p) == 0) continue;
            const int pos = sgfPointPos(tree.value(p, 0), boardSize);
            const bool taken =
                std::any_of(marks.begin(), marks.end(), [&](const VariationMark& v) { return v.Pos == pos; });
            if (pos != 0 && !taken) marks.push_back({pos, k == key("B") ? Black : White, letter, main, c});
            break;
        }
        if (letter == 'Z')
            letter = 'a';
        else if (letter == 'z')
            break;  // more variations than letters: the rest go unmarked
        else
            ++letter;
    }
    return marks;
}

std::vector<std::string> annotationWords(const RecordTree& tree, NodeId n) {
    struct Word {
        const char* Ident;
        const char* Plain;
        const char* Double;
    };
    static constexpr Word Words[] = {
        {"BM", "悪手", "大悪手"},       {"TE", "好手", "妙手"},         {"DO", "疑問手", "疑問手"},
        {"IT", "面白い手", "面白い手"}, {"GB", "黒好調", "黒優勢"},     {"GW", "白好調", "白優勢"},
        {"DM", "互角", "互角"},         {"UC", "形勢不明", "形勢不明"}, {"HO", "要所", "要所"},
    };
    std::vector<std::string> words;
    for (const Word& w : Words) {
        const PropId p = findProperty(tree, n, key(w.Ident));
        if (p != RecordTree::None) words.emplace_back(emphasised(tree, p) ? w.Double : w.Plain);
    }
    return words;
}

std::string nodeName(const RecordTree& tree, NodeId n) { return joinedValues(tree, n, "N"); }
std::string nodeComment(const RecordTree& tree, NodeId n) { return joinedValues(tree, n, "C"); }

std::vector<NodeId> treeOrder(const RecordTree& t) {
    std::vector<NodeId> order;
    if (t.gameCount() == 0) return order;
    std::vector<NodeId> pending{t.gameRoot(0)};
    std::vector<NodeId> children;
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        order.push_back(n);
        children.clear();
        for (NodeId c = t.firstChild(n); c != RecordTree::None; c = t.nextSibling(c)) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return order;
}

std::vector<NodeId> searchNodes(const RecordTree& t, std::string_view text) {
    std::vector<NodeId> found;
    if (text.empty()) return found;
    const auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    };
    const std::string wanted = lower(text);
    for (const NodeId n : treeOrder(t)) {
        bool hit = false;
        for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None && !hit; p = t.nextProperty(p)) {
            const std::string_view id = t.identifier(p);
            if (id != "C" && id != "N" && id != "LB") continue;
            for (int k = 0; k < t.valueCount(p) && !hit; ++k) {
                std::string_view v = t.value(p, k);
                if (id == "LB" && v.find(':') != std::string_view::npos) v.remove_prefix(v.find(':') + 1);
                hit = lower(v).find(wanted) != std::string::npos;
            }
        }
        if (hit) found.push_back(n);
    }
    return found;
}

std::string annotationLine(const RecordTree& tree, NodeId n) {
    std::string line;
    const std::string name = nodeName(tree, n);
    if (!name.empty()) line = "【" + name + "】";
    const std::vector<std::string> words = annotationWords(tree, n);
    for (size_t k = 0; k < words.size(); ++k) {
        if (k == 0 && !line.empty()) line += ' ';
        if (k > 0) line += "・";
        line += words[k];
    }
    return line;
}

std::string nodeTooltip(const RecordTree& tree, NodeId n) {
    std::string text = annotationLine(tree, n);
    const auto addLine = [&](const std::string& s) {
        if (s.empty()) return;
        if (!text.empty()) text += '\n';
        text += s;
    };
    const std::string value = joinedValues(tree, n, "V");
    if (!value.empty()) addLine("評価値 " + value);
    const std::string comment = nodeComment(tree, n);
    addLine(comment.substr(0, comment.find('\n')));
    return text;
}

}  // namespace tavrin
