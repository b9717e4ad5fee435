// The review's graph as drawn: the fill on its side of zero, the gap where nothing is judged,
// the worst moves' dots, the shown move's line, and a click or a drag asking for a move.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "game/GameState.h"
#include "view/ReviewGraph.h"

using namespace tavrin;

namespace {

TEST(ReviewGraph, FillsEachSideOfZeroLeavesGapsAndMapsClicksToMoves) {
    ReviewGraph graph;
    graph.resize(400, 110);
    // Twenty moves: black ahead by 8 to move 9, white by 8 after, but 11 to 13 not judged.
    std::vector<std::optional<double>> leads(21);
    for (int k = 0; k <= 20; ++k)
        if (k < 11 || k > 13) leads[static_cast<size_t>(k)] = k < 10 ? 8.0 : -8.0;
    graph.setLeads(leads);
    graph.setMarked({{5, Black}, {17, White}});
    // Each move's column, found where its line is drawn.
    const auto columnOf = [&](int move) {
        graph.setCurrent(move);
        const QImage img = graph.grab().toImage();
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, 30)) == QColor(235, 120, 0) && QColor(img.pixel(x, 80)) == QColor(235, 120, 0))
                return x;
        return -1;
    };
    const int x5 = columnOf(5), x12 = columnOf(12), x17 = columnOf(17);
    ASSERT_TRUE(x5 > 0 && x5 < x12 && x12 < x17) << x5 << " " << x12 << " " << x17;
    graph.setCurrent(20);
    const QImage img = graph.grab().toImage();
    EXPECT_NE(QColor(img.pixel(x5, 30)), QColor(235, 120, 0));
    // Dark, white, red and blue pixels in the upper and lower halves of a column.
    const auto count = [&](int x, bool upper, auto is) {
        int n = 0;
        for (int y = upper ? 5 : 57; y < (upper ? 53 : 105); ++y) n += is(QColor(img.pixel(x, y)));
        return n;
    };
    const auto dark = [](QColor c) { return qGray(c.rgb()) < 80; };
    const auto white = [](QColor c) { return c.red() >= 250 && c.green() >= 250 && c.blue() >= 250; };
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    const auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 90; };
    EXPECT_GT(count(x5 + 3, true, dark), 10);
    EXPECT_EQ(count(x5 + 3, false, dark) + count(x5 + 3, false, white), 0);
    EXPECT_GT(count(x17 + 3, false, white), 10);
    EXPECT_EQ(count(x17 + 3, true, dark) + count(x17 + 3, true, white), 0);
    for (bool upper : {true, false}) EXPECT_EQ(count(x12, upper, dark) + count(x12, upper, white), 0);
    EXPECT_GT(count(x5, true, red), 0);
    EXPECT_GT(count(x17, false, blue), 0);

    // Clicks at a column, at either end and past them; a drag reports each new move once.
    QSignalSpy clicked(&graph, &ReviewGraph::moveClicked);
    for (int x : {x17 + 1, 0, 399, x5}) QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(x, 50));
    QMouseEvent drag(QEvent::MouseMove, QPointF(x12, 50), graph.mapToGlobal(QPointF(x12, 50)), Qt::NoButton,
                     Qt::LeftButton, {});
    QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(x17, 50));
    for (int k = 0; k < 2; ++k) QApplication::sendEvent(&graph, &drag);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(x12, 50));
    std::vector<int> moves;
    for (const auto& args : clicked) moves.push_back(args.at(0).toInt());
    EXPECT_EQ(moves, (std::vector<int>{17, 0, 20, 5, 17, 12}));
}

}  // namespace
