// The library of the player's own records in the window: indexing its folders in the
// background (kept in the user's cache folder), and 布石定石, the opening explorer that lists
// what the library's games played next at the shown position.

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include "app/LibraryIndexer.h"
#include "app/TfrmMain.h"
#include "base/SettingsFile.h"
#include "library/LibraryIndex.h"
#include "view/BoardView.h"
#include "view/KifuWindow.h"
#include "view/KifuWindowFactory.h"

namespace tavrin {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString TfrmMain::libraryCachePath() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/Tavrin/library.cache");
}

void TfrmMain::buildLibraryPane() {
    QVBoxLayout* column = buildDockPane(dckFskJsk, QStringLiteral("布石定石"), QStringLiteral("dckFskJsk"), lblFskJsk,
                                        QStringLiteral("lblFskJsk"), Qt::RightDockWidgetArea);
    QWidget* body = column->parentWidget();
    lsvFskJsk = new QTreeWidget(body);
    lsvFskJsk->setObjectName(QStringLiteral("lsvFskJsk"));
    lsvFskJsk->setHeaderLabels({QStringLiteral("記号"), QStringLiteral("着手"), QStringLiteral("局数"),
                                QStringLiteral("黒勝"), QStringLiteral("白勝"), QStringLiteral("割合")});
    lsvFskGames = new QTreeWidget(body);
    lsvFskGames->setObjectName(QStringLiteral("lsvFskGames"));
    lsvFskGames->setHeaderLabels(
        {QStringLiteral("黒"), QStringLiteral("白"), QStringLiteral("日付"), QStringLiteral("結果")});
    lsvFskGames->setStatusTip(QStringLiteral("ダブルクリックでその棋譜をこの局面で開きます"));
    for (QTreeWidget* list : {lsvFskJsk, lsvFskGames}) {
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    column->addWidget(lsvFskJsk, 1);
    column->addWidget(lsvFskGames, 1);
    connect(lsvFskJsk, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        lsvFskGames->clear();
        if (!item) return;
        const QList<QVariant> ids = item->data(0, Qt::UserRole).toList();
        QList<QTreeWidgetItem*> rows;
        for (const QVariant& id : ids) {
            const library::LibraryRecord& r = Library->record(id.toInt());
            auto* row = new QTreeWidgetItem(
                QStringList{qs(r.BlackPlayer), qs(r.WhitePlayer), qs(r.GameDate), qs(r.GameResult)});
            row->setData(0, Qt::UserRole, id);
            row->setToolTip(0, qs(r.Path));
            rows.append(row);
        }
        lsvFskGames->addTopLevelItems(rows);
    });
    connect(lsvFskGames, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) openLibraryGame(item->data(0, Qt::UserRole).toInt());
    });
}

void TfrmMain::buildLibraryProgress() {
    // Indexing shows in the status bar, with a button that stops it.
    prbLibrary = new QProgressBar(stbMain);
    prbLibrary->setObjectName(QStringLiteral("prbLibrary"));
    prbLibrary->setFormat(QStringLiteral("棋譜 %v/%m"));
    // Room for the largest counts on one line.
    prbLibrary->setFixedWidth(prbLibrary->fontMetrics().horizontalAdvance(QStringLiteral("棋譜 888888/888888")) + 16);
    btnLibraryStop = new QToolButton(stbMain);
    btnLibraryStop->setObjectName(QStringLiteral("btnLibraryStop"));
    btnLibraryStop->setText(QStringLiteral("×"));
    btnLibraryStop->setToolTip(QStringLiteral("棋譜ライブラリの作成を中止する"));
    stbMain->addPermanentWidget(prbLibrary);
    stbMain->addPermanentWidget(btnLibraryStop);
    prbLibrary->hide();
    btnLibraryStop->hide();
    connect(btnLibraryStop, &QToolButton::clicked, libraryIndexer, &LibraryIndexer::stop);
    connect(libraryIndexer, &LibraryIndexer::progress, this, [this](int done, int total) {
        prbLibrary->setRange(0, total);
        prbLibrary->setValue(done);
    });
    connect(libraryIndexer, &LibraryIndexer::finished, this, &TfrmMain::libraryIndexed);
}

