#include "stats/PointerSampler.h"

#include <gtest/gtest.h>

#include <deque>
#include <mutex>

#include "tests/common/RecordingTarget.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Hands out scripted positions, then nothing (as a source without a display).
class ScriptedSource final : public PointerPositionSource {
public:
    explicit ScriptedSource(std::deque<std::optional<PointerPosition>> script)
        : script_(std::move(script)) {}
    std::optional<PointerPosition> ReadPointerPosition() override {
        std::lock_guard lock(mutex_);
        ++reads_;
        if (script_.empty()) return std::nullopt;
        auto next = script_.front();
        script_.pop_front();
        return next;
    }
    int Reads() {
        std::lock_guard lock(mutex_);
        return reads_;
    }

private:
    std::mutex mutex_;
    std::deque<std::optional<PointerPosition>> script_;
    int reads_ = 0;
};

TEST(SharedSamplePoint, HoldsNothingUntilTheFirstSampleThenBothCoordinates) {
    SharedSamplePoint point;
    EXPECT_FALSE(point.Load());
    point.Store({-1920, 1079});
    EXPECT_EQ(point.Load(), (PointerPosition{-1920, 1079}));
    point.Store({0x7FFFFFFF, -0x7FFFFFFF - 1});
    EXPECT_EQ(point.Load(), (PointerPosition{0x7FFFFFFF, -0x7FFFFFFF - 1}));
}

TEST(PointerSampler, EachSampleIsStoredThenAnnounced) {
    ScriptedSource source({PointerPosition{1, 2}, std::nullopt, PointerPosition{5, 6}});
    SharedSamplePoint point;
    test::RecordingTarget target;
    {
        PointerSampler sampler(source, point, target, 1ms);
        sampler.Start();
        ASSERT_EQ(target.WaitFor(2, 5s).size(), 2u);
        while (source.Reads() < 6) std::this_thread::sleep_for(1ms);
    }
    // A read without a position posts nothing.
    const std::vector<test::PostedMessage> expected(2, {kMsgStatsSample, 0, 0});
    EXPECT_EQ(target.Messages(), expected);
    EXPECT_EQ(point.Load(), (PointerPosition{5, 6}));
}

TEST(PointerSampler, SamplesHalfASecondApartAndStopsAtOnce) {
    ScriptedSource source({PointerPosition{1, 1}, PointerPosition{2, 2}, PointerPosition{3, 3}});
    SharedSamplePoint point;
    test::RecordingTarget target;
    auto sampler = std::make_unique<PointerSampler>(source, point, target);
    const auto start = Clock::now();
    sampler->Start();
    ASSERT_EQ(target.WaitFor(2, 5s).size(), 2u);
    EXPECT_GE(Clock::now() - start, kPointerSampleInterval);
    EXPECT_EQ(point.Load(), (PointerPosition{2, 2}));

    // Destroyed in the middle of a pause: the thread is woken and joined.
    const auto stopping = Clock::now();
    sampler.reset();
    EXPECT_LT(Clock::now() - stopping, 200ms);
    const int reads = source.Reads();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(source.Reads(), reads);
}

TEST(PointerSampler, CanBeStartedAgainAfterAStop) {
    ScriptedSource source({PointerPosition{1, 1}, PointerPosition{2, 2}});
    SharedSamplePoint point;
    test::RecordingTarget target;
    PointerSampler sampler(source, point, target);
    sampler.Start();
    sampler.Start();  // already running: one thread
    ASSERT_EQ(target.WaitFor(1, 5s).size(), 1u);
    sampler.Stop();
    EXPECT_FALSE(sampler.Running());
    sampler.Start();
    ASSERT_EQ(target.WaitFor(2, 5s).size(), 2u);
    EXPECT_EQ(point.Load(), (PointerPosition{2, 2}));
}

}  // namespace
}  // namespace qx
