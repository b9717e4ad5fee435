#include "record/GameRecord.h"

#include <algorithm>
#include <string_view>

namespace tavrin {

namespace {

constexpr uint32_t key(std::string_view id) { return RecordTree::identKey(id); }

// The colour a setup property puts on its points: AB black, AW white, AE empty; -1 for
// any other property.
int setupColour(uint32_t id) {
    switch (id) {
        case key("AB"): return Black;
        case key("AW"): return White;
        case key("AE"): return 0;
        default: return -1;
    }
}

}  // namespace

GameRecord::GameRecord() {
    prcNewSetCore(state_, std::string());
    adopt(state_);
}

void GameRecord::adopt(const GameState& g) {
    RecordTree tree;
    tree.reset(g);
    adopt(g, std::move(tree));
}

void GameRecord::adopt(const GameState& g, RecordTree tree) {
    tree_ = std::move(tree);
    undo_.clear();
    redo_.clear();
    current_ = saved_ = nextState_++;
    state_ = g;
    const int shown = g.CurrentMove - 1;
    const bool atEnd = g.CurrentMove > g.MoveCount;
    // The position before anything: the record's first entries (the root's black stones)
    // alone. The root's other setup, its moves and every later node are applied from there.
    NullPainter none;
    startPosition();
    if (g.MoveCount > 0) state_.SideToMove = state_.MoveColor[static_cast<size_t>(state_.HandicapCount + 1)];
    line_.assign(1, tree_.gameRoot(0));
    extendLine();
    lineMoves_.assign(1, 0);
    facts_.assign(1, NodeFacts{});
    changes_.clear();
    cursor_ = 0;
    refused_ = RecordTree::None;
    state_.MoveCount = 0;
    ++revision_;
    // Moves in the root itself (old files put the first move there).
    if (!applyNode(0, true)) line_.resize(1);
    rootSide_ = state_.SideToMove;
    lineMoves_[0] = state_.CurrentMove - 1;
    fillFrom(0, SIZE_MAX);
    // At the end of the record the line's last node is shown: setup after the last move too.
    if (atEnd)
        goToIndex(static_cast<int>(line_.size()) - 1, none);
    else
        goToMove(shown, none);
    changed();
}

void GameRecord::startPosition() {
    for (int pos = 0; pos <= state_.BoardLast && pos < BoardCells; ++pos)
        if (state_.Board[static_cast<size_t>(pos)] > 0) state_.Board[static_cast<size_t>(pos)] = 0;
    for (int e = 1; e <= state_.HandicapCount && e <= RecordCapacity; ++e) {
        const int pos = state_.MovePos[static_cast<size_t>(e)];
        if (pos > 0 && pos <= state_.BoardLast)
            state_.Board[static_cast<size_t>(pos)] = state_.MoveColor[static_cast<size_t>(e)];
    }
    state_.CapturedCount = {0, 0, 0};
    state_.CurrentMove = 1;
    state_.BlackTotalSeconds = state_.WhiteTotalSeconds = 0;
    state_.LastMovePos = 0;
}

// ---- The current line ----

void GameRecord::extendLine() {
    for (NodeId c = tree_.firstChild(line_.back()); c != RecordTree::None; c = tree_.firstChild(c)) line_.push_back(c);
}

int GameRecord::nodeIndexOfMove(int k) const {
    if (k <= 0) return 0;
    const auto at = std::lower_bound(lineMoves_.begin(), lineMoves_.end(), k);
    return at == lineMoves_.end() ? static_cast<int>(lineMoves_.size()) - 1 : static_cast<int>(at - lineMoves_.begin());
}

int GameRecord::siblingCount() const {
    if (cursor_ == 0) return 1;
    return tree_.childCount(line_[cursor_ - 1]);
}

int GameRecord::siblingIndex() const {
    if (cursor_ == 0) return 0;
    int k = 0;
    for (NodeId c = tree_.firstChild(line_[cursor_ - 1]); c != line_[cursor_]; c = tree_.nextSibling(c)) ++k;
    return k;
}

int GameRecord::pointOf(std::string_view value) const {
    const int size = state_.BoardSize;
    if (value.size() != 2) return PassPos;
    const int x = value[0] - 'a' + 1;
    const int y = value[1] - 'a' + 1;
    if (x < 1 || x > size || y < 1 || y > size) return PassPos;
    return x * (size + 2) + y;
}

template <typename Put>
void GameRecord::forEachPoint(std::string_view value, Put&& put) const {
    const size_t colon = value.find(':');
    const int a = pointOf(value.substr(0, colon));
    if (a == PassPos) return;
    const int b = colon == std::string_view::npos ? a : pointOf(value.substr(colon + 1));
    if (b == PassPos) return;
    const int stride = state_.BoardSize + 2;
    const int x0 = std::min(a / stride, b / stride), x1 = std::max(a / stride, b / stride);
    const int y0 = std::min(a % stride, b % stride), y1 = std::max(a % stride, b % stride);
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) put(x * stride + y);
}

