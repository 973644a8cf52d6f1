#include "profile/DeviceWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

#include "base/Text.h"
#include "tests/common/FakeHidBackend.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using test::FakeReport;
using Posted = test::PostedMessage;
using test::RecordingTarget;

class FakePointer final : public PointerSettings {
public:
    bool SetMouseAcceleration(const std::array<std::int32_t, 3>& v) override {
        calls.push_back("accel " + std::to_string(v[2]));
        return true;
    }
    bool SetMouseSpeed(std::int32_t speed) override {
        calls.push_back("speed " + std::to_string(speed));
        return true;
    }
    bool SetWheelScrollLines(std::int32_t lines) override {
        calls.push_back("lines " + std::to_string(lines));
        return true;
    }
    std::vector<std::string> calls;
};

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from = 0,
                std::size_t count = 99) {
    std::string out;
    for (std::size_t i = from; i < bytes.size() && i < from + count; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%s%02X", out.empty() ? "" : " ", bytes[i]);
        out += b;
    }
    return out;
}

// Press A, 100 ms, release A, played once.
MacroEntry Macro(std::uint32_t id, const char16_t* name) {
    MacroEntry entry{};
    entry.tag = kMacroTag;
    entry.id = id;
    ToBuffer(name, entry.name);
    entry.loopMode = 1;
    entry.events[0] = MakeEvent(MacroEventKind::KeyPress, 0x41);
    entry.events[1] = MakeEvent(MacroEventKind::Delay, 100);
    entry.events[2] = MakeEvent(MacroEventKind::KeyRelease, 0x41);
    entry.eventCount = 3;
    entry.byteSize = 4100 + 4 * 3;
    return entry;
}

class DeviceWriterTest : public ::testing::Test {
protected:
    DeviceWriterTest() {
        backend.AddMouse("/dev/hidraw0");
        MakeDefaultProfile(profile->settings, false);
        control.mainWindow = Unowned(main);
        control.progressWindow = Unowned(progress);
    }
    void SetUp() override { ASSERT_TRUE(driver.OpenDevice()); }

    // Payload of each feature report (report ID dropped, trailing zeros cut to 5 bytes).
    std::vector<std::string> Features() const {
        std::vector<std::string> out;
        for (const auto& bytes : backend.Bytes(FakeReport::Kind::Feature))
            out.push_back(Hex(bytes, 1, 5));
        return out;
    }

    test::FakeHidBackend backend;
    RecordingSleeper sleeper;
    CUSBDriver driver{backend, sleeper};
    std::unique_ptr<ProfileState> profile = std::make_unique<ProfileState>();
    MacroTable macros;
    Localization language;
    InputHooks hooks;
    FakePointer pointer;
    ManualResetEvent event;
    SyncControl control{event};
    RecordingTarget main, progress;
    DeviceWriter writer{control, driver, *profile, macros, language, hooks, pointer, sleeper};
};

TEST_F(DeviceWriterTest, DefaultProfileSendsTheFixedSequence) {
    EXPECT_EQ(writer.RunPass(), -1);
    EXPECT_EQ(Features(), (std::vector<std::string>{
                              "12 01 00 40 00",  // key matrix, 64 bytes follow
                              "0C 01 00 FF 00",  // LED colour: green red blue
                              "0D 01 05 04 00",  // effect
                              "03 A0 00 00 00",  // touch
                              "11 01 07 10 00",  // DPI table
                              "0B 01 03 00 00",  // DPI level
                              "01 01 00 00 00",  // report rate
                          }));
    const auto outputs = backend.Bytes(FakeReport::Kind::Output);
    ASSERT_EQ(outputs.size(), 3u);  // two for the matrix, one for the DPI table
    std::vector<std::uint8_t> matrix(outputs[0].begin() + 1, outputs[0].end());
    matrix.insert(matrix.end(), outputs[1].begin() + 1, outputs[1].end());
    EXPECT_EQ(Hex(matrix),
              "01 00 F0 00 01 00 F1 00 01 00 F2 00 07 00 03 00 01 00 F3 00 01 00 F4 00 "
              "0A 00 02 00 0C 00 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00 04 00 01 00 04 00 02 00");

    std::vector<WParam> percents;
    for (const auto& p : progress.Messages()) {
        EXPECT_EQ(p.message, kMsgProgress);
        percents.push_back(p.wParam);
    }
    EXPECT_EQ(percents, (std::vector<WParam>{0, 7, 14, 21, 28, 35, 42, 60, 70, 75, 80, 90, 100}));
    EXPECT_EQ(main.Messages(), (std::vector<Posted>{{kMsgSyncSucceeded, 0, 0}}));
    EXPECT_EQ(pointer.calls, (std::vector<std::string>{"accel 0", "speed 10", "lines 3"}));
    EXPECT_FALSE(control.syncReady.load());  // until the main window handles the result
    // 50 at the start, 50 per mapped button, 1500 after the matrix, 300 at the end,
    // plus the channel's own pacing.
    const auto pauses = sleeper.Pauses();
    EXPECT_EQ(pauses.front(), 50ms);
    EXPECT_EQ(pauses.back(), 300ms);
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 1500ms), 1);
    EXPECT_GE(sleeper.Total(), 50ms + 7 * 50ms + 1500ms + 300ms);
}

