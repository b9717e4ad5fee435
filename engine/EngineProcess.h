#pragma once
// One engine process on its pipes: started in a process group of its own, at most one GTP
// command in flight, each with a time limit, the error output drained as it comes with its last
// lines kept, and an end that kills the whole group without waiting more than a moment.

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "engine/Gtp.h"

namespace tavrin {

class EngineProcess : public QObject {
    Q_OBJECT
public:
    explicit EngineProcess(QObject* parent = nullptr);
    ~EngineProcess() override;  // kill()

    // Starts argv[0] with the rest as its arguments; ended follows when it cannot start.
    void start(const QStringList& argv);
    // Started and not ended (yet).
    bool running() const { return state_ == State::Running; }
    // The process id (= its process group), 0 before start.
    qint64 processId() const { return pid_; }

    // Writes c; answered, timedOut or ended follow. Only one command may be in flight.
    void send(const gtp::Command& c, int limitMs);
    bool inFlight() const { return inFlight_; }
    // The command in flight as written, without its id ("genmove B").
    const QString& sentText() const { return sentText_; }
    // The command in flight gets limitMs more from now.
    void extendLimit(int limitMs);
    // The engine wrote an answer nobody asked for: what it says next cannot be trusted.
    bool strayOutput() const { return stray_; }

    // Kills the process group and reaps the process within about 100 ms; no signals after.
    void kill();

    // The last lines of the error output, at most count, each cut to a readable length.
    QString errorTail(int count = 6) const;

signals:
    void answered(tavrin::gtp::Answer answer);
    // The command in flight had no answer within its limit; it stays in flight.
    void timedOut();
    // The process could not start (neverStarted) or ended by itself; how, in a few words.
    void ended(bool neverStarted, QString how);

private:
    enum class State { Idle, Running, Ended };

    void readAnswers();
    void readErrors();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void killGroup();

    QProcess* proc_ = nullptr;
    State state_ = State::Idle;
    qint64 pid_ = 0;
    gtp::AnswerReader reader_;
    QTimer deadline_;
    bool inFlight_ = false;
    int id_ = 0;
    QString sentText_;
    bool stray_ = false;
    QByteArray errTail_;
    bool errCut_ = false;  // errTail_ starts inside a line
};

}  // namespace tavrin
