// What start-up leaves for after the first picture, used at once: the engine look-up (the
// first 新規対局 and a computer game started before the event loop ever ran), the comment
// window, the explorer's pane and the counting panel, each made when first asked for.

#include <QClipboard>
#include <QDockWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/CountingPanel.h"
#include "base/SettingsFile.h"
#include "tests/app/AppTestKit.h"
#include "view/BoardView.h"
#include "view/UnitGameNew.h"

namespace tavrin::test {
namespace {

class DeferredStartupTest : public MainWindowTest {
protected:
    std::unique_ptr<TfrmMain> w;
    void TearDown() override {
        w.reset();
        MainWindowTest::TearDown();
    }
    // The window with the scripted engine as the computer opponent, not yet shown and
    // without a single pass of the event loop.
    void openWithEngine(QStringList args = {}) {
        writeFile(iniPath(), "[Engine]\nCommandLine=" + QByteArray(TAVRIN_FAKE_GTP) +
                                 "\nLevel0=\nLevel1=\nLevel2=\nMoveSeconds=60\n");
        engineLookup = true;
        w = open({}, std::move(args));
    }
    QString writeRecord(const QByteArray& sgf) {
        const QString path = dir.path() + "/game.sgf";
        writeFile(path, sgf);
        return path;
    }
};

// Ctrl+N before the look-up had its turn: the dialog already offers the computer.
TEST_F(DeferredStartupTest, FirstNewGameOffersTheComputerBeforeTheLookUpRan) {
    openWithEngine();
    ASSERT_TRUE(inside(*w).EngineLookUpPending);
    bool offered = false;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        if (!qobject_cast<TDlgGameNew*>(&d)) return 0;
        offered =
            !d.findChild<QRadioButton*>("rdoWhiteComp")->isHidden() && !d.findChild<QWidget*>("cmbLevel")->isHidden();
        return 0;
    });
    w->ui.actPlayNew->trigger();
    EXPECT_TRUE(offered);
    EXPECT_TRUE(inside(*w).EngineFound);
    EXPECT_FALSE(inside(*w).EngineLookUpPending);
    // The computer's commands show in the menu at once, not only after the event loop.
    EXPECT_TRUE(w->ui.actPlayHint->isVisible());
}

// The look-up left pending finds the engine by itself once the event loop runs.
TEST_F(DeferredStartupTest, LookUpRunsOnceTheEventLoopDoes) {
    openWithEngine();
    EXPECT_FALSE(inside(*w).EngineFound);
    EXPECT_FALSE(w->ui.actPlayHint->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(inside(*w).EngineLookUpPending);
    EXPECT_TRUE(inside(*w).EngineFound);
    EXPECT_TRUE(w->ui.actPlayHint->isVisible());
}

// A game against the computer chosen in the very first dialog: the computer, black, moves.
TEST_F(DeferredStartupTest, ComputerGameStartedAtOncePlays) {
    openWithEngine();
    prompts.dialogScripts.push_back([](QDialog& d) {
        auto* dlg = qobject_cast<TDlgGameNew*>(&d);
        if (!dlg) return 0;
        d.findChild<QRadioButton*>("rdoBlackComp")->setChecked(true);
        d.findChild<QPushButton*>("btnOk")->click();
        return d.result();
    });
    w->ui.actPlayNew->trigger();
    ASSERT_FALSE(w->Game.BlackPlayerKind);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->Game.MoveCount >= 1; }, 20000));
    EXPECT_EQ(w->Game.MoveColor[1], Black);
    EXPECT_TRUE(prompts.texts("warn").empty());
}

// コメントウィンドウ at once: made on the side the settings name, showing the record's comment.
TEST_F(DeferredStartupTest, CommentWindowShownAtOnceDocksWhereTheSettingsSay) {
    writeFile(iniPath(), "[Display]\nCommentArea=2\n");
    w = open({}, {writeRecord("(;GM[1]SZ[9];B[cc]C[最初の一手];W[gg])")});
    EXPECT_EQ(w->ui.dckComment, nullptr);
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();
    w->ui.actDispComment->trigger();
    ASSERT_NE(w->ui.dckComment, nullptr);
    EXPECT_FALSE(w->ui.dckComment->isHidden());
    EXPECT_EQ(w->dockWidgetArea(w->ui.dckComment), Qt::RightDockWidgetArea);
    EXPECT_EQ(w->ui.memComment->toPlainText(), QStringLiteral("最初の一手"));
    w->ui.actDispComment->trigger();
    EXPECT_TRUE(w->ui.dckComment->isHidden());
}

