#pragma once
// Helpers of the library tests: a temporary folder of hand-made records, SGF text from a
// move list, and boards drawn as rows of ". X O".

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "library/LibraryIndex.h"

namespace tavrin::test {

namespace fs = std::filesystem;

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (fs::temp_directory_path() / "tavrin-library-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

    // Writes bytes to name (folders made as needed); returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const fs::path p = path_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    fs::path path_;
};

// An SGF record of a game on a board of size lines: moves like "B[dc];W[ce]", a result
// (RE left out when empty) and further root properties.
inline std::string sgfGame(const std::string& moves, const std::string& result = "", int size = 19,
                           const std::string& root = "") {
    std::string s = "(;GM[1]FF[4]SZ[" + std::to_string(size) + "]PB[Kuro]PW[Shiro]DT[2024-05-06]";
    if (!result.empty()) s += "RE[" + result + "]";
    s += root;
    if (!moves.empty()) s += ";" + moves;
    return s + ")\n";
}

// A board of rows of ". X O" (X black), the first row at the top.
inline std::array<int, BoardCells> boardOf(const std::vector<std::string>& rows) {
    std::array<int, BoardCells> b{};
    const int size = static_cast<int>(rows.size());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const char c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            b[static_cast<size_t>((x + 1) * (size + 2) + y + 1)] = c == 'X' ? Black : c == 'O' ? White : 0;
        }
    }
    return b;
}

// Loads a record file; the test fails when it is refused.
inline void loadRecord(GameState& g, const std::string& path) {
    TextBuffer buf;
    const LoadResult r = readRecordFile(g, buf, path);
    ASSERT_TRUE(r.ok()) << path << ": " << r.reason;
}

// The key of the position after `moves` moves of a loaded game.
inline library::PositionKey keyAfter(const GameState& g, int moves) {
    library::MainLinePositions walk(g);
    while (walk.moves() < moves && !walk.atEnd()) walk.advance();
    return walk.key();
}

// Sets a file's modification time to seconds since the epoch (nanoseconds given).
inline void setFileTime(const std::string& path, long seconds, long nanoseconds = 0) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

}  // namespace tavrin::test
