// The computer player against the scripted misbehaving engine (one fault per table row, its
// log read back for what reached the engine) and against GNU Go for the happy path.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Rokiru.h"
#include "tests/game/TestBoard.h"

// Failures show texts as they are.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace tavrin::test {
namespace {

const QString FakeGtp = QStringLiteral(TAVRIN_FAKE_GTP);
const QString GnuGo = QStringLiteral("/usr/games/gnugo");

bool haveGnuGo() { return ::access("/usr/games/gnugo", X_OK) == 0; }

// A Rokiru and everything it said, with a wait for its n-th answer.
struct Session {
    Rokiru rokiru;
    std::vector<std::pair<EngineMove, bool>> moves;
    std::vector<EngineMove> hints;
    std::vector<std::pair<std::vector<int>, std::vector<int>>> status;
    std::vector<std::tuple<QString, QString, int>> probes;
    QStringList failed, restarted;
    int timeLimits = 0;

    explicit Session(const EngineSettings& s) {
        rokiru.configure(s, 0);
        QObject::connect(&rokiru, &Rokiru::moveChosen, [this](EngineMove m, bool same) { moves.push_back({m, same}); });
        QObject::connect(&rokiru, &Rokiru::hintChosen, [this](EngineMove m) { hints.push_back(m); });
        QObject::connect(&rokiru, &Rokiru::statusChosen, [this](std::vector<int> d, std::vector<int> s) {
            status.push_back({d, s});
        });
        QObject::connect(&rokiru, &Rokiru::probed, [this](QString n, QString v, int c) {
            probes.push_back({n, v, c});
        });
        QObject::connect(&rokiru, &Rokiru::failed, [this](QString m) { failed << m; });
        QObject::connect(&rokiru, &Rokiru::restarted, [this](QString m) { restarted << m; });
        QObject::connect(&rokiru, &Rokiru::timeLimitReached, [this] { ++timeLimits; });
    }
    // Answers that end a question.
    std::size_t ends() const { return moves.size() + hints.size() + status.size() + probes.size() + failed.size(); }
    bool await(std::size_t n, int ms = 5000) {
        return QTest::qWaitFor([&] { return ends() >= n; }, ms) && ends() == n;
    }
    EngineMove lastMove() const { return moves.empty() ? EngineMove{EngineMove::Resign, 0} : moves.back().first; }
};

// One process of /proc: state, parent and group.
struct Proc {
    pid_t pid;
    char state;
    pid_t ppid, pgrp;
};

std::vector<Proc> processes() {
    std::vector<Proc> out;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = name.toInt(&isPid);
        if (!isPid) continue;
        std::ifstream in("/proc/" + name.toStdString() + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 1));
        Proc p{pid, '?', 0, 0};
        rest >> p.state >> p.ppid >> p.pgrp;
        out.push_back(p);
    }
    return out;
}

// Children of this test, zombies included (a child not reaped is left over too).
std::vector<pid_t> children() {
    std::vector<pid_t> out;
    for (const Proc& p : processes())
        if (p.ppid == ::getpid()) out.push_back(p.pid);
    return out;
}

// Processes of group g that still run (orphans that died may wait as zombies for init).
int liveInGroup(pid_t g) {
    int n = 0;
    for (const Proc& p : processes()) n += p.pgrp == g && p.state != 'Z';
    return n;
}

void playMoves(GameState& g, const std::vector<std::pair<int, int>>& moves) {
    NullPainter p;
    for (auto [c, r] : moves) ASSERT_EQ(prcHitCore(g, pt(g, c, r), g.SideToMove, p), HitResult::Legal);
}

void play(GameState& g, const EngineMove& m) {
    NullPainter p;
    ASSERT_NE(m.kind, EngineMove::Resign);
    ASSERT_EQ(prcHitCore(g, m.kind == EngineMove::Point ? m.pos : PassPos, g.SideToMove, p), HitResult::Legal);
}

