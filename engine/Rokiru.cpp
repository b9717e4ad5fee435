#include "engine/Rokiru.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "engine/CommandLine.h"
#include "engine/EngineProcess.h"

namespace tavrin {

namespace {

// Limits of the commands that need no thought: the first answer after a start (an engine may
// load a network first) and everything else.
constexpr int StartLimitMs = 15000;
constexpr int SetupLimitMs = 5000;
// Different moves asked for by 打ち直し before the engine's insistence is accepted.
constexpr int RedoTries = 4;
// Refused moves in a row after which the next question gives up.
constexpr int MaxRefusals = 3;

// Places searched after PATH for a bare program name (Debian puts its games there).
const char* const ExtraDirs[] = {"/usr/games", "/usr/local/games"};

bool executableFile(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat st {};
    return ::stat(p.constData(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.constData(), X_OK) == 0;
}

QString splitErrorText(SplitError e) {
    switch (e) {
        case SplitError::Empty: return QStringLiteral("空です");
        case SplitError::OpenQuote: return QStringLiteral("引用符が閉じていません");
        case SplitError::TrailingBackslash: return QStringLiteral("末尾に \\ があります");
        case SplitError::None: break;
    }
    return {};
}

QString commandLineOf(const EngineSettings& s) {
    return s.commandLine.trimmed().isEmpty() ? defaultEngineSettings().commandLine : s.commandLine;
}

QString levelName(int level) {
    static const QString names[] = {QStringLiteral("初級"), QStringLiteral("中級"), QStringLiteral("上級")};
    return names[std::clamp(level, 0, 2)];
}

// The move is one of the positions given (PassPos standing for a pass).
bool amongMoves(const EngineMove& m, const std::vector<int>& positions) {
    if (m.kind == EngineMove::Resign) return false;
    const int pos = m.kind == EngineMove::Pass ? PassPos : m.pos;
    return std::find(positions.begin(), positions.end(), pos) != positions.end();
}

}  // namespace

EngineSettings defaultEngineSettings() {
    EngineSettings s;
    s.commandLine = QStringLiteral("gnugo --mode gtp");
    s.levelArguments[0] = QStringLiteral("--level 1");
    s.levelArguments[1] = QStringLiteral("--level 5");
    s.levelArguments[2] = QStringLiteral("--level 8");
    s.moveSeconds = 60;
    return s;
}

QString findEngineProgram(const EngineSettings& s) {
    const SplitCommandLine split = splitCommandLine(commandLineOf(s).toStdString());
    if (!split.ok() || split.words.front().empty()) return {};
    const QString program = QString::fromStdString(split.words.front());
    if (program.contains(u'/')) {
        QStringList candidates{QDir::current().absoluteFilePath(program)};
        if (QDir::isRelativePath(program) && QCoreApplication::instance() != nullptr) {
            candidates << QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(program);
        }
        for (const QString& c : candidates) {
            if (executableFile(c)) return QDir::cleanPath(c);
        }
        return {};
    }
    QStringList dirs = QString::fromLocal8Bit(qgetenv("PATH")).split(u':');
    for (const char* d : ExtraDirs) dirs << QString::fromLatin1(d);
    for (QString dir : dirs) {
        if (dir.isEmpty()) dir = QStringLiteral(".");
        const QString path = QDir(dir).absoluteFilePath(program);
        if (executableFile(path)) return QDir::cleanPath(path);
    }
    return {};
}

QString quotedEngineText(const std::string& text) {
    QString t = QString::fromStdString(text).simplified();
    if (t.size() > 80) t = t.left(80) + QStringLiteral("…");
    return QStringLiteral("「%1」").arg(t);
}

QStringList engineArguments(const EngineSettings& s, int level, QString* error) {
    const QString line = commandLineOf(s);
    const SplitCommandLine split = splitCommandLine(line.toStdString());
    if (!split.ok()) {
        if (error) {
            *error =
                QStringLiteral("Rokiru のコマンドラインを読めません（%1）: %2").arg(splitErrorText(split.error), line);
        }
        return {};
    }
    const QString program = findEngineProgram(s);
    if (program.isEmpty()) {
        if (error) {
            *error = QStringLiteral("Rokiru（囲碁エンジン）が見つかりません: %1")
                         .arg(QString::fromStdString(split.words.front()));
        }
        return {};
    }
    QStringList argv{program};
    for (std::size_t i = 1; i < split.words.size(); ++i) {
        argv << QString::fromStdString(split.words[i]);
    }
    level = std::clamp(level, 0, 2);
    const QString extra = s.levelArguments[level];
    if (!extra.trimmed().isEmpty()) {
        const SplitCommandLine levelSplit = splitCommandLine(extra.toStdString());
        if (!levelSplit.ok()) {
            if (error) {
                *error = QStringLiteral("Rokiru の%1の引数を読めません（%2）: %3")
                             .arg(levelName(level), splitErrorText(levelSplit.error), extra);
            }
            return {};
        }
        for (const auto& w : levelSplit.words) argv << QString::fromStdString(w);
    }
    if (error) error->clear();
    return argv;
}

// ---- The computer player ----------------------------------------------------------------------

struct Rokiru::Impl {
    enum class Kind { None, Move, Redo, Hint, Dead, Estimate, Probe };