TEST_F(DeviceWriterTest, MacrosGoToSlotsInButtonOrderAndMissingOnesStayEmpty) {
    ASSERT_TRUE(macros.StoreRecord(Macro(0x01000001, u"first")));
    ASSERT_TRUE(macros.StoreRecord(Macro(0x01000002, u"second")));
    auto& s = profile->settings;
    for (int b : {4, 1, 6}) s.buttons[b].function = kFunctionMacro;
    profile->macroIds[4] = 0x01000001;  // assigned first, but button 4 comes later
    profile->macroIds[1] = 0x01000002;
    profile->macroIds[6] = 0x01000099;  // deleted macro

    ASSERT_EQ(writer.RunPass(), -1);
    const auto features = Features();
    ASSERT_GE(features.size(), 3u);
    EXPECT_EQ(features[0], "13 01 01 00 02");  // button 1's macro into slot 1
    EXPECT_EQ(features[1], "13 01 02 00 02");  // button 4's macro into slot 2
    EXPECT_EQ(features[2], "12 01 00 40 00");
    const auto outputs = backend.Bytes(FakeReport::Kind::Output);
    ASSERT_EQ(outputs.size(), 20u + 20u + 2u + 1u);
    std::vector<std::uint8_t> matrix(outputs[40].begin() + 1, outputs[40].end());
    matrix.insert(matrix.end(), outputs[41].begin() + 1, outputs[41].end());
    EXPECT_EQ(Hex(matrix, 4 * 2, 4), "09 00 01 21");   // middle button, index 2
    EXPECT_EQ(Hex(matrix, 4 * 4, 4), "09 00 02 21");   // back button, index 4
    EXPECT_EQ(Hex(matrix, 4 * 15, 4), "00 00 00 00");  // wheel backward, no macro
}

TEST_F(DeviceWriterTest, SoftwareFunctionKeepsTheDefaultAndIsHeldBack) {
    hooks.SetButtonIntercept(0x0204, true);  // left over from an earlier profile
    profile->settings.buttons[1].function = kFunctionSoftware;
    ASSERT_EQ(writer.RunPass(), -1);
    const auto outputs = backend.Bytes(FakeReport::Kind::Output);
    EXPECT_EQ(Hex(outputs[0], 1 + 4 * 2, 4), "01 00 F2 00");
    EXPECT_TRUE(hooks.IsIntercepted(0x0207));
    EXPECT_FALSE(hooks.IsIntercepted(0x0204));
}

TEST_F(DeviceWriterTest, OwnColoursSendTheBlockBetweenEffectAndTouch) {
    auto& s = profile->settings;
    s.ownColours = 1;
    s.colours[0] = 0x0000FF;
    s.colours[1] = 0x00FF00;
    s.colours[2] = 0xFF0000;
    ASSERT_EQ(writer.RunPass(), -1);
    const auto features = Features();
    ASSERT_GE(features.size(), 5u);
    EXPECT_EQ(features[2], "0D 01 05 04 01");  // effect parameter 2: own colours on
    EXPECT_EQ(features[3], "09 01 00 20 00");
    EXPECT_EQ(features[4], "03 A0 00 00 00");
}

