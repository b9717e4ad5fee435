// The record's cursor: the position at any node of a tree with variations and setup nodes,
// reached by steps, jumps and plays, against the position replayed from the root.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/Engine.h"
#include "record/GameRecord.h"
#include "tests/record/RecordTestSupport.h"

namespace tavrin {
namespace {

using NodeId = RecordTree::NodeId;

using test::PicturePainter;

GameState newGame(int size) {
    GameState g;
    g.BoardSize = size;
    prcNewSetCore(g, "2026-01-01");
    return g;
}

int pointAt(int size, char x, char y) { return (x - 'a' + 1) * (size + 2) + (y - 'a' + 1); }

// The position at n replayed from the root of a fresh game: setup stones set, moves played
// by the game's rules.
std::array<int, BoardCells> replayed(const RecordTree& t, NodeId n, int size) {
    std::vector<NodeId> path;
    for (NodeId k = n; k != RecordTree::None; k = t.parent(k)) path.insert(path.begin(), k);
    GameState g = newGame(size);
    NullPainter none;
    for (size_t i = 0; i < path.size(); ++i) {
        for (RecordTree::PropId p = t.firstProperty(path[i]); p != RecordTree::None; p = t.nextProperty(p)) {
            const std::string id(t.identifier(p));
            const std::string v(t.value(p, 0));
            if (id == "AB" || id == "AW" || id == "AE") {
                for (int k = 0; k < t.valueCount(p); ++k) {
                    const std::string w(t.value(p, k));
                    g.Board[static_cast<size_t>(pointAt(size, w[0], w[1]))] = id == "AB"   ? Black
                                                                              : id == "AW" ? White
                                                                                           : 0;
                }
            } else if (id == "B" || id == "W") {
                const int pos = v.empty() || v == "tt" ? PassPos : pointAt(size, v[0], v[1]);
                EXPECT_EQ(prcHitCore(g, pos, id == "B" ? Black : White, none), HitResult::Legal);
            }
        }
    }
    return g.Board;
}

void expectBoard(const GameRecord& r, const std::array<int, BoardCells>& want, const PicturePainter& pic,
                 const std::string& where) {
    const int size = r.state().BoardSize;
    for (int x = 1; x <= size; ++x) {
        for (int y = 1; y <= size; ++y) {
            const size_t pos = static_cast<size_t>(x * (size + 2) + y);
            ASSERT_EQ(r.state().Board[pos], want[pos]) << where << " at " << pos;
            ASSERT_EQ(pic.cells[pos], want[pos]) << where << " (picture) at " << pos;
        }
    }
}

NodeId addSetup(RecordTree& t, NodeId parent, const char* id, std::initializer_list<const char*> points) {
    const NodeId n = t.addNode(parent);
    const RecordTree::PropId p = t.addProperty(n, id);
    for (const char* v : points) t.addValue(p, v);
    return n;
}

// An ASCII board of the record's position: X black, O white, . empty; rows from the top.
std::string ascii(const GameRecord& r) {
    const int size = r.state().BoardSize;
    std::string out;
    for (int y = 1; y <= size; ++y) {
        for (int x = 1; x <= size; ++x) {
            const int v = r.state().Board[static_cast<size_t>(x * (size + 2) + y)];
            out += v == Black ? 'X' : v == White ? 'O' : '.';
        }
        out += '\n';
    }
    return out;
}

TEST(GameRecord, SetupNodesAndCapturesStepForwardAndBack) {
    GameState g = newGame(9);
    RecordTree t;
    const NodeId root = t.gameRoot(0);
    NodeId n = t.addMove(root, Black, pointAt(9, 'b', 'a'), 9);  // 1 X at ba
    n = addSetup(t, n, "AW", {"aa", "bb", "cb"});                //   O set at aa, bb, cb
    n = t.addMove(n, White, pointAt(9, 'a', 'b'), 9);            // 2 O at ab
    n = t.addMove(n, Black, pointAt(9, 'e', 'e'), 9);            // 3 X at ee
    n = addSetup(t, n, "AE", {"cb"});                            //   cb emptied
    n = t.addMove(n, White, pointAt(9, 'c', 'a'), 9);            // 4 O at ca takes ba
    GameRecord r;
    r.adopt(g, t);
    PicturePainter pic;
    pic.cells = r.state().Board;

    const char* const want[] = {
        ".........\n.........\n", ".X.......\n.........\n", "OX.......\n.OO......\n", "OX.......\nOOO......\n",
        "OX.......\nOOO......\n", "OX.......\nOO.......\n", "O.O......\nOO.......\n",
    };
    ASSERT_EQ(r.line().size(), 7u);
    EXPECT_EQ(r.state().MoveCount, 4);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 7; ++i) {
            const int at = pass == 0 ? i : 6 - i;
            r.goToIndex(at, pic);
            EXPECT_EQ(ascii(r).substr(0, std::string(want[at]).size()), want[at]) << "index " << at;
            expectBoard(r, replayed(r.tree(), r.node(), 9), pic, "index " + std::to_string(at));
        }
    }
    r.goToIndex(6, pic);
    EXPECT_EQ(r.state().CapturedCount[White], 1);
    EXPECT_EQ(r.state().CurrentMove, 5);
    EXPECT_EQ(r.nodeIndexOfMove(2), 3);  // the setup node stands between moves 1 and 2
    r.goToMove(2, pic);
    EXPECT_EQ(r.depth(), 3);
}

