#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "library/LibraryIndex.h"
#include "tests/library/LibraryTestKit.h"

namespace tavrin::library {
namespace {

namespace fs = std::filesystem;

using test::sgfGame;

// Everything a window could ask of an index, as text: its records, and what it finds at every
// position of every game in it.
std::string dump(const LibraryIndex& index) {
    std::string out;
    GameState g;
    for (const LibraryRecord& r : index.records()) {
        out += r.Path + " " + std::to_string(static_cast<int>(r.Status)) + " " + r.GameResult + " " + r.BlackPlayer +
               " " + std::to_string(r.MoveCount) + "\n";
        if (r.Status != RecordStatus::Indexed) continue;
        test::loadRecord(g, r.Path);
        for (int k = 0; k <= g.MoveCount; ++k) {
            const LibraryExploration e = index.explore(test::keyAfter(g, k));
            out += " " + std::to_string(k) + ":" + std::to_string(e.Games);
            for (const LibraryMove& m : e.Moves) {
                out += " " + std::to_string(m.Pos) + "x" + std::to_string(m.Games);
                for (const int id : m.GameIds) out += "," + index.record(id).Path;
            }
            out += "\n";
        }
    }
    return out;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        files = {
            dir.write("a/one.sgf", sgfGame("B[dc];W[ce];B[fc];W[qd]", "B+R")),
            dir.write("a/two.sgf", sgfGame("B[pc];W[qe];B[qg]", "W+2.5")),
            dir.write("b/three.sgf", sgfGame("B[dd];W[pp];B[dc]", "B+T")),
            dir.write("b/refused.sgf", sgfGame("B[aa]", "", 26)),
            dir.write("b/c/four.sgf", sgfGame("B[dq];W[co];B[fq];W[tt]", "W+R")),
            dir.write("five.sgf", sgfGame("B[jj];W[dc]", "B+1.5")),
        };
        for (const std::string& f : files) test::setFileTime(f, 1700000000);
    }

    // An index built from nothing of the folder as it is now.
    std::string freshDump() {
        LibraryIndex fresh;
        fresh.update({dir.str()});
        return dump(fresh);
    }

    test::TempFolder dir;
    test::TempFolder cacheDir;
    std::vector<std::string> files;
};

TEST_F(Library, OnlyChangedFilesAreReadAgain) {
    LibraryIndex index;
    LibraryUpdate u = index.update({dir.str()});
    EXPECT_EQ(u.Read, 6);
    EXPECT_EQ(index.indexedCount(), 5);

    u = index.update({dir.str()});
    EXPECT_EQ(u.Read, 0);
    EXPECT_EQ(u.Unchanged, 6);
    EXPECT_FALSE(u.changed());  // so the window leaves the cache as it is

    const struct {
        const char* what;
        std::function<void()> change;
        int read, unchanged, dropped;
    } steps[] = {
        {"touched: same bytes, another time", [&] { test::setFileTime(files[0], 1700000001); }, 1, 5, 0},
        {"a time apart by nanoseconds", [&] { test::setFileTime(files[1], 1700000000, 5); }, 1, 5, 0},
        {"another size at the same time",
         [&] {
             dir.write("a/two.sgf", sgfGame("B[pc];W[qe];B[pg]", "W+12.5"));
             test::setFileTime(files[1], 1700000000, 5);
         },
         1, 5, 0},
        {"deleted", [&] { fs::remove(files[2]); }, 0, 5, 1},
        {"a new file", [&] { dir.write("b/c/six.sgf", sgfGame("B[dc];W[ce];B[dg]", "B+R")); }, 1, 5, 0},
        {"a refused file mended", [&] { dir.write("b/refused.sgf", sgfGame("B[aa]", "B+R", 9)); }, 1, 5, 0},
        {"a folder removed", [&] { fs::remove_all(dir.path() / "b"); }, 0, 3, 3},
    };
    for (const auto& s : steps) {
        s.change();
        u = index.update({dir.str()});
        EXPECT_EQ(u.Read, s.read) << s.what;
        EXPECT_EQ(u.Unchanged, s.unchanged) << s.what;
        EXPECT_EQ(u.Dropped, s.dropped) << s.what;
        EXPECT_TRUE(u.changed()) << s.what;
        EXPECT_EQ(dump(index), freshDump()) << s.what;
    }
}

TEST_F(Library, CacheKeepsTheIndexAndTheUpdateGoesOnFromIt) {
    LibraryIndex index;
    index.update({dir.str()});
    const std::string cache = (cacheDir.path() / "new/folder/library.cache").string();
    ASSERT_TRUE(index.saveCache(cache));
    ASSERT_TRUE(index.saveCache(cache));  // over the old one
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(cache).parent_path()), {}), 1)
        << "no temporary file left beside the cache";

    LibraryIndex loaded;
    ASSERT_EQ(loaded.loadCache(cache), LibraryIndex::CacheRead::Loaded);
    EXPECT_EQ(dump(loaded), dump(index));
    EXPECT_EQ(loaded.positionCount(), index.positionCount());

    test::setFileTime(files[4], 1700000100);
    const LibraryUpdate u = loaded.update({dir.str()});
    EXPECT_EQ(u.Read, 1);
    EXPECT_EQ(u.Unchanged, 5);
    EXPECT_EQ(dump(loaded), freshDump());

    EXPECT_EQ(loaded.loadCache((cacheDir.path() / "none").string()), LibraryIndex::CacheRead::Missing);
    EXPECT_TRUE(loaded.records().empty());
    EXPECT_FALSE(index.saveCache(files[0] + "/cache"));  // a file stands where the folder would
}

