// The record's edits in study and in the board editor: setup stones, markup and the side to
// move at the shown node, deleting and reordering variations, and the snapshots the history
// takes before each of them. An edit changes the tree, then the position is rebuilt from the
// start along the same line; the picture is told only what changed.

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <optional>

#include "record/GameRecord.h"

namespace tavrin {

namespace {

using PropId = RecordTree::PropId;

constexpr uint32_t key(std::string_view id) { return RecordTree::identKey(id); }

bool setupId(uint32_t k) { return k == key("AB") || k == key("AW") || k == key("AE"); }

bool markId(uint32_t k) {
    return k == key("TR") || k == key("SQ") || k == key("CR") || k == key("MA") || k == key("SL");
}

const char* markIdent(MarkShape shape) {
    switch (shape) {
        case MarkShape::Triangle: return "TR";
        case MarkShape::Square: return "SQ";
        case MarkShape::Circle: return "CR";
        case MarkShape::Cross: return "MA";
        case MarkShape::Selected: return "SL";
        case MarkShape::Dimmed: break;
    }
    return nullptr;
}

// Takes pos out of the point lists of node n whose identifiers `which` picks (a rectangle
// holding it is split into its other points; a label "pt:text" goes whole); a property left
// without values goes too.
template <typename Which>
void takePoint(RecordTree& t, RecordTree::NodeId n, int pos, int size, Which&& which) {
    t.touch(n);
    for (PropId p = t.firstProperty(n); p != RecordTree::None;) {
        const PropId next = t.nextProperty(p);
        const uint32_t k = RecordTree::identKey(t.identifier(p));
        if (!which(k)) {
            p = next;
            continue;
        }
        for (int v = t.valueCount(p); v-- > 0;) {
            const std::string value(t.value(p, v));
            if (k == key("LB")) {
                if (sgfPointPos(value.substr(0, value.find(':')), size) == pos) t.removeValue(p, v);
                continue;
            }
            const std::vector<int> points = sgfPointsOf(value, size);
            if (std::find(points.begin(), points.end(), pos) == points.end()) continue;
            t.removeValue(p, v);
            for (const int q : points)
                if (q != pos) t.addValue(p, sgfPointText(q, size));
        }
        if (t.valueCount(p) == 0) t.removeProperty(n, p);
        p = next;
    }
}

// Adds value to the node's property ident, made when the node has none (first among its
// properties when front).
void putValue(RecordTree& t, RecordTree::NodeId n, std::string_view ident, std::string_view value, bool front) {
    t.touch(n);
    PropId p = t.firstProperty(n);
    while (p != RecordTree::None && RecordTree::identKey(t.identifier(p)) != key(ident)) p = t.nextProperty(p);
    if (p == RecordTree::None) p = front ? t.addPropertyFirst(n, ident) : t.addProperty(n, ident);
    t.addValue(p, value);
}

// The node's start stones of one colour: the points of its AB (or AW) that a reader takes for
// the record's first entries.
std::vector<int> startPoints(const RecordTree& t, RecordTree::NodeId root, const char* ident, int size) {
    std::vector<int> points;
    for (PropId p = t.firstProperty(root); p != RecordTree::None; p = t.nextProperty(p)) {
        if (RecordTree::identKey(t.identifier(p)) != key(ident) || t.mainLineRole(p) != RecordTree::Role::Rewritten)
            continue;
        for (int v = 0; v < t.valueCount(p); ++v) {
            const std::vector<int> more = sgfPointsOf(t.value(p, v), size);
            points.insert(points.end(), more.begin(), more.end());
        }
    }
    return points;
}

}  // namespace

// ---- Pictures and rebuilding ----

GameRecord::Picture GameRecord::picture() const {
    Picture pic{state_.Board, 0};
    const int m = state_.CurrentMove - 1;
    const int e = state_.HandicapCount + m;
    if (m >= 1 && e <= RecordCapacity) {
        const int pos = state_.MovePos[static_cast<size_t>(e)];
        if (pos > 0 && pos < BoardCells &&
            state_.Board[static_cast<size_t>(pos)] == state_.MoveColor[static_cast<size_t>(e)])
            pic.Marked = pos;
    }
    return pic;
}

void GameRecord::repaint(const Picture& before, BoardPainter& p) const {
    const Picture now = picture();
    for (int pos = 1; pos <= state_.BoardLast && pos < BoardCells; ++pos) {
        const int colour = now.Board[static_cast<size_t>(pos)];
        const bool marked = pos == now.Marked;
        if (colour < 0 || (colour == before.Board[static_cast<size_t>(pos)] && marked == (pos == before.Marked)))
            continue;
        if (colour > 0)
            p.paintStone(pos, colour, marked);
        else
            p.erasePoint(pos);
    }
}

void GameRecord::rebuild(const std::vector<int>& places, size_t depth, size_t keepTimesThrough) {
    NullPainter none;
    startPosition();
    state_.MoveCount = 0;
    followPlaces(places);
    extendLine();
    lineMoves_.assign(1, 0);
    facts_.assign(1, NodeFacts{});
    changes_.clear();
    cursor_ = 0;
    refused_ = RecordTree::None;
    if (!applyNode(0, true)) line_.resize(1);
    lineMoves_[0] = state_.CurrentMove - 1;
    fillFrom(0, keepTimesThrough);
    goToIndex(static_cast<int>(std::min(depth, line_.size() - 1)), none);
    state_.SideToMove = sideToMoveAt(cursor_);
}

void GameRecord::edited() {
    doc_.Modified = true;
    ++revision_;
}

int GameRecord::startSide() const {
    bool white = false;
    for (int e = 1; e <= state_.HandicapCount && e <= RecordCapacity; ++e)
        white = white || state_.MoveColor[static_cast<size_t>(e)] == White;
    return white || state_.HandicapCount == 0 ? Black : White;
}

void GameRecord::matchRootToStart() {
    const int size = state_.BoardSize;
    const NodeId root = line_[0];
    std::vector<int> black, white;
    for (int e = 1; e <= state_.HandicapCount && e <= RecordCapacity; ++e)
        (state_.MoveColor[static_cast<size_t>(e)] == White ? white : black)
            .push_back(state_.MovePos[static_cast<size_t>(e)]);
    const auto same = [&](std::vector<int> entries, const char* ident) {
        std::vector<int> held = startPoints(tree_, root, ident, size);
        std::sort(entries.begin(), entries.end());
        std::sort(held.begin(), held.end());
        return entries == held;
    };
    if (same(black, "AB") && same(white, "AW")) return;
    // A new game's handicap stones stand in no property, a record's may stand in a node
    // before the first move: the root is given them all.
    for (size_t i = 0;
         i < line_.size() && (i == 0 || lineMoves_[i] == 0) && line_[i] == tree_.mainLineNode(static_cast<int>(i));
         ++i) {
        tree_.touch(line_[i]);
        for (PropId p = tree_.firstProperty(line_[i]); p != RecordTree::None;) {
            const PropId next = tree_.nextProperty(p);
            const uint32_t k = RecordTree::identKey(tree_.identifier(p));
            if ((k == key("AB") || k == key("AW")) && tree_.mainLineRole(p) == RecordTree::Role::Rewritten)
                tree_.removeProperty(line_[i], p);
            p = next;
        }
    }
    // Before a move in the root, where they are read as the start.
    const bool front = lineMoves_[0] > 0;
    for (const bool blacks : {!front, front}) {
        for (const int pos : blacks ? black : white)
            putValue(tree_, root, blacks ? "AB" : "AW", sgfPointText(pos, size), front);
    }
}

void GameRecord::startFromRoot() {
    const int size = state_.BoardSize;
    const int h = state_.HandicapCount;
    std::vector<int> times;
    for (int k = 1; k <= state_.MoveCount && h + k <= RecordCapacity; ++k)
        times.push_back(state_.MoveTime[static_cast<size_t>(h + k)]);
    std::vector<int> black = startPoints(tree_, line_[0], "AB", size);
    const std::vector<int> white = startPoints(tree_, line_[0], "AW", size);
    const size_t blacks = black.size();
    black.insert(black.end(), white.begin(), white.end());
    const int entries = std::min(static_cast<int>(black.size()), RecordCapacity);
    state_.HandicapCount = entries;
    for (int e = 1; e <= entries; ++e) {
        state_.MovePos[static_cast<size_t>(e)] = black[static_cast<size_t>(e - 1)];
        state_.MoveColor[static_cast<size_t>(e)] = static_cast<size_t>(e) <= blacks ? Black : White;
    }
    for (size_t k = 0; k < times.size() && entries + 1 + static_cast<int>(k) <= RecordCapacity; ++k)
        state_.MoveTime[static_cast<size_t>(entries) + 1 + k] = times[k];
    rootSide_ = startSide();
}

// ---- Setup and markup ----

bool GameRecord::setupNeedsNode() const {
    const bool ownMove = lineMoves_[cursor_] > (cursor_ > 0 ? lineMoves_[cursor_ - 1] : 0);
    return ownMove || tree_.firstChild(node()) != RecordTree::None;
}

void GameRecord::setupNodeHere() {
    // The position after the node is the new node's before its setup: nothing to apply.
    const NodeId n = tree_.addNode(node());
    line_.resize(cursor_ + 1);
    line_.push_back(n);
    facts_.resize(cursor_ + 1);
    changes_.resize(facts_.back().firstChange + facts_.back().changeCount);
    facts_.push_back({static_cast<uint32_t>(changes_.size()), 0, 0, facts_.back().lastCell});
    lineMoves_.resize(cursor_ + 1);
    lineMoves_.push_back(lineMoves_.back());
    refused_ = RecordTree::None;
    ++cursor_;
    ++revision_;
}

bool GameRecord::setSetupStone(int pos, int colour, BoardPainter& p) {
    if ((colour != 0 && colour != Black && colour != White) || !onBoard(pos) ||
        state_.Board[static_cast<size_t>(pos)] == colour)
        return false;
    Edit edit(*this);
    const Picture shown = picture();
    // Setup and moves stay apart, and nothing after the shown node is touched: the stone
    // goes into a node of its own when the shown one holds a move or goes on.
    if (setupNeedsNode()) setupNodeHere();
    const size_t at = cursor_;
    const NodeId n = node();
    const int size = state_.BoardSize;
    // What stands at the point before the node's own setup.
    int earlier = 0;
    if (at > 0) {
        NullPainter none;
        stepBack(none);
        earlier = state_.Board[static_cast<size_t>(pos)];
        stepForward(none);
    }
    const std::vector<int> places = linePlaces();
    if (at == 0) matchRootToStart();
    takePoint(tree_, n, pos, size, setupId);
    if (colour != earlier)
        putValue(tree_, n, colour == Black ? "AB" : colour == White ? "AW" : "AE", sgfPointText(pos, size), false);
    if (at == 0) startFromRoot();
    tree_.compactIfWasteful();
    rebuild(places, at, SIZE_MAX);
    edited();
    repaint(shown, p);
    return true;
}

void GameRecord::editMarkup(const std::function<void(RecordTree&, NodeId, int)>& edit) {
    Edit bracket(*this);
    editTree([&] {
        edit(tree_, node(), state_.BoardSize);
        tree_.compactIfWasteful();
    });
    doc_.Modified = true;
}

bool GameRecord::onBoard(int pos) const {
    return pos > 0 && pos <= state_.BoardLast && pos < BoardCells && state_.Board[static_cast<size_t>(pos)] >= 0;
}

void GameRecord::toggleMark(int pos, MarkShape shape) {
    const char* ident = markIdent(shape);
    if (!ident || !onBoard(pos)) return;
    const NodeMarkup m = markupOf(tree_, node(), state_.BoardSize);
    const bool there = std::find(m.Marks.begin(), m.Marks.end(), PointMark{pos, shape}) != m.Marks.end();
    editMarkup([&](RecordTree& t, NodeId n, int size) {
        takePoint(t, n, pos, size, markId);
        if (!there) putValue(t, n, ident, sgfPointText(pos, size), false);
    });
}

bool GameRecord::toggleLine(int from, int to, bool arrow) {
    if (from == to || !onBoard(from) || !onBoard(to)) return false;
    const int size = state_.BoardSize;
    const std::string there = sgfPointText(from, size) + ":" + sgfPointText(to, size);
    const std::string back = sgfPointText(to, size) + ":" + sgfPointText(from, size);
    const char* ident = arrow ? "AR" : "LN";
    editMarkup([&](RecordTree& t, NodeId n, int) {
        t.touch(n);
        for (PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
            if (t.identifier(p) != ident) continue;
            for (int k = 0; k < t.valueCount(p); ++k) {
                if (t.value(p, k) != there && (arrow || t.value(p, k) != back)) continue;
                t.removeValue(p, k);
                if (t.valueCount(p) == 0) t.removeProperty(n, p);
                return;
            }
        }
        putValue(t, n, ident, there, false);
    });
    return true;
}

void GameRecord::toggleDimmed(int pos) {
    if (!onBoard(pos)) return;
    // DD holds until the next DD: the node's own lists the points dimmed from here on, the
    // ones dimmed before it with pos added or taken away (DD[] when none stays).
    std::vector<int> dimmed;
    for (const PointMark& m : markupOf(tree_, node(), state_.BoardSize).Marks)
        if (m.Shape == MarkShape::Dimmed) dimmed.push_back(m.Pos);
    const auto at = std::find(dimmed.begin(), dimmed.end(), pos);
    if (at != dimmed.end())
        dimmed.erase(at);
    else
        dimmed.push_back(pos);
    // Nothing dimmed before the node and nothing after: no DD at all.
    bool before = false;
    if (const NodeId up = tree_.parent(node()); up != RecordTree::None)
        for (const PointMark& m : markupOf(tree_, up, state_.BoardSize).Marks)
            before = before || m.Shape == MarkShape::Dimmed;
    editMarkup([&](RecordTree& t, NodeId n, int size) {
        t.touch(n);
        for (PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p))
            if (t.identifier(p) == "DD") {
                t.removeProperty(n, p);
                break;
            }
        if (dimmed.empty() && !before) return;
        const PropId dd = t.addProperty(n, "DD");
        if (dimmed.empty()) t.addValue(dd, "");
        for (const int d : dimmed) t.addValue(dd, sgfPointText(d, size));
    });
}

