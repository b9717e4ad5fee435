// New-game set-up on the window, the information panel, the status bar, the move list,
// suspending and resuming play.

#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "game/Engine.h"
#include "tests/app/AppTestKit.h"
#include "view/BoardView.h"

namespace tavrin::test {
namespace {

// Plays moves as the board would, with a move-list row for each.
void play(TfrmMain& w, std::initializer_list<int> moves) {
    for (int pos : moves) {
        const int colour = w.Game.SideToMove;
        ASSERT_EQ(prcHitCore(inside(w).Game, pos, colour, *w.ui.pnlMain), HitResult::Legal) << pos;
        const int k = w.Game.CurrentMove - 1;
        inside(w).setKifuRowMarker(w.kifuRowCount() - 1, false);
        inside(w).addKifuRow(k, pos == PassPos ? QStringLiteral("パス") : QString::fromStdString(w.Game.CoordName[pos]),
                             colour, QStringLiteral("00:00:01"));
        inside(w).setKifuRowMarker(k, true);
    }
}

TEST_F(MainWindowTest, NewGameOnTheWindow) {
    auto w = open();
    play(*w, {220, 221, PassPos});
    inside(*w).Game.GameName.clear();
    inside(*w).Game.GameComment = "B+R";
    inside(*w).Game.BlackPlayer.clear();
    inside(*w).Game.WhitePlayer = "秀策";
    inside(*w).Game.KomiTenths = 110;
    inside(*w).Game.HandicapCount = 4;
    w->Doc.FileName = "/x/y.sgf";
    inside(*w).setTitle(QStringLiteral("y.sgf - Tavrin"));
    inside(*w).prcNewSet();
    // Bound to a file: the title stays.
    EXPECT_EQ(w->windowTitle(), QStringLiteral("y.sgf - Tavrin"));
    w->Doc.FileName.clear();
    inside(*w).setStatusText(0, QStringLiteral("コウです。すぐには打てません。"));
    inside(*w).prcNewSet();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
    // Only the first game at start-up gets the dated title.
    EXPECT_EQ(w->ui.lblGameName->text(), QStringLiteral("( 対局名なし )"));
    EXPECT_TRUE(w->Game.GameName.empty());
    EXPECT_EQ(w->ui.lblGameComment->text(), QStringLiteral("黒の中押し勝ちです"));
    EXPECT_EQ(w->ui.lblBlackPlayer->text(), QStringLiteral("      黒番対局者 "));
    EXPECT_EQ(w->ui.lblWhitePlayer->text(), QStringLiteral("      秀策 "));
    EXPECT_EQ(w->ui.lblKomi->text(), QStringLiteral("コミ ： 11目"));
    EXPECT_EQ(w->ui.lblPutStone->text(), QStringLiteral("置き石 ： ４子"));
    EXPECT_EQ(w->ui.lblBlackGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->ui.lblWhiteGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->ui.lblBlackTime->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:00:00"));
    ASSERT_EQ(w->kifuRowCount(), 1);
    EXPECT_EQ(w->kifuRow(0)->text(0), QStringLiteral("開始"));
    EXPECT_TRUE(w->kifuRow(0)->icon(0).isNull());
    EXPECT_EQ(w->ui.lsvKifu->currentItem(), w->kifuRow(0));
    EXPECT_TRUE(w->ui.lsvKifu->selectedItems().isEmpty());
    const QString panels[6] = {"ヘルプを表示するには [F1] を押して下さい", "", "", "白番です", "00:00:00", ""};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->statusText(i), panels[i]) << i;
    EXPECT_EQ(w->Game.MovePos[1], 340);
    EXPECT_EQ(w->Game.CurrentMove, 1);
    EXPECT_FALSE(inside(*w).ReplayMode);
    EXPECT_FALSE(w->Doc.Modified);
    // Play mode: play commands on, replay and resume off, the replay menu disabled.
    EXPECT_TRUE(w->ui.actPlayPass->isEnabled());
    EXPECT_TRUE(w->ui.actPlayStop->isEnabled());
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
    EXPECT_FALSE(w->ui.actPlayMatta->isEnabled());
    EXPECT_FALSE(w->ui.actFileSave->isEnabled());
    EXPECT_FALSE(w->ui.mnuKifuP->menuAction()->isEnabled());
    EXPECT_FALSE(w->ui.btnKifuAuto->isEnabled());
    EXPECT_FALSE(w->ui.tmrTime->isActive());
    EXPECT_TRUE(w->prefs.pumGobanAutoPopup);
    EXPECT_EQ(w->ui.pnlMain->paintBox()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowTest, StatusBarFollowsThePosition) {
    auto w = open();
    play(*w, {22});
    inside(*w).prcInfoDsp();
    EXPECT_EQ(w->statusText(1), QStringLiteral("  1手目"));
    EXPECT_EQ(w->statusText(2), QStringLiteral("A  1"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("白番です"));
    play(*w, {PassPos});
    inside(*w).prcInfoDsp();
    EXPECT_EQ(w->statusText(2), QStringLiteral("パス"));
    EXPECT_EQ(w->kifuRow(2)->text(1), QStringLiteral("パス"));
    EXPECT_EQ(w->kifuRow(1)->text(0), QStringLiteral("   1"));
    EXPECT_FALSE(w->kifuRow(1)->icon(1).isNull());
}

TEST_F(MainWindowTest, SaveReloadAndTakeBackCommands) {
    auto w = open();
    const struct {
        bool modified;
        const char* file;
        int currentMove;
        bool replay;
        bool reopenBefore;
        bool save, reopen, matta;
    } cases[] = {
        {true, "", 1, false, false, true, false, false},         {true, "/k/a.sgf", 2, false, false, true, true, true},
        {true, "", 2, true, true, true, false, false},  // nothing to reload without a file name
        {false, "/k/a.sgf", 5, false, true, false, false, true}, {false, "", 3, true, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.modified << c.file << c.currentMove << c.replay);
        w->Doc.Modified = c.modified;
        w->Doc.FileName = c.file;
        inside(*w).Game.CurrentMove = c.currentMove;
        inside(*w).ReplayMode = c.replay;
        w->ui.actFileReOpen->setEnabled(c.reopenBefore);
        inside(*w).prcKifUpDate();
        EXPECT_EQ(w->ui.actFileSave->isEnabled(), c.save);
        EXPECT_EQ(w->ui.actFileReOpen->isEnabled(), c.reopen);
        EXPECT_EQ(w->ui.actPlayMatta->isEnabled(), c.matta);
    }
}

TEST_F(MainWindowTest, SuspendAndResume) {
    auto w = open();
    play(*w, {220, 221, 222, 223, 224});
    w->ui.tmrTime->start();
    w->ui.actPlayStop->trigger();
    EXPECT_TRUE(inside(*w).ReplayMode);
    EXPECT_FALSE(w->ui.tmrTime->isActive());
    EXPECT_FALSE(w->prefs.pumGobanAutoPopup);
    EXPECT_TRUE(w->ui.mnuKifuP->menuAction()->isEnabled());
    for (QAction* off : {w->ui.actPlayPass, w->ui.actPlayMatta, w->ui.actPlayGiveUp, w->ui.actPlayStop,
                         w->ui.actKifuAuto, w->ui.actKifuLast, w->ui.actKifuNext, w->ui.actKifuNext10})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    for (QAction* on : {w->ui.actPlayResume, w->ui.actKifuFirst, w->ui.actKifuBack, w->ui.actKifuBack10})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    EXPECT_EQ(w->ui.pnlMain->paintBox()->cursor().shape(), Qt::ArrowCursor);

    // Resuming at the end of the record asks nothing.
    w->ui.actPlayResume->trigger();
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(inside(*w).ReplayMode);
    EXPECT_EQ(w->kifuRowCount(), 6);
    w->ui.actPlayStop->trigger();

    // Back to move 3: resuming there cuts moves 3 to 5, after the question.
    prcKifBack(inside(*w).Game, 3, *w->ui.pnlMain);
    ASSERT_EQ(w->Game.CurrentMove, 3);
    prompts.answers.push_back(Answer::No);
    w->ui.actPlayResume->trigger();
    ASSERT_EQ(prompts.texts("confirm").size(), 1u);
    EXPECT_EQ(prompts.texts("confirm")[0], QStringLiteral("3手目以降の棋譜を削除します。\n本当に再開しますか？"));
    EXPECT_EQ(w->kifuRowCount(), 6);
    EXPECT_EQ(w->Game.MoveCount, 5);
    EXPECT_TRUE(inside(*w).ReplayMode);

    prompts.answers.push_back(Answer::Yes);
    w->ui.actPlayResume->trigger();
    EXPECT_EQ(w->kifuRowCount(), 3);
    EXPECT_EQ(w->Game.MoveCount, 2);
    EXPECT_FALSE(inside(*w).ReplayMode);
    EXPECT_EQ(w->Game.LastMovePos, 221);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(w->kifuRow(r)->icon(0).isNull(), r != 2) << r;
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    EXPECT_TRUE(w->ui.actPlayPass->isEnabled());
    EXPECT_TRUE(w->ui.actPlayMatta->isEnabled());
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
    EXPECT_FALSE(w->ui.actKifuBack->isEnabled());
    EXPECT_FALSE(w->ui.mnuKifuP->menuAction()->isEnabled());
    EXPECT_TRUE(w->prefs.pumGobanAutoPopup);
    EXPECT_EQ(w->statusText(3), QStringLiteral("黒番です"));
}

TEST_F(MainWindowTest, GameEndedByPassesCannotResumeFromItsEnd) {
    auto w = open();
    play(*w, {220, PassPos, PassPos});
    inside(*w).Game.EndedByPasses = true;
    w->ui.actPlayStop->trigger();
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
}

}  // namespace
}  // namespace tavrin::test
