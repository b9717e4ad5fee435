// The review of a whole game against the scripted engine (one fault per table row: what was
// judged before it stays, the message says why) and against GNU Go over a real 9x9 game.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/GameReview.h"
#include "formats/RecordFile.h"

namespace tavrin::test {
namespace {

// A review and everything it reported.
struct Watched {
    GameReview review;
    std::vector<int> judged;
    int lastDone = 0, finishedCount = 0;
    bool complete = false;
    QString message;

    Watched() {
        QObject::connect(&review, &GameReview::judged, [this](int k, const Judgement&) { judged.push_back(k); });
        QObject::connect(&review, &GameReview::progress, [this](int done, int) { lastDone = done; });
        QObject::connect(&review, &GameReview::finished, [this](bool c, const QString& m) {
            ++finishedCount;
            complete = c;
            message = m;
        });
    }
    // Runs the event loop until the review ends (qWaitFor would sleep between answers).
    bool await(int ms) {
        QEventLoop loop;
        QObject::connect(&review, &GameReview::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        if (finishedCount == 0) loop.exec();
        return finishedCount > 0;
    }
};

// Ten moves on a 9x9 board down the first columns, Black first.
gtp::Game tenMoves(int size = 9) {
    gtp::Game g;
    g.boardSize = size;
    for (int k = 0; k < 10; ++k)
        g.moves.push_back({k % 2 == 0 ? Black : White, gtp::positionOf(k / 2 + 1, 1 + k % 2 * 4, size)});
    return g;
}

QStringList fake(const QStringList& options) { return QStringList{QStringLiteral(TAVRIN_FAKE_GTP)} + options; }

TEST(GameReview, FaultsEndTheReviewWithAMessageAndKeepWhatWasJudged) {
    struct Row {
        const char* what;
        QStringList options;
        int size;
        const char* says;
        bool someJudged;
    } rows[] = {
        {"death mid-review", {"--top", "3", "--estimate-fault", "6"}, 9, "エンジンが終了しました", true},
        {"hang past the limit",
         {"--top", "3", "--estimate-fault", "6", "--hang-genmove", "--hang-limit", "20"},
         9,
         "答えません",
         true},
        {"nonsense answer", {"--top", "3", "--estimate-fault", "6", "--bad-vertex"}, 9, "読めません", true},
        {"no GTP answer", {"--top", "3", "--estimate-fault", "6", "--garbage"}, 9, "読めません", true},
        {"boardsize refused", {"--max-size", "7"}, 9, "9路の碁盤を受け付けません", false},
        {"analysis engine's death",
         {"--analyze", "kata", "--stream-fault", "die", "--stream-fault-at", "8"},
         9,
         "解析エンジンが終了しました",
         true},
        {"board above 19 lines", {}, 21, "21路の碁盤はエンジンで解析できません", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Watched w;
        w.review.setTimeLimit(400);
        w.review.start(tenMoves(r.size), fake(r.options), 0, 1);
        ASSERT_TRUE(w.await(10000));
        EXPECT_FALSE(w.complete);
        EXPECT_TRUE(w.message.startsWith(QStringLiteral("解析を中止しました: "))) << w.message.toStdString();
        EXPECT_TRUE(w.message.contains(QString::fromUtf8(r.says))) << w.message.toStdString();
        // One process plays forward: what it judged is the start of the line, each position once.
        EXPECT_EQ(!w.judged.empty(), r.someJudged);
        for (size_t k = 0; k < w.judged.size(); ++k) {
            EXPECT_EQ(w.judged[k], static_cast<int>(k));
            EXPECT_TRUE(w.review.judgements()[k].judged);
        }
        EXPECT_LT(w.judged.size(), 11u);
        EXPECT_EQ(w.lastDone, static_cast<int>(w.judged.size()));
        EXPECT_FALSE(w.review.running());
    }
}

TEST(GameReview, TwoProcessesJudgeEveryPositionOnceAndCancelEndsAtOnce) {
    Watched w;
    w.review.start(tenMoves(), fake({"--top", "2"}));
    ASSERT_TRUE(w.await(10000));
    EXPECT_TRUE(w.complete) << w.message.toStdString();
    std::vector<int> sorted = w.judged;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted.size(), 11u);
    for (int k = 0; k <= 10; ++k) EXPECT_EQ(sorted[static_cast<size_t>(k)], k);
    // The scripted engine's better move is the first free point from the top left (A9), its
    // estimate always B+3.5.
    const Judgement& first = w.review.judgements()[1];
    EXPECT_EQ(first.better, gtp::positionOf(1, 9, 9));
    EXPECT_DOUBLE_EQ(first.lead, 3.5);
    EXPECT_DOUBLE_EQ(first.betterLead, 3.5);

    // Cancelled while both engines think about their first estimate.
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log"));
    Watched slow;
    slow.review.start(tenMoves(), fake({"--slow", "3000", "--log", log}));
    const auto asked = [&] {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) && f.readAll().count("estimate_score") == 2;
    };
    ASSERT_TRUE(QTest::qWaitFor(asked, 5000));
    QElapsedTimer clock;
    clock.start();
    slow.review.cancel();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(slow.finishedCount, 1);
    EXPECT_TRUE(slow.message.contains(QStringLiteral("キャンセル")));
    EXPECT_TRUE(slow.judged.empty());
    EXPECT_FALSE(slow.review.running());
}

TEST(GameReview, AnAnalysisEngineJudgesEveryPositionInTurnAndNamesItsBestMoveAsTheBetterOne) {
    const int a9 = gtp::positionOf(1, 9, 9);
    for (const bool kata : {true, false}) {
        SCOPED_TRACE(kata ? "kata-analyze" : "lz-analyze");
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("log"));
        Watched w;
        w.review.setSearch(1, 5000);  // the first line of candidates does
        w.review.start(tenMoves(), fake({"--analyze", kata ? "kata" : "lz", "--log", log}));
        ASSERT_TRUE(w.await(20000));
        ASSERT_TRUE(w.complete) << w.message.toStdString();
        ASSERT_EQ(w.judged, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        // The scripted engine gives the side to move 60 % and 3.5 points with A9 (always free).
        std::vector<int> colours;
        for (int k = 0; k <= 10; ++k) {
            const Judgement& j = w.review.judgements()[static_cast<size_t>(k)];
            const bool blackToMove = k % 2 == 0;
            EXPECT_NEAR(j.winrate, blackToMove ? 0.6 : 0.4, 1e-9) << k;
            EXPECT_EQ(j.hasLead, kata);
            EXPECT_DOUBLE_EQ(j.lead, !kata ? 0 : blackToMove ? 3.5 : -3.5) << k;
            EXPECT_EQ(j.better, k == 0 ? 0 : a9) << k;
            colours.push_back(blackToMove ? White : Black);
        }
        // Each move gives away what A9 would have kept: 7 points, or 20 percent of the win rate.
        const std::vector<MarkedMove> marked = markedMoves(w.review.judgements(), colours, 100, 1);
        ASSERT_EQ(marked.size(), 2u);
        for (const MarkedMove& m : marked) {
            EXPECT_NEAR(m.loss, kata ? 7 : 20, 1e-9);
            EXPECT_EQ(m.better, a9);
            EXPECT_NEAR(m.gain, m.loss, 1e-9);
        }
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray sent = f.readAll();
        EXPECT_EQ(sent.count("list_commands"), 1) << "one process";
        EXPECT_EQ(sent.count(kata ? "kata-analyze" : "lz-analyze"), 11);
    }
}

TEST(GameReview, GnuGoReviewsARealGameAndTheLastLeadFavoursTheWinner) {
    if (::access("/usr/games/gnugo", X_OK) != 0) GTEST_SKIP() << "GNU Go is not installed";
    const std::string path = TAVRIN_CORPUS_DIR "/small/9x9/gnugo__regression__games__nicklas__nicklas4.sgf";
    GameState g;
    TextBuffer buf;
    if (!readRecordFile(g, buf, path).ok()) GTEST_SKIP() << path << " is missing";
    const gtp::Game game = gtp::gameOf(g, g.MoveCount);
    ASSERT_EQ(game.moves.size(), 81u);
    Watched w;
    w.review.start(game, {QStringLiteral("/usr/games/gnugo"), QStringLiteral("--mode"), QStringLiteral("gtp")});
    ASSERT_TRUE(w.await(60000));
    ASSERT_TRUE(w.complete) << w.message.toStdString();
    EXPECT_EQ(w.judged.size(), 82u);
    int better = 0;
    for (const Judgement& j : w.review.judgements()) {
        EXPECT_TRUE(j.judged);
        EXPECT_LT(std::abs(j.lead), 81.0);
        better += j.better != 0;
    }
    // GNU Go names a move for most positions, and White won by 53.5.
    EXPECT_GE(better, 40);
    EXPECT_LT(w.review.judgements().back().lead, -20);
}

}  // namespace
}  // namespace tavrin::test
