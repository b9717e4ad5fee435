#include "engine/LiveAnalysis.h"

#include <QTimer>
#include <functional>
#include <numeric>

#include "engine/CommandLine.h"
#include "engine/EngineProcess.h"
#include "engine/Rokiru.h"

namespace tavrin {

namespace {

// The first answer after a start: an engine may load its network before it reads anything.
constexpr int StartLimitMs = 60000;

}  // namespace

struct LiveAnalysis::Impl {
    // What the engine is asked to do.
    struct Request {
        unsigned serial = 0;
        gtp::Game target;
        int toMove = Black;
        bool judge = false;
        int visits = 0;
        int maxMs = 0;
    };

    explicit Impl(LiveAnalysis* owner) : self(owner) {
        throttle.setSingleShot(true);
        QObject::connect(&throttle, &QTimer::timeout, self, [this] {
            if (dirty) handOn();
        });
        judgeTimer.setSingleShot(true);
        QObject::connect(&judgeTimer, &QTimer::timeout, self, [this] { endJudge(); });
    }

    LiveAnalysis* self;
    QStringList argv;
    QString argvError;
    int limitMs = 10000;

    EngineProcess* engine = nullptr;
    bool ready = false;  // list_commands has been answered
    analysis::Dialect dialect = analysis::Dialect::None;
    bool hasUndo = false;
    std::optional<gtp::Game> engineHas;  // empty while not known for sure

    std::optional<Request> want;
    unsigned serials = 0;
    bool scheduled = false;
    bool probeWanted = false;
    std::function<void(const gtp::Answer&)> onAnswer;  // of the command in flight
    std::vector<gtp::Command> syncQueue;
    std::size_t syncNext = 0;

    unsigned streamSerial = 0;  // of the request the running stream serves
    bool stopping = false;      // the stream has been asked to end
    std::vector<analysis::Candidate> latest;
    bool dirty = false;  // latest has not been handed on
    QTimer throttle;
    QTimer judgeTimer;  // the judgement's time, from the stream's start
    bool judgeDue = false;

    // A new request replaces the one under way; the same position asked again to be analysed
    // keeps its stream.
    void request(const gtp::Game& target, int toMove, bool judge, int visits, int maxMs) {
        if (!judge && want && !want->judge && want->target == target && want->toMove == toMove) return;
        want = Request{++serials, target, toMove, judge, visits, maxMs};
        latest.clear();
        dirty = false;
        judgeTimer.stop();
        schedule();
    }

    // Goes on with the next turn of the event loop: nothing is answered from inside a call.
    void schedule() {
        if (scheduled) return;
        scheduled = true;
        QMetaObject::invokeMethod(
            self,
            [this] {
                scheduled = false;
                proceed();
            },
            Qt::QueuedConnection);
    }

    // One step towards what is wanted, whenever the engine has nothing in flight.
    void proceed() {
        if (engine == nullptr) {
            if (want || probeWanted) start();
            return;
        }
        if (engine->inFlight() && !engine->streaming()) return;  // its answer goes on
        if (engine->streaming()) {
            if (want && want->serial == streamSerial) return;
            return stopStream([this] { proceed(); });
        }
        if (!want || !ready) return;
        if (dialect == analysis::Dialect::None) {
            return fail(QStringLiteral("解析エンジンが kata-analyze にも lz-analyze にも対応していません。"));
        }
        if (!engineHas || *engineHas != want->target) return sync();
        startStream();
    }

    void start() {
        if (argv.isEmpty()) return fail(argvError);
        engine = new EngineProcess(self);
        ready = false;
        engineHas.reset();
        QObject::connect(engine, &EngineProcess::answered, self, [this](const gtp::Answer& a) { answered(a); });
        QObject::connect(engine, &EngineProcess::timedOut, self, [this] { timedOut(); });
        QObject::connect(engine, &EngineProcess::ended, self,
                         [this](bool neverStarted, const QString& how) { ended(neverStarted, how); });
        QObject::connect(engine, &EngineProcess::streamStarted, self, [this] {
            if (want && want->judge && want->serial == streamSerial) judgeTimer.start(want->maxMs);
            proceed();
        });
        QObject::connect(engine, &EngineProcess::streamLine, self, [this](const QByteArray& l) { line(l); });
        QObject::connect(engine, &EngineProcess::streamEnded, self, [this] { streamEnded(); });
        EngineProcess* started = engine;
        engine->start(argv);
        if (engine != started) return;  // it could not even start
        send(gtp::Command::listCommands(), StartLimitMs, [this](const gtp::Answer& a) {
            if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
            dialect = a.ok() ? analysis::dialectOf(a.text) : analysis::Dialect::None;
            const auto list = a.ok() ? gtp::parseCommandList(a.text) : std::nullopt;
            hasUndo = list && list->count("undo") > 0;
            ready = true;
            probeWanted = false;
            emit self->ready(dialect != analysis::Dialect::None);
            proceed();
        });
    }

