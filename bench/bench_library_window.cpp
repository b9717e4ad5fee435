// The window while the library is indexed in the background: the largest gap between turns
// of the event loop, measured by a 1 ms timer's lateness, while a folder of records is read
// from nothing and then brought up to date from the cache.
//   bench_library_window [FOLDER]   (default ../shared/corpus beside the sources)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Prompts.h"
#include "app/TfrmMain.h"
#include "library/LibraryIndex.h"

using namespace tavrin;

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TAVRIN_SOURCE_DIR "/../shared/corpus");
    QtPrompts prompts;
    MainOptions o;
    o.settingsPath = dir.path() + "/Tavrin.Ini";
    o.engineLookup = false;
    TfrmMain w(prompts, o);
    w.show();
    QApplication::processEvents();
    for (const char* round : {"from nothing", "from the cache"}) {
        QElapsedTimer clock;
        qint64 last = 0, worst = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            worst = std::max(worst, now - last);
            last = now;
        });
        w.LibraryFolders = {folder};
        clock.start();
        tick.start();
        w.startLibraryIndexing();
        if (!QTest::qWaitFor([&] { return !w.libraryIndexing(); }, 120000)) {
            std::printf("indexing did not end within two minutes\n");
            return 1;
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        tick.stop();
        std::printf("%-15s %6d games in %7.1f ms, largest event-loop gap %.1f ms\n", round,
                    w.Library->indexedCount(), ms, worst / 1e6);
    }
    w.close();
    return 0;
}
