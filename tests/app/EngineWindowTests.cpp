// The computer opponent on the real window: its commands shown only with an engine, its
// turn played through the board's own road, its faults met with a message and a game that
// goes on, and a whole game of GNU Go against itself saved and read back.

#include <signal.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "app/CountingPanel.h"
#include "formats/RecordFile.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "tests/app/PlayKit.h"
#include "tests/game/TestBoard.h"
#include "view/UnitConfig.h"
#include "view/UnitGameNew.h"

namespace tavrin::test {
namespace {

const QString Gnugo = QStringLiteral("/usr/games/gnugo");

// The window with the scripted engine (its options after the program) or another command
// line as the computer opponent, shown at a fixed size.
class EngineWindowTest : public PlayTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        log = dir.path() + "/engine.log";
    }
    void TearDown() override {
        w.reset();
        MainWindowTest::TearDown();
    }
    void start(const QString& commandLine, int moveSeconds = 60) {
        writeFile(iniPath(), "[Engine]\nCommandLine=" + commandLine.toUtf8() +
                                 "\nLevel0=\nLevel1=\nLevel2=\nMoveSeconds=" + QByteArray::number(moveSeconds) + "\n");
        engineLookup = true;
        w = open();
        w->resize(800, 640);
        w->show();
        QApplication::processEvents();
        w->ui.actPnlMainReSize->trigger();
    }
    QString fake(const QString& options = {}) const {
        return QStringLiteral(TAVRIN_FAKE_GTP) + " --log " + log + (options.isEmpty() ? "" : " " + options);
    }
    // A new game of the given size in which the computer plays white (or both sides).
    void newGame(int size, bool computerBlack, bool computerWhite) {
        inside(*w).Game.BoardSize = size;
        inside(*w).Game.HandicapCount = 0;
        inside(*w).Game.BlackPlayerKind = !computerBlack;
        inside(*w).Game.WhitePlayerKind = !computerWhite;
        inside(*w).Game.Level = 0;
        inside(*w).prcNewSet();
    }
    bool waitFor(const std::function<bool()>& done, int ms = 20000) { return QTest::qWaitFor(done, ms); }
    QString engineLog() const {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Processes of the scripted engine that still run with this test's log file.
    int enginesLeft() const {
        int n = 0;
        QDir proc(QStringLiteral("/proc"));
        for (const QString& pid : proc.entryList(QDir::Dirs)) {
            QFile f("/proc/" + pid + "/cmdline");
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(log.toUtf8())) ++n;
        }
        return n;
    }
    QString log;
};

// Without an engine everything about the computer stays hidden, in the menus and the
// dialogs, and a new game is between people whatever the last one was; with one, its commands
// show and the dialogs offer Rokiru with its level.
TEST_F(EngineWindowTest, CommandsAndDialogChoicesShowOnlyWithAnEngine) {
    for (const bool found : {false, true}) {
        SCOPED_TRACE(found);
        start(found ? fake() : QStringLiteral("/nonexistent/engine --mode gtp"));
        EXPECT_EQ(inside(*w).EngineFound, found);
        inside(*w).Game.WhitePlayerKind = false;  // the last game's
        for (QAction* a : {w->ui.actPlayHint, w->ui.actPlayUtinaosi, w->ui.actPlayStnChg})
            EXPECT_EQ(a->isVisible(), found) << a->objectName().toStdString();
        EXPECT_TRUE(w->ui.actDispConfig->isVisible());
        EXPECT_TRUE(w->ui.actDispConfig->isEnabled());
        prompts.dialogScripts.push_back([found](QDialog& d) {
            auto* dlg = qobject_cast<TDlgGameNew*>(&d);
            if (!dlg) return 0;
            EXPECT_EQ(!d.findChild<QRadioButton*>("rdoWhiteComp")->isHidden(), found);
            EXPECT_EQ(!d.findChild<QWidget*>("cmbLevel")->isHidden(), found);
            // Without an engine the new game is between people, white's name the default.
            EXPECT_EQ(d.findChild<QLineEdit*>("edtWhitePlayer")->text(),
                      found ? QStringLiteral("Rokiru") : QStringLiteral("白番対局者"));
            d.accept();
            return 1;
        });
        w->ui.actPlayNew->trigger();
        EXPECT_EQ(w->Game.WhitePlayerKind, !found);
        if (!found) {
            click(3, 3);
            QApplication::processEvents();
            EXPECT_TRUE(prompts.texts("warn").empty());
        }
        w.reset();
    }
}

