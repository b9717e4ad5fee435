#pragma once
// Record files: reading their bytes, their lines, and choosing the reader by extension.

#include <string>
#include <string_view>

#include "formats/RecordLoad.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "record/RecordTree.h"

namespace tavrin {

enum class RecordKind { None, Sgf, Ngf };

// The reader for a path: ".sgf" or ".ngf" in any case; None for anything else.
RecordKind recordKind(const std::string& path);

// The whole contents of a file. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& out);

// Loads a file's lines into buf. NoPath for an empty path, CannotOpen when it cannot be
// read, Empty when it has no lines; Ok otherwise.
LoadResult loadFileLines(TextBuffer& buf, const std::string& path);

// How writing a file ended.
enum class WriteStatus {
    Ok,
    Refused,  // the target may not be written: read-only, a folder, a folder that is a file
    Failed,   // it could not be written: a full disk, a device error, a target that is no file
};

// Replaces the file at path (a symbolic link: the file it names) by bytes, through a new
// file beside it that is written, flushed to the disk and renamed over it. A new file gets
// the permissions the user's mask allows, a replaced one keeps its own. On any failure the
// old file is left as it was and the new one removed.
WriteStatus writeFileReplacing(const std::string& path, std::string_view bytes);

// Text for a file whose extension names no record format.
inline constexpr char NotRecordFile[] = "sgf/ngf以外のファイルは扱えません";

// Reads a record file with the reader its extension names; another extension is refused
// with NotRecordFile. tree, when given, receives the record's game tree (for an NGF file the
// record alone).
LoadResult readRecordFile(GameState& g, TextBuffer& buf, const std::string& path, RecordTree* tree = nullptr);

}  // namespace tavrin
