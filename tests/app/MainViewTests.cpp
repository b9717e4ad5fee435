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
        QAction* TfrmMain::*action;
        Qt::ToolBarArea area;
        bool vertical;
    } positions[] = {
        {&TfrmMain::actDispToolBarLeft, Qt::LeftToolBarArea, true},
        {&TfrmMain::actDispToolBarBottom, Qt::BottomToolBarArea, false},
        {&TfrmMain::actDispToolBarRight, Qt::RightToolBarArea, true},
        {&TfrmMain::actDispToolBarTop, Qt::TopToolBarArea, false},
    };
    for (const auto& p : positions) {
        QAction* a = w.get()->*p.action;
        SCOPED_TRACE(a->objectName().toStdString());
        a->trigger();
        QApplication::processEvents();
        EXPECT_TRUE(a->isChecked());
        EXPECT_EQ(w->toolBarArea(w->tlbMain), p.area);
        EXPECT_EQ(w->tlbMain->orientation(), p.vertical ? Qt::Vertical : Qt::Horizontal);
        if (p.vertical) {
            EXPECT_EQ(w->tlbMain->width(), 28);
        } else {
            EXPECT_GT(w->tlbMain->width(), 28);
        }
        // Choosing the checked position again clears the mark and leaves the toolbar there.
        a->trigger();
        EXPECT_FALSE(a->isChecked());
        EXPECT_EQ(w->toolBarArea(w->tlbMain), p.area);
    }
}

TEST_F(MainWindowTest, RightToolBarStaysOutermostWhenTheSidePanelReturns) {
    auto w = open();
    w->show();
    w->actDispToolBarRight->trigger();
    w->actDispDataPanel->trigger();
    EXPECT_TRUE(w->pnlSubBase->isHidden());
    EXPECT_FALSE(w->actDispDataPanel->isChecked());
    w->actDispDataPanel->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w->pnlSubBase->isHidden());
    EXPECT_FALSE(w->tlbMain->isHidden());
    const int panelRight = w->pnlSubBase->mapTo(w.get(), QPoint(w->pnlSubBase->width(), 0)).x();
    EXPECT_LE(panelRight, w->tlbMain->geometry().left());
    EXPECT_EQ(w->tlbMain->geometry().right(), w->width() - 1);
    // The list gets the focus mark on the row of the current position.
    EXPECT_EQ(w->lsvKifu->currentItem(), w->kifuRow(0));
}

TEST_F(MainWindowTest, ReplayButtonsBringTheSidePanelBack) {
    for (bool buttonsShown : {true, false}) {
        SCOPED_TRACE(buttonsShown);
        auto w = open();
        if (!buttonsShown) w->actDispPanelKifuBtn->trigger();
        ASSERT_EQ(w->pnlKifuBtn->isHidden(), !buttonsShown);
        w->actDispDataPanel->trigger();
        ASSERT_TRUE(w->pnlSubBase->isHidden());
        w->actDispPanelKifuBtn->trigger();
        EXPECT_FALSE(w->pnlSubBase->isHidden());
        EXPECT_TRUE(w->actDispDataPanel->isChecked());
        EXPECT_EQ(w->pnlKifuBtn->isHidden(), buttonsShown);
        EXPECT_EQ(w->actDispPanelKifuBtn->isChecked(), !buttonsShown);
    }
}

TEST_F(MainWindowTest, ShowHideCommands) {
    auto w = open();
    const struct {
        QAction* action;
        QWidget* widget;
        void (TfrmMain::*handler)();
    } toggles[] = {
        {w->actDispToolBar, w->tlbMain, &TfrmMain::actDispToolBarExecute},
        {w->actDispStatusBar, w->stbMain, &TfrmMain::actDispStatusBarExecute},
        {w->actDispPanelKifuBtn, w->pnlKifuBtn, &TfrmMain::actDispPanelKifuBtnExecute},
        {w->actDispDataPanel, w->pnlSubBase, &TfrmMain::actDispDataPanelExecute},
    };
    for (const auto& t : toggles) {
        SCOPED_TRACE(t.action->objectName().toStdString());
        for (bool shown : {false, true}) {
            t.action->trigger();
            EXPECT_EQ(t.action->isChecked(), shown);
            EXPECT_EQ(!t.widget->isHidden(), shown);
        }
        // Run directly, as start-up does: the handler flips the mark itself.
        (w.get()->*t.handler)();
        EXPECT_FALSE(t.action->isChecked());
        EXPECT_TRUE(t.widget->isHidden());
        t.action->trigger();
    }
}

