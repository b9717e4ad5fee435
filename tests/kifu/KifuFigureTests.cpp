// Painting kifu figures: the SVG carries every move number of a figure once as text, the PDF
// carries the headings as text in the IPA font, the PNG is as wide as asked with the numbers
// inside their stones at every size and the last move marked.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <map>

#include "tests/kifu/KifuTestKit.h"
#include "view/KifuFigure.h"

namespace tavrin::test {
namespace {

struct SvgTexts {
    std::map<int, int> stoneNumbers;  // number on a stone -> times
    std::map<int, int> noteNumbers;   // number a note begins with -> times
    QStringList all;
};

SvgTexts readSvgTexts(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString svg = QString::fromUtf8(f.readAll());
    static const QRegularExpression text(QStringLiteral("<text ([^>]*)>\\s*([^<]*)</text>"));
    static const QRegularExpression note(QStringLiteral("^(\\d+) (= \\S+|パス)$"));
    SvgTexts out;
    for (auto it = text.globalMatch(svg); it.hasNext();) {
        const auto m = it.next();
        const QString attrs = m.captured(1);
        const QString body = m.captured(2);
        out.all << body;
        bool number = false;
        const int n = body.toInt(&number);
        if (number && attrs.contains(QStringLiteral("font-family=\"DejaVu Sans")) &&
            attrs.contains(QStringLiteral("font-weight=\"700\"")))
            ++out.stoneNumbers[n];
        else if (const auto nm = note.match(body); nm.hasMatch())
            ++out.noteNumbers[nm.captured(1).toInt()];
    }
    return out;
}

TEST(KifuFigurePaint, SvgHasEveryMoveNumberOfItsFigureOnceAsText) {
    QTemporaryDir dir;
    const GameState ko = readRecordText(KoRecord);
    const GameState game = randomGame(260, 7);
    const struct {
        const char* name;
        const GameState& g;
        int per;
        bool restart, coordinates;
    } cases[] = {
        {"ko in two", ko, 10, false, true},
        {"game from 1", game, 100, true, false},
        {"game in one", game, 0, false, true},
    };
    for (const auto& c : cases) {
        const KifuFigureDrawing d(c.g, cutKifuFigures(c.g, c.per, c.restart), {c.coordinates});
        for (int k = 1; k <= d.count(); ++k) {
            SCOPED_TRACE(std::string(c.name) + " figure " + std::to_string(k));
            const QString path = dir.filePath(QStringLiteral("f%1.svg").arg(k));
            ASSERT_TRUE(d.writeSvg(path, k));
            const SvgTexts t = readSvgTexts(path);
            const KifuFigure& fig = d.figures().Figures[static_cast<size_t>(k - 1)];
            const int first = c.restart ? 1 : fig.FirstMove;
            const int last = c.restart ? fig.LastMove - fig.FirstMove + 1 : fig.LastMove;
            int onStones = 0;
            for (int n = first; n <= last; ++n) {
                const int stone = t.stoneNumbers.count(n) ? t.stoneNumbers.at(n) : 0;
                const int noted = t.noteNumbers.count(n) ? t.noteNumbers.at(n) : 0;
                ASSERT_EQ(stone + noted, 1) << "number " << n;
                onStones += stone;
            }
            // Nothing else is written on the stones or as a note.
            int stoneTexts = 0, noteTexts = 0;
            for (const auto& [n, times] : t.stoneNumbers) stoneTexts += times;
            for (const auto& [n, times] : t.noteNumbers) noteTexts += times;
            EXPECT_EQ(stoneTexts, onStones);
            EXPECT_EQ(noteTexts, static_cast<int>(fig.Notes.size()));
            EXPECT_TRUE(t.all.contains(d.heading(k).Range)) << t.all.join(QLatin1Char('|')).toStdString();
        }
    }
}

QString pdfText(const QString& pdf, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                          QString::number(page), pdf, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(KifuFigurePaint, PdfPagesCarryTheHeadingsAsTextInTheIpaFont) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        GTEST_SKIP() << "poppler-utils absent";
    QTemporaryDir dir;
    const GameState g = randomGame(250, 11);
    const KifuFigureDrawing d(g, cutKifuFigures(g, 100, false));
    const QString one = dir.filePath(QStringLiteral("one.pdf"));
    const QString two = dir.filePath(QStringLiteral("two.pdf"));
    ASSERT_TRUE(d.writePdf(one, 1));
    ASSERT_TRUE(d.writePdf(two, 2));
    const QString heads[] = {QStringLiteral("第1譜 (1–100)"), QStringLiteral("第2譜 (101–200)"),
                             QStringLiteral("第3譜 (201–250)")};
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfText(one, page);
        EXPECT_TRUE(text.contains(heads[page - 1])) << page << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("棋譜テスト対局")));
        EXPECT_TRUE(text.contains(QStringLiteral("黒 黒川")));
        EXPECT_TRUE(text.contains(QStringLiteral("白 白井")));
        // The result closes the record: on its last figure only.
        EXPECT_EQ(text.contains(QStringLiteral("黒の中押し勝ちです")), page == 3);
    }
    EXPECT_TRUE(pdfText(one, 4).isEmpty());
    const QString first = pdfText(two, 1);
    EXPECT_TRUE(first.contains(heads[0]) && first.contains(heads[1])) << first.toStdString();
    EXPECT_TRUE(pdfText(two, 2).contains(heads[2]));
    EXPECT_TRUE(pdfText(two, 3).isEmpty());

    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {one});
    fonts.waitForFinished(20000);
    const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(list.contains(QStringLiteral("IPAPGothic"))) << list.toStdString();
    EXPECT_TRUE(list.contains(QStringLiteral("DejaVuSans-Bold"))) << list.toStdString();
}