TEST_F(Library, ADamagedOrForeignCacheIsNeverTrusted) {
    LibraryIndex index;
    index.update({dir.str()});
    const std::string cache = (cacheDir.path() / "library.cache").string();
    ASSERT_TRUE(index.saveCache(cache));
    const std::string good = readBytes(cache);
    ASSERT_GT(good.size(), 100u);

    std::vector<std::pair<std::string, std::string>> bad = {
        {"empty", ""},
        {"cut short by a byte", good.substr(0, good.size() - 1)},
        {"a byte more", good + '\0'},
        {"header alone", good.substr(0, 24)},
        {"another file", sgfGame("B[dc]")},
    };
    // One bit changed, anywhere.
    for (size_t i = 0; i < good.size(); ++i) {
        std::string b = good;
        b[i] = static_cast<char>(b[i] ^ (1 << (i % 8)));
        bad.emplace_back("bit flipped at byte " + std::to_string(i), b);
    }
    LibraryIndex damaged;
    for (const auto& [what, bytes] : bad) {
        const std::string path = cacheDir.write("damaged.cache", bytes);
        damaged = index;  // a failed read empties even a full index
        ASSERT_EQ(damaged.loadCache(path), LibraryIndex::CacheRead::Invalid) << what;
        ASSERT_TRUE(damaged.records().empty()) << what;
        ASSERT_EQ(damaged.positionCount(), 0u) << what;
    }
    EXPECT_EQ(damaged.update({dir.str()}).Read, 6);  // so the update reads every file again
}

