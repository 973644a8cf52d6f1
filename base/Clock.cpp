#include "base/Clock.h"

#include <numeric>
#include <thread>

namespace qx {

void RealSleeper::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

std::uint32_t RealClock::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void RecordingSleeper::Sleep(std::chrono::milliseconds duration) {
    {
        std::lock_guard lock(mutex_);
        pauses_.push_back(duration);
    }
    if (clock_) clock_->Advance(duration);
}

std::vector<std::chrono::milliseconds> RecordingSleeper::Pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
}

std::chrono::milliseconds RecordingSleeper::Total() const {
    std::lock_guard lock(mutex_);
    return std::accumulate(pauses_.begin(), pauses_.end(), std::chrono::milliseconds{0});
}

std::uint32_t FakeClock::TickCount() {
    std::lock_guard lock(mutex_);
    return ticks_;
}

void FakeClock::Advance(std::chrono::milliseconds by) {
    std::lock_guard lock(mutex_);
    ticks_ += static_cast<std::uint32_t>(by.count());
}

void FakeClock::Set(std::uint32_t ticks) {
    std::lock_guard lock(mutex_);
    ticks_ = ticks;
}

Sleeper& DefaultSleeper() {
    static RealSleeper sleeper;
    return sleeper;
}

Clock& DefaultClock() {
    static RealClock clock;
    return clock;
}

}  // namespace qx
