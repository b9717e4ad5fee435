#pragma once
// The SGF game tree of a record as its file holds it: nodes with their properties in file
// order (identifiers as written, values as UTF-8 text with escapes undone and line breaks
// as "\n"), children in order, and any further games of a collection. The first child at
// every node is the main line: the record the game shows. The rest rides along and is
// written back with it.
//
// Storage is flat (nodes, properties, values, and one text arena for texts of more than
// four bytes), so a 300-move record takes a few pages and reading it allocates almost
// nothing when the tree is reused. Views of identifiers and values last until the next edit.

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin {

struct GameState;
struct TreeChange;

// What edits changed in a tree, in order, each with what undoes it (see TreeChange).
struct TreeJournal {
    std::vector<TreeChange> changes;
    std::vector<uint32_t> touched;  // nodes whose properties are journaled already
    std::vector<uint32_t> added;    // nodes the edits added
};

class RecordTree {
public:
    using NodeId = uint32_t;
    using PropId = uint32_t;
    static constexpr uint32_t None = UINT32_MAX;

    // The part a property of the first game's main line plays when the record is written.
    enum class Role {
        Move,       // B or W with a value that is not blank: one of the record's moves
        Rewritten,  // GM FF CA AP SZ GN DT PB PW RE RU KM HA, AB AW before the first move: written
                    // in the record's form
        Other,      // anything else: written as it stands
    };

    // One game whose root has no properties: the tree of a new game.
    RecordTree();

    // ---- Reading the main line (index 0 is the root of the first game) ----

    // Number of nodes on the main line (at least 1).
    int mainLineLength() const;
    // Moves held by the main line.
    int moveCount() const;
    // Main-line index of the node holding move k (1-based); 0 for k <= 0, -1 past the end.
    int nodeOfMove(int k) const;
    // Moves held by main-line nodes 0..i.
    int movesThrough(int i) const;
    // The comment (C) of main-line node i, its values joined by line breaks; "" when none.
    std::string comment(int i) const;
    // Variations branching at main-line node i: alternatives to the next node's move.
    int variationCount(int i) const;
    bool hasVariations(int i) const { return variationCount(i) > 0; }

    // ---- Edits the game makes ----

    // Replaces C of main-line node i by text (line breaks in any form become "\n"); an empty
    // text removes it. Index out of range: nothing.
    void setComment(int i, std::string_view text);
    // The same for node n of any line.
    void setNodeComment(NodeId n, std::string_view text);
    // A node holding B or W (colour 1 or 2) at pos (PassPos for a pass) after the main
    // line's last node.
    void appendMove(int colour, int pos, int boardSize);
    // A node holding B or W (colour 1 or 2) at pos (PassPos for a pass), appended as the
    // last child of parent.
    NodeId addMove(NodeId parent, int colour, int pos, int boardSize);
    // Removes every node after n, with their variations.
    void removeChildren(NodeId n);
    // Keeps the main line's first m moves (take-back and resume): every later main-line node
    // goes, with the variations hanging from it; so do the variations at the node now last
    // (they were alternatives to a move that is gone) and any later move in that same node.
    // Variations branching from earlier nodes stay.
    void keepMoves(int m);
    // What keepMoves(m) takes besides the moves: the variations (alternatives branching
    // anywhere in what goes, the node now last included) and the nodes holding a comment.
    struct Cut {
        int variations = 0;
        int comments = 0;
    };
    Cut cutBy(int m) const;
    // The tree of g's record alone: a root without properties and one node per move.
    void reset(const GameState& g);

    // ---- Edits of the study and the board editor ----
    // These relink and unlink without renumbering: ids stay valid until compactIfWasteful.

    // Removes node n (not a root) with everything below it.
    void removeSubtree(NodeId n);
    // Moves n to place `index` among its siblings (0: first, the main line's).
    void moveSibling(NodeId n, int index);
    // Nodes below n, n included.
    int subtreeSize(NodeId n) const;
    // Unlinks property p from node n.
    void removeProperty(NodeId n, PropId p);
    // Removes value k of property p (the later ones move up).
    void removeValue(PropId p, int k);
    // A property put before the node's others (the start stones of a root holding a move).
    PropId addPropertyFirst(NodeId node, std::string_view ident);
    // Rebuilds the storage without what edits left unused once that is a good part of it:
    // ids change (true), the tree's shape and order do not.
    bool compactIfWasteful();

    // ---- The journal of edits ----
    // While a journal is set, every edit above tells it what it changed: nodes added and
    // removed (with a copy of what went), siblings moved, and a node's properties as they
    // were before its first change (touch names the node before its properties are edited
    // through addProperty, addValue, removeProperty or removeValue). Nodes are named by
    // their path, which compacting the storage keeps. A copy of the tree has no journal.
    void journalTo(TreeJournal* journal) { journal_.to = journal; }
    void touch(NodeId n);
    // Undoes one change; a journal set meanwhile receives what undoes that in turn.
    void undo(const TreeChange& change);
    // A Props change's node has those properties now.
    bool holds(const TreeChange& props) const;
    // The place of n: its game, then its index among its siblings at every level below.
    std::vector<int> pathOf(NodeId n) const;
    // The node at a path; None when the tree has none there.
    NodeId nodeAt(const std::vector<int>& path) const;

    // ---- Facts for the writer ----

    // The tree holds something the record's own form does not write: a property of another
    // role than Move and Rewritten on the main line, a main-line node other than the root
    // that holds no move or more than one, a move in the root, a variation or another game.
    bool hasExtras() const;
    // Role of property p when it stands on the first game's main line: AB and AW after its
    // first move, or below a node with several children, are setup standing where it stood
    // (Other).
    Role mainLineRole(PropId p) const;

    // The file's tree could not be matched with the record read from it (text no SGF
    // parser reads as the scanner does): the tree holds the record alone.
    bool Rebuilt = false;
    // The file's text was read as UTF-8 (declared, or found so): it is written back so.
    bool Utf8 = false;
    // A board above 19 lines, where "tt" is a point: a move without a point (B[]) is a pass.
    void setLargeBoard(bool large) {
        largeBoard_ = large;
        mainLineValid_ = false;
    }
    bool largeBoard() const { return largeBoard_; }

    // ---- Walking the tree ----

    size_t gameCount() const { return games_.size(); }
    NodeId gameRoot(size_t k) const { return games_[k]; }
    NodeId mainLineNode(int i) const;
    NodeId parent(NodeId n) const { return nodes_[n].parent; }
    NodeId firstChild(NodeId n) const { return nodes_[n].firstChild; }
    NodeId nextSibling(NodeId n) const { return nodes_[n].nextSibling; }
    int childCount(NodeId n) const;
    // n's place among its siblings (0 for a root), and n's k-th child (None when it has fewer).
    int siblingIndex(NodeId n) const;
    NodeId child(NodeId n, int k) const;
    // Ids run below this (nodes of every game, unlinked ones included): a size for tables by id.
    size_t nodeCount() const { return nodes_.size(); }
    PropId firstProperty(NodeId n) const { return nodes_[n].firstProp; }
    PropId nextProperty(PropId p) const { return props_[p].next; }
    // Node n's first property of that identifier key (identKey), None when it has none.
    PropId findProperty(NodeId n, uint32_t key) const;
    std::string_view identifier(PropId p) const { return span(props_[p].ident); }
    int valueCount(PropId p) const { return static_cast<int>(props_[p].valueCount); }
    std::string_view value(PropId p, int k) const { return span(values_[props_[p].firstValue + k]); }

    // ---- Building (the reader) ----

    // No games at all; storage is kept for the next record.
    void clear();
    // A node appended as the last child of parent; None: the root of a new game.
    NodeId addNode(NodeId parent) {
        const NodeId id = static_cast<NodeId>(nodes_.size());
        nodes_.push_back({parent, None, None, None});
        mainLineValid_ = false;
        if (parent == None) {
            games_.push_back(id);
        } else if (nodes_[parent].firstChild == None) {
            nodes_[parent].firstChild = id;
        } else {
            linkAfterSiblings(parent, id);
        }
        if (journal_.to && parent != None) [[unlikely]]
            journalAdded(id);
        return id;
    }
    // A property appended after the node's others; its values follow with addValue.
    PropId addProperty(NodeId node, std::string_view ident);
    // A value appended to p's values; when p is not the property added last, its values move
    // to the end of the storage so they stay together.
    void addValue(PropId p, std::string_view utf8);
    // addNode, addProperty and addValue in one step for the node most records are made of:
    // one property of a one-letter identifier with a value of two ASCII letters (";B[pd]").
    NodeId addMoveNode(NodeId parent, char ident, char x, char y) {
        const NodeId id = addNode(parent);
        const PropId p = static_cast<PropId>(props_.size());
        const auto packed = [](char a, char b) {
            return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
                   static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8;
        };
        // Inline bytes are kept in memory order; on a big-endian machine they are stored as text.
        if constexpr (std::endian::native == std::endian::little) {
            props_.push_back({None, {packed(ident, 0), 1 | Inline}, static_cast<uint32_t>(values_.size()), 1});
            values_.push_back({packed(x, y), 2 | Inline});
        } else {
            const char letters[2] = {x, y};
            props_.push_back({None, store(std::string_view(&ident, 1)), static_cast<uint32_t>(values_.size()), 1});
            values_.push_back(store(std::string_view(letters, 2)));
        }
        nodes_[id].firstProp = p;
        lastNode_ = id;
        lastProp_ = p;
        return id;
    }

    // ---- Comparing ----

    // Same games, nodes, properties and values, in the same order.
    bool operator==(const RecordTree& other) const;
    // The same apart from what writing the record rewrites: on the first game's main line,
    // properties of the role Rewritten (and those whose identifier keys are in alsoRewritten)
    // are left out and moves compare by colour alone.
    bool sameBeyondRecord(const RecordTree& other, const std::vector<uint32_t>& alsoRewritten = {}) const;

    // Bytes the tree holds in memory (its storage's capacity).
    size_t memoryBytes() const;

    // The identifier as the record's reader knows it, as one number: its one or two bytes
    // with ASCII letters in upper case; 0 when it is empty or longer than two bytes.
    static constexpr uint32_t identKey(std::string_view ident) {
        if (ident.empty() || ident.size() > 2) return 0;
        uint32_t key = static_cast<uint32_t>(ident.size()) << 16;
        for (size_t k = 0; k < ident.size(); ++k) {
            unsigned char c = static_cast<unsigned char>(ident[k]);
            if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
            key |= static_cast<uint32_t>(c) << (8 * k);
        }
        return key;
    }
    // Nothing but spaces and control characters (a value the reader passes over).
    static bool blank(std::string_view value);

private:
    // A text in the arena, or of up to four bytes held in place of its offset.
    struct Span {
        uint32_t offset = 0;
        uint32_t length = 0;  // Inline set: the bytes are in offset
    };
    static constexpr uint32_t Inline = 0x80000000u;
    struct Node {
        NodeId parent = None;
        NodeId firstChild = None;
        NodeId nextSibling = None;
        PropId firstProp = None;
    };
    struct Prop {
        PropId next = None;
        Span ident;
        uint32_t firstValue = 0;
        uint32_t valueCount = 0;
    };

    std::string_view span(const Span& s) const {
        if (s.length & Inline) return std::string_view(reinterpret_cast<const char*>(&s.offset), s.length & ~Inline);
        return std::string_view(text_).substr(s.offset, s.length);
    }
    Span store(std::string_view text);
    void linkAfterSiblings(NodeId parent, NodeId child);
    Role roleOf(PropId p) const;
    void refreshMainLine() const;
    void unlinkChildren(NodeId n);
    // Counts the nodes below each of pending (unlinked already) as unused storage.
    void markDead(std::vector<NodeId> pending);
    void copySubtree(const RecordTree& from, NodeId node, NodeId parent);
    void journalAdded(NodeId n);
    void journalRemoved(NodeId n);

    // The journal link goes with the tree object, not with its contents.
    struct JournalLink {
        TreeJournal* to = nullptr;
        JournalLink() = default;
        JournalLink(const JournalLink&) {}
        JournalLink& operator=(const JournalLink&) { return *this; }
    };
    JournalLink journal_;

    std::vector<NodeId> games_;
    std::vector<Node> nodes_;
    std::vector<Prop> props_;
    std::vector<Span> values_;
    std::string text_;
    // The child linkAfterSiblings last linked, and its parent: many variations of one node are
    // linked one after another without walking their list. Any other relinking forgets it.
    NodeId lastLinked_ = None;
    NodeId lastLinkedParent_ = None;
    NodeId lastNode_ = None;  // the node addProperty last added to, and its last property
    PropId lastProp_ = None;
    size_t waste_ = 0;      // bytes of text_ no value or identifier refers to any more
    size_t deadNodes_ = 0;  // nodes unlinked from the tree

    // The main line of the first game and the moves held up to each of its nodes, rebuilt
    // after an edit when next asked for.
    mutable std::vector<NodeId> mainLine_;
    mutable std::vector<int> movesThrough_;
    mutable std::vector<PropId> lateSetup_;  // AB and AW after the main line's first move, sorted
    mutable bool mainLineValid_ = false;
    bool largeBoard_ = false;  // see setLargeBoard
};

// One change of a tree, as what undoes it needs.
struct TreeChange {
    enum class Kind : uint8_t {
        Added,    // the node at path was added (with what is below it)
        Removed,  // the subtree's root was child `index` of the node at path
        Moved,    // the child of the node at path went from place `from` to place `index`
        Props,    // the node at path had the properties props
    };
    Kind kind = Kind::Added;
    std::vector<int> path;
    int index = 0;
    int from = 0;
    std::shared_ptr<const RecordTree> subtree;
    std::vector<std::pair<std::string, std::vector<std::string>>> props;
    // Bytes it holds.
    size_t memoryBytes() const;
};

}  // namespace tavrin
