#include "formats/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "formats/NgfReader.h"
#include "formats/SgfReader.h"

namespace tavrin {

namespace {

bool endsWithNoCase(const std::string& s, const char* ext) {
    const std::string_view e(ext);
    if (s.size() < e.size()) return false;
    for (size_t i = 0; i < e.size(); ++i) {
        char c = s[s.size() - e.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != e[i]) return false;
    }
    return true;
}

// The cause of a failed call: a permission or the kind of the target refuses the write,
// anything else (no room, an input/output error) makes it fail.
WriteStatus failure(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
        case EROFS:
        case ENOTDIR:
        case EISDIR: return WriteStatus::Refused;
        default: return WriteStatus::Failed;
    }
}

// Writes all bytes to fd, going on after interruptions and short writes.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// The file a path names: a symbolic link is followed to the file it points at (which may
// not exist yet); any other path stands for itself.
bool resolvedTarget(const std::string& path, std::string& out) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        out = path;
        return true;
    }
    char real[PATH_MAX];
    if (::realpath(path.c_str(), real) != nullptr) {
        out = real;
        return true;
    }
    return false;  // a link to nowhere, or a loop of links
}

}  // namespace

WriteStatus writeFileReplacing(const std::string& path, std::string_view bytes) {
    std::string target;
    if (!resolvedTarget(path, target)) return WriteStatus::Failed;

    // The rename would replace a file whose own permissions forbid writing, and as the
    // superuser a device or a pipe: such targets are refused before anything is written.
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return WriteStatus::Refused;
        if (!S_ISREG(old.st_mode)) return WriteStatus::Failed;
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return WriteStatus::Refused;
        if (::access(target.c_str(), W_OK) != 0) return failure(errno);
    }

    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return failure(errno);

    mode_t mode = 0;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // Once the new file exists, whatever goes wrong is a failed write, not a refusal.
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return WriteStatus::Failed;
    }
    // The new name is on the disk once its folder is.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return WriteStatus::Ok;
}

RecordKind recordKind(const std::string& path) {
    if (endsWithNoCase(path, ".sgf")) return RecordKind::Sgf;
    if (endsWithNoCase(path, ".ngf")) return RecordKind::Ngf;
    return RecordKind::None;
}

bool readFileBytes(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    size_t room = 4096;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) room = static_cast<size_t>(st.st_size) + 1;
    // Read straight into the string; the extra byte lets one read see the end of the file.
    out.resize(room);
    size_t length = 0;
    bool ok = true;
    while (true) {
        if (length == out.size()) out.resize(out.size() * 2);
        const ssize_t got = ::read(fd, out.data() + length, out.size() - length);
        if (got > 0) {
            length += static_cast<size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    out.resize(ok ? length : 0);
    return ok;
}

LoadResult loadFileLines(TextBuffer& buf, const std::string& path) {
    if (path.empty()) return {LoadStatus::NoPath, {}};
    thread_local std::string bytes;
    if (!readFileBytes(path, bytes)) return {LoadStatus::CannotOpen, reason::CannotOpen};
    buf.takeFileBytes(bytes);
    if (buf.empty()) return {LoadStatus::Empty, reason::Empty};
    return {};
}

LoadResult readRecordFile(GameState& g, TextBuffer& buf, const std::string& path, RecordTree* tree) {
    if (path.empty()) return {LoadStatus::NoPath, {}};
    switch (recordKind(path)) {
        case RecordKind::Sgf: return fncFileReadSGF(g, buf, path, tree);
        case RecordKind::Ngf: {
            const LoadResult r = fncFileReadNGF(g, buf, path);
            if (r.ok() && tree) {
                tree->reset(g);
                tree->Utf8 = buf.Encoding == TextEncoding::Utf8;
            }
            return r;
        }
        case RecordKind::None: break;
    }
    return LoadResult::refused(NotRecordFile);
}

}  // namespace tavrin
