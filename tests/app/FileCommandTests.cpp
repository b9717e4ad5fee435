// Open, reload, save, save-as, dropped files and the command-line file on the real window,
// with real files in a private folder and scripted prompts.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <filesystem>

#include "base/Sjis.h"
#include "tests/app/FileTestKit.h"
#include "tests/game/TestBoard.h"
#include "tests/support/CorpusDir.h"
#include "view/KifuWindow.h"

namespace tavrin::test {
namespace {

const QString Discard = QStringLiteral("現在の対局進行を破棄します。\nよろしいですか？");

// Sends a drop of the given files onto the window, as the desktop would.
void drop(TfrmMain& w, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &dropped);
}

TEST_F(FileWindowTest, OpenThroughTheDialogShowsTheRecordEndedAtItsLastMove) {
    const QString path = put("三手.sgf", ThreeMoves);
    auto w = open();
    w->prefs.LastReadDir = QStringLiteral("/somewhere/");
    openThroughDialog(*w, prompts, path);

    // The dialog as it was asked for.
    EXPECT_EQ(prompts.lastOpen.title, QStringLiteral("棋譜ファイルを開く"));
    EXPECT_EQ(prompts.lastOpen.folder, QStringLiteral("/somewhere/"));
    EXPECT_EQ(prompts.lastOpen.defaultSuffix, QStringLiteral("sgf"));
    EXPECT_TRUE(prompts.lastOpen.showReadOnly);
    ASSERT_EQ(prompts.lastOpen.filters.size(), 3);
    EXPECT_TRUE(prompts.lastOpen.filters[0].startsWith(QStringLiteral("棋譜ファイル(*.sgf;*.ngf)")));
    EXPECT_TRUE(prompts.lastOpen.filters[1].startsWith(QStringLiteral("棋譜ファイル(*.sgf)")));
    EXPECT_TRUE(prompts.lastOpen.filters[2].startsWith(QStringLiteral("棋譜ファイル(*.ngf)")));
    EXPECT_TRUE(prompts.texts("confirm").empty());  // nothing to discard

    EXPECT_EQ(w->windowTitle(), QStringLiteral("三手.sgf - Tavrin"));
    EXPECT_EQ(QString::fromStdString(w->Doc.FileName), path);
    EXPECT_EQ(w->prefs.LastReadDir, dir.path() + QLatin1Char('/'));
    EXPECT_FALSE(w->Doc.Modified);
    EXPECT_FALSE(w->Doc.ReadOnly);
    EXPECT_TRUE(inside(*w).ReplayMode);
    EXPECT_TRUE(w->Game.GameOver);
    EXPECT_EQ(w->Game.CurrentMove, 4);
    EXPECT_EQ(w->Game.LastMovePos, 60);
    EXPECT_EQ(w->ui.lblBlackPlayer->text().trimmed(), QStringLiteral("Kuro"));
    // Start row and one row per move, without times; the marker on the last move.
    ASSERT_EQ(w->kifuRowCount(), 4);
    EXPECT_EQ(w->kifuRow(3)->text(2), QString());
    EXPECT_FALSE(w->kifuRow(3)->icon(0).isNull());
    EXPECT_TRUE(w->kifuRow(0)->icon(0).isNull());
    EXPECT_FALSE(w->ui.actFileSave->isEnabled());
    EXPECT_FALSE(w->ui.actFileReOpen->isEnabled());
    EXPECT_EQ(w->statusText(1), QStringLiteral("  3手目"));
    EXPECT_EQ(w->statusText(3), QStringLiteral("終局です"));
}

// A record with a move the rules refuse opens as it stands: the move's row is marked, the
// status bar names the move while it is shown, and saving writes the moves as they were.
TEST_F(FileWindowTest, AMoveTheRulesRefuseIsNamedWhileShown) {
    const QByteArray bytes = "(;GM[1]SZ[9];B[ba];W[cc];B[ab];W[aa];B[ee])";
    const QString path = put("suicide.sgf", bytes);
    auto w = open();
    openThroughDialog(*w, prompts, path);
    EXPECT_TRUE(prompts.texts("warn").empty());
    ASSERT_EQ(w->kifuRowCount(), 6);
    const QString notice = QStringLiteral("4手目は打てない手です（棋譜のとおりに並べています）");
    for (int row = 1; row < 6; ++row) EXPECT_EQ(w->kifuRow(row)->toolTip(1), row == 4 ? notice : QString()) << row;
    EXPECT_NE(w->statusText(0), notice);
    w->ui.actKifuBack->trigger();
    EXPECT_EQ(w->statusText(0), notice);
    EXPECT_EQ(w->Game.Board[static_cast<size_t>(test::pt(w->Game, 1, 1))], 0) << "the suicide took its stone";
    w->ui.actKifuBack->trigger();
    EXPECT_NE(w->statusText(0), notice);
    const QString copy = dir.path() + QStringLiteral("/copy.sgf");
    prompts.saveChoices.push_back(copy);
    w->ui.actFileSaveAs->trigger();
    EXPECT_TRUE(bytesOf(copy).contains(";B[ba];W[cc];B[ab];W[aa];B[ee]")) << bytesOf(copy).toStdString();
}

// A record without moves has nothing to step through, whatever the record before it left
// enabled: every replay command is off, in the menu and on the replay panel.
TEST_F(FileWindowTest, RecordWithoutMovesDisablesEveryReplayCommand) {
    const QString moves = put("moves.sgf", ThreeMoves);
    for (const QByteArray& none :
         {QByteArray("(;GM[1]FF[4]SZ[9]PB[a])"), QByteArray("(;GM[1]FF[4]SZ[19]HA[2]AB[dp][pd])")}) {
        SCOPED_TRACE(none.toStdString());
        auto w = open();
        openThroughDialog(*w, prompts, moves);
        ASSERT_TRUE(w->ui.actKifuBack->isEnabled());
        openThroughDialog(*w, prompts, put("none.sgf", none));
        ASSERT_EQ(w->Game.MoveCount, 0);
        for (QAction* a : {w->ui.actKifuFirst, w->ui.actKifuBack, w->ui.actKifuBack10, w->ui.actKifuNext,
                           w->ui.actKifuNext10, w->ui.actKifuLast, w->ui.actKifuAuto})
            EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        for (QToolButton* b : {w->ui.btnKifuFirst, w->ui.btnKifuBack, w->ui.btnKifuBack10, w->ui.btnKifuNext,
                               w->ui.btnKifuNext10, w->ui.btnKifuLast, w->ui.btnKifuAuto})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
}

// The typical life of the file flags, one step after the other.
TEST_F(FileWindowTest, FlagsAndTitleThroughOpenPlaySaveAsSaveAndDrop) {
    const QString ro = put("ro.sgf", ThreeMoves);
    const QString dropped = put("dropped.sgf", OneMove);
    const QByteArray roBefore = bytesOf(ro);
    auto w = open();
    struct Expect {
        QString name;  // CurrentFileName's file part, "" when untitled
        bool modified, readOnly;
        QString title;
    };
    auto check = [&](const char* step, const Expect& e) {
        SCOPED_TRACE(step);
        EXPECT_EQ(MainWindowAccess::fileNamePart(QString::fromStdString(w->Doc.FileName)), e.name);
        EXPECT_EQ(w->Doc.Modified, e.modified);
        EXPECT_EQ(w->Doc.ReadOnly, e.readOnly);
        EXPECT_EQ(w->windowTitle(), e.title);
    };
    check("start", {"", false, false, "新規 - Tavrin"});

    openThroughDialog(*w, prompts, ro, true);
    check("open read-only", {"ro.sgf", false, true, "ro.sgf【読み取り専用】 - Tavrin"});

    touch(*w);
    check("changed", {"ro.sgf", true, true, "ro.sgf【読み取り専用】 - Tavrin"});

    // Save: the warning names the file; Yes leads to save-as, proposing the same name.
    prompts.answers.push_back(Answer::Yes);
    const QString copy = dir.path() + "/out/copy.sgf";
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/out"));
    prompts.saveChoices.push_back(copy);
    w->ui.actFileSave->trigger();
    ASSERT_EQ(prompts.texts("warnYesNo").size(), 1u);
    EXPECT_EQ(prompts.texts("warnYesNo")[0],
              QStringLiteral("棋譜「ro.sgf」は読み取り専用で開かれています。\n上書きはできません。\n\n"
                             "別名をつけて保存しますか？"));
    EXPECT_EQ(prompts.lastSave.proposedName, QStringLiteral("ro.sgf"));
    check("save-as", {"copy.sgf", false, false, "copy.sgf - Tavrin"});
    EXPECT_EQ(w->prefs.LastWriteDir, dir.path() + "/out/");
    EXPECT_EQ(bytesOf(copy), savedBytes(*w));
    EXPECT_EQ(bytesOf(ro), roBefore);

    touch(*w);
    w->ui.actFileSave->trigger();  // straight over copy.sgf, no dialog
    check("save", {"copy.sgf", false, false, "copy.sgf - Tavrin"});
    EXPECT_EQ(prompts.texts("save").size(), 1u);

    drop(*w, {dropped});
    check("drop", {"dropped.sgf", false, false, "dropped.sgf - Tavrin"});
    EXPECT_EQ(w->Game.BoardSize, 13);
}

// Each command that replaces the record asks before discarding changes; No leaves the
// record, its file and its flags as they were.
TEST_F(FileWindowTest, DiscardQuestionGuardsEveryCommandThatReplacesTheRecord) {
    const QString first = put("first.sgf", ThreeMoves);
    const QString other = put("other.sgf", OneMove);
    struct Case {
        const char* command;
        std::function<void(TfrmMain&, ScriptedPrompts&)> run;
    };
    const std::vector<Case> cases = {
        {"open", [&](TfrmMain& w, ScriptedPrompts& p) { openThroughDialog(w, p, other); }},
        {"reload", [&](TfrmMain& w, ScriptedPrompts&) { w.ui.actFileReOpen->trigger(); }},
        {"drop", [&](TfrmMain& w, ScriptedPrompts&) { drop(w, {other}); }},
        {"paste",
         [&](TfrmMain& w, ScriptedPrompts&) {
             QGuiApplication::clipboard()->setText(QString::fromLatin1(OneMove));
             inside(w).actClipPastExecute();
         }},
    };
    for (const Case& c : cases) {
        for (const Answer a : {Answer::No, Answer::Yes}) {
            SCOPED_TRACE(std::string(c.command) + (a == Answer::Yes ? " yes" : " no"));
            prompts.asked.clear();
            prompts.openChoices.clear();
            auto w = open();
            openThroughDialog(*w, prompts, first);
            inside(*w).Game.MoveCount = 2;  // a change only a successful load can undo
            touch(*w);
            prompts.answers.push_back(a);
            c.run(*w, prompts);
            ASSERT_EQ(prompts.texts("confirm"), std::vector<QString>{Discard});
            if (a == Answer::No) {
                EXPECT_TRUE(w->Doc.Modified);
                EXPECT_EQ(w->Game.MoveCount, 2);
                EXPECT_EQ(QString::fromStdString(w->Doc.FileName), first);
                EXPECT_EQ(prompts.texts("open").size(), 1u);  // only the first load
            } else {
                EXPECT_FALSE(w->Doc.Modified);
                const std::string command = c.command;
                const QString file = command == "reload" ? first : command == "paste" ? QString() : other;
                EXPECT_EQ(QString::fromStdString(w->Doc.FileName), file);
                EXPECT_EQ(w->Game.MoveCount, command == "reload" ? 3 : 1);
            }
        }
    }
}

TEST_F(FileWindowTest, ReloadIsOfferedOnlyForAChangedRecordFromAFileAndKeepsReadOnly) {
    const QString path = put("r.sgf", ThreeMoves);
    auto w = open();
    touch(*w);
    // Untitled: saving is possible, reloading is not.
    EXPECT_TRUE(w->ui.actFileSave->isEnabled());
    EXPECT_FALSE(w->ui.actFileReOpen->isEnabled());
    prompts.answers.push_back(Answer::Yes);
    openThroughDialog(*w, prompts, path, true);
    EXPECT_FALSE(w->ui.actFileReOpen->isEnabled());
    touch(*w);
    EXPECT_TRUE(w->ui.actFileReOpen->isEnabled());

    w->prefs.LastReadDir = QStringLiteral("/elsewhere/");
    prompts.answers.push_back(Answer::Yes);
    w->ui.actFileReOpen->trigger();
    EXPECT_FALSE(w->Doc.Modified);
    EXPECT_TRUE(w->Doc.ReadOnly);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("r.sgf【読み取り専用】 - Tavrin"));
    EXPECT_EQ(w->prefs.LastReadDir, QStringLiteral("/elsewhere/"));
    EXPECT_FALSE(w->ui.actFileReOpen->isEnabled());
}

TEST_F(FileWindowTest, CancelledDialogsAndUnknownExtensionsChangeNothing) {
    const QString txt = put("notes.txt", ThreeMoves);
    auto w = open();
    touch(*w);
    const std::string name = w->Game.GameName;

    prompts.answers.push_back(Answer::Yes);
    prompts.openChoices.push_back(std::nullopt);
    w->ui.actFileOpenCK->trigger();
    // A .txt chosen in the dialog is not read, and nothing is said; the box's state stays.
    prompts.answers.push_back(Answer::Yes);
    openThroughDialog(*w, prompts, txt, true);
    EXPECT_TRUE(w->Doc.ReadOnly);
    prompts.saveChoices.push_back(std::nullopt);
    w->ui.actFileSaveAs->trigger();

    EXPECT_TRUE(w->Doc.Modified);
    EXPECT_EQ(w->Game.GameName, name);
    EXPECT_TRUE(w->Doc.FileName.empty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
    EXPECT_TRUE(w->prefs.LastReadDir.isEmpty());
    EXPECT_TRUE(w->prefs.LastWriteDir.isEmpty());
    EXPECT_TRUE(prompts.texts("warn").empty());
    EXPECT_TRUE(prompts.texts("error").empty());
}

// Where a save goes: (record, read-only answer) -> dialog asked with which name, or a
// direct write.
TEST_F(FileWindowTest, SaveChoosesBetweenOverwriteAndSaveAs) {
    struct Case {
        const char* what;
        QString file;  // "" = untitled
        QByteArray content;
        bool readOnly;
        std::optional<Answer> warning;  // answer to the read-only warning
        QString proposed;               // "" = no dialog
        bool written;                   // the file itself was overwritten
    };
    const std::vector<Case> cases = {
        {"untitled", "", {}, false, {}, "無題.sgf", false},
        {"ngf", "game.NGF", ngfRecord(), false, {}, "game.sgf", false},
        {"sgf", "plain.sgf", ThreeMoves, false, {}, "", true},
        {"read-only, no", "ro.sgf", ThreeMoves, true, Answer::No, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        auto w = open();
        w->prefs.LastWriteDir = dir.path() + "/w/";
        QString path;
        QByteArray before;
        if (!c.file.isEmpty()) {
            path = put(c.file, c.content);
            before = bytesOf(path);
            openThroughDialog(*w, prompts, path, c.readOnly);
            ASSERT_EQ(QString::fromStdString(w->Doc.FileName), path);
        }
        touch(*w);
        if (c.warning) prompts.answers.push_back(*c.warning);
        if (!c.proposed.isEmpty()) prompts.saveChoices.push_back(std::nullopt);
        w->ui.actFileSave->trigger();
        EXPECT_EQ(prompts.texts("warnYesNo").size(), c.warning ? 1u : 0u);
        if (c.proposed.isEmpty()) {
            EXPECT_TRUE(prompts.texts("save").empty());
        } else {
            ASSERT_EQ(prompts.texts("save").size(), 1u);
            EXPECT_EQ(prompts.lastSave.proposedName, c.proposed);
            EXPECT_EQ(prompts.lastSave.folder, dir.path() + "/w/");
            EXPECT_EQ(prompts.lastSave.title, QStringLiteral("棋譜に別名を付けて保存"));
            EXPECT_EQ(prompts.lastSave.defaultSuffix, QStringLiteral("sgf"));
        }
        EXPECT_EQ(w->Doc.Modified, !c.written);
        if (!path.isEmpty()) {
            EXPECT_EQ(bytesOf(path) == before, !c.written);
        }
        if (c.written) {
            EXPECT_EQ(bytesOf(path), savedBytes(*w));
        }
    }
}

TEST_F(FileWindowTest, NgfRecordIsSavedAsSgfUnderTheProposedName) {
    const QString ngf = put("kifu.ngf", ngfRecord());
    const QByteArray ngfBefore = bytesOf(ngf);
    auto w = open();
    openThroughDialog(*w, prompts, ngf);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("kifu.ngf - Tavrin"));
    EXPECT_EQ(w->Game.MoveCount, 2);
    touch(*w);
    const QString sgf = dir.path() + "/kifu.sgf";
    prompts.saveChoices.push_back(sgf);
    w->ui.actFileSave->trigger();
    EXPECT_EQ(prompts.lastSave.proposedName, QStringLiteral("kifu.sgf"));
    EXPECT_EQ(QString::fromStdString(w->Doc.FileName), sgf);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("kifu.sgf - Tavrin"));
    EXPECT_EQ(bytesOf(ngf), ngfBefore);

    // The saved file reads back as the same record.
    const std::string before = moves(w->Game);
    auto again = open();
    openThroughDialog(*again, prompts, sgf);
    EXPECT_EQ(moves(again->Game), before);
    EXPECT_EQ(again->Game.BlackPlayer, "BlackName");
    EXPECT_EQ(again->Game.GameComment, "B+R");
    EXPECT_EQ(again->Game.GameDate, "2005-07-01");
}

// A save that fails leaves the old file byte for byte and the record bound as before.
TEST_F(FileWindowTest, FailedSaveAsKeepsTheOldNameAndTheOldFile) {
    const QString path = put("keep.sgf", ThreeMoves);
    const QString blocker = put("plain-file", "not a folder");
    const QString full = dir.path() + "/full.sgf";
    ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(full).constData()), 0);
    const QString fifo = dir.path() + "/pipe.sgf";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    struct Case {
        const char* what;
        QString target;
        QString message;
    };
    const std::vector<Case> cases = {
        {"parent is a file", blocker + "/x.sgf", "読込専用ファイルには書き込めません"},
        {"target is a folder", dir.path(), "読込専用ファイルには書き込めません"},
        {"a link to a device that is always full", full, "棋譜ファイルを書き込めませんでした"},
        {"a named pipe", fifo, "棋譜ファイルを書き込めませんでした"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        auto w = open();
        openThroughDialog(*w, prompts, path);
        touch(*w);
        w->prefs.LastWriteDir = QStringLiteral("/before/");
        prompts.saveChoices.push_back(c.target);
        w->ui.actFileSaveAs->trigger();
        EXPECT_EQ(prompts.texts("warn"), std::vector<QString>{c.message});
        EXPECT_EQ(QString::fromStdString(w->Doc.FileName), path);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("keep.sgf - Tavrin"));
        EXPECT_TRUE(w->Doc.Modified);
        EXPECT_EQ(w->prefs.LastWriteDir, QStringLiteral("/before/"));
        EXPECT_EQ(bytesOf(path), ThreeMoves);
        EXPECT_TRUE(QFileInfo(dir.path()).isDir());
        EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
        // No half-written copy is left behind.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 4);
    }
}

