// The record's edits and their history: setup, markup and the side to move at the shown
// node, deleting, promoting and reordering variations, each as a row "this file, shown at
// this node, this edit: this tree, this board"; and random edits, undos and redos over real
// records that must come back to the file's tree and bytes exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "record/GameRecord.h"
#include "record/InfoTexts.h"
#include "record/RecordHistory.h"
#include "tests/record/RecordTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

using NodeId = RecordTree::NodeId;
using test::shown;

// The board picture as the painter has been told to draw it.
class PicturePainter final : public BoardPainter {
public:
    std::array<int, BoardCells> cells{};
    void paintStone(int pos, int colour, bool) override { cells[static_cast<size_t>(pos)] = colour; }
    void erasePoint(int pos) override { cells[static_cast<size_t>(pos)] = 0; }
};

int P(const char* point, int size = 9) { return sgfPointPos(point, size); }

// The node reached from the root by the sibling places given as digits ("" the root, "01"
// the second child of the root's first child).
NodeId nodeAt(const RecordTree& t, const std::string& path) {
    NodeId n = t.gameRoot(0);
    for (const char c : path) n = t.child(n, c - '0');
    return n;
}

std::string pathOf(const RecordTree& t, NodeId n) {
    std::string path;
    for (; t.parent(n) != RecordTree::None; n = t.parent(n))
        path.insert(path.begin(), static_cast<char>('0' + t.siblingIndex(n)));
    return path;
}

// The board's top left corner of `size` lines (all of it by default), rows from the top
// joined by "/": X black, O white, . empty.
std::string ascii(const GameState& g, int size = 0) {
    if (size == 0) size = g.BoardSize;
    std::string out;
    for (int y = 1; y <= size; ++y) {
        if (y > 1) out += '/';
        for (int x = 1; x <= size; ++x) {
            const int v = g.Board[static_cast<size_t>(x * g.BoardStride + y)];
            out += v == Black ? 'X' : v == White ? 'O' : '.';
        }
    }
    return out;
}

struct Loaded {
    GameRecord r;
    PicturePainter pic;
};

// The record of sgf shown at path, the picture drawn as it stands.
void load(Loaded& l, const std::string& sgf, const std::string& path) {
    GameState g;
    RecordTree t = test::treeOf(sgf, g);
    l.r.adopt(g, std::move(t));
    ASSERT_TRUE(l.r.goTo(nodeAt(l.r.tree(), path), l.pic));
    l.pic.cells = l.r.state().Board;
}

// The record's position at its shown node is the one a fresh record of the same tree and
// start shows there, and the picture shows it too.
void expectConsistent(const GameRecord& r, const PicturePainter& pic, const std::string& where) {
    GameRecord fresh;
    fresh.adopt(r.mainLineState(), r.tree());
    NullPainter none;
    ASSERT_TRUE(fresh.goTo(r.line().back(), none)) << where;
    fresh.goToIndex(r.depth(), none);
    const GameState& a = r.state();
    const GameState& b = fresh.state();
    ASSERT_EQ(ascii(a), ascii(b)) << where;
    EXPECT_EQ(r.line(), fresh.line()) << where;
    EXPECT_EQ(a.MoveCount, b.MoveCount) << where;
    EXPECT_EQ(a.CurrentMove, b.CurrentMove) << where;
    EXPECT_EQ(a.SideToMove, b.SideToMove) << where;
    EXPECT_EQ(a.CapturedCount, b.CapturedCount) << where;
    EXPECT_EQ(r.refusedNode(), fresh.refusedNode()) << where;
    for (int pos = 1; pos <= a.BoardLast; ++pos) {
        if (a.Board[static_cast<size_t>(pos)] < 0) continue;
        ASSERT_EQ(pic.cells[static_cast<size_t>(pos)], a.Board[static_cast<size_t>(pos)])
            << where << " picture at " << pos;
    }
}

