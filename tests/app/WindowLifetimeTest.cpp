// Threads post to windows that the user may close at any moment: a hook
// target destroyed while the input tap's thread reports presses to it must
// simply miss those messages (run this under the sanitizer build).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "macro/InputHooks.h"
#include "tests/common/UiTestSupport.h"

namespace qx {
namespace {

TEST(WindowLifetime, AHookTargetDestroyedWhileTheTapReportsToIt) {
    InputHooks hooks;  // the tap's thread is played by the thread below
    test::RecordingWindow main;
    hooks.InstallInputHooks(main.Handle());
    std::atomic<bool> stop{false};
    std::atomic<long> reported{0};
    std::thread tap([&] {
        while (!stop.load()) {
            if (hooks.MouseHookProc({kWmLButtonDown, 0}).reported != 0) ++reported;
            hooks.MouseHookProc({kWmLButtonUp, 0});
            hooks.KeyboardHookProc({0x41, 0});
        }
    });
    for (int round = 0; round < 200; ++round) {
        auto page = std::make_unique<test::RecordingWindow>();
        hooks.SetHookTarget(page->Handle());
        // Let the tap's thread post to the page a few times.
        const long before = reported.load();
        for (int spin = 0; spin < 100000 && reported.load() < before + 3; ++spin)
            std::this_thread::yield();
        test::Pump();
        // The window goes while the target still names it; later posts to
        // its handle are dropped.
        page.reset();
        test::Pump();
        hooks.SetHookTarget(main.Handle());
    }
    // Reports after the last round reach the main window again.
    const long before = reported.load();
    for (int spin = 0; spin < 1000000 && reported.load() < before + 3; ++spin)
        std::this_thread::yield();
    stop = true;
    tap.join();
    test::Pump();
    EXPECT_GT(reported.load(), 0);
    EXPECT_FALSE(main.Of(kMsgHookButton).empty());
}

TEST(WindowLifetime, ADetachedHandleDropsEveryPost) {
    TargetHandle handle;
    {
        test::RecordingWindow window;
        handle = window.Handle();
        handle->PostMessage(kMsgHint, 0, 1);
        test::Pump();
        EXPECT_EQ(window.Of(kMsgHint).size(), 1u);
        handle->PostMessage(kMsgHint, 0, 2);  // pending when the window goes
    }
    handle->PostMessage(kMsgHint, 0, 3);
    test::Pump();  // nothing to deliver, nothing freed is touched
}

}  // namespace
}  // namespace qx
