#include "game/Engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "game/ScalarCode.h"

namespace tavrin {

namespace {

constexpr int GroupCapacity = MaxBoardSize * MaxBoardSize;  // every point of the largest board

// Star lines (low, middle, high) of the three sizes.
struct StarLines {
    int size, low, mid, high;
};
constexpr StarLines StarLineTable[] = {{19, 4, 10, 16}, {13, 4, 7, 10}, {9, 3, 5, 7}};

// The nine handicap points in recording order as (column, row) letters of the star lines:
// 'H' high, 'L' low, 'M' middle. Fewer stones take the first ones of this row, except that
// 5 and 7 stones end with the centre.
struct StarPoint {
    char col, row;
};
constexpr StarPoint NineStones[9] = {{'H', 'L'}, {'L', 'H'}, {'L', 'L'}, {'H', 'H'}, {'H', 'M'},
                                     {'L', 'M'}, {'M', 'L'}, {'M', 'H'}, {'M', 'M'}};

int starLine(const StarLines& s, char which) {
    switch (which) {
        case 'L': return s.low;
        case 'M': return s.mid;
        default: return s.high;
    }
}

// Index into NineStones of stone i (1-based) of a count-stone handicap.
int nineStoneIndex(int count, int i) {
    if (i == count && (count == 5 || count == 7)) return 8;  // the centre
    return i - 1;
}

// The group search: does the group of colour g containing s have a liberty? The stones
// found so far are left in list[0..len); the search stops at the first liberty. Stones are
// taken in the order they are first seen (that order books captures), and each point is
// taken once: a stamp per cell says whether this search has already listed it.
struct GroupList {
    int stones[GroupCapacity];
    int len = 0;
};

// Stamps of the listed cells; a new search takes the next stamp instead of clearing them.
struct SearchStamps {
    unsigned cell[BoardCells] = {};
    unsigned current = 0;

