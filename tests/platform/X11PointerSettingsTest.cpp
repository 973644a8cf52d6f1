// gtest comes before the X headers, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include "platform/X11PointerSettings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/X11Display.h"
#include "tests/common/RunProgram.h"
#include "tests/common/ScopedEnv.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbServer.h"

namespace qx {
namespace {

using test::ScopedEnv;

struct PointerControl {
    int numerator, denominator, threshold;
};

class X11PointerSettingsTest : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        display_ = OpenX11Display(Server().Name().c_str());
        ASSERT_TRUE(display_);
        settings_ = std::make_unique<X11PointerSettings>(Server().Name());
    }

    PointerControl Control() {
        PointerControl c{};
        XGetPointerControl(display_.get(), &c.numerator, &c.denominator, &c.threshold);
        return c;
    }

    int MouseDevice() {
        int count = 0, id = -1;
        XIDeviceInfo* info = XIQueryDevice(display_.get(), XIAllDevices, &count);
        for (int i = 0; i < count; ++i)
            if (std::strcmp(info[i].name, "Xvfb mouse") == 0) id = info[i].deviceid;
        XIFreeDeviceInfo(info);
        return id;
    }

    // The raw bytes of a property of the server's own mouse device.
    std::vector<unsigned char> Property(const char* name) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        const Atom prop = XInternAtom(display_.get(), name, False);
        if (XIGetProperty(display_.get(), MouseDevice(), prop, 0, 16, False, AnyPropertyType, &type,
                          &format, &items, &after, &data) != Success ||
            type == None)
            return {};
        std::vector<unsigned char> bytes(data, data + items * (format / 8));
        XFree(data);
        return bytes;
    }

    float FloatProperty(const char* name) {
        const auto bytes = Property(name);
        float value = -1;
        if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
        return value;
    }

    float Deceleration() { return FloatProperty("Device Accel Constant Deceleration"); }

    // Gives the mouse the two properties a libinput device has (the server
    // stores client-made device properties, though it does not act on them).
    void AddLibinputProperties() {
        Display* dpy = display_.get();
        float speed = 0;
        XIChangeProperty(dpy, MouseDevice(), XInternAtom(dpy, "libinput Accel Speed", False),
                         XInternAtom(dpy, "FLOAT", False), 32, PropModeReplace,
                         reinterpret_cast<unsigned char*>(&speed), 1);
        unsigned char profiles[3] = {1, 0, 0};  // adaptive, flat, custom
        XIChangeProperty(dpy, MouseDevice(),
                         XInternAtom(dpy, "libinput Accel Profile Enabled", False), XA_INTEGER, 8,
                         PropModeReplace, profiles, 3);
        XSync(dpy, False);
    }
    void RemoveLibinputProperties() {
        Display* dpy = display_.get();
        XIDeleteProperty(dpy, MouseDevice(), XInternAtom(dpy, "libinput Accel Speed", False));
        XIDeleteProperty(dpy, MouseDevice(),
                         XInternAtom(dpy, "libinput Accel Profile Enabled", False));
        XSync(dpy, False);
    }

    X11Display display_;
    std::unique_ptr<X11PointerSettings> settings_;
};

TEST_F(X11PointerSettingsTest, PrecisionBecomesTheServersAcceleration) {
    EXPECT_TRUE(settings_->SetMouseAcceleration(kAccelerationEnhanced));
    PointerControl on = Control();
    EXPECT_EQ(on.numerator, 2);
    EXPECT_EQ(on.denominator, 1);
    EXPECT_EQ(on.threshold, 6);

    EXPECT_TRUE(settings_->SetMouseAcceleration(kAccelerationOff));
    PointerControl off = Control();
    EXPECT_EQ(off.numerator, 1);
    EXPECT_EQ(off.denominator, 1);
    EXPECT_EQ(off.threshold, 6);  // no acceleration, so the threshold does not matter
}

TEST_F(X11PointerSettingsTest, SpeedScalesThePointerLikeTheWindowsSpeeds) {
    const struct {
        std::int32_t speed;
        float deceleration;
    } cases[] = {{10, 1.0f}, {20, 1.0f / 3.5f}, {1, 32.0f}, {6, 2.0f}, {14, 0.5f}};
    for (const auto& c : cases) {
        EXPECT_TRUE(settings_->SetMouseSpeed(c.speed)) << c.speed;
        EXPECT_FLOAT_EQ(Deceleration(), c.deceleration) << c.speed;
    }
    // Out of range: refused, the server keeps what it had.
    EXPECT_FALSE(settings_->SetMouseSpeed(0));
    EXPECT_FALSE(settings_->SetMouseSpeed(21));
    EXPECT_FLOAT_EQ(Deceleration(), 0.5f);
}

TEST_F(X11PointerSettingsTest, ApplyingAProfileSetsBothAndSkipsTheLinesOutsideKde) {
    auto profile = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*profile, false);
    profile->enhancePrecision = 1;
    profile->pointerSpeed = 12;
    unsetenv("XDG_CURRENT_DESKTOP");
    ApplyWindowsMouseSettings(*profile, *settings_);
    EXPECT_EQ(Control().numerator, 2);
    EXPECT_FLOAT_EQ(Deceleration(), 1.0f / 1.5f);
    EXPECT_FALSE(settings_->SetWheelScrollLines(3));
}

