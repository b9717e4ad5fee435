#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/ShellRun.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the record tool with the given arguments (already quoted for the shell).
ToolRun kifu(const std::string& args, const fs::path& dir) {
    const fs::path errFile = dir / "stderr.txt";
    const test::ShellRun run =
        test::runShell(std::string("'") + TAVRIN_KIFU_BIN + "' " + args + " 2>'" + errFile.string() + "'");
    std::ifstream in(errFile, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return {run.exitCode, run.out, ss.str()};
}

class KifuTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavrin-kifu-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "records" / "sub");
        put("records/game.sgf", "(;GM[1]SZ[9]PB[\x8D\x95]HA[0];B[cc];W[gc];B[dc];W[tt])\r\n");
        put("records/sub/h.SGF", "(;SZ[9]AB[cc][gg];W[ee];B[dd])");
        put("records/sub/bad.sgf", "(;SZ[26])");
        put("records/sub/ko.sgf", "(;SZ[9];B[ba];W[ca];B[ab];W[db];B[bc];W[cc];B[ii];W[bb];B[cb];W[bb])");
        put("records/sub/notes.txt", "(;SZ[9])");
        put("records/g.ngf", "Rated\r\n9\r\nB\r\nW\r\nx\r\n0\r\n0\r\n6\r\n\r\n5\r\nB+R\r\n1\r\nPMABBCCCC\r\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string path(const std::string& name) const {
        std::string quoted = "'";
        quoted += (dir_ / name).string();
        quoted += "'";
        return quoted;
    }

    fs::path dir_;
};

TEST_F(KifuTool, CheckListsEveryRecordFileOfAFolder) {
    const ToolRun run = kifu("check " + path("records") + " " + path("records/sub/notes.txt"), dir_);
    EXPECT_EQ(run.exitCode, 0);
    const std::string d = (dir_ / "records").string();
    EXPECT_EQ(run.out, d + "/g.ngf\tOK\t1\t0\n" + d + "/game.sgf\tOK\t4\t0\n" + d +
                           "/sub/bad.sgf\tNG\t２路から２５路までの碁盤しか扱えません\n" + d + "/sub/h.SGF\tOK\t2\t2\n" +
                           d + "/sub/ko.sgf\tOK\t10\t0\t10手目が打てない手です\n" + d +
                           "/sub/notes.txt\tNG\tsgf/ngf以外のファイルは扱えません\n");
    EXPECT_TRUE(std::regex_match(run.err, std::regex("6 files, 4 accepted, 2 refused, [0-9]+\\.[0-9]{3} s\n")))
        << run.err;

    const ToolRun missing = kifu("check " + path("records/none.sgf"), dir_);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("\tNG\t棋譜ファイルを読み込めませんでした\n"), std::string::npos);
}

TEST_F(KifuTool, BoardShowsTheEndPosition) {
    const ToolRun run = kifu("board " + path("records/sub/h.SGF"), dir_);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "SZ 9 HA 2 MOVES 2 CAP 0 0 NEXT W\n"
              ".........\n.........\n..X......\n...X.....\n....O....\n.........\n"
              "......X..\n.........\n.........\n");
    const ToolRun refused = kifu("board " + path("records/sub/bad.sgf"), dir_);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("２路から２５路までの碁盤しか扱えません"), std::string::npos);
}

// A lesson's record: a setup node between the moves (a stone taken away and played again)
// and one after the last move giving white the move. board shows the position after the
// main line's last node; check and sgf take the record whole.
TEST_F(KifuTool, SetupBetweenTheMovesIsShownCheckedAndWritten) {
    put("setup.sgf", "(;SZ[9]AW[ee]AB[dd];B[cc];W[dc];AE[cc]AB[gg];B[cc];W[hh];AE[hh]PL[W])");
    const ToolRun board = kifu("board " + path("setup.sgf"), dir_);
    EXPECT_EQ(board.exitCode, 0);
    EXPECT_EQ(board.out,
              "SZ 9 HA 0 MOVES 4 CAP 0 0 NEXT W\n"
              ".........\n.........\n..XO.....\n...X.....\n....O....\n.........\n"
              "......X..\n.........\n.........\n");
    const ToolRun check = kifu("check " + path("setup.sgf"), dir_);
    EXPECT_EQ(check.out, (dir_ / "setup.sgf").string() + "\tOK\t4\t0\n");
    const ToolRun sgf = kifu("sgf " + path("setup.sgf"), dir_);
    EXPECT_EQ(sgf.exitCode, 0);
    EXPECT_NE(sgf.out.find("AB[dd]AW[ee]"), std::string::npos) << sgf.out;
    EXPECT_NE(sgf.out.find(";B[cc];W[dc];AE[cc]AB[gg];B[cc];W[hh];AE[hh]PL[W])"), std::string::npos) << sgf.out;
}

TEST_F(KifuTool, SgfWritesTheSavedBytes) {
    const ToolRun run = kifu("sgf " + path("records/game.sgf"), dir_);
    EXPECT_EQ(run.exitCode, 0);
    const std::string expected = std::string("(;GM[1]FF[4]AP[Tavrin:") + TAVRIN_FILE_VERSION +
                                 "]SZ[9]GN[]DT[]PB[\x8D\x95]PW[]HA[0]\r\n"
                                 ";B[cc];W[gc];B[dc];W[tt])\r\n";
    EXPECT_EQ(run.out, expected);

    put("cn.sgf", "(;SZ[9]PB[\xE9\xAA\x8A\xE9\xBE\x99];B[cc])");
    const ToolRun utf8 = kifu("sgf " + path("cn.sgf"), dir_);
    EXPECT_EQ(utf8.exitCode, 0);
    EXPECT_EQ(utf8.out.substr(0, 21), "(;GM[1]FF[4]CA[UTF-8]");
    EXPECT_NE(utf8.out.find("PB[\xE9\xAA\x8A\xE9\xBE\x99]"), std::string::npos);

    const ToolRun converted = kifu("sgf " + path("records/g.ngf"), dir_);
    EXPECT_EQ(converted.exitCode, 0);
    EXPECT_NE(converted.out.find("GN[Rated]"), std::string::npos);
    EXPECT_NE(converted.out.find(";B[bb])\r\n"), std::string::npos);
}

TEST_F(KifuTool, UsageErrors) {
    for (const std::string& args :
         {std::string(""), std::string("check"), std::string("frob x.sgf"), "board " + path("records"),
          "sgf " + path("records/game.sgf") + " " + path("records/g.ngf")}) {
        const ToolRun run = kifu(args, dir_);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.err.find("usage: tavrin-kifu"), std::string::npos) << args;
        EXPECT_EQ(run.out, "") << args;
    }
}

}  // namespace
}  // namespace tavrin
