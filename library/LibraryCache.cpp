// The library's cache file. Little-endian throughout:
//
//   header   8 bytes "TVRNLIB\x1a", u32 format version, u32 0, u64 fingerprint of the keys
//   body     text: the program's version
//            u32 record count, then per record: text path, i64 size, i64 time, u8 status,
//              u8 board size, u16 handicap stones, u16 moves, texts black, white, date, result
//            u64 entry count, u64 hash per entry, u32 entry per entry (in the index's order)
//   trailer  u64 checksum of everything before it
//
// A text is a u32 byte count and the bytes. The file is read through a mapping and checked
// whole (checksum first, then every field) before the index takes anything from it.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "game/GameState.h"
#include "library/LibraryIndex.h"

namespace tavrin::library {

namespace fs = std::filesystem;

namespace {

constexpr char Magic[8] = {'T', 'V', 'R', 'N', 'L', 'I', 'B', '\x1a'};
constexpr uint32_t FormatVersion = 1;
constexpr size_t HeaderBytes = 24;
constexpr size_t TrailerBytes = 8;

// v as stored: little-endian.
template <typename T>
T little(T v) {
    if constexpr (std::endian::native == std::endian::big) {
        T r{};
        auto* from = reinterpret_cast<const unsigned char*>(&v);
        auto* to = reinterpret_cast<unsigned char*>(&r);
        for (size_t i = 0; i < sizeof v; ++i) to[i] = from[sizeof v - 1 - i];
        return r;
    }
    return v;
}

// A value that changes whenever the keys behind the hashes would.
uint64_t keyFingerprint() {
    uint64_t f = 0;
    for (const int size : {9, 13, 19}) {
        const SizeKeys& k = sizeKeys(size);
        const int stride = size + 2;
        f = std::rotl(f, 7) ^ k.SizeKey ^ std::rotl(k.WhiteKey, 13);
        f = std::rotl(f, 11) ^ k.Stone[stride + 1][0][0] ^ std::rotl(k.Stone[size * stride + size][1][5], 29);
    }
    return f;
}

// A 64-bit checksum over a stream of bytes, four lanes of eight-byte words. Each step is a
// bijection of its lane for a given word, so a change to any one word always changes that
// lane; the lanes and the length are mixed at the end.
class Checksum {
public:
    void add(const void* data, size_t n) {
        if (n == 0) return;  // an empty array may have no storage at all
        const auto* p = static_cast<const unsigned char*>(data);
        length_ += n;
        if (fill_ > 0) {
            const size_t take = std::min(n, Block - fill_);
            std::memcpy(pending_ + fill_, p, take);
            fill_ += take;
            p += take;
            n -= take;
            if (fill_ < Block) return;
            block(pending_);
            fill_ = 0;
        }
        for (; n >= Block; p += Block, n -= Block) block(p);
        std::memcpy(pending_, p, n);
        fill_ = n;
    }

    uint64_t finish() {
        std::memset(pending_ + fill_, 0, Block - fill_);
        block(pending_);
        uint64_t h = length_ * K1;
        for (const uint64_t lane : lanes_) h = std::rotl(h ^ mix(lane), 27) * K2;
        return mix(h);
    }

private:
    static constexpr size_t Block = 32;
    static constexpr uint64_t K1 = 0x9E3779B97F4A7C15ull;
    static constexpr uint64_t K2 = 0xC2B2AE3D27D4EB4Full;

    static uint64_t mix(uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    static uint64_t word(const unsigned char* p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return little(w);
    }
    void block(const unsigned char* p) {
        for (int i = 0; i < 4; ++i) lanes_[i] = std::rotl(lanes_[i] ^ word(p + 8 * i), 31) * K1;
    }

    uint64_t lanes_[4] = {1, 2, 3, 4};
    unsigned char pending_[Block] = {};
    size_t fill_ = 0;
    uint64_t length_ = 0;
};

bool isSet(const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); }

// Buffered writing to a file descriptor, summing what it writes; it fails once cancel is set.
class CacheWriter {
public:
    CacheWriter(int fd, const std::atomic<bool>* cancel) : fd_(fd), cancel_(cancel) { buf_.reserve(Chunk); }

