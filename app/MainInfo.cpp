// New-game set-up on the window, the information panel, the status bar and the move-list
// rows.

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <optional>

#include "app/CountingPanel.h"
#include "app/TfrmMain.h"
#include "engine/Gtp.h"
#include "formats/RecordLoad.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"
#include "view/KifuWindow.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void TfrmMain::prcNewSet(const GameState& from) {
    ui.engineTurn->stop();
    ui.tmrTime->stop();
    if (Doc.FileName.empty()) setTitle(QStringLiteral("新規 - Tavrin"));
    // Before the settings are corrected: an impossible handicap shows no text.
    ui.lblPutStone->setText(qs(handicapLabel(from.HandicapCount)));
    // The first game of a start-up is named by the time it began.
    GameState settings = from;
    // On a board the engine does not play on, the game is one of two people.
    if (settings.BoardSize > gtp::MaxBoardSize) settings.BlackPlayerKind = settings.WhitePlayerKind = true;
    if (SetupState == 1 && settings.GameName.empty()) {
        const QDateTime now = QDateTime::currentDateTime();
        settings.GameName = defaultGameTitle(now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                                             now.time().minute());
    }
    // Board, record, coordinate names, handicap stones, position, date, clocks and flags.
    Record.newGame(settings, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    prcInfoSameSet();
    leaveStudyAndEditing();
    Doc.Modified = false;
    ReplayMode = false;
    MouseArmed = false;
    SetupState = 9;
    ui.lsvKifu->clear();
    addKifuStartRow();
    setKifuFocusRow(0);
    ui.lblBlackGetStone->setText(qs(capturedLabel(0)));
    ui.lblWhiteGetStone->setText(qs(capturedLabel(0)));
    actPnlMainReSizeExecute();
    ui.lblBlackTime->setText(qs(ClockZeroText));
    ui.lblWhiteTime->setText(qs(ClockZeroText));
    setStatusText(4, qs(ClockZeroText));
    prcKifUpDate();
    actPlayResumeExecute();
    prcInfoDsp();
}

void TfrmMain::prcInfoSameSet() {
    ui.lblGameName->setText(qs(gameNameLabel(Game.GameName)));
    ui.lblGameComment->setText(Game.GameComment.empty() ? qs(NoGameResultText) : qs(fncReToComment(Game.GameComment)));
    ui.lblBlackPlayer->setText(qs(playerLabel(Game.BlackPlayer, Black)));
    ui.lblBlackPlayer->adjustSize();
    ui.lblWhitePlayer->setText(qs(playerLabel(Game.WhitePlayer, White)));
    ui.lblWhitePlayer->adjustSize();
    ui.lblKomi->setText(qs(komiLabel(Game.KomiTenths, Game.KomiGiven, Game.KomiWritten)));
}

void TfrmMain::prcInfoDsp() {
    ui.lblBlackGetStone->setText(qs(capturedLabel(Game.CapturedCount[Black])));
    ui.lblWhiteGetStone->setText(qs(capturedLabel(Game.CapturedCount[White])));
    const StatusTexts t = statusTexts(Game);
    setStatusText(1, qs(t.moveNumber));
    setStatusText(2, qs(t.lastPoint));
    setStatusText(3, qs(t.turn));
    // Also removes a refusal message of the legality check; an engine's restart is told once more.
    const QString notice = ui.engineTurn->takeNotice();
    // A move of the record that the rules refuse is named while it is shown.
    const bool illegal = Record.illegalAt(Record.depth());
    setStatusText(0, !notice.isEmpty() ? notice
                     : illegal         ? qs(illegalMoveNotice(Record.movesThrough(Record.depth())))
                                       : restingStatus());
    // A hint's or a judgement's marks go with the next step, so does a question about them;
    // counting ends without a result.
    ui.engineTurn->positionChanged();
    ui.pnlMain->setHint(0);
    if (counting())
        ui.countingPanel->finish(false);
    else
        ui.pnlMain->clearMarks();
    prcCommentShow();
    showNodeMarks();
    showAnnotations();
    prcFskJskShow();
    if (ui.kifuWindow) ui.kifuWindow->followRecord();
}

void TfrmMain::prcKifUpDate() {
    // Play, take-back and resume change the record at its end only: the rows from there on
    // may gain or lose their variations.
    markVariationRows(std::max(0, Game.MoveCount - 1));
    applyCommandStates();
}

QString TfrmMain::restingStatus() const {
    // A mode is named for as long as it lasts.
    const QString name = mode().name();
    if (!name.isEmpty()) return name;
    if (EngineFound && !engineTakesSize())
        return QStringLiteral("Rokiru は%1路盤では打てません（１９路盤まで）").arg(Game.BoardSize);
    return qs(HelpHintText);
}

void TfrmMain::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < 6) ui.stbPanel[static_cast<std::size_t>(panel)]->setText(text);
}

QString TfrmMain::statusText(int panel) const {
    return panel >= 0 && panel < 6 ? ui.stbPanel[static_cast<std::size_t>(panel)]->text() : QString();
}

