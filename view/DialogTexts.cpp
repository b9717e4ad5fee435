#include "view/DialogTexts.h"

#include <sys/sysinfo.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/Sjis.h"

namespace tavrin::dialogs {

const std::array<std::string_view, KomiItemCount>& komiItems() {
    // 1 to 9 are full-width; 10 and 10.5 are written with half-width digits.
    static constexpr std::array<std::string_view, KomiItemCount> items{
        "なし",   "半目", "１目",   "１目半", "２目",   "２目半", "３目",   "３目半", "４目",   "４目半", "５目",
        "５目半", "６目", "６目半", "７目",   "７目半", "８目",   "８目半", "９目",   "９目半", "10目",   "10目半"};
    return items;
}

std::string komiValueItem(int komiTenths) {
    char buf[64];
    // Shortest text that reads back as the same number, never in exponent form.
    auto res = std::to_chars(buf, buf + sizeof buf, komiTenths / 10.0, std::chars_format::fixed);
    std::string item = " ";
    item.append(buf, res.ptr);
    item += "目";
    return item;
}

int gobanIndex(int boardSize) {
    if (boardSize == 9) return 2;
    if (boardSize == 13) return 1;
    return 0;
}

int boardSizeFromIndex(int index) {
    if (index == 2) return 9;
    if (index == 1) return 13;
    return 19;
}

int putStoneIndex(int handicapCount) {
    // A single handicap stone (possible in a loaded record) lands on "なし".
    if (handicapCount < 1) return 0;
    if (handicapCount > 9) return -1;
    return handicapCount - 1;
}

int handicapFromIndex(int index) { return index >= 1 ? index + 1 : 0; }

std::string defaultGameTitle(int year, int month, int day, int hour, int minute) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Tavrin %04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
    return buf;
}

std::optional<std::string> versionLine(std::string_view fileVersion) {
    if (fileVersion.empty()) return std::nullopt;
    std::string_view major = fileVersion.substr(0, 3);
    std::string_view build = fileVersion.size() > 4 ? fileVersion.substr(4, 10) : std::string_view{};
    return "Version " + std::string(major) + " [Build " + std::string(build) + "]";
}

int memoryLoad(std::uint64_t totalKB, std::uint64_t availableKB) {
    if (totalKB == 0) return 0;
    if (availableKB > totalKB) availableKB = totalKB;
    return static_cast<int>((totalKB - availableKB) * 100 / totalKB);
}

namespace {

// The number after "key:" on its own line of /proc/meminfo.
std::optional<std::uint64_t> meminfoValue(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ':') {
            std::string_view rest = line.substr(key.size() + 1);
            while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
            std::uint64_t v = 0;
            auto res = std::from_chars(rest.data(), rest.data() + rest.size(), v);
            if (res.ec == std::errc()) return v;
            return std::nullopt;
        }
        at = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<MemoryStatus> parseMemInfo(std::string_view meminfo) {
    auto total = meminfoValue(meminfo, "MemTotal");
    if (!total) return std::nullopt;
    // Kernels before 3.14 have no MemAvailable; free memory is the closest figure then.
    auto avail = meminfoValue(meminfo, "MemAvailable");
    if (!avail) avail = meminfoValue(meminfo, "MemFree");
    return MemoryStatus{*total, memoryLoad(*total, avail.value_or(0))};
}

MemoryStatus readMemoryStatus() {
    std::ifstream in("/proc/meminfo");
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        if (auto st = parseMemInfo(text.str())) return *st;
    }
    struct sysinfo si {};
    if (sysinfo(&si) != 0) return {};
    const std::uint64_t unit = si.mem_unit ? si.mem_unit : 1;
    const std::uint64_t total = static_cast<std::uint64_t>(si.totalram) * unit / 1024;
    const std::uint64_t avail = (static_cast<std::uint64_t>(si.freeram) + si.bufferram) * unit / 1024;
    return {total, memoryLoad(total, avail)};
}

std::string physMemText(std::uint64_t kilobytes, std::string_view groupSeparator) {
    const std::string digits = std::to_string(kilobytes);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += groupSeparator;
        out += digits[i];
    }
    return out + " KB";
}

std::string memoryLoadText(int percent) { return std::to_string(percent) + " %"; }

namespace {

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// Code page 932 bytes of one character; -1 when it has none.
int cp932CharBytes(char32_t c) {
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return -1;
    return sjis::byteLength(utf8Of(c));
}

int textBytes(std::u32string_view s) {
    int n = 0;
    for (char32_t c : s) {
        int b = cp932CharBytes(c);
        n += b < 0 ? 2 : b;  // a character already there without a form: as wide as a kanji
    }
    return n;
}

}  // namespace

EditFit fitCp932Edit(std::u32string_view previous, std::u32string_view proposed, std::size_t cursor, int limitBytes) {
    // The inserted part lies between the longest common prefix and suffix of the two texts.
    std::size_t prefix = 0;
    while (prefix < previous.size() && prefix < proposed.size() && previous[prefix] == proposed[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < previous.size() - prefix && suffix < proposed.size() - prefix &&
           previous[previous.size() - 1 - suffix] == proposed[proposed.size() - 1 - suffix])
        ++suffix;
    std::u32string_view head = proposed.substr(0, prefix);
    std::u32string_view inserted = proposed.substr(prefix, proposed.size() - prefix - suffix);
    std::u32string_view tail = proposed.substr(proposed.size() - suffix);

    std::u32string kept;
    int keptBytes = 0;
    const int room = limitBytes - textBytes(head) - textBytes(tail);
    bool changed = false;
    for (char32_t c : inserted) {
        const int b = cp932CharBytes(c);
        if (b < 0) {
            changed = true;
            continue;
        }
        if (keptBytes + b > room) {
            changed = true;
            break;  // the rest of the insertion does not fit
        }
        kept += c;
        keptBytes += b;
    }
    if (!changed) return {std::u32string(proposed), cursor};
    EditFit fit;
    fit.text.reserve(prefix + kept.size() + suffix);
    fit.text.append(head).append(kept).append(tail);
    fit.cursor = prefix + kept.size();
    return fit;
}

}  // namespace tavrin::dialogs
