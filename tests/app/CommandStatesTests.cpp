// Which commands the window offers in each mode: one row per situation, the commands
// named by what they do.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/CommandStates.h"

namespace tavrin {
namespace {

struct Row {
    const char* what;
    CommandFacts facts;
    // Enabled: stop, resume, pass, take-back, hint, re-move, colour change, count, back, forward.
    const char* want;
};

std::string enabledOf(const CommandStates& s) {
    std::string out;
    for (const CommandState* c :
         {&s.actPlayStop, &s.actPlayResume, &s.actPlayPass, &s.actPlayMatta, &s.actPlayHint, &s.actPlayUtinaosi,
          &s.actPlayStnChg, &s.actPlayCount, &s.actKifuBack, &s.actKifuNext})
        out += c->enabled ? 'x' : '.';
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
        const CommandStates s = commandStates(r.facts);
        EXPECT_EQ(enabledOf(s), r.want) << r.what;
        // The computer's commands show exactly when an engine is found.
        EXPECT_EQ(s.actPlayHint.visible, r.facts.engineFound) << r.what;
        EXPECT_EQ(s.actCountCancel.enabled, r.facts.mode == Mode::Counting) << r.what;
        EXPECT_EQ(s.mnuKifuP.enabled, r.facts.mode != Mode::Playing) << r.what;
    }
}

TEST(CommandStates, SavingAndReloadingFollowTheModifiedRecord) {
    CommandFacts f;
    for (const bool modified : {false, true}) {
        for (const bool named : {false, true}) {
            f.modified = modified;
            f.hasFileName = named;
            const CommandStates s = commandStates(f);
            EXPECT_EQ(s.actFileSave.enabled, modified);
            EXPECT_EQ(s.actFileReOpen.enabled, modified && named);
        }
    }
}

}  // namespace
}  // namespace tavrin
