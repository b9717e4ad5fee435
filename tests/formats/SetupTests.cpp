// Setup anywhere in a record: stones set up and points emptied between the moves and the
// side PL gives the move to, as the reader, the record's cursor and the writer take them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "record/GameRecord.h"
#include "record/InfoTexts.h"
#include "tests/formats/FormatsTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using NodeId = RecordTree::NodeId;

// A record's text read as the window opens it: the game, its tree, and the cursor on it.
struct Opened {
    GameState g = test::newGame(19);
    RecordTree tree;
    GameRecord r;
    LoadResult result;

    explicit Opened(const std::string& fileBytes) {
        TextBuffer buf;
        buf.setFileBytes(fileBytes);
        result = fncStringsToKif(g, buf, "setup.sgf", &tree);
        if (result.ok()) r.adopt(g, tree);
    }
};

// The top left corner, three rows of four points ("X.O./..../...."); the rest of the board
// must be empty.
std::string corner(const GameState& g) {
    std::string out;
    for (int y = 1; y <= g.BoardSize; ++y) {
        for (int x = 1; x <= g.BoardSize; ++x) {
            const int v = g.Board[static_cast<size_t>(x * g.BoardStride + y)];
            const char c = v == Black ? 'X' : v == White ? 'O' : '.';
            if (x <= 4 && y <= 3) {
                out += c;
            } else if (c != '.') {
                return "stone outside the corner";
            }
        }
        if (y < 3) out += '/';
    }
    return out;
}

struct NodeShown {
    std::string corner;
    char next;        // side to move: 'B' or 'W'
    int currentMove;  // the number the next move gets
};

std::string shown(const GameState& g) {
    return corner(g) + " " + (g.SideToMove == Black ? "B" : "W") + " " + std::to_string(g.CurrentMove);
}
std::string shown(const NodeShown& n) { return n.corner + " " + n.next + " " + std::to_string(n.currentMove); }

TEST(Setup, NodesBetweenTheMovesStepForwardAndBack) {
    const struct {
        const char* what;
        const char* sgf;
        int firstSetupMove;            // the move the first setup after the start stands before
        std::vector<NodeShown> nodes;  // the main line, root first
    } cases[] = {
        {"a problem: AB and AW at the root, PL, a setup node after move 3 (AE and AW), a move on the emptied point",
         "(;SZ[9]AB[aa][bb]AW[ba][ab]PL[W];W[cb];B[ca];W[da];AE[aa]AW[cc];B[aa])",
         4,
         {{"XO../OX../....", 'W', 1},
          {"XO../OXO./....", 'B', 2},
          {"X.X./OXO./....", 'W', 3},  // B[ca] takes ba, the stone without liberties stays
          {"X.XO/OXO./....", 'B', 4},
          {"..XO/OXO./..O.", 'B', 4},  // setup takes no number
          {"X.XO/OXO./..O.", 'W', 5}}},
        {"setup takes the last move's stone; PL after the last move",
         "(;SZ[9];B[aa];W[ba];AE[ba]PL[W];W[ca];AB[da]PL[W])",
         3,
         {{"..../..../....", 'B', 1},
          {"X.../..../....", 'W', 2},
          {"XO../..../....", 'W', 3},
          {"X.../..../....", 'W', 3},
          {"X.O./..../....", 'B', 4},
          {"X.OX/..../....", 'W', 4}}},
        {"a variation's setup is not the record's",
         "(;SZ[9];B[aa](;W[ba])(;AB[ba]))",
         0,
         {{"..../..../....", 'B', 1}, {"X.../..../....", 'W', 2}, {"XO../..../....", 'B', 3}}},
        {"a move in the root, AB after it",
         "(;SZ[9]B[aa]AB[cc];W[bb])",
         1,
         {{"X.../..../..X.", 'W', 2}, {"X.../.O../..X.", 'B', 3}}},
        {"setup and a move in one node: the setup first",
         "(;SZ[9];B[ba];AW[aa]B[ab];W[ca])",
         2,
         {{"..../..../....", 'B', 1},
          {".X../..../....", 'B', 2},
          {".X../X.../....", 'W', 3},  // AW[aa] stands before B[ab], which takes it
          {".XO./X.../....", 'B', 4}}},
    };
    for (const auto& c : cases) {
        Opened o(c.sgf);
        ASSERT_TRUE(o.result.ok()) << c.what << ": " << o.result.reason;
        EXPECT_EQ(o.result.FirstSetupMove, c.firstSetupMove) << c.what;
        EXPECT_FALSE(o.tree.Rebuilt) << c.what;
        // The reader's game ends where the cursor's last node stands.
        EXPECT_EQ(shown(o.g), shown(c.nodes.back())) << c.what;
        ASSERT_EQ(o.r.line().size(), c.nodes.size()) << c.what;
        NullPainter none;
        o.r.goToIndex(0, none);
        for (size_t i = 0; i < c.nodes.size(); ++i) {
            EXPECT_EQ(shown(o.r.state()), shown(c.nodes[i])) << c.what << ", forward to node " << i;
            if (i + 1 < c.nodes.size()) {
                ASSERT_TRUE(o.r.next(none));
            }
        }
        for (size_t i = c.nodes.size(); i-- > 0;) {
            EXPECT_EQ(shown(o.r.state()), shown(c.nodes[i])) << c.what << ", back to node " << i;
            if (i > 0) {
                ASSERT_TRUE(o.r.back(none));
            }
        }
    }
}