bool GameRecord::applyNode(size_t i, bool keepTimes) {
    const NodeId n = line_[i];
    NullPainter none;
    NodeFacts& f = facts_[i];
    f = NodeFacts{static_cast<uint32_t>(changes_.size()), 0};
    // Setup first (a node that mixes setup and a move is read in that order); the root's
    // black stones are the record's own entries, unless they follow a move in the root.
    {
        for (RecordTree::PropId p = tree_.firstProperty(n); p != RecordTree::None; p = tree_.nextProperty(p)) {
            const int colour = setupColour(RecordTree::identKey(tree_.identifier(p)));
            if (colour < 0 || (i == 0 && colour == Black && tree_.mainLineRole(p) == RecordTree::Role::Rewritten))
                continue;
            for (int k = 0; k < tree_.valueCount(p); ++k) {
                forEachPoint(tree_.value(p, k), [&](int pos) {
                    const int before = state_.Board[static_cast<size_t>(pos)];
                    if (before == colour) return;
                    changes_.push_back({pos, static_cast<int8_t>(before), static_cast<int8_t>(colour)});
                    ++f.changeCount;
                    state_.Board[static_cast<size_t>(pos)] = colour;
                });
            }
        }
    }
    if (const RecordTree::PropId pl = findPlayer(n); pl != RecordTree::None) {
        const char side = static_cast<char>(tree_.value(pl, 0).front() | 0x20);
        if (side == 'b' || side == 'w') {
            f.toPlay = static_cast<int8_t>(side == 'b' ? Black : White);
            state_.SideToMove = f.toPlay;
        }
    }
    for (RecordTree::PropId p = tree_.firstProperty(n); p != RecordTree::None; p = tree_.nextProperty(p)) {
        if (tree_.mainLineRole(p) != RecordTree::Role::Move) continue;
        const int colour = RecordTree::identKey(tree_.identifier(p)) == key("B") ? Black : White;
        const int pos = pointOf(tree_.value(p, 0));
        const int move = state_.CurrentMove;
        // A move the rules refuse stands as the record has it; one that cannot be played at
        // all ends the line.
        HitResult verdict = HitResult::Legal;
        if (!playAsRecorded(state_, pos, colour, none, verdict)) {
            // Back to the position before the node: its setup goes and the line ends here.
            revertSetup(i, none);
            changes_.resize(f.firstChange);
            return false;
        }
        if (verdict != HitResult::Legal) f.illegal = 1;
        const int e = state_.HandicapCount + move;
        state_.MovePos[static_cast<size_t>(e)] = pos;
        state_.MoveColor[static_cast<size_t>(e)] = colour;
        if (!keepTimes) state_.MoveTime[static_cast<size_t>(e)] = 0;
        totalOf(colour) += state_.MoveTime[static_cast<size_t>(e)];
        state_.CurrentMove = move + 1;
        state_.SideToMove = 3 - colour;
    }
    if (state_.CurrentMove > 1) {
        state_.LastMovePos = state_.MovePos[static_cast<size_t>(state_.HandicapCount + state_.CurrentMove - 1)];
        if (state_.LastMovePos != PassPos) f.lastCell = static_cast<int8_t>(state_.Board[state_.LastMovePos]);
    }
    return true;
}

int GameRecord::firstIllegalMove() const {
    for (size_t i = 0; i < facts_.size(); ++i)
        if (facts_[i].illegal != 0) return lineMoves_[i];
    return 0;
}

RecordTree::PropId GameRecord::findPlayer(NodeId n) const {
    for (RecordTree::PropId p = tree_.firstProperty(n); p != RecordTree::None; p = tree_.nextProperty(p))
        if (RecordTree::identKey(tree_.identifier(p)) == key("PL") && tree_.valueCount(p) > 0 &&
            !tree_.value(p, 0).empty())
            return p;
    return RecordTree::None;
}

