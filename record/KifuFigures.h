#pragma once
// A record cut into kifu figures: each figure shows the position at its start with plain
// stones, then its moves numbered on their stones. A move that cannot get a stone of its own
// in the figure is listed under it as a note. Pure C++.
//
// What a point of a figure shows is decided once: a start stone, or the first move played on
// it within the figure. Every later move on a point that already shows something is a note
// naming what stands there:
//   "112 = 20"   move 112 was played where 20 stands (a ko, a retake after a capture);
//   "112 = A"    move 112 was played where a start stone stands that was captured during the
//                figure; that stone carries the letter A, so no stone is covered silently;
//   "113 パス"   a pass.

#include <string>
#include <vector>

#include "game/GameState.h"
#include "record/SetupChange.h"

namespace tavrin {

// Moves per figure offered to the user; 0 puts the whole record in one figure.
inline constexpr int FigureMovesChoices[] = {50, 100, 200, 0};
inline constexpr int DefaultFigureMoves = 100;

struct FigureStone {
    int Pos = 0;
    int Colour = 0;  // Black or White
    int Move = 0;    // record move that put it there; 0 for a start stone
    int Number = 0;  // number written on it; 0 for a start stone
    int Label = 0;   // start stone played on during the figure: 1 = "A", 2 = "B"…; else 0
};

enum class FigureNoteKind {
    SameNumber,  // played where a numbered stone of the figure stands
    StartStone,  // played where a (captured) start stone stands
    Pass,
};

struct FigureNote {
    FigureNoteKind Kind = FigureNoteKind::Pass;
    int Move = 0;    // record move
    int Number = 0;  // its number in the figure
    int Colour = 0;
    int Pos = 0;       // PassPos for a pass
    int AtNumber = 0;  // SameNumber: the number standing on the point
    int AtLabel = 0;   // StartStone: the letter of the stone standing on the point
};

struct KifuFigure {
    int Index = 0;      // 1-based
    int FirstMove = 1;  // record moves FirstMove..LastMove; LastMove < FirstMove: no moves
    int LastMove = 0;
    std::vector<FigureStone> Stones;  // start stones (board order), then numbered ones (move order)
    std::vector<FigureNote> Notes;    // in move order
    int LastMovePos = 0;              // the record's last move when it stands numbered in this figure
    int LastMoveNote = -1;            // index in Notes when the record's last move is a note; else -1
    int Reference = 0;                // 参考図: k-th figure of a variation shown after its branch; else 0
};

struct KifuFigureSet {
    int BoardSize = 19;
    int BoardStride = 21;
    int MovesPerFigure = DefaultFigureMoves;  // 0: all moves in one figure
    bool RestartNumbers = false;
    int BranchAfter = 0;              // a variation's moves start after this move (0: the record's own line)
    std::vector<KifuFigure> Figures;  // at least one, even for a record without moves
};

// Cuts the record of g (moves 1..MoveCount, whatever the position shown) into figures of
// movesPerFigure moves (0 or less: one figure), numbered continuously or from 1 in each
// figure. g is not changed; the start positions come from replaying a copy.
// branchAfter > 0: the record's moves after it are a variation (a line that leaves the main
// line there). Its moves are cut apart as 参考図, as books print them: the first starts at the
// branch and its moves are numbered from 1 there.
// later is the record's setup between its moves (GameRecord::laterSetup): setup before a
// figure's first move is in its start position; within a figure the stones it adds show
// unnumbered where the point shows nothing yet, and the unnumbered stones it takes away
// vanish; setup after the last move belongs to the last figure. Setup takes no move number.
KifuFigureSet cutKifuFigures(const GameState& g, int movesPerFigure, bool restartNumbers, int branchAfter = 0,
                             const SetupChanges& later = {});

// The figure (1-based) of set holding record move `move`; move 0 (the start) lies in the
// first figure.
int figureOfMove(const KifuFigureSet& set, int move);

// "A".."Z", "AA", "AB"… for label 1, 2…
std::string figureLabelText(int label);

// The note as written under the figure: "112 = 20", "112 = A", "113 パス".
std::string figureNoteText(const FigureNote& note);

}  // namespace tavrin
