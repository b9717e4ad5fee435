#include "library/LibraryIndex.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool isSet(const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); }

// Adds the record files below the open folder fd (named path) to found; closes fd. Links to
// files count, links to folders are not followed. Stops at once when cancel is set.
void findBelow(int fd, const std::string& path, std::vector<FoundFile>& found, const std::atomic<bool>* cancel) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::string child;
    while (const dirent* e = ::readdir(dir)) {
        if (isSet(cancel)) break;
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        child.assign(path).append("/").append(name);
        struct stat st {};
        // Some file systems do not tell the type in the listing.
        const bool folder = e->d_type == DT_DIR ||
                            (e->d_type == DT_UNKNOWN && ::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                             S_ISDIR(st.st_mode));
        if (folder) {
            const int sub = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) findBelow(sub, child, found, cancel);
            continue;
        }
        if (recordKind(child) == RecordKind::None) continue;
        if (::fstatat(::dirfd(dir), name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        found.push_back({child, static_cast<int64_t>(st.st_size),
                         static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
    }
    ::closedir(dir);
}

// Every record file under the folders, sorted by path, each once; a part of them when
// cancel was set meanwhile.
std::vector<FoundFile> findRecordFiles(const std::vector<std::string>& folders, int& missing,
                                       const std::atomic<bool>* cancel) {
    std::vector<FoundFile> found;
    for (const std::string& folder : folders) {
        if (isSet(cancel)) return found;
        const std::string root = folderPath(folder);
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            ++missing;
            continue;
        }
        findBelow(fd, root == "/" ? std::string() : root, found, cancel);
    }
    std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.Path < b.Path; });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const FoundFile& a, const FoundFile& b) { return a.Path == b.Path; }),
                found.end());
    return found;
}

size_t heapBytes(const std::string& s) { return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0; }

}  // namespace

void LibraryIndex::clear() {
    records_.clear();
    records_.shrink_to_fit();
    facts_ = {};
    hashes_ = {};
    entries_ = {};
    groupStart_ = {};
    groupBits_ = 0;
}

int LibraryIndex::indexedCount() const {
    return static_cast<int>(std::count_if(records_.begin(), records_.end(),
                                          [](const LibraryRecord& r) { return r.Status == RecordStatus::Indexed; }));
}

int LibraryIndex::refusedCount() const { return static_cast<int>(records_.size()) - indexedCount(); }

