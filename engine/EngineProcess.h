#pragma once
// One engine process on its pipes: started in a process group of its own, at most one GTP
// command in flight, each with a time limit, the error output drained as it comes with its last
// lines kept, and an end that kills the whole group without waiting more than a moment.
// A command may also be one whose answer is a stream of lines (an analysis) that lasts until
// the next command is written.

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <string>

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

    // Writes c, whose answer is "=" and then a line at a time until the next command: when
    // the engine accepts it streamStarted follows, then streamLine per line, each within
    // limitMs of the one before (else timedOut); a refusal or garbage comes with answered
    // instead. The stream stays in flight until stopStream or an empty line of the engine
    // (streamEnded) ends it.
    void startStream(const gtp::Command& c, int limitMs);
    // The stream's "=" has been read and its end not yet asked for.
    bool streaming() const { return stream_ == Stream::Lines; }
    // Ends a started stream by writing next (streamEnded, then answered for next, follow) or,
    // without one, an empty line (streamEnded alone follows), each within limitMs. Lines the
    // engine wrote before it read this are dropped.
    void stopStream(const std::optional<gtp::Command>& next, int limitMs);

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
    void streamStarted();
    // One line of the stream, control characters dropped; never empty.
    void streamLine(QByteArray line);
    void streamEnded();

private:
    enum class State { Idle, Running, Ended };
    // Head: the stream's first line is awaited; Lines: streaming; Stopping: lines are dropped
    // up to the empty line that ends the stream.
    enum class Stream { None, Head, Lines, Stopping };

    void readAnswers();
    // Takes one line of a stream; what is left of it for the answer reader goes to reader_.
    void takeStreamLine(const std::string& line);
    void endStream(bool answerFollows);
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
    Stream stream_ = Stream::None;
    int streamLimitMs_ = 0;
    bool stopAnswered_ = false;  // the stream was stopped by a command that will be answered
    std::string streamPartial_;  // the stream line being read
    bool streamCut_ = false;     // it was too long and has been cut
    QByteArray errTail_;
    bool errCut_ = false;  // errTail_ starts inside a line
};

}  // namespace tavrin
