#pragma once
// The analysis streams of engines that search with a network: after `kata-analyze` or
// `lz-analyze` such an engine writes a line of candidate moves every interval,
//   info move Q16 visits 1234 winrate 0.5321 scoreLead 2.1 order 0 pv Q16 D4 info move D4 ...
// until it is sent the next command. Reading those lines into candidates, telling which of the
// two forms an engine speaks, and turning its figures to black's side. Pure C++.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Gtp.h"

namespace tavrin::analysis {

enum class Dialect {
    None,   // neither command: the engine cannot analyse
    Kata,   // kata-analyze: winrate 0..1, score figures in points
    Leela,  // lz-analyze: winrate and lcb in hundredths of a percent (0..10000)
};

// The dialect of an engine from its answer to list_commands; Kata when it lists both.
Dialect dialectOf(std::string_view listCommandsAnswer);

// The command that starts the stream for colour to move; empty for Dialect::None or a bad
// colour.
std::optional<gtp::Command> analyzeCommand(Dialect d, int colour, int intervalCentis);

struct Candidate {
    int pos = 0;                      // Tavrin's board position, PassPos for a pass
    int visits = 0;                   // playouts spent on the move
    double winrate = 0;               // of the side to move, 0..1
    std::optional<double> scoreLead;  // points, the side to move's view (Kata only)
    int order = 0;                    // the engine's rank, 0 = best
    std::vector<int> pv;              // the line it expects, starting with this move

    friend bool operator==(const Candidate&, const Candidate&) = default;
};

struct LineRead {
    std::vector<Candidate> candidates;  // best first (by order, then by visits)
    std::string error;                  // why the line cannot be read; candidates then empty

    bool ok() const { return error.empty(); }
};

// One line of the stream on a board of boardSize lines. Fields are read by key and keys
// unknown here are skipped with their values; a known figure that is no number or out of its
// range, a vertex off the board, or a candidate without move, visits or winrate makes the whole
// line unreadable. Sections that follow the candidates (ownership, rootInfo) are skipped.
LineRead readLine(std::string_view line, Dialect d, int boardSize);

// A candidate's figures from black's side when sideToMove (Black or White) was to move.
struct BlackView {
    double winrate = 0;
    std::optional<double> lead;
};
BlackView blackView(const Candidate& c, int sideToMove);

}  // namespace tavrin::analysis
