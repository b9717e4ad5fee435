#include "game/Estimate.h"

#include <algorithm>

namespace tavrin {

namespace {

// Dilations and erosions of the judgement (more erosions keep only safer areas, fewer let a
// framework count); 128 for a stone keeps the stone's own point far
// above anything erosion can take away.
constexpr int StoneValue = 128;
constexpr int Dilations = 5;
constexpr int Erosions = 7;
// Empty points of its own area a group needs to count as alive without two eyes. Few: a
// group in a fight with some area of its own is given the benefit of the doubt.
constexpr int RoomToLive = 2;

using Field = std::array<int, BoardCells>;

struct Geometry {
    int size, stride;
    std::array<int, 4> dir;
};

template <typename F>
void eachPoint(const Geometry& b, F f) {
    for (int col = 1; col <= b.size; ++col)
        for (int p = col * b.stride + 1, end = p + b.size; p < end; ++p) f(p);
}

// onBoard marks the points of the board; off-board cells hold 0 in every field and never
// count as a neighbour on either side.
void dilate(const Geometry& b, const std::array<bool, BoardCells>& onBoard, Field& v, Field& next) {
    eachPoint(b, [&](int p) {
        int plus = 0, minus = 0;
        for (const int d : b.dir) {
            const int q = p + d;
            if (!onBoard[q]) continue;
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

void erode(const Geometry& b, const std::array<bool, BoardCells>& onBoard, Field& v, Field& next) {
    eachPoint(b, [&](int p) {
        int x = v[p];
        if (x != 0) {
            int against = 0;
            for (const int d : b.dir) {
                const int q = p + d;
                if (onBoard[q] && (x > 0 ? v[q] <= 0 : v[q] >= 0)) ++against;
            }
            x = x > 0 ? std::max(0, x - against) : std::min(0, x + against);
        }
        next[p] = x;
    });
    eachPoint(b, [&](int p) { v[p] = next[p]; });
}

// The judged field of the stones in alive (Black/White per point, 0 elsewhere).
void judge(const Geometry& b, const std::array<bool, BoardCells>& onBoard, const std::array<int, BoardCells>& stones,
           Field& v) {
    Field next{};
    v.fill(0);
    eachPoint(b, [&](int p) { v[p] = stones[p] == Black ? StoneValue : stones[p] == White ? -StoneValue : 0; });
    for (int i = 0; i < Dilations; ++i) dilate(b, onBoard, v, next);
    for (int i = 0; i < Erosions; ++i) erode(b, onBoard, v, next);
}

}  // namespace

PositionEstimate fncEstimate(const GameState& g) {
    PositionEstimate e;
    const Geometry b{g.BoardSize, g.BoardStride, g.DirOffset};
    std::array<bool, BoardCells> onBoard{};
    std::array<int, BoardCells> stones{};
    eachPoint(b, [&](int p) {
        onBoard[p] = true;
        stones[p] = g.Board[p] == Black || g.Board[p] == White ? g.Board[p] : 0;
    });

    Field v;
    judge(b, onBoard, stones, v);

    // Groups that cannot live where they stand: a group is a colour's stones reached from
    // one of them through anything but the other colour's stones. It is taken as dead when
    // it has fewer than two eyes (empty areas of it that touch no stone of the other
    // colour) and fewer than RoomToLive of its empty points lie in its own side's area.
    // The board is then judged again without the dead stones.
    std::array<std::array<bool, BoardCells>, 3> seenBy{};  // per colour: groups share empty points
    std::array<int, BoardCells> group;
    std::array<bool, BoardCells> dead{};
    std::array<int, BoardCells> eyeMark{};
    std::array<int, BoardCells> eyeStack;
    bool anyDead = false;
    eachPoint(b, [&](int start) {
        const int colour = stones[start];
        if (colour == 0 || seenBy[colour][start]) return;
        std::array<bool, BoardCells>& seen = seenBy[colour];
        const int other = colour == Black ? White : Black;
        int n = 0, room = 0, eyes = 0;
        group[n++] = start;
        seen[start] = true;
        for (int i = 0; i < n; ++i) {
            const int p = group[i];
            if (stones[p] == 0 && (colour == Black ? v[p] > 0 : v[p] < 0)) ++room;
            for (const int d : b.dir) {
                const int q = p + d;
                if (onBoard[q] && !seen[q] && stones[q] != other) {
                    seen[q] = true;
                    group[n++] = q;
                }
            }
        }
        if (room >= RoomToLive) return;
        // Eyes: the group's empty points split into areas joined through empty points.
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
                    if (!onBoard[q]) continue;
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
        anyDead = true;
        for (int i = 0; i < n; ++i)
            if (stones[group[i]] == colour) dead[group[i]] = true;
    });
    if (anyDead) {
        std::array<int, BoardCells> alive = stones;
        eachPoint(b, [&](int p) {
            if (dead[p]) alive[p] = 0;
        });
        judge(b, onBoard, alive, v);
    }

    e.BlackPrisoners = g.CapturedCount[Black];
    e.WhitePrisoners = g.CapturedCount[White];
    eachPoint(b, [&](int p) {
        const int owner = v[p] > 0 ? Black : v[p] < 0 ? White : 0;
        if (stones[p] != 0 && !dead[p]) {
            e.Owner[p] = static_cast<std::int8_t>(stones[p]);
            return;
        }
        e.Owner[p] = static_cast<std::int8_t>(owner);
        if (owner == Black) ++e.BlackArea;
        if (owner == White) ++e.WhiteArea;
        if (dead[p]) ++(stones[p] == Black ? e.WhitePrisoners : e.BlackPrisoners);
    });
    e.LeadTenths = 10 * (e.BlackArea + e.BlackPrisoners - e.WhiteArea - e.WhitePrisoners) - g.KomiTenths;
    return e;
}

}  // namespace tavrin
