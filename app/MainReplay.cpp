// Replay commands and automatic replay.

#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"

namespace tavrin {

void TfrmMain::actKifuAutoExecute() {
    // TODO: start/stop automatic replay: check mark, button down, icon 10/9, menu caption
    // "自動再生停止(&A)"/"自動再生開始(&A)", hints, tmrKifuAuto.
}

void TfrmMain::actKifuFirstExecute() {
    // TODO: prcKifBack(1), both clocks "00:00:00", prcKifActCtrl.
}

void TfrmMain::actKifuLastExecute() {
    // TODO: prcKifNext(MoveCount + 1), clocks from the totals, prcKifActCtrl.
}

void TfrmMain::actKifuBackExecute() {
    // TODO: one move back.
}

void TfrmMain::actKifuNextExecute() {
    // TODO: one move forward; the replay timer's step keeps the replay running (Tag 1).
}

void TfrmMain::actKifuBack10Execute() {
    // TODO: ten moves back.
}

void TfrmMain::actKifuNext10Execute() {
    // TODO: ten moves forward.
}

void TfrmMain::actKifuSpedd05Execute() {
    // TODO: interval 500 ms (restart the timer while replay runs).
}

void TfrmMain::actKifuSpedd10Execute() {
    // TODO: interval 1000 ms.
}

void TfrmMain::actKifuSpedd20Execute() {
    // TODO: interval 2000 ms.
}

void TfrmMain::actKifuSpedd30Execute() {
    // TODO: interval 3000 ms.
}

void TfrmMain::actKifuSpedd40Execute() {
    // TODO: interval 4000 ms.
}

void TfrmMain::actKifuSpedd50Execute() {
    // TODO: interval 5000 ms.
}

void TfrmMain::tmrKifuAutoTimer() {
    // TODO: Tag 1, actKifuNextExecute, stop at the end of the record.
}

void TfrmMain::prcKifActCtrl() {
    // TODO: enabled states of the replay commands, current row, prcInfoDsp, repaint.
}

void TfrmMain::lsvKifuSelectItem(QTreeWidgetItem* item, bool selected) {
    // TODO: clear the selection; in replay jump to the row's position once.
    Q_UNUSED(item);
    Q_UNUSED(selected);
}

}  // namespace tavrin
