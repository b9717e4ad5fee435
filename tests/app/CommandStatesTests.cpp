// Which commands the window offers in each mode: one row per situation, the commands
// named by what they do.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include <cstring>

#include "app/ActionTable.h"

namespace tavrin {
namespace {

struct Row {
    const char* what;
    CommandFacts facts;
    // Enabled: stop, resume, pass, take-back, hint, re-move, colour change, count, back, forward.
    const char* want;
};

// The state the action table's rule gives command name.
CommandState stateOf(const char* name, const CommandFacts& f) {
    for (const ActionRow& r : actionTable())
        if (std::strcmp(r.name, name) == 0) return r.state ? r.state(f) : CommandState{};
    ADD_FAILURE() << "no command " << name;
    return {false, false};
}

std::string enabledOf(const CommandFacts& f) {
    std::string out;
    for (const char* name : {"actPlayStop", "actPlayResume", "actPlayPass", "actPlayMatta", "actPlayHint",
                             "actPlayUtinaosi", "actPlayStnChg", "actPlayCount", "actKifuBack", "actKifuNext"})
        out += stateOf(name, f).enabled ? 'x' : '.';
    return out;
}

CommandFacts facts(Mode mode, int current, int count) {
    CommandFacts f;
    f.mode = mode;
    f.currentMove = current;
    f.moveCount = count;
    f.engineFound = true;
    return f;
}

TEST(CommandStates, EachModeOffersItsCommands) {
    auto person = facts(Mode::Playing, 5, 4);
    auto computerToMove = person;
    computerToMove.computerToMove = true;
    computerToMove.personAndComputer = true;
    computerToMove.task = EngineTask::Move;
    auto afterComputer = person;
    afterComputer.computerMovedLast = true;
    afterComputer.personAndComputer = true;
    auto computerAsked = computerToMove;
    computerAsked.task = EngineTask::None;
    auto hinting = person;
    hinting.task = EngineTask::Hint;
    auto noEngine = person;
    noEngine.engineFound = false;
    auto ended = facts(Mode::Ended, 5, 4);
    ended.endedByPasses = true;
    const Row rows[] = {
        {"first move of a game", facts(Mode::Playing, 1, 0), "x.x.x....."},
        {"a person to move", person, "x.xxx....."},
        {"the computer choosing its move", computerToMove, "x........."},
        {"the computer to move, not asked yet", computerAsked, "x..x..x..."},
        {"a person after the computer's move", afterComputer, "x.xxxxx..."},
        {"a hint asked", hinting, "x.xx......"},
        {"no engine", noEngine, "x.xx......"},
        {"stopped in the middle", facts(Mode::Stopped, 3, 8), ".x.....xxx"},
        {"stopped at the start", facts(Mode::Stopped, 1, 8), ".x.....x.x"},
        {"ended by two passes, at the end", ended, ".......xx."},
        {"counting", facts(Mode::Counting, 5, 4), ".x......x."},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(enabledOf(r.facts), r.want) << r.what;
        // The computer's commands show exactly when an engine is found.
        EXPECT_EQ(stateOf("actPlayHint", r.facts).visible, r.facts.engineFound) << r.what;
    }
}

TEST(CommandStates, SavingAndReloadingFollowTheModifiedRecord) {
    CommandFacts f;
    for (const bool modified : {false, true}) {
        for (const bool named : {false, true}) {
            f.modified = modified;
            f.hasFileName = named;
            EXPECT_EQ(stateOf("actFileSave", f).enabled, modified);
            EXPECT_EQ(stateOf("actFileReOpen", f).enabled, modified && named);
        }
    }
}

}  // namespace
}  // namespace tavrin
