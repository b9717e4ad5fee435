#include "view/BoardView.h"

#include <utility>

#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>

#include "game/Engine.h"
#include "view/BoardArt.h"

namespace tavrin {

namespace {

constexpr QRgb StripColour = qRgb(64, 96, 32);
constexpr QRgb CoordTextColour = qRgb(255, 255, 255);
constexpr QRgb GridColour = qRgb(0, 0, 0);
constexpr QRgb BevelLight = qRgb(253, 221, 174);
constexpr QRgb BevelDark = qRgb(177, 108, 5);
constexpr QRgb StoneKey = BoardStoneKey;
constexpr QRgb MarkInk = qRgb(20, 50, 150);       // marks on empty points, the letters' blue
constexpr QRgb LabelDisc = qRgb(255, 236, 190);   // the wood under a letter, hiding the grid
constexpr QRgb MainLineRing = qRgb(210, 30, 30);  // the main line's next move
constexpr QRgb BetterRing = qRgb(175, 35, 190);   // the engine's better move in the review
constexpr int MaxCandidates = 8;

// The disc of the engine's candidate of a rank: the best in a strong cyan, the others from
// green fading to a pale, thinner yellow-green.
QColor candidateColour(int order) {
    if (order <= 0) return QColor(20, 185, 225, 240);
    const double t = std::min(1.0, (order - 1) / double(MaxCandidates - 2));
    const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return QColor(mix(80, 215), mix(200, 225), mix(80, 150), mix(230, 175));
}

// Visits in at most four characters: "850", "1.2k", "35k", "1.2M".
QString visitsText(int visits) {
    if (visits < 1000) return QString::number(std::max(0, visits));
    if (visits < 10000) return QString::number(visits / 1000.0, 'f', 1) + QLatin1Char('k');
    if (visits < 1000000) return QString::number(visits / 1000) + QLatin1Char('k');
    return QString::number(visits / 1000000.0, 'f', 1) + QLatin1Char('M');
}

constexpr int MaxLines = MaxBoardSize;

bool drawableSize(int n) { return n >= 2 && n <= MaxLines; }

// Lines and rectangles on a 32-bit image, clipped to the image.
void hLine(QImage& img, int x0, int x1, int y, QRgb c) {
    if (y < 0 || y >= img.height()) return;
    if (x0 < 0) x0 = 0;
    if (x1 >= img.width()) x1 = img.width() - 1;
    QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = x0; x <= x1; ++x) row[x] = c;
}

void vLine(QImage& img, int x, int y0, int y1, QRgb c) {
    if (x < 0 || x >= img.width()) return;
    if (y0 < 0) y0 = 0;
    if (y1 >= img.height()) y1 = img.height() - 1;
    for (int y = y0; y <= y1; ++y) reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
}

void fillRect(QImage& img, int left, int top, int right, int bottom, QRgb c) {
    for (int y = top; y < bottom; ++y) hLine(img, left, right - 1, y, c);
}

// Copies w x h pixels from src (sx, sy) to dst (dx, dy), clipped to both images; with a key,
// pixels of the key colour are left out.
void blit(QImage& dst, int dx, int dy, const QImage& src, int sx, int sy, int w, int h, bool keyed) {
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    if (dx + w > dst.width()) w = dst.width() - dx;
    if (dy + h > dst.height()) h = dst.height() - dy;
    if (sx + w > src.width()) w = src.width() - sx;
    if (sy + h > src.height()) h = src.height() - sy;
    if (w <= 0 || h <= 0) return;
    for (int y = 0; y < h; ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy + y)) + sx;
        QRgb* d = reinterpret_cast<QRgb*>(dst.scanLine(dy + y)) + dx;
        if (!keyed) {
            std::memcpy(d, s, sizeof(QRgb) * static_cast<size_t>(w));
            continue;
        }
        for (int x = 0; x < w; ++x)
            if ((s[x] & 0xFFFFFFu) != (StoneKey & 0xFFFFFFu)) d[x] = s[x];
    }
}

// The picture of imgGoban: shows the composed board at its own origin.
class GobanImage final : public QWidget {
public:
    GobanImage(const QImage& pic, std::function<void(QPainter&)> overlay, QWidget* parent)
        : QWidget(parent), Picture(pic), Overlay(std::move(overlay)) {
        setObjectName(QStringLiteral("imgGoban"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Picture);
        Overlay(p);
    }

private:
    const QImage& Picture;
    std::function<void(QPainter&)> Overlay;  // what is drawn over the picture
};

}  // namespace

