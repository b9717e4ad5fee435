// The game-tree pane: where a click lands, what the keys ask for, what is painted where and
// that the shown node stays in view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>
#include <vector>

#include "view/GameTreePane.h"

using namespace tavrin;

namespace {

using NodeId = RecordTree::NodeId;

// A main line of `length` moves after an empty root; variations of two moves branch at
// every node listed (each the node's last child).
struct Tree {
    RecordTree t;
    std::vector<NodeId> main;
    std::vector<NodeId> variations;
    Tree(int length, const std::vector<int>& branchAt) {
        t.clear();
        main.push_back(t.addNode(RecordTree::None));
        for (int k = 1; k <= length; ++k)
            main.push_back(t.addMoveNode(main.back(), k % 2 ? 'B' : 'W', static_cast<char>('a' + k % 19), 'c'));
        for (int at : branchAt) {
            const NodeId v = t.addMoveNode(main[static_cast<size_t>(at)], at % 2 ? 'W' : 'B', 's', 's');
            t.addMoveNode(v, at % 2 ? 'B' : 'W', 'r', 'r');
            variations.push_back(v);
        }
    }
};

struct Pane {
    GameTreePane pane;
    std::vector<NodeId> activated;
    std::vector<std::pair<char, int>> asked;  // 's' step or 'v' sibling, and the delta
    Pane(const RecordTree& t, int w = 400, int h = 200) {
        pane.resize(w, h);
        pane.show();  // the viewport takes its size
        pane.setTree(&t);
        QObject::connect(&pane, &GameTreePane::nodeActivated, [this](NodeId n) { activated.push_back(n); });
        QObject::connect(&pane, &GameTreePane::stepRequested, [this](int d) { asked.push_back({'s', d}); });
        QObject::connect(&pane, &GameTreePane::siblingRequested, [this](int d) { asked.push_back({'v', d}); });
    }
    void click(QPoint at) {
        QMouseEvent e(QEvent::MouseButtonPress, at, pane.viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &e);
    }
    void key(int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&pane, &e);
    }
    bool inView(NodeId n) const { return pane.viewport()->rect().contains(pane.nodeRect(n)); }
};

TEST(GameTreePane, ClicksAndKeysAskTheWindowToMove) {
    Tree tree(12, {3, 3, 8});
    Pane p(tree.t);
    std::vector<NodeId> all = tree.main;
    for (NodeId v : tree.variations) all.insert(all.end(), {v, tree.t.firstChild(v)});
    for (NodeId n : all) {
        const QRect r = p.pane.nodeRect(n);
        ASSERT_FALSE(r.isEmpty()) << n;
        p.click(r.center());
        p.click(r.topLeft() + QPoint(1, 1));
        p.click(r.bottomRight() - QPoint(1, 1));
        EXPECT_EQ(p.activated, std::vector<NodeId>(3, n)) << n;
        p.activated.clear();
    }
    // Beside the main line at a branch, below the last variation, the numbers' strip: nothing.
    const QRect b = p.pane.nodeRect(tree.main[5]);
    for (const QPoint empty : {b.center() + QPoint(0, 3 * GameTreePane::CellSize), QPoint(b.center().x(), 2),
                               p.pane.nodeRect(tree.variations[1]).center() + QPoint(0, GameTreePane::CellSize)})
        p.click(empty);
    EXPECT_TRUE(p.activated.empty());
    // The branch's variations are one to a row under the main line, the later one lower.
    EXPECT_EQ(p.pane.nodeRect(tree.variations[0]).top(), p.pane.nodeRect(tree.main[4]).top() + GameTreePane::CellSize);
    EXPECT_EQ(p.pane.nodeRect(tree.variations[1]).top(),
              p.pane.nodeRect(tree.main[4]).top() + 2 * GameTreePane::CellSize);
}

TEST(GameTreePane, TheShownNodeIsHighlightedAndKeptInView) {
    Tree tree(600, {100, 100, 100, 100, 100, 100, 100, 100, 100, 550});
    Pane p(tree.t, 300, 120);
    for (NodeId n : {tree.main[400], tree.variations[8], tree.main[0], tree.variations[9], tree.main[600],
                     tree.t.firstChild(tree.variations[7]), tree.main[1]}) {
        p.pane.setCurrent(n);
        EXPECT_TRUE(p.inView(n)) << n << " " << p.pane.nodeRect(n).x() << "," << p.pane.nodeRect(n).y();
        const QImage shot = p.pane.viewport()->grab().toImage();
        const QRect r = p.pane.nodeRect(n);
        const QColor highlight = p.pane.palette().color(QPalette::Highlight);
        EXPECT_EQ(shot.pixelColor(r.topLeft() + QPoint(3, r.height() / 2)), highlight) << n;
        // The neighbour on the line is not highlighted.
        const NodeId next = tree.t.firstChild(n);
        if (next != RecordTree::None && p.inView(next)) {
            const QRect q = p.pane.nodeRect(next);
            EXPECT_NE(shot.pixelColor(q.topLeft() + QPoint(3, q.height() / 2)), highlight) << n;
        }
    }
}

TEST(GameTreePane, StonesCommentsAnnotationsAndTooltips) {
    RecordTree t;
    t.clear();
    const NodeId root = t.addNode(RecordTree::None);
    const NodeId b = t.addMoveNode(root, 'B', 'd', 'd');
    const NodeId w = t.addMoveNode(b, 'W', 'p', 'p');
    t.addValue(t.addProperty(w, "C"), "黒の緩着\n白が先に回った");
    t.addValue(t.addProperty(w, "TE"), "2");
    const NodeId bad = t.addMoveNode(w, 'B', 'q', 'q');
    t.addValue(t.addProperty(bad, "BM"), "1");
    Pane p(t);
    const QImage shot = p.pane.viewport()->grab().toImage();
    const auto at = [&](NodeId n, double dx, double dy) {
        const QRect r = p.pane.nodeRect(n);
        return shot.pixelColor(r.center() +
                               QPoint(static_cast<int>(dx * r.width()), static_cast<int>(dy * r.height())));
    };
    EXPECT_LT(at(b, 0, 0).lightness(), 60);
    EXPECT_GT(at(w, 0, 0).lightness(), 200);
    // The good move's ring is green, the bad one's red; the comment's dot blue at the top right.
    EXPECT_GT(at(w, 0.38, 0).green(), at(w, 0.38, 0).red() + 60);
    EXPECT_GT(at(bad, 0.38, 0).red(), at(bad, 0.38, 0).green() + 60);
    EXPECT_GT(at(w, 0.31, -0.31).blue(), at(w, 0.31, -0.31).red() + 60);
    EXPECT_LT(at(bad, 0.31, -0.31).blue(), at(bad, 0.31, -0.31).red() + 60);
    EXPECT_EQ(p.pane.toolTipAt(p.pane.nodeRect(w).center()), QString::fromUtf8("妙手\n黒の緩着"));
    EXPECT_EQ(p.pane.toolTipAt(p.pane.nodeRect(bad).center()), QString::fromUtf8("悪手"));
    EXPECT_EQ(p.pane.toolTipAt(p.pane.nodeRect(b).center()), QString());
    // A tree given up leaves nothing to click.
    p.pane.setTree(nullptr);
    p.click(QPoint(GameTreePane::Margin + GameTreePane::CellSize / 2, GameTreePane::HeaderHeight + 15));
    EXPECT_TRUE(p.activated.empty());
}

}  // namespace
