// The desktop keyboard layout against a private Xvfb server.
#include <gtest/gtest.h>

#include "platform/XkbKeyboardLayout.h"

#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/KeyTables.h"
#include "tests/common/RunProgram.h"
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

// The key behind a virtual key is the one the tap reports with it, so a key
// recorded on a German keyboard is named as it is printed there.
TEST_F(XkbKeyboardLayoutTest, NamesKeysAsTheActiveLayoutPrintsThem) {
    if (access("/usr/bin/setxkbmap", X_OK) != 0) GTEST_SKIP() << "setxkbmap is not installed";
    const struct {
        const char* layout;
        std::uint32_t vk;
        char32_t character;
    } cases[] = {
        {"de", 0xBA, U'ü'}, {"de", 0xDB, U'ß'}, {"de", 0xC0, U'ö'}, {"de", 0xBD, U'-'},
        {"de", 0x59, U'y'}, {"fr", 0xBE, U';'}, {"fr", 0xDF, U'!'}, {"fr", 0xBD, 0},
        {"fr", 0x31, U'&'}, {"us", 0xBA, U';'},
    };
    for (const auto& c : cases) {
        const auto result = test::RunProgram("/usr/bin/setxkbmap", {"-layout", c.layout},
                                             server.ChildEnvironment());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        char32_t seen = 0;
        for (int i = 0; i < 50 && seen != c.character; ++i) {
            if (i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            seen = layout->KeyCharacter(c.vk);
        }
        EXPECT_EQ(seen, c.character) << c.layout << " " << c.vk;
    }
}

TEST(KeyboardLayoutChoice, BuiltInUsLayoutWithoutADisplay) {
    const auto layout = MakeKeyboardLayout(":9999");
    ASSERT_NE(layout, nullptr);
    EXPECT_NE(dynamic_cast<UsKeyboardLayout*>(layout.get()), nullptr);
    EXPECT_EQ(layout->KeyCharacter(0xBA), U';');
}

}  // namespace
}  // namespace qx
