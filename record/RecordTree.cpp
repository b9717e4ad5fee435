#include "record/RecordTree.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "game/GameState.h"

namespace tavrin {

namespace {

constexpr uint32_t key(std::string_view id) { return RecordTree::identKey(id); }

// Identifiers whose values the record's own form writes (the main line's B and W are moves).
bool rewrittenId(uint32_t id) {
    switch (id) {
        case key("GM"):
        case key("FF"):
        case key("CA"):
        case key("AP"):
        case key("SZ"):
        case key("GN"):
        case key("DT"):
        case key("PB"):
        case key("PW"):
        case key("RE"):
        case key("RU"):
        case key("KM"):
        case key("HA"):
        case key("AB"):
        case key("AW"): return true;
        default: return false;
    }
}

// Text with its line breaks (CR LF, CR or LF) as "\n".
std::string plainBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

}  // namespace

RecordTree::RecordTree() { addNode(None); }

bool RecordTree::blank(std::string_view value) {
    return std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

// ---- Building ----

void RecordTree::clear() {
    games_.clear();
    nodes_.clear();
    lastLinked_ = lastLinkedParent_ = None;
    props_.clear();
    values_.clear();
    text_.clear();
    lastNode_ = None;
    lastProp_ = None;
    waste_ = 0;
    deadNodes_ = 0;
    Rebuilt = false;
    Utf8 = false;
    largeBoard_ = false;
    mainLineValid_ = false;
}

RecordTree::Span RecordTree::store(std::string_view text) {
    if (text.size() <= sizeof(Span::offset)) {
        // The bytes in memory order, whatever the machine's byte order.
        char bytes[4] = {};
        switch (text.size()) {
            case 4: bytes[3] = text[3]; [[fallthrough]];
            case 3: bytes[2] = text[2]; [[fallthrough]];
            case 2: bytes[1] = text[1]; [[fallthrough]];
            case 1: bytes[0] = text[0]; break;
            default: break;
        }
        uint32_t packed;
        std::memcpy(&packed, bytes, 4);
        return {packed, static_cast<uint32_t>(text.size()) | Inline};
    }
    const Span s{static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(text.size())};
    text_.append(text);
    return s;
}

void RecordTree::linkAfterSiblings(NodeId parent, NodeId child) {
    NodeId last = lastLinkedParent_ == parent && nodes_[lastLinked_].nextSibling == None ? lastLinked_
                                                                                         : nodes_[parent].firstChild;
    while (nodes_[last].nextSibling != None) last = nodes_[last].nextSibling;
    nodes_[last].nextSibling = child;
    lastLinked_ = child;
    lastLinkedParent_ = parent;
}

RecordTree::PropId RecordTree::addProperty(NodeId node, std::string_view ident) {
    const PropId id = static_cast<PropId>(props_.size());
    Prop& p = props_.emplace_back();
    p.ident = store(ident);
    p.firstValue = static_cast<uint32_t>(values_.size());
    if (nodes_[node].firstProp == None) {
        nodes_[node].firstProp = id;
    } else {
        PropId last = node == lastNode_ ? lastProp_ : nodes_[node].firstProp;
        while (props_[last].next != None) last = props_[last].next;
        props_[last].next = id;
    }
    lastNode_ = node;
    lastProp_ = id;
    mainLineValid_ = false;
    return id;
}

void RecordTree::addValue(PropId p, std::string_view utf8) {
    Prop& prop = props_[p];
    if (prop.valueCount > 0 && prop.firstValue + prop.valueCount != values_.size()) {
        // Not the property added last: its values move to the end to stay together.
        const uint32_t first = static_cast<uint32_t>(values_.size());
        for (uint32_t k = 0; k < prop.valueCount; ++k) values_.push_back(values_[prop.firstValue + k]);
        prop.firstValue = first;
    } else if (prop.valueCount == 0) {
        prop.firstValue = static_cast<uint32_t>(values_.size());
    }
    values_.push_back(store(utf8));
    ++prop.valueCount;
    mainLineValid_ = false;
}

// ---- The main line ----

void RecordTree::refreshMainLine() const {
    if (mainLineValid_) return;
    mainLine_.clear();
    movesThrough_.clear();
    lateSetup_.clear();
    int moves = 0;
    bool divided = false;  // a node above has several children
    for (NodeId n = games_.empty() ? None : games_[0]; n != None; n = nodes_[n].firstChild) {
        for (PropId p = nodes_[n].firstProp; p != None; p = props_[p].next) {
            const Role r = roleOf(p);
            if (r == Role::Move) ++moves;
            if (r == Role::Rewritten && (moves > 0 || divided)) {
                const uint32_t id = identKey(identifier(p));
                if (id == key("AB") || id == key("AW")) lateSetup_.push_back(p);
            }
        }
        mainLine_.push_back(n);
        movesThrough_.push_back(moves);
        divided = divided || (nodes_[n].firstChild != None && nodes_[nodes_[n].firstChild].nextSibling != None);
    }
    std::sort(lateSetup_.begin(), lateSetup_.end());
    mainLineValid_ = true;
}

int RecordTree::mainLineLength() const {
    refreshMainLine();
    return static_cast<int>(mainLine_.size());
}

RecordTree::NodeId RecordTree::mainLineNode(int i) const {
    refreshMainLine();
    return i >= 0 && i < static_cast<int>(mainLine_.size()) ? mainLine_[i] : None;
}

int RecordTree::moveCount() const {
    refreshMainLine();
    return movesThrough_.empty() ? 0 : movesThrough_.back();
}

int RecordTree::movesThrough(int i) const {
    refreshMainLine();
    if (i < 0 || movesThrough_.empty()) return 0;
    return movesThrough_[std::min<size_t>(static_cast<size_t>(i), movesThrough_.size() - 1)];
}

int RecordTree::nodeOfMove(int k) const {
    refreshMainLine();
    if (k <= 0) return 0;
    const auto at = std::lower_bound(movesThrough_.begin(), movesThrough_.end(), k);
    return at == movesThrough_.end() ? -1 : static_cast<int>(at - movesThrough_.begin());
}

int RecordTree::childCount(NodeId n) const {
    int count = 0;
    for (NodeId c = nodes_[n].firstChild; c != None; c = nodes_[c].nextSibling) ++count;
    return count;
}

int RecordTree::siblingIndex(NodeId n) const {
    const NodeId parent = nodes_[n].parent;
    if (parent == None) return 0;
    int k = 0;
    for (NodeId c = nodes_[parent].firstChild; c != n && c != None; c = nodes_[c].nextSibling) ++k;
    return k;
}

RecordTree::NodeId RecordTree::child(NodeId n, int k) const {
    NodeId c = nodes_[n].firstChild;
    for (int i = 0; i < k && c != None; ++i) c = nodes_[c].nextSibling;
    return k < 0 ? None : c;
}

int RecordTree::variationCount(int i) const {
    const NodeId n = mainLineNode(i);
    return n == None ? 0 : std::max(0, childCount(n) - 1);
}

RecordTree::PropId RecordTree::findProperty(NodeId n, uint32_t id) const {
    for (PropId p = nodes_[n].firstProp; p != None; p = props_[p].next) {
        if (identKey(identifier(p)) == id) return p;
    }
    return None;
}

std::string RecordTree::comment(int i) const {
    const NodeId n = mainLineNode(i);
    const PropId p = n == None ? None : findProperty(n, key("C"));
    std::string text;
    for (int k = 0; p != None && k < valueCount(p); ++k) {
        if (k > 0) text += '\n';
        text += value(p, k);
    }
    return text;
}

RecordTree::Role RecordTree::roleOf(PropId p) const {
    const uint32_t id = identKey(identifier(p));
    if (id == key("B") || id == key("W")) {
        return props_[p].valueCount > 0 && (largeBoard_ || !blank(value(p, 0))) ? Role::Move : Role::Other;
    }
    return rewrittenId(id) ? Role::Rewritten : Role::Other;
}

RecordTree::Role RecordTree::mainLineRole(PropId p) const {
    const Role r = roleOf(p);
    if (r != Role::Rewritten) return r;
    refreshMainLine();
    return std::binary_search(lateSetup_.begin(), lateSetup_.end(), p) ? Role::Other : r;
}

bool RecordTree::hasExtras() const {
    if (games_.size() != 1) return true;
    refreshMainLine();
    for (size_t i = 0; i < mainLine_.size(); ++i) {
        const NodeId n = mainLine_[i];
        if (childCount(n) > 1) return true;
        const int moves = movesThrough_[i] - (i > 0 ? movesThrough_[i - 1] : 0);
        if (moves != (i == 0 ? 0 : 1)) return true;
        for (PropId p = nodes_[n].firstProp; p != None; p = props_[p].next) {
            if (mainLineRole(p) == Role::Other) return true;
        }
    }
    return false;
}

// ---- Edits ----

void RecordTree::setComment(int i, std::string_view text) { setNodeComment(mainLineNode(i), text); }

void RecordTree::setNodeComment(NodeId n, std::string_view text) {
    if (n == None || n >= nodes_.size()) return;
    const PropId found = findProperty(n, key("C"));
    if (found == None ? text.empty() : valueCount(found) == 1 && value(found, 0) == plainBreaks(text)) return;
    touch(n);
    lastNode_ = None;
    if (text.empty()) {
        for (int k = 0; k < valueCount(found); ++k) waste_ += value(found, k).size();
        waste_ += identifier(found).size();
        if (nodes_[n].firstProp == found) {
            nodes_[n].firstProp = props_[found].next;
        } else {
            PropId before = nodes_[n].firstProp;
            while (props_[before].next != found) before = props_[before].next;
            props_[before].next = props_[found].next;
        }
    } else {
        PropId p = found;
        if (p == None) {
            p = addProperty(n, "C");
            lastNode_ = None;
        } else {
            for (int k = 0; k < valueCount(p); ++k) waste_ += value(p, k).size();
            props_[p].valueCount = 0;
        }
        addValue(p, plainBreaks(text));
    }
    compactIfWasteful();
}

void RecordTree::appendMove(int colour, int pos, int boardSize) {
    if (games_.empty()) addNode(None);
    addMove(mainLineNode(mainLineLength() - 1), colour, pos, boardSize);
}

RecordTree::NodeId RecordTree::addMove(NodeId parent, int colour, int pos, int boardSize) {
    const NodeId n = addNode(parent);
    const PropId p = addProperty(n, colour == Black ? "B" : "W");
    // A pass is "tt" up to 19 x 19 and empty above, where "tt" is a point.
    char point[2] = {'t', 't'};
    if (pos != PassPos) {
        const int stride = boardSize + 2;
        point[0] = static_cast<char>('a' + pos / stride - 1);
        point[1] = static_cast<char>('a' + pos % stride - 1);
    }
    addValue(p, std::string_view(point, pos == PassPos && boardSize > 19 ? 0 : 2));
    lastNode_ = None;
    return n;
}

void RecordTree::removeChildren(NodeId n) {
    lastNode_ = None;
    unlinkChildren(n);
    mainLineValid_ = false;
    compactIfWasteful();
}

void RecordTree::unlinkChildren(NodeId n) {
    std::vector<NodeId> pending;
    for (NodeId c = nodes_[n].firstChild; c != None; c = nodes_[c].nextSibling) pending.push_back(c);
    // The last first: undone in the other order, each goes back to its place.
    if (journal_.to)
        for (auto c = pending.rbegin(); c != pending.rend(); ++c) journalRemoved(*c);
    nodes_[n].firstChild = None;
    lastLinked_ = lastLinkedParent_ = None;
    markDead(std::move(pending));
}

void RecordTree::markDead(std::vector<NodeId> pending) {
    while (!pending.empty()) {
        const NodeId d = pending.back();
        pending.pop_back();
        ++deadNodes_;
        for (PropId p = nodes_[d].firstProp; p != None; p = props_[p].next) {
            waste_ += identifier(p).size();
            for (int k = 0; k < valueCount(p); ++k) waste_ += value(p, k).size();
        }
        for (NodeId c = nodes_[d].firstChild; c != None; c = nodes_[c].nextSibling) pending.push_back(c);
    }
    mainLineValid_ = false;
}

void RecordTree::keepMoves(int m) {
    if (m < 0) m = 0;
    if (m >= moveCount()) return;
    const int j = nodeOfMove(m + 1);
    lastNode_ = None;
    if (movesThrough(j - 1) < m || j == 0) {
        // Node j holds move m as well as m + 1: it stays without its later moves.
        const NodeId n = mainLine_[j];
        int moves = movesThrough(j - 1);
        if (j == 0) moves = 0;
        touch(n);
        PropId before = None;
        for (PropId p = nodes_[n].firstProp; p != None;) {
            const PropId next = props_[p].next;
            if (roleOf(p) == Role::Move && ++moves > m) {
                (before == None ? nodes_[n].firstProp : props_[before].next) = next;
                waste_ += identifier(p).size() + value(p, 0).size();
            } else {
                before = p;
            }
            p = next;
        }
        unlinkChildren(n);
    } else {
        unlinkChildren(mainLine_[j - 1]);
    }
    compactIfWasteful();
}

RecordTree::Cut RecordTree::cutBy(int m) const {
    Cut cut;
    if (m < 0) m = 0;
    if (m >= moveCount()) return cut;
    // The node whose children go: the one holding move m + 1 when it holds move m as well,
    // else the one before it (as keepMoves cuts).
    const int j = nodeOfMove(m + 1);
    const NodeId from = j == 0 || movesThrough(j - 1) < m ? mainLine_[j] : mainLine_[j - 1];
    cut.variations = std::max(0, childCount(from) - 1);
    std::vector<NodeId> pending;
    for (NodeId c = nodes_[from].firstChild; c != None; c = nodes_[c].nextSibling) pending.push_back(c);
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        if (findProperty(n, key("C")) != None) ++cut.comments;
        cut.variations += std::max(0, childCount(n) - 1);
        for (NodeId c = nodes_[n].firstChild; c != None; c = nodes_[c].nextSibling) pending.push_back(c);
    }
    return cut;
}

void RecordTree::reset(const GameState& g) {
    clear();
    setLargeBoard(g.BoardSize > 19);
    addNode(None);
    for (int k = 1; k <= g.MoveCount && g.HandicapCount + k <= RecordCapacity; ++k) {
        const int e = g.HandicapCount + k;
        appendMove(g.MoveColor[e], g.MovePos[e], g.BoardSize);
    }
}

void RecordTree::removeSubtree(NodeId n) {
    const NodeId parent = nodes_[n].parent;
    if (parent == None) return;
    if (journal_.to) journalRemoved(n);
    NodeId* link = &nodes_[parent].firstChild;
    while (*link != n) link = &nodes_[*link].nextSibling;
    *link = nodes_[n].nextSibling;
    nodes_[n].nextSibling = None;
    lastNode_ = None;
    lastLinked_ = lastLinkedParent_ = None;
    markDead({n});
}

void RecordTree::moveSibling(NodeId n, int index) {
    const NodeId parent = nodes_[n].parent;
    if (parent == None) return;
    const int from = journal_.to ? siblingIndex(n) : 0;
    NodeId* link = &nodes_[parent].firstChild;
    while (*link != n) link = &nodes_[*link].nextSibling;
    *link = nodes_[n].nextSibling;
    link = &nodes_[parent].firstChild;
    for (int k = 0; k < index && *link != None; ++k) link = &nodes_[*link].nextSibling;
    nodes_[n].nextSibling = *link;
    *link = n;
    lastLinked_ = lastLinkedParent_ = None;
    mainLineValid_ = false;
    if (journal_.to && siblingIndex(n) != from) {
        TreeChange c;
        c.kind = TreeChange::Kind::Moved;
        c.path = pathOf(parent);
        c.from = from;
        c.index = siblingIndex(n);
        journal_.to->changes.push_back(std::move(c));
    }
}

int RecordTree::subtreeSize(NodeId n) const {
    int count = 0;
    std::vector<NodeId> pending{n};
    while (!pending.empty()) {
        const NodeId d = pending.back();
        pending.pop_back();
        ++count;
        for (NodeId c = nodes_[d].firstChild; c != None; c = nodes_[c].nextSibling) pending.push_back(c);
    }
    return count;
}

void RecordTree::removeProperty(NodeId n, PropId p) {
    PropId* link = &nodes_[n].firstProp;
    while (*link != None && *link != p) link = &props_[*link].next;
    if (*link == None) return;
    *link = props_[p].next;
    waste_ += identifier(p).size();
    for (int k = 0; k < valueCount(p); ++k) waste_ += value(p, k).size();
    lastNode_ = None;
    mainLineValid_ = false;
}

void RecordTree::removeValue(PropId p, int k) {
    Prop& prop = props_[p];
    if (k < 0 || static_cast<uint32_t>(k) >= prop.valueCount) return;
    waste_ += value(p, k).size();
    std::copy(values_.begin() + prop.firstValue + k + 1, values_.begin() + prop.firstValue + prop.valueCount,
              values_.begin() + prop.firstValue + k);
    --prop.valueCount;
    mainLineValid_ = false;
}

RecordTree::PropId RecordTree::addPropertyFirst(NodeId node, std::string_view ident) {
    const PropId first = nodes_[node].firstProp;
    nodes_[node].firstProp = None;
    const PropId p = addProperty(node, ident);
    props_[p].next = first;
    lastNode_ = None;
    return p;
}

// ---- Storage ----

void RecordTree::copySubtree(const RecordTree& from, NodeId node, NodeId parent) {
    std::vector<std::pair<NodeId, NodeId>> pending{{node, parent}};  // from's node, our parent
    while (!pending.empty()) {
        const auto [f, to] = pending.back();
        pending.pop_back();
        const NodeId n = addNode(to);
        for (PropId p = from.firstProperty(f); p != None; p = from.nextProperty(p)) {
            const PropId q = addProperty(n, from.identifier(p));
            for (int k = 0; k < from.valueCount(p); ++k) addValue(q, from.value(p, k));
        }
        // Children are taken last first so they come off the stack in their order.
        std::vector<NodeId> children;
        for (NodeId c = from.firstChild(f); c != None; c = from.nextSibling(c)) children.push_back(c);
        for (auto c = children.rbegin(); c != children.rend(); ++c) pending.emplace_back(*c, n);
    }
}

bool RecordTree::compactIfWasteful() {
    if (waste_ < 4096 + text_.size() / 2 && deadNodes_ < 64 + nodes_.size() / 2) return false;
    RecordTree fresh;
    fresh.clear();
    for (const NodeId root : games_) fresh.copySubtree(*this, root, None);
    fresh.Rebuilt = Rebuilt;
    fresh.Utf8 = Utf8;
    *this = std::move(fresh);
    // The journal names nodes by path; the ids it knew are gone.
    if (journal_.to) journal_.to->touched.clear(), journal_.to->added.clear();
    return true;
}

// ---- The journal ----

std::vector<int> RecordTree::pathOf(NodeId n) const {
    std::vector<int> path;
    NodeId k = n;
    for (; nodes_[k].parent != None; k = nodes_[k].parent) path.push_back(siblingIndex(k));
    path.push_back(static_cast<int>(std::find(games_.begin(), games_.end(), k) - games_.begin()));
    std::reverse(path.begin(), path.end());
    return path;
}

RecordTree::NodeId RecordTree::nodeAt(const std::vector<int>& path) const {
    if (path.empty() || path[0] < 0 || static_cast<size_t>(path[0]) >= games_.size()) return None;
    NodeId n = games_[static_cast<size_t>(path[0])];
    for (size_t i = 1; i < path.size() && n != None; ++i) n = child(n, path[i]);
    return n;
}

void RecordTree::journalAdded(NodeId n) {
    TreeChange c;
    c.kind = TreeChange::Kind::Added;
    c.path = pathOf(n);
    journal_.to->changes.push_back(std::move(c));
    journal_.to->added.push_back(n);
}

void RecordTree::journalRemoved(NodeId n) {
    auto copy = std::make_shared<RecordTree>();
    copy->clear();
    copy->copySubtree(*this, n, None);
    TreeChange c;
    c.kind = TreeChange::Kind::Removed;
    c.path = pathOf(nodes_[n].parent);
    c.index = siblingIndex(n);
    c.subtree = std::move(copy);
    journal_.to->changes.push_back(std::move(c));
}

bool RecordTree::holds(const TreeChange& change) const {
    const NodeId n = nodeAt(change.path);
    if (n == None) return false;
    size_t k = 0;
    for (PropId p = nodes_[n].firstProp; p != None; p = props_[p].next, ++k) {
        if (k >= change.props.size() || identifier(p) != change.props[k].first ||
            static_cast<size_t>(valueCount(p)) != change.props[k].second.size())
            return false;
        for (int v = 0; v < valueCount(p); ++v)
            if (value(p, v) != change.props[k].second[static_cast<size_t>(v)]) return false;
    }
    return k == change.props.size();
}

void RecordTree::touch(NodeId n) {
    TreeJournal* j = journal_.to;
    if (!j || std::find(j->added.begin(), j->added.end(), n) != j->added.end() ||
        std::find(j->touched.begin(), j->touched.end(), n) != j->touched.end())
        return;
    TreeChange c;
    c.kind = TreeChange::Kind::Props;
    c.path = pathOf(n);
    for (PropId p = nodes_[n].firstProp; p != None; p = props_[p].next) {
        std::vector<std::string> values;
        for (int k = 0; k < valueCount(p); ++k) values.emplace_back(value(p, k));
        c.props.emplace_back(std::string(identifier(p)), std::move(values));
    }
    j->changes.push_back(std::move(c));
    j->touched.push_back(n);
}

void RecordTree::undo(const TreeChange& change) {
    const NodeId at = nodeAt(change.path);
    if (at == None) return;
    switch (change.kind) {
        case TreeChange::Kind::Added: removeSubtree(at); break;
        case TreeChange::Kind::Removed: {
            TreeJournal* j = journal_.to;
            journal_.to = nullptr;
            copySubtree(*change.subtree, change.subtree->gameRoot(0), at);
            journal_.to = j;
            NodeId last = nodes_[at].firstChild;
            while (nodes_[last].nextSibling != None) last = nodes_[last].nextSibling;
            if (j) journalAdded(last);
            moveSibling(last, change.index);
            break;
        }
        case TreeChange::Kind::Moved: {
            const NodeId c = child(at, change.index);
            if (c != None) moveSibling(c, change.from);
            break;
        }
        case TreeChange::Kind::Props: {
            touch(at);
            TreeJournal* j = journal_.to;
            journal_.to = nullptr;
            while (nodes_[at].firstProp != None) removeProperty(at, nodes_[at].firstProp);
            for (const auto& [ident, values] : change.props) {
                const PropId p = addProperty(at, ident);
                for (const std::string& v : values) addValue(p, v);
            }
            journal_.to = j;
            break;
        }
    }
    mainLineValid_ = false;
}

size_t TreeChange::memoryBytes() const {
    size_t bytes = sizeof(*this) + path.capacity() * sizeof(int) + (subtree ? subtree->memoryBytes() : 0);
    for (const auto& [ident, values] : props) {
        bytes += sizeof(props[0]) + ident.capacity();
        for (const std::string& v : values) bytes += sizeof(v) + (v.size() > 15 ? v.capacity() : 0);
    }
    return bytes;
}

size_t RecordTree::memoryBytes() const {
    return sizeof(*this) + games_.capacity() * sizeof(NodeId) + nodes_.capacity() * sizeof(Node) +
           props_.capacity() * sizeof(Prop) + values_.capacity() * sizeof(Span) + text_.capacity() +
           mainLine_.capacity() * sizeof(NodeId) + movesThrough_.capacity() * sizeof(int);
}

// ---- Comparing ----

namespace {

// Compares two trees node by node: the games, at every pair of nodes sameProps(a's node, b's
// node, main), and the children in order. main is true for the pairs on the first game's main
// line when filtered, so sameProps can leave out there what the record rewrites.
template <typename Same>
bool sameTrees(const RecordTree& a, const RecordTree& b, bool filtered, Same&& sameProps) {
    if (a.gameCount() != b.gameCount()) return false;
    struct Pair {
        RecordTree::NodeId a, b;
        bool main;
    };
    std::vector<Pair> pending;
    for (size_t k = 0; k < a.gameCount(); ++k) pending.push_back({a.gameRoot(k), b.gameRoot(k), filtered && k == 0});
    while (!pending.empty()) {
        const Pair p = pending.back();
        pending.pop_back();
        if (!sameProps(p.a, p.b, p.main)) return false;
        RecordTree::NodeId ca = a.firstChild(p.a);
        RecordTree::NodeId cb = b.firstChild(p.b);
        for (bool first = true; ca != RecordTree::None || cb != RecordTree::None; first = false) {
            if (ca == RecordTree::None || cb == RecordTree::None) return false;
            pending.push_back({ca, cb, p.main && first});
            ca = a.nextSibling(ca);
            cb = b.nextSibling(cb);
        }
    }
    return true;
}

}  // namespace

bool RecordTree::operator==(const RecordTree& other) const {
    return sameTrees(*this, other, false, [&](NodeId a, NodeId b, bool) {
        PropId p = firstProperty(a);
        PropId q = other.firstProperty(b);
        for (; p != None && q != None; p = nextProperty(p), q = other.nextProperty(q)) {
            if (identifier(p) != other.identifier(q) || valueCount(p) != other.valueCount(q)) return false;
            for (int k = 0; k < valueCount(p); ++k) {
                if (value(p, k) != other.value(q, k)) return false;
            }
        }
        return p == None && q == None;
    });
}

bool RecordTree::sameBeyondRecord(const RecordTree& other, const std::vector<uint32_t>& alsoRewritten) const {
    // The next property that counts: on the main line, none the record rewrites.
    const auto next = [&](const RecordTree& t, PropId p, bool main) {
        while (p != None && main &&
               (t.mainLineRole(p) == Role::Rewritten || std::find(alsoRewritten.begin(), alsoRewritten.end(),
                                                                  identKey(t.identifier(p))) != alsoRewritten.end())) {
            p = t.nextProperty(p);
        }
        return p;
    };
    return sameTrees(*this, other, true, [&](NodeId a, NodeId b, bool main) {
        PropId p = next(*this, firstProperty(a), main);
        PropId q = next(other, other.firstProperty(b), main);
        for (; p != None && q != None;
             p = next(*this, nextProperty(p), main), q = next(other, other.nextProperty(q), main)) {
            if (main && roleOf(p) == Role::Move) {
                if (other.roleOf(q) != Role::Move || identKey(identifier(p)) != identKey(other.identifier(q))) {
                    return false;
                }
                continue;
            }
            if (identifier(p) != other.identifier(q) || valueCount(p) != other.valueCount(q)) return false;
            for (int k = 0; k < valueCount(p); ++k) {
                if (value(p, k) != other.value(q, k)) return false;
            }
        }
        return p == None && q == None;
    });
}

}  // namespace tavrin
