// The computer's turn on its own, with the scripted engine and a window that only records
// what it is told: the rule after a change of position, the refusals in a row, and the
// dead-stone proposal kept apart from the game's own questions.

#include <QTest>

#include "app/EngineTurn.h"
#include "tests/game/TestBoard.h"
#include "tests/support/ScriptedPrompts.h"

namespace tavrin::test {
namespace {

// The window's side: plays the computer's points when it accepts them, records the rest.
struct RecordingHost final : EngineTurn::Host {
    GameState& game;
    bool acceptMoves = true;
    int played = 0, hints = 0, estimates = 0, changes = 0, peopleOnly = 0;

    explicit RecordingHost(GameState& g) : game(g) {}
    bool engineFound() override { return true; }
    void playComputerMove(const EngineMove& m) override {
        ++played;
        NullPainter p;
        if (acceptMoves && m.kind == EngineMove::Point) prcHitCore(game, m.pos, game.SideToMove, p);
    }
    void showHint(int, const QString&) override { ++hints; }
    void showEstimate(int) override { ++estimates; }
    void showText(const QString&) override {}
    void showProgress(const QString&) override {}
    void thinkingChanged() override { ++changes; }
    void stopGame() override {}
    bool replaying() const override { return false; }
    void continueBetweenPeople() override {
        ++peopleOnly;
        game.BlackPlayerKind = game.WhitePlayerKind = true;
    }
};

class EngineTurnTest : public ::testing::Test {
protected:
    // A 9 x 9 game in play; the computer has white.
    void make(const QString& options = {}) {
        turn.reset();
        game = newGame(9);
        game.BlackPlayerKind = true;
        game.WhitePlayerKind = false;
        settings.commandLine = QStringLiteral(TAVRIN_FAKE_GTP) + " " + options;
        host = std::make_unique<RecordingHost>(game);
        turn = std::make_unique<EngineTurn>(*host, prompts, nullptr, game, settings);
    }
    void blackPlays(int col, int row) {
        NullPainter p;
        ASSERT_EQ(prcHitCore(game, pt(game, col, row), Black, p), HitResult::Legal);
    }
    bool settle(int ms = 5000) {
        return QTest::qWaitFor([&] { return turn->task() == EngineTurn::Task::None; }, ms);
    }

    GameState game;
    EngineSettings settings;
    ScriptedPrompts prompts;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<EngineTurn> turn;
};

// After any change of position a pending hint or judgement is dropped and its answer never
// shows; a move under way stays; once the event loop turns the computer is asked to move
// if the turn is its own.
TEST_F(EngineTurnTest, AChangeOfPositionDropsAHintOrJudgementAndAsksTheComputerOnItsTurn) {
    using T = EngineTurn::Task;
    struct Row {
        const char* what;
        T asked;
        bool computerToMove;  // after the change
        T rightAfter, onceTheLoopTurned;
    };
    const Row rows[] = {
        {"hint, then the person still to move", T::Hint, false, T::None, T::None},
        {"judgement, then the computer to move", T::Estimate, true, T::None, T::Move},
        {"the computer's move under way", T::Move, true, T::Move, T::Move},
        {"nothing asked, the person to move", T::None, false, T::None, T::None},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        make("--slow 300");
        if (r.asked == T::Move) blackPlays(3, 3);
        if (r.asked == T::Move) turn->askMove();
        if (r.asked == T::Hint) turn->askHint();
        if (r.asked == T::Estimate) turn->askEstimate();
        ASSERT_EQ(turn->task(), r.asked);
        if (r.computerToMove && r.asked != T::Move) blackPlays(3, 3);
        turn->positionChanged();
        EXPECT_EQ(turn->task(), r.rightAfter);
        QCoreApplication::processEvents();
        EXPECT_EQ(turn->task(), r.onceTheLoopTurned);
        ASSERT_TRUE(settle());
        EXPECT_EQ(host->played, r.onceTheLoopTurned == T::Move ? 1 : 0);
        // A hint asked now answers after the dropped question would have: only it shows.
        turn->askHint();
        ASSERT_TRUE(settle());
        EXPECT_EQ(host->hints, 1);
        EXPECT_EQ(host->estimates, 0);
    }
}

// Points the board refuses are asked for again; the third in a row gives the engine up and
// the game goes on between people. An accepted move starts the count afresh.
TEST_F(EngineTurnTest, ThreeRefusedMovesInARowGiveTheEngineUp) {
    make();
    blackPlays(3, 3);
    host->acceptMoves = false;
    turn->askMove();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->played == 2; }, 5000));
    host->acceptMoves = true;  // the second refusal, then one accepted
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->played == 3 && turn->task() == EngineTurn::Task::None; }, 5000));
    EXPECT_EQ(game.SideToMove, Black);
    EXPECT_TRUE(prompts.asked.empty());
    host->acceptMoves = false;
    blackPlays(5, 5);
    turn->askMove();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->peopleOnly == 1; }, 10000));
    EXPECT_EQ(host->played, 6);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_TRUE(prompts.asked[0].text.contains(QStringLiteral("続けて返しました")))
        << prompts.asked[0].text.toStdString();
    EXPECT_TRUE(prompts.asked[0].text.contains(QStringLiteral("人間どうしで続けます")));
    EXPECT_EQ(turn->task(), EngineTurn::Task::None);
}

// A failure while the dead stones are awaited is counting's, not the game's; a cancelled
// request's proposal never reaches it, the next request's does.
TEST_F(EngineTurnTest, DeadStoneProposalsAnswerOnlyTheirOwnRequest) {
    for (const bool fails : {true, false}) {
        SCOPED_TRACE(fails);
        make(fails ? "--fail-start" : "");
        int chosen[2] = {0, 0};
        QStringList failures;
        const auto request = [&](int k) {
            turn->requestDeadStones([&chosen, k](const std::vector<int>&, const std::vector<int>&) { ++chosen[k]; },
                                    [&failures](const QString& m) { failures << m; });
        };
        request(0);
        ASSERT_TRUE(turn->deadStonesAwaited());
        if (fails) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 5000));
            EXPECT_EQ(host->peopleOnly, 0);
            EXPECT_TRUE(prompts.asked.empty());
            EXPECT_EQ(turn->task(), EngineTurn::Task::None);
        } else {
            turn->cancelDeadStones();
            EXPECT_FALSE(turn->deadStonesAwaited());
            request(1);
            ASSERT_TRUE(QTest::qWaitFor([&] { return chosen[1] == 1; }, 5000));
            EXPECT_TRUE(failures.isEmpty());
        }
        EXPECT_FALSE(turn->deadStonesAwaited());
        EXPECT_EQ(chosen[0], 0);
    }
}

}  // namespace
}  // namespace tavrin::test