// Saving onto a file system with no room left: the write fails, and says so, whether the
// record is new there or replaces a file (which stays as it was).
TEST_F(FileWindowTest, SaveOntoAFullFileSystemFailsAndKeepsTheOldFile) {
    const QString mount = dir.path() + "/small";
    ASSERT_TRUE(QDir().mkpath(mount));
    const QByteArray at = QFile::encodeName(mount);
    if (::mount("tavrin-test", at.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "this machine does not let the test mount a small file system";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{at};
    const QString old = mount + "/old.sgf";
    writeFile(old, ThreeMoves);
    {
        QFile filler(mount + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    for (const QString& target : {old, mount + "/new.sgf"}) {
        SCOPED_TRACE(target.toStdString());
        prompts.asked.clear();
        auto w = open();
        openThroughDialog(*w, prompts, put("game.sgf", OneMove));
        touch(*w);
        w->prefs.LastWriteDir = QStringLiteral("/before/");
        prompts.saveChoices.push_back(target);
        w->ui.actFileSaveAs->trigger();
        EXPECT_EQ(prompts.texts("warn"), std::vector<QString>{"棋譜ファイルを書き込めませんでした"});
        EXPECT_TRUE(w->Doc.Modified);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("game.sgf - Tavrin"));
        EXPECT_EQ(w->prefs.LastWriteDir, QStringLiteral("/before/"));
        EXPECT_EQ(bytesOf(old), ThreeMoves);
        EXPECT_FALSE(QFileInfo::exists(mount + "/new.sgf"));
        EXPECT_EQ(QDir(mount).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

// A save over a locked file or into a locked folder: refused, and the old file stays.
class LockedSaveTest : public FileWindowTest {
protected:
    void check(bool lockFolder) {
        const QString folder = dir.path() + "/locked";
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString path = put("locked/old.sgf", ThreeMoves);
        auto w = open();
        openThroughDialog(*w, prompts, path);
        touch(*w);
        ::chmod(QFile::encodeName(lockFolder ? folder : path).constData(), lockFolder ? 0555 : 0444);
        w->ui.actFileSave->trigger();
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(path).constData(), 0644);
        EXPECT_EQ(prompts.texts("warn"), std::vector<QString>{"読込専用ファイルには書き込めません"});
        EXPECT_EQ(bytesOf(path), ThreeMoves);
        EXPECT_TRUE(w->Doc.Modified);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("old.sgf - Tavrin"));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"old.sgf"});
    }
};

// A file nobody may write is refused, for the superuser too.
TEST_F(LockedSaveTest, OverAFileNobodyMayWrite) { check(false); }

TEST_F(LockedSaveTest, IntoAFolderWithoutWriteAccess) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, who may create files in any folder";
    check(true);
}

// Saving over a file keeps who may read it.
TEST_F(FileWindowTest, SaveKeepsTheFilePermissions) {
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664)}) {
        SCOPED_TRACE(mode);
        const QString path = put("perm.sgf", ThreeMoves);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        auto w = open();
        openThroughDialog(*w, prompts, path);
        touch(*w);
        w->ui.actFileSave->trigger();
        ASSERT_FALSE(w->Doc.Modified);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
}