    // The open question.
    struct Question {
        Kind kind = Kind::None;
        unsigned serial = 0;
        QStringList argv;  // the engine it needs
        QString argvError;
        gtp::Game target;  // the engine's board while it is asked
        int colour = Black;
        std::vector<int> avoid;  // moves 打ち直し rejected here, the last one first
        bool topAsked = false;   // the engine's list of good moves was asked for
        int tries = 0;           // answers of 打ち直し so far
        unsigned seed = 0;       // of the next gg_genmove
        bool recovered = false;  // its one restart after a fault has been used
        std::vector<int> dead;
    };

    explicit Impl(Rokiru* owner) : self(owner) {}

    Rokiru* self;
    EngineSettings settings = defaultEngineSettings();
    int level = 0;

    EngineProcess* engine = nullptr;
    QStringList engineArgv;     // what the running engine was started with
    bool ready = false;         // it has answered name, version and list_commands
    bool levelTried = false;    // it was asked to play at its lowest level
    bool levelLowered = false;  // and does: below the level it was started with
    QString name, version;
    std::set<std::string, std::less<>> commands;
    // What the engine's board holds; empty when it is not known for sure.
    std::optional<gtp::Game> engineHas;

    int refusedInRow = 0;
    bool lastAnswerRefused = false;

    Question q;
    unsigned serials = 0;
    std::function<void(const gtp::Answer&)> onAnswer;  // of the command in flight
    bool thinking = false;                             // the command in flight is a question
    int limitMs = 0;                                   // of the command in flight
    std::vector<gtp::Command> syncQueue;
    std::size_t syncNext = 0;

    bool has(std::string_view command) const { return commands.count(command) > 0; }
    int moveLimitMs() const { return std::max(1, settings.moveSeconds) * 1000; }

    // ---- Questions ----

    void open(Kind kind, const gtp::Game& target, int colour, std::vector<int> avoid, const QStringList& argv,
              const QString& argvError) {
        abandon();
        q = Question{};
        q.kind = kind;
        q.serial = ++serials;
        q.argv = argv;
        q.argvError = argvError;
        q.target = target;
        q.colour = colour;
        q.avoid = std::move(avoid);
        q.seed = QRandomGenerator::global()->bounded(1u, 1u << 30);
        if (!lastAnswerRefused) refusedInRow = 0;
        // Nothing is answered from inside a request: the question starts with the next turn of
        // the event loop.
        const unsigned serial = q.serial;
        QMetaObject::invokeMethod(
            self,
            [this, serial] {
                if (q.serial == serial && q.kind != Kind::None) proceed();
            },
            Qt::QueuedConnection);
    }

    void proceed() {
        if (q.argv.isEmpty()) return fail(q.argvError, false);
        if (q.kind != Kind::Probe && refusedInRow >= MaxRefusals) {
            refusedInRow = 0;
            lastAnswerRefused = false;
            return fail(QStringLiteral("Rokiru が打てない所に %1 回続けて打とうとしました。").arg(MaxRefusals), false);
        }
        if (engine != nullptr && (engineArgv != q.argv || engine->strayOutput() || levelLowered)) dropEngine();
        if (engine == nullptr) return startEngine();
        if (!ready) return;  // the handshake under way goes on to the question
        afterHandshake();
    }

