// Markup and variation marks on the drawn board: each mark's ink where its shape runs and
// not where it does not, nothing outside its point, at two sizes and on the turned board.

#include <gtest/gtest.h>

#include <QApplication>
#include <cmath>
#include <string>
#include <vector>

#include "game/Engine.h"
#include "tests/game/TestBoard.h"
#include "view/BoardView.h"

using namespace tavrin;

namespace {

constexpr QRgb Ink = 0x143296;   // 20, 50, 150: marks on empty points
constexpr QRgb Ring = 0xD21E1E;  // 210, 30, 30: the main line's next move

int distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

struct Board {
    GameState g;
    BoardView v;
    QImage before;
    Board(int panel, bool hanten) : g(test::newGame(19)), v(g) {
        g.Board[test::pt(g, 5, 7)] = Black;
        g.Board[test::pt(g, 7, 5)] = White;
        v.resize(panel, panel);
        v.setHanten(hanten);
        v.relayout();
        before = v.shownPicture();
    }
    double s() const { return v.geometryInfo().StoneSize; }
    // The centre of (column, row) as the grid has it, turned with the board.
    QPointF centre(int column, int row) const {
        const BoardGeometry& geo = v.geometryInfo();
        if (v.hanten()) column = 20 - column, row = 20 - row;
        return {geo.FirstLine + (column - 1.0) * geo.CellSize, geo.FirstLine + (row - 1.0) * geo.CellSize};
    }
    QPoint at(int column, int row, double dx, double dy) const {
        const QPointF c = centre(column, row) + QPointF(dx * s(), dy * s());
        return {static_cast<int>(std::lround(c.x())), static_cast<int>(std::lround(c.y()))};
    }
    // Some pixel within one of p close to the colour.
    static bool inkNear(const QImage& img, QPoint p, QRgb colour, int tolerance = 70) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (distance(img.pixel(p + QPoint(dx, dy)), colour) <= tolerance) return true;
        return false;
    }
    // Every changed pixel lies within the square of the point (half a stone around its centre).
    bool changesWithin(const QImage& after, int column, int row) const {
        const QPointF c = centre(column, row);
        const double half = s() / 2 + 1.5;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y) &&
                    (std::abs(x - c.x()) > half || std::abs(y - c.y()) > half))
                    return false;
        return true;
    }
};

struct Probe {
    double dx, dy;
};

TEST(BoardMarkup, ShapesDrawnOnTheirPointInTheColourThatStandsOut) {
    const struct {
        MarkShape shape;
        std::vector<Probe> on;   // ink within a pixel
        std::vector<Probe> off;  // left as it was
    } shapes[] = {
        {MarkShape::Triangle, {{0, -0.30}, {0, 0.15}, {-0.15, 0.15}, {0.15, 0.15}}, {{0, 0}, {0.27, -0.27}, {0, 0.36}}},
        {MarkShape::Square, {{0.22, 0.22}, {-0.22, -0.22}, {0, -0.22}, {0.22, 0}}, {{0, 0}, {0, -0.38}, {0.36, 0.36}}},
        {MarkShape::Circle, {{0.27, 0}, {0, -0.27}, {-0.27, 0}, {0, 0.27}}, {{0, 0}, {0.28, 0.28}, {0.45, 0}}},
        {MarkShape::Cross, {{0, 0}, {0.15, 0.15}, {-0.15, 0.15}, {0.15, -0.15}}, {{0, -0.22}, {0.22, 0}, {0.33, 0.33}}},
    };
    const struct {
        int column, row;
        QRgb ink;
    } points[] = {{3, 4, Ink}, {5, 7, qRgb(255, 255, 255)}, {7, 5, qRgb(0, 0, 0)}};
    for (int panel : {474, 1000})
        for (bool hanten : {false, true})
            for (const auto& shape : shapes)
                for (const auto& point : points) {
                    Board b(panel, hanten);
                    b.v.setMarkup({{{test::pt(b.g, point.column, point.row), shape.shape}}, {}, {}});
                    const QImage after = b.v.shownPicture();
                    SCOPED_TRACE("panel " + std::to_string(panel) + (hanten ? " turned" : "") + " shape " +
                                 std::to_string(static_cast<int>(shape.shape)) + " at " + std::to_string(point.column) +
                                 "," + std::to_string(point.row));
                    for (const Probe& p : shape.on)
                        EXPECT_TRUE(Board::inkNear(after, b.at(point.column, point.row, p.dx, p.dy), point.ink))
                            << "on " << p.dx << "," << p.dy;
                    for (const Probe& p : shape.off) {
                        const QPoint q = b.at(point.column, point.row, p.dx, p.dy);
                        EXPECT_EQ(after.pixel(q), b.before.pixel(q)) << "off " << p.dx << "," << p.dy;
                    }
                    EXPECT_TRUE(b.changesWithin(after, point.column, point.row));
                }
}

