#include "base/SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavrin {

namespace {

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const auto b = s.find_first_not_of(blanks);
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

// Section and key names are ASCII; compare them the way the INI readers of the desktop do.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool parseIniInteger(const std::string& text, int& out) {
    const std::string t = trim(text);
    if (t.empty()) return false;
    std::size_t i = 0;
    if (t[0] == '+' || t[0] == '-') i = 1;
    if (i == t.size()) return false;
    for (std::size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool SettingsFile::load(const std::string& path) {
    sections_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > MaxBytes) return false;
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size)) return false;
    parse(text);
    return true;
}

void SettingsFile::parse(const std::string& text) {
    sections_.clear();
    sections_.push_back({});
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string line = text.substr(pos, nl - pos);
        pos = nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            sections_.push_back({trim(t.substr(1, t.size() - 2)), {}});
            continue;
        }
        const auto eq = line.find('=');
        const std::string key = eq == std::string::npos ? std::string() : trim(line.substr(0, eq));
        if (key.empty() || t[0] == ';') {
            if (!t.empty()) sections_.back().entries.push_back({"", "", line});
            continue;
        }
        sections_.back().entries.push_back({key, trim(line.substr(eq + 1)), line});
    }
}

const SettingsFile::Entry* SettingsFile::find(const std::string& section, const std::string& key) const {
    for (std::size_t s = 1; s < sections_.size(); ++s) {
        if (!sameName(sections_[s].name, section)) continue;
        for (const Entry& e : sections_[s].entries)
            if (!e.key.empty() && sameName(e.key, key)) return &e;
    }
    return nullptr;
}

bool SettingsFile::has(const std::string& section, const std::string& key) const {
    return find(section, key) != nullptr;
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    const Entry* e = find(section, key);
    return e ? e->value : def;
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    const Entry* e = find(section, key);
    int v = 0;
    return e && parseIniInteger(e->value, v) ? v : def;
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

SettingsFile::Section& SettingsFile::sectionFor(const std::string& section) {
    if (sections_.empty()) sections_.push_back({});
    for (std::size_t s = 1; s < sections_.size(); ++s)
        if (sameName(sections_[s].name, section)) return sections_[s];
    sections_.push_back({section, {}});
    return sections_.back();
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    // A value is one line: line breaks would start a new key on reading.
    std::string v;
    for (char c : value)
        if (c != '\r' && c != '\n') v += c;
    Section& s = sectionFor(section);
    for (Entry& e : s.entries) {
        if (!e.key.empty() && sameName(e.key, key)) {
            e.value = v;
            e.raw = e.key + "=" + v;
            return;
        }
    }
    s.entries.push_back({key, v, key + "=" + v});
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string SettingsFile::text() const {
    std::ostringstream out;
    bool anyLine = false;  // a blank line separates a section from the lines before it
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (s > 0) {
            if (anyLine) out << "\r\n";
            out << '[' << sections_[s].name << "]\r\n";
            anyLine = true;
        }
        for (const Entry& e : sections_[s].entries) {
            out << e.raw << "\r\n";
            anyLine = true;
        }
    }
    return out.str();
}

bool SettingsFile::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string t = text();
    out.write(t.data(), static_cast<std::streamsize>(t.size()));
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace tavrin