// Rokiru plays white: its moves come through the board's road (move list, clock, captures),
// the board takes no clicks while it thinks, and 対局中断 stops it at once. No text of the
// game (names) ever reaches the engine.
TEST_F(EngineWindowTest, RokiruAnswersEveryMoveAndStopsWhenSuspended) {
    start(fake("--slow 300"));
    inside(*w).Game.BlackPlayer = "黒]\nquit";
    newGame(9, false, true);
    inside(*w).Game.BlackPlayer = "黒]\nquit";
    click(3, 3);
    ASSERT_EQ(w->Game.MoveCount, 1);
    ASSERT_TRUE(waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::Move; }, 2000));
    EXPECT_FALSE(w->ui.actPlayPass->isEnabled());
    EXPECT_FALSE(w->ui.actPlayMatta->isEnabled());
    click(5, 5);  // ignored: Rokiru's turn
    EXPECT_EQ(w->Game.MoveCount, 1);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));
    EXPECT_EQ(w->Game.MoveColor[2], White);
    EXPECT_EQ(w->kifuRowCount(), 3);
    EXPECT_TRUE(w->ui.actPlayMatta->isEnabled());
    EXPECT_TRUE(w->ui.actPlayUtinaosi->isEnabled());

    // 待った against the computer takes back its move and the person's.
    w->ui.actPlayMatta->trigger();
    EXPECT_EQ(w->Game.MoveCount, 0);
    click(4, 4);
    ASSERT_TRUE(waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::Move; }, 2000));
    w->ui.actPlayStop->trigger();
    EXPECT_EQ(w->ui.engineTurn->task(), EngineTurn::Task::None);
    QTest::qWait(600);  // longer than the engine's delay: no move may arrive after the stop
    EXPECT_EQ(w->Game.MoveCount, 1);
    EXPECT_FALSE(engineLog().contains(QStringLiteral("黒")));
    EXPECT_FALSE(engineLog().contains(QStringLiteral("quit\nquit")));
}

// 石替り gives the person's colour to Rokiru (names follow the colours, the person's idle time
// is charged to nobody) and Rokiru moves at once;
// ヒント marks a point of its own and names it; 打ち直し asks for another move.
TEST_F(EngineWindowTest, ChangeColoursHintAndRedo) {
    start(fake());
    newGame(9, false, true);
    inside(*w).Game.BlackPlayer = "黒番対局者";
    inside(*w).Game.WhitePlayer = "Rokiru";
    inside(*w).prcInfoSameSet();
    ASSERT_TRUE(w->ui.actPlayHint->isEnabled());
    w->ui.actPlayHint->trigger();
    ASSERT_TRUE(waitFor([&] { return w->ui.pnlMain->hint() != 0; }));
    EXPECT_TRUE(w->statusText(0).startsWith(QStringLiteral("ヒント: ")));
    EXPECT_EQ(w->Game.MoveCount, 0);
    // The mark goes with the next action, a judgement too; and the judgement's with a hint.
    w->ui.actPlayKeisei->trigger();
    EXPECT_EQ(w->ui.pnlMain->hint(), 0);
    EXPECT_TRUE(w->ui.pnlMain->hasMarks());
    w->ui.engineTurn->stop();
    w->ui.actPlayHint->trigger();
    EXPECT_FALSE(w->ui.pnlMain->hasMarks());
    ASSERT_TRUE(waitFor([&] { return w->ui.pnlMain->hint() != 0; }));
    click(7, 7);
    EXPECT_EQ(w->ui.pnlMain->hint(), 0);  // the mark goes with the next action
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));

    const int before = w->Game.MovePos[2];
    ASSERT_TRUE(w->ui.actPlayUtinaosi->isEnabled());
    w->ui.actPlayUtinaosi->trigger();
    ASSERT_TRUE(waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::None && w->Game.MoveCount == 2; }));
    EXPECT_NE(w->Game.MovePos[2], before);

    ASSERT_TRUE(w->ui.actPlayStnChg->isEnabled());
    inside(*w).Game.MoveSeconds = 40;  // the person thinks as black for 40 s, then changes colours
    w->ui.actPlayStnChg->trigger();
    EXPECT_FALSE(w->Game.BlackPlayerKind);
    EXPECT_TRUE(w->Game.WhitePlayerKind);
    // A colour's default name becomes the other colour's.
    EXPECT_EQ(w->Game.BlackPlayer, "Rokiru");
    EXPECT_EQ(w->Game.WhitePlayer, "白番対局者");
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 3; }));
    EXPECT_EQ(w->Game.MoveColor[3], Black);
    EXPECT_LT(w->Game.MoveTime[3], 40) << "the person's time was charged to Rokiru's move";
}

