#include "app/EngineTurn.h"

#include <QTimer>
#include <QWidget>
#include <utility>

#include "record/InfoTexts.h"
#include "view/Prompts.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

EngineTurn::EngineTurn(Host& host, Prompts& prompts, QWidget* window, const GameState& game,
                       const EngineSettings& settings)
    : QObject(window), host_(host), prompts_(prompts), window_(window), game_(game), settings_(settings) {
    setObjectName(QStringLiteral("engineTurn"));
}

EngineTurn::~EngineTurn() = default;

Rokiru& EngineTurn::engine() {
    if (rokiru_) return *rokiru_;
    rokiru_ = new Rokiru(this);
    connect(rokiru_, &Rokiru::moveChosen, this, &EngineTurn::moveChosen);
    connect(rokiru_, &Rokiru::hintChosen, this, [this](EngineMove move) {
        if (!answerAwaited(Task::Hint)) return;
        host_.showHint(move.kind == EngineMove::Point ? move.pos : 0, QStringLiteral("ヒント: ") + pointName(move));
    });
    connect(rokiru_, &Rokiru::failed, this, &EngineTurn::failed);
    connect(rokiru_, &Rokiru::estimateChosen, this, [this](int leadTenths) {
        if (!answerAwaited(Task::Estimate)) return;
        // Only for the position it was asked about.
        if (positionKey() == estimated_) host_.showEstimate(leadTenths);
    });
    connect(rokiru_, &Rokiru::statusChosen, this, [this](const std::vector<int>& dead, const std::vector<int>& seki) {
        if (!deadChosen_) return;
        const auto chosen = std::move(deadChosen_);
        deadChosen_ = nullptr;
        deadFailed_ = nullptr;
        chosen(dead, seki);
    });
    connect(rokiru_, &Rokiru::restarted, this, [this](const QString& message) {
        notice_ = message;
        host_.showText(message);
    });
    connect(rokiru_, &Rokiru::timeLimitReached, this, [this] {
        if (deadChosen_) {
            // Counting does not wait on: it goes on without the engine's proposal.
            const auto fail = std::move(deadFailed_);
            cancelDeadStones();
            if (fail)
                fail(QStringLiteral("Rokiru は制限時間（%1秒）内に死に石を判定できませんでした。")
                         .arg(settings_.moveSeconds));
            return;
        }
        if (task_ == Task::None) return;
        const QString text = QStringLiteral(
                                 "Rokiru は制限時間（%1秒）を過ぎても考えています。\n"
                                 "もう少し待ちますか？\n\n「いいえ」で考えるのをやめさせ、対局を中断します。")
                                 .arg(settings_.moveSeconds);
        if (prompts_.confirm(window_, text, false) == Answer::Yes) {
            if (task_ != Task::None) rokiru_->keepWaiting();
            return;
        }
        stop();
        if (!host_.replaying()) host_.stopGame();
    });
    thinkTimer_ = new QTimer(this);
    thinkTimer_->setObjectName(QStringLiteral("tmrThink"));
    thinkTimer_->setInterval(1000);
    connect(thinkTimer_, &QTimer::timeout, this, [this] {
        ++seconds_;
        // A judgement on the board keeps its text while Rokiru thinks.
        if (task_ == Task::Estimate) return;
        const QString counting = QStringLiteral("Rokiru 思考中… %1秒").arg(seconds_);
        host_.showProgress(notice_.isEmpty() ? counting : notice_ + QStringLiteral("　") + counting);
    });
    return *rokiru_;
}

Rokiru& EngineTurn::judge() {
    if (judge_) return *judge_;
    judge_ = new Rokiru(this);
    connect(judge_, &Rokiru::estimateChosen, this, [this](int leadTenths) {
        if (!std::exchange(judging_, false)) return;
        if (positionKey() == estimated_) host_.showEstimate(leadTenths);
    });
    connect(judge_, &Rokiru::failed, this, [this](const QString& message) {
        if (std::exchange(judging_, false)) prompts_.warn(window_, message);
    });
    // Past the time limit the judgement from the stones alone stays; nobody is asked to wait.
    connect(judge_, &Rokiru::timeLimitReached, this, &EngineTurn::stopJudging);
    return *judge_;
}

