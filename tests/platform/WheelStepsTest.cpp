// Wheel steps from the scroll valuators of raw motion, replayed from values a
// libinput desktop sends (Xvfb has no device that scrolls smoothly).
#include "platform/WheelSteps.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace qx {
namespace {

// A libinput mouse as xf86-input-libinput sets it up: valuators 0/1 move the
// pointer, 2 scrolls horizontally and 3 vertically, 15 per wheel notch.
constexpr int kMouse = 11;
constexpr int kTouchpad = 12;
constexpr int kXTest = 4;
const ScrollAxis kMouseAxes[] = {{2, false, 15}, {3, true, 15}};
const ScrollAxis kInvertedAxes[] = {{2, true, -15}};

// One raw motion: valuator number to value.
using Valuators = std::map<int, double>;

int Replay(WheelSteps& wheel, int device, const Valuators& valuators) {
    std::vector<unsigned char> mask(2, 0);
    std::vector<double> values;
    for (const auto& [number, value] : valuators) {
        mask[number / 8] |= static_cast<unsigned char>(1 << (number % 8));
        values.push_back(value);  // in valuator order, as the server packs them
    }
    return wheel.Motion(device, mask, values);
}

TEST(WheelSteps, OneStepPerIncrementTheRemainderKeptPerDevice) {
    struct Event {
        int device;
        Valuators valuators;
        int steps;  // > 0 forward (button 4), < 0 backward (button 5)
    };
    struct Case {
        const char* what;
        std::vector<Event> events;
    } cases[] = {
        {"a notch towards the user is one step backward", {{kMouse, {{3, 15}}, -1}}},
        {"a notch away is one step forward", {{kMouse, {{3, -15}}, 1}}},
        {"two notches in one event", {{kMouse, {{3, 30}}, -2}}},
        {"a high-resolution wheel: eight eighths make one step",
         {{kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, 0},
          {kMouse, {{3, 1.875}}, -1}}},
        {"scrolling while the pointer moves", {{kMouse, {{0, 4}, {1, -2}, {3, -15}}, 1}}},
        {"half a step back and forth is no step",
         {{kMouse, {{3, 7.5}}, 0}, {kMouse, {{3, -7.5}}, 0}, {kMouse, {{3, 7.5}}, 0}}},
        {"the remainder stays with its device",
         {{kMouse, {{3, 10}}, 0}, {kTouchpad, {{3, 10}}, 0}, {kMouse, {{3, 5}}, -1}}},
        {"an inverted axis", {{kTouchpad, {{2, 15}}, 1}}},
        {"horizontal scrolling is no wheel step", {{kMouse, {{2, 45}}, 0}}},
        {"pointer motion alone", {{kMouse, {{0, 15}, {1, 15}}, 0}}},
        {"a device without scroll axes (XTest)", {{kXTest, {{3, 15}}, 0}}},
        {"a runaway value is cut short", {{kMouse, {{3, 15.0 * 1000}}, -WheelSteps::kMaxSteps}}},
    };
    for (const Case& c : cases) {
        WheelSteps wheel;
        wheel.SetDevice(kMouse, kMouseAxes);
        wheel.SetDevice(kTouchpad, kInvertedAxes);
        std::vector<int> expected, got;
        for (const Event& e : c.events) {
            expected.push_back(e.steps);
            got.push_back(Replay(wheel, e.device, e.valuators));
        }
        EXPECT_EQ(got, expected) << c.what;
    }
}

TEST(WheelSteps, PlainMotionAndButtonWheelsAreToldApart) {
    WheelSteps wheel;
    wheel.SetDevice(kMouse, kMouseAxes);
    const unsigned char motion[] = {0x03};      // valuators 0 and 1
    const unsigned char scrolling[] = {0x0B};   // 0, 1 and 3
    const unsigned char horizontal[] = {0x04};  // 2
    EXPECT_FALSE(wheel.CarriesScroll(kMouse, motion));
    EXPECT_TRUE(wheel.CarriesScroll(kMouse, scrolling));
    EXPECT_TRUE(wheel.CarriesScroll(kMouse, horizontal));
    EXPECT_FALSE(wheel.CarriesScroll(kXTest, scrolling));
    // The raw buttons 4/5 count only for devices that have no vertical axis.
    EXPECT_TRUE(wheel.ScrollsByValuator(kMouse));
    EXPECT_FALSE(wheel.ScrollsByValuator(kXTest));
    EXPECT_FALSE(wheel.ScrollsByValuator(-1));
    EXPECT_FALSE(wheel.ScrollsByValuator(4000));
}

TEST(WheelSteps, ReadingTheDevicesAgainKeepsAPartialStep) {
    WheelSteps wheel;
    wheel.SetDevice(kMouse, kMouseAxes);
    EXPECT_EQ(Replay(wheel, kMouse, {{3, 10}}), 0);
    wheel.SetDevice(kMouse, kMouseAxes);  // a device list read after a hot-plug
    EXPECT_EQ(Replay(wheel, kMouse, {{3, 5}}), -1);
    // A device that went away takes its axes with it; its id may come back
    // as a device that has none.
    wheel.SetDevice(kMouse, {});
    EXPECT_FALSE(wheel.ScrollsByValuator(kMouse));
    EXPECT_EQ(Replay(wheel, kMouse, {{3, 15}}), 0);
    // An axis without an increment would make any movement endless steps.
    const ScrollAxis broken[] = {{3, true, 0}};
    wheel.SetDevice(kMouse, broken);
    EXPECT_EQ(Replay(wheel, kMouse, {{3, 15}}), 0);
}

}  // namespace
}  // namespace qx
