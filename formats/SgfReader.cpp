#include "formats/SgfReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/Sjis.h"
#include "formats/RecordFile.h"
#include "game/Engine.h"

namespace tavrin {

namespace {

// A stone or move as scanned: its colour and the letters' lines, checked against the board
// size when the record is committed (SZ may come after the first stones). Packed in one
// word, colour | x << 8 | y << 16: 0 is an entry never filled, lines 0 and 0 a pass.
using ScanEntry = uint32_t;

constexpr ScanEntry scanEntry(int colour, int x, int y) {
    return static_cast<ScanEntry>(colour) | static_cast<ScanEntry>(x) << 8 | static_cast<ScanEntry>(y) << 16;
}
int entryColour(ScanEntry e) { return static_cast<int>(e & 0xFF); }
int entryX(ScanEntry e) { return static_cast<int>(e >> 8 & 0xFF); }
int entryY(ScanEntry e) { return static_cast<int>(e >> 16); }

// Position of a scanned entry on the final board; 0 when it lies outside it.
int entryPos(ScanEntry e, int size) {
    const int x = entryX(e);
    const int y = entryY(e);
    if (x == 0 && y == 0) return PassPos;
    if (x > size || y > size) return 0;
    return x * (size + 2) + y;
}

// Position pos of a board of size lines turned or mirrored: turn 0 leaves it, 1 mirrors it
// at the diagonal, 2 to 7 are the other turns and mirror images.
int turnedPoint(int pos, int size, int turn) {
    const int stride = size + 2;
    int x = pos / stride, y = pos % stride;
    if (turn & 1) std::swap(x, y);
    if (turn & 2) x = size + 1 - x;
    if (turn & 4) y = size + 1 - y;
    return x * stride + y;
}

// Room for AB stones and moves together: one less than the record holds.
constexpr int StoneEntries = RecordCapacity - 1;

struct Scan {
    std::string app, name, date, black, white, rule, result;
    std::string komiWritten;  // a KM the komi cannot hold exactly, as written
    int size = 19;
    int handicap = 0;
    int komi = 65;
    bool komiGiven = false;
    bool afterAB = false;     // the last named property is AB, AW or AE: values without identifier are its
    int stoneColour = Black;  // of that property: Black for AB, White for AW, 0 for AE
    int toPlay = 0;           // PL: the side to move where no move follows it
    int toPlayFrom = 1;       // the r of the last PL's node
    int nodes = 0;            // ";" passed: 0 or 1 in the root
    int opens = 0;            // "(" passed
    std::string_view text;    // what is scanned
    size_t division = 0;      // firstDivision of the text plus one, once asked (0: not yet)
    size_t at = 0;            // where the property being read ends
    int s = 0;                // AB stones read
    int r = 1;                // number of the next B or W
    int nodeFirstMove = 1;    // the r at the start of the node being read
    // Setup after the first move (and AE anywhere): the r at the start of its node, then the
    // stone or the point emptied (colour 0). It stands between the moves, not in the entries.
    std::vector<std::pair<int, ScanEntry>> later;
    std::vector<ScanEntry> entries;
    // Move r is also written here as the record takes it, its colour and its point on the
    // board in force. While no SZ has changed the board after the first stone (movesFinal),
    // that is the moves' final form.
    RecordColumn* colours = nullptr;
    RecordColumn* points = nullptr;
    int* moveColour = nullptr;  // where colours and points lie: entries 0..room
    int* movePos = nullptr;
    int room = 0;  // entries, moveColour and movePos hold 0..room
    bool movesFinal = true;
    // The moves' entries are kept too: only a record whose moves are not final needs them.
    bool keepEntries = false;
};

enum class KomiValue { Number, Inexact, NotNumber, TooLarge };

// KM: whole part times ten, plus 5 when the fraction is above zero. Leading spaces, a sign,
// digits with an optional "." part; trailing spaces are tolerated. Inexact: a number whose
// fraction is neither none nor a half ("3.75" is held as 3.5).
KomiValue komiTenths(std::string_view v, int& tenths) {
    size_t i = 0;
    while (i < v.size() && v[i] == ' ') ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) {
        negative = v[i] == '-';
        ++i;
    }
    long long whole = 0;
    int digits = 0;
    bool tooLarge = false;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + (v[i] - '0');
        if (whole > 99999999) tooLarge = true, whole = 99999999;
    }
    bool fraction = false;
    bool half = true;  // the fraction is .5 or none, trailing zeros aside
    if (i < v.size() && v[i] == '.') {
        for (size_t k = ++i; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i, ++digits) {
            if (v[i] != '0') fraction = true;
            if (v[i] != (i == k ? '5' : '0')) half = false;
        }
    }
    while (i < v.size() && v[i] == ' ') ++i;
    if (digits == 0 || i != v.size()) return KomiValue::NotNumber;
    if (tooLarge) return KomiValue::TooLarge;
    // A whole 100 or more in steps of 25 is hundredths of a point (KM[650] is 6.5); a
    // quarter point left over is half a count of stones under area scoring, so the points
    // are twice the value (KM[375] is 7.5).
    if (!negative && !fraction && whole >= 100 && whole % 25 == 0) {
        tenths = static_cast<int>(whole % 50 == 25 ? whole / 5 : whole / 10);
        return tenths >= 1000 ? KomiValue::TooLarge : KomiValue::Number;
    }
    // A fraction is half a point on either side of zero: -4.5 gives -45.
    tenths = static_cast<int>(whole * 10 + (fraction ? 5 : 0));
    if (negative) tenths = -tenths;
    if (tenths >= 1000) return KomiValue::TooLarge;
    return !fraction || half ? KomiValue::Number : KomiValue::Inexact;
}

// Line (1..) of a coordinate letter for the board size in force, 0 when it is not one.
int pointLine(char c, int size) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const int line = c - 'a' + 1;
    return line >= 1 && line <= size ? line : 0;
}

