// 対局情報: the current values, the komi beyond the list, the default names, the hidden
// player kinds, and leaving without OK.
#include <QLabel>
#include <QRadioButton>

#include "tests/dialogs/DialogTestKit.h"
#include "view/Cp932Edit.h"
#include "view/DialogTexts.h"
#include "view/Dialogs.h"
#include "view/UnitGameInfo.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

class GameInfoDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { substituteFonts(); }
    GameState game;
    ScriptedPrompts prompts;
};

struct KomiCase {
    const char* name;
    int komi;
    int pick;  // index chosen before OK, -1 = none
    const char* shown;
    int items;
    bool enabled;
    int written;
    bool given = true;  // the game had a komi before, and after OK
    bool givenAfter = true;
};

TEST_F(GameInfoDialog, KomiShownAndWritten) {
    const KomiCase cases[] = {
        {"6.5, then 7 chosen", 65, 14, "６目半", 22, true, 70},
        {"0 in a handicap game kept", 0, -1, "なし", 22, true, 0},
        {"10.5 kept", 105, -1, "10目半", 22, true, 105},
        {"7.2 kept when no other komi is chosen", 72, -1, "７目", 22, true, 72},
        {"7.2, then 6.5 chosen", 72, 13, "７目", 22, true, 65},
        {"11.5 from a record: alone, disabled, kept", 115, -1, " 11.5目", 1, false, 115},
        {"11 points", 110, -1, " 11目", 1, false, 110},
        {"negative kept", -15, -1, " -1.5目", 23, true, -15},
        {"negative replaced by a choice", -15, 0, " -1.5目", 23, true, 0},
        {"a record without komi keeps none", 0, -1, "なし", 22, true, 0, false, false},
        {"a record without komi, なし chosen again", 0, 0, "なし", 22, true, 0, false, false},
        {"a record without komi, 6.5 chosen", 0, 13, "なし", 22, true, 65, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        game.KomiTenths = c.komi;
        game.KomiGiven = c.given;
        game.HandicapCount = c.komi == 0 ? 4 : 0;
        prompts.dialogScripts.push_back(pressOk(
            [&c](QDialog& d) {
                auto* komi = control<QComboBox>(d, "cmbKomi");
                EXPECT_EQ(komi->currentText(), QString::fromUtf8(c.shown));
                EXPECT_EQ(komi->count(), c.items);
                EXPECT_EQ(komi->isEnabled(), c.enabled);
                if (c.pick >= 0) komi->setCurrentIndex(c.pick);
            },
            "OKBtn"));
        ASSERT_TRUE(applied(runGameInfoDialog(prompts, nullptr, game), game));
        EXPECT_EQ(game.KomiTenths, c.written);
        EXPECT_EQ(game.KomiGiven, c.givenAfter);
    }
}

struct NameCase {
    const char* player;
    bool human;
    const char* shown;
    bool editable;
    const char* written;
};

TEST_F(GameInfoDialog, NamesShownAndWritten) {
    const NameCase cases[] = {
        {"本因坊秀策", true, "本因坊秀策", true, "本因坊秀策"},
        // A person named Rokiru stays so; an empty name shows the default and stays empty
        // unless a name is typed.
        {"Rokiru", true, "Rokiru", true, "Rokiru"},
        {"", true, "黒番対局者", true, ""},
        {"Rokiru", false, "Rokiru", false, "Rokiru"},
        {"誰か", false, "Rokiru", false, "誰か"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.player);
        game.BlackPlayer = c.player;
        game.BlackPlayerKind = c.human;
        game.WhitePlayer = "";
        prompts.dialogScripts.push_back(pressOk(
            [&c](QDialog& d) {
                auto* edit = control<Cp932Edit>(d, "edtBlackPlayer");
                EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown));
                EXPECT_EQ(edit->isEnabled(), c.editable);
                EXPECT_EQ(control<Cp932Edit>(d, "edtWhitePlayer")->text(), QString::fromUtf8("白番対局者"));
            },
            "OKBtn"));
        ASSERT_TRUE(applied(runGameInfoDialog(prompts, nullptr, game), game));
        EXPECT_EQ(game.BlackPlayer, c.written);
        EXPECT_EQ(game.BlackPlayerKind, c.human);
        EXPECT_EQ(game.WhitePlayer, "");
    }
}

