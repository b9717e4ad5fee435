#pragma once
// Record files: reading their bytes, their lines, and choosing the reader by extension.

#include <string>

#include "formats/RecordLoad.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"

namespace tavrin {

enum class RecordKind { None, Sgf, Ngf };

// The reader for a path: ".sgf" or ".ngf" in any case; None for anything else.
RecordKind recordKind(const std::string& path);

// The whole contents of a file. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& out);

// Loads a file's lines into buf. NoPath for an empty path, CannotOpen when it cannot be
// read, Empty when it has no lines; Ok otherwise.
LoadResult loadFileLines(TextBuffer& buf, const std::string& path);

// Text for a file whose extension names no record format.
inline constexpr char NotRecordFile[] = "sgf/ngf以外のファイルは扱えません";

// Reads a record file with the reader its extension names; another extension is refused
// with NotRecordFile.
LoadResult readRecordFile(GameState& g, TextBuffer& buf, const std::string& path);

}  // namespace tavrin
