#include <gtest/gtest.h>

#include <string>

#include "base/Sjis.h"
#include "formats/TextBuffer.h"

namespace tavrin {
namespace {

using namespace std::string_literals;

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::string utf8;
};

TEST(Sjis, DecodesLeadByteAwareAndNeverDropsAByte) {
    const DecodeCase cases[] = {
        {"ASCII unchanged", "(;PB[a\\]b])", "(;PB[a\\]b])"},
        {"so before ] stays one character", "\x83\x5C]", "ソ]"},
        {"full-width and half-width kana", "\x8D\x95\x94\xD4\xB1", "黒番ｱ"},
        {"NEC extension", "\x87\x40", "①"},
        {"IBM extension", "\xFA\x40", "ⅰ"},
        {"NEC-selected IBM extension", "\xED\x40", "纊"},
        {"0x5C is a backslash, not a yen sign", "\x5C", "\\"},
        {"single byte without character kept", "a\x80z", "a\U000F0080z"},
        {"0xA0 and 0xFD..0xFF kept", "\xA0\xFD\xFE\xFF", "\U000F00A0\U000F00FD\U000F00FE\U000F00FF"},
        {"unassigned pair kept as one character", "\x85\x40]", "\U000F8540]"},
        {"lead byte before a non-trail byte", "\x83 ]", "\uFFFD ]"},
        {"lead byte cut off at the end", "ab\x83", "ab\uFFFD"},
        {"lead byte swallows the bracket after it", "\x83\x5D", "ゾ"},
        {"embedded NUL kept", "a\0b"s, "a\0b"s},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(sjis::decode(c.bytes), c.utf8) << c.what;
        // Kept bytes are written back as they were read.
        std::string back;
        if (c.utf8.find('\xF3') != std::string::npos) {
            EXPECT_TRUE(sjis::encode(c.utf8, back)) << c.what;
            EXPECT_EQ(back, c.bytes) << c.what;
            EXPECT_EQ(sjis::byteLength(c.utf8), static_cast<int>(c.bytes.size())) << c.what;
        }
    }
    // A plane-15 character that stands for no kept bytes has no code page 932 form.
    for (const char* notKept : {"\U000F0041", "\U000F8140", "\U000F8A4E", "\U000FFFFD", "\U0001F600"})
        EXPECT_EQ(sjis::byteLength(notKept), -1) << notKept;
}

struct EncodeCase {
    const char* utf8;
    const char* bytes;  // "?" for each character without a CP932 form
    bool all;
    int length;  // byteLength
};

TEST(Sjis, FindsTheFirstHighByteAtEveryPlaceOfALongAsciiRun) {
    // Runs longer than any step the search takes at once, a high byte at every offset and
    // searches from every start before it; also the decoding of such a line.
    for (size_t length = 0; length <= 80; ++length) {
        const std::string ascii(length, 'a');
        EXPECT_EQ(sjis::firstHighByte(ascii), length);
        for (size_t at = 0; at < length; ++at) {
            std::string bytes = ascii;
            bytes[at] = '\x82';  // lead byte of ひらがな; alone it decodes to the replacement
            for (size_t from = 0; from <= at; ++from) {
                ASSERT_EQ(sjis::firstHighByte(bytes, from), at) << length << " " << at << " " << from;
            }
            bytes[at] = '\xb1';  // half-width katakana "ｱ"
            EXPECT_EQ(sjis::decode(bytes), ascii.substr(0, at) + "ｱ" + ascii.substr(at + 1)) << length << " " << at;
        }
    }
}

TEST(Sjis, EncodesAndMeasuresInCodePage932) {
    const EncodeCase cases[] = {
        {"", "", true, 0},
        {"Tavrin:0.5.1.20", "Tavrin:0.5.1.20", true, 15},
        {"黒番対局者", "\x8D\x95\x94\xD4\x91\xCE\x8B\xC7\x8E\xD2", true, 10},
        {"ソ", "\x83\x5C", true, 2},
        {"ｱ", "\xB1", true, 1},
        {"①ⅰ", "\x87\x40\xFA\x40", true, 4},
        {"～", "\x81\x60", true, 2},
        {"〜", "\x81\x60", true, 2},  // wave dash as typed on Linux: same byte pair
        {"骊龙", "??", false, -1},
        {"한국", "??", false, -1},
        {"a¥b", "a?b", false, -1},  // would become the escape character 0x5C
        {"€", "?", false, -1},
    };
    for (const EncodeCase& c : cases) {
        std::string out;
        EXPECT_EQ(sjis::encode(c.utf8, out), c.all) << c.utf8;
        EXPECT_EQ(out, c.bytes) << c.utf8;
        EXPECT_EQ(sjis::byteLength(c.utf8), c.length) << c.utf8;
        EXPECT_EQ(sjis::encodable(c.utf8), c.all) << c.utf8;
    }
}

TEST(Sjis, EveryDecodableDoubleByteCodeRoundTrips) {
    // Each pair either comes back as itself or, for the duplicated NEC/IBM codes, as
    // another pair of the same character.
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = sjis::decode(bytes);
            if (text == "\uFFFD") continue;
            ++pairs;
            std::string back;
            ASSERT_TRUE(sjis::encode(text, back)) << std::hex << lead << " " << trail;
            ASSERT_EQ(back.size(), 2u);
            EXPECT_EQ(sjis::decode(back), text);
        }
    }
    EXPECT_GT(pairs, 7000);  // JIS X 0208 plus the Windows extensions
}

