#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/Gtp.h"
#include "library/LibraryIndex.h"
#include "tests/library/LibraryTestKit.h"
#include "tests/support/ShellRun.h"

namespace tavrin::library {
namespace {

namespace fs = std::filesystem;

// One opening, B D17 then W C15 (sgf dc, ce), played in the four corners and along the
// diagonal, each going on in its own way; the third moves below are named as they would stand
// in the upper left corner.
const std::vector<std::pair<std::string, std::string>> CornerGames = {
    {"corners/upper-left.sgf", test::sgfGame("B[dc];W[ce];B[fc]", "B+R")},         // then fc
    {"corners/upper-right.sgf", test::sgfGame("B[pc];W[qe];B[qg]", "W+3.5")},      // then cg
    {"corners/lower-left.sgf", test::sgfGame("B[dq];W[co];B[fq]", "B+1.5")},       // then fc
    {"corners/lower-right.sgf", test::sgfGame("B[pq];W[qo];B[pm]", "Void")},       // then dg
    {"corners/diagonal.SGF", test::sgfGame("B[cd];W[ec];B[cf]", "W+T")},           // then fc
    {"corners/ends-there.sgf", test::sgfGame("B[pc];W[qe]", "B+R")},               // ends
    {"corners/passes-twice.sgf", test::sgfGame("B[dc];W[ce];B[tt];W[tt];B[qq]")},  // pass, later qq
    // The same stones with white to move: another position.
    {"corners/white-first.sgf", test::sgfGame("W[ce];B[dc];W[fc]", "W+R")},
    {"small/nine.Ngf", "Rated game\r\n9\r\nKuro\r\nShiro\r\nwww\r\n0\r\n0\r\n6\r\n\r\n5\r\nW+R\r\n1\r\nPMABBCCCC\r\n"},
    // Refused: a board of 7 lines, a white setup stone, an empty file; and no record at all.
    {"bad/wide.sgf", test::sgfGame("B[aa]", "", 26)},
    {"bad/white-setup.sgf", test::sgfGame("", "", 19, "AB[aa]AW[aa]")},
    {"bad/empty.sgf", ""},
    {"notes.txt", test::sgfGame("B[dc];W[ce];B[fc]")},
};

class Corners : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, text] : CornerGames) dir.write(name, text);
        update = index.update({dir.str()});
    }

    // The moves found after `moves` moves of the record at name, as "VERTEX GAMES B W".
    std::vector<std::string> movesAfter(const std::string& name, int moves, int* games = nullptr) {
        GameState g;
        test::loadRecord(g, (dir.path() / name).string());
        const LibraryExploration found = index.explore(test::keyAfter(g, moves));
        if (games) *games = found.Games;
        std::vector<std::string> out;
        for (const LibraryMove& m : found.Moves) {
            out.push_back(gtp::vertexText(m.Pos, g.BoardSize) + " " + std::to_string(m.Games) + " " +
                          std::to_string(m.BlackWins) + " " + std::to_string(m.WhiteWins));
        }
        return out;
    }

    std::set<std::string> namesOf(const std::vector<int>& ids) const {
        std::set<std::string> out;
        for (const int id : ids) out.insert(fs::path(index.record(id).Path).filename().string());
        return out;
    }

    test::TempFolder dir;
    LibraryIndex index;
    LibraryUpdate update;
};

TEST_F(Corners, RecordsReadAndRefusedAreCounted) {
    EXPECT_EQ(update.Found, 12);  // notes.txt is no record file
    EXPECT_EQ(update.Read, 12);
    EXPECT_EQ(index.indexedCount(), 9);
    EXPECT_EQ(index.refusedCount(), 3);
    for (const LibraryRecord& r : index.records()) {
        const bool bad = r.Path.find("/bad/") != std::string::npos;
        EXPECT_EQ(r.Status, bad ? RecordStatus::Refused : RecordStatus::Indexed) << r.Path;
    }
    const LibraryRecord& first = index.record(0);  // sorted by path: bad/empty.sgf
    EXPECT_EQ(fs::path(first.Path).filename(), "empty.sgf");
    const auto ul = std::find_if(index.records().begin(), index.records().end(),
                                 [](const LibraryRecord& r) { return r.Path.ends_with("upper-left.sgf"); });
    ASSERT_NE(ul, index.records().end());
    EXPECT_EQ(ul->BlackPlayer, "Kuro");
    EXPECT_EQ(ul->WhitePlayer, "Shiro");
    EXPECT_EQ(ul->GameDate, "2024-05-06");
    EXPECT_EQ(ul->GameResult, "B+R");
    EXPECT_EQ(ul->BoardSize, 19);
    EXPECT_EQ(ul->MoveCount, 3);
}