bool legalFor(const GameState& g, const EngineMove& m, int colour) {
    if (m.kind != EngineMove::Point) return true;
    GameState copy = g;
    NullPainter p;
    return fncHitCheck(copy, m.pos, colour, p) == HitResult::Legal;
}

class RokiruTest : public ::testing::Test {
protected:
    void TearDown() override {
        QCoreApplication::processEvents();
        EXPECT_TRUE(children().empty()) << "an engine process was left behind";
    }

    // The scripted engine with these options, logging to the test's log.
    EngineSettings fake(const QString& options, int moveSeconds = 10) const {
        EngineSettings s;
        s.commandLine = FakeGtp + " --log " + logPath() + " " + options;
        s.moveSeconds = moveSeconds;
        return s;
    }
    QString logPath() const { return dir.filePath(QStringLiteral("gtp.log")); }
    // The commands the engine got, without their ids, from line `from` on.
    QStringList logged(int from = 0) const {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (QString& l : lines) l = l.section(u' ', 1);
        return lines.mid(from);
    }
    int countOf(const QString& command) const {
        int n = 0;
        for (const QString& l : logged()) n += l.section(u' ', 0, 0) == command;
        return n;
    }

    QTemporaryDir dir;
};

// ---- Finding the engine -----------------------------------------------------------------------

TEST_F(RokiruTest, FindsTheProgramAndBuildsItsArguments) {
    const QString exe = dir.filePath("eng");
    QFile(exe).open(QIODevice::WriteOnly);
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::ExeOwner);
    QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir("sub");
    const QByteArray oldPath = qgetenv("PATH");
    const QString oldCwd = QDir::currentPath();
    qputenv("PATH", (dir.path() + ":/bin").toLocal8Bit());
    QDir::setCurrent(dir.path());
    const QString gnugo = haveGnuGo() ? GnuGo : "";
    const std::pair<QString, QString> rows[] = {
        {"eng --mode gtp", exe},
        {"'" + exe + "' -x", exe},
        {"./eng", exe},
        {"plain", ""},
        {"sub", ""},
        {"no-such-engine", ""},
        {"'eng", ""},
        {"gnugo", gnugo},
        {"", gnugo},  // outside PATH
    };
    for (const auto& [commandLine, found] : rows) {
        EngineSettings s;
        s.commandLine = commandLine;
        EXPECT_EQ(findEngineProgram(s), found) << commandLine.toStdString();
    }
    EngineSettings s;
    s.commandLine = "eng --mode \"g t p\"";
    s.levelArguments[1] = "-x 'a b'";
    s.levelArguments[2] = "'open";
    QString error;
    EXPECT_EQ(engineArguments(s, 0), QStringList({exe, "--mode", "g t p"}));
    EXPECT_EQ(engineArguments(s, 1), QStringList({exe, "--mode", "g t p", "-x", "a b"}));
    EXPECT_TRUE(engineArguments(s, 2, &error).isEmpty() && error.contains("上級")) << error.toStdString();
    if (haveGnuGo()) {
        EXPECT_EQ(engineArguments(defaultEngineSettings(), 2), QStringList({GnuGo, "--mode", "gtp", "--level", "8"}));
    }
    QDir::setCurrent(oldCwd);
    qputenv("PATH", oldPath);
}

// ---- Faults -----------------------------------------------------------------------------------

