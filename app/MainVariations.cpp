// The record's variations in the window: switching between them (Alt+Down, Alt+Up), back to
// where they branch (Alt+Left), a click on a variation's mark, the markup of the shown node
// on the board, and the game-tree pane 変化図.

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <algorithm>

#include "app/TfrmMain.h"
#include "formats/SgfReader.h"
#include "formats/SgfWriter.h"
#include "game/Engine.h"
#include "record/NodeMarkup.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"
#include "view/KifuWindow.h"

namespace tavrin {

RecordTree::NodeId TfrmMain::lineNodeOfMove(int k) const {
    return Record.line()[static_cast<size_t>(Record.nodeIndexOfMove(k))];
}

void TfrmMain::showNode(RecordTree::NodeId n) {
    if (!ReplayMode || n == RecordTree::None || n >= Tree().nodeCount() || n == Record.node()) return;
    stopKifuAuto();
    const std::vector<RecordTree::NodeId> before = Record.line();
    if (!Record.goTo(n, *ui.pnlMain)) return;
    // The move list is the shown line: rebuilt when the line took another way.
    if (Record.line() != before) {
        rebuildKifuList();
        markVariationRows();
    } else {
        for (int row = 0; row < kifuRowCount(); ++row) setKifuRowMarker(row, false);
    }
    showTimeTotals();
    prcKifActCtrl();
}

void TfrmMain::actKifuVarNextExecute() {
    const RecordTree::NodeId from = Record.variationNode();
    if (from == RecordTree::None) return;
    RecordTree::NodeId to = Tree().nextSibling(from);
    showNode(to);
}

void TfrmMain::actKifuVarPrevExecute() {
    const RecordTree::NodeId from = Record.variationNode();
    if (from == RecordTree::None) return;
    RecordTree::NodeId to = RecordTree::None;
    for (RecordTree::NodeId c = Tree().firstChild(Tree().parent(from)); c != from; c = Tree().nextSibling(c)) to = c;
    showNode(to);
}

void TfrmMain::actKifuVarBranchExecute() { showNode(Record.branchPoint()); }

void TfrmMain::actDispVariationsExecute() {
    ui.pnlMain->setVariationLetters(ui.actDispVariationLetters->isChecked());
    showNodeMarks();
}

void TfrmMain::buildTreePane() {
    QLabel* info = nullptr;
    QVBoxLayout* column = buildDockPane(ui.dckTree, QStringLiteral("変化図"), QStringLiteral("dckTree"), info,
                                        QStringLiteral("lblTreeInfo"), static_cast<Qt::DockWidgetArea>(prefs.TreeArea));
    info->hide();
    ui.treePane = new GameTreePane(column->parentWidget());
    ui.treePane->setObjectName(QStringLiteral("treePane"));
    ui.treePane->setStatusTip(QStringLiteral("クリックした局面を表示します（←→で前後、↑↓で変化）"));
    column->addWidget(ui.treePane, 1);
    // Laid out when it comes into view (a record read before the window first shows).
    connect(ui.dckTree, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) showNodeMarks();
    });
    const auto refused = [this] {
        setStatusText(0, QStringLiteral("対局中は変化図から局面を選べません"));
        return !ReplayMode;
    };
    connect(ui.treePane, &GameTreePane::nodeActivated, this, [this, refused](RecordTree::NodeId n) {
        if (refused()) return;
        showNode(n);
        applyCommandStates();
    });
    // The tree's edits on the node under the right button.
    ui.treePane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.treePane, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        treePaneMenu(ui.treePane->nodeAt(at), ui.treePane->viewport()->mapToGlobal(at));
    });
    connect(ui.treePane, &GameTreePane::stepRequested, this, [this, refused](int delta) {
        if (refused()) return;
        (delta > 0 ? ui.actKifuNext : ui.actKifuBack)->trigger();
    });
    connect(ui.treePane, &GameTreePane::siblingRequested, this, [this, refused](int delta) {
        if (refused()) return;
        (delta > 0 ? ui.actKifuVarNext : ui.actKifuVarPrev)->trigger();
    });
}

void TfrmMain::actDispTreeExecute() {
    if (!ui.dckTree) buildTreePane();
    showPane(ui.dckTree, ui.actDispTree->isChecked(), prefs.TreeSize);
    showNodeMarks();
}

void TfrmMain::recordChanged() {
    showNodeMarks();
    showAnnotations();
    prcCommentShow();
    if (ui.kifuWindow) ui.kifuWindow->followRecord();
    applyCommandStates();
}