// A refused record never replaces the one shown, so a later save writes that record to its
// own file and never over the refused one.
TEST_F(FileWindowTest, RefusedLoadCannotBeSavedOverTheRefusedFile) {
    const QString good = put("good.sgf", ThreeMoves);
    // Good up to the last move, which names a point beyond the board.
    const QByteArray badBytes = "(;GM[1]SZ[9];B[aa];W[bb];B[cc];W[zz])";
    const QString bad = put("bad.sgf", badBytes);
    auto w = open();
    openThroughDialog(*w, prompts, good);
    touch(*w);
    const std::string record = moves(w->Game);
    prompts.answers.push_back(Answer::Yes);
    openThroughDialog(*w, prompts, bad);
    EXPECT_EQ(prompts.texts("warn"), std::vector<QString>{"この棋譜ファイルは読めません\n棋譜の書式に誤りがあります"});
    EXPECT_EQ(QString::fromStdString(w->Doc.FileName), good);
    EXPECT_EQ(moves(w->Game), record);
    EXPECT_TRUE(w->Doc.Modified);
    w->ui.actFileSave->trigger();
    EXPECT_EQ(bytesOf(bad), badBytes);
    EXPECT_EQ(bytesOf(good), savedBytes(*w));
}

// The message for each way a file can fail to load; the record shown stays untouched.
TEST_F(FileWindowTest, LoadFailureMessages) {
    struct Case {
        QString file;
        std::optional<QByteArray> bytes;  // nullopt: the file does not exist
        QString kind, text;
    };
    const std::vector<Case> cases = {
        // The SGF reader's message, then the reason on a line of its own.
        {"refused.sgf", QByteArray("(;GM[1]SZ[9];B[zz])"), "warn",
         "この棋譜ファイルは読めません\n棋譜の書式に誤りがあります"},
        {"white.sgf", QByteArray("(;GM[1]AB[aa]AW[aa])"), "warn",
         "この棋譜ファイルは読めません\n白石の置石は扱えません"},
        {"chess.sgf", QByteArray("(;GM[3])"), "warn", "この棋譜ファイルは読めません\n囲碁の棋譜以外は扱えません"},
        {"size.ngf", ngfRecord("26"), "warn", "２路から２５路までの碁盤しか扱えません"},
        {"trail.ngf", ngfRecord() + "\r\n", "warn", "棋譜の書式に誤りがあります"},
        {"empty.sgf", QByteArray(), "error", "棋譜ファイルは空です"},
        {"empty.ngf", QByteArray(), "warn", "棋譜ファイルは空です"},
        {"missing.sgf", std::nullopt, "warn", "棋譜ファイルを読み込めませんでした"},
        {"missing.ngf", std::nullopt, "warn", "棋譜ファイルを読み込めませんでした"},
    };
    const QString shown = put("shown.sgf", ThreeMoves);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        prompts.asked.clear();
        auto w = open();
        openThroughDialog(*w, prompts, shown);
        w->prefs.LastReadDir = QStringLiteral("/kept/");
        const QString path = c.bytes ? put(c.file, *c.bytes) : dir.path() + "/" + c.file;
        openThroughDialog(*w, prompts, path);
        std::vector<QString> got;
        for (const auto& a : prompts.asked)
            if (a.kind == "warn" || a.kind == "error") got.push_back(a.kind + ":" + a.text);
        EXPECT_EQ(got, std::vector<QString>{c.kind + ":" + c.text});
        EXPECT_EQ(QString::fromStdString(w->Doc.FileName), shown);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("shown.sgf - Tavrin"));
        EXPECT_EQ(w->Game.MoveCount, 3);
        EXPECT_EQ(w->prefs.LastReadDir, QStringLiteral("/kept/"));
    }
}

