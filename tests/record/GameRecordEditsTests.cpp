// The record's edits and their history: setup, markup and the side to move at the shown
// node, deleting, promoting and reordering variations, each as a row "this file, shown at
// this node, this edit: this tree, this board"; and random edits, undos and redos over real
// records that must come back to the file's tree and bytes exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "record/GameRecord.h"
#include "record/InfoTexts.h"
#include "tests/record/RecordTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

using NodeId = RecordTree::NodeId;
using test::PicturePainter;
using test::shown;

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
    EXPECT_TRUE(pic.cells == a.Board) << where << ": the picture differs";
    EXPECT_EQ(r.line(), fresh.line()) << where;
    EXPECT_EQ(r.refusedNode(), fresh.refusedNode()) << where;
    EXPECT_EQ(std::tie(a.MoveCount, a.CurrentMove, a.SideToMove, a.CapturedCount),
              std::tie(b.MoveCount, b.CurrentMove, b.SideToMove, b.CapturedCount))
        << where;
}

// Runs an edit as the table writes it ("X aa" a black stone, "O" white, "." empty; a mark's
// identifier and point; "LB point text" (+ the next letter, # the next number); "ER point"; "AN ident"; "PL B|W|-";
// "DEL", "PRO" and "MOV delta" with a node's path): the number of nodes deleted, else whether the record changed.
int apply(GameRecord& r, const std::string& action, BoardPainter& p) {
    std::istringstream in(action);
    std::string op, a, b;
    in >> op >> a >> b;
    const uint64_t revision = r.revision();
    const NodeId n = nodeAt(r.tree(), op == "DEL" || op == "PRO" || op == "MOV" ? a : "");
    static const std::string Shapes[] = {"TR", "SQ", "CR", "MA", "SL"};
    const auto shape = std::find(std::begin(Shapes), std::end(Shapes), op);
    if (op == "X" || op == "O" || op == ".") {
        const bool done = r.setSetupStone(P(a.c_str()), op == "X" ? Black : op == "O" ? White : 0, p);
        EXPECT_EQ(done, r.revision() != revision) << action;
    } else if (shape != std::end(Shapes)) {
        r.toggleMark(P(a.c_str()), static_cast<MarkShape>(shape - std::begin(Shapes)));
    } else if (op == "LB") {
        r.setLabel(P(a.c_str()), b == "+" || b == "#" ? r.nextLabel(b == "#") : b);
    } else if (op == "ER") {
        r.eraseMarkup(P(a.c_str()));
    } else if (op == "AN") {
        r.toggleAnnotation(a);
    } else if (op == "ARROW" || op == "LINE") {
        EXPECT_EQ(r.toggleLine(P(a.c_str()), P(b.c_str()), op == "ARROW"), a != b) << action;
    } else if (op == "DIM") {
        r.toggleDimmed(P(a.c_str()));
    } else if (op == "PL") {
        r.setPlayerToMove(a == "B" ? Black : a == "W" ? White : 0, p);
    } else if (op == "DEL") {
        const int size = r.tree().parent(n) == RecordTree::None ? 0 : r.subtreeSize(n);
        EXPECT_EQ(r.deleteNode(n, p), size) << action;
        return size;
    } else if (op == "PRO") {
        r.promote(n, p);
    } else if (op == "MOV") {
        r.moveVariation(n, std::stoi(b), p);
    }
    return r.revision() != revision;
}