// Faults of the engine seen from the window: each is said in Japanese, and the game goes
// on, between people when the engine cannot go on.
TEST_F(EngineWindowTest, EngineFaultsAreReportedAndTheGameGoesOn) {
    struct Case {
        const char* what;
        QString commandLine;
        const char* message;  // part of the warning; "" none
        bool peopleAfter;     // the game goes on between people
    } cases[] = {
        {"missing", QStringLiteral("/nonexistent/gnugo --mode gtp"), "見つかりません", true},
        {"fails to start", fake("--fail-start"), "Rokiru", true},
        // Refused, resynced and asked again; an engine that insists is let go.
        {"answers occupied points only", fake("--occupied"), "打てない手", true},
        {"crashes at every start", fake("--crash-after 1"), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        start(c.commandLine);
        inside(*w).EngineFound = true;  // as if the program had been there at start-up
        newGame(9, false, true);
        click(3, 3);
        ASSERT_TRUE(waitFor([&] {
            return w->ui.engineTurn->task() == EngineTurn::Task::None &&
                   (w->Game.MoveCount == 2 || !prompts.asked.empty());
        }));
        if (*c.message) {
            ASSERT_FALSE(prompts.texts("warn").empty());
            EXPECT_TRUE(prompts.texts("warn").front().contains(QString::fromUtf8(c.message)))
                << prompts.texts("warn").front().toStdString();
        }
        EXPECT_EQ(w->Game.WhitePlayerKind, c.peopleAfter);
        EXPECT_EQ(w->Game.MoveCount, c.peopleAfter ? 1 : 2);
        // Nothing lost: the person's move stands, and the game takes the next move.
        EXPECT_EQ(w->Game.MovePos[1], test::pt(w->Game, 3, 3));
        w.reset();
        EXPECT_EQ(enginesLeft(), 0);
    }
}

// An engine that crashes in the middle of a game is started again, brought to the game from
// Tavrin's record, and moves; the game never notices more than a line in the status bar.
TEST_F(EngineWindowTest, CrashedEngineIsRestartedAndResynced) {
    start(fake("--crash-after 2"));
    newGame(9, false, true);
    click(3, 3);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));
    click(5, 5);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 4 || !prompts.asked.empty(); }));
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(w->Game.WhitePlayerKind);
    // The restart is told in the message field and stays there over the move then played.
    EXPECT_TRUE(w->statusText(0).contains(QStringLiteral("異常終了したので、再起動しました")))
        << w->statusText(0).toStdString();
    // The new process was given the whole game before its move request.
    const QString log = engineLog();
    EXPECT_GE(log.count(QStringLiteral("clear_board")), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("play B C7")) || log.contains(QStringLiteral("play b C7")))
        << log.toStdString();
}

// A move that takes longer than the time limit: Tavrin asks, and stopping suspends the
// game; closing the window while the engine thinks leaves no process and does not hang.
TEST_F(EngineWindowTest, TimeLimitQuestionAndClosingWhileThinking) {
    start(fake("--hang-genmove --hang-limit 30"), 5);
    w->prefs.Engine.moveSeconds = 1;
    newGame(9, false, true);
    prompts.answers.push_back(Answer::No);
    click(3, 3);
    ASSERT_TRUE(waitFor([&] { return !prompts.texts("confirm").empty(); }, 10000));
    EXPECT_TRUE(prompts.texts("confirm").front().contains(QStringLiteral("制限時間")));
    EXPECT_TRUE(inside(*w).ReplayMode);
    EXPECT_EQ(w->ui.engineTurn->task(), EngineTurn::Task::None);

    w->Doc.Modified = false;
    w->ui.actPlayResume->trigger();
    ASSERT_TRUE(waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::Move; }, 2000));
    ASSERT_TRUE(waitFor([&] { return enginesLeft() > 0; }, 2000));
    QElapsedTimer t;
    t.start();
    w->Doc.Modified = false;
    EXPECT_TRUE(w->close());
    w.reset();
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(waitFor([&] { return enginesLeft() == 0; }, 2000));
}