    void startEngine() {
        engine = new EngineProcess(self);
        engineArgv = q.argv;
        ready = false;
        engineHas.reset();
        commands.clear();
        QObject::connect(engine, &EngineProcess::answered, self, [this](const gtp::Answer& a) { answered(a); });
        QObject::connect(engine, &EngineProcess::timedOut, self, [this] { timedOut(); });
        QObject::connect(engine, &EngineProcess::ended, self,
                         [this](bool neverStarted, const QString& how) { ended(neverStarted, how); });
        const unsigned serial = q.serial;
        engine->start(engineArgv);
        if (engine == nullptr || q.serial != serial) return;  // it could not even start
        send(gtp::Command::name(), StartLimitMs, false, [this](const gtp::Answer& a) {
            if (a.kind == gtp::AnswerKind::Garbage) return notGtp(a);
            name = a.ok() ? QString::fromStdString(a.text).simplified() : QString();
            send(gtp::Command::version(), SetupLimitMs, false, [this](const gtp::Answer& a) {
                if (a.kind == gtp::AnswerKind::Garbage) return notGtp(a);
                version = a.ok() ? QString::fromStdString(a.text).simplified() : QString();
                send(gtp::Command::listCommands(), SetupLimitMs, false, [this](const gtp::Answer& a) {
                    if (a.kind == gtp::AnswerKind::Garbage) return notGtp(a);
                    auto list = a.ok() ? gtp::parseCommandList(a.text) : std::nullopt;
                    if (list) commands = std::move(*list);
                    ready = true;
                    afterHandshake();
                });
            });
        });
    }

    void notGtp(const gtp::Answer& a) {
        fail(QStringLiteral("Rokiru（囲碁エンジン）が GTP で応答しません: %1\n%2")
                 .arg(engineArgv.value(0), quotedEngineText(a.text)));
    }

    void afterHandshake() {
        if (q.kind == Kind::None) return;  // an engine started by a question since cancelled
        if (q.kind == Kind::Probe) {
            const QString n = name, v = version;
            const int count = static_cast<int>(commands.size());
            endQuestion();
            emit self->probed(n, v, count);
            return;
        }
        if (q.kind == Kind::Dead && !has("final_status_list")) {
            return fail(QStringLiteral("Rokiru は死に石を判定できません（final_status_list がありません）。"), false);
        }
        sync();
    }

    // Brings the engine's board to the question's game, then asks.
    void sync() {
        auto plan = engineHas ? gtp::syncPlan(*engineHas, q.target, has("undo")) : gtp::syncPlan(q.target);
        if (!plan) return fail(QStringLiteral("この局面を Rokiru に伝えられません。"), false);
        syncQueue = std::move(*plan);
        syncNext = 0;
        if (!syncQueue.empty()) engineHas.reset();  // unknown until the last command is through
        syncStep();
    }

    void syncStep() {
        if (syncNext == syncQueue.size()) {
            engineHas = q.target;
            return ask();
        }
        const gtp::Command c = syncQueue[syncNext++];
        send(c, SetupLimitMs, false, [this, c](const gtp::Answer& a) {
            if (a.ok()) return syncStep();
            const QString what = QString::fromStdString(c.line()).trimmed();
            if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
            doubt(QStringLiteral("Rokiru が局面を受け付けなかったので、再起動しました（%1 → %2）。")
                      .arg(what, quotedEngineText(a.text)),
                  QStringLiteral("Rokiru がこの局面を受け付けません（%1 → %2）。").arg(what, quotedEngineText(a.text)));
        });
    }

    void ask() {
        switch (q.kind) {
            case Kind::Move:
                return send(*gtp::Command::genmove(q.colour), moveLimitMs(), true, [this](const gtp::Answer& a) {
                    if (auto m = moveOf(a, true)) finishMove(*m, false);
                });
            case Kind::Redo: return askRedo();
            case Kind::Hint:
                if (has("reg_genmove")) {
                    return send(*gtp::Command::regGenmove(q.colour), moveLimitMs(), true, [this](const gtp::Answer& a) {
                        if (auto m = moveOf(a, false)) finishHint(*m);
                    });
                }
                // genmove plays the move; the next question's sync takes it back.
                return send(*gtp::Command::genmove(q.colour), moveLimitMs(), true, [this](const gtp::Answer& a) {
                    if (auto m = moveOf(a, true)) finishHint(*m);
                });
            case Kind::Dead: return askDead();
            case Kind::Estimate:
                return send(gtp::Command::estimateScore(), moveLimitMs(), true, [this](const gtp::Answer& a) {
                    const std::optional<int> lead = a.ok() ? gtp::parseEstimate(a.text) : std::nullopt;
                    if (!lead) return unreadable(a);
                    endQuestion();
                    emit self->estimateChosen(*lead);
                });
            case Kind::None:
            case Kind::Probe: return;
        }
    }