namespace {

// The annotations of one kind: a node holds at most one of them.
constexpr std::array<std::array<std::string_view, 4>, 3> AnnotationKinds = {{
    {"BM", "DO", "IT", "TE"},
    {"GB", "GW", "DM", "UC"},
    {"HO", "", "", ""},
}};

const std::array<std::string_view, 4>* kindOf(std::string_view ident) {
    for (const auto& kind : AnnotationKinds)
        if (!ident.empty() && std::find(kind.begin(), kind.end(), ident) != kind.end()) return &kind;
    return nullptr;
}

}  // namespace

std::string GameRecord::annotation(std::string_view ident) const {
    const auto* kind = kindOf(ident);
    if (!kind) return {};
    for (const std::string_view id : *kind)
        if (!id.empty() && tree_.findProperty(node(), RecordTree::identKey(id)) != RecordTree::None)
            return std::string(id);
    return {};
}

void GameRecord::toggleAnnotation(std::string_view ident) {
    const auto* kind = kindOf(ident);
    if (!kind) return;
    const bool there = annotation(ident) == ident;
    editMarkup([&](RecordTree& t, NodeId n, int) {
        t.touch(n);  // the node's properties as they were go into the step
        for (const std::string_view id : *kind) {
            if (id.empty()) continue;
            const RecordTree::PropId p = t.findProperty(n, RecordTree::identKey(id));
            if (p != RecordTree::None) t.removeProperty(n, p);
        }
        // DO and IT take no value; the others a double ("1": plain).
        if (!there) t.addValue(t.addProperty(n, ident), ident == "DO" || ident == "IT" ? "" : "1");
    });
}

