#include "view/GameTreePane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "game/GameState.h"
#include "record/NodeMarkup.h"

namespace tavrin {

namespace {

// What a node's stone shows: its move's colour, a comment, the kind of its annotation.
struct NodeLook {
    int Colour = 0;  // Black, White or 0 (no move: the root, setup, a comment alone)
    bool Comment = false;
    enum { None, Bad, Good, Other } Note = None;
};

NodeLook lookOf(const RecordTree& t, RecordTree::NodeId n) {
    NodeLook look;
    for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
        const uint32_t k = RecordTree::identKey(t.identifier(p));
        const auto is = [k](const char* ident) { return k == RecordTree::identKey(ident); };
        if ((is("B") || is("W")) && look.Colour == 0)
            look.Colour = is("B") ? Black : White;
        else if (is("C"))
            look.Comment = true;
        else if (is("BM") || is("DO"))
            look.Note = NodeLook::Bad;
        else if ((is("TE") || is("IT")) && look.Note != NodeLook::Bad)
            look.Note = NodeLook::Good;
        else if ((is("GB") || is("GW") || is("DM") || is("UC") || is("HO")) && look.Note == NodeLook::None)
            look.Note = NodeLook::Other;
    }
    return look;
}

}  // namespace

GameTreePane::GameTreePane(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("pnlTree"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(CellSize);
    verticalScrollBar()->setSingleStep(CellSize);
}

void GameTreePane::setTree(const RecordTree* tree, size_t game) {
    tree_ = tree;
    if (tree_)
        layout_.build(*tree_, game);
    else
        layout_ = TreeLayout{};
    if (layout_.placeOf(current_).Column < 0) current_ = RecordTree::None;
    updateScrollBars();
    viewport()->update();
}

void GameTreePane::setCurrent(NodeId n) {
    current_ = n;
    ensureVisible(n);
    viewport()->update();
}

QPoint GameTreePane::scrollOffset() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

void GameTreePane::ensureVisible(NodeId n) {
    const TreeLayout::Place at = layout_.placeOf(n);
    if (at.Column < 0) return;
    const QPoint o = cellOrigin(at.Column, at.Row);
    const QSize view = viewport()->size();
    const auto keep = [](QScrollBar* bar, int start, int length, int viewLength) {
        // The square and a cell either side, or as much of it as the view holds.
        const int lo = start - CellSize, hi = start + length + CellSize;
        if (lo < bar->value())
            bar->setValue(lo);
        else if (hi > bar->value() + viewLength)
            bar->setValue(std::min(lo, hi - viewLength));
    };
    keep(horizontalScrollBar(), o.x(), CellSize, view.width());
    // The top row scrolls with the numbers above it.
    keep(verticalScrollBar(), at.Row == 0 ? 0 : o.y(), at.Row == 0 ? o.y() + CellSize : CellSize, view.height());
}

QRect GameTreePane::nodeRect(NodeId n) const {
    const TreeLayout::Place at = layout_.placeOf(n);
    if (at.Column < 0) return {};
    return QRect(cellOrigin(at.Column, at.Row) - scrollOffset(), QSize(CellSize, CellSize));
}

GameTreePane::NodeId GameTreePane::nodeAt(QPoint viewportPos) const {
    const QPoint p = viewportPos + scrollOffset() - cellOrigin(0, 0);
    if (p.x() < 0 || p.y() < 0) return RecordTree::None;
    return layout_.nodeAt(p.x() / CellSize, p.y() / CellSize);
}

void GameTreePane::setLossMarks(const std::vector<std::pair<NodeId, int>>& marks) {
    if (marks == lossMarks_) return;
    lossMarks_ = marks;
    viewport()->update();
}

QString GameTreePane::toolTipAt(QPoint viewportPos) const {
    const NodeId n = nodeAt(viewportPos);
    if (!tree_ || n == RecordTree::None) return {};
    return QString::fromStdString(nodeTooltip(*tree_, n));
}

void GameTreePane::updateScrollBars() {
    const QSize content(2 * Margin + layout_.columns() * CellSize,
                        HeaderHeight + 2 * Margin + layout_.rows() * CellSize);
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void GameTreePane::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void GameTreePane::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    if (!tree_ || layout_.rows() == 0) return;
    const QPoint off = scrollOffset();
    const QSize view = viewport()->size();
    // The columns and rows in view, and one column to the left for lines coming in.
    const int c0 = std::max(0, (off.x() - Margin) / CellSize - 1);
    const int c1 = (off.x() + view.width() - Margin) / CellSize;
    const int r0 = std::max(0, (off.y() - HeaderHeight - Margin) / CellSize);
    const int r1 = std::min(layout_.rows() - 1, (off.y() + view.height() - HeaderHeight - Margin) / CellSize);
    const auto centre = [&](int column, int row) {
        return cellOrigin(column, row) - off + QPoint(CellSize / 2, CellSize / 2);
    };
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();

    // Lines: along each row, and down from a node to its variations (which lie below it,
    // so a line into view may come from any row above). The drop runs half a column after
    // the node, clear of the stones of the rows it passes.
    p.setPen(QPen(pal.color(QPalette::Mid), 1.5));
    for (int r = 0; r <= r1; ++r) {
        layout_.forEachIn(r, c0, c1, [&](const TreeLayout::Cell& cell) {
            const NodeId first = tree_->firstChild(cell.Node);
            if (first == RecordTree::None) return;
            const QPoint from = centre(cell.Column, r);
            const int drop = from.x() + CellSize / 2;
            if (r >= r0) p.drawLine(from, centre(cell.Column + 1, r));
            int lastRow = r;
            for (NodeId v = tree_->nextSibling(first); v != RecordTree::None; v = tree_->nextSibling(v)) {
                const int row = layout_.placeOf(v).Row;
                lastRow = std::max(lastRow, row);
                if (row >= r0) p.drawLine(QPoint(drop, centre(0, row).y()), centre(cell.Column + 1, row));
            }
            if (lastRow > r) p.drawLine(QPoint(drop, from.y()), QPoint(drop, centre(0, lastRow).y()));
        });
    }

    // Stones.
    const int d = CellSize * 5 / 8;
    for (int r = r0; r <= r1; ++r) {
        layout_.forEachIn(r, c0, c1, [&](const TreeLayout::Cell& cell) {
            const QPoint c = centre(cell.Column, r);
            const QRectF stone(c.x() - d / 2.0, c.y() - d / 2.0, d, d);
            if (cell.Node == current_) {
                p.setPen(Qt::NoPen);
                p.setBrush(pal.color(QPalette::Highlight));
                p.drawRoundedRect(
                    QRectF(c.x() - CellSize / 2.0 + 1, c.y() - CellSize / 2.0 + 1, CellSize - 2, CellSize - 2), 4, 4);
            }
            const NodeLook look = lookOf(*tree_, cell.Node);
            p.setPen(QPen(QColor(40, 40, 40), 1));
            if (look.Colour == Black || look.Colour == White) {
                p.setBrush(look.Colour == Black ? QColor(20, 20, 20) : QColor(250, 250, 250));
                p.drawEllipse(stone);
            } else {
                p.setBrush(QColor(200, 200, 200));
                p.drawRect(stone.adjusted(d / 5.0, d / 5.0, -d / 5.0, -d / 5.0));
            }
            if (look.Note != NodeLook::None) {
                const QColor ring = look.Note == NodeLook::Bad    ? QColor(220, 30, 30)
                                    : look.Note == NodeLook::Good ? QColor(20, 160, 40)
                                                                  : QColor(240, 150, 0);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(ring, 2.5));
                p.drawEllipse(stone.adjusted(-2, -2, 2, 2));
            }
            for (const auto& [node, colour] : lossMarks_) {
                if (node != cell.Node) continue;
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(colour == Black ? QColor(210, 40, 40) : QColor(40, 90, 220), 2));
                p.drawRect(stone.adjusted(-3, -3, 3, 3));
            }
            if (look.Comment) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(30, 90, 230));
                p.drawEllipse(QPointF(c.x() + d / 2.0, c.y() - d / 2.0), 3, 3);
            }
        });
    }

    // Move numbers every ten over the top row's columns.
    QFont f = font();
    f.setPixelSize(HeaderHeight - 4);
    p.setFont(f);
    p.setPen(pal.color(QPalette::Text));
    layout_.forEachIn(0, c0, c1, [&](const TreeLayout::Cell& cell) {
        const int k = layout_.moveNumberOf(cell.Node);
        const NodeId up = tree_->parent(cell.Node);
        if (k == 0 || k % 10 != 0 || (up != RecordTree::None && layout_.moveNumberOf(up) == k)) return;
        const QPoint o = cellOrigin(cell.Column, 0) - off;
        p.drawText(QRect(o.x() - CellSize, o.y() - HeaderHeight - Margin, 3 * CellSize, HeaderHeight), Qt::AlignCenter,
                   QString::number(k));
    });
}

void GameTreePane::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) return;
    const NodeId n = nodeAt(e->position().toPoint());
    if (n != RecordTree::None) emit nodeActivated(n);
}

void GameTreePane::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left: emit stepRequested(-1); break;
        case Qt::Key_Right: emit stepRequested(1); break;
        case Qt::Key_Up: emit siblingRequested(-1); break;
        case Qt::Key_Down: emit siblingRequested(1); break;
        default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    e->accept();
}

bool GameTreePane::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

}  // namespace tavrin