TEST_F(RokiruTest, AnEngineThatCannotStartSaysWhy) {
    const QString notAProgram = dir.filePath("text");
    QFile f(notAProgram);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("no program\n") > 0);
    f.close();
    QFile::setPermissions(notAProgram, QFile::ReadOwner | QFile::ExeOwner);
    const std::pair<QString, QStringList> rows[] = {
        {"/nonexistent/engine --mode gtp", {"見つかりません", "/nonexistent/engine"}},
        {"gnugo 'unclosed", {"コマンドライン", "引用符"}},
        {FakeGtp + " --fail-start", {"起動できませんでした", FakeGtp, "model file missing"}},
        {notAProgram, {"起動できませんでした", notAProgram}},
        {"/bin/sh -c 'echo banner; echo; sleep 20'", {"GTP で応答しません", "banner"}},
    };
    for (const auto& [commandLine, said] : rows) {
        SCOPED_TRACE(commandLine.toStdString());
        EngineSettings s;
        s.commandLine = commandLine;
        Session r(s);
        r.rokiru.requestMove(newGame(9), Black);
        EXPECT_TRUE(r.rokiru.busy());
        ASSERT_TRUE(r.await(1));
        ASSERT_EQ(r.failed.size(), 1);
        for (const QString& part : said) EXPECT_TRUE(r.failed[0].contains(part)) << r.failed[0].toStdString();
        EXPECT_FALSE(r.rokiru.busy());
        EXPECT_TRUE(children().empty());
    }
}

TEST_F(RokiruTest, ACrashRestartsOnceAndResyncs) {
    for (const int crashAfter : {2, 1}) {
        SCOPED_TRACE(crashAfter);
        QFile::remove(logPath());
        Session r(fake(QString("--crash-after %1").arg(crashAfter)));
        GameState g = newGame(9);
        playMoves(g, {{3, 3}});
        if (crashAfter == 2) {
            r.rokiru.requestMove(g, White);
            ASSERT_TRUE(r.await(1));
            play(g, r.lastMove());
            playMoves(g, {{5, 5}});
        }
        const std::size_t before = r.ends();
        r.rokiru.requestMove(g, White);
        ASSERT_TRUE(r.await(before + 1));
        ASSERT_EQ(r.restarted.size(), 1);
        EXPECT_TRUE(r.restarted[0].contains("異常終了")) << r.restarted[0].toStdString();
        if (crashAfter == 2) {
            EXPECT_EQ(r.moves.size(), 2u);
            // The new process got the whole game from nothing.
            const QStringList log = logged();
            EXPECT_EQ(log.mid(log.lastIndexOf("clear_board") + 1),
                      QStringList({"komi 6.5", "play B C7", "play W A9", "play B E5", "genmove W"}));
        } else {
            ASSERT_EQ(r.failed.size(), 1);
            EXPECT_TRUE(r.failed[0].contains("異常終了")) << r.failed[0].toStdString();
            EXPECT_EQ(countOf("genmove"), 2);
        }
    }
}

TEST_F(RokiruTest, TimeLimitWaitsOnRequestAndCancelEndsTheEngine) {
    Session r(fake("--hang-genmove --hang-limit 30", 1));
    r.rokiru.requestMove(newGame(9), Black);
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.timeLimits == 1; }, 4000));
    EXPECT_TRUE(r.rokiru.busy());
    QElapsedTimer t;
    t.start();
    r.rokiru.keepWaiting();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.timeLimits == 2; }, 4000));
    EXPECT_GE(t.elapsed(), 900);
    ASSERT_EQ(children().size(), 1u);
    t.restart();
    r.rokiru.cancel();
    EXPECT_LT(t.elapsed(), 300);
    EXPECT_FALSE(r.rokiru.busy());
    EXPECT_TRUE(children().empty());
    // The next question starts a new engine and gets its answer.
    r.rokiru.requestDeadStones(newGame(9));
    ASSERT_TRUE(r.await(1));
    EXPECT_EQ(r.status.size(), 1u);
    EXPECT_TRUE(r.restarted.empty());
    EXPECT_EQ(countOf("list_commands"), 2);
}