bool blank(std::string_view v) {
    for (const char c : v) {
        if (static_cast<unsigned char>(c) > 0x20) return false;
    }
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

using Refusal = std::optional<std::string_view>;

// Old files name a property by its capitals and may add lower-case letters to them
// ("AddBlack", "CoPyright"): the capitals of such an identifier of letters (spaces, "(" and
// ";" passed over) go to capitals, and their number, one or two, is returned. An identifier
// of letters with more capitals, or of small letters alone, names a property of its own
// ("KGSDE", "MULTIGOGM", "view"): 3, and nothing the scan reads, unless a "(" or ";" cuts
// it (the tree reads nodes there). 0 when it is no identifier of letters.
int oldIdentifier(std::string_view ident, char capitals[2]) {
    int count = 0;
    bool small = false;
    bool cut = false;
    for (const char c : ident) {
        // A "(" or ";" before the first letter opens the node the property is in.
        cut = cut || ((c == '(' || c == ';') && (count > 0 || small));
        if (c == ' ' || c == '(' || c == ';') continue;
        if (c >= 'a' && c <= 'z') {
            small = true;
            continue;
        }
        if (c < 'A' || c > 'Z') return 0;
        if (count < 2) capitals[count] = c;
        ++count;
    }
    if (count > 2 || (count == 0 && small)) return cut ? 0 : 3;
    return count;
}

// Room for entry e (stones and moves counted together) in the entries and the move columns;
// false past what a record may hold.
bool makeRoom(Scan& sc, int e) {
    if (e <= sc.room) return true;
    if (e > StoneEntries) return false;
    sc.room = std::min(StoneEntries, std::max({e, 2 * sc.room, 1023}));
    sc.entries.resize(static_cast<size_t>(sc.room) + 1);
    sc.moveColour = sc.colours->upTo(static_cast<size_t>(sc.room));
    sc.movePos = sc.points->upTo(static_cast<size_t>(sc.room));
    return true;
}

// A B or W property of the two letters a b: the next move of the line of play; a pass
// (B[] on a board above 19 lines, where "tt" is a point).
Refusal playMove(Scan& sc, int colour, char a, char b, bool pass = false) {
    const int e = sc.s + sc.r;
    if (!makeRoom(sc, e)) return reason::TooLong;
    if (a == 0 && !pass) return reason::Format;  // two characters, not both ASCII
    int x = 0;
    int y = 0;
    const auto isT = [](char c) { return c == 't' || c == 'T'; };
    if (!pass && (!isT(a) || !isT(b) || sc.size > 19)) {  // "tt" is a pass up to 19 x 19, a point above
        x = pointLine(a, sc.size);
        y = pointLine(b, sc.size);
        if (x == 0 || y == 0) return reason::Format;
    }
    if (sc.keepEntries) sc.entries[e] = scanEntry(colour, x, y);
    sc.moveColour[sc.r] = colour;
    sc.movePos[sc.r] = entryPos(scanEntry(colour, x, y), sc.size);
    ++sc.r;
    return {};
}

// A text value as the game keeps it: UTF-8. Cp932: the value is still code page 932 bytes.
template <bool Cp932>
void takeText(std::string& to, std::string_view v) {
    if constexpr (Cp932) {
        sjis::decodeInto(v, to);
    } else {
        to = v;
    }
}

// Number of characters of a value: code page 932 pairs or UTF-8 sequences count one.
template <bool Cp932>
size_t charCount(std::string_view v) {
    size_t count = 0;
    for (size_t i = 0; i < v.size(); ++count) {
        if constexpr (Cp932) {
            i += sjis::charLength(v, i);
        } else {
            ++i;
            while (i < v.size() && (static_cast<unsigned char>(v[i]) & 0xC0) == 0x80) ++i;
        }
    }
    return count;
}

// A property identifier of up to two bytes as one number, for a switch over the table.
constexpr unsigned idKey(std::string_view id) {
    unsigned key = static_cast<unsigned>(id.size()) << 16;
    for (size_t k = 0; k < id.size() && k < 2; ++k)
        key |= static_cast<unsigned>(static_cast<unsigned char>(id[k])) << (8 * k);
    return key;
}

template <bool Cp932>
size_t firstDivision(std::string_view text);

// The property being read stands after the point where the root's line divides.
template <bool Cp932>
bool belowDivision(Scan& sc) {
    if (sc.division == 0) sc.division = firstDivision<Cp932>(sc.text) + 1;
    return sc.at >= sc.division;
}

// One property of the table. v is the value as scanned. Only the texts the game keeps need
// decoding: the other values are read as they stand, and a byte that is not ASCII makes
// any of them wrong whatever character it belongs to.
template <bool Cp932>
Refusal property(Scan& sc, std::string_view id, std::string_view v) {
    const unsigned key = id.empty() ? idKey("AB") : idKey(id);
    switch (key) {
        case idKey("AE"):
        case idKey("AW"):
        case idKey("AB"): {
            // Stones set up before the first move stand at the start (handicap stones,
            // problems); later setup, and every point emptied, stands between the moves
            // where its node does.
            const int colour = key == idKey("AW") ? White : key == idKey("AE") ? 0 : Black;
            // Setup below a branch belongs to its line alone: it stands where its node does.
            const bool atStart = sc.r == 1 && colour != 0 && (sc.opens <= 1 || !belowDivision<Cp932>(sc));
            // One point, or a rectangle of points "aa:cc".
            const size_t colon = v.find(':');
            const std::string_view a = v.substr(0, colon);
            const std::string_view b = colon == std::string_view::npos ? a : v.substr(colon + 1);
            const int x0 = a.size() == 2 ? pointLine(a[0], sc.size) : 0,
                      y0 = a.size() == 2 ? pointLine(a[1], sc.size) : 0;
            const int x1 = b.size() == 2 ? pointLine(b[0], sc.size) : 0,
                      y1 = b.size() == 2 ? pointLine(b[1], sc.size) : 0;
            if (x0 == 0 || y0 == 0 || x1 == 0 || y1 == 0) return reason::Format;
            for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) {
                for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
                    if (!atStart) {
                        sc.later.emplace_back(sc.nodeFirstMove, scanEntry(colour, x, y));
                        continue;
                    }
                    if (!makeRoom(sc, ++sc.s)) return reason::TooLong;
                    sc.entries[sc.s] = scanEntry(colour, x, y);
                }
            }
            break;
        }
        case idKey("PL"):
            sc.toPlay = (v.front() | 0x20) == 'w' ? White : (v.front() | 0x20) == 'b' ? Black : 0;
            sc.toPlayFrom = sc.nodeFirstMove;
            break;
        case idKey("B"):
        case idKey("W"):
            // Two characters, counted as the text's encoding has them: the record is refused
            // for the same reason whether its bytes or its decoded lines are read.
            if (v.size() != 2 || ((v[0] | v[1]) & 0x80) != 0) {
                if (charCount<Cp932>(v) != 2) return reason::Format;
                return playMove(sc, key == idKey("B") ? Black : White, 0, 0);
            }
            return playMove(sc, key == idKey("B") ? Black : White, v[0], v[1]);
        case idKey("AP"): takeText<Cp932>(sc.app, v); break;
        case idKey("GN"): takeText<Cp932>(sc.name, v); break;
        case idKey("TE"):
        case idKey("EV"):
            // Only the root's: TE on a move is a good move.
            if (sc.name.empty() && sc.nodes <= 1) takeText<Cp932>(sc.name, v);
            break;
        case idKey("DT"): takeText<Cp932>(sc.date, v); break;
        case idKey("RD"):
            if (sc.date.empty()) takeText<Cp932>(sc.date, v);
            break;
        case idKey("PB"): takeText<Cp932>(sc.black, v); break;
        case idKey("PW"): takeText<Cp932>(sc.white, v); break;
        case idKey("RU"): takeText<Cp932>(sc.rule, v); break;
        case idKey("RE"): takeText<Cp932>(sc.result, v); break;
        case idKey("GM"):
            if (v != "1") return reason::NotGo;
            break;
        case idKey("SZ"): {
            std::optional<int> n = wholeNumber(v);
            if (!n) {
                // "19:13": columns and rows of a board that is no square.
                const size_t colon = v.find(':');
                const std::optional<int> columns = wholeNumber(v.substr(0, colon));
                const std::optional<int> rows =
                    colon == std::string_view::npos ? std::nullopt : wholeNumber(v.substr(colon + 1));
                if (columns && rows && *columns == *rows) n = columns;
                if (!n) return columns && rows ? reason::Rectangle : reason::Format;
            }
            if (*n < MinBoardSize || *n > MaxBoardSize) return reason::BoardSize;
            if (*n != sc.size && sc.s + sc.r > 1) sc.movesFinal = false;
            sc.size = *n;
            break;
        }
        case idKey("KM"): {
            int tenths = 0;
            sc.komiWritten.clear();
            switch (komiTenths(v, tenths)) {
                case KomiValue::TooLarge: return reason::Komi;
                case KomiValue::NotNumber: tenths = 0; [[fallthrough]];  // no komi to count
                case KomiValue::Inexact: takeText<Cp932>(sc.komiWritten, v); break;
                case KomiValue::Number: break;
            }
            sc.komi = tenths;
            sc.komiGiven = true;
            break;
        }
        case idKey("HA"): {
            // A value that is no whole number (HA[7.5]) is kept in the tree and not used.
            const std::optional<int> n = wholeNumber(v);
            if (!n) break;
            if (*n > 9) return reason::Handicap;
            sc.handicap = *n;
            break;
        }
        default: break;
    }
    return {};
}

