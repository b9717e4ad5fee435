// The computer opponent in the window: its turn, its commands (打ち直し, ヒント, 石替り),
// the settings dialog, and what the window does when the engine fails.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"
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

Rokiru& TfrmMain::engine() {
    if (rokiru) return *rokiru;
    rokiru = new Rokiru(this);
    connect(rokiru, &Rokiru::moveChosen, this, &TfrmMain::computerMoved);
    connect(rokiru, &Rokiru::hintChosen, this, [this](EngineMove move) {
        if (!answerAwaited(Thinking::Hint)) return;
        HintPos = move.kind == EngineMove::Point ? move.pos : 0;
        pnlMain->setHint(HintPos);
        setStatusText(0, QStringLiteral("ヒント: ") + pointName(move));
    });
    connect(rokiru, &Rokiru::failed, this, &TfrmMain::engineFailed);
    connect(rokiru, &Rokiru::estimateChosen, this, [this](int leadTenths) {
        if (!answerAwaited(Thinking::Estimate)) return;
        // Only for the position it was asked about, while its judgement is still shown.
        if (positionKey() != EstimatedPosition || !pnlMain->hasMarks()) return;
        setStatusText(0, keiseiText(leadTenths, QStringLiteral("Rokiru の判断")));
    });
    connect(rokiru, &Rokiru::statusChosen, this, [this](const std::vector<int>& dead, const std::vector<int>& seki) {
        if (!Counting || !WaitingForDead) return;
        WaitingForDead = false;
        CountStatus = fncProposeStatus(Game, dead, seki);
        showCount();
    });
    connect(rokiru, &Rokiru::restarted, this, [this](const QString& message) {
        EngineNotice = message;
        setStatusText(0, message);
    });
    connect(rokiru, &Rokiru::timeLimitReached, this, [this] {
        if (thinking == Thinking::None) return;
        const QString text = QStringLiteral("Rokiru は制限時間（%1秒）を過ぎても考えています。\n"
                                            "もう少し待ちますか？\n\n「いいえ」で考えるのをやめさせ、対局を中断します。")
                                 .arg(Engine.moveSeconds);
        if (prompts.confirm(this, text, false) == Answer::Yes) {
            if (thinking != Thinking::None) rokiru->keepWaiting();
            return;
        }
        stopThinking();
        if (!Game.ReplayMode) actPlayStop->trigger();
    });
    tmrThink = new QTimer(this);
    tmrThink->setObjectName(QStringLiteral("tmrThink"));
    tmrThink->setInterval(1000);
    connect(tmrThink, &QTimer::timeout, this, [this] {
        ++ThinkSeconds;
        // A judgement on the board keeps its text while Rokiru thinks.
        if (thinking == Thinking::Estimate || pnlMain->hasMarks()) return;
        const QString counting = QStringLiteral("Rokiru 思考中… %1秒").arg(ThinkSeconds);
        setStatusText(0, EngineNotice.isEmpty() ? counting : EngineNotice + QStringLiteral("　") + counting);
    });
    return *rokiru;
}

void TfrmMain::lookUpEngine() {
    EngineLookUpPending = false;
    EngineFound = Options.engineLookup && !findEngineProgram(Engine).isEmpty();
    applyCommandStates();
}

void TfrmMain::ensureEngineLookedUp() {
    if (EngineLookUpPending) lookUpEngine();
}

QString TfrmMain::pointName(const EngineMove& m) const {
    // The board's own names ("Q 4", rows counted from the top as its labels show them).
    if (m.kind == EngineMove::Resign) return QStringLiteral("投了");
    return kifuPointText(m.kind == EngineMove::Pass ? PassPos : m.pos).simplified();
}

bool TfrmMain::computerPlays(int colour) const {
    if (colour == Black) return !Game.BlackPlayerKind;
    if (colour == White) return !Game.WhitePlayerKind;
    return false;
}

void TfrmMain::positionChanged() {
    // A hint or a judgement in the making was of the position before.
    if (thinking == Thinking::Hint || thinking == Thinking::Estimate) stopThinking();
    // The computer moves once the event loop has turned, so every command (対局中断 among
    // them) stays within reach between the moves of a game of the computer against itself.
    QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
}

std::string TfrmMain::positionKey() const {
    std::string key;
    key.reserve(Game.Board.size() + 1);
    for (const int v : Game.Board) key += static_cast<char>(v);
    key += static_cast<char>(Game.SideToMove);
    return key;
}

