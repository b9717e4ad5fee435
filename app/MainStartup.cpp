// Start-up, the settings file, the close question and shutdown.

#include <unistd.h>

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "base/SettingsFile.h"
#include "base/Version.h"
#include "formats/RecordFile.h"
#include "view/BoardView.h"
#include "view/KifuWindow.h"

namespace tavrin {

namespace {

std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool folderWritable(const QString& folder) {
    return QFileInfo(folder).isDir() && ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

}  // namespace

QString TfrmMain::exeSettingsPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/Tavrin.Ini"); }

QString TfrmMain::userSettingsPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Tavrin/Tavrin.Ini");
}

QString TfrmMain::chooseSettingsPath(const QString& preferred) {
    const QString user = userSettingsPath();
    // The user's file is only a stand-in: once the preferred place can be written again it
    // is used again, whatever the user's folder holds. An installed program (…/bin beside …/share/tavrin) keeps its
    // settings per user, even where the bin folder happens to be writable.
    if (preferred == exeSettingsPath() &&
        QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tavrin")).isDir())
        return user;
    const QFileInfo file(preferred);
    const bool fileWritable = !file.exists() || ::access(QFile::encodeName(preferred).constData(), W_OK) == 0;
    if (folderWritable(file.absolutePath()) && fileWritable) return preferred;
    return user;
}

void TfrmMain::FormCreate() {
    // 1. Short dates read "yyyy/MM/dd": the application runs in the Japanese locale.
    // 2. The text buffer lives with the window; the board view made its bitmaps when it
    //    was built.
    SharedText.clear();
    // 3.
    Doc.FileName.clear();
    GameState first = Game;
    first.GameName.clear();
    first.GameComment.clear();
    first.BlackPlayer = "黒番対局者";
    first.WhitePlayer = "白番対局者";
    first.BlackPlayerKind = true;
    first.WhitePlayerKind = true;
    // 4.
    prefs.SettingsPath = chooseSettingsPath(Options.settingsPath.isEmpty() ? exeSettingsPath() : Options.settingsPath);
    SettingsFile ini;
    ini.load(pathBytes(prefs.SettingsPath));
    readSettings(ini, first);
    // The panels take their sizes before the board is first drawn, so it is drawn once, at
    // the size it is shown at (a hidden window's layouts do not follow its size by themselves).
    if (!isVisible()) {
        for (QWidget* w : {static_cast<QWidget*>(this), centralWidget()}) {
            if (!w || !w->layout()) continue;
            w->layout()->invalidate();
            w->layout()->activate();
        }
    }
    // 5.
    prefs.HelpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/Tavrin.chm");
    // 6.
    Doc.ReadOnly = false;
    SetupState = 0;
    // 7.
    if (!Options.arguments.isEmpty()) {
        const QString path = Options.arguments.first();
        ui.lsvKifu->hide();
        bool read = false;
        // Any other extension is ignored without a message.
        switch (recordKind(path.toStdString())) {
            case RecordKind::Sgf: read = fncFileReadSGF(path); break;
            case RecordKind::Ngf: read = fncFileReadNGF(path); break;
            case RecordKind::None: break;
        }
        if (read) prefs.LastReadDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
        ui.lsvKifu->show();
    }
    // 8.
    first.AppTag = "Tavrin:" + GetVersionInfo("FileVersion");
    Record.setAppTag(first.AppTag);
    // 9.
    if (SetupState == 0) {
        SetupState = 1;
        prcNewSet(first);
    }
    // 10.
    setAcceptDrops(true);
}

void TfrmMain::readSettings(const SettingsFile& ini, GameState& first) {
    first.Level = ini.ReadInteger("PlayInfo", "Level", 2);
    first.BoardSize = ini.ReadInteger("PlayInfo", "BrdSize", 19);
    first.HandicapCount = ini.ReadInteger("PlayInfo", "PutStone", 0);
    first.KomiTenths = ini.ReadInteger("PlayInfo", "Komi", 65);
    // A record named on the command line is played on at this level too.
    Record.setLevel(first.Level);

    // An interval below 1 ms cannot run a timer; such a value falls back to the default.
    const int speed = ini.ReadInteger("KifuAuto", "Speed", 1000);
    ui.tmrKifuAuto->setInterval(speed >= 1 ? speed : 1000);
    QAction* mark = ui.actKifuSpedd10;
    for (QAction* a : {ui.actKifuSpedd05, ui.actKifuSpedd20, ui.actKifuSpedd30, ui.actKifuSpedd40, ui.actKifuSpedd50})
        if (tagOf(a) == speed) mark = a;
    mark->setChecked(true);

    ui.actDispGbnHanten->setChecked(ini.ReadBool("Display", "GbnHanten", false));
    ui.actDispZahyou->setChecked(ini.ReadBool("Display", "Zahyou", true));
    ui.actDispTejun->setChecked(ini.ReadBool("Display", "Tejun", false));
    ui.pnlMain->setTejun(ui.actDispTejun->isChecked());
    // The comment window: shown or not, and the side of the window it is docked to.
    const int area = ini.ReadInteger("Display", "CommentArea", Qt::BottomDockWidgetArea);
    if (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea || area == Qt::TopDockWidgetArea)
        prefs.CommentArea = area;
    prefs.CommentSize = std::clamp(ini.ReadInteger("Display", "CommentSize", prefs.CommentSize), 40, 2000);
    if (ini.ReadBool("Display", "Comment", false)) ui.actDispComment->trigger();
    ui.actDispVariations->setChecked(ini.ReadBool("Display", "Variations", true));
    ui.actDispOpenAtStart->setChecked(ini.ReadBool("Display", "OpenAtStart", false));
    ui.actDispVariationLetters->setChecked(ini.ReadBool("Display", "VariationLetters", true));
    ui.actDispRowsFromBottom->setChecked(ini.ReadBool("Display", "RowsFromBottom", false));
    CoordNameTable::fromBottom() = ui.actDispRowsFromBottom->isChecked();
    ui.pnlMain->setVariationLetters(ui.actDispVariationLetters->isChecked());
    const int treeArea = ini.ReadInteger("Display", "TreeArea", Qt::BottomDockWidgetArea);
    if (treeArea == Qt::LeftDockWidgetArea || treeArea == Qt::RightDockWidgetArea || treeArea == Qt::TopDockWidgetArea)
        prefs.TreeArea = treeArea;
    prefs.TreeSize = std::clamp(ini.ReadInteger("Display", "TreeSize", prefs.TreeSize), 40, 2000);
    if (ini.ReadBool("Display", "Tree", false)) ui.actDispTree->trigger();
    prefs.GraphSize = std::clamp(ini.ReadInteger("Display", "GraphSize", prefs.GraphSize), 40, 2000);
    if (ini.ReadBool("Display", "Graph", false)) ui.actDispGraph->trigger();

    const bool top = ini.ReadBool("Display", "ToolBarTop", true);
    const bool bottom = ini.ReadBool("Display", "ToolBarBottom", false);
    const bool left = ini.ReadBool("Display", "ToolBarLeft", false);
    const bool right = ini.ReadBool("Display", "ToolBarRight", false);
    if (!top) actDispToolBarTopExecute();
    if (bottom) actDispToolBarBottomExecute();
    if (left) actDispToolBarLeftExecute();
    if (right) actDispToolBarRightExecute();
    ui.actDispToolBarTop->setChecked(top);
    ui.actDispToolBarBottom->setChecked(bottom);
    ui.actDispToolBarLeft->setChecked(left);
    ui.actDispToolBarRight->setChecked(right);

    // The window starts with all four shown and marked: one run hides one.
    if (!ini.ReadBool("Display", "ToolBar", true)) actDispToolBarExecute();
    if (!ini.ReadBool("Display", "StatusBar", true)) actDispStatusBarExecute();
    if (!ini.ReadBool("Display", "PanelKifuBtn", true)) actDispPanelKifuBtnExecute();
    if (!ini.ReadBool("Display", "DataPanel", true)) actDispDataPanelExecute();

    // A size below the window's minimum is raised here, not when the window is first shown,
    // so the window is centred, and a maximized one remembers, the size it really has. The
    // minimum of a normal window includes the status bar's size grip, which is shown only then.
    ensurePolished();
    if (layout()) layout()->activate();
    int gripWidth = 0;
    if (auto* grip = ui.stbMain->findChild<QSizeGrip*>();
        grip && ui.stbMain->isSizeGripEnabled() && ui.stbMain->layout())
        gripWidth = grip->sizeHint().width() + ui.stbMain->layout()->spacing();
    const QSize normalMinimum(std::max(minimumWidth(), ui.stbMain->minimumSizeHint().width() + gripWidth),
                              minimumHeight());
    resize(QSize(ini.ReadInteger("Display", "Width", 684), ini.ReadInteger("Display", "Height", 567))
               .expandedTo(normalMinimum));
    prefs.SavedWidth = width();
    prefs.SavedHeight = height();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = geometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }

    prefs.SavedState = ini.ReadInteger("Display", "State", 0);
    if (prefs.SavedState == 0 || prefs.SavedState == 1)
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    else if (prefs.SavedState == 2)
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);

