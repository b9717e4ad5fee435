// bench_scoring: counting a finished 19 x 19 game with its dead stones (one count as the
// window makes after every click) and the rough judgement of the same position.

#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "engine/Gtp.h"
#include "game/Engine.h"
#include "game/Estimate.h"
#include "game/Scoring.h"

namespace {

using namespace tavrin;

// The end of a nine-stone handicap game (244 moves); the dead stones as GNU Go names them.
constexpr std::array<const char*, 19> FinalRows = {
    ".......XOOO...O....", ".....XXXXO.OOOXOOX.", ".....XOXXXO..OX..X.", "...XXOOXXXOOOX.XX..", "..X.XOOOOXXOOX...O.",
    "XX...XO.OXOO.OOOO.O", "XOXX.XXO.OXOOOOXOOX", "OOOX.OXO.OXOXOXXXXX", "..OXXXOOOXXXXOOOX..", "..OX.OXXXXOOXXXX...",
    "OO.OX...XXXOOXXX...", "XO.OX....OXOOOOX...", "XOOXXXXXXXOOOOOOX..", "XXOOOXOOOOOXOXOOXXX", ".XXOOOXXOXOXXXXOXOX",
    "...XXXXXXXXX.XOOOOO", ".....XXOOOOXXO..O..", "...X.XOO..OXXO.OO..", "....XOO....OO.O....",
};
constexpr std::array<const char*, 11> DeadVertices = {"P18", "P17", "S18", "S17", "O16", "O15",
                                                      "Q16", "R16", "F12", "F10", "K8"};

GameState finalPosition() {
    GameState g;
    g.BoardSize = 19;
    g.KomiTenths = 5;
    prcNewSetCore(g, "2003-06-20");
    for (int row = 1; row <= 19; ++row)
        for (int col = 1; col <= 19; ++col) {
            const char ch = FinalRows[row - 1][col - 1];
            g.Board[col * g.BoardStride + row] = ch == 'X' ? Black : ch == 'O' ? White : 0;
        }
    g.CapturedCount = {0, 0, 9};
    return g;
}

StoneStatusMap deadStones(const GameState& g) {
    std::vector<int> dead;
    for (const char* v : DeadVertices) dead.push_back(gtp::parseVertex(v, 19).pos);
    return fncProposeStatus(g, dead, {});
}

void BM_CountFinal19(benchmark::State& state) {
    const GameState g = finalPosition();
    const StoneStatusMap status = deadStones(g);
    for (auto _ : state) {
        ScoreCount c = fncCountScore(g, status);
        benchmark::DoNotOptimize(c);
    }
    state.SetLabel(fncCountScore(g, status).Result);  // W+2.5, as the game's record says
}
BENCHMARK(BM_CountFinal19);

// A click as the window handles it: the group toggled, then the whole count again.
void BM_ClickAndCount19(benchmark::State& state) {
    const GameState g = finalPosition();
    StoneStatusMap status = deadStones(g);
    const int pos = gtp::parseVertex("K8", 19).pos;
    for (auto _ : state) {
        prcToggleDead(g, status, pos);
        ScoreCount c = fncCountScore(g, status);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_ClickAndCount19);

void BM_EstimateFinal19(benchmark::State& state) {
    const GameState g = finalPosition();
    for (auto _ : state) {
        PositionEstimate e = fncEstimate(g);
        benchmark::DoNotOptimize(e);
    }
    // Black's lead in tenths by area, against the count's W+2.5 by territory.
    state.SetLabel("lead " + std::to_string(fncEstimate(g).LeadTenths));
}
BENCHMARK(BM_EstimateFinal19);

void BM_EstimateEmpty19(benchmark::State& state) {
    GameState g;
    prcNewSetCore(g, "2003-06-20");
    for (auto _ : state) {
        PositionEstimate e = fncEstimate(g);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_EstimateEmpty19);

}  // namespace

BENCHMARK_MAIN();
