#pragma once
// What the record readers share: the reasons a record is refused, the result of a load,
// the number and date rules, and the all-or-nothing replay of a record into the game.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "game/GameState.h"
#include "record/SetupChange.h"

namespace tavrin {

namespace reason {
inline constexpr char Format[] = "棋譜の書式に誤りがあります";
inline constexpr char NotGo[] = "囲碁の棋譜以外は扱えません";
inline constexpr char BoardSize[] = "２路から２５路までの碁盤しか扱えません";
inline constexpr char Rectangle[] = "長方形の碁盤は扱えません";
inline constexpr char Komi[] = "100目以上のコミは扱えません";
inline constexpr char Handicap[] = "１０子以上の置き碁は扱えません";
inline constexpr char WhiteSetup[] = "白石の置石は扱えません";
// More stones and moves than the record holds, or an NGF file of more than 1010 lines.
inline constexpr char TooLong[] = "長すぎる棋譜は扱えません";
inline constexpr char CannotOpen[] = "棋譜ファイルを読み込めませんでした";
inline constexpr char Empty[] = "棋譜ファイルは空です";
// A move the rules refuse (an occupied point, suicide, a ko taken back at once): "nn手目が打てない手です".
std::string illegalMove(int moveNumber);
}  // namespace reason

enum class LoadStatus {
    Ok,
    NoPath,      // an empty path: nothing was done, nothing is to be shown
    CannotOpen,  // the file could not be opened or read
    Empty,       // the file has no lines
    Refused,     // the record was refused
};

struct LoadResult {
    LoadStatus status = LoadStatus::Ok;
    std::string reason;  // the Japanese text for CannotOpen, Empty and Refused
    // Ok: the first move a setup after the record's start stands before (from there on the
    // position is not the moves' alone); 0 when there is none.
    int FirstSetupMove = 0;
    // The first move the rules refuse (an occupied point, a suicide, a ko taken back at once):
    // Ok, it was played as the record has it; Refused, the record was refused for it. 0 none.
    int IllegalMove = 0;

    bool ok() const { return status == LoadStatus::Ok; }
    static LoadResult refused(std::string_view why) { return {LoadStatus::Refused, std::string(why)}; }
};

// A whole number as the readers take it: leading spaces, an optional sign, digits and
// nothing after them. Empty when the text is not one or does not fit an int.
std::optional<int> wholeNumber(std::string_view text);

// A date written year/month/day with "/" (a year of one or two digits is in the 2000s),
// optionally followed by a time h:mm or h:mm:ss, as "yyyy-mm-dd"; "" when it is not one.
std::string dateText(std::string_view text);

// A record as a reader found it, before it touches the game.
struct ReadRecord {
    std::string FileName;
    std::string GameName;
    std::string GameComment;
    std::string BlackPlayer;
    std::string WhitePlayer;
    std::string GameRule;
    std::string GameDate;  // already "yyyy-mm-dd" or empty
    int BoardSize = 19;
    int KomiTenths = 65;
    bool KomiGiven = true;
    std::string KomiWritten;   // GameState::KomiWritten
    int StandardHandicap = 0;  // stones of the handicap table set up with the new game
    int SetupCount = 0;        // further stones (AB, AW), each placed through the legality check
    int MoveCount = 0;
    RecordColumn SetupPos;    // 1..SetupCount
    RecordColumn SetupColor;  // 1..SetupCount: black (AB) or white (AW); 0 black
    int ToPlay = 0;           // the side to move the last PL gives; 0 none
    int ToPlayFrom = 1;       // the last PL stands before this move: it holds when no move follows it
    SetupChanges LaterSetup;  // stones set up, and points emptied, after the start (AB AW AE)
    RecordColumn MoveColor;   // 1..MoveCount; 0 = a gap
    RecordColumn MovePos;
};

// What a load does with a move the rules refuse.
enum class IllegalMoves {
    Refuse,  // the record is refused for it
    Play,    // it is played as the record has it (playAsRecorded) and named in IllegalMove
};

// Replaces the game by the record: game information, a new game on the record's board,
// the setup stones and every move replayed through fncHitCheck (the later setup put in
// between them), the game ended at its last move. All or nothing: a refused stone leaves g
// exactly as it was.
LoadResult commitRecord(GameState& g, const ReadRecord& r, IllegalMoves illegal = IllegalMoves::Play);

}  // namespace tavrin