// Code page 932 bytes as one table: bit 1 a lead byte, bit 2 a trail byte.
constexpr std::array<unsigned char, 256> ByteKinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        kinds[b] = static_cast<unsigned char>((sjis::isLead(c) ? 1 : 0) | (sjis::isTrail(c) ? 2 : 0));
    }
    return kinds;
}();

// In code page 932 bytes, the first "]" or "\\" at or after j that is a character of its own
// (not the trail byte of a two-byte character); text.size() when there is none. Comments
// can be long: runs of ASCII are passed sixteen bytes at a time, and each two-byte
// character is told without a branch.
size_t valueEnd(std::string_view text, size_t j) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    while (j < n) {
        const unsigned char b = p[j];
        if (b < 0x80) {
            if (b == ']' || b == '\\') break;
            ++j;
#if defined(__SSE2__)
            for (; j + 16 <= n; j += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + j));
                const __m128i stop = _mm_or_si128(
                    v, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(']')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
                const int at = _mm_movemask_epi8(stop);
                if (at != 0) {
                    j += static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(at)));
                    break;
                }
            }
#endif
            continue;
        }
        const unsigned char next = j + 1 < n ? p[j + 1] : 0;
        j += 1 + (ByteKinds[b] & (ByteKinds[next] >> 1) & 1);
    }
    return j;
}

// The first "]" or "\\" at or after j that is a character of its own, in the text's
// encoding; text.size() when there is none.
template <bool Cp932>
size_t valueStop(std::string_view text, size_t j) {
    if constexpr (Cp932) {
        return valueEnd(text, j);
    } else {
        while (j < text.size() && text[j] != ']' && text[j] != '\\') ++j;
        return j;
    }
}

// The colour of a move property's letter in the move run: 'B' and 'W' only.
constexpr std::array<unsigned char, 256> MoveColours = [] {
    std::array<unsigned char, 256> colours{};
    colours['B'] = Black;
    colours['W'] = White;
    return colours;
}();

// Most of a record is its moves, ";B[pd]" in lower case on the board in force: a run of them
// from text[i] is read here, each in one step of eight bytes, the way the scan's general path
// would read it; anything else (a pass, capitals, spaces, another property, the record's last
// few bytes) ends the run. Returns where the run ends.
[[gnu::noinline]] size_t moveRun(std::string_view text, size_t i, Scan& sc) {
    const size_t n = text.size();
    if (std::endian::native != std::endian::little || n < 8 || sc.s + sc.r > sc.room) return i;
    // ';' '[' and ']' at bytes 0, 2 and 5.
    constexpr uint64_t Marks = 0x0000FF0000FF00FFull;
    constexpr uint64_t MoveMarks = uint64_t{']'} << 40 | uint64_t{'['} << 16 | uint64_t{';'};
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned size = static_cast<unsigned>(sc.size);
    const unsigned stride = size + 2;
    ScanEntry* const entries = sc.entries.data() + sc.s;  // move r is entries[r]
    int* const colours = sc.moveColour;
    int* const points = sc.movePos;
    const int lastR = sc.room - sc.s;
    int r = sc.r;
    const unsigned char* at = bytes + i;
    const unsigned char* const lastWord = bytes + (n - 8);
    for (; at <= lastWord && r <= lastR; at += 6, ++r) {
        uint64_t w;
        std::memcpy(&w, at, 8);
        const unsigned colour = MoveColours[w >> 8 & 0xFF];
        const unsigned x = static_cast<unsigned>(w >> 24 & 0xFF) - 'a';
        const unsigned y = static_cast<unsigned>(w >> 32 & 0xFF) - 'a';
        if ((w & Marks) != MoveMarks || colour == 0 || std::max(x, y) >= size) break;
        if (sc.keepEntries) entries[r] = colour | (x + 1) << 8 | (y + 1) << 16;
        colours[r] = static_cast<int>(colour);
        points[r] = static_cast<int>((x + 1) * stride + y + 1);
    }
    if (r != sc.r) sc.afterAB = false, sc.nodeFirstMove = r - 1, sc.nodes += r - sc.r;
    sc.r = r;
    return static_cast<size_t>(at - bytes);
}

