// Play commands, the board mouse and the move clock.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "formats/SgfReader.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"
#include "view/Dialogs.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void TfrmMain::actPlayNewExecute() {
    // A modified game is not discarded without the question the window asks at closing.
    if (!FormCloseQuery()) return;
    const bool clockWasRunning = tmrTime->isActive();
    tmrTime->stop();
    ensureEngineLookedUp();
    if (!runGameNewDialog(prompts, this, Game, EngineFound)) {
        if (clockWasRunning) tmrTime->start();
        return;
    }
    Game.CurrentFileName.clear();
    prcNewSet();
}

void TfrmMain::actPlayConfigExecute() {
    const bool clockWasRunning = tmrTime->isActive();
    tmrTime->stop();
    ensureEngineLookedUp();
    const bool ok = runGameInfoDialog(prompts, this, Game, EngineFound);
    if (clockWasRunning) tmrTime->start();
    if (!ok) return;
    prcInfoSameSet();
    Game.Modified = true;
    prcKifUpDate();
    prcInfoDsp();
    // The kinds may have changed: the computer may now have the move.
    QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
}

void TfrmMain::actPlayPassExecute() {
    const int before = Game.CurrentMove;
    prcHit(PassPos, Game.SideToMove);
    // A pass refused for a full record is no second pass.
    if (Game.CurrentMove != before && passEndsGame(Game)) {
        prcEndOfGame();
        // The two passes that end a game lead to its counting.
        startCounting();
    }
}

void TfrmMain::actPlayMattaExecute() {
    const int rowsBefore = kifuRowCount();
    const int oldRow = Game.CurrentMove - 1;
    const int taken = prcMattaCore(Game, *pnlMain);
    if (taken == 0) return;
    tmrTime->stop();
    setKifuRowMarker(oldRow, false);
    removeKifuRowsFrom(rowsBefore - taken);
    prcKifUpDate();
    lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    setStatusText(4, qs(ClockZeroText));
    tmrTime->start();
    // Like every other change of position, the take-back shows where the game now stands.
    setKifuRowMarker(Game.CurrentMove - 1, true);
    setKifuFocusRow(Game.CurrentMove - 1);
    prcInfoDsp();
    pnlMain->repaintBoard();
    QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
}

void TfrmMain::actPlayGiveUpExecute() {
    tmrTime->stop();
    resignCore(Game);
    lblGameComment->setText(qs(fncReToComment(Game.GameComment)));
    prcEndOfGame();
    Game.Modified = true;
    prcKifUpDate();
}

void TfrmMain::pbxGbnMouseDown(Qt::MouseButton button, int, int) {
    Game.MouseArmed = button == Qt::LeftButton;
}

void TfrmMain::pbxGbnMouseUp(Qt::MouseButton button, int x, int y) {
    if (Counting) {
        countingClick(button, boardPosAt(x, y));
        return;
    }
    if (!Game.ReplayMode && thinking != Thinking::None) {
        // The board waits for Rokiru's move; a hint or an estimate in the making gives way.
        if (thinking == Thinking::Move || thinking == Thinking::Redo) return;
        stopThinking();
    }
    if (Game.ReplayMode) {
        // The board steps through the record wherever it is clicked.
        if (button == Qt::LeftButton)
            actKifuNextExecute();
        else if (button == Qt::RightButton)
            actKifuBackExecute();
        else if (Game.CurrentMove < 2)
            actKifuLastExecute();
        else
            actKifuFirstExecute();
        return;
    }
    // The right button opens pumGoban while playing.
    if (button == Qt::RightButton) return;
    const int pos = boardPosAt(x, y);
    if (pos == 0 || !Game.MouseArmed) return;
    Game.MouseArmed = false;
    prcHit(pos, Game.SideToMove);
}

int TfrmMain::boardPosAt(int x, int y) const {
    // The paint box is square: both coordinates are held against its width.
    const int width = pnlMain->paintBox()->width();
    const int cell = pnlMain->geometryInfo().CellSize;
    if (x < 0 || y < 0 || x >= width || y >= width || cell <= 0) return 0;
    const int pos = (x / cell + 1) * Game.BoardStride + y / cell + 1;
    return actDispGbnHanten->isChecked() ? Game.BoardLast - pos : pos;
}

void TfrmMain::prcHit(int pos, int colour) {
    const int mover = Game.SideToMove;
    const int k = Game.CurrentMove;
    const int entry = Game.HandicapCount + k;
    // The clock is stopped only once the move is accepted: a refused move leaves it running.
    const HitResult r = prcHitCore(Game, pos, colour, *pnlMain);
    if (r != HitResult::Legal) {
        const QString reason = QString::fromUtf8(hitRefusalText(r));
        if (!reason.isEmpty()) setStatusText(0, reason);
        return;
    }
    tmrTime->stop();
    const QString moveTime = qs(fncSecToHms(Game.MoveTime[static_cast<std::size_t>(entry)]));
    if (mover == Black)
        lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    else
        lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    setKifuRowMarker(kifuRowCount() - 1, false);
    addKifuRow(k, kifuPointText(pos), colour, moveTime);
    setKifuRowMarker(kifuRowCount() - 1, true);
    setStatusText(4, qs(ClockZeroText));
    tmrTime->start();
    prcKifUpDate();
    setKifuFocusRow(Game.CurrentMove - 1);
    prcInfoDsp();
    pnlMain->repaintBoard();
    QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
}

void TfrmMain::prcEndOfGame() {
    prcEndOfGameCore(Game);
    actPlayStopExecute();
    setStatusText(4, qs(ClockZeroText));
    prcInfoDsp();
}

void TfrmMain::tmrTimeTimer() {
    ++Game.MoveSeconds;
    setStatusText(4, QString::fromStdString(fncSecToHms(Game.MoveSeconds)));
}

void TfrmMain::actCanselExecute() {
    // Choosing it only closes the popup menu.
}

void TfrmMain::actPlayStopExecute() {
    // 対局中断 stops Rokiru's thinking at once.
    stopThinking();
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
    // Set both ways: a record without moves must not keep what the record before it left.
    const bool back = Game.CurrentMove > 1;
    actKifuFirst->setEnabled(back);
    actKifuBack->setEnabled(back);
    actKifuBack10->setEnabled(back);
    actKifuAuto->setEnabled(false);
    btnKifuAuto->setEnabled(false);
    actKifuLast->setEnabled(false);
    actKifuNext->setEnabled(false);
    actKifuNext10->setEnabled(false);
    prcEngineActCtrl();
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
    QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
}

}  // namespace tavrin
