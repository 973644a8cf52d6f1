// The pointer-sampling thread of the usage statistics: every half second it
// reads the pointer position into the shared sample point and posts
// WM_USER+202 to the trophies page, which adds the distance to the travel.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "base/ManualResetEvent.h"
#include "base/Messages.h"
#include "platform/PointerPosition.h"

namespace qx {

inline constexpr std::chrono::milliseconds kPointerSampleInterval{500};

// The one sample point the thread writes and the page reads. Both
// coordinates travel in one atomic word, so the page never sees x of one
// sample with y of another; a newer sample simply supersedes an unread one.
class SharedSamplePoint {
public:
    void Store(PointerPosition position);
    // Nothing before the first sample.
    std::optional<PointerPosition> Load() const;

private:
    std::atomic<std::uint64_t> packed_{0};
    std::atomic<bool> stored_{false};
};

class PointerSampler {
public:
    // source is read on the sampling thread only; all three must outlive the
    // sampler. Tests pass a short interval.
    PointerSampler(PointerPositionSource& source, SharedSamplePoint& point, MessageTarget& target,
                   std::chrono::milliseconds interval = kPointerSampleInterval);
    // Stops and joins the thread.
    ~PointerSampler();
    PointerSampler(const PointerSampler&) = delete;
    PointerSampler& operator=(const PointerSampler&) = delete;

    // Starts the thread; the first sample is taken at once. No-op while running.
    void Start();
    // Wakes the thread from its pause and waits for it to end.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    void Run();

    PointerPositionSource& source_;
    SharedSamplePoint& point_;
    MessageTarget& target_;
    std::chrono::milliseconds interval_;
    ManualResetEvent stop_;
    std::thread thread_;
};

}  // namespace qx