void TfrmMain::prcComputerTurn() {
    if (Game.ReplayMode || Game.GameOver || thinking != Thinking::None) return;
    if (!computerPlays(Game.SideToMove)) return;
    ensureEngineLookedUp();
    if (!EngineFound) {
        engineFailed(QStringLiteral("Rokiru（囲碁エンジン）が見つかりません。\n"
                                    "表示 → 環境設定 でエンジンのコマンドを指定してください。"));
        return;
    }
    beginThinking(Thinking::Move).requestMove(Game, Game.SideToMove);
}

Rokiru& TfrmMain::beginThinking(Thinking what) {
    Rokiru& r = engine();
    r.configure(Engine, Game.Level);
    thinking = what;
    RequestedAt = Game.CurrentMove;
    ThinkSeconds = 0;
    tmrThink->start();
    // An estimate comes quietly under the rough judgement already shown.
    if (what != Thinking::Estimate) setStatusText(0, QStringLiteral("Rokiru 思考中… 0秒"));
    // A move keeps the board waiting; a hint or an estimate leaves it open to the person's click.
    if (what == Thinking::Move || what == Thinking::Redo) pnlMain->paintBox()->setCursor(Qt::BusyCursor);
    applyCommandStates();
    return r;
}

bool TfrmMain::answerAwaited(Thinking kind) {
    // An answer nobody waits for any more (cancelled, or another question since) is dropped.
    if (thinking != kind) return false;
    thinking = Thinking::None;
    tmrThink->stop();
    applyCommandStates();
    return true;
}

void TfrmMain::stopThinking() {
    if (thinking == Thinking::None) return;
    thinking = Thinking::None;
    if (tmrThink) tmrThink->stop();
    if (rokiru) rokiru->cancel();
    pnlMain->paintBox()->setCursor(Game.ReplayMode ? Qt::ArrowCursor : Qt::PointingHandCursor);
    setStatusText(0, qs(HelpHintText));
    applyCommandStates();
}

void TfrmMain::computerMoved(EngineMove move, bool same) {
    const bool redo = thinking == Thinking::Redo;
    if (thinking != Thinking::Move && !redo) return;
    thinking = Thinking::None;
    tmrThink->stop();
    pnlMain->paintBox()->setCursor(Qt::PointingHandCursor);
    // An answer to a position that is no longer shown (a new game, a take-back) is dropped.
    if (Game.ReplayMode || Game.GameOver || Game.CurrentMove != RequestedAt || !computerPlays(Game.SideToMove)) {
        applyCommandStates();
        return;
    }
    const int before = Game.CurrentMove;
    switch (move.kind) {
        case EngineMove::Resign:
            actPlayGiveUpExecute();
            setStatusText(0, QStringLiteral("Rokiru が投了しました"));
            return;
        case EngineMove::Pass:
            actPlayPassExecute();
            break;
        case EngineMove::Point:
            prcHit(move.pos, Game.SideToMove);
            break;
    }
    if (move.kind == EngineMove::Point && Game.CurrentMove == before) {
        // The engine named a point Tavrin refuses: it is resynced and asked again, a few times.
        rokiru->moveRefused();
        if (++RefusedInRow >= 3) {
            engineFailed(QStringLiteral("Rokiru が打てない手（%1）を続けて返しました。")
                             .arg(pointName(move)));
            return;
        }
        applyCommandStates();
        const QString refused = QStringLiteral("Rokiru の着手 %1 は打てません。考え直させます。")
                                    .arg(pointName(move));
        QTimer::singleShot(0, this, [this, refused] {
            prcComputerTurn();
            setStatusText(0, refused);
        });
        return;
    }
    RefusedInRow = 0;
    applyCommandStates();
    if (redo && same)
        setStatusText(0, QStringLiteral("Rokiru は同じ手（%1）を選びました。").arg(pointName(move)));
}

