#include "library/LibraryIndex.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <system_error>

#include "formats/RecordFile.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"

namespace tavrin::library {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t CodeMask = (1u << CodeBits) - 1;

struct FoundFile {
    std::string Path;
    int64_t Size = 0;
    int64_t Time = 0;
};

// The folder as a clean absolute path without a separator at its end, so that files found
// through two spellings of one folder have one path.
std::string folderPath(const std::string& folder) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(folder), ec);
    if (ec) p = fs::path(folder);
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// Every record file under the folders, sorted by path, each once.
std::vector<FoundFile> findRecordFiles(const std::vector<std::string>& folders, int& missing) {
    std::vector<FoundFile> found;
    for (const std::string& folder : folders) {
        const std::string root = folderPath(folder);
        std::error_code ec;
        if (!fs::is_directory(root, ec)) {
            ++missing;
            continue;
        }
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
        for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
            std::string path = it->path().string();
            if (recordKind(path) == RecordKind::None) continue;
            // stat follows a link to a file; a folder or a device named like a record is no record.
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            found.push_back({std::move(path), static_cast<int64_t>(st.st_size),
                             static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
        }
    }
    std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.Path < b.Path; });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const FoundFile& a, const FoundFile& b) { return a.Path == b.Path; }),
                found.end());
    return found;
}

// The keys one game has passed through so far. A game has at most RecordCapacity + 1
// positions, so the table is never more than half full.
class PassedKeys {
public:
    // True when hash is new to the game.
    bool insert(uint64_t hash) {
        if (hash == 0) {  // the empty slot's mark, as a key of its own
            const bool fresh = !zeroSeen_;
            zeroSeen_ = true;
            return fresh;
        }
        size_t i = hash & Mask;
        while (slots_[i] != 0) {
            if (slots_[i] == hash) return false;
            i = (i + 1) & Mask;
        }
        slots_[i] = hash;
        used_.push_back(static_cast<uint16_t>(i));
        return true;
    }
    void clear() {
        for (const uint16_t i : used_) slots_[i] = 0;
        used_.clear();
        zeroSeen_ = false;
    }

private:
    static constexpr size_t Slots = 4096;
    static constexpr size_t Mask = Slots - 1;
    std::vector<uint64_t> slots_ = std::vector<uint64_t>(Slots, 0);
    std::vector<uint16_t> used_;
    bool zeroSeen_ = false;
};

size_t heapBytes(const std::string& s) {
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
}

}  // namespace

void LibraryIndex::clear() {
    records_.clear();
    records_.shrink_to_fit();
    hashes_ = {};
    entries_ = {};
    groupStart_ = {};
    groupBits_ = 0;
}

int LibraryIndex::indexedCount() const {
    return static_cast<int>(std::count_if(records_.begin(), records_.end(), [](const LibraryRecord& r) {
        return r.Status == RecordStatus::Indexed;
    }));
}

int LibraryIndex::refusedCount() const { return static_cast<int>(records_.size()) - indexedCount(); }

