// The record's variations in the window: switching between them (Alt+Down, Alt+Up), back to
// where they branch (Alt+Left), a click on a variation's mark, the markup of the shown node
// on the board, and the game-tree pane 変化図.

#include <QAction>
#include <QBoxLayout>
#include <QDockWidget>
#include <QLabel>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "record/NodeMarkup.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"
#include "view/KifuWindow.h"

namespace tavrin {

RecordTree::NodeId TfrmMain::lineNodeOfMove(int k) const {
    return Record.line()[static_cast<size_t>(Record.nodeIndexOfMove(k))];
}

void TfrmMain::showNode(RecordTree::NodeId n) {
    if (!ReplayMode || n == RecordTree::None || n >= Tree().nodeCount() || n == Record.node()) return;
    stopKifuAuto();
    const std::vector<RecordTree::NodeId> before = Record.line();
    if (!Record.goTo(n, *ui.pnlMain)) return;
    // The move list is the shown line: rebuilt when the line took another way.
    if (Record.line() != before) {
        rebuildKifuList();
        markVariationRows();
    } else {
        for (int row = 0; row < kifuRowCount(); ++row) setKifuRowMarker(row, false);
    }
    showTimeTotals();
    prcKifActCtrl();
}

void TfrmMain::actKifuVarNextExecute() {
    const RecordTree::NodeId from = Record.variationNode();
    if (from == RecordTree::None) return;
    RecordTree::NodeId to = Tree().nextSibling(from);
    showNode(to);
}

void TfrmMain::actKifuVarPrevExecute() {
    const RecordTree::NodeId from = Record.variationNode();
    if (from == RecordTree::None) return;
    RecordTree::NodeId to = RecordTree::None;
    for (RecordTree::NodeId c = Tree().firstChild(Tree().parent(from)); c != from; c = Tree().nextSibling(c)) to = c;
    showNode(to);
}

void TfrmMain::actKifuVarBranchExecute() { showNode(Record.branchPoint()); }

void TfrmMain::actDispVariationsExecute() { showNodeMarks(); }

void TfrmMain::buildTreePane() {
    QLabel* info = nullptr;
    QVBoxLayout* column = buildDockPane(ui.dckTree, QStringLiteral("変化図"), QStringLiteral("dckTree"), info,
                                        QStringLiteral("lblTreeInfo"), static_cast<Qt::DockWidgetArea>(prefs.TreeArea));
    info->hide();
    ui.treePane = new GameTreePane(column->parentWidget());
    ui.treePane->setObjectName(QStringLiteral("treePane"));
    ui.treePane->setStatusTip(QStringLiteral("クリックした局面を表示します（←→で前後、↑↓で変化）"));
    column->addWidget(ui.treePane, 1);
    // Laid out when it comes into view (a record read before the window first shows).
    connect(ui.dckTree, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) showNodeMarks();
    });
    const auto refused = [this] {
        setStatusText(0, QStringLiteral("対局中は変化図から局面を選べません"));
        return !ReplayMode;
    };
    connect(ui.treePane, &GameTreePane::nodeActivated, this, [this, refused](RecordTree::NodeId n) {
        if (refused()) return;
        showNode(n);
        applyCommandStates();
    });
    // The tree's edits on the node under the right button.
    ui.treePane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.treePane, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        treePaneMenu(ui.treePane->nodeAt(at), ui.treePane->viewport()->mapToGlobal(at));
    });
    connect(ui.treePane, &GameTreePane::stepRequested, this, [this, refused](int delta) {
        if (refused()) return;
        (delta > 0 ? ui.actKifuNext : ui.actKifuBack)->trigger();
    });
    connect(ui.treePane, &GameTreePane::siblingRequested, this, [this, refused](int delta) {
        if (refused()) return;
        (delta > 0 ? ui.actKifuVarNext : ui.actKifuVarPrev)->trigger();
    });
}

void TfrmMain::actDispTreeExecute() {
    if (!ui.dckTree) buildTreePane();
    showPane(ui.dckTree, ui.actDispTree->isChecked(), prefs.TreeSize);
    showNodeMarks();
}

void TfrmMain::recordChanged() {
    showNodeMarks();
    prcCommentShow();
    if (ui.kifuWindow) ui.kifuWindow->followRecord();
    applyCommandStates();
}

void TfrmMain::showNodeMarks() {
    const RecordTree::NodeId n = Record.node();
    ui.pnlMain->setMarkup(markupOf(Tree(), n, Game.BoardSize));
    ui.pnlMain->setVariationMarks(ui.actDispVariations->isChecked() && ReplayMode && !counting()
                                      ? variationMarksOf(Tree(), n, Game.BoardSize)
                                      : std::vector<VariationMark>{});
    if (ui.treePane && !ui.dckTree->isHidden()) {
        // Edits may number the nodes anew: the pane is laid out from the tree each time.
        ui.treePane->setTree(&Tree(), 0);
        ui.treePane->setCurrent(n);
    }
}

}  // namespace tavrin
