#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <vector>

#include "game/Engine.h"
#include "tests/game/TestBoard.h"
#include "view/AssetImage.h"
#include "view/BoardView.h"

using namespace tavrin;

namespace {

constexpr QRgb Black0 = 0x000000;
constexpr QRgb Strip = 0x406020;       // 64, 96, 32
constexpr QRgb BevelLight = 0xFDDDAE;  // 253, 221, 174
constexpr QRgb BevelDark = 0xB16C05;   // 177, 108, 5
constexpr QRgb Key = 0xFABC5E;         // 250, 188, 94
constexpr QRgb Mark = 0xF73939;        // 247, 57, 57

QRgb px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

int countColour(const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += px(img, x, y) == c;
    return n;
}

// A game of the given size laid out in a square panel.
struct Board {
    GameState g;
    BoardView v;
    explicit Board(int size, int panel = 474, bool zahyou = true, bool hanten = false) : g(test::newGame(size)), v(g) {
        v.resize(panel, panel);
        v.setZahyou(zahyou);
        v.setHanten(hanten);
        v.relayout();
    }
    int pos(int column, int row) const { return column * g.BoardStride + row; }
    const BoardGeometry& geo() const { return v.geometryInfo(); }
    int line(int k) const { return geo().FirstLine + (k - 1) * geo().CellSize; }
    void put(int column, int row, int colour, int mode = 0) { prcStnPut(g, pos(column, row), colour, mode, v); }
};

TEST(BoardView, GridLinesAndBevel) {
    for (bool zahyou : {false, true}) {
        Board b(19, 474, zahyou);
        const QImage& img = b.v.cleanBoard();
        const int cm = b.geo().CoordMargin;
        const int size = b.geo().ImageSize;
        ASSERT_EQ(img.width(), size);
        ASSERT_EQ(img.height(), size);
        const int first = b.line(1), last = b.line(19);
        for (int k = 1; k <= 19; ++k)
            for (int t = first; t <= last; ++t) {
                ASSERT_EQ(px(img, b.line(k), t), Black0) << k << " " << t;
                ASSERT_EQ(px(img, t, b.line(k)), Black0) << k << " " << t;
            }
        // Nothing black just outside the grid or between lines (away from star points).
        for (int t = first; t <= last; ++t) {
            EXPECT_NE(px(img, first - 1, t), Black0);
            EXPECT_NE(px(img, last + 1, t), Black0);
            EXPECT_NE(px(img, t, first - 1), Black0);
            EXPECT_NE(px(img, t, last + 1), Black0);
        }
        EXPECT_NE(px(img, b.line(2) + 3, b.line(2) + 3), Black0);
        // Bevel: light top and left up to the far corner, dark bottom and right from + 1.
        for (int t = cm; t < size; ++t) {
            EXPECT_EQ(px(img, t, cm), BevelLight) << t;
            EXPECT_EQ(px(img, cm, t), BevelLight) << t;
        }
        for (int t = cm + 1; t < size; ++t) {
            EXPECT_EQ(px(img, t, size - 1), BevelDark) << t;
            EXPECT_EQ(px(img, size - 1, t), BevelDark) << t;
        }
        // Strips in the panel's green only with coordinates.
        if (zahyou) {
            EXPECT_EQ(px(img, 0, 0), Strip);
            EXPECT_EQ(px(img, 0, size - 1), Strip);
            EXPECT_EQ(px(img, size - 1, 0), Strip);
        } else {
            EXPECT_EQ(px(img, 0, 0), BevelLight);
            EXPECT_EQ(countColour(img, Strip), 0);
        }
        // The picture starts as the clean board.
        EXPECT_EQ(b.v.picture(), img);
    }
}

// Star points: which intersections carry one, and the shape in the 7 x 7 neighbourhood
// (grid lines plus a 3 x 3 square below CellSize 20, the 5 x 5 cross-shaped point from 20).
TEST(BoardView, StarPoints) {
    using Points = std::vector<std::pair<int, int>>;
    const Points s19{{4, 4}, {4, 10}, {4, 16}, {10, 4}, {10, 10}, {10, 16}, {16, 4}, {16, 10}, {16, 16}};
    const Points s13{{4, 4}, {4, 10}, {7, 7}, {10, 4}, {10, 10}};
    const Points s9{{3, 3}, {3, 7}, {5, 5}, {7, 3}, {7, 7}};
    struct Case {
        int size, panel, cell;  // without coordinates
        bool large;
        const Points& stars;
    };
    const Case cases[] = {{19, 379, 19, false, s19},
                          {19, 397, 20, true, s19},
                          {19, 257, 12, false, s19},
                          {13, 474, 34, true, s13},
                          {9, 257, 26, true, s9}};
    for (const Case& c : cases) {
        Board b(c.size, c.panel, false);
        ASSERT_EQ(b.geo().CellSize, c.cell);
        const QImage& img = b.v.cleanBoard();
        Points found;
        for (int col = 1; col <= c.size; ++col)
            for (int row = 1; row <= c.size; ++row)
                if (px(img, b.line(col) + 1, b.line(row) + 1) == Black0) found.emplace_back(col, row);
        EXPECT_EQ(found, c.stars) << c.size;
        for (auto [col, row] : c.stars)
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    const int ax = std::abs(dx), ay = std::abs(dy);
                    const bool inStar = c.large ? ax <= 2 && ay <= 2 && !(ax == 2 && ay == 2) : ax <= 1 && ay <= 1;
                    EXPECT_EQ(px(img, b.line(col) + dx, b.line(row) + dy) == Black0, dx == 0 || dy == 0 || inStar)
                        << "cell " << c.cell << " at " << col << "-" << row << " d " << dx << "," << dy;
                }
    }
}

