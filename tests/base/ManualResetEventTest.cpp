#include "base/ManualResetEvent.h"

#include <gtest/gtest.h>

#include <thread>

namespace qx {
namespace {

using namespace std::chrono_literals;
using Result = ManualResetEvent::WaitResult;

TEST(ManualResetEvent, StaysSetUntilReset) {
    ManualResetEvent event;
    EXPECT_EQ(event.WaitFor(1ms), Result::Timeout);
    event.Set();
    EXPECT_EQ(event.WaitFor(1ms), Result::Signalled);
    EXPECT_EQ(event.WaitFor(1ms), Result::Signalled);  // manual reset: a wait does not clear it
    event.Reset();
    EXPECT_EQ(event.WaitFor(1ms), Result::Timeout);
}

TEST(ManualResetEvent, SetAndCloseWakeAWaiterOnAnotherThread) {
    ManualResetEvent event;
    Result seen = Result::Timeout;
    std::thread waiter([&] { seen = event.Wait(); });
    std::this_thread::sleep_for(10ms);
    event.Set();
    waiter.join();
    EXPECT_EQ(seen, Result::Signalled);

    ManualResetEvent closing;
    std::thread blocked([&] { seen = closing.Wait(); });
    std::this_thread::sleep_for(10ms);
    closing.Close();
    blocked.join();
    EXPECT_EQ(seen, Result::Closed);
    EXPECT_EQ(closing.WaitFor(1s), Result::Closed);  // and at once from then on
}

}  // namespace
}  // namespace qx