LibraryUpdate LibraryIndex::update(const std::vector<std::string>& folders, const std::atomic<bool>* cancel,
                                   const Progress& progress) {
    LibraryUpdate u;
    std::vector<FoundFile> found = findRecordFiles(folders, u.MissingFolders, cancel);
    // Files not found by a walk cut short are not gone.
    if (isSet(cancel)) {
        u.Cancelled = true;
        return u;
    }
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
    const int total = static_cast<int>(toRead.size());
    // Room for games of an ordinary length from the start: growing would copy them all again.
    // Pages never written are never taken.
    const size_t guess = std::min<size_t>(static_cast<size_t>(total) * 256, size_t{1} << 24);
    hashes.reserve(guess);
    entries.reserve(guess);
    if (progress) progress(0, total);
    int done = 0;
    for (; done < total; ++done) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            u.Cancelled = true;
            break;
        }
        // Group starts count positions in 32 bits; files past that room are left out.
        if (hashes.size() + hashes_.size() + RecordCapacity + 1 > UINT32_MAX) {
            u.Skipped += total - done;
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
            // Setup between the moves makes positions the moves alone do not: the record is
            // indexed up to its first such setup, where its play ends for the explorer.
            const int last = read.FirstSetupMove > 0 ? read.FirstSetupMove - 1 : g.MoveCount;
            while (true) {
                hashes.push_back(walk.hash());
                const bool end = walk.atEnd() || walk.moves() >= last;
                entries.push_back(tag | static_cast<uint32_t>(end ? NoMoveCode : walk.nextCode()));
                if (end) break;
                walk.advance();
            }
        }
        if (progress) progress(done + 1, total);
    }
    for (int i = done; i < total; ++i) {
        keep[static_cast<size_t>(toRead[static_cast<size_t>(i)])] = 0;
        if (wasIndexed[static_cast<size_t>(i)]) ++u.Dropped;
    }

    // Nothing read and nothing gone: every record keeps its number, the entries stay as they lie.
    if (total == 0 && u.Dropped == 0) {
        records_ = std::move(next);
        noteFacts();
        return u;
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
    hashes.reserve(w + hashes_.size());
    entries.reserve(w + hashes_.size());
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
    noteFacts();
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
    // In order within each group: a game's passes keep theirs.
    uint32_t* const next = cursor.data();
    uint64_t* const toHash = hashes_.data();
    uint32_t* const toEntry = entries_.data();
    const int bits = groupBits_;
    for (size_t i = 0; i < n; ++i) {
        const uint64_t h = hashes[i];
        const uint32_t at = next[bits == 0 ? 0 : h >> (64 - bits)]++;
        toHash[at] = h;
        toEntry[at] = entries[i];
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
    std::array<int, CodeMask + 1> count{};
    std::vector<std::pair<int, int>> hits;  // (code in the query's orientation, game)
    const size_t group = groupOf(key.Hash);
    int last = -1;
    for (uint32_t i = groupStart_[group]; i < groupStart_[group + 1]; ++i) {
        if (hashes_[i] != key.Hash) continue;
        const int game = static_cast<int>(entries_[i] >> CodeBits);
        const int code = static_cast<int>(entries_[i] & CodeMask);
        // A game's later passes follow its first (see the header); a game of another size can
        // share the hash only by chance.
        if (game == last || (facts_[static_cast<size_t>(game)] & SizeBits) != size) continue;
        last = game;
        ++out.Games;
        if (code == NoMoveCode) {
            out.EndedGames.push_back(game);
            continue;
        }
        if (turned[static_cast<size_t>(code)] < 0) {
            turned[static_cast<size_t>(code)] =
                static_cast<int16_t>(reduceCode(turnCode(code, size, undo), size, key.Stabilizer));
        }
        ++count[static_cast<size_t>(turned[static_cast<size_t>(code)])];
        hits.emplace_back(turned[static_cast<size_t>(code)], game);
    }
    std::sort(out.EndedGames.begin(), out.EndedGames.end());

    // One move per code in reading order (a pass's code is above every point's), then the
    // games of each in turn.
    std::array<int16_t, CodeMask + 1> slot;
    for (size_t code = 0; code < count.size(); ++code) {
        if (count[code] == 0) continue;
        slot[code] = static_cast<int16_t>(out.Moves.size());
        LibraryMove& m = out.Moves.emplace_back();
        m.Pos = codePos(static_cast<int>(code), size);
        m.GameIds.reserve(static_cast<size_t>(count[code]));
    }
    for (const auto& [code, game] : hits) {
        LibraryMove& m = out.Moves[static_cast<size_t>(slot[static_cast<size_t>(code)])];
        const uint8_t facts = facts_[static_cast<size_t>(game)];
        ++m.Games;
        m.BlackWins += (facts & BlackWon) != 0;
        m.WhiteWins += (facts & WhiteWon) != 0;
        m.GameIds.push_back(game);
    }
    for (LibraryMove& m : out.Moves) {
        if (!std::is_sorted(m.GameIds.begin(), m.GameIds.end())) std::sort(m.GameIds.begin(), m.GameIds.end());
    }
    std::stable_sort(out.Moves.begin(), out.Moves.end(),
                     [](const LibraryMove& a, const LibraryMove& b) { return a.Games > b.Games; });
    return out;
}

void LibraryIndex::noteFacts() {
    facts_.resize(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) {
        const LibraryRecord& r = records_[i];
        facts_[i] = r.Status != RecordStatus::Indexed
                        ? 0
                        : static_cast<uint8_t>((r.BoardSize & SizeBits) | (r.blackWon() ? BlackWon : 0) |
                                               (r.whiteWon() ? WhiteWon : 0));
    }
    facts_.shrink_to_fit();
}

size_t LibraryIndex::memoryBytes() const {
    size_t bytes = sizeof(*this) + records_.capacity() * sizeof(LibraryRecord) + hashes_.capacity() * sizeof(uint64_t) +
                   entries_.capacity() * sizeof(uint32_t) + groupStart_.capacity() * sizeof(uint32_t) +
                   facts_.capacity();
    for (const LibraryRecord& r : records_) {
        bytes += heapBytes(r.Path) + heapBytes(r.BlackPlayer) + heapBytes(r.WhitePlayer) + heapBytes(r.GameDate) +
                 heapBytes(r.GameResult);
    }
    return bytes;
}

}  // namespace tavrin::library