TEST(GameRecordEdits, EditsOfSmallTrees) {
    const char* const V = "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea]))(;W[ed]))";
    const struct {
        const char* what;
        const char* sgf;
        const char* at;  // the node shown
        const char* action;
        int result;
        const char* tree;            // after; "" unchanged
        const char* board = "";      // the top left corner after; "" unchanged
        int side = 0;                // to move after; 0 unchecked
        const char* then = nullptr;  // the node shown after; nullptr: the same
    } cases[] = {
        {"a new record: a stone at the root sets up the position", "(;SZ[9])", "", "X bb", 1, "(;SZ[9]AB[bb])",
         "...../.X.../...../...../.....", White},
        {"white at the root: black plays first", "(;SZ[9]AB[bb])", "", "O cc", 1, "(;SZ[9]AB[bb]AW[cc])",
         "...../.X.../..O../...../.....", Black},
        {"a move in the root: setup in a variation of its own", "(;SZ[9]B[cc];W[dd])", "", "O aa", 1,
         "(;SZ[9]B[cc](;W[dd])(;AW[aa]))", "O..../...../..X../...../.....", 0, "1"},
        {"a stone the node set leaves its AB", "(;SZ[9];B[cc];AB[aa][bb])", "00", ". aa", 1, "(;SZ[9];B[cc];AB[bb])",
         "...../.X.../..X../...../....."},
        {"a stone from earlier is emptied by AE", "(;SZ[9];B[cc];AB[aa][bb])", "00", ". cc", 1,
         "(;SZ[9];B[cc];AB[aa][bb]AE[cc])", "X..../.X.../...../...../....."},
        {"a stone from earlier turns white", "(;SZ[9];B[cc];AB[aa][bb])", "00", "O cc", 1,
         "(;SZ[9];B[cc];AB[aa][bb]AW[cc])", "X..../.X.../..O../...../....."},
        {"giving back an emptied stone removes the AE", "(;SZ[9];B[cc];AE[cc])", "00", "X cc", 1, "(;SZ[9];B[cc];)",
         "...../...../..X../...../....."},
        {"a rectangle is split around the point", "(;SZ[9];B[cc];AB[aa:bb])", "00", ". ab", 1,
         "(;SZ[9];B[cc];AB[aa][ba][bb])", "XX.../.X.../..X../...../....."},
        {"setup after a move: a node of its own", "(;SZ[9];B[cc];W[dd])", "00", "X aa", 1,
         "(;SZ[9];B[cc];W[dd];AB[aa])", "X..../...../..X../...O./.....", 0, "000"},
        {"setup captures nothing", "(;SZ[9];B[ba];W[ee];B[ab];C[x])", "0000", "O aa", 1,
         "(;SZ[9];B[ba];W[ee];B[ab];C[x]AW[aa])", "OX.../X..../...../...../....O"},
        {"the point shows the colour already", "(;SZ[9];B[cc])", "0", "X cc", 0, ""},
        {"the node's move stays: its stone emptied after it", "(;SZ[9];B[cc];W[dd])", "00", ". dd", 1,
         "(;SZ[9];B[cc];W[dd];AE[dd])", "...../...../..X../...../.....", 0, "000"},
        {"a stone the move would take stands after it", "(;SZ[9];B[ee];W[ba];B[ed];W[ab])", "0000", "X aa", 1,
         "(;SZ[9];B[ee];W[ba];B[ed];W[ab];AB[aa])", "XO.../O..../...../....X/....X", 0, "00000"},
        {"later moves stay: setup in a new variation", "(;SZ[9];B[aa];AB[bb];W[cc])", "00", "O cc", 1,
         "(;SZ[9];B[aa];AB[bb](;W[cc])(;AW[cc]))", "X..../.X.../..O../...../.....", 0, "001"},
        {"PL gives the move", "(;SZ[9]AB[aa]AW[bb])", "", "PL W", 1, "(;SZ[9]AB[aa]AW[bb]PL[W])", "", White},
        {"PL taken away: the position's own side", "(;SZ[9]AB[aa]AW[bb]PL[W])", "", "PL -", 1, "(;SZ[9]AB[aa]AW[bb])",
         "", Black},
        {"PL between moves: a new variation", "(;SZ[9];B[aa];C[x];W[bb])", "00", "PL B", 1,
         "(;SZ[9];B[aa];C[x](;W[bb])(;PL[B]))", "", Black, "001"},
        {"the same mark again removes it", "(;SZ[9];B[cc]TR[aa])", "0", "TR aa", 1, "(;SZ[9];B[cc])"},
        {"another mark replaces it", "(;SZ[9];B[cc]TR[aa])", "0", "SQ aa", 1, "(;SZ[9];B[cc]SQ[aa])"},
        {"a mark beside others", "(;SZ[9];B[cc]TR[aa:ab])", "0", "CR bb", 1, "(;SZ[9];B[cc]TR[aa:ab]CR[bb])"},
        {"a mark in another shape's rectangle", "(;SZ[9];B[cc]TR[aa:ab])", "0", "MA ab", 1,
         "(;SZ[9];B[cc]TR[aa]MA[ab])"},
        {"a label is added", "(;SZ[9];B[cc]LB[aa:1])", "0", "LB bb A", 1, "(;SZ[9];B[cc]LB[aa:1][bb:A])"},
        {"a label is replaced", "(;SZ[9];B[cc]LB[aa:1][bb:A])", "0", "LB aa 2", 1, "(;SZ[9];B[cc]LB[bb:A][aa:2])"},
        {"the next free letter", "(;SZ[9];B[cc]LB[aa:A][ab:C][ba:1])", "0", "LB bb +", 1,
         "(;SZ[9];B[cc]LB[aa:A][ab:C][ba:1][bb:B])"},
        {"the next free number", "(;SZ[9];B[cc]LB[aa:1][ab:3][ba:A])", "0", "LB bb #", 1,
         "(;SZ[9];B[cc]LB[aa:1][ab:3][ba:A][bb:2])"},
        {"an empty label removes it", "(;SZ[9];B[cc]LB[aa:1])", "0", "LB aa", 1, "(;SZ[9];B[cc])"},
        {"erasing takes marks and labels", "(;SZ[9];B[cc]SL[aa]LB[aa:1][bb:2])", "0", "ER aa", 1,
         "(;SZ[9];B[cc]LB[bb:2])"},
        {"an annotation set by hand", "(;SZ[9];B[cc])", "0", "AN TE", 1, "(;SZ[9];B[cc]TE[1])"},
        {"an arrow drawn", "(;SZ[9];B[cc])", "0", "ARROW aa bb", 1, "(;SZ[9];B[cc]AR[aa:bb])"},
        {"the same arrow again takes it away", "(;SZ[9];B[cc]AR[aa:bb][cc:dd])", "0", "ARROW aa bb", 1,
         "(;SZ[9];B[cc]AR[cc:dd])"},
        {"a line either way round", "(;SZ[9];B[cc]LN[aa:bb])", "0", "LINE bb aa", 1, "(;SZ[9];B[cc])"},
        {"a line of one point", "(;SZ[9];B[cc])", "0", "LINE aa aa", 0, ""},
        {"a point dimmed", "(;SZ[9];B[cc])", "0", "DIM aa", 1, "(;SZ[9];B[cc]DD[aa])"},
        {"dimmed from earlier: the node's own list", "(;SZ[9]DD[aa];B[cc])", "0", "DIM bb", 1,
         "(;SZ[9]DD[aa];B[cc]DD[aa][bb])"},
        {"the last one undimmed", "(;SZ[9]DD[aa];B[cc])", "0", "DIM aa", 1, "(;SZ[9]DD[aa];B[cc]DD[])"},
        {"another of its kind replaces it", "(;SZ[9];B[cc]TE[2]GB[1])", "0", "AN DO", 1, "(;SZ[9];B[cc]GB[1]DO[])"},
        {"set again, it goes", "(;SZ[9];B[cc]HO[1]GB[1])", "0", "AN HO", 1, "(;SZ[9];B[cc]GB[1])"},
        {"no annotation of that name", "(;SZ[9];B[cc])", "0", "AN XX", 0, ""},
        {"a variation beside the shown line", V, "000", "DEL 02", 1,
         "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea])))"},
        {"the shown line: it goes on by first children", V, "000", "DEL 00", 2,
         "(;SZ[9];B[aa](;W[dd](;B[ee])(;B[ea]))(;W[ed]))", "X..../...../...../...../.....", 0, "0"},
        {"an earlier sibling: the shown node moves up", V, "02", "DEL 01", 3, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[ed]))",
         "", 0, "01"},
        {"a leaf (待った in study)", V, "011", "DEL 011", 1, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[dd];B[ee])(;W[ed]))",
         "X..../...../...../...O./.....", 0, "01"},
        {"the root stays", V, "0", "DEL", 0, ""},
        {"a variation becomes the main line", V, "02", "PRO 02", 1,
         "(;SZ[9];B[aa](;W[ed])(;W[bb];B[cc])(;W[dd](;B[ee])(;B[ea])))", "", 0, "00"},
        {"every ancestor goes first", V, "000", "PRO 011", 1,
         "(;SZ[9];B[aa](;W[dd](;B[ea])(;B[ee]))(;W[bb];B[cc])(;W[ed]))", "", 0, "010"},
        {"the main line already", V, "000", "PRO 000", 0, ""},
        {"down one", V, "000", "MOV 00 1", 1, "(;SZ[9];B[aa](;W[dd](;B[ee])(;B[ea]))(;W[bb];B[cc])(;W[ed]))", "", 0,
         "010"},
        {"clamped at the end", V, "01", "MOV 01 5", 1, "(;SZ[9];B[aa](;W[bb];B[cc])(;W[ed])(;W[dd](;B[ee])(;B[ea])))",
         "", 0, "02"},
        {"first already", V, "000", "MOV 00 -1", 0, ""},
    };
    for (const auto& c : cases) {
        Loaded l;
        load(l, c.sgf, c.at);
        const std::string tree = shown(l.r.tree()), board = ascii(l.r.state(), 5);
        EXPECT_EQ(apply(l.r, c.action, l.pic), c.result) << c.what;
        EXPECT_EQ(shown(l.r.tree()), *c.tree ? c.tree : tree) << c.what;
        EXPECT_EQ(ascii(l.r.state(), 5), *c.board ? c.board : board) << c.what;
        EXPECT_EQ(c.side ? l.r.state().SideToMove : 0, c.side) << c.what;
        EXPECT_EQ(pathOf(l.r.tree(), l.r.node()), c.then ? c.then : c.at) << c.what;
        EXPECT_EQ(l.r.document().Modified, c.result != 0) << c.what;
        expectConsistent(l.r, l.pic, c.what);
    }
}

