// A private X server for one test fixture: Xvfb on a free display number
// (it tells us which through -displayfd), stopped with the fixture.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace qx::test {

inline bool XvfbInstalled() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::filesystem::path dir(std::string(rest.substr(0, colon)));
        if (access((dir / "Xvfb").c_str(), X_OK) == 0) return true;
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return false;
}

class XvfbServer {
public:
    XvfbServer() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            // -displayfd writes the display number to fd 3.
            if (fds[1] == 3)
                fcntl(3, F_SETFD, 0);
            else
                dup2(fds[1], 3);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten",
                   "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        char c = 0;
        while (pid_ > 0 && poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return !display_.empty(); }
    const std::string& Name() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace qx::test
