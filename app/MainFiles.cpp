// File commands, the clipboard and dropped files.

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTimer>

#include "app/TfrmMain.h"
#include "formats/NgfReader.h"
#include "formats/RecordFile.h"
#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "record/InfoTexts.h"

namespace tavrin {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

const QString DiscardQuestion = QStringLiteral("現在の対局進行を破棄します。\nよろしいですか？");
const QString TitleTail = QStringLiteral(" - Tavrin");
const QString ReadOnlyTitleTail = QStringLiteral("【読み取り専用】 - Tavrin");
const QString UntitledTitle = QStringLiteral("新規 - Tavrin");
// The SGF reader's message for any refusal, also of a paste; the reason follows on a line
// of its own.
const QString SgfRefusedText = QStringLiteral("この棋譜ファイルは読めません");
const QString CannotCreateText = QStringLiteral("読込専用ファイルには書き込めません");
const QString CannotWriteText = QStringLiteral("棋譜ファイルを書き込めませんでした");

// Which reader refused a record: the SGF reader puts its reason under its own message, the
// NGF reader shows the reason alone.
enum class Reader { Sgf, Ngf };

// Shows why a load failed. An empty path has nothing to show. The SGF reader leaves an
// empty file to the general error report, as an error nobody handled; the NGF reader warns
// about it like about any other refusal.
void reportLoadFailure(TfrmMain& w, const LoadResult& r, Reader reader) {
    switch (r.status) {
        case LoadStatus::Ok:
        case LoadStatus::NoPath: return;
        case LoadStatus::CannotOpen: w.prompts.warn(&w, qs(r.reason)); return;
        case LoadStatus::Empty:
            if (reader == Reader::Sgf)
                w.prompts.error(&w, qs(r.reason));
            else
                w.prompts.warn(&w, qs(r.reason));
            return;
        case LoadStatus::Refused:
            w.prompts.warn(&w,
                           reader == Reader::Sgf ? SgfRefusedText + QLatin1Char('\n') + qs(r.reason) : qs(r.reason));
            return;
    }
}

// The folder part of a path with its trailing separator.
QString folderOf(const QString& path) { return QFileInfo(path).absolutePath() + QLatin1Char('/'); }

bool askDiscard(TfrmMain& w) { return w.prompts.confirm(&w, DiscardQuestion) == Answer::Yes; }

// Trimmed as the paste rule wants it: every character up to the space, control characters
// included, goes at both ends (and nothing else, not even a full-width space).
QString trimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).unicode() <= 0x20) ++from;
    while (to > from && text.at(to - 1).unicode() <= 0x20) --to;
    return text.mid(from, to - from);
}

}  // namespace

bool TfrmMain::readByExtension(const QString& path) {
    switch (recordKind(path.toStdString())) {
        case RecordKind::Sgf: return fncFileReadSGF(path);
        case RecordKind::Ngf: return fncFileReadNGF(path);
        case RecordKind::None: break;
    }
    return false;
}

void TfrmMain::showLoadedRecord(const QString& title) {
    leaveStudyAndEditing();
    // The clock of the previous game must not run on into the record.
    ui.tmrTime->stop();
    MouseArmed = false;
    SetupState = 9;
    setTitle(title);
    ui.lblPutStone->setText(qs(handicapLabel(Game, &Tree())));
    prcInfoSameSet();
    ui.lblBlackTime->setText(qs(ClockZeroText));
    ui.lblWhiteTime->setText(qs(ClockZeroText));
    setStatusText(4, qs(ClockZeroText));
    // Draws every stone of the loaded board and the last-move marker.
    actPnlMainReSizeExecute();
    rebuildKifuList();
    markVariationRows();
    prcEndOfGame();
    prcKifUpDate();
    prcInfoDsp();
    // A problem collection (no move on the main line) opens at its start, so does every record
    // when the setting says so.
    const int length = Tree().mainLineLength();
    if (ui.actDispOpenAtStart->isChecked() || (length > 0 && Tree().movesThrough(length - 1) == 0)) {
        if (Game.CurrentMove > 1)
            actKifuFirstExecute();
        else
            showNode(Tree().gameRoot(0));
    }
}

