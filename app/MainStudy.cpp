// 検討 (study: moves played into the record as variations), 盤面編集 (setup stones, markup and
// the side to move at the shown node), the edits of the tree, and the record's undo history.

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "game/Engine.h"
#include "record/InfoTexts.h"
#include "record/NodeMarkup.h"
#include "view/BoardGeometry.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"

namespace tavrin {

std::vector<int> TfrmMain::shownPath() const {
    std::vector<int> places;
    for (int i = 1; i <= Record.depth(); ++i)
        places.push_back(Tree().siblingIndex(Record.line()[static_cast<size_t>(i)]));
    return places;
}

RecordTree::NodeId TfrmMain::nodeAtPath(const std::vector<int>& places) const {
    RecordTree::NodeId n = Tree().gameRoot(0);
    for (const int k : places) {
        const RecordTree::NodeId c = Tree().child(n, k);
        if (c == RecordTree::None) break;
        n = c;
    }
    return n;
}

void TfrmMain::showRecordAgain() {
    // The tree or the line may have changed as a whole: the list, the marker and the picture
    // are made again from the record.
    rebuildKifuList();
    markVariationRows();
    showTimeTotals();
    // Stones set up at the start may make a handicap or a set-up position.
    ui.lblPutStone->setText(QString::fromStdString(handicapLabel(Game, &Tree())));
    prcKifActCtrl();
}

// ---- 検討 ---------------------------------------------------------------------------------

void TfrmMain::actPlayKentouExecute() {
    if (ui.actPlayKentou->isChecked()) {
        if (ui.actPlayEdit->isChecked()) {
            ui.actPlayEdit->setChecked(false);
            endEditing();
        }
        stopKifuAuto();
        ui.engineTurn->stop();
        Study.active = true;
        // A game without moves is studied in place: what the study makes is the record.
        Study.fromGame = !ReplayMode && Game.MoveCount > 0;
        Study.returnTo = shownPath();
        Study.added.clear();
        Study.wasPlaying = !ReplayMode;
        if (Study.wasPlaying) {
            // The board studies, it does not play: the clock stops as in replay.
            ui.tmrTime->stop();
            ReplayMode = true;
            prefs.pumGobanAutoPopup = false;
        }
        if (Study.fromGame) {
            // During a game the study works on a copy: the game comes back as it was.
            Study.game = Record;
            Study.modified = Doc.Modified;
        }
    } else if (!endStudy()) {
        ui.actPlayKentou->setChecked(true);
    }
    showRecordAgain();
    setStatusText(0, restingStatus());
}

bool TfrmMain::endStudy() {
    if (!Study.active) return true;
    // The lines a study of a game in progress added are kept as variations of the game, or
    // dropped, as the user says.
    Answer keep = Answer::No;
    if (Study.fromGame && !Study.added.empty()) {
        keep = prompts.confirm(this, QStringLiteral("検討で打った変化を棋譜に残しますか？"), true);
        if (keep == Answer::Cancel) return false;
    }
    Study.active = false;
    if (Study.fromGame && keep == Answer::Yes) {
        // The game goes on from where it stood, its clocks as they were; the study's moves
        // stay in the record and its history.
        Record.setClocks(Study.game->state());
        Record.goTo(nodeAtPath(Study.returnTo), *ui.pnlMain);
        Study.game.reset();
        ReplayMode = false;
        prefs.pumGobanAutoPopup = true;
        ui.pnlMain->relayout();
        if (Game.CurrentMove > 1) ui.tmrTime->start();
    } else if (Study.fromGame) {
        // The file the game belongs to may have been named by a save meanwhile.
        const Document now = Doc;
        Record = std::move(*Study.game);
        Doc.FileName = now.FileName;
        Doc.ReadOnly = now.ReadOnly;
        Doc.Modified = Study.modified;
        Study.game.reset();
        ReplayMode = false;
        prefs.pumGobanAutoPopup = true;
        ui.pnlMain->relayout();
        if (Game.CurrentMove > 1) ui.tmrTime->start();
    } else {
        Record.goTo(nodeAtPath(Study.returnTo), *ui.pnlMain);
        // A new game whose study played no move is played on; one with moves is a record now.
        if (Study.wasPlaying && Game.MoveCount == 0) {
            ReplayMode = false;
            prefs.pumGobanAutoPopup = true;
        }
    }
    Study.added.clear();
    return true;
}

void TfrmMain::studyClick(Qt::MouseButton button, int pos) {
    if (button == Qt::RightButton) {
        ui.actKifuBack->trigger();
        return;
    }
    if (button != Qt::LeftButton || pos == 0) return;
    const RecordTree::NodeId before = Record.node();
    const size_t children = static_cast<size_t>(Tree().childCount(before));
    // The clock does not run in a study: its moves take no time.
    const HitResult r = Record.play(Game.SideToMove, pos, *ui.pnlMain, true);
    if (r != HitResult::Legal) {
        const QString reason = QString::fromUtf8(hitRefusalText(r));
        if (!reason.isEmpty()) setStatusText(0, reason);
        return;
    }
    // A move the record had already is stepped into; a new one is the study's own.
    if (static_cast<size_t>(Tree().childCount(before)) > children) Study.added.push_back(shownPath());
    showRecordAgain();
}

bool TfrmMain::studyCanTakeBack() const {
    return Study.active && !Study.added.empty() && Study.added.back() == shownPath() &&
           Tree().firstChild(Record.node()) == RecordTree::None;
}

void TfrmMain::studyTakeBack() {
    if (!studyCanTakeBack()) return;
    Record.deleteNode(Record.node(), *ui.pnlMain);
    Study.added.pop_back();
    showRecordAgain();
}

void TfrmMain::leaveStudyAndEditing() {
    // The game or record the modes worked on is replaced: nothing to go back to.
    Study.active = false;
    Study.game.reset();
    Study.added.clear();
    ui.actPlayKentou->setChecked(false);
    endEditing();
    ui.actPlayEdit->setChecked(false);
    CommentRemembered = false;
}

// ---- 盤面編集 -----------------------------------------------------------------------------

void TfrmMain::actPlayEditExecute() {
    if (ui.actPlayEdit->isChecked()) {
        if (Study.active) {
            // 盤面編集 goes on at the shown node: the study's moves stay in the record.
            const std::vector<int> here = shownPath();
            if (Study.fromGame && Study.added.empty()) {
                ui.actPlayKentou->setChecked(false);
                endStudy();
                Record.goTo(nodeAtPath(here), *ui.pnlMain);
            } else {
                Study.active = false;
                Study.game.reset();
                Study.added.clear();
                ui.actPlayKentou->setChecked(false);
                Record.goTo(nodeAtPath(here), *ui.pnlMain);
            }
        }
        stopKifuAuto();
        ui.engineTurn->stop();
        ui.tmrTime->stop();
        if (!ui.tlbEdit) buildEditToolBar();
        ui.tlbEdit->show();
        Editing = true;
        // The right button puts white stones: the board's menu waits until editing ends.
        PopupBeforeEditing = prefs.pumGobanAutoPopup;
        prefs.pumGobanAutoPopup = false;
    } else {
        endEditing();
    }
    showRecordAgain();
    setStatusText(0, restingStatus());
}

void TfrmMain::endEditing() {
    if (!Editing) return;
    Editing = false;
    prefs.pumGobanAutoPopup = PopupBeforeEditing;
    if (ui.tlbEdit) ui.tlbEdit->hide();
    // A game set up from its first position goes on from there.
    if (!ReplayMode && Game.CurrentMove > 1) ui.tmrTime->start();
}

void TfrmMain::buildEditToolBar() {
    ui.tlbEdit = new QToolBar(QStringLiteral("盤面編集"), this);
    ui.tlbEdit->setObjectName(QStringLiteral("tlbEdit"));
    ui.tlbEdit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui.tlbEdit->setMovable(false);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, ui.tlbEdit);
    ui.grpEditTool = new QActionGroup(this);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
        Qt::Key key;
        EditTool tool;
    } tools[] = {
        {"actEditStones", "石", "左クリックで黒石、右クリックで白石を置く・取る (B)", Qt::Key_B, EditTool::Stones},
        {"actEditTriangle", "△", "三角の印を付ける・消す (T)", Qt::Key_T, EditTool::Triangle},
        {"actEditSquare", "□", "四角の印を付ける・消す (S)", Qt::Key_S, EditTool::Square},
        {"actEditCircle", "○", "丸の印を付ける・消す (C)", Qt::Key_C, EditTool::Circle},
        {"actEditCross", "×", "バツの印を付ける・消す (X)", Qt::Key_X, EditTool::Cross},
        {"actEditLetters", "Ａ", "次の文字 A、B、… を付ける・消す (L)", Qt::Key_L, EditTool::Letters},
        {"actEditNumbers", "１", "次の数字 1、2、… を付ける・消す (N)", Qt::Key_N, EditTool::Numbers},
        {"actEditErase", "消", "印と文字を消す (E)", Qt::Key_E, EditTool::Erase},
    };
    for (const auto& t : tools) {
        auto* a = new QAction(QString::fromUtf8(t.text), ui.tlbEdit);
        a->setObjectName(QString::fromLatin1(t.name));
        a->setStatusTip(QString::fromUtf8(t.hint));
        a->setToolTip(QString::fromUtf8(t.hint));
        a->setCheckable(true);
        a->setChecked(t.tool == EditTool::Stones);
        // The letter keys choose a tool while the board has the focus, not while a comment is typed.
        a->setShortcut(QKeySequence(t.key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        ui.pnlMain->addAction(a);
        ui.grpEditTool->addAction(a);
        ui.tlbEdit->addAction(a);
        const EditTool tool = t.tool;
        connect(a, &QAction::triggered, this, [this, tool] { Tool = tool; });
    }
    ui.tlbEdit->addSeparator();
    auto* turn = new QAction(QStringLiteral("手番"), ui.tlbEdit);
    turn->setObjectName(QStringLiteral("actEditTurn"));
    turn->setStatusTip(QStringLiteral("この局面の手番を入れ替える (P)"));
    turn->setToolTip(turn->statusTip());
    turn->setShortcut(QKeySequence(Qt::Key_P));
    turn->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ui.pnlMain->addAction(turn);
    ui.tlbEdit->addAction(turn);
    connect(turn, &QAction::triggered, this, [this] {
        Record.setPlayerToMove(3 - Game.SideToMove, *ui.pnlMain);
        showRecordAgain();
    });
    ui.pnlMain->setFocusPolicy(Qt::ClickFocus);
}

void TfrmMain::editClick(Qt::MouseButton button, int pos) {
    if (pos == 0 || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    bool changed = true;
    const NodeMarkup marks = markupOf(Tree(), Record.node(), Game.BoardSize);
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
    const EditTool tool = button == Qt::RightButton ? EditTool::Stones : Tool;
    switch (tool) {
        case EditTool::Stones: {
            const int colour = button == Qt::LeftButton ? Black : White;
            const int there = Game.Board[static_cast<size_t>(pos)];
            changed = Record.setSetupStone(pos, there == colour ? 0 : colour, *ui.pnlMain);
            break;
        }
        case EditTool::Triangle:
        case EditTool::Square:
        case EditTool::Circle:
        case EditTool::Cross:
        case EditTool::Letters:
        case EditTool::Numbers: {
            static constexpr MarkShape Shapes[] = {MarkShape::Triangle, MarkShape::Square, MarkShape::Circle,
                                                   MarkShape::Cross};
            if (labelAt() || markAt())
                Record.eraseMarkup(pos);
            else if (tool == EditTool::Letters || tool == EditTool::Numbers)
                Record.setLabel(pos, Record.nextLabel(tool == EditTool::Numbers));
            else
                Record.toggleMark(pos, Shapes[static_cast<int>(tool) - static_cast<int>(EditTool::Triangle)]);
            break;
        }
        case EditTool::Erase:
            changed = labelAt() || markAt();
            if (changed) Record.eraseMarkup(pos);
            break;
    }
    if (changed) showRecordAgain();
}

// ---- the tree's edits and the history -------------------------------------------------------

RecordTree::NodeId TfrmMain::editTarget() const {
    const std::vector<RecordTree::NodeId>& line = Record.line();
    for (int i = Record.depth(); i > 0; --i) {
        const RecordTree::NodeId n = line[static_cast<size_t>(i)];
        if (Tree().firstChild(line[static_cast<size_t>(i - 1)]) != n) return n;
    }
    return RecordTree::None;
}

void TfrmMain::actEditDeleteExecute() {
    const RecordTree::NodeId n = treeEditNode();
    if (n == RecordTree::None || n == Tree().gameRoot(0)) return;
    const int nodes = Record.subtreeSize(n);
    if (nodes > 1 &&
        prompts.confirm(this, QStringLiteral("この変化（%1手）を削除します。\nよろしいですか？").arg(nodes), false) !=
            Answer::Yes)
        return;
    Record.deleteNode(n, *ui.pnlMain);
    showRecordAgain();
}

void TfrmMain::actEditPromoteExecute() {
    const RecordTree::NodeId n = treeEditNode();
    if (n == RecordTree::None) return;
    Record.promote(n, *ui.pnlMain);
    showRecordAgain();
}

void TfrmMain::moveVariation(int delta) {
    const RecordTree::NodeId n = treeEditNode();
    if (n == RecordTree::None) return;
    Record.moveVariation(n, delta, *ui.pnlMain);
    showRecordAgain();
}

void TfrmMain::actEditUpExecute() { moveVariation(-1); }
void TfrmMain::actEditDownExecute() { moveVariation(1); }

void TfrmMain::actEditCutExecute() {
    const RecordTree::NodeId n = Record.node();
    const int below = Record.subtreeSize(n) - 1;
    if (below <= 0) return;
    if (prompts.confirm(this, QStringLiteral("この局面より後の %1 手を削除します。\nよろしいですか？").arg(below),
                        false) != Answer::Yes)
        return;
    Record.cutAfter();
    showRecordAgain();
}

RecordTree::NodeId TfrmMain::treeEditNode() const {
    return TreeMenuNode != RecordTree::None ? TreeMenuNode : editTarget();
}

void TfrmMain::treePaneMenu(RecordTree::NodeId n, const QPoint& at) {
    if (n == RecordTree::None || !ReplayMode) return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pumTree"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto item = [&](const QString& text, void (TfrmMain::*handler)(), bool enabled) {
        QAction* a = menu->addAction(text);
        a->setEnabled(enabled);
        // The menu may outlive the tree it was opened on: an edit since renumbers the nodes.
        connect(a, &QAction::triggered, this, [this, n, handler, revision = Record.revision()] {
            if (Record.revision() != revision || !ReplayMode) return;
            TreeMenuNode = n;
            (this->*handler)();
            TreeMenuNode = RecordTree::None;
            applyCommandStates();
        });
    };
    const bool root = n == Tree().gameRoot(0);
    const RecordTree::NodeId parent = root ? RecordTree::None : Tree().parent(n);
    item(QStringLiteral("この変化を削除(&D)"), &TfrmMain::actEditDeleteExecute, !root);
    item(QStringLiteral("本譜にする(&M)"), &TfrmMain::actEditPromoteExecute, !root);
    item(QStringLiteral("変化を上へ(&P)"), &TfrmMain::actEditUpExecute, !root && Tree().firstChild(parent) != n);
    item(QStringLiteral("変化を下へ(&N)"), &TfrmMain::actEditDownExecute,
         !root && Tree().nextSibling(n) != RecordTree::None);
    menu->popup(at);
}

void TfrmMain::actEditUndoExecute() {
    if (!Record.canUndo()) return;
    Record.undo(*ui.pnlMain);
    prcInfoSameSet();
    Study.added.clear();
    showRecordAgain();
}

void TfrmMain::actEditRedoExecute() {
    if (!Record.canRedo()) return;
    Record.redo(*ui.pnlMain);
    prcInfoSameSet();
    showRecordAgain();
}

}  // namespace tavrin
