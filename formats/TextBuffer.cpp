#include "formats/TextBuffer.h"

#include "formats/Sjis.h"

namespace tavrin {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool hasHighByte(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

}  // namespace

TextEncoding fileEncoding(std::string_view bytes) {
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) return TextEncoding::Utf8;
    return hasHighByte(bytes) && sjis::validUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

void TextBuffer::setText(std::string_view utf8) {
    Encoding = TextEncoding::Cp932;
    // Reuse the line strings already there: reading many records keeps their capacity.
    size_t count = 0;
    size_t start = 0;
    const size_t n = utf8.size();
    auto put = [this, &count](std::string_view line) {
        if (count < Lines.size()) {
            Lines[count].assign(line);
        } else {
            Lines.emplace_back(line);
        }
        ++count;
    };
    for (size_t i = 0; i < n; ++i) {
        const char c = utf8[i];
        if (c != '\r' && c != '\n') continue;
        put(utf8.substr(start, i - start));
        if (c == '\r' && i + 1 < n && utf8[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) put(utf8.substr(start));
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
    // after decoding is the same as splitting the bytes.
    const TextEncoding encoding = fileEncoding(bytes);
    if (encoding == TextEncoding::Cp932) {
        setText(sjis::decode(bytes));
    } else if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        setText(sjis::decodeUtf8(bytes.substr(ByteOrderMark.size())));
    } else {
        setText(bytes);
    }
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
