// Time as the utility sees it. Every pause the mouse needs and every reading of
// the tick count goes through these, so unit tests run instantly with fakes
// and end-to-end tests run in real time.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace qx {

class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, like GetTickCount (wraps at 2^32).
    virtual std::uint32_t TickCount() = 0;
};

class RealSleeper final : public Sleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};

class RealClock final : public Clock {
public:
    std::uint32_t TickCount() override;
};

// Records the requested pauses instead of waiting; optionally advances a fake
// clock by the same amount.
class FakeClock;
class RecordingSleeper final : public Sleeper {
public:
    explicit RecordingSleeper(FakeClock* clock = nullptr) : clock_(clock) {}
    void Sleep(std::chrono::milliseconds duration) override;
    std::vector<std::chrono::milliseconds> Pauses() const;
    std::chrono::milliseconds Total() const;

private:
    FakeClock* clock_;
    mutable std::mutex mutex_;
    std::vector<std::chrono::milliseconds> pauses_;
};

class FakeClock final : public Clock {
public:
    std::uint32_t TickCount() override;
    void Advance(std::chrono::milliseconds by);
    void Set(std::uint32_t ticks);

private:
    std::mutex mutex_;
    std::uint32_t ticks_ = 0;
};

Sleeper& DefaultSleeper();
Clock& DefaultClock();

}  // namespace qx
