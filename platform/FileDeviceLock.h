// A device lock kept in a file: the hidraw node itself, or a file beside the
// virtual mouse's socket. Every program that writes to the mouse locks the
// same file, whoever runs it.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>

#include "base/FileLock.h"
#include "device/HidBackend.h"

namespace qx {

class FileDeviceLock final : public HidDeviceLock {
public:
    explicit FileDeviceLock(FileLock lock) : lock_(std::move(lock)) {}

private:
    FileLock lock_;
};

// nullptr when another holder kept the file locked for the whole wait; a lock
// that holds nothing when the file cannot be opened (the writes that follow
// will tell whether the device can be reached at all).
inline std::unique_ptr<HidDeviceLock> LockDeviceFile(const std::filesystem::path& file,
                                                     std::chrono::milliseconds wait,
                                                     FileLock::Create create) {
    FileLock lock = FileLock::Acquire(file, wait, create);
    if (lock.busy()) return nullptr;
    return std::make_unique<FileDeviceLock>(std::move(lock));
}

}  // namespace qx
