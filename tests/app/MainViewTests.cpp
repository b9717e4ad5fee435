// View options: toolbar positions, side panel, replay buttons, wheel, deferred re-layout,
// hints in the status bar, double clicks on the information panel.

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cmath>

#include "app/LibraryIndexer.h"
#include "tests/app/AppTestKit.h"
#include "view/BoardView.h"

namespace tavrin::test {
namespace {

TEST_F(MainWindowTest, ToolBarPositions) {
    auto w = open();
    w->show();
    const struct {
        QAction* MainControls::*action;
        Qt::ToolBarArea area;
        bool vertical;
    } positions[] = {
        {&MainControls::actDispToolBarLeft, Qt::LeftToolBarArea, true},
        {&MainControls::actDispToolBarBottom, Qt::BottomToolBarArea, false},
        {&MainControls::actDispToolBarRight, Qt::RightToolBarArea, true},
        {&MainControls::actDispToolBarTop, Qt::TopToolBarArea, false},
    };
    for (const auto& p : positions) {
        QAction* a = w->ui.*p.action;
        SCOPED_TRACE(a->objectName().toStdString());
        a->trigger();
        QApplication::processEvents();
        EXPECT_TRUE(a->isChecked());
        EXPECT_EQ(w->toolBarArea(w->ui.tlbMain), p.area);
        EXPECT_EQ(w->ui.tlbMain->orientation(), p.vertical ? Qt::Vertical : Qt::Horizontal);
        if (p.vertical) {
            EXPECT_EQ(w->ui.tlbMain->width(), 28);
        } else {
            EXPECT_GT(w->ui.tlbMain->width(), 28);
        }
        // Choosing the checked position again clears the mark and leaves the toolbar there.
        a->trigger();
        EXPECT_FALSE(a->isChecked());
        EXPECT_EQ(w->toolBarArea(w->ui.tlbMain), p.area);
    }
}

TEST_F(MainWindowTest, RightToolBarStaysOutermostWhenTheSidePanelReturns) {
    auto w = open();
    w->show();
    w->ui.actDispToolBarRight->trigger();
    w->ui.actDispDataPanel->trigger();
    EXPECT_TRUE(w->ui.pnlSubBase->isHidden());
    EXPECT_FALSE(w->ui.actDispDataPanel->isChecked());
    w->ui.actDispDataPanel->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w->ui.pnlSubBase->isHidden());
    EXPECT_FALSE(w->ui.tlbMain->isHidden());
    const int panelRight = w->ui.pnlSubBase->mapTo(w.get(), QPoint(w->ui.pnlSubBase->width(), 0)).x();
    EXPECT_LE(panelRight, w->ui.tlbMain->geometry().left());
    EXPECT_EQ(w->ui.tlbMain->geometry().right(), w->width() - 1);
    // The list gets the focus mark on the row of the current position.
    EXPECT_EQ(w->ui.lsvKifu->currentItem(), w->kifuRow(0));
}

TEST_F(MainWindowTest, ReplayButtonsBringTheSidePanelBack) {
    for (bool buttonsShown : {true, false}) {
        SCOPED_TRACE(buttonsShown);
        auto w = open();
        if (!buttonsShown) w->ui.actDispPanelKifuBtn->trigger();
        ASSERT_EQ(w->ui.pnlKifuBtn->isHidden(), !buttonsShown);
        w->ui.actDispDataPanel->trigger();
        ASSERT_TRUE(w->ui.pnlSubBase->isHidden());
        w->ui.actDispPanelKifuBtn->trigger();
        EXPECT_FALSE(w->ui.pnlSubBase->isHidden());
        EXPECT_TRUE(w->ui.actDispDataPanel->isChecked());
        EXPECT_EQ(w->ui.pnlKifuBtn->isHidden(), buttonsShown);
        EXPECT_EQ(w->ui.actDispPanelKifuBtn->isChecked(), !buttonsShown);
    }
}

TEST_F(MainWindowTest, ShowHideCommands) {
    auto w = open();
    const struct {
        QAction* action;
        QWidget* widget;
    } toggles[] = {
        {w->ui.actDispToolBar, w->ui.tlbMain},
        {w->ui.actDispStatusBar, w->ui.stbMain},
        {w->ui.actDispPanelKifuBtn, w->ui.pnlKifuBtn},
        {w->ui.actDispDataPanel, w->ui.pnlSubBase},
    };
    for (const auto& t : toggles) {
        SCOPED_TRACE(t.action->objectName().toStdString());
        for (bool shown : {false, true}) {
            t.action->trigger();
            EXPECT_EQ(t.action->isChecked(), shown);
            EXPECT_EQ(!t.widget->isHidden(), shown);
        }
    }
}

TEST_F(MainWindowTest, BoardOptionsReachTheBoardView) {
    auto w = open();
    ASSERT_TRUE(w->ui.pnlMain->zahyou());
    ASSERT_FALSE(w->ui.pnlMain->hanten());
    w->ui.actDispZahyou->trigger();
    EXPECT_FALSE(w->ui.actDispZahyou->isChecked());
    EXPECT_FALSE(w->ui.pnlMain->zahyou());
    w->ui.actDispGbnHanten->trigger();
    EXPECT_TRUE(w->ui.actDispGbnHanten->isChecked());
    EXPECT_TRUE(w->ui.pnlMain->hanten());
}

TEST_F(MainWindowTest, WheelStepsWithTheSidePanelShownOrHidden) {
    auto w = open();
    const struct {
        bool panelHidden;
        bool enabled;
        int delta;  // negative: towards the user
        int next;   // expected runs of actKifuNext
        int back;
    } cases[] = {
        {true, true, -120, 1, 0}, {true, true, 120, 0, 1},   {false, true, -120, 1, 0},
        {false, true, 120, 0, 1}, {true, false, -120, 0, 0}, {true, false, 120, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.panelHidden << c.enabled << c.delta);
        if (w->ui.pnlSubBase->isHidden() != c.panelHidden) w->ui.actDispDataPanel->trigger();
        w->ui.actKifuNext->setEnabled(c.enabled);
        w->ui.actKifuBack->setEnabled(c.enabled);
        QSignalSpy next(w->ui.actKifuNext, &QAction::triggered);
        QSignalSpy back(w->ui.actKifuBack, &QAction::triggered);
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, c.delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.get(), &wheel);
        EXPECT_EQ(next.count(), c.next);
        EXPECT_EQ(back.count(), c.back);
        EXPECT_FALSE(wheel.isAccepted());
    }
}