// A refused feature report at each failing step: its code, nothing sent after it.
TEST_F(DeviceWriterTest, EachRefusedStepGivesItsCode) {
    struct Case {
        int refusedFeature;
        bool ownColours;
        int code;
        const char16_t* text;
    };
    const Case cases[] = {
        {1, false, 0, u"write mousekey metix fail.\n"},
        {2, false, 1, u"Write mouse LED color failed.\n"},
        {3, false, 2, u"Write mouse effect failed.\n"},
        {4, true, 3, u"Write LED color123 failed.\n"},
        {4, false, 4, u"Write mouse touch failed.\n"},
        {5, false, 5, u"Write mouse DPI failed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        test::FakeHidBackend fake;
        fake.AddMouse("/dev/hidraw0");
        fake.refusedFeatures = {c.refusedFeature};
        CUSBDriver channel(fake, sleeper);
        ASSERT_TRUE(channel.OpenDevice());
        profile->settings.ownColours = c.ownColours ? 1 : 0;
        RecordingTarget mainWindow;
        control.mainWindow = Unowned(mainWindow);
        DeviceWriter w(control, channel, *profile, macros, language, hooks, pointer, sleeper);
        pointer.calls.clear();
        EXPECT_EQ(w.RunPass(), c.code);
        EXPECT_EQ(fake.Bytes(FakeReport::Kind::Feature).size(),
                  static_cast<std::size_t>(c.refusedFeature));
        EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{kMsgSyncFailed, 0, c.code}}));
        EXPECT_EQ(SyncFailureText(c.code), c.text);
        EXPECT_TRUE(pointer.calls.empty());
    }
    EXPECT_EQ(SyncFailureText(8), u"");
    EXPECT_EQ(SyncFailureText(-1), u"");
}

// The key matrix would point at a slot the mouse never stored: a refused
// macro transfer (its header or one of its blocks) ends the pass before it.
TEST_F(DeviceWriterTest, RefusedMacroTransferEndsThePassBeforeTheKeyMatrix) {
    ASSERT_TRUE(macros.StoreRecord(Macro(0x01000001, u"first")));
    profile->settings.buttons[2].function = kFunctionMacro;
    profile->macroIds[2] = 0x01000001;
    for (const bool refuseHeader : {true, false}) {
        SCOPED_TRACE(refuseHeader);
        test::FakeHidBackend fake;
        fake.AddMouse("/dev/hidraw0");
        if (refuseHeader)
            fake.refusedFeatures = {1};
        else
            fake.refusedOutputs = {3};
        CUSBDriver channel(fake, sleeper);
        ASSERT_TRUE(channel.OpenDevice());
        RecordingTarget mainWindow;
        control.mainWindow = Unowned(mainWindow);
        DeviceWriter w(control, channel, *profile, macros, language, hooks, pointer, sleeper);
        EXPECT_EQ(w.RunPass(), kSyncFailMacro);
        for (const auto& bytes : fake.Bytes(FakeReport::Kind::Feature))
            EXPECT_NE(Hex(bytes, 1, 1), "12");  // no key matrix
        EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{kMsgSyncFailed, 0, 6}}));
    }
    EXPECT_EQ(SyncFailureText(6), u"Write mouse macro failed.\n");
}

// Some firmwares do not answer these two: the pass goes on, but says which.
TEST_F(DeviceWriterTest, RefusedDpiLevelOrReportRateIsAWarningOfTheSuccess) {
    struct Case {
        std::set<int> refused;
        LParam warnings;
        const char16_t* text;
    };
    const Case cases[] = {
        {{6}, kSyncWarnDpiLevel, u"Write mouse DPI level failed.\n"},
        {{7}, kSyncWarnReportRate, u"Write mouse report rate failed.\n"},
        {{6, 7},
         kSyncWarnDpiLevel | kSyncWarnReportRate,
         u"Write mouse DPI level failed.\nWrite mouse report rate failed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warnings);
        test::FakeHidBackend fake;
        fake.AddMouse("/dev/hidraw0");
        fake.refusedFeatures = c.refused;
        CUSBDriver channel(fake, sleeper);
        ASSERT_TRUE(channel.OpenDevice());
        RecordingTarget mainWindow;
        control.mainWindow = Unowned(mainWindow);
        DeviceWriter w(control, channel, *profile, macros, language, hooks, pointer, sleeper);
        EXPECT_EQ(w.RunPass(), -1);
        EXPECT_EQ(fake.Bytes(FakeReport::Kind::Feature).size(), 7u);  // the pass went on
        EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{kMsgSyncSucceeded, 0, c.warnings}}));
        EXPECT_EQ(SyncWarningText(c.warnings), c.text);
    }
    EXPECT_EQ(SyncWarningText(0), u"");
}

