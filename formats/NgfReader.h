#pragma once
// The NGF reader: game information from fixed header lines, moves from "PM" lines, replayed
// into the game as the SGF reader does.

#include <string>

#include "formats/RecordLoad.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"

namespace tavrin {

// Reads the NGF lines now in buf. On success the game is replaced and left ended at its last move; on any refusal it is
// left as it was.
LoadResult fncNgfToKif(GameState& g, const TextBuffer& buf, const std::string& path);

// Loads the file's lines into buf and reads them as NGF.
LoadResult fncFileReadNGF(GameState& g, TextBuffer& buf, const std::string& path);

}  // namespace tavrin