// Where the root's line first divides: the first "(" after the game's own whose variation
// has a sibling after it; text.size() when there is none. Setup after that point belongs to
// one variation and stands where its node does. Asked only of setup before the first move
// below a "(" (seldom), so the whole text may be walked.
template <bool Cp932>
size_t firstDivision(std::string_view text) {
    const size_t n = text.size();
    thread_local std::vector<size_t> opened;  // "(" not closed yet, the game's own aside
    opened.clear();
    bool inGame = false;
    bool node = false;  // a node has begun: a "(" before it opens no variation of one
    size_t first = n;
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == ';') node = true;
        if (c == '[') {
            size_t j = i + 1;
            while (true) {
                j = valueStop<Cp932>(text, j);
                if (j >= n) return first;
                if (text[j] == ']') break;
                j += 1 + (Cp932 && j + 1 < n ? sjis::charLength(text, j + 1) : 1);
            }
            i = j;
        } else if (c == '(') {
            if (inGame && node) opened.push_back(i);
            inGame = true;
        } else if (c == ')') {
            if (opened.empty()) return first;
            const size_t at = opened.back();
            opened.pop_back();
            size_t k = i + 1;
            while (k < n && text[k] == ' ') ++k;
            if (k < n && text[k] == '(') first = std::min(first, at);
        }
    }
    return first;
}

// The scan of the joined text: properties up to the first ")" where a property would begin.
// Cp932: the text is code page 932 bytes, where a lead byte and its trail byte are one
// character (the trail may be "[", "\\" or "]"); else UTF-8.
template <bool Cp932>
Refusal scan(std::string_view text, Scan& sc) {
    // A record cut off (a file not fully written or fetched) is read up to the cut: a
    // missing ")" or a value the text ends in ends the scan there.
    if (text.empty() || text.front() != '(') return reason::Format;
    sc.text = text;
    const size_t n = text.size();
    size_t i = 0;
    char id[3];
    std::string value;
    while (true) {
        while (i < n && text[i] == ' ') ++i;
        if (i >= n || text[i] == ')') return {};

        const size_t runStart = i;
        i = moveRun(text, i, sc);
        if (i != runStart) continue;
        int idChars = 0;
        int idBytes = 0;
        const size_t idStart = i;
        while (i < n && text[i] != '[') {
            const char c = text[i];
            if (c == ' ' || c == '(' || c == ';') {
                if (c != ' ') sc.nodeFirstMove = sc.r;
                if (c == ';') ++sc.nodes;
                if (c == '(') ++sc.opens;
                ++i;
                continue;
            }
            size_t length = 1;
            if constexpr (Cp932) {
                length = sjis::charLength(text, i);
                ++idChars;
            } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                ++idChars;
            }
            // Only identifiers of one or two ASCII letters name a property; keep those.
            for (size_t k = 0; k < length; ++k, ++idBytes) {
                if (idBytes < 3) id[idBytes] = text[i + k];
            }
            i += length;
        }
        if (i >= n) return {};
        if (idChars > 2) {
            idBytes = oldIdentifier(text.substr(idStart, i - idStart), id);
            if (idBytes == 0) return reason::Format;
        }

        // A value without a backslash (nearly all) is read where it stands; one with a
        // backslash is put together in value.
        std::string_view read;
        value.clear();
        ++i;
        while (true) {
            const size_t j = valueStop<Cp932>(text, i);
            if (j >= n) return {};
            if (text[j] == ']' && value.empty()) {
                read = text.substr(i, j - i);
                i = j + 1;
                break;
            }
            value.append(text.data() + i, j - i);
            if (text[j] == ']') {
                read = value;
                i = j + 1;
                break;
            }
            // A backslash is dropped; the character after it is taken whatever it is.
            if (j + 1 >= n) return {};
            size_t length = 1;
            if constexpr (Cp932) length = sjis::charLength(text, j + 1);
            value.append(text.data() + j + 1, length);
            i = j + 1 + length;
        }

        if (idBytes > 2) idBytes = 2, id[0] = id[1] = '?';  // a multi-byte character
        for (int k = 0; k < idBytes; ++k) {
            if (id[k] >= 'a' && id[k] <= 'z') id[k] = static_cast<char>(id[k] - 'a' + 'A');
        }
        const std::string_view ident(id, static_cast<size_t>(idBytes));
        // Values without an identifier belong to the property before them; only AB's count.
        if (!ident.empty()) {
            sc.afterAB = ident == "AB" || ident == "AW" || ident == "AE";
            if (sc.afterAB) sc.stoneColour = ident == "AW" ? White : ident == "AE" ? 0 : Black;
        } else if (!sc.afterAB) {
            continue;
        }
        if (blank(read)) {
            if (sc.size > 19 && (ident == "B" || ident == "W"))
                if (const Refusal refusal = playMove(sc, ident == "B" ? Black : White, 0, 0, true)) return refusal;
            continue;
        }
        const std::string_view named = !ident.empty()            ? ident
                                       : sc.stoneColour == White ? "AW"
                                       : sc.stoneColour == 0     ? "AE"
                                                                 : "AB";
        sc.at = i;
        if (const Refusal refusal = property<Cp932>(sc, named, read)) return refusal;
    }
}

// A lead byte that ends a line decodes, on its own, to one replacement character. Byte 0x80
// does the same and is no lead byte, so it stands in for such a byte when the lines are
// joined: the lead byte must not take the next line's first byte as its trail.
constexpr char LoneByte = '\x80';

// The bytes of a file scannable as they stand: the code page gives byte 0x80 alone the
// replacement character, as the lines' decoding does to a lone lead byte.
bool bytesScannable() {
    static const bool scannable = sjis::decode(std::string_view(&LoneByte, 1)) == "\uFFFD";
    return scannable;
}

// Where the lines after the first begin in the joined text, in order (several at one place
// for empty lines): the tree puts a value's line breaks back there.
using LineBreaks = std::vector<uint32_t>;

// The text the scanner reads from a file's bytes: its lines joined without any separator.
// A file of one line is read where it stands; others are joined in storage. cp932: a lone
// lead byte at the end of a line becomes LoneByte. breaks, when given, receives the places
// of the line breaks.
std::string_view joinedBytes(const std::string& bytes, bool cp932, std::string& storage, LineBreaks* breaks) {
    std::string_view first;
    const auto append = [&storage, cp932](std::string_view line) {
        storage.append(line);
        if (cp932 && !line.empty() && sjis::isLead(static_cast<unsigned char>(line.back()))) {
            size_t i = 0;
            while (i + 1 < line.size()) i += sjis::charLength(line, i);
            if (i + 1 == line.size()) storage.back() = LoneByte;
        }
    };
    const size_t count = textlines::forEachLine(bytes, [&](size_t k, std::string_view line) {
        if (k == 0) {
            first = line;
            return;
        }
        if (k == 1) {
            storage.clear();
            append(first);
        }
        if (breaks) breaks->push_back(static_cast<uint32_t>(storage.size()));
        append(line);
    });
    return count <= 1 ? first : std::string_view(storage);
}