TEST(GameRecordEdits, SetupMarkupAndSideToMoveAtTheShownNode) {
    using Edit = std::function<bool(GameRecord&, BoardPainter&)>;
    const auto stone = [](const char* point, int colour) -> Edit {
        return [=](GameRecord& r, BoardPainter& p) { return r.setSetupStone(P(point), colour, p); };
    };
    const auto mark = [](const char* point, MarkShape shape) -> Edit {
        return [=](GameRecord& r, BoardPainter&) { return r.toggleMark(P(point), shape), true; };
    };
    const auto label = [](const char* point, const char* text) -> Edit {
        return [=](GameRecord& r, BoardPainter&) { return r.setLabel(P(point), text), true; };
    };
    const auto toPlay = [](int colour) -> Edit {
        return [=](GameRecord& r, BoardPainter& p) { return r.setPlayerToMove(colour, p), true; };
    };
    const struct {
        const char* what;
        const char* sgf;
        const char* at;
        Edit edit;
        bool done;
        const char* tree;   // after
        const char* board;  // after, "" for the board before
        int side;           // side to move after, 0 unchecked
    } cases[] = {
        {"a new record: a stone at the root sets up the position", "(;SZ[9])", "", stone("bb", Black), true,
         "(;SZ[9]AB[bb])", "...../.X.../...../...../.....", White},
        {"white at the root: black plays first", "(;SZ[9]AB[bb])", "", stone("cc", White), true, "(;SZ[9]AB[bb]AW[cc])",
         "...../.X.../..O../...../.....", Black},
        {"a stone the node set is taken out of its AB", "(;SZ[9];B[cc];AB[aa][bb])", "00", stone("aa", 0), true,
         "(;SZ[9];B[cc];AB[bb])", "...../.X.../..X../...../.....", 0},
        {"a stone from earlier is emptied by AE", "(;SZ[9];B[cc];AB[aa][bb])", "00", stone("cc", 0), true,
         "(;SZ[9];B[cc];AB[aa][bb]AE[cc])", "X..../.X.../...../...../.....", 0},
        {"a stone from earlier turns white by AW", "(;SZ[9];B[cc];AB[aa][bb])", "00", stone("cc", White), true,
         "(;SZ[9];B[cc];AB[aa][bb]AW[cc])", "X..../.X.../..O../...../.....", 0},
        {"giving back an emptied stone removes the AE", "(;SZ[9];B[cc];AE[cc])", "00", stone("cc", Black), true,
         "(;SZ[9];B[cc];)", "...../...../..X../...../.....", 0},
        {"a rectangle is split around the point", "(;SZ[9];B[cc];AB[aa:bb])", "00", stone("ab", 0), true,
         "(;SZ[9];B[cc];AB[aa][ba][bb])", "XX.../.X.../..X../...../.....", 0},
        {"setup in a node with a move stands before it", "(;SZ[9];B[cc];W[dd])", "00", stone("aa", Black), true,
         "(;SZ[9];B[cc];W[dd]AB[aa])", "X..../...../..X../...O./.....", 0},
        {"no stone without liberties is taken: setup captures nothing", "(;SZ[9];B[ba];W[ee];B[ab];C[x])", "0000",
         stone("aa", White), true, "(;SZ[9];B[ba];W[ee];B[ab];C[x]AW[aa])", "OX.../X..../...../...../....O", 0},
        {"the point shows the colour already", "(;SZ[9];B[cc])", "0", stone("cc", Black), false, "(;SZ[9];B[cc])", "",
         0},
        {"the node's own move stays", "(;SZ[9];B[cc];W[dd])", "00", stone("dd", 0), false, "(;SZ[9];B[cc];W[dd])", "",
         0},
        {"a stone the node's move would take is refused", "(;SZ[9];B[ee];W[ba];B[ed];W[ab])", "0000",
         stone("aa", Black), false, "(;SZ[9];B[ee];W[ba];B[ed];W[ab])", "", 0},
        {"a stone on a later move's point ends the line before it", "(;SZ[9];B[aa];AB[bb];W[cc])", "00",
         stone("cc", White), true, "(;SZ[9];B[aa];AB[bb]AW[cc];W[cc])", "X..../.X.../..O../...../.....", 0},
        {"PL gives the move", "(;SZ[9]AB[aa]AW[bb])", "", toPlay(White), true, "(;SZ[9]AB[aa]AW[bb]PL[W])", "", White},
        {"PL taken away: the position's own side", "(;SZ[9]AB[aa]AW[bb]PL[W])", "", toPlay(0), true,
         "(;SZ[9]AB[aa]AW[bb])", "", Black},
        {"PL between moves", "(;SZ[9];B[aa];C[x];W[bb])", "00", toPlay(Black), true, "(;SZ[9];B[aa];C[x]PL[B];W[bb])",
         "", Black},
        {"the same mark again removes it", "(;SZ[9];B[cc]TR[aa])", "0", mark("aa", MarkShape::Triangle), true,
         "(;SZ[9];B[cc])", "", 0},
        {"another mark replaces it", "(;SZ[9];B[cc]TR[aa])", "0", mark("aa", MarkShape::Square), true,
         "(;SZ[9];B[cc]SQ[aa])", "", 0},
        {"a mark beside others", "(;SZ[9];B[cc]TR[aa:ab])", "0", mark("bb", MarkShape::Circle), true,
         "(;SZ[9];B[cc]TR[aa:ab]CR[bb])", "", 0},
        {"a mark in a rectangle of another shape", "(;SZ[9];B[cc]TR[aa:ab])", "0", mark("ab", MarkShape::Cross), true,
         "(;SZ[9];B[cc]TR[aa]MA[ab])", "", 0},
        {"a label is added", "(;SZ[9];B[cc]LB[aa:1])", "0", label("bb", "A"), true, "(;SZ[9];B[cc]LB[aa:1][bb:A])", "",
         0},
        {"a label is replaced", "(;SZ[9];B[cc]LB[aa:1][bb:A])", "0", label("aa", "2"), true,
         "(;SZ[9];B[cc]LB[bb:A][aa:2])", "", 0},
        {"an empty label removes it", "(;SZ[9];B[cc]LB[aa:1])", "0", label("aa", ""), true, "(;SZ[9];B[cc])", "", 0},
        {"erasing takes marks and labels", "(;SZ[9];B[cc]SL[aa]LB[aa:1][bb:2])", "0",
         [](GameRecord& r, BoardPainter&) { return r.eraseMarkup(P("aa")), true; }, true, "(;SZ[9];B[cc]LB[bb:2])", "",
         0},
    };
    for (const auto& c : cases) {
        Loaded l;
        load(l, c.sgf, c.at);
        const std::string before = ascii(l.r.state(), 5);
        const uint64_t revision = l.r.revision();
        EXPECT_EQ(c.edit(l.r, l.pic), c.done) << c.what;
        EXPECT_EQ(shown(l.r.tree()), c.tree) << c.what;
        EXPECT_EQ(ascii(l.r.state(), 5), *c.board ? c.board : before) << c.what;
        EXPECT_EQ(l.r.document().Modified, c.done) << c.what;
        EXPECT_EQ(l.r.revision() != revision, c.done) << c.what;
        EXPECT_EQ(pathOf(l.r.tree(), l.r.node()), c.at) << c.what;
        EXPECT_EQ(c.side ? l.r.state().SideToMove : 0, c.side) << c.what;
        expectConsistent(l.r, l.pic, c.what);
    }
}

