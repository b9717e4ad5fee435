// The record's game tree on any bytes: the bytes as a file and their decoded lines (a paste)
// give the same tree; a record that is read is written with its tree, read back as the same
// game with a tree that differs only in what the record's own form rewrites, and written
// again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "fuzz/FuzzSupport.h"
#include "record/RecordTree.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GameState& g = fuzz::game();
    const GameState before = g;
    TextBuffer buf;
    buf.setFileBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    RecordTree tree;
    const LoadResult r = fncStringsToKif(g, buf, "fuzz.sgf", &tree);
    fuzz::expectOutcome(r, before, g);

    TextBuffer lines;
    lines.lines() = buf.lines();
    lines.Encoding = buf.Encoding;
    GameState viaLines = before;
    RecordTree linesTree;
    const LoadResult r1 = fncStringsToKif(viaLines, lines, "fuzz.sgf", &linesTree);
    FUZZ_EXPECT(r1.status == r.status && r1.reason == r.reason);
    if (!r.ok()) return 0;
    FUZZ_EXPECT(linesTree == tree && linesTree.Rebuilt == tree.Rebuilt);
    FUZZ_EXPECT(tree.moveCount() == g.MoveCount);

    const std::string first = sgfFileBytes(g, buf, &tree);
    GameState again = before;
    TextBuffer back;
    back.setFileBytes(first);
    RecordTree tree2;
    FUZZ_EXPECT(fncStringsToKif(again, back, "fuzz.sgf", &tree2).ok());
    FUZZ_EXPECT(!tree2.Rebuilt);
    FUZZ_EXPECT(tree.sameBeyondRecord(tree2, recordFallbacks(g)));
    FUZZ_EXPECT(again.BoardSize == g.BoardSize && again.HandicapCount == g.HandicapCount &&
                again.MoveCount == g.MoveCount && again.Board == g.Board && again.KomiTenths == g.KomiTenths &&
                again.MovePos == g.MovePos && again.GameName == g.GameName && again.BlackPlayer == g.BlackPlayer &&
                again.WhitePlayer == g.WhitePlayer && again.GameComment == g.GameComment &&
                again.GameDate == g.GameDate && again.GameRule == g.GameRule);
    FUZZ_EXPECT(sgfFileBytes(again, back, &tree2) == first);
    return 0;
}