// The handicap label counts the black stones of the start; white ones are a problem's setup.
// Black stones alone are a handicap; with white stones or the side to move at the root the
// start is a set-up position: no handicap shown, no HA made up, a given HA kept as written.
TEST(Setup, HandicapOrSetUpPosition) {
    const struct {
        const char* sgf;
        const char* label;
        const char* ha;  // the HA saving writes; "" none
    } cases[] = {
        {"(;SZ[9]HA[2]AB[cc][gg];W[ee])", "置き石 ： ２子", "HA[2]"},
        {"(;SZ[9]AB[cc][gg])", "置き石 ： ２子", "HA[2]"},
        {"(;SZ[9]AB[aa][bb]AW[cc][dd][ee])", "置き石 ： なし", ""},
        {"(;SZ[9]AB[aa][bb]PL[B])", "置き石 ： なし", ""},
        {"(;SZ[9]AW[aa])", "置き石 ： なし", ""},
        {"(;SZ[9]HA[3]AB[aa]AW[bb])", "置き石 ： なし", "HA[3]"},
        {"(;SZ[9]AW[cc];B[dd])", "置き石 ： なし", ""},
        {"(;SZ[9];B[dd])", "置き石 ： なし", "HA[0]"},
    };
    for (const auto& c : cases) {
        Opened o(c.sgf);
        ASSERT_TRUE(o.result.ok()) << c.sgf;
        EXPECT_EQ(handicapLabel(o.g, &o.tree), c.label) << c.sgf;
        TextBuffer buf;
        const std::string saved = sgfFileBytes(o.g, buf, &o.tree);
        const size_t at = saved.find("HA[");
        EXPECT_EQ(at == std::string::npos ? "" : saved.substr(at, saved.find(']', at) - at + 1), c.ha) << saved;
    }
}

// Both trees walked alike (the writer keeps their shape): the cursor at each node pair.
void expectSamePositions(Opened& a, Opened& b, NodeId na, NodeId nb, const std::string& what) {
    NullPainter none;
    std::vector<std::pair<NodeId, NodeId>> todo{{na, nb}};
    int nodes = 0;
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        // A node beyond a move the rules refuse is not reached; both stop alike.
        const bool wentA = a.r.goTo(x, none) && a.r.node() == x;
        const bool wentB = b.r.goTo(y, none) && b.r.node() == y;
        ASSERT_EQ(wentA, wentB) << what << " node " << x;
        if (!wentA) continue;
        ++nodes;
        ASSERT_EQ(a.r.state().Board, b.r.state().Board) << what << " node " << x;
        ASSERT_EQ(a.r.state().SideToMove, b.r.state().SideToMove) << what << " node " << x;
        ASSERT_EQ(a.r.state().CurrentMove, b.r.state().CurrentMove) << what << " node " << x;
        NodeId cy = b.tree.firstChild(y);
        for (NodeId cx = a.tree.firstChild(x); cx != RecordTree::None; cx = a.tree.nextSibling(cx)) {
            ASSERT_NE(cy, RecordTree::None) << what;
            todo.push_back({cx, cy});
            cy = b.tree.nextSibling(cy);
        }
    }
    EXPECT_GT(nodes, 0) << what;
}