TEST_F(MainWindowTest, ResizesWaitForOneDeferredLayout) {
    auto w = open();
    w->show();
    QApplication::processEvents();
    w->ui.tmrDelay->stop();
    w->resize(800, 650);
    inside(*w).pnlMainResize();
    inside(*w).pnlMainResize();
    EXPECT_TRUE(w->ui.tmrDelay->isActive());
    EXPECT_TRUE(w->ui.tmrDelay->isSingleShot());
    EXPECT_EQ(w->ui.tmrDelay->interval(), 1);
    EXPECT_NE(w->prefs.SavedWidth, 800);
    inside(*w).tmrDelayTimer();
    EXPECT_FALSE(w->ui.tmrDelay->isActive());
    EXPECT_EQ(w->prefs.SavedWidth, 800);
    EXPECT_EQ(w->prefs.SavedHeight, 650);
    EXPECT_EQ(w->prefs.SavedState, 0);
    // The window never grows past its limit; the board panel never shrinks below 257.
    w->resize(2000, 2000);
    EXPECT_EQ(w->size(), QSize(1032, 776));
    EXPECT_EQ(w->ui.pnlMain->minimumSize(), QSize(257, 257));
}

TEST_F(MainWindowTest, HintsGoToStatusPanelZero) {
    auto w = open();
    QStatusTipEvent tip(QStringLiteral("棋譜の読み込み"));
    QApplication::sendEvent(w.get(), &tip);
    EXPECT_EQ(w->statusText(0), QStringLiteral("棋譜の読み込み"));
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(w.get(), &none);
    EXPECT_EQ(w->statusText(0), QStringLiteral("ヘルプを表示するには [F1] を押して下さい"));
    // A hint from a widget inside the window travels up to it.
    QStatusTipEvent fromLabel(w->ui.pnlGameInfo->statusTip());
    QApplication::sendEvent(w->ui.lblKomi, &fromLabel);
    EXPECT_EQ(w->statusText(0), QStringLiteral("ダブルクリックすると情報を編集できます"));
}