TEST(GameRecordEdits, NextLabelIsTheFirstFree) {
    Loaded l;
    load(l, "(;SZ[9];B[cc]LB[aa:A][ab:C][ba:1][bb:3])", "0");
    EXPECT_EQ(l.r.nextLabel(false), "B");
    EXPECT_EQ(l.r.nextLabel(true), "2");
    l.r.setLabel(P("dd"), l.r.nextLabel(false));
    l.r.setLabel(P("de"), l.r.nextLabel(true));
    EXPECT_EQ(l.r.nextLabel(false), "D");
    EXPECT_EQ(l.r.nextLabel(true), "4");
}

TEST(GameRecordEdits, DeletePromoteAndMoveVariations) {
    const char* const sgf = "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea]))(;W[ed]))";
    enum Kind { Delete, Promote, Move };
    const struct {
        const char* what;
        const char* at;  // shown before
        Kind kind;
        const char* node;
        int delta;
        const char* tree;
        const char* shownAfter;
        int result;  // nodes removed; for the others, whether the tree changed
    } cases[] = {
        {"a variation beside the shown line", "000", Delete, "02", 0,
         "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea])))", "000", 1},
        {"the shown line from its parent: the line goes on by first children", "000", Delete, "00", 0,
         "(;SZ[9];B[aa](;W[dd](;B[ee])(;B[ea]))(;W[ed]))", "0", 2},
        {"an earlier sibling: the shown node moves up a place", "02", Delete, "01", 0,
         "(;SZ[9];B[aa](;W[bb];B[cc])(;W[ed]))", "01", 3},
        {"a leaf (待った in study)", "011", Delete, "011", 0, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd];B[ee])(;W[ed]))",
         "01", 1},
        {"the root stays", "0", Delete, "", 0, sgf, "0", 0},
        {"a variation becomes the main line", "02", Promote, "02", 0,
         "(;SZ[9];B[aa](;W[ed])(;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea])))", "00", 1},
        {"every ancestor moves first", "000", Promote, "011", 0,
         "(;SZ[9];B[aa](;W[dd](;B[ea])(;B[ee]))(;W[bb];B[cc])(;W[ed]))", "010", 1},
        {"the main line already", "000", Promote, "000", 0, sgf, "000", 0},
        {"down one", "000", Move, "00", 1, "(;SZ[9];B[aa](;W[dd](;B[ee])(;B[ea]))(;W[bb];B[cc])(;W[ed]))", "010", 1},
        {"clamped at the end", "01", Move, "01", 5, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[ed])(;W[dd](;B[ee])(;B[ea])))",
         "02", 1},
        {"first already", "000", Move, "00", -1, sgf, "000", 0},
    };
    for (const auto& c : cases) {
        Loaded l;
        load(l, sgf, c.at);
        const NodeId n = nodeAt(l.r.tree(), c.node);
        int result = 0;
        if (c.kind == Delete) {
            EXPECT_EQ(l.r.subtreeSize(n), c.node[0] ? c.result : 8) << c.what;
            result = l.r.deleteNode(n, l.pic);
        } else {
            const uint64_t revision = l.r.revision();
            c.kind == Promote ? l.r.promote(n, l.pic) : l.r.moveVariation(n, c.delta, l.pic);
            result = l.r.revision() != revision;
        }
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(shown(l.r.tree()), c.tree) << c.what;
        EXPECT_EQ(pathOf(l.r.tree(), l.r.node()), c.shownAfter) << c.what;
        EXPECT_EQ(l.r.document().Modified, c.result != 0) << c.what;
        expectConsistent(l.r, l.pic, c.what);
    }
}

