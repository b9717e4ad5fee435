#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/Sjis.h"
#include "formats/NgfReader.h"
#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "game/Engine.h"
#include "tests/formats/FormatsTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpusRecords() {
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(test::corpusDir())) {
        if (e.is_regular_file() && recordKind(e.path().string()) != RecordKind::None) {
            files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Corpus, EveryRecordIsReadOrRefusedWithAReasonAndRoundTrips) {
    SKIP_WITHOUT_CORPUS();
    const std::set<std::string> reasons = {reason::Format,   reason::NotGo,      reason::BoardSize, reason::Komi,
                                           reason::Handicap, reason::WhiteSetup, reason::TooLong,   reason::Empty};
    const std::vector<std::string> files = corpusRecords();
    ASSERT_GT(files.size(), 500u);

    int accepted = 0;
    int roundTrips = 0;
    for (const std::string& path : files) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        const LoadResult r = readRecordFile(g, buf, path);
        if (!r.ok()) {
            EXPECT_EQ(r.status, LoadStatus::Refused) << path;
            // An illegal move is named by its number in the record.
            const bool namedMove = r.reason == reason::illegalMove(std::atoi(r.reason.c_str()));
            EXPECT_TRUE(reasons.count(r.reason) || namedMove) << path << ": " << r.reason;
            continue;
        }
        ++accepted;
        EXPECT_EQ(g.CurrentMove, g.MoveCount + 1) << path;
        // Setup between the moves lives in the tree alone (SetupTests round-trips those).
        if (r.FirstSetupMove != 0) {
            ++roundTrips;
            continue;
        }

        const std::string first = sgfFileBytes(g, buf);
        GameState again = test::newGame(19);
        TextBuffer back;
        back.setFileBytes(first);
        const LoadResult r2 = fncStringsToKif(again, back, path);
        ASSERT_TRUE(r2.ok()) << path << ": " << r2.reason;  // more than 9 AB stones too
        // Who plays on where no move follows the last PL is the PL's, which the record's own
        // form leaves to the tree (the tree's round trip keeps it).
        again.SideToMove = g.SideToMove;
        test::expectSameGame(g, again, path);
        EXPECT_EQ(sgfFileBytes(again, back), first) << path;
        ++roundTrips;
    }
    EXPECT_GT(accepted, static_cast<int>(files.size()) / 2);
    EXPECT_EQ(roundTrips, accepted);
    std::printf("corpus: %zu records, %d read, %d round trips\n", files.size(), accepted, roundTrips);
}

// Every record's bytes, scanned as they stand, give what its decoded lines give.
TEST(Corpus, FileBytesReadAsTheirDecodedLinesWouldBe) {
    SKIP_WITHOUT_CORPUS();
    int compared = 0;
    std::string bytes;
    for (const std::string& path : corpusRecords()) {
        if (recordKind(path) != RecordKind::Sgf || !readFileBytes(path, bytes)) continue;
        test::expectSameReadEitherWay(bytes, path);
        ++compared;
    }
    EXPECT_GT(compared, 500);
}

