#include "app/BoardModes.h"

#include <QAction>
#include <QActionGroup>
#include <QTimer>
#include <QToolBar>

#include "app/CountingPanel.h"
#include "app/EngineTurn.h"
#include "app/TfrmMain.h"
#include "game/Engine.h"
#include "record/NodeMarkup.h"
#include "view/BoardView.h"

namespace tavrin {

// ---- play and replay ----------------------------------------------------------------------

void PlayBoard::click(Qt::MouseButton button, int pos) {
    // The board waits for Rokiru's move whenever the turn is its own; a hint or an estimate
    // in the making gives way to the person's click.
    if (w_.ui.engineTurn->computerPlays(w_.Game.SideToMove) || w_.ui.engineTurn->choosingMove()) return;
    w_.ui.engineTurn->stop();
    // The right button opens the board's menu while playing.
    if (button == Qt::RightButton) return;
    if (pos == 0 || !w_.MouseArmed) return;
    w_.MouseArmed = false;
    w_.prcHit(pos, w_.Game.SideToMove);
}

Mode ReplayBoard::kind() const { return w_.Game.GameOver ? Mode::Ended : Mode::Stopped; }

void ReplayBoard::click(Qt::MouseButton button, int pos) {
    // A click on a variation's mark goes into it; elsewhere the board steps through the
    // record wherever it is clicked.
    for (const VariationMark& m : w_.ui.pnlMain->variationMarks()) {
        if (button == Qt::LeftButton && pos > 0 && m.Pos == pos) {
            w_.showNode(m.Node);
            return;
        }
    }
    if (button == Qt::LeftButton)
        w_.actKifuNextExecute();
    else if (button == Qt::RightButton)
        w_.actKifuBackExecute();
    else if (w_.Game.CurrentMove < 2)
        w_.actKifuLastExecute();
    else
        w_.actKifuFirstExecute();
}

void CountingBoard::click(Qt::MouseButton button, int pos) { w_.ui.countingPanel->click(button, pos); }

// ---- 検討 -----------------------------------------------------------------------------------

StudyMode::StudyMode(TfrmMain& w) : OverlayMode(w) {
    w_.stopKifuAuto();
    w_.ui.engineTurn->stop();
    // A game without moves is studied in place: what the study makes is the record.
    fromGame_ = !w_.ReplayMode && w_.Game.MoveCount > 0;
    returnTo_ = w_.shownPath();
    wasPlaying_ = !w_.ReplayMode;
    if (wasPlaying_) {
        // The board studies, it does not play: the clock stops as in replay.
        w_.ui.tmrTime->stop();
        w_.ReplayMode = true;
        w_.prefs.pumGobanAutoPopup = false;
    }
    if (fromGame_) {
        // During a game the study works on a copy: the game comes back as it was.
        game_ = w_.Record;
        modified_ = w_.Doc.Modified;
    }
}

QString StudyMode::name() const { return QStringLiteral("検討中：碁盤をクリックすると変化として石を打ちます"); }

void StudyMode::click(Qt::MouseButton button, int pos) {
    if (button == Qt::RightButton) {
        w_.ui.actKifuBack->trigger();
        return;
    }
    if (button != Qt::LeftButton || pos == 0) return;
    const RecordTree::NodeId before = w_.Record.node();
    const int children = w_.Tree().childCount(before);
    // The clock does not run in a study: its moves take no time.
    const HitResult r = w_.Record.play(w_.Game.SideToMove, pos, *w_.ui.pnlMain, true);
    if (r != HitResult::Legal) {
        const QString reason = QString::fromUtf8(hitRefusalText(r));
        if (!reason.isEmpty()) w_.setStatusText(0, reason);
        return;
    }
    // A move the record had already is stepped into; a new one is the study's own.
    if (w_.Tree().childCount(before) > children) added_.push_back(w_.shownPath());
    w_.showRecordAgain();
}

void StudyMode::backToPlay() {
    w_.ReplayMode = false;
    w_.prefs.pumGobanAutoPopup = true;
    w_.ui.pnlMain->relayout();
    if (w_.Game.CurrentMove > 1) w_.ui.tmrTime->start();
}

bool StudyMode::leave() {
    // The lines a study of a game in progress added are kept as variations of the game, or
    // dropped, as the user says.
    Answer keep = Answer::No;
    if (fromGame_ && !added_.empty()) {
        keep = w_.prompts.confirm(&w_, QStringLiteral("検討で打った変化を棋譜に残しますか？"), true);
        if (keep == Answer::Cancel) return false;
    }
    if (fromGame_ && keep == Answer::Yes) {
        // The game goes on from where it stood, its clocks as they were; the study's moves
        // stay in the record and its history.
        w_.Record.setClocks(game_->state());
        w_.Record.goTo(w_.nodeAtPath(returnTo_), *w_.ui.pnlMain);
        backToPlay();
    } else if (fromGame_) {
        // The file the game belongs to may have been named by a save meanwhile.
        const Document now = w_.Doc;
        w_.Record = std::move(*game_);
        w_.Doc.FileName = now.FileName;
        w_.Doc.ReadOnly = now.ReadOnly;
        w_.Doc.Modified = modified_;
        backToPlay();
    } else {
        w_.Record.goTo(w_.nodeAtPath(returnTo_), *w_.ui.pnlMain);
        // A new game whose study played no move is played on; one with moves is a record now.
        if (wasPlaying_ && w_.Game.MoveCount == 0) {
            w_.ReplayMode = false;
            w_.prefs.pumGobanAutoPopup = true;
        }
    }
    game_.reset();
    added_.clear();
    return true;
}

void StudyMode::drop() {
    game_.reset();
    added_.clear();
}

void StudyMode::handOver() {
    const std::vector<int> here = w_.shownPath();
    if (fromGame_ && added_.empty()) leave();
    w_.Record.goTo(w_.nodeAtPath(here), *w_.ui.pnlMain);
}

bool StudyMode::canTakeBack() const {
    return !added_.empty() && added_.back() == w_.shownPath() &&
           w_.Tree().firstChild(w_.Record.node()) == RecordTree::None;
}

void StudyMode::takeBack() {
    if (!canTakeBack()) return;
    w_.Record.deleteNode(w_.Record.node(), *w_.ui.pnlMain);
    added_.pop_back();
    w_.showRecordAgain();
}

void StudyMode::gameSaved() {
    modified_ = false;
    if (game_) game_->markSaved();
}

// ---- 盤面編集 -------------------------------------------------------------------------------

EditMode::EditMode(TfrmMain& w) : OverlayMode(w) {
    w_.stopKifuAuto();
    w_.ui.engineTurn->stop();
    w_.ui.tmrTime->stop();
    if (!w_.ui.tlbEdit) w_.buildEditToolBar();
    // Beside the main tool bar, in its row: the board keeps its place and size. (Hidden, the
    // main tool bar leaves the top to the editing tools alone.)
    const Qt::ToolBarArea area = w_.ui.tlbMain->isHidden() ? Qt::TopToolBarArea : w_.toolBarArea(w_.ui.tlbMain);
    w_.addToolBar(area, w_.ui.tlbEdit);
    w_.ui.tlbEdit->show();
    // The tool chosen last time is chosen still.
    if (const QAction* a = w_.ui.grpEditTool->checkedAction()) tool_ = static_cast<Tool>(a->data().toInt());
    // The right button puts white stones: the board's menu waits until editing ends.
    popupBefore_ = w_.prefs.pumGobanAutoPopup;
    w_.prefs.pumGobanAutoPopup = false;
}

QString EditMode::name() const { return QStringLiteral("盤面編集中：左クリックで黒石、右クリックで白石を置く・取る"); }

bool EditMode::leave() {
    w_.prefs.pumGobanAutoPopup = popupBefore_;
    if (w_.ui.tlbEdit) w_.ui.tlbEdit->hide();
    // A game set up from its first position goes on from there.
    if (!w_.ReplayMode && w_.Game.CurrentMove > 1) w_.ui.tmrTime->start();
    return true;
}

void EditMode::click(Qt::MouseButton button, int pos) {
    if (pos == 0 || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    GameRecord& record = w_.Record;
    bool changed = true;
    const NodeMarkup marks = markupOf(w_.Tree(), record.node(), w_.Game.BoardSize);
    const auto labelAt = [&]() -> const PointLabel* {
        for (const PointLabel& l : marks.Labels)
            if (l.Pos == pos) return &l;
        return nullptr;
    };
    const auto markAt = [&]() {
        for (const PointMark& m : marks.Marks)
            if (m.Pos == pos) return true;
        return false;
    };
    // A click with a marking tool on a marked point takes the mark away.
    const Tool tool = button == Qt::RightButton ? Tool::Stones : tool_;
    switch (tool) {
        case Tool::Stones: {
            const int colour = button == Qt::LeftButton ? Black : White;
            const int there = w_.Game.Board[static_cast<size_t>(pos)];
            changed = record.setSetupStone(pos, there == colour ? 0 : colour, *w_.ui.pnlMain);
            break;
        }
        case Tool::Triangle:
        case Tool::Square:
        case Tool::Circle:
        case Tool::Cross:
        case Tool::Letters:
        case Tool::Numbers: {
            static constexpr MarkShape Shapes[] = {MarkShape::Triangle, MarkShape::Square, MarkShape::Circle,
                                                   MarkShape::Cross};
            if (labelAt() || markAt())
                record.eraseMarkup(pos);
            else if (tool == Tool::Letters || tool == Tool::Numbers)
                record.setLabel(pos, record.nextLabel(tool == Tool::Numbers));
            else
                record.toggleMark(pos, Shapes[static_cast<int>(tool) - static_cast<int>(Tool::Triangle)]);
            break;
        }
        case Tool::Erase:
            changed = labelAt() || markAt();
            if (changed) record.eraseMarkup(pos);
            break;
        case Tool::Arrow:
        case Tool::Line: changed = record.toggleLine(pressed_, pos, tool == Tool::Arrow); break;
        case Tool::Dim: record.toggleDimmed(pos); break;
    }
    if (changed) w_.showRecordAgain();
}

}  // namespace tavrin