TEST_F(RokiruTest, AnswersThatAreNoMoveRestartOnceThenFail) {
    const std::tuple<QString, QString, QString> rows[] = {
        {"--garbage", "読め", "bestmove q16"},
        {"--bad-vertex", "読め", "banana"},
        {"--offboard", "盤の外", "K10"},
    };
    for (const auto& [option, said, engineText] : rows) {
        SCOPED_TRACE(option.toStdString());
        QFile::remove(logPath());
        Session r(fake(option));
        r.rokiru.requestMove(newGame(9), Black);
        ASSERT_TRUE(r.await(1));
        ASSERT_EQ(r.restarted.size(), 1);
        EXPECT_TRUE(r.restarted[0].contains(said)) << r.restarted[0].toStdString();
        ASSERT_EQ(r.failed.size(), 1);
        EXPECT_TRUE(r.failed[0].contains(engineText)) << r.failed[0].toStdString();
        EXPECT_EQ(countOf("genmove"), 2);
        EXPECT_EQ(countOf("list_commands"), 2);
    }
}

TEST_F(RokiruTest, RefusedMovesResyncAndThreeInARowFail) {
    Session r(fake("--occupied"));
    GameState g = newGame(9);
    playMoves(g, {{3, 3}});
    const QStringList sync = {"boardsize 9", "clear_board", "komi 6.5", "play B C7", "genmove W"};
    for (std::size_t refusal = 1; refusal <= 3; ++refusal) {
        const auto from = logged().size();
        r.rokiru.requestMove(g, White);
        ASSERT_TRUE(r.await(refusal));
        ASSERT_EQ(r.lastMove().kind, EngineMove::Point);
        EXPECT_NE(g.Board[r.lastMove().pos], 0) << "the scripted engine names a taken point";
        // After a refusal the engine's board is rebuilt from the game.
        EXPECT_EQ(logged(from).mid(refusal == 1 ? 3 : 0), sync);
        r.rokiru.moveRefused();
    }
    const int genmoves = countOf("genmove");
    r.rokiru.requestMove(g, White);
    ASSERT_TRUE(r.await(4));
    ASSERT_EQ(r.failed.size(), 1);
    EXPECT_TRUE(r.failed[0].contains("続けて")) << r.failed[0].toStdString();
    EXPECT_EQ(countOf("genmove"), genmoves);

    // Three refusals again, and the window gives up on the engine: the next question goes to a
    // new process that knows nothing of them.
    for (std::size_t refusal = 5; refusal <= 7; ++refusal) {
        r.rokiru.requestMove(g, White);
        ASSERT_TRUE(r.await(refusal));
        r.rokiru.moveRefused();
    }
    r.rokiru.shutdown();
    r.rokiru.requestMove(g, White);
    ASSERT_TRUE(r.await(8));
    EXPECT_EQ(r.failed.size(), 1) << r.failed.join('|').toStdString();
    EXPECT_EQ(countOf("genmove"), genmoves + 4);
    EXPECT_EQ(countOf("list_commands"), 3) << "a new process was started for the last question";
}

TEST_F(RokiruTest, ErrorOutputIsDrainedAndItsTailReported) {
    for (const bool crash : {false, true}) {
        SCOPED_TRACE(crash);
        Session r(fake(crash ? "--stderr-spam --crash-after 1" : "--stderr-spam"));
        GameState g = newGame(9);
        for (std::size_t k = 1; k <= (crash ? 1u : 3u); ++k) {
            r.rokiru.requestMove(g, g.SideToMove);
            ASSERT_TRUE(r.await(k));
            if (!crash) play(g, r.lastMove());
        }
        ASSERT_EQ(r.failed.size(), crash ? 1 : 0);
        if (crash) {
            EXPECT_TRUE(r.failed[0].contains(QString(40, u'x')));
            EXPECT_LT(r.failed[0].size(), 2000) << "only the last lines are kept";
        }
    }
}