void GameRecord::setLabel(int pos, std::string_view text) {
    if (!onBoard(pos)) return;
    const NodeMarkup m = markupOf(tree_, node(), state_.BoardSize);
    const auto at = std::find_if(m.Labels.begin(), m.Labels.end(), [&](const PointLabel& l) { return l.Pos == pos; });
    if (at == m.Labels.end() ? text.empty() : at->Text == text) return;
    editMarkup([&](RecordTree& t, NodeId n, int size) {
        takePoint(t, n, pos, size, [](uint32_t k) { return k == key("LB"); });
        if (!text.empty()) putValue(t, n, "LB", sgfPointText(pos, size) + ":" + std::string(text), false);
    });
}

std::string GameRecord::nextLabel(bool numbers) const {
    const NodeMarkup m = markupOf(tree_, node(), state_.BoardSize);
    const auto used = [&](const std::string& text) {
        return std::any_of(m.Labels.begin(), m.Labels.end(), [&](const PointLabel& l) { return l.Text == text; });
    };
    if (numbers) {
        for (int k = 1;; ++k)
            if (!used(std::to_string(k))) return std::to_string(k);
    }
    for (char c = 'A'; c <= 'Z'; ++c)
        if (!used(std::string(1, c))) return std::string(1, c);
    return {};
}

