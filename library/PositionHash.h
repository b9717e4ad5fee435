#pragma once
// Positions as 64-bit Zobrist hashes that do not change when the board is turned or mirrored.
//
// Each of the eight symmetries s of the board gives an image s(P) of a position P; its plain
// hash is the exclusive or of one random key per stone (colour and point), with a key of the
// board size and, when white is to move, a key of the side folded in. The key of P is the
// smallest of the eight images' hashes, so P and every image of it share one key, and a
// game played in another corner is found under it. The symmetry that gives the smallest hash
// is P's canonical symmetry c; c(P) is the canonical image.
//
// A move m played at P is kept as c(m), a point of the canonical image. Another position Q
// with the same key has a canonical symmetry c' with c'(Q) = c(P), so the move stands at
// c'^-1(c(m)) on Q. Where Q maps onto itself under some symmetries (its stabilizer), the images
// of a point under them are one and the same move; reduceCode picks the first in reading order.
//
// Points are named by codes: y * size + x for the point x columns from the left and y rows from
// the top, so codes run in reading order (row by row from the top, left to right).

#include <array>
#include <cstdint>

#include "game/GameState.h"

namespace tavrin::library {

inline constexpr int SymmetryCount = 8;

// Codes besides points (0 .. size*size - 1).
inline constexpr int PassCode = 1022;
inline constexpr int NoMoveCode = 1023;  // the game ends at the position
inline constexpr int CodeBits = 10;      // every code fits in this many bits

// The symmetries, as maps of point (x, y) on a board of n lines, m = n - 1:
//   0 (x, y)     1 (m-x, y)     2 (x, m-y)     3 (m-x, m-y)
//   4 (y, x)     5 (m-y, x)     6 (y, m-x)     7 (m-y, m-x)
// The symmetry that undoes s.
int inverseSymmetry(int s);

// The code of Tavrin position pos (column * (size + 2) + row, row 1 at the top) turned by
// symmetry s; PassCode for PassPos; -1 for a position that is no point of the board.
int pointCode(int pos, int size, int s = 0);

// The Tavrin position of a code: PassPos for PassCode; 0 for NoMoveCode and codes off the
// board.
int codePos(int code, int size);

// A point code turned by symmetry s; PassCode and NoMoveCode stay as they are.
int turnCode(int code, int size, int s);

// The first in reading order of the images of code under the symmetries in stabilizer
// (bit s for symmetry s); codes that are no points stay as they are.
int reduceCode(int code, int size, unsigned stabilizer);

struct PositionKey {
    uint64_t Hash = 0;        // the smallest of the eight images' hashes
    int BoardSize = 0;        // 0: no key (the board size is not one a key is made for)
    int Canonical = 0;        // the symmetry whose image has the smallest hash
    unsigned Stabilizer = 1;  // bit s: symmetry s maps the position onto itself (bit 0 always)

    bool valid() const { return BoardSize != 0; }
};

// The key of the stones of board (as GameState keeps them) on a board of size lines with
// sideToMove to move (White folds its key in, anything else counts as Black). The stabilizer
// compares the stones themselves, not their hashes.
PositionKey positionKey(int size, const std::array<int, BoardCells>& board, int sideToMove);

// The key of the position g shows: g.Board with g.SideToMove to move.
PositionKey positionKey(const GameState& g);

// The keys of one board size: a key per stone already turned by each symmetry, the codes of
// Tavrin positions under each symmetry, and the keys of the size and of white to move. Made
// once per size on first use, shared by every thread.
struct SizeKeys {
    // [pos][colour - 1][s]: the key of a stone of colour standing on s(pos); 0 off the board.
    std::array<std::array<std::array<uint64_t, SymmetryCount>, 2>, BoardCells> Stone;
    // [s][pos]: pointCode(pos, size, s), -1 off the board.
    std::array<std::array<int16_t, BoardCells>, SymmetryCount> Code;
    uint64_t SizeKey = 0;
    uint64_t WhiteKey = 0;
};
const SizeKeys& sizeKeys(int size);

// The side to move after `moves` moves of g's main line (its handicap and setup stones
// first): the colour of the next move while there is one; after the last, the other colour
// than its stone's (Black when the game has no stone at all). The window keeps SideToMove the
// same way while it replays a record.
int sideToMoveAfter(const GameState& g, int moves);

// The positions along the main line of a game read from a record: from the one before its
// first move (handicap and setup stones on the board) to the one after its last. The moves
// are taken from the record entries and the captures from the capture stack g booked when it
// replayed them, so nothing is checked again. g must outlive the walk and stay unchanged.
class MainLinePositions {
public:
    explicit MainLinePositions(const GameState& g);

    int moves() const { return moves_; }  // moves played to reach the current position
    bool atEnd() const { return moves_ >= g_.MoveCount; }

    // The key's hash and canonical symmetry of the current position (as positionKey gives
    // them), kept up as the walk goes.
    uint64_t hash() const { return hash_; }
    int canonical() const { return canonical_; }

    // The next move turned by canonical(): a point code, PassCode, or NoMoveCode at the end.
    int nextCode() const { return nextCode_; }
    // The next move as Tavrin's position (PassPos for a pass); 0 at the end.
    int nextPos() const;
    int sideToMove() const { return side_; }

    // Plays the next move and takes its captures. Nothing at the end.
    void advance();

    // The whole key of the current position, stabilizer and all.
    PositionKey key() const;
    const std::array<int, BoardCells>& board() const { return board_; }

private:
    void put(int pos, int colour);
    void take(int pos, int colour);
    void settle();

    const GameState& g_;
    const SizeKeys* keys_;
    std::array<int, BoardCells> board_{};
    std::array<uint64_t, SymmetryCount> images_{};  // each symmetry's image's hash of the stones
    uint64_t hash_ = 0;
    int canonical_ = 0;
    int nextCode_ = NoMoveCode;
    int side_ = Black;
    int moves_ = 0;
    int captured_ = 0;  // capture stack entries taken so far
};

// The number of moves after which g's main line first reaches the position of key (or an
// image of it); -1 when it never does.
int firstPass(const GameState& g, const PositionKey& key);

}  // namespace tavrin::library