// The game of a text that holds more than a game: from the first "(" that opens a node (";"
// after it, blanks between) to the last ")", so that a note before the record or after it
// (a mail's lines, a server's banner) is passed over; a record cut off runs to the text's
// end. A record whose "(" is missing, the text beginning with its first node, is read with it. breaks follow the text.
// Text that begins with "(" and ends with ")" is the game as it stands.
std::string_view gameText(std::string_view text, LineBreaks& breaks, std::string& storage) {
    if (!text.empty() && text.front() == '(' && text.back() == ')') return text;
    const auto blankAt = [&](size_t k) { return k < text.size() && (text[k] == ' ' || text[k] == '\t'); };
    size_t start = 0;
    while (blankAt(start)) ++start;
    bool opened = start < text.size() && text[start] == '(';
    if (!opened && (start >= text.size() || text[start] != ';')) {
        for (size_t k = text.find('('); k != std::string_view::npos; k = text.find('(', k + 1)) {
            size_t next = k + 1;
            while (blankAt(next)) ++next;
            if (next < text.size() && text[next] == ';') {
                start = k;
                opened = true;
                break;
            }
        }
        if (!opened) return text;
    }
    // No ")" after the start: a record cut off, read as far as it goes.
    const size_t close = text.rfind(')');
    const size_t end = close == std::string_view::npos || close < start ? text.size() : close + 1;
    const std::string_view game = text.substr(start, end - start);
    // Breaks before the game go; the rest move with it.
    const auto first = std::lower_bound(breaks.begin(), breaks.end(), static_cast<uint32_t>(start));
    breaks.erase(breaks.begin(), first);
    for (uint32_t& b : breaks) b = b - static_cast<uint32_t>(start) + (opened ? 0 : 1);
    if (opened) return game;
    storage.assign(1, '(');
    storage.append(game);
    return storage;
}

// A stone of the tree's main line as the scan would take it: its colour (Black for an AB
// stone too, 0 for a point AE empties) and its value's two bytes, or 0 for a value that is
// not two bytes.
struct TreeStone {
    bool setup;
    int colour;
    uint16_t letters;  // BlankMove: B[] or W[]
};
constexpr uint16_t BlankMove = 0xFFFF;

