#include "formats/TextBuffer.h"

#include <cstring>

#include "formats/Sjis.h"

namespace tavrin {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Position of the first c at or after from; n when there is none.
size_t findByte(const char* p, size_t n, size_t from, char c) {
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

// Line k of lines, reusing the string already there: reading many records keeps their
// capacity.
std::string& lineAt(std::vector<std::string>& lines, size_t k) {
    if (k == lines.size()) lines.emplace_back();
    return lines[k];
}

}  // namespace

TextEncoding fileEncoding(std::string_view bytes) {
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) return TextEncoding::Utf8;
    return sjis::firstHighByte(bytes) < bytes.size() && sjis::validUtf8(bytes) ? TextEncoding::Utf8
                                                                              : TextEncoding::Cp932;
}

void TextBuffer::setText(std::string_view utf8) {
    Encoding = TextEncoding::Cp932;
    const size_t count = forEachLine(utf8, [this](size_t k, std::string_view line) {
        lineAt(Lines, k).assign(line);
    });
    Lines.resize(count);
}

std::string TextBuffer::text() const {
    std::string out;
    for (const std::string& line : Lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string TextBuffer::joined() const {
    if (Lines.size() == 1) return Lines.front();
    size_t total = 0;
    for (const std::string& line : Lines) total += line.size();
    std::string out;
    out.reserve(total);
    for (const std::string& line : Lines) out += line;
    return out;
}

void TextBuffer::setFileBytes(std::string_view bytes) {
    // CR and LF are never trail bytes in CP932 nor parts of a UTF-8 sequence, so splitting
    // the bytes and decoding each line is the same as decoding and then splitting; each line
    // is decoded straight into its place.
    const TextEncoding encoding = fileEncoding(bytes);
    size_t count = 0;
    if (encoding == TextEncoding::Cp932) {
        count = forEachLine(bytes, [this](size_t k, std::string_view line) {
            sjis::decodeInto(line, lineAt(Lines, k));
        });
    } else if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        count = forEachLine(bytes.substr(ByteOrderMark.size()), [this](size_t k, std::string_view line) {
            sjis::decodeUtf8Into(line, lineAt(Lines, k));
        });
    } else {
        count = forEachLine(bytes, [this](size_t k, std::string_view line) {
            lineAt(Lines, k).assign(line);
        });
    }
    Lines.resize(count);
    Encoding = encoding;
}

bool TextBuffer::fileBytes(std::string& out) const {
    if (Encoding == TextEncoding::Utf8) {
        out = text();
        return true;
    }
    out.clear();
    bool all = true;
    std::string encoded;
    for (const std::string& line : Lines) {
        if (!sjis::encode(line, encoded)) all = false;
        out += encoded;
        out += "\r\n";
    }
    return all;
}

}  // namespace tavrin