void TfrmMain::engineFailed(const QString& message) {
    if (WaitingForDead) {
        // Counting goes on without a proposal.
        WaitingForDead = false;
        prompts.warn(this, message + QStringLiteral("\n\n死に石はクリックで指定してください。"));
        if (Counting) showCount();
        return;
    }
    const Thinking was = thinking;
    thinking = Thinking::None;
    if (tmrThink) tmrThink->stop();
    pnlMain->paintBox()->setCursor(Game.ReplayMode ? Qt::ArrowCursor : Qt::PointingHandCursor);
    if (was == Thinking::Hint || was == Thinking::Estimate) {
        prompts.warn(this, message);
        applyCommandStates();
        return;
    }
    // The engine given up on answers nothing more; the next game starts another.
    RefusedInRow = 0;
    if (rokiru) rokiru->shutdown();
    // Nothing of the game is lost: it goes on between people.
    prompts.warn(this, message + QStringLiteral("\n\nこの対局は人間どうしで続けます。"));
    Game.BlackPlayerKind = true;
    Game.WhitePlayerKind = true;
    setStatusText(0, qs(HelpHintText));
    applyCommandStates();
}

void TfrmMain::actPlayHintExecute() {
    if (!actPlayHint->isEnabled()) return;
    // A judgement's marks go with this action like with any other.
    if (!Counting) pnlMain->clearMarks();
    beginThinking(Thinking::Hint).requestHint(Game, Game.SideToMove);
}

void TfrmMain::actPlayUtinaosiExecute() {
    if (!actPlayUtinaosi->isEnabled()) return;
    // The computer's last move goes, and it is asked for another one: none of those rejected
    // at this position before.
    const int entry = Game.HandicapCount + Game.CurrentMove - 1;
    const std::vector<int> before(Game.MovePos.begin() + 1, Game.MovePos.begin() + entry);
    if (before != RedoBefore) RedoRejected.clear();
    RedoBefore = before;
    RedoRejected.insert(RedoRejected.begin(), Game.MovePos[static_cast<std::size_t>(entry)]);
    tmrTime->stop();
    setKifuRowMarker(Game.CurrentMove - 1, false);
    Record.back(*pnlMain);
    Record.keepMoves(Game.CurrentMove - 1, *pnlMain);
    Game.Modified = true;
    Game.MoveSeconds = 0;
    removeKifuRowsFrom(Game.CurrentMove);
    setKifuRowMarker(Game.CurrentMove - 1, true);
    setKifuFocusRow(Game.CurrentMove - 1);
    showTimeTotals();
    prcKifUpDate();
    prcInfoDsp();
    pnlMain->repaintBoard();
    tmrTime->start();
    beginThinking(Thinking::Redo).requestRedo(Game, Game.SideToMove, RedoRejected);
}

void TfrmMain::actPlayStnChgExecute() {
    if (!actPlayStnChg->isEnabled()) return;
    // The person and Rokiru change colours from this position; the names go with them, a
    // colour's default name becoming that of the new colour.
    std::swap(Game.BlackPlayerKind, Game.WhitePlayerKind);
    std::swap(Game.BlackPlayer, Game.WhitePlayer);
    if (Game.BlackPlayer == DefaultWhiteName) Game.BlackPlayer = DefaultBlackName;
    if (Game.WhitePlayer == DefaultBlackName) Game.WhitePlayer = DefaultWhiteName;
    // The time the person let pass before the exchange is nobody's move.
    Game.MoveSeconds = 0;
    setStatusText(4, qs(ClockZeroText));
    Game.Modified = true;
    prcInfoSameSet();
    prcKifUpDate();
    prcInfoDsp();
}

void TfrmMain::actDispConfigExecute() {
    const QStringList folders = LibraryFolders;
    const QString recordFolder =
        Game.CurrentFileName.empty() ? QString() : QFileInfo(QString::fromStdString(Game.CurrentFileName)).absolutePath();
    const EngineSettings was = Engine;
    if (!runConfigDialog(prompts, this, Engine, LibraryFolders, recordFolder)) return;
    if (Engine.commandLine != was.commandLine ||
        !std::equal(std::begin(Engine.levelArguments), std::end(Engine.levelArguments), std::begin(was.levelArguments))) {
        // The next question goes to the engine now named, never to the one running.
        stopThinking();
        if (rokiru) rokiru->shutdown();
        QTimer::singleShot(0, this, &TfrmMain::prcComputerTurn);
    }
    lookUpEngine();
    if (LibraryFolders != folders) {
        // New folders: the index is brought up to them (records of folders gone are dropped).
        stopLibraryIndexing();
        startLibraryIndexing();
    }
}

}  // namespace tavrin
