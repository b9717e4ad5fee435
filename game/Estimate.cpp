#include "game/Estimate.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tavrin {

namespace {

// Zobrist's influence, shaped by Bouzy's 5/21 operators: five dilations spread the stones'
// influence, twenty-one erosions keep only what is nearly enclosed. A stone starts at 128,
// far above anything the erosions can take away (21 x 4), so a stone keeps its own point.
constexpr int StoneValue = 128;
constexpr int Dilations = 5;
constexpr int Erosions = 21;
// Points of its own area that let a group count as alive whatever its eyes look like.
constexpr int RoomToLive = 5;

using Field = std::array<int, BoardCells>;
using Flags = std::array<bool, BoardCells>;

struct Geometry {
    int size, stride;
    std::array<int, 4> dir;
    Flags onBoard{};  // off-board cells hold 0 in every field and are nobody's neighbour
};

template <typename F>
void eachPoint(const Geometry& b, F f) {
    for (int col = 1; col <= b.size; ++col)
        for (int p = col * b.stride + 1, end = p + b.size; p < end; ++p) f(p);
}

// A point grows by its neighbours on its side, as long as none leans the other way.
void dilate(const Geometry& b, Field& v, Field& next) {
    eachPoint(b, [&](int p) {
        int plus = 0, minus = 0;
        for (const int d : b.dir) {
            const int q = p + d;
            if (!b.onBoard[q]) continue;
            plus += v[q] > 0;
            minus += v[q] < 0;
        }
        int x = v[p];
        if (x >= 0 && minus == 0)
            x += plus;
        else if (x <= 0 && plus == 0)
            x -= minus;
        next[p] = x;
    });
    eachPoint(b, [&](int p) { v[p] = next[p]; });
}

// A point loses one for each neighbour not on its side; the board's edge does not wear.
void erode(const Geometry& b, Field& v, Field& next) {
    eachPoint(b, [&](int p) {
        int x = v[p];
        if (x != 0) {
            int against = 0;
            for (const int d : b.dir) {
                const int q = p + d;
                if (b.onBoard[q] && (x > 0 ? v[q] <= 0 : v[q] >= 0)) ++against;
            }
            x = x > 0 ? std::max(0, x - against) : std::min(0, x + against);
        }
        next[p] = x;
    });
    eachPoint(b, [&](int p) { v[p] = next[p]; });
}

// The judged field of stones (Black/White per point, 0 elsewhere).
Field judge(const Geometry& b, const std::array<int, BoardCells>& stones) {
    Field v{}, next{};
    eachPoint(b, [&](int p) { v[p] = stones[p] == Black ? StoneValue : stones[p] == White ? -StoneValue : 0; });
    for (int i = 0; i < Dilations; ++i) dilate(b, v, next);
    for (int i = 0; i < Erosions; ++i) erode(b, v, next);
    return v;
}

int ownerOf(int value) { return value > 0 ? Black : value < 0 ? White : 0; }

}  // namespace