// The game tree of the whole text, every game of it, tokenized as the scan does: an
// identifier is every character up to "[" but spaces, a value runs to the first "]" that is
// a character of its own and a backslash takes the next character whatever it is. Where
// the scan skips "(" and ";" the tree opens a variation or a node; where it would end at
// ")" the tree closes one and goes on. Line breaks inside a value come back as "\n" except
// right after an escaping backslash (a soft line break). Properties after "(" open a node.
// Identifiers without a value, values without an identifier that follow no property of their
// node, properties between a ")" and the next "(" or ";", and a value cut off by the end of
// the text, are left out. The AB stones and moves of the first game's main line,
// taken as the scan takes them, go to stones; its setup after the first move and its AE
// to later.
template <bool Cp932>
void parseTree(std::string_view text, const LineBreaks& breaks, RecordTree& tree, std::vector<TreeStone>& stones,
               std::vector<TreeStone>& later) {
    using Node = RecordTree::NodeId;
    using Prop = RecordTree::PropId;
    constexpr Node None = RecordTree::None;
    tree.clear();
    stones.clear();
    later.clear();
    struct Open {
        Node node;  // the node the variation hangs from
        bool main;  // it is on the first game's main line
    };
    thread_local std::vector<Open> open;
    thread_local std::string raw;
    thread_local std::string ident;
    thread_local std::string decoded;
    open.clear();
    const size_t n = text.size();
    size_t nextBreak = 0;  // the first line break not yet passed
    bool inGame = false;
    // Where a property would go: into node, into a node "(" opens without ";" (as the scan,
    // which skips "(" and ";", reads it), or nowhere after a ")" (the scan has ended there).
    enum class At { Node, Opened, Closed } at = At::Node;
    Node node = None;
    bool main = false;  // node lies on the first game's main line
    Prop prop = None;   // the property values without identifier belong to
    Node propNode = None;
    // What the scan makes of the main line's values: the last named property is AB; the
    // values of the property being read are stones, a move, or nothing.
    bool afterAB = false;
    enum class Kind { Nothing, Stones, Move } kind = Kind::Nothing;
    // Two bytes as one number; 0 for anything else (and for two 0xFF bytes, no point either:
    // BlankMove stays B[]'s own).
    const auto letters = [](std::string_view v) {
        const uint16_t l =
            v.size() == 2
                ? static_cast<uint16_t>(static_cast<unsigned char>(v[0]) | static_cast<unsigned char>(v[1]) << 8)
                : uint16_t{0};
        return l == BlankMove ? uint16_t{0} : l;
    };
    int moveColour = 0;       // of the property being read, when a move
    int stoneColour = Black;  // of the setup property (AB, AW or AE) values without identifier follow
    bool moved = false;       // a move of the main line has been taken
    size_t division = 0;      // firstDivision of the text plus one, once asked
    size_t i = 0;             // where the text is read
    const auto takeValue = [&](size_t from) -> size_t {  // from: after "["; returns after "]"
        raw.clear();
        size_t at = from;
        while (true) {
            const size_t j = valueStop<Cp932>(text, at);
            if (j >= n) return n + 1;
            // Line breaks up to and at j: the text before each, then "\n".
            while (nextBreak < breaks.size() && breaks[nextBreak] <= j) {
                if (breaks[nextBreak] >= at) {
                    raw.append(text.data() + at, breaks[nextBreak] - at);
                    raw += '\n';
                    at = breaks[nextBreak];
                }
                ++nextBreak;
            }
            raw.append(text.data() + at, j - at);
            if (text[j] == ']') return j + 1;
            if (j + 1 >= n) return n + 1;
            const size_t length = Cp932 ? sjis::charLength(text, j + 1) : 1;
            // A line break right after the backslash is a soft one: it goes.
            while (nextBreak < breaks.size() && breaks[nextBreak] <= j + 1) ++nextBreak;
            raw.append(text.data() + j + 1, length);
            at = j + 1 + length;
        }
    };
    const auto addValue = [&](Prop p, bool first) {
        std::string_view v = raw;
        if constexpr (Cp932) {
            sjis::decodeInto(raw, decoded);
            v = decoded;
        }
        if (p != None) tree.addValue(p, v);
        // A move is the first value of B or W; later ones are passed over, as the scan does.
        if (!main || kind == Kind::Nothing || (kind == Kind::Move && !first)) return;
        if (RecordTree::blank(v)) {
            // No point: a pass on a board above 19 lines, nothing below (the record decides).
            if (kind == Kind::Move) stones.push_back({false, moveColour, BlankMove});
            return;
        }
        // Setup below the point where the root's line divides stands where its node does,
        // as the scan takes it.
        const auto divided = [&] {
            if (division == 0) division = firstDivision<Cp932>(text) + 1;
            return i >= division;
        };
        std::vector<TreeStone>& to =
            kind == Kind::Stones && (moved || stoneColour == 0 || (!open.empty() && divided())) ? later : stones;
        moved = moved || kind == Kind::Move;
        if (kind == Kind::Stones && v.find(':') != std::string_view::npos) {
            // A rectangle of setup stones: each point of it, as the scan takes them.
            const std::string_view a = v.substr(0, v.find(':')), b = v.substr(v.find(':') + 1);
            if (a.size() != 2 || b.size() != 2) return;
            // Capitals are read as their small letters, as the scan reads them.
            const auto small = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; };
            const char x0 = small(a[0]), x1 = small(b[0]), y0 = small(a[1]), y1 = small(b[1]);
            for (char x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
                for (char y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
                    to.push_back(
                        {true, stoneColour,
                         static_cast<uint16_t>(static_cast<unsigned char>(x) | static_cast<unsigned char>(y) << 8)});
            return;
        }
        to.push_back({kind == Kind::Stones, kind == Kind::Stones ? stoneColour : moveColour, letters(v)});
    };
    const auto skipBreaks = [&](size_t to) {
        while (nextBreak < breaks.size() && breaks[nextBreak] < to) ++nextBreak;
    };
    // A new node below node: on the main line when node is and has no child yet.
    const auto childIsMain = [&] {
        return node == None ? tree.gameCount() == 0 : main && tree.firstChild(node) == None;
    };
    while (i < n) {
        const char c = text[i];
        if (c == ' ') {
            ++i;
            continue;
        }
        if (!inGame) {
            if (c == '(') inGame = true, node = None, main = false, at = At::Opened, open.clear();
            ++i;
            continue;
        }
        if (c == '(') {
            open.push_back({node, main});
            at = At::Opened;
            ++i;
            continue;
        }
        if (c == ')') {
            if (open.empty()) {
                inGame = false;
            } else {
                node = open.back().node;
                main = open.back().main;
                open.pop_back();
            }
            at = At::Closed;
            prop = None;
            ++i;
            continue;
        }
        if (c == ';') {
            at = At::Node;
            main = childIsMain();
            // Most nodes are one move, ";B[pd]": a run of them is taken a node a step while
            // no line break cuts a value.
            const auto lower = [](char l) { return l >= 'a' && l <= 'z'; };
            const size_t runStart = i;
            while (i + 5 < n && text[i] == ';' && (text[i + 1] == 'B' || text[i + 1] == 'W') && text[i + 2] == '[' &&
                   lower(text[i + 3]) && lower(text[i + 4]) && text[i + 5] == ']') {
                skipBreaks(i + 3);
                if (nextBreak < breaks.size() && breaks[nextBreak] <= i + 5) break;
                node = tree.addMoveNode(node, text[i + 1], text[i + 3], text[i + 4]);
                if (main) {
                    moved = true;
                    const uint16_t point = static_cast<uint16_t>(static_cast<unsigned char>(text[i + 3]) |
                                                                 static_cast<unsigned char>(text[i + 4]) << 8);
                    stones.push_back({false, text[i + 1] == 'B' ? Black : White, point});
                }
                i += 6;
            }
            if (i != runStart) {
                prop = tree.firstProperty(node);
                propNode = node;
                afterAB = afterAB && !main;
                kind = main ? Kind::Move : kind;
                moveColour = text[i - 5] == 'B' ? Black : White;
                continue;
            }
            node = tree.addNode(node);
            prop = None;
            ++i;
            continue;
        }
        // An identifier, then its values.
        ident.clear();
        size_t j = i;
        while (j < n && text[j] != '[' && text[j] != '(' && text[j] != ')' && text[j] != ';') {
            const size_t length = Cp932 ? sjis::charLength(text, j) : 1;
            if (text[j] != ' ') ident.append(text.data() + j, length);
            j += length;
        }
        // An old file's identifier is kept by its capitals, as the scan reads it.
        if (char capitals[2]; ident.size() > 2) {
            if (const int count = oldIdentifier(ident, capitals); count > 0 && count <= 2)
                ident.assign(capitals, static_cast<size_t>(count));
        }
        if (j >= n || text[j] != '[') {  // an identifier without a value
            i = j;
            continue;
        }
        size_t next = takeValue(j + 1);
        if (next > n) break;
        if (at == At::Opened) main = childIsMain(), node = tree.addNode(node), at = At::Node;
        if (at == At::Closed) {
            // After a ")" the scan has stopped: no node holds what follows before ";" or "(".
            if (main) kind = Kind::Nothing;
            prop = None;
            addValue(prop, true);
        } else if (ident.empty() && prop != None && propNode == node) {
            addValue(prop, false);
        } else if (ident.empty()) {
            // No property before it in its node: the tree leaves it out (no file could hold
            // it there again), though the scan still takes it for an AB stone after AB.
            if (main) kind = afterAB ? Kind::Stones : Kind::Nothing;
            prop = None;
            addValue(prop, true);
        } else {
            if (main) {
                const uint32_t key = RecordTree::identKey(ident);
                if (!ident.empty())
                    afterAB = key == RecordTree::identKey("AB") || key == RecordTree::identKey("AW") ||
                              key == RecordTree::identKey("AE");
                if (afterAB)
                    stoneColour = key == RecordTree::identKey("AW")   ? White
                                  : key == RecordTree::identKey("AE") ? 0
                                                                      : Black;
                kind = afterAB                                                                ? Kind::Stones
                       : key == RecordTree::identKey("B") || key == RecordTree::identKey("W") ? Kind::Move
                                                                                              : Kind::Nothing;
                moveColour = key == RecordTree::identKey("B") ? Black : White;
            }
            if constexpr (Cp932) {
                sjis::decodeInto(ident, decoded);
                prop = tree.addProperty(node, decoded);
            } else {
                prop = tree.addProperty(node, ident);
            }
            propNode = node;
            addValue(prop, true);
        }
        // Further values of the same property.
        i = next;
        while (true) {
            size_t k = i;
            while (k < n && text[k] == ' ') ++k;
            if (k >= n || text[k] != '[') break;
            skipBreaks(k + 1);
            next = takeValue(k + 1);
            if (next > n) break;
            addValue(prop, false);
            i = next;
        }
        if (next > n) break;
        skipBreaks(i);
    }
    if (tree.gameCount() == 0) tree.addNode(None);  // "()": a game of one empty node
}

// The stones the tree's main line gives are the record's: its AB stones, its later setup and
// its moves, in order, at the same points.
bool treeHoldsRecord(const std::vector<TreeStone>& stones, const GameState& g, int tableStones,
                     const std::vector<TreeStone>& laterStones, const SetupChanges& later) {
    const int first = g.HandicapCount;
    const int stride = g.BoardSize + 2;
    // Two letters as the record's position: "tt" a pass, else the letters' lines.
    const auto position = [&](uint16_t v) {
        const int a = (v & 0xFF) | 0x20;
        const int b = (v >> 8) | 0x20;
        if (a == 't' && b == 't' && g.BoardSize <= 19) return PassPos;
        const int x = a - 'a' + 1;
        const int y = b - 'a' + 1;
        return x >= 1 && x <= g.BoardSize && y >= 1 && y <= g.BoardSize ? x * stride + y : 0;
    };
    int setup = tableStones;  // the handicap table's stones stand in no node
    int moves = 0;
    // Setup stones as the record holds them: black ones first (see the scan's entries).
    if (laterStones.size() != later.size()) return false;
    for (size_t k = 0; k < later.size(); ++k) {
        if (later[k].Colour != laterStones[k].colour || later[k].Pos != position(laterStones[k].letters)) return false;
    }
    thread_local std::vector<TreeStone> ordered;
    ordered.assign(stones.begin(), stones.end());
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const TreeStone& s) { return !s.setup || s.colour != White; });
    std::stable_partition(ordered.begin(), ordered.end(), [](const TreeStone& s) { return s.setup; });
    for (const TreeStone& s : ordered) {
        if (s.setup) {
            if (++setup > first || position(s.letters) != g.MovePos[setup]) return false;
        } else {
            if (s.letters == BlankMove && g.BoardSize <= 19) continue;  // B[] is no move there
            const int e = first + ++moves;
            const int pos = s.letters == BlankMove ? PassPos : position(s.letters);
            if (moves > g.MoveCount || g.MoveColor[e] != s.colour || pos != g.MovePos[e]) {
                return false;
            }
        }
    }
    return setup == first && moves == g.MoveCount;
}

