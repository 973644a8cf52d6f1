#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qx {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

struct SingleInstance::Client {
    int fd;
    SteadyClock::time_point deadline;
    std::uint8_t wire[4 + 8 + 8];
    std::size_t got;
};

namespace {

constexpr std::size_t kWireSize = 4 + 8 + 8;
constexpr int kMaxAcceptsPerCall = 64;
constexpr char kFolderName[] = "orvik-6e41";

// The user's own folder that nobody else may enter.
bool IsPrivateFolder(const fs::path& folder) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

// Makes the folder (mode 0700) or takes it as it is when it is the user's own
// already; a folder of the user's with access for others is closed first.
bool MakePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return false;
    return IsPrivateFolder(folder);
}

bool SocketAddress(const fs::path& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, text.data(), text.size());
    return true;
}

bool PeerIsThisUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::geteuid();
}

void PutLe(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLe(const std::uint8_t* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{in[i]} << (8 * i);
    return value;
}

}  // namespace

std::string SingleInstance::DefaultName() {
    std::string name = "Orvik6E41Driver.exe";
    if (const char* suffix = std::getenv("QX_INSTANCE_SUFFIX"); suffix && *suffix)
        name += std::string("-") + suffix;
    return name;
}

std::optional<fs::path> SingleInstance::DefaultFolder() {
    // The runtime folder only counts when it is what it should be: the
    // user's own, closed to everybody else.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && IsPrivateFolder(runtime)) {
        const fs::path folder = fs::path(runtime) / kFolderName;
        if (MakePrivateFolder(folder)) return folder;
    }
    fs::path cache;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
        cache = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        cache = fs::path(home) / ".cache";
    else
        return std::nullopt;
    std::error_code error;
    if (!fs::is_directory(cache, error)) {
        fs::create_directories(cache, error);
        if (!error) ::chmod(cache.c_str(), 0700);
    }
    const fs::path folder = cache / kFolderName;
    if (MakePrivateFolder(folder)) return folder;
    return std::nullopt;
}

SingleInstance::Acquired SingleInstance::Acquire(const std::string& name) {
    const auto folder = DefaultFolder();
    if (!folder) return {Outcome::Unavailable, nullptr};
    return Acquire(name, *folder);
}

SingleInstance::Acquired SingleInstance::Acquire(const std::string& name, const fs::path& folder) {
    if (!MakePrivateFolder(folder)) return {Outcome::Unavailable, nullptr};
    const fs::path socketPath = folder / name;
    sockaddr_un address;
    if (!SocketAddress(socketPath, address)) return {Outcome::Unavailable, nullptr};

    // The flock is the lock: it goes with the process, however it ends.
    const fs::path lockPath = folder / (name + ".lock");
    const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0) return {Outcome::Unavailable, nullptr};
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(lockFd);
        return {held ? Outcome::HeldElsewhere : Outcome::Unavailable, nullptr};
    }

    // A socket left by a copy that crashed is stale: the lock says so.
    ::unlink(socketPath.c_str());
    const int listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int pollFd = ::epoll_create1(EPOLL_CLOEXEC);
    epoll_event watch{};
    watch.events = EPOLLIN;
    watch.data.fd = listenFd;
    if (listenFd < 0 || pollFd < 0 ||
        ::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(socketPath.c_str(), 0600) != 0 ||
        ::listen(listenFd, static_cast<int>(kMaxWaitingClients)) != 0 ||
        ::epoll_ctl(pollFd, EPOLL_CTL_ADD, listenFd, &watch) != 0) {
        if (listenFd >= 0) ::close(listenFd);
        if (pollFd >= 0) ::close(pollFd);
        ::unlink(socketPath.c_str());
        ::close(lockFd);
        return {Outcome::Unavailable, nullptr};
    }
    return {Outcome::Held, std::unique_ptr<SingleInstance>(
                               new SingleInstance(lockFd, listenFd, pollFd, socketPath))};
}

bool SingleInstance::PostToRunning(const std::string& name) {
    const auto folder = DefaultFolder();
    return folder && PostToRunning(name, *folder);
}

bool SingleInstance::PostToRunning(const std::string& name, const fs::path& folder) {
    if (!IsPrivateFolder(folder)) return false;
    sockaddr_un address;
    if (!SocketAddress(folder / name, address)) return false;
    // Non-blocking: a running copy whose queue is full is not waited for.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool sent = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        PeerIsThisUser(fd)) {
        std::uint8_t wire[kWireSize];
        PutLe(wire, kWakeMessage.message, 4);
        PutLe(wire + 4, kWakeMessage.wParam, 8);
        PutLe(wire + 12, static_cast<std::uint64_t>(kWakeMessage.lParam), 8);
        sent = ::send(fd, wire, sizeof wire, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof wire);
    }
    ::close(fd);
    return sent;
}

SingleInstance::SingleInstance(int lockFd, int listenFd, int pollFd, fs::path socketPath)
    : lockFd_(lockFd), listenFd_(listenFd), pollFd_(pollFd), socketPath_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() {
    while (!clients_.empty()) Drop(clients_.size() - 1);
    ::close(listenFd_);
    ::close(pollFd_);
    ::unlink(socketPath_.c_str());  // still under the lock: nobody else has bound it
    ::close(lockFd_);
}

void SingleInstance::Drop(std::size_t index) {
    ::close(clients_[index].fd);  // closing also takes it out of the poll set
    clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<WakeMessage> SingleInstance::TakeMessages() {
    std::vector<WakeMessage> messages;
    const auto now = SteadyClock::now();
    for (std::size_t i = clients_.size(); i-- > 0;)
        if (clients_[i].deadline <= now) Drop(i);

    for (int accepted = 0; accepted < kMaxAcceptsPerCall; ++accepted) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.fd = fd;
        if (!PeerIsThisUser(fd) || ::epoll_ctl(pollFd_, EPOLL_CTL_ADD, fd, &watch) != 0) {
            ::close(fd);
            continue;
        }
        if (clients_.size() == kMaxWaitingClients) Drop(0);  // the one waited for longest
        clients_.push_back({fd, now + kClientPatience, {}, 0});
    }

    for (std::size_t i = clients_.size(); i-- > 0;) {
        Client& client = clients_[i];
        const ssize_t n =
            ::recv(client.fd, client.wire + client.got, kWireSize - client.got, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;  // not yet: read when it has
        if (n > 0) client.got += static_cast<std::size_t>(n);
        if (n > 0 && client.got < kWireSize) continue;
        if (client.got == kWireSize) {
            const WakeMessage message = {static_cast<std::uint32_t>(GetLe(client.wire, 4)),
                                         static_cast<WParam>(GetLe(client.wire + 4, 8)),
                                         static_cast<LParam>(GetLe(client.wire + 12, 8))};
            if (message == kWakeMessage) messages.push_back(message);
        }
        Drop(i);
    }
    return messages;
}

}  // namespace qx