TEST(BoardView, StoneCentredOnItsPointWithWoodAroundIt) {
    for (int panel : {474, 640, 1200}) {
        Board b(19, panel, true);
        const BoardGeometry& geo = b.geo();
        b.put(3, 3, Black);
        b.put(17, 5, White);
        const QImage& pic = b.v.picture();
        const QImage& clean = b.v.cleanBoard();
        for (auto [col, row] : {std::pair{3, 3}, std::pair{17, 5}}) {
            const int x = b.line(col), y = b.line(row);
            // Corners of the stone image are see-through: the wood shows.
            const int ox = x - geo.StoneSize * 55 / 116, oy = y - geo.StoneSize * 55 / 116;
            EXPECT_EQ(px(pic, ox, oy), px(clean, ox, oy));
            EXPECT_EQ(px(pic, ox + geo.StoneSize - 1, oy), px(clean, ox + geo.StoneSize - 1, oy));
            EXPECT_EQ(px(pic, ox, oy + geo.StoneSize - 1), px(clean, ox, oy + geo.StoneSize - 1));
            EXPECT_NE(px(pic, x, y), px(clean, x, y));
            // The disc reaches as far left of the line as above it, about half its width.
            int left = x, top = y;
            while (px(pic, left - 1, y) != px(clean, left - 1, y)) --left;
            while (px(pic, x, top - 1) != px(clean, x, top - 1)) --top;
            const double radius = geo.StoneSize * 55.0 / 58.0 / 2.0;
            EXPECT_NEAR(x - left, radius, 1.5) << panel;
            EXPECT_NEAR(y - top, radius, 1.5) << panel;
        }
        // The stone images never leave their key colour on the board.
        EXPECT_EQ(countColour(pic, Key), 0);
    }
}

TEST(BoardView, ErasingRestoresTheCleanBoard) {
    for (int panel : {257, 474, 1000}) {
        Board b(19, panel, true);
        // A stone and its four neighbours, edges and corners included.
        const int points[][2] = {{10, 10}, {9, 10}, {11, 10}, {10, 9}, {10, 11}, {1, 1}, {19, 19}, {1, 19}};
        for (auto& p : points) b.put(p[0], p[1], White);
        b.put(19, 1, Black, 2);
        for (auto& p : points) b.put(p[0], p[1], 0);
        b.put(19, 1, 0);
        EXPECT_EQ(b.v.picture(), b.v.cleanBoard()) << panel;

        // Erasing one point leaves its neighbour's stone exactly as drawn alone.
        Board alone(19, panel, true);
        alone.put(10, 10, Black);
        b.put(10, 10, Black);
        b.put(11, 10, White);
        b.put(10, 11, White);
        b.put(11, 10, 0);
        b.put(10, 11, 0);
        EXPECT_EQ(b.v.picture(), alone.v.picture()) << panel;
    }
}

