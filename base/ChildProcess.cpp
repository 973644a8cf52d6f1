#include "base/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace qx {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

int ExitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Reads what is there; false at the end of the stream (the descriptor is closed).
bool Drain(int& fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    ::close(fd);
    fd = -1;
    return false;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) Stop(SIGKILL);
    CloseStreams();
}

void ChildProcess::CloseStreams() {
    for (int* fd : {&outFd_, &errFd_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool ChildProcess::Start(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const EnvironmentSettings& environment, Stream out, Stream err) {
    if (pid_ > 0) return false;
    CloseStreams();
    pendingOut_.clear();
    exitCode_.reset();

    std::vector<std::string> argStrings{program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        bool replaced = false;
        for (const auto& [name, value] : environment)
            replaced |=
                entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=';
        if (!replaced) envStrings.emplace_back(entry);
    }
    for (const auto& [name, value] : environment) envStrings.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipes[2][2] = {{-1, -1}, {-1, -1}};
    const Stream streams[2] = {out, err};
    bool ok = true;
    for (int i = 0; i < 2 && ok; ++i) {
        const int target = i + 1;
        if (streams[i] == Stream::Pipe) {
            ok = ::pipe2(pipes[i], O_CLOEXEC) == 0;
            if (ok) posix_spawn_file_actions_adddup2(&actions, pipes[i][1], target);
        } else if (streams[i] == Stream::Discard) {
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
        }
    }
    if (ok)
        ok = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    for (auto& pipe : pipes)
        if (pipe[1] >= 0) ::close(pipe[1]);
    if (!ok) {
        for (auto& pipe : pipes)
            if (pipe[0] >= 0) ::close(pipe[0]);
        pid_ = -1;
        return false;
    }
    outFd_ = pipes[0][0];
    errFd_ = pipes[1][0];
    return true;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        const auto newline = pendingOut_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pendingOut_.substr(0, newline);
            pendingOut_.erase(0, newline + 1);
            return line;
        }
        if (outFd_ < 0) return std::nullopt;
        pollfd p{outFd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        Drain(outFd_, pendingOut_);
    }
}

bool ChildProcess::ReadToEnd(std::string& out, std::string& err,
                             std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    out += std::exchange(pendingOut_, {});
    while (outFd_ >= 0 || errFd_ >= 0) {
        pollfd p[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        const int ready = ::poll(p, 2, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        // A closed pipe reports POLLHUP without POLLIN; reading it gives the end.
        if (outFd_ >= 0 && p[0].revents != 0) Drain(outFd_, out);
        if (errFd_ >= 0 && p[1].revents != 0) Drain(errFd_, err);
    }
    return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (exitCode_ || pid_ <= 0) return exitCode_;
    const auto deadline = Clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitCode_ = ExitCode(status);
            pid_ = -1;
            return exitCode_;
        }
        if (done < 0 && errno != EINTR) {
            pid_ = -1;  // not our child any more: nothing left to wait for
            return exitCode_ = -1;
        }
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

int ChildProcess::Stop(int signal) {
    if (pid_ > 0 && !Wait(std::chrono::milliseconds(0))) {
        ::kill(pid_, signal);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        exitCode_ = ExitCode(status);
        pid_ = -1;
    }
    return exitCode_.value_or(-1);
}

bool ChildProcess::Running() {
    return pid_ > 0 && !Wait(std::chrono::milliseconds(0));
}

}  // namespace qx
