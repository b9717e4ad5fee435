// Opening a record of 1,000 variations in the window, with 変化図 hidden and shown: the
// median time from the read to the window's first picture of the record.
//   bench_variations_window [RUNS]   (default 30)
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/TfrmMain.h"
#include "tests/support/MainWindowAccess.h"
#include "view/Prompts.h"

using namespace tavrin;

namespace {

std::string point(int col, int row) { return {static_cast<char>('a' + col - 1), static_cast<char>('a' + row - 1)}; }

// A main line of 180 moves (black on the left of the top rows, white on the right: nothing is
// captured) and 1,000 three-move variations on the empty lower rows, about six a node.
std::string thousandVariations() {
    std::vector<std::string> main;
    for (int row = 1; row <= 10; ++row)
        for (int col = 1; col <= 9; ++col) {
            main.push_back("B[" + point(col, row) + "]");
            main.push_back("W[" + point(col + 10, row) + "]");
        }
    const std::string sgf = "(;GM[1]FF[4]SZ[19]";
    int made = 0;
    const int nodes = static_cast<int>(main.size());
    // Built from the end: each node's variations follow its move, then the rest of the line.
    std::vector<std::string> parts(static_cast<size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        std::string alternatives;
        const int count = 1000 / nodes + (i < 1000 % nodes ? 1 : 0);
        for (int v = 0; v < count; ++v, ++made) {
            const char mover = (i % 2 == 0) ? 'W' : 'B', other = mover == 'B' ? 'W' : 'B';
            const int base = (made * 3) % 133;
            alternatives += "(;" + std::string(1, mover) + "[" + point(1 + base % 19, 13 + base / 19) + "];" + other +
                            "[" + point(1 + (base + 1) % 19, 13 + (base + 1) / 19) + "];" + mover + "[" +
                            point(1 + (base + 2) % 19, 13 + (base + 2) / 19) + "])";
        }
        parts[static_cast<size_t>(i)] = alternatives;
    }
    std::string line;
    for (int i = nodes - 1; i >= 0; --i)
        line = "(;" + main[static_cast<size_t>(i)] + line + parts[static_cast<size_t>(i)] + ")";
    return sgf + line + ")";
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    const QString path = dir.path() + "/variations.sgf";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(QByteArray::fromStdString(thousandVariations()));
    }
    QtPrompts prompts;
    MainOptions o;
    o.settingsPath = dir.path() + "/Tavrin.Ini";
    o.engineLookup = false;
    // Two windows, one with the pane: their opens alternate, after one of each to warm up,
    // so the machine's load falls on both alike.
    TfrmMain plain(prompts, o), withPane(prompts, o);
    TfrmMain* windows[2] = {&plain, &withPane};
    for (TfrmMain* w : windows) {
        w->resize(1000, 760);
        w->show();
    }
    withPane.ui.actDispTree->trigger();
    QApplication::processEvents();
    std::vector<double> ms[2];
    for (int k = -1; k < runs; ++k) {
        for (const bool pane : {false, true}) {
            QElapsedTimer clock;
            clock.start();
            if (!inside(*windows[pane]).fncFileReadSGF(path)) return 1;
            QApplication::processEvents();  // the pane and the board paint
            if (k >= 0) ms[pane].push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    double medians[2] = {0, 0};
    for (const bool pane : {false, true}) {
        std::sort(ms[pane].begin(), ms[pane].end());
        medians[pane] = ms[pane][ms[pane].size() / 2];
        std::printf("open with 変化図 %s: median %.2f ms over %d runs (%zu nodes)\n", pane ? "shown " : "hidden",
                    medians[pane], runs, plain.Tree().nodeCount());
    }
    std::printf("shown / hidden: %.2f (limit 2.00)\n", medians[1] / medians[0]);
    return 0;
}