    // Brings the engine's board to the request's position; what it holds is known again
    // when the last command is through.
    void sync() {
        auto plan = engineHas ? gtp::syncPlan(*engineHas, want->target, hasUndo) : gtp::syncPlan(want->target);
        if (!plan) return fail(QStringLiteral("この局面を解析エンジンに伝えられません。"));
        syncQueue = std::move(*plan);
        syncNext = 0;
        engineHas.reset();
        syncStep(want->target);
    }

    void syncStep(const gtp::Game& target) {
        if (syncNext == syncQueue.size()) {
            engineHas = target;
            return proceed();
        }
        const gtp::Command c = syncQueue[syncNext++];
        send(c, limitMs, [this, c, target](const gtp::Answer& a) {
            if (a.ok()) return syncStep(target);
            if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
            fail(QStringLiteral("解析エンジンがこの局面を受け付けません（%1 → %2）。")
                     .arg(QString::fromStdString(c.line()).trimmed(), quotedEngineText(a.text)));
        });
    }

    void startStream() {
        const auto c = analysis::analyzeCommand(dialect, want->toMove, IntervalCentis);
        if (!c) return fail(QStringLiteral("解析を始められません。"));
        streamSerial = want->serial;
        stopping = false;
        onAnswer = [this, c](const gtp::Answer& a) {
            // Only a stream that never started is answered: refused or garbage.
            if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
            fail(QStringLiteral("解析エンジンが %1 を受け付けません: %2")
                     .arg(QString::fromStdString(std::string(c->commandName())), quotedEngineText(a.text)));
        };
        judgeDue = false;
        engine->startStream(*c, limitMs);
    }

    // Ends the stream with a command every engine answers; then goes on.
    void stopStream(std::function<void()> then) {
        stopping = true;
        judgeTimer.stop();
        onAnswer = [this, then = std::move(then)](const gtp::Answer& a) {
            if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
            then();
        };
        engine->stopStream(gtp::Command::protocolVersion(), limitMs);
    }

    void line(const QByteArray& text) {
        if (stopping || !want || want->serial != streamSerial) return;  // on its way before the stop
        const auto read = analysis::readLine(text.toStdString(), dialect, want->target.boardSize);
        if (!read.ok()) {
            return fail(QStringLiteral("解析エンジンの出力を読めません（%1）: %2")
                            .arg(QString::fromStdString(read.error), quotedEngineText(text.toStdString())));
        }
        latest = read.candidates;
        dirty = true;
        if (want->judge) {
            const int visits = std::accumulate(latest.begin(), latest.end(), 0,
                                               [](int n, const analysis::Candidate& c) { return n + c.visits; });
            if (judgeDue || visits >= want->visits) endJudge();
            return;
        }
        if (!throttle.isActive()) handOn();
    }

    void handOn() {
        dirty = false;
        throttle.start(ThrottleMs);
        emit self->candidates(latest);
    }

    // The judgement from the candidates so far, given once the stream has ended.
    void endJudge() {
        if (!want || !want->judge || stopping || engine == nullptr || !engine->streaming()) return;
        if (latest.empty()) {
            judgeDue = true;  // the time is up: the first candidates will do
            return;
        }
        stopStream([this, done = judgement()] {
            done();
            proceed();
        });
    }

    // Ends the judging request; the function returned gives its answer.
    std::function<void()> judgement() {
        const analysis::Candidate best = latest.front();
        const auto view = analysis::blackView(best, want->toMove);
        want.reset();
        judgeTimer.stop();
        return [this, view, pos = best.pos] { emit self->judged(view.winrate, view.lead, pos); };
    }

    void streamEnded() {
        if (stopping) return;  // the answer to the stopping command follows
        // The engine ended the stream by itself: what it found is all there is.
        if (want && want->judge && !latest.empty()) return judgement()();
        if (want) fail(QStringLiteral("解析エンジンが解析を途中でやめました。"));
    }