TEST_F(Library, CancelKeepsWhatWasReadAndTheNextUpdateReadsTheRest) {
    LibraryIndex index;
    std::atomic<bool> cancel{false};
    std::vector<std::pair<int, int>> calls;
    LibraryUpdate u = index.update({dir.str()}, &cancel, [&](int done, int total) {
        calls.emplace_back(done, total);
        if (done == 2) cancel = true;
    });
    EXPECT_TRUE(u.Cancelled);
    EXPECT_EQ(u.Read, 2);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 6}, {1, 6}, {2, 6}}));
    EXPECT_EQ(index.records().size(), 2u);

    // A changed file not reached before the cancel leaves the index.
    test::setFileTime(files[0], 1700000200);
    cancel = false;
    u = index.update({dir.str()}, &cancel, [&](int done, int) { cancel = done == 0; });
    EXPECT_TRUE(u.Cancelled);
    EXPECT_EQ(u.Read, 0);
    EXPECT_EQ(u.Unchanged, 1);
    EXPECT_EQ(u.Dropped, 1);
    EXPECT_EQ(index.records().size(), 1u);

    cancel = false;
    calls.clear();
    u = index.update({dir.str()}, &cancel, [&](int done, int total) { calls.emplace_back(done, total); });
    EXPECT_FALSE(u.Cancelled);
    EXPECT_EQ(u.Read, 5);
    EXPECT_EQ(calls.back(), std::make_pair(5, 5));
    EXPECT_EQ(dump(index), freshDump());
}

// Closing the window stops every stage at once: the walk through the folders (leaving the
// index as it was, since files it did not reach are not gone), reading the cache, and writing
// it (leaving the old file as it was).
TEST_F(Library, EveryStageStopsOnCancel) {
    LibraryIndex index;
    index.update({dir.str()});
    const std::string cache = (cacheDir.path() / "library.cache").string();
    ASSERT_TRUE(index.saveCache(cache));
    const std::string before = dump(index);
    const std::string bytes = readBytes(cache);
    test::setFileTime(files[0], 1700000200);  // an update that walked would drop it unread

    std::atomic<bool> cancel{true};
    const LibraryUpdate u = index.update({dir.str()}, &cancel);
    EXPECT_TRUE(u.Cancelled);
    EXPECT_EQ(u.Found, 0);
    EXPECT_FALSE(u.changed());
    EXPECT_EQ(dump(index), before);

    LibraryIndex other;
    other.update({dir.str()});
    EXPECT_FALSE(other.saveCache(cache, &cancel));
    EXPECT_EQ(readBytes(cache), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(cacheDir.path()), {}), 1) << "no temporary file left";

    EXPECT_EQ(other.loadCache(cache, &cancel), LibraryIndex::CacheRead::Cancelled);
    EXPECT_TRUE(other.records().empty());
    cancel = false;
    EXPECT_EQ(other.loadCache(cache, &cancel), LibraryIndex::CacheRead::Loaded);
    EXPECT_EQ(dump(other), before);
}

TEST_F(Library, FoldersAreWalkedOnceEachWithoutLinksToFolders) {
    fs::create_directory_symlink(dir.path() / "b", dir.path() / "b-again");
    fs::create_symlink(files[0], dir.path() / "link.sgf");
    LibraryIndex index;
    const LibraryUpdate u =
        index.update({dir.str(), dir.str() + "/", (dir.path() / "b").string(), (dir.path() / "gone").string()});
    EXPECT_EQ(u.Found, 7);  // the six and the link to a file
    EXPECT_EQ(u.MissingFolders, 1);
    EXPECT_EQ(index.records().size(), 7u);
}

// A library without positions (no folder, or only records it could not read) goes through
// the cache like any other: its empty tables are neither read from nor written to nowhere.
TEST_F(Library, AnIndexWithoutPositionsGoesThroughTheCache) {
    test::TempFolder unreadable;
    unreadable.write("refused.sgf", sgfGame("B[aa]", "", 26));
    for (const std::vector<std::string>& folders : {std::vector<std::string>{}, {unreadable.str()}}) {
        SCOPED_TRACE(folders.size());
        LibraryIndex index;
        index.update(folders);
        ASSERT_EQ(index.positionCount(), 0u);
        const std::string cache = (cacheDir.path() / "empty.cache").string();
        ASSERT_TRUE(index.saveCache(cache));
        LibraryIndex loaded;
        ASSERT_EQ(loaded.loadCache(cache), LibraryIndex::CacheRead::Loaded);
        EXPECT_EQ(dump(loaded), dump(index));
        EXPECT_EQ(loaded.records().size(), folders.size());
    }
}

}  // namespace
}  // namespace tavrin::library
