// Replaying on the window: enabled states by mode and position, stepping, automatic replay,
// speeds, row jumps, board clicks and the wheel, and the list rebuilt from a record.

#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <functional>
#include <set>

#include "game/Engine.h"
#include "tests/app/PlayKit.h"

namespace tavrin::test {
namespace {

class ReplayTest : public PlayTest {
protected:
    // The record of n moves, suspended and shown at move shown + 1.
    void suspendedAt(int n, int shown) {
        playColumns(n);
        w->ui.actPlayStop->trigger();
        inside(*w).kifuStepTo(shown + 1);
        inside(*w).prcKifActCtrl();
    }
};

TEST_F(ReplayTest, EnabledStatesByModeAndPosition) {
    enum Mode { Playing, Stopped, EndedByPasses };
    const struct {
        const char* what;
        int moves;
        Mode mode;
        int shown;  // moves shown (replay only)
        bool back, forward, resume, play, matta, kifuMenu;
    } rows[] = {
        {"playing, no move", 0, Playing, 0, false, false, false, true, false, false},
        {"playing", 5, Playing, 5, false, false, false, true, true, false},
        {"replay, no move", 0, Stopped, 0, false, false, true, false, false, true},
        {"replay at start", 5, Stopped, 0, false, true, true, false, false, true},
        {"replay between", 5, Stopped, 2, true, true, true, false, false, true},
        {"replay at end", 5, Stopped, 5, true, false, true, false, false, true},
        {"ended by passes, at end", 4, EndedByPasses, 6, true, false, false, false, false, true},
        {"ended by passes, one back", 4, EndedByPasses, 5, true, true, true, false, false, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        inside(*w).prcNewSet();
        playColumns(r.moves);
        if (r.mode == EndedByPasses) {
            w->ui.actPlayPass->trigger();
            w->ui.actPlayPass->trigger();
            ASSERT_TRUE(w->Game.EndedByPasses);
        } else if (r.mode == Stopped) {
            w->ui.actPlayStop->trigger();
        }
        // Every position is reached by stepping: back to the start, then forward.
        if (r.mode != Playing) {
            w->ui.actKifuFirst->trigger();
            for (int i = 0; i < r.shown; ++i) w->ui.actKifuNext->trigger();
            ASSERT_EQ(w->Game.CurrentMove, r.shown + 1);
        }
        for (QAction* a : {w->ui.actKifuFirst, w->ui.actKifuBack, w->ui.actKifuBack10})
            EXPECT_EQ(a->isEnabled(), r.back) << a->objectName().toStdString();
        for (QAction* a : {w->ui.actKifuNext, w->ui.actKifuNext10, w->ui.actKifuLast, w->ui.actKifuAuto})
            EXPECT_EQ(a->isEnabled(), r.forward) << a->objectName().toStdString();
        EXPECT_EQ(w->ui.btnKifuAuto->isEnabled(), r.forward);
        EXPECT_EQ(w->ui.btnKifuNext->isEnabled(), r.forward);
        EXPECT_EQ(w->ui.actPlayResume->isEnabled(), r.resume);
        for (QAction* a : {w->ui.actPlayPass, w->ui.actPlayGiveUp, w->ui.actPlayStop})
            EXPECT_EQ(a->isEnabled(), r.play) << a->objectName().toStdString();
        EXPECT_EQ(w->ui.actPlayMatta->isEnabled(), r.matta);
        EXPECT_EQ(w->ui.mnuKifuP->menuAction()->isEnabled(), r.kifuMenu);
        EXPECT_EQ(w->prefs.pumGobanAutoPopup, r.play);
        EXPECT_EQ(box()->cursor().shape(), r.play ? Qt::PointingHandCursor : Qt::ArrowCursor);
        for (QAction* a : w->ui.grpKifuSpeed->actions()) EXPECT_TRUE(a->isEnabled());
    }
}

TEST_F(ReplayTest, SteppingCommandsAndTheirLabels) {
    // Move 8 (white) takes the black stone of move 7 at (3, 2); move 9 (black) is elsewhere.
    playByClicks({{2, 1}, {3, 1}, {1, 2}, {4, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}, {10, 10}});
    const QString blackTotal = QString::fromStdString(fncSecToHms(w->Game.BlackTotalSeconds));
    w->ui.actPlayStop->trigger();
    using Command = QAction* MainControls::*;
    const struct {
        const char* what;
        int from;  // 0: where the previous step left off
        Command command;
        int current;
        int at32;  // the point (3, 2) afterwards
        const char* whiteCaptures;
        const char* panel1;
    } steps[] = {
        {"back over black's move", 0, &MainControls::actKifuBack, 9, 0, "上げ石   1", "  8手目"},
        {"back over the capture", 0, &MainControls::actKifuBack, 8, Black, "上げ石   0", "  7手目"},
        {"ten back from move 7 reaches the start", 0, &MainControls::actKifuBack10, 1, 0, "上げ石   0", ""},
        {"back at the start does nothing", 0, &MainControls::actKifuBack, 1, 0, "上げ石   0", ""},
        {"forward", 0, &MainControls::actKifuNext, 2, 0, "上げ石   0", "  1手目"},
        {"forward over the capture", 8, &MainControls::actKifuNext, 9, 0, "上げ石   1", "  8手目"},
        {"ten forward three before the end", 7, &MainControls::actKifuNext10, 10, 0, "上げ石   1", "  9手目"},
        {"forward at the end does nothing", 0, &MainControls::actKifuNext, 10, 0, "上げ石   1", "  9手目"},
        {"first", 0, &MainControls::actKifuFirst, 1, 0, "上げ石   0", ""},
        {"last", 0, &MainControls::actKifuLast, 10, 0, "上げ石   1", "  9手目"},
        {"ten back", 0, &MainControls::actKifuBack10, 1, 0, "上げ石   0", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.from) inside(*w).kifuStepTo(s.from);
        (w->ui.*s.command)->trigger();
        EXPECT_EQ(w->Game.CurrentMove, s.current);
        EXPECT_EQ(w->Game.Board[P(3, 2)], s.at32);
        EXPECT_EQ(w->ui.lblWhiteGetStone->text(), QString::fromUtf8(s.whiteCaptures));
        EXPECT_EQ(w->statusText(1), QString::fromUtf8(s.panel1));
        EXPECT_EQ(markedRows(), std::vector<int>{s.current - 1});
        EXPECT_EQ(focusRow(), s.current - 1);
    }
    w->ui.actKifuLast->trigger();
    EXPECT_EQ(w->ui.lblBlackTime->text(), blackTotal);
    w->ui.actKifuFirst->trigger();
    EXPECT_EQ(w->ui.lblBlackTime->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(w->statusText(2), QString());
}

// Check mark, button, icon, menu caption and hints of automatic replay, and its timer.
void expectAutoLook(const TfrmMain& w, bool running) {
    const QString hint = running ? QStringLiteral("自動再生停止") : QStringLiteral("自動再生開始");
    EXPECT_EQ(w.ui.actKifuAuto->isChecked(), running);
    EXPECT_EQ(w.ui.btnKifuAuto->isChecked(), running);
    EXPECT_EQ(w.ui.tmrKifuAuto->isActive(), running);
    EXPECT_EQ(w.ui.actKifuAuto->icon().cacheKey(), w.ui.imgListIcon.at(running ? 10 : 9).cacheKey());
    EXPECT_EQ(w.ui.mnuKifuAuto->text(), hint + QStringLiteral("(&A)"));
    EXPECT_EQ(w.ui.actKifuAuto->statusTip(), hint);
    EXPECT_EQ(w.ui.actKifuAuto->toolTip(), hint);
    EXPECT_EQ(w.ui.btnKifuAuto->statusTip(), hint);
    EXPECT_EQ(w.ui.btnKifuAuto->toolTip(), hint);
}

TEST_F(ReplayTest, AutomaticReplayStepsAndStopsAtTheEnd) {
    suspendedAt(5, 0);
    w->ui.actKifuSpedd05->trigger();
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 500);
    w->ui.actKifuAuto->trigger();
    expectAutoLook(*w, true);
    EXPECT_EQ(w->Game.CurrentMove, 1);  // the first step comes one interval later
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        inside(*w).tmrKifuAutoTimer();
        EXPECT_EQ(w->Game.CurrentMove, k + 1);
        EXPECT_EQ(w->ui.tmrKifuAuto->isActive(), k < 5);
        EXPECT_EQ(TfrmMain::tagOf(w->ui.actKifuAuto), 0);
    }
    expectAutoLook(*w, false);
    EXPECT_EQ(markedRows(), std::vector<int>{5});
    EXPECT_FALSE(w->ui.btnKifuAuto->isEnabled());
}

TEST_F(ReplayTest, UserCommandsStopAutomaticReplay) {
    const struct {
        const char* what;
        std::function<void(TfrmMain&)> command;
        int current;  // shown afterwards, from move 2 of 8
    } cases[] = {
        {"one forward steps once", [](TfrmMain& m) { m.ui.actKifuNext->trigger(); }, 4},
        {"one back", [](TfrmMain& m) { m.ui.actKifuBack->trigger(); }, 2},
        {"first", [](TfrmMain& m) { m.ui.actKifuFirst->trigger(); }, 1},
        {"last", [](TfrmMain& m) { m.ui.actKifuLast->trigger(); }, 9},
        {"row jump", [](TfrmMain& m) { m.kifuRow(6)->setSelected(true); }, 7},
        {"the button", [](TfrmMain& m) { m.ui.btnKifuAuto->click(); }, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inside(*w).prcNewSet();
        suspendedAt(8, 1);
        w->ui.btnKifuAuto->click();
        ASSERT_TRUE(w->ui.tmrKifuAuto->isActive());
        inside(*w).tmrKifuAutoTimer();
        ASSERT_EQ(w->Game.CurrentMove, 3);
        c.command(*w);
        EXPECT_FALSE(w->ui.tmrKifuAuto->isActive());
        EXPECT_FALSE(w->ui.actKifuAuto->isChecked());
        EXPECT_EQ(w->Game.CurrentMove, c.current);
    }
}

TEST_F(ReplayTest, CtrlRightDuringReplayStopsItAndStepsOnce) {
    suspendedAt(8, 1);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(w->ui.tmrKifuAuto->isActive());
    ASSERT_TRUE(w->ui.actKifuAuto->isChecked());
    QTest::keyClick(w.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_FALSE(w->ui.tmrKifuAuto->isActive());
    EXPECT_FALSE(w->ui.actKifuAuto->isChecked());
    EXPECT_EQ(w->Game.CurrentMove, 3);
    // Ctrl+A twice: on and off again.
    QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(w->ui.tmrKifuAuto->isActive());
    EXPECT_FALSE(w->ui.actKifuAuto->isChecked());
    // At the end Ctrl+Right is disabled and does nothing.
    w->ui.actKifuLast->trigger();
    QTest::keyClick(w.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(w->Game.CurrentMove, 9);
}

TEST_F(ReplayTest, ShortcutsWorkWhileTheMenuBarHasTheFocus) {
    // Menu items with their own captions repeat the shortcuts; with the menu bar focused both
    // match, and the key must still run its command exactly once.
    suspendedAt(8, 4);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->menuBar()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w->menuBar());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(w->Game.CurrentMove, 6);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(w->Game.CurrentMove, 9);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(w->Game.CurrentMove, 1);
}

// The replay keys step wherever the focus is, except while a comment is typed: there they
// move the text cursor. A click on the board takes the focus from the comment.
TEST_F(ReplayTest, ReplayKeysWhereverTheFocusIsButInTheCommentText) {
    suspendedAt(20, 1);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->ui.actDispComment->trigger();
    w->ui.memComment->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w->ui.memComment);
    const struct {
        const char* where;
        std::function<void()> focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
    } steps[] = {
        {"typing a comment", [] {}, Qt::Key_Right, Qt::ControlModifier, 2},
        {"the board clicked (a step of its own)", [&] { click(19, 1); }, Qt::Key_Right, Qt::ControlModifier, 4},
        {"the board", [] {}, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 14},
        {"the board", [] {}, Qt::Key_Left, Qt::ControlModifier, 13},
        {"the move list", [&] { w->ui.lsvKifu->setFocus(); }, Qt::Key_Right, Qt::ControlModifier, 14},
        {"the move list", [] {}, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 4},
        {"typing a comment again", [&] { w->ui.memComment->setFocus(); }, Qt::Key_Left, Qt::ControlModifier, 4},
    };
    for (const auto& s : steps) {
        s.focus();
        QTest::keyClick(QApplication::focusWidget(), s.key, s.modifiers);
        EXPECT_EQ(w->Game.CurrentMove, s.current) << s.where;
    }
}

TEST_F(ReplayTest, SpeedChangeRestartsARunningReplay) {
    suspendedAt(8, 0);
    const struct {
        QAction* MainControls::*action;
        int interval;
    } speeds[] = {{&MainControls::actKifuSpedd50, 5000}, {&MainControls::actKifuSpedd05, 500},
                  {&MainControls::actKifuSpedd40, 4000}, {&MainControls::actKifuSpedd10, 1000},
                  {&MainControls::actKifuSpedd30, 3000}, {&MainControls::actKifuSpedd20, 2000}};
    for (const auto& s : speeds) {
        (w->ui.*s.action)->trigger();
        EXPECT_EQ(w->ui.tmrKifuAuto->interval(), s.interval);
        EXPECT_FALSE(w->ui.tmrKifuAuto->isActive());
    }
    w->ui.actKifuSpedd50->trigger();
    w->ui.actKifuAuto->trigger();
    w->ui.actKifuSpedd05->trigger();
    EXPECT_TRUE(w->ui.tmrKifuAuto->isActive());
    // Not the 5 s left of the old interval (timer slack allows a few percent over 500 ms).
    EXPECT_LT(w->ui.tmrKifuAuto->remainingTime(), 1000);
    EXPECT_TRUE(w->ui.actKifuAuto->isChecked());
}

// Every row keeps one height, tall enough for the marker, wherever the marker stands.
TEST_F(ReplayTest, RowsKeepOneHeightAsTheMarkerMoves) {
    suspendedAt(3, 3);
    std::set<int> heights;
    for (const int shown : {3, 0, 2, 0}) {
        inside(*w).kifuStepTo(shown + 1);
        inside(*w).prcKifActCtrl();
        ASSERT_EQ(markedRows(), std::vector<int>{shown});
        for (int row = 0; row < w->kifuRowCount(); ++row)
            heights.insert(w->ui.lsvKifu->visualItemRect(w->kifuRow(row)).height());
    }
    ASSERT_EQ(heights.size(), 1u);
    EXPECT_GE(*heights.begin(), w->ui.lsvKifu->iconSize().height() + 2);
}

TEST_F(ReplayTest, RowJumps) {
    suspendedAt(12, 12);
    const struct {
        const char* what;
        int row;
    } jumps[] = {{"back into the record", 3}, {"the start row", 0}, {"forward", 10}, {"same row", 10}};
    for (const auto& j : jumps) {
        SCOPED_TRACE(j.what);
        QTreeWidgetItem* item = w->kifuRow(j.row);
        const QRect rect = w->ui.lsvKifu->visualItemRect(item);
        QTest::mouseClick(w->ui.lsvKifu->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        EXPECT_EQ(w->Game.CurrentMove, j.row + 1);
        EXPECT_TRUE(w->ui.lsvKifu->selectedItems().isEmpty());
        EXPECT_EQ(markedRows(), std::vector<int>{j.row});
        EXPECT_EQ(focusRow(), j.row);
        EXPECT_EQ(w->ui.lblBlackTime->text(), QString::fromStdString(fncSecToHms(w->Game.BlackTotalSeconds)));
        EXPECT_EQ(w->ui.lblBlackTime->text(), QString::fromStdString(fncSecToHms((j.row + 1) / 2)));
    }
    // During play a row changes nothing; the focus mark goes back to the current row.
    w->ui.actKifuLast->trigger();
    w->ui.actPlayResume->trigger();
    w->kifuRow(4)->setSelected(true);
    EXPECT_EQ(w->Game.CurrentMove, 13);
    EXPECT_TRUE(w->ui.lsvKifu->selectedItems().isEmpty());
    EXPECT_EQ(focusRow(), 12);
    EXPECT_EQ(w->Game.Board[P(16, 6)], White);
}

TEST_F(ReplayTest, BoardClicksStepInReplay) {
    suspendedAt(6, 3);
    const struct {
        Qt::MouseButton button;
        int current;
    } clicks[] = {{Qt::LeftButton, 5},   {Qt::RightButton, 4}, {Qt::MiddleButton, 1},
                  {Qt::MiddleButton, 7}, {Qt::LeftButton, 7},  {Qt::RightButton, 6}};
    for (const auto& c : clicks) {
        // Wherever the pointer is.
        click(19, 1, c.button);
        EXPECT_EQ(w->Game.CurrentMove, c.current) << int(c.button);
    }
    EXPECT_EQ(w->Game.MoveCount, 6);
    EXPECT_EQ(w->Game.Board[P(19, 1)], 0);
}

TEST_F(ReplayTest, WheelStepsOverTheBoardAndTheMoveList) {
    suspendedAt(6, 3);
    QWidget* over = w.get();
    auto wheel = [&](int dy) {
        QWheelEvent e(QPointF(50, 50), over->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, dy), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    };
    // The move list gives its wheel to the record; it does not scroll.
    over = w->ui.lsvKifu->viewport();
    wheel(-120);
    EXPECT_EQ(w->Game.CurrentMove, 5);
    wheel(120);
    EXPECT_EQ(w->Game.CurrentMove, 4);
    over = w.get();
    wheel(-120);
    EXPECT_EQ(w->Game.CurrentMove, 5);
    w->ui.actDispDataPanel->trigger();
    ASSERT_TRUE(w->ui.pnlSubBase->isHidden());
    const struct { int dy, current; } turns[] = {{-120, 6}, {-120, 7}, {-120, 7}, {120, 6}};
    for (const auto& t : turns) {
        wheel(t.dy);
        EXPECT_EQ(w->Game.CurrentMove, t.current) << t.dy;
    }
    // During play the replay commands are off: the wheel does nothing.
    w->ui.actKifuLast->trigger();
    w->ui.actPlayResume->trigger();
    wheel(120);
    EXPECT_EQ(w->Game.CurrentMove, 7);
}

TEST_F(ReplayTest, RebuiltListFromARecord) {
    playByClicks({{4, 4}, {0, 0}, {16, 16}});
    inside(*w).prcEndOfGame();
    inside(*w).rebuildKifuList();
    ASSERT_EQ(w->kifuRowCount(), 4);
    const QStringList expected[] = {{QStringLiteral("開始"), "", ""},
                                    {QStringLiteral("   1"), QStringLiteral("D  4"), ""},
                                    {QStringLiteral("   2"), QStringLiteral("パス"), ""},
                                    {QStringLiteral("   3"), QStringLiteral("Q 16"), ""}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(rowText(r, c), expected[r][c]) << r << "," << c;
    auto image = [](const QIcon& icon) { return icon.pixmap(12, 15).toImage(); };
    const int colours[] = {0, Black, White, Black};
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(image(w->kifuRow(r)->icon(1)), image(QIcon(w->ui.imgListMk1.at(colours[r])))) << r;
    EXPECT_EQ(markedRows(), std::vector<int>{3});
    EXPECT_EQ(focusRow(), 3);
    // A record without moves: the start row gets the focus mark, no marker.
    inside(*w).prcNewSet();
    inside(*w).rebuildKifuList();
    EXPECT_EQ(w->kifuRowCount(), 1);
    EXPECT_TRUE(markedRows().empty());
    EXPECT_EQ(focusRow(), 0);
}

}  // namespace
}  // namespace tavrin::test
