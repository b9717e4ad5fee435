#include "engine/Gtp.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>

#include "game/Engine.h"
#include "game/Scoring.h"
#include "game/StoneReplay.h"

namespace tavrin::gtp {

namespace {

bool sizeOk(int size) { return size >= MinBoardSize && size <= MaxBoardSize; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

const char* colourText(int colour) { return colour == Black ? "B" : "W"; }

}  // namespace

std::vector<std::string_view> tokens(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSpace(s[i])) ++i;
        const std::size_t start = i;
        while (i < s.size() && !isSpace(s[i])) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// ---- Vertices -------------------------------------------------------------------------------

int positionOf(int col, int row, int size) {
    if (!sizeOk(size) || col < 1 || col > size || row < 1 || row > size) return 0;
    // Tavrin counts its rows from the top line down.
    return col * (size + 2) + (size + 1 - row);
}

std::string vertexText(int pos, int size) {
    if (pos == PassPos) return "pass";
    if (!sizeOk(size) || pos <= 0) return "";
    const int stride = size + 2;
    const int col = pos / stride;
    const int top = pos % stride;
    if (col < 1 || col > size || top < 1 || top > size) return "";
    std::string s(1, ColumnLetters[col - 1]);
    s += std::to_string(size + 1 - top);
    return s;
}

Vertex parseVertex(std::string_view text, int size) {
    if (equalsNoCase(text, "pass")) return {VertexKind::Pass, PassPos};
    if (equalsNoCase(text, "resign")) return {VertexKind::Resign, 0};
    // A letter, then a row number of one to three digits without a leading zero.
    if (text.size() < 2 || text.size() > 4) return {};
    const char letter = lower(text[0]);
    if (letter < 'a' || letter > 'z' || letter == 'i') return {};
    int row = 0;
    const auto digits = text.substr(1);
    if (digits[0] == '0') return {};
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
        row = row * 10 + (c - '0');
    }
    const int col = letter < 'i' ? letter - 'a' + 1 : letter - 'a';
    const int pos = positionOf(col, row, size);
    if (pos == 0) return {VertexKind::OffBoard, 0};
    return {VertexKind::Point, pos};
}

// ---- Commands -------------------------------------------------------------------------------

bool validColour(int colour) { return colour == Black || colour == White; }

Command Command::protocolVersion() { return {"protocol_version", ""}; }
Command Command::name() { return {"name", ""}; }
Command Command::version() { return {"version", ""}; }
Command Command::listCommands() { return {"list_commands", ""}; }
Command Command::clearBoard() { return {"clear_board", ""}; }
Command Command::undo() { return {"undo", ""}; }
Command Command::quit() { return {"quit", ""}; }
Command Command::estimateScore() { return {"estimate_score", ""}; }

std::optional<Command> Command::boardsize(int size) {
    if (!sizeOk(size)) return std::nullopt;
    return Command("boardsize", std::to_string(size));
}

// The same shortest decimal as the record's KM, built from digits alone, untouched by LC_NUMERIC.
Command Command::komi(int komiTenths) { return {"komi", tenthsText(komiTenths)}; }

std::optional<Command> Command::play(int colour, int pos, int size) {
    const std::string v = vertexText(pos, size);
    if (!validColour(colour) || v.empty()) return std::nullopt;
    return Command("play", std::string(colourText(colour)) + " " + v);
}

std::optional<Command> Command::genmove(int colour) {
    if (!validColour(colour)) return std::nullopt;
    return Command("genmove", colourText(colour));
}

std::optional<Command> Command::regGenmove(int colour) {
    if (!validColour(colour)) return std::nullopt;
    return Command("reg_genmove", colourText(colour));
}

std::optional<Command> Command::ggGenmove(int colour, unsigned seed) {
    if (!validColour(colour)) return std::nullopt;
    return Command("gg_genmove", std::string(colourText(colour)) + " " + std::to_string(seed));
}

std::optional<Command> Command::topMoves(int colour) {
    if (!validColour(colour)) return std::nullopt;
    return Command(colour == Black ? "top_moves_black" : "top_moves_white", "");
}

std::optional<Command> Command::setFreeHandicap(const std::vector<int>& positions, int size) {
    if (positions.size() < 2) return std::nullopt;
    std::vector<int> seen;
    std::string args;
    for (int pos : positions) {
        const std::string v = pos == PassPos ? "" : vertexText(pos, size);
        if (v.empty() || std::find(seen.begin(), seen.end(), pos) != seen.end()) {
            return std::nullopt;
        }
        seen.push_back(pos);
        if (!args.empty()) args += ' ';
        args += v;
    }
    return Command("set_free_handicap", std::move(args));
}

Command Command::finalStatusList(FinalStatus status) {
    const char* word = status == FinalStatus::Dead ? "dead" : status == FinalStatus::Alive ? "alive" : "seki";
    return {"final_status_list", word};
}

Command Command::level(int strength) { return {"level", std::to_string(std::clamp(strength, 0, 10))}; }

std::optional<Command> Command::analyze(std::string_view name, int colour, int intervalCentis) {
    if (!validColour(colour)) return std::nullopt;
    return Command(name, std::string(colourText(colour)) + " " + std::to_string(std::clamp(intervalCentis, 1, 1000)));
}

std::optional<Command> Command::kataAnalyze(int colour, int intervalCentis) {
    return analyze("kata-analyze", colour, intervalCentis);
}

std::optional<Command> Command::lzAnalyze(int colour, int intervalCentis) {
    return analyze("lz-analyze", colour, intervalCentis);
}

std::string Command::line(std::optional<int> id) const {
    std::string s;
    if (id && *id >= 0) {
        s += std::to_string(*id);
        s += ' ';
    }
    s += name_;
    if (!args_.empty()) {
        s += ' ';
        s += args_;
    }
    s += '\n';
    return s;
}

// ---- Answers --------------------------------------------------------------------------------

void AnswerReader::feed(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n') {
            endLine();
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u == '\t') {
            c = ' ';
        } else if (u < 0x20 || u == 0x7f) {
            continue;  // CR and the other control characters carry nothing
        }
        if (skipping_) {
            skippedText_ |= c != ' ';
            continue;
        }
        if (++bytes_ > MaxAnswerBytes) {
            Answer a;
            a.text = "(answer longer than " + std::to_string(MaxAnswerBytes) + " bytes)";
            ready_.push_back(std::move(a));
            partial_.clear();
            lines_.clear();
            skipping_ = true;
            skippedText_ = true;
            continue;
        }
        partial_ += c;
    }
}

