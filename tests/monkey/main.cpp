// tavrin_monkey: thousands of random user actions on the real main window, bounded in
// actions and time; exit code 0 only when no invariant broke, nothing crashed and nothing
// hung. Build it with TAVRIN_SANITIZE=ON to have every memory or undefined-behaviour fault
// end the run.
//
//   tavrin_monkey [--seed N] [--actions N] [--seconds T] [--hang T] [--corpus DIR] [--verbose]
//                 [--keep-inputs DIR]   every made-up record is written into DIR
//   tavrin_monkey --self-test    breaks the state on purpose: every break must be caught

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/AppSetup.h"
#include "tests/monkey/ActionLog.h"
#include "tests/monkey/Monkey.h"
#include "tests/monkey/RandomPrompts.h"

#ifndef TAVRIN_CORPUS_DIR
#define TAVRIN_CORPUS_DIR ""
#endif

namespace {

using namespace tavrin::monkey;

struct Settings {
    std::uint64_t Seed = 0;
    bool SeedGiven = false;
    long Actions = 5000;
    double Seconds = 90;
    int Hang = 60;
    QString Corpus = QStringLiteral(TAVRIN_CORPUS_DIR);
    bool Verbose = false;
    bool SelfTest = false;
    QString KeepInputs;
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "tavrin_monkey: %s\n"
                 "usage: tavrin_monkey [--seed N] [--actions N] [--seconds T] [--hang T] [--corpus DIR] "
                 "[--verbose] [--keep-inputs DIR]\n"
                 "       tavrin_monkey --self-test\n",
                 why);
    std::exit(2);
}

Settings parse(int argc, char** argv) {
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage(("missing value after " + a).c_str());
            return argv[++i];
        };
        char* end = nullptr;
        if (a == "--seed") {
            s.Seed = std::strtoull(value(), &end, 10);
            s.SeedGiven = true;
        } else if (a == "--actions") {
            s.Actions = std::strtol(value(), &end, 10);
        } else if (a == "--seconds") {
            s.Seconds = std::strtod(value(), &end);
        } else if (a == "--hang") {
            s.Hang = static_cast<int>(std::strtol(value(), &end, 10));
        } else if (a == "--corpus") {
            s.Corpus = QString::fromLocal8Bit(value());
        } else if (a == "--keep-inputs") {
            s.KeepInputs = QString::fromLocal8Bit(value());
        } else if (a == "--self-test") {
            s.SelfTest = true;
        } else if (a == "--verbose") {
            s.Verbose = true;
        } else {
            usage(("unknown option " + a).c_str());
        }
        if (end && *end) usage(("not a number: " + std::string(argv[i])).c_str());
    }
    if (s.Actions < 1 || s.Seconds <= 0 || s.Hang < 1) usage("counts and times must be positive");
    if (!s.SeedGiven)
        s.Seed =
            static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000007ULL;
    return s;
}

QStringList corpusFiles(const QString& folder) {
    QStringList files;
    if (folder.isEmpty() || !QDir(folder).exists()) return files;
    QDirIterator it(
        folder, {QStringLiteral("*.sgf"), QStringLiteral("*.SGF"), QStringLiteral("*.ngf"), QStringLiteral("*.NGF")},
        QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

// Qt's own messages: each distinct one is shown a few times, a fatal one ends the run.
void onQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    static std::map<std::string, int> seen;
    const std::string t = text.toStdString();
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qt fatal: %s\n", t.c_str());
        std::abort();
    }
    std::string key;
    for (char c : t.substr(0, 60))
        if (c < '0' || c > '9') key += c;
    if (++seen[key] <= 2) std::fprintf(stderr, "qt: %s\n", t.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const Settings s = parse(argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "tavrin_monkey: no temporary folder\n");
        return 2;
    }
    // The window's settings and config folder live in the scratch folder, never the user's.
    qputenv("XDG_CONFIG_HOME", (scratch.path() + QStringLiteral("/xdg")).toUtf8());

    ActionLog& log = theLog();
    log.Seed = s.Seed;
    log.Program = argv[0];
    log.Verbose = s.Verbose;
    installCrashReporting(s.Hang);
    qInstallMessageHandler(onQtMessage);

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tavrin::installFontSubstitutions();

    MonkeyFiles files;
    files.Corpus = corpusFiles(s.Corpus);
    files.Scratch = scratch.path();

    std::printf("monkey: seed %llu, up to %ld actions or %.0f s, %lld corpus records%s\n",
                static_cast<unsigned long long>(s.Seed), s.Actions, s.Seconds,
                static_cast<long long>(files.Corpus.size()),
                files.Corpus.isEmpty() ? " (corpus folder absent: corpus actions use saved records)" : "");
    std::fflush(stdout);

    Rng rng(s.Seed);
    RandomPrompts prompts(rng, log, files);
    int status = 0;
    long done = 0;
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0;
    {
        Monkey monkey(rng, log, files, prompts, scratch.path() + QStringLiteral("/Tavrin.Ini"));
        monkey.KeepInputs = s.KeepInputs;
        log.begin(0, "start");
        monkey.openWindow({});
        if (s.SelfTest) {
            // The checks must see a broken state, or a clean run proves nothing.
            const std::vector<std::string> missed = monkey.selfTest();
            for (const std::string& m : missed) std::printf("monkey self-test: NOT CAUGHT: %s\n", m.c_str());
            monkey.closeWindow();
            stopWatchdog();
            return missed.empty() ? 0 : 1;
        }
        if (std::string broken = monkey.check(); !broken.empty()) {
            reportFailure("invariant broken at start-up: " + broken);
            status = 1;
        }
        while (status == 0 && done < s.Actions) {
            elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (elapsed >= s.Seconds) break;
            ++done;
            monkey.step(done);
            if (std::string broken = monkey.check(); !broken.empty()) {
                reportFailure("invariant broken: " + broken);
                const QString kept = monkey.saveLastInput(QDir::currentPath());
                if (!kept.isEmpty())
                    std::printf("monkey: last %s kept in %s\n", monkey.lastInputKind().c_str(),
                                kept.toUtf8().constData());
                status = 1;
            }
            if (done % 1000 == 0) {
                std::printf("monkey: %ld actions, %.1f s\n", done, elapsed);
                std::fflush(stdout);
            }
        }
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "monkey: %ld actions in %.1f s (%.0f actions/s), %d of %lld corpus records swept, "
            "%ld program runs, %ld prompts answered, %ld warnings shown\n",
            done, elapsed, done / std::max(elapsed, 0.001), monkey.corpusSwept(),
            static_cast<long long>(files.Corpus.size()), monkey.windowsOpened(), prompts.Asked, prompts.Warnings);
        const Monkey::Counts& c = monkey.counts();
        std::printf(
            "monkey: %ld moves played, %ld take-backs, %ld replay steps, %ld play/replay switches, "
            "longest record %d moves\n",
            c.MovesPlayed, c.TakeBacks, c.ReplaySteps, c.ModeChanges, c.LongestRecord);
        log.begin(done + 1, "shutdown");
        monkey.closeWindow();
    }
    stopWatchdog();
    std::printf("monkey: %s (seed %llu)\n", status == 0 ? "clean" : "FAILED", static_cast<unsigned long long>(s.Seed));
    return status;
}
