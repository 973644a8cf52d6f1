#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace qx {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
std::atomic<int> pipeWrite{-1};

extern "C" void OnTerminationSignal(int number) {
    const int saved = errno;
    const int fd = pipeWrite.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

std::unique_ptr<TerminationSignals> TerminationSignals::Install() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
    pipeWrite.store(fds[1]);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) ::sigaction(number, &action, nullptr);
    return std::unique_ptr<TerminationSignals>(new TerminationSignals(fds[0], fds[1]));
}

TerminationSignals::~TerminationSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals) ::sigaction(number, &action, nullptr);
    pipeWrite.store(-1);
    ::close(writeFd_);
    ::close(readFd_);
}

std::vector<int> TerminationSignals::Take() {
    std::vector<int> signals;
    unsigned char buffer[16];
    for (;;) {
        const auto n = ::read(readFd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) signals.push_back(buffer[i]);
    }
    return signals;
}

}  // namespace qx
