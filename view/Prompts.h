#pragma once
// Every message box, file dialog and modal dialog of the program goes through Prompts,
// so tests can answer them without a modal window.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QDialog;

namespace tavrin {

enum class Answer { Yes, No, Cancel, Ok };

struct OpenRequest {
    QString title;
    QString folder;       // initial folder
    QStringList filters;  // "棋譜ファイル(*.sgf *.ngf)" ...
    QString defaultSuffix;
    bool showReadOnly = true;
};

struct OpenChoice {
    QString path;
    bool readOnly = false;  // the read-only check box was ticked
};

struct SaveRequest {
    QString title;
    QString folder;
    QString proposedName;
    QStringList filters;
    QString defaultSuffix;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Confirmation with Yes and No (and Cancel when withCancel).
    virtual Answer confirm(QWidget* parent, const QString& text, bool withCancel = false) = 0;
    // Warning with Yes and No.
    virtual Answer warnYesNo(QWidget* parent, const QString& text) = 0;
    // Warning with OK.
    virtual void warn(QWidget* parent, const QString& text) = 0;
    // The general error report (an error box with OK).
    virtual void error(QWidget* parent, const QString& text) = 0;
    virtual std::optional<OpenChoice> openFile(QWidget* parent, const OpenRequest& req) = 0;
    // Asks before overwriting an existing file (the real dialog does).
    virtual std::optional<QString> saveFile(QWidget* parent, const SaveRequest& req) = 0;
    // A folder, chosen starting at folder.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    // Shows a modal dialog; returns QDialog::Accepted or Rejected.
    virtual int exec(QDialog& dialog) = 0;
};

// The real ones: QMessageBox, QFileDialog, QDialog::exec.
class QtPrompts final : public Prompts {
public:
    Answer confirm(QWidget* parent, const QString& text, bool withCancel) override;
    Answer warnYesNo(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<OpenChoice> openFile(QWidget* parent, const OpenRequest& req) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveRequest& req) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& folder) override;
    int exec(QDialog& dialog) override;
};

}  // namespace tavrin
