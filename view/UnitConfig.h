#pragma once
// TDlgConfig, the settings dialog "環境設定": the computer opponent's engine — its command
// line, the arguments of each level, the time limit of a move — with a button that starts the
// engine once to show what it is or why it does not start; and the folders of the library of
// records the opening explorer searches: any folder added through the folder dialog (the
// open record's folder with one button), listed, and removed one by one.

#include <QDialog>

#include "engine/Rokiru.h"
#include "view/Prompts.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QDoubleSpinBox;
class QSpinBox;

namespace tavrin {

class TDlgConfig : public QDialog {
    Q_OBJECT
public:
    // Fills the controls from settings; nothing is written before OK.
    // recordFolder: the folder of the open record, which a button adds ("" for none); the
    // folder dialog goes through prompts and starts there.
    TDlgConfig(Prompts& prompts, EngineSettings& settings, QStringList& libraryFolders, const QString& recordFolder,
               QWidget* parent = nullptr);

    // Adds folder to the list unless it is there already (its clean absolute path).
    void addFolder(const QString& folder);

    // Set by OK: the settings hold the dialog's values.
    bool Accepted() const { return AcceptedFlag; }
    void accept() override;

public slots:
    // 試す: starts the engine of the shown values (level 初級) and reports.
    void btnTryClick();
    // 既定値: the default engine (GNU Go) and levels.
    void btnDefaultClick();

private:
    EngineSettings shownSettings() const;
    void showSettings(const EngineSettings& s);

    Prompts& prompts;
    EngineSettings& Settings;
    QStringList& LibraryFolders;
    QListWidget* lstFolders;
    bool AcceptedFlag = false;
    QLineEdit* edtCommand;
    QLineEdit* edtLevel[3];
    QSpinBox* spnSeconds;
    QSpinBox* spnReviewLevel;
    QDoubleSpinBox* spnReviewThreshold;
    QPushButton* btnTry;
    QPlainTextEdit* memTry;  // what 試す found
    Rokiru Probe;
};

// 環境設定, shown through prompts: on OK the engine settings hold the dialog's values and
// the result is true.
bool runConfigDialog(Prompts& prompts, QWidget* parent, EngineSettings& settings, QStringList& libraryFolders,
                     const QString& recordFolder);

}  // namespace tavrin
