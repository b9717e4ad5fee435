// The window's commands enabled and shown as commandStates decides from the game's mode.
#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "app/CommandStates.h"
#include "app/CountingPanel.h"
#include "app/EngineTurn.h"
#include "app/TfrmMain.h"

namespace tavrin {

CommandFacts TfrmMain::commandFacts() const {
    CommandFacts f;
    f.mode = counting()        ? Mode::Counting
             : Game.GameOver   ? Mode::Ended
             : Game.ReplayMode ? Mode::Stopped
                               : Mode::Playing;
    f.task = engineTurn->task();
    f.engineFound = EngineFound;
    f.currentMove = Game.CurrentMove;
    f.moveCount = Game.MoveCount;
    f.endedByPasses = Game.EndedByPasses;
    f.modified = Game.Modified;
    f.hasFileName = !Game.CurrentFileName.empty();
    f.computerToMove = engineTurn->computerPlays(Game.SideToMove);
    f.computerMovedLast = engineTurn->computerMovedLast();
    f.personAndComputer = Game.BlackPlayerKind != Game.WhitePlayerKind;
    return f;
}

void TfrmMain::applyCommandStates() {
    const CommandStates s = commandStates(commandFacts());
    const std::pair<const CommandState CommandStates::*, QAction*> actions[] = {
        {&CommandStates::actFileSave, actFileSave},
        {&CommandStates::actFileReOpen, actFileReOpen},
        {&CommandStates::actPlayStop, actPlayStop},
        {&CommandStates::actPlayResume, actPlayResume},
        {&CommandStates::actPlayPass, actPlayPass},
        {&CommandStates::actPlayMatta, actPlayMatta},
        {&CommandStates::actPlayGiveUp, actPlayGiveUp},
        {&CommandStates::actPlayHint, actPlayHint},
        {&CommandStates::actPlayUtinaosi, actPlayUtinaosi},
        {&CommandStates::actPlayStnChg, actPlayStnChg},
        {&CommandStates::actPlayKeisei, actPlayKeisei},
        {&CommandStates::actPlayCount, actPlayCount},
        {&CommandStates::actKifuFirst, actKifuFirst},
        {&CommandStates::actKifuBack, actKifuBack},
        {&CommandStates::actKifuBack10, actKifuBack10},
        {&CommandStates::actKifuNext, actKifuNext},
        {&CommandStates::actKifuNext10, actKifuNext10},
        {&CommandStates::actKifuLast, actKifuLast},
        {&CommandStates::actKifuAuto, actKifuAuto},
        {&CommandStates::mnuKifuP, mnuKifuP->menuAction()},
        {&CommandStates::actCountCancel, countingPanel ? countingPanel->actCountCancel : nullptr},
    };
    for (const auto& [state, action] : actions) {
        if (!action) continue;  // made when first used
        const CommandState& c = s.*state;
        if (action->isEnabled() != c.enabled) action->setEnabled(c.enabled);
        if (action->isVisible() != c.visible) action->setVisible(c.visible);
    }
    btnKifuAuto->setEnabled(s.actKifuAuto.enabled);
    // 形勢判断 and 終局計算 work without an engine: the separators around the computer's
    // commands always show.
    for (QAction* a : {sepPlayHint, sepPlayEngine})
        if (a && !a->isVisible()) a->setVisible(true);
}

}  // namespace tavrin
