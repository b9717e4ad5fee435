// Play commands, the board mouse and the move clock.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <tuple>

#include "app/CountingPanel.h"
#include "app/TfrmMain.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "view/BoardGeometry.h"
#include "view/BoardView.h"
#include "view/Dialogs.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void TfrmMain::actPlayNewExecute() {
    // A modified game is not discarded without the question the window asks at closing.
    if (!FormCloseQuery()) return;
    const bool clockWasRunning = ui.tmrTime->isActive();
    ui.tmrTime->stop();
    ensureEngineLookedUp();
    // Without an engine to play a side, the new game is one of two people whatever the last
    // one was (a cancelled dialog leaves the kinds as they were).
    GameState offered = Game;
    if (!EngineFound) offered.BlackPlayerKind = offered.WhitePlayerKind = true;
    const std::optional<GameInfo> info = runGameNewDialog(prompts, this, offered, EngineFound);
    if (!info) {
        if (clockWasRunning) ui.tmrTime->start();
        return;
    }
    GameState next = Game;
    setInfo(next, *info);
    Doc.FileName.clear();
    prcNewSet(next);
}

void TfrmMain::actPlayConfigExecute() {
    const bool clockWasRunning = ui.tmrTime->isActive();
    ui.tmrTime->stop();
    ensureEngineLookedUp();
    const std::optional<GameInfo> info = runGameInfoDialog(prompts, this, Game, EngineFound);
    if (clockWasRunning) ui.tmrTime->start();
    if (!info) return;
    // OK without a change changes nothing (a new level is no change of the record).
    GameInfo sameLevel = *info;
    sameLevel.Level = Game.Level;
    const bool changed = !(sameLevel == infoOf(Game));
    // Through the record: the change is a step of its history.
    Record.changeInfo([&](GameState& g) { setInfo(g, *info); });
    if (!changed) return;
    prcInfoSameSet();
    Doc.Modified = true;
    prcKifUpDate();
    // The kinds may have changed: the computer may now have the move (prcInfoDsp asks it).
    prcInfoDsp();
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
    if (StudyMode* s = study()) {
        s->takeBack();
        return;
    }
    const int rowsBefore = kifuRowCount();
    const int oldRow = Game.CurrentMove - 1;
    const int taken = Record.takeBack(*ui.pnlMain);
    if (taken == 0) return;
    ui.tmrTime->stop();
    setKifuRowMarker(oldRow, false);
    removeKifuRowsFrom(rowsBefore - taken);
    prcKifUpDate();
    ui.lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    ui.lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    setStatusText(4, qs(ClockZeroText));
    ui.tmrTime->start();
    // Like every other change of position, the take-back shows where the game now stands.
    setKifuRowMarker(Game.CurrentMove - 1, true);
    setKifuFocusRow(Game.CurrentMove - 1);
    prcInfoDsp();
    ui.pnlMain->repaintBoard();
}

void TfrmMain::actPlayGiveUpExecute() {
    ui.tmrTime->stop();
    Record.resign();
    ui.lblGameComment->setText(qs(fncReToComment(Game.GameComment)));
    prcEndOfGame();
    Doc.Modified = true;
    prcKifUpDate();
}

void TfrmMain::pbxGbnMouseDown(Qt::MouseButton button, int x, int y) {
    MouseArmed = button == Qt::LeftButton;
    mode().press(button,
                 pointAtPixel(ui.pnlMain->geometryInfo(), Game.BoardSize, ui.actDispGbnHanten->isChecked(), x, y));
}

void TfrmMain::pbxGbnMouseUp(Qt::MouseButton button, int x, int y) {
    // What a click does is the mode's.
    mode().click(button,
                 pointAtPixel(ui.pnlMain->geometryInfo(), Game.BoardSize, ui.actDispGbnHanten->isChecked(), x, y));
    applyCommandStates();
}

