#include "engine/EngineProcess.h"

#include <signal.h>
#include <unistd.h>

#include <utility>

namespace tavrin {

namespace {

// Error output kept: enough for a few long lines; older bytes go as new ones come.
constexpr qsizetype ErrKeep = 8 * 1024;
constexpr int ErrLineChars = 200;

}  // namespace

EngineProcess::EngineProcess(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (inFlight_ && state_ == State::Running) emit timedOut();
    });
}

EngineProcess::~EngineProcess() { kill(); }

void EngineProcess::start(const QStringList& argv) {
    if (state_ != State::Idle || argv.isEmpty()) return;
    proc_ = new QProcess(this);
    proc_->setProgram(argv.front());
    proc_->setArguments(argv.mid(1));
    proc_->setProcessChannelMode(QProcess::SeparateChannels);
    // A group of its own: whatever the engine starts ends with it.
    proc_->setChildProcessModifier([] { ::setsid(); });
    connect(proc_, &QProcess::readyReadStandardOutput, this, &EngineProcess::readAnswers);
    connect(proc_, &QProcess::readyReadStandardError, this, &EngineProcess::readErrors);
    connect(proc_, &QProcess::finished, this, &EngineProcess::onFinished);
    connect(proc_, &QProcess::errorOccurred, this, &EngineProcess::onError);
    state_ = State::Running;
    QProcess* p = proc_;
    p->start(QIODevice::ReadWrite);
    // A start that failed at once may have ended this process already.
    if (proc_ == p) pid_ = p->processId();
}

void EngineProcess::send(const gtp::Command& c, int limitMs) {
    if (state_ != State::Running || inFlight_) return;
    ++id_;
    const std::string line = c.line(id_);
    sentText_ = QString::fromStdString(c.line()).trimmed();
    inFlight_ = true;
    deadline_.start(limitMs);
    // Written while the process may still be starting: QProcess keeps it until the pipe takes it.
    proc_->write(line.data(), static_cast<qint64>(line.size()));
}

void EngineProcess::startStream(const gtp::Command& c, int limitMs) {
    if (state_ != State::Running || inFlight_) return;
    send(c, limitMs);
    stream_ = Stream::Head;
    streamLimitMs_ = limitMs;
}

void EngineProcess::stopStream(const std::optional<gtp::Command>& next, int limitMs) {
    if (state_ != State::Running || stream_ != Stream::Lines) return;
    stream_ = Stream::Stopping;
    stopAnswered_ = next.has_value();
    std::string line = "\n";
    if (next) {
        line = next->line(++id_);
        sentText_ = QString::fromStdString(next->line()).trimmed();
    }
    deadline_.start(limitMs);
    proc_->write(line.data(), static_cast<qint64>(line.size()));
}

void EngineProcess::endStream(bool answerFollows) {
    stream_ = Stream::None;
    if (!answerFollows) {
        inFlight_ = false;
        deadline_.stop();
    }
    emit streamEnded();
}

void EngineProcess::takeStreamLine(const std::string& line) {
    switch (stream_) {
        case Stream::Head: {
            if (line.empty()) return;  // empty lines before an answer are skipped
            gtp::AnswerReader head;
            head.feed(line);
            head.feed("\n\n");
            const auto a = head.next();
            if (!a || !a->ok() || (a->id && *a->id != id_)) {
                // No stream: a refusal or garbage, read to its end as any answer.
                stream_ = Stream::None;
                reader_.feed(line + '\n');
                return;
            }
            stream_ = Stream::Lines;
            deadline_.start(streamLimitMs_);
            emit streamStarted();
            if (!a->text.empty() && stream_ == Stream::Lines) emit streamLine(QByteArray::fromStdString(a->text));
            return;
        }
        case Stream::Lines:
            if (line.empty()) return endStream(false);  // the engine ended it itself
            deadline_.start(streamLimitMs_);
            emit streamLine(QByteArray::fromStdString(line));
            return;
        case Stream::Stopping:
            if (line.empty()) return endStream(stopAnswered_);
            if (stopAnswered_ && (line[0] == '=' || line[0] == '?')) {
                // The answer to the command that stopped it, without the empty line before.
                reader_.feed(line + '\n');
                return endStream(true);
            }
            return;  // written before the engine read the stop
        case Stream::None: return;
    }
}

void EngineProcess::extendLimit(int limitMs) {
    if (inFlight_ && state_ == State::Running) deadline_.start(limitMs);
}