    unsigned next() {
        if (++current == 0) {  // wrapped: old stamps could match again
            for (unsigned& c : cell) c = 0;
            current = 1;
        }
        return current;
    }
};

inline bool groupHasLiberty(const GameState& g, int s, int colour, GroupList& list) {
    const int* board = g.Board.data();
    // The first stone's own liberty ends the search before it lists anything more; callers
    // read the list only when the group has no liberty.
    if (board[s + g.DirOffset[0]] == 0 || board[s + g.DirOffset[1]] == 0 || board[s + g.DirOffset[2]] == 0 ||
        board[s + g.DirOffset[3]] == 0) {
        list.stones[0] = s;
        list.len = 1;
        return true;
    }
    thread_local SearchStamps stamps;
    const unsigned stamp = stamps.next();
    unsigned* const listed = stamps.cell;
    const int d0 = g.DirOffset[0], d1 = g.DirOffset[1], d2 = g.DirOffset[2], d3 = g.DirOffset[3];
    int* const stones = list.stones;
    stones[0] = s;
    int len = 1;
    if (s >= 0 && s < BoardCells) listed[s] = stamp;
    // One neighbour n of the stone being read: a liberty ends the search, a stone of the
    // colour not listed yet is appended.
    const auto look = [&](int n) {
        const int v = board[n];
        if (v == 0) return true;
        if (v == colour && listed[n] != stamp && len < GroupCapacity) {
            listed[n] = stamp;
            stones[len++] = n;
        }
        return false;
    };
    for (int read = 0; read < len; ++read) {
        const int here = stones[read];
        if (look(here + d0) || look(here + d1) || look(here + d2) || look(here + d3)) {
            list.len = len;
            return true;
        }
    }
    list.len = len;
    return false;
}

bool onBoard(const GameState& g, int pos) { return pos >= 0 && pos <= g.BoardLast; }

bool isColour(int c) { return c == Black || c == White; }

bool validBoardSize(int size) { return size >= MinBoardSize && size <= MaxBoardSize; }

bool entryOk(int e) { return e >= 1 && e <= RecordCapacity; }

// Move k and its record entry lie inside the arrays (always so unless the state was made
// by hand).
bool moveEntryOk(const GameState& g, int k) { return entryOk(k) && entryOk(k + g.HandicapCount); }

int& totalOf(GameState& g, int colour) { return colour == Black ? g.BlackTotalSeconds : g.WhiteTotalSeconds; }

}  // namespace

const char* hitRefusalText(HitResult r) {
    switch (r) {
        case HitResult::Ko: return "コウです。すぐには打てません。";
        case HitResult::Suicide: return "自殺手は打てません。";
        case HitResult::Full: return "棋譜が一杯です。これ以上は打てません。";
        case HitResult::Legal:
        case HitResult::Occupied: break;
    }
    return "";
}

int HandicapPoints(int size, int count, int i) {
    if (count < 2 || count > 9 || i < 1 || i > count) return 0;
    for (const StarLines& s : StarLineTable) {
        if (s.size != size) continue;
        const StarPoint& pt = NineStones[nineStoneIndex(count, i)];
        return starLine(s, pt.col) * (size + 2) + starLine(s, pt.row);
    }
    return 0;
}

std::string handicapText(int count) {
    static const char* const Texts[] = {"２子", "３子", "４子", "５子", "６子", "７子", "８子", "９子"};
    if (count == 0) return "なし";
    if (count >= 2 && count <= 9) return Texts[count - 2];
    return "";
}

void correctSettings(GameState& g) {
    if (!validBoardSize(g.BoardSize)) g.BoardSize = 19;
    if (g.HandicapCount == 1 || g.HandicapCount < 0 || g.HandicapCount > 9) g.HandicapCount = 0;
    // Boards without a handicap table take their handicap stones only as set up.
    if (HandicapPoints(g.BoardSize, 2, 1) == 0) g.HandicapCount = 0;
}

void prcNewSetGoban(GameState& g) {
    // A board the arrays cannot hold is never laid out.
    if (!validBoardSize(g.BoardSize)) g.BoardSize = 19;
    const int size = g.BoardSize;
    g.BoardStride = size + 2;
    g.BoardLast = g.BoardStride * g.BoardStride - 1;
    const int stride = g.BoardStride;
    const int last = g.BoardLast;
    for (int i = stride + 1; i <= last - stride - 1; ++i) g.Board[i] = 0;
    for (int i = 1; i <= size; ++i) g.Board[i] = CellBorder;
    for (int i = last - size; i <= last - 1; ++i) g.Board[i] = CellBorder;
    for (int c = 1; c <= size; ++c) {
        g.Board[c * stride] = CellBorder;
        g.Board[c * stride + stride - 1] = CellBorder;
    }
    g.Board[0] = CellCorner;
    g.Board[stride - 1] = CellCorner;
    g.Board[last - stride + 1] = CellCorner;
    g.Board[last] = CellCorner;
    g.DirOffset = {-1, stride, 1, -stride};
    g.CapturedCount = {0, 0, 0};
    g.MovePos.clear();
    g.MoveColor.clear();
    g.MoveTime.clear();
    g.MoveCaptures.clear();
    g.CapturedPos.clear();
}

void prcPutStone(GameState& g, int size, int count) {
    for (int i = 1; i <= count && i <= RecordCapacity; ++i) {
        const int pos = HandicapPoints(size, count, i);
        g.MoveColor[i] = Black;
        g.MovePos[i] = pos;
        if (pos > 0 && onBoard(g, pos)) g.Board[pos] = Black;
    }
}

namespace {

// The names of a board of size lines (1..25), laid out with stride size + 2, its rows counted
// from the top or (up) from the bottom; made on first use.
const CoordNameTable::Names& coordNames(int size, bool up) {
    static std::once_flag made[2][MaxBoardSize + 1];
    static std::unique_ptr<CoordNameTable::Names> tables[2][MaxBoardSize + 1];
    std::call_once(made[up][size], [size, up] {
        static constexpr char Letters[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ";
        auto names = std::make_unique<CoordNameTable::Names>();
        const int stride = size + 2;
        char name[4];
        for (int c = 1; c <= size; ++c) {
            name[0] = Letters[c - 1];
            name[1] = ' ';
            for (int line = 1; line <= size; ++line) {
                // " %2d" of the row.
                const int r = up ? size + 1 - line : line;
                name[2] = r < 10 ? ' ' : static_cast<char>('0' + r / 10);
                name[3] = static_cast<char>('0' + r % 10);
                const int pos = c * stride + line;
                if (pos <= CoordNameLast) (*names)[pos].assign(name, 4);
            }
        }
        tables[up][size] = std::move(names);
    });
    return *tables[up][size];
}

}  // namespace

void fillCoordName(GameState& g) {
    const int size = g.BoardSize < MaxBoardSize ? g.BoardSize : MaxBoardSize;
    if (size >= 1) g.CoordName.use(coordNames(size, false), coordNames(size, true));
}

void prcNewSetCore(GameState& g, const std::string& today) {
    correctSettings(g);
    prcNewSetGoban(g);
    fillCoordName(g);
    if (g.HandicapCount >= 1) {
        prcPutStone(g, g.BoardSize, g.HandicapCount);
        g.SideToMove = White;
    } else {
        g.SideToMove = Black;
    }
    g.CurrentMove = 1;
    g.MoveCount = 0;
    g.LastMovePos = 0;
    g.GameDate = today;
    g.KomiGiven = true;
    g.KomiWritten.clear();
    g.GameRule.clear();
    g.MoveSeconds = 0;
    g.BlackTotalSeconds = 0;
    g.WhiteTotalSeconds = 0;
    g.GameOver = false;
    g.EndedByPasses = false;
}

void prcStnPut(GameState& g, int pos, int colour, int mode, BoardPainter& p) {
    // LastMovePos 0 is a border corner, so nothing is redrawn before the first marked stone.
    if (mode > 0 && onBoard(g, g.LastMovePos) && g.Board[g.LastMovePos] > 0) {
        prcStnPut(g, g.LastMovePos, g.Board[g.LastMovePos], 0, p);
    }
    if (pos == PassPos || !onBoard(g, pos)) return;
    if (mode > 0) g.LastMovePos = pos;
    g.Board[pos] = colour;
    if (colour > 0) {
        p.paintStone(pos, colour, mode > 0);
    } else {
        p.erasePoint(pos);
    }
}

namespace {

// The part of the check that searches groups: a neighbour that may have no liberty, or a
// point with four occupied neighbours. board[pos] already holds the mover's stone; every
// way out takes it off again.
[[gnu::noinline]] SCALAR_CODE HitResult hitCheckSearch(GameState& g, int pos, int own, BoardPainter& p) {
    const int move = g.CurrentMove;
    const int opp = 3 - own;
    int* const board = g.Board.data();
    const int next[4] = {pos + g.DirOffset[0], pos + g.DirOffset[1], pos + g.DirOffset[2], pos + g.DirOffset[3]};
    // Neighbours that are not empty. A capture below empties points, but a move that
    // captures is never suicide, so the count only matters when the board stood still.
    const int occupied = (board[next[0]] != 0) + (board[next[1]] != 0) + (board[next[2]] != 0) + (board[next[3]] != 0);
    // Only a stone that is neither a border nor the mover's own can be taken.
    const auto takeable = [own](int v) { return v > 0 && v != own; };

    GroupList group;
    for (int d = 0; d < 4; ++d) {
        const int n = next[d];
        const int v = board[n];
        if (!takeable(v)) continue;
        if (groupHasLiberty(g, n, opp, group)) continue;

        int t = g.CapturedCount[1] + g.CapturedCount[2];
        if (group.len == 1 && g.MoveCaptures[move - 1] == 1 && t >= 1 && g.CapturedPos[t] == pos) {
            board[pos] = 0;
            return HitResult::Ko;
        }
        if (t < 0 || t + group.len > RecordCapacity) {
            // The captured stack cannot overflow while every stone has a record entry; should
            // the state say otherwise, refuse the move and put back what this move took.
            const int taken = g.MoveCaptures[move];
            for (int j = t; j > t - taken; --j) prcStnPut(g, g.CapturedPos[j], opp, 0, p);
            g.CapturedCount[own] -= taken;
            g.MoveCaptures[move] = 0;
            board[pos] = 0;
            return HitResult::Full;
        }
        for (int j = 0; j < group.len; ++j) {
            const int stone = group.stones[j];
            board[stone] = 0;
            g.CapturedPos[++t] = stone;
            ++g.MoveCaptures[move];
            ++g.CapturedCount[own];
            prcStnPut(g, stone, 0, 0, p);
        }
    }

    if (occupied == 4 && g.MoveCaptures[move] == 0 && !groupHasLiberty(g, pos, own, group)) {
        board[pos] = 0;
        return HitResult::Suicide;
    }
    board[pos] = 0;
    return HitResult::Legal;
}

}  // namespace

SCALAR_CODE HitResult fncHitCheck(GameState& g, int pos, int colour, BoardPainter& p) {
    // Move k goes to record entry HandicapCount + k; MoveCaptures is indexed by k itself.
    if (g.CurrentMove < 1 || g.HandicapCount < 0 || g.HandicapCount + g.CurrentMove > RecordCapacity) {
        return HitResult::Full;
    }
    g.MoveCaptures[g.CurrentMove] = 0;
    if (pos == PassPos) return HitResult::Legal;
    if (!onBoard(g, pos) || !isColour(colour) || g.Board[pos] != 0) {
        return HitResult::Occupied;
    }

    const int own = colour;
    int* const board = g.Board.data();
    board[pos] = own;
    const int d0 = g.DirOffset[0], d1 = g.DirOffset[1], d2 = g.DirOffset[2], d3 = g.DirOffset[3];

    // Most moves take nothing and are no suicide: every neighbour that could be taken has an
    // empty point beside it, where the search of its group stops at once, and the new stone
    // has an empty neighbour or a neighbour of its own colour that has one. Such a move is
    // told without a branch per neighbour; any other goes through the search, neighbour by
    // neighbour.
    unsigned goesOn = 0, breathes = 0;
    for (const int n : {pos + d0, pos + d1, pos + d2, pos + d3}) {
        const int v = board[n];
        const bool stone = v > 0;
        const bool t = stone & (v != own);
        // The neighbour when it is a stone, else pos (a point whose neighbours lie on the
        // board), chosen by arithmetic: a branch here would be guessed wrong often.
        const int s = pos + ((n - pos) & -static_cast<int>(stone));
        const bool free = (board[s + d0] == 0) | (board[s + d1] == 0) | (board[s + d2] == 0) | (board[s + d3] == 0);
        goesOn |= static_cast<unsigned>(t & !free);
        breathes |= static_cast<unsigned>(!t & free);
    }
    if ((goesOn == 0) & (breathes != 0)) {
        board[pos] = 0;
        return HitResult::Legal;
    }
    return hitCheckSearch(g, pos, own, p);
}

CapturedStone capturedStone(int entry) {
    const bool own = entry < 0;
    const int e = own ? -entry : entry;
    const bool replaced = e >= BoardCells;
    return {replaced ? e - BoardCells : e, own, replaced};
}

namespace {

// The move CurrentMove of colour at pos played whatever the rules say, after fncHitCheck
// refused it (and may have taken some groups already, booked for the move).
bool forceMove(GameState& g, int pos, int colour, BoardPainter& p) {
    const int move = g.CurrentMove;
    const int opp = 3 - colour;
    int* const board = g.Board.data();
    int t = g.CapturedCount[1] + g.CapturedCount[2];
    // Each stone leaves the board once, and every stone had a record entry: the stack has
    // room unless the state was made by hand.
    const auto book = [&](int entry, int countedFor) {
        if (t < 0 || t >= RecordCapacity) return false;
        g.CapturedPos[++t] = entry;
        ++g.MoveCaptures[move];
        ++g.CapturedCount[countedFor];
        return true;
    };
    if (const int was = board[pos]; was > 0) {
        const int entry = BoardCells + pos;
        if (!book(was == colour ? -entry : entry, was == colour ? opp : colour)) return false;
    }
    prcStnPut(g, pos, colour, 0, p);
    GroupList group;
    for (const int d : g.DirOffset) {
        const int n = pos + d;
        if (board[n] != opp || groupHasLiberty(g, n, opp, group)) continue;
        for (int j = 0; j < group.len; ++j) {
            if (!book(group.stones[j], colour)) return false;
            prcStnPut(g, group.stones[j], 0, 0, p);
        }
    }
    if (!groupHasLiberty(g, pos, colour, group)) {
        for (int j = 0; j < group.len; ++j) {
            if (!book(-group.stones[j], opp)) return false;
            prcStnPut(g, group.stones[j], 0, 0, p);
        }
    }
    return true;
}

}  // namespace

bool playAsRecorded(GameState& g, int pos, int colour, BoardPainter& p, HitResult& verdict) {
    verdict = fncHitCheck(g, pos, colour, p);
    if (verdict == HitResult::Legal) {
        if (pos != PassPos) prcStnPut(g, pos, colour, 0, p);
        return true;
    }
    if (verdict == HitResult::Full || !onBoard(g, pos) || !isColour(colour) || g.Board[pos] < 0) return false;
    return forceMove(g, pos, colour, p);
}

HitResult prcHitCore(GameState& g, int pos, int colour, BoardPainter& p) {
    const HitResult r = fncHitCheck(g, pos, colour, p);
    if (r != HitResult::Legal) return r;
    prcStnPut(g, pos, colour, 2, p);
    const int e = g.HandicapCount + g.CurrentMove;
    g.MovePos[e] = pos;
    g.MoveColor[e] = colour;
    g.MoveTime[e] = g.MoveSeconds + 1;
    totalOf(g, g.SideToMove) += g.MoveTime[e];
    g.MoveSeconds = 0;
    g.SideToMove = 3 - g.SideToMove;
    ++g.CurrentMove;
    ++g.MoveCount;
    return r;
}

namespace {
// The last two moves before the shown position are both passes, from move 3 on.
bool lastTwoArePasses(const GameState& g) {
    const int e = g.HandicapCount + g.CurrentMove;
    if (g.CurrentMove <= 3 || e - 1 > RecordCapacity) return false;
    return g.MovePos[e - 1] == PassPos && g.MovePos[e - 2] == PassPos;
}
}  // namespace

bool passEndsGame(const GameState& g) { return lastTwoArePasses(g); }

void prcEndOfGameCore(GameState& g) {
    g.GameOver = true;
    g.EndedByPasses = lastTwoArePasses(g);
    g.MoveSeconds = 0;
}

void resignCore(GameState& g) {
    if (g.GameComment.empty()) g.GameComment = g.SideToMove == Black ? "W+R" : "B+R";
}

int mattaCount(const GameState& g) { return g.BlackPlayerKind == g.WhitePlayerKind ? 1 : 2; }

int prcMattaCore(GameState& g, BoardPainter& p) {
    const int n = mattaCount(g);
    if (g.CurrentMove - n <= 0) return 0;
    for (int i = 0; i < n; ++i) prcKifBack(g, g.CurrentMove - 1, p);
    g.MoveCount = g.CurrentMove - 1;
    g.MoveSeconds = 0;
    return n;
}

void resumeCore(GameState& g, BoardPainter& p) {
    if (g.CurrentMove > 1) {
        const int e = g.HandicapCount + g.CurrentMove - 1;
        if (e >= 1 && e <= RecordCapacity) prcStnPut(g, g.MovePos[e], g.MoveColor[e], 2, p);
    }
    g.MoveCount = g.CurrentMove - 1;
    g.GameOver = false;
    g.EndedByPasses = false;
}

namespace {
// The last-move marker on the stone of a move, when it stands: a suicide took its own away.
void markMove(GameState& g, int pos, int colour, BoardPainter& p) {
    const bool stands = pos == PassPos || !onBoard(g, pos) || g.Board[pos] == colour;
    prcStnPut(g, stands ? pos : PassPos, colour, 2, p);
}
}  // namespace

void prcKifBack(GameState& g, int target, BoardPainter& p) {
    const int h = g.HandicapCount;
    if (target < 1) target = 1;
    while (g.CurrentMove > target) {
        const int k = --g.CurrentMove;
        const int i = k + h;
        if (!moveEntryOk(g, k)) continue;
        g.SideToMove = g.MoveColor[i];
        const int n = g.MoveCaptures[k];
        const int mover = g.SideToMove;
        prcStnPut(g, g.MovePos[i], 0, 0, p);
        if (n > 0 && isColour(mover)) {
            const int t = g.CapturedCount[1] + g.CapturedCount[2];
            // Newest first, in the colour of the side that lost them. A suicide's own stone
            // stays away; a stone the move replaced, booked first, comes back last.
            for (int j = t; j > t - n && j >= 1; --j) {
                const CapturedStone s = capturedStone(j <= RecordCapacity ? g.CapturedPos[j] : 0);
                const bool itsOwnStone = s.own && !s.replaced && s.pos == g.MovePos[i];
                if (s.pos > 0 && !itsOwnStone) prcStnPut(g, s.pos, s.own ? mover : 3 - mover, 0, p);
                --g.CapturedCount[s.own ? 3 - mover : mover];
            }
        }
        totalOf(g, g.SideToMove) -= g.MoveTime[i];
    }
    if (g.CurrentMove > 1 && moveEntryOk(g, g.CurrentMove - 1)) {
        const int j = g.CurrentMove - 1 + h;
        markMove(g, g.MovePos[j], g.MoveColor[j], p);
    }
}

void prcKifNext(GameState& g, int target, BoardPainter& p) {
    const int h = g.HandicapCount;
    if (target > g.MoveCount + 1) target = g.MoveCount + 1;
    if (target > RecordCapacity - h + 1) target = RecordCapacity - h + 1;
    if (g.CurrentMove < 1) g.CurrentMove = 1;
    while (g.CurrentMove < target) {
        const int k = g.CurrentMove;
        const int i = k + h;
        g.CurrentMove = k + 1;
        if (!moveEntryOk(g, k)) continue;
        const int colour = g.MoveColor[i];
        prcStnPut(g, g.MovePos[i], colour, 0, p);
        const int n = g.MoveCaptures[k];
        if (n > 0 && isColour(colour)) {
            const int t = g.CapturedCount[1] + g.CapturedCount[2] + n;
            for (int j = t; j > t - n; --j) {
                const CapturedStone s = capturedStone(j >= 1 && j <= RecordCapacity ? g.CapturedPos[j] : 0);
                // A stone the move replaced is gone under the move's own.
                if (!s.replaced && s.pos > 0) prcStnPut(g, s.pos, 0, 0, p);
                ++g.CapturedCount[s.own ? 3 - colour : colour];
            }
        }
        totalOf(g, colour) += g.MoveTime[i];
        if (k == target - 1) markMove(g, g.MovePos[i], colour, p);
        if (g.CurrentMove > g.MoveCount) {
            if (entryOk(g.MoveCount + h)) g.SideToMove = 3 - g.MoveColor[g.MoveCount + h];
        } else if (entryOk(g.CurrentMove + h)) {
            g.SideToMove = g.MoveColor[g.CurrentMove + h];
        }
    }
}

std::string fncSecToHms(int seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2d:%.2d:%.2d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return buf;
}

}  // namespace tavrin
