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
    f.mode = counting()      ? Mode::Counting
             : Editing       ? Mode::Editing
             : Study.active  ? Mode::Study
             : Game.GameOver ? Mode::Ended
             : ReplayMode    ? Mode::Stopped
                             : Mode::Playing;
    f.task = ui.engineTurn->task();
    f.engineFound = EngineFound;
    f.currentMove = Game.CurrentMove;
    f.moveCount = Game.MoveCount;
    f.endedByPasses = Game.EndedByPasses;
    f.modified = Doc.Modified;
    f.hasFileName = !Doc.FileName.empty();
    f.computerToMove = ui.engineTurn->computerPlays(Game.SideToMove);
    f.computerMovedLast = ui.engineTurn->computerMovedLast();
    f.personAndComputer = Game.BlackPlayerKind != Game.WhitePlayerKind;
    f.onMainLine = Record.onMainLine();
    f.canUndo = Record.canUndo();
    f.canRedo = Record.canRedo();
    f.studyTakeBack = studyCanTakeBack();
    if (const RecordTree::NodeId v = editTarget(); v != RecordTree::None) {
        f.variationShown = true;
        f.upVariation = Tree().firstChild(Tree().parent(v)) != v;
        f.downVariation = Tree().nextSibling(v) != RecordTree::None;
    }
    f.laterNodes = Tree().firstChild(Record.node()) != RecordTree::None;
    f.freshGame = !ReplayMode && Game.MoveCount == 0;
    if (const RecordTree::NodeId v = Record.variationNode(); v != RecordTree::None) {
        f.nextVariation = Tree().nextSibling(v) != RecordTree::None;
        f.prevVariation = Tree().firstChild(Tree().parent(v)) != v;
    }
    f.branchAbove = Record.branchPoint() != RecordTree::None;
    return f;
}

void TfrmMain::applyCommandStates() {
    const CommandStates s = commandStates(commandFacts());
    const std::pair<const CommandState CommandStates::*, QAction*> actions[] = {
        {&CommandStates::actFileSave, ui.actFileSave},
        {&CommandStates::actFileReOpen, ui.actFileReOpen},
        {&CommandStates::actPlayStop, ui.actPlayStop},
        {&CommandStates::actPlayResume, ui.actPlayResume},
        {&CommandStates::actPlayPass, ui.actPlayPass},
        {&CommandStates::actPlayMatta, ui.actPlayMatta},
        {&CommandStates::actPlayGiveUp, ui.actPlayGiveUp},
        {&CommandStates::actPlayHint, ui.actPlayHint},
        {&CommandStates::actPlayUtinaosi, ui.actPlayUtinaosi},
        {&CommandStates::actPlayStnChg, ui.actPlayStnChg},
        {&CommandStates::actPlayKeisei, ui.actPlayKeisei},
        {&CommandStates::actPlayCount, ui.actPlayCount},
        {&CommandStates::actKifuFirst, ui.actKifuFirst},
        {&CommandStates::actKifuBack, ui.actKifuBack},
        {&CommandStates::actKifuBack10, ui.actKifuBack10},
        {&CommandStates::actKifuNext, ui.actKifuNext},
        {&CommandStates::actKifuNext10, ui.actKifuNext10},
        {&CommandStates::actKifuLast, ui.actKifuLast},
        {&CommandStates::actKifuAuto, ui.actKifuAuto},
        {&CommandStates::actKifuVarNext, ui.actKifuVarNext},
        {&CommandStates::actKifuVarPrev, ui.actKifuVarPrev},
        {&CommandStates::actKifuVarBranch, ui.actKifuVarBranch},
        {&CommandStates::mnuKifuP, ui.mnuKifuP->menuAction()},
        {&CommandStates::actPlayKentou, ui.actPlayKentou},
        {&CommandStates::actPlayEdit, ui.actPlayEdit},
        {&CommandStates::actEditUndo, ui.actEditUndo},
        {&CommandStates::actEditRedo, ui.actEditRedo},
        {&CommandStates::actEditDelete, ui.actEditDelete},
        {&CommandStates::actEditPromote, ui.actEditPromote},
        {&CommandStates::actEditUp, ui.actEditUp},
        {&CommandStates::actEditDown, ui.actEditDown},
        {&CommandStates::actEditCut, ui.actEditCut},
        {&CommandStates::actCountCancel, ui.countingPanel ? ui.countingPanel->actCountCancel : nullptr},
    };
    for (const auto& [state, action] : actions) {
        if (!action) continue;  // made when first used
        const CommandState& c = s.*state;
        if (action->isEnabled() != c.enabled) action->setEnabled(c.enabled);
        if (action->isVisible() != c.visible) action->setVisible(c.visible);
    }
    ui.btnKifuAuto->setEnabled(s.actKifuAuto.enabled);
    // 形勢判断 and 終局計算 work without an engine: the separators around the computer's
    // commands always show.
    for (QAction* a : {ui.sepPlayHint, ui.sepPlayEngine})
        if (a && !a->isVisible()) a->setVisible(true);
}

}  // namespace tavrin
