#pragma once
// The game as one owner holds it: the record's tree and the node the board shows (the
// cursor). The position at the cursor is the root's stones and every node's setup and moves
// along the path from the root. It is kept in a GameState filled for the current line (the
// path continued by the line last followed, first children beyond it), so the move list and
// the game's rules read the record arrays they always have; each node of the line keeps what
// its setup changed, so a step forward or back costs what the node changes and a jump costs
// its path.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/BoardPainter.h"
#include "game/Engine.h"
#include "game/GameState.h"
#include "record/Document.h"
#include "record/NodeMarkup.h"
#include "record/RecordTree.h"
#include "record/Review.h"
#include "record/SetupChange.h"

namespace tavrin {

class GameRecord {
public:
    using NodeId = RecordTree::NodeId;

    // A new game's record: the state as prcNewSetCore leaves it, a tree of one empty root.
    GameRecord();

    // ---- Taking a game ----

    // The game g (a new game, or a record just read: its record arrays hold the main line's
    // moves and its shown position is at their end) with tree, whose main line holds the
    // same moves. The cursor goes to the node of g's shown position.
    void adopt(const GameState& g, RecordTree tree);
    // The game g alone: a tree of its moves (root without properties).
    void adopt(const GameState& g);

    // ---- Reading ----

    const RecordTree& tree() const { return tree_; }
    // The position at the cursor, with the record arrays of the current line.
    const GameState& state() const { return state_; }
    // The file the game belongs to; every edit of the record marks it modified.
    Document& document() { return doc_; }
    const Document& document() const { return doc_; }

    // The shown node and its depth on the current line (the root is 0).
    NodeId node() const { return line_[cursor_]; }
    int depth() const { return cursor_; }
    // The nodes of the current line, root first.
    const std::vector<NodeId>& line() const { return line_; }
    // Line index of the node after which move k (1-based) of the current line stands;
    // 0 for k <= 0, the last index past the line's moves.
    int nodeIndexOfMove(int k) const;
    // Moves on the current line through index i.
    int movesThrough(int i) const { return lineMoves_[static_cast<size_t>(i)]; }
    // Siblings of the shown node (alternatives to it, itself counted) and its place among them.
    int siblingCount() const;
    int siblingIndex() const;
    // The shown line is the main line: every node of it is its parent's first child.
    bool onMainLine() const;
    // Moves of the shown line before it leaves the main line (0 on the main line).
    int branchMoves() const;
    // The game with the record arrays of the main line (the record a file holds), whatever
    // line is shown: the writer's view of the game.
    GameState mainLineState() const;
    // What the setup of the current line changes after its start (the root's own stones
    // aside), in the line's order: the position the moves alone do not give.
    SetupChanges laterSetup() const;
    // The line ends before a node whose move cannot be played at all (its record has no
    // room for it): that node, else None.
    NodeId refusedNode() const { return refused_; }
    // A move the rules refuse (an occupied point, a suicide, a ko taken back at once) stands
    // as the record has it: the first such move of the current line, 0 when there is none.
    int firstIllegalMove() const;
    // The move of line index i is one of them.
    bool illegalAt(int i) const { return facts_[static_cast<size_t>(i)].illegal != 0; }

    // ---- The game beside its record (no step of the history) ----

    // A new game from settings (its names, players' kinds, level, board size, handicap,
    // komi): board, record, clocks and flags as prcNewSetCore makes them, dated today; a new
    // history begins.
    void newGame(const GameState& settings, const std::string& today);
    // The program that writes the record (AP).
    void setAppTag(std::string tag) { state_.AppTag = std::move(tag); }
    // The level the computer plays at.
    void setLevel(int level) { state_.Level = level; }
    // One second more on the move clock / the move clock from zero again.
    void tick() { ++state_.MoveSeconds; }
    void restartMoveClock() { state_.MoveSeconds = 0; }
    // The three clocks as from holds them (a study of a game gives the game its time back).
    void setClocks(const GameState& from);
    // Play ends (prcEndOfGameCore) / goes on from the shown position, whose later moves
    // keepMoves has cut (resumeCore).
    void endGame() { prcEndOfGameCore(state_); }
    void resume(BoardPainter& p) { resumeCore(state_, p); }
    // The side to move resigns (resignCore): the result is a step of the history.
    void resign();

    // ---- Steps (the board picture follows through p) ----

