#pragma once
// The settings file "Tavrin.Ini": sections in square brackets, key=value lines below them.
// Integers in decimal, booleans written 1/0 and read as "not 0", texts as they are. Anything
// missing or unreadable reads as the caller's default. Pure C++.

#include <cstddef>
#include <string>
#include <vector>

namespace tavrin {

class SettingsFile {
public:
    // Files larger than this are not read at all (the defaults apply).
    static constexpr std::size_t MaxBytes = 1024 * 1024;

    // Reads path; a missing, unreadable or oversized file leaves the settings empty.
    // Returns whether a file was read.
    bool load(const std::string& path);
    // Parses text held in memory (the loader's own step; also for tests).
    void parse(const std::string& text);

    // The value of key in section when present (section and key compared without case).
    bool has(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Writing replaces the key's value in place or appends it to its section (created at
    // the end when missing); keys never read or written are kept as they were.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // The whole file as text, CR LF line ends.
    std::string text() const;
    // Writes the file; false when it cannot be written (nothing is reported).
    bool save(const std::string& path) const;

private:
    struct Entry {
        std::string key;  // empty for a line kept verbatim (comments, blank lines)
        std::string value;
        std::string raw;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;  // sections_[0] holds lines before any section

    const Entry* find(const std::string& section, const std::string& key) const;
    Section& sectionFor(const std::string& section);
};

// Decimal integer with optional sign and surrounding blanks; false for anything else,
// including values outside the range of int.
bool parseIniInteger(const std::string& text, int& out);

}  // namespace tavrin
