#include "formats/TextBuffer.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/Sjis.h"

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

// What a declared character set says about the bytes: UTF-8, code page 932, another set
// that iconv reads (its name in Charset), or nothing (no CA, or a set nobody can read).
enum class Declared { None, Utf8, Cp932, Other };

struct Declaration {
    Declared set = Declared::None;
    std::string charset;  // the iconv name of another set
};

// The iconv name of a declared set other than UTF-8 and code page 932, when iconv knows it
// and its text keeps every ASCII byte for itself (so "[", "]", "\" and line breaks stand
// where they are); "" otherwise. Sets that are often written for their larger supersets
// are read as those (GB2312 files hold GBK characters, EUC-KR files CP949 ones).
std::string readableCharset(const std::string& name, const std::string& declared) {
    // iconv passes over characters it does not expect in a name ("*UTF8" followed by any
    // bytes opens as UTF-8): a name is letters, digits and "-_.:" alone.
    for (const char c : declared) {
        const bool named = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == ':' || c == ' ';
        if (!named) return {};
    }
    if (name == "ASCII" || name == "USASCII" || name.find("UTF") == 0 || name.find("UCS") == 0 ||
        name.find("UNICODE") == 0)
        return {};
    std::string use = declared;
    if (name == "GB2312" || name == "GBK" || name == "CP936" || name == "EUCCN" || name == "GB18030")
        use = "GB18030";
    else if (name == "EUCKR" || name == "KSC5601" || name == "CP949" || name == "UHC")
        use = "CP949";
    else if (name == "BIG5" || name == "CP950")
        use = "CP950";
    else if (name == "BIG5HKSCS")
        use = "BIG5-HKSCS";
    iconv_t cd = iconv_open("UTF-8", use.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    iconv_close(cd);
    return use;
}

// What a CA value declares.
Declaration declarationOf(std::string_view value) {
    if (value.size() > 32) return {};
    std::string name;
    for (const char v : value) {
        if (v == ' ' || v == '-' || v == '_') continue;
        name += static_cast<char>(v >= 'a' && v <= 'z' ? v - 'a' + 'A' : v);
    }
    if (name == "UTF8") return {Declared::Utf8, {}};
    if (name == "SHIFTJIS" || name == "SJIS" || name == "CP932" || name == "WINDOWS31J" || name == "MSKANJI" ||
        name == "XSJIS")
        return {Declared::Cp932, {}};
    std::string charset = readableCharset(name, std::string(value));
    if (charset.empty()) return {};
    return {Declared::Other, std::move(charset)};
}

Declaration declaredSet(std::string_view bytes) {
    // The first CA property of the text, found where properties stand: outside every value
    // (a "CA[" inside a name or a comment declares nothing). Most records have none at all.
    // Values are skipped to their closing "]" (one after an even run of backslashes);
    // declarations stand before the texts they govern.
    if (bytes.find("CA[") == std::string_view::npos) return {};
    size_t i = 0;
    const size_t n = bytes.size();
    std::string ident;
    while (i < n) {
        const char c = bytes[i];
        if (c == '[') {
            const size_t start = i + 1;
            size_t end = start;
            while (true) {
                end = textlines::findByte(bytes.data(), n, end, ']');
                if (end >= n) return {};
                size_t slashes = 0;
                while (end - slashes > start && bytes[end - slashes - 1] == '\\') ++slashes;
                if (slashes % 2 == 0) break;
                ++end;
            }
            if (ident == "CA") return declarationOf(bytes.substr(start, end - start));
            i = end + 1;
            continue;
        }
        if (c >= 'A' && c <= 'Z') {
            // An identifier: its capitals (lower-case letters of old files are left out).
            if (i == 0 ||
                !((bytes[i - 1] >= 'A' && bytes[i - 1] <= 'Z') || (bytes[i - 1] >= 'a' && bytes[i - 1] <= 'z')))
                ident.clear();
            ident += c;
        } else if (!(c >= 'a' && c <= 'z') && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            ident.clear();
        }
        ++i;
    }
    return {};
}

// Bytes in an iconv character set as UTF-8; a byte that does not decode becomes U+FFFD
// and the decoding goes on after it.
void decodeCharset(const std::string& charset, std::string_view bytes, std::string& out) {
    out.clear();
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        sjis::decodeUtf8Into(bytes, out);
        return;
    }
    std::string in(bytes);
    char* ip = in.data();
    size_t il = in.size();
    char buffer[4096];
    while (il > 0) {
        char* op = buffer;
        size_t ol = sizeof buffer;
        const size_t r = iconv(cd, &ip, &il, &op, &ol);
        out.append(buffer, static_cast<size_t>(op - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\uFFFD";
            ++ip;
            --il;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
}

}  // namespace

namespace {

// Text whose bytes above 0x7F are mostly UTF-8: its well-formed sequences hold at least one
// and a half times as many bytes as there are bytes that belong to none (a damaged file: a
// truncated character, a stray byte). Code page 932 text seen as UTF-8 has most of its bytes
// broken.
// Well-formed two-byte forms are also pairs of code page 932's half-width katakana ("ﾐｷ" is
// D0 B7): they prove nothing, only the longer forms count.
bool mostlyUtf8(std::string_view bytes) {
    const sjis::Utf8Tally t = sjis::tallyUtf8(bytes);
    return t.longer > 0 && 2 * t.longer >= 3 * t.broken;
}

// The bytes hold a well-formed UTF-8 form of two or more bytes.
bool holdsUtf8Character(std::string_view bytes) {
    const sjis::Utf8Tally t = sjis::tallyUtf8(bytes);
    return t.twoByte + t.longer > 0;
}

}  // namespace

bool readsAsUtf8(std::string_view bytes) {
    if (sjis::firstHighByte(bytes) == bytes.size()) return false;
    if (!sjis::validUtf8(bytes)) return mostlyUtf8(bytes);
    // Well-formed three- and four-byte forms (kana, CJK, Hangul) are UTF-8: asked first, they
    // spare the code page's table a record of Chinese or Japanese in UTF-8.
    for (size_t i = sjis::firstHighByte(bytes); i < bytes.size(); i = sjis::firstHighByte(bytes, i + 1))
        if (static_cast<unsigned char>(bytes[i]) >= 0xE0) return true;
    // Bytes that code page 932 cannot read are UTF-8 on their own evidence.
    if (!sjis::validCp932(bytes)) return true;
    // Bytes both ways: half-width katakana pairs in code page 932 (ﾐｷ is D0 B7) are also
    // two-byte UTF-8 forms ("з"), so those alone prove nothing; a letter that sits inside a
    // Latin word ("José") does.
    for (size_t i = sjis::firstHighByte(bytes); i < bytes.size(); i = sjis::firstHighByte(bytes, i)) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        const uint32_t cp = (b & 0x1Fu) << 6 | (static_cast<unsigned char>(bytes[i + 1]) & 0x3Fu);
        const bool before = i > 0 && asciiLetter(static_cast<unsigned char>(bytes[i - 1]));
        const bool after = i + 2 < bytes.size() && asciiLetter(static_cast<unsigned char>(bytes[i + 2]));
        if (twoByteLetter(cp) && (before || after)) return true;
        i += 2;
    }
    return false;
}

namespace {

TextEncoding chooseEncoding(std::string_view bytes, std::string* charset) {
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) return TextEncoding::Utf8;
    // UTF-16 with its byte-order mark, either way round: iconv reads the mark.
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        if (charset) *charset = "UTF-16";
        return TextEncoding::Declared;
    }
    if (sjis::firstHighByte(bytes) == bytes.size()) return TextEncoding::Cp932;
    Declaration declared = declaredSet(bytes);
    switch (declared.set) {
        // A declared UTF-8 holds: its stray bytes are kept and written back as they were. Only
        // code page 932 text without a single UTF-8 character in it is read as what it is.
        case Declared::Utf8:
            return sjis::validCp932(bytes) && !holdsUtf8Character(bytes) ? TextEncoding::Cp932 : TextEncoding::Utf8;
        // A declaration the bytes cannot bear (bytes code page 932 has no character for, that
        // are well-formed UTF-8) gives way to them.
        case Declared::Cp932:
            return sjis::validUtf8(bytes) && !sjis::validCp932(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
        case Declared::Other:
            if (charset) *charset = std::move(declared.charset);
            return TextEncoding::Declared;
        case Declared::None: break;
    }
    // The NGF of Chinese programs, whose header lines begin with "GI", is GB2312 (or GBK).
    if (bytes.substr(0, 2) == "GI" && !sjis::validUtf8(bytes)) {
        if (charset) *charset = "GB18030";
        return TextEncoding::Declared;
    }
    return readsAsUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

}  // namespace

TextEncoding fileEncoding(std::string_view bytes) { return chooseEncoding(bytes, nullptr); }

bool declaresCp932(std::string_view caValue) { return declarationOf(caValue).set == Declared::Cp932; }

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
    if (pending_) return bytes_.size() == (bom_ ? ByteOrderMark.size() : 0);
    return lines_.empty();
}