    // The computer opponent's engine: looked for after the first picture (a search of the
    // PATH), never started here. Its commands stay hidden until then.
    prefs.Engine = defaultEngineSettings();
    prefs.Engine.commandLine =
        QString::fromStdString(ini.ReadString("Engine", "CommandLine", prefs.Engine.commandLine.toStdString()));
    for (int i = 0; i < 3; ++i) {
        const std::string key = "Level" + std::to_string(i);
        prefs.Engine.levelArguments[i] =
            QString::fromStdString(ini.ReadString("Engine", key, prefs.Engine.levelArguments[i].toStdString()));
    }
    prefs.Engine.moveSeconds = std::clamp(ini.ReadInteger("Engine", "MoveSeconds", prefs.Engine.moveSeconds), 5, 3600);
    // 棋譜解析: the engine's level (GNU Go's 0..10) and the loss in points a move is marked for.
    prefs.Engine.reviewLevel = std::clamp(ini.ReadInteger("Review", "Level", prefs.Engine.reviewLevel), 0, 10);
    bool threshold = false;
    const double t = QString::fromStdString(ini.ReadString("Review", "Threshold", "5.0")).toDouble(&threshold);
    if (threshold && t > 0 && t < 1000) prefs.Engine.reviewThreshold = t;
    EngineLookUpPending = true;
    applyCommandStates();
    QTimer::singleShot(0, this, &TfrmMain::ensureEngineLookedUp);

