#pragma once
// Playing on the real window: clicks on the board's paint box, the record as the move list
// shows it.

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include "tests/app/AppTestKit.h"
#include "view/BoardView.h"

namespace tavrin::test {

// Position of column col (1 = left) and row row (1 = top) on the 19 x 19 board.
constexpr int P(int col, int row) { return col * 21 + row; }

class PlayTest : public MainWindowTest {
protected:
    std::unique_ptr<TfrmMain> w;

    void SetUp() override {
        MainWindowTest::SetUp();
        w = open();
        w->resize(800, 640);
        w->show();
        QApplication::processEvents();
        w->ui.actPnlMainReSize->trigger();
    }
    void TearDown() override {
        w.reset();
        MainWindowTest::TearDown();
    }

    QWidget* box() const { return w->ui.pnlMain->paintBox(); }
    int cell() const { return w->ui.pnlMain->geometryInfo().CellSize; }
    // Centre of the cell the paint box shows at (col, row).
    QPoint centre(int col, int row) const { return {(col - 1) * cell() + cell() / 2, (row - 1) * cell() + cell() / 2}; }
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(box(), button, Qt::NoModifier, centre(col, row));
        QTest::mouseRelease(box(), button, Qt::NoModifier, centre(col, row));
    }
    // Plays the points by clicks, in turn; 0 is a pass.
    void playByClicks(std::initializer_list<std::pair<int, int>> points) {
        for (auto [col, row] : points) {
            if (col == 0)
                w->ui.actPlayPass->trigger();
            else
                click(col, row);
        }
    }
    // A record of n moves without captures: black down column 4, white down column 16,
    // then columns 5 and 15.
    void playColumns(int n) {
        for (int k = 0; k < n; ++k) {
            const int i = k / 2;
            const int pos = k % 2 == 0 ? P(4 + i / 19, 1 + i % 19) : P(16 - i / 19, 1 + i % 19);
            const int before = w->Game.CurrentMove;
            inside(*w).prcHit(pos, w->Game.SideToMove);
            ASSERT_EQ(w->Game.CurrentMove, before + 1) << "move " << k + 1;
        }
    }

    QString rowText(int row, int column) const {
        QTreeWidgetItem* item = w->kifuRow(row);
        return item ? item->text(column) : QStringLiteral("<none>");
    }
    // Rows carrying the current-position marker.
    std::vector<int> markedRows() const {
        std::vector<int> rows;
        for (int r = 0; r < w->kifuRowCount(); ++r)
            if (!w->kifuRow(r)->icon(0).isNull()) rows.push_back(r);
        return rows;
    }
    int focusRow() const { return w->ui.lsvKifu->indexOfTopLevelItem(w->ui.lsvKifu->currentItem()); }
};

}  // namespace tavrin::test