TEST(BoardMarkup, VeilsLabelsAndLines) {
    for (int panel : {474, 1000})
        for (bool hanten : {false, true}) {
            SCOPED_TRACE("panel " + std::to_string(panel) + (hanten ? " turned" : ""));
            {
                // Dimmed: the black stone seen through the wood; selected: a blue wash.
                Board b(panel, hanten);
                b.v.setMarkup(
                    {{{test::pt(b.g, 5, 7), MarkShape::Dimmed}, {test::pt(b.g, 3, 4), MarkShape::Selected}}, {}, {}});
                const QImage after = b.v.shownPicture();
                EXPECT_GT(qRed(after.pixel(b.at(5, 7, 0, 0))), 120);
                const QPoint wash = b.at(3, 4, 0.3, 0.3);
                EXPECT_GT(qBlue(after.pixel(wash)), qBlue(b.before.pixel(wash)) + 30);
                EXPECT_LT(qRed(after.pixel(wash)), qRed(b.before.pixel(wash)) - 30);
            }
            // Labels stay on their point, a long one shrunk to fit; white text on a black stone.
            for (const auto& [column, row, text, ink] : {std::tuple{3, 4, "A", Ink}, std::tuple{3, 4, "12345", Ink},
                                                         std::tuple{5, 7, "黒", qRgb(255, 255, 255)}}) {
                Board b(panel, hanten);
                b.v.setMarkup({{}, {{test::pt(b.g, column, row), text}}, {}});
                const QImage after = b.v.shownPicture();
                EXPECT_TRUE(b.changesWithin(after, column, row)) << "" << text;
                int inked = 0;
                for (double dy = -0.3; dy <= 0.3; dy += 0.05)
                    for (double dx = -0.4; dx <= 0.4; dx += 0.05)
                        inked += distance(after.pixel(b.at(column, row, dx, dy)), ink) <= 70;
                EXPECT_GT(inked, 3) << "" << text;
            }
            // An arrow down column 3 and a line: ink halfway, a head only on the arrow.
            for (bool arrow : {true, false}) {
                Board b(panel, hanten);
                b.v.setMarkup({{}, {}, {{test::pt(b.g, 3, 3), test::pt(b.g, 3, 11), arrow}}});
                const QImage after = b.v.shownPicture();
                EXPECT_TRUE(Board::inkNear(after, b.at(3, 7, 0, 0.5), Ink));
                const double back = hanten ? 0.3 : -0.3;  // towards the line's start, as drawn
                for (double side : {-0.12, 0.12}) {
                    const QPoint q = b.at(3, 11, side, back);
                    EXPECT_EQ(Board::inkNear(after, q, Ink), arrow) << "arrow " << arrow << " " << side;
                }
                EXPECT_EQ(after.pixel(b.at(5, 7, 0, 0)), b.before.pixel(b.at(5, 7, 0, 0)));
            }
        }
}

