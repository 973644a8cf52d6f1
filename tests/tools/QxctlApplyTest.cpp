// qxctl apply against the virtual mouse, in real time: what the mouse
// receives, in which order and with which pauses, read from its trace.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

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

// A profile with two macro buttons: a pass of several seconds.
void StoreTwoMacros(const std::filesystem::path& folder) {
    RecordingNotifier notifier;
    Localization language;
    RecordingSleeper sleeper;
    NoFileDialogs dialogs;
    MacroTable table;
    MacroStore store(table, folder, notifier, sleeper, language, dialogs);
    for (std::uint32_t id : {0x01000001u, 0x01000002u}) {
        MacroEntry entry{};
        entry.tag = kMacroTag;
        entry.id = id;
        entry.loopMode = 1;
        entry.events[0] = MakeEvent(MacroEventKind::KeyPress, 0x41);
        entry.eventCount = 1;
        entry.byteSize = 4104;
        ASSERT_TRUE(store.StoreMacroRecord(entry));
    }
}

// The key matrix must never point at a slot the mouse did not store.
TEST_F(QxctlApplyTest, RefusedMacroTransferFailsBeforeTheKeyMatrix) {
    StoreTwoMacros(data.path());
    PrepareProfile([](ProfileState& s) {
        s.settings.buttons[2].function = kFunctionMacro;
        s.macroIds[2] = 0x01000001;
    });
    const auto tableBefore = test::ReadBytes(data / "Profile/ConfigInfo.cfg");
    ASSERT_TRUE(StartMouse({"--refuse", "command:0x13"}));
    const auto r = Apply();
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("failed: Write mouse macro failed.\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("ok"), std::string::npos);
    for (const auto& step : Sequence()) EXPECT_NE(step.substr(0, 2), "12");
    EXPECT_EQ(test::ReadBytes(data / "Profile/ConfigInfo.cfg"), tableBefore);
}

// The pass goes on past these two, but never silently.
TEST_F(QxctlApplyTest, UnansweredDpiLevelOrReportRateIsIncomplete) {
    struct Case {
        const char* command;
        const char* line;
    };
    const Case cases[] = {{"0x0B", "incomplete: Write mouse DPI level failed.\n"},
                          {"0x01", "incomplete: Write mouse report rate failed.\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(StartMouse({"--refuse", std::string("command:") + c.command}));
        const auto r = Apply();
        mouse.Stop();
        EXPECT_EQ(r.exitCode, 4) << r.out << r.err;
        EXPECT_NE(r.out.find(c.line), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("ok\n"), std::string::npos) << r.out;
        EXPECT_TRUE(
            std::filesystem::exists(data / "Profile/ConfigInfo.cfg"));  // saved all the same
    }
}

TEST_F(QxctlApplyTest, ProfileThatCannotBeSavedIsNoSuccess) {
    PrepareProfile([](ProfileState& s) { s.settings.pointerSpeed = 4; });
    // Something that is not a file where the table goes: refused even to root.
    std::filesystem::remove(data / "Profile/ConfigInfo.cfg");
    std::filesystem::create_directory(data / "Profile/ConfigInfo.cfg");
    ASSERT_TRUE(StartMouse());
    const auto r = Apply();
    EXPECT_EQ(r.exitCode, 5) << r.out << r.err;
    EXPECT_EQ(r.out.find("ok\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("not saved"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("ConfigInfo.cfg"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(data / "Profile/ConfigInfo.cfg"));
}

// Two writers on one mouse: the second waits for the first and never mixes
// its reports into the first's pass; with no wait it is refused and sends nothing.
TEST_F(QxctlApplyTest, TwoWritersOnOneMouseTakeTurns) {
    TempDir other;
    StoreTwoMacros(data.path());
    PrepareProfile([](ProfileState& s) {
        s.settings.buttons[2].function = kFunctionMacro;
        s.macroIds[2] = 0x01000001;
    });
    ASSERT_TRUE(StartMouse());
    auto applyIn = [&](const TempDir& folder, std::vector<std::string> extra) {
        std::vector<std::string> args = {"--data-dir", folder.path().string(), "apply"};
        args.insert(args.end(), extra.begin(), extra.end());
        return test::RunProgram(test::AppProgram("qxctl"), args, mouse.ClientEnvironment());
    };
    test::ProgramResult first;
    std::thread firstThread([&] { first = applyIn(data, {}); });
    // Once the first pass has begun, a second one that will not wait gets nothing.
    for (int i = 0; i < 200 && !std::filesystem::exists(hid / "trace"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (ReadTrace(hid / "trace").empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto refused = applyIn(other, {"--wait", "0"});
    EXPECT_EQ(refused.exitCode, 3) << refused.out << refused.err;
    EXPECT_NE(refused.out.find("failed: The mouse is being written by another program.\n"),
              std::string::npos)
        << refused.out;
    const auto waited = applyIn(other, {});
    firstThread.join();
    EXPECT_EQ(first.exitCode, 0) << first.out << first.err;
    EXPECT_EQ(waited.exitCode, 0) << waited.out << waited.err;

    // The first pass whole (macro, matrix ... report rate), then the second whole.
    const auto seq = Sequence();
    const std::vector<std::string> second = {"1201004000", "out",        "out",        "0C0100FF00",
                                             "0D01050400", "03A0000000", "1101071000", "out",
                                             "0B01030000", "0101000000"};
    ASSERT_GT(seq.size(), second.size());
    EXPECT_EQ(seq.front().substr(0, 2), "13");
    const std::vector<std::string> tail(seq.end() - static_cast<std::ptrdiff_t>(second.size()),
                                        seq.end());
    EXPECT_EQ(tail, second);
    const std::vector<std::string> head(seq.begin(),
                                        seq.end() - static_cast<std::ptrdiff_t>(second.size()));
    EXPECT_EQ(head.back(), "0101000000");  // the first pass ended before the second began
    EXPECT_EQ(std::count(head.begin(), head.end(), "1201004000"), 1);
}

TEST_F(QxctlApplyTest, NoMouseIsAClearError) {
    const auto r = Apply();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "qxctl: no mouse found\n");
}

}  // namespace
}  // namespace qx
