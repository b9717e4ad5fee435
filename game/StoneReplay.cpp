#include "game/StoneReplay.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <numeric>
#include <utility>

#include "game/ScalarCode.h"

namespace tavrin {

namespace {

// The number of bits set in each four-bit mask.
constexpr unsigned char BitCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

}  // namespace

StoneReplay::StoneReplay(GameState& g) : g_(g) {
    // The cells of the board in play (with its border) alone: the largest board's arrays are
    // much bigger than a small board needs.
    const auto cells = static_cast<std::ptrdiff_t>(std::clamp(g.BoardLast + 1, 0, BoardCells));
    std::iota(group_.begin(), group_.begin() + cells, 0);
    // Empty cells' entries are counted down and up as stones come and go beside them; they
    // start at 0 like any count.
    std::fill_n(libs_.begin(), cells, 0);
    for (int i = 1; i <= g.HandicapCount && i <= RecordCapacity; ++i) {
        const int pos = g.MovePos[i];
        bool seen = false;
        for (int j = 1; j < i; ++j) seen |= g.MovePos[j] == pos;
        if (!seen && pos > 0 && pos <= g.BoardLast && g.Board[pos] > 0) add(pos, g.Board[pos]);
    }
}

void StoneReplay::join(int a, int b) {
    if (a == b) return;
    if (size_[a] < size_[b]) std::swap(a, b);
    int s = b;
    do {
        group_[s] = a;
        s = next_[s];
    } while (s != b);
    std::swap(next_[a], next_[b]);
    size_[a] += size_[b];
    libs_[a] += libs_[b];
}

SCALAR_CODE inline unsigned StoneReplay::add(int pos, int colour) {
    const int* const board = g_.Board.data();
    // The four neighbours, and pos itself standing for "none of them".
    const int n[5] = {pos + g_.DirOffset[0], pos + g_.DirOffset[1], pos + g_.DirOffset[2], pos + g_.DirOffset[3], pos};
    const int g0 = group_[n[0]], g1 = group_[n[1]], g2 = group_[n[2]], g3 = group_[n[3]];
    // An empty or border neighbour counts down its own unused entry: no test needed.
    --libs_[g0];
    --libs_[g1];
    --libs_[g2];
    --libs_[g3];
    // Which neighbours are of the other colour and out of liberties (dying), of the same
    // colour (own), and empty: told for all four at once, without a branch each.
#if defined(__SSE2__)
    const __m128i v = _mm_setr_epi32(board[n[0]], board[n[1]], board[n[2]], board[n[3]]);
    const __m128i l = _mm_setr_epi32(libs_[g0], libs_[g1], libs_[g2], libs_[g3]);
    const auto bits = [](__m128i m) { return unsigned(_mm_movemask_ps(_mm_castsi128_ps(m))); };
    const unsigned dying =
        bits(_mm_and_si128(_mm_cmpeq_epi32(v, _mm_set1_epi32(3 - colour)), _mm_cmpeq_epi32(l, _mm_setzero_si128())));
    unsigned own = bits(_mm_cmpeq_epi32(v, _mm_set1_epi32(colour)));
    const int empty = BitCount[bits(_mm_cmpeq_epi32(v, _mm_setzero_si128()))];
#else
    const int v0 = board[n[0]], v1 = board[n[1]], v2 = board[n[2]], v3 = board[n[3]];
    const int opp = 3 - colour;
    const auto out = [this, opp](int v, int g) { return unsigned(v == opp) & unsigned(libs_[g] == 0); };
    const unsigned dying = out(v0, g0) | out(v1, g1) << 1 | out(v2, g2) << 2 | out(v3, g3) << 3;
    unsigned own = unsigned(v0 == colour) | unsigned(v1 == colour) << 1 | unsigned(v2 == colour) << 2 |
                   unsigned(v3 == colour) << 3;
    const int empty = (v0 == 0) + (v1 == 0) + (v2 == 0) + (v3 == 0);
#endif
    // The stone joins the group of its first neighbour of the same colour, or makes a group
    // of its own (pos names itself while empty). About half the moves have such a
    // neighbour, in no order a branch could learn, so both are one path.
    const int a = group_[n[__builtin_ctz(own | 16u)]];
    own &= own - 1;
    group_[pos] = a;
    next_[pos] = pos;
    const int after = next_[a];
    next_[a] = pos;
    next_[pos] = after;
    size_[pos] = 0;
    ++size_[a];
    libs_[pos] = 0;
    libs_[a] += empty;
    // Any other group of its colour it touches joins that one.
    while (own != 0) {
        const int d = __builtin_ctz(own);
        own &= own - 1;
        join(group_[pos], group_[n[d]]);
    }
    return dying | (empty == 0 ? Closed : 0u);
}

// The check of one move, once the record entry of the move is known to lie in the arrays;
// last is the board's BoardLast (a caller checking many moves holds it at hand).
SCALAR_CODE inline bool StoneReplay::playChecked(int move, int pos, int colour, unsigned last) {
    GameState& g = g_;
    g.MoveCaptures[move] = 0;
    if (pos == PassPos) return true;
    int* const board = g.Board.data();
    if (static_cast<unsigned>(pos) > last || board[pos] != 0) return false;
    board[pos] = colour;
    // Captures are rare: they are booked, and a ko refused, away from this path. A capture
    // always takes stones, and a stone with an empty neighbour has a liberty: only a stone
    // with neither can be a suicide.
    const unsigned added = add(pos, colour);
    if ((added & Dying) != 0) return capture(move, pos, colour, added & Dying);
    return (added & Closed) == 0 || libs_[group_[pos]] != 0;
}

bool StoneReplay::place(int pos, int colour) {
    if (pos <= 0 || pos > g_.BoardLast || g_.Board[pos] != 0 || (colour != Black && colour != White)) return false;
    g_.Board[pos] = colour;
    add(pos, colour);
    return true;
}

SCALAR_CODE bool StoneReplay::play(int pos, int colour) {
    const int move = g_.CurrentMove;
    if (move < 1 || g_.HandicapCount < 0 || g_.HandicapCount + move > RecordCapacity) return false;
    if (pos != PassPos && colour != Black && colour != White) return false;
    return playChecked(move, pos, colour, static_cast<unsigned>(g_.BoardLast));
}

void StoneReplay::regroup() {
    const auto cells = static_cast<std::ptrdiff_t>(std::clamp(g_.BoardLast + 1, 0, BoardCells));
    std::iota(group_.begin(), group_.begin() + cells, 0);
    std::fill_n(libs_.begin(), cells, 0);
    // Each stone joins the groups as if placed anew: add() needs its stone neighbours counted.
    std::array<int, BoardCells> stones{};
    for (int pos = 1; pos <= g_.BoardLast && pos < BoardCells; ++pos) {
        const int c = g_.Board[pos];
        if (c == Black || c == White) stones[pos] = c, g_.Board[pos] = 0;
    }
    for (int pos = 1; pos <= g_.BoardLast && pos < BoardCells; ++pos) {
        if (stones[pos] == 0) continue;
        g_.Board[pos] = stones[pos];
        add(pos, stones[pos]);
    }
}

SCALAR_CODE int StoneReplay::playMoves(const int* colours, const int* positions, int count, int from) {
    GameState& g = g_;
    const int h = g.HandicapCount;
    // Moves beyond the record's room are refused, as play refuses them.
    const int room = h < 0 ? 0 : RecordCapacity - h;
    const int n = count < room ? count : room;
    const unsigned last = static_cast<unsigned>(g.BoardLast);
    int k = from < 1 ? 1 : from;
    for (; k <= n; ++k) {
        // A move of neither colour (an entry never filled) is refused, a pass too.
        const int colour = colours[k];
        if (colour != Black && colour != White) break;
        if (!playChecked(k, positions[k], colour, last)) break;
        g.MoveColor[h + k] = colour;
        g.MovePos[h + k] = positions[k];
    }
    g.CurrentMove = k;
    return k - 1;
}

int StoneReplay::playMoves(const RecordColumn& colours, const RecordColumn& positions, int skip, int count, int from) {
    // Entries past what the columns hold are 0: a move of neither colour, where play stops.
    const int held = static_cast<int>(std::min(colours.size(), positions.size())) - 1 - skip;
    if (held < 1) {
        g_.CurrentMove = std::max(from, 1);
        return g_.CurrentMove - 1;
    }
    return playMoves(colours.data() + skip, positions.data() + skip, std::min(count, held), from);
}

// The captures of move number move, played at pos, of the neighbours dying tells (a taken
// group gives liberties only to stones of the mover's colour, so the others stay dying);
// false when the move is refused for them (a ko, or no room to book the stones).
bool StoneReplay::capture(int move, int pos, int colour, unsigned dying) {
    GameState& g = g_;
    int* const board = g.Board.data();
    const int opp = 3 - colour;
    const int* const dir = g.DirOffset.data();
    for (; dying != 0; dying &= dying - 1) {
        const int n = pos + dir[__builtin_ctz(dying)];
        if (board[n] != opp) continue;  // taken with a group before
        int t = g.CapturedCount[1] + g.CapturedCount[2];
        if (size_[group_[n]] == 1 && g.MoveCaptures[move - 1] == 1 && t >= 1 && g.CapturedPos[t] == pos) {
            return false;  // ko
        }
        if (t < 0 || t + size_[group_[n]] > RecordCapacity) return false;
        // The stones are booked in the order the check's search first sees them: from n,
        // each listed stone's neighbours in turn. A listed stone leaves the board at once,
        // which also keeps it from being listed twice.
        const int first = t + 1;
        g.CapturedPos[++t] = n;
        board[n] = 0;
        for (int read = first; read <= t; ++read) {
            const int here = g.CapturedPos[read];
            for (int k = 0; k < 4; ++k) {
                const int s = here + dir[k];
                if (board[s] == opp && t < RecordCapacity) {
                    board[s] = 0;
                    g.CapturedPos[++t] = s;
                }
            }
        }
        const int taken = t - first + 1;
        g.MoveCaptures[move] += taken;
        g.CapturedCount[colour] += taken;
        for (int j = first; j <= t; ++j) group_[g.CapturedPos[j]] = g.CapturedPos[j];
        // Every stone beside a taken one (all of the mover's colour) gains a liberty.
        for (int j = first; j <= t; ++j) {
            const int here = g.CapturedPos[j];
            for (int k = 0; k < 4; ++k) ++libs_[group_[here + dir[k]]];
        }
    }
    return true;
}

}  // namespace tavrin