PositionEstimate fncEstimate(const GameState& g) {
    PositionEstimate e;
    Geometry b{g.BoardSize, g.BoardStride, g.DirOffset};
    std::array<int, BoardCells> stones{};
    eachPoint(b, [&](int p) {
        b.onBoard[p] = true;
        stones[p] = g.Board[p] == Black || g.Board[p] == White ? g.Board[p] : 0;
    });
    const Field first = judge(b, stones);

    // Dead stones. A group is a colour's stones with the empty points between them that the
    // other side does not own: what it can still reach without crossing the other side's
    // stones or area. A group with fewer than two eyes (empty areas of its own touching no
    // stone of the other colour) is a candidate when the board without it would be the other
    // side's at every one of its stones: taken off, nothing of it is left to fight for. A
    // candidate is dead unless it touches a candidate of the other colour: two weak groups
    // against each other are a fight this judgement cannot read, and both count as alive.
    std::array<int, BoardCells> groupOf{};  // by stone: its group's start point, 0 for none
    Flags seen{}, candidate{};
    std::array<int, BoardCells> group{}, eyeMark{}, eyeStack{};
    std::vector<std::pair<int, int>> candidates;  // (start, colour)
    eachPoint(b, [&](int start) {
        const int colour = stones[start];
        if (colour == 0 || seen[start]) return;
        const int other = colour == Black ? White : Black;
        int n = 0;
        group[n++] = start;
        seen[start] = true;
        for (int i = 0; i < n; ++i) {
            for (const int d : b.dir) {
                const int q = group[i] + d;
                if (!b.onBoard[q] || seen[q] || stones[q] == other) continue;
                if (stones[q] == 0 && ownerOf(first[q]) == other) continue;
                seen[q] = true;
                group[n++] = q;
            }
        }
        for (int i = 0; i < n; ++i) {
            // Another group of the same colour may reach the empty points again.
            if (stones[group[i]] == 0)
                seen[group[i]] = false;
            else
                groupOf[group[i]] = start;
        }

        int room = 0;
        for (int i = 0; i < n; ++i) room += stones[group[i]] == 0 && ownerOf(first[group[i]]) == colour;
        if (room >= RoomToLive) return;
        int eyes = 0;
        for (int i = 0; i < n && eyes < 2; ++i) {
            const int p0 = group[i];
            if (stones[p0] != 0 || eyeMark[p0] == start) continue;
            int top = 0;
            bool touchesOther = false;
            eyeMark[p0] = start;
            eyeStack[top++] = p0;
            while (top > 0) {
                const int p = eyeStack[--top];
                for (const int d : b.dir) {
                    const int q = p + d;
                    if (!b.onBoard[q]) continue;
                    if (stones[q] == other)
                        touchesOther = true;
                    else if (stones[q] == 0 && eyeMark[q] != start) {
                        eyeMark[q] = start;
                        eyeStack[top++] = q;
                    }
                }
            }
            if (!touchesOther) ++eyes;
        }
        if (eyes >= 2) return;

        std::array<int, BoardCells> without = stones;
        for (int i = 0; i < n; ++i) without[group[i]] = 0;
        const Field v = judge(b, without);
        for (int i = 0; i < n; ++i)
            if (stones[group[i]] == colour && ownerOf(v[group[i]]) != other) return;
        candidate[start] = true;
        candidates.emplace_back(start, colour);
    });
    Flags dead{};
    for (const auto& candidateGroup : candidates) {
        // Named copies: lambdas may not capture structured bindings everywhere.
        const int start = candidateGroup.first;
        const int colour = candidateGroup.second;
        // The group's stones and the empty points it reaches, and the other colour's stones
        // next to them.
        bool fight = false;
        eachPoint(b, [&](int p) {
            if (fight || groupOf[p] != start) return;
            for (const int d : b.dir) {
                const int q = p + d;
                if (stones[q] != 0 && stones[q] != colour && candidate[groupOf[q]]) fight = true;
            }
        });
        if (fight) continue;
        eachPoint(b, [&](int p) {
            if (groupOf[p] == start) dead[p] = true;
        });
    }

    std::array<int, BoardCells> alive = stones;
    bool anyDead = false;
    eachPoint(b, [&](int p) {
        if (!dead[p]) return;
        alive[p] = 0;
        anyDead = true;
    });
    const Field v = anyDead ? judge(b, alive) : first;

    // Area counting: a side's living stones and the points it owns (dead stones among them).
    eachPoint(b, [&](int p) {
        const int owner = alive[p] != 0 ? alive[p] : dead[p] ? (stones[p] == Black ? White : Black) : ownerOf(v[p]);
        e.Owner[p] = static_cast<std::int8_t>(owner);
        if (owner == Black) ++e.BlackArea;
        if (owner == White) ++e.WhiteArea;
        if (dead[p]) ++(stones[p] == Black ? e.BlackDead : e.WhiteDead);
    });
    e.LeadTenths = 10 * (e.BlackArea - e.WhiteArea) - g.KomiTenths;
    return e;
}

}  // namespace tavrin
