// An exclusive advisory lock (flock) held across processes, waited for a
// bounded time. It serialises what several programs may do at once to one
// thing: change the data folder, or write to one mouse.
#pragma once

#include <chrono>
#include <filesystem>

namespace qx {

class FileLock {
public:
    enum class State {
        Held,         // this object holds the lock
        Busy,         // another holder kept it for the whole wait
        Unavailable,  // the lock file cannot be opened (a read-only folder, say)
    };
    enum class Create { IfMissing, Never };

    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Locks the file, creating it with mode 0600 when asked to. The lock is
    // tried again every 20 ms until `wait` has passed; a wait of zero tries once.
    static FileLock Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait,
                            Create create = Create::IfMissing);

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    bool busy() const { return state_ == State::Busy; }
    void Release();

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

// The lock of a data folder: every read-modify-write of its files (Macro.cfg,
// the profile files, ConfigInfo.cfg) and the first start's lay-down hold it.
inline constexpr char kDataLockFile[] = "Data.lock";
inline constexpr std::chrono::milliseconds kDataLockWait{10000};
FileLock LockDataFolder(const std::filesystem::path& dataFolder,
                        std::chrono::milliseconds wait = kDataLockWait);

}  // namespace qx
