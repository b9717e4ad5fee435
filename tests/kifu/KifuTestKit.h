#pragma once
// Records for the kifu figure tests: hand-made SGF games (a ko fought over, a handicap stone
// captured and played on), long random games, and the notes of a figure as text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/SgfReader.h"
#include "formats/TextBuffer.h"
#include "record/KifuFigures.h"
#include "tests/support/RandomGame.h"

namespace tavrin::test {

// A ko on 9 x 9: 8 (W dd) is taken by 9 (B ed), retaken by 12 at dd, 14 passes, 15 retakes at
// ed. The last move is a note.
inline constexpr char KoRecord[] =
    "(;GM[1]FF[4]SZ[9]PB[黒田]PW[白石]RE[B+R]"
    ";B[cd];W[ec];B[dc];W[ee];B[de];W[fd];B[ii];W[dd];B[ed];W[gg]"
    ";B[hh];W[dd];B[gh];W[tt];B[ed])";

// Two handicap stones on 9 x 9; white captures the one at gc with 7 and plays there with 9;
// the last move (10, B ae) stands numbered.
inline constexpr char HandicapRecord[] =
    "(;GM[1]SZ[9]HA[2]AB[cg][gc];W[fc];B[aa];W[hc];B[ab];W[gb];B[ac];W[gd];B[ad];W[gc];B[ae])";

// Position of an SGF point ("dd") on a board of the given size.
inline int sgfPoint(const char* p, int size) { return (p[0] - 'a' + 1) * (size + 2) + (p[1] - 'a' + 1); }

inline GameState readRecordText(const std::string& sgf) {
    GameState g;
    TextBuffer buf;
    buf.setText(sgf);
    const LoadResult r = fncStringsToKif(g, buf, "");
    EXPECT_TRUE(r.ok()) << r.reason;
    return g;
}

inline bool readRecordPath(GameState& g, const std::string& path) {
    TextBuffer buf;
    return readRecordFile(g, buf, path).ok();
}

inline std::vector<std::string> noteTexts(const KifuFigure& fig) {
    std::vector<std::string> out;
    for (const FigureNote& n : fig.Notes) out.push_back(figureNoteText(n));
    return out;
}

}  // namespace tavrin::test
