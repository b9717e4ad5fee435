#include "view/BoardArt.h"

#include "view/AssetImage.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>

// Resources of a static library must be pulled in by name; this lives outside any namespace.
static void initBoardResources() { Q_INIT_RESOURCE(board); }

namespace tavrin {

namespace {

const char* const StoneFiles[4] = {":/board/stone-black.png", ":/board/stone-white.png",
                                   ":/board/stone-black-marked.png", ":/board/stone-white-marked.png"};

}  // namespace

void initBoardArt() { initBoardResources(); }

StarTable starPointsOf(int boardSize) {
    const int n = boardSize;
    // None on the smallest boards; on the third line up to 12 x 12, on the fourth from 13 x 13.
    if (n < 7) return {};
    const int edge = n >= 13 ? 4 : 3;
    const int far = n + 1 - edge;
    const int mid = (n + 1) / 2;
    if (n % 2 == 0) return {{edge, far, 0}, 2, 0};
    // The sides' middles too from 15 x 15 on; the centre alone below.
    if (n >= 15) return {{edge, mid, far}, 3, 0};
    return {{edge, far, 0}, 2, mid};
}

QImage designStone(int colour, bool marked) {
    initBoardArt();
    const int i = (colour == 2 ? 1 : 0) + (marked ? 2 : 0);
    QImage img = assetImage(QString::fromLatin1(StoneFiles[i])).convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) {
        img = QImage(DesignStoneSide, DesignStoneSide, QImage::Format_RGB32);
        img.fill(BoardStoneKey);
    }
    return img;
}

QImage woodTile() {
    initBoardArt();
    QImage img = assetImage(QStringLiteral(":/board/wood.png")).convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) {
        img = QImage(60, 120, QImage::Format_RGB32);
        img.fill(qRgb(255, 189, 90));
    }
    return img;
}

std::array<QFont, 3> moveNumberFonts(int stone) {
    std::array<QFont, 3> fonts;
    for (int n = 1; n <= 3; ++n) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        if (n == 3) f.setStretch(QFont::Condensed);
        f.setHintingPreference(QFont::PreferFullHinting);
        const int room = std::max(4, stone * (n == 1 ? 62 : n == 2 ? 80 : 86) / 100);
        const int high = std::max(4, stone - 5);
        int px = std::max(4, stone * 58 / 100);
        f.setPixelSize(px);
        const QString widest(n, QLatin1Char('8'));
        const auto fits = [&] {
            const QRect ink = QFontMetrics(f).tightBoundingRect(widest);
            return ink.width() <= room && ink.height() <= high;
        };
        while (px > 4 && !fits()) f.setPixelSize(--px);
        fonts[static_cast<size_t>(n - 1)] = f;
    }
    return fonts;
}

}  // namespace tavrin