// 環境設定: the engine's command line, level arguments and time limit, tried with 試す.
TEST_F(EngineWindowTest, SettingsDialogTriesTheEngine) {
    start(QStringLiteral("/nonexistent/engine"));
    EXPECT_FALSE(inside(*w).EngineFound);
    const QString program = QStringLiteral(TAVRIN_FAKE_GTP);
    QString tried;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto* dlg = qobject_cast<TDlgConfig*>(&d);
        if (!dlg) return 0;
        d.findChild<QLineEdit*>("edtCommand")->setText(program + " --log " + log);
        d.findChild<QLineEdit*>("edtLevel2")->setText(QStringLiteral("--slow 1"));
        d.findChild<QSpinBox*>("spnSeconds")->setValue(42);
        dlg->btnTryClick();
        auto* memo = d.findChild<QPlainTextEdit*>("memTry");
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return memo->toPlainText().contains(QStringLiteral("起動できました")); }, 10000));
        tried = memo->toPlainText();
        dlg->accept();
        return 1;
    });
    w->ui.actDispConfig->trigger();
    EXPECT_TRUE(tried.contains(QStringLiteral("FakeGtp"))) << tried.toStdString();
    EXPECT_TRUE(inside(*w).EngineFound);
    EXPECT_EQ(w->prefs.Engine.levelArguments[2], QStringLiteral("--slow 1"));
    EXPECT_EQ(w->prefs.Engine.moveSeconds, 42);
    EXPECT_TRUE(w->ui.actPlayHint->isVisible());
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(readFile(iniPath()).contains(QStringLiteral("MoveSeconds=42")));
}

