#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "formats/Sjis.h"
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

// The same game: board, record, position and information. Texts that code page 932 cannot
// hold are compared only when they could be written.
void expectSameGame(const GameState& a, const GameState& b, const std::string& what) {
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
    for (const auto field : {&GameState::GameName, &GameState::BlackPlayer,
                             &GameState::WhitePlayer, &GameState::GameComment,
                             &GameState::GameRule}) {
        if (sjis::encodable(a.*field)) {
            EXPECT_EQ(a.*field, b.*field) << what;
        }
    }
}

TEST(Corpus, EveryRecordIsReadOrRefusedWithAReasonAndRoundTrips) {
    SKIP_WITHOUT_CORPUS();
    const std::set<std::string> reasons = {reason::Format, reason::NotGo,    reason::BoardSize,
                                           reason::Komi,   reason::Handicap, reason::WhiteSetup,
                                           reason::TooLong, reason::Empty};
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
            EXPECT_TRUE(reasons.count(r.reason)) << path << ": " << r.reason;
            continue;
        }
        ++accepted;
        EXPECT_EQ(g.CurrentFileName, path);
        EXPECT_EQ(g.CurrentMove, g.MoveCount + 1) << path;

        const std::string first = sgfFileBytes(g, buf);
        GameState again = test::newGame(19);
        TextBuffer back;
        back.setFileBytes(first);
        const LoadResult r2 = fncStringsToKif(again, back, path);
        if (g.HandicapCount > 9) {
            // Written with HA equal to the stone count, which the reader refuses.
            EXPECT_EQ(r2.reason, reason::Handicap) << path;
            continue;
        }
        ASSERT_TRUE(r2.ok()) << path << ": " << r2.reason;
        expectSameGame(g, again, path);
        EXPECT_EQ(sgfFileBytes(again, back), first) << path;
        ++roundTrips;
    }
    EXPECT_GT(accepted, static_cast<int>(files.size()) / 2);
    EXPECT_GT(roundTrips, accepted * 9 / 10);
    std::printf("corpus: %zu records, %d read, %d round trips\n", files.size(), accepted,
                roundTrips);
}

TEST(Corpus, RealShiftJisRecords) {
    SKIP_WITHOUT_CORPUS();
    const struct {
        const char* file;
        const char* name;
        const char* black;
        const char* white;
        int moves;
    } cases[] = {
        {"sjis/nihon-kiin_trimmed_noCA_noRootSemicolon.sgf",
         "第1回ソパルコサノル世界最高棋士決定戦第9戦", "申眞ソ", "党毅飛", 8},
        {"sjis/sabaki-fixture_CA-Shift_JIS.sgf", "", "井山 裕太", "山下 敬吾", 2},
    };
    for (const auto& c : cases) {
        GameState g = test::newGame(19);
        TextBuffer buf;
        const std::string path = (test::corpusDir() / c.file).string();
        const LoadResult r = readRecordFile(g, buf, path);
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.reason;
        EXPECT_EQ(g.GameName, c.name) << c.file;
        EXPECT_EQ(g.BlackPlayer, c.black) << c.file;
        EXPECT_EQ(g.WhitePlayer, c.white) << c.file;
        EXPECT_EQ(g.MoveCount, c.moves) << c.file;
    }
}

}  // namespace
}  // namespace tavrin