TEST_F(RokiruTest, SyncSendsOnlyWhatChangedAndTakesBackByUndoWhereItCan) {
    const std::tuple<QString, int, QStringList> rows[] = {
        {"", 0, {"play B B2", "genmove W"}},
        {"", 2, {"undo", "undo", "genmove B"}},
        {"--no-undo", 2, {"boardsize 9", "clear_board", "komi 6.5", "play B C7", "play W G3", "genmove B"}},
    };
    for (const auto& [options, takeBack, sent] : rows) {
        SCOPED_TRACE(takeBack);
        QFile::remove(logPath());
        Session r(fake(options));
        GameState g = newGame(9);
        playMoves(g, {{3, 3}, {7, 7}, {5, 5}});
        r.rokiru.requestMove(g, White);
        ASSERT_TRUE(r.await(1));
        play(g, r.lastMove());
        NullPainter p;
        if (takeBack > 0) prcKifBack(g, g.CurrentMove - takeBack, p);
        if (takeBack == 0) playMoves(g, {{2, 8}});
        const auto from = logged().size();
        r.rokiru.requestMove(g, g.SideToMove);
        ASSERT_TRUE(r.await(2));
        EXPECT_EQ(logged(from), sent);
    }
}

TEST_F(RokiruTest, RedoAsksForAnotherMoveAndPlaysTheChoice) {
    // The scripted engine behind a filter that hides gg_genmove from its command list.
    EngineSettings withoutGg;
    withoutGg.commandLine =
        QString("/bin/sh -c \"%1 --log %2 | grep --line-buffered -vx gg_genmove\"").arg(FakeGtp, logPath());
    const QString anotherByGg = "undo\n(gg_genmove W \\d+\n)+play W [A-J]\\d";
    struct Row {
        EngineSettings settings;
        bool moveStillInGame, same;
        QString sent;  // after the question, as a pattern
        bool b9RejectedBefore = false;
    } rows[] = {
        {fake(""), false, false, anotherByGg},
        {fake(""), true, false, anotherByGg},
        {fake("--insist"), false, true, "undo\n(gg_genmove W \\d+\n){4}play W A9"},
        {withoutGg, false, true, "undo\n(genmove W\nundo\n){3}genmove W"},
        // The engine's list of good moves: its best one not rejected, whatever gg_genmove says.
        {fake("--insist --top 3"), false, false, "undo\ntop_moves_white\nplay W B9"},
        {fake("--insist --top 3"), false, false, "undo\ntop_moves_white\nplay W C9", true},
        // Every move of the list rejected: the engine's insistence is accepted in the end.
        {fake("--insist --top 2"), false, true, "undo\ntop_moves_white\n(gg_genmove W \\d+\n){4}play W A9", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.settings.commandLine.toStdString() + (row.moveStillInGame ? " in game" : ""));
        QFile::remove(logPath());
        Session r(row.settings);
        GameState g = newGame(9);
        playMoves(g, {{3, 3}});
        r.rokiru.requestMove(g, White);
        ASSERT_TRUE(r.await(1));
        const EngineMove first = r.lastMove();
        if (row.moveStillInGame) play(g, first);
        const auto from = logged().size();
        std::vector<int> rejected{first.pos};
        if (row.b9RejectedBefore) rejected.push_back(pt(g, 2, 1));
        r.rokiru.requestRedo(g, White, rejected);
        ASSERT_TRUE(r.await(2));
        const auto [redo, same] = r.moves.back();
        EXPECT_EQ(same, row.same);
        EXPECT_EQ(redo.pos == first.pos, row.same);
        const QStringList sent = logged(from);
        EXPECT_TRUE(QRegularExpression("^" + row.sent + "$").match(sent.join('\n')).hasMatch())
            << sent.join(" | ").toStdString();
        if (!row.same) {
            EXPECT_EQ(sent.back(), "play W " + QString::fromStdString(gtp::vertexText(redo.pos, 9)));
        }
    }
}