// The paint box pbxGbn: draws nothing, passes the mouse on to the panel.
class BoardPaintBox final : public QWidget {
public:
    explicit BoardPaintBox(BoardView* view) : QWidget(view), View(view) {
        setObjectName(QStringLiteral("pbxGbn"));
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        emit View->boardMouseDown(e->button(), p.x(), p.y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        emit View->boardMouseUp(e->button(), p.x(), p.y());
    }

private:
    BoardView* View;
};

struct BoardView::Impl {
    explicit Impl(const GameState& game) : Game(game) {}

    const GameState& Game;
    bool Zahyou = true;
    bool Hanten = false;
    bool Tejun = false;
    int Hint = 0;
    std::vector<CandidateMark> Candidates;
    int Better = 0;
    QString BetterGain;
    bool Marked = false;
    BoardMarks Marks;
    std::vector<std::pair<int, QString>> Letters;
    NodeMarkup Markup;
    std::vector<VariationMark> Variations;
    bool VariationLetters = true;
    bool LaidOut = false;  // geometry, pictures and scaled stones belong to the current size
    QSize LaidOutSize;     // the panel's size at the last layout
    BoardGeometry Geo;

    QImage BoardTexture;                // the wood tile
    std::array<QImage, 4> StoneOrg;     // design stones, 58 x 58
    std::array<QImage, 4> StoneScaled;  // StoneSize x StoneSize, keyed by StoneKey
    // The clean board, made again when first needed after a layout (the picture starts as
    // the clean board itself, so a window that never erases a stone keeps one copy only).
    QImage BoardBitmap;
    void ensureCleanBoard() {
        if (BoardBitmap.isNull() && LaidOut) prcGobanDraw();
    }
    QImage Picture;  // clean board + stones, shown by imgGoban

    GobanImage* ImgGoban = nullptr;
    BoardPaintBox* PbxGbn = nullptr;

    // Pixel height of the coordinate font for which the character cell is fontHeight.
    int CachedFontHeight = -1;
    QFont CoordFont;

    // Fonts of one, two and three digits that fit a stone of NumberStoneSize pixels.
    mutable int NumberStoneSize = -1;
    mutable std::array<QFont, 3> NumberFonts;

