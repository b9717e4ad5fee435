// New-game set-up: board layout, handicap stones, coordinate names, corrections of settings.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/game/TestBoard.h"

namespace tavrin::test {
namespace {

struct HandicapCase {
    int size;
    int count;
    std::vector<int> positions;  // in recording order
};

const HandicapCase HandicapCases[] = {
    {19, 2, {340, 100}},
    {19, 3, {340, 100, 88}},
    {19, 4, {340, 100, 88, 352}},
    {19, 5, {340, 100, 88, 352, 220}},
    {19, 6, {340, 100, 88, 352, 346, 94}},
    {19, 7, {340, 100, 88, 352, 346, 94, 220}},
    {19, 8, {340, 100, 88, 352, 346, 94, 214, 226}},
    {19, 9, {340, 100, 88, 352, 346, 94, 214, 226, 220}},
    {13, 2, {154, 70}},
    {13, 3, {154, 70, 64}},
    {13, 4, {154, 70, 64, 160}},
    {13, 5, {154, 70, 64, 160, 112}},
    {13, 6, {154, 70, 64, 160, 157, 67}},
    {13, 7, {154, 70, 64, 160, 157, 67, 112}},
    {13, 8, {154, 70, 64, 160, 157, 67, 109, 115}},
    {13, 9, {154, 70, 64, 160, 157, 67, 109, 115, 112}},
    {9, 2, {80, 40}},
    {9, 3, {80, 40, 36}},
    {9, 4, {80, 40, 36, 84}},
    {9, 5, {80, 40, 36, 84, 60}},
    {9, 6, {80, 40, 36, 84, 82, 38}},
    {9, 7, {80, 40, 36, 84, 82, 38, 60}},
    {9, 8, {80, 40, 36, 84, 82, 38, 58, 62}},
    {9, 9, {80, 40, 36, 84, 82, 38, 58, 62, 60}},
};

TEST(NewGame, HandicapStonesForEverySizeAndCount) {
    for (const HandicapCase& c : HandicapCases) {
        SCOPED_TRACE(testing::Message() << c.size << "x" << c.size << " with " << c.count);
        GameState g = newGame(c.size, c.count);
        int blackOnBoard = 0;
        for (int i = 0; i <= g.BoardLast; ++i) blackOnBoard += g.Board[i] == Black;
        EXPECT_EQ(blackOnBoard, c.count);
        for (int i = 1; i <= c.count; ++i) {
            EXPECT_EQ(HandicapPoints(c.size, c.count, i), c.positions[i - 1]) << "stone " << i;
            EXPECT_EQ(g.MovePos[i], c.positions[i - 1]) << "stone " << i;
            EXPECT_EQ(g.MoveColor[i], Black);
            EXPECT_EQ(g.MoveTime[i], 0);
            EXPECT_EQ(g.Board[c.positions[i - 1]], Black);
        }
        EXPECT_EQ(g.MovePos[c.count + 1], 0) << "nothing recorded after the stones";
        EXPECT_EQ(g.SideToMove, White);
        EXPECT_EQ(g.CurrentMove, 1);
        EXPECT_EQ(g.MoveCount, 0);
    }
}

TEST(NewGame, HandicapStonesStandOnTheStarPoints) {
    GameState g = newGame(9, 5);
    EXPECT_EQ(diagram(g, 9, 9), diagram({".........", ".........", "..X...X..", ".........", "....X....", ".........",
                                         "..X...X..", ".........", "........."}));
    // The first stone is the upper right star point, the second the lower left.
    EXPECT_EQ(g.MovePos[1], pt(g, 7, 3));
    EXPECT_EQ(g.MovePos[2], pt(g, 3, 7));
}

TEST(NewGame, HandicapPointsOutsideTheTableAreZero) {
    const int outside[][3] = {{19, 1, 1}, {19, 10, 1}, {19, 4, 5}, {19, 4, 0}, {15, 4, 1}, {0, 2, 1}};
    for (const auto& c : outside) EXPECT_EQ(HandicapPoints(c[0], c[1], c[2]), 0);
}

TEST(NewGame, FirstMoveAfterHandicapIsRecordedAfterTheStones) {
    GameState g = newGame(19, 9);
    NullPainter p;
    ASSERT_EQ(prcHitCore(g, pt(g, 3, 3), White, p), HitResult::Legal);
    EXPECT_EQ(g.MovePos[10], pt(g, 3, 3));
    EXPECT_EQ(g.MoveColor[10], White);
    EXPECT_EQ(g.MovePos[9], 220);
}

TEST(NewGame, NineByNineBorder) {
    GameState g = newGame(9);
    EXPECT_EQ(g.BoardStride, 11);
    EXPECT_EQ(g.BoardLast, 120);
    std::vector<int> corners, borders, points;
    for (int i = 0; i <= 120; ++i) {
        if (g.Board[i] == CellCorner)
            corners.push_back(i);
        else if (g.Board[i] == CellBorder)
            borders.push_back(i);
        else if (g.Board[i] == 0)
            points.push_back(i);
        else
            ADD_FAILURE() << "cell " << i << " holds " << g.Board[i];
    }
    EXPECT_EQ(corners, (std::vector<int>{0, 10, 110, 120}));
    std::vector<int> wantBorders = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int c = 1; c <= 9; ++c) {
        wantBorders.push_back(11 * c);
        wantBorders.push_back(11 * c + 10);
    }
    for (int i = 111; i <= 119; ++i) wantBorders.push_back(i);
    std::sort(wantBorders.begin(), wantBorders.end());
    EXPECT_EQ(borders, wantBorders);
    EXPECT_EQ(points.size(), 81u);
    EXPECT_EQ(g.DirOffset, (std::array<int, 4>{-1, 11, 1, -11}));
}

TEST(NewGame, CoordinateNames) {
    struct Case {
        int size, col, row;
        const char* name;
    };
    const Case cases[] = {
        {19, 1, 1, "A  1"}, {19, 10, 10, "K 10"}, {19, 19, 19, "T 19"}, {19, 8, 9, "H  9"},
        {19, 9, 1, "J  1"}, {13, 1, 1, "A  1"},   {13, 13, 13, "N 13"}, {13, 9, 12, "J 12"},
        {9, 1, 1, "A  1"},  {9, 9, 9, "J  9"},    {9, 5, 5, "E  5"},
    };
    for (const Case& c : cases) {
        GameState g = newGame(c.size);
        EXPECT_EQ(g.CoordName[pt(g, c.col, c.row)], c.name) << c.size << " " << c.col << "," << c.row;
    }
    GameState g13 = newGame(13);
    EXPECT_EQ(g13.CoordName[16], "A  1");
    EXPECT_EQ(g13.CoordName[208], "N 13");
}

TEST(NewGame, SmallerBoardKeepsNoOldStone) {
    GameState g = newGame(19);
    NullPainter p;
    // Stones all over the big board, the far corner included.
    for (int col = 1; col <= 19; col += 2)
        for (int row = 1; row <= 19; row += 3) prcHitCore(g, pt(g, col, row), g.SideToMove, p);
    ASSERT_GT(g.MoveCount, 50);
    g.BoardSize = 9;
    prcNewSetCore(g, "2024-05-02");
    const GameState fresh = newGame(9);
    for (int i = 0; i <= fresh.BoardLast; ++i) EXPECT_EQ(g.Board[i], fresh.Board[i]) << "cell " << i;
    EXPECT_EQ(g.CapturedCount, fresh.CapturedCount);
    EXPECT_EQ(g.MovePos, fresh.MovePos);
    EXPECT_EQ(g.MoveCaptures, fresh.MoveCaptures);
    EXPECT_EQ(g.LastMovePos, 0);
    EXPECT_EQ(g.CoordName[pt(g, 9, 9)], "J  9");
}

TEST(NewGame, ResetsPlayStateAndKeepsGameInformation) {
    GameState g = newGame(19);
    NullPainter p;
    g.GameName = "名人戦";
    g.GameComment = "B+R";
    g.BlackPlayer = "黒";
    g.WhitePlayer = "白";
    g.BlackPlayerKind = false;
    g.KomiTenths = 55;
    g.Level = 1;
    g.GameRule = "Japanese";
    g.MoveSeconds = 7;
    prcHitCore(g, 100, Black, p);
    prcEndOfGameCore(g);
    g.HandicapCount = 3;
    prcNewSetCore(g, "2031-12-24");
    EXPECT_EQ(g.GameName, "名人戦");
    EXPECT_EQ(g.GameComment, "B+R");
    EXPECT_EQ(g.BlackPlayer, "黒");
    EXPECT_EQ(g.WhitePlayer, "白");
    EXPECT_FALSE(g.BlackPlayerKind);
    EXPECT_EQ(g.KomiTenths, 55);
    EXPECT_EQ(g.Level, 1);
    EXPECT_EQ(g.GameDate, "2031-12-24");
    EXPECT_EQ(g.GameRule, "");
    EXPECT_EQ(g.CurrentMove, 1);
    EXPECT_EQ(g.MoveCount, 0);
    EXPECT_EQ(g.SideToMove, White);
    EXPECT_EQ(g.MoveSeconds, 0);
    EXPECT_EQ(g.BlackTotalSeconds, 0);
    EXPECT_EQ(g.WhiteTotalSeconds, 0);
    EXPECT_FALSE(g.GameOver);
    EXPECT_FALSE(g.EndedByPasses);
    EXPECT_EQ(g.LastMovePos, 0);
}

TEST(NewGame, BadSettingsAreCorrectedBeforeSetUp) {
    struct Case {
        int size, handicap, wantSize, wantHandicap;
    };
    const Case cases[] = {
        {9, 0, 9, 0},    {13, 2, 13, 2}, {19, 9, 19, 9}, {0, 0, 19, 0},   {21, 0, 21, 0},
        {-9, 0, 19, 0},  {18, 4, 18, 0}, {19, 1, 19, 0}, {19, 10, 19, 0}, {9, -1, 9, 0},
        {9, 1000, 9, 0}, {1, 1, 19, 0},  {2, 0, 2, 0},   {25, 2, 25, 0},  {26, 0, 19, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " handicap " << c.handicap);
        GameState g;
        g.BoardSize = c.size;
        g.HandicapCount = c.handicap;
        prcNewSetCore(g, "");
        EXPECT_EQ(g.BoardSize, c.wantSize);
        EXPECT_EQ(g.HandicapCount, c.wantHandicap);
        EXPECT_EQ(g.BoardStride, c.wantSize + 2);
        EXPECT_EQ(g.SideToMove, c.wantHandicap > 0 ? White : Black);
    }
}

TEST(NewGame, HandicapTexts) {
    const std::pair<int, const char*> cases[] = {
        {0, "なし"}, {1, ""},     {2, "２子"}, {3, "３子"}, {4, "４子"}, {5, "５子"},
        {6, "６子"}, {7, "７子"}, {8, "８子"}, {9, "９子"}, {10, ""},    {-1, ""},
    };
    for (const auto& [count, text] : cases) EXPECT_EQ(handicapText(count), text) << count;
}

TEST(Clock, SecondsAsHoursMinutesSeconds) {
    const std::pair<int, const char*> cases[] = {
        {0, "00:00:00"},    {1, "00:00:01"},     {59, "00:00:59"},      {60, "00:01:00"},    {3599, "00:59:59"},
        {3600, "01:00:00"}, {86399, "23:59:59"}, {360000, "100:00:00"}, {45296, "12:34:56"},
    };
    for (const auto& [secs, text] : cases) EXPECT_EQ(fncSecToHms(secs), text) << secs;
}

}  // namespace
}  // namespace tavrin::test