SetupChanges GameRecord::laterSetup() const {
    SetupChanges out;
    for (size_t i = 0; i < facts_.size(); ++i) {
        const NodeFacts& f = facts_[i];
        for (uint32_t k = 0; k < f.changeCount; ++k) {
            const Change& c = changes_[f.firstChange + k];
            out.push_back({(i == 0 ? 0 : lineMoves_[i - 1]) + 1, c.pos, c.after});
        }
    }
    return out;
}

int& GameRecord::totalOf(int colour) { return colour == Black ? state_.BlackTotalSeconds : state_.WhiteTotalSeconds; }

void GameRecord::fillFrom(size_t i, size_t keepTimesThrough) {
    // Every node after index i is applied to find what it changes and captures, then the
    // position goes back to index i.
    NullPainter none;
    changes_.resize(facts_[i].firstChange + facts_[i].changeCount);
    facts_.resize(i + 1);
    lineMoves_.resize(i + 1);
    size_t j = i + 1;
    for (; j < line_.size(); ++j) {
        facts_.push_back({});
        if (!applyNode(j, j <= keepTimesThrough)) {
            refused_ = line_[j];
            facts_.pop_back();
            break;
        }
        lineMoves_.push_back(state_.CurrentMove - 1);
    }
    line_.resize(j);
    state_.MoveCount = lineMoves_.back();
    cursor_ = line_.size() - 1;
    while (cursor_ > i) stepBack(none);
}

// ---- Steps ----

void GameRecord::applySetup(size_t i, BoardPainter& p) {
    const NodeFacts& f = facts_[i];
    for (uint32_t k = 0; k < f.changeCount; ++k) {
        const Change& c = changes_[f.firstChange + k];
        prcStnPut(state_, c.pos, c.after, 0, p);
    }
}

void GameRecord::revertSetup(size_t i, BoardPainter& p) {
    const NodeFacts& f = facts_[i];
    for (uint32_t k = f.changeCount; k-- > 0;) {
        const Change& c = changes_[f.firstChange + k];
        prcStnPut(state_, c.pos, c.before, 0, p);
    }
}

int GameRecord::sideToMoveAt(size_t i) const {
    for (size_t k = i;; --k) {
        const bool moves = lineMoves_[k] > (k == 0 ? 0 : lineMoves_[k - 1]);
        if (facts_[k].toPlay != 0 && !moves) return facts_[k].toPlay;
        if (moves || k == 0) break;
    }
    const int m = lineMoves_[i];
    const size_t e = static_cast<size_t>(state_.HandicapCount + m);
    if (m < state_.MoveCount && e + 1 <= RecordCapacity) return state_.MoveColor[e + 1];
    if (m > 0 && e <= RecordCapacity) return 3 - state_.MoveColor[e];
    return rootSide_;
}

void GameRecord::stepForward(BoardPainter& p) {
    const size_t j = cursor_ + 1;
    applySetup(j, p);
    if (lineMoves_[j] > lineMoves_[j - 1]) prcKifNext(state_, lineMoves_[j] + 1, p);
    cursor_ = j;
    state_.SideToMove = sideToMoveAt(j);
}

void GameRecord::stepBack(BoardPainter& p) {
    const size_t j = cursor_;
    const int before = lineMoves_[j - 1];
    if (lineMoves_[j] > before) {
        prcKifBack(state_, before + 1, p);
        // prcKifBack marks the last move on its stone again; a setup since may have taken
        // that stone away or put another there.
        const int pos = before > 0 ? state_.MovePos[static_cast<size_t>(state_.HandicapCount + before)] : PassPos;
        if (pos != PassPos && pos > 0 && pos < BoardCells &&
            state_.Board[static_cast<size_t>(pos)] != facts_[j - 1].lastCell)
            prcStnPut(state_, pos, facts_[j - 1].lastCell, 0, p);
    }
    revertSetup(j, p);
    cursor_ = j - 1;
    state_.SideToMove = sideToMoveAt(j - 1);
}

bool GameRecord::next(BoardPainter& p) {
    if (cursor_ + 1 >= line_.size()) return false;
    stepForward(p);
    return true;
}

