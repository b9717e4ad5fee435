#pragma once
// The file a game belongs to: its name, whether the game changed since the file was read
// or saved, and whether it was opened to be read only. The record's text is written in code
// page 932 unless it needs UTF-8 or was read as UTF-8 (the tree keeps that), so the file's
// character set is not kept here.

#include <string>

namespace tavrin {

struct Document {
    std::string FileName;  // empty when untitled or pasted
    bool Modified = false;
    bool ReadOnly = false;
};

}  // namespace tavrin
