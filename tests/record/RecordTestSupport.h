#pragma once
// Trees read from SGF text by the program's reader, and shown in a compact SGF form of the
// tests' own, so a row of a table reads as "this file, this edit, this tree"; the board
// picture a painter was told to draw.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "formats/SgfReader.h"
#include "game/Engine.h"
#include "record/RecordTree.h"

namespace tavrin::test {

// The board picture as the painter has been told to draw it.
class PicturePainter final : public BoardPainter {
public:
    std::array<int, BoardCells> cells{};
    void paintStone(int pos, int colour, bool) override { cells[static_cast<size_t>(pos)] = colour; }
    void erasePoint(int pos) override { cells[static_cast<size_t>(pos)] = 0; }
};

inline GameState freshGame() {
    GameState g;
    prcNewSetCore(g, "2026-12-07");
    return g;
}

// The game and tree read from sgf; the test fails when the reader refuses it.
inline RecordTree treeOf(const std::string& sgf, GameState& g) {
    g = freshGame();
    TextBuffer buf;
    buf.setText(sgf);
    RecordTree tree;
    const LoadResult r = fncStringsToKif(g, buf, "", &tree);
    EXPECT_TRUE(r.ok()) << sgf << ": " << r.reason;
    EXPECT_FALSE(tree.Rebuilt) << sgf;
    return tree;
}

inline RecordTree treeOf(const std::string& sgf) {
    GameState g;
    return treeOf(sgf, g);
}

// The tree as compact SGF: every property as held, a node's children in parentheses when
// there are several.
inline std::string shown(const RecordTree& t) {
    std::string out;
    const std::function<void(RecordTree::NodeId)> sequence = [&](RecordTree::NodeId n) {
        out += '(';
        while (true) {
            out += ';';
            for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
                out += t.identifier(p);
                for (int k = 0; k < t.valueCount(p); ++k) out += "[" + std::string(t.value(p, k)) + "]";
            }
            if (t.childCount(n) != 1) break;
            n = t.firstChild(n);
        }
        for (RecordTree::NodeId c = t.firstChild(n); c != RecordTree::None; c = t.nextSibling(c)) sequence(c);
        out += ')';
    };
    for (size_t k = 0; k < t.gameCount(); ++k) sequence(t.gameRoot(k));
    return out;
}

}  // namespace tavrin::test