    const QFont& coordFont(int fontHeight);
    const QFont& numberFont(int digits) const;
    // The move numbers over the stones, when they are on.
    void paintNumbers(QPainter& p) const;
    // The hint's ring, when there is one.
    void paintHint(QPainter& p) const;
    // Counting and judging marks, when there are any.
    void paintMarks(QPainter& p) const;
    // The explorer's letters, when there are any.
    void paintLetters(QPainter& p) const;
    // The markup's veils (dimmed and selected points), under the move numbers.
    void paintVeils(QPainter& p) const;
    // The variations' next moves.
    void paintVariations(QPainter& p) const;
    // The analysis engine's candidates and the review's better move.
    void paintCandidates(QPainter& p) const;
    void paintBetterMove(QPainter& p) const;
    // The markup's marks, labels and lines.
    void paintMarkup(QPainter& p) const;
    void paintOverlay(QPainter& p) const {
        paintMarks(p);
        paintVeils(p);
        paintNumbers(p);
        paintVariations(p);
        paintCandidates(p);
        paintBetterMove(p);
        paintMarkup(p);
        paintHint(p);
        paintLetters(p);
    }
    // The colour a mark takes on pos: white on a black stone, black on a white one, the
    // board's blue on an empty point.
    QColor inkAt(int pos) const;
    // The middle of the grid's pixel at pos, so that a line through it is sharp.
    QPointF centreOf(int pos) const {
        const int d = Hanten ? Game.BoardLast - pos : pos;
        return {Geo.FirstLine + (d / Game.BoardStride - 1) * Geo.CellSize + 0.5,
                Geo.FirstLine + (d % Game.BoardStride - 1) * Geo.CellSize + 0.5};
    }
    // A font of the board's letters for a text on one point.
    QFont labelFont(const QString& text) const;
    mutable int LabelStoneSize = -1;
    mutable QFont LabelFont;  // for one or two characters at LabelStoneSize
    void prcGobanDraw();
    void scaleStones();
    // Top-left of the CellSize square (and stone image) of a board position.
    QPoint cellOrigin(int pos) const;
    bool validPos(int pos) const { return LaidOut && pos > 0 && pos <= Game.BoardLast && pos < BoardCells; }
    bool emptyPoint(int pos) const { return validPos(pos) && Game.Board[static_cast<size_t>(pos)] == 0; }
};

const QFont& BoardView::Impl::coordFont(int fontHeight) {
    if (fontHeight == CachedFontHeight) return CoordFont;
    CachedFontHeight = fontHeight;
    QFont f(QFont::substitute(QStringLiteral("Myriad Web")));
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    // Whole-pixel glyph advances, so a one-digit number's digit lines up with the units
    // digit of a two-digit one.
    f.setHintingPreference(QFont::PreferFullHinting);
    // The height is that of the whole character cell (ascent + descent), so shrink the
    // em size until the cell fits.
    int px = fontHeight > 0 ? fontHeight : 1;
    f.setPixelSize(px);
    const int cell = QFontMetrics(f).height();
    if (cell > fontHeight && cell > 0) {
        px = fontHeight * px / cell;
        if (px < 1) px = 1;
        f.setPixelSize(px);
        while (px > 1 && QFontMetrics(f).height() > fontHeight) f.setPixelSize(--px);
    }
    CoordFont = f;
    return CoordFont;
}

const QFont& BoardView::Impl::numberFont(int digits) const {
    const int stone = Geo.StoneSize;
    if (stone != NumberStoneSize) {
        NumberStoneSize = stone;
        NumberFonts = moveNumberFonts(stone);
    }
    return NumberFonts[static_cast<size_t>(std::clamp(digits, 1, 3) - 1)];
}

void BoardView::Impl::paintNumbers(QPainter& p) const {
    if (!Tejun || !LaidOut) return;
    // The number of the move whose stone stands on each point now: later moves on a point
    // (after a capture) replace earlier ones; handicap and setup stones have none.
    std::array<int, BoardCells> number{};
    const int shown = std::min(Game.CurrentMove - 1, RecordCapacity - Game.HandicapCount);
    for (int k = 1; k <= shown; ++k) {
        const int pos = Game.MovePos[static_cast<size_t>(Game.HandicapCount + k)];
        if (pos > 0 && pos < BoardCells) number[static_cast<size_t>(pos)] = k;
    }
    const int s = Geo.StoneSize;
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int pos = 1; pos <= Game.BoardLast && pos < BoardCells; ++pos) {
        const int colour = Game.Board[static_cast<size_t>(pos)];
        const int k = number[static_cast<size_t>(pos)];
        if (k == 0 || (colour != Black && colour != White) ||
            Game.MoveColor[static_cast<size_t>(Game.HandicapCount + k)] != colour)
            continue;
        const QString text = QString::number(k);
        p.setFont(numberFont(static_cast<int>(text.size())));
        const QPoint o = cellOrigin(pos);
        const QRect box(o.x(), o.y(), s, s);
        // Nothing reaches beyond the stone, whatever the font makes of the smallest sizes.
        p.setClipRect(box.adjusted(1, 1, -1, -1));
        // White digits on black stones, black on white. The last move's are red instead of its
        // red cross, which is covered with the stone's own colour so that it hides no digit.
        if (k == shown) {
            const QPoint beside = o + QPoint(s * 3 / 10, s * 3 / 10);  // off the cross's arms
            p.setPen(Qt::NoPen);
            p.setBrush(BoardBitmap.rect().contains(beside) ? BoardBitmap.pixelColor(beside)
                                                           : QColor(colour == Black ? Qt::black : Qt::white));
            p.drawEllipse(QRectF(box).adjusted(s * 0.22, s * 0.22, -s * 0.22, -s * 0.22));
            p.setBrush(Qt::NoBrush);
            p.setPen(colour == Black ? QColor(255, 80, 80) : QColor(220, 0, 0));
        } else {
            p.setPen(colour == Black ? Qt::white : Qt::black);
        }
        p.drawText(box, Qt::AlignCenter, text);
    }
}

void BoardView::Impl::paintMarks(QPainter& p) const {
    if (!Marked || !LaidOut) return;
    const int s = Geo.StoneSize;
    const int square = std::max(3, s * 2 / 5);
    p.setRenderHint(QPainter::Antialiasing);
    for (int pos = 1; pos <= Game.BoardLast && pos < BoardCells; ++pos) {
        const auto i = static_cast<std::size_t>(pos);
        const QPoint o = cellOrigin(pos);
        const QRectF stone(o.x() + 0.5, o.y() + 0.5, s - 1, s - 1);
        if (Marks.Dimmed[i]) {
            // A dead stone seen through the wood.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(240, 190, 110, 165));
            p.drawEllipse(stone);
        }
        if (Marks.Seki[i]) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(40, 160, 60), std::max(2, s / 10)));
            p.drawEllipse(stone.adjusted(s / 8.0, s / 8.0, -s / 8.0, -s / 8.0));
        }
        const int owner = Marks.Owner[i];
        if (owner == Black || owner == White) {
            const QRectF box(o.x() + (s - square) / 2.0, o.y() + (s - square) / 2.0, square, square);
            p.setPen(QPen(owner == Black ? QColor(230, 230, 230) : QColor(40, 40, 40), 1));
            p.setBrush(owner == Black ? QColor(15, 15, 15) : QColor(250, 250, 250));
            p.drawRect(box);
        }
    }
    p.setBrush(Qt::NoBrush);
}

