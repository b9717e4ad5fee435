// Renders 棋譜ウィンドウ at two sizes to PNG files for looking at it by eye:
//   kifu_shots [folder] [record.sgf]   (default /tmp/kifu-shots, a random 250-move game)
// Not a test; built on demand (target kifu_shots).
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "formats/RecordFile.h"
#include "tests/support/RandomGame.h"
#include "view/KifuWindow.h"

using namespace tavrin;

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kifu-shots");
    QDir().mkpath(dir);
    GameState g = test::randomGame(250, 3);
    if (argc > 2) {
        TextBuffer buf;
        const LoadResult r = readRecordFile(g, buf, argv[2]);
        if (!r.ok()) {
            std::fprintf(stderr, "%s: %s\n", argv[2], r.reason.c_str());
            return 1;
        }
    }
    KifuWindow w(g);
    w.setSaveChooser([](const KifuSaveRequest&) { return std::nullopt; });
    w.setPrintChooser([](QPrinter&) { return false; });
    const QSize sizes[] = {{620, 800}, {1032, 776}};
    for (const QSize& s : sizes) {
        w.resize(s);
        w.show();
        w.showFigure(2);
        app.processEvents();
        const QString path = QStringLiteral("%1/kifu-window-%2x%3.png").arg(dir).arg(s.width()).arg(s.height());
        if (!w.grab().save(path)) return 1;
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
