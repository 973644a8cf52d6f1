// qxctl apply against the virtual mouse, in real time: what the mouse
// receives, in which order and with which pauses, read from its trace.
#include <gtest/gtest.h>

#include <cstring>

#include "base/FileDialogs.h"
#include "base/Text.h"
#include "macro/MacroStore.h"
#include "profile/ProfileFiles.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"
#include "tests/common/VirtualMouse.h"

namespace qx {
namespace {

using test::ReadTrace;
using test::TempDir;
using test::TraceLine;

class QxctlApplyTest : public ::testing::Test {
protected:
    bool StartMouse(std::vector<std::string> extra = {}) {
        std::vector<std::string> options = {"--version", "12",
                                            "--trace",   (hid / "trace").string(),
                                            "--state",   (hid / "state").string()};
        options.insert(options.end(), extra.begin(), extra.end());
        return mouse.Start(options);
    }

    test::ProgramResult Apply() {
        return test::RunProgram(test::AppProgram("qxctl"),
                                {"--data-dir", data.path().string(), "apply"},
                                mouse.ClientEnvironment());
    }

    // The feature reports' command bytes and the output reports, in order.
    std::vector<std::string> Sequence() const {
        std::vector<std::string> out;
        for (const auto& line : ReadTrace(hid / "trace"))
            out.push_back(line.kind == "output" ? "out" : line.hex.substr(2, 10));
        return out;
    }

    // A data folder whose active profile carries the given changes.
    template <typename Change>
    void PrepareProfile(Change change) {
        RecordingNotifier notifier;
        Localization language;
        auto state = std::make_unique<ProfileState>();
        ProfileFiles files(*state, data.path(), notifier, language);
        files.LoadProfileTable();
        change(*state);
        std::copy(state->macroIds.begin(), state->macroIds.end(), state->ActiveEntry().macroIds);
        ASSERT_TRUE(files.SaveActiveProfile());
        ASSERT_TRUE(files.SaveProfileTable());
    }

    TempDir hid, data;
    test::VirtualMouse mouse{hid.path()};
};

TEST_F(QxctlApplyTest, DefaultProfileGivesTheFixedSequenceWithItsPauses) {
    ASSERT_TRUE(StartMouse());
    const auto r = Apply();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out,
              "progress 0\nprogress 7\nprogress 14\nprogress 21\nprogress 28\nprogress 35\n"
              "progress 42\nprogress 60\nprogress 70\nprogress 75\nprogress 80\nprogress 90\n"
              "progress 100\nok\n");
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"1201004000", "out", "out", "0C0100FF00",
                                                    "0D01050400", "03A0000000", "1101071000", "out",
                                                    "0B01030000", "0101000000"}));
    const auto trace = ReadTrace(hid / "trace");
    ASSERT_EQ(trace.size(), 10u);
    EXPECT_EQ(trace[1].hex.substr(2),
              "0100F0000100F1000100F200070003000100F3000100F4000A0002000C000300");
    EXPECT_EQ(trace[2].hex.substr(2),
              "0000000000000000000000000000000000000000000000000400010004000200");
    EXPECT_GE(trace[1].tMs - trace[0].tMs, 100.0);  // announce, then 100 ms + 50 ms
    EXPECT_GE(trace[2].tMs - trace[1].tMs, 50.0);
    EXPECT_GE(trace[3].tMs - trace[2].tMs, 1500.0);  // the mouse stores the matrix
    // On success the profile is saved.
    EXPECT_EQ(std::filesystem::file_size(data / "Profile/ConfigInfo.cfg"), sizeof(ProfileTable));
    mouse.Stop();
    const auto dump = test::RunProgram(test::AppProgram("qx-virtual-mouse"),
                                       {"--dump", "--state", (hid / "state").string()})
                          .out;
    EXPECT_NE(dump.find("\"key_matrix\": \"0100F0000100F1000100F200"), std::string::npos) << dump;
}

