#pragma once
// Rokiru, the computer player: one GTP engine process, supervised, brought to Tavrin's game
// before every question. The game is Tavrin's: Rokiru never changes it, it proposes moves
// and the window plays them (or refuses them and says so). Everything is asynchronous; at
// most one question is open at a time, and a new question or cancel() ends the open one.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/Gtp.h"
#include "game/GameState.h"

namespace tavrin {

// What the engine answered to a move request.
struct EngineMove {
    enum Kind { Point, Pass, Resign };
    Kind kind = Pass;
    int pos = 0;  // a board position for Point
};

// How Rokiru is started: the program and its arguments per level, and the time limit of a
// move. Kept in the settings file's [Engine] section by the window.
struct EngineSettings {
    QString commandLine;           // "" = GNU Go at its usual places
    QString levelArguments[3];     // 初級, 中級, 上級: appended to the command line
    int moveSeconds = 60;          // time limit of one move request
    int reviewLevel = 0;           // 棋譜解析: the engine's level (GNU Go's 0..10)
    double reviewThreshold = 5.0;  // 棋譜解析: a loss of more points is marked
};

// The default command line ("gnugo --mode gtp") and level arguments ("--level 1/5/8").
EngineSettings defaultEngineSettings();

// The program of the command line found on disk (a cheap look-up: PATH, /usr/games, an
// absolute or relative path), "" when there is none. No process is started.
QString findEngineProgram(const EngineSettings& s);

// The argument vector for a level (0 初級, 1 中級, 2 上級), empty with error text when the
// command line cannot be split or names no program that can be found.
QStringList engineArguments(const EngineSettings& s, int level, QString* error = nullptr);

// An engine's text as it may appear in a message: one line, not too long, in 「」.
QString quotedEngineText(const std::string& text);

class Rokiru : public QObject {
    Q_OBJECT
public:
    explicit Rokiru(QObject* parent = nullptr);
    ~Rokiru() override;  // ends the engine process (its whole process group), never waits long

    // Settings and level for the next start; a running engine with other arguments is
    // restarted before the next question.
    void configure(const EngineSettings& s, int level);

    // Questions. Each syncs the engine's board to g first (boardsize, clear_board, komi,
    // handicap by set_free_handicap, plays; undo where cheaper), then asks.
    // A move for colour at g's shown position (genmove); answers with moveChosen.
    void requestMove(const GameState& g, int colour);
    // A move for colour other than those of avoid (positions, PassPos for a pass; the move
    // just taken back first): the best of the engine's list of good moves not among them
    // (top_moves_black/white where the engine lists it), else gg_genmove with fresh seeds or
    // undo + genmove, a few tries; answers with moveChosen, same = true when the engine had
    // no other move than one of avoid.
    void requestRedo(const GameState& g, int colour, std::vector<int> avoid);
    // The engine's move for colour without playing it (reg_genmove, else genmove + undo);
    // answers with hintChosen.
    void requestHint(const GameState& g, int colour);
    // The engine's proposal of dead stones (final_status_list dead) and seki stones
    // (final_status_list seki, when listed) at g's shown position; answers with statusChosen.
    void requestDeadStones(const GameState& g);

    // The engine's estimate of the score at g's shown position (estimate_score); answers
    // with estimateChosen.
    void requestEstimate(const GameState& g);

    // Stops the open question at once; a request the engine is still thinking about is
    // abandoned (the engine is restarted when it cannot be brought back otherwise).
    void cancel();
    // After timeLimitReached: wait another time limit, or give up (like cancel, then failed).
    void keepWaiting();
    // Ends the engine process now (window closing, or the window giving up on it); the next
    // question starts a new one with no refusals counted.
    void shutdown();

    // A question is open.
    bool busy() const;
    // The engine's name and version as it answered them ("" before the first start).
    QString engineName() const;
    // The window found the move it was given illegal: the engine is resynced from Tavrin's
    // game before the next question, and the refusal counted (the window reports it).
    void moveRefused();

    // Starts the engine with s at level and reports what it is (name, version, number of
    // commands) with probed or, on failure, failed; used by the settings dialog's 試す.
    void probe(const EngineSettings& s, int level);

signals:
    void moveChosen(tavrin::EngineMove move, bool same);
    void hintChosen(tavrin::EngineMove move);
    void statusChosen(std::vector<int> dead, std::vector<int> seki);
    void probed(QString name, QString version, int commandCount);
    // Black's lead in tenths of a point (negative: White leads), komi included.
    void estimateChosen(int leadTenths);
    // The open question could not be answered: a Japanese sentence saying why, with the last
    // lines of the engine's error output where it wrote any. The engine is stopped; the next
    // question starts it again from Tavrin's game.
    void failed(QString message);
    // The engine has thought for the whole time limit: the window asks whether to wait.
    void timeLimitReached();
    // The engine crashed during a question and was started again; the question goes on.
    void restarted(QString message);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace tavrin
