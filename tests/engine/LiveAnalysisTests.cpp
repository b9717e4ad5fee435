// Analysis streams against the scripted engine: the engine process reading a stream and the
// answers after it, LiveAnalysis following positions in both dialects and judging one, and
// each fault of the engine ending with a message and a fresh start.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "engine/EngineProcess.h"
#include "engine/LiveAnalysis.h"
#include "tests/game/TestBoard.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace tavrin::test {
namespace {

using analysis::Candidate;
using gtp::Command;

const QString FakeGtp = QStringLiteral(TAVRIN_FAKE_GTP);

struct Pipe {
    EngineProcess p;
    std::vector<gtp::Answer> answers;
    QList<QByteArray> lines;
    int started = 0, streamEnds = 0;

    Pipe() {
        QObject::connect(&p, &EngineProcess::answered, [this](const gtp::Answer& a) { answers.push_back(a); });
        QObject::connect(&p, &EngineProcess::streamStarted, [this] { ++started; });
        QObject::connect(&p, &EngineProcess::streamLine, [this](const QByteArray& l) { lines << l; });
        QObject::connect(&p, &EngineProcess::streamEnded, [this] { ++streamEnds; });
        p.start({FakeGtp, "--analyze", "kata", "--late-lines", "2"});
    }
};

TEST(EngineStream, LinesComeUntilStoppedByACommandOrAnEmptyLineAndAnswersFollow) {
    Pipe e;
    e.p.startStream(*Command::kataAnalyze(Black, 1), 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.lines.size() >= 3; }, 5000));
    EXPECT_EQ(e.started, 1);
    EXPECT_TRUE(e.p.streaming());
    for (const QByteArray& l : e.lines) EXPECT_TRUE(l.startsWith("info move A19 visits ")) << l.toStdString();
    e.p.send(Command::name(), 5000);  // ignored: the stream is in flight
    e.p.stopStream(Command::name(), 5000);
    const qsizetype linesAtStop = e.lines.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e.answers.empty(); }, 5000));
    EXPECT_EQ(e.lines.size(), linesAtStop) << "lines on their way at the stop are dropped";
    EXPECT_EQ(e.streamEnds, 1);
    EXPECT_EQ(e.answers.back().text, "FakeGtp");
    EXPECT_FALSE(e.p.inFlight());

    e.p.startStream(*Command::kataAnalyze(White, 1), 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.lines.size() > linesAtStop; }, 5000));
    e.p.stopStream(std::nullopt, 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.streamEnds == 2; }, 5000));
    EXPECT_FALSE(e.p.inFlight());
    e.p.send(Command::protocolVersion(), 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.answers.size() == 2; }, 5000));
    EXPECT_EQ(e.answers.back().text, "2");

    e.p.startStream(*Command::lzAnalyze(Black, 1), 5000);  // a command this engine does not know
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.answers.size() == 3; }, 5000));
    EXPECT_EQ(e.answers.back().kind, gtp::AnswerKind::Failure);
    EXPECT_EQ(e.started, 2);
    EXPECT_FALSE(e.p.strayOutput());
}

struct Live {
    LiveAnalysis a;
    std::vector<std::vector<Candidate>> sets;
    std::vector<std::tuple<double, std::optional<double>, int>> judgements;
    QStringList failures;
    std::vector<bool> readies;

    explicit Live(const QString& commandLine) {
        a.setCommandLine(commandLine);
        QObject::connect(&a, &LiveAnalysis::candidates, [this](std::vector<Candidate> c) { sets.push_back(c); });
        QObject::connect(&a, &LiveAnalysis::judged,
                         [this](double w, std::optional<double> l, int p) { judgements.emplace_back(w, l, p); });
        QObject::connect(&a, &LiveAnalysis::failed, [this](QString m) { failures << m; });
        QObject::connect(&a, &LiveAnalysis::ready, [this](bool s) { readies.push_back(s); });
    }
    bool moreSets(std::size_t than) {
        return QTest::qWaitFor([&] { return sets.size() > than || !failures.isEmpty(); }, 5000) && failures.isEmpty();
    }
};

void play(GameState& g, int col, int row) {
    NullPainter p;
    ASSERT_EQ(prcHitCore(g, pt(g, col, row), g.SideToMove, p), HitResult::Legal);
}