    // One node forward along the current line / back towards the root; false at its end.
    bool next(BoardPainter& p);
    bool back(BoardPainter& p);
    // To line index i of the current line (clamped).
    void goToIndex(int i, BoardPainter& p);
    // To move k of the current line: the node holding it (the root for 0, clamped).
    void goToMove(int k, BoardPainter& p) { goToIndex(nodeIndexOfMove(k), p); }
    // To any node of the first game. The current line becomes its path continued by first
    // children; a node beyond one the record has no room for stops at the node before it. False for a node
    // of another game.
    bool goTo(NodeId n, BoardPainter& p);
    // To the delta-th sibling of the shown node (the line follows it); false when none.
    bool goToSibling(int delta, BoardPainter& p);
    // The node whose alternatives the variation commands switch between: the shown node when
    // it has siblings, else the line's next node when the shown node branches, else the
    // nearest node above with siblings; None on a line without a branch.
    NodeId variationNode() const;
    // The node the shown variation branches from: the parent of the nearest node at or
    // above the shown one that has siblings; None when there is none.
    NodeId branchPoint() const;

    // ---- Edits ----

    // colour plays at pos (PassPos: a pass) at the shown node. A child holding that move
    // already is stepped into; otherwise the move is checked as in play and, when legal,
    // becomes a new last child of the shown node (the first when it has none) and the line
    // follows it. The clocks count it as prcHitCore does.
    // untimed: a study's move, which takes no time and leaves the clocks as they are.
    HitResult play(int colour, int pos, BoardPainter& p, bool untimed = false);
    // Removes every node after the shown one, with the variations hanging from them and the
    // variations at the shown node.
    void cutAfter();
    // Keeps the main line's first m moves as RecordTree::keepMoves does (nodes before move
    // m + 1 stay) and shows the line's last node then, where play goes on; the shown position
    // must lie at move m.
    void keepMoves(int m, BoardPainter& p);
    // 待った: takes back mattaCount moves (none when the record has too few, or when a
    // variation is shown) and cuts them
    // from the record; the record is modified and the move clock starts again. Returns the
    // number taken back.
    int takeBack(BoardPainter& p);
    // Replaces the comment of main-line node i / of node n (RecordTree::setComment).
    void setComment(int i, std::string_view text);
    // further: the text goes on the last step when that was a comment of the same node (keys
    // typed one after another are one step).
    void setNodeComment(NodeId n, std::string_view text, bool further = false);

    // ---- Setup and markup at the shown node (each marks the document modified) ----

    // The point shows colour (Black, White, or 0 = empty) at the shown node from now on: the
    // node's AB/AW/AE are changed so (a stone the node itself set is taken out of its AB/AW;
    // a stone that stands from earlier gets AE; emptying an AE'd point that had a stone
    // earlier removes the AE), the position is recomputed at the node without captures and
    // the picture follows through p. At the root the record's start stones change with it.
    // Moves after the node that the new stone makes illegal stand as the tree has them (a move
    // on the stone replaces it), and are named as moves the rules refuse. False
    // when the point already shows colour, or when the node's own move would not let it
    // (its own point, or a stone it takes): nothing changes then.
    // A node holding a move, or one with later nodes, keeps them: the stone goes into a new
    // node after it (a new variation when it has later nodes), which is shown from then on.
    bool setSetupStone(int pos, int colour, BoardPainter& p);
    // TR, SQ, CR, MA or SL at pos: set, or removed when that very shape is there; another
    // shape at the point is replaced (one mark per point).
    void toggleMark(int pos, MarkShape shape);
    // LB: text at pos; an empty text removes the label.
    void setLabel(int pos, std::string_view text);
    // The first capital letter A..Z no label of the shown node uses ("" when all are), or
    // with numbers the first "1", "2"… none uses.
    std::string nextLabel(bool numbers) const;
    // Removes every mark and label at pos.
    void eraseMarkup(int pos);
    // AR (arrow) or LN (line) from one point to another at the shown node: drawn, or taken
    // away when that very one is there (a line either way round). False for one point.
    bool toggleLine(int from, int to, bool arrow);
    // DD at pos: the point dimmed, or no longer when it is.
    void toggleDimmed(int pos);
    // An annotation of the shown node set by hand: a move's (BM, DO, IT, TE), a position's
    // (GB, GW, DM, UC) or HO. Set, it replaces the others of its kind; set again, it goes.
    void toggleAnnotation(std::string_view ident);
    // The annotation of that kind the shown node holds ("" none).
    std::string annotation(std::string_view ident) const;
    // PL at the shown node: Black or White; 0 removes it. The side to move of the shown
    // position follows. PL is setup: a node holding a move or later nodes gets a new node for
    // it as setSetupStone does.
    void setPlayerToMove(int colour, BoardPainter& p);

    // ---- The engine's review (record/Review.h) ----