// Read, saved with its tree and read again: the same tree, setup where it stood, and the
// same position at every node.
void expectRoundTrip(const std::string& bytes, const std::string& what) {
    Opened first(bytes);
    ASSERT_TRUE(first.result.ok()) << what << ": " << first.result.reason;
    ASSERT_FALSE(first.tree.Rebuilt) << what;
    TextBuffer buf;
    const std::string saved = sgfFileBytes(first.g, buf, &first.tree);
    Opened again(saved);
    ASSERT_TRUE(again.result.ok()) << what << ": " << again.result.reason << "\n" << saved;
    EXPECT_TRUE(again.tree.sameBeyondRecord(first.tree, recordFallbacks(first.g))) << what << "\n" << saved;
    EXPECT_EQ(again.result.FirstSetupMove, first.result.FirstSetupMove) << what;
    test::expectSameGame(first.g, again.g, what);
    expectSamePositions(first, again, first.tree.gameRoot(0), again.tree.gameRoot(0), what);
}

TEST(Setup, RecordsWithSetupRoundTripNodeForNode) {
    const char* const records[] = {
        "(;SZ[9]AB[aa][bb]AW[ba][ab]PL[W];W[cb];B[ca];W[da];AE[aa]AW[cc];B[aa])",
        // AW at the root, setup in the main line and in variations, a comment on a setup node.
        "(;GM[1]SZ[9]AW[ee]AB[dd];B[cc];W[dc](;AE[cc]AB[gg]C[set up];B[cc];W[hh])(;AW[cc:cd];B[aa]))",
        "(;SZ[13];B[aa];W[ba];AE[ba]PL[W];W[ca];AB[da]PL[W])", "(;SZ[19];B[pd]AW[dd];W[dp];AB[pp][qq:rr];B[dj])",
        "(;SZ[9];B[aa];W[bb];AW[CC:cd];B[ee])",  // a rectangle in capitals
    };
    for (const char* r : records) expectRoundTrip(r, r);
}

// A file whose tree the scan reads otherwise ("X;W[bb]" is one identifier to it) gets the
// record's own tree: its setup between the moves is kept there, so saving keeps it.
TEST(Setup, ARebuiltTreeKeepsTheSetup) {
    for (const char* sgf : {"(;SZ[9]C[x];B[aa]X;W[bb];AE[aa];W[aa])", "(;SZ[9]C[x];B[aa]AB[cc]X;W[bb];W[dd]AE[cc])"}) {
        Opened first(sgf);
        ASSERT_TRUE(first.result.ok()) << sgf;
        EXPECT_TRUE(first.tree.Rebuilt) << sgf;
        TextBuffer buf;
        Opened again(sgfFileBytes(first.g, buf, &first.tree));
        ASSERT_TRUE(again.result.ok()) << sgf << ": " << again.result.reason;
        EXPECT_EQ(again.result.FirstSetupMove, first.result.FirstSetupMove) << sgf;
        test::expectSameGame(first.g, again.g, sgf);
    }
}

TEST(Setup, CorpusRecordsWithSetupRoundTripNodeForNode) {
    SKIP_WITHOUT_CORPUS();
    int compared = 0;
    std::string bytes;
    for (const auto& e : fs::recursive_directory_iterator(test::corpusDir())) {
        const std::string path = e.path().string();
        if (recordKind(path) != RecordKind::Sgf || !readFileBytes(path, bytes)) continue;
        if (bytes.find("AW[") == std::string::npos && bytes.find("AE[") == std::string::npos &&
            bytes.find("AB[") == std::string::npos)
            continue;
        GameState g = test::newGame(19);
        TextBuffer buf;
        if (!readRecordFile(g, buf, path).ok()) continue;
        expectRoundTrip(bytes, path);
        ++compared;
    }
    std::printf("corpus: %d records with setup round-tripped\n", compared);
    EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace tavrin