TEST_F(RokiruTest, AHintByGenmoveIsTakenBackByTheNextSync) {
    EngineSettings s;
    s.commandLine =
        QString("/bin/sh -c \"%1 --log %2 | grep --line-buffered -vx reg_genmove\"").arg(FakeGtp, logPath());
    Session r(s);
    GameState g = newGame(9);
    playMoves(g, {{3, 3}});
    r.rokiru.requestHint(g, White);
    ASSERT_TRUE(r.await(1));
    ASSERT_EQ(r.hints.size(), 1u);
    const auto from = logged().size();
    r.rokiru.requestMove(g, White);
    ASSERT_TRUE(r.await(2));
    EXPECT_EQ(logged(from), QStringList({"undo", "genmove W"}));
    EXPECT_EQ(r.hints[0].pos, r.lastMove().pos);
}

TEST_F(RokiruTest, NoTextOfTheGameReachesTheEngine) {
    Session r(fake(""));
    GameState g = newGame(9);
    g.BlackPlayer = "SECRET 黒の人\nquit";
    g.WhitePlayer = "SECRET; boardsize 19";
    g.GameName = "SECRET game";
    g.GameComment = "SECRET\n\nplay B A1";
    g.GameRule = "SECRET rule";
    playMoves(g, {{3, 3}, {7, 7}});
    r.rokiru.requestHint(g, Black);
    ASSERT_TRUE(r.await(1));
    r.rokiru.requestMove(g, Black);
    ASSERT_TRUE(r.await(2));
    r.rokiru.requestRedo(g, Black, {r.lastMove().pos});
    ASSERT_TRUE(r.await(3));
    r.rokiru.requestDeadStones(g);
    ASSERT_TRUE(r.await(4));
    EXPECT_TRUE(r.failed.empty());
    const QStringList sent = logged();
    ASSERT_GT(sent.size(), 10);
    for (const QString& line : sent) {
        const std::string name = line.section(u' ', 0, 0).toStdString();
        EXPECT_NE(std::find(std::begin(gtp::CommandNames), std::end(gtp::CommandNames), name),
                  std::end(gtp::CommandNames))
            << line.toStdString();
        EXPECT_FALSE(line.contains("SECRET")) << line.toStdString();
    }
    EXPECT_EQ(countOf("reg_genmove"), 1) << "a hint is asked without playing it";
}

TEST_F(RokiruTest, ClosingWhileThinkingIsQuickAndLeavesNothing) {
    enum How { Shutdown, Cancel, Destroy };
    for (How how : {Shutdown, Cancel, Destroy}) {
        SCOPED_TRACE(how);
        QFile::remove(logPath());
        // A helper process in the engine's group must end with it.
        EngineSettings s;
        s.commandLine = QString("/bin/sh -c \"sleep 30 & exec %1 --hang-genmove --hang-limit 30 --log %2\"")
                            .arg(FakeGtp, logPath());
        auto r = std::make_unique<Session>(s);
        r->rokiru.requestMove(newGame(9), Black);
        ASSERT_TRUE(QTest::qWaitFor([&] { return countOf("genmove") == 1; }, 5000));
        const auto kids = children();
        ASSERT_EQ(kids.size(), 1u);
        ASSERT_EQ(liveInGroup(kids[0]), 2) << "the engine and its helper";
        QElapsedTimer t;
        t.start();
        if (how == Shutdown) r->rokiru.shutdown();
        if (how == Cancel) r->rokiru.cancel();
        if (how == Destroy) r.reset();
        EXPECT_LT(t.elapsed(), 200);
        EXPECT_TRUE(children().empty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return liveInGroup(kids[0]) == 0; }, 1000));
        if (r) {
            QCoreApplication::processEvents();
            EXPECT_FALSE(r->rokiru.busy());
            EXPECT_EQ(r->ends() + r->restarted.size(), 0u) << "a stopped question says nothing";
        }
    }
}

