// The library and 布石定石 on the real window: folders indexed in the background into the
// user's cache folder, the candidates of the shown position on the board and in the pane,
// and a game of the library opened at the position.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/LibraryIndexer.h"
#include "library/LibraryIndex.h"
#include "tests/app/PlayKit.h"

namespace tavrin::test {
namespace {

class LibraryWindowTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        hadCache = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
        savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
        ASSERT_TRUE(QDir().mkpath(dir.path() + "/lib/sub"));
        // The same opening in two corners (black's win and white's), another first move.
        writeFile(dir.path() + "/lib/a.sgf", "(;GM[1]FF[4]SZ[19]PB[甲]PW[乙]RE[B+R];B[pd];W[dp];B[pp])");
        writeFile(dir.path() + "/lib/sub/b.SGF", "(;GM[1]FF[4]SZ[19]PB[丙]PW[丁]RE[W+2.5];B[dd];W[pp];B[dp])");
        writeFile(dir.path() + "/lib/c.sgf", "(;GM[1]FF[4]SZ[19]PB[戊]PW[己]RE[B+1];B[qd];W[dd])");
        writeFile(dir.path() + "/lib/refused.sgf", "(;GM[1]SZ[19]AB[aa]AW[aa];B[pd])");
    }
    void TearDown() override {
        PlayTest::TearDown();
        if (hadCache)
            qputenv("XDG_CACHE_HOME", savedCache);
        else
            qunsetenv("XDG_CACHE_HOME");
    }
    void index() {
        w->prefs.LibraryFolders = {dir.path() + "/lib"};
        inside(*w).startLibraryIndexing();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->ui.libraryIndexer->running(); }, 10000));
    }
    QString cell(QTreeWidget* list, int row, int column) const {
        QTreeWidgetItem* item = list->topLevelItem(row);
        return item ? item->text(column) : QStringLiteral("<none>");
    }
    bool hadCache = false;
    QByteArray savedCache;
};

TEST_F(LibraryWindowTest, CandidatesOfTheShownPositionAndAGameOpenedThere) {
    index();
    EXPECT_TRUE(QFile::exists(dir.path() + "/cache/Tavrin/library.cache"));
    EXPECT_TRUE(w->statusText(0).contains(QStringLiteral("3局")));
    w->ui.actDispFskJsk->trigger();
    ASSERT_FALSE(w->ui.dckFskJsk->isHidden());

    // The empty board is symmetric: the two 4-4 openings are one candidate, at the first of
    // them in reading order (the board's own name: column D, row 4 from the top).
    ASSERT_EQ(w->ui.lsvFskJsk->topLevelItemCount(), 2);
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 0), QStringLiteral("A"));
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 1), QStringLiteral("D 4"));
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 2), QStringLiteral("2"));
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 3), QStringLiteral("1"));
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 4), QStringLiteral("1"));
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 1, 2), QStringLiteral("1"));
    EXPECT_EQ(w->ui.pnlMain->letters().size(), 2u);

    // The play follows: after black's 4-4 point in the lower right, both games answer alike.
    click(16, 16);
    ASSERT_EQ(w->ui.lsvFskJsk->topLevelItemCount(), 1);
    EXPECT_EQ(cell(w->ui.lsvFskJsk, 0, 2), QStringLiteral("2"));
    ASSERT_EQ(w->ui.pnlMain->letters().size(), 1u);
    const int answer = w->ui.pnlMain->letters().front().first;
    // White answered in the corner across: turned to this board, the upper left.
    EXPECT_EQ(answer, P(4, 4));

    // The games of the candidate; a double click opens one at the position.
    w->ui.lsvFskJsk->setCurrentItem(w->ui.lsvFskJsk->topLevelItem(0));
    ASSERT_EQ(w->ui.lsvFskGames->topLevelItemCount(), 2);
    w->Doc.Modified = false;
    QTreeWidgetItem* game = w->ui.lsvFskGames->topLevelItem(1);
    emit w->ui.lsvFskGames->itemDoubleClicked(game, 0);
    EXPECT_TRUE(QString::fromStdString(w->Doc.FileName).endsWith(QStringLiteral(".SGF")));
    EXPECT_EQ(w->Game.CurrentMove, 2);
    EXPECT_TRUE(inside(*w).ReplayMode);

    // The turned board shows the same letters at the same points.
    w->ui.actDispGbnHanten->trigger();
    EXPECT_EQ(w->ui.pnlMain->letters().size(), 1u);
}

// A library that changes: a file added is found by the next indexing, which starts from
// the cache; stopping indexing keeps what was read.
TEST_F(LibraryWindowTest, IndexingFollowsTheFoldersFromTheCache) {
    index();
    writeFile(dir.path() + "/lib/d.sgf", "(;GM[1]FF[4]SZ[19]RE[W+R];B[cc];W[pd])");
    w->ui.actDispFskJsk->trigger();
    index();
    ASSERT_EQ(w->ui.lsvFskJsk->topLevelItemCount(), 3);
    EXPECT_TRUE(w->ui.lblFskJsk->text().contains(QStringLiteral("4局")));
    // New folders while a run works: it is stopped, the next one runs, and the window never
    // takes the stopped run's index nor waits for the new one.
    w->prefs.LibraryFolders = {dir.path() + "/lib"};
    inside(*w).startLibraryIndexing();
    inside(*w).stopLibraryIndexing();
    inside(*w).startLibraryIndexing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->ui.libraryIndexer->running(); }, 10000));
    EXPECT_EQ(inside(*w).Library->indexedCount(), 4);
    w->prefs.LibraryFolders.clear();
    inside(*w).stopLibraryIndexing();
    EXPECT_FALSE(w->ui.libraryIndexer->running());
}

