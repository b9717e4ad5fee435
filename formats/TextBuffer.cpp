#include "formats/TextBuffer.h"

#include <cstdint>
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

namespace {

bool asciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// A letter of the Latin, Greek or Cyrillic scripts among the two-byte UTF-8 forms.
bool twoByteLetter(uint32_t cp) {
    return (cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7) || (cp >= 0x386 && cp <= 0x3FF) ||
           (cp >= 0x400 && cp <= 0x52F);
}

// What a declared character set says about the bytes: UTF-8, code page 932, or nothing
// (no CA, or a set this reader does not tell apart).
enum class Declared { None, Utf8, Cp932 };

Declared declaredSet(std::string_view bytes) {
    size_t at = 0;
    while ((at = bytes.find("CA[", at)) != std::string_view::npos) {
        // CA as a property name of its own, not the end of a longer one (like "PCA[").
        const bool own = at == 0 || !(bytes[at - 1] >= 'A' && bytes[at - 1] <= 'Z');
        at += 3;
        if (!own) continue;
        const size_t end = bytes.find(']', at);
        if (end == std::string_view::npos || end - at > 32) return Declared::None;
        std::string name;
        for (const char c : bytes.substr(at, end - at)) {
            if (c == ' ' || c == '-' || c == '_') continue;
            name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        if (name == "UTF8") return Declared::Utf8;
        if (name == "SHIFTJIS" || name == "SJIS" || name == "CP932" || name == "WINDOWS31J" ||
            name == "MSKANJI" || name == "XSJIS")
            return Declared::Cp932;
        return Declared::None;
    }
    return Declared::None;
}

}  // namespace

bool readsAsUtf8(std::string_view bytes) {
    if (sjis::firstHighByte(bytes) == bytes.size() || !sjis::validUtf8(bytes)) return false;
    // Bytes that code page 932 cannot read are UTF-8 on their own evidence.
    if (!sjis::validCp932(bytes)) return true;
    // Bytes both ways: half-width katakana pairs in code page 932 (ﾐｷ is D0 B7) are also
    // two-byte UTF-8 forms ("з"), so those alone prove nothing. Three- and four-byte forms
    // (kana, CJK, Hangul) do, and so does a letter that sits inside a Latin word ("José").
    for (size_t i = sjis::firstHighByte(bytes); i < bytes.size(); i = sjis::firstHighByte(bytes, i)) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0xE0) return true;
        const uint32_t cp = (b & 0x1Fu) << 6 | (static_cast<unsigned char>(bytes[i + 1]) & 0x3Fu);
        const bool before = i > 0 && asciiLetter(static_cast<unsigned char>(bytes[i - 1]));
        const bool after = i + 2 < bytes.size() && asciiLetter(static_cast<unsigned char>(bytes[i + 2]));
        if (twoByteLetter(cp) && (before || after)) return true;
        i += 2;
    }
    return false;
}

TextEncoding fileEncoding(std::string_view bytes) {
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) return TextEncoding::Utf8;
    if (sjis::firstHighByte(bytes) == bytes.size()) return TextEncoding::Cp932;
    switch (declaredSet(bytes)) {
        case Declared::Utf8: return sjis::validUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
        // A declaration the bytes cannot bear (bytes code page 932 has no character for, that
        // are well-formed UTF-8) gives way to them.
        case Declared::Cp932:
            return sjis::validUtf8(bytes) && !sjis::validCp932(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
        case Declared::None: break;
    }
    return readsAsUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
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