void TfrmMain::prcHit(int pos, int colour) {
    const int mover = Game.SideToMove;
    const int k = Game.CurrentMove;
    const int entry = Game.HandicapCount + k;
    // The clock is stopped only once the move is accepted: a refused move leaves it running.
    const HitResult r = Record.play(colour, pos, *ui.pnlMain);
    if (r != HitResult::Legal) {
        const QString reason = QString::fromUtf8(hitRefusalText(r));
        if (!reason.isEmpty()) setStatusText(0, reason);
        return;
    }
    ui.tmrTime->stop();
    const QString moveTime = qs(fncSecToHms(Game.MoveTime[static_cast<std::size_t>(entry)]));
    if (mover == Black)
        ui.lblBlackTime->setText(qs(fncSecToHms(Game.BlackTotalSeconds)));
    else
        ui.lblWhiteTime->setText(qs(fncSecToHms(Game.WhiteTotalSeconds)));
    setKifuRowMarker(kifuRowCount() - 1, false);
    addKifuRow(k, kifuPointText(pos), colour, moveTime);
    setKifuRowMarker(kifuRowCount() - 1, true);
    setStatusText(4, qs(ClockZeroText));
    ui.tmrTime->start();
    prcKifUpDate();
    setKifuFocusRow(Game.CurrentMove - 1);
    prcInfoDsp();
    ui.pnlMain->repaintBoard();
}

void TfrmMain::prcEndOfGame() {
    Record.endGame();
    actPlayStopExecute();
    setStatusText(4, qs(ClockZeroText));
    prcInfoDsp();
}

void TfrmMain::tmrTimeTimer() {
    Record.tick();
    setStatusText(4, QString::fromStdString(fncSecToHms(Game.MoveSeconds)));
}

void TfrmMain::actCanselExecute() {
    // Choosing it only closes the popup menu.
}

void TfrmMain::actPlayStopExecute() {
    // 対局中断 stops Rokiru's thinking at once.
    ui.engineTurn->stop();
    ui.tmrTime->stop();
    ReplayMode = true;
    ui.pnlMain->paintBox()->setCursor(Qt::ArrowCursor);
    // In replay the right button on the board steps back instead of opening ui.pumGoban.
    prefs.pumGobanAutoPopup = false;
    applyCommandStates();
}

void TfrmMain::actPlayResumeExecute() {
    const bool cuts = Game.MoveCount >= Game.CurrentMove;
    if (cuts) {
        // The cut takes the record's variations and comments from there on too: their number
        // is said on a line of its own.
        const RecordTree::Cut gone = Tree().cutBy(Game.CurrentMove - 1);
        QString also;
        if (gone.variations > 0 && gone.comments > 0)
            also = QStringLiteral("以降の変化 %1 個とコメント %2 個も削除されます。\n")
                       .arg(gone.variations)
                       .arg(gone.comments);
        else if (gone.variations > 0)
            also = QStringLiteral("以降の変化 %1 個も削除されます。\n").arg(gone.variations);
        else if (gone.comments > 0)
            also = QStringLiteral("以降のコメント %1 個も削除されます。\n").arg(gone.comments);
        const QString text = QString::number(Game.CurrentMove) + QStringLiteral("手目以降の棋譜を削除します。\n") +
                             also + QStringLiteral("本当に再開しますか？");
        if (prompts.confirm(this, text, false) != Answer::Yes) return;
    }
    // The result no longer holds once the moves that led to it are gone.
    if (cuts && !Game.GameComment.empty()) {
        Record.changeInfo([](GameState& g) { g.GameComment.clear(); });
        ui.lblGameComment->setText(qs(NoGameResultText));
    }
    // Every row after the current one, from the last upwards.
    removeKifuRowsFrom(Game.CurrentMove);
    if (Game.CurrentMove > 1) setKifuRowMarker(kifuRowCount() - 1, true);
    // The record loses the later moves; the last shown stone gets the marker, MoveCount :=
    // CurrentMove - 1, flags cleared.
    Record.keepMoves(Game.CurrentMove - 1, *ui.pnlMain);
    Record.resume(*ui.pnlMain);
    ReplayMode = false;
    applyCommandStates();
    // The clock does not run before the first move of a game.
    if (!ui.tmrTime->isActive() && Game.CurrentMove > 1) ui.tmrTime->start();
    ui.pnlMain->paintBox()->setCursor(Qt::PointingHandCursor);
    prefs.pumGobanAutoPopup = true;
    ui.pnlMain->repaintBoard();
    prcKifUpDate();
    prcInfoDsp();
}

}  // namespace tavrin
