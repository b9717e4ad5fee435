// Kifu figure timings: all figures of a 300-move record to a PDF file (budget 300 ms), one
// figure painted at the window's size 1032 x 776 and the window's answer to a played move
// (budget 8 ms, the board's re-layout budget).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "tests/support/RandomGame.h"
#include "view/KifuFigure.h"
#include "view/KifuWindow.h"

using namespace tavrin;

namespace {

const GameState& record300() {
    static const GameState g = test::randomGame(300, 300);
    return g;
}

void BM_AllFiguresToPdf(benchmark::State& state) {
    const int per = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kifu.pdf"));
    for (auto _ : state) {
        const KifuFigureDrawing d(record300(), cutKifuFigures(record300(), per, false));
        if (!d.writePdf(path, 1)) state.SkipWithError("PDF not written");
    }
}
BENCHMARK(BM_AllFiguresToPdf)->Arg(100)->Arg(50)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FigurePaint(benchmark::State& state) {
    const KifuFigureDrawing d(record300(), cutKifuFigures(record300(), static_cast<int>(state.range(0)), false));
    QImage img(1032, 776, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        d.paint(p, QRectF(0, 0, img.width(), img.height()), d.count());
    }
}
BENCHMARK(BM_FigurePaint)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond);

// A move played while the window shows: the record is cut anew and the window repainted.
void BM_WindowFollowsAMove(benchmark::State& state) {
    GameState g = record300();
    KifuWindow w(g);
    w.resize(1032, 776);
    w.show();
    QImage img(w.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        w.followRecord();
        w.render(&img);
    }
}
BENCHMARK(BM_WindowFollowsAMove)->Unit(benchmark::kMillisecond);

}  // namespace