void AnswerReader::endLine() {
    if (skipping_) {
        // Only an empty line ends the answer being skipped.
        skipping_ = skippedText_;
        skippedText_ = false;
        bytes_ = 0;
        return;
    }
    if (trim(partial_).empty()) {
        partial_.clear();
        if (!lines_.empty()) endAnswer();
        bytes_ = 0;
        return;
    }
    lines_.push_back(std::move(partial_));
    partial_.clear();
}

void AnswerReader::endAnswer() {
    Answer a;
    const std::string& first = lines_.front();
    std::size_t i = 1;
    bool wellFormed = first[0] == '=' || first[0] == '?';
    if (wellFormed) {
        while (i < first.size() && first[i] >= '0' && first[i] <= '9') ++i;
        // After the status and id comes a space or the end of the line.
        wellFormed = i == first.size() || first[i] == ' ';
        if (wellFormed && i > 1) {
            int id = 0;
            const auto [end, ec] = std::from_chars(first.data() + 1, first.data() + i, id);
            wellFormed = ec == std::errc() && end == first.data() + i;
            a.id = id;
        }
    }
    if (wellFormed) {
        a.kind = first[0] == '=' ? AnswerKind::Success : AnswerKind::Failure;
        a.text = trim(std::string_view(first).substr(i));
        for (std::size_t k = 1; k < lines_.size(); ++k) {
            a.text += '\n';
            a.text += lines_[k];
        }
    } else {
        a.kind = AnswerKind::Garbage;
        a.id.reset();
        for (std::size_t k = 0; k < lines_.size(); ++k) {
            if (k > 0) a.text += '\n';
            a.text += lines_[k];
        }
    }
    ready_.push_back(std::move(a));
    lines_.clear();
    bytes_ = 0;
}

