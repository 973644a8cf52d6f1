#include "macro/InputHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/common/RecordingTarget.h"

namespace qx {
namespace {

using test::PostedMessage;
using test::RecordingTarget;

constexpr MouseEvent LeftDown{kWmLButtonDown, 0}, LeftUp{kWmLButtonUp, 0};
constexpr MouseEvent MiddleDown{kWmMButtonDown, 0}, MiddleUp{kWmMButtonUp, 0};
constexpr MouseEvent RightDown{kWmRButtonDown, 0}, RightUp{kWmRButtonUp, 0};
constexpr MouseEvent BackDown{kWmXButtonDown, kMouseDataXButton1};
constexpr MouseEvent BackUp{kWmXButtonUp, kMouseDataXButton1};
constexpr MouseEvent ForwardDown{kWmXButtonDown, kMouseDataXButton2};
constexpr MouseEvent ForwardUp{kWmXButtonUp, kMouseDataXButton2};
constexpr MouseEvent WheelForward{kWmMouseWheel, kMouseDataWheelForward};
constexpr MouseEvent WheelBackward{kWmMouseWheel, kMouseDataWheelBackward};
constexpr MouseEvent Move{kWmMouseMove, 0};

constexpr MouseVerdict Pass{0, false};
constexpr MouseVerdict Swallow{0, true};
constexpr MouseVerdict Reported(std::uint32_t code) {
    return {code, false};
}
constexpr MouseVerdict Held(std::uint32_t code) {
    return {code, true};
}

struct MouseCase {
    std::string name;
    std::vector<std::uint32_t> held;
    bool reportAll;
    std::vector<MouseEvent> events;
    std::vector<MouseVerdict> expected;
};

class MouseProcedure : public testing::TestWithParam<MouseCase> {};

TEST_P(MouseProcedure, ReportsAndHoldsBackAsTheTableSays) {
    const MouseCase& c = GetParam();
    RecordingTarget main;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(main));
    hooks.SetReportAllButtons(c.reportAll);
    for (std::uint32_t code : c.held) hooks.SetButtonIntercept(code, true);