// A variation whose move the rules refuse ends the line before it; when an edit elsewhere
// makes the tree renumber its nodes, that node is still the one named.
TEST(GameRecordEdits, TheRefusedNodeIsFoundAgainWhenTheTreeRenumbers) {
    Loaded l;
    load(l, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[aa]))", "00");
    l.r.cutAfter();
    ASSERT_TRUE(l.r.goTo(nodeAt(l.r.tree(), "01"), l.pic));
    ASSERT_EQ(l.r.refusedNode(), nodeAt(l.r.tree(), "01"));
    const NodeId before = l.r.refusedNode();
    l.r.setNodeComment(l.r.node(), std::string(10000, 'x'));
    l.r.setNodeComment(l.r.node(), "");
    ASSERT_NE(nodeAt(l.r.tree(), "01"), before) << "the tree is renumbered";
    EXPECT_EQ(l.r.refusedNode(), nodeAt(l.r.tree(), "01"));
}

std::string fileBytes(const GameRecord& r) {
    TextBuffer buf;
    return sgfFileBytes(r.mainLineState(), buf, &r.tree());
}

// A new handicap game holds its stones in the record alone: setting up at its root gives
// the root all of them, and the file keeps the handicap.
TEST(GameRecordEdits, SetupAtTheRootOfAHandicapGameKeepsItsStones) {
    GameState g;
    g.BoardSize = 9;
    g.HandicapCount = 3;
    prcNewSetCore(g, "2026-12-08");
    GameRecord r;
    r.adopt(g);
    PicturePainter pic;
    pic.cells = r.state().Board;
    RecordHistory h;
    const std::string before = fileBytes(r);
    h.remember(r);
    ASSERT_TRUE(r.setSetupStone(sgfPointPos("ee", 9), White, pic));
    EXPECT_EQ(shown(r.tree()), "(;AB[gc][cg][cc]AW[ee])");
    EXPECT_EQ(r.state().HandicapCount, 4);
    EXPECT_EQ(handicapStones(r.state()), 3);
    EXPECT_NE(fileBytes(r).find("AB[gc][cg][cc]AW[ee]"), std::string::npos) << fileBytes(r);
    EXPECT_NE(fileBytes(r).find("HA[3]"), std::string::npos);
    expectConsistent(r, pic, "white set up");
    ASSERT_EQ(r.play(White, sgfPointPos("gg", 9), pic), HitResult::Legal);
    EXPECT_EQ(r.state().MovePos[5], sgfPointPos("gg", 9)) << "the first move follows the four start stones";
    h.undo(r, pic);
    EXPECT_EQ(fileBytes(r), before);
    EXPECT_EQ(r.state().HandicapCount, 3);
    expectConsistent(r, pic, "undone");
}

