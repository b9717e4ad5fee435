#include "formats/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace

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

LoadResult readRecordFile(GameState& g, TextBuffer& buf, const std::string& path) {
    if (path.empty()) return {LoadStatus::NoPath, {}};
    switch (recordKind(path)) {
        case RecordKind::Sgf: return fncFileReadSGF(g, buf, path);
        case RecordKind::Ngf: return fncFileReadNGF(g, buf, path);
        case RecordKind::None: break;
    }
    return LoadResult::refused(NotRecordFile);
}

}  // namespace tavrin
