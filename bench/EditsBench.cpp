// The record's edits in study and in the board editor, each a step of the record's history,
// on a 300-move record with 100 variations (five moves each, from every third node of the
// main line), shown at move 150; undo and redo. Every edit should stay well under a
// millisecond. Then 300 edits of a record of 5,000 commented nodes: the history they leave
// (at most 5 MB) and the time of an edit and of an undo there (at most 1 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "record/GameRecord.h"
#include "tests/support/RandomGame.h"

using namespace tavrin;

namespace {

using NodeId = RecordTree::NodeId;

struct Study {
    GameRecord r;
    NullPainter none;
    // variations of five moves; comment: bytes of a comment on every node.
    explicit Study(int variations = 100, size_t comment = 0) {
        r.adopt(test::randomGame(300, 300));
        std::mt19937 rng(100);
        for (int v = 0; v < variations; ++v) {
            r.goTo(r.tree().mainLineNode((3 * v) % 290 + 1), none);
            for (int played = 0, tries = 0; played < 5 && tries < 500; ++tries) {
                const int pos = static_cast<int>(1 + rng() % 19) * 21 + static_cast<int>(1 + rng() % 19);
                played += r.play(r.state().SideToMove, pos, none) == HitResult::Legal;
            }
        }
        if (comment > 0)
            for (RecordTree::NodeId n = 0; n < r.tree().nodeCount(); ++n)
                r.setNodeComment(n, std::string(comment, 'x') + std::to_string(n));
        // A history of its own, as a record just read has.
        const RecordTree tree = r.tree();
        r.adopt(r.mainLineState(), tree);
        r.goTo(r.tree().mainLineNode(r.tree().nodeOfMove(150)), none);
    }
    // An empty point far from the shown position's last move.
    int emptyPoint() const {
        for (int pos = 22;; ++pos)
            if (r.state().Board[static_cast<size_t>(pos)] == 0) return pos;
    }
};

void counters(benchmark::State& state, const Study& s) {
    state.counters["nodes"] = static_cast<double>(s.r.tree().nodeCount());
    state.counters["history_KB"] = static_cast<double>(s.r.historyBytes()) / 1024.0;
}

// A stone set and taken away again at the shown node, or at the root (the start stones
// change and every move's entry with them).
void BM_SetupStone(benchmark::State& state) {
    Study s;
    if (state.range(0) == 0) s.r.goToIndex(0, s.none);
    const int pos = s.emptyPoint();
    int colour = Black;
    for (auto _ : state) {
        if (!s.r.setSetupStone(pos, colour, s.none)) state.SkipWithError("setup refused");
        colour = colour == Black ? 0 : Black;
    }
    counters(state, s);
}

void BM_ToggleMark(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    for (auto _ : state) {
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
        promote ? s.r.promote(second, s.none) : s.r.moveVariation(second, -1, s.none);
    }
    if (s.r.tree().childCount(branch) != 2 || !s.r.canUndo()) state.SkipWithError("nothing moved");
    counters(state, s);
}

// A study move played at the shown node and taken back (待った in study: the leaf deleted).
void BM_StudyMoveAndTakeBack(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    for (auto _ : state) {
        s.r.play(s.r.state().SideToMove, pos, s.none);
        s.r.deleteNode(s.r.node(), s.none);
    }
    counters(state, s);
}

// A variation of five moves deleted, then the deletion undone.
void BM_DeleteAndUndo(benchmark::State& state) {
    Study s;
    const NodeId parent = s.r.tree().mainLineNode(s.r.tree().nodeOfMove(100));
    for (auto _ : state) {
        s.r.deleteNode(s.r.tree().child(parent, 1), s.none);
        s.r.undo(s.none);
    }
    counters(state, s);
}

void BM_UndoRedo(benchmark::State& state) {
    Study s;
    const int pos = s.emptyPoint();
    s.r.setSetupStone(pos, White, s.none);
    for (auto _ : state) {
        s.r.undo(s.none);
        s.r.redo(s.none);
    }
    counters(state, s);
}

// 300 edits of a record of 5,000 nodes, each with a comment of 200 bytes: setup stones,
// marks, comments, study moves and deletions at nodes all over the tree, then every one
// undone. Counters: the history the edits leave, and the time of an edit and of an undo.
void BM_History300Edits(benchmark::State& state) {
    Study s(940, 200);
    std::mt19937 rng(300);
    double editSeconds = 0, undoSeconds = 0;
    size_t historyBytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < 300; ++k) {
            s.r.goTo(static_cast<NodeId>(rng() % s.r.tree().nodeCount()), s.none);
            const int pos = s.emptyPoint() + static_cast<int>(rng() % 3);
            switch (k % 5) {
                case 0: s.r.setSetupStone(s.emptyPoint(), Black, s.none); break;
                case 1: s.r.toggleMark(pos, MarkShape::Circle); break;
                case 2: s.r.setNodeComment(s.r.node(), "検討 " + std::to_string(k)); break;
                case 3: s.r.play(s.r.state().SideToMove, s.emptyPoint(), s.none); break;
                default:
                    if (s.r.node() != s.r.tree().gameRoot(0)) s.r.deleteNode(s.r.node(), s.none);
                    break;
            }
        }
        const auto edited = std::chrono::steady_clock::now();
        historyBytes = s.r.historyBytes();
        int undos = 0;
        while (s.r.canUndo()) s.r.undo(s.none), ++undos;
        const auto undone = std::chrono::steady_clock::now();
        editSeconds = std::chrono::duration<double>(edited - start).count() / 300;
        undoSeconds = std::chrono::duration<double>(undone - edited).count() / std::max(undos, 1);
        while (s.r.canRedo()) s.r.redo(s.none);
        while (s.r.canUndo()) s.r.undo(s.none);
    }
    state.counters["nodes"] = static_cast<double>(s.r.tree().nodeCount());
    state.counters["tree_KB"] = static_cast<double>(s.r.tree().memoryBytes()) / 1024.0;
    state.counters["history_KB"] = static_cast<double>(historyBytes) / 1024.0;
    state.counters["edit_us"] = editSeconds * 1e6;
    state.counters["undo_us"] = undoSeconds * 1e6;
}

}  // namespace

BENCHMARK(BM_History300Edits)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SetupStone)->Arg(0)->Arg(150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ToggleMark)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PromoteAndMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StudyMoveAndTakeBack)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteAndUndo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);
