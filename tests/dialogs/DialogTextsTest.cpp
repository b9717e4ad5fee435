// Texts and rules of the dialogs that need no widgets.
#include <gtest/gtest.h>

#include "view/DialogTexts.h"

using namespace tavrin::dialogs;

namespace {

struct VersionCase {
    const char* version;
    const char* line;  // nullptr: the design text stays
};

TEST(VersionLine, CutByPositionAlone) {
    const VersionCase cases[] = {
        {"0.5.1.20", "Version 0.5 [Build 1.20]"},
        {"12.3.4.5", "Version 12. [Build .4.5]"},
        {"1.0", "Version 1.0 [Build ]"},
        {"1.2.3.45678901234", "Version 1.2 [Build 3.45678901]"},  // at most 10 after the 4th
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        auto line = versionLine(c.version);
        if (!c.line) {
            EXPECT_FALSE(line.has_value());
        } else {
            ASSERT_TRUE(line.has_value());
            EXPECT_EQ(*line, c.line);
        }
    }
}

TEST(MemoryTexts, GroupedKilobytesAndLoad) {
    struct Case {
        std::uint64_t kb;
        const char* sep;
        const char* text;
    } const cases[] = {
        {524288, ",", "524,288 KB"},
        {0, ",", "0 KB"},
        {999, ",", "999 KB"},
        {1000, ",", "1,000 KB"},
        {16314380, ".", "16.314.380 KB"},
        {123456789012, "\u00a0", "123\u00a0456\u00a0789\u00a0012 KB"},
    };
    for (const auto& c : cases) EXPECT_EQ(physMemText(c.kb, c.sep), c.text) << c.kb;
    EXPECT_EQ(memoryLoadText(37), "37 %");
    EXPECT_EQ(memoryLoadText(100), "100 %");
}

TEST(MemoryTexts, ProcMeminfo) {
    auto st = parseMemInfo("MemTotal:         524288 kB\nMemFree:           10000 kB\nMemAvailable:     330301 kB\n");
    ASSERT_TRUE(st.has_value());
    EXPECT_EQ(st->totalKB, 524288u);
    EXPECT_EQ(st->loadPercent, 37);
    // Without MemAvailable the free memory stands in.
    st = parseMemInfo("MemFree:  500 kB\nMemTotal:  1000 kB\n");
    ASSERT_TRUE(st.has_value());
    EXPECT_EQ(st->loadPercent, 50);
    EXPECT_FALSE(parseMemInfo("MemTotalX: 5 kB\nSwapTotal: 9 kB\n").has_value());
    EXPECT_EQ(memoryLoad(0, 0), 0);      // no total: no division
    EXPECT_EQ(memoryLoad(100, 200), 0);  // more available than total
    // The running system gives a plausible figure.
    MemoryStatus now = readMemoryStatus();
    EXPECT_GT(now.totalKB, 0u);
    EXPECT_GE(now.loadPercent, 0);
    EXPECT_LE(now.loadPercent, 100);
}

TEST(KomiTexts, ItemsAndExtraValues) {
    EXPECT_EQ(komiItems()[0], "なし");
    EXPECT_EQ(komiItems()[13], "６目半");
    EXPECT_EQ(komiItems()[20], "10目");
    EXPECT_EQ(komiItems()[21], "10目半");
    struct Case {
        int tenths;
        const char* text;
    } const cases[] = {
        {115, " 11.5目"},           {110, " 11目"}, {200, " 20目"}, {3, " 0.3目"}, {-5, " -0.5目"}, {-30, " -3目"},
        {12345678, " 1234567.8目"},
    };
    for (const auto& c : cases) EXPECT_EQ(komiValueItem(c.tenths), c.text) << c.tenths;
}

TEST(GameTitle, FixedWidthFields) {
    EXPECT_EQ(defaultGameTitle(2024, 5, 6, 7, 8), "Tavrin 2024/05/06 07:08");
    EXPECT_EQ(defaultGameTitle(1999, 12, 31, 23, 59), "Tavrin 1999/12/31 23:59");
}

// Edits: previous text, the text after the edit with the caret, the limit, and what stays.
struct FitCase {
    const char* name;
    std::u32string previous;
    std::u32string proposed;
    std::size_t cursor;
    int limit;
    std::u32string text;
    std::size_t caret;
};

TEST(Cp932Fit, InsertionsKeepOnlyWhatFits) {
    const FitCase cases[] = {
        {"fits", U"ab", U"abc", 3, 4, U"abc", 3},
        {"full-width counts two", U"abc", U"abc日", 4, 4, U"abc", 3},
        {"16 kanji fill 32 bytes", U"", U"一二三四五六七八九十一二三四五六七", 17, 32,
         U"一二三四五六七八九十一二三四五六", 16},
        {"mixed widths to the byte", U"Tavrin", U"Tavrin囲碁対局棋譜鑑賞再生あ", 17, 24, U"Tavrin囲碁対局棋譜鑑賞再",
         15},
        {"half-width kana count one", U"", U"ｱｲｳｴ", 4, 3, U"ｱｲｳ", 3},
        {"korean syllable rejected", U"ab", U"ab한", 3, 24, U"ab", 2},
        {"stripped inside a paste", U"", U"a한b😀c", 5, 24, U"abc", 3},
        {"paste cut from its end, tail kept", U"abXY", U"ab漢字仮名XY", 6, 8, U"ab漢字XY", 4},
        {"over-long text may shrink", U"一二三四五", U"一二四五", 2, 6, U"一二四五", 2},
        {"over-long text takes nothing", U"一二三四", U"一二三四a", 5, 6, U"一二三四", 4},
        {"NEC extensions are part of the code page", U"", U"①Ⅱ㈱", 3, 5, U"①Ⅱ", 2},
        {"replacing a selection", U"abcd", U"a日d", 2, 3, U"ad", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditFit fit = fitCp932Edit(c.previous, c.proposed, c.cursor, c.limit);
        EXPECT_TRUE(fit.text == c.text);
        EXPECT_EQ(fit.cursor, c.caret);
        // Checking the result again changes nothing (the edit checks its own correction).
        EditFit again = fitCp932Edit(c.previous, fit.text, fit.cursor, c.limit);
        EXPECT_TRUE(again.text == fit.text);
    }
}

}  // namespace