LibraryUpdate LibraryIndex::update(const std::vector<std::string>& folders,
                                   const std::atomic<bool>* cancel, const Progress& progress) {
    LibraryUpdate u;
    std::vector<FoundFile> found = findRecordFiles(folders, u.MissingFolders);
    if (found.size() > static_cast<size_t>(MaxRecords)) {
        u.Skipped = static_cast<int>(found.size()) - MaxRecords;
        found.resize(MaxRecords);
    }
    u.Found = static_cast<int>(found.size());

    // Both lists are sorted by path: one pass pairs each file with its old record.
    std::vector<LibraryRecord> next;
    next.reserve(found.size());
    std::vector<int> oldToNext(records_.size(), -1);
    std::vector<int> toRead;
    std::vector<char> wasIndexed;  // per file to read: it had a record before (it changed)
    size_t o = 0;
    for (FoundFile& f : found) {
        while (o < records_.size() && records_[o].Path < f.Path) {
            ++u.Dropped;
            ++o;
        }
        const bool known = o < records_.size() && records_[o].Path == f.Path;
        if (known && records_[o].FileSize == f.Size && records_[o].FileTime == f.Time) {
            oldToNext[o] = static_cast<int>(next.size());
            next.push_back(std::move(records_[o]));
            ++o;
            ++u.Unchanged;
            continue;
        }
        if (known) ++o;
        LibraryRecord r;
        r.Path = std::move(f.Path);
        r.FileSize = f.Size;
        r.FileTime = f.Time;
        toRead.push_back(static_cast<int>(next.size()));
        wasIndexed.push_back(known);
        next.push_back(std::move(r));
    }
    u.Dropped += static_cast<int>(records_.size() - o);

    // Reading: the new entries carry the number of the file in next.
    std::vector<uint64_t> hashes;
    std::vector<uint32_t> entries;
    std::vector<char> keep(next.size(), 1);
    GameState g;
    TextBuffer buf;
    PassedKeys passed;
    const int total = static_cast<int>(toRead.size());
    if (progress) progress(0, total);
    int done = 0;
    for (; done < total; ++done) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            u.Cancelled = true;
            break;
        }
        const int id = toRead[static_cast<size_t>(done)];
        LibraryRecord& r = next[static_cast<size_t>(id)];
        const LoadResult read = readRecordFile(g, buf, r.Path);
        ++u.Read;
        if (read.status == LoadStatus::CannotOpen) {
            keep[static_cast<size_t>(id)] = 0;
            ++u.Unreadable;
        } else if (!read.ok()) {
            r.Status = RecordStatus::Refused;
        } else {
            r.Status = RecordStatus::Indexed;
            r.BlackPlayer = g.BlackPlayer;
            r.WhitePlayer = g.WhitePlayer;
            r.GameDate = g.GameDate;
            r.GameResult = g.GameComment;
            r.BoardSize = g.BoardSize;
            r.HandicapCount = g.HandicapCount;
            r.MoveCount = g.MoveCount;
            const uint32_t tag = static_cast<uint32_t>(id) << CodeBits;
            MainLinePositions walk(g);
            passed.clear();
            while (true) {
                if (passed.insert(walk.hash())) {
                    hashes.push_back(walk.hash());
                    entries.push_back(tag | static_cast<uint32_t>(walk.nextCode()));
                }
                if (walk.atEnd()) break;
                walk.advance();
            }
        }
        if (progress) progress(done + 1, total);
    }
    for (int i = done; i < total; ++i) {
        keep[static_cast<size_t>(toRead[static_cast<size_t>(i)])] = 0;
        if (wasIndexed[static_cast<size_t>(i)]) ++u.Dropped;
    }

    // The records that stay, and their final numbers.
    std::vector<int> finalId(next.size(), -1);
    records_.clear();
    for (size_t i = 0; i < next.size(); ++i) {
        if (!keep[i]) continue;
        finalId[i] = static_cast<int>(records_.size());
        records_.push_back(std::move(next[i]));
    }
    records_.shrink_to_fit();
    next = {};

    // The new entries renumbered, then the old ones of records kept.
    size_t w = 0;
    for (size_t i = 0; i < hashes.size(); ++i) {
        const int id = finalId[entries[i] >> CodeBits];
        if (id < 0) continue;
        hashes[w] = hashes[i];
        entries[w] = static_cast<uint32_t>(id) << CodeBits | (entries[i] & CodeMask);
        ++w;
    }
    hashes.resize(w);
    entries.resize(w);
    for (size_t i = 0; i < hashes_.size(); ++i) {
        const int at = oldToNext[entries_[i] >> CodeBits];
        if (at < 0) continue;
        const int id = finalId[static_cast<size_t>(at)];
        if (id < 0) continue;
        hashes.push_back(hashes_[i]);
        entries.push_back(static_cast<uint32_t>(id) << CodeBits | (entries_[i] & CodeMask));
    }
    hashes_ = {};
    entries_ = {};
    layOut(hashes, entries);
    return u;
}

void LibraryIndex::countGroups(const std::vector<uint64_t>& hashes) {
    const size_t n = hashes.size();
    // About four to eight entries a group: the directory costs under a byte an entry.
    groupBits_ = n < 64 ? 0 : std::min(24, static_cast<int>(std::bit_width(n)) - 3);
    const size_t groups = size_t{1} << groupBits_;
    groupStart_.assign(groups + 1, 0);
    for (const uint64_t h : hashes) ++groupStart_[groupOf(h) + 1];
    for (size_t i = 1; i <= groups; ++i) groupStart_[i] += groupStart_[i - 1];
}

