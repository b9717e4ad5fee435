#pragma once
// What decides which of the window's commands are enabled and shown: the game's mode and a
// few facts of the position. The window gathers them after every handler and every answer
// of the engine and applies each command's rule to its action.

namespace tavrin {

// What the window is doing with the game.
enum class Mode {
    Playing,   // a game is being played (a person's or the computer's turn)
    Stopped,   // play is suspended or a record is shown: the board replays it
    Ended,     // the game is over (two passes, resignation, a record read)
    Counting,  // dead stones are being marked at the end of a game
    Study,     // 検討: moves played on the board go into the record as variations
    Editing,   // 盤面編集: setup stones, marks and the side to move at the shown node
};

// What the engine is working on.
enum class EngineTask { None, Move, Redo, Hint, Estimate };

struct CommandFacts {
    Mode mode = Mode::Playing;
    EngineTask task = EngineTask::None;
    bool engineFound = false;    // the engine's program can be found
    int currentMove = 1;         // the next move to play or show
    int moveCount = 0;           // moves of the record
    bool endedByPasses = false;  // the record ends with the two passes that end a game
    bool modified = false;
    bool hasFileName = false;
    bool computerToMove = false;     // the computer plays the side to move
    bool computerMovedLast = false;  // the move before the shown position is the computer's
    bool personAndComputer = false;  // one colour is a person's, the other the computer's
    bool onMainLine = true;          // the shown line is the record's main line
    bool nextVariation = false;      // the shown line has a next / a previous alternative
    bool prevVariation = false;
    bool canUndo = false;  // the record's history has an edit to undo / to redo
    bool canRedo = false;
    bool studyTakeBack = false;   // 検討's last added move is shown and has no children
    bool variationShown = false;  // the shown node lies in a variation (delete, promote, move)
    bool upVariation = false;     // that variation can move up / down among its siblings
    bool downVariation = false;
    bool laterNodes = false;   // nodes follow the shown one (cut)
    bool freshGame = false;    // a game with no move yet: its start can be set up
    bool branchAbove = false;  // the shown node lies in a variation below a branch point
    bool reviewing = false;    // 棋譜解析 is under way

    // What several rules ask alike.
    bool playing() const { return mode == Mode::Playing; }
    // Counting happens on a game that is over: the record can be stepped through (a step
    // leaves counting) and play resumed.
    bool replaying() const { return mode != Mode::Playing; }
    bool counting() const { return mode == Mode::Counting; }
    bool studying() const { return mode == Mode::Study || mode == Mode::Editing; }
    bool busy() const { return task != EngineTask::None; }
    // While the computer chooses a move a person's pass or resignation would be made for it,
    // and a take-back would pull the position from under it.
    bool moving() const { return task == EngineTask::Move || task == EngineTask::Redo; }
    // While the computer has the move the turn is its own, also before it is asked.
    bool computersTurn() const { return playing() && computerToMove; }
    // The record can be edited: its history and the tree's edits.
    bool edits() const { return replaying() && !counting(); }
};

struct CommandState {
    bool enabled = true;
    bool visible = true;

    bool operator==(const CommandState&) const = default;
};

// A command's rule: whether it is enabled and shown for the game as it stands. Each
// command's rule stands in its row of the action table beside its caption and handler; a
// command without one is always enabled.
using StateRule = CommandState (*)(const CommandFacts&);

}  // namespace tavrin
