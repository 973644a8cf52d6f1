#include "stats/PointerSampler.h"

namespace qx {

void SharedSamplePoint::Store(PointerPosition position) {
    const std::uint64_t packed = static_cast<std::uint64_t>(static_cast<std::uint32_t>(position.x))
                                     << 32 |
                                 static_cast<std::uint32_t>(position.y);
    packed_.store(packed, std::memory_order_relaxed);
    stored_.store(true, std::memory_order_release);
}

std::optional<PointerPosition> SharedSamplePoint::Load() const {
    if (!stored_.load(std::memory_order_acquire)) return std::nullopt;
    const std::uint64_t packed = packed_.load(std::memory_order_relaxed);
    return PointerPosition{static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32)),
                           static_cast<std::int32_t>(static_cast<std::uint32_t>(packed))};
}

PointerSampler::PointerSampler(PointerPositionSource& source, SharedSamplePoint& point,
                               MessageTarget& target, std::chrono::milliseconds interval)
    : source_(source), point_(point), target_(target), interval_(interval) {}

PointerSampler::~PointerSampler() {
    Stop();
}

void PointerSampler::Start() {
    if (thread_.joinable()) return;
    stop_.Reset();
    thread_ = std::thread(&PointerSampler::Run, this);
}

void PointerSampler::Stop() {
    if (!thread_.joinable()) return;
    stop_.Set();
    thread_.join();
}

void PointerSampler::Run() {
    do {
        if (const auto position = source_.ReadPointerPosition()) {
            point_.Store(*position);
            target_.PostMessage(kMsgStatsSample, 0, 0);
        }
    } while (stop_.WaitFor(interval_) == ManualResetEvent::WaitResult::Timeout);
}

}  // namespace qx