    void bytes(const void* data, size_t n) {
        sum_.add(data, n);
        raw(data, n);
    }
    template <typename T>
    void number(T v) {
        v = little(v);
        bytes(&v, sizeof v);
    }
    void text(const std::string& s) {
        number(static_cast<uint32_t>(s.size()));
        bytes(s.data(), s.size());
    }
    template <typename T>
    void array(const std::vector<T>& v) {
        if constexpr (std::endian::native == std::endian::little) {
            bytes(v.data(), v.size() * sizeof(T));
        } else {
            for (const T x : v) number(x);
        }
    }
    // The checksum, then everything out to the disk.
    bool finish() {
        const uint64_t s = little(sum_.finish());
        raw(&s, sizeof s);
        flush();
        return ok_;
    }

private:
    static constexpr size_t Chunk = 1 << 20;

    void raw(const void* data, size_t n) {
        const auto* p = static_cast<const char*>(data);
        while (n > 0) {
            const size_t take = std::min(n, Chunk - buf_.size());
            buf_.append(p, take);
            p += take;
            n -= take;
            if (buf_.size() == Chunk) flush();
        }
    }
    void flush() {
        const char* p = buf_.data();
        size_t n = buf_.size();
        if (isSet(cancel_)) ok_ = false;
        while (ok_ && n > 0) {
            const ssize_t put = ::write(fd_, p, n);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                ok_ = false;
                break;
            }
            p += put;
            n -= static_cast<size_t>(put);
        }
        buf_.clear();
    }

    int fd_;
    const std::atomic<bool>* cancel_;
    std::string buf_;
    Checksum sum_;
    bool ok_ = true;
};

// Bounds-checked reading of the mapped file; any read past the end fails the whole read.
class CacheCursor {
public:
    CacheCursor(const unsigned char* p, size_t n) : p_(p), end_(p + n) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return p_ == end_; }
    size_t left() const { return static_cast<size_t>(end_ - p_); }