void TfrmMain::actDispKifuExecute() {
    // Made on first use, with its settings as the file has them.
    if (!kifuWindow) kifuWindow = makeKifuWindow(Game, this, prompts, SettingsPath, [this] { return LastWriteDir; });
    kifuWindow->show();
    kifuWindow->raise();
    kifuWindow->activateWindow();
    kifuWindow->followRecord();
}

void TfrmMain::actDispFskJskExecute() {
    // The mark has already been flipped on executing.
    if (!dckFskJsk) buildLibraryPane();
    showPane(dckFskJsk, actDispFskJsk->isChecked(), FskJskSize);
    prcFskJskShow();
}

void TfrmMain::startLibraryIndexing() {
    if (libraryIndexer->running()) return;
    if (!prbLibrary) buildLibraryProgress();
    prbLibrary->setRange(0, 0);
    prbLibrary->show();
    btnLibraryStop->show();
    // The window's index answers queries meanwhile and is replaced when the run is done.
    libraryIndexer->start(LibraryFolders, libraryCachePath());
}

void TfrmMain::stopLibraryIndexing() {
    if (!libraryIndexer->running()) return;
    libraryIndexer->abandon();
    prbLibrary->hide();
    btnLibraryStop->hide();
}

void TfrmMain::libraryIndexed(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled) {
    Library = index;
    prbLibrary->hide();
    btnLibraryStop->hide();
    setStatusText(0, QStringLiteral("棋譜ライブラリ: %1局（読めない棋譜 %2）%3")
                         .arg(Library->indexedCount())
                         .arg(Library->refusedCount())
                         .arg(cancelled ? QStringLiteral("　作成を中止しました") : QString()));
    prcFskJskShow();
}

void TfrmMain::prcFskJskShow() {
    if (!dckFskJsk || dckFskJsk->isHidden()) {
        if (pnlMain) pnlMain->setLetters({});
        return;
    }
    const library::PositionKey key = library::positionKey(Game);
    const library::LibraryExploration found = key.valid() ? Library->explore(key) : library::LibraryExploration{};
    LibraryKey = key;
    lsvFskJsk->clear();
    lsvFskGames->clear();
    std::vector<std::pair<int, QString>> letters;
    QList<QTreeWidgetItem*> rows;
    int k = 0;
    for (const library::LibraryMove& m : found.Moves) {
        const QString letter = k < 26 ? QString(QChar('A' + k)) : QString();
        ++k;
        const int share = found.Games > 0 ? (100 * m.Games + found.Games / 2) / found.Games : 0;
        auto* row = new QTreeWidgetItem(QStringList{letter, kifuPointText(m.Pos).simplified(), QString::number(m.Games),
                                                    QString::number(m.BlackWins), QString::number(m.WhiteWins),
                                                    QStringLiteral("%1%").arg(share)});
        QList<QVariant> ids;
        for (int id : m.GameIds) ids.append(id);
        row->setData(0, Qt::UserRole, ids);
        rows.append(row);
        if (!letter.isEmpty() && m.Pos != PassPos) letters.emplace_back(m.Pos, letter);
    }
    lsvFskJsk->addTopLevelItems(rows);
    QString info =
        QStringLiteral("この局面を通る棋譜: %1局（ライブラリ %2局）").arg(found.Games).arg(Library->indexedCount());
    if (LibraryFolders.isEmpty())
        info = QStringLiteral("棋譜のフォルダがありません。表示 → 環境設定 で追加してください。");
    if (libraryIndexer->running()) info += QStringLiteral("\n作成中…");
    lblFskJsk->setText(info);
    pnlMain->setLetters(letters);
}

void TfrmMain::openLibraryGame(int id) {
    if (id < 0 || id >= static_cast<int>(Library->records().size())) return;
    const library::LibraryRecord r = Library->record(id);
    const library::PositionKey key = LibraryKey;
    const QString path = QFile::decodeName(QByteArray::fromStdString(r.Path));
    const std::string before = Game.CurrentFileName;
    FormDropFiles(path);
    if (Game.CurrentFileName != r.Path || (before == r.Path && Game.Modified)) return;
    // Shown at the move where it reaches the position it was found at.
    const int at = library::firstPass(Game, key);
    if (at < 0) return;
    kifuStepTo(at + 1);
    prcKifActCtrl();
}

}  // namespace tavrin