TEST(BoardView, LastMoveMarker) {
    Board b(19);
    EXPECT_EQ(countColour(b.v.picture(), Mark), 0);
    NullPainter none;
    prcHitCore(b.g, b.pos(4, 4), Black, b.v);
    prcHitCore(b.g, b.pos(16, 16), White, b.v);
    const int marked = countColour(b.v.picture(), Mark);
    EXPECT_GT(marked, 0);
    // The mark follows the last move and lies on its stone.
    const QImage before = b.v.picture();
    b.v.relayout();
    EXPECT_EQ(b.v.picture(), before);
    const int x = b.line(16), y = b.line(16);
    EXPECT_EQ(px(b.v.picture(), x, y), Mark);
    EXPECT_NE(px(b.v.picture(), b.line(4), b.line(4)), Mark);
    // After a pass no stone is marked, also after a re-layout.
    prcHitCore(b.g, PassPos, Black, b.v);
    EXPECT_EQ(countColour(b.v.picture(), Mark), 0);
    b.v.relayout();
    EXPECT_EQ(countColour(b.v.picture(), Mark), 0);
}

// A re-layout draws every stone of Board, at the new size.
TEST(BoardView, RelayoutRedrawsEveryStone) {
    Board b(13, 474, true);
    for (int c = 1; c <= 13; ++c)
        for (int r = 1; r <= 13; ++r)
            if ((c * 7 + r * 3) % 4 == 0) b.g.Board[b.pos(c, r)] = (c + r) % 2 + 1;
    b.v.resize(700, 650);
    b.v.relayout();

    Board ref(13, 474, true);
    ref.v.resize(700, 650);
    ref.v.relayout();
    for (int c = 1; c <= 13; ++c)
        for (int r = 1; r <= 13; ++r)
            if (b.g.Board[b.pos(c, r)] > 0) ref.put(c, r, b.g.Board[b.pos(c, r)]);
    EXPECT_EQ(b.v.picture(), ref.v.picture());
    EXPECT_NE(b.v.picture(), b.v.cleanBoard());
}

TEST(BoardView, TurnedBoardDrawsMirroredPoints) {
    for (int size : {9, 13, 19}) {
        Board turned(size, 474, false, true);
        Board plain(size, 474, false, false);
        const int p = turned.pos(3, 2), q = turned.pos(size, size - 1);
        turned.put(3, 2, Black, 2);
        turned.put(size, size - 1, White);
        prcStnPut(plain.g, plain.g.BoardLast - p, Black, 2, plain.v);
        prcStnPut(plain.g, plain.g.BoardLast - q, White, 0, plain.v);
        EXPECT_EQ(turned.v.picture(), plain.v.picture()) << size;
        EXPECT_EQ(turned.v.cleanBoard(), plain.v.cleanBoard()) << size;
        // Erasing on the turned board clears the mirrored point.
        turned.put(3, 2, 0);
        turned.put(size, size - 1, 0);
        EXPECT_EQ(turned.v.picture(), turned.v.cleanBoard()) << size;
    }
}

// Crop of a coordinate label: the C-wide column of the top strip around line i, or the
// C-high band of the left strip around row e.
QImage letterCrop(const Board& b, int i) {
    const int c = b.geo().CellSize;
    return b.v.cleanBoard().copy(b.line(i) - c / 2, 0, c, b.geo().CoordMargin);
}
QImage numberCrop(const Board& b, int e) {
    const int c = b.geo().CellSize;
    return b.v.cleanBoard().copy(0, b.line(e) - c / 2, b.geo().CoordMargin, c);
}

TEST(BoardView, CoordinateLabelsTurnWithTheBoard) {
    for (int size : {9, 13, 19}) {
        Board plain(size, 474, true, false);
        Board turned(size, 474, true, true);
        for (int i = 1; i <= size; ++i) {
            EXPECT_EQ(letterCrop(turned, i), letterCrop(plain, size + 1 - i)) << size << " " << i;
            EXPECT_EQ(numberCrop(turned, i), numberCrop(plain, size + 1 - i)) << size << " " << i;
        }
        // Labels are really drawn: white text, and neighbouring labels differ.
        for (int i = 1; i < size; ++i) {
            const QImage crop = letterCrop(plain, i);
            EXPECT_LT(countColour(crop, Strip), crop.width() * crop.height()) << i;
            EXPECT_NE(letterCrop(plain, i), letterCrop(plain, i + 1)) << i;
            EXPECT_NE(numberCrop(plain, i), numberCrop(plain, i + 1)) << i;
        }
        // The wooden area is the same either way.
        const int cm = plain.geo().CoordMargin, s = plain.geo().ImageSize;
        EXPECT_EQ(plain.v.cleanBoard().copy(cm, cm, s - cm, s - cm),
                  turned.v.cleanBoard().copy(cm, cm, s - cm, s - cm));
    }
}