TEST_F(X11PointerSettingsTest, LibinputDevicesGetTheirProfileAndSpeed) {
    AddLibinputProperties();
    ASSERT_TRUE(settings_->SetMouseSpeed(10));
    const float before = Deceleration();

    EXPECT_TRUE(settings_->SetMouseAcceleration(kAccelerationOff));
    EXPECT_EQ(Property("libinput Accel Profile Enabled"),
              (std::vector<unsigned char>{0, 1, 0}));  // flat
    EXPECT_TRUE(settings_->SetMouseAcceleration(kAccelerationEnhanced));
    EXPECT_EQ(Property("libinput Accel Profile Enabled"),
              (std::vector<unsigned char>{1, 0, 0}));  // adaptive

    EXPECT_TRUE(settings_->SetMouseSpeed(15));
    EXPECT_FLOAT_EQ(FloatProperty("libinput Accel Speed"), 0.5f);
    EXPECT_TRUE(settings_->SetMouseSpeed(1));
    EXPECT_FLOAT_EQ(FloatProperty("libinput Accel Speed"), -0.9f);
    EXPECT_FLOAT_EQ(Deceleration(), before);  // libinput's speed replaces the server's
    RemoveLibinputProperties();
}

// A disabled pointer refuses property changes (libinput answers BadMatch),
// which used to end the process through Xlib's default error handler. It is
// left alone now.
TEST_F(X11PointerSettingsTest, ADisabledPointerIsLeftAlone) {
    AddLibinputProperties();
    ASSERT_TRUE(settings_->SetMouseSpeed(10));
    const auto disable =
        test::RunProgram("/usr/bin/xinput", {"disable", "Xvfb mouse"}, Server().ChildEnvironment());
    if (disable.exitCode != 0) GTEST_SKIP() << "xinput is not installed: " << disable.err;
    EXPECT_FALSE(settings_->SetMouseSpeed(15));  // no pointer took it
    EXPECT_TRUE(settings_->SetMouseAcceleration(kAccelerationOff));
    test::RunProgram("/usr/bin/xinput", {"enable", "Xvfb mouse"}, Server().ChildEnvironment());
    EXPECT_FLOAT_EQ(FloatProperty("libinput Accel Speed"), 0.0f);
    EXPECT_EQ(Property("libinput Accel Profile Enabled"), (std::vector<unsigned char>{1, 0, 0}));
    RemoveLibinputProperties();
}

// A device unplugged between listing and writing answers BadDevice: that
// device fails, the others and the calls after it still run.
TEST_F(X11PointerSettingsTest, ADeviceThatVanishedFailsAloneAndTheNextCallsRun) {
    AddLibinputProperties();
    static constexpr int kGone = 117;
    settings_->OnDevicesListed([](std::vector<int>& devices) {
        devices.insert(devices.begin(), kGone);
        devices.push_back(kGone);
    });
    auto profile = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*profile, false);
    profile->enhancePrecision = 0;
    profile->pointerSpeed = 15;
    ApplyWindowsMouseSettings(*profile, *settings_);
    EXPECT_EQ(Property("libinput Accel Profile Enabled"), (std::vector<unsigned char>{0, 1, 0}));
    EXPECT_FLOAT_EQ(FloatProperty("libinput Accel Speed"), 0.5f);
    EXPECT_TRUE(settings_->SetMouseSpeed(5));
    EXPECT_FLOAT_EQ(FloatProperty("libinput Accel Speed"), -0.5f);

    settings_->OnDevicesListed([](std::vector<int>& devices) { devices = {kGone}; });
    EXPECT_FALSE(settings_->SetMouseSpeed(12));
    RemoveLibinputProperties();
}

TEST(X11PointerSettingsNoDisplay, EveryValueIsSkipped) {
    X11PointerSettings settings(":4999");
    EXPECT_FALSE(settings.SetMouseAcceleration(kAccelerationEnhanced));
    EXPECT_FALSE(settings.SetMouseSpeed(10));
}

TEST(LibinputMapping, SpeedSpreadsOverMinusOneToOne) {
    EXPECT_DOUBLE_EQ(LibinputAccelSpeed(10), 0.0);
    EXPECT_DOUBLE_EQ(LibinputAccelSpeed(20), 1.0);
    EXPECT_DOUBLE_EQ(LibinputAccelSpeed(1), -0.9);
    EXPECT_DOUBLE_EQ(LibinputAccelSpeed(15), 0.5);
}

TEST(KdeScrollLines, WritesKdeglobalsThroughKwriteconfig) {
    test::TempDir dir;
    const auto log = dir / "args";
    test::WriteText(dir / "kwriteconfig5", "#!/bin/sh\necho \"$@\" >> " + log.string() + "\n");
    std::filesystem::permissions(dir / "kwriteconfig5", std::filesystem::perms::owner_all);
    ScopedEnv path("PATH", dir.path().string());
    {
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
        EXPECT_FALSE(SetKdeWheelScrollLines(7));
    }
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_TRUE(SetKdeWheelScrollLines(7));
    EXPECT_FALSE(SetKdeWheelScrollLines(kScrollWholeScreen));  // KDE has no whole-screen value
    EXPECT_FALSE(SetKdeWheelScrollLines(31));
    const auto bytes = test::ReadBytes(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "--file kdeglobals --group KDE --key WheelScrollLines 7\n");

    std::filesystem::remove(dir / "kwriteconfig5");
    EXPECT_FALSE(SetKdeWheelScrollLines(7));
}

}  // namespace
}  // namespace qx
