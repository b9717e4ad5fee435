// Start-up from the settings file, the close question and the settings written at close.

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "base/SettingsFile.h"
#include "tests/app/AppTestKit.h"
#include "view/BoardView.h"

namespace tavrin::test {
namespace {

const char* const kDefaultIni =
    "[PlayInfo]\r\nLevel=2\r\nBrdSize=19\r\nPutStone=0\r\nKomi=65\r\n\r\n"
    "[Display]\r\nWidth=684\r\nHeight=567\r\nState=0\r\nGbnHanten=0\r\nToolBar=1\r\n"
    "ToolBarTop=1\r\nToolBarBottom=0\r\nToolBarLeft=0\r\nToolBarRight=0\r\nDataPanel=1\r\n"
    "PanelKifuBtn=1\r\nStatusBar=1\r\nZahyou=1\r\nTejun=0\r\nComment=0\r\nCommentArea=8\r\nCommentSize="
    "110\r\nVariations=1\r\nOpenAtStart=0\r\nVariationLetters=1\r\nRowsFromBottom=0\r\nTree=0\r\nTreeArea="
    "8\r\nTreeSize=130\r\nGraph=0\r\nGraphSize=120\r\nFskJsk="
    "0\r\n\r\n"
    "[KifuAuto]\r\nSpeed=1000\r\n\r\n"
    "[Directory]\r\nLastReadDir=\r\nLastWriteDir=\r\n\r\n"
    "[Engine]\r\nCommandLine=gnugo --mode gtp\r\nLevel0=--level 1\r\nLevel1=--level 5\r\n"
    "Level2=--level 8\r\nMoveSeconds=60\r\n\r\n"
    "[Review]\r\nLevel=0\r\nThreshold=5.0\r\n\r\n"
    "[Library]\r\nCount=0\r\n";

TEST_F(MainWindowTest, FirstRunWithoutSettingsFile) {
    auto w = open();
    EXPECT_EQ(w->prefs.SettingsPath, iniPath());
    EXPECT_EQ(w->Game.BoardSize, 19);
    EXPECT_EQ(w->Game.HandicapCount, 0);
    EXPECT_EQ(w->Game.KomiTenths, 65);
    EXPECT_EQ(w->Game.Level, 2);
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 1000);
    EXPECT_FALSE(w->ui.tmrKifuAuto->isActive());
    EXPECT_FALSE(w->ui.tmrTime->isActive());
    EXPECT_EQ(w->ui.tmrTime->interval(), 1000);
    EXPECT_TRUE(w->ui.actKifuSpedd10->isChecked());
    EXPECT_TRUE(w->ui.actDispToolBarTop->isChecked());
    EXPECT_TRUE(w->ui.actDispZahyou->isChecked());
    EXPECT_FALSE(w->ui.actDispGbnHanten->isChecked());
    EXPECT_EQ(w->toolBarArea(w->ui.tlbMain), Qt::TopToolBarArea);
    for (QWidget* shown : {static_cast<QWidget*>(w->ui.tlbMain), static_cast<QWidget*>(w->ui.stbMain),
                           static_cast<QWidget*>(w->ui.pnlKifuBtn), w->ui.pnlSubBase})
        EXPECT_FALSE(shown->isHidden()) << shown->objectName().toStdString();
    EXPECT_EQ(w->size(), QSize(684, 567));
    EXPECT_EQ(w->prefs.SavedState, 0);
    EXPECT_EQ(inside(*w).SetupState, 9);
    EXPECT_EQ(w->Game.AppTag, "Tavrin:0.5.1.20");
    EXPECT_FALSE(w->Doc.ReadOnly);
    EXPECT_TRUE(w->acceptDrops());
    EXPECT_TRUE(w->prefs.HelpFile.endsWith("/Tavrin.chm"));
    const QString title = QString::fromStdString(w->Game.GameName);
    EXPECT_TRUE(QRegularExpression(R"(^Tavrin \d{4}/\d\d/\d\d \d\d:\d\d$)").match(title).hasMatch())
        << title.toStdString();
    EXPECT_EQ(w->ui.lblGameName->text(), title);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(MainWindowTest, ClosingWritesEveryKeyInOrder) {
    auto w = open();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->prefs.SettingsWrittenTo, iniPath());
    EXPECT_EQ(readFile(iniPath()), QString::fromUtf8(kDefaultIni));
}

TEST_F(MainWindowTest, SettingsAreRestoredAndWrittenBack) {
    const QByteArray ini =
        "[PlayInfo]\r\nLevel=0\r\nBrdSize=9\r\nPutStone=3\r\nKomi=55\r\n\r\n"
        "[Display]\r\nWidth=700\r\nHeight=600\r\nState=0\r\nGbnHanten=1\r\nToolBar=0\r\n"
        "ToolBarTop=0\r\nToolBarBottom=0\r\nToolBarLeft=1\r\nToolBarRight=0\r\nDataPanel=1\r\n"
        "PanelKifuBtn=0\r\nStatusBar=0\r\nZahyou=0\r\nTejun=1\r\nComment=1\r\nCommentArea=2\r\nCommentSize="
        "110\r\nVariations=0\r\nOpenAtStart=1\r\nVariationLetters=0\r\nRowsFromBottom=1\r\nTree=1\r\nTreeArea="
        "4\r\nTreeSize=150\r\nGraph=0\r\nGraphSize=90\r\nFskJsk=0\r\n\r\n"
        "[KifuAuto]\r\nSpeed=3000\r\n\r\n"
        "[Directory]\r\nLastReadDir=/home/u/棋譜 集/\r\nLastWriteDir=/tmp/out/\r\n\r\n"
        "[Engine]\r\nCommandLine=/opt/go/bin/engine gtp\r\nLevel0=-l 1\r\nLevel1=-l 2\r\nLevel2=\r\n"
        "MoveSeconds=30\r\n\r\n"
        "[Review]\r\nLevel=1\r\nThreshold=3.5\r\n\r\n"
        "[Library]\r\nCount=1\r\nFolder0=/nonexistent/棋譜\r\n\r\n"
        "[KifuWindow]\r\nWidth=700\r\nHeight=900\r\nMoves=50\r\nRestart=1\r\nCoordinates=1\r\n"
        "Follow=0\r\nPerPage=2\r\nPngWidth=800\r\n";
    writeFile(iniPath(), ini);
    auto w = open();
    EXPECT_EQ(w->Game.BoardSize, 9);
    EXPECT_EQ(w->Game.HandicapCount, 3);
    EXPECT_EQ(w->Game.KomiTenths, 55);
    EXPECT_EQ(w->Game.Level, 0);
    EXPECT_EQ(w->Game.SideToMove, 2);
    EXPECT_EQ(w->ui.lblPutStone->text(), QStringLiteral("置き石 ： ３子"));
    EXPECT_EQ(w->ui.lblKomi->text(), QStringLiteral("コミ ： ５目半"));
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 3000);
    EXPECT_TRUE(w->ui.actKifuSpedd30->isChecked());
    EXPECT_EQ(w->toolBarArea(w->ui.tlbMain), Qt::LeftToolBarArea);
    EXPECT_TRUE(w->ui.actDispToolBarLeft->isChecked());
    EXPECT_FALSE(w->ui.actDispToolBarTop->isChecked());
    EXPECT_TRUE(w->ui.tlbMain->isHidden());
    EXPECT_TRUE(w->ui.stbMain->isHidden());
    EXPECT_TRUE(w->ui.pnlKifuBtn->isHidden());
    EXPECT_FALSE(w->ui.pnlSubBase->isHidden());
    EXPECT_TRUE(w->ui.actDispGbnHanten->isChecked());
    EXPECT_FALSE(w->ui.actDispZahyou->isChecked());
    EXPECT_TRUE(w->ui.actDispTejun->isChecked());
    EXPECT_TRUE(w->ui.pnlMain->tejun());
    EXPECT_TRUE(w->ui.actDispComment->isChecked());
    EXPECT_EQ(w->dockWidgetArea(w->ui.dckComment), Qt::RightDockWidgetArea);
    EXPECT_EQ(w->size(), QSize(700, 600));
    EXPECT_EQ(w->prefs.LastReadDir, QStringLiteral("/home/u/棋譜 集/"));
    EXPECT_EQ(w->prefs.LastWriteDir, QStringLiteral("/tmp/out/"));
    EXPECT_EQ(w->prefs.Engine.commandLine, QStringLiteral("/opt/go/bin/engine gtp"));
    EXPECT_EQ(w->prefs.Engine.levelArguments[2], QString());
    EXPECT_EQ(w->prefs.Engine.moveSeconds, 30);
    // Rows counted from the bottom: the top left point of the 9 x 9 board is A 9.
    EXPECT_EQ(QString::fromStdString(w->Game.CoordName[1 * 11 + 1]), QStringLiteral("A  9"));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(readFile(iniPath()), QString::fromUtf8(ini));
    CoordNameTable::fromBottom() = false;
}

