#include "base/Sjis.h"

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

namespace tavrin::sjis {

namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr char16_t NoChar = 0xFFFF;  // never produced by the code page
// Bytes without a character are kept as code points of plane 15 (private use): a byte b
// as KeptBytes + b, a lead/trail pair as KeptBytes + (lead << 8 | trail). Encoding gives
// the same bytes back, so a text nobody edited is written as it was read.
constexpr uint32_t KeptBytes = 0xF0000;

// Lead bytes 0x81..0x9F and 0xE0..0xFC as 0..59; trail bytes 0x40..0xFC as 0..188.
int leadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }
constexpr int LeadCount = 60;
constexpr int TrailCount = 0xFC - 0x40 + 1;

// The decoding of single bytes and lead/trail pairs, each asked from iconv the first time
// it is met and kept (0: not asked yet; NoChar: no character). A table keeps decoding lead-byte
// aware (a pair is one character whether or not it maps) and spares an iconv call per run of
// non-ASCII bytes; filling it as it is used spares a program that reads one record the
// 11,000 calls of the whole code page. Threads may fill the same entry: both find the same
// character.
class DecodeTable {
public:
    char16_t single(unsigned char b) { return lookUp(singles_[b], &b, 1); }
    char16_t pair(unsigned char lead, unsigned char trail) {
        const unsigned char in[2] = {lead, trail};
        return lookUp(pairs_[static_cast<size_t>(leadIndex(lead) * TrailCount + (trail - 0x40))], in, 2);
    }

private:
    static char16_t lookUp(std::atomic<char16_t>& entry, const unsigned char* in, size_t len) {
        char16_t c = entry.load(std::memory_order_relaxed);
        if (c == 0) {
            c = ask(in, len);
            entry.store(c, std::memory_order_relaxed);
        }
        return c;
    }

    static char16_t ask(const unsigned char* in, size_t len) {
        struct Decoder {
            iconv_t cd = iconv_open("UTF-32LE", "CP932");
            ~Decoder() {
                if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
            }
        };
        thread_local Decoder decoder;
        if (decoder.cd == reinterpret_cast<iconv_t>(-1)) return NoChar;
        char src[2];
        std::memcpy(src, in, len);
        unsigned char dst[8];
        char* ip = src;
        char* op = reinterpret_cast<char*>(dst);
        size_t il = len, ol = sizeof dst;
        iconv(decoder.cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(decoder.cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || ol != sizeof dst - 4)
            return NoChar;
        const uint32_t cp = dst[0] | dst[1] << 8 | dst[2] << 16 | uint32_t(dst[3]) << 24;
        // U+0000 never comes from a byte above 0x7F; it would read as "not asked".
        return cp > 0 && cp < 0x10000 ? static_cast<char16_t>(cp) : NoChar;
    }

    std::array<std::atomic<char16_t>, 256> singles_{};
    std::array<std::atomic<char16_t>, LeadCount * TrailCount> pairs_{};
};

DecodeTable& decodeTable() {
    static DecodeTable table;
    return table;
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when it is not one.
size_t utf8SequenceLength(std::string_view s, size_t i) {
    const auto at = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    const size_t left = s.size() - i;
    const auto cont = [&](size_t k) { return (at(i + k) & 0xC0) == 0x80; };
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return left >= 2 && cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !cont(1) || !cont(2)) return 0;
        const unsigned char b1 = at(i + 1);
        if (b == 0xE0 && b1 < 0xA0) return 0;   // overlong
        if (b == 0xED && b1 >= 0xA0) return 0;  // surrogates
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !cont(1) || !cont(2) || !cont(3)) return 0;
        const unsigned char b1 = at(i + 1);
        if (b == 0xF0 && b1 < 0x90) return 0;   // overlong
        if (b == 0xF4 && b1 >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

// One iconv descriptor per thread, opened on first use.
struct Encoder {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    ~Encoder() {
        if (ok()) iconv_close(cd);
    }
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

    // CP932 bytes of one UTF-8 character; 0 bytes when it has no safe form.
    size_t convert(std::string_view ch, char (&dst)[4]) {
        if (!ok()) return 0;
        char src[4];
        std::memcpy(src, ch.data(), ch.size());
        char* ip = src;
        char* op = dst;
        size_t il = ch.size(), ol = sizeof dst;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return 0;
        const size_t n = sizeof dst - ol;
        if (n == 1 && static_cast<unsigned char>(dst[0]) < 0x80) return 0;
        return n;
    }
};

Encoder& encoder() {
    thread_local Encoder e;
    return e;
}

// The bytes a kept code point stands for (see KeptBytes); 0 bytes for any other character
// of four UTF-8 bytes, which code page 932 cannot hold.
size_t keptBytes(std::string_view ch, char (&dst)[4]) {
    const auto at = [&ch](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(ch[k])); };
    const uint32_t cp = (at(0) & 0x07) << 18 | (at(1) & 0x3F) << 12 | (at(2) & 0x3F) << 6 | (at(3) & 0x3F);
    const uint32_t kept = cp - KeptBytes;
    if (cp < KeptBytes || kept > 0xFFFF) return 0;
    const unsigned char lead = static_cast<unsigned char>(kept >> 8);
    const unsigned char low = static_cast<unsigned char>(kept & 0xFF);
    if (lead == 0) {
        if (low < 0x80 || isLead(low) || decodeTable().single(low) != NoChar) return 0;
        dst[0] = static_cast<char>(low);
        return 1;
    }
    if (!isLead(lead) || !isTrail(low) || decodeTable().pair(lead, low) != NoChar) return 0;
    dst[0] = static_cast<char>(lead);
    dst[1] = static_cast<char>(low);
    return 2;
}

// Walks the text and calls sink(bytes, length) for every character's CP932 form
// (length 0 for a character without one). Returns false when any had none.
template <typename Sink>
bool walkEncoded(std::string_view utf8, Sink&& sink) {
    bool all = true;
    size_t i = 0;
    const size_t n = utf8.size();
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            const char c = static_cast<char>(b);
            sink(&c, 1);
            ++i;
            continue;
        }
        const size_t len = utf8SequenceLength(utf8, i);
        char dst[4];
        const size_t got = len == 0   ? 0
                           : len == 4 ? keptBytes(utf8.substr(i, 4), dst)
                                      : encoder().convert(utf8.substr(i, len), dst);
        if (got == 0) all = false;
        sink(dst, got);
        i += len == 0 ? 1 : len;
    }
    return all;
}