void TfrmMain::actFileOpenExecute() {
    actFileOpenBeforeExecute();
    const std::optional<OpenChoice> choice = prompts.openFile(this, OpenDialog);
    if (!choice || choice->path.isEmpty()) return;
    actFileOpenAccept(*choice);
}

void TfrmMain::actFileOpenBeforeExecute() {
    OpenDialog.title = QStringLiteral("棋譜ファイルを開く");
    OpenDialog.folder = prefs.LastReadDir;
    // The file dialog separates patterns with spaces: each caption keeps its own text and
    // the patterns it filters by follow in a second pair of brackets.
    OpenDialog.filters = {QStringLiteral("棋譜ファイル(*.sgf;*.ngf) (*.sgf *.ngf)"),
                          QStringLiteral("棋譜ファイル(*.sgf) (*.sgf)"), QStringLiteral("棋譜ファイル(*.ngf) (*.ngf)")};
    OpenDialog.defaultSuffix = QStringLiteral("sgf");
    OpenDialog.showReadOnly = true;
}

void TfrmMain::actFileOpenAccept(const OpenChoice& choice) {
    Doc.ReadOnly = choice.readOnly;
    if (readByExtension(choice.path)) prefs.LastReadDir = folderOf(qs(Doc.FileName));
}

void TfrmMain::actFileOpenCKExecute() {
    if (Doc.Modified && !askDiscard(*this)) return;
    actFileOpenExecute();
}

void TfrmMain::actFileReOpenExecute() {
    if (Doc.FileName.empty()) return;
    if (Doc.Modified && !askDiscard(*this)) return;
    // The same file with the same read-only state; the folder memory stays.
    readByExtension(qs(Doc.FileName));
}

void TfrmMain::actFileSaveExecute() {
    // The program writes only SGF, so an NGF file is never overwritten.
    if (Doc.FileName.empty() || recordKind(Doc.FileName) == RecordKind::Ngf) {
        actFileSaveAsExecute();
        return;
    }
    if (Doc.ReadOnly) {
        const QString text = QStringLiteral("棋譜「") + fileNamePart(qs(Doc.FileName)) +
                             QStringLiteral(
                                 "」は読み取り専用で開かれています。\n上書きはできません。\n\n"
                                 "別名をつけて保存しますか？");
        if (prompts.warnYesNo(this, text) == Answer::Yes) actFileSaveAsExecute();
        return;
    }
    fncFileWriteSGF(qs(Doc.FileName));
}

void TfrmMain::actFileSaveAsExecute() {
    actFileSaveAsBeforeExecute();
    const std::optional<QString> path = prompts.saveFile(this, SaveDialog);
    if (!path || path->isEmpty()) return;
    actFileSaveAsAccept(*path);
}

void TfrmMain::actFileSaveAsBeforeExecute() {
    SaveDialog.title = QStringLiteral("棋譜に別名を付けて保存");
    SaveDialog.folder = prefs.LastWriteDir;
    SaveDialog.filters = {QStringLiteral("棋譜ファイル(*.sgf)")};
    SaveDialog.defaultSuffix = QStringLiteral("sgf");
    const QString current = qs(Doc.FileName);
    if (current.isEmpty())
        SaveDialog.proposedName = QStringLiteral("無題.sgf");
    else if (recordKind(Doc.FileName) == RecordKind::Ngf)
        SaveDialog.proposedName = QFileInfo(current).completeBaseName() + QStringLiteral(".sgf");
    else
        SaveDialog.proposedName = fileNamePart(current);
}

void TfrmMain::actFileSaveAsAccept(const QString& path) {
    const std::string old = Doc.FileName;
    Doc.FileName = path.toStdString();
    if (fncFileWriteSGF(path))
        prefs.LastWriteDir = folderOf(path);
    else
        Doc.FileName = old;
}

