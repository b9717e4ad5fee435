#include "formats/RecordLoad.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "game/Engine.h"
#include "game/StoneReplay.h"

namespace tavrin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits at text[i..]; at most maxDigits of them. Returns the count read.
int readDigits(std::string_view text, size_t& i, int maxDigits, int& value) {
    int count = 0;
    value = 0;
    while (i < text.size() && isDigit(text[i]) && count < maxDigits) {
        value = value * 10 + (text[i] - '0');
        ++i;
        ++count;
    }
    return count;
}

void skipSpaces(std::string_view text, size_t& i) {
    while (i < text.size() && text[i] == ' ') ++i;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : Days[m - 1];
}

// The time after a date: h:mm or h:mm:ss.
bool timeOfDay(std::string_view text, size_t& i) {
    int h = 0, m = 0, s = 0;
    if (readDigits(text, i, 2, h) == 0 || h > 23) return false;
    if (i >= text.size() || text[i] != ':') return false;
    ++i;
    if (readDigits(text, i, 2, m) == 0 || m > 59) return false;
    if (i < text.size() && text[i] == ':') {
        ++i;
        if (readDigits(text, i, 2, s) == 0 || s > 59) return false;
    }
    return true;
}

}  // namespace

std::string reason::illegalMove(int moveNumber) { return std::to_string(moveNumber) + "手目が打てない手です"; }