TEST_F(QxctlApplyTest, MacroButtonsGoToSlotsInButtonOrder) {
    {
        RecordingNotifier notifier;
        Localization language;
        RecordingSleeper sleeper;
        NoFileDialogs dialogs;
        MacroTable table;
        MacroStore store(table, data.path(), notifier, sleeper, language, dialogs);
        for (std::uint32_t id : {0x01000001u, 0x01000002u}) {
            MacroEntry entry{};
            entry.tag = kMacroTag;
            entry.id = id;
            entry.loopMode = 1;
            entry.events[0] = MakeEvent(MacroEventKind::KeyPress, id == 0x01000001u ? 0x41 : 0x42);
            entry.eventCount = 1;
            entry.byteSize = 4104;
            ASSERT_TRUE(store.StoreMacroRecord(entry));
        }
    }
    PrepareProfile([](ProfileState& s) {
        s.settings.buttons[4].function = kFunctionMacro;  // assigned first
        s.macroIds[4] = 0x01000001;
        s.settings.buttons[1].function = kFunctionMacro;
        s.macroIds[1] = 0x01000002;
    });
    ASSERT_TRUE(StartMouse());
    const auto r = Apply();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const auto trace = ReadTrace(hid / "trace");
    ASSERT_GT(trace.size(), 42u);
    EXPECT_EQ(trace[0].hex.substr(2, 10), "1301010002");   // button 1's macro (B) into slot 1
    EXPECT_EQ(trace[1].hex.substr(8, 2), "05");            // its first event presses B (usage 0x05)
    EXPECT_EQ(trace[21].hex.substr(2, 10), "1301020002");  // button 4's macro (A) into slot 2
    EXPECT_EQ(trace[22].hex.substr(8, 2), "04");           // A
    for (std::size_t i = 2; i <= 20; ++i) EXPECT_GE(trace[i].tMs - trace[i - 1].tMs, 50.0) << i;
}

TEST_F(QxctlApplyTest, OwnColoursSendTheColourBlockBetweenEffectAndTouch) {
    PrepareProfile([](ProfileState& s) {
        s.settings.ownColours = 1;
        s.settings.colours[0] = 0x00FF00;
    });
    ASSERT_TRUE(StartMouse());
    ASSERT_EQ(Apply().exitCode, 0);
    const auto seq = Sequence();
    const std::vector<std::string> middle(seq.begin() + 4, seq.begin() + 8);
    EXPECT_EQ(middle, (std::vector<std::string>{"0D01050401", "0901002000", "out", "03A0000000"}));
    const auto trace = ReadTrace(hid / "trace");
    EXPECT_EQ(trace[6].hex.substr(2, 18), "00FF00FF0000FF0000");  // slot 0 green, 1 and 2 red
}

// Each step that can refuse gives its code's text, sends nothing more and saves nothing.
TEST_F(QxctlApplyTest, RefusedStepsFailWithTheirTextAndSaveNothing) {
    struct Case {
        const char* command;
        const char* text;
        std::size_t featuresSent;
    };
    const Case cases[] = {
        {"0x12", "write mousekey metix fail.", 1}, {"0x0C", "Write mouse LED color failed.", 2},
        {"0x0D", "Write mouse effect failed.", 3}, {"0x09", "Write LED color123 failed.", 4},
        {"0x03", "Write mouse touch failed.", 5},  {"0x11", "Write mouse DPI failed.", 6},
    };
    PrepareProfile([](ProfileState& s) { s.settings.ownColours = 1; });
    const auto profileBefore = test::ReadBytes(data / "Profile/Profile1.cfg");
    std::filesystem::remove(data / "Profile/ConfigInfo.cfg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        std::filesystem::remove(hid / "trace");
        ASSERT_TRUE(StartMouse({"--refuse", std::string("command:") + c.command}));
        const auto r = Apply();
        mouse.Stop();
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.out.find(std::string("failed: ") + c.text + "\n"), std::string::npos) << r.out;
        std::size_t features = 0;
        for (const auto& line : ReadTrace(hid / "trace")) features += line.kind == "feature";
        EXPECT_EQ(features, c.featuresSent);
        EXPECT_FALSE(std::filesystem::exists(data / "Profile/ConfigInfo.cfg"));
        EXPECT_EQ(test::ReadBytes(data / "Profile/Profile1.cfg"), profileBefore);
    }
}

TEST_F(QxctlApplyTest, NoMouseIsAClearError) {
    const auto r = Apply();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "qxctl: no mouse found\n");
}

}  // namespace
}  // namespace qx
