#pragma once
// The Go Text Protocol as Tavrin speaks it to an engine: commands built from checked values
// only (no text of the user ever reaches an engine), answers read strictly, vertices mapped
// to Tavrin's board positions, and the command lists that bring an engine's board to the game.
// Pure C++; the process that carries the text lives elsewhere.

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameState.h"

namespace tavrin::gtp {

// ---- Vertices -------------------------------------------------------------------------------

// Board sizes the engine is asked to play on: GNU Go answers boardsize with an error above
// 19 lines, so larger boards are studied without it.
inline constexpr int MinBoardSize = 2;
inline constexpr int MaxBoardSize = 19;

// Column letters of GTP: A..Z without I.
inline constexpr std::string_view ColumnLetters = "ABCDEFGHJKLMNOPQRSTUVWXYZ";

// Tavrin's position of column col (1 = A, from the left) and GTP row row (1 = the bottom line)
// on a board of size lines; 0 when either is off the board.
int positionOf(int col, int row, int size);

// "A1" (lower left) .. "T19", or "pass" for PassPos; "" for a position that is no point of a
// board of size lines.
std::string vertexText(int pos, int size);

enum class VertexKind {
    Point,     // pos holds Tavrin's position
    Pass,      // "pass", any case
    Resign,    // "resign", any case
    OffBoard,  // a well-formed vertex beyond the board's lines
    Invalid,   // not a vertex at all (the letter I, no digits, leading zeros, other text)
};

struct Vertex {
    VertexKind kind = VertexKind::Invalid;
    int pos = 0;  // Tavrin's position for Point, PassPos for Pass, 0 otherwise

    friend bool operator==(const Vertex&, const Vertex&) = default;
};

// One vertex as an engine writes it: a whole token, letters in either case, nothing around it.
Vertex parseVertex(std::string_view text, int size);

// ---- Commands -------------------------------------------------------------------------------

// A colour as GameState keeps it: Black (1) or White (2).
bool validColour(int colour);

enum class FinalStatus { Dead, Alive, Seki };

// One command line Tavrin may send. Made only by the named constructors below from checked
// numbers, colours and positions (or from a name of the fixed table), so no text from a record,
// a name field or a setting can ever be written to an engine.
class Command {
public:
    static Command protocolVersion();
    static Command name();
    static Command version();
    static Command listCommands();
    static Command clearBoard();
    static Command undo();
    static Command quit();
    static Command estimateScore();
    // Empty for sizes outside MinBoardSize..MaxBoardSize.
    static std::optional<Command> boardsize(int size);
    // "komi 6.5", "komi 6", "komi -0.5": the shortest decimal, with a '.' whatever the locale
    // (an engine reads "6,5" as 6 or refuses it).
    static Command komi(int komiTenths);
    // "play B Q16" / "play W pass"; empty for a bad colour or a position off the board.
    static std::optional<Command> play(int colour, int pos, int size);
    static std::optional<Command> genmove(int colour);
    static std::optional<Command> regGenmove(int colour);
    static std::optional<Command> ggGenmove(int colour, unsigned seed);
    // "top_moves_black" / "top_moves_white": the engine's best moves for colour with their values.
    static std::optional<Command> topMoves(int colour);
    // Two or more distinct black stones on the board (the engine refuses fewer).
    static std::optional<Command> setFreeHandicap(const std::vector<int>& positions, int size);
    static Command finalStatusList(FinalStatus status);
    // "level 1": GNU Go's strength, kept within its 0..10.
    static Command level(int strength);
    // "kata-analyze B 20" / "lz-analyze W 20": candidate moves for colour, streamed every
    // intervalCentis hundredths of a second (kept within 1..1000) until the next command.
    static std::optional<Command> kataAnalyze(int colour, int intervalCentis);
    static std::optional<Command> lzAnalyze(int colour, int intervalCentis);

    // The command's name as written ("play").
    std::string_view commandName() const { return name_; }
    // The arguments as written ("B Q16"), "" without any.
    const std::string& arguments() const { return args_; }
    // The line to send, ending in '\n': "play B Q16\n", with an id "7 play B Q16\n".
    std::string line(std::optional<int> id = std::nullopt) const;

    friend bool operator==(const Command&, const Command&) = default;

private:
    Command(std::string_view name, std::string args) : name_(name), args_(std::move(args)) {}
    static std::optional<Command> analyze(std::string_view name, int colour, int intervalCentis);

