// The computer opponent's commands in the window (打ち直し, ヒント, 石替り), the settings
// dialog, and what the computer's turn asks of the window.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "engine/Gtp.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"
#include "view/Dialogs.h"
#include "view/UnitConfig.h"

namespace tavrin {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The names a new game gives the sides.
const std::string DefaultBlackName = "黒番対局者";
const std::string DefaultWhiteName = "白番対局者";

}  // namespace

bool TfrmMain::engineFound() {
    ensureEngineLookedUp();
    return EngineFound;
}

bool TfrmMain::engineTakesSize() const {
    return Game.BoardSize >= gtp::MinBoardSize && Game.BoardSize <= gtp::MaxBoardSize;
}

void TfrmMain::playComputerMove(const EngineMove& move) {
    switch (move.kind) {
        case EngineMove::Resign: actPlayGiveUpExecute(); break;
        case EngineMove::Pass: actPlayPassExecute(); break;
        case EngineMove::Point: prcHit(move.pos, Game.SideToMove); break;
    }
}

void TfrmMain::showHint(int pos, const QString& text) {
    ui.pnlMain->setHint(pos);
    setStatusText(0, text);
}

void TfrmMain::showEstimate(int leadTenths) {
    // Only while the judgement is still shown.
    if (ui.pnlMain->hasMarks()) setStatusText(0, keiseiText(leadTenths, QStringLiteral("Rokiru の判断")));
}

void TfrmMain::showText(const QString& text) { setStatusText(0, text); }

void TfrmMain::showProgress(const QString& text) {
    // A judgement on the board keeps its text while Rokiru thinks.
    if (!ui.pnlMain->hasMarks()) setStatusText(0, text);
}

void TfrmMain::thinkingChanged() {
    // A move keeps the board waiting; a hint or an estimate leaves it open to the person's click.
    ui.pnlMain->paintBox()->setCursor(ui.engineTurn->choosingMove() ? Qt::BusyCursor
                                      : ReplayMode                  ? Qt::ArrowCursor
                                                                    : Qt::PointingHandCursor);
    applyCommandStates();
}

void TfrmMain::stopGame() { ui.actPlayStop->trigger(); }

void TfrmMain::continueBetweenPeople() {
    Record.changeInfo([](GameState& g) { g.BlackPlayerKind = g.WhitePlayerKind = true; });
}

void TfrmMain::lookUpEngine() {
    EngineLookUpPending = false;
    EngineFound = Options.engineLookup && !findEngineProgram(prefs.Engine).isEmpty();
    applyCommandStates();
}

void TfrmMain::ensureEngineLookedUp() {
    if (EngineLookUpPending) lookUpEngine();
}

void TfrmMain::actPlayHintExecute() {
    if (!ui.actPlayHint->isEnabled()) return;
    // A judgement's marks go with this action like with any other.
    if (!counting()) ui.pnlMain->clearMarks();
    ui.engineTurn->askHint();
}

void TfrmMain::actPlayUtinaosiExecute() {
    if (!ui.actPlayUtinaosi->isEnabled()) return;
    // The computer's last move goes, and it is asked for another one: none of those rejected
    // at this position before.
    ui.engineTurn->rejectLastMove();
    ui.tmrTime->stop();
    setKifuRowMarker(Game.CurrentMove - 1, false);
    Record.back(*ui.pnlMain);
    Record.keepMoves(Game.CurrentMove - 1, *ui.pnlMain);
    Doc.Modified = true;
    Record.restartMoveClock();
    removeKifuRowsFrom(Game.CurrentMove);
    setKifuRowMarker(Game.CurrentMove - 1, true);
    setKifuFocusRow(Game.CurrentMove - 1);
    showTimeTotals();
    prcKifUpDate();
    prcInfoDsp();
    ui.pnlMain->repaintBoard();
    ui.tmrTime->start();
    ui.engineTurn->askRedo();
}

void TfrmMain::actPlayStnChgExecute() {
    if (!ui.actPlayStnChg->isEnabled()) return;
    // The person and Rokiru change colours from this position; the names go with them, a
    // colour's default name becoming that of the new colour.
    Record.changeInfo([](GameState& g) {
        std::swap(g.BlackPlayerKind, g.WhitePlayerKind);
        std::swap(g.BlackPlayer, g.WhitePlayer);
        if (g.BlackPlayer == DefaultWhiteName) g.BlackPlayer = DefaultBlackName;
        if (g.WhitePlayer == DefaultBlackName) g.WhitePlayer = DefaultWhiteName;
    });
    // The time the person let pass before the exchange is nobody's move.
    Record.restartMoveClock();
    setStatusText(4, qs(ClockZeroText));
    Doc.Modified = true;
    prcInfoSameSet();
    prcKifUpDate();
    prcInfoDsp();
}

void TfrmMain::actDispConfigExecute() {
    const QStringList folders = prefs.LibraryFolders;
    const QString recordFolder =
        Doc.FileName.empty() ? QString() : QFileInfo(QString::fromStdString(Doc.FileName)).absolutePath();
    const EngineSettings was = prefs.Engine;
    if (!runConfigDialog(prompts, this, prefs.Engine, prefs.LibraryFolders, recordFolder)) return;
    if (prefs.Engine.commandLine != was.commandLine ||
        !std::equal(std::begin(prefs.Engine.levelArguments), std::end(prefs.Engine.levelArguments),
                    std::begin(was.levelArguments))) {
        // The next question goes to the engine now named, never to the one running.
        ui.engineTurn->engineChanged();
    }
    lookUpEngine();
    if (prefs.LibraryFolders != folders) {
        // New folders: the index is brought up to them (records of folders gone are dropped).
        stopLibraryIndexing();
        startLibraryIndexing();
    }
}

}  // namespace tavrin