    // The library's folders; its index is brought up to them after the first picture.
    prefs.LibraryFolders.clear();
    const int folders = std::clamp(ini.ReadInteger("Library", "Count", 0), 0, 100);
    for (int i = 0; i < folders; ++i) {
        const std::string folder = ini.ReadString("Library", "Folder" + std::to_string(i), "");
        if (!folder.empty()) prefs.LibraryFolders << QString::fromStdString(folder);
    }
    if (!prefs.LibraryFolders.isEmpty()) QTimer::singleShot(0, this, &TfrmMain::startLibraryIndexing);
    if (ini.ReadBool("Display", "FskJsk", false)) ui.actDispFskJsk->trigger();

    prefs.LastReadDir = QString::fromStdString(ini.ReadString("Directory", "LastReadDir", ""));
    prefs.LastWriteDir = QString::fromStdString(ini.ReadString("Directory", "LastWriteDir", ""));
}

void TfrmMain::writeSettings(SettingsFile& ini) const {
    ini.WriteInteger("PlayInfo", "Level", Game.Level);
    ini.WriteInteger("PlayInfo", "BrdSize", Game.BoardSize);
    ini.WriteInteger("PlayInfo", "PutStone", Game.HandicapCount);
    ini.WriteInteger("PlayInfo", "Komi", Game.KomiTenths);
    ini.WriteInteger("Display", "Width", prefs.SavedWidth);
    ini.WriteInteger("Display", "Height", prefs.SavedHeight);
    ini.WriteInteger("Display", "State", prefs.SavedState);
    ini.WriteInteger("KifuAuto", "Speed", ui.tmrKifuAuto->interval());
    ini.WriteBool("Display", "GbnHanten", ui.actDispGbnHanten->isChecked());
    ini.WriteBool("Display", "ToolBar", ui.actDispToolBar->isChecked());
    ini.WriteBool("Display", "ToolBarTop", ui.actDispToolBarTop->isChecked());
    ini.WriteBool("Display", "ToolBarBottom", ui.actDispToolBarBottom->isChecked());
    ini.WriteBool("Display", "ToolBarLeft", ui.actDispToolBarLeft->isChecked());
    ini.WriteBool("Display", "ToolBarRight", ui.actDispToolBarRight->isChecked());
    ini.WriteBool("Display", "DataPanel", ui.actDispDataPanel->isChecked());
    ini.WriteBool("Display", "PanelKifuBtn", ui.actDispPanelKifuBtn->isChecked());
    ini.WriteBool("Display", "StatusBar", ui.actDispStatusBar->isChecked());
    ini.WriteBool("Display", "Zahyou", ui.actDispZahyou->isChecked());
    ini.WriteBool("Display", "Tejun", ui.actDispTejun->isChecked());
    ini.WriteBool("Display", "Comment", ui.actDispComment->isChecked());
    ini.WriteInteger("Display", "CommentArea", ui.dckComment ? dockWidgetArea(ui.dckComment) : prefs.CommentArea);
    ini.WriteInteger("Display", "CommentSize", paneSize(ui.dckComment, prefs.CommentSize));
    ini.WriteBool("Display", "Variations", ui.actDispVariations->isChecked());
    ini.WriteBool("Display", "OpenAtStart", ui.actDispOpenAtStart->isChecked());
    ini.WriteBool("Display", "VariationLetters", ui.actDispVariationLetters->isChecked());
    ini.WriteBool("Display", "RowsFromBottom", ui.actDispRowsFromBottom->isChecked());
    ini.WriteBool("Display", "Tree", ui.actDispTree->isChecked());
    ini.WriteInteger("Display", "TreeArea", ui.dckTree ? dockWidgetArea(ui.dckTree) : prefs.TreeArea);
    ini.WriteInteger("Display", "TreeSize", paneSize(ui.dckTree, prefs.TreeSize));
    ini.WriteBool("Display", "Graph", ui.actDispGraph->isChecked());
    ini.WriteInteger("Display", "GraphSize", paneSize(ui.dckGraph, prefs.GraphSize));
    ini.WriteBool("Display", "FskJsk", ui.actDispFskJsk->isChecked());
    ini.WriteString("Directory", "LastReadDir", prefs.LastReadDir.toStdString());
    ini.WriteString("Directory", "LastWriteDir", prefs.LastWriteDir.toStdString());
    ini.WriteString("Engine", "CommandLine", prefs.Engine.commandLine.toStdString());
    for (int i = 0; i < 3; ++i)
        ini.WriteString("Engine", "Level" + std::to_string(i), prefs.Engine.levelArguments[i].toStdString());
    ini.WriteInteger("Engine", "MoveSeconds", prefs.Engine.moveSeconds);
    ini.WriteInteger("Review", "Level", prefs.Engine.reviewLevel);
    ini.WriteString("Review", "Threshold", QString::number(prefs.Engine.reviewThreshold, 'f', 1).toStdString());
    ini.WriteInteger("Library", "Count", static_cast<int>(prefs.LibraryFolders.size()));
    for (int i = 0; i < prefs.LibraryFolders.size(); ++i)
        ini.WriteString("Library", "Folder" + std::to_string(i), prefs.LibraryFolders[i].toStdString());
    // A kifu window never opened leaves its lines of the file as they were read.
    if (ui.kifuWindow) ui.kifuWindow->writeSettings(ini);
}