TEST_F(MainWindowTest, BoardOptionsReachTheBoardView) {
    auto w = open();
    ASSERT_TRUE(w->pnlMain->zahyou());
    ASSERT_FALSE(w->pnlMain->hanten());
    w->actDispZahyou->trigger();
    EXPECT_FALSE(w->actDispZahyou->isChecked());
    EXPECT_FALSE(w->pnlMain->zahyou());
    w->actDispGbnHanten->trigger();
    EXPECT_TRUE(w->actDispGbnHanten->isChecked());
    EXPECT_TRUE(w->pnlMain->hanten());
}

TEST_F(MainWindowTest, WheelStepsOnlyWithTheSidePanelHidden) {
    auto w = open();
    const struct {
        bool panelHidden;
        bool enabled;
        int delta;  // negative: towards the user
        int next;   // expected runs of actKifuNext
        int back;
    } cases[] = {
        {true, true, -120, 1, 0}, {true, true, 120, 0, 1},   {false, true, -120, 0, 0},
        {false, true, 120, 0, 0}, {true, false, -120, 0, 0}, {true, false, 120, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.panelHidden << c.enabled << c.delta);
        if (w->pnlSubBase->isHidden() != c.panelHidden) w->actDispDataPanel->trigger();
        w->actKifuNext->setEnabled(c.enabled);
        w->actKifuBack->setEnabled(c.enabled);
        QSignalSpy next(w->actKifuNext, &QAction::triggered);
        QSignalSpy back(w->actKifuBack, &QAction::triggered);
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
    w->tmrDelay->stop();
    w->resize(800, 650);
    w->pnlMainResize();
    w->pnlMainResize();
    EXPECT_TRUE(w->tmrDelay->isActive());
    EXPECT_TRUE(w->tmrDelay->isSingleShot());
    EXPECT_EQ(w->tmrDelay->interval(), 1);
    EXPECT_NE(w->SavedWidth, 800);
    w->tmrDelayTimer();
    EXPECT_FALSE(w->tmrDelay->isActive());
    EXPECT_EQ(w->SavedWidth, 800);
    EXPECT_EQ(w->SavedHeight, 650);
    EXPECT_EQ(w->SavedState, 0);
    // The window never grows past its limit; the board panel never shrinks below 257.
    w->resize(2000, 2000);
    EXPECT_EQ(w->size(), QSize(1032, 776));
    EXPECT_EQ(w->pnlMain->minimumSize(), QSize(257, 257));
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
    QStatusTipEvent fromLabel(w->pnlGameInfo->statusTip());
    QApplication::sendEvent(w->lblKomi, &fromLabel);
    EXPECT_EQ(w->statusText(0), QStringLiteral("ダブルクリックすると情報を編集できます"));
}

TEST_F(MainWindowTest, DoubleClickOnTheInformationPanelOpensTheGameInformation) {
    auto w = open();
    w->show();
    const struct {
        QWidget* widget;
        int runs;
    } cases[] = {
        {w->pnlGameInfo, 1},  {w->lblGameName, 1},         {w->lblKomi, 1},
        {w->imgBlackIcon, 1}, {w->lblBlackTimeCaption, 0}, {w->lblWhiteTimeCaption, 0},
    };
    for (const auto& c : cases) {
        // The information dialog opens for real: it is answered with Cancel.
        for (int i = 0; i < c.runs; ++i)
            prompts.dialogScripts.push_back([](QDialog&) { return int(QDialog::Rejected); });
        QSignalSpy config(w->actPlayConfig, &QAction::triggered);
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
        w->tmrDelayTimer();  // the board's picture follows its size
        const QRect board(w->pnlMain->mapTo(w.get(), QPoint(0, 0)), w->pnlMain->size());
        const QRect panel(w->pnlSubBase->mapTo(w.get(), QPoint(0, 0)), w->pnlSubBase->size());
        EXPECT_LE(board.right(), panel.left());
        EXPECT_LE(panel.right(), w->width() - 1);
        EXPECT_LE(w->pnlMain->geometryInfo().ImageSize, board.width());
    }
    w->resize(684, 567);
    QApplication::processEvents();
    const QString message = QStringLiteral("棋譜ライブラリ: 8118局（読めない棋譜 2）　作成を中止しました");
    w->setStatusText(0, message);
    QApplication::processEvents();
    EXPECT_GE(w->stbPanel[0]->width(), w->stbPanel[0]->fontMetrics().horizontalAdvance(message));
    w->LibraryFolders = {dir.path()};
    w->startLibraryIndexing();
    w->stopLibraryIndexing();
    const QProgressBar* bar = w->findChild<QProgressBar*>(QStringLiteral("prbLibrary"));
    ASSERT_TRUE(bar);
    EXPECT_GE(bar->width(), bar->fontMetrics().horizontalAdvance(QStringLiteral("棋譜 112512/155805")));
    for (const char* name : {"pumPanelSubHide", "pumStatusBarHide", "pumPanelKifBtnHide"}) {
        const QAction* item = w->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_TRUE(item) << name;
        EXPECT_FALSE(item->isCheckable() && item->isChecked()) << name;
    }
    EXPECT_EQ(QKeySequence::mnemonic(w->actDispKifu->text()), QKeySequence(Qt::ALT | Qt::Key_K));
    // Contrast of the variation rows against the list, as the usual luminance ratio.
    auto luminance = [](const QColor& c) {
        auto part = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * part(c.redF()) + 0.7152 * part(c.greenF()) + 0.0722 * part(c.blueF());
    };
    writeFile(dir.path() + "/v.sgf", "(;GM[1]FF[4]SZ[19](;B[pd];W[dd])(;B[dp]))");
    w->FormDropFiles(dir.path() + "/v.sgf");
    ASSERT_GT(w->kifuRowCount(), 0);
    const QColor fg = w->kifuRow(0)->foreground(0).color();
    const QColor bg = w->lsvKifu->palette().color(QPalette::Base);
    EXPECT_NE(fg, w->lsvKifu->palette().color(QPalette::Text));  // marked
    const double a = luminance(fg) + 0.05, b = luminance(bg) + 0.05;
    EXPECT_GE(std::max(a, b) / std::min(a, b), 4.5);
}

TEST_F(MainWindowTest, LayoutOfTheSidePanel) {
    auto w = open();
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->pnlSubBase->width(), 202);
    EXPECT_EQ(w->pnlSpaser->width(), 2);
    EXPECT_EQ(w->pnlSub->width(), 200);
    EXPECT_EQ(w->pnlGameInfo->size(), QSize(190, 156));
    EXPECT_EQ(w->pnlKifuBtn->height(), 34);
    EXPECT_EQ(w->stbMain->height(), 19);
    const int widths[6] = {210, 51, 35, 56, 56, 50};
    // The message field is at least as wide, and takes the room the others leave.
    EXPECT_GE(w->stbPanel[0]->width(), widths[0]);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(w->stbPanel[static_cast<std::size_t>(i)]->width(), widths[i]) << i;
    EXPECT_EQ(w->btnKifuAuto->size(), QSize(28, 29));
    EXPECT_EQ(w->btnKifuFirst->size(), QSize(27, 29));
    EXPECT_TRUE(w->btnKifuAuto->isCheckable());
    EXPECT_EQ(w->lsvKifu->columnCount(), 3);
    EXPECT_EQ(w->lsvKifu->columnWidth(0), 48);
    EXPECT_EQ(w->lsvKifu->columnWidth(1), 53);
    EXPECT_LE(w->lsvKifu->columnWidth(2), 85);
    EXPECT_EQ(w->lsvKifu->palette().color(QPalette::Base), QColor(64, 96, 32));
    EXPECT_EQ(w->lsvKifu->palette().color(QPalette::Text), QColor(Qt::white));
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