int luminance(QRgb c) { return (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100; }

// Darkest and lightest pixel of img between fraction inner of the disc's radius and the rim
// less `rim` pixels, at most 0.92 of the radius (a scaled stone's edge is soft beyond).
std::pair<int, int> ringRange(const QImage& img, const QRectF& disc, double inner, double rim) {
    const QPointF c = disc.center();
    const double r = disc.width() / 2;
    const double outer = std::min(0.92, (r - rim) / r);
    int lo = 255, hi = 0;
    for (int y = static_cast<int>(disc.top()); y <= disc.bottom(); ++y)
        for (int x = static_cast<int>(disc.left()); x <= disc.right(); ++x) {
            const double dist = std::hypot(x + 0.5 - c.x(), y + 0.5 - c.y());
            if (dist < inner * r || dist > outer * r) continue;
            const int l = luminance(img.pixel(x, y));
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
    return {lo, hi};
}

bool hasRed(const QImage& img, const QRectF& disc) {
    for (int y = static_cast<int>(disc.top()); y <= disc.bottom(); ++y)
        for (int x = static_cast<int>(disc.left()); x <= disc.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90) return true;
        }
    return false;
}

TEST(KifuFigurePaint, PngNumbersStayInsideTheirStonesAtEverySize) {
    const GameState g = randomGame(230, 5);
    const KifuFigureDrawing d(g, cutKifuFigures(g, 0, false));
    const KifuFigure& fig = d.figures().Figures[0];
    // A three-digit black stone and white stone, and the record's last move.
    const FigureStone *black = nullptr, *white = nullptr;
    for (const FigureStone& s : fig.Stones) {
        if (s.Number < 100 || s.Pos == fig.LastMovePos) continue;
        (s.Colour == Black ? black : white) = &s;
    }
    ASSERT_TRUE(black && white && fig.LastMovePos > 0);
    for (int width : {400, 500, 777, 1200, 2400}) {
        SCOPED_TRACE(width);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.png"));
        ASSERT_TRUE(d.writePng(path, 1, width));
        const QImage img(path);
        ASSERT_EQ(img.width(), width);
        ASSERT_EQ(img.height(), static_cast<int>(d.heightForWidth(1, width)));
        EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(width - 1, img.height() - 1), qRgb(255, 255, 255));
        const QRectF area(0, 0, img.width(), img.height());
        const QRectF b = d.stoneRect(area, 1, black->Pos);
        const QRectF w = d.stoneRect(area, 1, white->Pos);
        // White digits in the middle of the black stone, none near its rim.
        EXPECT_GT(ringRange(img, b, 0, 0).second, 200);
        EXPECT_LT(ringRange(img, b, 0.87, 1).second, 110);
        // Black digits on the white stone, none near its rim (inside its ring of ink).
        EXPECT_LT(ringRange(img, w, 0, 0).first, 60);
        EXPECT_GT(ringRange(img, w, 0.87, 1 + std::max(1.0, w.width() / 30)).first, 120);
        // The window's red ring of the shown move stays off paper and files.
        EXPECT_FALSE(hasRed(img, d.stoneRect(area, 1, fig.LastMovePos)));
        EXPECT_FALSE(hasRed(img, b));
        QImage screen(img.size(), QImage::Format_RGB32);
        QPainter p(&screen);
        d.paint(p, area, 1, Qt::AlignCenter, true);
        p.end();
        EXPECT_TRUE(hasRed(screen, d.stoneRect(area, 1, fig.LastMovePos)));
        EXPECT_FALSE(hasRed(screen, b));
    }
}

TEST(KifuFigurePaint, FigureFilesAreNumberedBeforeTheExtension) {
    const std::pair<const char*, const char*> cases[] = {{"/tmp/game.png", "/tmp/game-2.png"},
                                                         {"out.svg", "out-2.svg"},
                                                         {"a.b/c", "a.b/c-2"},
                                                         {"/x/y.z.pdf", "/x/y.z-2.pdf"}};
    for (const auto& [out, second] : cases)
        EXPECT_EQ(figureFilePath(QString::fromUtf8(out), 2), QString::fromUtf8(second)) << out;
}

}  // namespace
}  // namespace tavrin::test