    ASSERT_EQ(c.events.size(), c.expected.size());
    std::vector<PostedMessage> expectedPosts;
    for (std::size_t i = 0; i < c.events.size(); ++i) {
        EXPECT_EQ(hooks.MouseHookProc(c.events[i]), c.expected[i]) << "event " << i;
        if (c.expected[i].reported != 0)
            expectedPosts.push_back({kMsgHookButton, c.expected[i].reported, 0});
    }
    EXPECT_EQ(main.Messages(), expectedPosts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseProcedure,
    testing::Values(MouseCase{"HeldLeftClickReportedOnceAndSwallowed",
                              {kEventLeft},
                              true,
                              {LeftDown, LeftUp},
                              {Held(kEventLeft), Swallow}},
                    MouseCase{"RightClickReportedAndPassed",
                              {},
                              true,
                              {RightDown, RightUp},
                              {Reported(kEventRight), Pass}},
                    MouseCase{"NothingReportedWhenReportAllIsOff",
                              {},
                              false,
                              {RightDown, RightUp, WheelForward, BackDown},
                              {Pass, Pass, Pass, Pass}},
                    MouseCase{"HeldButtonReportedEvenWhenReportAllIsOff",
                              {kEventMiddle},
                              false,
                              {MiddleDown, MiddleUp, LeftDown},
                              {Held(kEventMiddle), Swallow, Pass}},
                    MouseCase{"WheelDirectionsFromTheSignOfMouseData",
                              {},
                              true,
                              {WheelForward, WheelBackward, MouseEvent{kWmMouseWheel, 0}},
                              {Reported(kEventWheelForward), Reported(kEventWheelBackward),
                               Reported(kEventWheelForward)}},
                    MouseCase{"HeldWheelStepSwallowsOnlyThatStepAndNoRelease",
                              {kEventWheelForward},
                              true,
                              {WheelForward, WheelBackward, LeftUp, WheelForward},
                              {Held(kEventWheelForward), Reported(kEventWheelBackward), Pass,
                               Held(kEventWheelForward)}},
                    MouseCase{"ExtraButtonsCarryTheirNumberAndReleasePasses",
                              {},
                              true,
                              {BackDown, BackUp, ForwardDown, ForwardUp},
                              {Reported(kEventBack), Pass, Reported(kEventForward), Pass}},
                    MouseCase{"HeldBackSwallowsItsReleaseOnly",
                              {kEventBack},
                              true,
                              {BackDown, BackUp, ForwardDown, ForwardUp},
                              {Held(kEventBack), Swallow, Reported(kEventForward), Pass}},
                    // A second held press replaces the pending release: the first
                    // button's release reaches the applications.
                    MouseCase{"LaterHeldPressTakesOverThePendingRelease",
                              {kEventLeft, kEventForward},
                              true,
                              {LeftDown, ForwardDown, LeftUp, ForwardUp},
                              {Held(kEventLeft), Held(kEventForward), Pass, Swallow}},
                    MouseCase{"HeldRightAfterHeldLeft",
                              {kEventLeft, kEventRight},
                              true,
                              {LeftDown, RightDown, LeftUp, RightUp, RightUp},
                              {Held(kEventLeft), Held(kEventRight), Pass, Swallow, Pass}},
                    MouseCase{
                        "MovesAndUnpendingReleasesPass",
                        {kEventLeft},
                        true,
                        {Move, LeftUp, RightUp, MouseEvent{kWmMouseHWheel, kMouseDataWheelForward}},
                        {Pass, Pass, Pass, Pass}},
                    MouseCase{"MovesBetweenPressAndReleaseKeepThePending",
                              {kEventRight},
                              true,
                              {RightDown, Move, Move, RightUp},
                              {Held(kEventRight), Pass, Pass, Swallow}},
                    // An extra button with an unexpected number forms a code of its own.
                    MouseCase{"UnknownExtraButtonNumberIsItsOwnCode",
                              {kEventBack},
                              true,
                              {MouseEvent{kWmXButtonDown, 0x00030000}, BackUp},
                              {Reported(0x0003020B), Pass}}),
    [](const testing::TestParamInfo<MouseCase>& info) { return info.param.name; });

TEST(MouseProcedure, ReleaseOfAHeldPressIsSwallowedEvenAfterTheCodeIsCleared) {
    InputHooks hooks;
    hooks.SetButtonIntercept(kEventLeft, true);
    EXPECT_EQ(hooks.MouseHookProc(LeftDown), Held(kEventLeft));
    hooks.SetButtonIntercept(kEventLeft, false);
    EXPECT_EQ(hooks.MouseHookProc(LeftUp), Swallow);
    EXPECT_EQ(hooks.PendingRelease(), 0u);
    EXPECT_EQ(hooks.MouseHookProc(LeftDown), Reported(kEventLeft));
}

TEST(InterceptTable, AddsOnceIntoTheFirstEmptyEntryAndDropsTheThirteenth) {
    InputHooks hooks;
    for (std::uint32_t code = 1; code <= 13; ++code) hooks.SetButtonIntercept(code, true);
    auto table = hooks.MouseInterceptTable();
    for (int i = 0; i < kInterceptTableSize; ++i) EXPECT_EQ(table[i], std::uint32_t(i + 1));
    EXPECT_FALSE(hooks.IsIntercepted(13));

    hooks.SetButtonIntercept(5, false);
    hooks.SetButtonIntercept(3, false);
    hooks.SetButtonIntercept(99, false);  // absent: nothing changes
    hooks.SetButtonIntercept(7, true);    // present: not added twice
    hooks.SetButtonIntercept(kEventBack, true);
    table = hooks.MouseInterceptTable();
    EXPECT_EQ(table[2], kEventBack);  // the first empty entry
    EXPECT_EQ(table[4], 0u);
    EXPECT_EQ(std::count(table.begin(), table.end(), 7u), 1);

    hooks.SetButtonIntercept(0, true);  // 0 marks an empty entry and is never stored
    EXPECT_EQ(hooks.MouseInterceptTable()[4], 0u);
}

TEST(KeyboardProcedure, ForwardsEveryPressRepeatAndReleaseWhileOn) {
    RecordingTarget main;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(main));
    hooks.KeyboardHookProc({0x41, 0});
    hooks.KeyboardHookProc({0x41, 0});  // automatic repeat
    hooks.KeyboardHookProc({0x41, kKeyFlagUp});
    hooks.KeyboardHookProc({0xA5, kKeyFlagExtended | kKeyFlagAltDown | kKeyFlagInjected});
    hooks.SetKeyForwarding(false);
    hooks.KeyboardHookProc({0x42, 0});
    const auto posts = main.Messages();
    ASSERT_EQ(posts.size(), 4u);
    EXPECT_EQ(posts[0], (PostedMessage{kMsgHookKey, 0x41, 0}));
    EXPECT_EQ(posts[1], (PostedMessage{kMsgHookKey, 0x41, 0}));
    EXPECT_EQ(posts[2], (PostedMessage{kMsgHookKey, 0x41, 0x80}));
    EXPECT_EQ(posts[3], (PostedMessage{kMsgHookKey, 0xA5, 0x31}));
}

TEST(HookTarget, APageHoldsBothReportsUntilForwardingIsSwitchedOff) {
    RecordingTarget main, page;
    InputHooks hooks;
    hooks.InstallInputHooks(Unowned(main));
    hooks.SetButtonIntercept(kEventMiddle, true);

    hooks.SetHookTarget(Unowned(page));
    hooks.SetKeyForwarding(true);
    hooks.KeyboardHookProc({0x20, 0});
    hooks.MouseHookProc(RightDown);
    hooks.MouseHookProc(MiddleDown);
    hooks.SetKeyForwarding(false);
    hooks.MouseHookProc(RightDown);
    hooks.KeyboardHookProc({0x20, kKeyFlagUp});

    EXPECT_EQ(page.Messages(), (std::vector<PostedMessage>{{kMsgHookKey, 0x20, 0},
                                                           {kMsgHookButton, kEventRight, 0},
                                                           {kMsgHookButton, kEventMiddle, 0}}));
    EXPECT_EQ(main.Messages(), (std::vector<PostedMessage>{{kMsgHookButton, kEventRight, 0}}));
    EXPECT_EQ(hooks.HookTarget().get(), &main);
}

// Stands in for a platform tap.
class FakeTap final : public InputTap {
public:
    bool Start(InputHooks&) override {
        ++starts;
        return startResult;
    }
    void Stop() override { ++stops; }
    void InterceptsChanged() override { ++changes; }
    bool startResult = true;
    int starts = 0, stops = 0, changes = 0;
};

TEST(Installation, ReportsTheTapAndTellsItOnlyOfRealTableChanges) {
    RecordingTarget main;
    FakeTap tap;
    InputHooks hooks(&tap);
    EXPECT_TRUE(hooks.InstallInputHooks(Unowned(main)));
    EXPECT_TRUE(hooks.Installed());
    EXPECT_EQ(hooks.HookTarget().get(), &main);

    hooks.SetButtonIntercept(kEventLeft, true);
    hooks.SetButtonIntercept(kEventLeft, true);
    hooks.SetButtonIntercept(kEventRight, false);
    hooks.SetButtonIntercept(kEventLeft, false);
    EXPECT_EQ(tap.changes, 2);

    EXPECT_TRUE(hooks.RemoveInputHooks());
    EXPECT_EQ(tap.stops, 1);
    EXPECT_FALSE(hooks.Installed());

    tap.startResult = false;
    EXPECT_FALSE(hooks.InstallInputHooks(Unowned(main)));
    // Without a running tap the module still decides: the caller does not act
    // on the result, and the hooks come back with the next install.
    EXPECT_EQ(hooks.MouseHookProc(RightDown), Reported(kEventRight));

    InputHooks noTap;
    EXPECT_FALSE(noTap.InstallInputHooks(Unowned(main)));
}

}  // namespace
}  // namespace qx
