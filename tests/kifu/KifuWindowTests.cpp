// 棋譜ウィンドウ driven through its buttons, keys and options: the figures shown, following the
// record, saving with a scripted file chooser, printing with a scripted print chooser, and
// its settings.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "base/SettingsFile.h"
#include "tests/kifu/KifuTestKit.h"
#include "view/KifuWindow.h"

namespace tavrin::test {
namespace {

template <class W>
W* child(const QWidget& w, const char* name) {
    W* c = w.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

QString figureLabel(const KifuWindow& w) { return child<QLabel>(w, "lblKifuFigure")->text(); }

// Pages of a PDF written by Qt: one "/Type /Page" object each.
int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(f.readAll().count("/Type /Page\n"));
}

class KifuWindowTest : public ::testing::Test {
protected:
    GameState Game = randomGame(250, 3);
    KifuWindow Window{Game};
};

TEST_F(KifuWindowTest, IsATopLevelWindowShowingTheFiguresOfTheRecord) {
    EXPECT_EQ(Window.objectName(), QStringLiteral("KifuWindow"));
    EXPECT_EQ(Window.windowTitle(), QStringLiteral("棋譜ウィンドウ"));
    EXPECT_TRUE(Window.isWindow());
    EXPECT_EQ(Window.figureCount(), 3);
    EXPECT_EQ(figureLabel(Window), QStringLiteral("第1譜 (1–100) / 全3譜"));
    // Without choosers from the program nothing can be saved or printed.
    EXPECT_FALSE(child<QPushButton>(Window, "btnKifuSave")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(Window, "btnKifuPrint")->isEnabled());
}

TEST_F(KifuWindowTest, PreviousAndNextByButtonsAndKeys) {
    auto* prev = child<QPushButton>(Window, "btnKifuPrev");
    auto* next = child<QPushButton>(Window, "btnKifuNext");
    QWidget* canvas = child<QWidget>(Window, "KifuCanvas");
    EXPECT_FALSE(prev->isEnabled());
    next->click();
    EXPECT_EQ(Window.shownFigure(), 2);
    EXPECT_EQ(figureLabel(Window), QStringLiteral("第2譜 (101–200) / 全3譜"));
    QTest::keyClick(canvas, Qt::Key_Right);
    EXPECT_EQ(Window.shownFigure(), 3);
    EXPECT_FALSE(next->isEnabled());
    QTest::keyClick(canvas, Qt::Key_Right);  // held at the last figure
    EXPECT_EQ(Window.shownFigure(), 3);
    QTest::keyClick(canvas, Qt::Key_PageUp);
    EXPECT_EQ(Window.shownFigure(), 2);
    prev->click();
    EXPECT_EQ(Window.shownFigure(), 1);
    QTest::keyClick(canvas, Qt::Key_End);
    EXPECT_EQ(Window.shownFigure(), 3);
    QTest::keyClick(canvas, Qt::Key_Home);
    EXPECT_EQ(Window.shownFigure(), 1);
}

TEST_F(KifuWindowTest, OptionsCutTheRecordAnew) {
    auto* per = child<QComboBox>(Window, "cmbKifuPer");
    Window.showFigure(3);  // moves 201-250
    per->setCurrentIndex(per->findData(50));
    EXPECT_EQ(Window.figureCount(), 5);
    EXPECT_EQ(Window.shownFigure(), 5) << "the figure of the move that headed the shown one";
    per->setCurrentIndex(per->findData(0));
    EXPECT_EQ(Window.figureCount(), 1);
    EXPECT_EQ(figureLabel(Window), QStringLiteral("第1譜 (1–250) / 全1譜"));
    per->setCurrentIndex(per->findData(200));
    EXPECT_EQ(Window.figureCount(), 2);

    child<QCheckBox>(Window, "chkKifuRestart")->setChecked(true);
    const KifuFigure& second = Window.drawing().figures().Figures[1];
    int lowest = 1000;
    for (const FigureStone& s : second.Stones)
        if (s.Number > 0) lowest = std::min(lowest, s.Number);
    EXPECT_EQ(lowest, 1);
    EXPECT_FALSE(Window.drawing().look().Coordinates);
    child<QCheckBox>(Window, "chkKifuCoords")->setChecked(true);
    EXPECT_TRUE(Window.drawing().look().Coordinates);
}

TEST_F(KifuWindowTest, FollowsTheShownMoveWhenAskedTo) {
    Window.show();
    NullPainter none;
    prcKifBack(Game, 150, none);  // move 149 is the last on the board
    Window.followRecord();
    EXPECT_EQ(Window.shownFigure(), 2);
    prcKifBack(Game, 1, none);
    Window.followRecord();
    EXPECT_EQ(Window.shownFigure(), 1);

    child<QCheckBox>(Window, "chkKifuFollow")->setChecked(false);
    prcKifNext(Game, 240, none);
    Window.followRecord();
    EXPECT_EQ(Window.shownFigure(), 1);
    Window.showFigureOfMove(201);
    EXPECT_EQ(Window.shownFigure(), 3);

    // A record grown by a move is cut again.
    prcKifNext(Game, Game.MoveCount + 1, none);
    ASSERT_EQ(prcHitCore(Game, PassPos, Game.SideToMove, none), HitResult::Legal);
    Window.followRecord();
    EXPECT_EQ(Window.drawing().figures().Figures.back().LastMove, 251);
}

TEST_F(KifuWindowTest, AHiddenWindowCutsTheRecordWhenShown) {
    NullPainter none;
    prcKifNext(Game, Game.MoveCount + 1, none);
    for (int i = 0; i < 60; ++i) prcHitCore(Game, PassPos, Game.SideToMove, none);
    Window.followRecord();
    EXPECT_EQ(Window.figureCount(), 3) << "not yet cut while hidden";
    Window.show();
    EXPECT_EQ(Window.figureCount(), 4);
    EXPECT_EQ(Window.shownFigure(), 4);
}

TEST_F(KifuWindowTest, SavesEachFormatToTheChosenFile) {
    QTemporaryDir dir;
    std::vector<KifuSaveRequest> asked;
    QString answer;
    Window.setSaveChooser([&](const KifuSaveRequest& r) -> std::optional<QString> {
        asked.push_back(r);
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    });
    auto* save = child<QPushButton>(Window, "btnKifuSave");
    auto* status = child<QLabel>(Window, "lblKifuStatus");
    ASSERT_TRUE(save->isEnabled());
    child<QSpinBox>(Window, "spnKifuPngWidth")->setValue(900);
    Window.showFigure(2);

    answer = dir.filePath(QStringLiteral("fig.png"));
    save->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(asked[0].filters.size(), 3);
    const QImage png(answer);
    EXPECT_EQ(png.width(), 900);
    EXPECT_EQ(status->text(), QStringLiteral("保存しました: fig.png"));

    answer = dir.filePath(QStringLiteral("fig.svg"));
    save->click();
    QFile svg(answer);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("第2譜 (101–200)"));  // the figure shown

