// The input tap on a private X server, with input injected through XTest: what
// the hooks report, and what a test window (standing for every other
// application) still receives.
#include <gtest/gtest.h>

#include "platform/X11InputTap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <memory>
#include <thread>
#include <vector>

#include "tests/common/RecordingTarget.h"
#include "tests/common/RunProgram.h"
#include "tests/common/XvfbServer.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using test::PostedMessage;
using test::RecordingTarget;

// What another application sees: a window under the pointer.
struct SeenButton {
    int type;  // ButtonPress or ButtonRelease
    unsigned button;
    bool operator==(const SeenButton&) const = default;
};

class X11InputTapTest : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        injector_ = OpenX11Display(Server().Name().c_str());
        app_ = OpenX11Display(Server().Name().c_str());
        ASSERT_TRUE(injector_ && app_);
        OpenWindow();
        tap_ = std::make_unique<X11InputTap>(Server().Name());
        hooks_ = std::make_unique<InputHooks>(tap_.get());
        ASSERT_TRUE(hooks_->InstallInputHooks(Unowned(main_)));
    }
    void TearDown() override {
        if (hooks_) hooks_->RemoveInputHooks();
    }

    void OpenWindow() {
        Display* dpy = app_.get();
        window_ = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 100, 100, 300, 200, 0, 0, 0);
        XSelectInput(dpy, window_, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
        XMapWindow(dpy, window_);
        XEvent event;
        do XNextEvent(dpy, &event);
        while (event.type != MapNotify);
        XTestFakeMotionEvent(injector_.get(), -1, 250, 200, CurrentTime);
        XSync(injector_.get(), False);
    }

    void Click(unsigned button) {
        XTestFakeButtonEvent(injector_.get(), button, True, CurrentTime);
        XTestFakeButtonEvent(injector_.get(), button, False, CurrentTime);
        XSync(injector_.get(), False);
    }
    void Key(KeySym keysym, bool press) {
        Display* dpy = injector_.get();
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, keysym), press, CurrentTime);
        XSync(dpy, False);
    }

    // Button events the window received within the time given.
    std::vector<SeenButton> WindowButtons(std::chrono::milliseconds wait = 300ms) {
        Display* dpy = app_.get();
        std::vector<SeenButton> seen;
        const auto end = std::chrono::steady_clock::now() + wait;
        while (true) {
            while (XPending(dpy) > 0) {
                XEvent event;
                XNextEvent(dpy, &event);
                if (event.type == ButtonPress || event.type == ButtonRelease)
                    seen.push_back({event.type, event.xbutton.button});
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left <= 0ms) break;
            pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
            poll(&pfd, 1, static_cast<int>(left.count()));
        }
        return seen;
    }

    // The messages posted within a moment: the tap works on its own thread.
    std::vector<PostedMessage> Posted(std::size_t expected) {
        main_.WaitFor(expected, 2s);
        std::this_thread::sleep_for(100ms);  // anything beyond is a fault
        return main_.Messages();
    }

    X11Display injector_, app_;
    Window window_ = 0;
    RecordingTarget main_;
    std::unique_ptr<X11InputTap> tap_;
    std::unique_ptr<InputHooks> hooks_;
};

TEST_F(X11InputTapTest, RightClickIsReportedAndStillDelivered) {
    Click(3);
    EXPECT_EQ(Posted(1), (std::vector<PostedMessage>{{kMsgHookButton, kEventRight, 0}}));
    EXPECT_EQ(WindowButtons(), (std::vector<SeenButton>{{ButtonPress, 3}, {ButtonRelease, 3}}));
}

TEST_F(X11InputTapTest, InterceptedSideButtonIsReportedOnceAndHeldBack) {
    hooks_->SetButtonIntercept(kEventForward, true);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    Click(9);
    Click(1);
    EXPECT_EQ(Posted(2), (std::vector<PostedMessage>{{kMsgHookButton, kEventForward, 0},
                                                     {kMsgHookButton, kEventLeft, 0}}));
    // Neither the side button's press nor its release reached the window; the
    // left click after it did, so the pointer was not left frozen.
    EXPECT_EQ(WindowButtons(), (std::vector<SeenButton>{{ButtonPress, 1}, {ButtonRelease, 1}}));

    hooks_->SetButtonIntercept(kEventForward, false);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    Click(9);
    EXPECT_EQ(WindowButtons(), (std::vector<SeenButton>{{ButtonPress, 9}, {ButtonRelease, 9}}));
}

