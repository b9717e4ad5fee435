// The record's edits in study and in the board editor, each with the snapshot the history
// takes before it, on a 300-move record with 100 variations (five moves each, from every
// third node of the main line), shown at move 150; undo and redo; the snapshot alone. Every
// edit should stay well under a millisecond.
#include <benchmark/benchmark.h>

#include <random>

#include "record/GameRecord.h"
#include "record/RecordHistory.h"
#include "tests/support/RandomGame.h"

using namespace tavrin;

namespace {

using NodeId = RecordTree::NodeId;

struct Study {
    GameRecord r;
    RecordHistory h;
    NullPainter none;
    Study() {
        r.adopt(test::randomGame(300, 300));
        std::mt19937 rng(100);
        for (int v = 0; v < 100; ++v) {
            r.goTo(r.tree().mainLineNode(3 * v + 1), none);
            for (int played = 0, tries = 0; played < 5 && tries < 500; ++tries) {
                const int pos = static_cast<int>(1 + rng() % 19) * 21 + static_cast<int>(1 + rng() % 19);
                played += r.play(r.state().SideToMove, pos, none) == HitResult::Legal;
            }
        }
        r.goTo(r.tree().mainLineNode(r.tree().nodeOfMove(150)), none);
        h.clear();
    }
    // An empty point far from the shown position's last move.
    int emptyPoint() const {
        for (int pos = 22;; ++pos)
            if (r.state().Board[static_cast<size_t>(pos)] == 0) return pos;
    }
};

void counters(benchmark::State& state, const Study& s) {
    state.counters["nodes"] = static_cast<double>(s.r.tree().nodeCount());
    state.counters["history_KB"] = static_cast<double>(s.h.memoryBytes()) / 1024.0;
}

void BM_Snapshot(benchmark::State& state) {
    Study s;
    for (auto _ : state) benchmark::DoNotOptimize(s.r.snapshot());
    state.counters["tree_KB"] = static_cast<double>(s.r.tree().memoryBytes()) / 1024.0;
}

// A stone set and taken away again at the shown node, or at the root (the start stones
// change and every move's entry with them).
void BM_SetupStone(benchmark::State& state) {
    Study s;
    if (state.range(0) == 0) s.r.goToIndex(0, s.none);
    const int pos = s.emptyPoint();
    int colour = Black;
    for (auto _ : state) {
        s.h.remember(s.r);
        if (!s.r.setSetupStone(pos, colour, s.none)) state.SkipWithError("setup refused");
        colour = colour == Black ? 0 : Black;
    }
    counters(state, s);
}

void BM_ToggleMark(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    for (auto _ : state) {
        s.h.remember(s.r);
        s.r.toggleMark(pos, MarkShape::Triangle);
    }
    counters(state, s);
}

// The second line at the node after the shown one made the main line (the two swap each
// time), or moved up a place.
void BM_PromoteAndMove(benchmark::State& state) {
    Study s;
    const NodeId branch = s.r.tree().mainLineNode(s.r.tree().nodeOfMove(151));
    const bool promote = state.range(0) == 1;
    for (auto _ : state) {
        const NodeId second = s.r.tree().child(branch, 1);
        s.h.remember(s.r);
        promote ? s.r.promote(second, s.none) : s.r.moveVariation(second, -1, s.none);
    }
    if (s.r.tree().childCount(branch) != 2 || !s.h.canUndo()) state.SkipWithError("nothing moved");
    counters(state, s);
}

// A study move played at the shown node and taken back (待った in study: the leaf deleted).
void BM_StudyMoveAndTakeBack(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    for (auto _ : state) {
        s.h.remember(s.r);
        s.r.play(s.r.state().SideToMove, pos, s.none);
        s.h.remember(s.r);
        s.r.deleteNode(s.r.node(), s.none);
    }
    counters(state, s);
}

// A variation of five moves deleted, then the deletion undone.
void BM_DeleteAndUndo(benchmark::State& state) {
    Study s;
    const NodeId parent = s.r.tree().mainLineNode(s.r.tree().nodeOfMove(100));
    for (auto _ : state) {
        s.h.remember(s.r);
        s.r.deleteNode(s.r.tree().child(parent, 1), s.none);
        s.h.undo(s.r, s.none);
    }
    counters(state, s);
}

void BM_UndoRedo(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    s.h.remember(s.r);
    s.r.setSetupStone(pos, White, s.none);
    for (auto _ : state) {
        s.h.undo(s.r, s.none);
        s.h.redo(s.r, s.none);
    }
    counters(state, s);
}

}  // namespace

BENCHMARK(BM_Snapshot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetupStone)->Arg(0)->Arg(150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ToggleMark)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PromoteAndMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StudyMoveAndTakeBack)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteAndUndo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);
