#pragma once
// Helpers of the record format tests (games come from the engine test helpers): moves
// played through the engine, SGF text in a buffer, and the board as rows of ". X O".

#include <gtest/gtest.h>

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

// A file's bytes read both ways the reader has: scanned as they stand (as a file is read)
// and decoded into lines first (as pasted text is). Both must give the same outcome.
inline ::testing::AssertionResult sameReadEitherWay(const std::string& bytes) {
    GameState direct = newGame(19);
    GameState lined = newGame(19);
    TextBuffer file;
    file.setFileBytes(bytes);
    const LoadResult a = fncStringsToKif(direct, file, "either.sgf");
    TextBuffer decoded;
    decoded.lines() = file.lines();
    decoded.Encoding = file.Encoding;
    const LoadResult b = fncStringsToKif(lined, decoded, "either.sgf");
    if (a.status != b.status || a.reason != b.reason) {
        return ::testing::AssertionFailure() << "outcome: \"" << a.reason << "\" against \"" << b.reason << "\"";
    }
    if (!a.ok()) return ::testing::AssertionSuccess();
    const auto differs = [](const char* what) { return ::testing::AssertionFailure() << what; };
    if (direct.BoardSize != lined.BoardSize || direct.HandicapCount != lined.HandicapCount ||
        direct.MoveCount != lined.MoveCount || direct.KomiTenths != lined.KomiTenths) {
        return differs("size, handicap, moves or komi");
    }
    if (direct.GameName != lined.GameName) return differs("GameName");
    if (direct.GameComment != lined.GameComment) return differs("GameComment");
    if (direct.BlackPlayer != lined.BlackPlayer) return differs("BlackPlayer");
    if (direct.WhitePlayer != lined.WhitePlayer) return differs("WhitePlayer");
    if (direct.GameRule != lined.GameRule) return differs("GameRule");
    if (direct.GameDate != lined.GameDate) return differs("GameDate");
    if (direct.MovePos != lined.MovePos || direct.MoveColor != lined.MoveColor) return differs("record");
    for (int c = 0; c <= direct.BoardLast; ++c) {
        if (direct.Board[c] != lined.Board[c]) return differs("Board");
    }
    return ::testing::AssertionSuccess();
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