// A loaded record holds what replaying its stones one by one through the move check gives:
// the same board, and the same captures booked in the same order.
TEST(Corpus, LoadedRecordsMatchTheMoveCheckStoneByStone) {
    SKIP_WITHOUT_CORPUS();
    int compared = 0;
    NullPainter painter;
    for (const std::string& path : corpusRecords()) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        const LoadResult r = readRecordFile(g, buf, path);
        if (!r.ok() || r.FirstSetupMove != 0) continue;  // setup between moves: see SetupTests
        GameState step = test::newGame(g.BoardSize);
        // Stones set up at the start (the handicap table's, AB and AW) stand on points of their
        // own and take nothing, whatever their liberties.
        for (int e = 1; e <= g.HandicapCount; ++e) {
            ASSERT_EQ(step.Board[g.MovePos[e]], 0) << path;
            step.Board[g.MovePos[e]] = g.MoveColor[e];
        }
        step.HandicapCount = g.HandicapCount;
        // Up to the first move the rules refuse, which the load names; from there on as the
        // record has them.
        for (int k = 1; k <= g.MoveCount; ++k) {
            const int e = g.HandicapCount + k;
            HitResult verdict = HitResult::Legal;
            ASSERT_TRUE(playAsRecorded(step, g.MovePos[e], g.MoveColor[e], painter, verdict)) << path << " move " << k;
            if (r.IllegalMove == 0 || k <= r.IllegalMove) {
                ASSERT_EQ(verdict == HitResult::Legal, k != r.IllegalMove) << path << " move " << k;
            }
            step.CurrentMove = k + 1;
        }
        // Cells past the board's last one are never used.
        for (int c = 0; c <= g.BoardLast; ++c) ASSERT_EQ(step.Board[c], g.Board[c]) << path << " cell " << c;
        ASSERT_EQ(step.CapturedCount, g.CapturedCount) << path;
        for (int k = 1; k <= g.MoveCount; ++k) ASSERT_EQ(step.MoveCaptures[k], g.MoveCaptures[k]) << path;
        for (int j = 1; j <= g.CapturedCount[1] + g.CapturedCount[2]; ++j) {
            ASSERT_EQ(step.CapturedPos[j], g.CapturedPos[j]) << path << " captured stone " << j;
        }
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

// What real records show: UTF-8 records by their names, the Shift-JIS ones exactly as
// before, and damaged UTF-8 (with or without a declaration) as UTF-8 whose broken bytes are
// kept as code points of their own: a truncated character no longer takes the "]" after it.
TEST(Corpus, EachRecordIsReadInItsEncoding) {
    SKIP_WITHOUT_CORPUS();
    const struct {
        const char* file;
        TextEncoding encoding;
        const char* name;
        const char* black;
        const char* white;
        int moves;
    } cases[] = {
        {"utf8/yenw/Li_Long__2017.05.07_骊龙_vs_jhba0425_(51400785).SGF", TextEncoding::Utf8, "", "骊龙", "사나마나",
         155},
        {"utf8/yenw/FineArt__2017.02.06_FineArt_vs_北海的早晨_(60670607).SGF", TextEncoding::Utf8, "", "绝艺",
         "北海的早晨", 211},
        {"utf8/yenw/dolbaram9__2017.11.02_胡傲穹_vs_dolbaram9_(62048026).SGF", TextEncoding::Utf8, "", "傲穹", "돌바람",
         237},
        {"pro/fox/1p/1377954818019999562.sgf", TextEncoding::Utf8, "", "蔡文驰", "陈正勋", 220},
        {"ngf/gokifu_sample3_utf8_korean_H6.ngf", TextEncoding::Utf8, "제5기 한국물가정보배 기념대국",
         "홍성지      7단P", "노영현      5단*", 250},
        {"sjis/nihon-kiin_trimmed_noCA_noRootSemicolon.sgf", TextEncoding::Cp932,
         "第1回ソパルコサノル世界最高棋士決定戦第9戦", "申眞ソ", "党毅飛", 8},
        {"sjis/sabaki-fixture_CA-Shift_JIS.sgf", TextEncoding::Cp932, "", "井山 裕太", "山下 敬吾", 2},
        {"sjis_transcoded/fox_9p_1450538608019999091.sgf", TextEncoding::Cp932, "", "三目中林", "蕭正浩", 243},
        // GB2312 bytes before "]" (柯洁 ends in E0, a code page 932 lead byte) no longer hide a move.
        {"odd/CA-GB2312.sgf", TextEncoding::Declared, "", "古力", "柯洁", 2},
        {"odd/fox_damaged_utf8__1424700187019999713.sgf", TextEncoding::Utf8, "", "风雨无阻",
         "王元\U000F00E5?\U000F0087", 138},
        {"odd/yenw_CA-UTF8_but_invalid__2016.10.13_天下无狗20_vs_巧花匠_(54658131).SGF", TextEncoding::Utf8, "",
         "天下无狗20", "巧花\U000F00E5\U000F008C", 279},
    };
    for (const auto& c : cases) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        const LoadResult r = readRecordFile(g, buf, (test::corpusDir() / c.file).string());
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.reason;
        EXPECT_EQ(buf.Encoding, c.encoding) << c.file;
        EXPECT_EQ(g.GameName, c.name) << c.file;
        EXPECT_EQ(g.BlackPlayer, c.black) << c.file;
        EXPECT_EQ(g.WhitePlayer, c.white) << c.file;
        EXPECT_EQ(g.MoveCount, c.moves) << c.file;
    }
}

// Every record whose bytes are well-formed UTF-8 and hold text beyond ASCII is still read as
// UTF-8: half-width katakana that happen to be UTF-8 never occur in such a file beside
// evidence of UTF-8, so the finer choice moves none of them.
TEST(Corpus, EveryUtf8RecordStaysUtf8) {
    SKIP_WITHOUT_CORPUS();
    int utf8 = 0;
    std::vector<std::string> moved;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::corpusDir())) {
        if (!entry.is_regular_file() || recordKind(entry.path().string()) == RecordKind::None) continue;
        std::string bytes;
        ASSERT_TRUE(readFileBytes(entry.path().string(), bytes));
        if (sjis::firstHighByte(bytes) == bytes.size() || !sjis::validUtf8(bytes)) continue;
        ++utf8;
        if (fileEncoding(bytes) != TextEncoding::Utf8) moved.push_back(entry.path().string());
    }
    std::printf("corpus: %d records in UTF-8\n", utf8);
    EXPECT_GT(utf8, 0);
    EXPECT_EQ(moved, std::vector<std::string>{});
}

// Records CP932 cannot hold are saved in UTF-8 and come back intact.
TEST(Corpus, KoreanNgfAndChineseSgfSurviveSaving) {
    SKIP_WITHOUT_CORPUS();
    for (const char* file :
         {"ngf/gokifu_sample3_utf8_korean_H6.ngf", "utf8/yenw/Li_Long__2017.05.07_骊龙_vs_jhba0425_(51400785).SGF"}) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        ASSERT_TRUE(readRecordFile(g, buf, (test::corpusDir() / file).string()).ok()) << file;
        const std::string saved = sgfFileBytes(g, buf);
        EXPECT_EQ(saved.substr(0, 21), "(;GM[1]FF[4]CA[UTF-8]") << file;
        EXPECT_TRUE(sjis::validUtf8(saved)) << file;
        EXPECT_EQ(saved.find('?'), std::string::npos) << file;

        GameState back = test::newGame(9);
        TextBuffer lines;
        lines.setFileBytes(saved);
        ASSERT_TRUE(fncStringsToKif(back, lines, file).ok()) << file;
        test::expectSameGame(g, back, file);
    }
}

}  // namespace
}  // namespace tavrin