TEST(GameRecord, VariationsSwitchTheLineAndComeBack) {
    GameState g = newGame(9);
    GameRecord r;
    r.adopt(g);
    PicturePainter pic;
    pic.cells = r.state().Board;
    const int p1 = pointAt(9, 'c', 'c'), p2 = pointAt(9, 'g', 'g'), p3 = pointAt(9, 'c', 'g');
    ASSERT_EQ(r.play(Black, p1, pic), HitResult::Legal);
    ASSERT_EQ(r.play(White, p2, pic), HitResult::Legal);
    const NodeId main2 = r.node();
    ASSERT_TRUE(r.back(pic));
    // A different move at a node with a child is a new variation: the main line stays.
    ASSERT_EQ(r.play(White, p3, pic), HitResult::Legal);
    EXPECT_EQ(r.tree().childCount(r.line()[1]), 2);
    EXPECT_EQ(r.tree().mainLineNode(2), main2);
    EXPECT_EQ(r.siblingCount(), 2);
    EXPECT_EQ(r.siblingIndex(), 1);
    EXPECT_EQ(r.state().Board[static_cast<size_t>(p2)], 0);
    // The same move as a child holds steps into it.
    ASSERT_TRUE(r.goToSibling(-1, pic));
    EXPECT_EQ(r.node(), main2);
    ASSERT_TRUE(r.back(pic));
    ASSERT_EQ(r.play(White, p3, pic), HitResult::Legal);
    EXPECT_EQ(r.tree().childCount(r.line()[1]), 2);
    // Back and forward follows the line last taken.
    ASSERT_TRUE(r.back(pic));
    ASSERT_TRUE(r.next(pic));
    EXPECT_EQ(r.state().Board[static_cast<size_t>(p3)], White);
    expectBoard(r, replayed(r.tree(), r.node(), 9), pic, "variation");
    // A cut at the branch point removes both continuations.
    r.goToIndex(1, pic);
    r.cutAfter();
    EXPECT_EQ(r.tree().childCount(r.node()), 0);
    EXPECT_EQ(r.state().MoveCount, 1);
    EXPECT_EQ(r.line().size(), 2u);
}

// Play goes on after the nodes that follow the last kept move (a node with only a comment
// stays on the main line, the new move comes after it), as the window's resume and take-back
// keep them.
TEST(GameRecord, PlayGoesOnAfterTheNodesBeforeTheNextMove) {
    GameState g = newGame(9);
    PicturePainter pic;
    // With a third move after the comment (resume cuts it) and without (resume at the end).
    for (const bool third : {true, false}) {
        RecordTree t;
        NodeId n = t.addMove(t.gameRoot(0), Black, pointAt(9, 'c', 'c'), 9);
        n = t.addMove(n, White, pointAt(9, 'g', 'g'), 9);
        const NodeId note = addSetup(t, n, "C", {"a comment"});
        if (third) t.addMove(note, Black, pointAt(9, 'c', 'g'), 9);
        GameRecord r;
        r.adopt(g, t);
        pic.cells = r.state().Board;
        r.goToMove(2, pic);
        r.keepMoves(2, pic);
        EXPECT_EQ(r.node(), note) << third;
        ASSERT_EQ(r.play(Black, pointAt(9, 'e', 'e'), pic), HitResult::Legal);
        EXPECT_EQ(r.tree().moveCount(), 3) << "the new move is the main line's third";
        EXPECT_EQ(r.tree().mainLineNode(4), r.node());
        expectBoard(r, replayed(r.tree(), r.node(), 9), pic, "after the kept nodes");
    }
}

