// Replay commands and automatic replay.

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "app/TfrmMain.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool TfrmMain::kifuAutoRunning() const { return ui.tmrKifuAuto->isActive(); }

void TfrmMain::stopKifuAuto() {
    if (kifuAutoRunning()) actKifuAutoExecute();
}

void TfrmMain::kifuStepTo(int target) {
    // The stepping leaves the row it starts from without the current-position marker.
    setKifuRowMarker(Game.CurrentMove - 1, false);
    if (target != Game.CurrentMove) Record.goToMove(std::clamp(target, 1, Game.MoveCount + 1) - 1, *ui.pnlMain);
}

void TfrmMain::showTimeTotals() {
    ui.lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    ui.lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
}

void TfrmMain::actKifuAutoExecute() {
    // The running state is the timer's: a triggered checkable action has already flipped
    // its own mark by the time this runs, the button's click has not.
    const bool start = !kifuAutoRunning();
    if (!ui.actKifuAuto->isCheckable()) {
        ui.actKifuAuto->setCheckable(true);
        ui.mnuKifuAuto->setCheckable(true);
    }
    ui.actKifuAuto->setChecked(start);
    ui.mnuKifuAuto->setChecked(start);
    ui.btnKifuAuto->setChecked(start);
    ui.actKifuAuto->setIcon(ui.imgListIcon.at(start ? 10 : 9));
    ui.mnuKifuAuto->setText(start ? QStringLiteral("自動再生停止(&A)") : QStringLiteral("自動再生開始(&A)"));
    const QString hint = start ? QStringLiteral("自動再生停止") : QStringLiteral("自動再生開始");
    ui.actKifuAuto->setStatusTip(hint);
    ui.actKifuAuto->setToolTip(hint);
    ui.btnKifuAuto->setStatusTip(hint);
    ui.btnKifuAuto->setToolTip(hint);
    // The first step comes one interval after the start.
    if (start)
        ui.tmrKifuAuto->start();
    else
        ui.tmrKifuAuto->stop();
}

void TfrmMain::actKifuFirstExecute() {
    stopKifuAuto();
    kifuStepTo(1);
    ui.lblBlackTime->setText(qs(ClockZeroText));
    ui.lblWhiteTime->setText(qs(ClockZeroText));
    prcKifActCtrl();
}

void TfrmMain::actKifuLastExecute() {
    stopKifuAuto();
    kifuStepTo(Game.MoveCount + 1);
    showTimeTotals();
    prcKifActCtrl();
}

void TfrmMain::actKifuBackExecute() {
    stopKifuAuto();
    if (Game.CurrentMove <= 1) return;
    kifuStepTo(Game.CurrentMove - 1);
    // SideToMove is now the side whose move was undone.
    if (Game.SideToMove == Black)
        ui.lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    else
        ui.lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    prcKifActCtrl();
}

void TfrmMain::actKifuNextExecute() {
    if (tagOf(ui.actKifuAuto) != 0)
        setTag(ui.actKifuAuto, 0);  // the replay timer's own step keeps the replay running
    else
        stopKifuAuto();
    if (Game.CurrentMove > Game.MoveCount) return;
    kifuStepTo(Game.CurrentMove + 1);
    const int entry = Game.HandicapCount + Game.CurrentMove - 1;
    if (entry >= 1 && entry <= RecordCapacity) {
        if (Game.MoveColor[static_cast<std::size_t>(entry)] == Black)
            ui.lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
        else
            ui.lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    }
    prcKifActCtrl();
}

void TfrmMain::actKifuBack10Execute() {
    stopKifuAuto();
    kifuStepTo(std::max(1, Game.CurrentMove - 10));
    showTimeTotals();
    prcKifActCtrl();
}

void TfrmMain::actKifuNext10Execute() {
    stopKifuAuto();
    kifuStepTo(std::min(Game.MoveCount + 1, Game.CurrentMove + 10));
    showTimeTotals();
    prcKifActCtrl();
}

void TfrmMain::setKifuInterval(int ms) {
    ui.tmrKifuAuto->setInterval(ms);
    // While replaying, the next step comes one new interval after the change.
    if (kifuAutoRunning()) ui.tmrKifuAuto->start();
}

void TfrmMain::actKifuSpedd05Execute() { setKifuInterval(500); }
void TfrmMain::actKifuSpedd10Execute() { setKifuInterval(1000); }
void TfrmMain::actKifuSpedd20Execute() { setKifuInterval(2000); }
void TfrmMain::actKifuSpedd30Execute() { setKifuInterval(3000); }
void TfrmMain::actKifuSpedd40Execute() { setKifuInterval(4000); }
void TfrmMain::actKifuSpedd50Execute() { setKifuInterval(5000); }

void TfrmMain::tmrKifuAutoTimer() {
    setTag(ui.actKifuAuto, 1);
    actKifuNextExecute();
    if (kifuAutoRunning() && Game.CurrentMove > Game.MoveCount) actKifuAutoExecute();
}

void TfrmMain::prcKifActCtrl() {
    applyCommandStates();
    setKifuRowMarker(Game.CurrentMove - 1, true);
    setKifuFocusRow(Game.CurrentMove - 1);
    prcInfoDsp();
    ui.lsvKifu->viewport()->update();
    ui.pnlMain->repaintBoard();
}

void TfrmMain::lsvKifuSelectItem(QTreeWidgetItem* item, bool selected) {
    Q_UNUSED(selected);
    if (!item) return;
    // Rows never stay highlighted. Clearing reports a change with nothing selected, which
    // does not come back here with a row.
    ui.lsvKifu->clearSelection();
    if (!ReplayMode) {
        setKifuFocusRow(Game.CurrentMove - 1);
        return;
    }
    stopKifuAuto();
    const int r = ui.lsvKifu->indexOfTopLevelItem(item);
    if (r < 0 || r + 1 == Game.CurrentMove) return;
    kifuStepTo(r + 1);
    showTimeTotals();
    prcKifActCtrl();
}

}  // namespace tavrin