TEST_F(X11InputTapTest, HeldBackWithNumLockOn) {
    Key(XK_Num_Lock, true);
    Key(XK_Num_Lock, false);
    hooks_->SetButtonIntercept(kEventBack, true);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    Click(8);
    Key(XK_Num_Lock, true);  // back off for the tests after this one
    Key(XK_Num_Lock, false);
    EXPECT_EQ(WindowButtons(), std::vector<SeenButton>{});
    EXPECT_EQ(main_.Messages().at(2), (PostedMessage{kMsgHookButton, kEventBack, 0}));
}

constexpr int kVirtualCorePointer = 2;

// Another program's grab of the same button wins: the tap says so and the
// button is still reported, but it reaches that program.
TEST_F(X11InputTapTest, AButtonHeldByAnotherProgramIsReportedAndLogged) {
    Display* other = app_.get();
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_ButtonPress);
    XISetMask(bits, XI_ButtonRelease);
    XIEventMask mask = {kVirtualCorePointer, sizeof bits, bits};
    XIGrabModifiers modifiers = {static_cast<int>(XIAnyModifier), 0};
    ASSERT_EQ(XIGrabButton(other, kVirtualCorePointer, 8, DefaultRootWindow(other), None,
                           XIGrabModeAsync, XIGrabModeAsync, False, &mask, 1, &modifiers),
              0);
    XSync(other, False);
    testing::internal::CaptureStderr();
    hooks_->SetButtonIntercept(kEventBack, true);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("mouse button 8"), std::string::npos) << log;
    Click(8);
    EXPECT_EQ(Posted(1), (std::vector<PostedMessage>{{kMsgHookButton, kEventBack, 0}}));
    int xiEvents = 0;
    while (XPending(other) > 0) {
        XEvent event;
        XNextEvent(other, &event);
        if (event.type == GenericEvent) ++xiEvents;
    }
    EXPECT_EQ(xiEvents, 2);  // the other program's press and release
}

TEST_F(X11InputTapTest, WheelStepsAreReportedAndAnInterceptedOneIsHeldBack) {
    hooks_->SetButtonIntercept(kEventWheelForward, true);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    Click(4);
    Click(5);
    Click(8);
    EXPECT_EQ(Posted(3), (std::vector<PostedMessage>{{kMsgHookButton, kEventWheelForward, 0},
                                                     {kMsgHookButton, kEventWheelBackward, 0},
                                                     {kMsgHookButton, kEventBack, 0}}));
    EXPECT_EQ(WindowButtons(),
              (std::vector<SeenButton>{
                  {ButtonPress, 5}, {ButtonRelease, 5}, {ButtonPress, 8}, {ButtonRelease, 8}}));
}

TEST_F(X11InputTapTest, GrabsComeBackWithTheNextInstall) {
    hooks_->SetButtonIntercept(kEventMiddle, true);
    ASSERT_TRUE(tap_->WaitForGrabs(2s));
    hooks_->RemoveInputHooks();
    Click(2);  // no hooks: the click passes and nothing is reported
    ASSERT_TRUE(hooks_->InstallInputHooks(Unowned(main_)));
    Click(2);
    EXPECT_EQ(Posted(1), (std::vector<PostedMessage>{{kMsgHookButton, kEventMiddle, 0}}));
    EXPECT_EQ(WindowButtons(), (std::vector<SeenButton>{{ButtonPress, 2}, {ButtonRelease, 2}}));
}

TEST_F(X11InputTapTest, KeysAreForwardedWithTheirFlagsWhileForwardingIsOn) {
    Key(XK_a, true);
    Key(XK_a, false);
    Key(XK_Alt_L, true);
    Key(XK_Right, true);
    Key(XK_Right, false);
    Key(XK_Alt_L, false);
    constexpr std::uint32_t kInjected = kKeyFlagInjected;
    EXPECT_EQ(Posted(6),
              (std::vector<PostedMessage>{
                  {kMsgHookKey, 'A', kInjected},
                  {kMsgHookKey, 'A', kInjected | kKeyFlagUp},
                  {kMsgHookKey, 0xA4, kInjected | kKeyFlagAltDown},
                  {kMsgHookKey, 0x27, kInjected | kKeyFlagAltDown | kKeyFlagExtended},
                  {kMsgHookKey, 0x27, kInjected | kKeyFlagAltDown | kKeyFlagExtended | kKeyFlagUp},
                  {kMsgHookKey, 0xA4, kInjected | kKeyFlagUp},
              }));

    main_.Clear();
    hooks_->SetKeyForwarding(false);
    Key(XK_b, true);
    Key(XK_b, false);
    Click(3);  // buttons are still reported
    EXPECT_EQ(Posted(1), (std::vector<PostedMessage>{{kMsgHookButton, kEventRight, 0}}));
}

