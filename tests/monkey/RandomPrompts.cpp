#include "tests/monkey/RandomPrompts.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace tavrin::monkey {

namespace {

std::string shortText(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (t.size() > 48) t = t.left(48) + QStringLiteral("…");
    return t.toStdString();
}

const char* answerName(Answer a) {
    switch (a) {
        case Answer::Yes: return "Yes";
        case Answer::No: return "No";
        case Answer::Cancel: return "Cancel";
        case Answer::Ok: return "OK";
    }
    return "?";
}

}  // namespace

QString MonkeyFiles::unwritablePath(Rng& rng) const {
    switch (rng.below(3)) {
        case 0: return Scratch;  // a folder
        case 1: return Scratch + QStringLiteral("/no/such/folder/x.sgf");
        default: return QStringLiteral("/proc/tavrin-monkey.sgf");
    }
}

QString MonkeyFiles::savePath(Rng& rng) const {
    static const char* const Names[] = {"a.sgf",     "b.sgf", "棋譜.sgf",        "noext",
                                        "upper.SGF", "c.ngf", "spaced name.sgf", ".sgf"};
    return Scratch + QLatin1Char('/') + QString::fromUtf8(Names[rng.below(8)]);
}

QString MonkeyFiles::someRecord(Rng& rng) const {
    if (!Saved.isEmpty() && (Corpus.isEmpty() || rng.percent(20)))
        return Saved.at(rng.below(static_cast<int>(Saved.size())));
    if (Corpus.isEmpty()) return missingPath();
    return Corpus.at(rng.below(static_cast<int>(Corpus.size())));
}

QString randomText(Rng& rng) {
    static const char* const Pieces[] = {
        "",      "a", "Tavrin", "黒番対局者", "白", "本因坊", "ソ", "表",     "\\",   "]",        "[",
        ";",     "(", ")",      ":",          " ",  "　",     "😀",  "한국어", "中国", "\xc3\xa9", "W+R",
        "B+3.5", "0", "-1",     "9999999999", "\t", "ｶﾀｶﾅ",   "①",  "髙",     "∑",    "~",
    };
    constexpr int Count = sizeof Pieces / sizeof Pieces[0];
    QString out;
    const int n = rng.percent(10) ? rng.between(40, 200) : rng.between(0, 6);
    for (int i = 0; i < n; ++i) out += QString::fromUtf8(Pieces[rng.below(Count)]);
    return out;
}

Answer RandomPrompts::confirm(QWidget*, const QString& text, bool withCancel) {
    ++Asked;
    const int roll = R.below(100);
    const Answer a = roll < 45 ? Answer::Yes : (roll < 80 || !withCancel) ? Answer::No : Answer::Cancel;
    Log.note("confirm \"" + shortText(text) + "\" -> " + answerName(a));
    return a;
}

Answer RandomPrompts::warnYesNo(QWidget*, const QString& text) {
    ++Asked;
    const Answer a = R.percent(50) ? Answer::Yes : Answer::No;
    Log.note("warnYesNo \"" + shortText(text) + "\" -> " + answerName(a));
    return a;
}

void RandomPrompts::warn(QWidget*, const QString& text) {
    ++Warnings;
    Log.note("warn \"" + shortText(text) + "\"");
}

void RandomPrompts::error(QWidget*, const QString& text) {
    ++Warnings;
    Log.note("error \"" + shortText(text) + "\"");
}

std::optional<OpenChoice> RandomPrompts::openFile(QWidget*, const OpenRequest&) {
    ++Asked;
    const int roll = R.below(100);
    std::optional<OpenChoice> choice;
    if (roll < 12) {
        // cancelled
    } else if (roll < 16) {
        choice = OpenChoice{QString(), false};
    } else if (roll < 24) {
        choice = OpenChoice{Files.missingPath(), R.percent(30)};
    } else if (roll < 28) {
        choice = OpenChoice{Files.Scratch, false};
    } else {
        choice = OpenChoice{Files.someRecord(R), R.percent(30)};
    }
    if (!choice)
        Log.note("open -> cancel");
    else
        Log.note("open -> " + shortText(choice->path.section(QLatin1Char('/'), -2)) +
                 (choice->readOnly ? " (read-only)" : ""));
    return choice;
}

