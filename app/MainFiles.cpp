// File commands, the clipboard and dropped files.

#include "app/TfrmMain.h"

namespace tavrin {

void TfrmMain::actFileOpenExecute() {
    // TODO: actFileOpenBeforeExecute, the open dialog through prompts, actFileOpenAccept.
}

void TfrmMain::actFileOpenBeforeExecute() {
    // TODO: initial folder := LastReadDir.
}

void TfrmMain::actFileOpenAccept(const OpenChoice& choice) {
    // TODO: ReadOnlyFile from the check box, reader by extension, LastReadDir.
    Q_UNUSED(choice);
}

void TfrmMain::actFileOpenCKExecute() {
    // TODO: discard question when Modified, then actFileOpenExecute.
}

void TfrmMain::actFileReOpenExecute() {
    // TODO: read CurrentFileName again after the discard question.
}

void TfrmMain::actFileSaveExecute() {
    // TODO: save over CurrentFileName, or save-as (untitled, NGF, read-only).
}

void TfrmMain::actFileSaveAsExecute() {
    // TODO: actFileSaveAsBeforeExecute, the save dialog through prompts, actFileSaveAsAccept.
}

void TfrmMain::actFileSaveAsBeforeExecute() {
    // TODO: initial folder LastWriteDir and the proposed name.
}

void TfrmMain::actFileSaveAsAccept(const QString& path) {
    // TODO: CurrentFileName := path, fncFileWriteSGF, LastWriteDir.
    Q_UNUSED(path);
}

void TfrmMain::actFileExitExecute() { close(); }

void TfrmMain::actClipBoardExecute() {
    // TODO: the record as SGF text on the clipboard.
}

void TfrmMain::actClipPastExecute() {
    // TODO: read SGF text from the clipboard.
}

bool TfrmMain::fncFileReadSGF(const QString& path) {
    // TODO: read the SGF file onto the board; true when the record was loaded.
    Q_UNUSED(path);
    return false;
}

bool TfrmMain::fncFileReadNGF(const QString& path) {
    // TODO: read the NGF file onto the board; true when the record was loaded.
    Q_UNUSED(path);
    return false;
}

bool TfrmMain::fncFileWriteSGF(const QString& path) {
    // TODO: write the record as SGF; true when written.
    Q_UNUSED(path);
    return false;
}

void TfrmMain::ApplicationEvents1Activate() {
    // TODO: enable actClipPast only when the clipboard holds a record.
}

void TfrmMain::FormDropFiles(const QString& path) {
    // TODO: discard question, ReadOnlyFile := false, reader by extension.
    Q_UNUSED(path);
}

}  // namespace tavrin