// The tree of the record alone, for a file whose tree could not be matched with it: its
// moves, and its setup between them in nodes of their own so that saving keeps it. Setup
// before the first move stands in that move's node after it, where it is not read as
// stones of the start.
void recordTree(RecordTree& tree, const GameState& g, const SetupChanges& later) {
    tree.reset(g);
    if (later.empty()) return;
    tree.clear();
    RecordTree::NodeId n = tree.addNode(RecordTree::None);
    size_t next = 0;
    const auto setupBefore = [&](int k, bool ownNode) {
        if (next >= later.size() || later[next].BeforeMove > k) return;
        if (ownNode) n = tree.addNode(n);
        for (; next < later.size() && later[next].BeforeMove <= k; ++next) {
            const SetupChange& c = later[next];
            const char point[2] = {static_cast<char>('a' + c.Pos / g.BoardStride - 1),
                                   static_cast<char>('a' + c.Pos % g.BoardStride - 1)};
            const char* const id = c.Colour == Black ? "AB" : c.Colour == White ? "AW" : "AE";
            tree.addValue(tree.addProperty(n, id), std::string_view(point, 2));
        }
    };
    for (int k = 1; k <= g.MoveCount && g.HandicapCount + k <= RecordCapacity; ++k) {
        if (k > 1) setupBefore(k, true);
        const size_t e = static_cast<size_t>(g.HandicapCount + k);
        n = tree.addMove(n, g.MoveColor[e], g.MovePos[e], g.BoardSize);
        if (k == 1) setupBefore(1, false);
    }
    setupBefore(INT_MAX, true);
}

// Start values of a scan; of the entries only those the last scan filled are cleared.
void resetScan(Scan& sc) {
    const int used = std::min(sc.s + sc.r - 1, sc.room);
    if (used > 0) std::memset(&sc.entries[1], 0, static_cast<size_t>(used) * sizeof(ScanEntry));
    sc.app.clear();
    sc.name.clear();
    sc.date.clear();
    sc.black.clear();
    sc.white.clear();
    sc.rule.clear();
    sc.result.clear();
    sc.komiWritten.clear();
    sc.size = 19;
    sc.handicap = 0;
    sc.komi = 65;
    sc.komiGiven = false;
    sc.afterAB = false;
    sc.stoneColour = Black;
    sc.toPlay = 0;
    sc.toPlayFrom = 1;
    sc.s = 0;
    sc.r = 1;
    sc.nodes = 0;
    sc.opens = 0;
    sc.division = 0;
    sc.nodeFirstMove = 1;
    sc.later.clear();
    sc.movesFinal = true;
}

}  // namespace

