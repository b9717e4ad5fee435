#pragma once
// An analysis engine at work: one engine process that speaks kata-analyze or lz-analyze,
// brought to a position and streaming its candidate moves there until told otherwise. For
// 検討 it hands on the candidates a few times a second; for a review it judges one position
// after a number of visits or a time. Everything is asynchronous; a fault of the engine
// (its death, silence or nonsense) ends the engine and is said in Japanese, and the next
// request starts another.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Analysis.h"
#include "game/GameState.h"

namespace tavrin {

class LiveAnalysis : public QObject {
    Q_OBJECT
public:
    // Candidates are handed on at most this often.
    static constexpr int ThrottleMs = 200;
    // The engine writes a line of candidates this often (hundredths of a second).
    static constexpr int IntervalCentis = 10;

    explicit LiveAnalysis(QObject* parent = nullptr);
    ~LiveAnalysis() override;  // ends the engine's process group, never waits long

    // The engine's command line as the user wrote it; "" is the default engine (GNU Go,
    // which cannot analyse). A running engine of another command line is ended.
    void setCommandLine(const QString& line);
    // The engine as a program and its arguments, taken as they are.
    void setArguments(const QStringList& argv);
    // How long the engine may stay silent (no answer, no line of its stream) before it counts
    // as hung; 10 s unless set. Its first answer after the start may take a minute (a network
    // is loaded first).
    void setTimeLimit(int ms);

    // Starts the engine when none runs and asks for its commands; ready follows (or failed).
    void probe();
    // The engine, asked with list_commands, speaks one of the analysis dialects.
    bool supported() const;
    analysis::Dialect dialect() const;

    // Streams candidates for the side to move at position's shown move: candidates follows
    // with each new set (at most every ThrottleMs) until stop or another request.
    void analyse(const GameState& position);
    // Lets the engine search position until its candidates hold visits visits in all, or
    // for maxMs at most, then stops the stream and answers with judged.
    void judge(const GameState& position, int visits, int maxMs);
    // The same for target's position with toMove (Black or White) to move.
    void judge(const gtp::Game& target, int toMove, int visits, int maxMs);
    // Ends the request under way; the engine stays for the next one.
    void stop();
    // Ends the request and the engine's process group at once, with no signal; the next
    // request starts another engine.
    void end();

signals:
    void ready(bool supported);
    void candidates(std::vector<tavrin::analysis::Candidate> bestFirst);
    // Black's winning chance (0..1), black's lead in points when the engine tells it, and the
    // engine's best move (a board position or PassPos).
    void judged(double blackWinrate, std::optional<double> blackLead, int bestPos);
    void failed(QString message);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace tavrin