bool GameRecord::back(BoardPainter& p) {
    if (cursor_ == 0) return false;
    stepBack(p);
    return true;
}

void GameRecord::goToIndex(int i, BoardPainter& p) {
    const size_t target = static_cast<size_t>(std::clamp(i, 0, static_cast<int>(line_.size()) - 1));
    while (cursor_ > target) stepBack(p);
    while (cursor_ < target) stepForward(p);
}

void GameRecord::pathTo(NodeId n, std::vector<NodeId>& path) const {
    path.clear();
    for (NodeId k = n; k != RecordTree::None; k = tree_.parent(k)) path.push_back(k);
    std::reverse(path.begin(), path.end());
}

bool GameRecord::goTo(NodeId n, BoardPainter& p) {
    std::vector<NodeId> path;
    pathTo(n, path);
    if (path.empty() || path.front() != line_.front()) return false;
    size_t shared = 0;  // index of the last node the path and the line share
    while (shared + 1 < path.size() && shared + 1 < line_.size() && path[shared + 1] == line_[shared + 1]) ++shared;
    if (shared + 1 < path.size()) {
        // The path leaves the line: the line becomes the path and its first children.
        goToIndex(static_cast<int>(shared), p);
        line_ = path;
        extendLine();
        refused_ = RecordTree::None;
        const size_t target = path.size() - 1;
        fillFrom(shared, 0);
        goToIndex(static_cast<int>(std::min(target, line_.size() - 1)), p);
        return true;
    }
    goToIndex(static_cast<int>(path.size()) - 1, p);
    return true;
}

bool GameRecord::goToSibling(int delta, BoardPainter& p) {
    if (cursor_ == 0) return false;
    const int want = siblingIndex() + delta;
    if (want < 0) return false;
    NodeId c = tree_.firstChild(line_[cursor_ - 1]);
    for (int k = 0; k < want && c != RecordTree::None; ++k) c = tree_.nextSibling(c);
    if (c == RecordTree::None) return false;
    return goTo(c, p);
}

bool GameRecord::onMainLine() const {
    for (size_t i = 1; i < line_.size(); ++i)
        if (tree_.firstChild(line_[i - 1]) != line_[i]) return false;
    return true;
}

int GameRecord::branchMoves() const {
    for (size_t i = 1; i < line_.size(); ++i)
        if (tree_.firstChild(line_[i - 1]) != line_[i]) return lineMoves_[i - 1];
    return 0;
}

GameState GameRecord::mainLineState() const {
    if (onMainLine()) return state_;
    GameRecord main = *this;
    NullPainter none;
    NodeId last = tree_.gameRoot(0);
    while (tree_.firstChild(last) != RecordTree::None) last = tree_.firstChild(last);
    main.goTo(last, none);
    return main.state_;
}

RecordTree::NodeId GameRecord::variationNode() const {
    const auto hasSiblings = [this](size_t i) { return i > 0 && tree_.childCount(line_[i - 1]) > 1; };
    if (hasSiblings(cursor_)) return line_[cursor_];
    if (cursor_ + 1 < line_.size() && hasSiblings(cursor_ + 1)) return line_[cursor_ + 1];
    for (size_t i = cursor_; i > 0; --i)
        if (hasSiblings(i)) return line_[i];
    return RecordTree::None;
}

RecordTree::NodeId GameRecord::branchPoint() const {
    for (size_t i = cursor_; i > 0; --i)
        if (tree_.childCount(line_[i - 1]) > 1) return line_[i - 1];
    return RecordTree::None;
}

// ---- Edits ----