void EngineProcess::readAnswers() {
    if (state_ != State::Running) return;
    const QByteArray bytes = proc_->readAllStandardOutput();
    std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // A stream's lines are taken one by one here; what follows its end is read as answers.
    while (stream_ != Stream::None && !rest.empty()) {
        const std::size_t nl = rest.find('\n');
        for (char c : rest.substr(0, nl)) {
            const auto u = static_cast<unsigned char>(c);
            if ((u < 0x20 && u != '\t') || u == 0x7f) continue;
            if (streamPartial_.size() < gtp::AnswerReader::MaxAnswerBytes) {
                streamPartial_ += u == '\t' ? ' ' : c;
            } else {
                streamCut_ = true;
            }
        }
        if (nl == std::string_view::npos) return;
        rest.remove_prefix(nl + 1);
        std::string line = std::move(streamPartial_);
        streamPartial_.clear();
        if (std::exchange(streamCut_, false)) {
            line = "(line longer than " + std::to_string(gtp::AnswerReader::MaxAnswerBytes) + " bytes)";
        }
        takeStreamLine(line);  // may stop the stream, start another or kill this process
        if (state_ != State::Running) return;
    }
    reader_.feed(rest);
    // One answer per command: a second one read together with it was written before the next
    // command, so it belongs to none.
    bool delivered = false;
    while (state_ == State::Running) {
        auto a = reader_.next();
        if (!a) break;
        if (!inFlight_ || delivered) {
            stray_ = true;
            continue;
        }
        delivered = true;
        if (a->id && *a->id != id_) {
            // An answer to another command: the conversation is out of step.
            a->kind = gtp::AnswerKind::Garbage;
            a->text = "(id " + std::to_string(*a->id) + ") " + a->text;
        }
        inFlight_ = false;
        deadline_.stop();
        emit answered(*a);  // may send the next command or kill this process
    }
}

void EngineProcess::readErrors() {
    if (proc_ == nullptr) return;
    errTail_ += proc_->readAllStandardError();
    if (errTail_.size() > 2 * ErrKeep) {
        errTail_.remove(0, errTail_.size() - ErrKeep);
        errCut_ = true;
    }
}

QString EngineProcess::errorTail(int count) const {
    QList<QByteArray> lines = errTail_.split('\n');
    if (errCut_ && !lines.isEmpty()) lines.removeFirst();
    QStringList out;
    for (auto it = lines.crbegin(); it != lines.crend() && out.size() < count; ++it) {
        QString line = QString::fromLocal8Bit(*it).trimmed();
        if (line.isEmpty()) continue;
        if (line.size() > ErrLineChars) line = line.left(ErrLineChars) + QStringLiteral("…");
        out.prepend(line);
    }
    return out.join(u'\n');
}

void EngineProcess::onFinished(int exitCode, QProcess::ExitStatus status) {
    if (state_ != State::Running) return;
    readErrors();
    readAnswers();  // an answer written just before the end still counts
    if (state_ != State::Running) return;
    state_ = State::Ended;
    inFlight_ = false;
    stream_ = Stream::None;
    deadline_.stop();
    killGroup();  // what the engine left running in its group
    const QString how =
        status == QProcess::CrashExit ? QStringLiteral("強制終了") : QStringLiteral("終了コード %1").arg(exitCode);
    emit ended(false, how);
}

void EngineProcess::onError(QProcess::ProcessError error) {
    if (state_ != State::Running || error != QProcess::FailedToStart) return;
    state_ = State::Ended;
    inFlight_ = false;
    stream_ = Stream::None;
    deadline_.stop();
    emit ended(true, proc_->errorString());
}

void EngineProcess::killGroup() {
    if (pid_ > 0) ::kill(static_cast<pid_t>(-pid_), SIGKILL);
}

void EngineProcess::kill() {
    deadline_.stop();
    inFlight_ = false;
    stream_ = Stream::None;
    state_ = State::Ended;
    if (proc_ == nullptr) return;
    proc_->disconnect(this);
    if (proc_->state() != QProcess::NotRunning) {
        killGroup();
        proc_->kill();
        proc_->waitForFinished(100);
    }
    if (proc_->state() == QProcess::NotRunning) {
        proc_->deleteLater();  // this may run inside one of its signals
    } else {
        // Not reaped yet (a process stuck in the kernel): QProcess's destructor would wait for
        // it, so it goes when it has ended instead.
        proc_->setParent(nullptr);
        connect(proc_, &QProcess::finished, proc_, &QObject::deleteLater);
    }
    proc_ = nullptr;
}

}  // namespace tavrin
