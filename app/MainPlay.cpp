// Play commands, the board mouse and the move clock.

#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/TfrmMain.h"
#include "game/Engine.h"
#include "view/BoardView.h"

namespace tavrin {

void TfrmMain::actPlayNewExecute() {
    // TODO: new-game dialog, then CurrentFileName := "" and prcNewSet on OK.
}

void TfrmMain::actPlayConfigExecute() {
    // TODO: game-information dialog; on OK prcInfoSameSet, Modified, prcKifUpDate, prcInfoDsp.
}

void TfrmMain::actPlayPassExecute() {
    // TODO: prcHit(999, SideToMove); two passes in a row from move 3 on end the game.
}

void TfrmMain::actPlayMattaExecute() {
    // TODO: take back one move (two when one side is the computer), remove list rows.
}

void TfrmMain::actPlayGiveUpExecute() {
    // TODO: resignation of SideToMove, result comment, prcEndOfGame, Modified.
}

void TfrmMain::pbxGbnMouseDown(Qt::MouseButton button, int x, int y) {
    // TODO: arm the board on the left button.
    Q_UNUSED(button);
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void TfrmMain::pbxGbnMouseUp(Qt::MouseButton button, int x, int y) {
    // TODO: in replay step through the record; while playing turn the pixel into a point
    // and prcHit.
    Q_UNUSED(button);
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void TfrmMain::prcHit(int pos, int colour) {
    // TODO: fncHitCheck, record the move, move-list row, clock, side to move, refresh.
    Q_UNUSED(pos);
    Q_UNUSED(colour);
}

void TfrmMain::prcEndOfGame() {
    // TODO: GameOver, ReplayMode, EndedByPasses, actPlayStopExecute, clock reset, prcInfoDsp.
}

void TfrmMain::tmrTimeTimer() {
    ++Game.MoveSeconds;
    setStatusText(4, QString::fromStdString(fncSecToHms(Game.MoveSeconds)));
}

void TfrmMain::actCanselExecute() {
    // Choosing it only closes the popup menu.
}

void TfrmMain::actPlayStopExecute() {
    tmrTime->stop();
    Game.ReplayMode = true;
    pnlMain->paintBox()->setCursor(Qt::ArrowCursor);
    // In replay the right button on the board steps back instead of opening pumGoban.
    pumGobanAutoPopup = false;
    mnuKifuP->menuAction()->setEnabled(true);
    actPlayPass->setEnabled(false);
    actPlayMatta->setEnabled(false);
    actPlayGiveUp->setEnabled(false);
    actPlayStop->setEnabled(false);
    actPlayResume->setEnabled(!Game.EndedByPasses);
    if (Game.CurrentMove > 1) {
        actKifuFirst->setEnabled(true);
        actKifuBack->setEnabled(true);
        actKifuBack10->setEnabled(true);
    }
    actKifuAuto->setEnabled(false);
    btnKifuAuto->setEnabled(false);
    actKifuLast->setEnabled(false);
    actKifuNext->setEnabled(false);
    actKifuNext10->setEnabled(false);
}

void TfrmMain::actPlayResumeExecute() {
    if (Game.MoveCount >= Game.CurrentMove) {
        const QString text = QString::number(Game.CurrentMove) +
                             QStringLiteral("手目以降の棋譜を削除します。\n本当に再開しますか？");
        if (prompts.confirm(this, text, false) != Answer::Yes) return;
    }
    // Every row after the current one, from the last upwards.
    removeKifuRowsFrom(Game.CurrentMove);
    if (Game.CurrentMove > 1) setKifuRowMarker(kifuRowCount() - 1, true);
    // The last shown stone gets the marker; MoveCount := CurrentMove - 1; flags cleared.
    resumeCore(Game, *pnlMain);
    mnuKifuP->menuAction()->setEnabled(false);
    actPlayPass->setEnabled(true);
    actPlayGiveUp->setEnabled(true);
    actPlayStop->setEnabled(true);
    actPlayResume->setEnabled(false);
    for (QAction* a : {actKifuAuto, actKifuFirst, actKifuLast, actKifuBack, actKifuNext,
                       actKifuBack10, actKifuNext10})
        a->setEnabled(false);
    btnKifuAuto->setEnabled(false);
    // The clock does not run before the first move of a game.
    if (!tmrTime->isActive() && Game.CurrentMove > 1) tmrTime->start();
    pnlMain->paintBox()->setCursor(Qt::PointingHandCursor);
    pumGobanAutoPopup = true;
    pnlMain->repaintBoard();
    prcKifUpDate();
    prcInfoDsp();
}

}  // namespace tavrin
