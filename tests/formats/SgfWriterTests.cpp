#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Sjis.h"
#include "formats/SgfWriter.h"
#include "tests/formats/FormatsTestSupport.h"

namespace tavrin {
namespace {

using test::newGame;
using test::play;
using test::pt;

std::vector<std::string> linesOf(const GameState& g) {
    TextBuffer buf;
    prcKifToStrings(g, buf);
    return buf.lines();
}

int cp932Length(const std::string& s) { return sjis::byteLength(s); }

TEST(SgfWriter, WorkedExampleByteForByte) {
    GameState g = newGame(9);
    g.AppTag = "Tavrin:0.5.1.20";
    g.GameName = "Tavrin 2026/12/06 10:00";
    g.GameDate = "2026-12-06";
    play(g, pt(g, 3, 3));
    play(g, pt(g, 7, 3));

    TextBuffer buf;
    const std::string bytes = sgfFileBytes(g, buf);
    const std::vector<std::string> expected = {
        "(;GM[1]FF[4]AP[Tavrin:0.5.1.20]SZ[9]GN[Tavrin 2026/12/06 10:00]DT[2026-12-06]"
        "PB[黒番対局者]",
        "PW[白番対局者]KM[6.5]HA[0]",
        ";B[cc];W[gc])",
    };
    EXPECT_EQ(buf.lines(), expected);
    EXPECT_EQ(cp932Length(buf.lines()[0]), 91);
    const std::string expectedBytes =
        "(;GM[1]FF[4]AP[Tavrin:0.5.1.20]SZ[9]GN[Tavrin 2026/12/06 10:00]DT[2026-12-06]"
        "PB[\x8D\x95\x94\xD4\x91\xCE\x8B\xC7\x8E\xD2]\r\n"
        "PW[\x94\x92\x94\xD4\x91\xCE\x8B\xC7\x8E\xD2]KM[6.5]HA[0]\r\n"
        ";B[cc];W[gc])\r\n";
    EXPECT_EQ(bytes, expectedBytes);
}

TEST(SgfWriter, EscapesOnlyBracketAndBackslash) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"plain 黒番", "plain 黒番"},
        {"a]b", "a\\]b"},
        {"c:\\kifu\\", "c:\\\\kifu\\\\"},
        {"[x]:\n;", "[x\\]:\n;"},
        {"ソ]", "ソ\\]"},  // 0x83 0x5C in the file, still one character here
    };
    for (const auto& c : cases) EXPECT_EQ(fncKinsiMojiChk(c.in), c.out) << c.in;
}

// A property written into the root lines; "" in expected means the name must be absent.
struct RootCase {
    const char* what;
    void (*set)(GameState&);
    const char* present;
    const char* absent;
};

TEST(SgfWriter, RootProperties) {
    const RootCase cases[] = {
        {"escaped names", [](GameState& g) { g.BlackPlayer = "a]b\\c"; }, "PB[a\\]b\\\\c]", ""},
        {"empty date", [](GameState& g) { g.GameDate.clear(); }, "DT[]", ""},
        {"empty rule left out", [](GameState& g) { g.GameRule.clear(); }, "DT[", "RU["},
        {"rule between DT and PB",
         [](GameState& g) {
             g.GameDate = "2026-12-06";
             g.GameRule = "日本";
         },
         "DT[2026-12-06]RU[日本]PB[", ""},
        {"empty result left out", [](GameState& g) { g.GameComment.clear(); }, "HA[0]", "RE["},
        {"result after HA", [](GameState& g) { g.GameComment = "W+R"; }, "HA[0]RE[W+R]", ""},
        {"komi 0", [](GameState& g) { g.KomiTenths = 0; }, "KM[0]HA", ""},
        {"komi 6", [](GameState& g) { g.KomiTenths = 60; }, "KM[6]HA", ""},
        {"komi -6.5", [](GameState& g) { g.KomiTenths = -65; }, "KM[-6.5]HA", ""},
        {"date unescaped", [](GameState& g) { g.GameDate = "2026-12-06"; }, "DT[2026-12-06]", ""},
    };
    for (const RootCase& c : cases) {
        GameState g = newGame(19);
        c.set(g);
        std::string root;
        for (const std::string& l : linesOf(g)) {
            if (!l.empty() && l[0] == ';') break;
            root += l;
        }
        EXPECT_NE(root.find(c.present), std::string::npos) << c.what << ": " << root;
        if (*c.absent) {
            EXPECT_EQ(root.find(c.absent), std::string::npos) << c.what;
        }
    }
}

TEST(SgfWriter, PassIsTtOnEverySize) {
    for (const int size : {9, 13, 19}) {
        GameState g = newGame(size);
        play(g, PassPos);
        play(g, pt(g, 1, size));
        const std::vector<std::string> lines = linesOf(g);
        const std::string expected = ";B[tt];W[a" + std::string(1, static_cast<char>('a' + size - 1)) + "])";
        EXPECT_EQ(lines.back(), expected) << size;
    }
}

TEST(SgfWriter, ClosingParenthesisStandsAloneWhenNoMovesOrAfterAFullLine) {
    GameState g = newGame(19);
    EXPECT_EQ(linesOf(g).back(), ")");

    // Fourteen moves of six bytes fill a line of 84 bytes, so ")" opens a new one.
    for (int k = 0; k < 14; ++k) play(g, pt(g, 1 + k, 1 + (k % 2) * 10));
    const std::vector<std::string> lines = linesOf(g);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].size(), 84u);
    EXPECT_EQ(lines.back(), ")");
}

