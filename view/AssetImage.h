#pragma once
// The pictures of the program's resources (":/board/wood.png", ":/icons/icon00.png"), taken
// from pixels decoded when the program was built; a picture not among them is read from its
// resource file.

#include <QImage>
#include <QPixmap>

namespace tavrin {

struct AssetPixels {
    const char* Path;  // the resource path, ":/board/wood.png"
    int Width;
    int Height;
    bool Alpha;  // ARGB32, else RGB32
    const unsigned int* Pixels;
};
extern const AssetPixels AssetPixelsTable[];
extern const int AssetPixelsCount;

// The picture, sharing the built-in pixels (read only: a change copies them).
QImage assetImage(const QString& resourcePath);
QPixmap assetPixmap(const QString& resourcePath);

}  // namespace tavrin