// A new keyboard mapping (a layout switch) is picked up at once: the Q key
// given F5 reports VK_F5.
TEST_F(X11InputTapTest, KeysFollowTheKeyboardMapping) {
    Display* dpy = injector_.get();
    const KeyCode keycode = XKeysymToKeycode(dpy, XK_q);
    int perKeycode = 0;
    KeySym* old = XGetKeyboardMapping(dpy, keycode, 1, &perKeycode);
    std::vector<KeySym> saved(old, old + perKeycode);
    XFree(old);
    std::vector<KeySym> remap(perKeycode, NoSymbol);
    remap[0] = XK_F5;
    XChangeKeyboardMapping(dpy, keycode, perKeycode, remap.data(), 1);
    XSync(dpy, False);
    std::this_thread::sleep_for(200ms);
    XTestFakeKeyEvent(dpy, keycode, True, CurrentTime);
    XSync(dpy, False);
    const auto remapped = Posted(1);
    XTestFakeKeyEvent(dpy, keycode, False, CurrentTime);
    XChangeKeyboardMapping(dpy, keycode, perKeycode, saved.data(), 1);
    XSync(dpy, False);
    ASSERT_FALSE(remapped.empty());
    EXPECT_EQ(remapped[0].wParam, WParam{0x74});  // VK_F5
}

// Raw events carry no automatic repeats: a held key is one press and one
// release, which is what the macro recorder keeps of a Windows repeat anyway.
TEST_F(X11InputTapTest, AHeldKeyIsOnePressAndOneRelease) {
    Key(XK_a, true);
    std::this_thread::sleep_for(800ms);
    Key(XK_a, false);
    EXPECT_EQ(Posted(2), (std::vector<PostedMessage>{
                             {kMsgHookKey, 'A', kKeyFlagInjected},
                             {kMsgHookKey, 'A', kKeyFlagInjected | kKeyFlagUp},
                         }));
}

// The keyboard's layout as a user sets it, on a server of its own so that
// the other suites keep the US layout.
class X11InputTapLayoutTest : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        injector_ = OpenX11Display(Server().Name().c_str());
        ASSERT_TRUE(injector_);
        tap_ = std::make_unique<X11InputTap>(Server().Name());
        hooks_ = std::make_unique<InputHooks>(tap_.get());
        ASSERT_TRUE(hooks_->InstallInputHooks(Unowned(main_)));
    }
    void TearDown() override {
        if (hooks_) hooks_->RemoveInputHooks();
        if (injector_) SetLayout("us");
    }

    // setxkbmap has its keymap in place when it returns, and the tap reads the
    // change before any key pressed after it.
    void SetLayout(const std::string& layouts) {
        const auto result = test::RunProgram("/usr/bin/setxkbmap", {"-layout", layouts},
                                             Server().ChildEnvironment());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    void LockGroup(int group) {
        XkbLockGroup(injector_.get(), XkbUseCoreKbd, static_cast<unsigned>(group));
        XSync(injector_.get(), False);
    }

    // The code the tap reports for the key at this position (evdev code).
    WParam Press(int evdev) {
        main_.Clear();
        Display* dpy = injector_.get();
        XTestFakeKeyEvent(dpy, static_cast<unsigned>(evdev + 8), True, CurrentTime);
        XTestFakeKeyEvent(dpy, static_cast<unsigned>(evdev + 8), False, CurrentTime);
        XSync(dpy, False);
        const auto posted = main_.WaitFor(2, 2s);
        return posted.size() == 2 ? posted[0].wParam : 0xFFFF;
    }

    X11Display injector_;
    RecordingTarget main_;
    std::unique_ptr<X11InputTap> tap_;
    std::unique_ptr<InputHooks> hooks_;
};

