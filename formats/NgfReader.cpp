#include "formats/NgfReader.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "formats/RecordFile.h"

namespace tavrin {

namespace {

// Character k (1-based) of a line, "" when the line is shorter. Characters, not bytes:
// a multi-byte character is one.
std::string_view charAt(std::string_view line, int k) {
    size_t i = 0;
    for (int at = 1; i < line.size(); ++at) {
        size_t next = i + 1;
        while (next < line.size() && (static_cast<unsigned char>(line[next]) & 0xC0) == 0x80) {
            ++next;
        }
        if (at == k) return line.substr(i, next - i);
        i = next;
    }
    return {};
}

bool isMoveLine(std::string_view line) { return line.substr(0, 2) == "PM"; }

// Characters 6 and 9, and 7 and 8, name the same point twice.
bool pointRepeated(std::string_view line) {
    return charAt(line, 6) == charAt(line, 9) && charAt(line, 7) == charAt(line, 8);
}

// Line number of an NGF coordinate letter: "A" is 0 (the pass letter), "B" is line 1.
// -1 when the letter is not one of the board's.
int ngfLine(std::string_view letter, int size) {
    if (letter.size() != 1) return -1;
    const int line = letter[0] - 'A';
    return line >= 0 && line <= size ? line : -1;
}

// Chinese programs write the header in eleven lines, each after "GI": the game's name, black,
// white, two more, the date (2006-9-5), the board size, the handicap, one more, the komi and
// the number of moves; the moves follow, then lines of their own. The same lines in the
// usual layout, the moves without what follows them; nothing when the file is not such.
std::optional<std::vector<std::string>> usualLayout(const std::vector<std::string>& L) {
    if (L.size() < 11) return std::nullopt;
    for (size_t k = 0; k < 11; ++k)
        if (L[k].compare(0, 2, "GI") != 0) return std::nullopt;
    const auto gi = [&L](int k) { return L[static_cast<size_t>(k - 1)].substr(2); };
    std::string date = gi(6);
    std::replace(date.begin(), date.end(), '-', '/');
    std::vector<std::string> out = {gi(1), gi(7), gi(2), gi(3), gi(4), gi(8), gi(9), gi(10), date, gi(5), "", gi(11)};
    for (size_t k = 11; k < L.size() && isMoveLine(L[k]); ++k) out.push_back(L[k]);
    return out;
}

}  // namespace

LoadResult fncNgfToKif(GameState& g, const TextBuffer& buf, const std::string& path) {
    const auto refused = [](std::string_view why) { return LoadResult::refused(why); };
    const std::optional<std::vector<std::string>> variant = usualLayout(buf.lines());
    const std::vector<std::string>& L = variant ? *variant : buf.lines();
    const int lineCount = static_cast<int>(L.size());
    if (lineCount == 0) return {LoadStatus::Empty, reason::Empty};
    // Line k of the file (1-based); the header needs twelve of them.
    if (lineCount < 12) return refused(reason::Format);
    const auto line = [&L](int k) -> const std::string& { return L[static_cast<size_t>(k - 1)]; };

    const std::optional<int> announced = wholeNumber(line(12));
    if (!announced || *announced < 0) return refused(reason::Format);
    int n = *announced;
    if (12 + n > lineCount) return refused(reason::Format);
    for (int k = 13; k <= 12 + n; ++k) {
        if (!isMoveLine(line(k)) || !pointRepeated(line(k))) return refused(reason::Format);
    }
    // Up to two passes may follow the announced moves; nothing else may.
    for (int k = 13 + n, extra = 0; extra < 2 && k <= lineCount; ++extra) {
        const std::string& l = line(k);
        if (!isMoveLine(l) || charAt(l, 6) != "A" || charAt(l, 7) != "A" || charAt(l, 8) != "A" ||
            charAt(l, 9) != "A") {
            return refused(reason::Format);
        }
        ++n;
        k = 13 + n;
    }

    const std::optional<int> size = wholeNumber(line(2));
    if (!size) return refused(reason::Format);
    if (*size < MinBoardSize || *size > MaxBoardSize) return refused(reason::BoardSize);

    const std::optional<int> handicapLine = wholeNumber(line(6));
    if (!handicapLine || *handicapLine < 0) return refused(reason::Format);
    if (*handicapLine > 9) return refused(reason::Handicap);
    int handicap = *handicapLine;

    // Line 8 holds whole points; the half point is there only in an even game.
    const std::optional<int> komi = wholeNumber(line(8) + (handicap == 0 ? "5" : "0"));
    if (!komi) return refused(reason::Format);
    const int komiTenths = *komi / 5 * 5;
    if (komiTenths >= 1000) return refused(reason::Komi);
    if (handicap == 1) handicap = 0;

    thread_local ReadRecord rec;
    rec.MoveCount = n;
    for (int k = 1; k <= n; ++k) {
        const std::string& l = line(12 + k);
        const std::string_view colour = charAt(l, 5);
        if (colour != "B" && colour != "W") return refused(reason::Format);
        rec.MoveColor[k] = colour == "B" ? Black : White;
        const std::string_view col = charAt(l, 6);
        const std::string_view row = charAt(l, 7);
        if (col == "A" && row == "A") {
            rec.MovePos[k] = PassPos;
            continue;
        }
        const int c = ngfLine(col, *size);
        const int r = ngfLine(row, *size);
        if (c < 1 || r < 1) return refused(reason::Format);
        rec.MovePos[k] = r + c * (*size + 2);
    }

    rec.FileName = path;
    rec.BoardSize = *size;
    rec.GameName = line(1);
    rec.GameComment = line(11);
    rec.BlackPlayer = line(3);
    rec.WhitePlayer = line(4);
    rec.StandardHandicap = handicap;
    rec.SetupCount = 0;
    rec.KomiTenths = komiTenths;
    rec.GameRule.clear();
    rec.GameDate = dateText(line(9));
    return commitRecord(g, rec);
}

LoadResult fncFileReadNGF(GameState& g, TextBuffer& buf, const std::string& path) {
    const LoadResult loaded = loadFileLines(buf, path);
    if (!loaded.ok()) return loaded;
    return fncNgfToKif(g, buf, path);
}

}  // namespace tavrin