void BoardView::Impl::paintLetters(QPainter& p) const {
    if (!LaidOut || Letters.empty()) return;
    const int s = Geo.StoneSize;
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(std::max(6, s * 11 / 20));
    p.setFont(f);
    for (const auto& [pos, letter] : Letters) {
        if (pos <= 0 || pos > Game.BoardLast || pos >= BoardCells) continue;
        const QPoint o = cellOrigin(pos);
        const QRectF disc(o.x() + s * 0.12, o.y() + s * 0.12, s * 0.76, s * 0.76);
        // A light disc hides the grid under the letter; the letter in the board's dark blue.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(qRed(LabelDisc), qGreen(LabelDisc), qBlue(LabelDisc), 235));
        p.drawEllipse(disc);
        p.setBrush(Qt::NoBrush);
        p.setPen(QColor(MarkInk));
        p.drawText(disc, Qt::AlignCenter, letter);
    }
}

QColor BoardView::Impl::inkAt(int pos) const {
    const int colour = Game.Board[static_cast<size_t>(pos)];
    if (colour == Black) return QColor(255, 255, 255);
    if (colour == White) return QColor(0, 0, 0);
    return QColor(MarkInk);
}

QFont BoardView::Impl::labelFont(const QString& text) const {
    const int s = Geo.StoneSize;
    if (s != LabelStoneSize) {
        LabelStoneSize = s;
        LabelFont = QFont(QStringLiteral("DejaVu Sans"));
        LabelFont.setBold(true);
        LabelFont.setPixelSize(std::max(6, s * 11 / 20));
    }
    // One or two characters fit as they are; longer texts shrink until they fit the stone.
    if (text.size() <= 2) return LabelFont;
    QFont f = LabelFont;
    for (int px = f.pixelSize(); px > 6 && QFontMetrics(f).horizontalAdvance(text) > s - 2;) f.setPixelSize(--px);
    return f;
}

void BoardView::Impl::paintVeils(QPainter& p) const {
    if (!LaidOut || Markup.Marks.empty()) return;
    const int s = Geo.StoneSize;
    p.setClipping(false);
    p.setPen(Qt::NoPen);
    for (const PointMark& m : Markup.Marks) {
        if (!validPos(m.Pos) || (m.Shape != MarkShape::Dimmed && m.Shape != MarkShape::Selected)) continue;
        const QPoint o = cellOrigin(m.Pos);
        // Dimmed: the point seen through the wood; selected: a blue wash over the point.
        p.setBrush(m.Shape == MarkShape::Dimmed ? QColor(240, 190, 110, 165) : QColor(40, 110, 240, 110));
        p.drawRect(QRectF(o.x(), o.y(), s, s));
    }
    p.setBrush(Qt::NoBrush);
}

void BoardView::Impl::paintVariations(QPainter& p) const {
    if (!LaidOut || Variations.empty()) return;
    const int s = Geo.StoneSize;
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing);
    for (const VariationMark& v : Variations) {
        if (!validPos(v.Pos) || Game.Board[static_cast<size_t>(v.Pos)] != 0) continue;
        const QPoint o = cellOrigin(v.Pos);
        const QRectF stone(o.x() + 1.0, o.y() + 1.0, s - 2.0, s - 2.0);
        // A stone of the move's colour seen through, a little smaller than a stone; its letter
        // small at the point's upper right, unlike a label's large one in the middle.
        const QRectF faint = stone.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.1);
        p.setBrush(v.Colour == Black ? QColor(0, 0, 0, 110) : QColor(255, 255, 255, 170));
        if (v.MainLine)
            p.setPen(QPen(QColor(MainLineRing), std::max(2.0, s / 12.0)));
        else
            p.setPen(QPen(v.Colour == Black ? QColor(0, 0, 0, 140) : QColor(90, 90, 90, 160), 1));
        p.drawEllipse(faint);
        if (!VariationLetters) continue;
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(std::max(6, s * 3 / 10));
        p.setFont(f);
        const QRectF corner(o.x() + s * 0.62, o.y() - s * 0.04, s * 0.42, s * 0.38);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 250, 235, 210));
        p.drawRoundedRect(corner.adjusted(s * 0.04, s * 0.02, -s * 0.04, -s * 0.02), s * 0.08, s * 0.08);
        p.setPen(QColor(30, 60, 140));
        p.drawText(corner, Qt::AlignCenter, QString(QChar::fromLatin1(v.Letter)));
    }
    p.setBrush(Qt::NoBrush);
}