TEST_F(X11InputTapLayoutTest, KeysReportTheCodesOfTheWindowsLayoutOfTheLanguage) {
    if (access("/usr/bin/setxkbmap", X_OK) != 0) GTEST_SKIP() << "setxkbmap is not installed";
    const struct {
        const char* layout;
        int evdev;
        WParam vk;
        const char* key;
    } cases[] = {
        {"us", 0x1A, 0xDB, "["},
        {"us", 0x0C, 0xBD, "-"},
        {"de", 0x1A, 0xBA, "ü"},
        {"de", 0x0C, 0xDB, "ß"},
        {"de", 0x27, 0xC0, "ö"},
        {"de", 0x15, 'Z', "z of QWERTZ"},
        {"de", 0x2C, 'Y', "y of QWERTZ"},
        {"fr", 0x02, '1', "& of the digit row"},
        {"fr", 0x05, '4', "' of the digit row"},
        {"fr", 0x07, '6', "- of the digit row"},
        {"fr", 0x0B, '0', "à of the digit row"},
        {"fr", 0x10, 'A', "a of AZERTY"},
        {"fr", 0x27, 'M', "m of AZERTY"},
        {"fr", 0x32, 0xBC, ","},
        {"fr", 0x33, 0xBE, ";"},
        {"fr", 0x35, 0xDF, "!"},
        {"it", 0x0C, 0xDB, "'"},
        {"ru", 0x10, 'Q', "й"},
    };
    std::string layout;
    for (const auto& c : cases) {
        if (layout != c.layout) {
            layout = c.layout;
            SetLayout(layout);
        }
        EXPECT_EQ(Press(c.evdev), c.vk) << c.layout << " " << c.key;
    }
}

TEST_F(X11InputTapLayoutTest, ASwitchToAnotherLayoutIsFollowed) {
    if (access("/usr/bin/setxkbmap", X_OK) != 0) GTEST_SKIP() << "setxkbmap is not installed";
    SetLayout("us,de");
    EXPECT_EQ(Press(0x1A), WParam{0xDB});  // [
    LockGroup(1);
    EXPECT_EQ(Press(0x1A), WParam{0xBA});  // ü
    EXPECT_EQ(Press(0x0C), WParam{0xDB});  // ß
    LockGroup(0);
    EXPECT_EQ(Press(0x1A), WParam{0xDB});
}

TEST(X11InputTapNoDisplay, SaysSoOnceAndLeavesTheHooksDeciding) {
    X11InputTap tap(":4999");
    InputHooks hooks(&tap);
    RecordingTarget main;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(hooks.InstallInputHooks(Unowned(main)));
    EXPECT_FALSE(hooks.InstallInputHooks(Unowned(main)));
    hooks.SetButtonIntercept(kEventLeft, true);  // wakes nothing, blocks nothing
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("no X display"), std::string::npos);
    EXPECT_EQ(log.find("no X display"), log.rfind("no X display"));
    EXPECT_EQ(hooks.MouseHookProc({kWmLButtonDown, 0}), (MouseVerdict{kEventLeft, true}));
}

// The X server going away must not take the utility with it (Xlib's default
// is to end the process).
TEST(X11InputTapServerGone, StopsWatchingAndSaysSo) {
    if (!test::XvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed";
    auto server = std::make_unique<test::XvfbServer>();
    ASSERT_TRUE(server->Running());
    X11InputTap tap(server->Name());
    InputHooks hooks(&tap);
    RecordingTarget main;
    ASSERT_TRUE(hooks.InstallInputHooks(Unowned(main)));
    testing::internal::CaptureStderr();
    server.reset();
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (tap.Watching() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(tap.Watching());
    hooks.SetButtonIntercept(kEventLeft, true);  // wakes a thread that has ended
    // Installing again (the mouse plugged in) tries a new connection.
    EXPECT_FALSE(hooks.InstallInputHooks(Unowned(main)));
    EXPECT_FALSE(tap.Running());
    hooks.RemoveInputHooks();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lost the X connection"), std::string::npos) << log;
}

TEST(XButtons, MapOntoTheNativeMessagesAndBack) {
    for (std::uint32_t code : kButtonEventCodes) {
        const int button = XButtonForEventCode(code);
        ASSERT_NE(button, 0) << code;
        InputHooks hooks;
        hooks.SetReportAllButtons(true);
        EXPECT_EQ(hooks.MouseHookProc(MouseEventForXButton(button, true)).reported, code);
    }
    EXPECT_EQ(XButtonForEventCode(0x1234), 0);
    EXPECT_EQ(MouseEventForXButton(4, false).message, 0u);  // no wheel release
    EXPECT_EQ(MouseEventForXButton(8, false).message, kWmXButtonUp);
    EXPECT_EQ(MouseEventForXButton(12, true).message, 0u);
}

}  // namespace
}  // namespace qx