TEST(Sjis, ValidUtf8IsStrict) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"abc", true},
        {"骊龙 한국 ü 😀", true},
        {"\xE0\x80\xAF", false},      // overlong
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xE9\xAA", false},          // cut off
        {"\x8D\x95\x94\xD4", false},  // Shift-JIS
        {"\x83\x5C]", false},
    };
    for (const auto& c : cases) EXPECT_EQ(sjis::validUtf8(c.bytes), c.valid) << c.bytes;
    EXPECT_EQ(sjis::charCount("a黒ｱ😀"), 4);
}

TEST(TextBuffer, SplitsAtEveryLineBreakAndJoinsWithCrLf) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"a\n\n", {"a", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    TextBuffer buf;
    buf.lines() = {"left", "over", "from", "before"};
    for (const auto& c : cases) {
        buf.setText(c.text);
        EXPECT_EQ(buf.lines(), c.lines) << c.text;
    }
    buf.lines() = {"(;GN[黒", "]", ")"};
    EXPECT_EQ(buf.text(), "(;GN[黒\r\n]\r\n)\r\n");
    EXPECT_EQ(buf.joined(), "(;GN[黒])");
    std::string bytes;
    EXPECT_TRUE(buf.fileBytes(bytes));
    EXPECT_EQ(bytes, "(;GN[\x8D\x95\r\n]\r\n)\r\n");
    buf.setFileBytes("a\x83\x5C\r\nb\r");
    EXPECT_EQ(buf.lines(), (std::vector<std::string>{"aソ", "b"}));
}

