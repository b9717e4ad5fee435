#pragma once
// Texts and small rules of the new-game, game-information and about dialogs that need no
// widgets: komi items, the fresh game title, the version line, the memory figures and the
// byte-limited edit rule.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::dialogs {

// The komi list: item i stands for KomiTenths = 5 * i (0 to 10.5 points).
inline constexpr int KomiItemCount = 22;
const std::array<std::string_view, KomiItemCount>& komiItems();

// A komi that has no item in the list, as an item of its own: a blank, the komi in points in
// the shortest decimal form ("11", "11.5", "-0.5") and "目".
std::string komiValueItem(int komiTenths);

// Board size <-> index of the board combo ("１９路盤", "１３路盤", "　９路盤").
int gobanIndex(int boardSize);  // 0 for any size other than 13 and 9
int boardSizeFromIndex(int index);

// Handicap <-> index of the handicap combo ("なし", "２子" .. "９子"); -1 = no item.
int putStoneIndex(int handicapCount);
int handicapFromIndex(int index);  // 0 for index 0 or none

// "Tavrin yyyy/mm/dd hh:nn", the title a new game is proposed with.
std::string defaultGameTitle(int year, int month, int day, int hour, int minute);

// The about box version line cut from the file version by position: the first 3 characters
// and the characters from the fifth on (at most 10). nullopt for an empty version.
std::optional<std::string> versionLine(std::string_view fileVersion);

// Total physical memory and memory load (percent of physical memory in use).
struct MemoryStatus {
    std::uint64_t totalKB = 0;
    int loadPercent = 0;
};
// From the text of /proc/meminfo (MemTotal, MemAvailable); nullopt when MemTotal is missing.
std::optional<MemoryStatus> parseMemInfo(std::string_view meminfo);
// The running system's figures (/proc/meminfo, else sysinfo()); zeros when neither works.
MemoryStatus readMemoryStatus();
int memoryLoad(std::uint64_t totalKB, std::uint64_t availableKB);

// "524,288 KB": digits grouped by threes with the given separator, a blank and KB.
std::string physMemText(std::uint64_t kilobytes, std::string_view groupSeparator);
// "37 %".
std::string memoryLoadText(int percent);

// The byte-limited edit: `previous` is the text before an edit, `proposed` the text after it.
// The part the edit inserted keeps only characters with a code page 932 form and is cut from
// its end until
// the whole text fits `limitBytes`; an over-long text may still shrink. `cursor` is the
// caret in `proposed` (code points) and comes back in the result.
struct EditFit {
    std::u32string text;
    std::size_t cursor = 0;
};
EditFit fitCp932Edit(std::u32string_view previous, std::u32string_view proposed, std::size_t cursor, int limitBytes);

}  // namespace tavrin::dialogs
