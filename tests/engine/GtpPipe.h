#pragma once
// A GTP engine on two pipes for tests and measurements (POSIX, no Qt): start a program, write
// lines, read answers with a time limit. The engine's stderr goes to a file that can be read
// back, or to a pipe nobody reads (to show what a full pipe does to an engine).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Gtp.h"

extern char** environ;

namespace tavrin::test {

class GtpPipe {
public:
    enum class Stderr { ToFile, UnreadPipe };

    explicit GtpPipe(const std::vector<std::string>& argv, Stderr err = Stderr::ToFile) {
        ::signal(SIGPIPE, SIG_IGN);  // a dead engine must fail a write, not end the test
        int in[2], out[2], errPipe[2] = {-1, -1};
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        char tmpl[] = "/tmp/gtp-stderr-XXXXXX";
        int errFd = -1;
        if (err == Stderr::ToFile) {
            errFd = ::mkstemp(tmpl);
            stderrPath_ = tmpl;
        } else if (::pipe(errPipe) == 0) {
            errFd = errPipe[1];
            unreadErr_ = errPipe[0];
        }
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        if (errFd >= 0) posix_spawn_file_actions_adddup2(&fa, errFd, 2);
        for (int fd : {in[0], in[1], out[0], out[1], errFd, unreadErr_}) {
            if (fd > 2) posix_spawn_file_actions_addclose(&fa, fd);
        }
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &fa, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(in[0]);
        ::close(out[1]);
        if (errFd >= 0) ::close(errFd);
        toEngine_ = in[1];
        fromEngine_ = out[0];
    }

    ~GtpPipe() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (int fd : {toEngine_, fromEngine_, unreadErr_}) {
            if (fd >= 0) ::close(fd);
        }
        if (!stderrPath_.empty()) std::remove(stderrPath_.c_str());
    }

    GtpPipe(const GtpPipe&) = delete;
    GtpPipe& operator=(const GtpPipe&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Writes a line as it is (a test may send what Tavrin never would). False when the engine
    // no longer reads.
    bool sendRaw(std::string_view line) {
        while (!line.empty()) {
            const ssize_t n = ::write(toEngine_, line.data(), line.size());
            if (n <= 0) return false;
            line.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool send(const gtp::Command& c) {
        const std::string l = c.line();
        const bool ok = sendRaw(l);
        if (ok) sentLines_.push_back(l.substr(0, l.size() - 1));
        return ok;
    }

    // The next answer within timeoutMs; empty on a timeout or when the engine's output ended
    // (closed() tells which).
    std::optional<gtp::Answer> answer(int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (auto a = reader_.next()) return a;
            if (closed_) return std::nullopt;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                    .count();
            if (left <= 0) return std::nullopt;
            pollfd p{fromEngine_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buf[4096];
            const ssize_t n = ::read(fromEngine_, buf, sizeof buf);
            if (n <= 0) {
                closed_ = true;
            } else {
                reader_.feed(std::string_view(buf, static_cast<std::size_t>(n)));
            }
        }
    }

    std::optional<gtp::Answer> ask(const gtp::Command& c, int timeoutMs = 10000) {
        if (!send(c)) return std::nullopt;
        return answer(timeoutMs);
    }

    // Sends each command and checks that every one succeeds; the first failure's text.
    std::optional<std::string> run(const std::vector<gtp::Command>& commands, int timeoutMs = 10000) {
        for (const auto& c : commands) {
            const auto a = ask(c, timeoutMs);
            if (!a) return c.line() + ": no answer";
            if (!a->ok()) return c.line() + ": " + a->text;
        }
        return std::nullopt;
    }

    bool closed() const { return closed_; }

    // Waits up to timeoutMs for the engine to end; its exit status, or -1 while it runs.
    int exitStatus(int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!exited_) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) return -1;
            ::usleep(5000);
        }
        return status_;
    }

    std::string stderrText() const {
        std::ifstream f(stderrPath_, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }

    // The lines written through send(), without their line ends.
    const std::vector<std::string>& sentLines() const { return sentLines_; }

private:
    pid_t pid_ = -1;
    int toEngine_ = -1;
    int fromEngine_ = -1;
    int unreadErr_ = -1;
    std::string stderrPath_;
    gtp::AnswerReader reader_;
    bool closed_ = false;
    bool exited_ = false;
    int status_ = -1;
    std::vector<std::string> sentLines_;
};

}  // namespace tavrin::test
