#pragma once
// The shared list of text lines: the SGF writer fills it, the readers and the clipboard
// read it. Lines are UTF-8 in memory; file bytes are decoded and encoded at the boundary.

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The encoding of a record file.
enum class TextEncoding { Cp932, Utf8 };

// The encoding a record file's bytes are read in: UTF-8 when they begin with a byte-order
// mark, or when they are well-formed UTF-8 with at least one byte above 0x7F (a record
// declared UTF-8 whose bytes are not well-formed is therefore read as code page 932);
// code page 932 otherwise.
TextEncoding fileEncoding(std::string_view bytes);

struct TextBuffer {
    std::vector<std::string> Lines;
    // The encoding of the file the lines were read from, or are to be written to.
    TextEncoding Encoding = TextEncoding::Cp932;

    void clear() { Lines.clear(); }
    bool empty() const { return Lines.empty(); }

    // Replaces the contents by text split at CR LF, CR or LF. A line break at the very end
    // opens no further line, so "" gives no lines and "\r\n" one empty line. The encoding
    // goes back to code page 932.
    void setText(std::string_view utf8);

    // All lines, each followed by CR LF (the clipboard text).
    std::string text() const;

    // All lines joined without any separator (what the SGF scanner reads).
    std::string joined() const;

    // Replaces the contents by the lines of a file's bytes, decoded as fileEncoding says
    // (a byte-order mark is skipped), and remembers the encoding.
    void setFileBytes(std::string_view bytes);

    // The bytes of a file holding the lines: each line followed by CR LF, in the buffer's
    // encoding. False when a character had no code page 932 form (written as "?").
    bool fileBytes(std::string& out) const;
};

}  // namespace tavrin