void TextBuffer::setText(std::string_view utf8) {
    Encoding = TextEncoding::Cp932;
    pending_ = false;
    const size_t count =
        textlines::forEachLine(utf8, [this](size_t k, std::string_view line) { lineAt(lines_, k).assign(line); });
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
    charset_.clear();
    Encoding = chooseEncoding(bytes_, &charset_);
    bytesEncoding_ = Encoding;
    pending_ = true;
    bom_ = std::string_view(bytes_).substr(0, ByteOrderMark.size()) == ByteOrderMark;
    // Broken UTF-8 bytes are kept as code points: such text is decoded first.
    bytesAreText_ =
        !bom_ && Encoding != TextEncoding::Declared && (Encoding == TextEncoding::Cp932 || sjis::validUtf8(bytes_));
}

void TextBuffer::decodeBytes() const {
    // CR and LF are never trail bytes in CP932 nor parts of a UTF-8 sequence, so splitting
    // the bytes and decoding each line is the same as decoding and then splitting; each line
    // is decoded straight into its place.
    pending_ = false;
    const std::string_view bytes = bytes_;
    size_t count = 0;
    if (bytesEncoding_ == TextEncoding::Cp932) {
        count = textlines::forEachLine(
            bytes, [this](size_t k, std::string_view line) { sjis::decodeInto(line, lineAt(lines_, k)); });
    } else if (bytesEncoding_ == TextEncoding::Declared) {
        // The declared sets keep CR and LF as they are, so the text splits after decoding.
        std::string text;
        decodeCharset(charset_, bytes, text);
        count =
            textlines::forEachLine(text, [this](size_t k, std::string_view line) { lineAt(lines_, k).assign(line); });
    } else if (bom_) {
        count = textlines::forEachLine(bytes.substr(ByteOrderMark.size()), [this](size_t k, std::string_view line) {
            sjis::decodeUtf8Into(line, lineAt(lines_, k));
        });
    } else {
        count = textlines::forEachLine(
            bytes, [this](size_t k, std::string_view line) { sjis::decodeUtf8KeptInto(line, lineAt(lines_, k)); });
    }
    lines_.resize(count);
}

bool TextBuffer::fileBytes(std::string& out) const {
    if (Encoding == TextEncoding::Utf8) {
        out = text();
        // Bytes kept from a damaged UTF-8 file go back as they were, unless the file would
        // then read otherwise (no longer as UTF-8, or kept bytes that now meet as a character):
        // the kept code points stay then.
        std::string restored;
        if (sjis::restoreKeptBytes(out, restored)) {
            TextBuffer again;
            again.setFileBytes(restored);
            if (again.Encoding == TextEncoding::Utf8 && again.text() == out) out.swap(restored);
        }
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
