// Starts qx-virtual-mouse as a real process serving in a private folder, and
// reads back its trace and stored state.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

extern char** environ;

namespace qx::test {

struct TraceLine {
    double tMs = 0;
    std::string kind;
    std::string hex;
    bool refused = false;
};

// Reads the lines the virtual mouse wrote; each is one flat JSON object.
inline std::vector<TraceLine> ReadTrace(const std::filesystem::path& path) {
    std::vector<TraceLine> lines;
    std::ifstream in(path);
    std::string line;
    const auto field = [](const std::string& text, const std::string& key) {
        const auto at = text.find("\"" + key + "\": ");
        if (at == std::string::npos) return std::string();
        auto start = at + key.size() + 4;
        if (text[start] == '"') {
            ++start;
            return text.substr(start, text.find('"', start) - start);
        }
        return text.substr(start, text.find_first_of(",}", start) - start);
    };
    while (std::getline(in, line)) {
        TraceLine t;
        t.tMs = std::stod(field(line, "t_ms"));
        t.kind = field(line, "kind");
        t.hex = field(line, "hex");
        t.refused = field(line, "refused") == "true";
        lines.push_back(t);
    }
    return lines;
}

class VirtualMouseProcess {
public:
    // The folder for QX_VIRTUAL_HID_DIR; several mice may share it.
    explicit VirtualMouseProcess(const std::filesystem::path& folder) : folder_(folder) {}
    ~VirtualMouseProcess() { Stop(); }

    std::filesystem::path SocketPath(const std::string& name = "qx-mouse.sock") const {
        return folder_ / name;
    }

    // Starts the program with the options and waits until its socket answers.
    bool Start(std::vector<std::string> options, const std::string& socketName = "qx-mouse.sock") {
        const std::string program = std::string(QX_APP_DIR) + "/qx-virtual-mouse";
        std::vector<std::string> args = {program, "--socket", socketName};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = {"QX_VIRTUAL_HID_DIR=" + folder_.string()};
        for (char** e = environ; *e; ++e)
            if (!std::string(*e).starts_with("QX_VIRTUAL_HID_DIR=")) env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        // The mouse says "serving PATH" on its output once it listens; an
        // end of output before that means it gave up.
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int error =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (error != 0) {
            ::close(out[0]);
            pid_ = -1;
            return false;
        }
        std::string said;
        char buffer[256];
        pollfd p{out[0], POLLIN, 0};
        while (said.find('\n') == std::string::npos && ::poll(&p, 1, 5000) > 0) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0) break;
            said.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(out[0]);
        if (said.find("serving") != std::string::npos) return true;
        Stop();
        return false;
    }

    // Sends the signal and waits; returns the exit status (-1 when not running).
    int Stop(int signal = SIGTERM) {
        if (pid_ <= 0) return exitStatus_;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        exitStatus_ = status;
        return status;
    }

    int Pid() const { return pid_; }

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int exitStatus_ = -1;
};

// Runs a command line with QX_VIRTUAL_HID_DIR set; output and exit code.
inline std::string RunWithFolder(const std::filesystem::path& folder, const std::string& command,
                                 int* exitCode = nullptr) {
    const std::string line = "QX_VIRTUAL_HID_DIR='" + folder.string() + "' " + command + " 2>&1";
    std::string out;
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int status = ::pclose(pipe);
    if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

}  // namespace qx::test
