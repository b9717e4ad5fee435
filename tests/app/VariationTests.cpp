// Browsing a record's variations in the window through its commands, the board's marks,
// the comment window's links and the tree pane: the board, the move list and the marks
// follow the shown node, and stepping on follows the line the user came from.

#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "record/NodeMarkup.h"
#include "tests/app/FileTestKit.h"
#include "tests/game/TestBoard.h"
#include "view/BoardGeometry.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"

namespace tavrin::test {
namespace {

// Three answers to black's first move: the main line W[gc], W[dd] with a triangle, a comment
// and a bad move after it, and W[hh].
const QByteArray Branches =
    "(;GM[1]FF[4]SZ[9];B[cc]C[first](;W[gc];B[ee];W[ff])(;W[dd]C[other]TR[cc];B[gg]BM[1])(;W[hh]))";

TEST_F(FileWindowTest, VariationsAreBrowsedAlongTheShownLine) {
    auto w = open();
    w->resize(800, 600);
    w->show();
    w->ui.actDispComment->trigger();
    openThroughDialog(*w, prompts, put("branches.sgf", Branches));
    ASSERT_EQ(w->Game.MoveCount, 4);
    const auto click = [&](int col, int row) {
        const BoardGeometry& g = w->ui.pnlMain->geometryInfo();
        const int x = (col - 1) * g.CellSize + g.CellSize / 2, y = (row - 1) * g.CellSize + g.CellSize / 2;
        inside(*w).pbxGbnMouseDown(Qt::LeftButton, x, y);
        inside(*w).pbxGbnMouseUp(Qt::LeftButton, x, y);
    };
    const struct Step {
        const char* what;
        std::function<void()> run;
        int shown;                      // moves on the board
        int lineMoves;                  // moves of the shown line (the move list's rows less one)
        int lastCol, lastRow;           // the shown move's point (0: the start)
        int boardMarks;                 // variation marks on the board
        bool triangle;                  // the shown node's markup is drawn
        bool varNext, varPrev, branch;  // Alt+Down, Alt+Up, Alt+Left enabled
    } steps[] = {
        {"to move 1",
         [&] {
             w->ui.actKifuFirst->trigger();
             w->ui.actKifuNext->trigger();
         },
         1, 4, 3, 3, 3, false, true, false, false},
        {"Alt+Down: the second answer", [&] { w->ui.actKifuVarNext->trigger(); }, 2, 3, 4, 4, 0, true, true, true,
         true},
        {"Alt+Down: the third", [&] { w->ui.actKifuVarNext->trigger(); }, 2, 2, 8, 8, 0, false, false, true, true},
        {"Alt+Up: the second again", [&] { w->ui.actKifuVarPrev->trigger(); }, 2, 3, 4, 4, 0, true, true, true, true},
        {"a step forward stays in it", [&] { w->ui.actKifuNext->trigger(); }, 3, 3, 7, 7, 0, false, true, true, true},
        {"Alt+Left: back to the branch", [&] { w->ui.actKifuVarBranch->trigger(); }, 1, 3, 3, 3, 3, false, true, true,
         false},
        {"forward follows the line it came from", [&] { w->ui.actKifuNext->trigger(); }, 2, 3, 4, 4, 0, true, true,
         true, true},
        {"back, then a click on the main line's mark",
         [&] {
             w->ui.actKifuBack->trigger();
             click(7, 3);
         },
         2, 4, 7, 3, 0, false, true, false, true},
        {"a click on the tree pane's last node of the third answer",
         [&] {
             w->ui.actDispTree->trigger();
             const RecordTree::NodeId hh = w->Tree().nextSibling(w->Tree().nextSibling(w->Record.node()));
             const QRect r = w->ui.treePane->nodeRect(hh);
             QTest::mouseClick(w->ui.treePane->viewport(), Qt::LeftButton, {}, r.center());
         },
         2, 2, 8, 8, 0, false, false, true, true},
        {"本譜に戻る: the main line at the same move", [&] { w->ui.actKifuMainLine->trigger(); }, 2, 4, 7, 3, 0, false,
         true, false, true},
        {"Ctrl+Shift+Down: the next comment in tree order", [&] { w->ui.actKifuNextComment->trigger(); }, 2, 3, 4, 4, 0,
         true, true, true, true},
        {"Ctrl+Shift+Up: the one before", [&] { w->ui.actKifuPrevComment->trigger(); }, 1, 3, 3, 3, 3, false, true,
         true, false},
        {"Ctrl+G 4: past the shown line, the main line's move",
         [&] {
             prompts.dialogScripts.push_back([](QDialog& d) {
                 d.findChild<QSpinBox*>(QStringLiteral("spnMove"))->setValue(4);
                 return static_cast<int>(QDialog::Accepted);
             });
             w->ui.actKifuGoTo->trigger();
         },
         4, 4, 6, 6, 0, false, true, false, true},
        {"← ← and ↓ ↓: the third answer again",
         [&] {
             for (QAction* a : {w->ui.actKifuBack, w->ui.actKifuBack, w->ui.actKifuVarNext, w->ui.actKifuVarNext})
                 a->trigger();
         },
         2, 2, 8, 8, 0, false, false, true, true},
        {"Ctrl+F \"OTHER\": the second answer, found first",
         [&] {
             prompts.dialogScripts.push_back([](QDialog& d) {
                 d.findChild<QLineEdit*>(QStringLiteral("edtSearch"))->setText(QStringLiteral("OTHER"));
                 return static_cast<int>(QDialog::Accepted);
             });
             w->ui.actKifuSearch->trigger();
         },
         2, 3, 4, 4, 0, true, true, true, true},
        {"↓: the third answer again", [&] { w->ui.actKifuVarNext->trigger(); }, 2, 2, 8, 8, 0, false, false, true,
         true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.run();
        EXPECT_EQ(w->Game.CurrentMove - 1, s.shown);
        EXPECT_EQ(w->Game.MoveCount, s.lineMoves);
        EXPECT_EQ(w->kifuRowCount(), s.lineMoves + 1);
        EXPECT_EQ(w->Game.LastMovePos, s.lastCol ? pt(w->Game, s.lastCol, s.lastRow) : 0);
        EXPECT_EQ(w->ui.pnlMain->variationMarks().size(), static_cast<size_t>(s.boardMarks));
        EXPECT_EQ(!markupOf(w->Tree(), w->Record.node(), 9).empty(), s.triangle);
        EXPECT_EQ(w->ui.actKifuVarNext->isEnabled(), s.varNext);
        EXPECT_EQ(w->ui.actKifuVarPrev->isEnabled(), s.varPrev);
        EXPECT_EQ(w->ui.actKifuVarBranch->isEnabled(), s.branch);
        if (w->ui.treePane && !w->ui.dckTree->isHidden()) {
            EXPECT_EQ(w->ui.treePane->current(), w->Record.node());
        }
    }
    // The bad move's annotation stands in its row; the comment window links the answers.
    w->ui.actKifuVarPrev->trigger();
    w->ui.actKifuNext->trigger();
    EXPECT_EQ(w->kifuRow(3)->text(2), QStringLiteral("悪手"));  // the time column
    w->ui.actKifuVarBranch->trigger();
    EXPECT_EQ(w->ui.lblCommentInfo->text().count(QStringLiteral("<a href")), 3);
    const RecordTree::NodeId third =
        w->Tree().nextSibling(w->Tree().nextSibling(w->Tree().firstChild(w->Record.node())));
    emit w->ui.lblCommentInfo->linkActivated(QString::number(third));
    EXPECT_EQ(w->Game.LastMovePos, pt(w->Game, 8, 8));
    // A variation is looked at, not played on, and the file keeps the main line's record.
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
    const QString inVariation = put("variation.sgf", {}), onMainLine = put("main.sgf", {});
    inside(*w).actFileSaveAsAccept(inVariation);
    w->ui.actKifuVarBranch->trigger();
    w->ui.actKifuVarPrev->trigger();
    w->ui.actKifuVarPrev->trigger();
    inside(*w).actFileSaveAsAccept(onMainLine);
    EXPECT_TRUE(bytesOf(inVariation).contains(";B[cc]C[first](;W[gc];B[ee];W[ff])(;W[dd]"));
    EXPECT_EQ(bytesOf(inVariation), bytesOf(onMainLine));
    // While a game is played the pane moves nothing.
    prompts.answers.push_back(Answer::Yes);
    w->ui.actPlayResume->trigger();
    const int moves = w->Game.MoveCount;
    emit w->ui.treePane->nodeActivated(w->Tree().gameRoot(0));
    EXPECT_EQ(w->Game.MoveCount, moves);
    EXPECT_FALSE(w->ui.actKifuVarPrev->isEnabled());
}

// A diagram's moves are numbered as its MN says, from the move that holds it on.
TEST_F(FileWindowTest, MoveNumbersFollowTheRecordsMN) {
    auto w = open();
    openThroughDialog(*w, prompts, put("diagram.sgf", "(;GM[1]SZ[9];B[cc](;W[dd];B[ee])(;W[ee]MN[1];B[ff];W[gg]))"));
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();
    w->ui.actKifuVarNext->trigger();
    QStringList captions;
    for (int row = 1; row < w->kifuRowCount(); ++row) captions << w->kifuRow(row)->text(0).trimmed();
    EXPECT_EQ(captions, (QStringList{"1", "1", "2", "3"}));
}

// A variation copied out as SGF, pasted back at a node as a variation of its own, and the
// shown line kept alone; each paste and the keeping is one step of the history.
TEST_F(FileWindowTest, VariationsGoThroughTheClipboardAsSgf) {
    auto w = open();
    openThroughDialog(*w, prompts, put("branches.sgf", Branches));
    QClipboard* clip = QGuiApplication::clipboard();
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();
    w->ui.actKifuVarNext->trigger();
    w->ui.actKifuNext->trigger();  // B[gg] of the second answer
    w->ui.actEditCopyLine->trigger();
    EXPECT_EQ(clip->text(), "(;GM[1]FF[4]CA[UTF-8]SZ[9]AB[cc]PL[W]\n;W[dd]C[other]TR[cc]\n;B[gg]BM[1])\n");
    const struct {
        const char* what;
        const char* pasted;
        const char* status;
        int answers;  // black's first move's children after
    } cases[] = {
        {"a new line", "(;GM[1]SZ[9]AB[cc]PL[W];W[ee];B[ff])", "2手を変化として加えました", 4},
        {"a line the record holds is stepped into", "(;SZ[9];W[ee];B[ff])", "2手を変化として加えました", 4},
        {"another board", "(;SZ[19];W[ee])", "貼り付ける変化の碁盤の大きさが違います", 4},
        {"a move on a stone", "(;SZ[9];W[cc])", "貼り付けた手はこの局面では打てません", 4},
        {"no record", "hello", "クリップボードに SGF の変化がありません", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        w->ui.actKifuFirst->trigger();
        w->ui.actKifuNext->trigger();
        clip->setText(QString::fromUtf8(c.pasted));
        w->ui.actEditPasteLine->trigger();
        EXPECT_EQ(w->statusText(0), QString::fromUtf8(c.status));
        EXPECT_EQ(w->Tree().childCount(w->Record.node()), c.answers);
        EXPECT_EQ(w->Game.CurrentMove, 2);  // the shown node stays shown
    }
    // The new line copied out again is what went in.
    for (int k = 0; k < 3; ++k) w->ui.actKifuVarNext->trigger();
    w->ui.actEditCopyLine->trigger();
    EXPECT_EQ(clip->text(), "(;GM[1]FF[4]CA[UTF-8]SZ[9]AB[cc]PL[W]\n;W[ee]\n;B[ff])\n");
    // The shown line alone stays, after the question; undo brings the others back.
    prompts.answers.push_back(Answer::Yes);
    w->ui.actEditKeepLine->trigger();
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();
    EXPECT_EQ(w->Tree().childCount(w->Record.node()), 1);
    w->ui.actEditUndo->trigger();
    EXPECT_EQ(w->Tree().childCount(w->Tree().firstChild(w->Tree().gameRoot(0))), 4);
}

}  // namespace
}  // namespace tavrin::test
