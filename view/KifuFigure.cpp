#include "view/KifuFigure.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "record/InfoTexts.h"
#include "view/BoardArt.h"
#include "view/BoardGeometry.h"

namespace tavrin {

namespace {

// The board panel's largest cell: beyond it a figure is scaled, not laid out anew.
constexpr int LargestCell = 60;

const QColor Ink(0, 0, 0);
const QColor Paper(255, 255, 255);
const QColor MarkInk(210, 30, 30);  // the record's last move

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Japanese text: the IPA P Gothic face itself, so every output (SVG too) names a font that
// is there, with or without the program's substitutions.
QFont textFont(qreal pixels, bool bold = false) {
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(std::max(4, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

// The design disc of a stone image with the key colour and the shadow taken away, so it
// lies on paper: the disc is kept a little inside its rim, whose pixels are mixed with the
// key and the shadow.
QImage paperStone(const QImage& design) {
    QImage out(DesignDisc, DesignDisc, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(0.75, 0.75, DesignDisc - 1.5, DesignDisc - 1.5));
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.drawImage(0, 0, design, 0, 0, DesignDisc, DesignDisc);
    p.end();
    return out;
}

// Move number fonts for a figure's disc of d pixels: the board's fonts for its stones, made
// smaller where their widest digits would reach the disc's rim (the board lets them, on
// paper they must stay clear of it), with three digits in the real condensed face rather
// than a stretched one: an SVG names the family and nothing else, so any viewer draws it as
// narrow as it is drawn here.
std::array<QFont, 3> figureNumberFonts(int stoneSize, int d) {
    std::array<QFont, 3> fonts = moveNumberFonts(stoneSize);
    fonts[2].setFamily(QStringLiteral("DejaVu Sans Condensed"));
    fonts[2].setStretch(QFont::AnyStretch);
    const qreal r = d / 2.0 - std::max(1.0, d * 0.07);
    for (size_t i = 0; i < fonts.size(); ++i) {
        QFont& f = fonts[i];
        const QString widest(static_cast<int>(i) + 1, QLatin1Char('8'));
        int px = f.pixelSize();
        const auto fits = [&] {
            const QRectF ink = QFontMetricsF(f).tightBoundingRect(widest);
            return std::hypot(ink.width() / 2, ink.height() / 2) <= r;
        };
        while (px > 4 && !fits()) f.setPixelSize(--px);
    }
    return fonts;
}

bool isPixelDevice(const QPainter& p) {
    const QPaintEngine* e = p.paintEngine();
    return e && e->type() == QPaintEngine::Raster;
}

}  // namespace

// Everything about where things go, in the figure's own units (pixels of the board panel's
// geometry), and how that maps onto the device.
struct KifuFigureDrawing::Layout {
    BoardGeometry Geo;
    qreal Scale = 1;
    qreal Width = 0;
    qreal Height = 0;
    QFont TitleFont, LineFont, NoteFont;
    struct Line {
        QString Text;
        bool IsTitle;
        qreal Top;
    };
    std::vector<Line> Lines;
    qreal BoardLeft = 0;
    qreal BoardTop = 0;
    qreal NotesLeft = 0;
    qreal NotesTop = 0;
    qreal NoteWidth = 0;
    qreal NoteLine = 0;
    int NoteColumns = 1;
    std::vector<QString> Notes;
};

// A figure's layout and where it goes on the device.
struct KifuFigureDrawing::Placement {
    Layout L;
    QPointF TopLeft;
    bool Crisp;  // whole device pixels: a pixel device at the figure's own size
};

KifuFigureDrawing::KifuFigureDrawing(const GameState& g, KifuFigureSet figures, KifuFigureLook look)
    : Set(std::move(figures)),
      Look(look),
      Title(qs(g.GameName)),
      BlackName(qs(g.BlackPlayer)),
      WhiteName(qs(g.WhitePlayer)),
      ResultText(g.GameComment.empty() ? QString() : qs(fncReToComment(g.GameComment))) {
    for (int i = 0; i < 2; ++i) PaperStones[static_cast<size_t>(i)] = paperStone(designStone(i + 1, false));
}

KifuHeading KifuFigureDrawing::heading(int index) const {
    KifuHeading h;
    if (index < 1 || index > count()) return h;
    const KifuFigure& fig = Set.Figures[static_cast<size_t>(index - 1)];
    h.Title = Title;
    // A variation's figures are 参考図, their moves counted from the branch.
    const int from = fig.Reference > 0 ? Set.BranchAfter : 0;
    h.Range = fig.Reference > 0 ? QStringLiteral("参考図%1").arg(fig.Reference) : QStringLiteral("第%1譜").arg(index);
    if (fig.LastMove >= fig.FirstMove)
        h.Range += QStringLiteral(" (%1–%2)").arg(fig.FirstMove - from).arg(fig.LastMove - from);
    QStringList players;
    if (!BlackName.isEmpty()) players << QStringLiteral("黒 ") + BlackName;
    if (!WhiteName.isEmpty()) players << QStringLiteral("白 ") + WhiteName;
    h.Players = players.join(QStringLiteral("　　"));
    if (index == count()) h.Result = ResultText;
    return h;
}

KifuFigureDrawing::Layout KifuFigureDrawing::layout(int index, const QSizeF& area, bool pixelDevice) const {
    const KifuFigure& fig = Set.Figures[static_cast<size_t>(index - 1)];
    const KifuHeading head = heading(index);
    std::vector<QString> notes;
    notes.reserve(fig.Notes.size());
    for (const FigureNote& n : fig.Notes) notes.push_back(qs(figureNoteText(n)));

    // The figure for the geometry of a board panel of side pixels.
    const auto measure = [&](int side) {
        Layout l;
        l.Geo = computeBoardGeometry(side + 10, side + 10, Set.BoardSize, Look.Coordinates);
        const qreal c = l.Geo.CellSize;
        const qreal pad = std::max<qreal>(2, std::round(c * 0.5));
        l.TitleFont = textFont(c * 0.62, true);
        l.LineFont = textFont(c * 0.46);
        l.NoteFont = textFont(c * 0.44);
        const qreal boardSide = l.Geo.ImageSize;
        qreal y = pad;
        const auto addLine = [&](const QString& text, bool title, qreal after) {
            if (text.isEmpty()) return;
            const QFontMetricsF fm(title ? l.TitleFont : l.LineFont);
            l.Lines.push_back({fm.elidedText(text, Qt::ElideRight, boardSide), title, y});
            y += fm.height() + after;
        };
        addLine(head.Title, true, c * 0.2);
        addLine(head.Range, false, c * 0.1);
        addLine(head.Players, false, c * 0.1);
        addLine(head.Result, false, c * 0.1);
        l.BoardLeft = pad;
        l.BoardTop = std::round(y + c * 0.25);  // whole pixels for the lines and stones
        y = l.BoardTop + boardSide;
        if (!notes.empty()) {
            const QFontMetricsF fm(l.NoteFont);
            qreal widest = 0;
            for (const QString& n : notes) widest = std::max(widest, fm.horizontalAdvance(n));
            const qreal inset = l.Geo.CoordMargin + l.Geo.EdgeMargin / 2.0;
            l.NotesLeft = l.BoardLeft + inset;
            l.NoteWidth = widest + c * 0.9;
            l.NoteColumns = std::max(1, static_cast<int>((boardSide - inset) / l.NoteWidth));
            l.NoteLine = fm.height() * 1.2;
            l.NotesTop = y + c * 0.3;
            const int rows = (static_cast<int>(notes.size()) + l.NoteColumns - 1) / l.NoteColumns;
            y = l.NotesTop + rows * l.NoteLine;
        }
        l.Width = boardSide + 2 * pad;
        l.Height = y + pad;
        return l;
    };
    const auto fits = [&](const Layout& l) { return l.Width <= area.width() && l.Height <= area.height(); };

    // The largest panel side whose figure fits; the figure only grows with the side.
    int lo = 24;
    int hi = std::max(lo, static_cast<int>(std::min(area.width(), area.height())));
    Layout best = measure(lo);
    if (fits(best)) {
        while (lo < hi) {
            const int mid = lo + (hi - lo + 1) / 2;
            if (fits(measure(mid)))
                lo = mid;
            else
                hi = mid - 1;
        }
        best = measure(lo);
    }
    best.Notes = std::move(notes);

    // A pixel device keeps the figure's own pixels until the largest cell; anything else, and
    // a figure too large for the area, is scaled to fill it.
    const qreal fill = std::min(area.width() / best.Width, area.height() / best.Height);
    if (!pixelDevice || fill < 1 || best.Geo.CellSize >= LargestCell) best.Scale = fill;
    return best;
}

qreal KifuFigureDrawing::heightForWidth(int index, qreal width) const {
    if (index < 1 || index > count()) return 0;
    const Layout l = layout(index, QSizeF(width, 1e7), true);
    return std::ceil(l.Height * l.Scale);
}

void KifuFigureDrawing::drawStone(QPainter& p, const QRectF& disc, int colour, bool crisp) const {
    const size_t i = colour == White ? 1 : 0;
    if (crisp) {
        const int d = static_cast<int>(disc.width());
        auto it = ScaledStones.find(d);
        if (it == ScaledStones.end()) {
            std::array<QImage, 2> scaled;
            for (size_t k = 0; k < 2; ++k)
                scaled[k] = PaperStones[k].scaled(d, d, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            it = ScaledStones.emplace(d, std::move(scaled)).first;
        }
        p.drawImage(disc.topLeft(), it->second[i]);
    } else {
        p.drawImage(disc, PaperStones[i]);
    }
    if (colour == White) {
        // A printed white stone has a rim of ink; the artwork's light edge alone fades into
        // the paper.
        const qreal w = std::max<qreal>(crisp ? 1 : 0.5, disc.width() / 30.0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(70, 70, 70), w));
        p.drawEllipse(disc.adjusted(w / 2, w / 2, -w / 2, -w / 2));
    }
}

void KifuFigureDrawing::paintBoard(QPainter& p, const Layout& l, const KifuFigure& fig, bool crisp,
                                   bool lastMoveRing) const {
    const BoardGeometry& geo = l.Geo;
    const int n = Set.BoardSize;
    const qreal c = geo.CellSize;
    const qreal left = l.BoardLeft + geo.FirstLine;
    const qreal top = l.BoardTop + geo.FirstLine;
    const qreal span = (n - 1) * c;
    const auto lineX = [&](int column) { return left + (column - 1) * c; };
    const auto lineY = [&](int row) { return top + (row - 1) * c; };

    // Lines: whole pixels on a pixel device, fine strokes scaled anywhere else.
    const qreal thin = crisp ? std::max<qreal>(1, std::round(c / 36)) : c / 36;
    p.setRenderHint(QPainter::Antialiasing, !crisp);
    p.setPen(QPen(Ink, thin, Qt::SolidLine, Qt::SquareCap));
    for (int k = 2; k < n; ++k) {
        p.drawLine(QPointF(lineX(k), top), QPointF(lineX(k), top + span));
        p.drawLine(QPointF(left, lineY(k)), QPointF(left + span, lineY(k)));
    }
    p.setPen(QPen(Ink, thin * 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left, top, span, span));

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    const qreal star = std::max<qreal>(1.5, c / 10);
    const qreal half = crisp ? 0.5 : 0;  // the middle of a one-pixel line
    const auto starAt = [&](int column, int row) {
        p.drawEllipse(QPointF(lineX(column) + half, lineY(row) + half), star, star);
    };
    const StarTable stars = starPointsOf(n);
    for (int a = 0; a < stars.Count; ++a)
        for (int b = 0; b < stars.Count; ++b)
            starAt(stars.Lines[static_cast<size_t>(a)], stars.Lines[static_cast<size_t>(b)]);
    if (stars.Centre > 0) starAt(stars.Centre, stars.Centre);

    if (Look.Coordinates && geo.CoordMargin > 0) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(std::max(4, geo.FontHeight * 4 / 5));
        p.setFont(f);
        p.setPen(Ink);
        const qreal cm = geo.CoordMargin;
        for (int k = 1; k <= n; ++k) {
            const qreal x = lineX(k) + half;
            p.drawText(QRectF(x - c / 2, l.BoardTop, c, cm), Qt::AlignCenter, QString(QChar(ColumnLetters[k - 1])));
            const qreal y = lineY(k) + half;
            p.drawText(QRectF(l.BoardLeft, y - c / 2, cm, c), Qt::AlignCenter,
                       QString::number(CoordNameTable::fromBottom() ? n + 1 - k : k));
        }
    }

    // The disc of the board panel's scaled stone, centred on its point.
    const int d = geo.StoneSize * DesignDisc / DesignStoneSide;
    const std::array<QFont, 3> fonts = figureNumberFonts(geo.StoneSize, d);
    const std::array<QFontMetricsF, 3> metrics = {QFontMetricsF(fonts[0]), QFontMetricsF(fonts[1]),
                                                  QFontMetricsF(fonts[2])};
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const FigureStone& s : fig.Stones) {
        const QRectF disc = discOf(l, s.Pos, crisp);
        drawStone(p, disc, s.Colour, crisp);
        if (lastMoveRing && s.Move > 0 && s.Pos == fig.LastMovePos) {
            // The record's last move: a red ring inside the rim, clear of the number (the
            // board's cross would lie under it).
            const qreal w = std::max<qreal>(crisp ? 2 : 1, d / 11.0);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(MarkInk, w));
            const qreal in = w / 2 + d / 22.0;
            p.drawEllipse(disc.adjusted(in, in, -in, -in));
        }
        QString text;
        if (s.Number > 0)
            text = QString::number(s.Number);
        else if (s.Label > 0)
            text = qs(figureLabelText(s.Label));
        if (text.isEmpty()) continue;
        const size_t f = static_cast<size_t>(std::clamp(static_cast<int>(text.size()), 1, 3) - 1);
        p.setFont(fonts[f]);
        p.setPen(s.Colour == Black ? Qt::white : Qt::black);
        // Centred as a one-line text box would centre it, without laying out a box for each
        // of a few hundred stones.
        const QPointF c = disc.center();
        p.drawText(QPointF(c.x() - metrics[f].horizontalAdvance(text) / 2,
                           c.y() + (metrics[f].ascent() - metrics[f].descent()) / 2),
                   text);
    }
}

KifuFigureDrawing::Placement KifuFigureDrawing::place(const QRectF& area, int index, bool pixel,
                                                      Qt::Alignment align) const {
    Placement pl{layout(index, area.size(), pixel), {}, false};
    const Layout& l = pl.L;
    const qreal w = l.Width * l.Scale;
    const qreal h = l.Height * l.Scale;
    qreal x = area.left() + (area.width() - w) / 2;
    qreal y = area.top() + (area.height() - h) / 2;
    if (align & Qt::AlignLeft) x = area.left();
    if (align & Qt::AlignRight) x = area.right() - w;
    if (align & Qt::AlignTop) y = area.top();
    if (align & Qt::AlignBottom) y = area.bottom() - h;
    pl.Crisp = pixel && l.Scale == 1;
    if (pl.Crisp) {
        x = std::floor(x);
        y = std::floor(y);
    }
    pl.TopLeft = QPointF(x, y);
    return pl;
}

QRectF KifuFigureDrawing::discOf(const Layout& l, int pos, bool crisp) const {
    const BoardGeometry& geo = l.Geo;
    const int d = geo.StoneSize * DesignDisc / DesignStoneSide;
    const qreal x = l.BoardLeft + geo.FirstLine + (pos / Set.BoardStride - 1) * geo.CellSize;
    const qreal y = l.BoardTop + geo.FirstLine + (pos % Set.BoardStride - 1) * geo.CellSize;
    // On a pixel device the line's pixel is [x, x + 1): a disc of odd width sits on it
    // exactly.
    return crisp ? QRectF(x - d / 2, y - d / 2, d, d) : QRectF(x - d / 2.0, y - d / 2.0, d, d);
}

QRectF KifuFigureDrawing::stoneRect(const QRectF& area, int index, int pos, Qt::Alignment align) const {
    if (index < 1 || index > count() || area.width() < 1 || area.height() < 1) return {};
    const Placement pl = place(area, index, true, align);
    const QRectF disc = discOf(pl.L, pos, pl.Crisp);
    const qreal s = pl.L.Scale;
    return QRectF(pl.TopLeft + disc.topLeft() * s, disc.size() * s);
}

void KifuFigureDrawing::paint(QPainter& p, const QRectF& area, int index, Qt::Alignment align,
                              bool lastMoveRing) const {
    p.save();
    p.fillRect(area, Paper);
    if (index < 1 || index > count() || area.width() < 1 || area.height() < 1) {
        p.restore();
        return;
    }
    const Placement pl = place(area, index, isPixelDevice(p), align);
    const Layout& l = pl.L;
    const bool crisp = pl.Crisp;
    p.translate(pl.TopLeft);
    p.scale(l.Scale, l.Scale);
    const KifuFigure& fig = Set.Figures[static_cast<size_t>(index - 1)];

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Ink);
    // The heading stands over the middle of the grid, whether coordinates are left of it or not.
    const qreal middle = l.BoardLeft + l.Geo.FirstLine + (Set.BoardSize - 1) * l.Geo.CellSize / 2.0;
    for (const Layout::Line& line : l.Lines) {
        const QFont& font = line.IsTitle ? l.TitleFont : l.LineFont;
        p.setFont(font);
        const QFontMetricsF fm(font);
        p.drawText(QRectF(middle - l.Geo.ImageSize / 2.0, line.Top, l.Geo.ImageSize, fm.height()), Qt::AlignCenter,
                   line.Text);
    }