TEST(LiveAnalysis, BothDialectsFollowThePositionAndJudgeFromBlacksSide) {
    for (const bool kata : {true, false}) {
        SCOPED_TRACE(kata ? "kata-analyze" : "lz-analyze");
        QTemporaryDir dir;
        const QString log = dir.filePath("gtp.log");
        Live l(FakeGtp + " --log " + log + " --analyze " + (kata ? "kata" : "lz"));
        GameState g = newGame(9);
        play(g, 5, 5);
        const int a9 = pt(g, 1, 1), b9 = pt(g, 2, 1), c9 = pt(g, 3, 1);
        l.a.analyse(g);  // white to move
        ASSERT_TRUE(l.moreSets(0)) << l.failures.join("\n").toStdString();
        EXPECT_EQ(l.readies, std::vector<bool>{true});
        EXPECT_EQ(l.a.dialect(), kata ? analysis::Dialect::Kata : analysis::Dialect::Leela);
        const std::vector<Candidate>& first = l.sets.front();
        ASSERT_EQ(first.size(), 3u);
        const int moves[] = {a9, b9, c9};
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(first[k].pos, moves[k]);
            EXPECT_NEAR(first[k].winrate, 0.6 - 0.1 * static_cast<double>(k), 1e-9);
            EXPECT_EQ(first[k].scoreLead.has_value(), kata);
        }

        GameState next = g;
        play(next, 1, 1);  // white takes A9: black to move, whose first candidate is B9
        const std::size_t before = l.sets.size();
        l.a.analyse(next);
        ASSERT_TRUE(l.moreSets(before));
        EXPECT_EQ(l.sets[before].front().pos, b9);
        l.a.analyse(next);  // the same position keeps its stream
        ASSERT_TRUE(l.moreSets(l.sets.size()));

        // Judged once the visits are there (long before the time), then once the time is up.
        l.a.judge(g, 100, 60000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !l.judgements.empty() || !l.failures.isEmpty(); }, 5000));
        l.a.judge(next, 1000000, 300);
        ASSERT_TRUE(QTest::qWaitFor([&] { return l.judgements.size() > 1 || !l.failures.isEmpty(); }, 5000));
        ASSERT_EQ(l.judgements.size(), 2u) << l.failures.join("\n").toStdString();
        using Judgement = std::tuple<double, std::optional<double>, int>;
        EXPECT_EQ(l.judgements[0], Judgement(1 - 0.6, kata ? std::optional(-3.5) : std::nullopt, a9));
        EXPECT_EQ(l.judgements[1], Judgement(0.6, kata ? std::optional(3.5) : std::nullopt, b9));

        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString sent = QString::fromUtf8(f.readAll());
        const QString command = kata ? "kata-analyze" : "lz-analyze";
        EXPECT_EQ(sent.count(command + " W 10\n"), 2) << sent.toStdString();  // analysed, judged
        EXPECT_EQ(sent.count(command + " B 10\n"), 2) << sent.toStdString();  // analysed, judged
        EXPECT_EQ(sent.count("clear_board"), 1) << "later positions are reached by play and undo";
        EXPECT_TRUE(l.failures.isEmpty());
    }
}

TEST(LiveAnalysis, EngineFaultsEndWithAMessageAndTheNextRequestStartsAnew) {
    struct Row {
        const char* what;
        QString options;
        const char* message;
        bool streamsFirst;
    };
    const Row rows[] = {
        {"dies mid-stream", "--analyze kata --stream-fault die", "終了しました", true},
        {"falls silent mid-stream", "--analyze lz --stream-fault hang --hang-limit 5", "応答しません", true},
        {"writes nonsense", "--analyze kata --stream-fault nonsense", "読めません", true},
        {"cannot analyse", "", "対応していません", false},
    };
    GameState g = newGame(9);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Live l(FakeGtp + " " + r.options);
        l.a.setTimeLimit(500);
        for (int round = 0; round < 2; ++round) {
            l.a.analyse(g);
            ASSERT_TRUE(QTest::qWaitFor([&] { return l.failures.size() > round; }, 5000));
            EXPECT_TRUE(l.failures.back().contains(r.message)) << l.failures.back().toStdString();
            EXPECT_EQ(l.sets.size() >= static_cast<std::size_t>(round + 1), r.streamsFirst);
        }
    }
    Live missing("/nonexistent/katago gtp");
    missing.a.analyse(g);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !missing.failures.isEmpty(); }, 5000));
    EXPECT_TRUE(missing.failures.front().contains("見つかりません")) << missing.failures.front().toStdString();
}

}  // namespace
}  // namespace tavrin::test