int TfrmMain::kifuRowCount() const { return ui.lsvKifu->topLevelItemCount(); }

QTreeWidgetItem* TfrmMain::kifuRow(int row) const { return ui.lsvKifu->topLevelItem(row); }

QTreeWidgetItem* TfrmMain::addKifuRow(int k, const QString& point, int colour, const QString& time) {
    QTreeWidgetItem* item = makeKifuRow(k, point, colour, time);
    ui.lsvKifu->addTopLevelItem(item);
    return item;
}

const QIcon& TfrmMain::kifuIcon(int k) const {
    // One icon of each kind shared by every row: a long record builds hundreds of rows.
    if (kifuIcons_.empty())
        for (const QPixmap& p : ui.imgListMk1) kifuIcons_.emplace_back(p);
    return kifuIcons_.at(static_cast<std::size_t>(k));
}

QTreeWidgetItem* TfrmMain::makeKifuRow(int k, const QString& point, int colour, const QString& time) const {
    auto* item = new QTreeWidgetItem(QStringList{qs(moveRowCaption(k)), point, time});
    // "%4d" is right-aligned: where the marker leaves too little room, the leading blanks are
    // what gets cut, never the digits.
    item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    if (colour == Black || colour == White) item->setIcon(1, kifuIcon(colour));
    return item;
}

void TfrmMain::addKifuStartRow() {
    auto* start = new QTreeWidgetItem(ui.lsvKifu, QStringList{qs(StartRowText), QString(), QString()});
    start->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    // Rows share the start row's height; it is that of a row with a marker whether or not
    // the start row has one, so no row grows or shrinks as the marker comes and goes.
    const int height = std::max(QFontMetrics(ui.lsvKifu->font()).height(), ui.lsvKifu->iconSize().height()) + 2;
    start->setSizeHint(0, QSize(0, height));
}

void TfrmMain::setKifuRowMarker(int row, bool on) {
    if (QTreeWidgetItem* item = kifuRow(row)) item->setIcon(0, on ? kifuIcon(0) : QIcon());
}

void TfrmMain::setKifuFocusRow(int row) {
    QTreeWidgetItem* item = kifuRow(row);
    if (!item) return;
    const QModelIndex index = ui.lsvKifu->indexFromItem(item);
    ui.lsvKifu->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    ui.lsvKifu->scrollToItem(item, QAbstractItemView::EnsureVisible);
}

void TfrmMain::removeKifuRowsFrom(int row) {
    for (int r = kifuRowCount() - 1; r >= row && r >= 0; --r) delete ui.lsvKifu->takeTopLevelItem(r);
}

void TfrmMain::rebuildKifuList() {
    ui.lsvKifu->clear();
    addKifuStartRow();
    const int count = std::min(Game.MoveCount, RecordCapacity - Game.HandicapCount);
    // All rows in one insertion: row by row, a long record spends most of its load time
    // announcing each new row to the view.
    QList<QTreeWidgetItem*> rows;
    rows.reserve(count > 0 ? count : 0);
    // The numbers the record gives its moves: MN at a move (a diagram's first move, "1")
    // numbers it and the moves after it on.
    std::vector<int> numbers(static_cast<size_t>(std::max(count, 0)) + 1);
    int offset = 0;
    int k = 0;
    for (size_t i = 1; i < Record.line().size() && k < count; ++i) {
        bool move = false;
        std::optional<int> mn;
        for (RecordTree::PropId p = Tree().firstProperty(Record.line()[i]); p != RecordTree::None;
             p = Tree().nextProperty(p)) {
            const std::string_view id = Tree().identifier(p);
            move = move || Tree().mainLineRole(p) == RecordTree::Role::Move || id == "B" || id == "W";
            if (id == "MN" && Tree().valueCount(p) > 0) mn = wholeNumber(Tree().value(p, 0));
        }
        if (!move) continue;
        ++k;
        if (mn && *mn > 0) offset = *mn - k;
        numbers[static_cast<size_t>(k)] = k + offset;
    }
    for (++k; k <= count; ++k) numbers[static_cast<size_t>(k)] = k + offset;
    for (k = 1; k <= count; ++k) {
        const int entry = Game.HandicapCount + k;
        const int pos = Game.MovePos[static_cast<std::size_t>(entry)];
        rows.append(makeKifuRow(numbers[static_cast<size_t>(k)], kifuPointText(pos),
                                Game.MoveColor[static_cast<std::size_t>(entry)], QString()));
    }
    ui.lsvKifu->addTopLevelItems(rows);
    const int row = Game.CurrentMove - 1;
    if (count >= 1) setKifuRowMarker(row, true);
    setKifuFocusRow(row);
}

QString TfrmMain::kifuPointText(int pos) const {
    if (pos == PassPos) return qs(PassText);
    if (pos >= 0 && pos <= CoordNameLast) return qs(Game.CoordName[static_cast<std::size_t>(pos)]);
    return QString();
}

QString TfrmMain::fileNamePart(const QString& path) { return QFileInfo(path).fileName(); }

}  // namespace tavrin