TEST_F(MainWindowTest, ToolBarPositionKeys) {
    const struct {
        const char* keys;  // Top Bottom Left Right
        Qt::ToolBarArea area;
        const char* marked;  // "" = none
    } cases[] = {
        {"1000", Qt::TopToolBarArea, "actDispToolBarTop"},     {"0100", Qt::BottomToolBarArea, "actDispToolBarBottom"},
        {"0001", Qt::RightToolBarArea, "actDispToolBarRight"}, {"0110", Qt::LeftToolBarArea, "actDispToolBarLeft"},
        {"1101", Qt::RightToolBarArea, "actDispToolBarRight"}, {"0000", Qt::TopToolBarArea, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        writeFile(iniPath(), QByteArray("[Display]\nToolBarTop=") + c.keys[0] + "\nToolBarBottom=" + c.keys[1] +
                                 "\nToolBarLeft=" + c.keys[2] + "\nToolBarRight=" + c.keys[3] + "\n");
        auto w = open();
        EXPECT_EQ(w->toolBarArea(w->ui.tlbMain), c.area);
        QAction* marked = w->ui.grpToolBarPosition->checkedAction();
        EXPECT_EQ(marked ? marked->objectName() : QString(), QString::fromUtf8(c.marked));
    }
}

TEST_F(MainWindowTest, OddSpeedKeepsItsIntervalAndMarksOneSecond) {
    writeFile(iniPath(), "[KifuAuto]\nSpeed=1500\n");
    auto w = open();
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 1500);
    EXPECT_TRUE(w->ui.actKifuSpedd10->isChecked());
    EXPECT_TRUE(w->close());
    SettingsFile back;
    ASSERT_TRUE(back.load(QFile::encodeName(iniPath()).toStdString()));
    EXPECT_EQ(back.ReadInteger("KifuAuto", "Speed", 0), 1500);
}