    void askRedo() {
        // The engine's own list of good moves first: its best one not yet rejected.
        const auto top = gtp::Command::topMoves(q.colour);
        if (!q.topAsked && top && has(top->commandName())) {
            q.topAsked = true;
            return send(*top, moveLimitMs(), true, [this](const gtp::Answer& a) {
                if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
                // A refusal or an empty list: asked the other way.
                const auto list = a.ok() ? gtp::parseTopMoves(a.text, q.target.boardSize) : std::nullopt;
                for (int pos : list.value_or(std::vector<int>{})) {
                    const EngineMove m{EngineMove::Point, pos};
                    if (!amongMoves(m, q.avoid)) return playRedo(m, false);
                }
                askRedo();
            });
        }
        if (has("gg_genmove")) {
            // A move with a fresh seed, not played: the engine's board stays as synced.
            return send(*gtp::Command::ggGenmove(q.colour, q.seed++), moveLimitMs(), true,
                        [this](const gtp::Answer& a) {
                            auto m = moveOf(a, false);
                            if (!m) return;
                            const bool same = amongMoves(*m, q.avoid);
                            if (same && ++q.tries < RedoTries) return askRedo();
                            playRedo(*m, same);
                        });
        }
        send(*gtp::Command::genmove(q.colour), moveLimitMs(), true, [this](const gtp::Answer& a) {
            auto m = moveOf(a, true);
            if (!m) return;
            const bool same = amongMoves(*m, q.avoid);
            if (same && ++q.tries < RedoTries) return sync();  // undo (or replay) and ask again
            finishMove(*m, same);
        });
    }

    // Puts the chosen re-move on the engine's board.
    void playRedo(const EngineMove& m, bool same) {
        if (m.kind == EngineMove::Resign) return finishMove(m, same);
        const int pos = m.kind == EngineMove::Pass ? PassPos : m.pos;
        auto c = gtp::Command::play(q.colour, pos, q.target.boardSize);
        send(*c, SetupLimitMs, false, [this, m, same, pos, c](const gtp::Answer& a) {
            if (!a.ok()) {
                if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
                const QString what = QString::fromStdString(c->line()).trimmed();
                return doubt(QStringLiteral("Rokiru が自分の手を受け付けなかったので、再起動しました（%1 → %2）。")
                                 .arg(what, quotedEngineText(a.text)),
                             QStringLiteral("Rokiru が自分の手を受け付けません（%1 → %2）。")
                                 .arg(what, quotedEngineText(a.text)));
            }
            if (engineHas) engineHas->moves.push_back({q.colour, pos});
            finishMove(m, same);
        });
    }

    void askDead() {
        // At its usual level the engine may play the game out for a minute before it names the
        // dead stones: they are asked at its lowest level. This process keeps that level, so the
        // next question starts another one with the level's own arguments.
        if (has("level") && !levelTried) {
            levelTried = true;
            return send(gtp::Command::level(1), SetupLimitMs, false, [this](const gtp::Answer& a) {
                if (a.kind == gtp::AnswerKind::Garbage) return unreadable(a);
                levelLowered = levelLowered || a.ok();
                askDead();
            });
        }
        send(gtp::Command::finalStatusList(gtp::FinalStatus::Dead), moveLimitMs(), true, [this](const gtp::Answer& a) {
            auto dead = stonesOf(a, true);
            if (!dead) return;
            q.dead = std::move(*dead);
            send(gtp::Command::finalStatusList(gtp::FinalStatus::Seki), moveLimitMs(), true,
                 [this](const gtp::Answer& a) {
                     // An engine that knows no seki says so with '?': there is none then.
                     auto seki = a.kind == gtp::AnswerKind::Failure ? std::vector<int>{} : stonesOf(a, false);
                     if (!seki) return;
                     std::vector<int> d = std::move(q.dead);
                     endQuestion();
                     emit self->statusChosen(std::move(d), std::move(*seki));
                 });
        });
    }