void BoardView::Impl::paintMarkup(QPainter& p) const {
    if (!LaidOut || Markup.empty()) return;
    const double s = Geo.StoneSize;
    const double w = std::max(1.5, s / 14.0);
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (const PointMark& m : Markup.Marks) {
        if (!validPos(m.Pos)) continue;
        const QPointF c = centreOf(m.Pos);
        p.setPen(QPen(inkAt(m.Pos), w, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
        switch (m.Shape) {
            case MarkShape::Triangle: {
                const QPointF corners[3] = {c + QPointF(0, -0.30 * s), c + QPointF(-0.26 * s, 0.15 * s),
                                            c + QPointF(0.26 * s, 0.15 * s)};
                p.drawPolygon(corners, 3);
                break;
            }
            case MarkShape::Square: p.drawRect(QRectF(c.x() - 0.22 * s, c.y() - 0.22 * s, 0.44 * s, 0.44 * s)); break;
            case MarkShape::Circle: p.drawEllipse(c, 0.27 * s, 0.27 * s); break;
            case MarkShape::Cross:
                p.drawLine(c + QPointF(-0.2 * s, -0.2 * s), c + QPointF(0.2 * s, 0.2 * s));
                p.drawLine(c + QPointF(-0.2 * s, 0.2 * s), c + QPointF(0.2 * s, -0.2 * s));
                break;
            case MarkShape::Selected:
            case MarkShape::Dimmed: break;  // veils, drawn under the numbers
        }
    }
    for (const PointLabel& l : Markup.Labels) {
        if (!validPos(l.Pos)) continue;
        const QPoint o = cellOrigin(l.Pos);
        const QRectF cell(o.x(), o.y(), s, s);
        if (Game.Board[static_cast<size_t>(l.Pos)] == 0) {
            // A disc of the wood hides the grid under the text.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(qRed(LabelDisc), qGreen(LabelDisc), qBlue(LabelDisc), 235));
            p.drawEllipse(cell.adjusted(s * 0.08, s * 0.08, -s * 0.08, -s * 0.08));
            p.setBrush(Qt::NoBrush);
        }
        const QString text = QString::fromStdString(l.Text);
        const QFont f = labelFont(text);
        p.setFont(f);
        p.setPen(inkAt(l.Pos));
        // What still does not fit at the smallest size ends in an ellipsis within the point.
        p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine,
                   QFontMetrics(f).elidedText(text, Qt::ElideRight, static_cast<int>(s) - 1));
    }
    for (const LineMark& l : Markup.Lines) {
        if (!validPos(l.From) || !validPos(l.To)) continue;
        const QPointF a = centreOf(l.From), b = centreOf(l.To);
        const QLineF line(a, b);
        // The arrow's head: two strokes back from the target's centre.
        QPolygonF head;
        if (l.Arrow) {
            const QLineF back(b, a);
            const double len = std::min(0.45 * s, back.length());
            head << QLineF::fromPolar(len, back.angle() + 25).translated(b).p2() << b
                 << QLineF::fromPolar(len, back.angle() - 25).translated(b).p2();
        }
        // A light halo under the dark stroke keeps it seen over black stones. Flat ends: a
        // round one makes a long stroke many times as dear to fill.
        const std::pair<QColor, double> strokes[] = {{QColor(255, 255, 255, 200), w + 2.0}, {QColor(MarkInk), w}};
        for (const auto& [colour, width] : strokes) {
            p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            p.drawLine(line);
            if (l.Arrow) p.drawPolyline(head);
        }
    }
}

void BoardView::Impl::paintCandidates(QPainter& p) const {
    if (!LaidOut || Candidates.empty()) return;
    std::vector<CandidateMark> best;
    std::copy_if(Candidates.begin(), Candidates.end(), std::back_inserter(best),
                 [this](const CandidateMark& m) { return emptyPoint(m.pos); });
    std::stable_sort(best.begin(), best.end(), [](const auto& a, const auto& b) { return a.order < b.order; });
    if (best.size() > MaxCandidates) best.resize(MaxCandidates);
    const double s = Geo.StoneSize;
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont rate(QStringLiteral("DejaVu Sans"));
    rate.setBold(true);
    rate.setPixelSize(std::max(7, static_cast<int>(s * 0.32)));
    QFont visits(QStringLiteral("DejaVu Sans"));
    visits.setPixelSize(std::max(6, static_cast<int>(s * 0.26)));
    // Drawn worst first, so that the best lies on top where two touch.
    for (auto m = best.rbegin(); m != best.rend(); ++m) {
        const QPoint o = cellOrigin(m->pos);
        const QRectF disc = QRectF(o.x(), o.y(), s, s).adjusted(s * 0.05, s * 0.05, -s * 0.05, -s * 0.05);
        const QColor colour = candidateColour(m->order);
        p.setPen(QPen(colour.darker(150), std::max(1.0, s / 22.0)));
        p.setBrush(colour);
        p.drawEllipse(disc);
        // Too small a point for two lines of text: the disc alone.
        if (s < 18) continue;
        const double pct = std::clamp(m->winrate, 0.0, 1.0) * 100;
        const QString rateText = pct >= 99.95 ? QStringLiteral("100") : QString::number(pct, 'f', 1);
        p.setPen(QColor(15, 25, 35));
        p.setFont(rate);
        p.drawText(QRectF(disc.left(), disc.top() + s * 0.1, disc.width(), s * 0.42),
                   Qt::AlignHCenter | Qt::AlignBottom, rateText);
        p.setFont(visits);
        p.drawText(QRectF(disc.left(), disc.top() + s * 0.52, disc.width(), s * 0.35), Qt::AlignHCenter | Qt::AlignTop,
                   visitsText(m->visits));
    }
    p.setBrush(Qt::NoBrush);
}

void BoardView::Impl::paintBetterMove(QPainter& p) const {
    if (!emptyPoint(Better)) return;
    const QPoint o = cellOrigin(Better);
    const double s = Geo.StoneSize;
    const double w = std::max(2.0, s / 9.0);
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing);
    // A ring of its own, the wood inside a little tinted so that it shows from afar.
    p.setBrush(QColor(qRed(BetterRing), qGreen(BetterRing), qBlue(BetterRing), 45));
    p.setPen(QPen(QColor(BetterRing), w));
    p.drawEllipse(QRectF(o.x() + w / 2 + 0.5, o.y() + w / 2 + 0.5, s - w - 1, s - w - 1));
    if (BetterGain.isEmpty()) {
        p.setBrush(Qt::NoBrush);
        return;
    }
    // The gain on a light tab just under the ring, above it on the lowest line.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(std::max(7, static_cast<int>(s * 0.3)));
    const QFontMetricsF fm(f);
    const double tw = fm.horizontalAdvance(BetterGain) + 4, th = fm.height();
    double top = o.y() + s;
    if (top + th > Picture.height()) top = o.y() - th;
    // Kept within the board at its sides.
    const double left = std::clamp(o.x() + (s - tw) / 2, 0.0, std::max(0.0, Picture.width() - tw));
    const QRectF tab(left, top, tw, th);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 235, 225));
    p.drawRoundedRect(tab, th / 4, th / 4);
    p.setBrush(Qt::NoBrush);
    p.setFont(f);
    p.setPen(QColor(BetterRing).darker(120));
    p.drawText(tab, Qt::AlignCenter, BetterGain);
}