// A whole 9 x 9 game of GNU Go 初級 against itself through the window, one move at a time,
// ends by two passes or a resignation; its record is legal, saved and read back as itself.
TEST_F(EngineWindowTest, GnugoAgainstItselfPlaysAWholeGame) {
    if (!QFile::exists(Gnugo)) GTEST_SKIP() << "GNU Go is not installed";
    start(Gnugo + " --mode gtp");
    w->prefs.Engine = defaultEngineSettings();
    newGame(9, true, true);
    ASSERT_TRUE(waitFor([&] { return w->Game.GameOver; }, 60000)) << w->Game.MoveCount << " moves";
    EXPECT_GT(w->Game.MoveCount, 10);
    EXPECT_TRUE(w->Game.EndedByPasses || w->Game.GameComment == "B+R" || w->Game.GameComment == "W+R");
    EXPECT_TRUE(prompts.texts("warn").empty());
    if (w->Game.EndedByPasses) {
        // The passes lead to counting with GNU Go's dead stones; 確定 gives the result.
        ASSERT_TRUE(w->ui.countingPanel->counting());
        ASSERT_TRUE(waitFor([&] { return !w->ui.countingPanel->waitingForDead(); }, 30000));
        w->ui.countingPanel->btnCountOk->click();
        EXPECT_FALSE(w->ui.countingPanel->counting());
        EXPECT_TRUE(QString::fromStdString(w->Game.GameComment).contains(QRegularExpression("^(B\\+|W\\+|0$)")))
            << w->Game.GameComment;
    }

    const QString path = dir.path() + "/selfplay.sgf";
    prompts.saveChoices.push_back(path);
    w->ui.actFileSaveAs->trigger();
    ASSERT_FALSE(w->Doc.Modified);
    GameState back = test::newGame(19);
    TextBuffer buf;
    ASSERT_TRUE(readRecordFile(back, buf, path.toStdString()).ok());
    ASSERT_EQ(back.MoveCount, w->Game.MoveCount);
    for (int k = 1; k <= back.MoveCount; ++k) {
        EXPECT_EQ(back.MovePos[k], w->Game.MovePos[k]) << k;
        EXPECT_EQ(back.MoveColor[k], w->Game.MoveColor[k]) << k;
    }
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

// 形勢判断 with GNU Go: the rough marks at once, then the engine's own estimate of the score.
TEST_F(EngineWindowTest, JudgementTakesTheEnginesEstimate) {
    if (!QFile::exists(Gnugo)) GTEST_SKIP() << "GNU Go is not installed";
    start(Gnugo + " --mode gtp");
    w->prefs.Engine = defaultEngineSettings();
    newGame(9, false, false);
    for (const auto& [col, row] : {std::pair{3, 3}, {7, 7}, {3, 7}, {7, 3}, {5, 5}}) click(col, row);
    w->ui.actPlayKeisei->trigger();
    EXPECT_TRUE(w->statusText(0).contains(QStringLiteral("目安")));
    ASSERT_TRUE(waitFor([&] { return w->statusText(0).contains(QStringLiteral("Rokiru の判断")); }));
    EXPECT_TRUE(w->statusText(0).startsWith(QStringLiteral("形勢判断: ")));
    EXPECT_TRUE(w->ui.pnlMain->hasMarks());
    EXPECT_EQ(w->Game.MoveCount, 5);
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

// Every change of the shown position drops a hint or a judgement under way and gives the
// computer its move when the turn is its own; meanwhile the board refuses clicks for its colour.
TEST_F(EngineWindowTest, APendingHintOrJudgementGivesWayToEveryChangeOfPosition) {
    struct Case {
        const char* what;
        std::function<void(TfrmMain&)> ask;     // with black, the person, to move
        std::function<void(TfrmMain&)> change;  // after which white, Rokiru, is to move
    };
    const auto pass = [](TfrmMain& m) { m.ui.actPlayPass->trigger(); };
    const auto hint = [](TfrmMain& m) { m.ui.actPlayHint->trigger(); };
    const auto judge = [](TfrmMain& m) { m.ui.actPlayKeisei->trigger(); };
    const auto resumeOneBack = [this](TfrmMain& m) {
        m.ui.actPlayStop->trigger();
        m.ui.actKifuBack->trigger();
        prompts.answers.push_back(Answer::Yes);
        m.ui.actPlayResume->trigger();
    };
    const Case cases[] = {
        {"hint, then a pass", hint, pass},
        {"judgement, then a pass", judge, pass},
        {"judgement, then 対局再開 a move back", judge, resumeOneBack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        start(fake("--slow 400"));
        newGame(9, false, true);
        click(3, 3);
        ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));
        if (std::string(c.what).find("再開") != std::string::npos) {
            click(5, 5);
            ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 4; }));
        }
        const int moves = w->Game.MoveCount;
        c.ask(*w);
        ASSERT_NE(w->ui.engineTurn->task(), EngineTurn::Task::None);
        c.change(*w);
        ASSERT_EQ(w->Game.SideToMove, White);
        const int afterChange = w->Game.MoveCount;
        EXPECT_EQ(w->ui.pnlMain->hint(), 0);
        click(7, 7);  // white's turn is Rokiru's: refused
        EXPECT_EQ(w->Game.MoveCount, afterChange);
        ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == afterChange + 1; }, 5000))
            << "Rokiru never moved after " << moves << " moves";
        EXPECT_EQ(w->Game.MoveColor[afterChange + 1], White);
        EXPECT_EQ(w->ui.pnlMain->hint(), 0) << "no hint ring left for the wrong side";
        w.reset();
    }
}

// 形勢判断 while Rokiru chooses a move: a second engine process judges the shown position, and
// the move under way goes on.
TEST_F(EngineWindowTest, JudgementWhileRokiruThinksComesFromASecondProcess) {
    start(fake("--hang-genmove --hang-limit 30"));
    newGame(9, false, true);
    click(3, 3);
    ASSERT_TRUE(waitFor([&] { return engineLog().contains(QStringLiteral("genmove W")); }, 5000));
    w->ui.actPlayKeisei->trigger();
    EXPECT_TRUE(w->statusText(0).endsWith(QStringLiteral("（目安）")));
    ASSERT_TRUE(waitFor([&] { return w->statusText(0).contains(QStringLiteral("黒 約4目リード（Rokiru の判断）")); }));
    EXPECT_EQ(w->ui.engineTurn->task(), EngineTurn::Task::Move);
    EXPECT_EQ(enginesLeft(), 2);
}