bool allAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

size_t firstHighByte(std::string_view bytes, size_t from) {
    const char* p = bytes.data();
    const size_t n = bytes.size();
    size_t i = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time, their top bits gathered into one mask: record text is mostly
    // ASCII.
    for (; i + 16 <= n; i += 16) {
        const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (high != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    }
#else
    // Eight bytes at a time: record text is mostly ASCII.
    constexpr uint64_t High = 0x8080808080808080ULL;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & High) break;
    }
#endif
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

bool encode(std::string_view utf8, std::string& out) {
    out.clear();
    if (allAscii(utf8)) {
        out.assign(utf8);
        return true;
    }
    out.reserve(utf8.size());
    return walkEncoded(utf8, [&out](const char* p, size_t len) {
        if (len == 0) {
            out += '?';
        } else {
            out.append(p, len);
        }
    });
}

std::string decode(std::string_view bytes) {
    std::string out;
    decodeInto(bytes, out);
    return out;
}

void decodeInto(std::string_view bytes, std::string& out) {
    const char* p = bytes.data();
    const size_t n = bytes.size();
    size_t i = firstHighByte(bytes);
    if (i == n) {
        out.assign(bytes);
        return;
    }

    // Written through a pointer into room for the longest result: a character takes at most
    // four UTF-8 bytes (a kept byte) and at least one byte of input.
    DecodeTable& table = decodeTable();
    out.resize(i + (n - i) * 4);
    char* const start = out.data();
    char* o = start + i;
    std::memcpy(start, p, i);
    const auto put = [&o](uint32_t cp) {
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            o[0] = static_cast<char>(0xC0 | cp >> 6);
            o[1] = static_cast<char>(0x80 | (cp & 0x3F));
            o += 2;
        } else if (cp < 0x10000) {
            o[0] = static_cast<char>(0xE0 | cp >> 12);
            o[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            o[2] = static_cast<char>(0x80 | (cp & 0x3F));
            o += 3;
        } else {
            o[0] = static_cast<char>(0xF0 | cp >> 18);
            o[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            o[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            o[3] = static_cast<char>(0x80 | (cp & 0x3F));
            o += 4;
        }
    };
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(p[i]);
        if (b < 0x80) {
            // Runs of ASCII (the moves of a record) go over in one piece.
            const size_t j = firstHighByte(bytes, i);
            std::memcpy(o, p + i, j - i);
            o += j - i;
            i = j;
            continue;
        }
        if (!isLead(b)) {
            const char16_t cp = table.single(b);
            put(cp == NoChar ? KeptBytes + b : cp);
            ++i;
        } else if (i + 1 < n && isTrail(static_cast<unsigned char>(p[i + 1]))) {
            const unsigned char t = static_cast<unsigned char>(p[i + 1]);
            const char16_t cp = table.pair(b, t);
            put(cp == NoChar ? KeptBytes + (uint32_t(b) << 8 | t) : cp);
            i += 2;
        } else {
            // A lead byte without its trail is not kept: written back before a "]" or a
            // line end it would take that byte as its trail.
            put(Replacement);
            ++i;
        }
    }
    out.resize(static_cast<size_t>(o - start));
}

bool validCp932(std::string_view bytes) {
    DecodeTable& table = decodeTable();
    size_t i = firstHighByte(bytes);
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (!isLead(b)) {
            if (table.single(b) == NoChar) return false;
            ++i;
        } else {
            if (i + 1 >= bytes.size() || !isTrail(static_cast<unsigned char>(bytes[i + 1]))) return false;
            const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
            if (table.pair(b, t) == NoChar) return false;
            i += 2;
        }
        i = firstHighByte(bytes, i);
    }
    return true;
}

