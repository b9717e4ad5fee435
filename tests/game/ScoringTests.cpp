// Counting under Japanese rules, on boards written as diagrams.
//
// Position rows: X O live stones, x o dead stones, B W stones in seki, anything else empty.
// Count rows: live stones as written, b w territory (dead stones' points included),
// - dame, ! counted for nobody because of a seki, . counted for nobody (no live stone near).

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "game/Scoring.h"
#include "record/InfoTexts.h"
#include "tests/game/TestBoard.h"

namespace tavrin {
namespace {

using test::pt;

struct Marked {
    GameState g;
    StoneStatusMap status{};
};

Marked position(int size, const std::vector<const char*>& rows, int komiTenths = 0) {
    Marked m{test::newGame(size, 0, komiTenths)};
    int r = 1;
    for (const char* line : rows) {
        for (int c = 1; line[c - 1] != '\0' && c <= size; ++c) {
            const char ch = line[c - 1];
            const int p = pt(m.g, c, r);
            m.g.Board[p] = ch == 'X' || ch == 'x' || ch == 'B'   ? Black
                           : ch == 'O' || ch == 'o' || ch == 'W' ? White
                                                                 : 0;
            m.status[p] = ch == 'x' || ch == 'o'   ? StoneStatus::Dead
                          : ch == 'B' || ch == 'W' ? StoneStatus::Seki
                                                   : StoneStatus::Alive;
        }
        ++r;
    }
    return m;
}

std::string countDiagram(const Marked& m, const ScoreCount& c) {
    std::string s;
    const int size = m.g.BoardSize;
    for (int r = 1; r <= size; ++r) {
        if (r > 1) s += '\n';
        for (int col = 1; col <= size; ++col) {
            const int p = pt(m.g, col, r);
            const int v = m.g.Board[p];
            const StoneStatus st = m.status[p];
            if ((v == Black || v == White) && st != StoneStatus::Dead) {
                s += st == StoneStatus::Seki ? (v == Black ? 'B' : 'W') : (v == Black ? 'X' : 'O');
                continue;
            }
            switch (c.Points[p]) {
                case PointKind::BlackTerritory: s += 'b'; break;
                case PointKind::WhiteTerritory: s += 'w'; break;
                case PointKind::Dame: s += '-'; break;
                case PointKind::Seki: s += '!'; break;
                case PointKind::Neutral: s += '.'; break;
                case PointKind::Stone: s += '?'; break;
            }
        }
    }
    return s;
}

// Territory and prisoners of both sides with the result, as one line.
std::string line(const ScoreCount& c) {
    return "B " + std::to_string(c.Side[Black].Territory) + " " + std::to_string(c.Side[Black].Prisoners) + " W " +
           std::to_string(c.Side[White].Territory) + " " + std::to_string(c.Side[White].Prisoners) + " " + c.Result;
}

struct Case {
    const char* name;
    int komiTenths;
    std::array<int, 3> captured;
    std::vector<const char*> position;
    std::vector<const char*> count;
    const char* line;
    int dame;
    int seki;
};

TEST(Scoring, Diagrams) {
    const Case cases[] = {
        {"simple territory",
         0,
         {0, 0, 0},
         {"...XO....", "...XO....", "...XO....", "...XO....", "...XO....", "...XO....", "...XO....", "...XO....",
          "...XO...."},
         {"bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww",
          "bbbXOwwww"},
         "B 27 0 W 36 0 W+9",
         0,
         0},
        {"dame between the walls",
         65,
         {0, 0, 0},
         {"...XO....", "...XOO...", "...X.O...", "...XOO...", "...XO....", "...X.O...", "...XOO...", "...XO....",
          "...XO...."},
         {"bbbXOwwww", "bbbXOOwww", "bbbX-Owww", "bbbXOOwww", "bbbXOwwww", "bbbX-Owww", "bbbXOOwww", "bbbXOwwww",
          "bbbXOwwww"},
         "B 27 0 W 31 0 W+10.5",
         2,
         0},
        {"dead stones inside territory",
         0,
         {0, 3, 1},
         {"...XO....", ".o.XO....", ".o.XO....", "...XO....", "...XO....", "...XO....", "...XO.x..", "...XO....",
          "...XO...."},
         {"bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww", "bbbXOwwww",
          "bbbXOwwww"},
         "B 27 5 W 36 2 W+6",
         0,
         0},
        // Two shared liberties, no eyes: the liberties are nobody's.
        {"seki without eyes",
         0,
         {0, 0, 0},
         {".OB.WX...", ".OB.WX...", ".OOOXX...", "...OX....", "...OX....", "...OX....", "...OX....", "...OX....",
          "...OX...."},
         {"wOB!WXbbb", "wOB!WXbbb", "wOOOXXbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb",
          "wwwOXbbbb"},
         "B 33 0 W 21 0 B+12",
         0,
         2},
        // An eye each and one shared liberty: the eyes count for nobody either.
        {"seki with eyes",
         0,
         {0, 0, 0},
         {"B.B.W.WX.", "BBBBWWWX.", "OOOOXXXX.", "...OX....", "...OX....", "...OX....", "...OX....", "...OX....",
          "...OX...."},
         {"B!B!W!WXb", "BBBBWWWXb", "OOOOXXXXb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb",
          "wwwOXbbbb"},
         "B 27 0 W 18 0 B+9",
         0,
         3},
        // The same groups left alive: each eye becomes its owner's, the shared point dame.
        {"seki groups counted as alive",
         0,
         {0, 0, 0},
         {"X.X.O.OX.", "XXXXOOOX.", "OOOOXXXX.", "...OX....", "...OX....", "...OX....", "...OX....", "...OX....",
          "...OX...."},
         {"XbX-OwOXb", "XXXXOOOXb", "OOOOXXXXb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb", "wwwOXbbbb",
          "wwwOXbbbb"},
         "B 28 0 W 19 0 B+9",
         1,
         0},
        // One real eye and a false one (the white stone below splits the chains): dead.
        {"false eye, group dead",
         0,
         {0, 0, 0},
         {"x.xx.xOX.", "xxOxxxOX.", "OOOOOOOX.", "......OX.", "......OX.", "......OX.", "......OX.", "......OX.",
          "......OX."},
         {"wwwwwwOXb", "wwOwwwOXb", "OOOOOOOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb",
          "wwwwwwOXb"},
         "B 9 0 W 47 9 W+47",
         0,
         0},
        // Left alive by mistake, the false eye is counted as the point it is.
        {"false eye, group left alive",
         0,
         {0, 0, 0},
         {"X.XX.XOX.", "XXOXXXOX.", "OOOOOOOX.", "......OX.", "......OX.", "......OX.", "......OX.", "......OX.",
          "......OX."},
         {"XbXXbXOXb", "XXOXXXOXb", "OOOOOOOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb", "wwwwwwOXb",
          "wwwwwwOXb"},
         "B 11 0 W 36 0 W+25",
         0,
         0},
        {"jigo",
         90,
         {0, 1, 1},
         {"....XO...", "....XO...", "....XO...", "....XO...", "....XO...", "....XO...", "....XO...", "....XO...",
          "....XO..."},
         {"bbbbXOwww", "bbbbXOwww", "bbbbXOwww", "bbbbXOwww", "bbbbXOwww", "bbbbXOwww", "bbbbXOwww", "bbbbXOwww",
          "bbbbXOwww"},
         "B 36 1 W 27 1 0",
         0,
         0},
        {"a lone dead stone on an empty board",
         65,
         {0, 0, 0},
         {".........", ".........", ".........", "....x....", ".........", ".........", ".........", ".........",
          "........."},
         {".........", ".........", ".........", ".........", ".........", ".........", ".........", ".........",
          "........."},
         "B 0 0 W 0 1 W+7.5",
         0,
         0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Marked m = position(9, k.position, k.komiTenths);
        m.g.CapturedCount = k.captured;
        const ScoreCount c = fncCountScore(m.g, m.status);
        EXPECT_EQ(countDiagram(m, c), test::diagram(k.count));
        EXPECT_EQ(line(c), k.line);
        EXPECT_EQ(c.DamePoints, k.dame);
        EXPECT_EQ(c.SekiPoints, k.seki);
        EXPECT_EQ(c.MarginTenths, c.BlackTenths - c.WhiteTenths);
    }
}

// One position (Black 37, White 28 before komi) under different komi, with the sentence the
// information panel makes of the result.
TEST(Scoring, KomiAndResult) {
    const struct {
        int komiTenths;
        const char* result;
        const char* sentence;
    } cases[] = {
        {0, "B+9", "黒の9目勝ちです"},
        {5, "B+8.5", "黒の8.5目勝ちです"},
        {65, "B+2.5", "黒の2.5目勝ちです"},
        {85, "B+0.5", "黒の0.5目勝ちです"},
        {90, "0", "持碁です"},
        {95, "W+0.5", "白の0.5目勝ちです"},
        {100, "W+1", "白の1目勝ちです"},
        {155, "W+6.5", "白の6.5目勝ちです"},
        {-5, "B+9.5", "黒の9.5目勝ちです"},
    };
    Marked m = position(9, {"....XO...", "....XO...", "....XO...", "....XO...", "....XO...", "....XO...", "....XO...",
                            "....XO...", "....XO..."});
    m.g.CapturedCount = {0, 1, 1};
    for (const auto& k : cases) {
        m.g.KomiTenths = k.komiTenths;
        const ScoreCount c = fncCountScore(m.g, m.status);
        EXPECT_EQ(c.BlackTenths, 370) << k.komiTenths;
        EXPECT_EQ(c.WhiteTenths, 280 + k.komiTenths) << k.komiTenths;
        EXPECT_EQ(c.Result, k.result) << k.komiTenths;
        EXPECT_EQ(fncReToComment(c.Result), k.sentence) << k.komiTenths;
    }
}

// The shortest decimal of a margin, of the record's KM and of the engine's komi command; any
// int a record gives, the lowest one too.
TEST(Scoring, TenthsInShortestDecimalForm) {
    const struct {
        int tenths;
        const char* text;
    } cases[] = {{65, "6.5"},
                 {60, "6"},
                 {70, "7"},
                 {0, "0"},
                 {-65, "-6.5"},
                 {-60, "-6"},
                 {-5, "-0.5"},
                 {5, "0.5"},
                 {-35, "-3.5"},
                 {995, "99.5"},
                 {INT_MAX, "214748364.7"},
                 {INT_MIN, "-214748364.8"}};
    for (const auto& c : cases) EXPECT_EQ(tenthsText(c.tenths), c.text) << c.tenths;
}

// Every size the board can have: a wall of black on the third line and white on the fourth,
// a dead stone in the two far corners of the other side's area.
TEST(Scoring, EveryBoardSize) {
    const struct {
        int size;
        const char* result;  // Black 2 * size + 2, White (size - 4) * size + 1 + 6.5
    } cases[] = {{9, "W+32.5"}, {13, "W+96.5"}, {19, "W+252.5"}};
    for (const auto& [size, result] : cases) {
        SCOPED_TRACE(size);
        Marked m{test::newGame(size, 0, 65)};
        for (int r = 1; r <= size; ++r) {
            m.g.Board[pt(m.g, 3, r)] = Black;
            m.g.Board[pt(m.g, 4, r)] = White;
        }
        for (const int p : {pt(m.g, 1, 1), pt(m.g, 1, size)}) {
            m.g.Board[p] = White;
            m.status[p] = StoneStatus::Dead;
        }
        const int far = pt(m.g, size, size);
        m.g.Board[far] = Black;
        m.status[far] = StoneStatus::Dead;
        const ScoreCount c = fncCountScore(m.g, m.status);
        EXPECT_EQ(c.Side[Black].Territory, 2 * size);
        EXPECT_EQ(c.Side[Black].Prisoners, 2);
        EXPECT_EQ(c.Side[White].Territory, (size - 4) * size);
        EXPECT_EQ(c.Side[White].Prisoners, 1);
        EXPECT_EQ(c.Result, result);
        EXPECT_EQ(c.Points[far], PointKind::WhiteTerritory);
        EXPECT_EQ(c.Points[pt(m.g, 1, size)], PointKind::BlackTerritory);
        EXPECT_EQ(c.Points[pt(m.g, 3, size)], PointKind::Stone);
    }
}

// The stones of the group a click stands for, written as '*' over the position.
std::string groupDiagram(const Marked& m, int col, int row) {
    std::string s;
    const std::vector<int> group = fncStoneGroup(m.g, m.status, pt(m.g, col, row));
    for (int r = 1; r <= m.g.BoardSize; ++r) {
        if (r > 1) s += '\n';
        for (int c = 1; c <= m.g.BoardSize; ++c) {
            const int p = pt(m.g, c, r);
            const int v = m.g.Board[p];
            if (std::find(group.begin(), group.end(), p) != group.end())
                s += '*';
            else
                s += v == Black   ? (m.status[p] == StoneStatus::Dead ? 'x' : 'X')
                     : v == White ? (m.status[p] == StoneStatus::Dead ? 'o' : 'O')
                                  : '.';
        }
    }
    return s;
}

TEST(Scoring, GroupOfAClick) {
    // White's chains in the walled corner share one region (through empty points and the
    // dead black stone), so one click takes them all; the wall of live black stones bounds
    // it. Outside, the two white stones share the open area and go together.
    const Marked m = position(9, {".O.O.X...", "O.x.OX...", ".O..OX...", "XXXXXX...", ".........", "..O......",
                                  ".........", ".......O.", "........."});
    EXPECT_EQ(groupDiagram(m, 2, 1), test::diagram({".*.*.X...", "*.x.*X...", ".*..*X...", "XXXXXX...", ".........",
                                                    "..O......", ".........", ".......O.", "........."}));
    EXPECT_EQ(groupDiagram(m, 3, 6), test::diagram({".O.O.X...", "O.x.OX...", ".O..OX...", "XXXXXX...", ".........",
                                                    "..*......", ".........", ".......*.", "........."}));
    // The black stone is not sealed off from the wall: an empty path runs from it between
    // the white stones to the wall, so a click on it takes the wall too.
    EXPECT_EQ(groupDiagram(m, 3, 2), test::diagram({".O.O.*...", "O.*.O*...", ".O..O*...", "******...", ".........",
                                                    "..O......", ".........", ".......O.", "........."}));
    // Once the white stones around it are dead, the same holds through them.
    Marked whiteDead = m;
    prcToggleDead(whiteDead.g, whiteDead.status, pt(m.g, 2, 1));
    EXPECT_EQ(groupDiagram(whiteDead, 3, 2),
              test::diagram({".o.o.*...", "o.*.o*...", ".o..o*...", "******...", ".........", "..O......", ".........",
                             ".......O.", "........."}));
    EXPECT_TRUE(fncStoneGroup(m.g, m.status, pt(m.g, 1, 1)).empty());
    EXPECT_TRUE(fncStoneGroup(m.g, m.status, 0).empty());
    EXPECT_EQ(fncChainOf(m.g, pt(m.g, 1, 4)).size(), 9u);
    EXPECT_EQ(fncChainOf(m.g, pt(m.g, 2, 1)), std::vector<int>{pt(m.g, 2, 1)});
}

TEST(Scoring, ToggleAndPropose) {
    // The false-eye group: a click on either side of the false eye takes both chains.
    Marked m = position(9, {"X.XX.XOX.", "XXOXXXOX.", "OOOOOOOX.", "......OX.", "......OX.", "......OX.", "......OX.",
                            "......OX.", "......OX."});
    prcToggleDead(m.g, m.status, pt(m.g, 1, 1));
    int dead = 0;
    for (const StoneStatus s : m.status) dead += s == StoneStatus::Dead;
    EXPECT_EQ(dead, 9);
    EXPECT_EQ(fncCountScore(m.g, m.status).Result, "W+47");
    prcToggleDead(m.g, m.status, pt(m.g, 6, 1));  // the other chain: back to alive
    EXPECT_EQ(m.status, StoneStatusMap{});
    prcToggleSeki(m.g, m.status, pt(m.g, 3, 1));
    EXPECT_EQ(m.status[pt(m.g, 1, 1)], StoneStatus::Seki);
    prcToggleSeki(m.g, m.status, pt(m.g, 1, 2));
    EXPECT_EQ(m.status, StoneStatusMap{});
    prcToggleDead(m.g, m.status, pt(m.g, 2, 1));  // an empty point: nothing happens
    EXPECT_EQ(m.status, StoneStatusMap{});

    // An engine's lists: one stone of a chain stands for the chain; points without a stone
    // and positions off the board are ignored.
    const Marked seki = position(9, {"B.B.W.WX.", "BBBBWWWX.", "OOOOXXXX.", "...OX....", "...OX...o", "...OX....",
                                     "...OX....", "...OX....", "...OX...."});
    const GameState& g = seki.g;
    const std::vector<int> deadList = {pt(g, 9, 5), pt(g, 1, 5), 0, 999};
    const std::vector<int> sekiList = {pt(g, 1, 1), pt(g, 7, 1)};
    EXPECT_EQ(fncProposeStatus(g, deadList, sekiList), seki.status);
    EXPECT_EQ(fncProposeStatus(g, {}, {}), StoneStatusMap{});
}

}  // namespace
}  // namespace tavrin
