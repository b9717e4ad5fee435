// The NGF reader on any bytes: no crash, hang or sanitizer report; a refused file leaves the
// game as it was; an accepted one is the same game once saved as SGF and read back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/NgfReader.h"
#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextBuffer buf;
    const LoadResult r = fuzz::readInput(data, size, fncNgfToKif, "fuzz.ngf", buf);
    if (!r.ok()) return 0;
    GameState& g = fuzz::game();
    FUZZ_EXPECT(g.HandicapCount >= 0 && g.HandicapCount <= 9);

    GameState again = g;
    TextBuffer back;
    back.setFileBytes(sgfFileBytes(g, buf));
    FUZZ_EXPECT(fncStringsToKif(again, back, "fuzz.sgf").ok());
    FUZZ_EXPECT(again.BoardSize == g.BoardSize && again.HandicapCount == g.HandicapCount &&
                again.MoveCount == g.MoveCount && again.Board == g.Board && again.MovePos == g.MovePos &&
                again.MoveColor == g.MoveColor);
    return 0;
}
