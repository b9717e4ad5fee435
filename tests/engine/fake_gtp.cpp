// A scripted GTP engine for tests: it speaks GTP on stdin/stdout, keeps its own board, and
// misbehaves on request. Its board code is written apart from Tavrin's on purpose, so a wrong
// vertex mapping on either side shows up as a disagreement instead of cancelling out.
//
// Options:
//   --log FILE        append every command line received to FILE
//   --crash-after N   exit at once, without an answer, at the N-th move request
//   --hang-genmove    never answer a move request (gives up after --hang-limit seconds)
//   --hang-limit S    how long a hang lasts before the program exits (default 120)
//   --slow MS         sleep MS milliseconds before answering a move request, estimate_score or
//                     final_status_list
//   --garbage         answer move requests with lines that are no GTP answer
//   --bad-vertex      answer move requests "= " and a word that is no vertex
//   --occupied        answer move requests with a point its own board has a stone on
//   --offboard        answer move requests with a vertex beyond the board
//   --resign-at N     answer the N-th move request with resign
//   --stderr-spam     write hundreds of kilobytes to stderr at start and per move request
//   --no-undo         leave undo out of list_commands and refuse it
//   --insist          gg_genmove ignores its seed (always the same move)
//   --top N           know top_moves_black/white: the first N legal points in reading order,
//                     best first (N = 0, the default: the commands are unknown)
//   --fail-start      write an error to stderr and exit 1 at once
//   --analyze kata|lz list kata-analyze or lz-analyze and stream candidate lines for it, one
//                     every interval, until the next line of input arrives
//   --stream-fault die|hang|nonsense
//                     at the --stream-fault-at-th line it streams, counted over all its streams
//                     (default 3): exit, stop writing and reading, or write a line whose visits
//                     are no number
//   --late-lines N    write N more lines after input has come, before the stream ends (lines
//                     on their way when the stop was sent)
//   --estimate-fault N  from the N-th estimate_score on: exit at once, or with --hang-genmove,
//                     --garbage or --bad-vertex misbehave as move requests do
//   --max-size N      refuse boardsize above N lines
// Move requests are genmove, reg_genmove and gg_genmove, counted together from 1.
// Without misbehaviour it plays the first empty point in reading order (top row first) where
// a stone may stand, and passes when there is none or when the opponent has just passed.

#include <poll.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Options {
    std::string log;
    int crashAfter = 0;
    bool hang = false;
    int hangLimitSeconds = 120;
    int slowMs = 0;
    bool garbage = false;
    bool badVertex = false;
    bool occupied = false;
    bool offboard = false;
    int resignAt = 0;
    bool stderrSpam = false;
    bool noUndo = false;
    bool insist = false;
    int top = 0;
    bool failStart = false;
    std::string analyze;  // "kata", "lz" or empty
    std::string streamFault;
    int streamFaultAt = 3;
    int lateLines = 0;
    int estimateFault = 0;
    int maxSize = 25;
};