    // Each node's judgement written into it, replacing the review it held (one not judged
    // takes it away): one step of the history, which undo takes back whole.
    void setReview(const std::vector<std::pair<NodeId, Judgement>>& judged);
    // The judgements the current line's nodes hold: index k for the position after move k
    // (read from the node holding it), 0 for the start; one more than the line's moves.
    std::vector<Judgement> reviewOfLine() const;

    // ---- Tree edits (NodeIds may change: read node(), line() and the tree again) ----

    // Removes node n (not the root) with everything below it; when the shown node is n or
    // below it the cursor goes to n's parent (picture through p). Returns the number of nodes
    // removed.
    int deleteNode(NodeId n, BoardPainter& p);
    // The line from the root to n becomes the main line: n and each of its ancestors become
    // the first child of their parents; the shown node stays shown.
    void promote(NodeId n, BoardPainter& p);
    // n moves delta places among its siblings (clamped); the shown node stays shown.
    void moveVariation(NodeId n, int delta, BoardPainter& p);
    // Nodes below n, n included.
    int subtreeSize(NodeId n) const { return tree_.subtreeSize(n); }
    // Moves (colour, position) played one after another from the shown node as a study plays
    // them (a move the record holds is stepped into), one step of the history; they stop at
    // the first the rules refuse. The shown node stays shown. Returns the moves played.
    int addLine(const std::vector<std::pair<int, int>>& moves, BoardPainter& p);
    // Every variation off the shown line goes, one step; the shown node stays shown. Returns
    // the nodes removed.
    int keepOnlyLine(BoardPainter& p);

    // ---- The history of edits ----
    // Every edit above (a move played, 待った, the resume cut, setup, markup, a comment, a
    // tree edit) is one step of the record's history; an edit that changed nothing leaves
    // none. Undo and redo go back and forward between the steps: the tree, the record's start
    // stones, the moves' times and the shown node as they were (picture through p; the game's
    // information and clocks stay). A step holds what its edit changed (a node's properties,
    // a cut subtree), not the record. The document is modified exactly away from the step last
    // saved. Adopting a game begins a new history.

    // The game's information as change sets it (names, the result, the players' kinds, the
    // komi; not the level): one step when it changed.
    void changeInfo(const std::function<void(GameState&)>& change);
    // Game information the game does not hold itself (EV RO PC BR WR TM SO AN CP …): the
    // value of the first node before the first move that holds it, "" when none does.
    std::string infoProperty(std::string_view ident) const;
    // change as changeInfo (also the date and the rules), and those properties set, in one
    // step: a value goes where the property stands (else into the root), "" removes it.
    void changeDetails(const std::function<void(GameState&)>& change,
                       const std::vector<std::pair<std::string, std::string>>& properties);

    // listener is called after every change of the record: an edit's step, an undo or a redo,
    // a game taken (views that show the record follow it from there).
    void onChange(std::function<void()> listener) { listener_ = std::move(listener); }

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void undo(BoardPainter& p);
    void redo(BoardPainter& p);
    // The present step is the one the file holds.
    void markSaved();
    // Bytes the history holds.
    size_t historyBytes() const;
    // Counts the changes of the tree and the position by edits, undos and redos.
    uint64_t revision() const { return revision_; }

private:
    // An edit's bracket: the outermost one makes the history's step of what happened inside.
    class Edit {
    public:
        explicit Edit(GameRecord& r);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

    private:
        GameRecord& r_;
    };
    // What a step restores beside the tree: the start stones, the shown line (each node's
    // place among its siblings) and depth, the moves' times and the side of a record without
    // moves.
    struct Frame {
        std::vector<std::pair<int, int>> Start;  // position, colour
        std::vector<int> Places;
        size_t Depth = 0;
        std::vector<int> Times;
        int RootSide = Black;
    };
    // The game's information a step may change.
    struct Info {
        std::string GameName, GameComment, BlackPlayer, WhitePlayer, KomiWritten, GameDate, GameRule;
        bool BlackKind = true, WhiteKind = true, KomiGiven = true;
        int KomiTenths = 0;
        bool operator==(const Info&) const = default;
    };
    static Info infoOf(const GameState& g);
    static void putInfo(GameState& g, const Info& i);
    struct Step {
        std::vector<TreeChange> Changes;
        std::vector<Info> Infos;  // before and after, when the step changed the information
        Frame Before, After;
        uint64_t StateBefore = 0, StateAfter = 0;
        std::vector<int> Comment;  // a comment's edit: the node's path
    };
    Frame frame() const;
    void applyFrame(const Frame& f, BoardPainter& p);
    // Undoes the last step of from, which goes to `to` as the step that does it again.
    void stepHistory(std::vector<Step>& from, std::vector<Step>& to, BoardPainter& p);
    // A new node after the shown one for setup, as setSetupStone says; the line follows it.
    void setupNodeHere();
    // The shown node holds a move or has later nodes.
    bool setupNeedsNode() const;