bool TfrmMain::FormCloseQuery() {
    const QString name =
        Doc.FileName.empty() ? QStringLiteral("無題.sgf") : fileNamePart(QString::fromStdString(Doc.FileName));
    if (!Doc.Modified) return true;
    const Answer a = prompts.confirm(
        this, QStringLiteral("棋譜「") + name + QStringLiteral("」は変更されています。\n保存しますか？"), true);
    if (a == Answer::Yes) {
        actFileSaveExecute();
        return !Doc.Modified;  // a failed or cancelled save keeps the window open
    }
    return a == Answer::No;
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

bool TfrmMain::writeSettingsFile() {
    SettingsFile ini;
    // Lines of keys this program does not use are kept.
    ini.load(pathBytes(prefs.SettingsPath));
    writeSettings(ini);
    const QString user = userSettingsPath();
    auto saveTo = [&](const QString& path) {
        if (path == user) QDir().mkpath(QFileInfo(user).absolutePath());
        return ini.save(pathBytes(path));
    };
    prefs.SettingsWrittenTo.clear();
    // When the chosen folder cannot be written after all, the user's config folder
    // takes the file.
    for (const QString& path : {prefs.SettingsPath, user}) {
        if (saveTo(path)) {
            prefs.SettingsWrittenTo = path;
            return true;
        }
        if (path == user) break;
    }
    return false;
}

void TfrmMain::FormClose() {
    // No engine outlives the window, thinking or not, and no indexing either.
    ui.engineTurn->shutdownEngine();
    stopLibraryIndexing();
    // A settings file that cannot be written never keeps the program from closing.
    writeSettingsFile();
}

void TfrmMain::FormDestroy() {
    stopLibraryIndexing();
    ui.tmrTime->stop();
    ui.tmrDelay->stop();
    ui.tmrKifuAuto->stop();
    SharedText.clear();
    prefs.HelpFile.clear();
}

}  // namespace tavrin
