// The engine's review as the record keeps it: the moves marked as losses (one table), and the
// judgements written into the nodes, saved, read back and taken away again by undo.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "record/GameRecord.h"
#include "record/Review.h"
#include "tests/record/RecordTestSupport.h"

namespace tavrin {
// Failures show a judgement's fields.
void PrintTo(const Judgement& j, std::ostream* os) {
    *os << (j.judged ? "{lead " : "{not judged, lead ") << j.lead << " winrate " << j.winrate << " better " << j.better
        << " betterLead " << j.betterLead << " betterWinrate " << j.betterWinrate << (j.hasLead ? "" : " no lead")
        << "}";
}
}  // namespace tavrin

namespace tavrin::test {
namespace {

// "move:loss", with "→gain" when the better move is named.
std::string shownMarks(const std::vector<MarkedMove>& marks) {
    std::string out;
    for (const MarkedMove& m : marks) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s%d:%g", out.empty() ? "" : " ", m.move, m.loss);
        out += buf;
        if (m.better != 0) out += "→" + std::to_string(static_cast<int>(m.gain));
    }
    return out;
}

TEST(Review, TheWorstDropsOfEachSideAndThoseOverTheThresholdAreMarked) {
    // Black plays the odd moves. Drops: Black 2 (move 1), 5 (3), .5 (5), 1 (7), 1 (9);
    // White 1 (2), 1 (4), 8.5 (6), .5 (8).
    const std::vector<double> leads = {0, -2, -1, -6, -5, -5.5, 3, 2, 2.5, 1.5};
    struct Row {
        const char* what;
        int worst;
        double threshold;
        int unjudged;  // a position without a judgement (-1 none)
        const char* marked;
        // Win rates alone, 0.5 + lead / 64: a point of lead is 1.5625 percent points.
        bool winrates = false;
    } rows[] = {
        {"three a side, of equal drops the earlier", 3, 10, -1, "1:2 2:1 3:5→5 4:1 6:8.5 7:1"},
        {"one a side and every drop over 1.5", 1, 1.5, -1, "1:2 3:5→5 6:8.5"},
        {"a drop from or to an unjudged position counts not", 1, 100, 3, "1:2 6:8.5"},
        {"none a side, the threshold alone", 0, 0.75, -1, "1:2 2:1 3:5→5 4:1 6:8.5 7:1 9:1"},
        {"win rates: three a side", 3, 15.625, -1, "1:3.125 2:1.5625 3:7.8125→7 4:1.5625 6:13.2812 7:1.5625", true},
        {"win rates: one a side and every drop over 2.4 %", 1, 2.4, 4, "1:3.125 3:7.8125→7 6:13.2812", true},
    };
    for (const Row& r : rows) {
        std::vector<Judgement> line;
        std::vector<int> colours;
        for (size_t k = 0; k < leads.size(); ++k) {
            line.push_back({k != static_cast<size_t>(r.unjudged), leads[k]});
            colours.push_back(k % 2 == 1 ? Black : White);
        }
        // Move 3 had a move 5 points better; move 6 one the engine judges worse than the move played.
        line[3].better = 40;
        line[3].betterLead = -1;
        line[6].better = 50;
        line[6].betterLead = 4;
        for (Judgement& j : line) {
            if (!r.winrates) break;
            j.winrate = 0.5 + j.lead / 64;
            j.betterWinrate = 0.5 + j.betterLead / 64;
            j.lead = j.betterLead = 0;
            j.hasLead = false;
        }
        EXPECT_EQ(shownMarks(markedMoves(line, colours, r.threshold, r.worst)), r.marked) << r.what;
    }
}

TEST(Review, JudgementsAreKeptInTheRecordReadBackAndUndoneAsOneStep) {
    GameState g;
    GameRecord record;
    record.adopt(g, treeOf("(;GM[1]FF[4]SZ[9]KM[6.5];B[cc];W[tt]C[note];B[cg];W[gg]TR[aa];B[dd])", g));
    TextBuffer buf;
    const std::string plain = sgfFileBytes(record.mainLineState(), buf, &record.tree());
    const int ee = sgfPointPos("ee", 9);
    const std::vector<Judgement> review = {
        {true, -6.5},
        {true, 3.5, 0.55, ee, 5},  // Black's better move, 1.5 better
        {},                        // not judged
        {true, -1.25, -1, PassPos, 0},
        {true, 0, -1, ee, -2.5},              // White's better move, 2.5 better
        {true, 0, 0.25, ee, 0, 0.75, false},  // win rates alone: Black's better move, 50 % better
    };
    std::vector<std::pair<GameRecord::NodeId, Judgement>> judged;
    for (int k = 0; k < 6; ++k)
        judged.emplace_back(record.line()[static_cast<size_t>(record.nodeIndexOfMove(k))],
                            review[static_cast<size_t>(k)]);
    record.setReview(judged);
    EXPECT_EQ(record.reviewOfLine(), review);

    // Saved as the program saves and read back by the reader.
    const std::string reviewed = sgfFileBytes(record.mainLineState(), buf, &record.tree());
    EXPECT_NE(reviewed.find(";B[cc]TVL[3.5]TVB[ee]TVG[1.5]SBKV[55]"), std::string::npos) << reviewed;
    EXPECT_NE(reviewed.find(";B[dd]TVB[ee]TVG[50]SBKV[25]"), std::string::npos) << reviewed;
    const std::string path = ::testing::TempDir() + "reviewed.sgf";
    std::ofstream(path, std::ios::binary) << reviewed;
    GameState back;
    RecordTree tree;
    ASSERT_TRUE(readRecordFile(back, buf, path, &tree).ok());
    std::remove(path.c_str());
    GameRecord reopened;
    reopened.adopt(back, std::move(tree));
    EXPECT_EQ(reopened.reviewOfLine(), review);

    // Undo takes the whole review away, and the record is saved as before it.
    NullPainter none;
    record.undo(none);
    EXPECT_FALSE(record.canUndo());
    EXPECT_EQ(sgfFileBytes(record.mainLineState(), buf, &record.tree()), plain);
    EXPECT_EQ(record.reviewOfLine(), std::vector<Judgement>(6));
}

}  // namespace
}  // namespace tavrin::test
