#include "record/TreeLayout.h"

#include <algorithm>
#include <cstdint>

namespace tavrin {

namespace {

bool holdsMove(const RecordTree& t, RecordTree::NodeId n) {
    for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
        const uint32_t k = RecordTree::identKey(t.identifier(p));
        if (k == RecordTree::identKey("B") || k == RecordTree::identKey("W")) return true;
    }
    return false;
}

// The columns taken in each row, one bit a column (a row's words reach its last taken
// column): a span is checked a word at a time.
class Occupancy {
public:
    bool freeOver(int row, int c0, int c1) const {
        if (row >= static_cast<int>(bits_.size())) return true;
        const std::vector<uint64_t>& words = bits_[static_cast<size_t>(row)];
        bool free = true;
        forEachWord(c0, std::min(c1, static_cast<int>(words.size()) * 64 - 1),
                    [&](size_t w, uint64_t mask) { free = free && (words[w] & mask) == 0; });
        return free;
    }
    void take(int row, int c0, int c1) {
        if (row >= static_cast<int>(bits_.size())) bits_.resize(static_cast<size_t>(row) + 1);
        std::vector<uint64_t>& words = bits_[static_cast<size_t>(row)];
        if (words.size() <= static_cast<size_t>(c1 / 64)) words.resize(static_cast<size_t>(c1 / 64) + 1);
        forEachWord(c0, c1, [&](size_t w, uint64_t mask) { words[w] |= mask; });
        // Only the span's first column is noted for nextFreeRow: the column where the
        // variations of one node start, each below the last.
        if (c0 >= static_cast<int>(next_.size())) next_.resize(static_cast<size_t>(c0) + 1);
        std::vector<int>& next = next_[static_cast<size_t>(c0)];
        for (int r = static_cast<int>(next.size()); r <= row; ++r) next.push_back(r);
        next[static_cast<size_t>(row)] = row + 1;
    }
    // A row from row on that may be free in column c: every row passed is taken there (the
    // rows the variations of one node fill one after another are passed at once). Cells
    // taken by spans starting in other columns are not noted, so the row found may still be
    // taken: freeOver tells.
    int nextFreeRow(int c, int row) {
        if (c >= static_cast<int>(next_.size())) return row;
        std::vector<int>& next = next_[static_cast<size_t>(c)];
        const int size = static_cast<int>(next.size());
        while (row < size && next[static_cast<size_t>(row)] != row) {
            const int up = next[static_cast<size_t>(row)];
            // Halving the path: each cell passed points two steps on.
            if (up < size) next[static_cast<size_t>(row)] = next[static_cast<size_t>(up)];
            row = up;
        }
        return row;
    }

private:
    // The words of columns c0..c1 and the bits of those columns in each.
    template <typename Visit>
    static void forEachWord(int c0, int c1, Visit&& visit) {
        for (int w = c0 / 64; w <= c1 / 64 && c0 <= c1; ++w) {
            const int lo = std::max(c0, w * 64) - w * 64, hi = std::min(c1, w * 64 + 63) - w * 64;
            const uint64_t upTo = hi == 63 ? ~uint64_t{0} : (uint64_t{1} << (hi + 1)) - 1;
            visit(static_cast<size_t>(w), upTo & ~((uint64_t{1} << lo) - 1));
        }
    }
    std::vector<std::vector<uint64_t>> bits_;
    // Per column and row: the row itself while no span starting there took it, else a row
    // further on.
    std::vector<std::vector<int>> next_;
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
        while (true) {
            row = taken.nextFreeRow(c0, row);
            if (taken.freeOver(row, c0, c1)) break;
            ++row;
        }
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
    const auto byColumn = [](const Cell& a, const Cell& b) { return a.Column < b.Column; };
    for (auto& cells : rows_)
        if (!std::is_sorted(cells.begin(), cells.end(), byColumn)) std::sort(cells.begin(), cells.end(), byColumn);
}

}  // namespace tavrin