TEST_F(RokiruTest, ProbeNamesTheEngine) {
    const std::tuple<QString, QString, QString, int, int> rows[] = {
        {FakeGtp, "FakeGtp", "1.0", 18, 18},
        {FakeGtp + " --no-undo", "FakeGtp", "1.0", 17, 17},
        {"", "GNU Go", "3.", 50, 1000},
    };
    for (const auto& [commandLine, name, versionStart, minCount, maxCount] : rows) {
        if (commandLine.isEmpty() && !haveGnuGo()) continue;
        SCOPED_TRACE(commandLine.toStdString());
        // The scripted engine takes no level arguments.
        EngineSettings s = commandLine.isEmpty() ? defaultEngineSettings() : EngineSettings{};
        if (!commandLine.isEmpty()) s.commandLine = commandLine;
        Session r(EngineSettings{});
        r.rokiru.probe(s, 1);
        ASSERT_TRUE(r.await(1));
        ASSERT_EQ(r.probes.size(), 1u);
        const auto& [gotName, version, count] = r.probes[0];
        EXPECT_EQ(gotName, name);
        EXPECT_TRUE(version.startsWith(versionStart)) << version.toStdString();
        EXPECT_TRUE(count >= minCount && count <= maxCount) << count;
        EXPECT_EQ(r.rokiru.engineName(), gotName + " " + version);
    }
}

// ---- GNU Go -----------------------------------------------------------------------------------

TEST_F(RokiruTest, GnuGoPlaysAGameWithHintAndRedoAndNamesDeadStones) {
    if (!haveGnuGo()) GTEST_SKIP() << "GNU Go is not installed";
    EngineSettings s = defaultEngineSettings();
    s.moveSeconds = 20;
    Session r(s);
    GameState g = newGame(9);
    playMoves(g, {{3, 3}, {7, 7}, {5, 5}});
    r.rokiru.requestHint(g, White);
    ASSERT_TRUE(r.await(1, 20000));
    ASSERT_EQ(r.hints.size(), 1u) << r.failed.join("|").toStdString();
    EXPECT_EQ(r.hints[0].kind, EngineMove::Point);
    EXPECT_TRUE(legalFor(g, r.hints[0], White));
    r.rokiru.requestMove(g, White);
    ASSERT_TRUE(r.await(2, 20000));
    const EngineMove first = r.lastMove();
    ASSERT_EQ(first.kind, EngineMove::Point);
    EXPECT_TRUE(legalFor(g, first, White));
    r.rokiru.requestRedo(g, White, {first.pos});
    ASSERT_TRUE(r.await(3, 20000));
    const auto [redo, same] = r.moves.back();
    // GNU Go lists its good moves: another one is played.
    EXPECT_FALSE(same);
    EXPECT_FALSE(redo.kind == EngineMove::Point && redo.pos == first.pos);

    // The game goes on from the re-move, Rokiru against itself, to its end.
    bool over = false;
    for (EngineMove m = redo; m.kind != EngineMove::Resign && !over && g.MoveCount < 160; m = r.lastMove()) {
        play(g, m);
        over = m.kind == EngineMove::Pass && passEndsGame(g);
        if (over) break;
        r.rokiru.requestMove(g, g.SideToMove);
        ASSERT_TRUE(r.await(r.ends() + 1, 20000)) << r.failed.join("|").toStdString();
    }
    EXPECT_GT(g.MoveCount, 20);
    r.rokiru.requestDeadStones(g);
    ASSERT_TRUE(r.await(r.ends() + 1, 20000));
    ASSERT_EQ(r.status.size(), 1u) << r.failed.join("|").toStdString();
    for (int pos : r.status[0].first) EXPECT_GT(g.Board[pos], 0) << "dead stone on an empty point";
    for (int pos : r.status[0].second) EXPECT_GT(g.Board[pos], 0) << "seki stone on an empty point";
    EXPECT_TRUE(r.failed.empty() && r.restarted.empty());
}

}  // namespace
}  // namespace tavrin::test