std::optional<Answer> AnswerReader::next() {
    if (ready_.empty()) return std::nullopt;
    Answer a = std::move(ready_.front());
    ready_.pop_front();
    return a;
}

void AnswerReader::reset() {
    partial_.clear();
    lines_.clear();
    bytes_ = 0;
    skipping_ = false;
    skippedText_ = false;
    ready_.clear();
}

Vertex parseMoveAnswer(std::string_view text, int size) { return parseVertex(trim(text), size); }

std::optional<std::set<std::string, std::less<>>> parseCommandList(std::string_view text) {
    std::set<std::string, std::less<>> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trim(text.substr(start, end - start));
        if (!line.empty()) {
            if (tokens(line).size() != 1) return std::nullopt;
            names.emplace(line);
        }
        start = end + 1;
    }
    return names;
}

std::optional<std::vector<int>> parseVertexList(std::string_view text, int size) {
    std::vector<int> out;
    for (std::string_view t : tokens(text)) {
        const Vertex v = parseVertex(t, size);
        if (v.kind != VertexKind::Point) return std::nullopt;
        out.push_back(v.pos);
    }
    return out;
}

std::optional<std::vector<int>> parseTopMoves(std::string_view text, int size) {
    const auto t = tokens(text);
    if (t.size() % 2 != 0) return std::nullopt;
    std::vector<int> out;
    for (std::size_t i = 0; i < t.size(); i += 2) {
        const Vertex v = parseVertex(t[i], size);
        if (v.kind != VertexKind::Point) return std::nullopt;
        double value = 0.0;
        // from_chars reads the C locale's number whatever LC_NUMERIC says.
        const auto [end, ec] =
            std::from_chars(t[i + 1].data(), t[i + 1].data() + t[i + 1].size(), value, std::chars_format::fixed);
        if (ec != std::errc() || end != t[i + 1].data() + t[i + 1].size()) return std::nullopt;
        out.push_back(v.pos);
    }
    return out;
}

std::optional<int> parseEstimate(std::string_view text) {
    const std::string_view first = text.substr(0, text.find(' '));
    if (first == "0") return 0;
    if (first.size() < 3 || (first[0] != 'B' && first[0] != 'W') || first[1] != '+') return std::nullopt;
    double points = 0.0;
    // from_chars reads the C locale's number whatever LC_NUMERIC says.
    const auto [end, ec] =
        std::from_chars(first.data() + 2, first.data() + first.size(), points, std::chars_format::fixed);
    if (ec != std::errc() || end != first.data() + first.size() || !(points >= 0 && points < 1000)) return std::nullopt;
    const int tenths = static_cast<int>(points * 10 + 0.5);
    return first[0] == 'B' ? tenths : -tenths;
}

// ---- Bringing an engine to a game -----------------------------------------------------------

Game gameOf(const GameState& g) { return gameOf(g, g.CurrentMove - 1); }

namespace {

// Whether the stones set up at the start and moves 1..moves, played by the rules, give the
// board g shows. A record with setup between its moves (a problem, a lesson) makes
// positions they do not.
bool movesMakeTheBoard(const GameState& g, int setup, int moves) {
    GameState w;
    w.BoardSize = g.BoardSize;
    prcNewSetCore(w, std::string());
    StoneReplay replay(w);
    for (int i = 1; i <= setup; ++i)
        if (!replay.place(g.MovePos[i], g.MoveColor[i] == White ? White : Black)) return false;
    w.HandicapCount = setup;
    if (replay.playMoves(g.MoveColor, g.MovePos, setup, moves) != moves) return false;
    for (int pos = 1; pos <= g.BoardLast && pos < BoardCells; ++pos) {
        const int have = g.Board[static_cast<size_t>(pos)];
        if ((have == Black || have == White ? have : 0) != std::max(0, w.Board[static_cast<size_t>(pos)])) return false;
    }
    return true;
}

}  // namespace