void TfrmMain::actFileExitExecute() { close(); }

void TfrmMain::actClipBoardExecute() {
    const GameRecord& game = studiedGame() ? *studiedGame() : Record;
    prcKifToStrings(game.mainLineState(), SharedText, &game.tree());
    QGuiApplication::clipboard()->setText(qs(SharedText.text()));
    ui.actClipPast->setEnabled(true);
}

void TfrmMain::actClipPastExecute() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    SharedText.setText(data->text().toStdString());
    if (SharedText.empty()) return;
    if (Doc.Modified && !askDiscard(*this)) return;
    RecordTree tree;
    GameState g = Game;
    const LoadResult r = fncStringsToKif(g, SharedText, std::string(), &tree);
    if (!r.ok()) {
        reportLoadFailure(*this, r, Reader::Sgf);
        return;
    }
    Record.adopt(g, std::move(tree));
    // A pasted record belongs to no file; the read-only mark stays as it was.
    Doc.FileName.clear();
    Doc.Modified = false;
    showLoadedRecord(UntitledTitle);
}

bool TfrmMain::fncFileReadSGF(const QString& path) {
    if (path.isEmpty()) return false;
    RecordTree tree;
    GameState g = Game;
    const LoadResult r = tavrin::fncFileReadSGF(g, SharedText, path.toStdString(), &tree);
    if (!r.ok()) {
        reportLoadFailure(*this, r, Reader::Sgf);
        return false;
    }
    Record.adopt(g, std::move(tree));
    Doc.FileName = path.toStdString();
    Doc.Modified = false;
    const QString name = fileNamePart(qs(Doc.FileName));
    showLoadedRecord(name + (Doc.ReadOnly ? ReadOnlyTitleTail : TitleTail));
    return true;
}

bool TfrmMain::fncFileReadNGF(const QString& path) {
    if (path.isEmpty()) return false;
    GameState g = Game;
    const LoadResult r = tavrin::fncFileReadNGF(g, SharedText, path.toStdString());
    if (!r.ok()) {
        reportLoadFailure(*this, r, Reader::Ngf);
        return false;
    }
    Record.adopt(g);
    Doc.FileName = path.toStdString();
    Doc.Modified = false;
    showLoadedRecord(fileNamePart(qs(Doc.FileName)) + TitleTail);
    return true;
}

bool TfrmMain::fncFileWriteSGF(const QString& path) {
    // The file holds the main line's record whatever line is shown; during a study of a game,
    // the game as it was.
    const GameRecord& game = studiedGame() ? *studiedGame() : Record;
    const std::string bytes = sgfFileBytes(game.mainLineState(), SharedText, &game.tree());
    // Until the finished copy is renamed over it the old file is untouched; any failure
    // leaves it as it was.
    switch (writeFileReplacing(QFile::encodeName(path).toStdString(), bytes)) {
        case WriteStatus::Ok: break;
        case WriteStatus::Refused: prompts.warn(this, CannotCreateText); return false;
        case WriteStatus::Failed: prompts.warn(this, CannotWriteText); return false;
    }
    Doc.Modified = false;
    if (studiedGame()) {
        study()->gameSaved();
    } else {
        Record.markSaved();
    }
    prcKifUpDate();
    setTitle(fileNamePart(qs(Doc.FileName)) + TitleTail);
    Doc.ReadOnly = false;
    return true;
}

void TfrmMain::ApplicationEvents1Activate() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString text = data && data->hasText() ? trimBlanks(data->text()) : QString();
    ui.actClipPast->setEnabled(text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')));
}

void TfrmMain::FormDropFiles(const QString& path) {
    if (path.isEmpty()) return;
    if (Doc.Modified && !askDiscard(*this)) return;
    // A dropped file is never read-only, whatever its extension.
    Doc.ReadOnly = false;
    readByExtension(path);
}

}  // namespace tavrin