constexpr char Letters[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ";

struct Point {
    int col = 0;  // 0-based from the left
    int row = 0;  // 0-based from the bottom
};

// The board: cells by row from the bottom, 0 empty, 1 black, 2 white.
struct Board {
    int size = 19;
    std::vector<int> cells = std::vector<int>(19 * 19, 0);
    int koIndex = -1;   // the point that may not be retaken at once
    int lastMover = 0;  // colour of the last move played, 0 before any
    bool lastPass = false;

    int& at(int i) { return cells[static_cast<std::size_t>(i)]; }
    int index(Point p) const { return p.row * size + p.col; }
    bool empty() const {
        for (int c : cells) {
            if (c != 0) return false;
        }
        return true;
    }

    std::vector<int> neighbours(int i) const {
        std::vector<int> n;
        const int r = i / size, c = i % size;
        if (r > 0) n.push_back(i - size);
        if (r < size - 1) n.push_back(i + size);
        if (c > 0) n.push_back(i - 1);
        if (c < size - 1) n.push_back(i + 1);
        return n;
    }

    // The group at i and whether it has a liberty.
    std::vector<int> group(int i, bool& hasLiberty) const {
        const int colour = cells[static_cast<std::size_t>(i)];
        std::vector<int> stones{i};
        std::vector<bool> seen(cells.size(), false);
        seen[static_cast<std::size_t>(i)] = true;
        hasLiberty = false;
        for (std::size_t k = 0; k < stones.size(); ++k) {
            for (int n : neighbours(stones[k])) {
                const int v = cells[static_cast<std::size_t>(n)];
                if (v == 0) hasLiberty = true;
                if (v == colour && !seen[static_cast<std::size_t>(n)]) {
                    seen[static_cast<std::size_t>(n)] = true;
                    stones.push_back(n);
                }
            }
        }
        return stones;
    }

    // Plays colour at i; false (board unchanged) when the point is taken, the ko point or
    // suicide.
    bool play(int colour, int i) {
        if (cells[static_cast<std::size_t>(i)] != 0 || i == koIndex) return false;
        Board before = *this;
        at(i) = colour;
        std::vector<int> captured;
        for (int n : neighbours(i)) {
            if (cells[static_cast<std::size_t>(n)] != 3 - colour) continue;
            bool lib = false;
            const auto g = group(n, lib);
            if (lib) continue;
            for (int s : g) {
                at(s) = 0;
                captured.push_back(s);
            }
        }
        bool lib = false;
        const auto own = group(i, lib);
        if (!lib) {
            *this = before;
            return false;
        }
        koIndex = captured.size() == 1 && own.size() == 1 ? captured[0] : -1;
        lastMover = colour;
        lastPass = false;
        return true;
    }

    void pass(int colour) {
        koIndex = -1;
        lastMover = colour;
        lastPass = true;
    }

    bool legal(int colour, int i) const {
        Board copy = *this;
        return copy.play(colour, i);
    }
};

std::string lowerCase(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

int parseColour(const std::string& word) {
    const std::string w = lowerCase(word);
    if (w == "b" || w == "black") return 1;
    if (w == "w" || w == "white") return 2;
    return 0;
}

// A vertex on a board of size lines; empty for pass (with isPass set) or anything invalid.
std::optional<Point> parsePoint(const std::string& word, int size, bool& isPass) {
    isPass = lowerCase(word) == "pass";
    if (isPass || word.size() < 2) return std::nullopt;
    const char letter = static_cast<char>(word[0] >= 'a' ? word[0] - 'a' + 'A' : word[0]);
    const char* found = std::strchr(Letters, letter);
    if (found == nullptr || letter == '\0') return std::nullopt;
    int row = 0;
    for (std::size_t k = 1; k < word.size(); ++k) {
        if (word[k] < '0' || word[k] > '9' || k > 3) return std::nullopt;
        row = row * 10 + (word[k] - '0');
    }
    const int col = static_cast<int>(found - Letters);
    if (col >= size || row < 1 || row > size) return std::nullopt;
    return Point{col, row - 1};
}

std::string pointText(int index, int size) {
    std::string s = std::to_string(index / size + 1);
    s.insert(s.begin(), Letters[index % size]);
    return s;
}

// Standard input read by hand, so that a stream can look for the next line between its own.
class Input {
public:
    // The next line without its end; empty at the end of input.
    std::optional<std::string> line() {
        for (;;) {
            const auto nl = buf_.find('\n');
            if (nl != std::string::npos) {
                std::string l = buf_.substr(0, nl);
                buf_.erase(0, nl + 1);
                return l;
            }
            if (eof_ || !fill(-1)) {
                if (buf_.empty()) return std::nullopt;
                return std::exchange(buf_, {});
            }
        }
    }
    // Whether input (or its end) comes within ms.
    bool pending(int ms) { return !buf_.empty() || eof_ || fill(ms) || eof_; }

private:
    bool fill(int ms) {
        pollfd p{0, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return false;
        char b[4096];
        const ssize_t n = ::read(0, b, sizeof b);
        if (n <= 0) {
            eof_ = true;
            return false;
        }
        buf_.append(b, static_cast<std::size_t>(n));
        return true;
    }

    std::string buf_;
    bool eof_ = false;
};

class FakeEngine {
public:
    FakeEngine(Options o, Input& input) : opt_(std::move(o)), input_(input) {
        if (!opt_.log.empty()) log_ = std::fopen(opt_.log.c_str(), "a");
    }
    ~FakeEngine() {
        if (log_ != nullptr) std::fclose(log_);
    }

    // Handles one line; false after quit.
    bool handle(const std::string& raw) {
        if (log_ != nullptr) {
            std::fprintf(log_, "%s\n", raw.c_str());
            std::fflush(log_);
        }
        std::string line;
        for (char c : raw) {
            if (c == '#') break;
            if (c == '\t') c = ' ';
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) line += c;
        }
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        if (words.empty()) return true;
        id_.clear();
        if (words[0].find_first_not_of("0123456789") == std::string::npos) {
            id_ = words[0];
            words.erase(words.begin());
            if (words.empty()) {
                fail("no command");
                return true;
            }
        }
        const std::string cmd = words[0];
        const std::vector<std::string> args(words.begin() + 1, words.end());
        if (cmd == "quit") {
            ok("");
            return false;
        }
        dispatch(cmd, args);
        return true;
    }

    void startSpam() {
        if (opt_.stderrSpam) spam(256 * 1024);
    }

private:
    void dispatch(const std::string& cmd, const std::vector<std::string>& args) {
        if (cmd == "protocol_version") return ok("2");
        if (cmd == "name") return ok("FakeGtp");
        if (cmd == "version") return ok("1.0");
        if (cmd == "list_commands") return ok(commandList());
        if (cmd == "known_command") {
            if (args.size() != 1) return fail("syntax error");
            return ok(known(args[0]) ? "true" : "false");
        }
        if (cmd == "boardsize") return boardsize(args);
        if (cmd == "clear_board") return clear();
        if (cmd == "komi") return komi(args);
        if (cmd == "play") return play(args);
        if (cmd == "set_free_handicap") return handicap(args);
        if (cmd == "undo" && !opt_.noUndo) return undo();
        if (cmd == "genmove" || cmd == "reg_genmove" || cmd == "gg_genmove") {
            return moveRequest(cmd, args);
        }
        if ((cmd == "top_moves_black" || cmd == "top_moves_white") && opt_.top > 0) {
            const int colour = cmd == "top_moves_black" ? 1 : 2;
            std::string list;
            for (unsigned k = 0; k < static_cast<unsigned>(opt_.top); ++k) {
                const int p = choose(colour, k);
                if (p < 0 || list.find(pointText(p, board_.size) + ' ') != std::string::npos) break;
                list += pointText(p, board_.size) + ' ' + std::to_string(opt_.top - k) + ".5 ";
            }
            if (!list.empty()) list.pop_back();
            return ok(list);
        }
        if (cmd == "estimate_score") {
            // Answered though not listed, as some engines do; as slow as a move.
            if (opt_.slowMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(opt_.slowMs));
            if (opt_.estimateFault > 0 && ++estimates_ >= opt_.estimateFault) {
                if (opt_.hang) hang();
                if (opt_.garbage) return raw("I think Black leads\n\n");
                if (opt_.badVertex) return ok("banana");
                std::fflush(stdout);
                std::_Exit(3);
            }
            return ok("B+3.5 (upper bound: 4.0, lower: 3.0)");
        }
        if (cmd == "final_status_list") {
            if (args.size() != 1) return fail("syntax error");
            if (opt_.slowMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(opt_.slowMs));
            return ok("");
        }
        if (cmd == "showboard") return ok(diagram());
        if (cmd == "level") return args.size() == 1 ? ok("") : fail("syntax error");
        if (cmd == analyzeCommand()) return analyze(args);
        fail("unknown command");
    }

    static constexpr const char* Commands[] = {"protocol_version",  "name",          "version",
                                               "list_commands",     "known_command", "boardsize",
                                               "clear_board",       "komi",          "play",
                                               "set_free_handicap", "undo",          "genmove",
                                               "reg_genmove",       "gg_genmove",    "final_status_list",
                                               "showboard",         "quit",          "top_moves_black",
                                               "top_moves_white",   "level"};

    std::string analyzeCommand() const { return opt_.analyze.empty() ? std::string() : opt_.analyze + "-analyze"; }

    bool known(const std::string& name) const {
        if (!opt_.analyze.empty() && name == analyzeCommand()) return true;
        if (name == "undo" && opt_.noUndo) return false;
        if (name.rfind("top_moves_", 0) == 0 && opt_.top == 0) return false;
        for (const char* c : Commands) {
            if (name == c) return true;
        }
        return false;
    }

    std::string commandList() const {
        std::string s;
        for (const char* c : Commands) {
            if (!known(c)) continue;
            if (!s.empty()) s += '\n';
            s += c;
        }
        if (!opt_.analyze.empty()) s += '\n' + analyzeCommand();
        return s;
    }

    void boardsize(const std::vector<std::string>& args) {
        if (args.size() != 1 || args[0].find_first_not_of("0123456789") != std::string::npos || args[0].size() > 2) {
            return fail("boardsize not an integer");
        }
        const int n = std::stoi(args[0]);
        if (n < 2 || n > opt_.maxSize) return fail("unacceptable size");
        board_ = Board{};
        board_.size = n;
        board_.cells.assign(static_cast<std::size_t>(n * n), 0);
        history_.clear();
        ok("");
    }

    void clear() {
        board_.cells.assign(board_.cells.size(), 0);
        board_.koIndex = -1;
        board_.lastMover = 0;
        board_.lastPass = false;
        history_.clear();
        ok("");
    }

    void komi(const std::vector<std::string>& args) {
        // Only the C locale's numbers: "6,5" is refused, as strict engines do.
        if (args.size() != 1 || args[0].empty() || args[0].find_first_not_of("-0123456789.") != std::string::npos) {
            return fail("komi not a float");
        }
        ok("");
    }

    void play(const std::vector<std::string>& args) {
        if (args.size() != 2) return fail("syntax error");
        const int colour = parseColour(args[0]);
        bool isPass = false;
        const auto p = parsePoint(args[1], board_.size, isPass);
        if (colour == 0 || (!p && !isPass)) return fail("invalid color or coordinate");
        history_.push_back(board_);
        if (isPass) {
            board_.pass(colour);
        } else if (!board_.play(colour, board_.index(*p))) {
            history_.pop_back();
            return fail("illegal move");
        }
        ok("");
    }

    void handicap(const std::vector<std::string>& args) {
        if (args.size() < 2) return fail("invalid number of stones");
        if (!board_.empty()) return fail("board not empty");
        Board b = board_;
        for (const auto& a : args) {
            bool isPass = false;
            const auto p = parsePoint(a, board_.size, isPass);
            if (!p) return fail("invalid coordinate");
            if (b.cells[static_cast<std::size_t>(b.index(*p))] != 0) return fail("repeated vertex");
            b.at(b.index(*p)) = 1;
        }
        board_ = b;
        history_.clear();  // handicap stones are not taken back
        ok("");
    }

    void undo() {
        if (history_.empty()) return fail("cannot undo");
        board_ = history_.back();
        history_.pop_back();
        ok("");
    }

    void moveRequest(const std::string& cmd, const std::vector<std::string>& args) {
        const bool gg = cmd == "gg_genmove";
        if (args.empty() || args.size() > (gg ? 2u : 1u)) return fail("syntax error");
        const int colour = parseColour(args[0]);
        if (colour == 0) return fail("invalid color");
        ++requests_;
        if (opt_.stderrSpam) spam(64 * 1024);
        if (opt_.crashAfter > 0 && requests_ >= opt_.crashAfter) {
            std::fflush(stdout);
            std::_Exit(3);
        }
        if (opt_.hang) hang();
        if (opt_.slowMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(opt_.slowMs));
        if (opt_.resignAt > 0 && requests_ == opt_.resignAt) return ok("resign");
        if (opt_.garbage) return raw("I think the best move is Q16, really\nbestmove q16\n\n");
        if (opt_.badVertex) return ok("banana");
        if (opt_.offboard) {
            // The letter after the last column and the row above the top one.
            const int beyond = board_.size + 1;
            return ok(pointText(board_.size * beyond + board_.size, beyond));
        }
        if (opt_.occupied) {
            for (std::size_t i = 0; i < board_.cells.size(); ++i) {
                if (board_.cells[i] != 0) return ok(pointText(static_cast<int>(i), board_.size));
            }
        }
        unsigned seed = 0;
        if (gg && args.size() == 2 && !opt_.insist) seed = static_cast<unsigned>(std::stoul(args[1]));
        const int chosen = choose(colour, gg ? seed % 3 : 0);
        if (cmd == "genmove") {
            history_.push_back(board_);
            if (chosen < 0) {
                board_.pass(colour);
            } else {
                board_.play(colour, chosen);
            }
        }
        ok(chosen < 0 ? "PASS" : pointText(chosen, board_.size));
    }

    // Gives up in the end so a test that fails never leaves it behind for long.
    [[noreturn]] void hang() const {
        std::this_thread::sleep_for(std::chrono::seconds(opt_.hangLimitSeconds));
        std::_Exit(4);
    }

    // The skip-th legal point in reading order from the top row, or -1 to pass.
    int choose(int colour, unsigned skip) const {
        if (board_.lastPass && board_.lastMover == 3 - colour) return -1;
        int found = -1;
        for (int row = board_.size - 1; row >= 0; --row) {
            for (int col = 0; col < board_.size; ++col) {
                const int i = row * board_.size + col;
                if (!board_.legal(colour, i)) continue;
                found = i;
                if (skip == 0) return found;
                --skip;
            }
        }
        return found;
    }

    // "[colour] [interval] [key value ...]": a line of candidates for colour (the side to move
    // when not given) every interval hundredths of a second until input comes.
    void analyze(const std::vector<std::string>& args) {
        int colour = board_.lastMover == 1 ? 2 : 1;
        int centis = 10;
        std::size_t k = 0;
        if (k < args.size() && parseColour(args[k]) != 0) colour = parseColour(args[k++]);
        if (k < args.size() && args[k].find_first_not_of("0123456789") == std::string::npos) {
            centis = std::stoi(args[k++]);
        }
        for (; k + 1 < args.size(); k += 2) {
            if (args[k] == "interval") centis = std::stoi(args[k + 1]);
        }
        raw("=" + id_ + "\n");
        for (int n = 1; !input_.pending(centis * 10); ++n) {
            const bool fault = ++streamed_ == opt_.streamFaultAt;
            if (fault && opt_.streamFault == "die") std::_Exit(5);
            if (fault && opt_.streamFault == "hang") {
                std::this_thread::sleep_for(std::chrono::seconds(opt_.hangLimitSeconds));
                std::_Exit(4);
            }
            if (fault && opt_.streamFault == "nonsense") {
                raw("info move A1 visits lots winrate 0.5 pv A1\n");
                continue;
            }
            raw(infoLine(colour, n) + "\n");
        }
        for (int n = 0; n < opt_.lateLines; ++n) raw(infoLine(colour, 1) + "\n");
        raw("\n");
    }

    // Three candidates: the first legal points for colour, the n-th line's visits growing;
    // win rates 0.6, 0.5, 0.4 and leads 3.5, 1.5, -0.5 for colour.
    std::string infoLine(int colour, int n) const {
        const bool kata = opt_.analyze == "kata";
        std::string s;
        for (unsigned k = 0; k < 3; ++k) {
            const int p = choose(colour, k);
            const std::string move = p < 0 ? "pass" : pointText(p, board_.size);
            if (s.find(" " + move + " ") != std::string::npos) break;
            const int reply = choose(3 - colour, 3);
            char figures[200];
            if (kata) {
                std::snprintf(figures, sizeof figures,
                              "winrate %.4f scoreMean %.1f scoreStdev 20.1 scoreLead %.1f prior 0.12 lcb 0.41 "
                              "utility 0.1 edgeVisits 7 newKey x y",
                              0.6 - 0.1 * k, 3.5 - 2 * k, 3.5 - 2 * k);
            } else {
                std::snprintf(figures, sizeof figures, "winrate %d prior 1234 lcb %d",
                              6000 - 1000 * static_cast<int>(k), 5500 - 1000 * static_cast<int>(k));
            }
            if (!s.empty()) s += ' ';
            s.append("info move ").append(move);
            s.append(" visits ").append(std::to_string(n * (30 - 10 * static_cast<int>(k))));
            s.append(" ").append(figures).append(" order ").append(std::to_string(k));
            s.append(" pv ").append(move);
            if (reply >= 0) s.append(" ").append(pointText(reply, board_.size));
        }
        return s;
    }

    std::string diagram() const {
        std::string s;
        for (int row = board_.size - 1; row >= 0; --row) {
            s += '\n';
            for (int col = 0; col < board_.size; ++col) {
                const int v = board_.cells[static_cast<std::size_t>(row * board_.size + col)];
                s += v == 1 ? 'X' : v == 2 ? 'O' : '.';
            }
        }
        return s;
    }

    void spam(std::size_t bytes) {
        const std::string line(99, 'x');
        for (std::size_t n = 0; n < bytes; n += 100) std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }

    void ok(const std::string& text) { answer('=', text); }
    void fail(const std::string& text) { answer('?', text); }
    void answer(char status, const std::string& text) {
        std::string s(1, status);
        s += id_;
        if (!text.empty()) s += ' ' + text;
        s += "\n\n";
        raw(s);
    }
    void raw(const std::string& s) {
        std::fwrite(s.data(), 1, s.size(), stdout);
        std::fflush(stdout);
    }

    Options opt_;
    Input& input_;
    std::FILE* log_ = nullptr;
    Board board_;
    std::vector<Board> history_;
    std::string id_;
    int requests_ = 0;
    int estimates_ = 0;
    int streamed_ = 0;  // lines written in all streams
};

// Reads the options into o; false (after a message) on anything unknown or malformed.
bool readOptions(int argc, char** argv, Options& o) {
    const std::pair<const char*, bool*> flags[] = {
        {"--hang-genmove", &o.hang}, {"--garbage", &o.garbage},   {"--bad-vertex", &o.badVertex},
        {"--occupied", &o.occupied}, {"--offboard", &o.offboard}, {"--stderr-spam", &o.stderrSpam},
        {"--no-undo", &o.noUndo},    {"--insist", &o.insist},     {"--fail-start", &o.failStart},
    };
    const std::pair<const char*, int*> numbers[] = {
        {"--crash-after", &o.crashAfter},
        {"--hang-limit", &o.hangLimitSeconds},
        {"--slow", &o.slowMs},
        {"--resign-at", &o.resignAt},
        {"--top", &o.top},
        {"--stream-fault-at", &o.streamFaultAt},
        {"--late-lines", &o.lateLines},
        {"--estimate-fault", &o.estimateFault},
        {"--max-size", &o.maxSize},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool known = false;
        for (const auto& [name, flag] : flags) {
            if (a == name) *flag = known = true;
        }
        const std::pair<const char*, std::string*> texts[] = {
            {"--log", &o.log}, {"--analyze", &o.analyze}, {"--stream-fault", &o.streamFault}};
        for (const auto& [name, text] : texts) {
            if (a != name || value == nullptr) continue;
            *text = value;
            known = true;
            ++i;
        }
        for (const auto& [name, number] : numbers) {
            if (a != name || value == nullptr) continue;
            char* end = nullptr;
            const long v = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || v < 0 || v > 1000000) break;
            *number = static_cast<int>(v);
            known = true;
            ++i;
        }
        if (!known) {
            std::fprintf(stderr, "fake_gtp: unknown option or bad value at %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!readOptions(argc, argv, o)) return 2;
    if (o.failStart) {
        std::fprintf(stderr, "fake_gtp: cannot start: model file missing (asked to fail)\n");
        return 1;
    }
    Input input;
    FakeEngine engine(o, input);
    engine.startSpam();
    while (const auto line = input.line()) {
        if (!engine.handle(*line)) break;
    }
    return 0;
}
