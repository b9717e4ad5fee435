#include "view/BoardGeometry.h"

namespace tavrin {

namespace {

// Integer ceil and floor of a / b for a >= 0, b > 0.
constexpr int ceilDiv(int a, int b) { return (a + b - 1) / b; }

int edgeMarginOf(int cell) { return ceilDiv(cell * 3, 5); }
int boardPixelsOf(int cell, int boardSize) { return (boardSize - 1) * cell + 2 * edgeMarginOf(cell) + 3; }
int coordMarginOf(int cell, bool zahyou) { return zahyou ? ceilDiv(cell * 833, 1000) : 0; }

}  // namespace

BoardGeometry computeBoardGeometry(int clientWidth, int clientHeight, int boardSize, bool zahyou) {
    BoardGeometry g;
    if (boardSize < 1) boardSize = 1;
    const int avail = (clientWidth < clientHeight ? clientWidth : clientHeight) - 10;

    // The largest cell of at most 60 for which board and strips fit; a panel too small for
    // even one pixel per cell still gets cells of 1 so nothing below divides by zero.
    int cell = 60;
    while (cell > 1 && boardPixelsOf(cell, boardSize) + coordMarginOf(cell, zahyou) > avail) --cell;

    g.CellSize = cell;
    g.EdgeMargin = edgeMarginOf(cell);
    g.BoardPixels = boardPixelsOf(cell, boardSize);
    g.CoordMargin = coordMarginOf(cell, zahyou);
    g.ImageSize = g.BoardPixels + g.CoordMargin;
    g.FirstLine = g.CoordMargin + g.EdgeMargin + 1;
    g.StoneSize = ceilDiv(cell * 96, 100);
    // The scaled disc is StoneSize * 55 / 58 across: this shift puts its centre on the line.
    g.StoneOrigin = g.FirstLine - g.StoneSize * 55 / 116 - cell;
    g.FontHeight = g.CoordMargin * 7 / 8;
    // Integer division truncates toward zero like the panel's own arithmetic.
    g.ImageLeft = (clientWidth - g.ImageSize) / 2;
    g.ImageTop = (clientHeight - g.ImageSize) / 2;
    g.PaintBoxLeft = g.ImageLeft + g.FirstLine - ceilDiv(cell, 2);
    g.PaintBoxTop = g.ImageTop + g.FirstLine - ceilDiv(cell, 2);
    g.PaintBoxSize = cell * boardSize;
    return g;
}

int pointAtPixel(const BoardGeometry& geo, int boardSize, bool turned, int x, int y) {
    if (geo.CellSize <= 0 || boardSize < 1) return 0;
    if (x < 0 || y < 0 || x >= geo.PaintBoxSize || y >= geo.PaintBoxSize) return 0;
    const int stride = boardSize + 2;
    const int pos = (x / geo.CellSize + 1) * stride + (y / geo.CellSize + 1);
    return turned ? stride * stride - 1 - pos : pos;
}

}  // namespace tavrin