// Old files put the first move into the root: it counts as the line's first move there.
TEST(GameRecord, AMoveInTheRootIsTheFirstMove) {
    GameState g = newGame(9);
    RecordTree t;
    const RecordTree::PropId p = t.addProperty(t.gameRoot(0), "W");
    t.addValue(p, "aa");
    t.addMove(t.gameRoot(0), Black, pointAt(9, 'c', 'c'), 9);
    GameRecord r;
    r.adopt(g, t);
    EXPECT_EQ(r.state().MoveCount, 2);
    EXPECT_EQ(r.movesThrough(0), 1);
    PicturePainter pic;
    pic.cells = r.state().Board;
    r.goToMove(1, pic);
    EXPECT_EQ(r.depth(), 0);
    EXPECT_EQ(r.state().CurrentMove, 2);
    EXPECT_EQ(r.state().Board[static_cast<size_t>(pointAt(9, 'a', 'a'))], White);
}

// Random records grown by playing at random nodes, walked by random steps, jumps and plays:
// after every operation the position (and the picture drawn through the steps) is the one
// replayed from the root, and the record arrays agree with the line.
TEST(GameRecord, RandomWalksAgreeWithReplayFromTheRoot) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 40; ++round) {
        const int size = round % 2 ? 9 : 13;
        GameState g = newGame(size);
        GameRecord r;
        r.adopt(g);
        PicturePainter pic;
        pic.cells = r.state().Board;
        std::vector<NodeId> nodes{r.node()};
        for (int op = 0; op < 300; ++op) {
            const int what = static_cast<int>(rng() % 10);
            std::string did;
            if (what < 5) {
                const int pos = static_cast<int>(rng() % static_cast<unsigned>(size)) + 1 +
                                (static_cast<int>(rng() % static_cast<unsigned>(size)) + 1) * (size + 2);
                const int colour = r.state().SideToMove;
                if (r.play(colour, rng() % 40 == 0 ? PassPos : pos, pic) == HitResult::Legal) nodes.push_back(r.node());
                did = "play";
            } else if (what == 5) {
                r.back(pic);
                did = "back";
            } else if (what == 6) {
                r.next(pic);
                did = "next";
            } else if (what == 7) {
                r.goToSibling(rng() % 2 ? 1 : -1, pic);
                did = "sibling";
            } else if (what == 8) {
                ASSERT_TRUE(r.goTo(nodes[rng() % nodes.size()], pic));
                did = "jump";
            } else if (rng() % 8 == 0) {
                r.cutAfter();
                nodes.clear();
                // Nodes are renumbered by a cut: the remaining ones are found again.
                std::vector<NodeId> pending{r.tree().gameRoot(0)};
                while (!pending.empty()) {
                    const NodeId k = pending.back();
                    pending.pop_back();
                    nodes.push_back(k);
                    for (NodeId c = r.tree().firstChild(k); c != RecordTree::None; c = r.tree().nextSibling(c))
                        pending.push_back(c);
                }
                did = "cut";
            }
            const std::string where = "round " + std::to_string(round) + " op " + std::to_string(op) + " " + did;
            expectBoard(r, replayed(r.tree(), r.node(), size), pic, where);
            ASSERT_EQ(r.state().CurrentMove - 1, r.movesThrough(r.depth())) << where;
            ASSERT_EQ(r.state().MoveCount, r.movesThrough(static_cast<int>(r.line().size()) - 1)) << where;
        }
    }
}

}  // namespace
}  // namespace tavrin