TEST_F(MainWindowTest, MaximizedWindowKeepsItsLastNormalSize) {
    writeFile(iniPath(), "[Display]\nWidth=700\nHeight=600\nState=2\n");
    auto w = open();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->show();
    QApplication::processEvents();
    inside(*w).tmrDelayTimer();
    EXPECT_EQ(w->prefs.SavedState, 2);
    EXPECT_TRUE(w->close());
    SettingsFile back;
    ASSERT_TRUE(back.load(QFile::encodeName(iniPath()).toStdString()));
    EXPECT_EQ(back.ReadInteger("Display", "State", -1), 2);
    EXPECT_EQ(back.ReadInteger("Display", "Width", 0), 700);
    EXPECT_EQ(back.ReadInteger("Display", "Height", 0), 600);
}

// A size below the window's minimum is written back as the size the window really had,
// maximized or not, and the window is centred at that size.
TEST_F(MainWindowTest, SizeBelowTheMinimumIsWrittenAsTheWindowsOwn) {
    QSize written[2];
    for (const int state : {0, 2}) {
        SCOPED_TRACE(state);
        writeFile(iniPath(), "[Display]\nWidth=120\nHeight=90\nState=" + QByteArray::number(state) + "\n");
        auto w = open();
        const QSize own = w->size();
        EXPECT_GT(own.width(), 120);
        EXPECT_GT(own.height(), 90);
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && state == 0) {
            EXPECT_EQ(w->geometry().center(), screen->availableGeometry().center());
        }
        w->show();
        QApplication::processEvents();
        inside(*w).tmrDelayTimer();
        EXPECT_TRUE(w->close());
        SettingsFile back;
        ASSERT_TRUE(back.load(QFile::encodeName(iniPath()).toStdString()));
        written[state / 2] = QSize(back.ReadInteger("Display", "Width", 0), back.ReadInteger("Display", "Height", 0));
        EXPECT_EQ(written[state / 2], own);
    }
    EXPECT_EQ(written[0], written[1]);
}