std::optional<int> wholeNumber(std::string_view text) {
    size_t i = 0;
    skipSpaces(text, i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::string dateText(std::string_view text) {
    size_t i = 0;
    skipSpaces(text, i);
    int y = 0, m = 0, d = 0;
    const int yearDigits = readDigits(text, i, 4, y);
    if (yearDigits == 0 || i >= text.size() || text[i] != '/') return "";
    ++i;
    if (readDigits(text, i, 2, m) == 0 || i >= text.size() || text[i] != '/') return "";
    ++i;
    if (readDigits(text, i, 2, d) == 0) return "";
    if (i < text.size() && text[i] == ' ') {
        skipSpaces(text, i);
        if (i < text.size() && !timeOfDay(text, i)) return "";
        skipSpaces(text, i);
    }
    if (i != text.size()) return "";
    if (yearDigits <= 2) y += 2000;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return "";
    char out[16];
    out[0] = static_cast<char>('0' + y / 1000);
    out[1] = static_cast<char>('0' + y / 100 % 10);
    out[2] = static_cast<char>('0' + y / 10 % 10);
    out[3] = static_cast<char>('0' + y % 10);
    out[4] = '-';
    out[5] = static_cast<char>('0' + m / 10);
    out[6] = static_cast<char>('0' + m % 10);
    out[7] = '-';
    out[8] = static_cast<char>('0' + d / 10);
    out[9] = static_cast<char>('0' + d % 10);
    return std::string(out, 10);
}

namespace {

// Moves a finished load into the game as a whole; the game keeps its level and the program's
// tag, which a record does not set.
void adoptLoad(GameState& g, const GameState& w) {
    const int level = g.Level;
    std::string tag = std::move(g.AppTag);
    g = w;
    g.Level = level;
    g.AppTag = std::move(tag);
}

}  // namespace

namespace {

// One load as commitRecord makes it; asRecorded: every move through playAsRecorded (slower
// than the replay, for a record known to hold a move the rules refuse).
LoadResult commitOnce(GameState& g, const ReadRecord& r, bool asRecorded) {
    if (r.StandardHandicap + r.SetupCount + r.MoveCount > RecordCapacity) {
        return LoadResult::refused(reason::TooLong);
    }
    // The load runs on a work copy and replaces the game only when every stone was
    // accepted, so a refused record never leaves a partial game behind (nor can it be saved
    // over the refused file). The work copy needs nothing from the game: the new game set up
    // below resets everything the replay reads.
    thread_local GameState work;
    NullPainter painter;

    work.BoardSize = r.BoardSize;
    work.BlackPlayerKind = true;
    work.WhitePlayerKind = true;
    work.GameName = r.GameName;
    work.GameComment = r.GameComment;
    work.BlackPlayer = r.BlackPlayer;
    work.WhitePlayer = r.WhitePlayer;
    work.KomiTenths = r.KomiTenths;
    work.HandicapCount = r.StandardHandicap;
    prcNewSetCore(work, r.GameDate);
    work.GameRule = r.GameRule;
    work.GameDate = r.GameDate;
    work.KomiGiven = r.KomiGiven;
    work.KomiWritten = r.KomiWritten;

    // The replay follows fncHitCheck's rules and books captures as it does.
    StoneReplay replay(work);
    const int first = work.HandicapCount;
    work.HandicapCount = first + r.SetupCount;
    for (int i = 1; i <= r.SetupCount; ++i) {
        const int pos = r.SetupPos[i];
        const int colour = r.SetupColor[i] == White ? White : Black;
        work.SideToMove = colour;
        // A white stone is setup alone: one that cannot stand is the setup refused.
        if (!replay.place(pos, colour))
            return LoadResult::refused(colour == White ? reason::WhiteSetup : reason::Format);
        work.MoveColor[first + i] = colour;
        work.MovePos[first + i] = pos;
    }

    work.MoveCount = r.MoveCount;
    // The moves in runs between the later setup, which goes on the board as it stands.
    // A gap (a move entry never filled) is a fault of the record's form; any other refused
    // move is named.
    int played = 0;
    int illegal = 0;
    // The moves from played + 1 through upTo, each as the record has it.
    const auto playAsTheRecordHas = [&](int upTo) {
        const int h = work.HandicapCount;
        for (int k = played + 1; k <= upTo; ++k) {
            const int colour = r.MoveColor[k];
            if (colour != Black && colour != White) return LoadResult::refused(reason::Format);
            work.CurrentMove = k;
            HitResult verdict = HitResult::Legal;
            if (!playAsRecorded(work, r.MovePos[k], colour, painter, verdict)) {
                LoadResult no = LoadResult::refused(reason::illegalMove(k));
                no.IllegalMove = k;
                return no;
            }
            if (verdict != HitResult::Legal && illegal == 0) illegal = k;
            work.MoveColor[static_cast<size_t>(h + k)] = colour;
            work.MovePos[static_cast<size_t>(h + k)] = r.MovePos[k];
        }
        work.CurrentMove = upTo + 1;
        return LoadResult{};
    };
    for (size_t k = 0; k <= r.LaterSetup.size(); ++k) {
        const int upTo = k < r.LaterSetup.size() ? std::min(r.LaterSetup[k].BeforeMove - 1, r.MoveCount) : r.MoveCount;
        if (upTo > played && asRecorded) {
            if (LoadResult no = playAsTheRecordHas(upTo); !no.ok()) return no;
            played = upTo;
        } else if (upTo > played) {
            const int reached = replay.playMoves(r.MoveColor, r.MovePos, 0, upTo, played + 1);
            if (reached != upTo) {
                const int refused = reached + 1;
                const bool gap = r.MoveColor[refused] != Black && r.MoveColor[refused] != White;
                if (gap) return LoadResult::refused(reason::Format);
                LoadResult no = LoadResult::refused(reason::illegalMove(refused));
                no.IllegalMove = refused;
                return no;
            }
            played = upTo;
        }
        if (k == r.LaterSetup.size()) break;
        const size_t first = k;
        for (; k < r.LaterSetup.size() && r.LaterSetup[k].BeforeMove == r.LaterSetup[first].BeforeMove; ++k) {
            const SetupChange& c = r.LaterSetup[k];
            if (c.Pos <= 0 || c.Pos > work.BoardLast || work.Board[c.Pos] < 0)
                return LoadResult::refused(reason::Format);
            work.Board[c.Pos] = c.Colour;
        }
        --k;
        replay.regroup();
    }
    // The last-move marker, unless a setup after the last move took its stone away.
    const int lastPos = r.MovePos[r.MoveCount];
    if (r.MoveCount > 0 &&
        (lastPos == PassPos || work.Board[static_cast<size_t>(lastPos)] == r.MoveColor[r.MoveCount])) {
        prcStnPut(work, r.MovePos[r.MoveCount], r.MoveColor[r.MoveCount], 2, painter);
    }
    const int last = work.HandicapCount + work.MoveCount;
    work.SideToMove = last >= 1 ? 3 - work.MoveColor[last] : Black;
    // A position where no move follows the last PL is played on as it says; one without
    // moves and with white stones (a problem) by black unless it says otherwise, one of
    // black stones alone (a handicap) by white.
    if (r.ToPlay != 0 && r.ToPlayFrom > r.MoveCount) {
        work.SideToMove = r.ToPlay;
    } else if (r.MoveCount == 0) {
        bool whiteStones = false;
        for (int i = 1; i <= r.SetupCount && !whiteStones; ++i)
            whiteStones = r.SetupColor[static_cast<size_t>(i)] == White;
        if (whiteStones) work.SideToMove = Black;
    }

    prcEndOfGameCore(work);
    adoptLoad(g, work);
    LoadResult done;
    done.IllegalMove = illegal;
    return done;
}

}  // namespace

LoadResult commitRecord(GameState& g, const ReadRecord& r, IllegalMoves illegal) {
    // The replay is tried first: nearly every record holds only moves the rules take.
    LoadResult strict = commitOnce(g, r, false);
    if (strict.ok() || strict.IllegalMove == 0 || illegal == IllegalMoves::Refuse) return strict;
    return commitOnce(g, r, true);
}

}  // namespace tavrin
