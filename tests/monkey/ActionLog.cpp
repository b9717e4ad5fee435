#include "tests/monkey/ActionLog.h"

#include <execinfo.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#ifdef TAVRIN_MONKEY_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace tavrin::monkey {

namespace {

void writeText(int fd, const char* s) {
    std::size_t left = std::strlen(s);
    while (left > 0) {
        const ssize_t n = ::write(fd, s, left);
        if (n <= 0) return;
        s += n;
        left -= static_cast<std::size_t>(n);
    }
}

void writeNumber(int fd, unsigned long long v) {
    char buf[24];
    int i = sizeof buf - 1;
    buf[i] = '\0';
    do {
        buf[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && i > 0);
    writeText(fd, buf + i);
}

// The seed, the last actions and the command that repeats the run up to the failing action.
void writeReport(int fd, const char* headline) {
    ActionLog& log = theLog();
    const long failing = log.Started.load();
    writeText(fd, "\nmonkey: FAILED: ");
    writeText(fd, headline);
    writeText(fd, "\nmonkey: seed ");
    writeNumber(fd, log.Seed);
    writeText(fd, ", during action #");
    writeNumber(fd, static_cast<unsigned long long>(failing));
    writeText(fd, "\nmonkey: last actions (oldest first):\n");
    log.dump(fd, 20);
    writeText(fd, "monkey: repeat with: ");
    writeText(fd, log.Program);
    writeText(fd, " --seed ");
    writeNumber(fd, log.Seed);
    writeText(fd, " --actions ");
    writeNumber(fd, static_cast<unsigned long long>(failing));
    writeText(fd, " --seconds 100000 --verbose\n");
}

#ifdef TAVRIN_MONKEY_SANITIZED
void onSanitizerDeath() { writeReport(2, "sanitizer report (above)"); }
#endif

void onFatalSignal(int sig) {
    writeReport(2, sig == SIGABRT ? "abort (SIGABRT)" : "fatal signal");
    void* frames[64];
    const int n = backtrace(frames, 64);
    backtrace_symbols_fd(frames, n, 2);
    signal(sig, SIG_DFL);
    raise(sig);
}

void onStackRequest(int) {
    writeText(2, "monkey: main thread stack:\n");
#ifdef TAVRIN_MONKEY_SANITIZED
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    const int n = backtrace(frames, 64);
    backtrace_symbols_fd(frames, n, 2);
#endif
}

std::atomic<bool> WatchdogRunning{false};
pthread_t MainThread;

void watchdog(int hangSeconds) {
    long seen = -1;
    auto since = std::chrono::steady_clock::now();
    while (WatchdogRunning.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const long now = theLog().Started.load();
        const auto t = std::chrono::steady_clock::now();
        if (now != seen) {
            seen = now;
            since = t;
            continue;
        }
        if (t - since < std::chrono::seconds(hangSeconds) || !WatchdogRunning.load()) continue;
        char headline[96];
        std::snprintf(headline, sizeof headline, "hang: one action ran longer than %d s", hangSeconds);
        writeReport(2, headline);
        pthread_kill(MainThread, SIGUSR2);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        _exit(4);
    }
}

}  // namespace

void ActionLog::begin(long index, const std::string& text) {
    const long n = Count.load() + 1;
    char* e = Entries[n % Ring];
    Index[n % Ring] = index;
    std::snprintf(e, EntryBytes, "%s", text.c_str());
    Count.store(n);
    Started.store(index);
    if (Verbose) std::fprintf(stderr, "#%ld %s\n", index, e);
}

void ActionLog::note(const std::string& text) {
    const long n = Count.load();
    char* e = Entries[n % Ring];
    const std::size_t used = std::strlen(e);
    if (used + 4 < static_cast<std::size_t>(EntryBytes))
        std::snprintf(e + used, EntryBytes - used, " | %s", text.c_str());
    if (Verbose) std::fprintf(stderr, "      | %s\n", text.c_str());
}

std::string ActionLog::current() const { return Entries[Count.load() % Ring]; }

void ActionLog::dump(int fd, int count) const {
    const long n = Count.load();
    const long first = n - count + 1 > 1 ? n - count + 1 : 1;
    for (long i = first; i <= n; ++i) {
        writeText(fd, "  #");
        writeNumber(fd, static_cast<unsigned long long>(Index[i % Ring]));
        writeText(fd, " ");
        writeText(fd, Entries[i % Ring]);
        writeText(fd, "\n");
    }
}

ActionLog& theLog() {
    static ActionLog log;
    return log;
}

void reportFailure(const std::string& why) { writeReport(2, why.c_str()); }

void installCrashReporting(int hangSeconds) {
#ifdef TAVRIN_MONKEY_SANITIZED
    // The sanitizers handle SIGSEGV and friends themselves and call this before exiting.
    __sanitizer_set_death_callback(&onSanitizerDeath);
#else
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) signal(sig, &onFatalSignal);
#endif
    signal(SIGABRT, &onFatalSignal);
    signal(SIGUSR2, &onStackRequest);
    MainThread = pthread_self();
    WatchdogRunning.store(true);
    std::thread(watchdog, hangSeconds).detach();
}

void stopWatchdog() { WatchdogRunning.store(false); }

}  // namespace tavrin::monkey
