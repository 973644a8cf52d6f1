// One running copy per user. The lock and the channel through which a second
// start wakes the running copy live in a folder only the user can reach
// ($XDG_RUNTIME_DIR/orvik-6e41, or ~/.cache/orvik-6e41 without a usable
// runtime folder), mode 0700: another user can neither take the name first
// nor talk to the running copy. The lock is an flock on a file there, so a
// crash leaves nothing that blocks the next start; the channel is a Unix
// socket beside it. Both ends check the other's user (SO_PEERCRED), and the
// running copy accepts nothing but the wake message, without ever waiting for
// a client.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
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
    bool operator==(const WakeMessage&) const = default;
};

// The one message a second start sends: the notification icon's double click.
inline constexpr WakeMessage kWakeMessage = {kMsgTrayCallback, 0, kWmLButtonDblClk};

class SingleInstance {
public:
    // "Orvik6E41Driver.exe", with "-$QX_INSTANCE_SUFFIX" when set (tests use
    // it to stay apart from a running utility).
    static std::string DefaultName();
    // The user's private folder for the lock, made (mode 0700) when missing;
    // nullopt when none can be made safe (then no lock is held).
    static std::optional<std::filesystem::path> DefaultFolder();

    enum class Outcome { Held, HeldElsewhere, Unavailable };
    struct Acquired {
        Outcome outcome;
        std::unique_ptr<SingleInstance> instance;  // set when held
    };
    // Takes the lock in `folder`, which must be the user's own with no access
    // for others (it is made so when it is missing).
    static Acquired Acquire(const std::string& name, const std::filesystem::path& folder);
    static Acquired Acquire(const std::string& name);
    // Hands the running copy the wake message; false when nobody of this user
    // listens there.
    static bool PostToRunning(const std::string& name, const std::filesystem::path& folder);
    static bool PostToRunning(const std::string& name);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes readable when a second start connects or sends (for poll or a
    // socket notifier).
    int ListenDescriptor() const { return pollFd_; }
    std::filesystem::path SocketPath() const { return socketPath_; }
    // The wake messages that have arrived. Never blocks: a client that has
    // not sent yet is kept (a few at most, for a second at most) and read
    // when it has.
    std::vector<WakeMessage> TakeMessages();

    static constexpr std::size_t kMaxWaitingClients = 8;
    static constexpr std::chrono::milliseconds kClientPatience{1000};

private:
    struct Client;
    SingleInstance(int lockFd, int listenFd, int pollFd, std::filesystem::path socketPath);
    void Drop(std::size_t index);

    int lockFd_;
    int listenFd_;
    int pollFd_;
    std::filesystem::path socketPath_;
    std::vector<Client> clients_;
};

}  // namespace qx
