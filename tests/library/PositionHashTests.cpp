#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "library/PositionHash.h"
#include "tests/library/LibraryTestKit.h"
#include "tests/support/CorpusDir.h"

namespace tavrin::library {
namespace {

using test::boardOf;
using Rows = std::vector<std::string>;

// The eight images of a drawn board, made from row and column reversals and the transpose
// (independently of the library's own table of symmetries).
std::vector<Rows> imagesOf(const Rows& rows) {
    const auto mirror = [](Rows r) {
        for (auto& row : r) std::reverse(row.begin(), row.end());
        return r;
    };
    const auto flip = [](Rows r) {
        std::reverse(r.begin(), r.end());
        return r;
    };
    const auto transpose = [](const Rows& r) {
        Rows t(r.size(), std::string(r.size(), '.'));
        for (size_t y = 0; y < r.size(); ++y)
            for (size_t x = 0; x < r.size(); ++x) t[x][y] = r[y][x];
        return t;
    };
    std::vector<Rows> out;
    for (const Rows& base : {rows, transpose(rows)}) {
        out.push_back(base);
        out.push_back(mirror(base));
        out.push_back(flip(base));
        out.push_back(mirror(flip(base)));
    }
    return out;
}

// The stones of a board turned by s, as (code, colour).
std::set<std::pair<int, int>> turnedStones(const std::array<int, BoardCells>& b, int size, int s) {
    std::set<std::pair<int, int>> out;
    for (int pos = 0; pos < BoardCells; ++pos) {
        const int code = pointCode(pos, size, s);
        if (code >= 0 && code != PassCode && b[static_cast<size_t>(pos)] != 0) {
            out.emplace(code, b[static_cast<size_t>(pos)]);
        }
    }
    return out;
}

// Each symmetry is a permutation of the points that its inverse undoes, on positions as on codes.
TEST(Symmetry, CodesTurnAndTurnBack) {
    for (const int size : {9, 13, 19}) {
        for (int s = 0; s < SymmetryCount; ++s) {
            std::set<int> images;
            for (int code = 0; code < size * size; ++code) {
                const int t = turnCode(code, size, s);
                ASSERT_EQ(turnCode(t, size, inverseSymmetry(s)), code) << size << " s" << s;
                ASSERT_EQ(pointCode(codePos(code, size), size, s), t);
                images.insert(t);
            }
            EXPECT_EQ(images.size(), static_cast<size_t>(size * size)) << "s" << s;
        }
    }
}

TEST(PositionKey, EveryImageSharesTheKeyAndTheCanonicalImage) {
    const Rows rows = {
        "X.O......", ".X.......", "..O......", ".........", ".......X.",
        ".........", ".........", "O........", ".........",
    };
    const PositionKey first = positionKey(9, boardOf(rows), Black);
    const auto canonical = turnedStones(boardOf(rows), 9, first.Canonical);
    std::set<int> canonicals;
    for (const Rows& image : imagesOf(rows)) {
        const auto board = boardOf(image);
        const PositionKey k = positionKey(9, board, Black);
        EXPECT_EQ(k.Hash, first.Hash);
        EXPECT_EQ(k.Stabilizer, 1u);
        EXPECT_EQ(turnedStones(board, 9, k.Canonical), canonical);
        canonicals.insert(k.Canonical);
    }
    EXPECT_EQ(canonicals.size(), 8u);  // each image reaches the canonical one its own way

    EXPECT_NE(positionKey(9, boardOf(rows), White).Hash, first.Hash);
    Rows other = rows;
    other[8][0] = 'X';  // one stone of the other colour
    EXPECT_NE(positionKey(9, boardOf(other), Black).Hash, first.Hash);
    const std::array<int, BoardCells> empty{};
    EXPECT_NE(positionKey(9, empty, Black).Hash, positionKey(13, empty, Black).Hash);
    EXPECT_NE(positionKey(19, empty, Black).Hash, positionKey(19, empty, White).Hash);
    EXPECT_FALSE(positionKey(26, empty, Black).valid());
}

TEST(PositionKey, StabilizerOfSymmetricPositions) {
    const struct {
        const char* what;
        Rows rows;
        unsigned stabilizer;
    } cases[] = {
        {"empty board", {".....", ".....", ".....", ".....", "....."}, 0xFF},
        {"a stone at the centre", {".....", ".....", "..X..", ".....", "....."}, 0xFF},
        {"a corner stone: the diagonal", {"X....", ".....", ".....", ".....", "....."}, 0x11},
        {"two stones mirrored left to right", {".X.X.", ".....", ".....", ".....", "....."}, 0x03},
        {"the same points, two colours", {".X.O.", ".....", ".....", ".....", "....."}, 0x01},
        {"four corners: every symmetry", {"X...X", ".....", ".....", ".....", "X...X"}, 0xFF},
        {"a stone beside the centre: up and down", {".....", ".....", ".X...", ".....", "....."}, 0x05},
        {"the other diagonal", {"....X", ".....", ".....", ".....", "X...."}, 0x99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(positionKey(5, boardOf(c.rows), Black).Stabilizer, c.stabilizer) << c.what;
    }
}

TEST(MainLinePositions, SideToMoveFollowsTheRecord) {
    test::TempFolder dir;
    GameState g;
    const struct {
        const char* what;
        std::string sgf;
        std::vector<int> sides;  // after 0, 1, … moves
    } cases[] = {
        {"black first", test::sgfGame("B[aa];W[bb]", "", 9), {Black, White, Black}},
        {"white first", test::sgfGame("W[aa];B[bb]", "", 9), {White, Black, White}},
        {"handicap, white first", test::sgfGame("W[aa]", "", 9, "HA[2]AB[cc][gg]"), {White, Black}},
        {"handicap, black first anyway", test::sgfGame("B[aa]", "", 9, "HA[2]AB[cc][gg]"), {Black, White}},
        {"no moves", test::sgfGame("", "", 9), {Black}},
        {"handicap stones only", test::sgfGame("", "", 9, "HA[2]AB[cc][gg]"), {White}},
    };
    for (const auto& c : cases) {
        test::loadRecord(g, dir.write("g.sgf", c.sgf));
        MainLinePositions walk(g);
        for (size_t k = 0; k < c.sides.size(); ++k) {
            EXPECT_EQ(walk.sideToMove(), c.sides[k]) << c.what << " after " << k;
            EXPECT_EQ(sideToMoveAfter(g, static_cast<int>(k)), c.sides[k]) << c.what;
            walk.advance();
        }
        EXPECT_TRUE(walk.atEnd()) << c.what;
        EXPECT_EQ(g.SideToMove, c.sides.back()) << c.what << ": the loaded game agrees";
    }
}

// Along every move of the real records the hash kept up move by move is the one made from the
// board, and the board at the end is the game's: captures come off the board and the hash.
TEST(MainLinePositions, IncrementalHashMatchesTheBoardOnRealRecords) {
    SKIP_WITHOUT_CORPUS();
    GameState g;
    TextBuffer buf;
    int games = 0, captures = 0;
    for (const char* folder : {"pro", "handicap", "small"}) {
        for (const auto& e : std::filesystem::recursive_directory_iterator(test::corpusDir() / folder)) {
            if (!readRecordFile(g, buf, e.path().string()).ok()) continue;
            ++games;
            captures += g.CapturedCount[1] + g.CapturedCount[2];
            MainLinePositions walk(g);
            while (true) {
                const PositionKey k = walk.key();
                ASSERT_EQ(walk.hash(), k.Hash) << e.path() << " move " << walk.moves();
                if (k.Stabilizer == 1) {
                    ASSERT_EQ(walk.canonical(), k.Canonical) << e.path();
                }
                if (walk.atEnd()) break;
                walk.advance();
            }
            for (int code = 0; code < g.BoardSize * g.BoardSize; ++code) {
                const auto pos = static_cast<size_t>(codePos(code, g.BoardSize));
                ASSERT_EQ(walk.board()[pos], g.Board[pos]) << e.path() << " at " << pos;
            }
            const int at = firstPass(g, walk.key());
            ASSERT_TRUE(at >= 0 && at <= g.MoveCount) << e.path();
            EXPECT_EQ(test::keyAfter(g, at).Hash, walk.hash()) << e.path();
        }
    }
    EXPECT_GT(games, 200);
    EXPECT_GT(captures, 1000);
}

}  // namespace
}  // namespace tavrin::library