    paintBoard(p, l, fig, crisp, lastMoveRing);

    p.setFont(l.NoteFont);
    const QFontMetricsF fm(l.NoteFont);
    for (size_t i = 0; i < l.Notes.size(); ++i) {
        const int row = static_cast<int>(i) / l.NoteColumns;
        const int column = static_cast<int>(i) % l.NoteColumns;
        p.setPen(static_cast<int>(i) == fig.LastMoveNote ? MarkInk : Ink);
        p.drawText(QPointF(l.NotesLeft + column * l.NoteWidth, l.NotesTop + row * l.NoteLine + fm.ascent()),
                   l.Notes[i]);
    }
    p.restore();
}

QImage KifuFigureDrawing::image(int index, int pixelWidth) const {
    const int w = std::max(1, pixelWidth);
    const int h = std::max(1, static_cast<int>(heightForWidth(index, w)));
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Paper);
    QPainter p(&img);
    paint(p, QRectF(0, 0, w, h), index);
    return img;
}

bool KifuFigureDrawing::writePng(const QString& path, int index, int pixelWidth) const {
    if (index < 1 || index > count()) return false;
    return image(index, pixelWidth).save(path, "PNG");
}

bool KifuFigureDrawing::writeSvg(const QString& path, int index) const {
    if (index < 1 || index > count()) return false;
    // A width in the board panel's pixels at its largest cell: the numbers and lines are
    // placed as on screen, then any viewer scales them.
    constexpr int width = 1100;
    const Layout l = layout(index, QSizeF(width, 1e7), false);
    const int height = static_cast<int>(std::ceil(l.Height * l.Scale));
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(150);  // about the width of a printed page
    svg.setTitle(heading(index).Range);
    QPainter p;
    if (!p.begin(&svg)) return false;
    paint(p, QRectF(0, 0, width, height), index);
    return p.end() && QFileInfo(path).size() > 0;
}

