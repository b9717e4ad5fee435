#include "view/Prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace tavrin {

namespace {

Answer toAnswer(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Ok: return Answer::Ok;
        default: return Answer::Cancel;
    }
}

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(def);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

Answer QtPrompts::confirm(QWidget* parent, const QString& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    const auto b = ask(parent, QMessageBox::Question, QStringLiteral("確認"), text, buttons, QMessageBox::Yes);
    // Closing the box without a button counts as the last choice offered.
    if (b != QMessageBox::Yes && b != QMessageBox::No && b != QMessageBox::Cancel)
        return withCancel ? Answer::Cancel : Answer::No;
    return toAnswer(b);
}

Answer QtPrompts::warnYesNo(QWidget* parent, const QString& text) {
    const auto b = ask(parent, QMessageBox::Warning, QStringLiteral("警告"), text, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::Yes);
    return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtPrompts::warn(QWidget* parent, const QString& text) {
    ask(parent, QMessageBox::Warning, QStringLiteral("警告"), text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompts::error(QWidget* parent, const QString& text) {
    ask(parent, QMessageBox::Critical, QStringLiteral("エラー"), text, QMessageBox::Ok, QMessageBox::Ok);
}

std::optional<OpenChoice> QtPrompts::openFile(QWidget* parent, const OpenRequest& req) {
    QFileDialog dialog(parent, req.title, req.folder);
    // The platform dialog has no room for a check box of our own.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!req.filters.isEmpty()) dialog.setNameFilters(req.filters);
    // A filter "caption (patterns)" shows its caption only; the caption may name its
    // patterns in its own words.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!req.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(req.defaultSuffix);
    QCheckBox* readOnly = nullptr;
    if (req.showReadOnly) {
        readOnly = new QCheckBox(QStringLiteral("読み取り専用で開く(&R)"), &dialog);
        readOnly->setObjectName(QStringLiteral("chkReadOnly"));
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
        else if (dialog.layout())
            dialog.layout()->addWidget(readOnly);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    OpenChoice choice;
    choice.path = dialog.selectedFiles().first();
    choice.readOnly = readOnly && readOnly->isChecked();
    return choice;
}

std::optional<QString> QtPrompts::saveFile(QWidget* parent, const SaveRequest& req) {
    QFileDialog dialog(parent, req.title, req.folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!req.filters.isEmpty()) dialog.setNameFilters(req.filters);
    if (!req.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(req.defaultSuffix);
    if (!req.proposedName.isEmpty()) dialog.selectFile(req.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::chooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    QFileDialog dialog(parent, title, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

int QtPrompts::exec(QDialog& dialog) { return dialog.exec(); }

}  // namespace tavrin
