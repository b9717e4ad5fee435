// Playing on the window: board clicks, refusals, the move clock, passes, resignation,
// take-back, resume, the new-game and game-information dialogs.

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "tests/app/PlayKit.h"

namespace tavrin::test {
namespace {

// Black takes nothing; white's eighth move takes the black stone at (3, 2) and leaves a ko.
//    1 2 3 4
// 1  . B W .
// 2  B W . W
// 3  . B W .
const std::initializer_list<std::pair<int, int>> KoShape = {{2, 1}, {3, 1}, {1, 2}, {4, 2},
                                                            {2, 3}, {3, 3}, {3, 2}, {2, 2}};

TEST_F(PlayTest, ClicksPlayCaptureAndRefuseKoAndSuicide) {
    playByClicks(KoShape);
    ASSERT_EQ(w->Game.MoveCount, 8);
    EXPECT_EQ(w->Game.Board[P(2, 1)], Black);
    EXPECT_EQ(w->Game.Board[P(2, 2)], White);
    EXPECT_EQ(w->Game.Board[P(3, 2)], 0);
    EXPECT_EQ(w->ui.lblWhiteGetStone->text(), QStringLiteral("上げ石   1"));
    EXPECT_EQ(w->ui.lblBlackGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->statusText(1), QStringLiteral("  8手目"));
    EXPECT_EQ(w->statusText(2), QStringLiteral("B  2"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("黒番です"));
    ASSERT_EQ(w->kifuRowCount(), 9);
    EXPECT_EQ(rowText(8, 0), QStringLiteral("   8"));
    EXPECT_EQ(rowText(8, 1), QStringLiteral("B  2"));
    EXPECT_EQ(rowText(8, 2), QStringLiteral("00:00:01"));
    EXPECT_EQ(markedRows(), std::vector<int>{8});
    EXPECT_EQ(focusRow(), 8);
    EXPECT_TRUE(w->ui.tmrTime->isActive());

    const struct {
        const char* what;
        int col, row;
        const char* panel0;
    } refusals[] = {
        {"ko retake", 3, 2, "コウです。すぐには打てません。"},
        {"occupied", 2, 2, "コウです。すぐには打てません。"},  // no message of its own
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        click(r.col, r.row);
        EXPECT_EQ(w->statusText(0), QString::fromUtf8(r.panel0));
        EXPECT_EQ(w->Game.MoveCount, 8);
        EXPECT_EQ(w->Game.SideToMove, Black);
        EXPECT_EQ(w->kifuRowCount(), 9);
        EXPECT_EQ(w->Game.Board[P(3, 2)], 0);
        EXPECT_TRUE(w->ui.tmrTime->isActive());  // a refused move leaves the clock running
    }

    // Black builds an eye at (10, 10); white may not play into it.
    playByClicks({{10, 9}, {15, 15}, {9, 10}, {15, 16}, {11, 10}, {15, 17}, {10, 11}});
    EXPECT_EQ(w->statusText(0), QStringLiteral("ヘルプを表示するには [F1] を押して下さい"));
    click(10, 10);
    EXPECT_EQ(w->statusText(0), QStringLiteral("自殺手は打てません。"));
    EXPECT_EQ(w->Game.Board[P(10, 10)], 0);
    EXPECT_EQ(w->Game.MoveCount, 15);
    EXPECT_EQ(w->Game.SideToMove, White);
}

TEST_F(PlayTest, MoveClockBooksTheTicksPlusOne) {
    EXPECT_FALSE(w->ui.tmrTime->isActive());  // not before the first move
    click(4, 4);
    EXPECT_EQ(rowText(1, 2), QStringLiteral("00:00:01"));
    EXPECT_EQ(w->ui.lblBlackTime->text(), QStringLiteral("00:00:01"));
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    for (int i = 0; i < 62; ++i) inside(*w).tmrTimeTimer();
    EXPECT_EQ(w->statusText(4), QStringLiteral("00:01:02"));
    click(16, 16);
    EXPECT_EQ(rowText(2, 2), QStringLiteral("00:01:03"));
    EXPECT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:01:03"));
    EXPECT_EQ(w->statusText(4), QStringLiteral("00:00:00"));
    inside(*w).tmrTimeTimer();
    inside(*w).tmrTimeTimer();
    click(4, 16);
    EXPECT_EQ(rowText(3, 2), QStringLiteral("00:00:03"));
    EXPECT_EQ(w->ui.lblBlackTime->text(), QStringLiteral("00:00:04"));
    EXPECT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:01:03"));
}

TEST_F(PlayTest, ClicksThatPlayNothing) {
    const int width = box()->width();
    ASSERT_GT(width, 0);
    const struct {
        const char* what;
        Qt::MouseButton press, release;
        QPoint at;
    } cases[] = {
        {"released left of the box", Qt::LeftButton, Qt::LeftButton, {-1, 5}},
        {"released above the box", Qt::LeftButton, Qt::LeftButton, {5, -1}},
        {"released at the right edge", Qt::LeftButton, Qt::LeftButton, {width, 5}},
        {"released at the bottom edge", Qt::LeftButton, Qt::LeftButton, {5, width}},
        {"right button", Qt::RightButton, Qt::RightButton, {5, 5}},
        {"pressed with the right, released with the left", Qt::RightButton, Qt::LeftButton, {5, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inside(*w).pbxGbnMouseDown(c.press, 5, 5);
        inside(*w).pbxGbnMouseUp(c.release, c.at.x(), c.at.y());
        EXPECT_EQ(w->Game.MoveCount, 0);
        // Nothing happened: a left press stays armed for the next release.
        EXPECT_EQ(inside(*w).MouseArmed, c.press == Qt::LeftButton);
    }
    // The last pixel inside the box still plays, on the bottom-right point.
    inside(*w).pbxGbnMouseDown(Qt::LeftButton, width - 1, width - 1);
    inside(*w).pbxGbnMouseUp(Qt::LeftButton, width - 1, width - 1);
    EXPECT_EQ(w->Game.Board[P(19, 19)], Black);
    // One press plays once.
    inside(*w).pbxGbnMouseUp(Qt::LeftButton, 5, 5);
    EXPECT_EQ(w->Game.MoveCount, 1);
}

TEST_F(PlayTest, TurnedBoardClickPlaysTheOppositePoint) {
    w->ui.actDispGbnHanten->trigger();
    ASSERT_TRUE(w->ui.actDispGbnHanten->isChecked());
    click(1, 1);
    EXPECT_EQ(w->Game.Board[P(19, 19)], Black);
    EXPECT_EQ(w->Game.Board[P(1, 1)], 0);
    EXPECT_EQ(rowText(1, 1), QString::fromStdString(w->Game.CoordName[P(19, 19)]));
    click(3, 1);
    EXPECT_EQ(w->Game.Board[P(17, 19)], White);
}

TEST_F(PlayTest, PassesAndTheEndOfTheGame) {
    w->ui.actPlayPass->trigger();
    EXPECT_EQ(w->statusText(1), QStringLiteral("  1手目"));
    EXPECT_EQ(w->statusText(2), QStringLiteral("パス"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("白番です"));
    EXPECT_EQ(rowText(1, 1), QStringLiteral("パス"));
    EXPECT_EQ(markedRows(), std::vector<int>{1});
    // Passes at moves 1 and 2 do not end the game; a third one does.
    w->ui.actPlayPass->trigger();
    EXPECT_FALSE(w->Game.GameOver);
    EXPECT_FALSE(inside(*w).ReplayMode);
    for (int i = 0; i < 5; ++i) inside(*w).tmrTimeTimer();
    w->ui.actPlayPass->trigger();
    EXPECT_TRUE(w->Game.GameOver);
    EXPECT_TRUE(inside(*w).ReplayMode);
    EXPECT_TRUE(w->Game.EndedByPasses);
    EXPECT_EQ(w->Game.MoveCount, 3);
    EXPECT_EQ(w->statusText(3), QStringLiteral("終局です"));
    EXPECT_EQ(w->statusText(4), QStringLiteral("00:00:00"));
    EXPECT_EQ(rowText(3, 2), QStringLiteral("00:00:06"));
    EXPECT_FALSE(w->ui.tmrTime->isActive());
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
    EXPECT_FALSE(w->ui.actPlayPass->isEnabled());
    EXPECT_TRUE(w->ui.mnuKifuP->menuAction()->isEnabled());
    EXPECT_EQ(box()->cursor().shape(), Qt::ArrowCursor);
    // One step back shows whose turn it was and allows resuming.
    w->ui.actKifuBack->trigger();
    EXPECT_EQ(w->statusText(3), QStringLiteral("黒番です"));
    EXPECT_TRUE(w->ui.actPlayResume->isEnabled());
}

TEST_F(PlayTest, PassesEndAHandicapGameAlike) {
    inside(*w).Game.HandicapCount = 2;
    inside(*w).prcNewSet();
    ASSERT_EQ(w->Game.SideToMove, White);
    playByClicks({{0, 0}, {0, 0}});
    EXPECT_FALSE(w->Game.GameOver);
    playByClicks({{10, 10}, {0, 0}, {0, 0}});
    EXPECT_TRUE(w->Game.GameOver);
    EXPECT_TRUE(w->Game.EndedByPasses);
    EXPECT_EQ(w->statusText(3), QStringLiteral("終局です"));
}

TEST_F(PlayTest, Resignation) {
    const struct {
        const char* what;
        int movesFirst;
        const char* comment;
        const char* stored;
        const char* label;
    } cases[] = {
        {"black resigns", 0, "", "W+R", "白の中押し勝ちです"},
        {"white resigns", 1, "", "B+R", "黒の中押し勝ちです"},
        {"a comment is kept", 1, "持碁", "持碁", "持碁"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inside(*w).Game.GameComment = c.comment;
        inside(*w).prcNewSet();
        if (c.movesFirst) click(4, 4);
        w->ui.actPlayGiveUp->trigger();
        EXPECT_EQ(w->Game.GameComment, c.stored);
        EXPECT_EQ(w->ui.lblGameComment->text(), QString::fromUtf8(c.label));
        EXPECT_TRUE(w->Game.GameOver);
        EXPECT_FALSE(w->Game.EndedByPasses);
        EXPECT_TRUE(w->Doc.Modified);
        EXPECT_TRUE(w->ui.actFileSave->isEnabled());
        EXPECT_TRUE(w->ui.actPlayResume->isEnabled());
        EXPECT_EQ(w->Game.MoveCount, c.movesFirst);  // no move is recorded
        EXPECT_EQ(w->statusText(3), QStringLiteral("終局です"));
        EXPECT_FALSE(w->ui.tmrTime->isActive());
    }
}

TEST_F(PlayTest, TakeBackOfACapturingMove) {
    playByClicks(KoShape);
    for (int i = 0; i < 4; ++i) inside(*w).tmrTimeTimer();
    click(10, 10);
    inside(*w).tmrTimeTimer();
    ASSERT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:00:04"));
    // Black's move first, then white's capture.
    w->ui.actPlayMatta->trigger();
    w->ui.actPlayMatta->trigger();
    EXPECT_EQ(w->Game.MoveCount, 7);
    EXPECT_EQ(w->Game.CurrentMove, 8);
    EXPECT_EQ(w->Game.SideToMove, White);
    EXPECT_EQ(w->Game.Board[P(3, 2)], Black);
    EXPECT_EQ(w->Game.Board[P(2, 2)], 0);
    EXPECT_EQ(w->Game.Board[P(10, 10)], 0);
    EXPECT_EQ(w->Game.CapturedCount[White], 0);
    EXPECT_EQ(w->ui.lblWhiteGetStone->text(), QStringLiteral("上げ石   0"));
    EXPECT_EQ(w->ui.lblWhiteTime->text(), QStringLiteral("00:00:03"));
    EXPECT_EQ(w->ui.lblBlackTime->text(), QStringLiteral("00:00:04"));
    EXPECT_EQ(w->kifuRowCount(), 8);
    EXPECT_EQ(markedRows(), std::vector<int>{7});
    EXPECT_EQ(focusRow(), 7);
    EXPECT_EQ(w->statusText(1), QStringLiteral("  7手目"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("白番です"));
    EXPECT_EQ(w->statusText(4), QStringLiteral("00:00:00"));
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    // The capture can be played again.
    click(2, 2);
    EXPECT_EQ(w->Game.Board[P(3, 2)], 0);
    EXPECT_EQ(w->ui.lblWhiteGetStone->text(), QStringLiteral("上げ石   1"));
}

TEST_F(PlayTest, TakeBackAgainstTheComputerRemovesTwoMoves) {
    inside(*w).Game.WhitePlayerKind = false;
    playByClicks({{4, 4}, {16, 16}, {4, 16}});
    w->ui.actPlayMatta->trigger();
    EXPECT_EQ(w->Game.MoveCount, 1);
    EXPECT_EQ(w->kifuRowCount(), 2);
    EXPECT_EQ(markedRows(), std::vector<int>{1});
    // One move left: taking back two is not possible.
    w->ui.actPlayMatta->trigger();
    EXPECT_EQ(w->Game.MoveCount, 1);
    EXPECT_EQ(w->kifuRowCount(), 2);
}

TEST_F(PlayTest, ResumeInTheMiddleOfARecord) {
    playColumns(40);
    w->ui.actPlayStop->trigger();
    w->kifuRow(11)->setSelected(true);
    ASSERT_EQ(w->Game.CurrentMove, 12);

    prompts.answers.push_back(Answer::No);
    w->ui.actPlayResume->trigger();
    ASSERT_EQ(prompts.texts("confirm").size(), 1u);
    EXPECT_EQ(prompts.texts("confirm")[0], QStringLiteral("12手目以降の棋譜を削除します。\n本当に再開しますか？"));
    EXPECT_TRUE(inside(*w).ReplayMode);
    EXPECT_EQ(w->Game.MoveCount, 40);
    EXPECT_EQ(w->kifuRowCount(), 41);
    EXPECT_TRUE(w->ui.actPlayResume->isEnabled());

    prompts.answers.push_back(Answer::Yes);
    w->ui.actPlayResume->trigger();
    EXPECT_FALSE(inside(*w).ReplayMode);
    EXPECT_EQ(w->Game.MoveCount, 11);
    EXPECT_EQ(w->kifuRowCount(), 12);
    EXPECT_EQ(markedRows(), std::vector<int>{11});
    EXPECT_EQ(w->Game.SideToMove, White);
    EXPECT_EQ(w->Game.LastMovePos, P(4, 6));
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    EXPECT_EQ(box()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(w->prefs.pumGobanAutoPopup);
    // The next move overwrites move 12 of the old record.
    click(10, 10);
    EXPECT_EQ(w->Game.MoveCount, 12);
    EXPECT_EQ(w->Game.MovePos[12], P(10, 10));
    EXPECT_EQ(rowText(12, 1), QStringLiteral("K 10"));
    // At the end of the record nothing is asked.
    w->ui.actPlayStop->trigger();
    w->ui.actPlayResume->trigger();
    EXPECT_EQ(prompts.texts("confirm").size(), 2u);
    EXPECT_FALSE(inside(*w).ReplayMode);
}

// 対局再開 before the end of a record says what else the cut takes, on a line of its own:
// the variations and comments from there on (those of the position kept stay). Yes clears the
// result the deleted moves led to.
TEST_F(PlayTest, ResumeSaysWhatTheCutTakesBesidesTheMoves) {
    const QString plain = QStringLiteral("2手目以降の棋譜を削除します。\n本当に再開しますか？");
    const std::pair<QByteArray, QString> rows[] = {
        {"(;SZ[9]RE[B+R];B[aa];W[bb];B[cc];W[dd])", plain},
        {"(;SZ[9]RE[B+R];B[aa]C[kept];W[bb];B[cc])", plain},
        {"(;SZ[9]RE[B+R];B[aa](;W[bb]C[a];B[cc]C[b](;W[dd])(;W[ee]C[c]))(;W[ff]))",
         QStringLiteral(
             "2手目以降の棋譜を削除します。\n以降の変化 2 個とコメント 3 個も削除されます。\n本当に再開しますか？")},
        {"(;SZ[9]RE[B+R];B[aa];W[bb]C[x];B[cc])",
         QStringLiteral("2手目以降の棋譜を削除します。\n以降のコメント 1 個も削除されます。\n本当に再開しますか？")},
        {"(;SZ[9]RE[B+R];B[aa];W[bb](;B[cc])(;B[dd]))",
         QStringLiteral("2手目以降の棋譜を削除します。\n以降の変化 1 個も削除されます。\n本当に再開しますか？")},
    };
    for (const auto& [record, question] : rows) {
        SCOPED_TRACE(record.toStdString());
        const QString path = dir.path() + "/cut.sgf";
        writeFile(path, record);
        prompts.openChoices.push_back(OpenChoice{path, false});
        w->ui.actFileOpenCK->trigger();
        ASSERT_EQ(w->Game.GameComment, "B+R");
        w->kifuRow(1)->setSelected(true);
        ASSERT_EQ(w->Game.CurrentMove, 2);
        prompts.asked.clear();
        prompts.answers.push_back(Answer::Yes);
        w->ui.actPlayResume->trigger();
        ASSERT_EQ(prompts.texts("confirm").size(), 1u);
        EXPECT_EQ(prompts.texts("confirm")[0], question);
        EXPECT_EQ(w->Game.MoveCount, 1);
        EXPECT_EQ(w->Game.GameComment, "");
        EXPECT_FALSE(w->Tree().hasVariations(1));
        w->Doc.Modified = false;
    }
}

TEST_F(PlayTest, NewGameDialog) {
    click(4, 4);
    ASSERT_TRUE(w->ui.tmrTime->isActive());
    bool clockDuringDialog = true;
    prompts.answers = {Answer::No, Answer::No};  // the game is not saved
    prompts.dialogScripts.push_back([&](QDialog& d) {
        clockDuringDialog = w->ui.tmrTime->isActive();
        d.reject();
        return int(QDialog::Rejected);
    });
    w->ui.actPlayNew->trigger();
    EXPECT_FALSE(clockDuringDialog);
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    EXPECT_EQ(w->Game.MoveCount, 1);
    EXPECT_EQ(w->kifuRowCount(), 2);

    w->Doc.FileName = "/tmp/x.sgf";
    prompts.dialogScripts.push_back([&](QDialog& d) {
        clockDuringDialog = w->ui.tmrTime->isActive();
        d.findChild<QLineEdit*>(QStringLiteral("EdtGameName"))->setText(QStringLiteral("名局"));
        d.accept();
        return int(QDialog::Accepted);
    });
    w->ui.actPlayNew->trigger();
    EXPECT_FALSE(clockDuringDialog);
    EXPECT_FALSE(w->ui.tmrTime->isActive());  // a new game's clock waits for the first move
    EXPECT_TRUE(w->Doc.FileName.empty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
    EXPECT_EQ(w->ui.lblGameName->text(), QStringLiteral("名局"));
    EXPECT_EQ(w->Game.MoveCount, 0);
    EXPECT_EQ(w->kifuRowCount(), 1);
    EXPECT_FALSE(w->Doc.Modified);
}

// 新規対局 on a modified game asks first, as closing does: cancel keeps it, no discards it,
// yes saves it (through save-as when it has no name) and a save that does not happen keeps it.
TEST_F(PlayTest, NewGameAsksBeforeAModifiedGameIsDiscarded) {
    const QString saved = dir.path() + "/kept.sgf";
    const struct {
        const char* what;
        bool modified;
        Answer answer;
        std::optional<QString> saveAs;  // the save dialog's choice, when asked
        bool newGame;                   // the new-game dialog was shown and the game replaced
    } cases[] = {
        {"cancel", true, Answer::Cancel, std::nullopt, false},
        {"save, the save dialog cancelled", true, Answer::Yes, std::nullopt, false},
        {"do not save", true, Answer::No, std::nullopt, true},
        {"save through save-as", true, Answer::Yes, saved, true},
        {"not modified: no question", false, Answer::Ok, std::nullopt, true},
    };
    int dialogs = 0;
    auto accept = [&](QDialog& d) {
        ++dialogs;
        d.accept();
        return int(QDialog::Accepted);
    };
    for (const auto& c : cases) {
        w->Doc.Modified = false;
        prompts.dialogScripts = {accept};
        w->ui.actPlayNew->trigger();  // a fresh game
        click(4, 4);
        w->Doc.Modified = c.modified;
        if (c.modified) prompts.answers.push_back(c.answer);
        if (c.modified && c.answer == Answer::Yes) prompts.saveChoices.push_back(c.saveAs);
        dialogs = 0;
        prompts.dialogScripts = {accept};
        prompts.asked.clear();
        w->ui.actPlayNew->trigger();
        const std::vector<QString> questions = prompts.texts("confirm");
        ASSERT_EQ(questions.size(), c.modified ? 1u : 0u) << c.what;
        if (c.modified) {
            EXPECT_EQ(questions[0], QStringLiteral("棋譜「無題.sgf」は変更されています。\n保存しますか？")) << c.what;
        }
        EXPECT_EQ(dialogs, c.newGame ? 1 : 0) << c.what;
        EXPECT_EQ(w->Game.MoveCount, c.newGame ? 0 : 1) << c.what;
        if (c.saveAs) {
            EXPECT_TRUE(readFile(*c.saveAs).contains(QStringLiteral(";B[dd]"))) << c.what;
        }
    }
}

TEST_F(PlayTest, GameInfoDialog) {
    const struct {
        const char* what;
        bool clockRunning;
        bool ok;
    } cases[] = {
        {"cancel while the clock runs", true, false},
        {"OK while the clock runs", true, true},
        {"OK while suspended", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inside(*w).Game.GameName.clear();
        inside(*w).prcNewSet();
        click(4, 4);
        if (!c.clockRunning) w->ui.actPlayStop->trigger();
        w->Doc.Modified = false;
        inside(*w).prcKifUpDate();
        bool clockDuringDialog = true;
        prompts.dialogScripts.push_back([&](QDialog& d) {
            clockDuringDialog = w->ui.tmrTime->isActive();
            d.findChild<QLineEdit*>(QStringLiteral("EdtGameName"))->setText(QStringLiteral("十番碁"));
            if (c.ok)
                d.accept();
            else
                d.reject();
            return int(c.ok ? QDialog::Accepted : QDialog::Rejected);
        });
        // The double click on the information panel runs the same command.
        QTest::mouseDClick(w->ui.pnlGameInfo, Qt::LeftButton, Qt::NoModifier, QPoint(100, 145));
        EXPECT_TRUE(prompts.dialogScripts.empty());
        EXPECT_FALSE(clockDuringDialog);
        EXPECT_EQ(w->ui.tmrTime->isActive(), c.clockRunning);
        EXPECT_EQ(w->Doc.Modified, c.ok);
        EXPECT_EQ(w->ui.actFileSave->isEnabled(), c.ok);
        EXPECT_EQ(w->ui.lblGameName->text(), c.ok ? QStringLiteral("十番碁") : QStringLiteral("( 対局名なし )"));
        EXPECT_EQ(w->Game.MoveCount, 1);
    }
}

}  // namespace
}  // namespace tavrin::test
