// Per-move thinking times of GNU Go at several levels, to choose the levels behind 初級/中級/上級:
// 19x19 in the opening (the first moves from an empty board), 19x19 in the middle game (records
// brought to move 120 through Tavrin's sync plan, then a few moves asked for) and 9x9.
//
//   gtp_timing [--engine PATH] [--levels 1,3,5] [--opening N] [--middle N] RECORD.sgf...
//
// Prints one row per level: mean and largest seconds per move in each situation, once as
// time on the clock and once as the engine's processor time (which other work on a shared
// machine does not inflate).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Gtp.h"
#include "formats/RecordFile.h"
#include "game/Engine.h"
#include "tests/engine/GtpPipe.h"

namespace {

using tavrin::GameState;
using tavrin::gtp::Command;
using tavrin::test::GtpPipe;

// Processor seconds the process has used so far (user and system), from /proc.
double cpuSeconds(pid_t pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (f == nullptr) return 0;
    char buf[1024] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    // Fields after the command name (which may hold spaces) start past the last ')'.
    const char* p = std::strrchr(buf, ')');
    if (p == nullptr || n == 0) return 0;
    unsigned long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) {
        return 0;
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

struct Times {
    double total = 0, largest = 0;
    int moves = 0;

    void add(double s) {
        total += s;
        largest = std::max(largest, s);
        ++moves;
    }
    std::string text() const {
        if (moves == 0) return "      -      ";
        char buf[64];
        std::snprintf(buf, sizeof buf, "%5.2f / %5.2f", total / moves, largest);
        return buf;
    }
};

struct Measured {
    Times wall, cpu;
};

// Asks for count moves in turn, starting with colour; false when the engine fails.
bool timeMoves(GtpPipe& engine, int colour, int count, Measured& m) {
    for (int i = 0; i < count; ++i) {
        const double cpuBefore = cpuSeconds(engine.pid());
        const auto start = std::chrono::steady_clock::now();
        const auto a = engine.ask(*Command::genmove(colour), 600000);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!a || !a->ok()) return false;
        m.wall.add(took.count());
        m.cpu.add(cpuSeconds(engine.pid()) - cpuBefore);
        colour = 3 - colour;
    }
    return true;
}

std::vector<std::string> engineArgs(const std::string& path, int level) {
    return {path, "--mode", "gtp", "--level", std::to_string(level)};
}

bool fromEmpty(const std::string& path, int level, int size, int count, Measured& t) {
    GtpPipe engine(engineArgs(path, level));
    tavrin::gtp::Game empty{size, 65, {}, {}};
    return !engine.run(*tavrin::gtp::syncPlan(empty)) && timeMoves(engine, tavrin::Black, count, t);
}

}  // namespace

int main(int argc, char** argv) {
    std::string engine = "/usr/games/gnugo";
    std::vector<int> levels{1, 3, 5, 7, 8, 10};
    int opening = 10, middle = 5;
    std::vector<std::string> records;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--engine" && i + 1 < argc) {
            engine = argv[++i];
        } else if (a == "--levels" && i + 1 < argc) {
            levels.clear();
            std::string list = argv[++i];
            for (std::size_t p = 0; p < list.size();) {
                const std::size_t q = std::min(list.find(',', p), list.size());
                levels.push_back(std::stoi(list.substr(p, q - p)));
                p = q + 1;
            }
        } else if (a == "--opening" && i + 1 < argc) {
            opening = std::stoi(argv[++i]);
        } else if (a == "--middle" && i + 1 < argc) {
            middle = std::stoi(argv[++i]);
        } else {
            records.push_back(a);
        }
    }

    // The middle-game positions: each record at move 120 (moves 1..119 on the board).
    std::vector<tavrin::gtp::Game> positions;
    for (const auto& r : records) {
        GameState g;
        tavrin::TextBuffer buf;
        if (!tavrin::readRecordFile(g, buf, r).ok() || g.BoardSize != 19 || g.MoveCount < 125) {
            std::fprintf(stderr, "skipped %s (not a 19x19 record of 125 moves or more)\n", r.c_str());
            continue;
        }
        positions.push_back(tavrin::gtp::gameOf(g, 119));
    }

    std::printf("seconds per move, mean / largest; clock time, then the engine's processor time\n");
    std::printf("level | 19x19 opening (%d)          | 19x19 move 120 (%zu x %d)      | 9x9 opening (%d)\n", opening,
                positions.size(), middle, opening);
    for (int level : levels) {
        Measured open19, mid19, open9;
        bool ok = fromEmpty(engine, level, 19, opening, open19);
        for (const auto& p : positions) {
            GtpPipe e(engineArgs(engine, level));
            ok = ok && !e.run(*tavrin::gtp::syncPlan(p)) &&
                 timeMoves(e, p.moves.empty() ? tavrin::Black : 3 - p.moves.back().colour, middle, mid19);
        }
        ok = ok && fromEmpty(engine, level, 9, opening, open9);
        std::printf("%5d | %s  %s | %s  %s | %s  %s%s\n", level, open19.wall.text().c_str(), open19.cpu.text().c_str(),
                    mid19.wall.text().c_str(), mid19.cpu.text().c_str(), open9.wall.text().c_str(),
                    open9.cpu.text().c_str(), ok ? "" : "  (engine failed)");
        std::fflush(stdout);
    }
    return 0;
}