// The modified flag follows the history: false exactly at the saved state; an edit that
// changes nothing leaves no step.
TEST(RecordHistory, ModifiedExactlyAwayFromTheSavedState) {
    Loaded l;
    load(l, "(;SZ[9];B[aa];W[bb])", "00");
    RecordHistory h;
    h.clear();
    h.remember(l.r);
    EXPECT_FALSE(l.r.setSetupStone(P("bb"), White, l.pic));
    h.undo(l.r, l.pic);
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(l.r.document().Modified);

    const auto edit = [&](const char* point) {
        h.remember(l.r);
        ASSERT_TRUE(l.r.setSetupStone(P(point), Black, l.pic));
    };
    edit("cc");
    h.markSaved(l.r);
    l.r.document().Modified = false;
    edit("dd");
    const struct {
        bool undo;
        bool modified;
        const char* board;
    } steps[] = {
        {true, false, "X..../.O.../..X../...../....."},  {true, true, "X..../.O.../...../...../....."},
        {false, false, "X..../.O.../..X../...../....."}, {false, true, "X..../.O.../..X../...X./....."},
        {true, false, "X..../.O.../..X../...../....."},
    };
    for (const auto& s : steps) {
        s.undo ? h.undo(l.r, l.pic) : h.redo(l.r, l.pic);
        EXPECT_EQ(l.r.document().Modified, s.modified) << s.board;
        EXPECT_EQ(ascii(l.r.state(), 5), s.board);
        EXPECT_EQ(pathOf(l.r.tree(), l.r.node()), "00") << "the node shown before the edit";
        expectConsistent(l.r, l.pic, s.board);
    }
    // An edit that changed nothing keeps what can be redone.
    h.remember(l.r);
    EXPECT_FALSE(l.r.setSetupStone(P("cc"), Black, l.pic));
    h.redo(l.r, l.pic);
    EXPECT_EQ(ascii(l.r.state(), 5), "X..../.O.../..X../...X./.....");
    h.undo(l.r, l.pic);
    // A new edit drops what could be redone; the saved state is still one undo away.
    edit("ee");
    EXPECT_FALSE(h.canRedo());
    h.undo(l.r, l.pic);
    EXPECT_FALSE(l.r.document().Modified);
}

// Every node of the first game, in depth-first order.
std::vector<NodeId> nodesOf(const RecordTree& t) {
    std::vector<NodeId> all, pending{t.gameRoot(0)};
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        all.push_back(n);
        for (NodeId c = t.firstChild(n); c != RecordTree::None; c = t.nextSibling(c)) pending.push_back(c);
    }
    return all;
}

