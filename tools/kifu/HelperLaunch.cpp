#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/kifu/AnalyseCommand.h"
#include "tools/kifu/FigureCommand.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The helper beside this program (the build folder, an installed bin folder next to its
// libexec), or in ../libexec/tavrin; empty when there is none.
fs::path findHelper(const char* program, const char* name) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) self = fs::absolute(program, ec);
    const fs::path dir = self.parent_path();
    for (const fs::path& p : {dir / name, dir / ".." / "libexec" / "tavrin" / name})
        if (::access(p.c_str(), X_OK) == 0) return p;
    return {};
}

// Runs the helper with args and waits for it; its exit code. what: what it does, for the
// message when it is not installed.
int runHelper(const char* program, const char* name, const char* what, const std::vector<std::string>& args) {
    const fs::path helper = findHelper(program, name);
    if (helper.empty()) {
        std::fprintf(stderr, "tavrin-kifu: %s, which %s, is not installed\n", name, what);
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
        std::perror(("tavrin-kifu: " + std::string(name)).c_str());
        return 1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int figureCommand(const char* program, const std::vector<std::string>& args) {
    return runHelper(program, "tavrin-kifu-figure", "draws the figures", args);
}

int analyseCommand(const char* program, const std::vector<std::string>& args) {
    return runHelper(program, "tavrin-kifu-analyse", "runs the engine", args);
}
