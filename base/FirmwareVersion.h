// The mouse's firmware version as the utility last read it. The main thread
// sets it whenever it opens the mouse; the update check thread and the support
// page read it.
#pragma once

#include <atomic>
#include <string>

#include "base/Text.h"

namespace qx {

class FirmwareVersion {
public:
    // A version of 0 counts as none read.
    void Set(int version) { value_.store(version > 0 ? version : 0, std::memory_order_release); }
    void Clear() { value_.store(0, std::memory_order_release); }
    int Value() const { return value_.load(std::memory_order_acquire); }
    // FirmwareVersionText: the version in decimal, empty when none was read.
    std::u16string Text() const {
        const int v = Value();
        return v > 0 ? FromUtf8(std::to_string(v)) : std::u16string();
    }

private:
    std::atomic<int> value_{0};
};

}  // namespace qx