// A variation that runs past the record's room ends the line before the move with no entry
// left; when an edit elsewhere makes the tree renumber its nodes, that node is still the one
// named.
TEST(GameRecordEdits, TheRefusedNodeIsFoundAgainWhenTheTreeRenumbers) {
    // Passes, then a main line as long as a file's may be and a variation that runs two
    // moves past it: its last move finds no entry left.
    std::string sgf = "(;SZ[9]";
    for (int k = 1; k <= RecordCapacity - 3; ++k) sgf += k % 2 == 1 ? ";B[tt]" : ";W[tt]";
    sgf += "(;W[bb];B[cc])(;W[aa];B[dd];W[ee];B[ff]))";
    const std::string last(RecordCapacity - 3, '0');
    const std::string refused = last + "1000";
    Loaded l;
    load(l, sgf, last + "0");
    l.r.cutAfter();
    ASSERT_TRUE(l.r.goTo(nodeAt(l.r.tree(), last + "100"), l.pic));
    ASSERT_EQ(l.r.refusedNode(), nodeAt(l.r.tree(), refused));
    const NodeId before = l.r.refusedNode();
    l.r.setNodeComment(l.r.node(), std::string(10000, 'x'));
    l.r.setNodeComment(l.r.node(), "");
    ASSERT_NE(nodeAt(l.r.tree(), refused), before) << "the tree is renumbered";
    EXPECT_EQ(l.r.refusedNode(), nodeAt(l.r.tree(), refused));
}

