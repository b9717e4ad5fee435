#pragma once
// Texts of the information panel, the move list and the status bar, built from the game
// state. Pure C++; the window copies them into its labels.

#include <string>
#include <string_view>

#include "game/GameState.h"
#include "record/RecordTree.h"

namespace tavrin {

inline constexpr const char* HelpHintText = "ヘルプを表示するには [F1] を押して下さい";
inline constexpr const char* NoGameNameText = "( 対局名なし )";
inline constexpr const char* NoGameResultText = "( 対局結果なし )";
inline constexpr const char* StartRowText = "開始";
inline constexpr const char* PassText = "パス";
inline constexpr const char* ClockZeroText = "00:00:00";

// Komi in tenths as words: "なし", "半目", "６目半", "10目半"; values off the half-point
// table (negative, above 105, not a multiple of 5) as a plain number: "11目", "0.3目".
std::string komiText(int komiTenths);
// What the panel shows for a record that gave no komi.
inline constexpr const char* NoKomiGivenText = "記載なし";
// "コミ ： " + komiText, or + NoKomiGivenText when no komi was given, or + the komi as the
// record wrote it when the number cannot hold it (written not empty).
std::string komiLabel(int komiTenths, bool given = true, std::string_view written = {});
// "置き石 ： " + "なし" / "２子" … "９子"; nothing after the colon for other counts.
std::string handicapLabel(int handicapCount);
// The start is a set-up position (a problem, a teaching position), not a handicap: white
// stones stand among g's first entries, or the root of tree names the side to move (PL).
bool setupPosition(const GameState& g, const RecordTree* tree = nullptr);
// The handicap stones of g: the black stones among its first entries; none for a set-up
// position.
int handicapStones(const GameState& g, const RecordTree* tree = nullptr);
// handicapLabel of g's handicap stones.
std::string handicapLabel(const GameState& g, const RecordTree* tree = nullptr);

// The title shown: the name, or "( 対局名なし )".
std::string gameNameLabel(const std::string& gameName);
// Six spaces, the name, one space; an empty name shows the colour's default name.
std::string playerLabel(const std::string& name, int colour);
// "Tavrin " + "yyyy/mm/dd hh:nn" (the first game's title at start-up).
std::string defaultGameTitle(int year, int month, int day, int hour, int minute);

// "上げ石%4d".
std::string capturedLabel(int count);
// Move-list caption of move k: "%4d".
std::string moveRowCaption(int k);

// Status-bar panels 1 to 3 for the position shown.
struct StatusTexts {
    std::string moveNumber;  // panel 1: "%3d手目", empty at the start
    std::string lastPoint;   // panel 2: coordinate name or "パス", empty at the start
    std::string turn;        // panel 3: "終局です", "黒番です" or "白番です"
};
StatusTexts statusTexts(const GameState& g);
// Status panel 0 while move k, one the rules refuse, is shown as the record has it.
std::string illegalMoveNotice(int k);

// The Japanese sentence for a result text ("B+R" gives "黒の中押し勝ちです").
std::string fncReToComment(std::string_view result);

}  // namespace tavrin
