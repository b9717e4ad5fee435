#include "engine/GameReview.h"

#include <QMetaObject>
#include <algorithm>
#include <set>
#include <string>

#include "engine/EngineProcess.h"
#include "engine/LiveAnalysis.h"
#include "engine/Rokiru.h"

namespace tavrin {

namespace {

// Starting an engine and bringing it to a position take moments, not a move's thought.
constexpr int SetupLimitMs = 10000;

}  // namespace

// One engine process and the stretch of positions it judges.
struct GameReview::Worker {
    unsigned serial = 0;  // of the review it works for
    EngineProcess* engine = nullptr;
    std::set<std::string, std::less<>> commands;
    std::optional<gtp::Game> has;  // what its board holds; empty when not known for sure
    int position = 0;              // the position it judges
    int first = 0, last = -1;      // its stretch
    std::function<void(const gtp::Answer&)> then;
    std::vector<gtp::Command> queue;  // of the sync under way
    std::size_t next = 0;
    gtp::Game target;  // of the sync under way
    std::function<void()> synced;

    bool knows(std::string_view c) const { return commands.count(c) > 0; }
};

GameReview::GameReview(QObject* parent) : QObject(parent) {}

GameReview::~GameReview() { stop(); }

void GameReview::start(const gtp::Game& game, const QStringList& argv, int level, int processes) {
    stop();
    game_ = game;
    argv_ = argv;
    level_ = level;
    const int total = static_cast<int>(game.moves.size()) + 1;
    judgements_.assign(static_cast<size_t>(total), Judgement{});
    leadKnown_.assign(static_cast<size_t>(total), 0);
    betterKnown_.assign(static_cast<size_t>(total), 0);
    reported_.assign(static_cast<size_t>(total), 0);
    betterKnown_[0] = 1;  // the start has no move before it
    done_ = 0;
    nextStart_ = 0;
    processes = std::clamp(processes, 1, total);
    // Stretches small enough that the processes end together, long enough that few positions
    // are played through twice.
    stretch_ = std::clamp(total / (processes * 8), 4, 32);
    running_ = true;
    const unsigned serial = ++serial_;
    QMetaObject::invokeMethod(
        this,
        [this, serial, processes] {
            if (serial != serial_ || !running_) return;
            if (argv_.isEmpty()) return fail(QStringLiteral("囲碁エンジンが見つかりません。"));
            if (!gtp::syncPlan(game_)) {
                return fail(game_.boardSize > gtp::MaxBoardSize
                                ? QStringLiteral("%1路の碁盤はエンジンで解析できません（%2路まで）。")
                                      .arg(game_.boardSize)
                                      .arg(gtp::MaxBoardSize)
                                : QStringLiteral("この棋譜の局面をエンジンに伝えられません。"));
            }
            probe(processes);
        },
        Qt::QueuedConnection);
}

void GameReview::probe(int processes) {
    analyser_ = new LiveAnalysis(this);
    analyser_->setArguments(argv_);
    analyser_->setTimeLimit(limitMs_);
    analysing_ = -1;
    connect(analyser_, &LiveAnalysis::ready, this, [this, processes](bool supported) {
        if (!supported) {
            dropAnalyser();
            return startWorkers(processes);
        }
        analysing_ = 0;
        analyse();
    });
    connect(analyser_, &LiveAnalysis::failed, this, [this, processes](const QString& why) {
        if (analysing_ >= 0) return fail(why);
        // The engine failed before it told its commands: the workers start it again and say
        // what is wrong as they do for any engine.
        dropAnalyser();
        startWorkers(processes);
    });
    connect(analyser_, &LiveAnalysis::judged, this, &GameReview::analysed);
    analyser_->probe();
}

void GameReview::dropAnalyser() {
    if (!analyser_) return;
    analyser_->disconnect(this);
    analyser_->end();  // no signals after this
    analyser_->deleteLater();
    analyser_ = nullptr;
}

void GameReview::startWorkers(int processes) {
    const unsigned serial = serial_;
    for (int k = 0; k < processes && running_ && serial == serial_; ++k) {
        auto w = std::make_shared<Worker>();
        w->serial = serial;
        workers_.push_back(w);
        startWorker(w);
    }
}

void GameReview::analyse() {
    const auto k = static_cast<size_t>(analysing_);
    // The side to move: that of the next move; after the last one, the other side; at the
    // start of a game without moves, White after Black's handicap stones, else Black.
    int toMove = Black;
    if (k < game_.moves.size())
        toMove = game_.moves[k].colour;
    else if (k > 0)
        toMove = game_.moves[k - 1].colour == Black ? White : Black;
    else if (!game_.setup.empty() &&
             std::all_of(game_.setup.begin(), game_.setup.end(), [](const gtp::Stone& s) { return s.colour == Black; }))
        toMove = White;
    analyser_->judge(positionAt(analysing_), toMove, visits_, searchMs_);
}

// The engine's figures are those of its best move, so the position's win rate and lead are
// also what the better move for the next move keeps. An engine without a lead (lz-analyze)
// leaves lead and betterLead at 0 with hasLead false: markedMoves then marks by win rate.
void GameReview::analysed(double blackWinrate, std::optional<double> blackLead, int best) {
    const int k = analysing_;
    const auto i = static_cast<size_t>(k);
    Judgement& j = judgements_[i];
    j.winrate = blackWinrate;
    j.hasLead = blackLead.has_value();
    j.lead = blackLead.value_or(0);
    leadKnown_[i] = 1;
    if (i < game_.moves.size()) {
        Judgement& next = judgements_[i + 1];
        next.better = best;
        next.betterLead = j.lead;
        next.betterWinrate = blackWinrate;
        betterKnown_[i + 1] = 1;
    }
    const unsigned serial = serial_;
    settle(k);
    if (serial != serial_ || !running_) return;
    ++analysing_;
    analyse();
}

void GameReview::cancel() {
    if (!running_) return;
    stop();
    emit finished(false, QStringLiteral("解析をキャンセルしました。"));
}

void GameReview::stop() {
    running_ = false;
    ++serial_;
    dropAnalyser();
    for (const auto& w : workers_) {
        w->then = nullptr;
        w->synced = nullptr;
        if (!w->engine) continue;
        w->engine->kill();  // no signals after this
        w->engine->deleteLater();
        w->engine = nullptr;
    }
    workers_.clear();
}

void GameReview::fail(const QString& why) {
    if (!running_) return;
    stop();
    emit finished(false, QStringLiteral("解析を中止しました: %1").arg(why));
}

bool GameReview::alive(const WorkerRef& w) const { return running_ && w->serial == serial_; }

gtp::Game GameReview::positionAt(int k) const {
    gtp::Game g = game_;
    g.moves.resize(static_cast<size_t>(k));
    return g;
}

void GameReview::startWorker(const WorkerRef& w) {
    w->engine = new EngineProcess(this);
    connect(w->engine, &EngineProcess::answered, this, [this, w](const gtp::Answer& a) {
        if (!alive(w) || !w->then) return;
        const auto then = std::move(w->then);
        w->then = nullptr;
        then(a);
    });
    connect(w->engine, &EngineProcess::timedOut, this, [this, w] {
        if (!alive(w)) return;
        fail(QStringLiteral("エンジンが %1 秒たっても答えません（%2）。")
                 .arg(limitMs_ / 1000.0)
                 .arg(w->engine->sentText()));
    });
    connect(w->engine, &EngineProcess::ended, this, [this, w](bool neverStarted, const QString& how) {
        if (!alive(w)) return;
        const QString tail = w->engine->errorTail();
        fail((neverStarted ? QStringLiteral("エンジンを起動できません（%1: %2）。").arg(argv_.value(0), how)
                           : QStringLiteral("エンジンが終了しました（%1）。").arg(how)) +
             (tail.isEmpty() ? QString() : QStringLiteral("\n") + tail));
    });
    w->engine->start(argv_);
    if (!alive(w)) return;  // it could not even start
    send(w, gtp::Command::listCommands(), SetupLimitMs, [this, w](const gtp::Answer& a) {
        if (a.kind == gtp::AnswerKind::Garbage) return nonsense(w, a);
        if (auto list = a.ok() ? gtp::parseCommandList(a.text) : std::nullopt) w->commands = std::move(*list);
        if (!w->knows("level")) return takeStretch(w);
        // A refused level leaves the engine at its own.
        send(w, gtp::Command::level(level_), SetupLimitMs, [this, w](const gtp::Answer& a) {
            if (a.kind == gtp::AnswerKind::Garbage) return nonsense(w, a);
            takeStretch(w);
        });
    });
}

void GameReview::send(const WorkerRef& w, const gtp::Command& c, int limitMs,
                      std::function<void(const gtp::Answer&)> then) {
    w->then = std::move(then);
    w->engine->send(c, limitMs);
}

void GameReview::nonsense(const WorkerRef& w, const gtp::Answer& a) {
    fail(
        QStringLiteral("エンジンの答えを読めません（%1 → %2）。").arg(w->engine->sentText(), quotedEngineText(a.text)));
}

void GameReview::takeStretch(const WorkerRef& w) {
    const int last = static_cast<int>(game_.moves.size());
    if (nextStart_ > last) {
        // Nothing left to take: this process is done, the others finish theirs.
        w->engine->kill();
        w->engine->deleteLater();
        w->engine = nullptr;
        return;
    }
    w->position = w->first = nextStart_;
    w->last = std::min(last, nextStart_ + stretch_ - 1);
    nextStart_ = w->last + 1;
    syncTo(w, positionAt(w->position), [this, w] { judgeLead(w); });
}

void GameReview::syncTo(const WorkerRef& w, const gtp::Game& target, std::function<void()> then) {
    auto plan = w->has ? gtp::syncPlan(*w->has, target, w->knows("undo")) : gtp::syncPlan(target);
    if (!plan) return fail(QStringLiteral("この棋譜の局面をエンジンに伝えられません。"));
    w->queue = std::move(*plan);
    w->next = 0;
    w->target = target;
    w->synced = std::move(then);
    if (!w->queue.empty()) w->has.reset();  // unknown until the last command is through
    syncStep(w);
}

void GameReview::syncStep(const WorkerRef& w) {
    if (w->next == w->queue.size()) {
        w->has = w->target;
        const auto then = std::move(w->synced);
        w->synced = nullptr;
        return then();
    }
    const gtp::Command c = w->queue[w->next++];
    send(w, c, SetupLimitMs, [this, w, c](const gtp::Answer& a) {
        if (a.ok()) return syncStep(w);
        if (a.kind == gtp::AnswerKind::Garbage) return nonsense(w, a);
        const QString what = QString::fromStdString(c.line()).trimmed();
        fail(c.commandName() == "boardsize"
                 ? QStringLiteral("エンジンが%1路の碁盤を受け付けません（%2）。")
                       .arg(game_.boardSize)
                       .arg(quotedEngineText(a.text))
                 : QStringLiteral("エンジンが局面を受け付けません（%1 → %2）。").arg(what, quotedEngineText(a.text)));
    });
}

// At each position: its lead, then the move preferred for the next move. A preferred move that
// is not the one played is judged (played, its lead asked, taken back) when the move played
// lost lead: the next position's lead tells that, so it is done there, or at once at the end
// of a stretch, whose next position another process judges.
void GameReview::judgeLead(const WorkerRef& w) {
    send(w, gtp::Command::estimateScore(), limitMs_, [this, w](const gtp::Answer& a) {
        const std::optional<int> tenths = a.ok() ? gtp::parseEstimate(a.text) : std::nullopt;
        if (!tenths) return nonsense(w, a);
        const int k = w->position;
        judgements_[static_cast<size_t>(k)].lead = *tenths / 10.0;
        leadKnown_[static_cast<size_t>(k)] = 1;
        settle(k);
        if (alive(w)) judgeBetter(w);
    });
}

void GameReview::judgeBetter(const WorkerRef& w) {
    const int k = w->position;
    if (k == static_cast<int>(game_.moves.size())) return judgePending(w);
    const gtp::Stone& played = game_.moves[static_cast<size_t>(k)];
    const auto top = gtp::Command::topMoves(played.colour);
    const auto named = [this, w, k, played](int better) {
        judgements_[static_cast<size_t>(k) + 1].better = better;
        if (better == 0 || better == played.pos) {
            betterKnown_[static_cast<size_t>(k) + 1] = 1;
            settle(k + 1);
        }
        if (alive(w)) judgePending(w);
    };
    if (!top || !w->knows(top->commandName())) return named(0);
    send(w, *top, limitMs_, [this, w, named](const gtp::Answer& a) {
        if (a.kind == gtp::AnswerKind::Garbage) return nonsense(w, a);
        if (!a.ok()) return named(0);  // it has nothing to say here
        const auto list = gtp::parseTopMoves(a.text, game_.boardSize);
        if (!list) return nonsense(w, a);
        named(list->empty() ? 0 : list->front());
    });
}

void GameReview::judgePending(const WorkerRef& w) {
    const int k = w->position;
    const size_t i = static_cast<size_t>(k);
    const bool last = k == w->last && k < static_cast<int>(game_.moves.size()) && !betterKnown_[i + 1];
    const auto then = [this, w, last, k] {
        if (last) return judgeBetterLead(w, k + 1, [this, w] { advance(w); });
        advance(w);
    };
    // The better move for move k, named here at k - 1 (the first position of a stretch leaves
    // it to the process that judged the one before).
    if (k == w->first || betterKnown_[i]) return then();
    const gtp::Stone& played = game_.moves[i - 1];
    if (leadChangeFor(played.colour, judgements_[i - 1].lead, judgements_[i].lead) < 0)
        return judgeBetterLead(w, k, then);
    // The move played lost nothing: the better move is not asked about.
    judgements_[i].betterLead = judgements_[i].lead;
    betterKnown_[i] = 1;
    settle(k);
    if (alive(w)) then();
}

void GameReview::judgeBetterLead(const WorkerRef& w, int k, std::function<void()> then) {
    const size_t i = static_cast<size_t>(k);
    const int colour = game_.moves[i - 1].colour;
    const int better = judgements_[i].better;
    const auto known = [this, w, k, then] {
        betterKnown_[static_cast<size_t>(k)] = 1;
        settle(k);
        if (alive(w)) then();
    };
    gtp::Game target = positionAt(k - 1);
    target.moves.push_back({colour, better});
    // A move that cannot be written is not named.
    if (!gtp::Command::play(colour, better, game_.boardSize)) {
        judgements_[i].better = 0;
        return known();
    }
    syncTo(w, target, [this, w, i, known] {
        send(w, gtp::Command::estimateScore(), limitMs_, [this, w, i, known](const gtp::Answer& a) {
            const std::optional<int> tenths = a.ok() ? gtp::parseEstimate(a.text) : std::nullopt;
            if (!tenths) return nonsense(w, a);
            judgements_[i].betterLead = *tenths / 10.0;
            known();
        });
    });
}

void GameReview::advance(const WorkerRef& w) {
    if (w->position >= w->last) return takeStretch(w);
    ++w->position;
    syncTo(w, positionAt(w->position), [this, w] { judgeLead(w); });
}

void GameReview::settle(int k) {
    const size_t i = static_cast<size_t>(k);
    if (reported_[i] || !leadKnown_[i] || !betterKnown_[i]) return;
    Judgement& j = judgements_[i];
    if (k > 0 && j.better != 0 && j.better == game_.moves[i - 1].pos) {
        j.betterLead = j.lead;
        j.betterWinrate = j.winrate;
    }
    j.judged = true;
    reported_[i] = 1;
    ++done_;
    const unsigned serial = serial_;
    emit judged(k, j);
    if (serial != serial_ || !running_) return;
    const int total = static_cast<int>(judgements_.size());
    emit progress(done_, total);
    if (serial != serial_ || !running_ || done_ < total) return;
    stop();
    emit finished(true, QString());
}

}  // namespace tavrin
