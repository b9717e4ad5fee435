// bench_formats [FOLDER] [benchmark options]
// Opens every .sgf/.ngf record below FOLDER (default: the corpus's pro/ folder) the way the
// program does (game and game tree), and only reads the same files, so the two rates can be
// compared.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/RecordLoad.h"
#include "formats/SgfReader.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "record/RecordTree.h"

namespace {

using namespace tavrin;

std::vector<std::string>& files() {
    static std::vector<std::string> list;
    return list;
}

void collect(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file() && recordKind(it->path().string()) != RecordKind::None) {
            files().push_back(it->path().string());
        }
    }
    std::sort(files().begin(), files().end());
}

void BM_ReadFiles(benchmark::State& state) {
    std::string bytes;
    size_t total = 0;
    for (auto _ : state) {
        for (const std::string& f : files()) {
            readFileBytes(f, bytes);
            total += bytes.size();
        }
    }
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files().size()));
}

// Opening as the window does: the game and the record's game tree.
void BM_OpenRecords(benchmark::State& state) {
    GameState g;
    TextBuffer buf;
    RecordTree tree;
    int accepted = 0;
    for (auto _ : state) {
        accepted = 0;
        for (const std::string& f : files()) accepted += readRecordFile(g, buf, f, &tree).ok();
    }
    state.counters["accepted"] = accepted;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files().size()));
}

// The same work from bytes already in memory: decode, scan and replay only.
void BM_ParseInMemory(benchmark::State& state) {
    std::vector<std::string> contents(files().size());
    for (size_t i = 0; i < files().size(); ++i) readFileBytes(files()[i], contents[i]);
    GameState g;
    TextBuffer buf;
    for (auto _ : state) {
        for (size_t i = 0; i < contents.size(); ++i) {
            buf.setFileBytes(contents[i]);
            if (recordKind(files()[i]) == RecordKind::Sgf) fncStringsToKif(g, buf, files()[i]);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files().size()));
}

// Only the commit of records already read: a new game, the stones and moves replayed.
void BM_CommitRecords(benchmark::State& state) {
    std::vector<ReadRecord> records;
    GameState g;
    TextBuffer buf;
    for (const std::string& f : files()) {
        if (!readRecordFile(g, buf, f).ok()) continue;
        ReadRecord& r = records.emplace_back();
        r.BoardSize = g.BoardSize;
        r.KomiTenths = g.KomiTenths;
        r.SetupCount = g.HandicapCount;
        for (int i = 1; i <= g.HandicapCount; ++i) r.SetupPos[i] = g.MovePos[i];
        r.MoveCount = g.MoveCount;
        for (int k = 1; k <= g.MoveCount; ++k) {
            r.MoveColor[k] = g.MoveColor[g.HandicapCount + k];
            r.MovePos[k] = g.MovePos[g.HandicapCount + k];
        }
    }
    int accepted = 0;
    for (auto _ : state) {
        accepted = 0;
        for (const ReadRecord& r : records) accepted += commitRecord(g, r).ok();
    }
    state.counters["accepted"] = accepted;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

// The same without the tree: the game alone.
void BM_OpenRecordsWithoutTree(benchmark::State& state) {
    GameState g;
    TextBuffer buf;
    for (auto _ : state) {
        for (const std::string& f : files()) readRecordFile(g, buf, f);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files().size()));
}

BENCHMARK(BM_ReadFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRecordsWithoutTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitRecords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder = std::filesystem::path(TAVRIN_CORPUS_DIR) / "pro";
    if (argc > 1 && argv[1][0] != '-') {
        folder = argv[1];
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
        --argc;
    }
    collect(folder);
    if (files().empty()) {
        std::fprintf(stderr, "bench_formats: no .sgf/.ngf files below %s\n", folder.c_str());
        return 1;
    }
    std::fprintf(stderr, "bench_formats: %zu records below %s\n", files().size(), folder.c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
