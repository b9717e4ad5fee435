// The whole record on the board: stepping through a 300-move line with its markup and
// variation marks drawn (at the largest board), painting the game-tree pane over a
// 10,000-node tree, and laying out a record of 1,000 variations against opening it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdio>
#include <memory>
#include <string>

#include "formats/SgfReader.h"
#include "game/Engine.h"
#include "record/GameRecord.h"
#include "record/NodeMarkup.h"
#include "record/TreeLayout.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"

using namespace tavrin;

namespace {

// A game of `moves` legal moves from a fixed pseudo-random sequence.
GameState playedGame(int moves) {
    GameState g;
    prcNewSetCore(g, "2026-12-08");
    NullPainter none;
    unsigned seed = 12345;
    for (int played = 0, tries = 0; played < moves && tries < 100000; ++tries) {
        seed = seed * 1103515245u + 12345u;
        const int col = 1 + static_cast<int>((seed >> 16) % 19u);
        seed = seed * 1103515245u + 12345u;
        const int row = 1 + static_cast<int>((seed >> 16) % 19u);
        if (prcHitCore(g, col * g.BoardStride + row, g.SideToMove, none) == HitResult::Legal) ++played;
    }
    return g;
}

// 300 moves, every node with two alternatives to its next move, a triangle, a label and an
// arrow: the board shown at 1260 x 1260 (the largest cells).
struct SteppedRecord {
    GameRecord r;
    std::unique_ptr<BoardView> v;
    explicit SteppedRecord(int side = 1260) {
        GameState g = playedGame(300);
        RecordTree t;
        t.reset(g);
        const int stride = g.BoardStride;
        for (int i = 0; i + 1 < t.mainLineLength(); ++i) {
            const RecordTree::NodeId n = t.mainLineNode(i);
            for (int k = 0; k < 2; ++k) t.addMove(n, 1 + (i + 1) % 2, (2 + k) * stride + 1 + i % 19, 19);
            t.addValue(t.addProperty(n, "TR"), "dd");
            t.addValue(t.addProperty(n, "LB"), "pp:A");
            t.addValue(t.addProperty(n, "AR"), "cc:qq");
        }
        r.adopt(g, t);
        v = std::make_unique<BoardView>(r.state());
        v->resize(side, side);
        v->relayout();
        r.goToIndex(0, *v);
    }
    void show() {
        const RecordTree& t = r.tree();
        v->setMarkup(markupOf(t, r.node(), 19));
        v->setVariationMarks(variationMarksOf(t, r.node(), 19));
    }
};

// One step (forward to the end, then back to the start) and the board's picture painted as
// the window paints it (imgGoban: the picture, then what lies over it): without the marks
// (range 0), with them (1), and with them and the board's complete re-layout at every step,
// as after a resize (2).
void BM_Step(benchmark::State& state) {
    SteppedRecord s;
    QWidget* goban = s.v->findChild<QWidget*>(QStringLiteral("imgGoban"));
    QImage screen(goban->size(), QImage::Format_RGB32);
    bool forward = true;
    for (auto _ : state) {
        if (!(forward ? s.r.next(*s.v) : s.r.back(*s.v))) forward = !forward;
        if (state.range(0) >= 1) s.show();
        if (state.range(0) == 2) s.v->relayout();
        goban->render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.counters["CellSize"] = s.v->geometryInfo().CellSize;
}
BENCHMARK(BM_Step)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One step as the window takes it with 変化図 shown: the board's marks and picture, the shown
// node framed in the tree pane and the pane painted (a step changes nothing of the pane's
// layout: the window lays it out again only after an edit).
void BM_StepWithTreePane(benchmark::State& state) {
    SteppedRecord s(static_cast<int>(state.range(0)));
    QWidget* goban = s.v->findChild<QWidget*>(QStringLiteral("imgGoban"));
    QImage screen(goban->size(), QImage::Format_RGB32);
    GameTreePane pane;
    pane.resize(1000, 130);
    pane.show();
    QImage paneImage(pane.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    pane.setTree(&s.r.tree(), 0);
    bool forward = true;
    for (auto _ : state) {
        if (!(forward ? s.r.next(*s.v) : s.r.back(*s.v))) forward = !forward;
        s.show();
        pane.setCurrent(s.r.node());
        goban->render(&screen);
        pane.viewport()->render(&paneImage);
        benchmark::DoNotOptimize(paneImage.constBits());
    }
    state.counters["nodes"] = pane.layout().nodeCount();
}
// The board's side: the largest board, and the board of the window's first size.
BENCHMARK(BM_StepWithTreePane)->Arg(1260)->Arg(480)->Unit(benchmark::kMillisecond);

// 検索 over a commented record of 5,000 nodes (every node a comment of a line, every tenth a
// name, labels here and there), for a word found in a few.
void BM_Search(benchmark::State& state) {
    RecordTree t;
    t.clear();
    RecordTree::NodeId n = t.addNode(RecordTree::None);
    for (int k = 1; k < 5000; ++k) {
        n = t.addMoveNode(n, k % 2 ? 'B' : 'W', static_cast<char>('a' + k % 19), static_cast<char>('a' + k / 19 % 19));
        t.addValue(t.addProperty(n, "C"),
                   "黒は" + std::to_string(k) + "手目で厚みを築き、白は実利を取りました。Black builds thickness here.");
        if (k % 10 == 0) t.addValue(t.addProperty(n, "N"), "参考図" + std::to_string(k));
        if (k % 7 == 0) t.addValue(t.addProperty(n, "LB"), "dd:A");
        if (k % 997 == 0) t.addValue(t.addProperty(n, "C"), "大悪手");
    }
    size_t found = 0;
    for (auto _ : state) {
        found = searchNodes(t, "大悪手").size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);

// 10,000 nodes: a main line of 5,000 and 250 variations of 20 moves.
RecordTree bigTree() {
    RecordTree t;
    t.clear();
    std::vector<RecordTree::NodeId> line{t.addNode(RecordTree::None)};
    for (int k = 1; k < 5000; ++k)
        line.push_back(t.addMoveNode(line.back(), k % 2 ? 'B' : 'W', static_cast<char>('a' + k % 19), 'c'));
    for (int v = 0; v < 250; ++v) {
        RecordTree::NodeId n = line[static_cast<size_t>(1 + v * 19)];
        for (int k = 0; k < 20; ++k) n = t.addMoveNode(n, k % 2 ? 'B' : 'W', 's', 's');
        if (v % 3 == 0) t.addValue(t.addProperty(n, "C"), "comment");
    }
    return t;
}

void BM_TreePanePaint(benchmark::State& state) {
    const RecordTree t = bigTree();
    GameTreePane pane;
    pane.resize(1200, 400);
    pane.show();
    pane.setTree(&t);
    pane.setCurrent(t.mainLineNode(2500));
    QImage img(pane.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        pane.viewport()->render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["nodes"] = pane.layout().nodeCount();
}
BENCHMARK(BM_TreePanePaint)->Unit(benchmark::kMillisecond);

void BM_TreeLayout10k(benchmark::State& state) {
    const RecordTree t = bigTree();
    TreeLayout l;
    for (auto _ : state) {
        l.build(t, 0);
        benchmark::DoNotOptimize(l.rows());
    }
    state.counters["rows"] = l.rows();
}
BENCHMARK(BM_TreeLayout10k)->Unit(benchmark::kMillisecond);

// A record of 300 moves and 1,000 variations (four of five moves beside each of the first
// 250 moves), as SGF text.
std::string thousandVariations() {
    const GameState g = playedGame(300);
    const auto move = [&](int colour, int column, int row) {
        return std::string(colour == Black ? ";B[" : ";W[") + static_cast<char>('a' + column - 1) +
               static_cast<char>('a' + row - 1) + "]";
    };
    const auto mainMove = [&](int k) {
        const int pos = g.MovePos[static_cast<size_t>(k)];
        return move(g.MoveColor[static_cast<size_t>(k)], pos / g.BoardStride, pos % g.BoardStride);
    };
    std::string inner;
    for (int k = 251; k <= 300; ++k) inner += mainMove(k);
    for (int k = 250; k >= 1; --k) {
        std::string branch = "(" + mainMove(k) + inner + ")";
        for (int v = 0; v < 4; ++v) {
            branch += "(";
            for (int m = 0; m < 5; ++m)
                branch += move((g.MoveColor[static_cast<size_t>(k)] + m + 1) % 2 + 1, 14 + m, 1 + v);
            branch += ")";
        }
        inner = std::move(branch);
    }
    return "(;GM[1]FF[4]SZ[19]" + inner + ")";
}

void BM_OpenThousandVariations(benchmark::State& state) {
    // From a file, as the window opens it: read, scan into the tree, the game taken over.
    const std::string path = "/tmp/tavrin-bench-variations.sgf";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const std::string text = thousandVariations();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    TextBuffer buf;
    for (auto _ : state) {
        GameState g;
        prcNewSetCore(g, "2026-12-08");
        RecordTree t;
        const LoadResult r = fncFileReadSGF(g, buf, path, &t);
        if (!r.ok()) state.SkipWithError(r.reason.c_str());
        state.counters["nodes"] = static_cast<double>(t.nodeCount());
        GameRecord record;
        record.adopt(g, std::move(t));
        benchmark::DoNotOptimize(record.node());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_OpenThousandVariations)->Unit(benchmark::kMillisecond);

void BM_LayoutThousandVariations(benchmark::State& state) {
    TextBuffer buf;
    buf.setText(thousandVariations());
    GameState g;
    prcNewSetCore(g, "2026-12-08");
    RecordTree t;
    if (!fncStringsToKif(g, buf, "", &t).ok()) state.SkipWithError("not read");
    TreeLayout l;
    for (auto _ : state) {
        l.build(t, 0);
        benchmark::DoNotOptimize(l.rows());
    }
    state.counters["nodes"] = l.nodeCount();
    state.counters["rows"] = l.rows();
}
BENCHMARK(BM_LayoutThousandVariations)->Unit(benchmark::kMillisecond);

}  // namespace
