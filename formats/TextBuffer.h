#pragma once
// The shared list of text lines: the SGF writer fills it, the readers and the clipboard
// read it. Lines are UTF-8 in memory; file bytes are decoded and encoded at the boundary, a
// file's bytes when its lines are first asked for (the SGF reader can scan them as they are).

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

namespace textlines {

// Position of the first c at or after from; n when there is none.
inline size_t findByte(const char* p, size_t n, size_t from, char c) {
    if (from >= n) return n;
    const void* at = std::memchr(p + from, c, n - from);
    return at ? static_cast<size_t>(static_cast<const char*>(at) - p) : n;
}

// Calls put(line) for each line of text split at CR LF, CR or LF; a line break at the very
// end opens no further line. Returns the number of lines.
template <typename Put>
size_t forEachLine(std::string_view text, Put&& put) {
    const char* p = text.data();
    const size_t n = text.size();
    size_t count = 0;
    size_t start = 0;
    // The next CR and the next LF, each looked for again only once passed.
    size_t cr = findByte(p, n, 0, '\r');
    size_t lf = findByte(p, n, 0, '\n');
    while (true) {
        const size_t i = cr < lf ? cr : lf;
        if (i >= n) break;
        put(count++, text.substr(start, i - start));
        start = i + 1;
        if (i == cr && start < n && p[start] == '\n') ++start;
        if (cr < start) cr = findByte(p, n, start, '\r');
        if (lf < start) lf = findByte(p, n, start, '\n');
    }
    if (start < n) put(count++, text.substr(start));
    return count;
}

}  // namespace textlines

// The encoding of a record file.
// Declared: another character set a CA property names (GB2312, Big5, EUC-KR, ISO-8859-x…),
// read through iconv; records are never written in it.
enum class TextEncoding { Cp932, Utf8, Declared };

// The encoding a record file's bytes are read in: UTF-8 when they begin with a byte-order
// mark; else as a CA property declares it (UTF-8 unless the bytes are code page 932 without
// a single well-formed UTF-8 character, code page 932 for Shift_JIS and its names unless code
// page 932 cannot read bytes that are well-formed UTF-8, Declared for another set iconv
// reads); else UTF-8 when readsAsUtf8; code page 932 otherwise. UTF-8 text keeps each byte
// that belongs to no well-formed sequence as a code point of its own
// (sjis::decodeUtf8KeptInto) and is written back with it.
TextEncoding fileEncoding(std::string_view bytes);

// A CA value names code page 932 ("Shift_JIS", "SJIS", "CP932", "Windows-31J", …).
bool declaresCp932(std::string_view caValue);

// Bytes without a declaration are read as UTF-8: well-formed UTF-8 with a byte above 0x7F,
// and either not readable as code page 932 or with evidence beyond two-byte forms that are
// also code page 932 characters (a three- or four-byte form, or a Latin, Greek or Cyrillic
// letter beside an ASCII letter); or, with broken bytes, mostly UTF-8 counting the three-
// and four-byte forms alone.
bool readsAsUtf8(std::string_view bytes);

class TextBuffer {
public:
    // The encoding of the file the lines were read from, or are to be written to.
    TextEncoding Encoding = TextEncoding::Cp932;

    // The lines. A file's bytes given to setFileBytes are decoded into lines when they are
    // first asked for; the mutable form is for filling the buffer.
    const std::vector<std::string>& lines() const;
    std::vector<std::string>& lines();

    void clear();
    bool empty() const;

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
    // The same, taking over the string's contents; bytes is left with the buffer's old ones.
    void takeFileBytes(std::string& bytes);

    // The file bytes of the last setFileBytes, while no line has been asked for and when
    // they are the lines' text as it stands (code page 932, or UTF-8 without a byte-order
    // mark); nullptr otherwise. A reader may scan them without decoding every line.
    const std::string* undecodedBytes() const { return pending_ && bytesAreText_ ? &bytes_ : nullptr; }
    TextEncoding undecodedEncoding() const { return bytesEncoding_; }
    // The iconv name of the set a file declared (Encoding Declared); "" otherwise.
    const std::string& charset() const { return charset_; }

    // The bytes of a file holding the lines: each line followed by CR LF, in the buffer's
    // encoding. False when a character had no code page 932 form (written as "?").
    bool fileBytes(std::string& out) const;

private:
    void decodeBytes() const;
    void bytesTaken();  // bytes_ holds a file's bytes: their encoding, nothing decoded yet

    mutable std::vector<std::string> lines_;
    mutable std::string bytes_;                         // a file's bytes not yet decoded into lines_
    mutable bool pending_ = false;                      // bytes_ holds them
    TextEncoding bytesEncoding_ = TextEncoding::Cp932;  // their encoding
    bool bytesAreText_ = false;  // they are the text as it stands (no byte-order mark, no other set)
    bool bom_ = false;           // they begin with a byte-order mark
    std::string charset_;        // the iconv name of a declared set
};

}  // namespace tavrin
