// Build step: decodes the pictures the window shows at start-up (board artwork, icons) into
// a C++ source of 32-bit pixels, so the program draws its first window without reading a
// single PNG file.   usage: tavrin_asset_images OUT.cpp ASSETS_DIR FILE.png...
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavrin_asset_images OUT.cpp ASSETS_DIR FILE.png...\n");
        return 2;
    }
    const QDir assets(QString::fromLocal8Bit(argv[2]));
    QString text;
    QTextStream out(&text);
    out << "// Generated when the program is built from the PNG files of assets/: do not edit.\n"
           "#include \"view/AssetImage.h\"\n\nnamespace tavrin {\nnamespace {\n";
    QStringList entries;
    for (int k = 3; k < argc; ++k) {
        const QString file = QString::fromLocal8Bit(argv[k]);
        QImage img(file);
        if (img.isNull()) {
            std::fprintf(stderr, "tavrin_asset_images: cannot read %s\n", argv[k]);
            return 1;
        }
        // The format reading the file gives (opaque pictures RGB32, the others ARGB32), so a
        // picture taken from here equals the one read from its file.
        if (img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32)
            img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const QString name = QStringLiteral("Pixels%1").arg(k - 3);
        out << "alignas(16) const unsigned int " << name << "[] = {";
        // Lines of 32-bit pixels carry no padding.
        const auto* px = reinterpret_cast<const unsigned int*>(img.constBits());
        for (qsizetype i = 0; i < qsizetype(img.width()) * img.height(); ++i)
            out << (i % 8 ? " " : "\n ") << "0x" << Qt::hex << px[i] << Qt::dec << "u,";
        out << "\n};\n";
        entries << QStringLiteral("    {\":/%1\", %2, %3, %4, %5},\n")
                       .arg(assets.relativeFilePath(file))
                       .arg(img.width())
                       .arg(img.height())
                       .arg(img.format() == QImage::Format_ARGB32 ? "true" : "false", name);
    }
    out << "\n}  // namespace\n\nconst AssetPixels AssetPixelsTable[] = {\n"
        << entries.join(QString()) << "};\nconst int AssetPixelsCount = " << entries.size()
        << ";\n\n}  // namespace tavrin\n";
    out.flush();
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "tavrin_asset_images: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