// A window that never showed the comment window keeps its side in the settings file.
TEST_F(DeferredStartupTest, CommentSideKeptWhenTheWindowWasNeverMade) {
    writeFile(iniPath(), "[Display]\nCommentArea=1\nCommentSize=150\n");
    w = open();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->ui.dckComment, nullptr);
    SettingsFile ini;
    ini.load(QFile::encodeName(iniPath()).toStdString());
    EXPECT_EQ(ini.ReadInteger("Display", "CommentArea", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Display", "CommentSize", 0), 150);
}

// 布石定石 at once: the pane is made and shown, its lists in place and empty.
TEST_F(DeferredStartupTest, ExplorerShownAtOnce) {
    w = open();
    EXPECT_EQ(w->ui.dckFskJsk, nullptr);
    w->ui.actDispFskJsk->trigger();
    ASSERT_NE(w->ui.dckFskJsk, nullptr);
    EXPECT_FALSE(w->ui.dckFskJsk->isHidden());
    EXPECT_EQ(w->dockWidgetArea(w->ui.dckFskJsk), Qt::RightDockWidgetArea);
    EXPECT_EQ(w->ui.lsvFskJsk->topLevelItemCount(), 0);
    EXPECT_FALSE(w->ui.lblFskJsk->text().isEmpty());
    w->ui.actDispFskJsk->trigger();
    EXPECT_TRUE(w->ui.dckFskJsk->isHidden());
}

// 終局計算 on a finished record right after start-up: the panel sits at the foot of the side
// panel and counts.
TEST_F(DeferredStartupTest, CountingAtOnceShowsItsPanelInTheSidePanel) {
    w = open({}, {writeRecord("(;GM[1]SZ[9]KM[0];B[ee];W[tt];B[tt])")});
    EXPECT_EQ(w->ui.countingPanel, nullptr);
    ASSERT_TRUE(w->ui.actPlayCount->isEnabled());
    w->ui.actPlayCount->trigger();
    ASSERT_NE(w->ui.countingPanel, nullptr);
    EXPECT_EQ(w->ui.countingPanel->parentWidget(), w->ui.pnlSub);
    EXPECT_FALSE(w->ui.countingPanel->isHidden());
    EXPECT_TRUE(w->ui.countingPanel->lblCountResult->text().contains(QStringLiteral("黒")))
        << w->ui.countingPanel->lblCountResult->text().toStdString();
    w->ui.countingPanel->actCountCancel->trigger();
    EXPECT_TRUE(w->ui.countingPanel->isHidden());
    EXPECT_FALSE(w->ui.countingPanel->counting());
}

// With a record on the command line the board is drawn once, at the size it is shown at:
// showing the window keeps that picture; a resize draws a new one.
TEST_F(DeferredStartupTest, BoardDrawnOnceAtTheSizeItIsShownAt) {
    w = open({}, {writeRecord("(;GM[1]SZ[19];B[pd];W[dp];B[pp])")});
    ASSERT_TRUE(w->ui.pnlMain->laidOutForSize());
    const QSize drawn = w->ui.pnlMain->size();
    const qint64 picture = w->ui.pnlMain->picture().cacheKey();
    w->show();
    QApplication::processEvents();
    inside(*w).tmrDelayTimer();
    EXPECT_EQ(w->ui.pnlMain->size(), drawn);
    EXPECT_EQ(w->ui.pnlMain->picture().cacheKey(), picture);
    w->resize(w->width() + 60, w->height() + 40);
    QApplication::processEvents();
    inside(*w).tmrDelayTimer();
    EXPECT_TRUE(w->ui.pnlMain->laidOutForSize());
    EXPECT_NE(w->ui.pnlMain->picture().cacheKey(), picture);
    EXPECT_EQ(w->prefs.SavedWidth, w->width());
}

// F1 before the event loop ever ran: the help window, made now, opens at its contents.
TEST_F(DeferredStartupTest, FirstHelpOpensAtTheContents) {
    w = open();
    ASSERT_EQ(w->findChild<QWidget*>("helpWindow"), nullptr);
    w->ui.actHelpContents->trigger();
    QWidget* help = w->findChild<QWidget*>("helpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().fileName(), "index.html");
    EXPECT_FALSE(browser->toPlainText().isEmpty());
}

// A paste before the event loop ever ran: the record is read whole, its text decoded, its
// moves listed and drawn.
TEST_F(DeferredStartupTest, PasteAtOnceReadsTheRecord) {
    w = open();
    QGuiApplication::clipboard()->setText(QStringLiteral("(;GM[1]SZ[9]PB[本因坊];B[cc];W[gg];B[cg])"));
    inside(*w).actClipPastExecute();
    EXPECT_EQ(w->Game.MoveCount, 3);
    EXPECT_EQ(w->Game.BlackPlayer, "本因坊");
    EXPECT_EQ(w->kifuRowCount(), 4);
    EXPECT_TRUE(w->ui.pnlMain->laidOutForSize());
    EXPECT_EQ(w->Game.Board[3 * w->Game.BoardStride + 7], Black);
}

}  // namespace
}  // namespace tavrin::test