void GameRecord::eraseMarkup(int pos) {
    const NodeMarkup m = markupOf(tree_, node(), state_.BoardSize);
    const bool marked = std::any_of(m.Marks.begin(), m.Marks.end(),
                                    [&](const PointMark& k) { return k.Pos == pos && k.Shape != MarkShape::Dimmed; });
    const bool labelled =
        std::any_of(m.Labels.begin(), m.Labels.end(), [&](const PointLabel& l) { return l.Pos == pos; });
    if (!marked && !labelled) return;
    editMarkup([&](RecordTree& t, NodeId n, int size) {
        takePoint(t, n, pos, size, [](uint32_t k) { return markId(k) || k == key("LB"); });
    });
}

void GameRecord::setPlayerToMove(int colour, BoardPainter& p) {
    if (colour != 0 && colour != Black && colour != White) return;
    const PropId pl = findPlayer(node());
    const char side = pl == RecordTree::None ? 0 : static_cast<char>(tree_.value(pl, 0).front() | 0x20);
    const int now = side == 'b' ? Black : side == 'w' ? White : 0;
    if (now == colour && (pl == RecordTree::None) == (colour == 0)) return;
    Edit edit(*this);
    const Picture shown = picture();
    if (setupNeedsNode()) setupNodeHere();
    const NodeId n = node();
    const std::vector<int> places = linePlaces();
    tree_.touch(n);
    for (PropId q = tree_.firstProperty(n); q != RecordTree::None;) {
        const PropId next = tree_.nextProperty(q);
        if (RecordTree::identKey(tree_.identifier(q)) == key("PL")) tree_.removeProperty(n, q);
        q = next;
    }
    if (colour != 0) putValue(tree_, n, "PL", colour == Black ? "B" : "W", false);
    if (cursor_ == 0) rootSide_ = startSide();
    tree_.compactIfWasteful();
    rebuild(places, cursor_, SIZE_MAX);
    edited();
    repaint(shown, p);
}

