// A message target that keeps what was posted to it, and can be waited on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "app/Messages.h"

namespace qx::test {

struct Posted {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
    bool operator==(const Posted&) const = default;
};

class RecordingTarget final : public MessageTarget {
public:
    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        {
            std::lock_guard lock(mutex_);
            posted_.push_back({message, wParam, lParam});
        }
        changed_.notify_all();
    }
    std::vector<Posted> Messages() const {
        std::lock_guard lock(mutex_);
        return posted_;
    }
    // Waits until a message with this number has arrived.
    bool WaitFor(std::uint32_t message, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const auto& p : posted_)
                if (p.message == message) return true;
            return false;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Posted> posted_;
};

}  // namespace qx::test
