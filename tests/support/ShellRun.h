#pragma once
// Runs a shell command line for a test and keeps its exit code and standard output.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tavrin::test {

struct ShellRun {
    int exitCode = -1;  // -1 when it could not be started or did not exit
    std::string out;
};

inline ShellRun runShell(const std::string& command) {
    ShellRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace tavrin::test