    // What a node's setup changed: a cell and the values before and after.
    struct Change {
        int pos;
        int8_t before;
        int8_t after;
    };
    struct NodeFacts {
        uint32_t firstChange = 0;  // into changes_
        uint32_t changeCount = 0;
        int8_t toPlay = 0;    // the side its PL gives the move to; 0 none
        int8_t lastCell = 0;  // the point of the line's last move through it, as it stands there
        int8_t illegal = 0;   // its move is one the rules refuse, played as the record has it
    };

    // The line continued by first children from its last node.
    void extendLine();
    // Applies every node after index i (the cursor) to learn what it changes, and comes back.
    // Moves of the nodes through index keepTimesThrough keep their times in the record arrays.
    void fillFrom(size_t i, size_t keepTimesThrough);
    // Applies node i of the line to the position (no picture); false when its move is refused,
    // and the position is then as before it.
    bool applyNode(size_t i, bool keepTimes);
    void applySetup(size_t i, BoardPainter& p);
    void revertSetup(size_t i, BoardPainter& p);
    // The side to move at line index i: the last PL since the last move, else the colour of
    // the line's next move (after its last, the other colour).
    int sideToMoveAt(size_t i) const;
    void stepForward(BoardPainter& p);
    void stepBack(BoardPainter& p);
    void pathTo(NodeId n, std::vector<NodeId>& path) const;
    int pointOf(std::string_view value) const;
    // The node's PL, when it has one with a value; else None.
    RecordTree::PropId findPlayer(NodeId n) const;
    // Calls put(pos) for every point of a setup value: one point, or a rectangle "aa:cc".
    template <typename Put>
    void forEachPoint(std::string_view value, Put&& put) const;
    int& totalOf(int colour);
    // Runs an edit of the tree, which may renumber its nodes, and finds the line again by
    // each node's place among its siblings (as far as the nodes are still there).
    void editTree(const std::function<void()>& edit);
    // A change of the shown node's markup by edit(tree, node, board size).
    void editMarkup(const std::function<void(RecordTree&, NodeId, int)>& edit);
    bool onBoard(int pos) const;
    // n is a node of the tree (not one an edit took away).
    bool linked(NodeId n) const;

    // The board with the point whose stone bears the last-move mark, to repaint what changed.
    struct Picture {
        std::array<int, BoardCells> Board;
        int Marked;
    };
    Picture picture() const;
    void repaint(const Picture& before, BoardPainter& p) const;
    // Each node's place among its siblings along the current line (for index 1 on).
    std::vector<int> linePlaces() const;
    // The line from the root through the nodes at places, as far as they are there.
    void followPlaces(const std::vector<int>& places);
    // The board before anything: the record's first entries alone.
    void startPosition();
    // The position from the start along the line given by places (continued by first
    // children) at index depth; no picture. Times kept for indices through keepTimesThrough.
    void rebuild(const std::vector<int>& places, size_t depth, size_t keepTimesThrough);
    // The root's AB and AW that stand for the start stones hold the record's first entries.
    void matchRootToStart();
    // The record's first entries become the root's start stones (AB then AW points), the
    // moves' entries moving with them, their times kept.
    void startFromRoot();
    // The side to move of a line without moves, as a reader of the record would give it.
    int startSide() const;
    void edited();

    RecordTree tree_;
    GameState state_;
    Document doc_;
    std::vector<NodeId> line_;      // root .. the line's last node
    std::vector<int> lineMoves_;    // moves through each index of the line
    std::vector<NodeFacts> facts_;  // the setup each index of the line changed
    std::vector<Change> changes_;
    size_t cursor_ = 0;
    int rootSide_ = Black;  // the side to move of a record without moves
    NodeId refused_ = RecordTree::None;
    uint64_t revision_ = 0;

    // The history.
    std::vector<Step> undo_, redo_;
    TreeJournal journal_;  // of the edit under way
    Frame frameBefore_;
    Info infoBefore_;
    int editDepth_ = 0;
    std::vector<int> commentPath_;  // set by a comment's edit under way
    bool commentFurther_ = false;
    uint64_t current_ = 0, saved_ = 0, nextState_ = 1;
    std::function<void()> listener_;
    void changed() {
        if (listener_) listener_();
    }
};

}  // namespace tavrin
