#include "game/Scoring.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin {

namespace {

bool isStone(int cell) { return cell == Black || cell == White; }

bool onBoard(const GameState& g, int pos) {
    if (pos <= 0 || pos > g.BoardLast) return false;
    const int col = pos / g.BoardStride, row = pos % g.BoardStride;
    return col >= 1 && col <= g.BoardSize && row >= 1 && row <= g.BoardSize;
}

// A flood fill over the board's positions with its own stack and marks.
struct Fill {
    std::array<bool, BoardCells> Seen{};
    std::array<int, BoardCells> Stack{};
    int Top = 0;

    void push(int pos) {
        Seen[pos] = true;
        Stack[Top++] = pos;
    }
    int pop() { return Stack[--Top]; }
};

// The stones of colour reached from start through points for which passes(pos) holds
// (start itself included), appended to out.
template <typename Passes>
void spread(const GameState& g, int start, int colour, Passes passes, std::vector<int>& out) {
    Fill f;
    f.push(start);
    while (f.Top > 0) {
        const int p = f.pop();
        if (g.Board[p] == colour) out.push_back(p);
        for (const int d : g.DirOffset) {
            const int q = p + d;
            if (!f.Seen[q] && g.Board[q] >= 0 && passes(q)) f.push(q);
        }
    }
    std::sort(out.begin(), out.end());
}

void setGroup(const GameState& g, StoneStatusMap& status, int pos, StoneStatus mark) {
    if (!onBoard(g, pos) || !isStone(g.Board[pos])) return;
    const StoneStatus now = status[pos] == mark ? StoneStatus::Alive : mark;
    for (const int p : fncStoneGroup(g, status, pos)) status[p] = now;
}

}  // namespace

int territoryOwner(PointKind kind) {
    return kind == PointKind::BlackTerritory ? Black : kind == PointKind::WhiteTerritory ? White : 0;
}

std::string tenthsText(int tenths) {
    // Built from digits alone (untouched by LC_NUMERIC), and widened so the lowest int has a magnitude.
    const long long t = tenths;
    const long long a = t < 0 ? -t : t;
    std::string s = t < 0 ? "-" : "";
    s += std::to_string(a / 10);
    if (a % 10 != 0) {
        s += '.';
        s += static_cast<char>('0' + a % 10);
    }
    return s;
}

std::string resultText(int marginTenths) {
    if (marginTenths == 0) return "0";
    return (marginTenths > 0 ? "B+" : "W+") + tenthsText(std::abs(marginTenths));
}

ScoreCount fncCountScore(const GameState& g, const StoneStatusMap& status) {
    ScoreCount c;
    c.Points.fill(PointKind::Stone);
    c.Side[Black].Prisoners = g.CapturedCount[Black];
    c.Side[White].Prisoners = g.CapturedCount[White];
    c.KomiTenths = g.KomiTenths;

    // Cells of the count: 0 free (empty or dead stone), Black/White live stone, 3 stone in
    // seki, -1 off the board. Dead stones are booked as prisoners here.
    std::array<std::int8_t, BoardCells> cell;
    cell.fill(-1);
    const int size = g.BoardSize, stride = g.BoardStride;
    for (int col = 1; col <= size; ++col) {
        for (int p = col * stride + 1, end = p + size; p < end; ++p) {
            const int v = g.Board[p];
            if (!isStone(v)) {
                cell[p] = 0;
            } else if (status[p] == StoneStatus::Dead) {
                cell[p] = 0;
                ++c.Side[v == Black ? White : Black].Prisoners;
            } else {
                cell[p] = static_cast<std::int8_t>(status[p] == StoneStatus::Seki ? 3 : v);
            }
        }
    }

    std::array<bool, BoardCells> seen{};
    std::array<int, BoardCells> region;
    for (int col = 1; col <= size; ++col) {
        for (int start = col * stride + 1, end = start + size; start < end; ++start) {
            if (cell[start] != 0 || seen[start]) continue;
            // One region: its points and the kinds of live stones around it (bit 1 black,
            // bit 2 white, bit 4 seki).
            int n = 0, touches = 0;
            seen[start] = true;
            region[n++] = start;
            for (int i = 0; i < n; ++i) {
                for (const int d : g.DirOffset) {
                    const int q = region[i] + d;
                    const int v = cell[q];
                    if (v == 0) {
                        if (!seen[q]) {
                            seen[q] = true;
                            region[n++] = q;
                        }
                    } else if (v > 0) {
                        touches |= v == 3 ? 4 : v;
                    }
                }
            }
            PointKind kind;
            if (touches & 4) {
                kind = PointKind::Seki;
                c.SekiPoints += n;
            } else if (touches == 3) {
                kind = PointKind::Dame;
                c.DamePoints += n;
            } else if (touches == Black) {
                kind = PointKind::BlackTerritory;
                c.Side[Black].Territory += n;
            } else if (touches == White) {
                kind = PointKind::WhiteTerritory;
                c.Side[White].Territory += n;
            } else {
                kind = PointKind::Neutral;
            }
            for (int i = 0; i < n; ++i) c.Points[region[i]] = kind;
        }
    }

    c.BlackTenths = 10 * (c.Side[Black].Territory + c.Side[Black].Prisoners);
    c.WhiteTenths = 10 * (c.Side[White].Territory + c.Side[White].Prisoners) + c.KomiTenths;
    c.MarginTenths = c.BlackTenths - c.WhiteTenths;
    c.Result = resultText(c.MarginTenths);
    return c;
}

std::vector<int> fncChainOf(const GameState& g, int pos) {
    std::vector<int> out;
    if (!onBoard(g, pos) || !isStone(g.Board[pos])) return out;
    const int colour = g.Board[pos];
    spread(
        g, pos, colour, [&](int q) { return g.Board[q] == colour; }, out);
    return out;
}

std::vector<int> fncStoneGroup(const GameState& g, const StoneStatusMap& status, int pos) {
    std::vector<int> out;
    if (!onBoard(g, pos) || !isStone(g.Board[pos])) return out;
    const int colour = g.Board[pos];
    const int other = colour == Black ? White : Black;
    spread(
        g, pos, colour, [&](int q) { return g.Board[q] != other || status[q] == StoneStatus::Dead; }, out);
    return out;
}

void prcToggleDead(const GameState& g, StoneStatusMap& status, int pos) { setGroup(g, status, pos, StoneStatus::Dead); }

void prcToggleSeki(const GameState& g, StoneStatusMap& status, int pos) { setGroup(g, status, pos, StoneStatus::Seki); }

StoneStatusMap fncProposeStatus(const GameState& g, std::span<const int> dead, std::span<const int> seki) {
    StoneStatusMap status{};
    const auto mark = [&](std::span<const int> list, StoneStatus s) {
        for (const int pos : list) {
            if (!onBoard(g, pos) || status[pos] == s) continue;
            for (const int p : fncChainOf(g, pos)) status[p] = s;
        }
    };
    mark(dead, StoneStatus::Dead);
    mark(seki, StoneStatus::Seki);
    return status;
}

}  // namespace tavrin
