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

// ---- 検討 and 盤面編集 -------------------------------------------------------------------------

BoardMode& TfrmMain::mode() {
    if (counting()) return CountBoard;
    if (Overlay) return *Overlay;
    if (ReplayMode) return ReplayingBoard;
    return PlayingBoard;
}

void TfrmMain::actPlayKentouExecute() {
    if (!ui.actPlayKentou->isChecked()) {
        if (!leaveOverlay()) ui.actPlayKentou->setChecked(true);
    } else if (study()) {
        // Already studying.
    } else {
        // 検討 is entered straight from 盤面編集, at the shown node.
        if (Overlay) Overlay->leave();
        ui.actPlayEdit->setChecked(false);
        Overlay.reset();
        Overlay = std::make_unique<StudyMode>(*this);
    }
    showRecordAgain();
    setStatusText(0, restingStatus());
}

void TfrmMain::actPlayEditExecute() {
    if (!ui.actPlayEdit->isChecked()) {
        leaveOverlay();
    } else if (!editing()) {
        // 盤面編集 goes on at the shown node: the study's moves stay in the record.
        if (StudyMode* s = study()) s->handOver();
        Overlay.reset();
        ui.actPlayKentou->setChecked(false);
        Overlay = std::make_unique<EditMode>(*this);
    }
    showRecordAgain();
    setStatusText(0, restingStatus());
}

bool TfrmMain::leaveOverlay() {
    if (!Overlay) return true;
    if (!Overlay->leave()) return false;
    Overlay.reset();
    ui.actPlayKentou->setChecked(false);
    ui.actPlayEdit->setChecked(false);
    return true;
}

void TfrmMain::leaveStudyAndEditing() {
    // The game or record the modes worked on is replaced: nothing to go back to.
    if (Overlay) Overlay->drop();
    Overlay.reset();
    ui.actPlayKentou->setChecked(false);
    ui.actPlayEdit->setChecked(false);
    CommentRemembered = false;
}