int byteLength(std::string_view utf8) {
    if (allAscii(utf8)) return static_cast<int>(utf8.size());
    int length = 0;
    const bool all = walkEncoded(utf8, [&length](const char*, size_t len) { length += static_cast<int>(len); });
    return all ? length : -1;
}

bool encodable(std::string_view utf8) { return byteLength(utf8) >= 0; }

bool validUtf8(std::string_view bytes) {
    size_t i = firstHighByte(bytes);
    while (i < bytes.size()) {
        const size_t len = utf8SequenceLength(bytes, i);
        if (len == 0) return false;
        i = firstHighByte(bytes, i + len);
    }
    return true;
}

std::string decodeUtf8(std::string_view bytes) {
    std::string out;
    decodeUtf8Into(bytes, out);
    return out;
}

void decodeUtf8Into(std::string_view bytes, std::string& out) {
    if (validUtf8(bytes)) {
        out.assign(bytes);
        return;
    }
    out.clear();
    out.reserve(bytes.size() + 8);
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t len = utf8SequenceLength(bytes, i);
        if (len == 0) {
            out += "\uFFFD";
            ++i;
        } else {
            out.append(bytes.data() + i, len);
            i += len;
        }
    }
}

void decodeUtf8KeptInto(std::string_view bytes, std::string& out) {
    if (validUtf8(bytes)) {
        out.assign(bytes);
        return;
    }
    out.clear();
    out.reserve(bytes.size() + 16);
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII (the moves) go over whole.
        const size_t high = firstHighByte(bytes, i);
        out.append(bytes.data() + i, high - i);
        i = high;
        if (i >= bytes.size()) break;
        const size_t len = utf8SequenceLength(bytes, i);
        if (len != 0) {
            out.append(bytes.data() + i, len);
            i += len;
            continue;
        }
        // U+F0000 + b: F3 B0 82|83 80..BF.
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        out += '\xF3';
        out += '\xB0';
        out += static_cast<char>(0x80 | b >> 6);
        out += static_cast<char>(0x80 | (b & 0x3F));
        ++i;
    }
}

bool restoreKeptBytes(std::string_view text, std::string& out) {
    // A kept byte is F3 B0 82 xx or F3 B0 83 xx; nothing else begins with F3 B0 8[23].
    size_t at = text.find("\xF3\xB0");
    while (at != std::string_view::npos &&
           !(at + 3 < text.size() && (text[at + 2] == '\x82' || text[at + 2] == '\x83')))
        at = text.find("\xF3\xB0", at + 1);
    if (at == std::string_view::npos) {
        out.assign(text);
        return false;
    }
    out.clear();
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (i + 3 < text.size() && text[i] == '\xF3' && text[i + 1] == '\xB0' &&
            (text[i + 2] == '\x82' || text[i + 2] == '\x83') &&
            (static_cast<unsigned char>(text[i + 3]) & 0xC0) == 0x80) {
            out += static_cast<char>((static_cast<unsigned char>(text[i + 2]) & 0x03) << 6 |
                                     (static_cast<unsigned char>(text[i + 3]) & 0x3F));
            i += 4;
        } else {
            out += text[i++];
        }
    }
    return true;
}

Utf8Tally tallyUtf8(std::string_view bytes) {
    Utf8Tally t;
    size_t i = firstHighByte(bytes);
    while (i < bytes.size()) {
        const size_t len = utf8SequenceLength(bytes, i);
        if (len == 0) {
            ++t.broken;
            ++i;
        } else {
            (len == 2 ? t.twoByte : t.longer) += len;
            i += len;
        }
        i = firstHighByte(bytes, i);
    }
    return t;
}

int charCount(std::string_view utf8) {
    int count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

}  // namespace tavrin::sjis