// ---- The engine's review ----

void GameRecord::setReview(const std::vector<std::pair<NodeId, Judgement>>& judged) {
    Edit bracket(*this);
    editTree([&] {
        for (const auto& [n, j] : judged) {
            if (!linked(n)) continue;
            tree_.touch(n);
            writeJudgement(tree_, n, j, state_.BoardSize);
        }
        tree_.compactIfWasteful();
    });
    doc_.Modified = true;
}

std::vector<Judgement> GameRecord::reviewOfLine() const {
    std::vector<Judgement> review;
    for (int k = 0; k <= lineMoves_.back(); ++k)
        review.push_back(readJudgement(tree_, line_[static_cast<size_t>(nodeIndexOfMove(k))], state_.BoardSize));
    return review;
}

// ---- Tree edits ----

bool GameRecord::linked(NodeId n) const {
    if (n >= tree_.nodeCount()) return false;
    for (NodeId k = n; tree_.parent(k) != RecordTree::None; k = tree_.parent(k))
        if (tree_.child(tree_.parent(k), tree_.siblingIndex(k)) != k) return false;
    return true;
}

int GameRecord::deleteNode(NodeId n, BoardPainter& p) {
    if (!linked(n) || tree_.parent(n) == RecordTree::None) return 0;
    Edit edit(*this);
    const int removed = tree_.subtreeSize(n);
    const Picture shown = picture();
    std::vector<int> places = linePlaces();
    size_t at = cursor_;
    size_t keep = SIZE_MAX;
    const auto on = std::find(line_.begin(), line_.end(), n);
    const auto parentOn = std::find(line_.begin(), line_.end(), tree_.parent(n));
    if (on != line_.end()) {
        // The line goes on from n's parent by first children.
        const size_t d = static_cast<size_t>(on - line_.begin());
        places.resize(d - 1);
        at = std::min(at, d - 1);
        keep = d - 1;
    } else if (parentOn + 1 < line_.end()) {
        const size_t d = static_cast<size_t>(parentOn - line_.begin()) + 1;
        if (tree_.siblingIndex(n) < places[d - 1]) --places[d - 1];
    }
    tree_.removeSubtree(n);
    tree_.compactIfWasteful();
    rebuild(places, at, keep);
    edited();
    repaint(shown, p);
    return removed;
}

