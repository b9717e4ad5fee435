#pragma once
// The shared list of text lines: the SGF writer fills it, the readers and the clipboard
// read it. Lines are UTF-8 in memory; file bytes are decoded and encoded at the boundary.

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

struct TextBuffer {
    std::vector<std::string> Lines;

    void clear() { Lines.clear(); }
    bool empty() const { return Lines.empty(); }

    // Replaces the contents by text split at CR LF, CR or LF. A line break at the very end
    // opens no further line, so "" gives no lines and "\r\n" one empty line.
    void setText(std::string_view utf8);

    // All lines, each followed by CR LF (the clipboard text).
    std::string text() const;

    // All lines joined without any separator (what the SGF scanner reads).
    std::string joined() const;

    // Replaces the contents by the lines of a file's bytes (code page 932).
    void setFileBytes(std::string_view bytes);

    // The bytes of a file holding the lines: each line followed by CR LF, code page 932.
    // False when a character had no CP932 form (written as "?").
    bool fileBytes(std::string& out) const;
};

}  // namespace tavrin