    // The move an answer names; empty (the fault already handled) when it names none.
    // played: the engine put the move on its board.
    std::optional<EngineMove> moveOf(const gtp::Answer& a, bool played) {
        if (a.kind == gtp::AnswerKind::Garbage) {
            unreadable(a);
            return std::nullopt;
        }
        if (!a.ok()) {
            doubt(QStringLiteral("Rokiru が手を答えなかったので、再起動しました: %1").arg(quotedEngineText(a.text)),
                  QStringLiteral("Rokiru が手を答えません: %1").arg(quotedEngineText(a.text)));
            return std::nullopt;
        }
        const gtp::Vertex v = gtp::parseMoveAnswer(a.text, q.target.boardSize);
        EngineMove m;
        switch (v.kind) {
            case gtp::VertexKind::Point: m = {EngineMove::Point, v.pos}; break;
            case gtp::VertexKind::Pass: m = {EngineMove::Pass, 0}; break;
            case gtp::VertexKind::Resign: return EngineMove{EngineMove::Resign, 0};
            case gtp::VertexKind::OffBoard:
                doubt(QStringLiteral("Rokiru が盤の外に打とうとしたので、再起動しました: %1")
                          .arg(quotedEngineText(a.text)),
                      QStringLiteral("Rokiru が盤の外に打とうとしました: %1").arg(quotedEngineText(a.text)));
                return std::nullopt;
            case gtp::VertexKind::Invalid: unreadable(a); return std::nullopt;
        }
        if (played && engineHas) {
            engineHas->moves.push_back({q.colour, m.kind == EngineMove::Pass ? PassPos : m.pos});
        }
        return m;
    }

    std::optional<std::vector<int>> stonesOf(const gtp::Answer& a, bool failureIsFault) {
        if (a.kind == gtp::AnswerKind::Failure && failureIsFault) {
            fail(QStringLiteral("Rokiru が死に石を判定できませんでした: %1").arg(quotedEngineText(a.text)));
            return std::nullopt;
        }
        auto list = a.ok() ? gtp::parseVertexList(a.text, q.target.boardSize) : std::nullopt;
        if (!list) unreadable(a);
        return list;
    }

    void unreadable(const gtp::Answer& a) {
        doubt(QStringLiteral("Rokiru の答えを読めなかったので、再起動しました: %1").arg(quotedEngineText(a.text)),
              QStringLiteral("Rokiru の答えを読めません: %1").arg(quotedEngineText(a.text)));
    }

    void finishMove(const EngineMove& m, bool same) {
        lastAnswerRefused = false;
        endQuestion();
        emit self->moveChosen(m, same);
    }

    void finishHint(const EngineMove& m) {
        endQuestion();
        emit self->hintChosen(m);
    }

    // ---- Commands and faults ----

    void send(const gtp::Command& c, int limitMs, bool isQuestion, std::function<void(const gtp::Answer&)> then) {
        onAnswer = std::move(then);
        thinking = isQuestion;
        this->limitMs = limitMs;
        engine->send(c, limitMs);
    }

    void answered(const gtp::Answer& a) {
        auto then = std::move(onAnswer);
        onAnswer = nullptr;
        thinking = false;
        if (q.kind == Kind::None || !then) return;
        then(a);
    }

    void timedOut() {
        if (q.kind == Kind::None) return;
        if (thinking) {
            emit self->timeLimitReached();
            return;
        }
        fail(QStringLiteral("Rokiru が %1 秒以内に応答しませんでした（%2）。")
                 .arg(limitMs / 1000)
                 .arg(engine->sentText()));
    }

    void ended(bool neverStarted, const QString& how) {
        if (q.kind == Kind::None) {
            dropEngine();  // an idle engine that died: the next question starts another
            return;
        }
        if (neverStarted || !ready) {
            return fail(
                QStringLiteral("Rokiru（囲碁エンジン）を起動できませんでした: %1（%2）").arg(engineArgv.value(0), how));
        }
        doubt(QStringLiteral("Rokiru が異常終了したので、再起動しました（%1）。").arg(how),
              QStringLiteral("Rokiru が再起動後も異常終了しました（%1）。").arg(how));
    }

    // A fault the question may survive once: the engine starts again from Tavrin's game and
    // the question is asked again; the second fault ends it.
    void doubt(const QString& restartMessage, const QString& failMessage) {
        if (q.recovered) return fail(failMessage);
        q.recovered = true;
        dropEngine();
        const unsigned serial = q.serial;
        proceed();
        if (q.serial == serial && q.kind != Kind::None) emit self->restarted(restartMessage);
    }

