#pragma once
// 棋譜解析: the engine judges every position of a line in the background, in several engine
// processes at once (each plays forward through the stretches of the line it takes): the lead
// (estimate_score) and the move it prefers for the side to move (top_moves_black/white), with
// the lead after that move when it is not the one played and the move played lost lead. An
// engine that speaks kata-analyze or lz-analyze instead judges the positions one after another
// in one process (it uses every core itself): black's win rate and lead at each, and its best
// move there as the better move for the move played next. Everything is asynchronous; the
// record is never changed here (the window writes the judgements through GameRecord).

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Gtp.h"
#include "record/Review.h"

namespace tavrin {

class LiveAnalysis;

class GameReview : public QObject {
    Q_OBJECT
public:
    // GNU Go's level for a review. Level 0 is its fastest: over the 105 positions of a 209-move
    // professional game its estimate_score differed from level 1's by 0.13 points on average
    // (3.9 at most), and estimate_score with top_moves took 10.8 s against 11.5 s (level 2:
    // 13.6 s). The lead is what a review needs; level 0 tells it as well.
    static constexpr int DefaultLevel = 0;
    // Two cores: two engine processes.
    static constexpr int DefaultProcesses = 2;
    // Time limit of one command (GNU Go thinks far longer than usual on rare positions).
    static constexpr int DefaultLimitMs = 30000;
    // An analysis engine searches each position until its candidates hold this many visits,
    // or for this long at most.
    static constexpr int DefaultVisits = 200;
    static constexpr int DefaultVisitsMs = 1000;

    explicit GameReview(QObject* parent = nullptr);
    ~GameReview() override;  // kills the engines, never waits long

    // The time limit of each command from the next start.
    void setTimeLimit(int limitMs) { limitMs_ = limitMs; }
    // An analysis engine's search per position from the next start.
    void setSearch(int visits, int maxMs) {
        visits_ = visits;
        searchMs_ = maxMs;
    }

    // Judges positions 0..game.moves.size() of game (the setup stones and the first k moves)
    // with engines started as argv (the program first) at level (sent as "level N" when the
    // engine lists it), in `processes` processes at once. A review under way ends first (with
    // no signal). Nothing is reported from inside start: progress, judged and finished follow.
    void start(const gtp::Game& game, const QStringList& argv, int level = DefaultLevel,
               int processes = DefaultProcesses);
    // Kills the engines at once and reports finished(false, …); nothing after.
    void cancel();
    bool running() const { return running_; }

    // The judgements so far: index k for the position after move k (0: the start).
    const std::vector<Judgement>& judgements() const { return judgements_; }

signals:
    // Positions judged so far (those reported by judged) of total (moves + 1).
    void progress(int done, int total);
    // Position k is judged: lead, and for k >= 1 the better move for move k.
    void judged(int k, tavrin::Judgement judgement);
    // The review ended: complete, or stopped with a Japanese message saying why (the
    // judgements reported until then stand).
    void finished(bool complete, QString message);

private:
    struct Worker;
    using WorkerRef = std::shared_ptr<Worker>;

    bool alive(const WorkerRef& w) const;
    void startWorker(const WorkerRef& w);
    void send(const WorkerRef& w, const gtp::Command& c, int limitMs, std::function<void(const gtp::Answer&)> then);
    void nonsense(const WorkerRef& w, const gtp::Answer& a);
    // The next stretch of positions no process has taken; the process ends when none is left.
    void takeStretch(const WorkerRef& w);
    void syncTo(const WorkerRef& w, const gtp::Game& target, std::function<void()> then);
    void syncStep(const WorkerRef& w);
    void judgeLead(const WorkerRef& w);
    void judgeBetter(const WorkerRef& w);
    void judgePending(const WorkerRef& w);
    // The lead after the better move for move k, then then().
    void judgeBetterLead(const WorkerRef& w, int k, std::function<void()> then);
    void advance(const WorkerRef& w);
    // Reports position k once its lead and better move are both known.
    void settle(int k);
    gtp::Game positionAt(int k) const;
    void fail(const QString& why);
    void stop();
    // Asks the engine for its commands: an analysis engine judges every position in that
    // process (analyse), any other is left to `processes` processes (startWorkers).
    void probe(int processes);
    void startWorkers(int processes);
    void analyse();
    void analysed(double blackWinrate, std::optional<double> blackLead, int best);
    void dropAnalyser();

    gtp::Game game_;
    QStringList argv_;
    int level_ = DefaultLevel;
    int limitMs_ = DefaultLimitMs;
    int visits_ = DefaultVisits;
    int searchMs_ = DefaultVisitsMs;
    LiveAnalysis* analyser_ = nullptr;  // the analysis engine, while probed or judging
    int analysing_ = -1;                // the position it judges (-1 while probed)
    int stretch_ = 1;                   // positions a worker takes at a time
    int nextStart_ = 0;                 // the first position no worker has taken
    std::vector<WorkerRef> workers_;
    std::vector<Judgement> judgements_;
    std::vector<char> leadKnown_, betterKnown_, reported_;
    int done_ = 0;
    bool running_ = false;
    unsigned serial_ = 0;  // of the review under way; callbacks of an earlier one do nothing
};

}  // namespace tavrin