// One random edit of the study or the board editor, at a random node now and then.
void randomEdit(GameRecord& r, std::mt19937& rng, BoardPainter& p) {
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int size = r.state().BoardSize;
    const int pos = (pick(size) + 1) * (size + 2) + pick(size) + 1;
    const std::vector<NodeId> all = nodesOf(r.tree());
    const NodeId any = all[static_cast<size_t>(pick(static_cast<int>(all.size())))];
    switch (pick(13)) {
        case 0:
        case 1: r.setSetupStone(pos, pick(3), p); break;
        case 2: r.toggleMark(pos, static_cast<MarkShape>(pick(5))); break;
        case 3: r.setLabel(pos, pick(4) ? r.nextLabel(pick(2)) : ""); break;
        case 4: r.eraseMarkup(pos); break;
        case 5: r.setPlayerToMove(pick(3), p); break;
        case 6:
            if (r.subtreeSize(any) < 40 || pick(8) == 0) r.deleteNode(any, p);
            break;
        case 7: r.promote(any, p); break;
        case 8: r.moveVariation(any, pick(5) - 2, p); break;
        case 9: r.play(r.state().SideToMove, pos, p); break;
        case 10: r.setNodeComment(r.node(), pick(3) ? "検討 " + std::to_string(pick(100)) : ""); break;
        case 11:
            if (pick(6) == 0) r.cutAfter();
            break;
        default: r.goTo(any, p); break;
    }
}

// Random edits, undos, redos and saves over real records with variations: after each, the
// tree and the saved bytes are those of that step of the history, the position is the one
// the tree gives, and the modified flag is set exactly away from the saved step; undoing
// everything gives back the file's tree and bytes, redoing everything the last edit's.
TEST(RecordHistory, RandomEditsOfRealRecordsAreUndoneAndRedoneExactly) {
    SKIP_WITHOUT_CORPUS();
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(test::corpusDir() / "variations"))
        if (e.path().extension() == ".sgf") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    std::mt19937 rng(20261208);
    int edits = 0, undos = 0, redos = 0;
    for (const auto& file : files) {
        GameState g = test::freshGame();
        TextBuffer buf;
        RecordTree tree;
        ASSERT_TRUE(fncFileReadSGF(g, buf, file.string(), &tree).ok()) << file;
        GameRecord r;
        r.adopt(g, std::move(tree));
        PicturePainter pic;
        pic.cells = r.state().Board;
        RecordHistory h;
        h.clear();
        struct Step {
            RecordTree tree;
            std::string bytes;
        };
        std::vector<Step> steps{{r.tree(), fileBytes(r)}};
        size_t at = 0;
        size_t saved = 0;
        const int ops = file.filename().string().find("complex") != std::string::npos ? 60 : 150;
        for (int op = 0; op < ops; ++op) {
            const int what = static_cast<int>(rng() % 20);
            std::string did;
            if (what < 13) {
                h.remember(r);
                const uint64_t revision = r.revision();
                randomEdit(r, rng, pic);
                if (r.revision() != revision) {
                    steps.resize(at + 1);
                    if (saved > at) saved = SIZE_MAX;
                    steps.push_back({r.tree(), fileBytes(r)});
                    ++at;
                    ++edits;
                }
                did = "edit";
            } else if (what < 17) {
                h.undo(r, pic);
                if (at > 0) --at, ++undos;
                did = "undo";
            } else if (what < 19) {
                ASSERT_TRUE(!h.canRedo() || at + 1 < steps.size());
                h.redo(r, pic);
                if (at + 1 < steps.size()) ++at, ++redos;
                did = "redo";
            } else {
                h.markSaved(r);
                r.document().Modified = false;
                saved = at;
                did = "save";
            }
            const std::string where = file.filename().string() + " op " + std::to_string(op) + " " + did;
            ASSERT_TRUE(r.tree() == steps[at].tree) << where;
            ASSERT_EQ(fileBytes(r), steps[at].bytes) << where;
            ASSERT_TRUE(did == "edit" || r.document().Modified == (at != saved)) << where;
            ASSERT_TRUE(r.refusedNode() == RecordTree::None || r.tree().parent(r.refusedNode()) == r.line().back())
                << where;
            expectConsistent(r, pic, where);
            if (HasFatalFailure()) return;
        }
        while (at + 1 < steps.size()) h.redo(r, pic), ++at;
        EXPECT_EQ(fileBytes(r), steps.back().bytes) << file;
        while (h.canUndo()) h.undo(r, pic);
        EXPECT_TRUE(r.tree() == steps[0].tree) << file;
        EXPECT_EQ(fileBytes(r), steps[0].bytes) << file;
        expectConsistent(r, pic, file.string() + " all undone");
    }
    EXPECT_GT(edits, 1000);
    std::printf("random edits: %zu records, %d edits, %d undos, %d redos\n", files.size(), edits, undos, redos);
}

}  // namespace
}  // namespace tavrin
