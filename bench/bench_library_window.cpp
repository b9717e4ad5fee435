// The window while the library is indexed in the background: the largest gap between turns
// of the event loop, measured by a 1 ms timer's lateness, while a folder of records is read
// from nothing and then brought up to date from the cache; then how long stopping takes (as
// closing the window or new folders do) at moments all through a run over a large folder:
// COPIES links to each record of the folder, walked, read and cached from nothing, and
// loaded from the cache.
//   bench_library_window [FOLDER [COPIES]]   (default ../shared/corpus beside the sources, 200)
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/LibraryIndexer.h"
#include "app/TfrmMain.h"
#include "library/LibraryIndex.h"
#include "tests/support/MainWindowAccess.h"
#include "view/Prompts.h"

using namespace tavrin;

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TAVRIN_SOURCE_DIR "/../shared/corpus");
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
        w.prefs.LibraryFolders = {folder};
        clock.start();
        tick.start();
        inside(w).startLibraryIndexing();
        if (!QTest::qWaitFor([&] { return !w.ui.libraryIndexer->running(); }, 120000)) {
            std::printf("indexing did not end within two minutes\n");
            return 1;
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        tick.stop();
        std::printf("%-15s %6d games in %7.1f ms, largest event-loop gap %.1f ms\n", round,
                    inside(w).Library->indexedCount(), ms, worst / 1e6);
    }

    // A large folder: the records again and again, as links.
    const int copies = argc > 2 ? std::atoi(argv[2]) : 200;
    const QString large = dir.path() + "/large";
    QStringList records;
    for (QDirIterator it(folder, {"*.sgf", "*.SGF", "*.ngf", "*.NGF"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        records << it.next();
    for (int c = 0; c < copies; ++c) {
        const QString sub = large + QStringLiteral("/%1").arg(c);
        QDir().mkpath(sub);
        for (int i = 0; i < records.size(); ++i)
            QFile::link(records[i], sub + QStringLiteral("/%1.%2").arg(i).arg(QFileInfo(records[i]).suffix()));
    }
    w.prefs.LibraryFolders = {large};
    const QString cache = TfrmMain::libraryCachePath();
    QFile::remove(cache);
    QElapsedTimer whole;
    whole.start();
    inside(w).startLibraryIndexing();
    if (!QTest::qWaitFor([&] { return !w.ui.libraryIndexer->running(); }, 600000)) return 1;
    const double fullMs = whole.nsecsElapsed() / 1e6;
    std::printf("large folder    %6d games in %7.1f ms (%d links)\n", inside(w).Library->indexedCount(), fullMs,
                copies * static_cast<int>(records.size()));
    for (const char* from : {"from nothing", "from the cache"}) {
        double worst = 0;
        int stops = 0;
        for (double share = 0; share <= 1.0; share += 0.05) {
            if (std::string(from) == "from nothing") QFile::remove(cache);
            inside(w).startLibraryIndexing();
            QTest::qWait(static_cast<int>(share * fullMs));
            QElapsedTimer stop;
            stop.start();
            inside(w).stopLibraryIndexing();
            worst = std::max(worst, stop.nsecsElapsed() / 1e6);
            ++stops;
            // A run the window left behind ends by itself; the next one starts on a quiet disk.
            QTest::qWait(50);
        }
        std::printf("stopping %-14s longest wait of %d stops through a run: %.1f ms\n", from, stops, worst);
        if (std::string(from) == "from nothing") {
            inside(w).startLibraryIndexing();
            if (!QTest::qWaitFor([&] { return !w.ui.libraryIndexer->running(); }, 600000)) return 1;
        }
    }
    w.close();
    return 0;
}