// 環境設定's folders: any folder through the folder dialog (here one holding only folders),
// each once however it is spelled, listed, and removed one by one; OK indexes them.
TEST_F(LibraryWindowTest, FoldersAreChosenListedAndRemovedInTheSettings) {
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/top/inner"));
    writeFile(dir.path() + "/top/inner/e.sgf", "(;GM[1]FF[4]SZ[19]RE[B+R];B[pd];W[dd])");
    w->prefs.LibraryFolders = {dir.path() + "/lib"};
    prompts.folderChoices = {dir.path() + "/top", dir.path() + "/top/inner/../", std::nullopt, QString()};
    QStringList listed;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto* list = d.findChild<QListWidget*>(QStringLiteral("lstFolders"));
        auto* choose = d.findChild<QPushButton*>(QStringLiteral("btnChooseFolder"));
        auto* remove = d.findChild<QPushButton*>(QStringLiteral("btnRemoveFolder"));
        EXPECT_FALSE(remove->isEnabled());  // nothing chosen yet
        for (int i = 0; i < 4; ++i) choose->click();
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
        list->setCurrentRow(0);
        EXPECT_TRUE(remove->isEnabled());
        remove->click();
        d.accept();
        return int(QDialog::Accepted);
    });
    w->ui.actDispConfig->trigger();
    EXPECT_EQ(prompts.texts("folder").size(), 4u);
    EXPECT_EQ(prompts.lastFolder, dir.path() + "/top");  // the dialog starts at the chosen folder
    EXPECT_EQ(listed, (QStringList{dir.path() + "/lib", dir.path() + "/top"}));
    EXPECT_EQ(w->prefs.LibraryFolders, QStringList{dir.path() + "/top"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->ui.libraryIndexer->running(); }, 10000));
    EXPECT_EQ(inside(*w).Library->indexedCount(), 1);
}

// The cache is written again only when the index changed: an unchanged library leaves the
// very file it was read from.
TEST_F(LibraryWindowTest, TheCacheIsWrittenOnlyWhenTheIndexChanged) {
    const QByteArray cache = QFile::encodeName(dir.path() + "/cache/Tavrin/library.cache");
    auto fileId = [&] {
        struct stat st {};
        return ::stat(cache.constData(), &st) == 0 ? st.st_ino : 0;
    };
    index();
    const auto first = fileId();
    ASSERT_NE(first, 0u);
    index();
    EXPECT_EQ(fileId(), first);
    writeFile(dir.path() + "/lib/d.sgf", "(;GM[1]FF[4]SZ[19]RE[W+R];B[cc];W[pd])");
    index();
    EXPECT_NE(fileId(), first);
    EXPECT_EQ(inside(*w).Library->indexedCount(), 4);
}

// A worker held up in a system call (here: opening a cache that is a pipe nobody writes, as a
// slow disk would hold it) never holds up the window: stopping returns without it, and the
// worker ends by itself once the call returns.
TEST_F(LibraryWindowTest, StoppingNeverWaitsForAWorkerHeldUp) {
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/cache/Tavrin"));
    const QByteArray fifo = QFile::encodeName(dir.path() + "/cache/Tavrin/library.cache");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::mutex m;
    std::condition_variable cv;
    bool stopped = false;
    bool released = false;
    // Releases the worker: at once once the window stopped, or after a while when it hangs.
    std::thread release([&] {
        std::unique_lock<std::mutex> hold(m);
        released = !cv.wait_for(hold, std::chrono::seconds(5), [&] { return stopped; });
        hold.unlock();
        // A worker waiting in its open counts as a reader; without one there is nothing to release.
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });
    w->prefs.LibraryFolders = {dir.path() + "/lib"};
    inside(*w).startLibraryIndexing();
    // Stopped once the worker is held up in its open.
    auto workerHeldUp = [] {
        for (const QString& task :
             QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile wchan(QStringLiteral("/proc/self/task/%1/wchan").arg(task));
            if (wchan.open(QIODevice::ReadOnly) && wchan.readAll() == "wait_for_partner") return true;
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(workerHeldUp, 5000));
    inside(*w).stopLibraryIndexing();
    {
        std::lock_guard<std::mutex> hold(m);
        stopped = true;
    }
    cv.notify_all();
    release.join();
    EXPECT_FALSE(released) << "stopping waited for the worker";
    EXPECT_FALSE(w->ui.libraryIndexer->running());
    EXPECT_TRUE(w->ui.prbLibrary->isHidden());
    // The window goes on: a new run indexes the folder.
    ::unlink(fifo.constData());
    index();
    EXPECT_EQ(inside(*w).Library->indexedCount(), 3);
}

}  // namespace
}  // namespace tavrin::test
