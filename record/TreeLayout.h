#pragma once
// Where the game-tree pane draws each node of one game: column = depth (the root at 0), row
// 0 for the main line, every variation on one row from the node that branches (its parent)
// to the end of its line. Variations are placed in the order the tree is read (a branch's
// own variations before the next branch); each takes the first row below its parent's row
// that is free from the parent's column to its line's end. Pure.

#include <algorithm>
#include <vector>

#include "record/RecordTree.h"

namespace tavrin {

class TreeLayout {
public:
    using NodeId = RecordTree::NodeId;
    struct Place {
        int Column = -1;  // -1: not a node of the laid-out game
        int Row = -1;
    };
    struct Cell {
        int Column;
        NodeId Node;
    };

    // Lays out game k of tree (nothing for a game that is not there).
    void build(const RecordTree& tree, size_t game = 0);

    int columns() const { return columns_; }
    int rows() const { return static_cast<int>(rows_.size()); }
    int nodeCount() const { return nodes_; }
    Place placeOf(NodeId n) const { return n < places_.size() ? places_[n] : Place{}; }
    // Moves on the path from the root through n (its move number when n holds a move).
    int moveNumberOf(NodeId n) const { return n < moves_.size() ? moves_[n] : 0; }
    // The node at (column, row), None when there is none.
    NodeId nodeAt(int column, int row) const;
    // The nodes of a row, by column.
    const std::vector<Cell>& row(int r) const { return rows_[static_cast<size_t>(r)]; }
    // The nodes of row r from column c0 through c1.
    template <typename Visit>
    void forEachIn(int r, int c0, int c1, Visit&& visit) const {
        if (r < 0 || r >= rows()) return;
        const std::vector<Cell>& cells = rows_[static_cast<size_t>(r)];
        auto it = std::lower_bound(cells.begin(), cells.end(), c0,
                                   [](const Cell& c, int column) { return c.Column < column; });
        for (; it != cells.end() && it->Column <= c1; ++it) visit(*it);
    }

private:
    std::vector<Place> places_;            // by node id
    std::vector<int> moves_;               // by node id
    std::vector<std::vector<Cell>> rows_;  // by row, sorted by column
    int columns_ = 0;
    int nodes_ = 0;
};

}  // namespace tavrin