void LibraryIndex::layOut(std::vector<uint64_t>& hashes, std::vector<uint32_t>& entries) {
    const size_t n = hashes.size();
    countGroups(hashes);
    std::vector<uint32_t> cursor(groupStart_.begin(), groupStart_.end() - 1);
    hashes_.resize(n);
    entries_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t at = cursor[groupOf(hashes[i])]++;
        hashes_[at] = hashes[i];
        entries_[at] = entries[i];
    }
    hashes = {};
    entries = {};
}

bool LibraryIndex::checkLayout() const {
    if (groupStart_.size() != (size_t{1} << groupBits_) + 1 || groupStart_.back() != hashes_.size()) return false;
    for (size_t g = 0; g + 1 < groupStart_.size(); ++g) {
        for (uint32_t i = groupStart_[g]; i < groupStart_[g + 1]; ++i) {
            if (groupOf(hashes_[i]) != g) return false;
        }
    }
    return true;
}

LibraryExploration LibraryIndex::explore(const PositionKey& key) const {
    LibraryExploration out;
    if (!key.valid() || hashes_.empty()) return out;
    const int size = key.BoardSize;
    const int undo = inverseSymmetry(key.Canonical);
    // The query's code of each canonical code, worked out once.
    std::array<int16_t, CodeMask + 1> turned;
    turned.fill(-1);
    std::vector<std::pair<int, int>> hits;  // (code in the query's orientation, game)
    const size_t group = groupOf(key.Hash);
    for (uint32_t i = groupStart_[group]; i < groupStart_[group + 1]; ++i) {
        if (hashes_[i] != key.Hash) continue;
        const int game = static_cast<int>(entries_[i] >> CodeBits);
        const int code = static_cast<int>(entries_[i] & CodeMask);
        // A game of another size can share the hash only by chance.
        if (records_[static_cast<size_t>(game)].BoardSize != size) continue;
        ++out.Games;
        if (code == NoMoveCode) {
            out.EndedGames.push_back(game);
            continue;
        }
        if (turned[static_cast<size_t>(code)] < 0) {
            turned[static_cast<size_t>(code)] =
                static_cast<int16_t>(reduceCode(turnCode(code, size, undo), size, key.Stabilizer));
        }
        hits.emplace_back(turned[static_cast<size_t>(code)], game);
    }
    std::sort(hits.begin(), hits.end());
    std::sort(out.EndedGames.begin(), out.EndedGames.end());

    std::vector<std::pair<int, LibraryMove>> moves;  // with the code, for the order
    for (size_t i = 0; i < hits.size();) {
        LibraryMove m;
        const int code = hits[i].first;
        m.Pos = codePos(code, size);
        for (; i < hits.size() && hits[i].first == code; ++i) {
            const LibraryRecord& r = records_[static_cast<size_t>(hits[i].second)];
            ++m.Games;
            m.BlackWins += r.blackWon();
            m.WhiteWins += r.whiteWon();
            m.GameIds.push_back(hits[i].second);
        }
        moves.emplace_back(code, std::move(m));
    }
    // Codes run in reading order and a pass's code is above every point's.
    std::stable_sort(moves.begin(), moves.end(), [](const auto& a, const auto& b) {
        return a.second.Games > b.second.Games;
    });
    out.Moves.reserve(moves.size());
    for (auto& m : moves) out.Moves.push_back(std::move(m.second));
    return out;
}

size_t LibraryIndex::memoryBytes() const {
    size_t bytes = sizeof(*this) + records_.capacity() * sizeof(LibraryRecord) +
                   hashes_.capacity() * sizeof(uint64_t) + entries_.capacity() * sizeof(uint32_t) +
                   groupStart_.capacity() * sizeof(uint32_t);
    for (const LibraryRecord& r : records_) {
        bytes += heapBytes(r.Path) + heapBytes(r.BlackPlayer) + heapBytes(r.WhitePlayer) +
                 heapBytes(r.GameDate) + heapBytes(r.GameResult);
    }
    return bytes;
}

}  // namespace tavrin::library
