#pragma once
// The SGF writer: the record as file format 4 text with a fixed property set, one line of
// play and lines cut at 80 bytes of the file's encoding.

#include <string>
#include <string_view>
#include <vector>

#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "record/RecordTree.h"

namespace tavrin {

// The text with a "\" put before every "]" and "\".
std::string fncKinsiMojiChk(std::string_view text);

// Two coordinate letters of a board position ("tt" for a pass, none above 19 x 19).
std::string sgfPoint(int pos, int boardStride);

// The record is written in UTF-8: a text has a character code page 932 cannot hold, or
// the code page 932 bytes of its texts would read back as UTF-8 (well-formed, not ASCII).
bool needsUtf8(const GameState& g);

// Rebuilds buf as the SGF text of the whole record. Reads the game state only. The lines
// are measured and the buffer's encoding set for code page 932, or for UTF-8 (with
// CA[UTF-8] after FF[4]) when needsUtf8 or when the tree was read from UTF-8 text. With a tree (whose main line holds
// g's record) that holds more than the record, its other properties are written at their nodes, its variations at
// theirs and its further games after the record; UTF-8 is then also chosen when code page 932 cannot hold the tree's
// texts or its bytes would read back as UTF-8.
void prcKifToStrings(const GameState& g, TextBuffer& buf, const RecordTree* tree = nullptr);

// Identifier keys (RecordTree::identKey) of main-line properties that a tree holds but the
// record's form writes for g: TE and EV in the root give the game's name and RD its date to
// a reader that finds none, so for a game without a name or date they are left out.
std::vector<uint32_t> recordFallbacks(const GameState& g);

// The exact bytes of a saved record (buf is rebuilt as by prcKifToStrings): every line
// followed by CR LF, in code page 932 or in UTF-8.
std::string sgfFileBytes(const GameState& g, TextBuffer& buf, const RecordTree* tree = nullptr);

}  // namespace tavrin