// Leftmost column with text ink in a crop of the left strip, or -1.
int leftInk(const QImage& crop) {
    for (int x = 0; x < crop.width(); ++x)
        for (int y = 0; y < crop.height(); ++y)
            if (px(crop, x, y) != Strip) return x;
    return -1;
}

TEST(BoardView, OneDigitRowNumbersStandInTheUnitsColumn) {
    Board b(19, 474, true);
    const int x1 = leftInk(numberCrop(b, 1));
    const int x10 = leftInk(numberCrop(b, 10));
    ASSERT_GE(x10, 0);
    const int w1 = x1 - x10;  // the "1" of row 1 starts one digit width after the "1" of 10
    EXPECT_GT(w1, 2);
    for (int e = 1; e <= 9; ++e) EXPECT_GE(leftInk(numberCrop(b, e)), x1 - 2) << e;
    // The units "1" of row 11 is drawn exactly like the single "1" of row 1.
    const QImage one = numberCrop(b, 1);
    const QImage eleven = numberCrop(b, 11);
    EXPECT_EQ(one.copy(w1, 0, one.width() - w1, one.height()), eleven.copy(w1, 0, one.width() - w1, one.height()));
    // Letters hang from just below the strip's top: the top row of each strip stays empty.
    for (int i = 1; i <= 19; ++i) {
        const QImage crop = letterCrop(b, i);
        for (int x = 0; x < crop.width(); ++x) ASSERT_EQ(px(crop, x, 0), Strip) << i;
    }
}

TEST(BoardView, WidgetsAndMouse) {
    Board b(19, 474, true);
    const BoardGeometry& geo = b.geo();
    QWidget* box = b.v.paintBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "pbxGbn");
    EXPECT_EQ(b.v.objectName(), "pnlMain");
    EXPECT_EQ(box->geometry(), QRect(geo.PaintBoxLeft, geo.PaintBoxTop, geo.PaintBoxSize, geo.PaintBoxSize));
    EXPECT_EQ(box->cursor().shape(), Qt::PointingHandCursor);
    QWidget* img = b.v.findChild<QWidget*>("imgGoban");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->geometry(), QRect(geo.ImageLeft, geo.ImageTop, geo.ImageSize, geo.ImageSize));

    std::vector<std::tuple<int, Qt::MouseButton, int, int>> seen;
    QObject::connect(&b.v, &BoardView::boardMouseDown,
                     [&](Qt::MouseButton bt, int x, int y) { seen.emplace_back(0, bt, x, y); });
    QObject::connect(&b.v, &BoardView::boardMouseUp,
                     [&](Qt::MouseButton bt, int x, int y) { seen.emplace_back(1, bt, x, y); });
    auto send = [&](QEvent::Type t, Qt::MouseButton bt, QPoint at) {
        QMouseEvent e(t, QPointF(at), box->mapToGlobal(QPointF(at)), bt,
                      t == QEvent::MouseButtonPress ? bt : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, {25, 70});
    send(QEvent::MouseButtonRelease, Qt::LeftButton, {26, 71});
    send(QEvent::MouseButtonRelease, Qt::RightButton, {-3, 500});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(0, Qt::LeftButton, 25, 70));
    EXPECT_EQ(seen[1], std::make_tuple(1, Qt::LeftButton, 26, 71));
    EXPECT_EQ(seen[2], std::make_tuple(1, Qt::RightButton, -3, 500));

    // A click on a drawn stone addresses that stone, turned or not.
    for (bool hanten : {false, true}) {
        b.v.setHanten(hanten);
        b.v.relayout();
        b.put(5, 3, 0);
        const int p = b.pos(5, 3);
        b.put(5, 3, Black);
        // Find the drawn stone: the point whose intersection changed.
        int hit = 0;
        for (int col = 1; col <= 19 && !hit; ++col)
            for (int row = 1; row <= 19; ++row) {
                const int x = b.line(col), y = b.line(row);
                if (px(b.v.picture(), x, y) != px(b.v.cleanBoard(), x, y)) {
                    hit = pointAtPixel(geo, 19, hanten, x - (geo.PaintBoxLeft - geo.ImageLeft),
                                       y - (geo.PaintBoxTop - geo.ImageTop));
                    break;
                }
            }
        EXPECT_EQ(hit, p) << hanten;
    }
}

