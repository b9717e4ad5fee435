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
    flip(actDispStatusBar);
    stbMain->setVisible(actDispStatusBar->isChecked());
}

void TfrmMain::actDispToolBarExecute() {
    flip(actDispToolBar);
    tlbMain->setVisible(actDispToolBar->isChecked());
}

void TfrmMain::actDispZahyouExecute() {
    flip(actDispZahyou);
    actPnlMainReSizeExecute();
}

void TfrmMain::actDispTejunExecute() {
    // The mark has already been flipped on executing.
    pnlMain->setTejun(actDispTejun->isChecked());
}

void TfrmMain::actDispGbnHantenExecute() {
    // The mark has already been flipped on executing.
    actPnlMainReSizeExecute();
}

void TfrmMain::actDispDataPanelExecute() {
    flip(actDispDataPanel);
    const bool show = actDispDataPanel->isChecked();
    if (toolBarArea(tlbMain) == Qt::RightToolBarArea && !tlbMain->isHidden()) {
        // Keeps the toolbar outermost at the right edge when the side panel reappears.
        tlbMain->hide();
        pnlSubBase->setVisible(show);
        tlbMain->show();
    } else {
        pnlSubBase->setVisible(show);
    }
    if (!pnlSubBase->isHidden()) {
        lsvKifu->setFocus();
        setKifuFocusRow(Game.CurrentMove - 1);
    }
}

void TfrmMain::actDispPanelKifuBtnExecute() {
    flip(actDispPanelKifuBtn);
    pnlKifuBtn->setVisible(actDispPanelKifuBtn->isChecked());
    // The buttons live in the side panel: bring the whole panel back when it is hidden.
    if (!actDispDataPanel->isChecked()) actDispDataPanelExecute();
}

void TfrmMain::dockToolBar(Qt::ToolBarArea area) {
    const bool vertical = area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea;
    addToolBar(area, tlbMain);
    if (vertical) {
        // One button wide: the buttons form a single column.
        tlbMain->setFixedWidth(28);
        tlbMain->setContentsMargins(0, 0, 0, 0);
    } else {
        tlbMain->setMinimumWidth(0);
        tlbMain->setMaximumWidth(QWIDGETSIZE_MAX);
        tlbMain->setContentsMargins(4, 0, 0, 0);  // indent 4
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
void TfrmMain::FormMouseWheelDown() {
    // With the side panel shown the wheel belongs to the move list.
    if (pnlSubBase->isHidden() && actKifuNext->isEnabled()) actKifuNext->trigger();
}

void TfrmMain::FormMouseWheelUp() {
    if (pnlSubBase->isHidden() && actKifuBack->isEnabled()) actKifuBack->trigger();
}

void TfrmMain::pnlMainResize() { tmrDelay->start(); }

void TfrmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // A window held smaller than its minimum (a window manager that ignores it, a tiling one)
    // takes the room from the board, which scales, rather than laying the side panel over it.
    const QSize full = minimumSizeHint() + (BoardMinimum - pnlMain->minimumSize());
    const QSize lacking = (full - size()).expandedTo(QSize(0, 0));
    const QSize board = (BoardMinimum - lacking).expandedTo(QSize(64, 64));
    if (board != pnlMain->minimumSize()) pnlMain->setMinimumSize(board);
}

void TfrmMain::tmrDelayTimer() {
    tmrDelay->stop();
    if (!pnlMain->laidOutForSize()) {
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
    pnlMain->setZahyou(actDispZahyou->isChecked());
    pnlMain->setHanten(actDispGbnHanten->isChecked());
    pnlMain->relayout();
    keepWindowSize();
    lsvKifu->viewport()->update();
    update();
}

void TfrmMain::keepWindowSize() {
    // A maximized window keeps its last normal size for the settings file.
    SavedState = windowStateValue();
    if (SavedState == 0) {
        SavedWidth = width();
        SavedHeight = height();
    }
}

}  // namespace tavrin
