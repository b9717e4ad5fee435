// Counting the end of a game and judging a position on the real window, without an engine.

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "app/CountingPanel.h"
#include "tests/app/PlayKit.h"

namespace tavrin::test {
namespace {

class CountingTest : public PlayTest {
protected:
    // A 9 x 9 game: black walls off the left four columns, white the right four; a black
    // stone stands in white's side, then two passes.
    void playToTheEnd() {
        inside(*w).Game.BoardSize = 9;
        inside(*w).Game.HandicapCount = 0;
        inside(*w).Game.KomiTenths = 65;
        inside(*w).prcNewSet();
        for (int row = 1; row <= 9; ++row) {
            inside(*w).prcHit(test9(4, row), Black);
            inside(*w).prcHit(test9(6, row), White);
        }
        inside(*w).prcHit(test9(8, 5), Black);
        w->ui.actPlayPass->trigger();
        w->ui.actPlayPass->trigger();
    }
    int test9(int col, int row) const { return col * w->Game.BoardStride + row; }
    void countClick(Qt::MouseButton button, int col, int row) { w->ui.countingPanel->click(button, test9(col, row)); }
};

// Two passes lead to counting; a click marks the invader dead and the count follows; 確定
// writes the result, キャンセル (and Esc) leave the game as it was.
TEST_F(CountingTest, TwoPassesLeadToCountingAndConfirmWritesTheResult) {
    playToTheEnd();
    ASSERT_TRUE(w->Game.EndedByPasses);
    ASSERT_TRUE(w->ui.countingPanel->counting());
    EXPECT_FALSE(w->ui.countingPanel->isHidden());
    EXPECT_TRUE(w->ui.pnlMain->hasMarks());
    // The move list, shortened by the panel, still shows the last move whole; the panel's
    // lines show whole too.
    const QRect last = w->ui.lsvKifu->visualItemRect(w->kifuRow(w->Game.CurrentMove - 1));
    EXPECT_TRUE(w->ui.lsvKifu->viewport()->rect().contains(last))
        << last.y() << " in " << w->ui.lsvKifu->viewport()->height();
    for (const QLabel* l : {w->ui.countingPanel->lblCountBlack, w->ui.countingPanel->lblCountWhite}) {
        const QStringList lines = l->text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            EXPECT_LE(l->fontMetrics().horizontalAdvance(line), l->width()) << line.toStdString();
    }
    // Alive, the black stone makes white's side dame around it: black 27, white 0 + 6.5.
    EXPECT_EQ(w->ui.countingPanel->lblCountBlack->text(), QStringLiteral("黒: 地 27 + 上げ石 0\n　= 27"));
    countClick(Qt::LeftButton, 8, 5);
    EXPECT_EQ(w->ui.countingPanel->lblCountBlack->text(), QStringLiteral("黒: 地 27 + 上げ石 0\n　= 27"));
    EXPECT_EQ(w->ui.countingPanel->lblCountWhite->text(), QStringLiteral("白: 地 27 + 上げ石 1 + コミ 6.5\n　= 34.5"));
    EXPECT_EQ(w->ui.countingPanel->lblCountResult->text(), QStringLiteral("白の7.5目勝ちです"));

    const std::string before = w->Game.GameComment;
    w->ui.countingPanel->finish(false);
    EXPECT_EQ(w->Game.GameComment, before);
    EXPECT_FALSE(w->ui.pnlMain->hasMarks());

    w->ui.actPlayCount->trigger();  // 終局計算 on the stopped game
    ASSERT_TRUE(w->ui.countingPanel->counting());
    countClick(Qt::LeftButton, 8, 5);
    countClick(Qt::LeftButton, 8, 5);  // a second click makes it alive again
    countClick(Qt::LeftButton, 8, 5);
    w->Doc.Modified = false;
    w->ui.countingPanel->btnCountOk->click();
    EXPECT_FALSE(w->ui.countingPanel->counting());
    EXPECT_EQ(w->Game.GameComment, "W+7.5");
    EXPECT_EQ(w->ui.lblGameComment->text(), QStringLiteral("白の7.5目勝ちです"));
    EXPECT_TRUE(w->Doc.Modified);

    // Esc leaves counting without a result; a step through the record leaves it too.
    w->ui.actPlayCount->trigger();
    w->ui.countingPanel->actCountCancel->trigger();
    EXPECT_FALSE(w->ui.countingPanel->counting());
    w->ui.actPlayCount->trigger();
    w->ui.actKifuBack->trigger();
    EXPECT_FALSE(w->ui.countingPanel->counting());
    EXPECT_EQ(w->Game.GameComment, "W+7.5");
}

// 形勢判断 marks the likely owners and names who leads, never touching the record; its
// marks go with the next step.
TEST_F(CountingTest, JudgementMarksOwnersAndNamesTheLeader) {
    inside(*w).Game.BoardSize = 9;
    inside(*w).Game.KomiTenths = 0;
    inside(*w).prcNewSet();
    for (int row = 1; row <= 9; ++row) inside(*w).prcHit(row * 11 + 3, row % 2 ? Black : White);
    w->Doc.Modified = false;
    w->ui.actPlayKeisei->trigger();
    EXPECT_TRUE(w->ui.pnlMain->hasMarks());
    EXPECT_TRUE(w->statusText(0).startsWith(QStringLiteral("形勢判断: ")));
    EXPECT_FALSE(w->Doc.Modified);
    w->ui.actPlayPass->trigger();
    EXPECT_FALSE(w->ui.pnlMain->hasMarks());
}

}  // namespace
}  // namespace tavrin::test