TEST_F(MainWindowTest, LastReadDirRoundTrip) {
    {
        auto w = open();
        w->prefs.LastReadDir = QStringLiteral("/srv/棋譜/2024年/");
        EXPECT_TRUE(w->close());
    }
    auto again = open();
    EXPECT_EQ(again->prefs.LastReadDir, QStringLiteral("/srv/棋譜/2024年/"));
}

TEST_F(MainWindowTest, GarbageSettingsGiveDefaults) {
    const QByteArray files[] = {
        "[PlayInfo]\nBrdSize=nineteen\nKomi=6.5\n[KifuAuto]\nSpeed=fast\n[Display]\nWidth=wide\n"
        "Height=\nToolBar=maybe\nState=x\n",
        QByteArray("\x00\xff\xfe[[[=\n=\n[Display\nWidth", 24),
        QByteArray(static_cast<int>(SettingsFile::MaxBytes) + 10, '['),
        "",
    };
    for (const QByteArray& bytes : files) {
        writeFile(iniPath(), bytes);
        auto w = open();
        EXPECT_EQ(w->Game.BoardSize, 19);
        EXPECT_EQ(w->Game.KomiTenths, 65);
        EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 1000);
        EXPECT_EQ(w->size(), QSize(684, 567));
        EXPECT_FALSE(w->ui.tlbMain->isHidden());
        EXPECT_EQ(w->prefs.SavedState, 0);
    }
}

TEST_F(MainWindowTest, ImpossibleSettingsAreCorrectedForTheGame) {
    writeFile(iniPath(), "[PlayInfo]\nBrdSize=26\nPutStone=1\n[KifuAuto]\nSpeed=0\n");
    auto w = open();
    EXPECT_EQ(w->Game.BoardSize, 19);
    EXPECT_EQ(w->Game.HandicapCount, 0);
    // An impossible handicap shows nothing after the colon.
    EXPECT_EQ(w->ui.lblPutStone->text(), QStringLiteral("置き石 ： "));
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 1000);
}

