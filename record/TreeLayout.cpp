#include "record/TreeLayout.h"

#include <algorithm>
#include <utility>

namespace tavrin {

namespace {

bool holdsMove(const RecordTree& t, RecordTree::NodeId n) {
    for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
        const uint32_t k = RecordTree::identKey(t.identifier(p));
        if (k == RecordTree::identKey("B") || k == RecordTree::identKey("W")) return true;
    }
    return false;
}

// The columns taken in each row, as sorted disjoint spans.
class Occupancy {
public:
    bool freeOver(int row, int c0, int c1) const {
        if (row >= static_cast<int>(spans_.size())) return true;
        const auto& s = spans_[static_cast<size_t>(row)];
        // The first span ending at or after c0 is the only one that can meet [c0, c1].
        auto it = std::lower_bound(s.begin(), s.end(), c0,
                                   [](const std::pair<int, int>& span, int c) { return span.second < c; });
        return it == s.end() || it->first > c1;
    }
    void take(int row, int c0, int c1) {
        if (row >= static_cast<int>(spans_.size())) spans_.resize(static_cast<size_t>(row) + 1);
        auto& s = spans_[static_cast<size_t>(row)];
        auto it = std::lower_bound(s.begin(), s.end(), c0,
                                   [](const std::pair<int, int>& span, int c) { return span.first < c; });
        s.insert(it, {c0, c1});
    }

private:
    std::vector<std::vector<std::pair<int, int>>> spans_;
};

}  // namespace

TreeLayout::NodeId TreeLayout::nodeAt(int column, int r) const {
    NodeId found = RecordTree::None;
    forEachIn(r, column, column, [&](const Cell& c) { found = c.Node; });
    return found;
}

void TreeLayout::build(const RecordTree& tree, size_t game) {
    places_.assign(tree.nodeCount(), Place{});
    moves_.assign(tree.nodeCount(), 0);
    rows_.clear();
    columns_ = 0;
    nodes_ = 0;
    if (game >= tree.gameCount()) return;

    Occupancy taken;
    // Lines still to place: the first node of a variation (the root's line first). Pushed in
    // reverse, so the earliest branch of a line is placed first, with its own branches.
    std::vector<NodeId> pending{tree.gameRoot(game)};
    std::vector<NodeId> branches;
    while (!pending.empty()) {
        const NodeId start = pending.back();
        pending.pop_back();
        const NodeId parent = tree.parent(start);
        const int column = parent == RecordTree::None ? 0 : places_[parent].Column + 1;
        int length = 0;
        for (NodeId n = start; n != RecordTree::None; n = tree.firstChild(n)) ++length;
        // From the parent's column (the branch's connector) to the line's last node.
        const int c0 = parent == RecordTree::None ? 0 : column - 1;
        const int c1 = column + length - 1;
        int row = parent == RecordTree::None ? 0 : places_[parent].Row + 1;
        while (!taken.freeOver(row, c0, c1)) ++row;
        taken.take(row, c0, c1);
        if (row >= rows()) rows_.resize(static_cast<size_t>(row) + 1);
        columns_ = std::max(columns_, c1 + 1);

        branches.clear();
        int c = column;
        for (NodeId n = start; n != RecordTree::None; n = tree.firstChild(n), ++c) {
            places_[n] = {c, row};
            const NodeId up = tree.parent(n);
            moves_[n] = (up == RecordTree::None ? 0 : moves_[up]) + (holdsMove(tree, n) ? 1 : 0);
            rows_[static_cast<size_t>(row)].push_back({c, n});
            ++nodes_;
            const NodeId first = tree.firstChild(n);
            if (first != RecordTree::None)
                for (NodeId v = tree.nextSibling(first); v != RecordTree::None; v = tree.nextSibling(v))
                    branches.push_back(v);
        }
        pending.insert(pending.end(), branches.rbegin(), branches.rend());
    }
    for (auto& cells : rows_)
        std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return a.Column < b.Column; });
}

}  // namespace tavrin