    // ---- Commands and faults ----

    void send(const gtp::Command& c, int ms, std::function<void(const gtp::Answer&)> then) {
        onAnswer = std::move(then);
        engine->send(c, ms);
    }

    void answered(const gtp::Answer& a) {
        auto then = std::move(onAnswer);
        onAnswer = nullptr;
        if (then) then(a);
    }

    void timedOut() {
        const QString what = engine->streaming() ? QStringLiteral("解析の出力") : engine->sentText();
        fail(QStringLiteral("解析エンジンが %1 秒以上応答しません（%2）。").arg(limitMs / 1000.0).arg(what));
    }

    void ended(bool neverStarted, const QString& how) {
        const QString tail = engine->errorTail();
        QString m = neverStarted ? QStringLiteral("解析エンジンを起動できません（%1）: %2").arg(how, argv.value(0))
                                 : QStringLiteral("解析エンジンが終了しました（%1）。").arg(how);
        if (!tail.isEmpty()) m += u'\n' + tail;
        fail(m);
    }

    void unreadable(const gtp::Answer& a) {
        fail(QStringLiteral("解析エンジンの答えを読めません: %1").arg(quotedEngineText(a.text)));
    }

    // Ends the engine and the request and says why; the next request starts another engine.
    void fail(const QString& message) {
        dropEngine();
        want.reset();
        probeWanted = false;
        emit self->failed(message);
    }

    void dropEngine() {
        if (engine != nullptr) {
            engine->disconnect(self);
            engine->kill();  // may run inside one of its signals
            engine->deleteLater();
            engine = nullptr;
        }
        ready = false;
        dialect = analysis::Dialect::None;
        engineHas.reset();
        onAnswer = nullptr;
        stopping = false;
        streamSerial = 0;
        latest.clear();
        dirty = false;
        throttle.stop();
        judgeTimer.stop();
    }
};

LiveAnalysis::LiveAnalysis(QObject* parent) : QObject(parent), d_(std::make_unique<Impl>(this)) {
    setCommandLine(QString());
}

LiveAnalysis::~LiveAnalysis() { d_->dropEngine(); }

void LiveAnalysis::setCommandLine(const QString& line) {
    EngineSettings s;
    s.commandLine = line;
    const QStringList argv = engineArguments(s, 0);
    if (argv != d_->argv && d_->engine != nullptr) d_->dropEngine();
    d_->argv = argv;
    const QString written = line.trimmed().isEmpty() ? defaultEngineSettings().commandLine : line;
    const SplitCommandLine split = splitCommandLine(written.toStdString());
    d_->argvError =
        split.ok() ? QStringLiteral("解析エンジンが見つかりません: %1").arg(QString::fromStdString(split.words.front()))
                   : QStringLiteral("解析エンジンのコマンドラインを読めません: %1").arg(written);
}

void LiveAnalysis::setArguments(const QStringList& argv) {
    if (argv != d_->argv && d_->engine != nullptr) d_->dropEngine();
    d_->argv = argv;
    d_->argvError = QStringLiteral("解析エンジンが見つかりません。");
}

void LiveAnalysis::setTimeLimit(int ms) { d_->limitMs = std::max(1, ms); }

void LiveAnalysis::probe() {
    if (d_->ready) {
        QMetaObject::invokeMethod(
            this, [this] { emit ready(supported()); }, Qt::QueuedConnection);
        return;
    }
    d_->probeWanted = true;
    d_->schedule();
}

bool LiveAnalysis::supported() const { return d_->dialect != analysis::Dialect::None; }

analysis::Dialect LiveAnalysis::dialect() const { return d_->dialect; }

void LiveAnalysis::analyse(const GameState& position) {
    d_->request(gtp::gameOf(position), position.SideToMove, false, 0, 0);
}

void LiveAnalysis::judge(const GameState& position, int visits, int maxMs) {
    judge(gtp::gameOf(position), position.SideToMove, visits, maxMs);
}

void LiveAnalysis::judge(const gtp::Game& target, int toMove, int visits, int maxMs) {
    d_->request(target, toMove, true, std::max(1, visits), std::max(1, maxMs));
}

void LiveAnalysis::stop() {
    d_->want.reset();
    d_->judgeTimer.stop();
    d_->dirty = false;
    d_->schedule();
}

void LiveAnalysis::end() {
    d_->dropEngine();
    d_->want.reset();
    d_->probeWanted = false;
}

}  // namespace tavrin
