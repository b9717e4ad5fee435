#pragma once
// Pixel geometry of the board picture, chosen from the board panel's client size. Pure.

namespace tavrin {

struct BoardGeometry {
    int CellSize = 0;
    int EdgeMargin = 0;
    int BoardPixels = 0;
    int CoordMargin = 0;
    int ImageSize = 0;
    int FirstLine = 0;
    int StoneSize = 0;
    int StoneOrigin = 0;
    int FontHeight = 0;  // coordinate text height: floor(CoordMargin * 7 / 8)
    int ImageLeft = 0;   // picture position inside the panel (centred)
    int ImageTop = 0;
    int PaintBoxLeft = 0;  // pbxGbn, relative to the panel
    int PaintBoxTop = 0;
    int PaintBoxSize = 0;  // CellSize * BoardSize
};

// Geometry for a panel client area of width x height, boardSize lines, with or without
// coordinate strips.
BoardGeometry computeBoardGeometry(int clientWidth, int clientHeight, int boardSize, bool zahyou);

// Board position of a paint-box pixel (x, y), or 0 when outside the paint box.
// turned: the board is shown turned by half a turn.
int pointAtPixel(const BoardGeometry& geo, int boardSize, bool turned, int x, int y);

}  // namespace tavrin
