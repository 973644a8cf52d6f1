// A message target that keeps every posted message; safe to post from the
// input tap's or the writer's thread while a test waits for the messages.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "base/Messages.h"

namespace qx::test {

struct PostedMessage {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
    bool operator==(const PostedMessage&) const = default;
};

class RecordingTarget final : public MessageTarget {
public:
    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        std::lock_guard lock(mutex_);
        messages_.push_back({message, wParam, lParam});
        arrived_.notify_all();
    }
    std::vector<PostedMessage> Messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }
    // Waits until a message with this number has arrived.
    bool WaitForMessage(std::uint32_t message, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, timeout, [&] {
            for (const auto& m : messages_)
                if (m.message == message) return true;
            return false;
        });
    }
    // Waits until at least count messages have arrived; returns them.
    std::vector<PostedMessage> WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<PostedMessage> messages_;
};

}  // namespace qx::test