    answer = dir.filePath(QStringLiteral("all.pdf"));
    save->click();
    EXPECT_EQ(pdfPages(answer), 3);
    child<QComboBox>(Window, "cmbKifuPerPage")->setCurrentIndex(1);
    save->click();
    EXPECT_EQ(pdfPages(answer), 2);

    answer = dir.filePath(QStringLiteral("fig.txt"));
    save->click();
    EXPECT_FALSE(QFile::exists(answer));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("fig.txt: ")));
    answer = dir.filePath(QStringLiteral("missing/fig.png"));
    save->click();
    EXPECT_EQ(status->text(), QStringLiteral("保存できませんでした: fig.png"));

    answer.clear();  // cancelled: nothing written, nothing said
    const int before = static_cast<int>(QDir(dir.path()).entryList(QDir::Files).size());
    save->click();
    EXPECT_EQ(static_cast<int>(QDir(dir.path()).entryList(QDir::Files).size()), before);
    EXPECT_EQ(asked.size(), 7u);
}

TEST_F(KifuWindowTest, PrintsThroughTheChosenPrinter) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    int offeredPages = 0;
    bool accept = false;
    Window.setPrintChooser([&](QPrinter& printer) {
        offeredPages = printer.toPage();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        return accept;
    });
    auto* print = child<QPushButton>(Window, "btnKifuPrint");
    ASSERT_TRUE(print->isEnabled());
    print->click();  // cancelled
    EXPECT_EQ(offeredPages, 3);
    EXPECT_FALSE(QFile::exists(out));

    accept = true;
    child<QComboBox>(Window, "cmbKifuPerPage")->setCurrentIndex(1);
    print->click();
    EXPECT_EQ(offeredPages, 2);
    EXPECT_EQ(pdfPages(out), 2);
    EXPECT_EQ(child<QLabel>(Window, "lblKifuStatus")->text(), QStringLiteral("印刷しました"));

    // A page range chosen in the dialog prints those pages only.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    ASSERT_TRUE(Window.printOn(printer));
    EXPECT_EQ(pdfPages(out), 1);
}

TEST_F(KifuWindowTest, SettingsKeepSizeAndOptions) {
    Window.resize(700, 900);
    child<QComboBox>(Window, "cmbKifuPer")->setCurrentIndex(child<QComboBox>(Window, "cmbKifuPer")->findData(50));
    child<QCheckBox>(Window, "chkKifuRestart")->setChecked(true);
    child<QCheckBox>(Window, "chkKifuCoords")->setChecked(true);
    child<QCheckBox>(Window, "chkKifuFollow")->setChecked(false);
    child<QComboBox>(Window, "cmbKifuPerPage")->setCurrentIndex(1);
    child<QSpinBox>(Window, "spnKifuPngWidth")->setValue(2000);
    SettingsFile ini;
    Window.writeSettings(ini);
    EXPECT_EQ(ini.ReadInteger("KifuWindow", "Moves", 0), 50);
    EXPECT_EQ(ini.ReadInteger("KifuWindow", "Width", 0), 700);

    KifuWindow again(Game);
    again.readSettings(ini);
    EXPECT_EQ(again.size(), QSize(700, 900));
    EXPECT_EQ(again.figureCount(), 5);
    EXPECT_TRUE(again.drawing().figures().RestartNumbers);
    EXPECT_TRUE(again.drawing().look().Coordinates);
    EXPECT_FALSE(child<QCheckBox>(again, "chkKifuFollow")->isChecked());
    EXPECT_EQ(child<QComboBox>(again, "cmbKifuPerPage")->currentData().toInt(), 2);
    EXPECT_EQ(child<QSpinBox>(again, "spnKifuPngWidth")->value(), 2000);

    // Values from a damaged file fall back to what the window offers.
    SettingsFile odd;
    odd.parse("[KifuWindow]\r\nMoves=73\r\nWidth=5\r\nPngWidth=-4\r\n");
    KifuWindow third(Game);
    third.readSettings(odd);
    EXPECT_EQ(third.figureCount(), 3);
    EXPECT_GE(third.width(), 320);
    EXPECT_EQ(child<QSpinBox>(third, "spnKifuPngWidth")->value(), 300);
}

}  // namespace
}  // namespace tavrin::test
