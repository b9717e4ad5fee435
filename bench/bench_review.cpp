// 棋譜解析 with GNU Go at the review's level: the first 250 moves of a professional game (251
// positions) judged in two processes, then in one, while a 1 ms timer measures the event loop's
// largest gap between turns. Prints seconds and milliseconds; goals: 30 s and 30 ms (two
// processes). Skips without GNU Go or the record.
// Usage: bench_review [record] [moves]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/LoopGaps.h"
#include "engine/GameReview.h"
#include "formats/RecordFile.h"

using namespace tavrin;

namespace {

struct Figures {
    double seconds = 0;
    double largestGapMs = 0;
    int judged = 0;
    bool complete = false;
    QString message;
};

Figures review(const gtp::Game& game, int processes) {
    GameReview r;
    Figures f;
    QEventLoop loop;
    bench::LoopGaps gaps([&](double gap) { f.largestGapMs = std::max(f.largestGapMs, gap); });
    QObject::connect(&r, &GameReview::judged, [&] { ++f.judged; });
    QObject::connect(&r, &GameReview::finished, [&](bool complete, const QString& message) {
        f.complete = complete;
        f.message = message;
        loop.quit();
    });
    gaps.start();
    r.start(game, {QStringLiteral("/usr/games/gnugo"), QStringLiteral("--mode"), QStringLiteral("gtp")},
            GameReview::DefaultLevel, processes);
    loop.exec();
    f.seconds = gaps.elapsedMs() / 1000;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string path = argc > 1 ? argv[1] : TAVRIN_CORPUS_DIR "/sjis_transcoded/fox_6p_1507251871010001523.sgf";
    const int moves = argc > 2 ? std::atoi(argv[2]) : 250;
    GameState g;
    TextBuffer buf;
    if (!QFile::exists(QStringLiteral("/usr/games/gnugo")) || !readRecordFile(g, buf, path).ok() ||
        g.MoveCount < moves) {
        std::printf("skipped: GNU Go or %s (%d moves) missing\n", path.c_str(), moves);
        return 0;
    }
    const gtp::Game game = gtp::gameOf(g, moves);
    bool ok = true;
    for (const int processes : {2, 1}) {
        const Figures f = review(game, processes);
        std::printf("%d moves, %d process%s: %d positions judged in %6.2f s, largest gap %5.2f ms%s%s\n", moves,
                    processes, processes == 1 ? "" : "es", f.judged, f.seconds, f.largestGapMs,
                    f.complete ? "" : "  FAILED: ", f.complete ? "" : f.message.toUtf8().constData());
        if (processes == 2) ok = f.complete && f.seconds <= 30 && f.largestGapMs <= 30;
    }
    return ok ? 0 : 1;
}
