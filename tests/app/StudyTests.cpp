// 検討, 盤面編集 and the tree's edits through the window's commands and the board's mouse:
// what they add to the record, what a game studied on a copy keeps, and the undo history.

#include <QTimer>
#include <QToolBar>

#include "record/NodeMarkup.h"
#include "tests/app/FileTestKit.h"
#include "tests/game/TestBoard.h"
#include "view/BoardGeometry.h"
#include "view/BoardView.h"

namespace tavrin::test {
namespace {

const QByteArray Branches = "(;GM[1]FF[4]SZ[9];B[cc](;W[gc];B[ee])(;W[dd]))";

class StudyTest : public FileWindowTest {
protected:
    std::unique_ptr<TfrmMain> w;
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        const BoardGeometry& g = w->ui.pnlMain->geometryInfo();
        const int x = (col - 1) * g.CellSize + g.CellSize / 2, y = (row - 1) * g.CellSize + g.CellSize / 2;
        inside(*w).pbxGbnMouseDown(button, x, y);
        inside(*w).pbxGbnMouseUp(button, x, y);
    }
    std::string savedTree() {
        const QString path = put("saved.sgf", {});
        inside(*w).actFileSaveAsAccept(path);
        return bytesOf(path).toStdString();
    }
};

TEST_F(StudyTest, StudyAddsVariationsAndUndoTakesThemBack) {
    w = open();
    w->resize(700, 560);
    w->show();
    openThroughDialog(*w, prompts, put("b.sgf", Branches));
    const std::string original = savedTree();
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();  // move 1, two answers below it
    w->ui.actPlayKentou->trigger();
    ASSERT_TRUE(w->ui.actPlayKentou->isChecked());
    EXPECT_FALSE(w->ui.actPlayResume->isEnabled());
    const struct {
        const char* what;
        std::function<void()> run;
        int shown;    // moves on the board
        int answers;  // answers to black's first move in the record
        bool matta;   // 待った offered
    } steps[] = {
        {"a new answer", [&] { click(5, 5); }, 2, 3, true},
        {"black on, in the new line", [&] { click(6, 6); }, 3, 3, true},
        {"待った takes the last study move", [&] { w->ui.actPlayMatta->trigger(); }, 2, 3, true},
        {"back, then the main line's answer is stepped into",
         [&] {
             w->ui.actKifuBack->trigger();
             click(7, 3);
         },
         2, 3, false},
        {"a move on a stone is refused", [&] { click(3, 3); }, 2, 3, false},
        {"undo: the take-back is undone", [&] { w->ui.actEditUndo->trigger(); }, 3, 3, false},
        {"undo: black's move goes", [&] { w->ui.actEditUndo->trigger(); }, 2, 3, false},
        {"undo: the new answer goes", [&] { w->ui.actEditUndo->trigger(); }, 1, 2, false},
        {"redo: it comes back", [&] { w->ui.actEditRedo->trigger(); }, 2, 3, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.run();
        EXPECT_EQ(w->Game.CurrentMove - 1, s.shown);
        EXPECT_EQ(w->Tree().childCount(w->Tree().mainLineNode(1)), s.answers);
        EXPECT_EQ(w->ui.actPlayMatta->isEnabled(), s.matta);
    }
    EXPECT_EQ(w->Tree().childCount(w->Tree().mainLineNode(1)), 3);
    EXPECT_TRUE(w->Doc.Modified);
    EXPECT_EQ(w->Game.BlackTotalSeconds + w->Game.WhiteTotalSeconds, 0) << "the clock does not run in a study";
    // Off: the record shows where the study began; the new answer stays in it.
    w->ui.actPlayKentou->trigger();
    EXPECT_EQ(w->Game.CurrentMove, 2);
    EXPECT_TRUE(savedTree().find("(;W[ee])") != std::string::npos);
    // Every edit undone: the saved file is the file that was read, and nothing is modified.
    while (w->ui.actEditUndo->isEnabled()) w->ui.actEditUndo->trigger();
    EXPECT_EQ(w->Tree().childCount(w->Tree().mainLineNode(1)), 2);
    EXPECT_EQ(savedTree(), original);
}

TEST_F(StudyTest, AGameStudiedOnACopyComesBackAsItWas) {
    w = open();
    w->resize(700, 560);
    w->show();
    inside(*w).prcNewSet();
    inside(*w).prcHit(pt(w->Game, 4, 4), Black);
    inside(*w).prcHit(pt(w->Game, 16, 16), White);
    w->ui.actPlayKentou->trigger();
    EXPECT_FALSE(w->ui.tmrTime->isActive());
    click(10, 10);
    click(11, 11);
    EXPECT_EQ(w->Game.MoveCount, 4);
    // Saved meanwhile, the file holds the game, not the study.
    const std::string saved = savedTree();
    EXPECT_EQ(saved.find("[jj]"), std::string::npos) << saved;
    EXPECT_NE(saved.find(";W[pp]"), std::string::npos) << saved;
    prompts.answers.push_back(Answer::No);  // the study's lines are not kept
    w->ui.actPlayKentou->trigger();
    EXPECT_TRUE(prompts.answers.empty()) << "asked whether to keep them";
    EXPECT_EQ(w->Game.MoveCount, 2);
    EXPECT_EQ(w->Tree().moveCount(), 2);
    EXPECT_EQ(w->kifuRowCount(), 3);
    EXPECT_FALSE(inside(*w).ReplayMode);
    EXPECT_TRUE(w->ui.tmrTime->isActive());
    EXPECT_EQ(w->Game.Board[pt(w->Game, 10, 10)], 0);
    inside(*w).prcHit(pt(w->Game, 3, 3), Black);
    EXPECT_EQ(w->Game.MoveCount, 3);
}

TEST_F(StudyTest, APositionIsSetUpMarkedAndSaved) {
    w = open();
    w->resize(700, 560);
    w->show();
    inside(*w).prcNewSet();
    w->ui.actPlayEdit->trigger();
    ASSERT_TRUE(w->ui.tlbEdit && w->ui.tlbEdit->isVisible());
    QAction* triangle = w->findChild<QAction*>(QStringLiteral("actEditTriangle"));
    QAction* letters = w->findChild<QAction*>(QStringLiteral("actEditLetters"));
    ASSERT_TRUE(triangle && letters);
    click(3, 3);                   // black
    click(4, 3, Qt::RightButton);  // white
    click(3, 4);                   // black
    click(3, 4);                   // and away again
    triangle->trigger();
    click(3, 3);
    click(4, 3);
    click(4, 3);  // a click on a marked point takes the mark away
    letters->trigger();
    click(5, 5);
    click(6, 6);
    click(5, 5);  // a click on a label takes it away
    EXPECT_EQ(w->Game.Board[pt(w->Game, 3, 3)], Black);
    EXPECT_EQ(w->Game.Board[pt(w->Game, 4, 3)], White);
    EXPECT_EQ(w->Game.Board[pt(w->Game, 3, 4)], 0);
    w->ui.actPlayEdit->trigger();
    EXPECT_FALSE(w->ui.tlbEdit->isVisible());
    const std::string saved = savedTree();
    for (const char* part : {"AB[cc]", "AW[dc]", "TR[cc]", "LB[ff:B]"})
        EXPECT_NE(saved.find(part), std::string::npos) << part << " in " << saved;
    EXPECT_EQ(saved.find("LB[ee"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("[dc]", saved.find("TR[")), std::string::npos) << saved;
    // Read back, the record is the same: saved again it gives the same bytes.
    auto again = open();
    openThroughDialog(*again, prompts, put("reread.sgf", QByteArray::fromStdString(saved)));
    std::swap(w, again);
    EXPECT_EQ(savedTree(), saved);
    EXPECT_EQ(w->Game.Board[pt(w->Game, 4, 3)], White);
    std::swap(w, again);
    // The game goes on from the position set up.
    inside(*w).prcHit(pt(w->Game, 7, 7), w->Game.SideToMove);
    EXPECT_EQ(w->Game.MoveCount, 1);
    EXPECT_EQ(w->Game.Board[pt(w->Game, 3, 3)], Black);
}

TEST_F(StudyTest, TheTreesEditsAndTheirUndo) {
    w = open();
    w->resize(700, 560);
    w->show();
    const QByteArray three = "(;GM[1]FF[4]SZ[9];B[cc](;W[gc];B[ee])(;W[dd];B[ff])(;W[hh]))";
    openThroughDialog(*w, prompts, put("t.sgf", three));
    const std::string original = savedTree();
    w->ui.actKifuFirst->trigger();
    w->ui.actKifuNext->trigger();
    w->ui.actKifuVarNext->trigger();  // W[dd]
    EXPECT_TRUE(w->ui.actEditPromote->isEnabled());
    w->ui.actEditPromote->trigger();
    EXPECT_EQ(w->Tree().mainLineNode(2), w->Record.node());
    EXPECT_FALSE(w->ui.actEditPromote->isEnabled()) << "the main line is shown";
    w->ui.actKifuVarNext->trigger();  // W[gc], now second
    w->ui.actEditDown->trigger();
    prompts.answers.push_back(Answer::Yes);  // two nodes go
    w->ui.actEditDelete->trigger();
    EXPECT_EQ(w->Tree().childCount(w->Tree().mainLineNode(1)), 2);
    w->ui.actKifuFirst->trigger();
    prompts.answers.push_back(Answer::Yes);
    w->ui.actEditCut->trigger();
    EXPECT_EQ(w->Tree().nodeCount() > 0 && w->Tree().firstChild(w->Tree().gameRoot(0)) == RecordTree::None, true);
    while (w->ui.actEditUndo->isEnabled()) w->ui.actEditUndo->trigger();
    EXPECT_FALSE(w->Doc.Modified) << "back where the file was saved";
    EXPECT_EQ(savedTree(), original);
}

// Ways the editor once lost the user's work, each a row: what the user does, then what the
// record must hold. The saved file is read back by the program's own reader.
TEST_F(StudyTest, NothingTheUserMakesIsLost) {
    const QByteArray four = "(;GM[1]FF[4]SZ[9];B[cc];W[gg];B[cg];W[gc])";
    const struct {
        const char* what;
        QByteArray sgf;  // opened first; empty: a new game
        std::function<void()> run;
        std::vector<std::string> saved;  // parts the saved file holds
        std::vector<std::string> absent;
    } rows[] = {
        {"a setup stone where a later move stands keeps the moves (a new variation)",
         four,
         [&] {
             w->ui.actKifuFirst->trigger();
             w->ui.actKifuNext->trigger();
             w->ui.actKifuNext->trigger();  // move 2
             w->ui.actPlayEdit->trigger();
             click(3, 7);  // C7, where move 3 stands
             w->ui.actPlayEdit->trigger();
         },
         {";B[cg];W[gc])", "(;AB[cg])"},
         {";;", "W[gg]AB"}},
        {"以降を削除 is saved",
         four,
         [&] {
             w->ui.actKifuFirst->trigger();
             w->ui.actKifuNext->trigger();
             prompts.answers.push_back(Answer::Yes);
             w->ui.actEditCut->trigger();
             EXPECT_TRUE(w->Doc.Modified);
             EXPECT_TRUE(w->ui.actFileSave->isEnabled());
         },
         {";B[cc])"},
         {"W[gg]"}},
        {"undo after play takes back the last played move only",
         "(;GM[1]FF[4]SZ[9];B[cc];W[dd];B[ee])",
         [&] {
             w->ui.actPlayEdit->trigger();
             click(1, 1);
             w->ui.actPlayEdit->trigger();
             w->ui.actKifuFirst->trigger();
             w->ui.actKifuNext->trigger();
             prompts.answers.push_back(Answer::Yes);
             w->ui.actPlayResume->trigger();
             inside(*w).prcHit(pt(w->Game, 8, 8), w->Game.SideToMove);
             inside(*w).prcHit(pt(w->Game, 2, 8), w->Game.SideToMove);
             w->ui.actPlayStop->trigger();
             w->ui.actEditUndo->trigger();
             EXPECT_TRUE(w->Doc.Modified);
         },
         {";B[cc];W[hh])"},
         {"[bh]", "[dd]"}},
        {"検討 of a new game keeps the study",
         {},
         [&] {
             inside(*w).prcNewSet();
             w->ui.actPlayEdit->trigger();
             click(3, 3);
             w->ui.actPlayKentou->trigger();  // straight from 盤面編集
             click(4, 4);
             w->ui.actKifuBack->trigger();
             click(5, 5);
             EXPECT_TRUE(w->statusText(0).startsWith(QStringLiteral("検討中"))) << "the mode is named while it lasts";
             w->Record.setNodeComment(w->Record.node(), "wrong");
             w->ui.actPlayKentou->trigger();
         },
         {"AB[cc]", "(;W[dd])", "(;W[ee]C[wrong])"},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        w = open();
        w->resize(700, 560);
        w->show();
        if (!row.sgf.isEmpty()) openThroughDialog(*w, prompts, put("lost.sgf", row.sgf));
        row.run();
        const std::string saved = savedTree();
        for (const std::string& part : row.saved)
            EXPECT_NE(saved.find(part), std::string::npos) << part << ": " << saved;
        for (const std::string& part : row.absent)
            EXPECT_EQ(saved.find(part), std::string::npos) << part << ": " << saved;
        EXPECT_TRUE(prompts.answers.empty());
        prompts.answers.clear();
    }
}

}  // namespace
}  // namespace tavrin::test