TEST_F(MainWindowTest, DoubleClickOnTheInformationPanelOpensTheGameInformation) {
    auto w = open();
    w->show();
    const struct {
        QWidget* widget;
        int runs;
    } cases[] = {
        {w->ui.pnlGameInfo, 1},  {w->ui.lblGameName, 1},         {w->ui.lblKomi, 1},
        {w->ui.imgBlackIcon, 1}, {w->ui.lblBlackTimeCaption, 0}, {w->ui.lblWhiteTimeCaption, 0},
    };
    for (const auto& c : cases) {
        // The information dialog opens for real: it is answered with Cancel.
        for (int i = 0; i < c.runs; ++i)
            prompts.dialogScripts.push_back([](QDialog&) { return int(QDialog::Rejected); });
        QSignalSpy config(w->ui.actPlayConfig, &QAction::triggered);
        QTest::mouseDClick(c.widget, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        EXPECT_EQ(config.count(), c.runs) << c.widget->objectName().toStdString();
    }
}

// What is shown can be read: a window held smaller than its minimum (420 x 360, as a window
// manager may) keeps the side panel beside the board, not over it; long messages and the
// library's progress show whole; the popups' "hide" items carry no check mark; the move
// list's variation rows read on its dark green; 棋譜ウィンドウ has its mnemonic.
TEST_F(MainWindowTest, TheWindowReadsAtEverySize) {
    auto w = open();
    w->show();
    QApplication::processEvents();
    w->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    w->setMinimumSize(0, 0);
    for (const QSize size : {QSize(684, 567), QSize(420, 360)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QApplication::processEvents();
        QApplication::processEvents();
        ASSERT_EQ(w->size(), size);
        inside(*w).tmrDelayTimer();  // the board's picture follows its size
        const QRect board(w->ui.pnlMain->mapTo(w.get(), QPoint(0, 0)), w->ui.pnlMain->size());
        const QRect panel(w->ui.pnlSubBase->mapTo(w.get(), QPoint(0, 0)), w->ui.pnlSubBase->size());
        EXPECT_LE(board.right(), panel.left());
        EXPECT_LE(panel.right(), w->width() - 1);
        EXPECT_LE(w->ui.pnlMain->geometryInfo().ImageSize, board.width());
    }
    w->resize(684, 567);
    QApplication::processEvents();
    const QString message = QStringLiteral("棋譜ライブラリ: 8118局（読めない棋譜 2）　作成を中止しました");
    inside(*w).setStatusText(0, message);
    QApplication::processEvents();
    EXPECT_GE(w->ui.stbPanel[0]->width(), w->ui.stbPanel[0]->fontMetrics().horizontalAdvance(message));
    w->prefs.LibraryFolders = {dir.path()};
    inside(*w).startLibraryIndexing();
    inside(*w).stopLibraryIndexing();
    const QProgressBar* bar = w->findChild<QProgressBar*>(QStringLiteral("prbLibrary"));
    ASSERT_TRUE(bar);
    EXPECT_GE(bar->width(), bar->fontMetrics().horizontalAdvance(QStringLiteral("棋譜 112512/155805")));
    for (const char* name : {"pumPanelSubHide", "pumStatusBarHide", "pumPanelKifBtnHide"}) {
        const QAction* item = w->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_TRUE(item) << name;
        EXPECT_FALSE(item->isCheckable() && item->isChecked()) << name;
    }
    EXPECT_EQ(QKeySequence::mnemonic(w->ui.actDispKifu->text()), QKeySequence(Qt::ALT | Qt::Key_K));
    // Contrast of the variation rows against the list, as the usual luminance ratio.
    auto luminance = [](const QColor& c) {
        auto part = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * part(c.redF()) + 0.7152 * part(c.greenF()) + 0.0722 * part(c.blueF());
    };
    writeFile(dir.path() + "/v.sgf", "(;GM[1]FF[4]SZ[19](;B[pd];W[dd])(;B[dp]))");
    inside(*w).FormDropFiles(dir.path() + "/v.sgf");
    ASSERT_GT(w->kifuRowCount(), 0);
    const QColor fg = w->kifuRow(0)->foreground(0).color();
    const QColor bg = w->ui.lsvKifu->palette().color(QPalette::Base);
    EXPECT_NE(fg, w->ui.lsvKifu->palette().color(QPalette::Text));  // marked
    const double a = luminance(fg) + 0.05, b = luminance(bg) + 0.05;
    EXPECT_GE(std::max(a, b) / std::min(a, b), 4.5);
}

TEST_F(MainWindowTest, LayoutOfTheSidePanel) {
    auto w = open();
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->ui.pnlSubBase->width(), 202);
    EXPECT_EQ(w->ui.pnlSpaser->width(), 2);
    EXPECT_EQ(w->ui.pnlSub->width(), 200);
    EXPECT_EQ(w->ui.pnlGameInfo->size(), QSize(190, 156));
    EXPECT_EQ(w->ui.pnlKifuBtn->height(), 34);
    EXPECT_EQ(w->ui.stbMain->height(), 19);
    const int widths[6] = {210, 51, 35, 56, 56, 50};
    // The message field is at least as wide, and takes the room the others leave.
    EXPECT_GE(w->ui.stbPanel[0]->width(), widths[0]);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(w->ui.stbPanel[static_cast<std::size_t>(i)]->width(), widths[i]) << i;
    EXPECT_EQ(w->ui.btnKifuAuto->size(), QSize(28, 29));
    EXPECT_EQ(w->ui.btnKifuFirst->size(), QSize(27, 29));
    EXPECT_TRUE(w->ui.btnKifuAuto->isCheckable());
    EXPECT_EQ(w->ui.lsvKifu->columnCount(), 3);
    EXPECT_EQ(w->ui.lsvKifu->columnWidth(0), 48);
    EXPECT_EQ(w->ui.lsvKifu->columnWidth(1), 53);
    EXPECT_LE(w->ui.lsvKifu->columnWidth(2), 85);
    EXPECT_EQ(w->ui.lsvKifu->palette().color(QPalette::Base), QColor(64, 96, 32));
    EXPECT_EQ(w->ui.lsvKifu->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(w->maximumSize(), QSize(1032, 776));
}

TEST(AppSetup, MsFontNamesResolveToIpaGothic) {
    installFontSubstitutions();
    QFont p(QStringLiteral("ＭＳ Ｐゴシック"));
    QFont fixed(QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(QFontInfo(p).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(fixed).family(), QStringLiteral("IPAGothic"));
}

}  // namespace
}  // namespace tavrin::test
