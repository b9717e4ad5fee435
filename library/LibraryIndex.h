#pragma once
// The library: every record file under a set of folders, read with the program's own readers,
// and every position of each game's main line under its key (PositionHash.h), so that the
// games passing through a position and what they played next are found at once.
//
// Layout: one record per file, sorted by path; a game's number is its record's index. The
// positions are two parallel arrays, Hashes and Entries, grouped by the top bits of the hash
// (a directory of group starts finds a hash's group); an entry is the game's number shifted
// over the next move's code, the move turned to the canonical image. Entries keep the order
// they were made in (a game's positions together, from its first move on) through every
// update and the cache, so where a game passes through a key twice its entries for it lie
// one after the other within the group, the first pass first; a query counts that one.
//
// Not thread-safe: one thread at a time updates or queries an index. The window's worker
// updates an index of its own and hands it over by moving it. Limits: MaxRecords files, and
// fewer than 2^32 positions.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/PositionHash.h"

namespace tavrin::library {

enum class RecordStatus : uint8_t {
    Indexed,  // read: a game of the library
    Refused,  // the readers refused it (or it is empty); skipped, kept so it is not read again
};

// One record file under the library's folders.
struct LibraryRecord {
    std::string Path;
    int64_t FileSize = 0;
    int64_t FileTime = 0;  // modification time, nanoseconds since the epoch
    RecordStatus Status = RecordStatus::Refused;
    // For an indexed game:
    std::string BlackPlayer;
    std::string WhitePlayer;
    std::string GameDate;    // "yyyy-mm-dd" or empty
    std::string GameResult;  // as the record has it, e.g. "B+R", "W+0.5"
    int BoardSize = 0;
    int HandicapCount = 0;  // handicap and setup stones
    int MoveCount = 0;

    bool blackWon() const { return GameResult.starts_with("B+"); }
    bool whiteWon() const { return GameResult.starts_with("W+"); }
};

// What an update did.
struct LibraryUpdate {
    int Found = 0;           // record files under the folders
    int Read = 0;            // files read this time (new or changed)
    int Unchanged = 0;       // records kept without reading (same size and time)
    int Dropped = 0;         // records whose files are gone, or changed and not read again
    int Unreadable = 0;      // files that could not be opened or read (tried again next time)
    int MissingFolders = 0;  // folders that do not exist or are no folders
    int Skipped = 0;         // files beyond MaxRecords or the room for positions, left out
    bool Cancelled = false;  // stopped early: the index holds what was read by then

    // Whether the index differs from what it was before: records read and kept, or dropped.
    bool changed() const { return Read > Unreadable || Dropped > 0; }
};

// One next move found at a position.
struct LibraryMove {
    int Pos = 0;  // Tavrin's position in the query's orientation, PassPos for a pass
    int Games = 0;
    int BlackWins = 0;
    int WhiteWins = 0;
    std::vector<int> GameIds;  // ascending
};

// The games passing through a position.
struct LibraryExploration {
    int Games = 0;                   // games passing through it, each once
    std::vector<LibraryMove> Moves;  // by Games descending, then reading order, a pass last
    std::vector<int> EndedGames;     // games that end at it, ascending
};

class LibraryIndex {
public:
    // Game numbers take 22 bits of an entry.
    static constexpr int MaxRecords = 1 << (32 - CodeBits);

    using Progress = std::function<void(int done, int total)>;

    // Brings the index up to the record files (.sgf and .ngf in any case) under folders:
    // files of the same size and modification time keep their records, new and changed ones
    // are read, records of files no longer found are dropped. Folders are walked without
    // following links to folders; a file found through two folders counts once. progress, when
    // given, is called with (0, total) before reading and (done, total) after each file read,
    // total being the files to read. cancel, when given, is looked at before each file; once
    // set, no further file is read, and the index holds the unchanged records and the files
    // read so far (the rest are read by the next update). The walk through the folders looks
    // at it too: a walk cut short leaves the index as it was.
    LibraryUpdate update(const std::vector<std::string>& folders, const std::atomic<bool>* cancel = nullptr,
                         const Progress& progress = {});

    // Empties the index.
    void clear();

    const std::vector<LibraryRecord>& records() const { return records_; }
    const LibraryRecord& record(int id) const { return records_[static_cast<size_t>(id)]; }
    int indexedCount() const;
    int refusedCount() const;
    size_t positionCount() const { return hashes_.size(); }

    // The games passing through the position of key and the moves they played next, turned
    // into the orientation of the position key was made from. Where that position maps onto
    // itself, moves its symmetries map onto each other are one, at the first of them in
    // reading order.
    LibraryExploration explore(const PositionKey& key) const;

    // The bytes the index holds in memory (arrays and strings, as allocated). About 12 bytes
    // a position and 200 a record; the cache file takes a little less.
    size_t memoryBytes() const;

    // Writes the index to a cache file at path (its folder is made when missing): a new file
    // beside it, written, flushed to the disk and renamed over it. False when it could not be
    // written, or cancel (when given) was set before it was done; the old file then stays as
    // it was.
    bool saveCache(const std::string& path, const std::atomic<bool>* cancel = nullptr) const;

    // How reading a cache ended.
    enum class CacheRead {
        Loaded,
        Missing,    // no file at path (or it cannot be opened)
        Invalid,    // not a cache of this version, or damaged
        Cancelled,  // cancel was set while it was read
    };
    // Replaces the index by the cache at path, checked whole before it is trusted (its
    // format, this program's version and keys, its checksum, every record and entry). Unless
    // Loaded, the index is left empty, and the next update reads every file. cancel, when
    // given, is looked at as the file is checked and read.
    CacheRead loadCache(const std::string& path, const std::atomic<bool>* cancel = nullptr);

private:
    // Makes hashes_, entries_ and the group directory from the entries, keeping their order
    // within each group.
    void layOut(std::vector<uint64_t>& hashes, std::vector<uint32_t>& entries);
    // groupBits_ for that many hashes, and groupStart_ from how many fall in each group.
    void countGroups(const std::vector<uint64_t>& hashes);
    // Whether hashes_ lies grouped as groupStart_ says.
    bool checkLayout() const;
    // facts_ from records_.
    void noteFacts();
    size_t groupOf(uint64_t hash) const { return groupBits_ == 0 ? 0 : hash >> (64 - groupBits_); }

    // What a query asks of every game it finds, a byte each so they stay in the cache: the
    // board size (0 for a refused record) and who won.
    static constexpr uint8_t SizeBits = 31, BlackWon = 32, WhiteWon = 64;

    std::vector<LibraryRecord> records_;
    std::vector<uint8_t> facts_;
    std::vector<uint64_t> hashes_;
    std::vector<uint32_t> entries_;     // game << CodeBits | next move's code
    std::vector<uint32_t> groupStart_;  // 2^groupBits_ + 1 starts into hashes_
    int groupBits_ = 0;
};

}  // namespace tavrin::library
