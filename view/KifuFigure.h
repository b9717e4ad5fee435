#pragma once
// Kifu figures on paper: a heading, the board with the figure's stones and move numbers, and
// the notes under it, painted with QPainter into any paint device (the window, PNG images,
// SVG, PDF pages, a printer). The board is drawn from the board panel's own geometry and
// stone artwork, on white paper with black lines.

#include <QImage>
#include <QRectF>
#include <QString>
#include <array>
#include <map>
#include <vector>

#include "game/GameState.h"
#include "record/KifuFigures.h"

class QPainter;
class QPagedPaintDevice;

namespace tavrin {

struct KifuFigureLook {
    bool Coordinates = false;  // column letters above and row numbers left of the board
};

// The heading of one figure, line by line; empty lines are left out.
struct KifuHeading {
    QString Title;    // the game's name
    QString Range;    // "第2譜 (101–200)"; "第1譜" for a record without moves
    QString Players;  // "黒 name　　白 name"; a colour without a name is left out
    QString Result;   // the result sentence, on the last figure only
};

// The figures of one record, ready to paint. Holds copies of the texts it needs, so it
// stays valid when the game changes (build a new one then).
class KifuFigureDrawing {
public:
    KifuFigureDrawing(const GameState& g, KifuFigureSet figures, KifuFigureLook look = {});

    int count() const { return static_cast<int>(Set.Figures.size()); }
    const KifuFigureSet& figures() const { return Set; }
    const KifuFigureLook& look() const { return Look; }
    // Heading of figure index (1-based).
    KifuHeading heading(int index) const;

    // Paints figure index (1-based) on white paper filling area, as large as fits, placed
    // by align inside it. Pixel devices get whole-pixel lines up to the board's largest cell.
    // The window alone rings the record's last move in red (lastMoveRing); paper and files
    // do not carry it.
    void paint(QPainter& p, const QRectF& area, int index, Qt::Alignment align = Qt::AlignCenter,
               bool lastMoveRing = false) const;
    // Where paint puts the stone at pos of figure index on a pixel device (window, image).
    QRectF stoneRect(const QRectF& area, int index, int pos, Qt::Alignment align = Qt::AlignCenter) const;
    // Height of figure index when painted at width (its notes decide it).
    qreal heightForWidth(int index, qreal width) const;

    // Figure index as an image of pixelWidth pixels, as tall as it needs.
    QImage image(int index, int pixelWidth) const;
    // One file per figure; false when the file could not be written.
    bool writePng(const QString& path, int index, int pixelWidth) const;
    bool writeSvg(const QString& path, int index) const;
    // Every figure on A4 pages, perPage (1 or 2) to a page, as vector PDF.
    bool writePdf(const QString& path, int perPage) const;
    // The figures on the pages of a paged device (a PDF writer, a printer), perPage to a
    // page; pages fromPage..toPage (1-based) only, when given.
    bool paintPages(QPagedPaintDevice& device, int perPage, int fromPage = 0, int toPage = 0) const;
    int pageCount(int perPage) const { return perPage == 2 ? (count() + 1) / 2 : count(); }

private:
    struct Layout;
    struct Placement;
    Layout layout(int index, const QSizeF& area, bool pixelDevice) const;
    Placement place(const QRectF& area, int index, bool pixelDevice, Qt::Alignment align) const;
    QRectF discOf(const Layout& l, int pos, bool crisp) const;
    void paintBoard(QPainter& p, const Layout& l, const KifuFigure& fig, bool crisp, bool lastMoveRing) const;
    void drawStone(QPainter& p, const QRectF& disc, int colour, bool crisp) const;

    KifuFigureSet Set;
    KifuFigureLook Look;
    QString Title, BlackName, WhiteName, ResultText;
    std::array<QImage, 2> PaperStones;  // the black and white design discs, without key or shadow
    mutable std::map<int, std::array<QImage, 2>> ScaledStones;  // by disc size in pixels
};

// The file of figure k for an output name: "OUT.png" gives "OUT-1.png", "OUT-2.png"…
QString figureFilePath(const QString& out, int k);

}  // namespace tavrin