void BoardView::Impl::paintHint(QPainter& p) const {
    if (!LaidOut || Hint <= 0 || Hint > Game.BoardLast || Hint >= BoardCells) return;
    const QPoint o = cellOrigin(Hint);
    const int s = Geo.StoneSize;
    const int w = std::max(2, s / 9);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipping(false);
    // A stone of the side to move, seen through, in a blue ring: neither a stone nor the
    // last-move cross.
    p.setBrush(Game.SideToMove == Black ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 140));
    p.setPen(QPen(QColor(20, 110, 240), w));
    p.drawEllipse(QRectF(o.x() + w / 2.0 + 0.5, o.y() + w / 2.0 + 0.5, s - w - 1, s - w - 1));
    p.setBrush(Qt::NoBrush);
}

void BoardView::Impl::prcGobanDraw() {
    const int n = Game.BoardSize;
    const int cm = Geo.CoordMargin;
    const int size = Geo.ImageSize;
    const int cell = Geo.CellSize;
    if (BoardBitmap.width() != size || BoardBitmap.height() != size)
        BoardBitmap = QImage(size, size, QImage::Format_RGB32);

    if (Zahyou && cm > 0) {
        fillRect(BoardBitmap, 0, 0, size, cm, StripColour);
        fillRect(BoardBitmap, 0, cm, cm, size, StripColour);

        QPainter p(&BoardBitmap);
        const QFont& f = coordFont(Geo.FontHeight);
        p.setFont(f);
        p.setPen(QColor(CoordTextColour));
        p.setBackground(QColor(StripColour));
        p.setBackgroundMode(Qt::OpaqueMode);
        const QFontMetrics fm(f);
        const int ascent = fm.ascent();
        for (int i = 0; i < n; ++i) {
            const int letter = Hanten ? n - 1 - i : i;
            const QString s{QChar(ColumnLetters[letter])};
            const int w = fm.horizontalAdvance(s);
            p.drawText(Geo.FirstLine + i * cell - (w + 1) / 2, cm / 10 + ascent, s);
        }
        const int w1 = fm.horizontalAdvance(QStringLiteral("1"));
        const int halfFont = (Geo.FontHeight + 1) / 2;
        for (int e = 1; e <= n; ++e) {
            int shown = Hanten ? n - e + 1 : e;
            if (CoordNameTable::fromBottom()) shown = n + 1 - shown;
            const int top = (e - 1) * cell + cm + Geo.EdgeMargin - halfFont;
            p.drawText(shown < 10 ? w1 : 0, top + ascent, QString::number(shown));
        }
    }

    // Wood tiles from the strips' corner; the last row and column are cut by the edge.
    const int tw = BoardTexture.width();
    const int th = BoardTexture.height();
    for (int y = cm; y < size; y += th)
        for (int x = cm; x < size; x += tw) blit(BoardBitmap, x, y, BoardTexture, 0, 0, tw, th, false);

    const int first = Geo.FirstLine;
    const int last = first + (n - 1) * cell;
    for (int k = 0; k < n; ++k) vLine(BoardBitmap, first + k * cell, first, last, GridColour);
    for (int k = 0; k < n; ++k) hLine(BoardBitmap, first, last, first + k * cell, GridColour);

    hLine(BoardBitmap, cm, size - 1, cm, BevelLight);
    vLine(BoardBitmap, cm, cm, size - 1, BevelLight);
    hLine(BoardBitmap, cm + 1, size - 1, size - 1, BevelDark);
    vLine(BoardBitmap, size - 1, cm + 1, size - 1, BevelDark);

    const StarTable stars = starPointsOf(n);
    auto star = [&](int col, int row) {
        const int x = first + (col - 1) * cell;
        const int y = first + (row - 1) * cell;
        if (cell < 20) {
            fillRect(BoardBitmap, x - 1, y - 1, x + 2, y + 2, GridColour);
        } else {
            fillRect(BoardBitmap, x - 2, y - 1, x + 3, y + 2, GridColour);
            fillRect(BoardBitmap, x - 1, y - 2, x + 2, y + 3, GridColour);
        }
    };
    for (int a = 0; a < stars.Count; ++a)
        for (int b = 0; b < stars.Count; ++b) star(stars.Lines[a], stars.Lines[b]);
    if (stars.Centre > 0) star(stars.Centre, stars.Centre);
}

