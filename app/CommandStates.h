#pragma once
// Which of the window's commands are enabled and shown, decided in one place from the
// game's mode and a few facts of the position. The window asks after every handler and
// every answer of the engine and applies the answer to its actions.

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
};

struct CommandState {
    bool enabled = true;
    bool visible = true;

    bool operator==(const CommandState&) const = default;
};

// The commands whose state depends on the game; every other command is always enabled.
struct CommandStates {
    CommandState actFileSave, actFileReOpen;
    CommandState actPlayStop, actPlayResume, actPlayPass, actPlayMatta, actPlayGiveUp;
    CommandState actPlayHint, actPlayUtinaosi, actPlayStnChg, actPlayKeisei, actPlayCount;
    CommandState actKifuFirst, actKifuBack, actKifuBack10;              // steps back
    CommandState actKifuNext, actKifuNext10, actKifuLast, actKifuAuto;  // steps forward
    CommandState actKifuVarNext, actKifuVarPrev, actKifuVarBranch;      // between variations
    CommandState actPlayKentou, actPlayEdit;                            // 検討, 盤面編集
    CommandState actEditUndo, actEditRedo, actEditDelete, actEditPromote, actEditUp, actEditDown, actEditCut;
    CommandState mnuKifuP;  // the replay menu as a whole
    CommandState actCountCancel;

    bool operator==(const CommandStates&) const = default;
};

CommandStates commandStates(const CommandFacts& f);

}  // namespace tavrin