int GameRecord::addLine(const std::vector<std::pair<int, int>>& moves, BoardPainter& p) {
    Edit edit(*this);
    const std::vector<int> from = tree_.pathOf(node());
    int played = 0;
    for (const auto& [colour, pos] : moves) {
        if (play(colour, pos, p, true) != HitResult::Legal) break;
        ++played;
    }
    goTo(tree_.nodeAt(from), p);
    return played;
}

int GameRecord::keepOnlyLine(BoardPainter& p) {
    Edit edit(*this);
    int removed = 0;
    // Node numbers may change with each removal: the line is read again every time.
    for (bool again = true; again;) {
        again = false;
        for (size_t i = 1; i < line_.size() && !again; ++i) {
            const NodeId keep = line_[i];
            for (NodeId s = tree_.firstChild(tree_.parent(keep)); s != RecordTree::None; s = tree_.nextSibling(s)) {
                if (s == keep) continue;
                removed += deleteNode(s, p);
                again = true;
                break;
            }
        }
    }
    return removed;
}

void GameRecord::promote(NodeId n, BoardPainter&) {
    if (!linked(n)) return;
    Edit edit(*this);
    bool moved = false;
    for (NodeId k = n; tree_.parent(k) != RecordTree::None; k = tree_.parent(k)) {
        if (tree_.firstChild(tree_.parent(k)) == k) continue;
        tree_.moveSibling(k, 0);
        moved = true;
    }
    // Relinking keeps every id: the line and the position stand as they are.
    if (moved) edited();
}

void GameRecord::moveVariation(NodeId n, int delta, BoardPainter&) {
    if (!linked(n) || tree_.parent(n) == RecordTree::None) return;
    const int from = tree_.siblingIndex(n);
    const int to = std::clamp(from + delta, 0, tree_.childCount(tree_.parent(n)) - 1);
    if (to == from) return;
    Edit edit(*this);
    tree_.moveSibling(n, to);
    edited();
}

// ---- The history ----

GameRecord::Edit::Edit(GameRecord& r) : r_(r) {
    if (r_.editDepth_++ > 0) return;
    r_.journal_ = TreeJournal{};
    r_.tree_.journalTo(&r_.journal_);
    r_.frameBefore_ = r_.frame();
    r_.infoBefore_ = infoOf(r_.state_);
    r_.commentPath_.clear();
    r_.commentFurther_ = false;
}