void BoardView::Impl::scaleStones() {
    const int s = Geo.StoneSize;
    for (int i = 0; i < 4; ++i) {
        // Nearest-pixel stretch: every scaled pixel is a copy of one design pixel, so the
        // key colour stays exact.
        StoneScaled[i] = StoneOrg[i]
                             .scaled(s, s, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    }
}

QPoint BoardView::Impl::cellOrigin(int pos) const {
    const int d = Hanten ? Game.BoardLast - pos : pos;
    const int column = d / Game.BoardStride;
    const int row = d % Game.BoardStride;
    return {Geo.CellSize * column + Geo.StoneOrigin, Geo.CellSize * row + Geo.StoneOrigin};
}

BoardView::BoardView(const GameState& game, QWidget* parent) : QWidget(parent), d(new Impl(game)) {
    initBoardArt();
    QFont::insertSubstitution(QStringLiteral("Myriad Web"), QStringLiteral("DejaVu Sans"));
    setObjectName(QStringLiteral("pnlMain"));
    setMinimumSize(257, 257);
    // A click on the board takes the focus (from the comment text, say), so that the window's
    // keys reach their commands again.
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(StripColour));
    setPalette(pal);

    d->BoardTexture = woodTile();
    for (int i = 0; i < 4; ++i) d->StoneOrg[i] = designStone(i % 2 + 1, i >= 2);

    d->ImgGoban = new GobanImage(
        d->Picture, [this](QPainter& p) { d->paintOverlay(p); }, this);
    d->PbxGbn = new BoardPaintBox(this);
    d->ImgGoban->hide();
    d->PbxGbn->hide();
}

BoardView::~BoardView() { delete d; }

void BoardView::setZahyou(bool on) { d->Zahyou = on; }
void BoardView::setTejun(bool on) {
    d->Tejun = on;
    repaintBoard();
}
bool BoardView::tejun() const { return d->Tejun; }
void BoardView::setHint(int pos) {
    if (d->Hint == pos) return;
    d->Hint = pos;
    repaintBoard();
}
int BoardView::hint() const { return d->Hint; }
void BoardView::setCandidates(const std::vector<CandidateMark>& marks) {
    if (d->Candidates == marks) return;
    d->Candidates = marks;
    repaintBoard();
}
void BoardView::setBetterMove(int pos, const QString& gainText) {
    if (d->Better == pos && d->BetterGain == gainText) return;
    d->Better = pos;
    d->BetterGain = gainText;
    repaintBoard();
}
void BoardView::setMarks(const BoardMarks& marks) {
    d->Marks = marks;
    d->Marked = true;
    repaintBoard();
}
void BoardView::clearMarks() {
    if (!d->Marked) return;
    d->Marked = false;
    repaintBoard();
}
bool BoardView::hasMarks() const { return d->Marked; }
void BoardView::setLetters(const std::vector<std::pair<int, QString>>& letters) {
    if (d->Letters == letters) return;
    d->Letters = letters;
    repaintBoard();
}
const std::vector<std::pair<int, QString>>& BoardView::letters() const { return d->Letters; }
void BoardView::setMarkup(const NodeMarkup& markup) {
    if (d->Markup == markup) return;
    d->Markup = markup;
    repaintBoard();
}
const NodeMarkup& BoardView::markup() const { return d->Markup; }
void BoardView::setVariationLetters(bool on) {
    if (d->VariationLetters == on) return;
    d->VariationLetters = on;
    update();
}