void TfrmMain::showNodeMarks() {
    const RecordTree::NodeId n = Record.node();
    ui.pnlMain->setMarkup(markupOf(Tree(), n, Game.BoardSize));
    ui.pnlMain->setVariationMarks(ui.actDispVariations->isChecked() && ReplayMode && !counting()
                                      ? variationMarksOf(Tree(), n, Game.BoardSize)
                                      : std::vector<VariationMark>{});
    if (ui.treePane && !ui.dckTree->isHidden()) {
        // Edits may number the nodes anew: the pane is laid out from the tree again after each
        // change of the record (a step alone changes nothing of its layout).
        if (Record.revision() != treePaneRevision_ || ui.treePane->layout().nodeCount() == 0) {
            ui.treePane->setTree(&Tree(), 0);
            treePaneRevision_ = Record.revision();
        }
        ui.treePane->setCurrent(n);
    }
    showReview();
}

}  // namespace tavrin

namespace tavrin {

int TfrmMain::askOne(QDialog& dialog, const QString& name, const QString& title, const QString& label, QWidget* field) {
    dialog.setObjectName(name);
    dialog.setWindowTitle(title);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(label, field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    return prompts.exec(dialog);
}

RecordTree::NodeId TfrmMain::mainLineNodeOfMove(int m) const {
    const int i = Tree().nodeOfMove(m);
    return Tree().mainLineNode(i >= 0 ? i : Tree().mainLineLength() - 1);
}

void TfrmMain::actKifuGoToExecute() {
    const int lineMoves = Record.movesThrough(static_cast<int>(Record.line().size()) - 1);
    const int length = Tree().mainLineLength();
    const int mainMoves = length > 0 ? Tree().movesThrough(length - 1) : 0;
    QDialog dialog(this);
    auto* move = new QSpinBox(&dialog);
    move->setObjectName(QStringLiteral("spnMove"));
    move->setRange(0, std::max(lineMoves, mainMoves));
    move->setValue(Game.CurrentMove - 1);
    move->selectAll();
    if (askOne(dialog, QStringLiteral("DlgGoTo"), QStringLiteral("手数指定"), QStringLiteral("手数(&N)："), move) !=
        QDialog::Accepted)
        return;
    const int k = move->value();
    // The shown line's move; past its end, the main line's.
    const RecordTree::NodeId n = k <= lineMoves ? lineNodeOfMove(k) : mainLineNodeOfMove(k);
    if (n == Record.node()) return;
    showNode(n);
}

void TfrmMain::actKifuNextCommentExecute() {
    const std::vector<RecordTree::NodeId> order = treeOrder(Tree());
    auto at = std::find(order.begin(), order.end(), Record.node());
    if (at == order.end()) return;
    for (auto n = at + 1; n != order.end(); ++n)
        if (!nodeComment(Tree(), *n).empty()) return showNode(*n);
    setStatusText(0, QStringLiteral("これより後にコメントはありません"));
}

void TfrmMain::actKifuPrevCommentExecute() {
    const std::vector<RecordTree::NodeId> order = treeOrder(Tree());
    auto at = std::find(order.begin(), order.end(), Record.node());
    if (at == order.end()) return;
    while (at != order.begin()) {
        --at;
        if (!nodeComment(Tree(), *at).empty()) return showNode(*at);
    }
    setStatusText(0, QStringLiteral("これより前にコメントはありません"));
}

void TfrmMain::actKifuSearchExecute() {
    QDialog dialog(this);
    auto* text = new QLineEdit(&dialog);
    text->setObjectName(QStringLiteral("edtSearch"));
    text->setText(LastSearch);
    text->selectAll();
    if (askOne(dialog, QStringLiteral("DlgSearch"), QStringLiteral("検索"),
               QStringLiteral("コメント・局面名・文字(&T)："), text) != QDialog::Accepted ||
        text->text().isEmpty())
        return;
    LastSearch = text->text();
    const std::vector<RecordTree::NodeId> found = searchNodes(Tree(), LastSearch.toStdString());
    if (!ui.dckSearch) {
        QLabel* info = nullptr;
        QVBoxLayout* column = buildDockPane(ui.dckSearch, QStringLiteral("検索結果"), QStringLiteral("dckSearch"), info,
                                            QStringLiteral("lblSearchInfo"), Qt::RightDockWidgetArea);
        ui.lblSearchInfo = info;
        ui.lstSearch = new QListWidget(column->parentWidget());
        ui.lstSearch->setObjectName(QStringLiteral("lstSearch"));
        column->addWidget(ui.lstSearch, 1);
        // A click shows the node found (the tree may have changed since: a stale row does nothing).
        connect(ui.lstSearch, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (item->data(Qt::UserRole + 1).toULongLong() != Record.revision()) return;
            showNode(static_cast<RecordTree::NodeId>(item->data(Qt::UserRole).toUInt()));
            applyCommandStates();
        });
    }
    ui.lstSearch->clear();
    for (const RecordTree::NodeId n : found) {
        // Its move number: the moves on the way from the root.
        int moves = 0;
        for (RecordTree::NodeId a = n; a != RecordTree::None; a = Tree().parent(a))
            for (RecordTree::PropId p = Tree().firstProperty(a); p != RecordTree::None; p = Tree().nextProperty(p))
                moves += Tree().identifier(p) == "B" || Tree().identifier(p) == "W";
        QString line = moves == 0 ? QStringLiteral("開始局面") : QStringLiteral("%1手目").arg(moves);
        // Its name, then the start of its comment.
        const std::string name = nodeName(Tree(), n), comment = nodeComment(Tree(), n);
        if (!name.empty()) line += QStringLiteral("【%1】").arg(QString::fromStdString(name));
        if (!comment.empty()) line += QStringLiteral("：") + QString::fromStdString(comment).simplified().left(40);
        auto* item = new QListWidgetItem(line, ui.lstSearch);
        item->setData(Qt::UserRole, static_cast<uint>(n));
        item->setData(Qt::UserRole + 1, static_cast<qulonglong>(Record.revision()));
    }
    ui.lblSearchInfo->setText(QStringLiteral("「%1」：%2 か所").arg(LastSearch).arg(found.size()));
    ui.dckSearch->show();
    if (found.empty())
        setStatusText(0, QStringLiteral("「%1」は見つかりません").arg(LastSearch));
    else
        showNode(found.front());
}

void TfrmMain::actKifuMainLineExecute() { showNode(mainLineNodeOfMove(Game.CurrentMove - 1)); }

}  // namespace tavrin