void EngineTurn::stopJudging() {
    if (std::exchange(judging_, false)) judge_->cancel();
}

QString EngineTurn::pointName(const EngineMove& m) const {
    // The board's own names ("Q 4", rows counted from the top as its labels show them).
    if (m.kind == EngineMove::Resign) return QStringLiteral("投了");
    if (m.kind == EngineMove::Pass) return qs(PassText);
    if (m.pos < 0 || m.pos > CoordNameLast) return QString();
    return qs(game_.CoordName[static_cast<std::size_t>(m.pos)]).simplified();
}

bool EngineTurn::computerPlays(int colour) const {
    if (colour == Black) return !game_.BlackPlayerKind;
    if (colour == White) return !game_.WhitePlayerKind;
    return false;
}

bool EngineTurn::computerMovedLast() const {
    const int last = game_.HandicapCount + game_.CurrentMove - 1;
    return game_.CurrentMove > 1 && last >= 1 && last <= RecordCapacity &&
           computerPlays(game_.MoveColor[static_cast<std::size_t>(last)]);
}

std::string EngineTurn::positionKey() const {
    // The stones and the side to move, as one text to compare positions by.
    std::string key;
    key.reserve(game_.Board.size() + 1);
    for (const int v : game_.Board) key += static_cast<char>(v);
    key += static_cast<char>(game_.SideToMove);
    return key;
}

void EngineTurn::positionChanged() {
    // A hint or a judgement in the making was of the position before.
    stopJudging();
    if (task_ == Task::Hint || task_ == Task::Estimate) stop();
    // The computer moves once the event loop has turned, so every command (対局中断 among
    // them) stays within reach between the moves of a game of the computer against itself.
    QTimer::singleShot(0, this, &EngineTurn::askMove);
}

void EngineTurn::askMove() {
    if (host_.replaying() || game_.GameOver || task_ != Task::None) return;
    if (!computerPlays(game_.SideToMove)) return;
    if (!host_.engineFound()) {
        failed(
            QStringLiteral("Rokiru（囲碁エンジン）が見つかりません。\n"
                           "表示 → 環境設定 でエンジンのコマンドを指定してください。"));
        return;
    }
    begin(Task::Move).requestMove(game_, game_.SideToMove);
}

void EngineTurn::askHint() { begin(Task::Hint).requestHint(game_, game_.SideToMove); }

void EngineTurn::askEstimate() {
    estimated_ = positionKey();
    if (task_ == Task::None || task_ == Task::Estimate) {
        begin(Task::Estimate).requestEstimate(game_);
        return;
    }
    // The engine cannot be asked while it thinks: another process judges, and the answer comes
    // like the idle one, leaving the question under way and the commands as they are.
    judging_ = true;
    judge().configure(settings_, game_.Level);
    judge_->requestEstimate(game_);
}

void EngineTurn::rejectLastMove() {
    // None of the moves rejected at this position before is played again.
    const int entry = game_.HandicapCount + game_.CurrentMove - 1;
    const std::vector<int> before(game_.MovePos.slice(1, static_cast<size_t>(entry)));
    if (before != redoBefore_) redoRejected_.clear();
    redoBefore_ = before;
    redoRejected_.insert(redoRejected_.begin(), game_.MovePos[static_cast<std::size_t>(entry)]);
}

void EngineTurn::askRedo() { begin(Task::Redo).requestRedo(game_, game_.SideToMove, redoRejected_); }

Rokiru& EngineTurn::begin(Task what) {
    Rokiru& r = engine();
    r.configure(settings_, game_.Level);
    task_ = what;
    requestedAt_ = game_.CurrentMove;
    seconds_ = 0;
    thinkTimer_->start();
    // An estimate comes quietly under the rough judgement already shown.
    if (what != Task::Estimate) host_.showText(QStringLiteral("Rokiru 思考中… 0秒"));
    host_.thinkingChanged();
    return r;
}