// 終局計算 asks the engine for the dead stones at its lowest level, showing the seconds it takes;
// counting goes on without them when キャンセル stops the engine or its time limit passes.
TEST_F(EngineWindowTest, CountingAsksAtTheLowestLevelAndGoesOnWithoutTheProposal) {
    const std::tuple<const char*, QString, bool, const char*> rows[] = {
        {"answered", "", false, ""},
        {"キャンセル while the engine looks", "--slow 20000", true, ""},
        {"past the time limit", "--slow 20000", false, "制限時間（1秒）"},
    };
    for (const auto& [what, options, cancel, warned] : rows) {
        SCOPED_TRACE(what);
        QFile::remove(log);
        start(fake(options));
        w->prefs.Engine.moveSeconds = *warned ? 1 : 60;
        newGame(9, false, false);
        click(3, 3);
        w->ui.actPlayPass->trigger();
        w->ui.actPlayPass->trigger();
        CountingPanel& panel = *w->ui.countingPanel;
        EXPECT_TRUE(panel.waitingForDead() && !panel.barCountWait->isHidden());
        ASSERT_TRUE(waitFor([&] { return engineLog().contains(QStringLiteral("final_status_list dead")); }, 5000));
        EXPECT_TRUE(engineLog().contains(QRegularExpression("level 1\n\\d+ final_status_list dead")));
        if (cancel) panel.btnCountCancel->click();
        ASSERT_TRUE(waitFor([&] { return !panel.waitingForDead(); }, 5000));
        EXPECT_TRUE(panel.counting() && panel.barCountWait->isHidden());
        EXPECT_EQ(panel.lblCountResult->text(), QStringLiteral("黒の73.5目勝ちです"));
        const auto warnings = prompts.texts("warn");
        EXPECT_TRUE(*warned ? warnings.size() == 1 && warnings[0].contains(QString::fromUtf8(warned))
                            : warnings.empty());
        prompts.asked.clear();
        w.reset();
    }
}

// 対局再開 that deletes the moves of a result clears it; Rokiru's resignation is then said and
// recorded.
TEST_F(EngineWindowTest, ResumeClearsTheResultAndRokirusResignationIsSaidAndRecorded) {
    start(fake("--resign-at 1"));
    const QString path = dir.path() + "/result.sgf";
    writeFile(path, "(;GM[1]FF[4]SZ[9]RE[W+86.5];B[cc];W[gc];B[ee];W[gg])");
    prompts.openChoices.push_back(OpenChoice{path, false});
    w->ui.actFileOpenCK->trigger();
    ASSERT_EQ(w->Game.MoveCount, 4);
    inside(*w).Game.WhitePlayerKind = false;
    w->ui.actKifuBack->trigger();
    w->ui.actKifuBack->trigger();
    w->ui.actKifuBack->trigger();  // white to move, at move 2
    prompts.answers.push_back(Answer::Yes);
    w->ui.actPlayResume->trigger();
    EXPECT_TRUE(w->Game.GameComment.empty());
    EXPECT_EQ(w->ui.lblGameComment->text(), QString::fromUtf8(NoGameResultText));
    ASSERT_TRUE(waitFor([&] { return w->Game.GameOver; }, 5000));
    EXPECT_EQ(w->Game.GameComment, "B+R");
    EXPECT_EQ(w->statusText(0), QStringLiteral("Rokiru が投了しました"));
    // The record can be stepped through at once.
    EXPECT_TRUE(w->ui.mnuKifuP->menuAction()->isEnabled());
    EXPECT_TRUE(w->ui.actKifuBack->isEnabled());
}