    void fail(const QString& message, bool withErrors = true) {
        QString text = message;
        const QString tail = withErrors && engine != nullptr ? engine->errorTail() : QString();
        if (!tail.isEmpty()) text += u'\n' + tail;
        dropEngine();
        endQuestion();
        emit self->failed(text);
    }

    void endQuestion() {
        q.kind = Kind::None;
        q.serial = ++serials;
        syncQueue.clear();
        onAnswer = nullptr;
        thinking = false;
    }

    // Ends the open question without a word; an engine in the middle of a command cannot be
    // interrupted and is killed.
    void abandon() {
        if (q.kind == Kind::None) return;
        endQuestion();
        if (engine != nullptr && (engine->inFlight() || !ready)) dropEngine();
    }

    void dropEngine() {
        // Refusals counted against this process do not follow into the next one.
        refusedInRow = 0;
        lastAnswerRefused = false;
        if (engine == nullptr) return;
        engine->disconnect(self);
        engine->kill();
        engine->deleteLater();
        engine = nullptr;
        engineArgv.clear();
        ready = false;
        levelTried = levelLowered = false;
        engineHas.reset();
        onAnswer = nullptr;
        thinking = false;
    }
};

Rokiru::Rokiru(QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) {}

Rokiru::~Rokiru() {
    // The engine object itself goes with this object's children.
    d->endQuestion();
    if (d->engine != nullptr) {
        d->engine->disconnect(this);
        d->engine->kill();
    }
}

void Rokiru::configure(const EngineSettings& s, int level) {
    d->settings = s;
    d->level = std::clamp(level, 0, 2);
}

void Rokiru::requestMove(const GameState& g, int colour) {
    QString error;
    const QStringList argv = engineArguments(d->settings, d->level, &error);
    d->open(Impl::Kind::Move, gtp::gameOf(g), colour, {}, argv, error);
}

void Rokiru::requestRedo(const GameState& g, int colour, std::vector<int> avoid) {
    QString error;
    const QStringList argv = engineArguments(d->settings, d->level, &error);
    gtp::Game target = gtp::gameOf(g);
    // Given the game with the move still on it, the question is about the position before it.
    if (!avoid.empty() && !target.moves.empty() && target.moves.back() == gtp::Stone{colour, avoid.front()}) {
        target.moves.pop_back();
    }
    d->open(Impl::Kind::Redo, target, colour, std::move(avoid), argv, error);
}

void Rokiru::requestHint(const GameState& g, int colour) {
    QString error;
    const QStringList argv = engineArguments(d->settings, d->level, &error);
    d->open(Impl::Kind::Hint, gtp::gameOf(g), colour, {}, argv, error);
}

void Rokiru::requestDeadStones(const GameState& g) {
    QString error;
    const QStringList argv = engineArguments(d->settings, d->level, &error);
    d->open(Impl::Kind::Dead, gtp::gameOf(g), Black, {}, argv, error);
}

void Rokiru::requestEstimate(const GameState& g) {
    QString error;
    const QStringList argv = engineArguments(d->settings, d->level, &error);
    d->open(Impl::Kind::Estimate, gtp::gameOf(g), Black, {}, argv, error);
}

void Rokiru::probe(const EngineSettings& s, int level) {
    QString error;
    const QStringList argv = engineArguments(s, level, &error);
    d->open(Impl::Kind::Probe, gtp::Game{}, Black, {}, argv, error);
}

void Rokiru::cancel() { d->abandon(); }

void Rokiru::keepWaiting() {
    if (d->q.kind != Impl::Kind::None && d->thinking && d->engine != nullptr) {
        d->engine->extendLimit(d->moveLimitMs());
    }
}

void Rokiru::shutdown() {
    d->endQuestion();
    d->dropEngine();
}

bool Rokiru::busy() const { return d->q.kind != Impl::Kind::None; }

QString Rokiru::engineName() const { return (d->name + u' ' + d->version).trimmed(); }

void Rokiru::moveRefused() {
    // The engine played the refused move on its board (genmove): rebuild it from the game.
    d->engineHas.reset();
    d->lastAnswerRefused = true;
    ++d->refusedInRow;
}

}  // namespace tavrin
