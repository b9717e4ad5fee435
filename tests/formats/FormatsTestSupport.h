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

// The same game: board, record, position and information.
inline void expectSameGame(const GameState& a, const GameState& b, const std::string& what) {
    EXPECT_EQ(a.BoardSize, b.BoardSize) << what;
    EXPECT_EQ(a.HandicapCount, b.HandicapCount) << what;
    EXPECT_EQ(a.MoveCount, b.MoveCount) << what;
    EXPECT_EQ(a.KomiTenths, b.KomiTenths) << what;
    EXPECT_EQ(a.GameDate, b.GameDate) << what;
    EXPECT_EQ(a.Board, b.Board) << what;
    EXPECT_EQ(a.CapturedCount, b.CapturedCount) << what;
    EXPECT_EQ(a.SideToMove, b.SideToMove) << what;
    const int entries = a.HandicapCount + a.MoveCount;
    for (int e = 1; e <= entries && e <= RecordCapacity; ++e) {
        ASSERT_EQ(a.MovePos[e], b.MovePos[e]) << what << " entry " << e;
        ASSERT_EQ(a.MoveColor[e], b.MoveColor[e]) << what << " entry " << e;
    }
    for (const auto field : {&GameState::GameName, &GameState::BlackPlayer, &GameState::WhitePlayer,
                             &GameState::GameComment, &GameState::GameRule}) {
        EXPECT_EQ(a.*field, b.*field) << what;
    }
}

// A file's bytes read both ways the reader has: scanned as they stand (as a file is read)
// and decoded into lines first (as pasted text is). Both must give the same outcome.
inline void expectSameReadEitherWay(const std::string& bytes, const std::string& what) {
    GameState direct = newGame(19);
    GameState lined = newGame(19);
    TextBuffer file;
    file.setFileBytes(bytes);
    const LoadResult a = fncStringsToKif(direct, file, "either.sgf");
    TextBuffer decoded;
    decoded.lines() = file.lines();
    decoded.Encoding = file.Encoding;
    const LoadResult b = fncStringsToKif(lined, decoded, "either.sgf");
    EXPECT_EQ(a.reason, b.reason) << what;
    ASSERT_EQ(a.status, b.status) << what;
    if (a.ok()) expectSameGame(direct, lined, what);
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
