// The desktop keyboard layout against a private Xvfb server.
#include <gtest/gtest.h>

#include "platform/XkbKeyboardLayout.h"

#include <chrono>
#include <string>
#include <thread>

#include "base/KeyTables.h"
#include "tests/common/XvfbServer.h"

// X11 last: its macros (None, Status, ...) would break the test framework.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace qx {
namespace {

class XkbKeyboardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Running()) GTEST_SKIP() << "Xvfb is not available";
        layout = XkbKeyboardLayout::Open(server.Name().c_str());
        ASSERT_NE(layout, nullptr);
    }
    test::XvfbServer server;
    std::unique_ptr<XkbKeyboardLayout> layout;
};

TEST_F(XkbKeyboardLayoutTest, ReadsTheServersUsLayout) {
    EXPECT_EQ(layout->KeyCharacter(0xBA), U';');
    EXPECT_EQ(layout->KeyCharacter(0xDE), U'\'');
    EXPECT_EQ(layout->KeyCharacter(0x41), U'a');
    EXPECT_EQ(layout->KeyCharacter(0x20), U' ');
    EXPECT_EQ(layout->KeyCharacter(0x0D), 0u);  // Return types no printable character
    EXPECT_EQ(layout->KeyCharacter(0x01), 0u);  // a mouse button has no key
    EXPECT_EQ(ComboKeyName(0xBA, *layout), u";");
}

TEST_F(XkbKeyboardLayoutTest, FollowsAKeymapChangeMadeByAnotherClient) {
    ASSERT_EQ(layout->KeyCharacter(0xBA), U';');
    Display* other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    KeySym zhe = XK_Cyrillic_zhe;
    XChangeKeyboardMapping(other, 47, 1, &zhe, 1);  // the key right of L
    XSync(other, False);

    char32_t seen = 0;
    for (int i = 0; i < 100 && seen != U'ж'; ++i) {
        seen = layout->KeyCharacter(0xBA);
        if (seen != U'ж') std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(seen, U'ж');
    EXPECT_EQ(KeyName(0xBA, *layout), u"ж");
    XCloseDisplay(other);
}

TEST(KeyboardLayoutChoice, BuiltInUsLayoutWithoutADisplay) {
    const auto layout = MakeKeyboardLayout(":9999");
    ASSERT_NE(layout, nullptr);
    EXPECT_NE(dynamic_cast<UsKeyboardLayout*>(layout.get()), nullptr);
    EXPECT_EQ(layout->KeyCharacter(0xBA), U';');
}

}  // namespace
}  // namespace qx