TEST_F(Corners, TheOpeningIsFoundInEveryCornerAndTurnedToTheQuery) {
    int games = 0;
    // Seen from the upper left: fc is F17, cg C13, dg D13.
    EXPECT_EQ(movesAfter("corners/upper-left.sgf", 2, &games),
              (std::vector<std::string>{"F17 3 2 1", "C13 1 0 1", "D13 1 0 0", "pass 1 0 0"}));
    EXPECT_EQ(games, 7);  // the five, the one ending there, the one passing twice counted once
    // Seen from the lower right the same moves stand at O3, R7 and Q7, and ties go in reading
    // order of that board.
    EXPECT_EQ(movesAfter("corners/lower-right.sgf", 2, &games),
              (std::vector<std::string>{"O3 3 2 1", "Q7 1 0 0", "R7 1 0 1", "pass 1 0 0"}));
    EXPECT_EQ(games, 7);
    EXPECT_EQ(movesAfter("corners/diagonal.SGF", 2),
              (std::vector<std::string>{"C14 3 2 1", "G17 1 0 1", "G16 1 0 0", "pass 1 0 0"}));

    GameState g;
    test::loadRecord(g, (dir.path() / "corners/upper-left.sgf").string());
    const LibraryExploration found = index.explore(test::keyAfter(g, 2));
    EXPECT_EQ(namesOf(found.Moves[0].GameIds),
              (std::set<std::string>{"upper-left.sgf", "lower-left.sgf", "diagonal.SGF"}));
    EXPECT_TRUE(std::is_sorted(found.Moves[0].GameIds.begin(), found.Moves[0].GameIds.end()));
    EXPECT_EQ(namesOf(found.EndedGames), std::set<std::string>{"ends-there.sgf"});
    EXPECT_EQ(namesOf(found.Moves[3].GameIds), std::set<std::string>{"passes-twice.sgf"});
}

TEST_F(Corners, SideToMoveAndBoardSizeSeparatePositions) {
    int games = 0;
    // The stones of the corner opening with white to move: the game white began, and the one
    // where black passed there.
    EXPECT_EQ(movesAfter("corners/white-first.sgf", 2, &games), (std::vector<std::string>{"F17 1 0 1", "pass 1 0 0"}));
    EXPECT_EQ(games, 2);
    // The empty 9 x 9 board: the NGF game alone.
    EXPECT_EQ(movesAfter("small/nine.Ngf", 0, &games), std::vector<std::string>{"B8 1 0 1"});
    EXPECT_EQ(games, 1);
    // After the game's two passes the position of move 2 comes back; it goes on with Q3.
    EXPECT_EQ(movesAfter("corners/passes-twice.sgf", 4, &games),
              (std::vector<std::string>{"F17 3 2 1", "C13 1 0 1", "D13 1 0 0", "pass 1 0 0"}));
    GameState g;
    test::loadRecord(g, (dir.path() / "corners/passes-twice.sgf").string());
    EXPECT_EQ(firstPass(g, test::keyAfter(g, 4)), 2);
    EXPECT_EQ(firstPass(g, test::keyAfter(g, 5)), 5);
}