namespace tavrin {

QString TfrmMain::lineAsSgf() const {
    // From the point the shown variation branches from (on the main line: the shown node),
    // with the position there set up, to the end of the shown line.
    const RecordTree::NodeId branch = Record.branchPoint();
    const RecordTree::NodeId start = branch != RecordTree::None ? branch : Record.node();
    GameRecord there = Record;
    NullPainter none;
    there.goTo(start, none);
    const GameState& g = there.state();
    std::string text = "(;GM[1]FF[4]CA[UTF-8]SZ[" + std::to_string(g.BoardSize) + "]";
    for (const int colour : {Black, White}) {
        std::string points;
        for (int pos = 1; pos <= g.BoardLast && pos < BoardCells; ++pos)
            if (g.Board[static_cast<size_t>(pos)] == colour) points += "[" + sgfPoint(pos, g.BoardStride) + "]";
        if (!points.empty()) text += (colour == Black ? "AB" : "AW") + points;
    }
    text += g.SideToMove == White ? "PL[W]" : "PL[B]";
    const std::vector<RecordTree::NodeId>& line = Record.line();
    const auto at = std::find(line.begin(), line.end(), start);
    for (auto n = at == line.end() ? line.end() : at + 1; n != line.end(); ++n) {
        text += "\n;";
        for (RecordTree::PropId p = Tree().firstProperty(*n); p != RecordTree::None; p = Tree().nextProperty(p)) {
            text += Tree().identifier(p);
            for (int k = 0; k < Tree().valueCount(p); ++k) text += "[" + fncKinsiMojiChk(Tree().value(p, k)) + "]";
        }
    }
    return QString::fromStdString(text + ")\n");
}

void TfrmMain::actEditCopyLineExecute() {
    QGuiApplication::clipboard()->setText(lineAsSgf());
    setStatusText(0, QStringLiteral("変化を SGF としてコピーしました"));
}

void TfrmMain::actEditPasteLineExecute() {
    TextBuffer text;
    text.setText(QGuiApplication::clipboard()->text().toStdString());
    GameState pasted;
    prcNewSetCore(pasted, std::string());
    RecordTree tree;
    if (text.empty() || !fncStringsToKif(pasted, text, std::string(), &tree).ok()) {
        setStatusText(0, QStringLiteral("クリップボードに SGF の変化がありません"));
        return;
    }
    if (pasted.BoardSize != Game.BoardSize) {
        setStatusText(0, QStringLiteral("貼り付ける変化の碁盤の大きさが違います"));
        return;
    }
    std::vector<std::pair<int, int>> moves;
    for (int k = 1; k <= pasted.MoveCount && pasted.HandicapCount + k <= RecordCapacity; ++k) {
        const auto e = static_cast<size_t>(pasted.HandicapCount + k);
        moves.emplace_back(pasted.MoveColor[e], pasted.MovePos[e]);
    }
    const int added = Record.addLine(moves, *ui.pnlMain);
    showRecordAgain();
    setStatusText(0, added == 0 ? QStringLiteral("貼り付けた手はこの局面では打てません")
                                : QStringLiteral("%1手を変化として加えました").arg(added));
}

void TfrmMain::actEditKeepLineExecute() {
    int others = 0;
    for (size_t i = 1; i < Record.line().size(); ++i)
        for (RecordTree::NodeId s = Tree().firstChild(Tree().parent(Record.line()[i])); s != RecordTree::None;
             s = Tree().nextSibling(s))
            if (s != Record.line()[i]) others += Record.subtreeSize(s);
    if (others == 0) return;
    if (prompts.confirm(this,
                        QStringLiteral("表示中の手順のほかの変化（%1手）を削除します。\nよろしいですか？").arg(others),
                        false) != Answer::Yes)
        return;
    Record.keepOnlyLine(*ui.pnlMain);
    showRecordAgain();
}

}  // namespace tavrin
