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
#include <algorithm>

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
    QVBoxLayout* column = buildDockPane(ui.dckFskJsk, QStringLiteral("布石定石"), QStringLiteral("dckFskJsk"),
                                        ui.lblFskJsk, QStringLiteral("lblFskJsk"), Qt::RightDockWidgetArea);
    QWidget* body = column->parentWidget();
    ui.lsvFskJsk = new QTreeWidget(body);
    ui.lsvFskJsk->setObjectName(QStringLiteral("lsvFskJsk"));
    ui.lsvFskJsk->setHeaderLabels({QStringLiteral("記号"), QStringLiteral("着手"), QStringLiteral("局数"),
                                   QStringLiteral("黒勝"), QStringLiteral("白勝"), QStringLiteral("割合")});
    ui.lsvFskGames = new QTreeWidget(body);
    ui.lsvFskGames->setObjectName(QStringLiteral("lsvFskGames"));
    ui.lsvFskGames->setHeaderLabels(
        {QStringLiteral("黒"), QStringLiteral("白"), QStringLiteral("日付"), QStringLiteral("結果")});
    ui.lsvFskGames->setStatusTip(QStringLiteral("ダブルクリックでその棋譜をこの局面で開きます"));
    for (QTreeWidget* list : {ui.lsvFskJsk, ui.lsvFskGames}) {
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    column->addWidget(ui.lsvFskJsk, 1);
    column->addWidget(ui.lsvFskGames, 1);
    connect(ui.lsvFskJsk, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ui.lsvFskGames->clear();
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
        ui.lsvFskGames->addTopLevelItems(rows);
    });
    connect(ui.lsvFskGames, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) openLibraryGame(item->data(0, Qt::UserRole).toInt());
    });
}

void TfrmMain::addStatusProgress(QProgressBar*& bar, QToolButton*& stop, const QString& name, const QString& what,
                                 const QString& widest, const QString& stopText, const QString& stopTip) {
    bar = new QProgressBar(ui.stbMain);
    bar->setObjectName(QStringLiteral("prb") + name);
    bar->setFormat(what + QStringLiteral(" %v/%m"));
    // Room for the largest counts on one line.
    bar->setFixedWidth(bar->fontMetrics().horizontalAdvance(what + QLatin1Char(' ') + widest) + 16);
    stop = new QToolButton(ui.stbMain);
    stop->setText(stopText);
    stop->setToolTip(stopTip);
    // Hidden before they join the status bar: shown, they would widen the window.
    bar->hide();
    stop->hide();
    ui.stbMain->addPermanentWidget(bar);
    ui.stbMain->addPermanentWidget(stop);
}

void TfrmMain::buildLibraryProgress() {
    // Indexing shows in the status bar, with a button that stops it.
    addStatusProgress(ui.prbLibrary, ui.btnLibraryStop, QStringLiteral("Library"), QStringLiteral("棋譜"),
                      QStringLiteral("888888/888888"), QStringLiteral("×"),
                      QStringLiteral("棋譜ライブラリの作成を中止する"));
    ui.btnLibraryStop->setObjectName(QStringLiteral("btnLibraryStop"));
    connect(ui.btnLibraryStop, &QToolButton::clicked, ui.libraryIndexer, &LibraryIndexer::stop);
    connect(ui.libraryIndexer, &LibraryIndexer::progress, this, [this](int done, int total) {
        ui.prbLibrary->setRange(0, total);
        ui.prbLibrary->setValue(done);
    });
    connect(ui.libraryIndexer, &LibraryIndexer::finished, this, &TfrmMain::libraryIndexed);
}

void TfrmMain::actDispKifuExecute() {
    // Made on first use, with its settings as the file has them.
    if (!ui.kifuWindow)
        ui.kifuWindow =
            makeKifuWindow(Game, Record, this, prompts, prefs.SettingsPath, [this] { return prefs.LastWriteDir; });
    ui.kifuWindow->show();
    ui.kifuWindow->raise();
    ui.kifuWindow->activateWindow();
    ui.kifuWindow->followRecord();
}

void TfrmMain::actDispFskJskExecute() {
    // The mark has already been flipped on executing.
    if (!ui.dckFskJsk) buildLibraryPane();
    showPane(ui.dckFskJsk, ui.actDispFskJsk->isChecked(), prefs.FskJskSize);
    prcFskJskShow();
}

void TfrmMain::startLibraryIndexing() {
    if (ui.libraryIndexer->running()) return;
    if (!ui.prbLibrary) buildLibraryProgress();
    ui.prbLibrary->setRange(0, 0);
    showLibraryProgress(true);
    // The window's index answers queries meanwhile and is replaced when the run is done.
    ui.libraryIndexer->start(prefs.LibraryFolders, libraryCachePath());
}

void TfrmMain::showLibraryProgress(bool shown) {
    // The bar and its button take their room from the message field, so the status bar
    // asks for no more width and the window keeps its size.
    const int taken = shown ? ui.prbLibrary->width() + ui.btnLibraryStop->sizeHint().width() + 8 : 0;
    ui.stbPanel[0]->setMinimumWidth(std::max(0, MessagePanelWidth - taken));
    ui.prbLibrary->setVisible(shown);
    ui.btnLibraryStop->setVisible(shown);
}

void TfrmMain::stopLibraryIndexing() {
    if (!ui.libraryIndexer->running()) return;
    ui.libraryIndexer->abandon();
    showLibraryProgress(false);
}

void TfrmMain::libraryIndexed(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled) {
    Library = index;
    showLibraryProgress(false);
    setStatusText(0, QStringLiteral("棋譜ライブラリ: %1局（読めない棋譜 %2）%3")
                         .arg(Library->indexedCount())
                         .arg(Library->refusedCount())
                         .arg(cancelled ? QStringLiteral("　作成を中止しました") : QString()));
    prcFskJskShow();
}

void TfrmMain::prcFskJskShow() {
    if (!ui.dckFskJsk || ui.dckFskJsk->isHidden()) {
        if (ui.pnlMain) ui.pnlMain->setLetters({});
        return;
    }
    const library::PositionKey key = library::positionKey(Game);
    const library::LibraryExploration found = key.valid() ? Library->explore(key) : library::LibraryExploration{};
    LibraryKey = key;
    ui.lsvFskJsk->clear();
    ui.lsvFskGames->clear();
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
    ui.lsvFskJsk->addTopLevelItems(rows);
    QString info =
        QStringLiteral("この局面を通る棋譜: %1局（ライブラリ %2局）").arg(found.Games).arg(Library->indexedCount());
    if (prefs.LibraryFolders.isEmpty())
        info = QStringLiteral("棋譜のフォルダがありません。表示 → 環境設定 で追加してください。");
    if (ui.libraryIndexer->running()) info += QStringLiteral("\n作成中…");
    ui.lblFskJsk->setText(info);
    ui.pnlMain->setLetters(letters);
}

void TfrmMain::openLibraryGame(int id) {
    if (id < 0 || id >= static_cast<int>(Library->records().size())) return;
    const library::LibraryRecord r = Library->record(id);
    const library::PositionKey key = LibraryKey;
    const QString path = QFile::decodeName(QByteArray::fromStdString(r.Path));
    const std::string before = Doc.FileName;
    FormDropFiles(path);
    if (Doc.FileName != r.Path || (before == r.Path && Doc.Modified)) return;
    // Shown at the move where it reaches the position it was found at.
    const int at = library::firstPass(Game, key);
    if (at < 0) return;
    kifuStepTo(at + 1);
    prcKifActCtrl();
}

}  // namespace tavrin
