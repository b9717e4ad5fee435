// The record's game tree in the window: kept in step with play, take-back and resume, the
// move list's marks of variations, and the comment window.

#include <QAction>
#include <QBoxLayout>
#include <QDockWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>

#include "app/TfrmMain.h"
#include "record/InfoTexts.h"
#include "record/NodeMarkup.h"

namespace tavrin {

namespace {

// The foreground of a move-list row from which variations branch: a light blue that reads
// on the list's dark green as well as its white rows do.
const QColor VariationColour(150, 215, 255);
// The point of a move the rules refuse, standing as the record has it: a light red.
const QColor IllegalColour(255, 140, 140);

}  // namespace

void TfrmMain::buildCommentPane() {
    QVBoxLayout* column =
        buildDockPane(ui.dckComment, QStringLiteral("コメント"), QStringLiteral("dckComment"), ui.lblCommentInfo,
                      QStringLiteral("lblCommentInfo"), static_cast<Qt::DockWidgetArea>(prefs.CommentArea));
    // The variations at the shown position are links that go into them.
    ui.lblCommentInfo->setTextFormat(Qt::RichText);
    connect(ui.lblCommentInfo, &QLabel::linkActivated, this, [this](const QString& link) {
        showNode(static_cast<RecordTree::NodeId>(link.toUInt()));
        applyCommandStates();
    });
    ui.memComment = new QPlainTextEdit(column->parentWidget());
    ui.memComment->setObjectName(QStringLiteral("memComment"));
    ui.memComment->setStatusTip(QStringLiteral("表示中の局面のコメント（編集できます）"));
    column->addWidget(ui.memComment, 1);
    connect(ui.memComment, &QPlainTextEdit::textChanged, this, [this] {
        if (showingComment_) return;
        // An edit goes into the tree at once: nothing typed is lost when the shown position
        // changes, and the record is modified like after any other change. The keys typed at a
        // node are one step of the history: an undo takes the whole edit of that comment back.
        Record.setNodeComment(Record.node(), ui.memComment->toPlainText().toStdString(), CommentRemembered);
        CommentRemembered = true;
        // A comment added or removed marks the row of its move.
        prcKifUpDate();
    });
}

void TfrmMain::actDispCommentExecute() {
    // The mark has already been flipped on executing. A few lines of comment.
    if (!ui.dckComment) buildCommentPane();
    showPane(ui.dckComment, ui.actDispComment->isChecked(), prefs.CommentSize);
    prcCommentShow();
}

void TfrmMain::showPane(QDockWidget* dock, bool show, int extent) {
    const Qt::DockWidgetArea area = dockWidgetArea(dock);
    const bool across = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    const bool grows = isVisible() && !isMaximized() && !isFullScreen() && !dock->isFloating();
    int& grown = PaneGrowth[dock];
    if (!show) {
        dock->hide();
        // The window gives back the room it took for the pane.
        if (grows && grown > 0) resize(across ? QSize(width(), height() - grown) : QSize(width() - grown, height()));
        grown = 0;
        return;
    }
    if (!dock->isHidden()) return;
    dock->show();
    if (dock->isFloating()) return;
    // The window grows by the pane where the screen has room, so the board keeps its size.
    if (grows && grown == 0) {
        const QRect room = screen() ? screen()->availableGeometry() : QRect();
        const QSize before = size();
        QSize want = across ? QSize(width(), height() + extent) : QSize(width() + extent, height());
        if (room.isValid()) want = want.boundedTo(room.size());
        resize(want);
        grown = across ? want.height() - before.height() : want.width() - before.width();
    }
    resizeDocks({dock}, {extent}, across ? Qt::Vertical : Qt::Horizontal);
}

int TfrmMain::paneSize(const QDockWidget* dock, int hidden) const {
    if (!dock || !dock->isVisible() || dock->isFloating()) return hidden;
    const Qt::DockWidgetArea area = dockWidgetArea(const_cast<QDockWidget*>(dock));
    return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea ? dock->height() : dock->width();
}

void TfrmMain::prcCommentShow() {
    if (!ui.dckComment || ui.dckComment->isHidden()) return;
    const RecordTree::NodeId node = Record.node();
    const int variations = std::max(0, Tree().childCount(node) - 1);
    QString info = Game.CurrentMove <= 1 ? QStringLiteral("開始局面")
                                         : QString::number(Game.CurrentMove - 1) + QStringLiteral("手目");
    info = info.toHtmlEscaped();
    if (Record.depth() > 0 && Record.siblingCount() > 1)
        info += QStringLiteral("（変化 %1/%2）").arg(Record.siblingIndex() + 1).arg(Record.siblingCount());
    const QString words = QString::fromStdString(annotationLine(Tree(), node));
    if (!words.isEmpty()) info += QStringLiteral("　") + words.toHtmlEscaped();
    if (variations > 0) {
        // Each variation's next move, a link that goes into it.
        info += QStringLiteral("　この局面から変化が%1つあります：").arg(variations);
        for (const VariationMark& m : variationMarksOf(Tree(), node, Game.BoardSize)) {
            const QString point = m.Pos > 0 ? kifuPointText(m.Pos).simplified() : QStringLiteral("―");
            info += QStringLiteral("　<a href=\"%1\">%2：%3</a>").arg(m.Node).arg(QChar(m.Letter)).arg(point);
        }
    }
    if (Record.depth() == 0) {
        // The game comment of the record's root, shown with the start position.
        for (RecordTree::PropId p = Tree().firstProperty(node); p != RecordTree::None; p = Tree().nextProperty(p)) {
            if (Tree().identifier(p) != "GC") continue;
            for (int k = 0; k < Tree().valueCount(p); ++k)
                info += QStringLiteral("<br>対局の解説：") +
                        QString::fromStdString(std::string(Tree().value(p, k))).toHtmlEscaped();
        }
    }
    ui.lblCommentInfo->setText(info);
    const QString text = QString::fromStdString(nodeComment(Tree(), node));
    if (ui.memComment->toPlainText() != text) {
        CommentRemembered = false;
        showingComment_ = true;
        ui.memComment->setPlainText(text);
        showingComment_ = false;
    }
}

void TfrmMain::markVariationRows(int from) {
    const int rows = kifuRowCount();
    for (int row = from; row < rows; ++row) {
        QTreeWidgetItem* item = kifuRow(row);
        const RecordTree::NodeId node = lineNodeOfMove(row);
        const int variations = std::max(0, Tree().childCount(node) - 1);
        // A move's name and annotations stand where a played move's time would.
        const QString words = row > 0 ? QString::fromStdString(annotationLine(Tree(), node)) : QString();
        if (!words.isEmpty() || item->data(2, Qt::UserRole).toBool()) {
            item->setText(2, words);
            item->setToolTip(2, words);
            item->setData(2, Qt::UserRole, !words.isEmpty());
        }
        const bool illegal = row > 0 && Record.illegalAt(Record.nodeIndexOfMove(row));
        const bool marked = item->data(0, Qt::UserRole).toInt() > 0;
        if (marked != (variations > 0)) {
            item->setData(0, Qt::UserRole, variations);
            for (int c = 0; c < 3; ++c) item->setForeground(c, variations > 0 ? QBrush(VariationColour) : QBrush());
            item->setToolTip(0, variations > 0 ? QStringLiteral("この局面から変化があります") : QString());
        }
        if (illegal || item->data(1, Qt::UserRole).toBool()) {
            item->setData(1, Qt::UserRole, illegal);
            item->setForeground(1, illegal          ? QBrush(IllegalColour)
                                   : variations > 0 ? QBrush(VariationColour)
                                                    : QBrush());
            item->setToolTip(1, illegal ? QString::fromStdString(illegalMoveNotice(row)) : QString());
        }
    }
}

}  // namespace tavrin
