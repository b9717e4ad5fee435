// The SGF reader on any bytes: no crash, hang or sanitizer report; a record it accepts is
// written, read back as the same game, and written again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextBuffer buf;
    const LoadResult r = fuzz::readInput(data, size, fncStringsToKif, "fuzz.sgf", buf);
    if (!r.ok()) return 0;
    GameState& g = fuzz::game();

    const std::string first = sgfFileBytes(g, buf);
    GameState again = g;
    TextBuffer back;
    back.setFileBytes(first);
    const LoadResult r2 = fncStringsToKif(again, back, "fuzz.sgf");
    if (g.HandicapCount > 9) {
        FUZZ_EXPECT(!r2.ok());
        return 0;
    }
    FUZZ_EXPECT(r2.ok());
    FUZZ_EXPECT(again.BoardSize == g.BoardSize && again.HandicapCount == g.HandicapCount &&
                again.MoveCount == g.MoveCount && again.Board == g.Board &&
                again.KomiTenths == g.KomiTenths && again.MovePos == g.MovePos);
    FUZZ_EXPECT(sgfFileBytes(again, back) == first);
    return 0;
}
