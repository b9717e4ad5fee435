#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/kifu/FigureCommand.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The helper beside this program (the build folder, an installed bin folder next to its
// libexec), or in ../libexec/tavrin; empty when there is none.
fs::path figureHelper(const char* program) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) self = fs::absolute(program, ec);
    const fs::path dir = self.parent_path();
    for (const fs::path& p : {dir / "tavrin-kifu-figure", dir / ".." / "libexec" / "tavrin" / "tavrin-kifu-figure"})
        if (::access(p.c_str(), X_OK) == 0) return p;
    return {};
}

}  // namespace

int figureCommand(const char* program, const std::vector<std::string>& args) {
    const fs::path helper = figureHelper(program);
    if (helper.empty()) {
        std::fputs("tavrin-kifu: tavrin-kifu-figure, which draws the figures, is not installed\n", stderr);
        return 1;
    }
    std::vector<std::string> words{helper.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    pid_t pid = 0;
    if (::posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("tavrin-kifu: tavrin-kifu-figure");
        return 1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