TEST(SgfWriter, NineHandicapStonesComeFirstInRecordOrder) {
    GameState g = newGame(19, 9, 0);
    const std::vector<std::string> lines = linesOf(g);
    EXPECT_EQ(lines[0].substr(0, 50), "(;GM[1]FF[4]AB[pd][dp][dd][pp][pj][dj][jd][jp][jj]");
    EXPECT_EQ(lines[0].substr(50, 3), "AP[");
    EXPECT_NE(lines[1].find("HA[9]"), std::string::npos);
}

TEST(SgfWriter, CutJustAfterHaLeavesOneEmptyLine) {
    // "DT[]" 4 + "PB[黒]" 6 + "PW[" 55 x "]" 59 + "KM[6.5]" 7 = 76 bytes; HA[0] makes 81.
    GameState g = newGame(9);
    g.GameName = std::string(80, 'n');
    g.GameDate.clear();
    g.BlackPlayer = "黒";
    g.WhitePlayer = std::string(55, 'w');
    play(g, pt(g, 5, 5));
    const std::vector<std::string> lines = linesOf(g);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 5), "HA[0]");
    EXPECT_EQ(cp932Length(lines[1]), 81);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], ";B[ee])");

    g.GameComment = "B+R";  // RE takes the line that would have been empty
    const std::vector<std::string> withResult = linesOf(g);
    ASSERT_EQ(withResult.size(), 4u);
    EXPECT_EQ(withResult[2], "RE[B+R]");
    EXPECT_EQ(withResult[3], ";B[ee])");
}

TEST(SgfWriter, TwoHundredMovesFillLinesOf84Bytes) {
    GameState g = newGame(19);
    // The writer reads the record only; the moves need not form a legal game.
    for (int k = 1; k <= 200; ++k) {
        g.MoveColor[k] = k % 2 ? Black : White;
        g.MovePos[k] = pt(g, 1 + k % 19, 1 + (k / 19) % 19);
    }
    g.MoveCount = 200;
    const std::vector<std::string> lines = linesOf(g);
    ASSERT_EQ(lines.size(), 2u + 15u);
    for (size_t i = 2; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 84u) << i;
    EXPECT_EQ(lines.back().size(), 4u * 6 + 1);
    EXPECT_EQ(lines.back().back(), ')');
}

TEST(SgfWriter, JapaneseNamesCountTwoBytesTowardsTheCut) {
    // 36 bytes before GN; GN with 23 double-byte characters brings the line to 86 bytes
    // (63 characters), so the line is cut after GN.
    GameState g = newGame(9);
    g.AppTag = "Tavrin:0.5.1.20";
    g.GameName = "";
    for (int i = 0; i < 23; ++i) g.GameName += "碁";
    const std::vector<std::string> lines = linesOf(g);
    EXPECT_EQ(cp932Length(lines[0]), 12 + 19 + 5 + 4 + 46);
    EXPECT_EQ(lines[1].substr(0, 3), "DT[");
}

TEST(SgfWriter, RecordsCodePage932CannotHoldAreWrittenInUtf8) {
    const struct {
        const char* what;
        const char* black;
        bool utf8;
    } cases[] = {
        {"Japanese", "黒番対局者", false},
        {"wave dash as typed on Linux", "〜", false},
        {"Chinese", "骊龙", true},
        {"Korean", "사나마나", true},
        {"replacement character from a damaged file", "a\uFFFDb", true},
        {"yen sign", "¥", true},
        // E5 B0 B9 E8 88 AA in CP932 is well-formed UTF-8 and would read back as "尹航".
        {"CP932 bytes that would read as UTF-8", "蟆ｹ闊ｪ", true},
        {"CP932 bytes that are mostly UTF-8", "蟆ｹ闊ｪ 黒", true},
        {"CP932 bytes that are not mostly UTF-8", "蟆ｹ 黒番", false},
        {"half-width kana that read back as CP932", "ﾐｷ ﾃｽ", false},
        {"half-width kana that would read as a Latin word", "Joﾃｩ", true},
        {"bytes without a character kept", "a\U000F8540b", false},
    };
    for (const auto& c : cases) {
        GameState g = newGame(9);
        g.BlackPlayer = c.black;
        g.WhitePlayer = "W";
        play(g, pt(g, 3, 3));
        TextBuffer buf;
        const std::string bytes = sgfFileBytes(g, buf);
        EXPECT_EQ(buf.Encoding == TextEncoding::Utf8, c.utf8) << c.what;
        EXPECT_EQ(bytes.substr(0, 21) == "(;GM[1]FF[4]CA[UTF-8]", c.utf8) << c.what;
        EXPECT_EQ(bytes.find("CA[") != std::string::npos, c.utf8) << c.what;
        if (c.utf8) {
            EXPECT_NE(bytes.find(std::string("PB[") + c.black + "]"), std::string::npos) << c.what;
            EXPECT_EQ(bytes.find('?'), std::string::npos) << c.what;
        }
    }
}

TEST(SgfWriter, Utf8LinesAreCutAtEightyUtf8Bytes) {
    // 21 + 19 + 5 bytes before GN; fifteen three-byte characters bring it to 94 bytes
    // (64 characters), so GN ends the first line.
    GameState g = newGame(9);
    g.AppTag = "Tavrin:0.5.1.20";
    g.GameName.clear();
    for (int i = 0; i < 15; ++i) g.GameName += "骊";
    const std::vector<std::string> lines = linesOf(g);
    EXPECT_EQ(lines[0].size(), 94u);
    EXPECT_EQ(lines[0].substr(0, 21), "(;GM[1]FF[4]CA[UTF-8]");
    EXPECT_EQ(lines[1].substr(0, 3), "DT[");
}

}  // namespace
}  // namespace tavrin
