#pragma once
// The monkey's memory of what it did: a ring of the latest actions (each with the prompt
// answers it caused), kept in fixed buffers so a crash or a sanitizer report can still print
// them, plus the handlers that print it when the process dies or hangs.

#include <atomic>
#include <cstdint>
#include <string>

namespace tavrin::monkey {

class ActionLog {
public:
    static constexpr int Ring = 64;
    static constexpr int EntryBytes = 720;

    // Starts the entry of action number index.
    void begin(long index, const std::string& text);
    // Appends to the current entry (prompt answers, results).
    void note(const std::string& text);
    // Writes the last count entries to fd with write() only.
    void dump(int fd, int count) const;
    // The current entry's text.
    std::string current() const;

    std::atomic<long> Started{0};  // actions begun; the watchdog watches it move
    std::uint64_t Seed = 0;
    const char* Program = "tavrin_monkey";
    bool Verbose = false;

private:
    char Entries[Ring][EntryBytes]{};
    long Index[Ring]{};
    std::atomic<long> Count{0};
};

// The one log of the run, for the crash handlers.
ActionLog& theLog();

// Prints "FAILED", the seed, the reason, the last actions and how to repeat the run.
void reportFailure(const std::string& why);

// Death callback of the sanitizers, handlers of fatal signals (those the sanitizers leave
// alone), and a watchdog thread that reports a hang when one action runs longer than
// hangSeconds and then ends the process with exit code 4.
void installCrashReporting(int hangSeconds);
// Tells the watchdog the run is over (no hang reports during shutdown).
void stopWatchdog();

}  // namespace tavrin::monkey
