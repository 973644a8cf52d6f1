// SIGTERM, SIGHUP and SIGINT turned into something an event loop can wait
// for: the handler only writes the signal's number into a pipe, and the loop
// reads it when the pipe becomes readable, so the shutdown runs where every
// other close runs.
#pragma once

#include <memory>
#include <vector>

namespace qx {

class TerminationSignals {
public:
    // Installs the handlers; nullptr when the pipe cannot be made. One at a time.
    static std::unique_ptr<TerminationSignals> Install();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    int Descriptor() const { return readFd_; }
    // The signals that arrived; never blocks.
    std::vector<int> Take();

private:
    TerminationSignals(int readFd, int writeFd) : readFd_(readFd), writeFd_(writeFd) {}
    int readFd_;
    int writeFd_;
};

}  // namespace qx