TEST_F(DeviceWriterTest, MouseHeldByAnotherProgramGetsNothing) {
    backend.deviceBusy = true;
    control.deviceLockWait = 0ms;
    EXPECT_EQ(writer.RunPass(), kSyncFailDeviceBusy);
    EXPECT_GE(backend.lockRequests, 1);
    EXPECT_TRUE(backend.Bytes(FakeReport::Kind::Feature).empty());
    EXPECT_TRUE(backend.Bytes(FakeReport::Kind::Output).empty());
    EXPECT_EQ(main.Messages(), (std::vector<Posted>{{kMsgSyncFailed, 0, kSyncFailDeviceBusy}}));
    EXPECT_EQ(SyncFailureText(kSyncFailDeviceBusy),
              u"The mouse is being written by another program.\n");
}

TEST_F(DeviceWriterTest, ThreadRunsOnePassPerSignalAndStops) {
    std::thread thread([&] { writer.DeviceWriterThread(); });
    EXPECT_TRUE(control.RequestSync());
    ASSERT_TRUE(main.WaitForMessage(kMsgSyncSucceeded, 5s));
    EXPECT_FALSE(control.RequestSync());  // SyncReady stays 0 until the result is handled
    control.syncReady = true;
    control.writerRunning = false;
    event.Set();
    thread.join();
    EXPECT_EQ(main.Messages().size(), 1u);
}

TEST_F(DeviceWriterTest, GoneMainWindowClosesTheProgressWindowAndEnds) {
    control.mainWindow = TargetHandle();
    std::thread thread([&] { writer.DeviceWriterThread(); });
    event.Set();
    thread.join();
    EXPECT_EQ(progress.Messages(), (std::vector<Posted>{{kWmClose, 0, 0}}));
    EXPECT_TRUE(backend.Bytes(FakeReport::Kind::Feature).empty());
}

TEST(SyncResults, SuccessSavesAndFailureOnlyTells) {
    test::TempDir dir;
    RecordingNotifier notifier;
    Localization language;
    auto state = std::make_unique<ProfileState>();
    ProfileFiles files(*state, dir.path(), notifier, language);
    files.LoadProfileTable();
    notifier.Clear();
    ManualResetEvent event;
    SyncControl control(event);
    InputHooks hooks;
    RecordingTarget mainWindow;

    control.syncReady = false;
    OnSyncFailed(control, kSyncFailDpiTable, notifier);
    EXPECT_TRUE(control.syncReady.load());
    EXPECT_EQ(notifier.Messages().at(0).text, u"Write mouse DPI failed.\n");
    EXPECT_FALSE(std::filesystem::exists(files.ConfigInfoPath()));

    state->macroIds[2] = 0x0300000A;
    state->settings.pointerSpeed = 16;
    control.syncReady = false;
    OnSyncSucceeded(control, *state, files, hooks, Unowned(mainWindow));
    EXPECT_TRUE(control.syncReady.load());
    EXPECT_TRUE(hooks.ReportAllButtons());
    EXPECT_EQ(hooks.HookTarget().get(), &mainWindow);
    auto saved = std::make_unique<ProfileTable>();
    const auto bytes = test::ReadBytes(files.ConfigInfoPath());
    ASSERT_EQ(bytes.size(), sizeof(ProfileTable));
    std::memcpy(saved.get(), bytes.data(), bytes.size());
    EXPECT_EQ(saved->entries[0].macroIds[2], 0x0300000A);
    EXPECT_EQ(test::ReadBytes(files.ProfilePath(1))[22232], 16);
}

}  // namespace
}  // namespace qx
