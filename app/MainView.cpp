// View options, the toolbar's four positions, the mouse wheel and the deferred re-layout.

#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWheelEvent>

#include "app/TfrmMain.h"
#include "view/BoardView.h"

namespace tavrin {

namespace {
void flip(QAction* a) { a->setChecked(!a->isChecked()); }
}  // namespace

void TfrmMain::actDispStatusBarExecute() {
    flip(ui.actDispStatusBar);
    ui.stbMain->setVisible(ui.actDispStatusBar->isChecked());
}

void TfrmMain::actDispToolBarExecute() {
    flip(ui.actDispToolBar);
    ui.tlbMain->setVisible(ui.actDispToolBar->isChecked());
}

void TfrmMain::actDispZahyouExecute() {
    flip(ui.actDispZahyou);
    actPnlMainReSizeExecute();
}

void TfrmMain::actDispRowsFromBottomExecute() {
    // Every coordinate name follows: the board's numbers, the move list, hints and messages.
    CoordNameTable::fromBottom() = ui.actDispRowsFromBottom->isChecked();
    actPnlMainReSizeExecute();
    ui.lsvKifu->viewport()->update();
    prcInfoDsp();
}

void TfrmMain::actDispTejunExecute() {
    // The mark has already been flipped on executing.
    ui.pnlMain->setTejun(ui.actDispTejun->isChecked());
}

void TfrmMain::actDispGbnHantenExecute() {
    // The mark has already been flipped on executing.
    actPnlMainReSizeExecute();
}

void TfrmMain::actDispDataPanelExecute() {
    flip(ui.actDispDataPanel);
    const bool show = ui.actDispDataPanel->isChecked();
    if (toolBarArea(ui.tlbMain) == Qt::RightToolBarArea && !ui.tlbMain->isHidden()) {
        // Keeps the toolbar outermost at the right edge when the side panel reappears.
        ui.tlbMain->hide();
        ui.pnlSubBase->setVisible(show);
        ui.tlbMain->show();
    } else {
        ui.pnlSubBase->setVisible(show);
    }
    if (!ui.pnlSubBase->isHidden()) {
        ui.lsvKifu->setFocus();
        setKifuFocusRow(Game.CurrentMove - 1);
    }
}

void TfrmMain::actDispPanelKifuBtnExecute() {
    flip(ui.actDispPanelKifuBtn);
    ui.pnlKifuBtn->setVisible(ui.actDispPanelKifuBtn->isChecked());
    // The buttons live in the side panel: bring the whole panel back when it is hidden.
    if (!ui.actDispDataPanel->isChecked()) actDispDataPanelExecute();
}

void TfrmMain::dockToolBar(Qt::ToolBarArea area) {
    const bool vertical = area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea;
    addToolBar(area, ui.tlbMain);
    if (vertical) {
        // One button wide: the buttons form a single column.
        ui.tlbMain->setFixedWidth(28);
        ui.tlbMain->setContentsMargins(0, 0, 0, 0);
    } else {
        ui.tlbMain->setMinimumWidth(0);
        ui.tlbMain->setMaximumWidth(QWIDGETSIZE_MAX);
        ui.tlbMain->setContentsMargins(4, 0, 0, 0);  // indent 4
    }
}

void TfrmMain::actDispToolBarTopExecute() { dockToolBar(Qt::TopToolBarArea); }
void TfrmMain::actDispToolBarBottomExecute() { dockToolBar(Qt::BottomToolBarArea); }
void TfrmMain::actDispToolBarLeftExecute() { dockToolBar(Qt::LeftToolBarArea); }
void TfrmMain::actDispToolBarRightExecute() { dockToolBar(Qt::RightToolBarArea); }

void TfrmMain::wheelEvent(QWheelEvent* e) {
    const int dy = e->angleDelta().y();
    if (dy < 0)
        FormMouseWheelDown();
    else if (dy > 0)
        FormMouseWheelUp();
    e->ignore();
}

// The actions are run only while enabled, so triggering them runs their handlers.
// Over the board and over the move list (which gives its wheel to the window) the wheel steps.
void TfrmMain::FormMouseWheelDown() {
    if (ui.actKifuNext->isEnabled()) ui.actKifuNext->trigger();
}

void TfrmMain::FormMouseWheelUp() {
    if (ui.actKifuBack->isEnabled()) ui.actKifuBack->trigger();
}

void TfrmMain::pnlMainResize() { ui.tmrDelay->start(); }

void TfrmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // A window held smaller than its minimum (a window manager that ignores it, a tiling one)
    // takes the room from the board, which scales, rather than laying the side panel over it.
    const QSize full = minimumSizeHint() + (BoardMinimum - ui.pnlMain->minimumSize());
    const QSize lacking = (full - size()).expandedTo(QSize(0, 0));
    const QSize board = (BoardMinimum - lacking).expandedTo(QSize(64, 64));
    if (board != ui.pnlMain->minimumSize()) ui.pnlMain->setMinimumSize(board);
}

void TfrmMain::tmrDelayTimer() {
    ui.tmrDelay->stop();
    if (!ui.pnlMain->laidOutForSize()) {
        actPnlMainReSizeExecute();
        return;
    }
    // The board keeps its size (the window first shown, a move of the side panel's edge):
    // its picture stays, the window's size is still kept for the settings.
    keepWindowSize();
}

int TfrmMain::windowStateValue() const {
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return 2;
    return 0;
}

void TfrmMain::actPnlMainReSizeExecute() {
    ui.pnlMain->setZahyou(ui.actDispZahyou->isChecked());
    ui.pnlMain->setHanten(ui.actDispGbnHanten->isChecked());
    ui.pnlMain->relayout();
    keepWindowSize();
    ui.lsvKifu->viewport()->update();
    update();
}

void TfrmMain::keepWindowSize() {
    // A maximized window keeps its last normal size for the settings file.
    prefs.SavedState = windowStateValue();
    if (prefs.SavedState == 0) {
        prefs.SavedWidth = width();
        prefs.SavedHeight = height();
    }
}

}  // namespace tavrin
