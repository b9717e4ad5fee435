#include "view/AssetImage.h"

namespace tavrin {

QImage assetImage(const QString& resourcePath) {
    for (int i = 0; i < AssetPixelsCount; ++i) {
        const AssetPixels& a = AssetPixelsTable[i];
        if (resourcePath != QLatin1String(a.Path)) continue;
        return QImage(reinterpret_cast<const uchar*>(a.Pixels), a.Width, a.Height, a.Width * 4,
                      a.Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    return QImage(resourcePath);
}

QPixmap assetPixmap(const QString& resourcePath) { return QPixmap::fromImage(assetImage(resourcePath)); }

}  // namespace tavrin
