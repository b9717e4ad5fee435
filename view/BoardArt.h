#pragma once
// The board's artwork, shared by the board panel and the kifu figures: the stone images and
// wood tile of the :/board/ resources, the fonts of the move numbers on the stones, the
// column letters and the star points.

#include <QFont>
#include <QImage>
#include <array>

namespace tavrin {

// The transparent colour of the stone images.
inline constexpr QRgb BoardStoneKey = qRgb(250, 188, 94);
// Column letters of the largest board; smaller boards use its first BoardSize letters.
inline constexpr char ColumnLetters[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ";

// Star-point lines (both directions) and whether the centre point is added.
struct StarTable {
    std::array<int, 3> Lines{};
    int Count = 0;
    int Centre = 0;  // 0: none
};
StarTable starPointsOf(int boardSize);

// Side of the design stone images; the disc inside them is DesignDisc across, from (0, 0).
inline constexpr int DesignStoneSide = 58;
inline constexpr int DesignDisc = 55;

// Makes the :/board/ resources available (they live in a static library).
void initBoardArt();

// A design stone (Black or White, plain or with the last-move cross) in 32-bit colour; a
// square of the key colour when the image is missing.
QImage designStone(int colour, bool marked);
// The wood tile; a plain wood-coloured tile when the image is missing.
QImage woodTile();

// Fonts for move numbers of one, two and three digits on a stone of stoneSize pixels: the
// widest digits of each length fit inside the stone with a margin, as large as the stone
// allows; condensed bold for three digits.
std::array<QFont, 3> moveNumberFonts(int stoneSize);

}  // namespace tavrin
