// The action list, menus, popup menus, radio groups and icons of the real window.

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "app/ActionTable.h"
#include "tests/app/AppTestKit.h"

namespace tavrin::test {
namespace {

// How every action stands right after start-up: a new game in play mode.
struct ActionExpect {
    const char* name;
    const char* category;
    const char* caption;
    const char* hint;
    const char* shortcut;
    int icon;
    int check;  // -1 not checkable, 0 unchecked, 1 checked
    bool enabled;
    bool visible;
};

const ActionExpect kActions[] = {
    {"actFileOpen", "ファイル", "", "", "", -1, -1, true, true},
    {"actFileOpenCK", "ファイル", "棋譜の読み込み(&O)...", "棋譜の読み込み", "Ctrl+O", 0, -1, true, true},
    {"actFileReOpen", "ファイル", "棋譜の再読み込み(&R)", "棋譜の再読み込み", "", 13, -1, false, true},
    {"actFileSave", "ファイル", "棋譜の上書き保存(&S)", "棋譜を上書き保存する", "Ctrl+S", 1, -1, false, true},
    {"actFileSaveAs", "ファイル", "名前の別名保存(&A)...", "棋譜に別名をつけて保存する", "", 11, -1, true, true},
    {"actFileExit", "ファイル", "Tavrinを終了する(&X)", "Tavrinを終了する", "", -1, -1, true, true},
    {"actClipBoard", "ファイル", "棋譜をコピー(&C)", "棋譜をsgf形式でコピー", "Ctrl+C", 22, -1, true, true},
    {"actClipPast", "ファイル", "棋譜を貼り付け(&V)", "sgf形式の棋譜を貼り付け", "Ctrl+V", 23, -1, true, true},
    {"actPlayNew", "対局", "新規対局(&N)", "新規対局", "Ctrl+N", 14, -1, true, true},
    {"actPlayConfig", "対局", "対局情報(&D)", "対局情報", "Ctrl+D", -1, -1, true, true},
    {"actPlayDetails", "対局", "対局の詳細(&I)...", "日付・棋戦・段位・出典などの対局情報", "", -1, -1, true, true},
    {"actPlayStop", "対局", "対局中断(&B)", "対局を中断する", "Ctrl+B", 20, -1, true, true},
    {"actPlayResume", "対局", "対局再開(&R)", "対局を再開する", "Ctrl+R", 16, -1, false, true},
    {"actPlayPass", "対局", "パス(&P)", "パスをする", "Ctrl+P", 18, -1, true, true},
    {"actPlayMatta", "対局", "待った(&M)", "待ったをする", "Ctrl+M", 24, -1, false, true},
    {"actPlayGiveUp", "対局", "投了(&T)", "投了をする", "Ctrl+T", 19, -1, true, true},
    {"actPlayStnChg", "対局", "石替り(&Q)", "石替えをする", "Ctrl+Q", -1, -1, false, false},
    {"actPlayHint", "対局", "ヒント(&H)", "ヒントを表示する", "Ctrl+H", -1, -1, false, false},
    {"actPlayKeisei", "対局", "形勢判断(&K)", "形勢判断をする", "Ctrl+K", -1, -1, true, true},
    {"actPlayEdit", "対局", "盤面編集(&E)", "盤面を編集する", "Ctrl+E", -1, 0, true, true},
    {"actPlayKentou", "対局", "検討をする(&Y)", "検討を始める", "Ctrl+Y", -1, 0, true, true},
    {"actPlayUtinaosi", "対局", "打ち直し(&U)", "コンピュータの着手を変える", "Ctrl+U", -1, -1, false, false},
    {"actPlayCount", "対局", "終局計算(&J)", "地を数えて勝敗を決める", "", -1, -1, false, true},
    {"actKifuAuto", "棋譜観賞", "", "自動再生開始", "Ctrl+A", 9, -1, false, true},
    {"actKifuFirst", "棋譜観賞", "", "最初に戻す", "Ctrl+Up; Home", 3, -1, false, true},
    {"actKifuLast", "棋譜観賞", "", "最後に飛ぶ", "Ctrl+Down; End", 8, -1, false, true},
    {"actKifuBack", "棋譜観賞", "", "１手戻す", "Ctrl+Left; Left", 5, -1, false, true},
    {"actKifuNext", "棋譜観賞", "", "１手進む", "Ctrl+Right; Right", 6, -1, false, true},
    {"actKifuBack10", "棋譜観賞", "", "10手戻す", "Ctrl+Shift+Left; PgUp", 4, -1, false, true},
    {"actKifuNext10", "棋譜観賞", "", "10手進む", "Ctrl+Shift+Right; PgDown", 7, -1, false, true},
    {"actKifuVarNext", "棋譜観賞", "次の変化(&N)", "次の変化に切り替える", "Alt+Down; Down", -1, -1, false, true},
    {"actKifuVarPrev", "棋譜観賞", "前の変化(&P)", "前の変化に切り替える", "Alt+Up; Up", -1, -1, false, true},
    {"actKifuVarBranch", "棋譜観賞", "分岐点に戻る(&R)", "変化の分かれた局面に戻る", "Alt+Left", -1, -1, false, true},
    {"actKifuGoTo", "棋譜観賞", "手数指定(&G)...", "手数を指定してその局面を表示する", "Ctrl+G", -1, -1, false, true},
    {"actKifuNextComment", "棋譜観賞", "次のコメント(&E)", "次のコメントのある局面に進む", "Ctrl+Shift+Down", -1, -1,
     false, true},
    {"actKifuPrevComment", "棋譜観賞", "前のコメント(&O)", "前のコメントのある局面に戻る", "Ctrl+Shift+Up", -1, -1,
     false, true},
    {"actKifuSearch", "棋譜観賞", "検索(&F)...", "コメント・局面名・文字を検索する", "Ctrl+F", -1, -1, false, true},
    {"actKifuAnalyse", "棋譜観賞", "棋譜解析(&A)", "Rokiru が棋譜の全局面の形勢を判断する", "Ctrl+Shift+A", -1, -1,
     false, false},
    {"actKifuMainLine", "棋譜観賞", "本譜に戻る(&M)", "本譜の同じ手数の局面に戻る", "", -1, -1, false, true},
    {"actKifuSpedd05", "棋譜観賞", "0.5秒 間隔(&0)", "", "Ctrl+0", -1, 0, true, true},
    {"actKifuSpedd10", "棋譜観賞", "1.0秒 間隔(&1)", "", "Ctrl+1", -1, 1, true, true},
    {"actKifuSpedd20", "棋譜観賞", "2.0秒 間隔(&2)", "", "Ctrl+2", -1, 0, true, true},
    {"actKifuSpedd30", "棋譜観賞", "3.0秒 間隔(&3)", "", "Ctrl+3", -1, 0, true, true},
    {"actKifuSpedd40", "棋譜観賞", "4.0秒 間隔(&4)", "", "Ctrl+4", -1, 0, true, true},
    {"actKifuSpedd50", "棋譜観賞", "5.0秒 間隔(&5)", "", "Ctrl+5", -1, 0, true, true},
    {"actDispZahyou", "表示", "座標表示(&Z)", "座標表示をする", "", -1, 1, true, true},
    {"actDispGbnHanten", "表示", "碁盤反転(&H)", "碁盤を反転させる", "", -1, 0, true, true},
    {"actDispToolBar", "表示", "ツールバー(&T)", "ツールバー", "", -1, 1, true, true},
    {"actDispToolBarTop", "表示", "上に移動(&T)", "上に移動", "", -1, 1, true, true},
    {"actDispToolBarBottom", "表示", "下に移動(&B)", "下に移動", "", -1, 0, true, true},
    {"actDispToolBarLeft", "表示", "左に移動(&L)", "左に移動", "", -1, 0, true, true},
    {"actDispToolBarRight", "表示", "右に移動(&R)", "右に移動", "", -1, 0, true, true},
    {"actDispDataPanel", "表示", "情報表示パネル(&P)", "情報表示パネルを標示する", "", -1, 1, true, true},
    {"actDispPanelKifuBtn", "表示", "棋譜観賞ボタン(&B)", "棋譜観賞ボタンを表示する", "", -1, 1, true, true},
    {"actDispStatusBar", "表示", "ステータスバー(&S)", "ステータスバーを表示する", "", -1, 1, true, true},
    {"actDispTejun", "表示", "手順表示(&J)", "手順表示", "", -1, 0, true, true},
    {"actDispVariations", "表示", "変化の表示(&V)", "次の手の変化を碁盤に表示する", "", -1, 1, true, true},
    {"actDispVariationLetters", "表示", "変化の記号(&L)", "変化の石に記号を添える", "", -1, 1, true, true},
    {"actDispRowsFromBottom", "表示", "座標を下から数える(&R)", "座標の行を盤の下から数える", "", -1, 0, true, true},
    {"actDispOpenAtStart", "表示", "開いたら初手の前(&O)", "棋譜を開いたら最初の局面を表示する", "", -1, 0, true, true},
    {"actDispFskJsk", "表示", "布石定石(&F)", "布石定石を表示する", "", -1, 0, true, true},
    {"actDispKifu", "表示", "棋譜ウィンドウ(&K)", "棋譜ウィンドウを表示する", "", -1, -1, true, true},
    {"actDispComment", "表示", "コメントウィンドウ(&C)", "コメントウィンドウを標示する", "", -1, 0, true, true},
    {"actDispTree", "表示", "変化図(&G)", "変化図を表示する", "", -1, 0, true, true},
    {"actDispGraph", "表示", "形勢グラフ(&M)", "棋譜解析の形勢グラフを表示する", "", -1, 0, true, true},
    {"actDispConfig", "表示", "環境設定(&D)", "その他の環境設定をする", "", 12, -1, true, true},
    {"actEditUndo", "編集", "元に戻す(&U)", "直前の編集を取り消す", "Ctrl+Z", -1, -1, false, true},
    {"actEditRedo", "編集", "やり直す(&R)", "取り消した編集をやり直す", "Ctrl+Shift+Z", -1, -1, false, true},
    {"actEditDelete", "編集", "この変化を削除(&D)", "表示中の変化をその先ごと削除する", "", -1, -1, false, true},
    {"actEditPromote", "編集", "本譜にする(&M)", "表示中の変化を本譜にする", "", -1, -1, false, true},
    {"actEditUp", "編集", "変化を上へ(&P)", "変化の順番を一つ上げる", "", -1, -1, false, true},
    {"actEditDown", "編集", "変化を下へ(&N)", "変化の順番を一つ下げる", "", -1, -1, false, true},
    {"actEditCut", "編集", "以降を削除(&X)", "表示中の局面より後をすべて削除する", "", -1, -1, false, true},
    {"actEditCopyLine", "編集", "変化をコピー(&C)", "表示中の変化を SGF としてクリップボードにコピーする",
     "Ctrl+Shift+C", -1, -1, false, true},
    {"actEditPasteLine", "編集", "変化を貼り付け(&V)", "クリップボードの SGF の手を変化として加える", "Ctrl+Shift+V",
     -1, -1, false, true},
    {"actEditKeepLine", "編集", "他の変化を削除(&O)", "表示中の手順のほかの変化をすべて削除する", "", -1, -1, false,
     true},
    {"actEditBM", "編集", "悪手(&B)", "この手を悪手とする", "", -1, 0, false, true},
    {"actEditDO", "編集", "疑問手(&D)", "この手を疑問手とする", "", -1, 0, false, true},
    {"actEditIT", "編集", "面白い手(&I)", "この手を面白い手とする", "", -1, 0, false, true},
    {"actEditTE", "編集", "好手(&T)", "この手を好手とする", "", -1, 0, false, true},
    {"actEditGB", "編集", "黒好調(&G)", "この局面を黒好調とする", "", -1, 0, false, true},
    {"actEditGW", "編集", "白好調(&W)", "この局面を白好調とする", "", -1, 0, false, true},
    {"actEditDM", "編集", "互角(&E)", "この局面を互角とする", "", -1, 0, false, true},
    {"actEditUC", "編集", "形勢不明(&U)", "この局面を形勢不明とする", "", -1, 0, false, true},
    {"actEditHO", "編集", "要所(&H)", "この局面を要所とする", "", -1, 0, false, true},
    {"actHelpContents", "ヘルプ", "目次(&C)", "ヘルプの目次を表示する", "F1", 2, -1, true, true},
    {"actHelpIndex", "ヘルプ", "キーワード(&I)", "", "", -1, -1, true, true},
    {"actHelpAbout", "ヘルプ", "バージョン情報(&A)", "バージョン情報を表示する", "", -1, -1, true, true},
    {"actPnlMainReSize", "その他", "", "", "", -1, -1, true, true},
    {"actCansel", "その他", "キャンセル(&C)", "ポップアップメニューを閉じる", "", -1, -1, true, true},
};

TEST_F(MainWindowTest, EveryActionAsListed) {
    // Paste starts enabled only while the clipboard holds a record.
    QGuiApplication::clipboard()->setText(QStringLiteral("(;GM[1])"));
    auto w = open();
    ASSERT_EQ(w->ui.actListMain.size(), std::size(kActions));
    for (const ActionExpect& e : kActions) {
        SCOPED_TRACE(e.name);
        QAction* a = w->findChild<QAction*>(QString::fromUtf8(e.name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(w->action(QString::fromUtf8(e.name)), a);
        EXPECT_EQ(a->property("category").toString(), QString::fromUtf8(e.category));
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(a->statusTip(), QString::fromUtf8(e.hint));
        if (*e.hint) {
            EXPECT_EQ(a->toolTip(), QString::fromUtf8(e.hint));
        }
        EXPECT_EQ(QKeySequence::listToString(a->shortcuts(), QKeySequence::PortableText),
                  QString::fromUtf8(e.shortcut));
        EXPECT_EQ(a->property("iconIndex").toInt(), e.icon);
        EXPECT_EQ(a->icon().isNull(), e.icon < 0);
        if (e.icon >= 0) {
            EXPECT_EQ(a->icon().pixmap(16, 16).toImage(),
                      w->ui.imgListIcon.at(static_cast<std::size_t>(e.icon)).pixmap(16, 16).toImage());
        }
        EXPECT_EQ(a->isCheckable(), e.check >= 0);
        if (e.check >= 0) {
            EXPECT_EQ(a->isChecked(), e.check == 1);
        }
        EXPECT_EQ(a->isEnabled(), e.enabled);
        EXPECT_EQ(a->isVisible(), e.visible);
    }
}

TEST_F(MainWindowTest, SpeedActionsCarryTheirInterval) {
    auto w = open();
    const std::pair<QAction*, int> speeds[] = {{w->ui.actKifuSpedd05, 500},  {w->ui.actKifuSpedd10, 1000},
                                               {w->ui.actKifuSpedd20, 2000}, {w->ui.actKifuSpedd30, 3000},
                                               {w->ui.actKifuSpedd40, 4000}, {w->ui.actKifuSpedd50, 5000}};
    for (const auto& [a, ms] : speeds) EXPECT_EQ(TfrmMain::tagOf(a), ms) << a->objectName().toStdString();
}

TEST_F(MainWindowTest, MainMenuTree) {
    auto w = open();
    QStringList top;
    for (QAction* a : w->ui.mnuMain->actions()) top << a->text();
    EXPECT_EQ(top, (QStringList{"ファイル(&F)", "対局(&P)", "編集(&E)", "棋譜観賞(&K)", "表示(&D)", "ヘルプ(&H)"}));
    const struct {
        QMenu* menu;
        QStringList items;
    } menus[] = {
        {w->ui.mnuFile,
         {"棋譜の読み込み(&O)...", "棋譜の再読み込み(&R)", "棋譜の上書き保存(&S)", "棋譜の別名保存(&A)...", "-",
          "棋譜をコピー(&C)", "棋譜を貼り付け(&V)", "-", "Tavrinを終了する(&X)"}},
        {w->ui.mnuPlay,
         {"新規対局(&N)",
          "対局情報(&D)",
          "対局の詳細(&I)...",
          "-",
          "パス(&P)",
          "投了(&T)",
          "待った(&M)",
          "-",
          "対局中断(&B)",
          "対局再開(&R)",
          "-",
          "形勢判断(&K)",
          "~ヒント(&H)",
          "検討をする(&Y)",
          "-",
          "~打ち直し(&U)",
          "~石替り(&Q)",
          "終局計算(&J)",
          "-",
          "盤面編集(&E)"}},
        {w->ui.mnuEdit,
         {"元に戻す(&U)", "やり直す(&R)", "-", "この変化を削除(&D)", "本譜にする(&M)", "変化を上へ(&P)",
          "変化を下へ(&N)", "-", "以降を削除(&X)", "他の変化を削除(&O)", "-", "変化をコピー(&C)", "変化を貼り付け(&V)",
          "-", "評価(&A)"}},
        {w->ui.mnuKifuP,
         {"自動再生開始(&A)",
          "-",
          "最初に戻す(&F)",
          "最後に飛ぶ(&L)",
          "-",
          "１手戻す(&B)",
          "１手進む(&W)",
          "-",
          "10手戻す(&C)",
          "10手進む(&Y)",
          "-",
          "次の変化(&N)",
          "前の変化(&P)",
          "分岐点に戻る(&R)",
          "本譜に戻る(&M)",
          "-",
          "手数指定(&G)...",
          "次のコメント(&E)",
          "前のコメント(&O)",
          "検索(&F)...",
          "~棋譜解析(&A)",
          "-",
          "自動再生速度(&S)"}},
        {w->ui.mnuKifuSpeed,
         {"0.5秒 間隔(&0)", "1.0秒 間隔(&1)", "2.0秒 間隔(&2)", "3.0秒 間隔(&3)", "4.0秒 間隔(&4)", "5.0秒 間隔(&5)"}},
        {w->ui.mnuDisp,
         {"座標表示(&Z)", "座標を下から数える(&R)", "碁盤反転(&H)", "手順表示(&J)", "変化の表示(&V)", "変化の記号(&L)",
          "開いたら初手の前(&O)", "布石定石(&F)", "-", "ツールバー(&T)", "情報表示パネル(&P)", "棋譜観賞ボタン(&B)",
          "ステータスバー(&S)", "棋譜ウィンドウ(&K)", "コメントウィンドウ(&C)", "変化図(&G)", "形勢グラフ(&M)", "-",
          "環境設定(&D)"}},
        {w->ui.mnuDispToolBar,
         {"ツールバー表示(&N)", "-", "上に移動(&T)", "左に移動(&L)", "右に移動(&R)", "下に移動(&B)"}},
        {w->ui.mnuHelp, {"目次(&C)", "キーワード(&I)", "バージョン情報(&A)"}},
        {w->ui.pumToolBar, {"非表示にする(&N)", "上に移動(&T)", "左に移動(&L)", "右に移動(&R)", "下に移動(&B)"}},
        {w->ui.pumStatusBar, {"非表示にする(&N)"}},
        {w->ui.pumPanelSub, {"対局情報(&D)", "情報表示パネル非表示(&N)", "棋譜観賞ボタン(&B)"}},
        {w->ui.pumGoban, {"パス(&P)", "投了(&T)", "待った(&M)", "-", "キャンセル(&C)"}},
        {w->ui.pumPanelKifBtn, {"非表示にする(&N)", "-", "自動再生速度(&S)"}},
        {w->ui.pumPanelKifBtnSpeed,
         {"0.5秒 間隔(&0)", "1.0秒 間隔(&1)", "2.0秒 間隔(&2)", "3.0秒 間隔(&3)", "4.0秒 間隔(&4)", "5.0秒 間隔(&5)"}},
    };
    for (const auto& m : menus) {
        ASSERT_NE(m.menu, nullptr);
        EXPECT_EQ(itemsOf(m.menu), m.items) << m.menu->objectName().toStdString();
    }
    for (const char* name : {"mnuKifuP", "pumToolBar", "pumStatusBar", "pumPanelSub", "pumGoban", "pumPanelKifBtn"})
        EXPECT_NE(w->findChild<QMenu*>(QString::fromUtf8(name)), nullptr) << name;
    EXPECT_EQ(w->findChild<QAction*>("mnuKifuAuto"), w->ui.mnuKifuAuto);
}

TEST_F(MainWindowTest, ItemsWithTheirOwnHints) {
    auto w = open();
    const struct {
        const char* item;
        const char* hint;
        QAction* source;
    } items[] = {
        {"mnuFileSaveAs", "棋譜に別名をつけて保存する", w->ui.actFileSaveAs},
        {"mnuKifuAuto", "自動再生開始", w->ui.actKifuAuto},
        {"mnuKifuFirst", "最初に戻す", w->ui.actKifuFirst},
        {"mnuDispToolBarShow", "ツールバーを表示する", w->ui.actDispToolBar},
        {"mnuDispDataPanel", "情報表示パネルを表示する", w->ui.actDispDataPanel},
        {"mnuHelpIndex", "キーワード", w->ui.actHelpIndex},
        {"pumToolBarHide", "非表示にする", w->ui.actDispToolBar},
        {"pumStatusBarHide", "非表示にする", w->ui.actDispStatusBar},
        {"pumPanelSubHide", "パネルを非表示にする", w->ui.actDispDataPanel},
        {"pumPanelKifBtnHide", "非表示にする", w->ui.actDispPanelKifuBtn},
    };
    for (const auto& i : items) {
        auto* item = w->findChild<QAction*>(QString::fromUtf8(i.item));
        ASSERT_NE(item, nullptr) << i.item;
        EXPECT_EQ(item->statusTip(), QString::fromUtf8(i.hint)) << i.item;
        EXPECT_EQ(item->property("sourceAction").toString(), i.source->objectName()) << i.item;
        EXPECT_EQ(item->isEnabled(), i.source->isEnabled()) << i.item;
        EXPECT_EQ(item->shortcut(), i.source->shortcut()) << i.item;
    }
    EXPECT_EQ(w->ui.mnuDispToolBar->menuAction()->statusTip(), QStringLiteral("ツールバー"));
}

// Disabled items and buttons still speak: a disabled menu item under the mouse shows its
// hint in panel 0, and the right button over a disabled replay button opens the replay
// panel's popup as it does over an enabled one.
TEST_F(MainWindowTest, DisabledItemsShowTheirHintAndDisabledButtonsThePopup) {
    auto w = open();
    w->show();
    ASSERT_FALSE(w->ui.actFileSave->isEnabled());
    w->ui.mnuFile->popup(w->mapToGlobal(QPoint(10, 10)));
    QApplication::processEvents();
    const QRect at = w->ui.mnuFile->actionGeometry(w->ui.actFileSave);
    ASSERT_TRUE(at.isValid());
    QTest::mouseMove(w->ui.mnuFile, at.center());
    QApplication::processEvents();
    EXPECT_EQ(w->statusText(0), w->ui.actFileSave->statusTip());
    w->ui.mnuFile->hide();

    // The press reaches the disabled button's watchers only; an enabled one passes the
    // context-menu event on to its panel as usual.
    for (QToolButton* b : {w->ui.btnKifuFirst, w->ui.btnKifuNext}) {
        SCOPED_TRACE(b->objectName().toStdString());
        b->setEnabled(false);
        QTest::mousePress(b, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QApplication::processEvents();
        EXPECT_TRUE(w->ui.pumPanelKifBtn->isVisible());
        w->ui.pumPanelKifBtn->hide();
        QTest::mouseRelease(b, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    }
}

TEST_F(MainWindowTest, ItemsFollowTheirActionAndForwardToIt) {
    auto w = open();
    auto* hideToolBar = w->findChild<QAction*>("pumToolBarHide");
    auto* kifuFirst = w->findChild<QAction*>("mnuKifuFirst");
    ASSERT_TRUE(hideToolBar && kifuFirst);
    // Checked while the toolbar is visible; choosing it hides the toolbar.
    EXPECT_TRUE(hideToolBar->isChecked());
    hideToolBar->trigger();
    EXPECT_TRUE(w->ui.tlbMain->isHidden());
    EXPECT_FALSE(w->ui.actDispToolBar->isChecked());
    EXPECT_FALSE(hideToolBar->isChecked());
    w->ui.actDispToolBar->trigger();
    EXPECT_FALSE(w->ui.tlbMain->isHidden());
    EXPECT_TRUE(hideToolBar->isChecked());

    EXPECT_FALSE(kifuFirst->isEnabled());
    w->ui.actKifuFirst->setEnabled(true);
    EXPECT_TRUE(kifuFirst->isEnabled());
    QSignalSpy fired(w->ui.actKifuFirst, &QAction::triggered);
    kifuFirst->trigger();
    EXPECT_EQ(fired.count(), 1);
    // The replay commands change the auto item's icon and hint through the action.
    w->ui.actKifuAuto->setStatusTip(QStringLiteral("自動再生停止"));
    w->ui.actKifuAuto->setIcon(w->ui.imgListIcon.at(10));
    EXPECT_EQ(w->ui.mnuKifuAuto->statusTip(), QStringLiteral("自動再生停止"));
    EXPECT_EQ(w->ui.mnuKifuAuto->icon().pixmap(16, 16).toImage(), w->ui.imgListIcon.at(10).pixmap(16, 16).toImage());
    EXPECT_EQ(w->ui.mnuKifuAuto->text(), QStringLiteral("自動再生開始(&A)"));
}

TEST_F(MainWindowTest, RadioGroupsAreIndependentAndCanBeLeftEmpty) {
    auto w = open();
    const struct {
        const char* what;
        QActionGroup* group;
        QAction* checked;  // checked at start
        QAction* other;
        QActionGroup* otherGroup;
    } groups[] = {
        {"position", w->ui.grpToolBarPosition, w->ui.actDispToolBarTop, w->ui.actDispToolBarLeft, w->ui.grpKifuSpeed},
        {"speed", w->ui.grpKifuSpeed, w->ui.actKifuSpedd10, w->ui.actKifuSpedd30, w->ui.grpToolBarPosition},
    };
    for (const auto& g : groups) {
        SCOPED_TRACE(g.what);
        QAction* otherMark = g.otherGroup->checkedAction();
        ASSERT_NE(otherMark, nullptr);
        ASSERT_EQ(g.group->checkedAction(), g.checked);
        g.other->trigger();
        EXPECT_TRUE(g.other->isChecked());
        EXPECT_FALSE(g.checked->isChecked());
        EXPECT_EQ(g.otherGroup->checkedAction(), otherMark);
        // Executing the checked action clears it: the group has no mark.
        g.other->trigger();
        EXPECT_EQ(g.group->checkedAction(), nullptr);
        EXPECT_EQ(g.otherGroup->checkedAction(), otherMark);
        g.checked->trigger();
        EXPECT_EQ(g.group->checkedAction(), g.checked);
    }
}

TEST_F(MainWindowTest, ShortcutsOfActionsWithoutHandlerDoNothing) {
    auto w = open();
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    // A shortcut with a handler reaches its action through the same path.
    QSignalSpy pass(w->ui.actPlayPass, &QAction::triggered);
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(pass.count(), 1);
    const std::pair<QAction*, Qt::Key> dead[] = {
        {w->ui.actPlayStnChg, Qt::Key_Q},
        {w->ui.actPlayHint, Qt::Key_H},
        {w->ui.actPlayUtinaosi, Qt::Key_U},
    };
    for (const auto& [a, key] : dead) {
        QSignalSpy fired(a, &QAction::triggered);
        QTest::keyClick(w.get(), key, Qt::ControlModifier);
        EXPECT_EQ(fired.count(), 0) << a->objectName().toStdString();
        EXPECT_FALSE(a->isEnabled());
    }
}

TEST_F(MainWindowTest, ToolBarButtonsInOrder) {
    auto w = open();
    QStringList names;
    for (QAction* a : w->ui.tlbMain->actions()) {
        QWidget* b = w->ui.tlbMain->widgetForAction(a);
        names << (a->isSeparator() ? QStringLiteral("-") : b ? b->objectName() : QStringLiteral("?"));
        if (auto* button = qobject_cast<QToolButton*>(b)) {
            EXPECT_EQ(button->toolTip(), a->toolTip());
        }
    }
    EXPECT_EQ(names,
              (QStringList{"tlbPlayNew", "-", "tlbFileOpen1", "tlbFileSave", "tlbClipBoard", "tlbClipPast", "-",
                           "tlbPlayPass", "tlbPlayGiveUp", "tlbPlayMatta", "-", "tlbPlayStop", "tlbPlayResume"}));
}

TEST_F(MainWindowTest, ImageListsHoldDistinctPicturesOfTheirSize) {
    auto w = open();
    ASSERT_EQ(w->ui.imgListIcon.size(), 25u);
    std::set<QByteArray> seen;
    for (const QIcon& icon : w->ui.imgListIcon) {
        const QImage img = icon.pixmap(16, 16).toImage();
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(16, 16));
        seen.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), 25u);
    ASSERT_EQ(w->ui.imgListMk1.size(), 3u);
    for (const QPixmap& p : w->ui.imgListMk1) EXPECT_EQ(p.size(), QSize(12, 15));
    for (QToolButton* b : {w->ui.btnKifuFirst, w->ui.btnKifuBack10, w->ui.btnKifuBack, w->ui.btnKifuAuto,
                           w->ui.btnKifuNext, w->ui.btnKifuNext10, w->ui.btnKifuLast})
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    // The auto button's held-down glyph differs from its up glyph.
    const QIcon& autoIcon = w->ui.btnKifuAuto->icon();
    EXPECT_NE(autoIcon.pixmap(16, 16, QIcon::Normal, QIcon::On).toImage(),
              autoIcon.pixmap(16, 16, QIcon::Normal, QIcon::Off).toImage());
}

// The help: the key list names the shortcut of every working command (the speeds as one
// range), and every link between the pages leads to a page and a place that exist.
TEST(HelpPages, KeyListAndLinksHoldTogether) {
    const QDir help(QStringLiteral(TAVRIN_HELP_DIR));
    auto page = [&](const QString& name) {
        QFile f(help.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    const QString keys = page(QStringLiteral("keys.html"));
    ASSERT_FALSE(keys.isEmpty());
    for (const ActionRow& r : actionTable()) {
        if (!r.handler || !*r.shortcut) continue;
        for (QString key : QString::fromLatin1(r.shortcut).split(QStringLiteral("; "))) {
            if (!key.startsWith(QStringLiteral("Pg")))
                key.replace(QStringLiteral("Up"), QStringLiteral("↑"))
                    .replace(QStringLiteral("Down"), QStringLiteral("↓"));
            key.replace(QStringLiteral("Left"), QStringLiteral("←"))
                .replace(QStringLiteral("Right"), QStringLiteral("→"));
            if (QRegularExpression(QStringLiteral("^Ctrl\\+[1-4]$")).match(key).hasMatch())
                key = QStringLiteral("Ctrl+0</kbd>～<kbd>Ctrl+5");
            EXPECT_TRUE(keys.contains(QStringLiteral("<kbd>") + key + QStringLiteral("</kbd>")))
                << r.name << " " << key.toStdString();
        }
    }
    const QRegularExpression link(QStringLiteral("href=\"([a-z]+\\.html)?(?:#([a-z0-9]+))?\""));
    int links = 0;
    for (const QString& name : help.entryList({QStringLiteral("*.html")})) {
        for (const QRegularExpressionMatch& m : link.globalMatch(page(name))) {
            ++links;
            const QString target = m.captured(1).isEmpty() ? name : m.captured(1);
            const QString text = page(target);
            EXPECT_FALSE(text.isEmpty()) << name.toStdString() << " -> " << target.toStdString();
            if (!m.captured(2).isEmpty()) {
                EXPECT_TRUE(text.contains(QStringLiteral("id=\"%1\"").arg(m.captured(2))))
                    << name.toStdString() << " -> " << target.toStdString() << "#" << m.captured(2).toStdString();
            }
        }
    }
    EXPECT_GT(links, 100);
}

}  // namespace
}  // namespace tavrin::test