std::optional<QString> RandomPrompts::saveFile(QWidget*, const SaveRequest&) {
    ++Asked;
    const int roll = R.below(100);
    std::optional<QString> path;
    if (roll < 12) {
        // cancelled
    } else if (roll < 15) {
        path = QString();
    } else if (roll < 27) {
        path = Files.unwritablePath(R);
    } else {
        path = Files.savePath(R);
    }
    Log.note("save -> " + (path ? shortText(*path) : std::string("cancel")));
    return path;
}

std::optional<QString> RandomPrompts::chooseFolder(QWidget*, const QString&, const QString&) {
    ++Asked;
    const int roll = R.below(100);
    std::optional<QString> folder;
    if (roll < 20) {
        // cancelled
    } else if (roll < 30) {
        folder = Files.Scratch + QStringLiteral("/missing");
    } else if (roll < 55) {
        folder = Files.Scratch;
    } else {
        folder = QFileInfo(Files.someRecord(R)).absolutePath();
    }
    Log.note("folder -> " + (folder ? shortText(*folder) : std::string("cancel")));
    return folder;
}

void RandomPrompts::fillFields(QDialog& dialog) {
    // Only what a user can reach: shown and enabled controls.
    auto reachable = [&dialog](QWidget* w) { return w->isVisibleTo(&dialog) && w->isEnabled(); };
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (!reachable(edit) || edit->isReadOnly() || !R.percent(40)) continue;
        // Typed, pasted or deleted: each goes through the field's own checks.
        switch (R.below(4)) {
            case 0:
                edit->selectAll();
                edit->insert(randomText(R));
                break;
            case 1:
                edit->end(false);
                edit->insert(randomText(R));
                break;
            case 2:
                edit->selectAll();
                edit->del();
                break;
            default: {
                static const char* const Typed[] = {"abc", "Go 2", "x]y", "\\", "1234567890123"};
                QTest::keyClicks(edit, QString::fromLatin1(Typed[R.below(5)]));
                break;
            }
        }
        Log.note("edit " + edit->objectName().toStdString() + " = \"" + shortText(edit->text()) + "\"");
    }
    for (QComboBox* combo : dialog.findChildren<QComboBox*>()) {
        if (!reachable(combo) || combo->count() == 0 || !R.percent(40)) continue;
        if (combo->isEditable() && R.percent(30))
            combo->setEditText(randomText(R));
        else
            combo->setCurrentIndex(R.below(combo->count()));
        Log.note("combo " + combo->objectName().toStdString() + " = " + std::to_string(combo->currentIndex()));
    }
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        if (!reachable(radio) || !R.percent(25)) continue;
        radio->click();
        Log.note("radio " + radio->objectName().toStdString());
    }
    // Buttons that edit a list of the dialog (環境設定's library folders) before OK or Cancel.
    for (const char* name : {"btnChooseFolder", "btnAddFolder", "btnRemoveFolder"}) {
        auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        if (!b || !reachable(b) || !R.percent(30)) continue;
        Log.note(std::string("click ") + name);
        b->click();
    }
}

int RandomPrompts::exec(QDialog& dialog) {
    ++Asked;
    Log.note("dialog " + dialog.objectName().toStdString());
    dialog.setResult(QDialog::Rejected);
    if (R.percent(70)) fillFields(dialog);
    QList<QPushButton*> buttons;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->isVisibleTo(&dialog) && b->isEnabled()) buttons.push_back(b);
    const int roll = R.below(100);
    if (roll < 70 && !buttons.isEmpty()) {
        // OK, Cancel or whatever the dialog offers, as clicked.
        QPushButton* b = buttons.at(R.below(static_cast<int>(buttons.size())));
        if (roll < 45)
            for (QPushButton* c : buttons)
                if (c->objectName().contains(QLatin1String("ok"), Qt::CaseInsensitive)) b = c;
        Log.note("click " + b->objectName().toStdString());
        b->click();
    } else if (roll < 85) {
        Log.note("Esc");
        dialog.reject();
    } else {
        Log.note("closed");
    }
    return dialog.result();
}

}  // namespace tavrin::monkey
