#include "base/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace qx {
namespace {

constexpr std::chrono::milliseconds kRetryPeriod{20};

int OpenLockFile(const std::filesystem::path& path, FileLock::Create create) {
    // Non-blocking: a FIFO in the lock file's place must not hang the program.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (create == FileLock::Create::IfMissing) {
        const int fd = ::open(path.c_str(), flags | O_CREAT, 0600);
        if (fd >= 0 || errno != EACCES) return fd;
    }
    int fd = ::open(path.c_str(), flags);
    // A device node may be open for writing only.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    return fd;
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_), state_(other.state_) {
    other.fd_ = -1;
    other.state_ = State::Unavailable;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        state_ = other.state_;
        other.fd_ = -1;
        other.state_ = State::Unavailable;
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
    fd_ = -1;
    if (state_ == State::Held) state_ = State::Unavailable;
}

FileLock FileLock::Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait,
                           Create create) {
    FileLock lock;
    const int fd = OpenLockFile(path, create);
    if (fd < 0) return lock;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lock.fd_ = fd;
            lock.state_ = State::Held;
            return lock;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            lock.state_ = State::Busy;
            return lock;
        }
        std::this_thread::sleep_for(kRetryPeriod);
    }
}

FileLock LockDataFolder(const std::filesystem::path& dataFolder, std::chrono::milliseconds wait) {
    return FileLock::Acquire(dataFolder / kDataLockFile, wait);
}

}  // namespace qx