std::string fileBytes(const GameRecord& r) {
    TextBuffer buf;
    return sgfFileBytes(r.mainLineState(), buf, &r.tree());
}

// A new handicap game holds its stones in the record alone: setting up at its root gives
// the root all of them.
TEST(GameRecordEdits, SetupAtTheRootOfAHandicapGameKeepsItsStones) {
    GameState g;
    g.BoardSize = 9;
    g.HandicapCount = 3;
    prcNewSetCore(g, "2026-12-08");
    GameRecord r;
    r.adopt(g);
    PicturePainter pic;
    pic.cells = r.state().Board;
    const std::string before = fileBytes(r);
    ASSERT_TRUE(r.setSetupStone(sgfPointPos("ee", 9), White, pic));
    EXPECT_EQ(shown(r.tree()), "(;AB[gc][cg][cc]AW[ee])");
    EXPECT_EQ(r.state().HandicapCount, 4);
    // A white stone at the start makes it a set-up position: no handicap is made up for it.
    EXPECT_EQ(handicapStones(r.state(), &r.tree()), 0);
    EXPECT_NE(fileBytes(r).find("AB[gc][cg][cc]AW[ee]"), std::string::npos) << fileBytes(r);
    EXPECT_EQ(fileBytes(r).find("HA["), std::string::npos);
    expectConsistent(r, pic, "white set up");
    ASSERT_EQ(r.play(White, sgfPointPos("gg", 9), pic), HitResult::Legal);
    EXPECT_EQ(r.state().MovePos[5], sgfPointPos("gg", 9)) << "the first move follows the four start stones";
    r.undo(pic);
    r.undo(pic);
    EXPECT_EQ(fileBytes(r), before);
    EXPECT_EQ(r.state().HandicapCount, 3);
    expectConsistent(r, pic, "undone");
}