GameRecord::Edit::~Edit() {
    if (--r_.editDepth_ > 0) return;
    GameRecord& r = r_;
    r.tree_.journalTo(nullptr);
    // Only a change of the tree makes a step: the start stones, times and line follow it. A
    // node whose properties came back as they were is no change.
    const bool propsAlone = std::all_of(r.journal_.changes.begin(), r.journal_.changes.end(),
                                        [](const TreeChange& c) { return c.kind == TreeChange::Kind::Props; });
    const Info info = infoOf(r.state_);
    if (info == r.infoBefore_ && propsAlone &&
        std::all_of(r.journal_.changes.begin(), r.journal_.changes.end(),
                    [&](const TreeChange& c) { return r.tree_.holds(c); })) {
        // No step: the document is as modified as the history's place says (an edit that
        // changed nothing, 待った on a line the record does not hold, marked it so).
        r.doc_.Modified = r.current_ != r.saved_;
        return;
    }
    // Keys typed into one comment one after another make one step: its first holds what
    // the node had before them.
    if (r.commentFurther_ && !r.commentPath_.empty() && r.redo_.empty() && !r.undo_.empty() &&
        r.undo_.back().Comment == r.commentPath_) {
        r.undo_.back().After = r.frame();
    } else {
        Step s;
        s.Changes = std::move(r.journal_.changes);
        if (!(info == r.infoBefore_)) s.Infos = {r.infoBefore_, info};
        s.Before = std::move(r.frameBefore_);
        s.After = r.frame();
        s.StateBefore = r.current_;
        s.StateAfter = r.nextState_++;
        s.Comment = r.commentPath_;
        r.current_ = s.StateAfter;
        r.undo_.push_back(std::move(s));
        r.redo_.clear();
    }
    r.journal_ = TreeJournal{};
    r.doc_.Modified = true;
    r.changed();
}

GameRecord::Frame GameRecord::frame() const {
    Frame f;
    const int h = std::min(state_.HandicapCount, RecordCapacity);
    for (int e = 1; e <= h; ++e)
        f.Start.emplace_back(state_.MovePos[static_cast<size_t>(e)], state_.MoveColor[static_cast<size_t>(e)]);
    f.Places = linePlaces();
    f.Depth = cursor_;
    for (int k = 1; k <= state_.MoveCount && h + k <= RecordCapacity; ++k)
        f.Times.push_back(state_.MoveTime[static_cast<size_t>(h + k)]);
    f.RootSide = rootSide_;
    return f;
}

void GameRecord::applyFrame(const Frame& f, BoardPainter& p) {
    const Picture shown = picture();
    const int h = static_cast<int>(f.Start.size());
    state_.HandicapCount = h;
    for (int e = 1; e <= h; ++e) {
        state_.MovePos[static_cast<size_t>(e)] = f.Start[static_cast<size_t>(e - 1)].first;
        state_.MoveColor[static_cast<size_t>(e)] = f.Start[static_cast<size_t>(e - 1)].second;
    }
    for (size_t k = 0; k < f.Times.size() && h + 1 + static_cast<int>(k) <= RecordCapacity; ++k)
        state_.MoveTime[static_cast<size_t>(h) + 1 + k] = f.Times[k];
    rootSide_ = f.RootSide;
    rebuild(f.Places, f.Depth, SIZE_MAX);
    ++revision_;
    repaint(shown, p);
}

GameRecord::Info GameRecord::infoOf(const GameState& g) {
    return {g.GameName, g.GameComment,     g.BlackPlayer,     g.WhitePlayer, g.KomiWritten, g.GameDate,
            g.GameRule, g.BlackPlayerKind, g.WhitePlayerKind, g.KomiGiven,   g.KomiTenths};
}

void GameRecord::putInfo(GameState& g, const Info& i) {
    g.GameName = i.GameName;
    g.GameComment = i.GameComment;
    g.BlackPlayer = i.BlackPlayer;
    g.WhitePlayer = i.WhitePlayer;
    g.KomiWritten = i.KomiWritten;
    g.GameDate = i.GameDate;
    g.GameRule = i.GameRule;
    g.BlackPlayerKind = i.BlackKind;
    g.WhitePlayerKind = i.WhiteKind;
    g.KomiGiven = i.KomiGiven;
    g.KomiTenths = i.KomiTenths;
}

void GameRecord::changeInfo(const std::function<void(GameState&)>& change) {
    Edit edit(*this);
    change(state_);
}

namespace {

// The node before the first move holding ident, None when none does.
RecordTree::NodeId infoNodeOf(const RecordTree& t, std::string_view ident) {
    const uint32_t key = RecordTree::identKey(ident);
    for (int i = 0; i < t.mainLineLength() && (i == 0 || t.movesThrough(i - 1) == 0); ++i) {
        const RecordTree::NodeId n = t.mainLineNode(i);
        if (t.findProperty(n, key) != RecordTree::None) return n;
    }
    return RecordTree::None;
}

}  // namespace