TEST(BoardView, ResizeSignalsAndResizedLayout) {
    Board b(19, 474, true);
    b.v.show();
    int resized = 0;
    QObject::connect(&b.v, &BoardView::resized, [&] { ++resized; });
    b.v.resize(830, 700);
    EXPECT_EQ(resized, 1);
    // The picture stays until the window asks for the re-layout.
    EXPECT_EQ(b.v.picture().width(), 446);
    b.v.relayout();
    EXPECT_EQ(b.v.geometryInfo().ImageSize, b.v.picture().width());
    EXPECT_EQ(b.v.geometryInfo().CellSize, computeBoardGeometry(830, 700, 19, true).CellSize);
}

TEST(BoardView, SizesWithoutADrawing) {
    GameState g;
    g.BoardSize = 1;
    g.BoardStride = 3;
    g.BoardLast = 8;
    BoardView v(g);
    v.resize(474, 474);
    v.relayout();
    EXPECT_TRUE(v.picture().isNull());
    EXPECT_FALSE(v.paintBox()->isVisibleTo(&v));
    v.paintStone(100, Black, true);  // no drawing, no out-of-range access
    v.erasePoint(300);
    EXPECT_TRUE(v.picture().isNull());

    // A small size of its own draws its grid with the first letters and no star points.
    GameState s;
    s.BoardSize = 5;
    s.BoardStride = 7;
    s.BoardLast = 48;
    BoardView five(s);
    five.resize(474, 474);
    five.relayout();
    const BoardGeometry& geo = five.geometryInfo();
    ASSERT_EQ(five.cleanBoard().width(), geo.ImageSize);
    const int centre = geo.FirstLine + 2 * geo.CellSize;
    EXPECT_EQ(px(five.cleanBoard(), centre, centre), Black0);
    EXPECT_NE(px(five.cleanBoard(), centre + 1, centre + 1), Black0);
    five.paintStone(3 * 7 + 3, White, false);
    EXPECT_NE(px(five.picture(), centre, centre), Black0);
}

}  // namespace