bool KifuFigureDrawing::paintPages(QPagedPaintDevice& device, int perPage, int fromPage, int toPage) const {
    const int per = perPage == 2 ? 2 : 1;
    const int pages = pageCount(per);
    const int first = fromPage > 0 ? std::min(fromPage, pages) : 1;
    const int last = toPage > 0 ? std::clamp(toPage, first, pages) : pages;
    QPainter p;
    if (!p.begin(&device)) return false;
    const qreal w = device.width();
    const qreal h = device.height();
    const qreal gap = h * 0.04;
    const qreal slot = per == 1 ? h : (h - gap) / 2;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) return false;
        for (int place = 0; place < per; ++place) {
            const int k = (page - 1) * per + place + 1;
            if (k > count()) break;
            paint(p, QRectF(0, place * (slot + gap), w, slot), k, Qt::AlignHCenter | Qt::AlignTop);
        }
    }
    return p.end();
}

bool KifuFigureDrawing::writePdf(const QString& path, int perPage) const {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setTitle(Title.isEmpty() ? heading(1).Players : Title);
    pdf.setCreator(QStringLiteral("Tavrin"));
    return paintPages(pdf, perPage) && QFileInfo(path).size() > 0;
}

QString figureFilePath(const QString& out, int k) {
    const QFileInfo info(out);
    const QString suffix = info.suffix();
    const QString number = QStringLiteral("-%1").arg(k);
    if (suffix.isEmpty() || info.fileName() == QLatin1Char('.') + suffix) return out + number;
    return out.left(out.size() - suffix.size() - 1) + number + QLatin1Char('.') + suffix;
}

}  // namespace tavrin