TEST(TextBuffer, FileBytesAreReadAsUtf8OnlyWhenTheyAreUtf8) {
    const struct {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        std::vector<std::string> lines;
    } cases[] = {
        {"ASCII", "(;PB[a])\r\n", TextEncoding::Cp932, {"(;PB[a])"}},
        {"UTF-8", "(;PB[\xE9\xAA\x8A])", TextEncoding::Utf8, {"(;PB[骊])"}},
        {"Shift-JIS", "(;PB[\x8D\x95])", TextEncoding::Cp932, {"(;PB[黒])"}},
        {"Shift-JIS so before ]", "(;PB[\x83\x5C])", TextEncoding::Cp932, {"(;PB[ソ])"}},
        {"byte-order mark skipped", "\xEF\xBB\xBF(;PB[\xE9\xAA\x8A])", TextEncoding::Utf8, {"(;PB[骊])"}},
        {"byte-order mark, ASCII after it", "\xEF\xBB\xBF(;)", TextEncoding::Utf8, {"(;)"}},
        {"byte-order mark, damaged byte kept as U+FFFD",
         "\xEF\xBB\xBF(;PB[\xE9\xAA])",
         TextEncoding::Utf8,
         {"(;PB[\uFFFD\uFFFD])"}},
        // Mostly UTF-8: the broken bytes are kept, and 0x87 no longer takes the "]" as code
        // page 932 would.
        {"declared UTF-8 with a truncated character",
         "CA[UTF-8]PB[\xE7\x8E\x8B\xE5?\x87]",
         TextEncoding::Utf8,
         {"CA[UTF-8]PB[王\U000F00E5?\U000F0087]"}},
        {"undeclared UTF-8 with a truncated character",
         "PB[\xE9\xA3\x8E\xE9\x9B\xA8\xE6]PW[\xE7\x8E\x8B]",
         TextEncoding::Utf8,
         {"PB[风雨\U000F00E6]PW[王]"}},
        {"declared UTF-8 with more broken bytes than whole ones",
         "CA[UTF-8]PB[\xE7\x8E\x8B\x87\x87\x87]",
         TextEncoding::Utf8,
         {"CA[UTF-8]PB[王\U000F0087\U000F0087\U000F0087]"}},
        {"declared UTF-8 without a UTF-8 character: code page 932",
         "CA[UTF-8]PB[\x8D\x95]",
         TextEncoding::Cp932,
         {"CA[UTF-8]PB[黒]"}},
        {"half-width kana with a stray byte stay CP932",
         "PB[\xD0\xB7\xB5\xA0]",
         TextEncoding::Cp932,
         {"PB[ﾐｷｵ\U000F00A0]"}},
        {"overlong form is not UTF-8", "PB[\xC0\xAF]", TextEncoding::Cp932, {"PB[ﾀｯ]"}},
        // Half-width katakana pairs of code page 932 that are also two-byte UTF-8 forms.
        {"ﾐｷ in CP932 (also UTF-8 з)", "PB[\xD0\xB7]", TextEncoding::Cp932, {"PB[ﾐｷ]"}},
        {"ﾃｽ in CP932 (also UTF-8 ½)", "GN[\xC3\xBD]PB[\xD0\xB7\xC3\xBD]", TextEncoding::Cp932, {"GN[ﾃｽ]PB[ﾐｷﾃｽ]"}},
        {"棋聖 in CP932", "GN[\x8A\xFB\x90\xB9]", TextEncoding::Cp932, {"GN[棋聖]"}},
        {"José in UTF-8", "PW[Jos\xC3\xA9]", TextEncoding::Utf8, {"PW[José]"}},
        {"Müller and Ørsted in UTF-8",
         "PB[M\xC3\xBCller]PW[\xC3\x98rsted]",
         TextEncoding::Utf8,
         {"PB[Müller]PW[Ørsted]"}},
        {"柯洁 in UTF-8", "PW[\xE6\x9F\xAF\xE6\xB4\x81]", TextEncoding::Utf8, {"PW[柯洁]"}},
        {"이세돌 in UTF-8", "PB[\xEC\x9D\xB4\xEC\x84\xB8\xEB\x8F\x8C]", TextEncoding::Utf8, {"PB[이세돌]"}},
        {"declared UTF-8 decides", "(;CA[utf-8]PB[\xD0\xB7])", TextEncoding::Utf8, {"(;CA[utf-8]PB[з])"}},
        {"declared Shift_JIS decides",
         "(;CA[Shift_JIS]PB[\xE6\x9F\xAF])",
         TextEncoding::Cp932,
         {"(;CA[Shift_JIS]PB[譟ｯ])"}},
        // Other declared sets are read in that set; their trail bytes may be "\" or "]".
        {"GB2312 read as such",
         "(;CA[GB2312]PB[\xB9\xC5\xC1\xA6]PW[\xBF\xC2\xBD\xE0])",
         TextEncoding::Declared,
         {"(;CA[GB2312]PB[古力]PW[柯洁])"}},
        {"Big5 with a backslash trail byte", "(;CA[Big5]PB[\xB3\x5C])", TextEncoding::Declared, {"(;CA[Big5]PB[許])"}},
        {"EUC-KR", "(;CA[EUC-KR]PB[\xC0\xCC\xBC\xBC\xB5\xB9])", TextEncoding::Declared, {"(;CA[EUC-KR]PB[이세돌])"}},
        {"ISO-8859-1", "(;CA[iso-8859-1]PB[M\xFCller])", TextEncoding::Declared, {"(;CA[iso-8859-1]PB[Müller])"}},
        {"a CA inside a name declares nothing",
         "(;PB[\xB9\xC5\xC1\xA6!CA[GB2312]PW[\xD0\xB7])",
         TextEncoding::Cp932,
         {"(;PB[ｹﾅﾁｦ!CA[GB2312]PW[ﾐｷ])"}},
        {"a set nobody knows is not trusted", "(;CA[foo]PB[\x8D\x95])", TextEncoding::Cp932, {"(;CA[foo]PB[黒])"}},
        {"surrogate is not UTF-8", "PB[\xED\xA0\x80]", TextEncoding::Cp932, {"PB[恝\U000F0080]"}},
        // UTF-16 with its byte-order mark, either way round, lines split after decoding.
        {"UTF-16 little-endian",
         std::string("\xFF\xFE(\0;\0P\0B\0[\0\x8A\x9A]\0\r\0\n\0)\0", 22),
         TextEncoding::Declared,
         {"(;PB[骊]", ")"}},
        {"UTF-16 big-endian",
         std::string("\xFE\xFF\0(\0;\0P\0B\0[\x9A\x8A\0]\0)", 18),
         TextEncoding::Declared,
         {"(;PB[骊])"}},
    };
    TextBuffer buf;
    for (const auto& c : cases) {
        EXPECT_EQ(fileEncoding(c.bytes), c.encoding) << c.what;
        buf.setFileBytes(c.bytes);
        EXPECT_EQ(buf.Encoding, c.encoding) << c.what;
        EXPECT_EQ(buf.lines(), c.lines) << c.what;
    }
    buf.setText("(;)");
    EXPECT_EQ(buf.Encoding, TextEncoding::Cp932) << "clipboard text has no file encoding";
}

}  // namespace
}  // namespace tavrin
