#include <gtest/gtest.h>

#include "view/BoardGeometry.h"

using tavrin::BoardGeometry;
using tavrin::computeBoardGeometry;
using tavrin::pointAtPixel;

namespace {

constexpr int X = -999;  // not checked

struct GeoCase {
    const char* name;
    int width, height, size;
    bool zahyou;
    int cell, edge, boardPixels, coordMargin, imageSize, firstLine, stoneSize, stoneOrigin, fontHeight;
};

void expectField(const char* what, int expected, int actual) {
    if (expected != X) {
        EXPECT_EQ(expected, actual) << what;
    }
}

TEST(BoardGeometry, KnownPanels) {
    const GeoCase cases[] = {
        {"474, 19 lines, coordinates", 474, 474, 19, true, 22, 14, 427, 19, 446, 34, 22, 2, 16},
        {"474, 19 lines, no coordinates", 474, 474, 19, false, 23, X, X, 0, 445, 15, X, X, 0},
        {"474, 9 lines, coordinates", 474, 474, 9, true, 45, X, X, X, 455, 66, 44, X, X},
        {"257, 19 lines, coordinates", 257, 257, 19, true, 12, X, X, X, X, X, X, X, X},
        {"257, 19 lines, no coordinates", 257, 257, 19, false, 12, X, X, 0, X, X, X, X, 0},
        {"257, 13 lines, coordinates", 257, 257, 13, true, 17, X, X, X, X, X, X, X, X},
        {"257, 9 lines, coordinates", 257, 257, 9, true, 24, X, X, X, X, X, X, X, X},
        {"avail 600, 9 lines, no coordinates", 610, 900, 9, false, 60, X, X, 0, 555, X, 58, X, X},
        {"huge panel stays at 60", 3000, 3000, 19, true, 60, 36, 1155, 50, 1205, 87, 58, X, 43},
    };
    for (const GeoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const BoardGeometry g = computeBoardGeometry(c.width, c.height, c.size, c.zahyou);
        expectField("CellSize", c.cell, g.CellSize);
        expectField("EdgeMargin", c.edge, g.EdgeMargin);
        expectField("BoardPixels", c.boardPixels, g.BoardPixels);
        expectField("CoordMargin", c.coordMargin, g.CoordMargin);
        expectField("ImageSize", c.imageSize, g.ImageSize);
        expectField("FirstLine", c.firstLine, g.FirstLine);
        expectField("StoneSize", c.stoneSize, g.StoneSize);
        expectField("StoneOrigin", c.stoneOrigin, g.StoneOrigin);
        expectField("FontHeight", c.fontHeight, g.FontHeight);
    }
}

// The chosen cell is the largest of at most 60 that fits, for every panel size and board.
TEST(BoardGeometry, LargestFittingCellOverAllPanels) {
    for (int size : {9, 13, 19})
        for (bool zahyou : {false, true})
            for (int side = 257; side <= 1300; ++side) {
                const int avail = side - 10;
                const BoardGeometry g = computeBoardGeometry(side, side + 37, size, zahyou);
                ASSERT_LE(g.CellSize, 60);
                ASSERT_LE(g.ImageSize, avail) << size << " " << zahyou << " " << side;
                if (g.CellSize < 60) {
                    const BoardGeometry bigger = computeBoardGeometry(side + 1000, side + 1000, size, zahyou);
                    ASSERT_GT(bigger.CellSize, g.CellSize);
                    // One more pixel per cell would not fit.
                    const int c = g.CellSize + 1;
                    const int edge = (c * 3 + 4) / 5;
                    const int strips = zahyou ? (c * 833 + 999) / 1000 : 0;
                    ASSERT_GT((size - 1) * c + 2 * edge + 3 + strips, avail);
                }
                // The outermost lines lie EdgeMargin + 1 pixels inside the wood on all sides.
                const int lastLine = g.FirstLine + (size - 1) * g.CellSize;
                ASSERT_EQ(g.FirstLine - g.CoordMargin, g.EdgeMargin + 1);
                ASSERT_EQ(g.ImageSize - 1 - lastLine, g.EdgeMargin + 1);
                ASSERT_GE(g.ImageLeft, 5);
                ASSERT_GE(g.ImageTop, 5);
            }
}

TEST(BoardGeometry, CoordinatesKeepCellWhenThereIsRoom) {
    // 9 lines in a 615 panel: room for the strips at the largest cell.
    const BoardGeometry off = computeBoardGeometry(615, 615, 9, false);
    const BoardGeometry on = computeBoardGeometry(615, 615, 9, true);
    EXPECT_EQ(off.CellSize, 60);
    EXPECT_EQ(on.CellSize, 60);
    EXPECT_EQ(on.ImageSize, off.ImageSize + on.CoordMargin);
    // 19 lines in a 474 panel: no room, the cell shrinks.
    EXPECT_LT(computeBoardGeometry(474, 474, 19, true).CellSize, computeBoardGeometry(474, 474, 19, false).CellSize);
}

TEST(BoardGeometry, PictureAndPaintBoxPlacement) {
    struct Case {
        int w, h, size;
        bool zahyou;
        int imageLeft, imageTop, boxLeft, boxTop, boxSize;
    };
    const Case cases[] = {
        // ImageSize 446, FirstLine 34, CellSize 22: box starts 11 before the first line.
        {474, 474, 19, true, 14, 14, 37, 37, 418},
        // Wide panel: centred across, height decides; CellSize 23 (odd: 12 before the line).
        {700, 474, 19, false, 127, 14, 130, 17, 437},
        // Odd spare pixels are dropped on the right and bottom.
        {474, 477, 19, true, 14, 15, 37, 38, 418},
    };
    for (const Case& c : cases) {
        const BoardGeometry g = computeBoardGeometry(c.w, c.h, c.size, c.zahyou);
        EXPECT_EQ(g.ImageLeft, c.imageLeft);
        EXPECT_EQ(g.ImageTop, c.imageTop);
        EXPECT_EQ(g.PaintBoxLeft, c.boxLeft);
        EXPECT_EQ(g.PaintBoxTop, c.boxTop);
        EXPECT_EQ(g.PaintBoxSize, c.boxSize);
    }
}

TEST(BoardGeometry, PixelToPoint) {
    const BoardGeometry g = computeBoardGeometry(474, 474, 19, true);  // CellSize 22
    ASSERT_EQ(g.CellSize, 22);
    struct Case {
        int x, y, plain, turned;
    };
    const Case cases[] = {
        {0, 0, 22, 418},             // A1 (column 1, row 1) <-> T19
        {22, 0, 43, 397},            // column 2
        {0, 22, 23, 417},            // row 2
        {417, 417, 418, 22},         // last pixel of the box
        {9 * 22, 3 * 22, 214, 226},  // column 10, row 4
        {-1, 5, 0, 0},
        {5, -1, 0, 0},
        {418, 5, 0, 0},
        {5, 418, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointAtPixel(g, 19, false, c.x, c.y), c.plain) << c.x << "," << c.y;
        EXPECT_EQ(pointAtPixel(g, 19, true, c.x, c.y), c.turned) << c.x << "," << c.y;
    }
    // 9 lines: stride 11, BoardLast 120.
    const BoardGeometry g9 = computeBoardGeometry(474, 474, 9, true);
    EXPECT_EQ(pointAtPixel(g9, 9, false, 0, 0), 12);
    EXPECT_EQ(pointAtPixel(g9, 9, true, 0, 0), 108);
    EXPECT_EQ(pointAtPixel(g9, 9, false, 9 * 45 - 1, 9 * 45 - 1), 108);
}

// Each cell spans ceil(C / 2) pixels before its line, the line and floor(C / 2) - 1 after it.
TEST(BoardGeometry, CellsAroundTheirLines) {
    for (int panel : {474, 480, 700, 257}) {
        const BoardGeometry g = computeBoardGeometry(panel, panel, 19, false);
        const int c = g.CellSize;
        const int boxOffset = g.FirstLine - (g.PaintBoxLeft - g.ImageLeft);  // line 1 in box pixels
        ASSERT_EQ(boxOffset, (c + 1) / 2);
        for (int k = 1; k <= 19; ++k) {
            const int line = boxOffset + (k - 1) * c;
            const int first = line - (c + 1) / 2;
            const int last = line + c / 2 - 1;
            EXPECT_EQ(pointAtPixel(g, 19, false, first, 0), k * 21 + 1) << c << " " << k;
            EXPECT_EQ(pointAtPixel(g, 19, false, line, 0), k * 21 + 1);
            EXPECT_EQ(pointAtPixel(g, 19, false, last, 0), k * 21 + 1);
            if (k > 1) {
                EXPECT_EQ(pointAtPixel(g, 19, false, first - 1, 0), (k - 1) * 21 + 1);
            }
        }
    }
}

}  // namespace
