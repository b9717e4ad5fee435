// The SGF reader on any bytes: no crash, hang or sanitizer report; the bytes scanned as they
// stand give what their decoded lines give; a record it accepts is written, read back as the
// same game, and written again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GameState viaLines = fuzz::game();
    TextBuffer buf;
    const auto read = [](GameState& game, const TextBuffer& text, const std::string& name) {
        return fncStringsToKif(game, text, name);
    };
    const LoadResult r = fuzz::readInput(data, size, read, "fuzz.sgf", buf);
    GameState& g = fuzz::game();

    TextBuffer lines;
    lines.lines() = buf.lines();
    lines.Encoding = buf.Encoding;
    const LoadResult r1 = fncStringsToKif(viaLines, lines, "fuzz.sgf");
    FUZZ_EXPECT(r1.status == r.status && r1.reason == r.reason);
    if (!r.ok()) return 0;
    FUZZ_EXPECT(
        viaLines.BoardSize == g.BoardSize && viaLines.MoveCount == g.MoveCount && viaLines.MovePos == g.MovePos &&
        viaLines.MoveColor == g.MoveColor && viaLines.KomiTenths == g.KomiTenths && viaLines.GameName == g.GameName &&
        viaLines.BlackPlayer == g.BlackPlayer && viaLines.WhitePlayer == g.WhitePlayer &&
        viaLines.GameComment == g.GameComment && viaLines.GameDate == g.GameDate && viaLines.GameRule == g.GameRule);

    // Setup between the moves is saved with the record's tree alone (fuzz_tree saves it).
    if (r.FirstSetupMove != 0) return 0;
    const std::string first = sgfFileBytes(g, buf);
    GameState again = g;
    TextBuffer back;
    back.setFileBytes(first);
    const LoadResult r2 = fncStringsToKif(again, back, "fuzz.sgf");
    FUZZ_EXPECT(r2.ok());  // more than 9 AB stones too: they are saved without HA
    FUZZ_EXPECT(again.BoardSize == g.BoardSize && again.HandicapCount == g.HandicapCount &&
                again.MoveCount == g.MoveCount && again.Board == g.Board && again.KomiTenths == g.KomiTenths &&
                again.MovePos == g.MovePos);
    FUZZ_EXPECT(sgfFileBytes(again, back) == first);
    return 0;
}