Game gameOf(const GameState& g, int moveCount) {
    Game out;
    out.boardSize = g.BoardSize;
    out.komiTenths = g.KomiTenths;
    const int setup = std::clamp(g.HandicapCount, 0, RecordCapacity);
    const int moves = std::clamp(moveCount, 0, RecordCapacity - setup);
    if (moves == g.CurrentMove - 1 && !movesMakeTheBoard(g, setup, moves)) {
        // The position shown, stone by stone: played in any order they take nothing while
        // every chain of it has a liberty.
        for (int pos = 1; pos <= g.BoardLast && pos < BoardCells; ++pos) {
            const int colour = g.Board[static_cast<size_t>(pos)];
            if (colour == Black || colour == White) out.setup.push_back({colour, pos});
        }
        return out;
    }
    for (int i = 1; i <= setup; ++i) out.setup.push_back({g.MoveColor[i], g.MovePos[i]});
    for (int k = 1; k <= moves; ++k) {
        out.moves.push_back({g.MoveColor[setup + k], g.MovePos[setup + k]});
    }
    return out;
}

namespace {

// play for each stone, or nothing when one cannot be written.
bool appendPlays(std::vector<Command>& out, const std::vector<Stone>& stones, std::size_t from, int size) {
    for (std::size_t i = from; i < stones.size(); ++i) {
        auto c = Command::play(stones[i].colour, stones[i].pos, size);
        if (!c) return false;
        out.push_back(std::move(*c));
    }
    return true;
}

bool validSetup(const std::vector<Stone>& setup) {
    return std::all_of(setup.begin(), setup.end(), [](const Stone& s) { return s.pos != PassPos; });
}

}  // namespace

std::optional<std::vector<Command>> syncPlan(const Game& target) {
    const int size = target.boardSize;
    auto boardsize = Command::boardsize(size);
    if (!boardsize || !validSetup(target.setup)) return std::nullopt;
    std::vector<Command> out{std::move(*boardsize), Command::clearBoard(), Command::komi(target.komiTenths)};
    // set_free_handicap takes two or more black stones on an empty board; one stone, or a
    // white one among them, is played instead.
    const bool allBlack =
        std::all_of(target.setup.begin(), target.setup.end(), [](const Stone& s) { return s.colour == Black; });
    if (target.setup.size() >= 2 && allBlack) {
        std::vector<int> points;
        for (const Stone& s : target.setup) points.push_back(s.pos);
        auto handicap = Command::setFreeHandicap(points, size);
        if (!handicap) return std::nullopt;
        out.push_back(std::move(*handicap));
    } else if (!appendPlays(out, target.setup, 0, size)) {
        return std::nullopt;
    }
    if (!appendPlays(out, target.moves, 0, size)) return std::nullopt;
    return out;
}

std::optional<std::vector<Command>> syncPlan(const Game& engineHas, const Game& target, bool engineHasUndo,
                                             int maxUndo) {
    auto full = syncPlan(target);
    if (!full) return std::nullopt;
    if (engineHas.boardSize != target.boardSize || engineHas.setup != target.setup) return full;

    const auto& have = engineHas.moves;
    const auto& want = target.moves;
    const auto [haveEnd, wantEnd] = std::mismatch(have.begin(), have.end(), want.begin(), want.end());
    const auto common = static_cast<std::size_t>(haveEnd - have.begin());
    const auto removed = static_cast<int>(have.size() - common);
    if (removed > 0 && (!engineHasUndo || removed > maxUndo)) return full;

    std::vector<Command> out;
    if (engineHas.komiTenths != target.komiTenths) out.push_back(Command::komi(target.komiTenths));
    for (int i = 0; i < removed; ++i) out.push_back(Command::undo());
    if (!appendPlays(out, want, common, target.boardSize)) return std::nullopt;
    if (out.size() >= full->size()) return full;
    return out;
}

}  // namespace tavrin::gtp
