#pragma once
// Prompts answered at random and at once: questions get Yes, No or Cancel; the open dialog
// picks a real record, a record the monkey saved, a missing file, a folder or nothing; the
// save dialog picks a temporary .sgf, a place that cannot be written or nothing; the folder
// dialog the scratch folder, a folder of real records, a missing folder or nothing; modal
// dialogs get their fields filled as a user could type them and are accepted or dismissed.
// Every answer is noted in the action log.

#include <QString>
#include <QStringList>

#include "tests/monkey/ActionLog.h"
#include "tests/monkey/Rng.h"
#include "view/Prompts.h"

namespace tavrin::monkey {

// Files the monkey offers: the real records, and its own scratch folder.
struct MonkeyFiles {
    QStringList Corpus;  // sorted
    QString Scratch;     // a temporary folder of this run
    QStringList Saved;   // records the window wrote during the run

    QString missingPath() const { return Scratch + QStringLiteral("/missing/nothing.sgf"); }
    // A path no save can create: a folder, or a file inside a folder that does not exist.
    QString unwritablePath(Rng& rng) const;
    // A .sgf (sometimes without extension or with a Japanese name) in the scratch folder.
    QString savePath(Rng& rng) const;
    // A record worth opening: mostly the corpus, sometimes what was saved.
    QString someRecord(Rng& rng) const;
};

// Text a user could type or paste: ASCII, Japanese, characters outside CP932, long runs.
QString randomText(Rng& rng);

class RandomPrompts final : public Prompts {
public:
    RandomPrompts(Rng& rng, ActionLog& log, MonkeyFiles& files) : R(rng), Log(log), Files(files) {}

    Answer confirm(QWidget* parent, const QString& text, bool withCancel) override;
    Answer warnYesNo(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<OpenChoice> openFile(QWidget* parent, const OpenRequest& req) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveRequest& req) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& folder) override;
    int exec(QDialog& dialog) override;

    long Asked = 0;     // questions and dialogs answered
    long Warnings = 0;  // warn and error boxes shown

private:
    void fillFields(QDialog& dialog);

    Rng& R;
    ActionLog& Log;
    MonkeyFiles& Files;
};

}  // namespace tavrin::monkey