HitResult GameRecord::play(int colour, int pos, BoardPainter& p, bool untimed) {
    const NodeId here = node();
    for (NodeId c = tree_.firstChild(here); c != RecordTree::None; c = tree_.nextSibling(c)) {
        for (RecordTree::PropId q = tree_.firstProperty(c); q != RecordTree::None; q = tree_.nextProperty(q)) {
            if (tree_.mainLineRole(q) != RecordTree::Role::Move) continue;
            const int moveColour = RecordTree::identKey(tree_.identifier(q)) == key("B") ? Black : White;
            if (moveColour == colour && pointOf(tree_.value(q, 0)) == pos) {
                // The record may hold a move the rules refuse: play checks it as any other.
                GameState trial = state_;
                NullPainter none;
                if (const HitResult r = fncHitCheck(trial, pos, colour, none); r != HitResult::Legal) return r;
                goTo(c, p);
                return HitResult::Legal;
            }
            break;
        }
    }
    Edit edit(*this);
    const int moves = state_.MoveCount;
    state_.MoveCount = state_.CurrentMove - 1;
    const int seconds = state_.MoveSeconds, blackTotal = state_.BlackTotalSeconds,
              whiteTotal = state_.WhiteTotalSeconds;
    const HitResult r = prcHitCore(state_, pos, colour, p);
    if (r != HitResult::Legal) {
        state_.MoveCount = moves;
        return r;
    }
    if (untimed) {
        state_.MoveTime[static_cast<size_t>(state_.HandicapCount + state_.CurrentMove - 1)] = 0;
        state_.MoveSeconds = seconds;
        state_.BlackTotalSeconds = blackTotal;
        state_.WhiteTotalSeconds = whiteTotal;
    }
    doc_.Modified = true;
    ++revision_;
    const NodeId n = tree_.addMove(here, colour, pos, state_.BoardSize);
    line_.resize(cursor_ + 1);
    line_.push_back(n);
    facts_.resize(cursor_ + 1);
    changes_.resize(facts_.back().firstChange + facts_.back().changeCount);
    facts_.push_back({static_cast<uint32_t>(changes_.size()), 0});
    if (pos != PassPos) facts_.back().lastCell = static_cast<int8_t>(colour);
    lineMoves_.resize(cursor_ + 1);
    lineMoves_.push_back(state_.CurrentMove - 1);
    refused_ = RecordTree::None;
    ++cursor_;
    return r;
}

std::vector<int> GameRecord::linePlaces() const {
    std::vector<int> places;
    places.reserve(line_.size());
    for (size_t i = 1; i < line_.size(); ++i) places.push_back(tree_.siblingIndex(line_[i]));
    return places;
}

void GameRecord::followPlaces(const std::vector<int>& places) {
    line_.assign(1, tree_.gameRoot(0));
    for (const int k : places) {
        const NodeId c = tree_.child(line_.back(), k);
        if (c == RecordTree::None) break;
        line_.push_back(c);
    }
}

void GameRecord::editTree(const std::function<void()>& edit) {
    Edit bracket(*this);
    const std::vector<int> places = linePlaces();
    const int refusedPlace = refused_ == RecordTree::None ? -1 : tree_.siblingIndex(refused_);
    edit();
    ++revision_;
    followPlaces(places);
    refused_ = line_.size() == places.size() + 1 ? tree_.child(line_.back(), refusedPlace) : RecordTree::None;
    // An edit that took nodes of the line away leaves it shorter; the shown node stays.
    facts_.resize(line_.size());
    lineMoves_.resize(line_.size());
    changes_.resize(facts_.back().firstChange + facts_.back().changeCount);
    state_.MoveCount = lineMoves_.back();
}

void GameRecord::cutAfter() {
    if (tree_.firstChild(node()) == RecordTree::None) return;
    Edit edit(*this);
    line_.resize(cursor_ + 1);
    editTree([&] { tree_.removeChildren(line_.back()); });
    refused_ = RecordTree::None;
}

void GameRecord::keepMoves(int m, BoardPainter& p) {
    editTree([&] { tree_.keepMoves(m); });
    refused_ = RecordTree::None;
    goToIndex(static_cast<int>(line_.size()) - 1, p);
}

int GameRecord::takeBack(BoardPainter& p) {
    const int n = mattaCount(state_);
    // The game's moves are the main line's: a variation has none to take back.
    if (state_.CurrentMove - n <= 0 || !onMainLine()) return 0;
    Edit edit(*this);
    const int keep = state_.CurrentMove - 1 - n;
    // Each move goes back as 待った takes it (prcKifBack), then the moves leave the record.
    while (state_.CurrentMove - 1 > keep && back(p)) {
    }
    keepMoves(keep, p);
    doc_.Modified = true;
    state_.MoveSeconds = 0;
    return n;
}

void GameRecord::setComment(int i, std::string_view text) {
    editTree([&] { tree_.setComment(i, text); });
}

void GameRecord::setNodeComment(NodeId n, std::string_view text, bool further) {
    Edit edit(*this);
    commentPath_ = tree_.pathOf(n);
    commentFurther_ = further;
    editTree([&] { tree_.setNodeComment(n, text); });
}

}  // namespace tavrin
