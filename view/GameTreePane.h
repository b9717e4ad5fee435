#pragma once
// The game-tree pane: every node of one game of the record as a small stone on a grid, the
// main line along the top row and each variation on a row below, joined to the node it
// branches from (record/TreeLayout.h). Move numbers every ten stand over the columns, the
// shown node is highlighted and kept in view, nodes with a comment carry a blue dot and
// annotated ones a ring of their judgement's colour. Painted straight from the tree, only
// the part in view.
//
// The pane moves nothing itself: a click asks the window to show a node, the arrow keys ask
// it to step along its line or to a sibling.

#include <QAbstractScrollArea>
#include <QString>
#include <utility>
#include <vector>

#include "record/RecordTree.h"
#include "record/TreeLayout.h"

namespace tavrin {

class GameTreePane : public QAbstractScrollArea {
    Q_OBJECT
public:
    using NodeId = RecordTree::NodeId;
    // Pixels of one node's square, of the margin round the grid and of the numbers' strip.
    static constexpr int CellSize = 24;
    static constexpr int Margin = 4;
    static constexpr int HeaderHeight = 14;

    explicit GameTreePane(QWidget* parent = nullptr);

    // Shows game k of tree (nullptr: nothing), laid out again: call it after every edit of
    // the tree, whose ids an edit may change. The tree must outlive the pane's use of it.
    void setTree(const RecordTree* tree, size_t game = 0);
    // The shown node: highlighted and scrolled into view.
    void setCurrent(NodeId n);
    NodeId current() const { return current_; }
    // Scrolls so that n's square and a cell round it are in view.
    void ensureVisible(NodeId n);

    // The moves a review marked as the largest losses, each with the colour of the side that
    // played it: a square ring round its stone (red for black, blue for white).
    void setLossMarks(const std::vector<std::pair<NodeId, int>>& marks);

    const TreeLayout& layout() const { return layout_; }
    // n's square in the viewport's coordinates (empty for a node not laid out).
    QRect nodeRect(NodeId n) const;
    // The node whose square holds the viewport point, None when none does.
    NodeId nodeAt(QPoint viewportPos) const;
    // The tooltip of the node at the viewport point: its annotations, value and the first
    // line of its comment ("" when none or no node).
    QString toolTipAt(QPoint viewportPos) const;

signals:
    void nodeActivated(tavrin::RecordTree::NodeId n);  // clicked: show n
    void stepRequested(int delta);                     // Left -1, Right +1: along the shown line
    void siblingRequested(int delta);                  // Up -1, Down +1: to the shown node's sibling

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    void updateScrollBars();
    // Top-left of cell (column, row) in content coordinates.
    static QPoint cellOrigin(int column, int row) {
        return {Margin + column * CellSize, HeaderHeight + Margin + row * CellSize};
    }
    QPoint scrollOffset() const;

    const RecordTree* tree_ = nullptr;
    TreeLayout layout_;
    NodeId current_ = RecordTree::None;
    std::vector<std::pair<NodeId, int>> lossMarks_;
};

}  // namespace tavrin
