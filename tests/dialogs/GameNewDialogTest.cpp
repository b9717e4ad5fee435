// 新規対局: preselection from the previous game, what OK writes, the hidden player kinds and
// level, and leaving without OK.
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "tests/dialogs/DialogTestKit.h"
#include "view/Cp932Edit.h"
#include "view/DialogTexts.h"
#include "view/Dialogs.h"
#include "view/UnitGameNew.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

class GameNewDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { substituteFonts(); }
    GameState game;
    ScriptedPrompts prompts;
};

struct Preselection {
    const char* name;
    int boardSize, handicap, komi;
    const char* goban;
    const char* putStone;  // "" = no item selected
    const char* komiText;
    bool komiGiven = true;
};

TEST_F(GameNewDialog, PreselectsFromThePreviousGame) {
    const Preselection cases[] = {
        {"19 lines, komi 6.5", 19, 0, 65, "１９路盤", "なし", "６目半"},
        {"4 handicap stones", 19, 4, 65, "１９路盤", "４子", "なし"},
        {"handicap ignores the komi", 13, 9, 75, "１３路盤", "９子", "なし"},
        {"komi 7.5", 9, 0, 75, "　９路盤", "なし", "７目半"},
        {"komi 20 points", 19, 0, 200, "１９路盤", "なし", "６目半"},
        {"komi 10.5, the last item", 19, 0, 105, "１９路盤", "なし", "10目半"},
        {"komi 10.6 above the list", 19, 0, 106, "１９路盤", "なし", "６目半"},
        {"komi 7.2 rounds down", 19, 0, 72, "１９路盤", "なし", "７目"},
        {"one stone from a record", 19, 1, 65, "１９路盤", "なし", "なし"},
        {"12 stones from a record", 19, 12, 65, "１９路盤", "", "なし"},
        {"a record without komi: the usual komi", 19, 0, 0, "１９路盤", "なし", "６目半", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        game.BoardSize = c.boardSize;
        game.HandicapCount = c.handicap;
        game.KomiTenths = c.komi;
        game.KomiGiven = c.komiGiven;
        TDlgGameNew dlg(game);
        EXPECT_EQ(selectedText(dlg, "cmbGoban"), QString::fromUtf8(c.goban));
        EXPECT_EQ(selectedText(dlg, "cmbPutStone"), QString::fromUtf8(c.putStone));
        EXPECT_EQ(selectedText(dlg, "cmbKomi"), QString::fromUtf8(c.komiText));
    }
}

struct Choice {
    int goban, putStone, komi;
    int boardSize, handicap, komiTenths;
};

TEST_F(GameNewDialog, OkWritesTheChosenSetUp) {
    const Choice cases[] = {
        {0, 0, 13, 19, 0, 65},
        {1, 1, 0, 13, 2, 0},
        {2, 8, 21, 9, 9, 105},
        {0, 3, 15, 19, 4, 75},
        {2, 0, 1, 9, 0, 5},
        // Past the separator: 2 to 8, 10, 11 lines...; no handicap stones off the three tables.
        {12, 3, 0, 11, 0, 0},
        {4, 0, 0, 2, 0, 0},
        {24, 0, 13, 25, 0, 65},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.komi);
        prompts.dialogScripts.push_back(pressOk([&c](QDialog& d) {
            control<QComboBox>(d, "cmbGoban")->setCurrentIndex(c.goban);
            control<QComboBox>(d, "cmbPutStone")->setCurrentIndex(c.putStone);
            control<QComboBox>(d, "cmbKomi")->setCurrentIndex(c.komi);
        }));
        EXPECT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
        EXPECT_EQ(game.BoardSize, c.boardSize);
        EXPECT_EQ(game.HandicapCount, c.handicap);
        EXPECT_EQ(game.KomiTenths, c.komiTenths);
    }
}

TEST_F(GameNewDialog, ProposesFreshTitleEmptyCommentAndDefaultNames) {
    game.GameName = "前の対局";
    game.GameComment = "B+R";
    game.BlackPlayer = "本因坊";
    game.WhitePlayer = "名人";
    const QDateTime before = QDateTime::currentDateTime();
    prompts.dialogScripts.push_back(pressOk());
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    const QDateTime after = QDateTime::currentDateTime();
    auto title = [](const QDateTime& t) {
        return dialogs::defaultGameTitle(t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                                         t.time().minute());
    };
    EXPECT_TRUE(game.GameName == title(before) || game.GameName == title(after)) << game.GameName;
    EXPECT_EQ(game.GameComment, "");
    EXPECT_EQ(game.BlackPlayer, "黒番対局者");
    EXPECT_EQ(game.WhitePlayer, "白番対局者");
}

