// Engine throughput: the legality check in random play, replaying a record the way the
// record readers do, new-game set-up, and jumps through a long record.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "game/Engine.h"
#include "record/GameRecord.h"

using namespace tavrin;

namespace {

GameState newGame(int size) {
    GameState g;
    g.BoardSize = size;
    prcNewSetCore(g, "2024-05-01");
    return g;
}

// Random points of a 19 x 19 board, drawn once so the loop measures the engine, not the RNG.
std::vector<int> randomPoints(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> line(1, 19);
    std::vector<int> pts(count);
    for (int& p : pts) p = line(rng) * 21 + line(rng);
    return pts;
}

// A legal random game of the given length (passes when no point is found).
GameState randomGame(int moves, unsigned seed) {
    GameState g = newGame(19);
    NullPainter p;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> line(1, 19);
    while (g.MoveCount < moves) {
        HitResult r = HitResult::Occupied;
        for (int tries = 0; tries < 50 && r != HitResult::Legal; ++tries)
            r = prcHitCore(g, line(rng) * 21 + line(rng), g.SideToMove, p);
        if (r != HitResult::Legal) prcHitCore(g, PassPos, g.SideToMove, p);
    }
    return g;
}

// Random play on 19 x 19: every try goes through fncHitCheck; legal ones are played.
void BM_HitCheckRandomPlay(benchmark::State& state) {
    const std::vector<int> pts = randomPoints(1 << 16, 7);
    NullPainter p;
    GameState g = newGame(19);
    size_t next = 0;
    int64_t checks = 0, moves = 0;
    for (auto _ : state) {
        if (g.MoveCount >= 400) prcNewSetCore(g, "2024-05-01");
        const int pos = pts[next++ & (pts.size() - 1)];
        ++checks;
        if (prcHitCore(g, pos, g.SideToMove, p) == HitResult::Legal) ++moves;
    }
    state.counters["checks/s"] = benchmark::Counter(static_cast<double>(checks), benchmark::Counter::kIsRate);
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HitCheckRandomPlay);

// What a record reader does per record: set up a new game, then check, place and book
// every move of a 250-move record.
void BM_ReplayRecord(benchmark::State& state) {
    const GameState rec = randomGame(250, 11);
    NullPainter p;
    GameState g = newGame(19);
    for (auto _ : state) {
        prcNewSetCore(g, "2024-05-01");
        for (int k = 1; k <= rec.MoveCount; ++k) {
            const int pos = rec.MovePos[k];
            const int colour = rec.MoveColor[k];
            if (fncHitCheck(g, pos, colour, p) != HitResult::Legal) state.SkipWithError("refused");
            prcStnPut(g, pos, colour, k == rec.MoveCount ? 2 : 0, p);
            g.MovePos[k] = pos;
            g.MoveColor[k] = colour;
            ++g.CurrentMove;
        }
        g.MoveCount = rec.MoveCount;
        benchmark::DoNotOptimize(g.Board.data());
    }
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["moves/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * rec.MoveCount), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayRecord);

void BM_NewGameSetUp(benchmark::State& state) {
    GameState g = newGame(19);
    const int sizes[] = {19, 13, 9};
    int i = 0;
    for (auto _ : state) {
        g.BoardSize = sizes[i++ % 3];
        prcNewSetCore(g, "2024-05-01");
        benchmark::DoNotOptimize(g.Board.data());
    }
}
BENCHMARK(BM_NewGameSetUp);

// Jump from the end of a 300-move record to the start and back to the end.
void BM_JumpFirstLast(benchmark::State& state) {
    GameState g = randomGame(300, 23);
    NullPainter p;
    for (auto _ : state) {
        prcKifBack(g, 1, p);
        prcKifNext(g, g.MoveCount + 1, p);
        benchmark::DoNotOptimize(g.Board.data());
    }
    state.counters["captured"] = g.CapturedCount[1] + g.CapturedCount[2];
    state.counters["jumps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_JumpFirstLast);

}  // namespace

BENCHMARK_MAIN();

// One step forward and one back on the record's cursor, in a 300-move game with a
// variation every 30 moves: the cost of a replay step of the window.
void BM_RecordStepForwardBack(benchmark::State& state) {
    GameState g = randomGame(300, 11);
    GameRecord r;
    r.adopt(g);
    NullPainter p;
    // Variations: another move beside every thirtieth one.
    for (int k = 30; k <= 300; k += 30) {
        r.goToMove(k - 1, p);
        for (int pos = 22; pos < 400; ++pos)
            if (r.state().Board[static_cast<size_t>(pos)] == 0 &&
                r.play(r.state().SideToMove, pos, p) == HitResult::Legal)
                break;
    }
    r.goTo(r.tree().mainLineNode(150), p);
    for (auto _ : state) {
        r.next(p);
        r.back(p);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_RecordStepForwardBack);
