// The desktop keyboard layout against a private Xvfb server.
#include <gtest/gtest.h>

#include "platform/XkbKeyboardLayout.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/KeyTables.h"

// X11 last: its macros (None, Status, ...) would break the test framework.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

extern char** environ;

namespace qx {
namespace {

// Starts Xvfb on a display number of its own choice (-displayfd).
class XvfbServer {
public:
    XvfbServer() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen",  "0",
                              "640x480x24", "-nolisten",  "tcp",      "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int rc =
            posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            pid_ = 0;
            ::close(fds[0]);
            return;
        }
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string name_;
};

class XkbKeyboardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (server.Name().empty()) GTEST_SKIP() << "Xvfb is not available";
        layout = XkbKeyboardLayout::Open(server.Name().c_str());
        ASSERT_NE(layout, nullptr);
    }
    XvfbServer server;
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
