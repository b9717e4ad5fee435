#pragma once
// The one game: board, record, position in the record, clocks, game information and flags.
// Arrays keep 1-based indexing (index 0 unused) so the algorithms read as the program's rules do.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tavrin {

inline constexpr int Black = 1;
inline constexpr int White = 2;
inline constexpr int PassPos = 999;  // stored wherever a position is stored
// Entries of MovePos/MoveColor/MoveTime (1..RecordCapacity): a bound no real record nears; the
// columns hold only what a record uses.
inline constexpr int RecordCapacity = 1 << 24;
inline constexpr int MinBoardSize = 2;  // square boards of 2 x 2 to 25 x 25 lines
inline constexpr int MaxBoardSize = 25;
inline constexpr int BoardCells = 729;     // 27 x 27: 25 x 25 with its border
inline constexpr int CoordNameLast = 700;  // largest position of 25 x 25

// Board cell values besides 0 (empty), 1 (black), 2 (white).
inline constexpr int CellBorder = -1;
inline constexpr int CellCorner = -2;

// Coordinate names ("A  1", "K 10") by position, for one board size; "" where no point of
// the board lies. Reads like the array of strings it stands for; the names themselves are
// shared tables, one per size and way of counting rows, made once (fillCoordName chooses the
// tables), so setting up a game or copying a state copies no strings.
class CoordNameTable {
public:
    using Names = std::array<std::string, CoordNameLast + 1>;

    const std::string& operator[](std::size_t pos) const { return (*(fromBottom() ? up_ : names_))[pos]; }
    std::size_t size() const { return names_->size(); }
    // Rows counted from the top line (as the board's own numbers are), and from the bottom.
    void use(const Names& names, const Names& up) { names_ = &names, up_ = &up; }

    // The rows of every name are counted from the bottom line (the user's choice, as GTP and
    // most programs count) instead of from the top.
    static bool& fromBottom() {
        static bool bottom = false;
        return bottom;
    }

    // Before any game is set up every name is "".
    static const Names& none() {
        static const Names empty{};
        return empty;
    }

private:
    const Names* names_ = &none();
    const Names* up_ = &none();
};

// One column of the record, 1-based like an array of RecordCapacity + 1 entries whose
// unwritten entries are 0, but holding only the entries written so far: a game of 40 moves
// copies 40, a record of 5,000 moves grows to 5,000. An index past RecordCapacity reads 0
// and writes nowhere.
class RecordColumn {
public:
    int operator[](std::size_t i) const { return i < v_.size() ? v_[i] : 0; }
    int& operator[](std::size_t i) { return i < v_.size() ? v_[i] : grow(i); }
    // Entries 0..last as one run of memory, to be written or read in place.
    int* upTo(std::size_t last) {
        if (last >= v_.size()) grow(last);
        return v_.data();
    }
    // The entries held: 0..size()-1 (every later one is 0), and where they lie.
    std::size_t size() const { return v_.size(); }
    const int* data() const { return v_.data(); }
    // Entries from..to-1.
    std::vector<int> slice(std::size_t from, std::size_t to) const;
    // Every entry 0 again (the memory stays for the next game).
    void clear() { v_.clear(); }
    bool operator==(const RecordColumn& o) const;

private:
    int& grow(std::size_t i);
    std::vector<int> v_;
};

struct GameState {
    // Board geometry of the current size.
    int BoardSize = 19;
    int BoardStride = 21;
    int BoardLast = 440;
    std::array<int, BoardCells> Board{};
    std::array<int, 4> DirOffset{-1, 21, 1, -21};  // up, right, down, left

    // Record: entries 1..HandicapCount are handicap stones, move k is entry HandicapCount + k.
    RecordColumn MovePos;
    RecordColumn MoveColor;
    RecordColumn MoveTime;
    // Indexed by the move number itself; entry 0 is always 0.
    RecordColumn MoveCaptures;
    // Stack of captured points in order of capture; top = CapturedCount[1] + CapturedCount[2].
    RecordColumn CapturedPos;
    std::array<int, 3> CapturedCount{};  // [1] by black, [2] by white

    // Position in the record.
    int CurrentMove = 1;  // next move to play/show; moves 1..CurrentMove-1 are on the board
    int MoveCount = 0;
    int SideToMove = Black;
    int LastMovePos = 0;  // stone drawn with the last-move marker; 0 = none

    // Clocks (seconds).
    int MoveSeconds = 0;
    int BlackTotalSeconds = 0;
    int WhiteTotalSeconds = 0;

    // Game information (UTF-8 in memory).
    std::string GameName;
    std::string GameComment;  // comment or result, e.g. "W+R"
    std::string BlackPlayer = "黒番対局者";
    std::string WhitePlayer = "白番対局者";
    bool BlackPlayerKind = true;  // true = a person plays this colour
    bool WhitePlayerKind = true;
    int Level = 2;
    int HandicapCount = 0;
    int KomiTenths = 65;
    // False when a record gave no komi: KomiTenths is then 0 and no komi is written.
    bool KomiGiven = true;
    // A komi the record wrote in a form KomiTenths cannot hold exactly ("5 1/2", "3.75"):
    // shown and written back as it was; empty otherwise.
    std::string KomiWritten;
    std::string GameDate;  // "yyyy-mm-dd" or empty
    std::string GameRule;

    // Coordinate names ("A  1", "K 10") by position, for the current size.
    CoordNameTable CoordName;

    // Flags.
    bool GameOver = false;
    bool EndedByPasses = false;

    // "Tavrin:" + file version, written as the SGF application property.
    std::string AppTag;
};

}  // namespace tavrin