// The user's config folder stands in only while the folder beside the program cannot be
// written: once it can again, its own file is read and written, whatever the other holds.
TEST_F(MainWindowTest, SettingsGoBackBesideTheProgramOnceItsFolderIsWritable) {
    const QString beside = dir.path() + "/bin";
    writeFile(beside, "not a folder yet");
    {
        auto w = open(beside + "/Tavrin.Ini");
        w->ui.tmrKifuAuto->setInterval(4000);
        EXPECT_TRUE(w->close());
        EXPECT_EQ(w->prefs.SettingsWrittenTo, xdgIniPath());
    }
    ASSERT_TRUE(QFile::remove(beside));
    ASSERT_TRUE(QDir().mkpath(beside));
    writeFile(beside + "/Tavrin.Ini", "[KifuAuto]\nSpeed=2000\n");
    auto w = open(beside + "/Tavrin.Ini");
    EXPECT_EQ(w->prefs.SettingsPath, beside + "/Tavrin.Ini");
    EXPECT_EQ(w->ui.tmrKifuAuto->interval(), 2000);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->prefs.SettingsWrittenTo, beside + "/Tavrin.Ini");
}

TEST_F(MainWindowTest, UnwritableFolderMovesTheFileToTheUserConfigFolder) {
    writeFile(dir.path() + "/plain", "not a folder");
    auto w = open(dir.path() + "/plain/Tavrin.Ini");
    EXPECT_EQ(w->prefs.SettingsPath, xdgIniPath());
    w->ui.tmrKifuAuto->setInterval(5000);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->prefs.SettingsWrittenTo, xdgIniPath());
    auto again = open(dir.path() + "/plain/Tavrin.Ini");
    EXPECT_EQ(again->ui.tmrKifuAuto->interval(), 5000);
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAnywhereDoNotStopClosing) {
    writeFile(dir.path() + "/plain", "not a folder");
    setXdg(dir.path() + "/plain/xdg");
    auto w = open(dir.path() + "/plain/Tavrin.Ini");
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->prefs.SettingsWrittenTo.isEmpty());
}

TEST_F(MainWindowTest, CloseQuestion) {
    const struct {
        const char* file;
        const char* name;
        Answer answer;
        bool closes;
    } cases[] = {
        {"", "無題.sgf", Answer::Cancel, false},
        {"/home/u/kifu/名局.sgf", "名局.sgf", Answer::No, true},
        // Yes runs the save command; the record is still modified, so the window stays.
        {"/home/u/kifu/game.ngf", "game.ngf", Answer::Yes, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        ScriptedPrompts fresh;
        MainOptions o;
        o.settingsPath = iniPath();
        TfrmMain w(fresh, o);
        w.show();
        w.Doc.FileName = c.file;
        w.Doc.Modified = true;
        fresh.answers.push_back(c.answer);
        // Saving an NGF record asks for a new name; the dialog is cancelled.
        if (c.answer == Answer::Yes) fresh.saveChoices.push_back(std::nullopt);
        EXPECT_EQ(w.close(), c.closes);
        ASSERT_EQ(fresh.texts("confirm").size(), 1u);
        EXPECT_EQ(fresh.texts("confirm")[0],
                  QStringLiteral("棋譜「%1」は変更されています。\n保存しますか？").arg(QString::fromUtf8(c.name)));
        EXPECT_EQ(w.isVisible(), !c.closes);
        EXPECT_EQ(QFile::exists(iniPath()), c.closes);
        EXPECT_TRUE(w.Doc.Modified);
        w.Doc.Modified = false;
    }
}

TEST_F(MainWindowTest, UnmodifiedRecordClosesWithoutAsking) {
    auto w = open();
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(MainWindowTest, CommandLineFileOfUnknownKindStartsANewGame) {
    auto w = open({}, {dir.path() + "/notes.txt"});
    EXPECT_EQ(inside(*w).SetupState, 9);
    EXPECT_EQ(w->kifuRowCount(), 1);
    EXPECT_FALSE(w->ui.lsvKifu->isHidden());
    EXPECT_TRUE(w->prefs.LastReadDir.isEmpty());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(AppSetup, StandardButtonsSpeakJapanese) {
    ASSERT_TRUE(installJapanese(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(QLocale().toString(QDate(2024, 3, 7), QLocale::ShortFormat), QStringLiteral("2024/03/07"));
}

}  // namespace
}  // namespace tavrin::test