void BoardView::setVariationMarks(const std::vector<VariationMark>& marks) {
    if (d->Variations == marks) return;
    d->Variations = marks;
    repaintBoard();
}
const std::vector<VariationMark>& BoardView::variationMarks() const { return d->Variations; }
void BoardView::setHanten(bool on) { d->Hanten = on; }
bool BoardView::zahyou() const { return d->Zahyou; }
bool BoardView::hanten() const { return d->Hanten; }

void BoardView::relayout() {
    const GameState& g = d->Game;
    const int n = g.BoardSize;
    d->LaidOut = false;
    if (!drawableSize(n) || g.BoardStride != n + 2) {
        // A size without a drawing: the panel stays empty and takes no clicks.
        d->Geo = BoardGeometry{};
        d->Picture = QImage();
        d->BoardBitmap = QImage();
        d->ImgGoban->hide();
        d->PbxGbn->hide();
        update();
        return;
    }

    d->Geo = computeBoardGeometry(width(), height(), n, d->Zahyou);
    const BoardGeometry& geo = d->Geo;
    d->prcGobanDraw();

    d->Picture = std::exchange(d->BoardBitmap, QImage());
    d->ImgGoban->setGeometry(geo.ImageLeft, geo.ImageTop, geo.ImageSize, geo.ImageSize);
    d->PbxGbn->setGeometry(geo.PaintBoxLeft, geo.PaintBoxTop, geo.PaintBoxSize, geo.PaintBoxSize);
    d->ImgGoban->show();
    d->PbxGbn->show();
    d->PbxGbn->raise();

    d->scaleStones();
    d->LaidOut = true;
    d->LaidOutSize = size();

    for (int column = 1; column <= n; ++column)
        for (int row = 1; row <= n; ++row) {
            const int pos = column * g.BoardStride + row;
            if (g.Board[pos] > 0) paintStone(pos, g.Board[pos], false);
        }

    // The last move's stone with its marker.
    if (g.CurrentMove > 1) {
        const int e = g.HandicapCount + g.CurrentMove - 1;
        const int last = e >= 1 && e <= RecordCapacity ? g.MovePos[e] : 0;
        if (last > 0 && last <= g.BoardLast && g.Board[last] > 0) paintStone(last, g.Board[last], true);
    }
    repaintBoard();
}

bool BoardView::laidOutForSize() const { return d->LaidOut && d->LaidOutSize == size(); }

void BoardView::paintStone(int pos, int colour, bool marked) {
    if (!d->validPos(pos) || (colour != Black && colour != White)) return;
    const QImage& img = d->StoneScaled[colour + (marked ? 2 : 0) - 1];
    const QPoint o = d->cellOrigin(pos);
    blit(d->Picture, o.x(), o.y(), img, 0, 0, img.width(), img.height(), true);
}

void BoardView::erasePoint(int pos) {
    if (!d->validPos(pos)) return;
    const QPoint o = d->cellOrigin(pos);
    const int c = d->Geo.CellSize;
    d->ensureCleanBoard();
    blit(d->Picture, o.x(), o.y(), d->BoardBitmap, o.x(), o.y(), c, c, false);
}

void BoardView::repaintBoard() { d->ImgGoban->update(); }

const BoardGeometry& BoardView::geometryInfo() const { return d->Geo; }
const QImage& BoardView::picture() const { return d->Picture; }
QImage BoardView::shownPicture() const {
    QImage shown = d->Picture.copy();
    if (!shown.isNull()) {
        QPainter p(&shown);
        d->paintOverlay(p);
    }
    return shown;
}
const QImage& BoardView::cleanBoard() const {
    d->ensureCleanBoard();
    return d->BoardBitmap;
}
QWidget* BoardView::paintBox() const { return d->PbxGbn; }

void BoardView::paintEvent(QPaintEvent*) {
    // The background is filled by the widget itself; a one-pixel lowered bevel frames it.
    QPainter p(this);
    const int r = width() - 1, b = height() - 1;
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, r, 0);
    p.drawLine(0, 0, 0, b);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(1, b, r, b);
    p.drawLine(r, 1, r, b);
}

void BoardView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    emit resized();
}

}  // namespace tavrin