    template <typename T>
    T number() {
        T v{};
        if (left() < sizeof v) {
            ok_ = false;
            return v;
        }
        std::memcpy(&v, p_, sizeof v);
        p_ += sizeof v;
        return little(v);
    }
    std::string text() {
        const uint32_t n = number<uint32_t>();
        if (!ok_ || n > left()) {
            ok_ = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    template <typename T>
    bool array(std::vector<T>& v, uint64_t count) {
        if (!ok_ || count > left() / sizeof(T)) return ok_ = false;
        v.resize(static_cast<size_t>(count));
        // An empty array has no storage to copy into (a null data pointer).
        if (count > 0) std::memcpy(v.data(), p_, v.size() * sizeof(T));
        p_ += v.size() * sizeof(T);
        if constexpr (std::endian::native == std::endian::big) {
            for (T& x : v) x = little(x);
        }
        return true;
    }

private:
    const unsigned char* p_;
    const unsigned char* end_;
    bool ok_ = true;
};

// A read-only mapping of a whole file.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return;
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
        size_ = static_cast<size_t>(st.st_size);
        void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
        if (m == MAP_FAILED) {
            size_ = 0;
            return;
        }
        data_ = static_cast<const unsigned char*>(m);
    }
    ~MappedFile() {
        if (data_) ::munmap(const_cast<unsigned char*>(data_), size_);
        if (fd_ >= 0) ::close(fd_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return fd_ >= 0; }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    int fd_ = -1;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

bool codeFits(uint32_t code, int size) {
    return code == PassCode || code == NoMoveCode || code < static_cast<uint32_t>(size * size);
}

}  // namespace

bool LibraryIndex::saveCache(const std::string& path, const std::atomic<bool>* cancel) const {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::string temp = folder.string();
    temp.append("/.").append(target.filename().string()).append(".XXXXXX");
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;

    CacheWriter out(fd, cancel);
    out.bytes(Magic, sizeof Magic);
    out.number(FormatVersion);
    out.number(uint32_t{0});
    out.number(keyFingerprint());
    out.text(TAVRIN_FILE_VERSION);
    out.number(static_cast<uint32_t>(records_.size()));
    for (const LibraryRecord& r : records_) {
        out.text(r.Path);
        out.number(r.FileSize);
        out.number(r.FileTime);
        out.number(static_cast<uint8_t>(r.Status));
        out.number(static_cast<uint8_t>(r.BoardSize));
        out.number(static_cast<uint16_t>(r.HandicapCount));
        out.number(static_cast<uint16_t>(r.MoveCount));
        out.text(r.BlackPlayer);
        out.text(r.WhitePlayer);
        out.text(r.GameDate);
        out.text(r.GameResult);
    }
    out.number(static_cast<uint64_t>(hashes_.size()));
    out.array(hashes_);
    out.array(entries_);
    // The file keeps mkostemp's permissions: the cache names the user's files.
    bool ok = out.finish() && !isSet(cancel) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && !isSet(cancel) && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

LibraryIndex::CacheRead LibraryIndex::loadCache(const std::string& path, const std::atomic<bool>* cancel) {
    clear();
    if (isSet(cancel)) return CacheRead::Cancelled;
    const MappedFile file(path);
    if (!file.opened()) return CacheRead::Missing;
    if (!file.data() || file.size() < HeaderBytes + TrailerBytes) return CacheRead::Invalid;
    const size_t body = file.size() - TrailerBytes;
    if (std::memcmp(file.data(), Magic, sizeof Magic) != 0) return CacheRead::Invalid;
    // Summed a megabyte at a time, so that a cancel is seen while a large file is read.
    Checksum sum;
    constexpr size_t Step = size_t{1} << 20;
    for (size_t at = 0; at < body; at += Step) {
        if (isSet(cancel)) return CacheRead::Cancelled;
        sum.add(file.data() + at, std::min(Step, body - at));
    }
    uint64_t stored;
    std::memcpy(&stored, file.data() + body, sizeof stored);
    if (little(stored) != sum.finish()) return CacheRead::Invalid;

    CacheCursor in(file.data() + sizeof Magic, body - sizeof Magic);
    const uint32_t version = in.number<uint32_t>();
    const uint32_t spare = in.number<uint32_t>();
    const uint64_t fingerprint = in.number<uint64_t>();
    if (version != FormatVersion || spare != 0 || fingerprint != keyFingerprint() || in.text() != TAVRIN_FILE_VERSION) {
        return CacheRead::Invalid;
    }

    LibraryIndex read;
    const uint32_t count = in.number<uint32_t>();
    if (!in.ok() || count > static_cast<uint32_t>(MaxRecords)) return CacheRead::Invalid;
    read.records_.reserve(std::min<size_t>(count, in.left() / 40));
    for (uint32_t i = 0; i < count && in.ok(); ++i) {
        if (i % 4096 == 0 && isSet(cancel)) return CacheRead::Cancelled;
        LibraryRecord r;
        r.Path = in.text();
        r.FileSize = in.number<int64_t>();
        r.FileTime = in.number<int64_t>();
        const uint8_t status = in.number<uint8_t>();
        r.BoardSize = in.number<uint8_t>();
        r.HandicapCount = in.number<uint16_t>();
        r.MoveCount = in.number<uint16_t>();
        r.BlackPlayer = in.text();
        r.WhitePlayer = in.text();
        r.GameDate = in.text();
        r.GameResult = in.text();
        if (!in.ok() || r.Path.empty() || status > static_cast<uint8_t>(RecordStatus::Refused) || r.FileSize < 0) {
            return CacheRead::Invalid;
        }
        // The update pairs files and records by walking both in path order.
        if (!read.records_.empty() && !(read.records_.back().Path < r.Path)) return CacheRead::Invalid;
        r.Status = static_cast<RecordStatus>(status);
        if (r.Status == RecordStatus::Indexed && (r.BoardSize < MinBoardSize || r.BoardSize > MaxBoardSize ||
                                                  r.HandicapCount > RecordCapacity || r.MoveCount > RecordCapacity)) {
            return CacheRead::Invalid;
        }
        read.records_.push_back(std::move(r));
    }
    const uint64_t entries = in.number<uint64_t>();
    if (!in.ok() || entries > UINT32_MAX || !in.array(read.hashes_, entries) || !in.array(read.entries_, entries) ||
        !in.atEnd()) {
        return CacheRead::Invalid;
    }
    if (isSet(cancel)) return CacheRead::Cancelled;
    for (const uint32_t e : read.entries_) {
        const uint32_t game = e >> CodeBits;
        if (game >= read.records_.size()) return CacheRead::Invalid;
        const LibraryRecord& r = read.records_[game];
        if (r.Status != RecordStatus::Indexed || !codeFits(e & ((1u << CodeBits) - 1), r.BoardSize)) {
            return CacheRead::Invalid;
        }
    }
    // The directory is made again from the hashes, which must already lie grouped.
    read.countGroups(read.hashes_);
    if (isSet(cancel)) return CacheRead::Cancelled;
    if (!read.checkLayout()) return CacheRead::Invalid;

    read.noteFacts();
    *this = std::move(read);
    return CacheRead::Loaded;
}

}  // namespace tavrin::library
