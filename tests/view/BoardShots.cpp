// Renders sample boards to PNG files for looking at the drawing by eye:
//   board_shots [folder]   (default /tmp/board-shots)
// Not a test; built on demand (target board_shots).
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "game/Engine.h"
#include "view/BoardView.h"

using namespace tavrin;

namespace {

// A game of about 200 stones from a fixed pseudo-random sequence of legal moves.
void playSample(GameState& g, int moves, BoardPainter& p) {
    unsigned seed = 12345;
    int played = 0;
    for (int tries = 0; played < moves && tries < 20000; ++tries) {
        seed = seed * 1103515245u + 12345u;
        const int col = 1 + static_cast<int>((seed >> 16) % static_cast<unsigned>(g.BoardSize));
        seed = seed * 1103515245u + 12345u;
        const int row = 1 + static_cast<int>((seed >> 16) % static_cast<unsigned>(g.BoardSize));
        if (prcHitCore(g, col * g.BoardStride + row, g.SideToMove, p) == HitResult::Legal) ++played;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/board-shots");
    QDir().mkpath(dir);

    struct Shot {
        int size;
        int w, h;
        int moves;
    };
    const Shot shots[] = {
        {19, 470, 470, 200}, {19, 1165, 1165, 200}, {13, 700, 700, 90}, {9, 615, 615, 40}, {19, 257, 257, 200}};
    NullPainter none;
    for (const Shot& s : shots) {
        for (int turned = 0; turned < 2; ++turned)
            for (int coords = 0; coords < 2; ++coords) {
                GameState g;
                g.BoardSize = s.size;
                prcNewSetCore(g, "2024-01-01");
                playSample(g, s.moves, none);
                BoardView v(g);
                v.resize(s.w, s.h);
                v.setZahyou(coords != 0);
                v.setHanten(turned != 0);
                v.relayout();
                const QString name = QStringLiteral("%1/b%2-%3x%4%5%6.png")
                                         .arg(dir)
                                         .arg(s.size)
                                         .arg(s.w)
                                         .arg(s.h)
                                         .arg(coords ? "-coords" : "")
                                         .arg(turned ? "-turned" : "");
                v.grab().save(name);
                std::printf("%s cell %d\n", qPrintable(name), v.geometryInfo().CellSize);
            }
    }
    return 0;
}
