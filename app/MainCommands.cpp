// The facts of the game the commands' rules read, and each rule applied to its action.
#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "app/ActionTable.h"
#include "app/CommandStates.h"
#include "app/CountingPanel.h"
#include "app/EngineTurn.h"
#include "app/TfrmMain.h"
#include "engine/GameReview.h"

namespace tavrin {

CommandFacts TfrmMain::commandFacts() const {
    CommandFacts f;
    f.mode = mode().kind();
    f.task = ui.engineTurn->task();
    f.engineFound = EngineFound && engineTakesSize();
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
    f.studyTakeBack = study() && study()->canTakeBack();
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
    f.reviewing = ui.review && ui.review->running();
    return f;
}

void TfrmMain::applyCommandStates() {
    const CommandFacts f = commandFacts();
    const auto apply = [](QAction* action, const CommandState& c) {
        if (action->isEnabled() != c.enabled) action->setEnabled(c.enabled);
        if (action->isVisible() != c.visible) action->setVisible(c.visible);
    };
    for (const ActionRow& row : actionTable())
        if (row.state && row.handler) apply(ui.*row.member, row.state(f));
    // The replay menu as a whole, and the counting panel's own button once it is made.
    apply(ui.mnuKifuP->menuAction(), {f.replaying(), true});
    if (ui.countingPanel) apply(ui.countingPanel->actCountCancel, {f.counting(), true});
    ui.btnKifuAuto->setEnabled(ui.actKifuAuto->isEnabled());
    // 形勢判断 and 終局計算 work without an engine: the separators around the computer's
    // commands always show.
    for (QAction* a : {ui.sepPlayHint, ui.sepPlayEngine})
        if (a && !a->isVisible()) a->setVisible(true);
}

}  // namespace tavrin
