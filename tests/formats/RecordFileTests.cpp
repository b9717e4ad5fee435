#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "tests/formats/FormatsTestSupport.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavrin-formats-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    fs::path dir_;
};

TEST_F(RecordFileTest, ChoosesTheReaderByExtensionInAnyCase) {
    const struct {
        const char* path;
        RecordKind kind;
    } cases[] = {{"a.sgf", RecordKind::Sgf},  {"A.SGF", RecordKind::Sgf}, {"b.Ngf", RecordKind::Ngf},
                 {"c.txt", RecordKind::None}, {"sgf", RecordKind::None},  {"d.sgf.bak", RecordKind::None}};
    for (const auto& c : cases) EXPECT_EQ(recordKind(c.path), c.kind) << c.path;
}

TEST_F(RecordFileTest, FileLayerOutcomes) {
    GameState g = test::newGame(19);
    TextBuffer buf;
    const struct {
        std::string path;
        LoadStatus status;
        std::string reason;
    } cases[] = {
        {"", LoadStatus::NoPath, ""},
        {(dir_ / "missing.sgf").string(), LoadStatus::CannotOpen, reason::CannotOpen},
        {write("empty.sgf", ""), LoadStatus::Empty, reason::Empty},
        {write("empty.ngf", ""), LoadStatus::Empty, reason::Empty},
        {write("blank.sgf", "\r\n"), LoadStatus::Refused, reason::Format},
        {write("game.txt", "(;SZ[9])"), LoadStatus::Refused, NotRecordFile},
        {write("game.SGF", "(;SZ[9]\r\n;B[aa]\r;W[bb]\n)\r\n"), LoadStatus::Ok, ""},
    };
    for (const auto& c : cases) {
        const LoadResult r = readRecordFile(g, buf, c.path);
        EXPECT_EQ(r.status, c.status) << c.path;
        EXPECT_EQ(r.reason, c.reason) << c.path;
    }
    EXPECT_EQ(g.MoveCount, 2);
    EXPECT_EQ(buf.lines().size(), 4u) << "the file's lines stay in the buffer";

    fs::create_directories(dir_ / "folder.sgf");
    EXPECT_EQ(readRecordFile(g, buf, (dir_ / "folder.sgf").string()).status, LoadStatus::CannotOpen);
}

TEST_F(RecordFileTest, ByteOrderMarkFileIsReadAsUtf8AndSavedWithoutIt) {
    const std::string path = write("bom.sgf", "\xEF\xBB\xBF(;SZ[9]PB[骊龙]PW[黒];B[cc])\r\n");
    GameState g = test::newGame(19);
    TextBuffer buf;
    ASSERT_TRUE(readRecordFile(g, buf, path).ok());
    EXPECT_EQ(g.BlackPlayer, "骊龙");
    EXPECT_EQ(g.WhitePlayer, "黒");
    EXPECT_EQ(sgfFileBytes(g, buf).substr(0, 24), "(;GM[1]FF[4]CA[UTF-8]AP[");
}

// Old Japanese records: half-width katakana that are also UTF-8, and a pair the code page
// has no character for, come back from a save with the bytes they were read with, in both
// formats.
TEST_F(RecordFileTest, CodePage932TextsAreSavedWithTheirOwnBytes) {
    const std::string names = "\xD0\xB7\xC3\xBD \x85\x40 \x8A\xFB\x90\xB9";  // ﾐｷﾃｽ, 85 40, 棋聖
    const struct {
        const char* file;
        std::string bytes;
    } cases[] = {
        {"old.sgf", "(;GM[1]FF[4]SZ[9]PB[" + names + "]PW[\xC3\xBD];B[cc])\r\n"},
        {"old.ngf", "x\r\n9\r\n" + names +
                        "\r\n\xC3\xBD\r\nx\r\n0\r\nx\r\n6\r\n2005/07/01\r\nx\r\n"
                        "B+R\r\n1\r\nPM01BDDDD\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        GameState g = test::newGame(19);
        TextBuffer buf;
        ASSERT_TRUE(readRecordFile(g, buf, write(c.file, c.bytes)).ok());
        EXPECT_EQ(buf.Encoding, TextEncoding::Cp932);
        EXPECT_EQ(g.BlackPlayer.substr(0, 12), "ﾐｷﾃｽ");
        EXPECT_EQ(g.WhitePlayer, "ﾃｽ");
        const std::string saved = sgfFileBytes(g, buf);
        EXPECT_EQ(saved.find("CA["), std::string::npos);
        EXPECT_NE(saved.find("PB[" + names + "]"), std::string::npos);
        GameState back = test::newGame(19);
        ASSERT_TRUE(readRecordFile(back, buf, write("saved.sgf", saved)).ok());
        EXPECT_EQ(back.BlackPlayer, g.BlackPlayer);
    }
}

}  // namespace
}  // namespace tavrin