bool EngineTurn::answerAwaited(Task kind) {
    // An answer nobody waits for any more (cancelled, or another question since) is dropped.
    if (task_ != kind) return false;
    task_ = Task::None;
    thinkTimer_->stop();
    host_.thinkingChanged();
    return true;
}

void EngineTurn::stop() {
    stopJudging();
    if (task_ == Task::None) return;
    task_ = Task::None;
    if (thinkTimer_) thinkTimer_->stop();
    if (rokiru_) rokiru_->cancel();
    host_.showText(qs(HelpHintText));
    host_.thinkingChanged();
}

void EngineTurn::shutdownEngine() {
    judging_ = false;
    for (Rokiru* r : {rokiru_, judge_})
        if (r) r->shutdown();
}

void EngineTurn::engineChanged() {
    stop();
    shutdownEngine();
    QTimer::singleShot(0, this, &EngineTurn::askMove);
}

QString EngineTurn::takeNotice() { return std::exchange(notice_, QString()); }

void EngineTurn::requestDeadStones(
    std::function<void(const std::vector<int>& dead, const std::vector<int>& seki)> chosen,
    std::function<void(const QString& message)> failed) {
    deadChosen_ = std::move(chosen);
    deadFailed_ = std::move(failed);
    Rokiru& r = engine();
    r.configure(settings_, game_.Level);
    r.requestDeadStones(game_);
}

void EngineTurn::cancelDeadStones() {
    if (!deadChosen_) return;
    deadChosen_ = nullptr;
    deadFailed_ = nullptr;
    if (rokiru_) rokiru_->cancel();
}

void EngineTurn::moveChosen(EngineMove move, bool same) {
    const bool redo = task_ == Task::Redo;
    if (!choosingMove()) return;
    task_ = Task::None;
    thinkTimer_->stop();
    // An answer to a position that is no longer shown (a new game, a take-back) is dropped.
    if (host_.replaying() || game_.GameOver || game_.CurrentMove != requestedAt_ || !computerPlays(game_.SideToMove)) {
        host_.thinkingChanged();
        return;
    }
    const int before = game_.CurrentMove;
    if (move.kind == EngineMove::Resign) {
        // The commands follow the game's end, not the turn before it.
        host_.playComputerMove(move);
        host_.thinkingChanged();
        host_.showText(QStringLiteral("Rokiru が投了しました"));
        return;
    }
    host_.playComputerMove(move);
    if (move.kind == EngineMove::Point && game_.CurrentMove == before) {
        // The engine named a point the board refuses: it is resynced and asked again, a few times.
        rokiru_->moveRefused();
        if (++refusedInRow_ >= 3) {
            failed(QStringLiteral("Rokiru が打てない手（%1）を続けて返しました。").arg(pointName(move)));
            return;
        }
        host_.thinkingChanged();
        const QString refused = QStringLiteral("Rokiru の着手 %1 は打てません。考え直させます。").arg(pointName(move));
        QTimer::singleShot(0, this, [this, refused] {
            askMove();
            host_.showText(refused);
        });
        return;
    }
    refusedInRow_ = 0;
    host_.thinkingChanged();
    if (redo && same) host_.showText(QStringLiteral("Rokiru は同じ手（%1）を選びました。").arg(pointName(move)));
}

void EngineTurn::failed(const QString& message) {
    if (deadChosen_) {
        // Counting goes on without a proposal.
        const auto fail = std::move(deadFailed_);
        deadChosen_ = nullptr;
        deadFailed_ = nullptr;
        if (fail) fail(message);
        return;
    }
    const Task was = task_;
    task_ = Task::None;
    if (thinkTimer_) thinkTimer_->stop();
    if (was == Task::Hint || was == Task::Estimate) {
        prompts_.warn(window_, message);
        host_.thinkingChanged();
        return;
    }
    // The engine given up on answers nothing more; the next game starts another.
    refusedInRow_ = 0;
    shutdownEngine();
    // Nothing of the game is lost: it goes on between people.
    prompts_.warn(window_, message + QStringLiteral("\n\nこの対局は人間どうしで続けます。"));
    host_.continueBetweenPeople();
    host_.showText(qs(HelpHintText));
    host_.thinkingChanged();
}

}  // namespace tavrin
