// A program started without a shell: its arguments reach it as given, its
// environment is ours with some variables set, and its output comes back
// through pipes. Every wait has a deadline, so a program that hangs cannot
// hang the caller.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qx {

// Variables set (or replaced) on top of the caller's environment.
using EnvironmentSettings = std::vector<std::pair<std::string, std::string>>;

class ChildProcess {
public:
    enum class Stream { Pipe, Inherit, Discard };

    ChildProcess() = default;
    // A child still running is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the program cannot be started (no such file, not executable)
    // or a child is still running.
    bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
               const EnvironmentSettings& environment = {}, Stream out = Stream::Pipe,
               Stream err = Stream::Pipe);

    // The next line of the piped standard output, without its newline;
    // nullopt at the end of the output or when no whole line comes in time.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Appends both piped outputs up to their end; false when the time ran out first.
    bool ReadToEnd(std::string& out, std::string& err, std::chrono::milliseconds timeout);

    // The exit code once the child has ended, 128 + the signal's number when
    // a signal ended it; nullopt when it still runs after the timeout.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // Sends the signal unless the child has ended, then waits for it; the exit
    // code as Wait gives it, -1 when nothing was started.
    int Stop(int signal = SIGTERM);

    bool Running();
    pid_t Pid() const { return pid_; }

private:
    void CloseStreams();

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string pendingOut_;  // read past the last line handed out
    std::optional<int> exitCode_;
};

}  // namespace qx