// The game's details stand where the record had them; new ones go into the root; one step.
TEST(GameRecordEdits, GameDetailsAreWrittenWhereTheyStood) {
    Loaded l;
    load(l, "(;GM[1]FF[4]SZ[9]RO[2];PC[Tokyo]AB[aa];B[ee];W[cc]PC[move])", "000");
    EXPECT_EQ(l.r.infoProperty("PC"), "Tokyo") << "the first node before the first move holding it";
    EXPECT_EQ(l.r.infoProperty("SO"), "");
    const std::string before = fileBytes(l.r);
    l.r.changeDetails([](GameState& g) { g.GameDate = "2006-09-05"; },
                      {{"RO", ""}, {"PC", "Osaka"}, {"SO", "book"}, {"BR", "9p"}});
    const std::string after = fileBytes(l.r);
    EXPECT_NE(after.find("DT[2006-09-05]"), std::string::npos) << after;
    EXPECT_EQ(after.find("RO["), std::string::npos) << after;
    EXPECT_NE(after.find("SO[book]BR[9p]\r\n;"), std::string::npos) << after;
    EXPECT_NE(after.find("PC[Osaka];B[ee]"), std::string::npos) << after;
    EXPECT_NE(after.find("PC[move]"), std::string::npos) << "a move's own PC is no game information";
    l.r.undo(l.pic);
    EXPECT_EQ(fileBytes(l.r), before);
    EXPECT_EQ(l.r.state().GameDate, "");
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
    switch (pick(16)) {
        case 0:
        case 1: r.setSetupStone(pos, pick(3), p); break;
        case 2: r.toggleMark(pos, static_cast<MarkShape>(pick(5))); break;
        case 3: r.setLabel(pos, pick(4) ? r.nextLabel(pick(2)) : ""); break;
        case 4:
            if (pick(3) == 0)
                r.toggleDimmed(pos);
            else if (pick(2) == 0)
                r.toggleLine(pos, (pick(size) + 1) * (size + 2) + pick(size) + 1, pick(2));
            else
                r.eraseMarkup(pos);
            break;
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
        case 12:
            if (pick(2))
                r.takeBack(p);  // 待った
            else
                r.toggleAnnotation(std::array{"BM", "IT", "GW", "HO"}[static_cast<size_t>(pick(4))]);
            break;
        case 13:  // play resumed: the main line ends at the shown move
            if (r.onMainLine() && pick(4) == 0) r.keepMoves(r.state().CurrentMove - 1, p);
            break;
        case 14:  // 対局情報, or a result counted
            r.changeInfo(
                [&](GameState& g) { (pick(2) ? g.BlackPlayer : g.GameComment) = "P" + std::to_string(pick(3)); });
            break;
        default: r.goTo(any, p); break;
    }
}

// Random edits, undos, redos and saves over real records with variations: after each, the
// tree and the saved bytes are those of that step of the history, the position is the one
// the tree gives, and the modified flag is set exactly away from the saved step; undoing
// everything gives back the file's tree and bytes, redoing everything the last edit's.
TEST(GameRecordHistory, RandomEditsOfRealRecordsAreUndoneAndRedoneExactly) {
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
                randomEdit(r, rng, pic);
                // An edit that changed nothing leaves no step.
                if (!(r.tree() == steps[at].tree) || fileBytes(r) != steps[at].bytes) {
                    steps.resize(at + 1);
                    if (saved > at) saved = SIZE_MAX;
                    steps.push_back({r.tree(), fileBytes(r)});
                    ++at;
                    ++edits;
                }
                did = "edit";
            } else if (what < 17) {
                r.undo(pic);
                if (at > 0) --at, ++undos;
                did = "undo";
            } else if (what < 19) {
                ASSERT_TRUE(!r.canRedo() || at + 1 < steps.size());
                r.redo(pic);
                if (at + 1 < steps.size()) ++at, ++redos;
                did = "redo";
            } else {
                r.markSaved();
                saved = at;
                did = "save";
            }
            const std::string where = file.filename().string() + " op " + std::to_string(op) + " " + did;
            ASSERT_TRUE(r.tree() == steps[at].tree) << where << "\n"
                                                    << shown(r.tree()) << "\n"
                                                    << shown(steps[at].tree);
            ASSERT_EQ(fileBytes(r), steps[at].bytes) << where;
            ASSERT_TRUE(did == "edit" || r.document().Modified == (at != saved)) << where;
            expectConsistent(r, pic, where);
            if (HasFatalFailure()) return;
        }
        while (at + 1 < steps.size()) r.redo(pic), ++at;
        EXPECT_EQ(fileBytes(r), steps.back().bytes) << file;
        while (r.canUndo()) r.undo(pic);
        EXPECT_TRUE(r.tree() == steps[0].tree) << file;
        EXPECT_EQ(fileBytes(r), steps[0].bytes) << file;
        expectConsistent(r, pic, file.string() + " all undone");
    }
    EXPECT_GT(edits, 1000);
    std::printf("random edits: %zu records, %d edits, %d undos, %d redos\n", files.size(), edits, undos, redos);
}

}  // namespace
}  // namespace tavrin
