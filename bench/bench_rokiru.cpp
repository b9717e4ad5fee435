// How long the event loop stalls while Rokiru waits for an engine: a 1 ms timer notes the time
// between its turns while the scripted engine takes 2 s a move. Prints the largest gap per run;
// the aim is under 30 ms. A first run without any engine shows what the machine's own load
// adds. Usage: bench_rokiru [moves per run, default 3]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/LoopGaps.h"
#include "engine/Rokiru.h"
#include "game/Engine.h"

using namespace tavrin;

namespace {

struct Figures {
    double largestGapMs = 0;  // over the whole run, the engine's start included
    double laterGapMs = 0;    // after the first answer (the start left out)
    long turns = 0;
    double totalMs = 0;
    int moves = 0;
    QString failure;
};

// Moves of the scripted engine started with options; with none, the timer alone for 2 s.
Figures run(const QString& options, int moves) {
    Rokiru rokiru;
    EngineSettings s;
    s.commandLine = QStringLiteral(TAVRIN_FAKE_GTP) + u' ' + options;
    s.moveSeconds = 30;
    rokiru.configure(s, 0);
    GameState g;
    g.BoardSize = 19;
    prcNewSetCore(g, "2026-01-01");

    Figures f;
    QEventLoop loop;
    bench::LoopGaps gaps([&](double gap) {
        ++f.turns;
        f.largestGapMs = std::max(f.largestGapMs, gap);
        if (f.moves > 0) f.laterGapMs = std::max(f.laterGapMs, gap);
    });
    QObject::connect(&rokiru, &Rokiru::moveChosen, [&](EngineMove m, bool) {
        NullPainter p;
        prcHitCore(g, m.kind == EngineMove::Point ? m.pos : PassPos, g.SideToMove, p);
        if (++f.moves == moves) return loop.quit();
        rokiru.requestMove(g, g.SideToMove);
    });
    QObject::connect(&rokiru, &Rokiru::failed, [&](const QString& why) {
        f.failure = why;
        loop.quit();
    });
    QTimer::singleShot(moves * 2000 + 20000, &loop, [&] {
        f.failure = QStringLiteral("no answer in time");
        loop.quit();
    });
    gaps.start();
    if (options.isEmpty()) {
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    } else {
        rokiru.requestMove(g, g.SideToMove);
    }
    loop.exec();
    f.totalMs = gaps.elapsedMs();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int moves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const Figures idle = run(QString(), 0);
    std::printf("no engine, timer alone            %7.0f ms, %6ld loop turns, largest gap %5.2f ms\n", idle.totalMs,
                idle.turns, idle.largestGapMs);
    const char* runs[] = {"--slow 2000", "--slow 2000 --stderr-spam"};
    bool ok = true;
    for (const char* options : runs) {
        const Figures f = run(QString::fromLatin1(options), moves);
        std::printf(
            "fake_gtp %-26s%d moves in %7.0f ms, %6ld loop turns, largest gap %5.2f ms "
            "(after the start %5.2f ms)%s\n",
            options, f.moves, f.totalMs, f.turns, f.largestGapMs, f.laterGapMs,
            f.largestGapMs < 30.0 ? "" : "  ABOVE 30 ms");
        if (!f.failure.isEmpty()) std::printf("  failed: %s\n", qPrintable(f.failure));
        ok = ok && f.failure.isEmpty() && f.largestGapMs < 30.0;
    }
    return ok ? 0 : 1;
}
