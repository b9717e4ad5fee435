#pragma once
// The monkey: one real main window driven by random actions the way a user (and the
// system) can reach it, with the game's invariants checked after every action.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/TfrmMain.h"
#include "tests/monkey/ActionLog.h"
#include "tests/monkey/RandomPrompts.h"
#include "tests/monkey/Rng.h"

namespace tavrin::monkey {

class Monkey {
public:
    Monkey(Rng& rng, ActionLog& log, MonkeyFiles& files, RandomPrompts& prompts, QString settingsPath);
    ~Monkey();

    // A new run of the program: a fresh window reading the settings file, with arguments.
    void openWindow(const QStringList& arguments);
    // Closes and destroys the window the way the program ends.
    void closeWindow();

    // Performs one random action; what it did goes to the log.
    void step(long index);
    // Empty when every invariant holds, else what is broken.
    std::string check() const;

    // Breaks the state in ways the checks must notice, one at a time, restoring it after
    // each; returns the breaks check() let through (empty: every one was caught).
    std::vector<std::string> selfTest();

    // Writes the last made-up record (pasted text or mutated file) into folder so a failure
    // can be looked at; returns its path (empty: none). lastInputKind() says what it was.
    QString saveLastInput(const QString& folder) const;
    const std::string& lastInputKind() const { return LastInputKind; }
    // A folder that receives every made-up record as it is made (empty: none).
    QString KeepInputs;

    // Records of the corpus opened through the window so far (the sweep's progress).
    int corpusSwept() const { return SweepNext; }
    long windowsOpened() const { return WindowsOpened; }

    // What the run got done, so a clean run can be told from an idle one.
    struct Counts {
        long MovesPlayed = 0;  // moves added while playing
        long TakeBacks = 0;    // moves removed while playing
        long ReplaySteps = 0;  // shown position changed while replaying
        long ModeChanges = 0;  // play <-> replay
        int LongestRecord = 0;
    };
    const Counts& counts() const { return Stats; }

private:
    using Action = void (Monkey::*)();
    struct Choice {
        int weight;
        const char* name;
        Action run;
    };

    void note(const std::string& text);
    void keepInput(const char* what, const QByteArray& bytes);
    QByteArray fileBytes(const QString& path);
    void ensureActive();
    void afterClose();

    // The actions.
    void triggerAction();
    void viewToggle();
    void triggerEnabled(const QString& prefix);
    void shortcutKey();
    void boardMouse();
    void boardClick();
    void windowMouse();
    void wheel();
    void resizeWindow();
    void kifuRow();
    void variations();
    void timerTicks();
    void openRecord();
    void openMutatedRecord();
    void dropFiles();
    void paste();
    void save();
    void closeAttempt();
    void doubleClickInfo();
    void contextMenu();
    void clickButton();
    void idle();
    void keys();
    void activate();
    void longRecord();
    void restartProgram();

    Rng& R;
    ActionLog& Log;
    MonkeyFiles& Files;
    RandomPrompts& Prompts;
    QString SettingsPath;
    std::unique_ptr<TfrmMain> W;
    std::vector<Choice> Choices;
    int TotalWeight = 0;
    int SweepNext = 0;
    long WindowsOpened = 0;
    QHash<QString, QByteArray> Bytes;
    Counts Stats;
    QByteArray LastInput;
    std::string LastInputKind;
    long LastInputAction = 0;
    // Closes the toolkit's own modal menus and dialogs (a scroll bar's context menu, say)
    // when an action ends up in a nested event loop, so nothing blocks.
    QTimer* NestedLoopGuard = nullptr;
};

}  // namespace tavrin::monkey