// The window giving up on an engine ends its process; an engine named anew in 環境設定 answers
// the next question, the old one never again.
TEST_F(EngineWindowTest, GivingUpEndsTheEngineAndANewSettingStartsTheNewOne) {
    start(fake("--occupied"));
    newGame(9, false, true);
    click(3, 3);
    ASSERT_TRUE(waitFor([&] { return !prompts.texts("warn").empty(); }));
    EXPECT_TRUE(w->Game.WhitePlayerKind);
    EXPECT_TRUE(waitFor([&] { return enginesLeft() == 0; }, 1000)) << "the engine given up on still runs";
    w.reset();

    start(fake());
    newGame(9, false, true);
    click(3, 3);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));
    ASSERT_EQ(enginesLeft(), 1);
    const QString first = log, second = dir.path() + "/second.log";
    prompts.dialogScripts.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>("edtCommand")->setText(QStringLiteral(TAVRIN_FAKE_GTP) + " --log " + second);
        d.accept();
        return 1;
    });
    w->ui.actDispConfig->trigger();
    EXPECT_TRUE(waitFor([&] { return enginesLeft() == 0; }, 1000)) << "the engine of the old setting still runs";
    log = second;
    click(5, 5);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 4; }));
    EXPECT_TRUE(engineLog().contains(QStringLiteral("genmove W")));
}

// 打ち直し again and again: each time the engine's best move not yet rejected; only an engine
// with nothing else is said to have chosen the same move.
TEST_F(EngineWindowTest, RedoPlaysTheBestMoveNotYetRejected) {
    start(fake("--insist --top 3"));
    newGame(9, false, true);
    click(5, 5);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 2; }));
    std::vector<int> played{w->Game.MovePos[2]};
    for (int redo = 1; redo <= 3; ++redo) {
        SCOPED_TRACE(redo);
        ASSERT_TRUE(w->ui.actPlayUtinaosi->isEnabled());
        w->ui.actPlayUtinaosi->trigger();
        ASSERT_TRUE(
            waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::None && w->Game.MoveCount == 2; }));
        const bool same = w->statusText(0).contains(QStringLiteral("同じ手"));
        if (redo < 3) {
            EXPECT_EQ(std::count(played.begin(), played.end(), w->Game.MovePos[2]), 0);
            EXPECT_FALSE(same) << w->statusText(0).toStdString();
        } else {
            EXPECT_TRUE(same) << "the list of three is used up: " << w->statusText(0).toStdString();
        }
        played.push_back(w->Game.MovePos[2]);
    }
    // A move of the person's begins another position: the list starts afresh.
    click(5, 7);
    ASSERT_TRUE(waitFor([&] { return w->Game.MoveCount == 4; }));
    w->ui.actPlayUtinaosi->trigger();
    ASSERT_TRUE(waitFor([&] { return w->ui.engineTurn->task() == EngineTurn::Task::None && w->Game.MoveCount == 4; }));
    EXPECT_FALSE(w->statusText(0).contains(QStringLiteral("同じ手")));
}

// 対局情報 with OK and nothing touched changes nothing, a player named Rokiru included; with an
// engine the dialog offers the level.
TEST_F(EngineWindowTest, GameInfoOkWithoutAChangeChangesNothingAndOffersTheLevel) {
    for (const bool found : {false, true}) {
        SCOPED_TRACE(found);
        start(found ? fake() : QStringLiteral("/nonexistent/engine"));
        const QString path = dir.path() + "/rokiru.sgf";
        writeFile(path, "(;GM[1]FF[4]SZ[9]PB[]PW[Rokiru]KM[7.5]GN[Title];B[cc])");
        prompts.openChoices.push_back(OpenChoice{path, false});
        w->ui.actFileOpenCK->trigger();
        const GameState before = w->Game;
        prompts.dialogScripts.push_back([&](QDialog& d) {
            auto* level = d.findChild<QComboBox*>("cmbLevel");
            EXPECT_TRUE(level != nullptr && !level->isHidden() == found);
            d.accept();
            return 1;
        });
        w->ui.actPlayConfig->trigger();
        EXPECT_EQ(w->Game.WhitePlayer, "Rokiru");
        EXPECT_EQ(w->Game.BlackPlayer, "");
        EXPECT_EQ(w->Game.KomiTenths, before.KomiTenths);
        EXPECT_EQ(w->Game.GameName, "Title");
        EXPECT_FALSE(w->Doc.Modified);
        if (found) {
            prompts.dialogScripts.push_back([](QDialog& d) {
                if (auto* level = d.findChild<QComboBox*>("cmbLevel")) level->setCurrentIndex(2);
                d.accept();
                return 1;
            });
            w->ui.actPlayConfig->trigger();
            EXPECT_EQ(w->Game.Level, 2);
        }
        w.reset();
    }
}

}  // namespace
}  // namespace tavrin::test