// The komi and date a file gave are shown and saved as given: no komi stays none, a negative
// one keeps its half, a date the game cannot hold is written back as it stood.
TEST_F(FileWindowTest, KomiAndDateOfAFileAreShownAndSavedAsGiven) {
    const struct {
        const char* bytes;
        const char* label;
        const char* saved;  // in the saved file
        const char* gone;   // not in it
    } cases[] = {
        {"(;SZ[9]KM[-4.5];B[cc])", "コミ ： -4.5目", "KM[-4.5]", "KM[-4]"},
        {"(;SZ[9];B[cc])", "コミ ： 記載なし", "PW[]HA[0]", "KM["},
        {"(;SZ[9]DT[1968]KM[6.5];B[cc])", "コミ ： ６目半", "DT[1968]", "DT[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const QString path = put("given.sgf", c.bytes);
        auto w = open();
        openThroughDialog(*w, prompts, path);
        EXPECT_EQ(w->ui.lblKomi->text(), QString::fromUtf8(c.label));
        inside(*w).actFileSaveExecute();
        const QByteArray saved = bytesOf(path);
        EXPECT_TRUE(saved.contains(c.saved)) << saved.toStdString();
        EXPECT_FALSE(saved.contains(c.gone)) << saved.toStdString();
    }
}

TEST_F(FileWindowTest, DroppedFiles) {
    const QString first = put("first.sgf", ThreeMoves);
    const QString second = put("second.sgf", OneMove);
    const QString text = put("note.txt", ThreeMoves);
    const QString ro = put("ro.sgf", OneMove);

    // Two files: only the first is read; the folder memory stays.
    auto w = open();
    drop(*w, {first, second});
    EXPECT_EQ(QString::fromStdString(w->Doc.FileName), first);
    EXPECT_TRUE(w->prefs.LastReadDir.isEmpty());

    // A .txt after a read-only file: asked about, nothing loaded, no longer read-only.
    openThroughDialog(*w, prompts, ro, true);
    touch(*w);
    prompts.answers.push_back(Answer::Yes);
    drop(*w, {text});
    EXPECT_EQ(prompts.texts("confirm"), std::vector<QString>{Discard});
    EXPECT_EQ(QString::fromStdString(w->Doc.FileName), ro);
    EXPECT_TRUE(w->Doc.Modified);
    EXPECT_FALSE(w->Doc.ReadOnly);
    EXPECT_TRUE(prompts.texts("warn").empty());

    // A dropped SGF after a read-only one is titled plainly and saved over directly.
    prompts.answers.push_back(Answer::Yes);
    openThroughDialog(*w, prompts, ro, true);
    ASSERT_TRUE(w->Doc.ReadOnly);
    prompts.answers.push_back(Answer::Yes);
    drop(*w, {second});
    EXPECT_EQ(w->windowTitle(), QStringLiteral("second.sgf - Tavrin"));
    touch(*w);
    w->ui.actFileSave->trigger();
    EXPECT_TRUE(prompts.texts("warnYesNo").empty());
    EXPECT_FALSE(w->Doc.Modified);
    EXPECT_EQ(bytesOf(second), savedBytes(*w));
}

TEST_F(FileWindowTest, CommandLineFileSetsLastReadDirWhichSurvivesARestart) {
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/棋譜 集"));
    const QString path = put("棋譜 集/Game.SgF", ThreeMoves);
    {
        auto w = open({}, {path});
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Game.SgF - Tavrin"));
        EXPECT_EQ(w->Game.MoveCount, 3);
        EXPECT_TRUE(inside(*w).ReplayMode);
        EXPECT_EQ(w->kifuRowCount(), 4);
        EXPECT_EQ(w->prefs.LastReadDir, dir.path() + "/棋譜 集/");
        inside(*w).FormClose();
    }
    auto again = open();
    EXPECT_EQ(again->prefs.LastReadDir, dir.path() + "/棋譜 集/");
    EXPECT_EQ(again->windowTitle(), QStringLiteral("新規 - Tavrin"));

    // A refused file from the command line: its message, a new game, the folder kept.
    const QString bad = put("bad.ngf", ngfRecord("26"));
    auto refused = open({}, {bad});
    EXPECT_EQ(prompts.texts("warn"), std::vector<QString>{"２路から２５路までの碁盤しか扱えません"});
    EXPECT_EQ(refused->windowTitle(), QStringLiteral("新規 - Tavrin"));
    EXPECT_EQ(refused->prefs.LastReadDir, dir.path() + "/棋譜 集/");
    EXPECT_FALSE(inside(*refused).ReplayMode);
}

// Real records: each one that loads saves under a new name (an NGF record as .sgf) and
// reads back as the same record. The records are copied first, so nothing here can ever
// write into the shared folder.
TEST_F(FileWindowTest, CorpusRecordsSurviveOpenSaveAsAndReopen) {
    SKIP_WITHOUT_CORPUS();
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/in"));
    int loaded = 0;
    for (const char* folder : {"small", "sjis", "ngf"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(corpusDir() / folder)) {
            if (!entry.is_regular_file() || recordKind(entry.path().string()) == RecordKind::None) continue;
            SCOPED_TRACE(entry.path().string());
            const QString copy = dir.path() + "/in/" + QString::fromStdString(entry.path().filename().string());
            QFile::remove(copy);
            ASSERT_TRUE(QFile::copy(QString::fromStdString(entry.path().string()), copy));
            prompts.asked.clear();
            auto w = open();
            openThroughDialog(*w, prompts, copy);
            if (w->Doc.FileName.empty()) {
                // Refused: exactly one message, and the window is still untitled.
                EXPECT_EQ(prompts.texts("warn").size() + prompts.texts("error").size(), 1u);
                EXPECT_EQ(w->windowTitle(), QStringLiteral("新規 - Tavrin"));
                continue;
            }
            ++loaded;
            EXPECT_EQ(w->kifuRowCount(), w->Game.MoveCount + 1);
            const QString out = dir.path() + "/copy.sgf";
            prompts.saveChoices.push_back(out);
            w->ui.actFileSaveAs->trigger();
            ASSERT_EQ(QString::fromStdString(w->Doc.FileName), out);
            auto back = open();
            openThroughDialog(*back, prompts, out);
            EXPECT_EQ(moves(back->Game), moves(w->Game));
            EXPECT_EQ(back->Game.BlackPlayer, w->Game.BlackPlayer);
            EXPECT_EQ(back->Game.GameName, w->Game.GameName);
            EXPECT_EQ(back->Game.KomiTenths, w->Game.KomiTenths);
        }
    }
    EXPECT_GE(loaded, 30);
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

// A record with a game comment, comments and a variation at move 1, through the window:
// the comment window follows the shown position and names the variations, an edit goes
// into the saved file, playing on and taking back edit the main line, and the variation
// and every comment survive saving and reading back.
TEST_F(FileWindowTest, CommentsAndVariationsLiveThroughTheWindow) {
    const QByteArray record =
        "(;GM[1]FF[4]SZ[9]GC[game note]C[root comment]PB[Kuro]PW[Shiro]KM[6.5]"
        ";B[cc]C[first](;W[gc]C[main reply];B[ee])(;W[dd]C[other]))";
    const QString path = put("tree.sgf", record);
    auto w = open();
    w->ui.actDispComment->trigger();
    ASSERT_FALSE(w->ui.dckComment->isHidden());
    openThroughDialog(*w, prompts, path);
    ASSERT_EQ(w->Game.MoveCount, 3);

    struct Shown {
        int move;
        const char* comment;
        bool variations;
    } shown[] = {{0, "root comment", false}, {1, "first", true}, {2, "main reply", false}, {3, "", false}};
    for (const Shown& s : shown) {
        SCOPED_TRACE(s.move);
        inside(*w).kifuStepTo(s.move + 1);
        inside(*w).prcKifActCtrl();
        EXPECT_EQ(w->ui.memComment->toPlainText(), QString::fromUtf8(s.comment));
        EXPECT_EQ(w->ui.lblCommentInfo->text().contains(QStringLiteral("変化が1つ")), s.variations);
        EXPECT_EQ(w->kifuRow(s.move)->data(0, Qt::UserRole).toInt() > 0, s.variations);
    }
    inside(*w).kifuStepTo(1);
    inside(*w).prcKifActCtrl();
    EXPECT_TRUE(w->ui.lblCommentInfo->text().contains(QStringLiteral("game note")));

    // An edit at move 2 marks the record modified and is saved with it.
    inside(*w).kifuStepTo(3);
    inside(*w).prcKifActCtrl();
    w->ui.memComment->setPlainText(QStringLiteral("白の応手\n二行目"));
    EXPECT_TRUE(w->Doc.Modified);
    EXPECT_TRUE(w->ui.actFileSave->isEnabled());
    // Playing on from the end appends to the main line; a take-back removes it again, and
    // a second move stays.
    w->ui.actKifuLast->trigger();
    w->ui.actPlayResume->trigger();
    inside(*w).prcHit(test::pt(w->Game, 7, 7), w->Game.SideToMove);
    inside(*w).prcHit(test::pt(w->Game, 3, 7), w->Game.SideToMove);
    w->ui.actPlayMatta->trigger();
    ASSERT_EQ(w->Game.MoveCount, 4);
    w->ui.actFileSave->trigger();
    ASSERT_FALSE(w->Doc.Modified);

    const QByteArray saved = bytesOf(path);
    EXPECT_TRUE(saved.contains("C[other]")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("GC[game note]"));
    EXPECT_FALSE(saved.contains("[cg]"));  // the move taken back
    auto again = open();
    again->ui.actDispComment->trigger();
    openThroughDialog(*again, prompts, path);
    ASSERT_EQ(again->Game.MoveCount, 4);
    EXPECT_EQ(again->Game.MovePos[4], test::pt(again->Game, 7, 7));
    inside(*again).kifuStepTo(3);
    inside(*again).prcKifActCtrl();
    EXPECT_EQ(again->ui.memComment->toPlainText(), QStringLiteral("白の応手\n二行目"));
    inside(*again).kifuStepTo(2);
    inside(*again).prcKifActCtrl();
    EXPECT_EQ(again->kifuRow(1)->data(0, Qt::UserRole).toInt(), 1);

    // Resuming at move 1 cuts the main line there; the root's comment stays.
    prompts.answers.push_back(Answer::Yes);
    again->ui.actPlayResume->trigger();
    ASSERT_EQ(again->Game.MoveCount, 1);
    EXPECT_EQ(again->Tree().moveCount(), 1);
    // The variation at move 1 was an alternative to the move cut away: its mark goes too.
    EXPECT_EQ(again->kifuRow(1)->data(0, Qt::UserRole).toInt(), 0);
    EXPECT_EQ(again->Tree().comment(0), "root comment");
    // A new game replaces the tree.
    inside(*again).prcNewSet();
    EXPECT_EQ(again->Tree().comment(0), "");
    EXPECT_EQ(again->Tree().moveCount(), 0);
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

// 棋譜ウィンドウ from the menu shows the record's figures, follows the record, and saves
// through the program's own save dialog.
TEST_F(FileWindowTest, KifuWindowShowsFollowsAndSavesTheRecord) {
    auto w = open();
    openThroughDialog(*w, prompts, put("kifu.sgf", ThreeMoves));
    ASSERT_TRUE(w->ui.actDispKifu->isEnabled());
    w->ui.actDispKifu->trigger();
    ASSERT_TRUE(w->ui.kifuWindow->isVisible());
    EXPECT_EQ(w->ui.kifuWindow->figureCount(), 1);
    const QString pdf = dir.path() + "/kifu.pdf";
    prompts.saveChoices.push_back(pdf);
    w->ui.kifuWindow->findChild<QPushButton*>("btnKifuSave")->click();
    EXPECT_TRUE(bytesOf(pdf).startsWith("%PDF"));
    EXPECT_EQ(prompts.lastSave.folder, w->prefs.LastWriteDir);
    w->ui.kifuWindow->hide();
}

}  // namespace
}  // namespace tavrin::test