TEST(BoardMarkup, VariationMarksRingTheMainLinesMove) {
    for (int panel : {474, 1000})
        for (bool hanten : {false, true}) {
            Board b(panel, hanten);
            b.v.setVariationMarks({{test::pt(b.g, 4, 4), Black, 'A', true, 1},
                                   {test::pt(b.g, 10, 10), White, 'B', false, 2},
                                   {test::pt(b.g, 5, 7), White, 'C', false, 3}});  // taken: not drawn
            const QImage after = b.v.shownPicture();
            SCOPED_TRACE("panel " + std::to_string(panel) + (hanten ? " turned" : ""));
            const auto ringed = [&](int column, int row) {
                int n = 0;
                for (int k = 0; k < 16; ++k) {
                    const double a = k * M_PI / 8, r = 0.4 - 1.0 / b.s();
                    n += Board::inkNear(after, b.at(column, row, r * std::cos(a), r * std::sin(a)), Ring, 90);
                }
                return n;
            };
            EXPECT_GE(ringed(4, 4), 11);  // the letter's corner may hide a few
            EXPECT_EQ(ringed(10, 10), 0);
            // A faint black stone darkens the wood, a faint white one lightens it.
            const QPoint a = b.at(4, 4, 0.3, -0.1), w = b.at(10, 10, 0.3, -0.1);
            EXPECT_LT(qGreen(after.pixel(a)), qGreen(b.before.pixel(a)) - 40);
            EXPECT_GT(qBlue(after.pixel(w)), qBlue(b.before.pixel(w)) + 40);
            EXPECT_EQ(after.pixel(b.at(5, 7, 0.3, 0.3)), b.before.pixel(b.at(5, 7, 0.3, 0.3)));
            // The letter stands in the point's corner, and goes with its setting.
            const QPoint corner = b.at(10, 10, 0.36, -0.36);
            EXPECT_NE(after.pixel(corner), b.before.pixel(corner));
            b.v.setVariationLetters(false);
            EXPECT_EQ(b.v.shownPicture().pixel(corner), b.before.pixel(corner));
        }
}

}  // namespace

TEST(BoardMarkup, CandidatesAndBetterMoveOnEmptyPointsOnly) {
    constexpr QRgb Best = qRgb(20, 185, 225), Better = qRgb(175, 35, 190);
    for (int panel : {474, 1000})
        for (bool hanten : {false, true}) {
            SCOPED_TRACE("panel " + std::to_string(panel) + (hanten ? " turned" : ""));
            Board b(panel, hanten);
            // Ten candidates along line 16, best first, and one on the black stone: the best
            // eight drawn, each in its own point's corner above its text.
            std::vector<CandidateMark> marks{{test::pt(b.g, 5, 7), 0.6, 100, 0}};
            for (int c = 1; c <= 10; ++c) marks.push_back({test::pt(b.g, c, 16), 0.55 - c * 0.01, 1234, c - 1});
            b.v.setCandidates(marks);
            QImage after = b.v.shownPicture();
            const auto disc = [&](int column) { return after.pixel(b.at(column, 16, -0.28, -0.28)); };
            EXPECT_LE(distance(disc(1), Best), 70);
            EXPECT_GT(distance(disc(2), disc(1)), 60);
            for (int c = 1; c <= 10; ++c) EXPECT_EQ(disc(c) != b.before.pixel(b.at(c, 16, -0.28, -0.28)), c <= 8) << c;
            EXPECT_EQ(after.pixel(b.at(5, 7, -0.28, -0.28)), b.before.pixel(b.at(5, 7, -0.28, -0.28)));
            b.v.setCandidates({});
            EXPECT_EQ(b.v.shownPicture(), b.before);

            // The better move: its ring all round, the gain under it; nothing on a stone.
            b.v.setBetterMove(test::pt(b.g, 10, 10), QStringLiteral("+4.5"));
            after = b.v.shownPicture();
            int ringed = 0;
            for (int k = 0; k < 16; ++k) {
                const double a = k * M_PI / 8, r = 0.42;
                ringed += Board::inkNear(after, b.at(10, 10, r * std::cos(a), r * std::sin(a)), Better, 90);
            }
            EXPECT_GE(ringed, 15);
            const QPoint gain = b.at(10, 10, 0, 0.65);
            EXPECT_NE(after.pixel(gain), b.before.pixel(gain));
            b.v.setBetterMove(test::pt(b.g, 7, 5), QStringLiteral("+4.5"));
            EXPECT_EQ(b.v.shownPicture(), b.before);
            b.v.setBetterMove(0, QString());
            EXPECT_EQ(b.v.shownPicture(), b.before);
        }
}
