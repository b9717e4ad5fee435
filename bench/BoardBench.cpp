// Board view timings: a complete re-layout of a full board (also with the move numbers),
// and one prcStnPut.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/Engine.h"
#include "view/BoardView.h"

using namespace tavrin;

namespace {

struct FullBoard {
    GameState g;
    std::unique_ptr<BoardView> v;
    FullBoard(int size, int w, int h, bool zahyou, bool hanten) {
        g.BoardSize = size;
        prcNewSetCore(g, "2024-01-01");
        // Every point taken, colours in a checkerboard, a last move to mark.
        for (int c = 1; c <= size; ++c)
            for (int r = 1; r <= size; ++r) g.Board[c * g.BoardStride + r] = (c + r) % 2 + 1;
        g.MovePos[1] = 4 * g.BoardStride + 4;
        g.MoveColor[1] = g.Board[g.MovePos[1]];
        g.MoveCount = 1;
        g.CurrentMove = 2;
        v = std::make_unique<BoardView>(g);
        v->resize(w, h);
        v->setZahyou(zahyou);
        v->setHanten(hanten);
    }
};

void BM_RelayoutFull(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
    FullBoard b(size, w, h, state.range(3) != 0, false);
    for (auto _ : state) {
        b.v->relayout();
        benchmark::DoNotOptimize(b.v->picture().constBits());
    }
    state.counters["CellSize"] = b.v->geometryInfo().CellSize;
}
// 19 lines in an 830 x 700 panel (CellSize 34), 19 lines at CellSize 60 (1165 x 1165),
// 9 lines at CellSize 60.
BENCHMARK(BM_RelayoutFull)
    ->Args({19, 830, 700, 1})
    ->Args({19, 1165, 1165, 0})
    ->Args({19, 1260, 1260, 1})
    ->Args({9, 615, 615, 1})
    ->Unit(benchmark::kMillisecond);

// The re-layout followed by the first picture with the move numbers on: every point a
// numbered stone (moves 1..361 in reading order), the largest board.
void BM_RelayoutWithNumbers(benchmark::State& state) {
    FullBoard b(19, 1260, 1260, true, false);
    int k = 0;
    for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r) {
            ++k;
            b.g.MovePos[k] = c * b.g.BoardStride + r;
            b.g.MoveColor[k] = b.g.Board[b.g.MovePos[k]];
        }
    b.g.MoveCount = k;
    b.g.CurrentMove = k + 1;
    b.v->setTejun(true);
    for (auto _ : state) {
        b.v->relayout();
        const QImage shown = b.v->shownPicture();
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["CellSize"] = b.v->geometryInfo().CellSize;
}
BENCHMARK(BM_RelayoutWithNumbers)->Unit(benchmark::kMillisecond);

// One move's drawing: the new stone marked, the previous one redrawn plain.
void BM_StnPutMarked(benchmark::State& state) {
    FullBoard b(19, 1260, 1260, true, state.range(0) != 0);
    b.v->relayout();
    int i = 0;
    for (auto _ : state) {
        const int pos = (1 + i % 19) * 21 + 1 + (i / 19) % 19;
        prcStnPut(b.g, pos, 1 + i % 2, 2, *b.v);
        ++i;
    }
    state.counters["CellSize"] = b.v->geometryInfo().CellSize;
}
BENCHMARK(BM_StnPutMarked)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A plain stone drawn and then erased again (two prcStnPut calls per iteration).
void BM_StnPutAndErase(benchmark::State& state) {
    FullBoard b(19, 1260, 1260, true, false);
    for (int c = 1; c <= 19; ++c)
        for (int r = 1; r <= 19; ++r) b.g.Board[c * 21 + r] = 0;
    b.v->relayout();
    int i = 0;
    for (auto _ : state) {
        const int pos = (1 + i % 19) * 21 + 1 + (i / 19) % 19;
        prcStnPut(b.g, pos, 1 + i % 2, 0, *b.v);
        prcStnPut(b.g, pos, 0, 0, *b.v);
        ++i;
    }
}
BENCHMARK(BM_StnPutAndErase)->Unit(benchmark::kMicrosecond);

}  // namespace
