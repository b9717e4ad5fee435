#pragma once
// The file a game belongs to: its name, whether the game changed since the file was read
// or saved, and whether it was opened to be read only. The record's text is written in code
// page 932 unless it needs UTF-8 (a declared Shift_JIS is kept), so the file's character
// set is the tree's own and not kept here.

#include <string>

namespace tavrin {

struct Document {
    std::string FileName;  // empty when untitled or pasted
    bool Modified = false;
    bool ReadOnly = false;
};

}  // namespace tavrin
