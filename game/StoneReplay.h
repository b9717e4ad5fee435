#pragma once
// Replaying a whole record onto a new game, as a record reader does: the same rules and the
// same results as fncHitCheck followed by placing the stone, but each group on the board
// keeps a count of its liberties as it grows, so a capture or a suicide is seen without
// searching the groups beside every move.

#include <array>

#include "game/GameState.h"

namespace tavrin {

class StoneReplay {
public:
    // Starts from a game just set up (prcNewSetCore): its only stones are the handicap
    // stones of record entries 1..HandicapCount.
    explicit StoneReplay(GameState& g);

    // The replay other has reached, continued on g: a copy of other's game.
    StoneReplay(const StoneReplay& other, GameState& g)
        : g_(g), group_(other.group_), libs_(other.libs_), next_(other.next_), size_(other.size_) {}
    StoneReplay(const StoneReplay&) = delete;
    StoneReplay& operator=(const StoneReplay&) = delete;

    // fncHitCheck(g, pos, colour) and, when it is legal, Board[pos] := colour. A legal move
    // books its captures exactly as fncHitCheck does (MoveCaptures of CurrentMove,
    // CapturedPos in the same order, CapturedCount). A refused one returns false and may
    // leave the game half changed: the reader throws such a game away.
    bool play(int pos, int colour);

    // A stone set up at pos: Board[pos] := colour without any capture (a setup may leave a
    // group without liberties, as records allow). False on an occupied or outside point.
    bool place(int pos, int colour);

    // The moves of a record, each as play does: move k (1..count) is colours[k] at
    // positions[k], checked as move k and written to record entry HandicapCount + k;
    // CurrentMove ends after the last one played. Stops at the first refused move (also a
    // move, or pass, of neither colour) and returns the number of moves before it.
    // from: the first move to play (the moves before it are on the board already).
    int playMoves(const int* colours, const int* positions, int count, int from = 1);
    // The same over a record's columns, move k standing at entry skip + k.
    int playMoves(const RecordColumn& colours, const RecordColumn& positions, int skip, int count, int from = 1);

    // The groups counted again from the board as it now stands: after stones were set up
    // or taken away on it directly (a record's setup between its moves).
    void regroup();

private:
    // Puts a stone of colour at pos into the groups; its neighbours lose pos as a liberty.
    // Tells which neighbours (bit d for DirOffset[d]) are of the other colour and have lost
    // their last liberty (Dying), and whether pos has no empty neighbour, so that its group
    // may have none left (Closed).
    enum AddResult : unsigned { Dying = 15, Closed = 16 };
    unsigned add(int pos, int colour);
    bool playChecked(int move, int pos, int colour, unsigned last);
    void join(int a, int b);
    bool capture(int move, int pos, int colour, unsigned dying);

    GameState& g_;
    // The group of the stone at a cell, named by one of its stones. A cell without a stone
    // names itself, so bookkeeping may run for any neighbour: it only touches that cell's
    // unused entries.
    std::array<int, BoardCells> group_;
    // For a group's name: its liberties counted once per stone beside each (a point beside
    // two stones of the group counts twice). Zero exactly when the group has no liberty.
    std::array<int, BoardCells> libs_;
    std::array<int, BoardCells> next_;  // the stones of a group, in a ring
    std::array<int, BoardCells> size_;  // for a group's name: its number of stones
};

}  // namespace tavrin
