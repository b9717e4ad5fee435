#pragma once
// The computer opponent's side of the window: what Rokiru is working on, the question asked
// and the position it was asked at, the moves 打ち直し rejected, the refusals in a row and the
// seconds it thinks. The window tells it what happened (the position changed, a hint, a
// judgement or a redo was asked for, stop) and hears back through its Host.

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandStates.h"
#include "engine/Rokiru.h"

class QTimer;
class QWidget;

namespace tavrin {

class Prompts;

class EngineTurn : public QObject {
    Q_OBJECT
public:
    using Task = EngineTask;

    // What the turn asks of the window.
    class Host {
    public:
        // Looks the engine up if that is still pending; true when its program can be found.
        virtual bool engineFound() = 0;
        // Plays the computer's move (a point, a pass or resignation) on the board's own road.
        virtual void playComputerMove(const EngineMove& move) = 0;
        // The hint's point (0 for a pass or resignation) and the text that names it.
        virtual void showHint(int pos, const QString& text) = 0;
        // The engine's estimate of the position the judgement was asked for.
        virtual void showEstimate(int leadTenths) = 0;
        // The message field; showProgress is the thinking time, which gives way to a judgement.
        virtual void showText(const QString& text) = 0;
        virtual void showProgress(const QString& text) = 0;
        // task() changed: the commands' states and the board's cursor follow it.
        virtual void thinkingChanged() = 0;
        // Play is suspended or a record is shown (the board replays).
        virtual bool replaying() const = 0;
        // The person gave up waiting past the time limit: the game is suspended.
        virtual void stopGame() = 0;
        // The engine failed at the computer's move: the game goes on between people.
        virtual void continueBetweenPeople() = 0;

    protected:
        ~Host() = default;
    };

    EngineTurn(Host& host, Prompts& prompts, QWidget* window, const GameState& game, const EngineSettings& settings);
    ~EngineTurn() override;

    Task task() const { return task_; }
    // Rokiru chooses a move: the turn is the computer's.
    bool choosingMove() const { return task_ == Task::Move || task_ == Task::Redo; }
    // The computer plays colour in this game.
    bool computerPlays(int colour) const;
    // The move before the shown position is the computer's.
    bool computerMovedLast() const;

    // After every change of the shown position: a hint or a judgement under way is dropped,
    // and once the event loop has turned the computer is asked for its move if it is its turn.
    void positionChanged();
    // Asks for the computer's move now when the game is played and the turn is the computer's.
    void askMove();
    void askHint();
    // The engine's estimate of the shown position, after the window's rough judgement; while
    // Rokiru thinks about a move or a hint, a second engine process of its own gives it.
    void askEstimate();
    // 打ち直し: rejectLastMove before the computer's last move is taken back, askRedo after.
    void rejectLastMove();
    void askRedo();
    // Stops what Rokiru is thinking about.
    void stop();
    // Ends the engine process (closing, or an engine given up on).
    void shutdownEngine();
    // The engine's settings changed: the next question goes to the engine now named.
    void engineChanged();
    // What the engine's restart said, once: the message field keeps it over the next position.
    QString takeNotice();

    // Counting: the engine's proposal of dead and seki stones; failed gets the engine's fault.
    void requestDeadStones(std::function<void(const std::vector<int>& dead, const std::vector<int>& seki)> chosen,
                           std::function<void(const QString& message)> failed);
    bool deadStonesAwaited() const { return static_cast<bool>(deadChosen_); }
    void cancelDeadStones();

    // An engine's move as the board names it ("Q 4", "パス", "投了").
    QString pointName(const EngineMove& m) const;

private:
    Rokiru& engine();
    Rokiru& judge();
    void stopJudging();
    Rokiru& begin(Task what);
    bool answerAwaited(Task kind);
    void moveChosen(EngineMove move, bool same);
    void failed(const QString& message);
    std::string positionKey() const;

    Host& host_;
    Prompts& prompts_;
    QWidget* window_;
    const GameState& game_;
    const EngineSettings& settings_;
    Rokiru* rokiru_ = nullptr;  // made when first needed
    Rokiru* judge_ = nullptr;   // the judgement's process while rokiru_ thinks, made when first needed
    bool judging_ = false;      // judge_ is asked for the judgement of estimated_
    QTimer* thinkTimer_ = nullptr;
    Task task_ = Task::None;
    int seconds_ = 0;
    int requestedAt_ = 0;            // CurrentMove when the open question was asked
    int refusedInRow_ = 0;           // the engine's moves refused one after the other
    QString notice_;                 // what the engine's restart said
    std::string estimated_;          // positionKey() of the judgement asked for
    std::vector<int> redoBefore_;    // the moves before the one 打ち直し took back last
    std::vector<int> redoRejected_;  // the computer's moves 打ち直し rejected there, the last first
    std::function<void(const std::vector<int>&, const std::vector<int>&)> deadChosen_;
    std::function<void(const QString&)> deadFailed_;
};

}  // namespace tavrin