TEST_F(GameNewDialog, TypedTextsAreTakenAsTheyAre) {
    prompts.dialogScripts.push_back(pressOk([](QDialog& d) {
        control<Cp932Edit>(d, "EdtGameName")->setText(QString());
        control<Cp932Edit>(d, "EdtGameComment")->setText(QString::fromUtf8("練習碁"));
        control<Cp932Edit>(d, "edtBlackPlayer")->setText(QString());
        control<Cp932Edit>(d, "edtWhitePlayer")->setText(QString::fromUtf8("白石"));
    }));
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.GameName, "");
    EXPECT_EQ(game.GameComment, "練習碁");
    EXPECT_EQ(game.BlackPlayer, "");
    EXPECT_EQ(game.WhitePlayer, "白石");
}

struct Hidden {
    int level;
    bool blackHuman, whiteHuman;
    const char* blackName;
    const char* whiteName;
    bool levelEnabled;
};

TEST_F(GameNewDialog, OkWritesLevelAndKindsUnchanged) {
    const Hidden cases[] = {
        {0, true, true, "黒番対局者", "白番対局者", false},
        {1, false, true, "Rokiru", "白番対局者", true},
        {2, true, false, "黒番対局者", "Rokiru", true},
        {2, false, false, "Rokiru", "Rokiru", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        game.Level = c.level;
        game.BlackPlayerKind = c.blackHuman;
        game.WhitePlayerKind = c.whiteHuman;
        bool levelEnabled = false;
        prompts.dialogScripts.push_back(pressOk([&](QDialog& d) {
            levelEnabled = control<QComboBox>(d, "cmbLevel")->isEnabled();
            EXPECT_FALSE(control<QComboBox>(d, "cmbLevel")->isVisible());
            EXPECT_FALSE(control<QRadioButton>(d, "rdoBlackMan")->isVisible());
            EXPECT_FALSE(control<QRadioButton>(d, "rdoWhiteComp")->isVisible());
            EXPECT_EQ(control<Cp932Edit>(d, "edtBlackPlayer")->isEnabled(), c.blackHuman);
        }));
        ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
        EXPECT_EQ(levelEnabled, c.levelEnabled);
        EXPECT_EQ(game.Level, c.level);
        EXPECT_EQ(game.BlackPlayerKind, c.blackHuman);
        EXPECT_EQ(game.WhitePlayerKind, c.whiteHuman);
        EXPECT_EQ(game.BlackPlayer, c.blackName);
        EXPECT_EQ(game.WhitePlayer, c.whiteName);
    }
}

TEST_F(GameNewDialog, LevelOutsideTheListIsKept) {
    game.Level = 7;  // from a hand-edited settings file
    prompts.dialogScripts.push_back(pressOk());
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.Level, 7);
}

TEST_F(GameNewDialog, HiddenRadioButtonsSwitchNamesAndLevel) {
    TDlgGameNew dlg(game);
    auto* black = control<Cp932Edit>(dlg, "edtBlackPlayer");
    auto* white = control<Cp932Edit>(dlg, "edtWhitePlayer");
    auto* level = control<QComboBox>(dlg, "cmbLevel");
    EXPECT_FALSE(level->isEnabled());

    black->setText(QString::fromUtf8("黒田"));
    control<QRadioButton>(dlg, "rdoBlackComp")->click();
    EXPECT_EQ(black->text(), "Rokiru");
    EXPECT_FALSE(black->isEnabled());
    EXPECT_TRUE(level->isEnabled());

    control<QRadioButton>(dlg, "rdoWhiteComp")->click();
    EXPECT_EQ(white->text(), "Rokiru");
    control<QRadioButton>(dlg, "rdoBlackMan")->click();
    EXPECT_EQ(black->text(), QString::fromUtf8("黒田"));
    EXPECT_TRUE(black->isEnabled());
    EXPECT_TRUE(level->isEnabled());  // white is still the computer's

    control<QRadioButton>(dlg, "rdoWhiteMan")->click();
    EXPECT_EQ(white->text(), QString::fromUtf8("白番対局者"));
    EXPECT_FALSE(level->isEnabled());

    // Clicking the side's current choice again changes nothing.
    control<QRadioButton>(dlg, "rdoWhiteMan")->click();
    EXPECT_EQ(white->text(), QString::fromUtf8("白番対局者"));
    EXPECT_TRUE(white->isEnabled());
}