void TfrmMain::buildEditToolBar() {
    ui.tlbEdit = new QToolBar(QStringLiteral("盤面編集"), this);
    ui.tlbEdit->setObjectName(QStringLiteral("tlbEdit"));
    ui.tlbEdit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui.tlbEdit->setMovable(false);
    ui.grpEditTool = new QActionGroup(this);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
        Qt::Key key;
        EditMode::Tool tool;
    } tools[] = {
        {"actEditStones", "石", "左クリックで黒石、右クリックで白石を置く・取る (B)", Qt::Key_B,
         EditMode::Tool::Stones},
        {"actEditTriangle", "△", "三角の印を付ける・消す (T)", Qt::Key_T, EditMode::Tool::Triangle},
        {"actEditSquare", "□", "四角の印を付ける・消す (S)", Qt::Key_S, EditMode::Tool::Square},
        {"actEditCircle", "○", "丸の印を付ける・消す (C)", Qt::Key_C, EditMode::Tool::Circle},
        {"actEditCross", "×", "バツの印を付ける・消す (X)", Qt::Key_X, EditMode::Tool::Cross},
        {"actEditLetters", "Ａ", "次の文字 A、B、… を付ける・消す (L)", Qt::Key_L, EditMode::Tool::Letters},
        {"actEditNumbers", "１", "次の数字 1、2、… を付ける・消す (N)", Qt::Key_N, EditMode::Tool::Numbers},
        {"actEditErase", "消", "印と文字を消す (E)", Qt::Key_E, EditMode::Tool::Erase},
        {"actEditArrow", "→", "矢印を引く・消す：始点で押して終点で離す (A)", Qt::Key_A, EditMode::Tool::Arrow},
        {"actEditLine", "―", "線を引く・消す：始点で押して終点で離す (I)", Qt::Key_I, EditMode::Tool::Line},
        {"actEditDim", "暗", "交点を暗くする・戻す (D)", Qt::Key_D, EditMode::Tool::Dim},
    };
    for (const auto& t : tools) {
        auto* a = new QAction(QString::fromUtf8(t.text), ui.tlbEdit);
        a->setObjectName(QString::fromLatin1(t.name));
        a->setStatusTip(QString::fromUtf8(t.hint));
        a->setToolTip(QString::fromUtf8(t.hint));
        a->setCheckable(true);
        a->setChecked(t.tool == EditMode::Tool::Stones);
        // The letter keys choose a tool while the board has the focus, not while a comment is typed.
        a->setShortcut(QKeySequence(t.key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        ui.pnlMain->addAction(a);
        ui.grpEditTool->addAction(a);
        ui.tlbEdit->addAction(a);
        a->setData(static_cast<int>(t.tool));
        const EditMode::Tool tool = t.tool;
        connect(a, &QAction::triggered, this, [this, tool] {
            if (EditMode* e = editing()) e->setTool(tool);
        });
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

void TfrmMain::annotate(const char* ident) {
    Record.toggleAnnotation(ident);
    // The row of the shown move names its annotation.
    markVariationRows();
    applyCommandStates();
    showAnnotations();
}

void TfrmMain::showAnnotations() {
    const std::pair<QAction*, const char*> marks[] = {{ui.actEditBM, "BM"}, {ui.actEditDO, "DO"}, {ui.actEditIT, "IT"},
                                                      {ui.actEditTE, "TE"}, {ui.actEditGB, "GB"}, {ui.actEditGW, "GW"},
                                                      {ui.actEditDM, "DM"}, {ui.actEditUC, "UC"}, {ui.actEditHO, "HO"}};
    for (const auto& [a, id] : marks) a->setChecked(Record.annotation(id) == id);
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
    // この変化を削除 where the node lies in a variation, as in the 編集 menu.
    bool inVariation = false;
    for (RecordTree::NodeId a = n; a != Tree().gameRoot(0); a = Tree().parent(a))
        inVariation = inVariation || Tree().firstChild(Tree().parent(a)) != a;
    if (inVariation) item(QStringLiteral("この変化を削除(&D)"), &TfrmMain::actEditDeleteExecute, true);
    item(QStringLiteral("本譜にする(&M)"), &TfrmMain::actEditPromoteExecute, !root);
    item(QStringLiteral("変化を上へ(&P)"), &TfrmMain::actEditUpExecute, !root && Tree().firstChild(parent) != n);
    item(QStringLiteral("変化を下へ(&N)"), &TfrmMain::actEditDownExecute,
         !root && Tree().nextSibling(n) != RecordTree::None);
    // 以降を削除 after the node: it is shown first, as the 編集 menu's works on the shown node.
    QAction* cut = menu->addAction(QStringLiteral("以降を削除(&X)"));
    cut->setEnabled(Tree().firstChild(n) != RecordTree::None);
    connect(cut, &QAction::triggered, this, [this, n, revision = Record.revision()] {
        if (Record.revision() != revision || !ReplayMode) return;
        showNode(n);
        actEditCutExecute();
        applyCommandStates();
    });
    // The annotations of the node, as the 編集 menu sets them for the shown one.
    menu->addSeparator();
    QMenu* marks = menu->addMenu(QStringLiteral("評価(&A)"));
    for (QAction* source : {ui.actEditBM, ui.actEditDO, ui.actEditIT, ui.actEditTE, ui.actEditGB, ui.actEditGW,
                            ui.actEditDM, ui.actEditUC, ui.actEditHO}) {
        QAction* a = marks->addAction(source->text());
        a->setCheckable(true);
        const std::string id = source->objectName().mid(7).toStdString();  // "actEditBM" -> "BM"
        a->setChecked(Tree().findProperty(n, RecordTree::identKey(id)) != RecordTree::None);
        connect(a, &QAction::triggered, this, [this, n, id, revision = Record.revision()] {
            if (Record.revision() != revision || !ReplayMode) return;
            showNode(n);
            annotate(id.c_str());
        });
    }
    menu->popup(at);
}

void TfrmMain::actEditUndoExecute() {
    if (!Record.canUndo()) return;
    Record.undo(*ui.pnlMain);
    prcInfoSameSet();
    if (StudyMode* s = study()) s->forgetAdded();
    showRecordAgain();
}

void TfrmMain::actEditRedoExecute() {
    if (!Record.canRedo()) return;
    Record.redo(*ui.pnlMain);
    prcInfoSameSet();
    showRecordAgain();
}

}  // namespace tavrin
