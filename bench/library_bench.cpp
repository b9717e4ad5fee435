// bench_library [benchmark options]
// The library of records: indexing the corpus's pro/ folder from warm files on one core, and an
// index of 10,000 games (the even games of pro/ copied into a temporary folder until there are
// as many, so every one of them passes through the empty board): queries, an update that finds
// nothing changed, the cache written and read, and the bytes the index takes.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "library/LibraryIndex.h"

namespace {

using namespace tavrin;
using namespace tavrin::library;
namespace fs = std::filesystem;

constexpr int LibraryGames = 10000;

const fs::path& proFolder() {
    static const fs::path p = fs::path(TAVRIN_CORPUS_DIR) / "pro";
    return p;
}

std::vector<std::string> recordFiles(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file() && recordKind(e.path().string()) != RecordKind::None) out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The folder of 10,000 games, its index, its cache and the keys the queries ask for.
struct Library {
    fs::path Folder;
    LibraryIndex Index;
    std::string Cache;
    std::vector<PositionKey> EmptyBoard;  // one key: every game passes through it
    std::vector<PositionKey> Mixed;       // positions along the games, every tenth move

    Library() {
        std::string tmpl = (fs::temp_directory_path() / "tavrin-library-bench-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
        Folder = tmpl;
        GameState g;
        TextBuffer buf;
        std::vector<std::string> even;
        for (const std::string& f : recordFiles(proFolder())) {
            if (readRecordFile(g, buf, f).ok() && g.HandicapCount == 0 && g.MoveCount > 0 && g.MoveColor[1] == Black) {
                even.push_back(f);
                for (int k = 0; k <= g.MoveCount; k += 10) {
                    MainLinePositions walk(g);
                    while (walk.moves() < k) walk.advance();
                    Mixed.push_back(walk.key());
                }
            }
        }
        if (even.empty()) std::abort();
        std::string bytes;
        for (int n = 0; n < LibraryGames; ++n) {
            const fs::path to = Folder / std::to_string(n / static_cast<int>(even.size())) /
                                fs::path(even[static_cast<size_t>(n) % even.size()]).filename();
            fs::create_directories(to.parent_path());
            readFileBytes(even[static_cast<size_t>(n) % even.size()], bytes);
            std::ofstream(to, std::ios::binary) << bytes;
        }
        Index.update({Folder.string()});
        Cache = (Folder / "cache" / "library.cache").string();
        Index.saveCache(Cache);
        EmptyBoard.push_back(positionKey(19, std::array<int, BoardCells>{}, Black));
    }
    ~Library() {
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }
};

Library& library() {
    static Library lib;
    return lib;
}

void BM_IndexPro(benchmark::State& state) {
    const size_t files = recordFiles(proFolder()).size();
    int games = 0;
    for (auto _ : state) {
        LibraryIndex index;
        index.update({proFolder().string()});
        games = index.indexedCount();
        benchmark::DoNotOptimize(index.positionCount());
    }
    state.counters["games"] = games;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files));
}

// The reading alone of the same files, as the index reads them (no game tree).
void BM_ReadPro(benchmark::State& state) {
    const std::vector<std::string> files = recordFiles(proFolder());
    GameState g;
    TextBuffer buf;
    for (auto _ : state) {
        for (const std::string& f : files) benchmark::DoNotOptimize(readRecordFile(g, buf, f).ok());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}

// The hashing alone: every position of the games of pro/ already read.
void BM_WalkPro(benchmark::State& state) {
    std::vector<GameState> games;
    GameState g;
    TextBuffer buf;
    for (const std::string& f : recordFiles(proFolder())) {
        if (readRecordFile(g, buf, f).ok()) games.push_back(g);
    }
    uint64_t sum = 0;
    for (auto _ : state) {
        for (const GameState& game : games) {
            MainLinePositions walk(game);
            while (true) {
                sum += walk.hash() + static_cast<uint64_t>(walk.nextCode());
                if (walk.atEnd()) break;
                walk.advance();
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(games.size()));
}

// Walking the folder and pairing its files with the records: what an update costs when
// nothing changed.
void BM_UpdateUnchangedPro(benchmark::State& state) {
    LibraryIndex index;
    index.update({proFolder().string()});
    for (auto _ : state) benchmark::DoNotOptimize(index.update({proFolder().string()}).Read);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(index.records().size()));
}

void BM_Query10k(benchmark::State& state, bool emptyBoard) {
    Library& lib = library();
    const std::vector<PositionKey>& keys = emptyBoard ? lib.EmptyBoard : lib.Mixed;
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state) {
        const LibraryExploration e = lib.Index.explore(keys[i]);
        found += e.Games;
        if (++i == keys.size()) i = 0;
    }
    state.counters["games_found_per_query"] =
        benchmark::Counter(static_cast<double>(found) / static_cast<double>(state.iterations()));
    state.counters["library_games"] = lib.Index.indexedCount();
}

// Indexing the 10,000 games from nothing: the rate at scale.
void BM_Index10k(benchmark::State& state) {
    Library& lib = library();
    for (auto _ : state) {
        LibraryIndex index;
        benchmark::DoNotOptimize(index.update({lib.Folder.string()}).Read);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lib.Index.records().size()));
}

void BM_UpdateUnchanged10k(benchmark::State& state) {
    Library& lib = library();
    for (auto _ : state) benchmark::DoNotOptimize(lib.Index.update({lib.Folder.string()}).Read);
}

void BM_SaveCache10k(benchmark::State& state) {
    Library& lib = library();
    for (auto _ : state) benchmark::DoNotOptimize(lib.Index.saveCache(lib.Cache));
}

void BM_LoadCache10k(benchmark::State& state) {
    Library& lib = library();
    LibraryIndex loaded;
    for (auto _ : state) benchmark::DoNotOptimize(loaded.loadCache(lib.Cache));
    std::error_code ec;
    state.counters["games"] = loaded.indexedCount();
    state.counters["positions"] = static_cast<double>(loaded.positionCount());
    state.counters["memory_MB"] = static_cast<double>(loaded.memoryBytes()) / 1e6;
    state.counters["cache_MB"] = static_cast<double>(fs::file_size(lib.Cache, ec)) / 1e6;
}

BENCHMARK(BM_IndexPro)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPro)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkPro)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateUnchangedPro)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query10k, empty_board, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Query10k, every_tenth_move, false)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Index10k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UpdateUnchanged10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCache10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCache10k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
