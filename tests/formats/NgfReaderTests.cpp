#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/NgfReader.h"
#include "tests/formats/FormatsTestSupport.h"

namespace tavrin {
namespace {

using test::boardRows;

// An NGF file's lines: the twelve header lines, then the move lines.
std::vector<std::string> ngf(const std::string& size, const std::string& handicap, const std::string& komi,
                             const std::string& count, std::vector<std::string> moves, const std::string& date = "") {
    std::vector<std::string> lines = {"Rated game", size, "黒", "白", "www", handicap,
                                      "0",          komi, date, "5",  "W+R", count};
    lines.insert(lines.end(), moves.begin(), moves.end());
    return lines;
}

std::string readNgf(GameState& g, std::vector<std::string> lines) {
    TextBuffer buf;
    buf.lines() = std::move(lines);
    const LoadResult r = fncNgfToKif(g, buf, "/tmp/game.ngf");
    return r.ok() ? "" : r.reason;
}

struct NgfCase {
    const char* what;
    std::vector<std::string> lines;
    std::string reason;
    int moves;
    int handicap;
    int komi;
};

const std::string F = reason::Format;

TEST(NgfReader, Steps) {
    const NgfCase cases[] = {
        {"no moves", ngf("19", "0", "6", "0", {}), "", 0, 0, 65},
        {"handicap stones from the table", ngf("19", "4", "0", "0", {}), "", 0, 4, 0},
        {"three moves and a pass by black",
         ngf("9", "0", "6", "3", {"PMABBCCCC", "PMACWDDDD", "PMADBEEEE", "PMAEBAAAA"}), "", 4, 0, 65},
        {"two passes after the moves", ngf("9", "0", "6", "1", {"PMABBCCCC", "PMACWAAAA", "PMADBAAAA"}), "", 3, 0, 65},
        {"a third line after them is not looked at",
         ngf("9", "0", "6", "1", {"PMABBCCCC", "PMACWAAAA", "PMADBAAAA", "anything"}), "", 3, 0, 65},
        {"trailing empty line", ngf("9", "0", "6", "1", {"PMABBCCCC", ""}), F, 0, 0, 0},
        {"handicap 1 with komi 0 is an even game", ngf("19", "1", "0", "0", {}), "", 0, 0, 0},
        {"handicap 0 with komi 0", ngf("19", "0", "0", "0", {}), "", 0, 0, 5},
        {"komi cut to half points", ngf("19", "2", "6", "0", {}), "", 0, 2, 60},
        {"negative komi", ngf("19", "0", "-6", "0", {}), "", 0, 0, -65},
        {"empty komi line", ngf("19", "0", "", "0", {}), "", 0, 0, 5},
        {"komi 99", ngf("19", "0", "99", "0", {}), "", 0, 0, 995},
        {"komi 100", ngf("19", "0", "100", "0", {}), reason::Komi, 0, 0, 0},
        {"komi not a number", ngf("19", "0", "6.5", "0", {}), F, 0, 0, 0},
        {"fewer than twelve lines", {"a", "19", "b", "w", "", "0", "", "6", "", "", ""}, F, 0, 0, 0},
        {"move count not a number", ngf("19", "0", "6", "x", {}), F, 0, 0, 0},
        {"negative move count", ngf("19", "0", "6", "-1", {}), F, 0, 0, 0},
        {"fewer move lines than announced", ngf("9", "0", "6", "2", {"PMABBCCCC"}), F, 0, 0, 0},
        {"move line without PM", ngf("9", "0", "6", "1", {"XMABBCCCC"}), F, 0, 0, 0},
        {"point not repeated", ngf("19", "0", "6", "1", {"PMABBDPPE"}), F, 0, 0, 0},
        {"colour other than B or W", ngf("9", "0", "6", "1", {"PMABXCCCC"}), F, 0, 0, 0},
        {"letter A with another", ngf("9", "0", "6", "1", {"PMABBACCA"}), F, 0, 0, 0},
        {"letter beyond 9x9", ngf("9", "0", "6", "1", {"PMABBKCCK"}), F, 0, 0, 0},
        {"lower-case letter", ngf("9", "0", "6", "1", {"PMABBccccc"}), F, 0, 0, 0},
        {"line too short for a point", ngf("9", "0", "6", "1", {"PMABB"}), F, 0, 0, 0},
        {"board size 26", ngf("26", "0", "6", "0", {}), reason::BoardSize, 0, 0, 0},
        {"board size not a number", ngf("nineteen", "0", "6", "0", {}), F, 0, 0, 0},
        {"handicap 10", ngf("19", "10", "6", "0", {}), reason::Handicap, 0, 0, 0},
        {"negative handicap", ngf("19", "-1", "6", "0", {}), F, 0, 0, 0},
        {"handicap not a number", ngf("19", "", "6", "0", {}), F, 0, 0, 0},
        // A move the rules refuse stands as the record has it.
        {"occupied point in the replay", ngf("9", "0", "6", "2", {"PMABBCCCC", "PMACWCCCC"}), "", 2, 0, 65},
        {"move on a handicap stone", ngf("19", "2", "0", "1", {"PMABWQEEQ"}), "", 1, 2, 0},
    };
    for (const NgfCase& c : cases) {
        GameState g = test::newGame(19);
        EXPECT_EQ(readNgf(g, c.lines), c.reason) << c.what;
        if (!c.reason.empty()) continue;
        EXPECT_EQ(g.MoveCount, c.moves) << c.what;
        EXPECT_EQ(g.HandicapCount, c.handicap) << c.what;
        EXPECT_EQ(g.KomiTenths, c.komi) << c.what;
    }
}

TEST(NgfReader, GameInformationAndPosition) {
    GameState g = test::newGame(19);
    ASSERT_EQ(readNgf(g, ngf("19", "0", "6", "2", {"PMABBDPPD", "PMACWAAAA"}, "2003/05/12 19:30")), "");
    EXPECT_EQ(g.GameName, "Rated game");
    EXPECT_EQ(g.BlackPlayer, "黒");
    EXPECT_EQ(g.WhitePlayer, "白");
    EXPECT_EQ(g.GameComment, "W+R");
    EXPECT_EQ(g.GameRule, "");
    EXPECT_EQ(g.GameDate, "2003-05-12");
    EXPECT_EQ(g.MovePos[1], 3 * 21 + 15) << "D, P: column 3, row 15";
    EXPECT_EQ(g.MovePos[2], PassPos);
    EXPECT_EQ(g.SideToMove, Black);
    EXPECT_TRUE(g.GameOver);

    for (const char* date : {"20100320 [18:36]", "2009-03-25", "2003/13/01"}) {
        ASSERT_EQ(readNgf(g, ngf("9", "0", "6", "0", {}, date)), "");
        EXPECT_EQ(g.GameDate, "") << date;
    }

    ASSERT_EQ(readNgf(g, ngf("9", "3", "0", "1", {"PMABWFFFF"})), "");
    EXPECT_EQ(g.HandicapCount, 3);
    EXPECT_EQ(g.MovePos[4], 5 * 11 + 5);
    EXPECT_EQ(boardRows(g), (std::vector<std::string>{".........", ".........", "..X...X..", ".........", "....O....",
                                                      ".........", "..X......", ".........", "........."}));
}

TEST(NgfReader, FileLimitsAndRefusalKeepTheGame) {
    GameState g = test::newGame(13);
    g.GameName = "before";
    const GameState before = g;

    std::vector<std::string> lines = ngf("19", "0", "6", "0", {});
    EXPECT_EQ(readNgf(g, {}), reason::Empty);
    // Passes only: a file of any length is read.
    lines.resize(3012, "PMABBAAAA");
    lines[11] = "3000";
    ASSERT_EQ(readNgf(g, lines), "");
    EXPECT_EQ(g.MoveCount, 3000);

    g = before;
    EXPECT_EQ(readNgf(g, ngf("9", "0", "6", "2", {"PMABBCCCC"})), reason::Format);
    EXPECT_EQ(g.BoardSize, 13);
    EXPECT_EQ(g.GameName, "before");
    EXPECT_EQ(g.Board, before.Board);
}

TEST(NgfReader, TheVariantOfChinesePrograms) {
    // Header lines after "GI", GB2312 text, lines of the program's own after the moves.
    const std::string bytes =
        "GI\xBA\xAB\xB9\xFA\r\nGI\xBA\xDA\r\nGI\xB0\xD7\r\nGI\r\nGI\r\nGI2006-9-5\r\nGI9\r\n"
        "GI0\r\nGI0\r\nGI6\r\nGI2\r\nPMABBDFFD\r\nPMACWAAAA\r\nGI1\r\nIDB[2] x[EndTxt]\r\n";
    TextBuffer buf;
    buf.setFileBytes(bytes);
    GameState g = test::newGame(19);
    ASSERT_TRUE(fncNgfToKif(g, buf, "/tmp/game.ngf").ok());
    EXPECT_EQ(g.GameName, "韩国");
    EXPECT_EQ(g.BlackPlayer, "黑");
    EXPECT_EQ(g.WhitePlayer, "白");
    EXPECT_EQ(g.GameDate, "2006-09-05");
    EXPECT_EQ(g.BoardSize, 9);
    EXPECT_EQ(g.KomiTenths, 65);
    EXPECT_EQ(g.MoveCount, 2);
    EXPECT_EQ(g.MovePos[1], 3 * 11 + 5);
}

}  // namespace
}  // namespace tavrin
