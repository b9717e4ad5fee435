#pragma once
// Helpers of the record format tests (games come from the engine test helpers): moves
// played through the engine, SGF text in a buffer, and the board as rows of ". X O".

#include <stdexcept>
#include <string>
#include <vector>

#include "formats/SgfReader.h"
#include "formats/TextBuffer.h"
#include "game/Engine.h"
#include "game/GameState.h"
#include "tests/game/TestBoard.h"

namespace tavrin::test {

// Plays a move (PassPos for a pass); the test fails when it is refused.
inline void play(GameState& g, int pos) {
    NullPainter p;
    const HitResult r = prcHitCore(g, pos, g.SideToMove, p);
    if (r != HitResult::Legal) throw std::runtime_error("move refused in test set-up");
}

inline TextBuffer textOf(const std::string& sgf) {
    TextBuffer buf;
    buf.setText(sgf);
    return buf;
}

// Reads SGF text into g; returns the reason ("" when read).
inline std::string readSgf(GameState& g, const std::string& sgf, const std::string& name = "") {
    const LoadResult r = fncStringsToKif(g, textOf(sgf), name);
    return r.ok() ? "" : r.reason;
}

// The board, row by row from the top: ". X O".
inline std::vector<std::string> boardRows(const GameState& g) {
    std::vector<std::string> rows;
    for (int row = 1; row <= g.BoardSize; ++row) {
        std::string line;
        for (int col = 1; col <= g.BoardSize; ++col) {
            const int v = g.Board[col * g.BoardStride + row];
            line += v == Black ? 'X' : v == White ? 'O' : '.';
        }
        rows.push_back(line);
    }
    return rows;
}

}  // namespace tavrin::test
