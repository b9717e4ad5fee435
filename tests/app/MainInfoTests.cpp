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
        ASSERT_EQ(prcHitCore(w.Game, pos, colour, *w.pnlMain), HitResult::Legal) << pos;
        const int k = w.Game.CurrentMove - 1;
        w.setKifuRowMarker(w.kifuRowCount() - 1, false);
        w.addKifuRow(k, pos == PassPos ? QStringLiteral("パス") : QString::fromStdString(w.Game.CoordName[pos]), colour,
                     QStringLiteral("00:00:01"));
        w.setKifuRowMarker(k, true);
    }
}

TEST_F(MainWindowTest, NewGameOnTheWindow) {
    auto w = open();
    play(*w, {220, 221, PassPos});
    w->Game.GameName.clear();
    w->Game.GameComment = "B+R";
    w->Game.BlackPlayer.clear();
    w->Game.WhitePlayer = "秀策";
    w->Game.KomiTenths = 110;
    w->Game.HandicapCount = 4;
    w->Game.CurrentFileName = "/x/y.sgf";
    w->setTitle(QStringLiteral("y.sgf - Tavrin"));
    w->prcNewSet();
    // Bound to a file: the title stays.
    EXPECT_EQ(w->windowTitle(), QStringLiteral("y.sgf - Tavrin"));
    w->Game.CurrentFileName.clear();
    w->setStatusText(0, QStringLiteral("コウです。すぐには打てません。"));
    w->prcNewSet();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
    // Only the first game at start-up gets the dated title.
    EXPECT_EQ(w->lblGameName->text(), QStringLiteral("( 対局名なし )"));
    EXPECT_TRUE(w->Game.GameName.empty());
    EXPECT_EQ(w->lblGameComment->text(), QStringLiteral("黒の中押し勝ちです"));
    EXPECT_EQ(w->lblBlackPlayer->text(), QStringLiteral("      黒番対局者 "));
    EXPECT_EQ(w->lblWhitePlayer->text(), QStringLiteral("      秀策 "));
    EXPECT_EQ(w->lblKomi->text(), QStringLiteral("コミ ： 11目"));
    EXPECT_EQ(w->lblPutStone->text(), QStringLiteral("置き石 ： ４子"));
    EXPECT_EQ(w->lblBlackGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->lblWhiteGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->lblBlackTime->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(w->lblWhiteTime->text(), QStringLiteral("00:00:00"));
    ASSERT_EQ(w->kifuRowCount(), 1);
    EXPECT_EQ(w->kifuRow(0)->text(0), QStringLiteral("開始"));
    EXPECT_TRUE(w->kifuRow(0)->icon(0).isNull());
    EXPECT_EQ(w->lsvKifu->currentItem(), w->kifuRow(0));
    EXPECT_TRUE(w->lsvKifu->selectedItems().isEmpty());
    const QString panels[6] = {"ヘルプを表示するには [F1] を押して下さい", "", "", "白番です", "00:00:00", ""};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->statusText(i), panels[i]) << i;
    EXPECT_EQ(w->Game.MovePos[1], 340);
    EXPECT_EQ(w->Game.CurrentMove, 1);
    EXPECT_FALSE(w->Game.ReplayMode);
    EXPECT_FALSE(w->Game.Modified);
    // Play mode: play commands on, replay and resume off, the replay menu disabled.
    EXPECT_TRUE(w->actPlayPass->isEnabled());
    EXPECT_TRUE(w->actPlayStop->isEnabled());
    EXPECT_FALSE(w->actPlayResume->isEnabled());
    EXPECT_FALSE(w->actPlayMatta->isEnabled());
    EXPECT_FALSE(w->actFileSave->isEnabled());
    EXPECT_FALSE(w->mnuKifuP->menuAction()->isEnabled());
    EXPECT_FALSE(w->btnKifuAuto->isEnabled());
    EXPECT_FALSE(w->tmrTime->isActive());
    EXPECT_TRUE(w->pumGobanAutoPopup);
    EXPECT_EQ(w->pnlMain->paintBox()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowTest, StatusBarFollowsThePosition) {
    auto w = open();
    play(*w, {22});
    w->prcInfoDsp();
    EXPECT_EQ(w->statusText(1), QStringLiteral("  1手目"));
    EXPECT_EQ(w->statusText(2), QStringLiteral("A  1"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("白番です"));
    play(*w, {PassPos});
    w->prcInfoDsp();
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
        w->Game.Modified = c.modified;
        w->Game.CurrentFileName = c.file;
        w->Game.CurrentMove = c.currentMove;
        w->Game.ReplayMode = c.replay;
        w->actFileReOpen->setEnabled(c.reopenBefore);
        w->prcKifUpDate();
        EXPECT_EQ(w->actFileSave->isEnabled(), c.save);
        EXPECT_EQ(w->actFileReOpen->isEnabled(), c.reopen);
        EXPECT_EQ(w->actPlayMatta->isEnabled(), c.matta);
    }
}

TEST_F(MainWindowTest, SuspendAndResume) {
    auto w = open();
    play(*w, {220, 221, 222, 223, 224});
    w->tmrTime->start();
    w->actPlayStopExecute();
    EXPECT_TRUE(w->Game.ReplayMode);
    EXPECT_FALSE(w->tmrTime->isActive());
    EXPECT_FALSE(w->pumGobanAutoPopup);
    EXPECT_TRUE(w->mnuKifuP->menuAction()->isEnabled());
    for (QAction* off : {w->actPlayPass, w->actPlayMatta, w->actPlayGiveUp, w->actPlayStop, w->actKifuAuto,
                         w->actKifuLast, w->actKifuNext, w->actKifuNext10})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    for (QAction* on : {w->actPlayResume, w->actKifuFirst, w->actKifuBack, w->actKifuBack10})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    EXPECT_EQ(w->pnlMain->paintBox()->cursor().shape(), Qt::ArrowCursor);

    // Resuming at the end of the record asks nothing.
    w->actPlayResumeExecute();
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(w->Game.ReplayMode);
    EXPECT_EQ(w->kifuRowCount(), 6);
    w->actPlayStopExecute();

    // Back to move 3: resuming there cuts moves 3 to 5, after the question.
    prcKifBack(w->Game, 3, *w->pnlMain);
    ASSERT_EQ(w->Game.CurrentMove, 3);
    prompts.answers.push_back(Answer::No);
    w->actPlayResumeExecute();
    ASSERT_EQ(prompts.texts("confirm").size(), 1u);
    EXPECT_EQ(prompts.texts("confirm")[0], QStringLiteral("3手目以降の棋譜を削除します。\n本当に再開しますか？"));
    EXPECT_EQ(w->kifuRowCount(), 6);
    EXPECT_EQ(w->Game.MoveCount, 5);
    EXPECT_TRUE(w->Game.ReplayMode);

    prompts.answers.push_back(Answer::Yes);
    w->actPlayResumeExecute();
    EXPECT_EQ(w->kifuRowCount(), 3);
    EXPECT_EQ(w->Game.MoveCount, 2);
    EXPECT_FALSE(w->Game.ReplayMode);
    EXPECT_EQ(w->Game.LastMovePos, 221);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(w->kifuRow(r)->icon(0).isNull(), r != 2) << r;
    EXPECT_TRUE(w->tmrTime->isActive());
    EXPECT_TRUE(w->actPlayPass->isEnabled());
    EXPECT_TRUE(w->actPlayMatta->isEnabled());
    EXPECT_FALSE(w->actPlayResume->isEnabled());
    EXPECT_FALSE(w->actKifuBack->isEnabled());
    EXPECT_FALSE(w->mnuKifuP->menuAction()->isEnabled());
    EXPECT_TRUE(w->pumGobanAutoPopup);
    EXPECT_EQ(w->statusText(3), QStringLiteral("黒番です"));
}

TEST_F(MainWindowTest, GameEndedByPassesCannotResumeFromItsEnd) {
    auto w = open();
    play(*w, {220, PassPos, PassPos});
    w->Game.EndedByPasses = true;
    w->actPlayStopExecute();
    EXPECT_FALSE(w->actPlayResume->isEnabled());
}

}  // namespace
}  // namespace tavrin::test