TEST(LibraryExplore, ASymmetricPositionListsEachMoveOnce) {
    test::TempFolder dir;
    const char* openings[] = {"B[dd]", "B[pd]", "B[dp]", "B[pp]", "B[dc]", "B[qd]", "B[jj]", "", "W[dd]"};
    int n = 0;
    for (const char* moves : openings) dir.write("g" + std::to_string(n++) + ".sgf", test::sgfGame(moves, "B+R"));
    LibraryIndex index;
    index.update({dir.str()});
    const std::array<int, BoardCells> empty{};
    const LibraryExploration found = index.explore(positionKey(19, empty, Black));
    EXPECT_EQ(found.Games, 8);  // all but the one white begins
    ASSERT_EQ(found.Moves.size(), 3u);
    const struct {
        const char* vertex;
        int games;
    } expected[] = {{"D16", 4}, {"D17", 2}, {"K10", 1}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(gtp::vertexText(found.Moves[i].Pos, 19), expected[i].vertex);
        EXPECT_EQ(found.Moves[i].Games, expected[i].games);
        EXPECT_EQ(found.Moves[i].BlackWins, expected[i].games);
    }
    EXPECT_EQ(found.EndedGames.size(), 1u);
}

TEST(LibraryExplore, CapturedStonesLeaveThePosition) {
    test::TempFolder dir;
    // White's corner stone is taken: the same stones as the game where white passed.
    dir.write("takes.sgf", test::sgfGame("B[ba];W[aa];B[ab];W[cc]", "", 9));
    const std::string passes = dir.write("passes.sgf", test::sgfGame("B[ba];W[tt];B[ab];W[ee]", "", 9));
    LibraryIndex index;
    index.update({dir.str()});
    GameState g;
    test::loadRecord(g, passes);
    const LibraryExploration found = index.explore(test::keyAfter(g, 3));
    EXPECT_EQ(found.Games, 2);
    ASSERT_EQ(found.Moves.size(), 2u);
    EXPECT_EQ(gtp::vertexText(found.Moves[0].Pos, 9), "C7");
    EXPECT_EQ(gtp::vertexText(found.Moves[1].Pos, 9), "E5");
}

// A record with setup between its moves passes through the positions before the setup and
// ends there: the move after it was played in a position the moves alone do not make.
TEST(LibraryExplore, RecordsEndAtTheirFirstSetupBetweenTheMoves) {
    test::TempFolder dir;
    const std::string plain = dir.write("plain.sgf", test::sgfGame("B[dd];W[pq];B[dp]"));
    dir.write("setup.sgf", test::sgfGame("B[dd];W[pq];AB[jj];B[qd]"));
    LibraryIndex index;
    index.update({dir.str()});
    GameState g;
    test::loadRecord(g, plain);
    const LibraryExploration found = index.explore(test::keyAfter(g, 2));
    EXPECT_EQ(found.Games, 2);
    ASSERT_EQ(found.Moves.size(), 1u);
    EXPECT_EQ(gtp::vertexText(found.Moves[0].Pos, 19), "D4");
    EXPECT_EQ(found.EndedGames.size(), 1u);
}

// The record tool with the given arguments (already quoted for the shell), its errors dropped.
test::ShellRun kifu(const std::string& args) {
    return test::runShell(std::string("'") + TAVRIN_KIFU_BIN + "' " + args + " 2>/dev/null");
}

TEST_F(Corners, RecordToolExplores) {
    const std::string folder = "'" + dir.str() + "' ";
    const std::string file = "'" + (dir.path() / "corners/lower-right.sgf").string() + "' ";
    test::ShellRun run = kifu("explore " + folder + file + "2");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "GAMES 9 POSITIONS 7\nO3 3 2 1\nQ7 1 0 0\nR7 1 0 1\npass 1 0 0\n");
    run = kifu("explore " + folder + file + "3");  // the end of the record
    EXPECT_EQ(run.out, "GAMES 9 POSITIONS 1\n");
    EXPECT_EQ(kifu("explore " + folder + file + "4").exitCode, 1);  // no move 4
    EXPECT_EQ(kifu("explore " + folder + file + "x").exitCode, 2);
    EXPECT_EQ(kifu("explore " + folder + file).exitCode, 2);
    EXPECT_EQ(kifu("explore " + file + file + "1").exitCode, 2);  // no folder
    EXPECT_EQ(kifu("explore " + folder + "'" + (dir.path() / "bad/wide.sgf").string() + "' 0").exitCode, 1);
}

}  // namespace
}  // namespace tavrin::library
