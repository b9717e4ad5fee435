#include "app/CommandStates.h"

#include <initializer_list>

namespace tavrin {

CommandStates commandStates(const CommandFacts& f) {
    CommandStates s;
    const bool playing = f.mode == Mode::Playing;
    // Counting happens on a game that is over: the record can be stepped through (a step
    // leaves counting) and play resumed.
    const bool replaying = f.mode != Mode::Playing;
    const bool counting = f.mode == Mode::Counting;
    const bool studying = f.mode == Mode::Study || f.mode == Mode::Editing;
    const bool busy = f.task != EngineTask::None;
    // While the computer chooses a move a person's pass or resignation would be made for it,
    // and a take-back would pull the position from under it.
    const bool moving = f.task == EngineTask::Move || f.task == EngineTask::Redo;
    const auto set = [](CommandState& c, bool enabled, bool visible = true) { c = {enabled, visible}; };

    set(s.actFileSave, f.modified);
    set(s.actFileReOpen, f.modified && f.hasFileName);

    set(s.actPlayStop, playing);
    // Play goes on from the record's own line; a variation is only looked at.
    set(s.actPlayResume, replaying && !studying && f.onMainLine && !(f.currentMove > f.moveCount && f.endedByPasses));
    // While the computer has the move the turn is its own, also before it is asked.
    const bool computersTurn = playing && f.computerToMove;
    set(s.actPlayPass, playing && !moving && !computersTurn);
    set(s.actPlayGiveUp, playing && !moving && !computersTurn);
    set(s.actPlayMatta, (playing && f.currentMove >= 2 && !moving) || (f.mode == Mode::Study && f.studyTakeBack));

    set(s.actPlayHint, f.engineFound && playing && !busy && !f.computerToMove, f.engineFound);
    set(s.actPlayUtinaosi, f.engineFound && playing && !busy && f.computerMovedLast && !f.computerToMove,
        f.engineFound);
    set(s.actPlayStnChg, f.engineFound && playing && !busy && f.personAndComputer, f.engineFound);
    set(s.actPlayKeisei, !counting);
    set(s.actPlayCount, replaying && !counting && !studying && !busy);

    const bool back = replaying && f.currentMove > 1;
    const bool forward = replaying && f.currentMove <= f.moveCount;
    for (CommandState* c : {&s.actKifuFirst, &s.actKifuBack, &s.actKifuBack10}) set(*c, back);
    for (CommandState* c : {&s.actKifuNext, &s.actKifuNext10, &s.actKifuLast, &s.actKifuAuto}) set(*c, forward);
    set(s.actKifuVarNext, replaying && f.nextVariation);
    set(s.actKifuVarPrev, replaying && f.prevVariation);
    set(s.actKifuVarBranch, replaying && f.branchAbove);
    set(s.mnuKifuP, replaying);
    // 検討 works on the record, or on a copy of a game being played; 盤面編集 on a record, or
    // on the start of a game without moves. Each is entered straight from the other.
    set(s.actPlayKentou, !counting && !moving);
    set(s.actPlayEdit, !counting && !moving && (replaying || f.freshGame));
    const bool edits = replaying && !counting;
    set(s.actEditUndo, edits && f.canUndo);
    set(s.actEditRedo, edits && f.canRedo);
    set(s.actEditDelete, edits && f.variationShown);
    set(s.actEditPromote, edits && f.variationShown);
    set(s.actEditUp, edits && f.upVariation);
    set(s.actEditDown, edits && f.downVariation);
    set(s.actEditCut, edits && f.laterNodes);
    set(s.actCountCancel, counting);
    return s;
}

}  // namespace tavrin
