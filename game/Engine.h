#pragma once
// The game engine: new-game set-up, legality and captures, playing, ending, take-back,
// resume's cut, and stepping through the record. Pure C++; screen work goes through
// BoardPainter, refusals come back as HitResult for the window to show.

#include <string>

#include "game/BoardPainter.h"
#include "game/GameState.h"

namespace tavrin {

enum class HitResult {
    Legal,     // the move may be played (captures already removed and booked)
    Occupied,  // a stone or a border cell is there (no message)
    Ko,        // immediate retake of a single-stone ko
    Suicide,   // own group left without a liberty, nothing captured
    Full,      // the record has no room for another move
};

// Japanese text for status panel 0, or "" where a refusal carries no message.
const char* hitRefusalText(HitResult r);

// The handicap points table: position of stone i (1..count) for size 9/13/19, count 2..9.
// Returns 0 for sizes or counts outside the table.
int HandicapPoints(int size, int count, int i);

// "なし", "２子" … "９子"; "" for 1 or values outside 0, 2..9.
std::string handicapText(int count);

// Bring settings values into the valid sets before set-up: BoardSize 9/13/19 (else 19),
// HandicapCount 0 or 2..9 (else 0).
void correctSettings(GameState& g);

// Reset BoardStride, BoardLast, Board, DirOffset, CapturedCount and the record arrays.
void prcNewSetGoban(GameState& g);

// Place count handicap stones of the table for a board of size lines (not drawn here).
void prcPutStone(GameState& g, int size, int count);

// Point CoordName at the names of the current size ("A  1", "K 10"), laid out as
// prcNewSetGoban lays out that size; "" on the border and beyond the board.
void fillCoordName(GameState& g);

// The engine steps of a new game: corrects the settings, resets the board and record,
// coordinate names, handicap stones, SideToMove, CurrentMove 1, MoveCount 0,
// GameDate := today ("yyyy-mm-dd"), GameRule empty, clocks 0, GameOver/EndedByPasses false,
// LastMovePos 0, KomiGiven true. (The window's own flags, replay, the armed mouse and the
// set-up state, are the window's to reset.)
// Keeps GameName, GameComment, players, kinds, Level, KomiTenths.
void prcNewSetCore(GameState& g, const std::string& today);

// Set Board[pos] := colour and show it: mode 0 plain, mode 2 with the last-move marker
// (the previously marked stone is redrawn plain first). pos 999 only unmarks.
void prcStnPut(GameState& g, int pos, int colour, int mode, BoardPainter& p);

// Legality check of colour at pos (999 = pass). On Legal the captured stones are already
// removed (drawn through p) and booked; the point itself stays empty.
HitResult fncHitCheck(GameState& g, int pos, int colour, BoardPainter& p);

// A move played as a record has it, whether the rules take it or not: a stone on an occupied
// point replaces the stone there, the groups of the other colour left without a liberty are
// taken (a ko retake too), and then the mover's own group when it has none (a suicide).
// Board[pos] holds the stone afterwards unless the suicide took it; everything taken is
// booked on the captured stack for move CurrentMove (see CapturedStone). verdict tells what
// the rules say of the move (Legal: played as fncHitCheck and a placed stone would). False,
// with nothing played, when no stone can go there at all: a full record, a point off the
// board, a colour that is neither.
bool playAsRecorded(GameState& g, int pos, int colour, BoardPainter& p, HitResult& verdict);

// An entry of the captured stack: the point, whether the stone was of the colour of the move
// that took it (a suicide, or an own stone it replaced) and whether the move's own stone took
// its place (it replaced it). Entries of other stones taken are the bare point.
struct CapturedStone {
    int pos;
    bool own;
    bool replaced;
};
CapturedStone capturedStone(int entry);

// The engine part of playing one move for colour: check, place with marker, record at
// entry HandicapCount + CurrentMove with MoveTime = MoveSeconds + 1, mover's total,
// MoveSeconds := 0, SideToMove flips, CurrentMove/MoveCount grow.
HitResult prcHitCore(GameState& g, int pos, int colour, BoardPainter& p);

// After a pass has been played: true when it is the second pass in a row from move 3 on.
bool passEndsGame(const GameState& g);

// End-of-game flags: GameOver, EndedByPasses (last two moves passes, from
// move 3 on), MoveSeconds := 0.
void prcEndOfGameCore(GameState& g);

// Resignation of SideToMove: an empty GameComment becomes "W+R" (black resigns) or
// "B+R"; an existing comment is kept.
void resignCore(GameState& g);

// Moves a take-back removes: 1 when both kinds are equal, else 2.
int mattaCount(const GameState& g);

// Take back mattaCount moves (nothing when CurrentMove - n <= 0): prcKifBack each,
// MoveCount := CurrentMove - 1, MoveSeconds := 0. Returns the number taken back.
int prcMattaCore(GameState& g, BoardPainter& p);

// Resume's cut at the shown position: the last shown stone gets the marker,
// MoveCount := CurrentMove - 1, GameOver/EndedByPasses cleared.
void resumeCore(GameState& g, BoardPainter& p);

// Undo moves until CurrentMove = target (>= 1), restoring captured stones newest first.
void prcKifBack(GameState& g, int target, BoardPainter& p);

// Re-apply moves until CurrentMove = target (<= MoveCount + 1).
void prcKifNext(GameState& g, int target, BoardPainter& p);

// "%.2d:%.2d:%.2d" of hours (unbounded), minutes, seconds.
std::string fncSecToHms(int seconds);

}  // namespace tavrin
