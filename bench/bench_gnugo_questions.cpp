// What Rokiru's questions cost with GNU Go at 上級 (--level 8), on a resigned 155-move title game:
// 形勢判断 from a second process while the first one chooses a move at move 120 (of that position,
// the second process started for it; then of move 100, the process running), and the dead stones
// after the last move as counting asks them (at level 1). Prints seconds; skips without GNU Go or the record.
// Usage: bench_gnugo_questions [record]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "engine/Rokiru.h"
#include "formats/RecordFile.h"
#include "game/Engine.h"

using namespace tavrin;

namespace {

// Runs the event loop until done() or limitMs; the seconds it took, -1 past the limit.
double secondsUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return clock.elapsed() / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string path = argc > 1 ? argv[1] : TAVRIN_CORPUS_DIR "/pro/kombilo/Gosei-Gos23-T17.sgf";
    GameState end;
    end.BoardSize = 19;
    prcNewSetCore(end, "2026-01-01");
    TextBuffer buf;
    if (!QFile::exists(QStringLiteral("/usr/games/gnugo")) || !readRecordFile(end, buf, path).ok()) {
        std::printf("skipped: GNU Go or %s missing\n", path.c_str());
        return 0;
    }
    GameState mid = end;
    NullPainter p;
    prcKifBack(mid, 121, p);
    const EngineSettings s = defaultEngineSettings();

    Rokiru mover, judge, counter;
    for (Rokiru* r : {&mover, &judge, &counter}) r->configure(s, 2);
    bool moved = false, judged = false, counted = false;
    std::size_t deadCount = 0;
    QObject::connect(&mover, &Rokiru::moveChosen, [&] { moved = true; });
    QObject::connect(&judge, &Rokiru::estimateChosen, [&] { judged = true; });
    QObject::connect(&counter, &Rokiru::statusChosen, [&](const std::vector<int>& dead, const std::vector<int>&) {
        deadCount = dead.size();
        counted = true;
    });
    for (Rokiru* r : {&mover, &judge, &counter})
        QObject::connect(r, &Rokiru::failed, [](const QString& why) { std::printf("failed: %s\n", qPrintable(why)); });

    mover.requestMove(mid, mid.SideToMove);
    for (const int move : {120, 100}) {
        GameState shown = mid;
        prcKifBack(shown, move + 1, p);
        judged = false;
        judge.requestEstimate(shown);
        const double t = secondsUntil([&] { return judged; }, 60000);
        std::printf("judgement of move %d, second process %-14s %6.2f s (first process still thinking: %s)\n", move,
                    move == 120 ? "started for it" : "running", t, moved ? "no" : "yes");
    }
    std::printf("the move at 上級                                      %6.2f s more\n",
                secondsUntil([&] { return moved; }, 120000));

    counter.requestDeadStones(end);
    const double t = secondsUntil([&] { return counted; }, 120000);
    std::printf("dead stones after move %d (level 1)                  %6.2f s, %zu stones\n", end.MoveCount, t,
                deadCount);
    return 0;
}
