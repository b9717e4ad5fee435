#include <gtest/gtest.h>

#include <string>

#include "game/Engine.h"
#include "record/InfoTexts.h"

namespace {

using namespace tavrin;

struct KomiCase {
    int tenths;
    const char* text;
};

class KomiText : public ::testing::TestWithParam<KomiCase> {};

TEST_P(KomiText, WordsForHalfPointsNumbersOtherwise) {
    EXPECT_EQ(komiText(GetParam().tenths), GetParam().text) << GetParam().tenths;
    EXPECT_EQ(komiLabel(GetParam().tenths), std::string("コミ ： ") + GetParam().text);
    // A record that gave no komi says so, whatever number stands for it.
    EXPECT_EQ(komiLabel(GetParam().tenths, false), "コミ ： 記載なし");
}

INSTANTIATE_TEST_SUITE_P(Table, KomiText,
                         ::testing::Values(KomiCase{0, "なし"}, KomiCase{5, "半目"}, KomiCase{10, "１目"},
                                           KomiCase{15, "１目半"}, KomiCase{20, "２目"}, KomiCase{25, "２目半"},
                                           KomiCase{30, "３目"}, KomiCase{35, "３目半"}, KomiCase{40, "４目"},
                                           KomiCase{45, "４目半"}, KomiCase{50, "５目"}, KomiCase{55, "５目半"},
                                           KomiCase{60, "６目"}, KomiCase{65, "６目半"}, KomiCase{70, "７目"},
                                           KomiCase{75, "７目半"}, KomiCase{80, "８目"}, KomiCase{85, "８目半"},
                                           KomiCase{90, "９目"}, KomiCase{95, "９目半"}, KomiCase{100, "10目"},
                                           KomiCase{105, "10目半"}));

INSTANTIATE_TEST_SUITE_P(OffTheTable, KomiText,
                         ::testing::Values(KomiCase{110, "11目"}, KomiCase{3, "0.3目"}, KomiCase{-5, "-0.5目"},
                                           KomiCase{72, "7.2目"}, KomiCase{-65, "-6.5目"}, KomiCase{1, "0.1目"},
                                           KomiCase{106, "10.6目"}, KomiCase{-10, "-1目"}, KomiCase{1000, "100目"}));

TEST(InfoTexts, HandicapLabel) {
    const struct {
        int count;
        const char* text;
    } cases[] = {{0, "置き石 ： なし"}, {2, "置き石 ： ２子"}, {5, "置き石 ： ５子"}, {9, "置き石 ： ９子"},
                 {1, "置き石 ： "},     {10, "置き石 ： "},    {-1, "置き石 ： "}};
    for (const auto& c : cases) EXPECT_EQ(handicapLabel(c.count), c.text) << c.count;
}

TEST(InfoTexts, PanelLabels) {
    EXPECT_EQ(playerLabel("本因坊", Black), "      本因坊 ");
    EXPECT_EQ(playerLabel("", Black), "      黒番対局者 ");
    EXPECT_EQ(playerLabel("", White), "      白番対局者 ");
    EXPECT_EQ(playerLabel("W", White), "      W ");
    EXPECT_EQ(gameNameLabel(""), "( 対局名なし )");
    EXPECT_EQ(gameNameLabel("名局"), "名局");
    EXPECT_EQ(defaultGameTitle(2024, 3, 7, 9, 5), "Tavrin 2024/03/07 09:05");
    EXPECT_EQ(defaultGameTitle(1999, 12, 31, 23, 59), "Tavrin 1999/12/31 23:59");
    EXPECT_EQ(capturedLabel(0), "上げ石   0");
    EXPECT_EQ(capturedLabel(37), "上げ石  37");
    EXPECT_EQ(capturedLabel(1234), "上げ石1234");
    EXPECT_EQ(moveRowCaption(1), "   1");
    EXPECT_EQ(moveRowCaption(250), " 250");
}

// A 19 x 19 game with moves played through the engine.
GameState playedGame(std::initializer_list<int> moves, int handicap = 0) {
    GameState g;
    g.HandicapCount = handicap;
    prcNewSetCore(g, "2024-01-01");
    NullPainter p;
    for (int pos : moves) EXPECT_EQ(prcHitCore(g, pos, g.SideToMove, p), HitResult::Legal);
    return g;
}

TEST(InfoTexts, StatusPanels) {
    const struct {
        const char* what;
        GameState g;
        bool over;
        int back;  // moves stepped back after playing
        const char* moveNumber;
        const char* lastPoint;
        const char* turn;
    } cases[] = {
        {"start", playedGame({}), false, 0, "", "", "黒番です"},
        {"start with handicap", playedGame({}, 2), false, 0, "", "", "白番です"},
        {"one move", playedGame({22}), false, 0, "  1手目", "A  1", "白番です"},
        {"after handicap", playedGame({221, 418}, 9), false, 0, "  2手目", "T 19", "白番です"},
        {"pass", playedGame({220, PassPos}), false, 0, "  2手目", "パス", "黒番です"},
        {"ended at its end", playedGame({220, 221, 222}), true, 0, "  3手目", "K 12", "終局です"},
        {"ended, one back", playedGame({220, 221, 222}), true, 1, "  2手目", "K 11", "黒番です"},
    };
    for (auto c : cases) {
        NullPainter p;
        c.g.GameOver = c.over;
        if (c.back) prcKifBack(c.g, c.g.CurrentMove - c.back, p);
        const StatusTexts t = statusTexts(c.g);
        EXPECT_EQ(t.moveNumber, c.moveNumber) << c.what;
        EXPECT_EQ(t.lastPoint, c.lastPoint) << c.what;
        EXPECT_EQ(t.turn, c.turn) << c.what;
    }
}

TEST(InfoTexts, ResultSentence) {
    const struct {
        const char* result;
        const char* sentence;
    } cases[] = {
        {"0", "持碁です"},
        {"0.5", "持碁です"},
        {"B+R", "黒の中押し勝ちです"},
        {"W+Resign", "白の中押し勝ちです"},
        {"B+T", "白の時間切れ負けです"},
        {"W+Time", "黒の時間切れ負けです"},
        {"B+3.5", "黒の3.5目勝ちです"},
        {"W+12345678901234", "白の1234567890目勝ちです"},
        {"B+一二三四五六七八九十百", "黒の一二三四五六七八九十目勝ちです"},
        {"b+r", "b+r"},
        {"Void", "Void"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(fncReToComment(c.result), c.sentence) << c.result;
}

}  // namespace