std::string GameRecord::infoProperty(std::string_view ident) const {
    const RecordTree::NodeId n = infoNodeOf(tree_, ident);
    if (n == RecordTree::None) return {};
    const RecordTree::PropId p = tree_.findProperty(n, RecordTree::identKey(ident));
    return tree_.valueCount(p) > 0 ? std::string(tree_.value(p, 0)) : std::string();
}

void GameRecord::changeDetails(const std::function<void(GameState&)>& change,
                               const std::vector<std::pair<std::string, std::string>>& properties) {
    Edit edit(*this);
    change(state_);
    bool any = false;
    for (const auto& [ident, value] : properties) any = any || infoProperty(ident) != value;
    if (!any) return;
    editTree([&] {
        for (const auto& [ident, value] : properties) {
            if (infoProperty(ident) == value) continue;
            const RecordTree::NodeId found = infoNodeOf(tree_, ident);
            const RecordTree::NodeId n = found == RecordTree::None ? tree_.mainLineNode(0) : found;
            tree_.touch(n);
            const RecordTree::PropId p = tree_.findProperty(n, RecordTree::identKey(ident));
            if (value.empty()) {
                tree_.removeProperty(n, p);
                continue;
            }
            // In its place among the node's properties.
            for (int k = p == RecordTree::None ? 0 : tree_.valueCount(p); k > 0; --k) tree_.removeValue(p, k - 1);
            tree_.addValue(p == RecordTree::None ? tree_.addProperty(n, ident) : p, value);
        }
        tree_.compactIfWasteful();
    });
    doc_.Modified = true;
}

void GameRecord::resign() {
    Edit edit(*this);
    resignCore(state_);
}

void GameRecord::newGame(const GameState& settings, const std::string& today) {
    GameState g = settings;
    prcNewSetCore(g, today);
    adopt(g);
}

void GameRecord::setClocks(const GameState& from) {
    state_.BlackTotalSeconds = from.BlackTotalSeconds;
    state_.WhiteTotalSeconds = from.WhiteTotalSeconds;
    state_.MoveSeconds = from.MoveSeconds;
}

void GameRecord::stepHistory(std::vector<Step>& from, std::vector<Step>& to, BoardPainter& p) {
    if (from.empty()) return;
    Step s = std::move(from.back());
    from.pop_back();
    if (s.Infos.size() == 2) {
        putInfo(state_, s.Infos[0]);
        std::swap(s.Infos[0], s.Infos[1]);
    }
    // Undone last first; what undoes each is journaled: the step that does it all again.
    TreeJournal again;
    tree_.journalTo(&again);
    for (auto c = s.Changes.rbegin(); c != s.Changes.rend(); ++c) tree_.undo(*c);
    tree_.journalTo(nullptr);
    tree_.compactIfWasteful();
    applyFrame(s.Before, p);
    current_ = s.StateBefore;
    doc_.Modified = current_ != saved_;
    to.push_back({std::move(again.changes), std::move(s.Infos), std::move(s.After), std::move(s.Before), s.StateAfter,
                  s.StateBefore, std::move(s.Comment)});
    changed();
}

void GameRecord::undo(BoardPainter& p) { stepHistory(undo_, redo_, p); }

void GameRecord::redo(BoardPainter& p) { stepHistory(redo_, undo_, p); }

void GameRecord::markSaved() {
    saved_ = current_;
    doc_.Modified = false;
}

size_t GameRecord::historyBytes() const {
    size_t bytes = 0;
    for (const std::vector<Step>* steps : {&undo_, &redo_}) {
        for (const Step& s : *steps) {
            bytes += sizeof(Step) + s.Comment.capacity() * sizeof(int);
            for (const TreeChange& c : s.Changes) bytes += c.memoryBytes();
            for (const Frame* f : {&s.Before, &s.After})
                bytes += f->Start.capacity() * sizeof(f->Start[0]) +
                         (f->Places.capacity() + f->Times.capacity()) * sizeof(int);
        }
    }
    return bytes;
}

}  // namespace tavrin