TEST_F(GameInfoDialog, ShowsAndWritesTitleAndComment) {
    game.GameName = "第1期 名人戦";
    game.GameComment = "W+R";
    game.BoardSize = 13;
    game.HandicapCount = 2;
    prompts.dialogScripts.push_back(pressOk(
        [](QDialog& d) {
            auto* name = control<Cp932Edit>(d, "EdtGameName");
            auto* comment = control<Cp932Edit>(d, "EdtGameComment");
            EXPECT_EQ(name->text(), QString::fromUtf8("第1期 名人戦"));
            EXPECT_EQ(comment->text(), "W+R");
            name->setText(QString());
            comment->setText(QString::fromUtf8("黒中押し勝ち"));
        },
        "OKBtn"));
    ASSERT_TRUE(applied(runGameInfoDialog(prompts, nullptr, game), game));
    EXPECT_EQ(game.GameName, "");
    EXPECT_EQ(game.GameComment, "黒中押し勝ち");
    EXPECT_EQ(game.BoardSize, 13);
    EXPECT_EQ(game.HandicapCount, 2);
}

TEST_F(GameInfoDialog, HiddenRadioButtonsSwitchNames) {
    game.WhitePlayer = "白川";
    TDlgGameInfo dlg(game);
    auto* white = control<Cp932Edit>(dlg, "edtWhitePlayer");
    white->setText(QString::fromUtf8("白山"));
    control<QRadioButton>(dlg, "rdoWhiteComp")->click();
    EXPECT_EQ(white->text(), "Rokiru");
    EXPECT_FALSE(white->isEnabled());
    control<QRadioButton>(dlg, "rdoWhiteComp")->click();
    EXPECT_EQ(white->text(), "Rokiru");
    control<QRadioButton>(dlg, "rdoWhiteMan")->click();
    EXPECT_EQ(white->text(), QString::fromUtf8("白山"));
    EXPECT_TRUE(white->isEnabled());

    control<QRadioButton>(dlg, "rdoBlackComp")->click();
    dlg.accept();
    EXPECT_TRUE(dlg.Accepted());
    EXPECT_FALSE(game.BlackPlayerKind);
    EXPECT_EQ(game.BlackPlayer, "Rokiru");
    EXPECT_EQ(game.WhitePlayer, "白山");
}

TEST_F(GameInfoDialog, LeavingWithoutOkChangesNothing) {
    for (Leave how : {Leave::CancelButton, Leave::Escape, Leave::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(how));
        game.KomiTenths = 65;
        game.GameComment = "B+3.5";
        const auto before = infoOf(game);
        prompts.dialogScripts.push_back(leaveBy(
            how,
            [](QDialog& d) {
                control<QComboBox>(d, "cmbKomi")->setCurrentIndex(0);
                control<Cp932Edit>(d, "EdtGameComment")->setText("x");
                control<QRadioButton>(d, "rdoBlackComp")->click();
            },
            "CancelBtn"));
        EXPECT_FALSE(applied(runGameInfoDialog(prompts, nullptr, game), game));
        EXPECT_TRUE(infoOf(game) == before);
    }
}

TEST_F(GameInfoDialog, WindowControlsAndTabOrder) {
    TDlgGameInfo dlg(game);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("対局情報"));
    EXPECT_EQ(dlg.size(), QSize(409, 217));
    EXPECT_EQ(dlg.font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(control<QComboBox>(dlg, "cmbKomi")->font().family(), QString::fromUtf8("ＭＳ ゴシック"));
    EXPECT_TRUE(control<QPushButton>(dlg, "OKBtn")->isDefault());
    EXPECT_EQ(dlg.findChild<QComboBox*>("cmbGoban"), nullptr);
    // The level is there for a computer opponent only, hidden like the player kinds.
    EXPECT_TRUE(control<QComboBox>(dlg, "cmbLevel")->isHidden());
    EXPECT_EQ(dlg.focusWidget(), control<QWidget>(dlg, "OKBtn"));

    const QStringList expected = {"OKBtn",          "CancelBtn",      "EdtGameName", "rdoBlackMan",
                                  "rdoBlackComp",   "edtBlackPlayer", "rdoWhiteMan", "rdoWhiteComp",
                                  "edtWhitePlayer", "EdtGameComment", "cmbKomi",     "cmbLevel"};
    EXPECT_EQ(tabOrderOf(dlg, expected), expected);
}

}  // namespace
