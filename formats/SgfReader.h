#pragma once
// The SGF reader: a single-pass scanner over the joined lines that reads the first line of
// play and a fixed set of properties, then replays the record through the legality check.

#include <string>
#include <string_view>

#include "formats/RecordLoad.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "record/RecordTree.h"

namespace tavrin {

// Reads the SGF text now in buf. On success the game is replaced and left ended at its last move,
// and tree, when given, by the text's game tree (its main line holds the game's record);
// on any refusal the game and the tree are left exactly as they were.
LoadResult fncStringsToKif(GameState& g, const TextBuffer& buf, const std::string& name, RecordTree* tree = nullptr);

// Loads the file's lines into buf (split at CR LF, CR or LF) and reads them as SGF.
LoadResult fncFileReadSGF(GameState& g, TextBuffer& buf, const std::string& path, RecordTree* tree = nullptr);

}  // namespace tavrin
