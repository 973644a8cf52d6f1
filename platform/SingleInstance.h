// One running copy per user. The lock is a listening Unix socket in the
// abstract namespace named after the executable and the user: it vanishes
// with the process (no stale file after a crash), and it is also the channel
// through which a second start wakes the running copy.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace qx {

struct WakeMessage {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

class SingleInstance {
public:
    // "Orvik6E41Driver.exe" with the user id (and $QX_INSTANCE_SUFFIX, which
    // tests use to stay apart from a running utility).
    static std::string DefaultName();

    // The lock for this process, or nullptr when another copy holds it.
    static std::unique_ptr<SingleInstance> Acquire(const std::string& name);
    // Hands the running copy a message; false when nobody listens yet.
    static bool PostToRunning(const std::string& name, const WakeMessage& message);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes readable when a second start connects (for poll or a socket notifier).
    int ListenDescriptor() const { return fd_; }
    // Accepts waiting connections and returns their messages; never blocks.
    std::vector<WakeMessage> TakeMessages();

private:
    explicit SingleInstance(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace qx