    std::string_view name_;  // one of CommandNames
    std::string args_;
};

// Every command name Tavrin may send.
inline constexpr std::string_view CommandNames[] = {
    "protocol_version",
    "name",
    "version",
    "list_commands",
    "boardsize",
    "clear_board",
    "komi",
    "play",
    "genmove",
    "reg_genmove",
    "gg_genmove",
    "top_moves_black",
    "top_moves_white",
    "undo",
    "set_free_handicap",
    "final_status_list",
    "estimate_score",
    "level",
    "kata-analyze",
    "lz-analyze",
    "quit",
};

// ---- Answers --------------------------------------------------------------------------------

enum class AnswerKind {
    Success,  // "=[id] text"
    Failure,  // "?[id] message"
    Garbage,  // lines that are no answer at all, up to the next empty line
};

struct Answer {
    AnswerKind kind = AnswerKind::Garbage;
    std::optional<int> id;
    // Success/Failure: the first line's text after the status and id, with the answer's
    // further lines joined by '\n'. Garbage: the lines as read, joined by '\n'.
    std::string text;

    bool ok() const { return kind == AnswerKind::Success; }
};

// Splits an engine's output into answers. Bytes come as they were read, cut anywhere; an empty
// line ends each answer. CR and other control characters are dropped, tabs become spaces, and
// empty lines between answers are skipped.
class AnswerReader {
public:
    // An answer longer than this is reported as garbage and the rest of it skipped.
    static constexpr std::size_t MaxAnswerBytes = 1 << 20;

    void feed(std::string_view bytes);
    // The oldest complete answer, if any.
    std::optional<Answer> next();
    // True while an answer has been started but not ended.
    bool midAnswer() const { return !lines_.empty() || !partial_.empty() || skipping_; }
    // Forgets everything read (after the engine was restarted).
    void reset();

private:
    void endLine();
    void endAnswer();

    std::string partial_;             // the line being read
    std::vector<std::string> lines_;  // the complete lines of the answer being read
    std::size_t bytes_ = 0;           // of lines_ and partial_
    bool skipping_ = false;           // an over-long answer is being skipped to its end
    bool skippedText_ = false;        // the line being skipped is not empty
    std::deque<Answer> ready_;
};

// The words of an answer's text: the runs between spaces, tabs and line breaks.
std::vector<std::string_view> tokens(std::string_view s);

// The answer to a move request: a point, a pass or a resignation; OffBoard or Invalid when the
// text is none of those on this board.
Vertex parseMoveAnswer(std::string_view text, int size);

// "list_commands": one name per line. Empty when a line holds anything but one name.
std::optional<std::set<std::string, std::less<>>> parseCommandList(std::string_view text);

// "final_status_list …" and other vertex lists: points separated by spaces and line breaks,
// in the order written. Empty when any token is not a point of the board.
std::optional<std::vector<int>> parseVertexList(std::string_view text, int size);

// "top_moves_*": "Q16 12.5 D4 11.0 …", a point and its value in turn, best first (the value
// read with a '.', whatever the locale): the points in that order. Empty when the text is
// anything else; an engine with nothing to propose answers an empty list.
std::optional<std::vector<int>> parseTopMoves(std::string_view text, int size);

// "estimate_score": "B+9.5 (upper bound: …)", "W+3.0 …" or "0": Black's lead in tenths of a
// point (negative: White leads). Empty for anything else.
std::optional<int> parseEstimate(std::string_view text);

// ---- Bringing an engine to a game -----------------------------------------------------------

// A stone or move in Tavrin's terms: colour Black/White, pos a board position or PassPos.
struct Stone {
    int colour = Black;
    int pos = 0;

    friend bool operator==(const Stone&, const Stone&) = default;
};

// What an engine's board has to show: the board, the komi, the stones set up before the first
// move (handicap and setup stones) and the moves played, passes included.
struct Game {
    int boardSize = 19;
    int komiTenths = 65;
    std::vector<Stone> setup;
    std::vector<Stone> moves;

    friend bool operator==(const Game&, const Game&) = default;
};

// The game as Tavrin shows it: its stones set up and moves 1..CurrentMove-1; when those do
// not make the board shown (setup between the moves), the shown stones as setup alone.
Game gameOf(const GameState& g);
// The same with moves 1..moveCount (clamped to what the record holds).
Game gameOf(const GameState& g, int moveCount);

// The commands that set up an engine's board from nothing: boardsize, clear_board, komi,
// set_free_handicap with Tavrin's own points (play for a single stone or white ones), then
// play for each move. Empty when the game holds a stone that cannot be written.
std::optional<std::vector<Command>> syncPlan(const Game& target);

// Moves taken back by undo at most; beyond, a replay from the start is as good.
inline constexpr int DefaultMaxUndo = 8;

// The commands that bring an engine whose board shows engineHas to target: only the moves
// that follow when engineHas is where target was, undo for moves to be taken away when the
// engine has undo and they are at most maxUndo (and fewer commands than starting over), else
// the whole syncPlan. A changed komi alone is one komi command.
std::optional<std::vector<Command>> syncPlan(const Game& engineHas, const Game& target, bool engineHasUndo,
                                             int maxUndo = DefaultMaxUndo);

}  // namespace tavrin::gtp