TEST_F(GameNewDialog, LeavingWithoutOkChangesNothing) {
    for (Leave how : {Leave::CancelButton, Leave::Escape, Leave::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(how));
        game.KomiTenths = 75;
        game.HandicapCount = 3;
        game.GameName = "対局";
        const auto before = infoOf(game);
        prompts.dialogScripts.push_back(leaveBy(how, [](QDialog& d) {
            control<QComboBox>(d, "cmbGoban")->setCurrentIndex(2);
            control<QComboBox>(d, "cmbKomi")->setCurrentIndex(0);
            control<Cp932Edit>(d, "edtBlackPlayer")->setText("x");
        }));
        EXPECT_FALSE(applied(runGameNewDialog(prompts, nullptr, game), game));
        EXPECT_TRUE(infoOf(game) == before);
    }
    // A script that claims acceptance without OK does not count either.
    prompts.dialogScripts.push_back([](QDialog&) { return int(QDialog::Accepted); });
    EXPECT_FALSE(applied(runGameNewDialog(prompts, nullptr, game), game));
}

TEST_F(GameNewDialog, NegativeKomiIsOfferedAndKept) {
    game.KomiTenths = -5;
    {
        TDlgGameNew dlg(game);
        auto* komi = control<QComboBox>(dlg, "cmbKomi");
        EXPECT_EQ(komi->count(), dialogs::KomiItemCount + 1);
        EXPECT_EQ(komi->currentText(), QString::fromUtf8(" -0.5目"));
        EXPECT_TRUE(komi->isEnabled());
    }
    prompts.dialogScripts.push_back(pressOk());
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.KomiTenths, -5);

    prompts.dialogScripts.push_back(pressOk([](QDialog& d) { control<QComboBox>(d, "cmbKomi")->setCurrentIndex(13); }));
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.KomiTenths, 65);

    // With handicap stones the komi is "なし" whatever it was.
    game.KomiTenths = -20;
    game.HandicapCount = 2;
    prompts.dialogScripts.push_back(pressOk());
    ASSERT_TRUE(applied(runGameNewDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.KomiTenths, 0);
}

TEST_F(GameNewDialog, WindowControlsAndTabOrder) {
    TDlgGameNew dlg(game);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("新規対局"));
    EXPECT_EQ(dlg.size(), QSize(409, 251));
    EXPECT_EQ(dlg.font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(dlg.font().pixelSize(), 12);
    EXPECT_EQ(control<QComboBox>(dlg, "cmbKomi")->font().family(), QString::fromUtf8("ＭＳ ゴシック"));
    EXPECT_EQ(control<QComboBox>(dlg, "cmbKomi")->count(), 22);
    EXPECT_EQ(control<QComboBox>(dlg, "cmbPutStone")->count(), 9);
    EXPECT_TRUE(control<QPushButton>(dlg, "btnOk")->isDefault());
    EXPECT_EQ(control<Cp932Edit>(dlg, "EdtGameName")->byteLimit(), 32);
    EXPECT_EQ(control<Cp932Edit>(dlg, "EdtGameComment")->byteLimit(), 32);
    EXPECT_EQ(control<Cp932Edit>(dlg, "edtBlackPlayer")->byteLimit(), 24);
    EXPECT_EQ(control<Cp932Edit>(dlg, "edtWhitePlayer")->byteLimit(), 24);
    EXPECT_EQ(control<QGroupBox>(dlg, "grbBlack")->title(), QString::fromUtf8(" 黒番対局者 "));
    EXPECT_FALSE(control<QLabel>(dlg, "lblLevel")->isVisibleTo(&dlg));

    // Mnemonics lead to their controls.
    const std::pair<const char*, const char*> buddies[] = {
        {"対局名(&G)：", "EdtGameName"},  {"コメント(&C)：", "EdtGameComment"},
        {"名前(&B)：", "edtBlackPlayer"}, {"名前(&W)：", "edtWhitePlayer"},
        {"レベル(&L)：", "cmbLevel"},     {"碁盤(&S)：", "cmbGoban"},
        {"置き石(&I)：", "cmbPutStone"},  {"コミ(&K)：", "cmbKomi"},
    };
    for (const auto& [text, buddy] : buddies) {
        QLabel* found = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(text)) found = l;
        ASSERT_NE(found, nullptr) << text;
        ASSERT_NE(found->buddy(), nullptr) << text;
        EXPECT_EQ(found->buddy()->objectName(), buddy);
    }

    // The tab order of the named controls.
    const QStringList expected = {"EdtGameName", "EdtGameComment", "rdoBlackMan",    "rdoBlackComp", "edtBlackPlayer",
                                  "rdoWhiteMan", "rdoWhiteComp",   "edtWhitePlayer", "cmbLevel",     "cmbGoban",
                                  "cmbPutStone", "cmbKomi",        "btnOk",          "btnCancel"};
    EXPECT_EQ(tabOrderOf(dlg, expected), expected);
}

}  // namespace