LoadResult fncStringsToKif(GameState& g, const TextBuffer& buf, const std::string& name, RecordTree* tree) {
    thread_local Scan sc;
    thread_local ReadRecord rec;
    resetScan(sc);
    sc.colours = &rec.MoveColor;
    sc.points = &rec.MovePos;
    sc.room = 0;
    makeRoom(sc, 1);
    // A record of one line is scanned where it stands; others are joined first. A file's
    // bytes not yet decoded are scanned as they are: only the texts the game keeps are
    // decoded, not every comment of the record.
    thread_local std::string joined;
    thread_local LineBreaks breaks;
    breaks.clear();
    std::string_view text;
    bool cp932 = false;
    if (const std::string* bytes = buf.undecodedBytes(); bytes && bytesScannable()) {
        cp932 = buf.undecodedEncoding() == TextEncoding::Cp932;
        text = joinedBytes(*bytes, cp932, joined, tree ? &breaks : nullptr);
    } else if (buf.lines().size() == 1) {
        text = buf.lines().front();
    } else {
        joined = buf.joined();
        text = joined;
        uint32_t at = 0;
        for (size_t k = 0; tree && k + 1 < buf.lines().size(); ++k) {
            at += static_cast<uint32_t>(buf.lines()[k].size());
            breaks.push_back(at);
        }
    }
    thread_local std::string opened;
    text = gameText(text, breaks, opened);
    const auto scanRecord = [&]() -> Refusal { return cp932 ? scan<true>(text, sc) : scan<false>(text, sc); };
    sc.keepEntries = false;
    Refusal refusal = scanRecord();
    if (!refusal && !sc.movesFinal) {
        // Seldom: the moves are placed as their entries say, so they are scanned again with them.
        resetScan(sc);
        sc.keepEntries = true;
        refusal = scanRecord();
    }
    if (refusal) return LoadResult::refused(*refusal);

    const int moves = sc.r - 1;
    if (sc.s + moves > StoneEntries) return LoadResult::refused(reason::TooLong);

    // Records of the Nihon Ki-in net games saved by MultiGo carry HA[1] and a half-point
    // komi for what was an even game without the half point.
    if (startsWith(sc.app, "MultiGo:") && sc.handicap > 0 && startsWith(sc.name, "日本棋院ネット対局")) {
        if (sc.handicap == 1) sc.handicap = 0;
        if (sc.komi % 10 > 0) sc.komi -= 5;
    }
    // A record without KM gave no komi: none is counted, shown as given, or written.
    if (!sc.komiGiven) sc.komi = 0;

    rec.FileName = name;
    rec.BoardSize = sc.size;
    rec.GameName = sc.name;
    rec.GameComment = sc.result;
    rec.BlackPlayer = sc.black;
    rec.WhitePlayer = sc.white;
    rec.KomiTenths = sc.komi;
    rec.KomiGiven = sc.komiGiven;
    rec.KomiWritten = sc.komiGiven ? sc.komiWritten : std::string();
    rec.GameRule = sc.rule;
    std::string date = sc.date;
    for (char& c : date) {
        if (c == '-') c = '/';
    }
    rec.GameDate = dateText(date);
    // A handicap game whose record names the handicap but leaves out its stones (some servers
    // write them so: white plays first) is set up with the stones of the handicap table.
    const int firstColour = moves == 0 ? 0 : sc.movesFinal ? rec.MoveColor[1] : entryColour(sc.entries[1]);
    // Boards without a handicap table keep the HA as written, without stones.
    const bool table = HandicapPoints(sc.size, 2, 1) != 0;
    rec.StandardHandicap = sc.s == 0 && sc.handicap >= 2 && firstColour == White && table ? sc.handicap : 0;
    rec.SetupCount = sc.s;
    // Black stones first, then white ones, each in the record's order: the order a saved
    // record (AB before AW) reads back in.
    std::stable_partition(sc.entries.begin() + 1, sc.entries.begin() + 1 + sc.s,
                          [](ScanEntry e) { return entryColour(e) != White; });
    for (int i = 1; i <= sc.s; ++i) {
        rec.SetupPos[i] = entryPos(sc.entries[i], sc.size);
        rec.SetupColor[i] = entryColour(sc.entries[i]);
        if (rec.SetupPos[i] == 0) return LoadResult::refused(reason::Format);
    }
    rec.ToPlay = sc.toPlay;
    rec.ToPlayFrom = sc.toPlayFrom;
    rec.LaterSetup.clear();
    for (const auto& [before, e] : sc.later) {
        const int pos = entryPos(e, sc.size);
        if (pos == 0) return LoadResult::refused(reason::Format);
        rec.LaterSetup.push_back({before, pos, entryColour(e)});
    }
    rec.MoveCount = moves;
    if (!sc.movesFinal) {
        for (int k = 1; k <= moves; ++k) {
            const ScanEntry e = sc.entries[sc.s + k];
            rec.MoveColor[k] = entryColour(e);
            rec.MovePos[k] = e == 0 ? 0 : entryPos(e, sc.size);  // 0: a gap
            if (e != 0 && rec.MovePos[k] == 0) return LoadResult::refused(reason::Format);
        }
    }
    int tableStones = rec.StandardHandicap;
    // A handicap of the table is first tried without any move the rules refuse: such a move
    // may tell that the stones stood elsewhere.
    LoadResult committed = commitRecord(g, rec, tableStones > 0 ? IllegalMoves::Refuse : IllegalMoves::Play);
    if (!committed.ok() && tableStones > 0) {
        // The stones were placed elsewhere (servers turn the table: the side stars of six
        // above and below, not left and right): the table's turns and mirror images, the
        // first that every move keeps to; else the moves as they stand, if the rules take them.
        const int n = tableStones;
        rec.StandardHandicap = 0;
        rec.SetupCount = n;
        bool placed = false;
        std::vector<std::vector<int>> tried;
        for (int turn = 1; turn < 8 && !placed; ++turn) {
            std::vector<int> points;
            for (int k = 1; k <= n; ++k)
                points.push_back(turnedPoint(HandicapPoints(rec.BoardSize, n, k), rec.BoardSize, turn));
            std::vector<int> sorted = points;
            std::sort(sorted.begin(), sorted.end());
            if (std::find(tried.begin(), tried.end(), sorted) != tried.end()) continue;
            tried.push_back(sorted);
            for (int k = 1; k <= n; ++k)
                rec.SetupPos[k] = points[static_cast<size_t>(k - 1)], rec.SetupColor[k] = Black;
            if (const LoadResult turned = commitRecord(g, rec, IllegalMoves::Refuse); turned.ok())
                committed = turned, placed = true;
        }
        if (!placed) {
            rec.SetupCount = 0;
            tableStones = 0;
            if (const LoadResult bare = commitRecord(g, rec, IllegalMoves::Refuse); bare.ok())
                committed = bare, placed = true;
        }
        if (!placed && committed.IllegalMove > 0) {
            // Nowhere do the moves keep to the rules: the table's stones, and the moves as
            // the record has them.
            rec.StandardHandicap = tableStones = n;
            committed = commitRecord(g, rec);
        }
    }
    if (committed.ok() && !rec.LaterSetup.empty()) committed.FirstSetupMove = rec.LaterSetup.front().BeforeMove;
    if (committed.ok() && tree) {
        thread_local std::vector<TreeStone> stones, laterStones;
        if (cp932) {
            parseTree<true>(text, breaks, *tree, stones, laterStones);
        } else {
            parseTree<false>(text, breaks, *tree, stones, laterStones);
        }
        tree->setLargeBoard(g.BoardSize > 19);
        if (!treeHoldsRecord(stones, g, tableStones, laterStones, rec.LaterSetup)) {
            recordTree(*tree, g, rec.LaterSetup);
            tree->Rebuilt = true;
            tree->setLargeBoard(g.BoardSize > 19);
        }
        tree->Utf8 = buf.Encoding == TextEncoding::Utf8;
    }
    return committed;
}

LoadResult fncFileReadSGF(GameState& g, TextBuffer& buf, const std::string& path, RecordTree* tree) {
    const LoadResult loaded = loadFileLines(buf, path);
    if (!loaded.ok()) return loaded;
    return fncStringsToKif(g, buf, path, tree);
}

}  // namespace tavrin
