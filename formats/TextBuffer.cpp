#include "formats/TextBuffer.h"

#include <cstring>

#include "formats/Sjis.h"

namespace tavrin {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

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

const std::vector<std::string>& TextBuffer::lines() const {
    if (pending_) decodeBytes();
    return lines_;
}

std::vector<std::string>& TextBuffer::lines() {
    if (pending_) decodeBytes();
    return lines_;
}

void TextBuffer::clear() {
    lines_.clear();
    pending_ = false;
}

bool TextBuffer::empty() const {
    // Bytes give no line only when nothing is left of them after a byte-order mark.
    if (pending_) return bytes_.size() == (bytesAreText_ ? 0 : ByteOrderMark.size());
    return lines_.empty();
}

void TextBuffer::setText(std::string_view utf8) {
    Encoding = TextEncoding::Cp932;
    pending_ = false;
    const size_t count = textlines::forEachLine(utf8, [this](size_t k, std::string_view line) {
        lineAt(lines_, k).assign(line);
    });
    lines_.resize(count);
}

std::string TextBuffer::text() const {
    std::string out;
    for (const std::string& line : lines()) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string TextBuffer::joined() const {
    const std::vector<std::string>& all = lines();
    if (all.size() == 1) return all.front();
    size_t total = 0;
    for (const std::string& line : all) total += line.size();
    std::string out;
    out.reserve(total);
    for (const std::string& line : all) out += line;
    return out;
}

void TextBuffer::setFileBytes(std::string_view bytes) {
    bytes_.assign(bytes);
    bytesTaken();
}

void TextBuffer::takeFileBytes(std::string& bytes) {
    bytes_.swap(bytes);
    bytesTaken();
}

void TextBuffer::bytesTaken() {
    Encoding = fileEncoding(bytes_);
    bytesEncoding_ = Encoding;
    pending_ = true;
    bytesAreText_ = std::string_view(bytes_).substr(0, ByteOrderMark.size()) != ByteOrderMark;
}

void TextBuffer::decodeBytes() const {
    // CR and LF are never trail bytes in CP932 nor parts of a UTF-8 sequence, so splitting
    // the bytes and decoding each line is the same as decoding and then splitting; each line
    // is decoded straight into its place.
    pending_ = false;
    const std::string_view bytes = bytes_;
    size_t count = 0;
    if (bytesEncoding_ == TextEncoding::Cp932) {
        count = textlines::forEachLine(bytes, [this](size_t k, std::string_view line) {
            sjis::decodeInto(line, lineAt(lines_, k));
        });
    } else if (!bytesAreText_) {
        count = textlines::forEachLine(bytes.substr(ByteOrderMark.size()), [this](size_t k, std::string_view line) {
            sjis::decodeUtf8Into(line, lineAt(lines_, k));
        });
    } else {
        count = textlines::forEachLine(bytes, [this](size_t k, std::string_view line) {
            lineAt(lines_, k).assign(line);
        });
    }
    lines_.resize(count);
}

bool TextBuffer::fileBytes(std::string& out) const {
    if (Encoding == TextEncoding::Utf8) {
        out = text();
        return true;
    }
    out.clear();
    bool all = true;
    std::string encoded;
    for (const std::string& line : lines()) {
        if (!sjis::encode(line, encoded)) all = false;
        out += encoded;
        out += "\r\n";
    }
    return all;
}

}  // namespace tavrin
