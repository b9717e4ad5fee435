#pragma once
// Test helpers for the engine: boards written as rows of ".XO", painters that record or
// mirror what the engine draws, and a comparison of the parts of the state a move changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "game/Engine.h"

namespace tavrin::test {

inline const std::string AppTagOfThisBuild = std::string("Tavrin:") + TAVRIN_FILE_VERSION;

// A fresh game of the given size, handicap and komi, set up as the new-game command would.
inline GameState newGame(int size, int handicap = 0, int komiTenths = 65) {
    GameState g;
    g.AppTag = AppTagOfThisBuild;
    g.BoardSize = size;
    g.HandicapCount = handicap;
    g.KomiTenths = komiTenths;
    prcNewSetCore(g, "2026-12-06");
    return g;
}

// Position of (column, row), both counted from 1 at the top left.
inline int pt(const GameState& g, int col, int row) { return col * g.BoardStride + row; }

// Puts the stones of the diagram on an empty board: row r of the list is row r + 1,
// character c is column c + 1; 'X' black, 'O' white, anything else empty.
inline void setBoard(GameState& g, const std::vector<const char*>& rows) {
    int r = 1;
    for (const char* line : rows) {
        for (int c = 1; line[c - 1] != '\0' && c <= g.BoardSize; ++c) {
            const char ch = line[c - 1];
            g.Board[pt(g, c, r)] = ch == 'X' ? Black : ch == 'O' ? White : 0;
        }
        ++r;
    }
}

// The top five rows of a 9 x 9 board around a ko: black takes the white stone at (3,4) by
// playing (4,4), and white may not take back at (3,4) at once.
inline const std::vector<const char*> KoRows = {".........", ".........", "..XO.....", ".XO.O....", "..XO....."};

// The first rows x cols points of the board as a diagram, rows joined by '\n'.
inline std::string diagram(const GameState& g, int rows, int cols) {
    std::string s;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const int v = g.Board[pt(g, c, r)];
            s += v == Black ? 'X' : v == White ? 'O' : v == 0 ? '.' : '#';
        }
        if (r < rows) s += '\n';
    }
    return s;
}

inline std::string diagram(const std::vector<const char*>& rows) {
    std::string s;
    for (const char* line : rows) {
        if (!s.empty()) s += '\n';
        s += line;
    }
    return s;
}

// Records every call: "S pos colour m" for a marked stone, "S pos colour" plain, "E pos".
class RecordingPainter final : public BoardPainter {
public:
    std::vector<std::string> Calls;
    void paintStone(int pos, int colour, bool marked) override {
        Calls.push_back("S " + std::to_string(pos) + " " + std::to_string(colour) + (marked ? " m" : ""));
    }
    void erasePoint(int pos) override { Calls.push_back("E " + std::to_string(pos)); }
};

// Keeps a picture of what has been drawn, so tests can compare it with Board.
class MirrorPainter final : public BoardPainter {
public:
    std::array<int, BoardCells> Shown{};
    std::array<bool, BoardCells> Marked{};
    void reset(const GameState& g) {
        Marked.fill(false);
        for (int i = 0; i < BoardCells; ++i) Shown[i] = i <= g.BoardLast && g.Board[i] > 0 ? g.Board[i] : 0;
    }
    void paintStone(int pos, int colour, bool marked) override {
        Shown[pos] = colour;
        Marked[pos] = marked;
    }
    void erasePoint(int pos) override {
        Shown[pos] = 0;
        Marked[pos] = false;
    }
    // The picture equals Board and carries the marker exactly on the last move's stone
    // (no marker at the start or after a pass).
    ::testing::AssertionResult matches(const GameState& g) const {
        for (int i = 0; i <= g.BoardLast; ++i) {
            const int want = g.Board[i] > 0 ? g.Board[i] : 0;
            if (Shown[i] != want)
                return ::testing::AssertionFailure()
                       << "point " << i << " shows " << Shown[i] << ", board holds " << g.Board[i];
        }
        int wantMarked = 0;
        if (g.CurrentMove > 1) {
            const int last = g.MovePos[g.HandicapCount + g.CurrentMove - 1];
            if (last != PassPos) wantMarked = last;
        }
        for (int i = 0; i <= g.BoardLast; ++i) {
            if (Marked[i] != (i == wantMarked && wantMarked != 0))
                return ::testing::AssertionFailure() << "marker wrong at " << i << " (want " << wantMarked << ")";
        }
        return ::testing::AssertionSuccess();
    }
};

// The parts of the state a refused move must leave alone.
inline ::testing::AssertionResult sameGame(const GameState& a, const GameState& b) {
    if (a.Board != b.Board) return ::testing::AssertionFailure() << "Board differs";
    if (a.MovePos != b.MovePos || a.MoveColor != b.MoveColor || a.MoveTime != b.MoveTime)
        return ::testing::AssertionFailure() << "record differs";
    if (a.MoveCaptures != b.MoveCaptures) return ::testing::AssertionFailure() << "MoveCaptures differs";
    // Stack entries above the top are free and may hold anything.
    const int top = a.CapturedCount[1] + a.CapturedCount[2];
    if (a.CapturedCount != b.CapturedCount ||
        a.CapturedPos.slice(0, static_cast<size_t>(top) + 1) != b.CapturedPos.slice(0, static_cast<size_t>(top) + 1))
        return ::testing::AssertionFailure() << "captures differ";
    if (a.CurrentMove != b.CurrentMove || a.MoveCount != b.MoveCount || a.SideToMove != b.SideToMove ||
        a.LastMovePos != b.LastMovePos)
        return ::testing::AssertionFailure() << "position in the record differs";
    if (a.BlackTotalSeconds != b.BlackTotalSeconds || a.WhiteTotalSeconds != b.WhiteTotalSeconds ||
        a.MoveSeconds != b.MoveSeconds)
        return ::testing::AssertionFailure() << "clocks differ";
    return ::testing::AssertionSuccess();
}

}  // namespace tavrin::test