namespace {

// Move numbers: on every stone a move put there and still stands (the later move on a
// point retaken after a capture), on none of the handicap stones, nowhere on the picture
// the moves draw themselves; turned boards number the same stones; off, nothing.
TEST(BoardView, MoveNumbersSitOnTheStonesMovesPut) {
    for (const bool hanten : {false, true}) {
        SCOPED_TRACE(hanten);
        GameState g = test::newGame(9, 2);  // handicap stones at (3,7) and (7,3); white moves
        BoardView v(g);
        v.resize(474, 474);
        v.setHanten(hanten);
        NullPainter np;
        // White 1 (2,2), black 2 (1,2), white 3 (5,5), black 4 (2,1), white 5 (9,9),
        // black 6 (3,2) takes white 1; white 7 (8,8), black 8 (2,2) again on the taken point.
        const int moves[][2] = {{2, 2}, {1, 2}, {5, 5}, {2, 1}, {9, 9}, {3, 2}, {8, 8}, {2, 3}, {7, 7}, {2, 2}};
        for (const auto& m : moves)
            ASSERT_EQ(prcHitCore(g, test::pt(g, m[0], m[1]), g.SideToMove, np), HitResult::Legal);
        v.relayout();
        struct Probe {
            int col, row;
            bool numbered;
        } probes[] = {{1, 2, true}, {5, 5, true}, {2, 2, true}, {3, 7, false}, {7, 3, false}, {4, 4, false}};
        for (const bool on : {false, true}) {
            v.setTejun(on);
            const QImage shown = v.shownPicture();
            for (const Probe& p : probes) {
                const int pos = test::pt(g, p.col, p.row);
                const BoardGeometry& geo = v.geometryInfo();
                const int d = hanten ? g.BoardLast - pos : pos;
                const int x0 = geo.CellSize * (d / g.BoardStride) + geo.StoneOrigin;
                const int y0 = geo.CellSize * (d % g.BoardStride) + geo.StoneOrigin;
                int changed = 0;
                for (int y = y0; y < y0 + geo.StoneSize; ++y)
                    for (int x = x0; x < x0 + geo.StoneSize; ++x)
                        changed += shown.pixel(x, y) != v.picture().pixel(x, y);
                EXPECT_EQ(changed > 0, on && p.numbered) << p.col << "," << p.row;
            }
        }
    }
}

// In 手順表示 the last move's number is not crossed out: its cross gives way to red digits,
// on black and on white stones alike.
TEST(BoardView, LastMoveNumberIsMarkedWithoutItsCross) {
    for (const int last : {Black, White}) {
        SCOPED_TRACE(last);
        Board b(19);
        prcHitCore(b.g, b.pos(4, 4), Black, b.v);
        if (last == White) prcHitCore(b.g, b.pos(16, 16), White, b.v);
        b.v.relayout();
        b.v.setTejun(true);
        const QImage shown = b.v.shownPicture();
        const int at = last == Black ? 4 : 16;
        const int s = b.geo().StoneSize;
        const int x0 = b.line(at) - s / 2, y0 = b.line(at) - s / 2;
        int cross = 0, red = 0;
        for (int y = y0; y < y0 + s; ++y) {
            for (int x = x0; x < x0 + s; ++x) {
                const QRgb c = px(shown, x, y);
                cross += c == Mark;
                red += qRed(c) > 180 && qGreen(c) < 110 && qBlue(c) < 110;
            }
        }
        EXPECT_GT(countColour(b.v.picture(), Mark), 0);  // the board's own picture keeps the cross
        EXPECT_EQ(cross, 0);
        EXPECT_GT(red, 4);  // the digits
    }
}

// Three-digit numbers fit inside the stone from the smallest cell to the largest.
TEST(BoardView, ThreeDigitNumbersFitTheStoneAtEverySize) {
    for (const int panel : {257, 474, 1260}) {
        SCOPED_TRACE(panel);
        GameState g = test::newGame(19);
        NullPainter np;
        // Black fills the top rows, white the bottom ones: nothing is captured.
        for (int k = 0; k < 120; ++k) {
            const int i = k / 2;
            const int pos = test::pt(g, 1 + i % 19, k % 2 ? 19 - i / 19 : 1 + i / 19);
            ASSERT_EQ(prcHitCore(g, pos, g.SideToMove, np), HitResult::Legal) << k;
        }
        BoardView v(g);
        v.resize(panel, panel);
        v.relayout();
        v.setTejun(true);
        const BoardGeometry& geo = v.geometryInfo();
        const QImage shown = v.shownPicture();
        // Move 119's stone: its digits drawn, none cut at the edge of the stone's square (at
        // the smallest cell the digits may use all of it but the outermost pixels).
        const int pos = g.MovePos[119];
        const int x0 = geo.CellSize * (pos / g.BoardStride) + geo.StoneOrigin;
        const int y0 = geo.CellSize * (pos % g.BoardStride) + geo.StoneOrigin;
        const int s = geo.StoneSize;
        int inside = 0, edge = 0;
        for (int y = y0; y < y0 + s; ++y)
            for (int x = x0; x < x0 + s; ++x) {
                const bool changed = shown.pixel(x, y) != v.picture().pixel(x, y);
                const int m = geo.CellSize >= 20 ? 2 : 1;
                const bool atEdge = x < x0 + m || x >= x0 + s - m || y < y0 + m || y >= y0 + s - m;
                (atEdge ? edge : inside) += changed;
            }
        EXPECT_GT(inside, 0) << "CellSize " << geo.CellSize;
        EXPECT_EQ(edge, 0) << "CellSize " << geo.CellSize;
    }
}

}  // namespace

// The pictures decoded when the program was built are those of the resource files, pixel
// for pixel and in the format reading the file gives: a changed PNG that the build step did
// not see, or a wrong conversion, shows here.
static void initAssetResources() {
    Q_INIT_RESOURCE(board);
    Q_INIT_RESOURCE(icons);
    Q_INIT_RESOURCE(about);
}

TEST(AssetImages, EqualTheirResourceFiles) {
    initAssetResources();
    ASSERT_GT(AssetPixelsCount, 40);
    for (int i = 0; i < AssetPixelsCount; ++i) {
        const QString path = QString::fromLatin1(AssetPixelsTable[i].Path);
        const QImage built = assetImage(path);
        const QImage read(path);
        ASSERT_FALSE(read.isNull()) << path.toStdString();
        EXPECT_EQ(built.format(), read.format()) << path.toStdString();
        EXPECT_EQ(built, read) << path.toStdString();
    }
    // A picture that is not built in comes from its file.
    EXPECT_EQ(assetImage(QStringLiteral(":/about/icon32.png")).size(), QSize(32, 32));
    EXPECT_TRUE(assetImage(QStringLiteral(":/none.png")).isNull());
}
