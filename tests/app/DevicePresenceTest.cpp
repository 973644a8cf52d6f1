#include "app/DevicePresence.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/common/FakeHidBackend.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

class FakeUsbDevices final : public UsbDeviceList {
public:
    std::vector<std::string> FirstHardwareIds() override { return ids; }
    std::vector<std::string> ids;
};

struct StartedProgram {
    std::filesystem::path program;
    std::vector<std::string> arguments;
};

class RecordingPrograms final : public ProgramStarter {
public:
    void StartProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
    }
    std::vector<StartedProgram> started;
};

// The main window's side, as a log of what was asked of it and in what order.
class RecordingHost final : public DeviceHost {
public:
    void RefreshPages() override { log.push_back("refresh"); }
    void StartWorkerThreads() override { log.push_back("threads"); }
    void ShowAndRaise() override { log.push_back("show"); }
    void StartUpdaterTimer() override { log.push_back("timer4"); }
    void PostClose() override { log.push_back("close"); }
    void SetArrivalRetry(bool on) override { log.push_back(on ? "retry on" : "retry off"); }
    std::vector<std::string> log;
};

class CountingTap final : public InputTap {
public:
    bool Start(InputHooks&) override {
        ++starts;
        return true;
    }
    void Stop() override { ++stops; }
    void InterceptsChanged() override {}
    int starts = 0, stops = 0;
};

class DevicePresenceTest : public ::testing::Test {
protected:
    test::FakeHidBackend backend;
    RecordingSleeper sleeper;
    CUSBDriver driver{backend, sleeper};
    FakeUsbDevices usb;
    RecordingNotifier notifier;
    CountingTap tap;
    InputHooks hooks{&tap};
    RecordingPrograms programs;
    FirmwareVersion version;
    std::unique_ptr<ProfileSettings> settings = std::make_unique<ProfileSettings>();
    RecordingHost host;
    bool chinese = false;
    std::unique_ptr<DevicePresence> presence;

    void SetUp() override {
        MakeDefaultProfile(*settings, false);
        Make(QX_APP_DIR);
    }
    void Make(const std::filesystem::path& appFolder) {
        presence = std::make_unique<DevicePresence>(
            DevicePresenceParts{driver, usb, sleeper, notifier, hooks, programs, version, *settings,
                                appFolder, u"QX300", [this] { return chinese; },
                                [] { return TargetHandle(); }},
            host);
    }
    std::vector<std::u16string> Toasts() const {
        std::vector<std::u16string> texts;
        for (const auto& m : notifier.Messages())
            if (m.kind == RecordingNotifier::Kind::Toast) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(DevicePresenceTest, ConnectsInTheOrderTheWindowNeeds) {
    backend.AddMouse("mouse");
    settings->buttons[2].function = kFunctionSoftware;
    settings->buttons[5].function = kFunctionSoftware;

    EXPECT_EQ(presence->ConnectDevice(), DevicePresence::Connect::Connected);
    EXPECT_EQ(host.log, (std::vector<std::string>{"refresh", "threads", "show", "timer4"}));
    EXPECT_EQ(presence->CurrentState(), DevicePresence::State::Connected);
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(tap.starts, 1);
    EXPECT_TRUE(hooks.ReportAllButtons());
    // The software-function buttons are held back from the start.
    EXPECT_TRUE(hooks.IsIntercepted(kEventRight));
    EXPECT_TRUE(hooks.IsIntercepted(kEventWheelForward));
    EXPECT_FALSE(hooks.IsIntercepted(kEventLeft));
    // Two firmware-mode checks of half a second each come before the first open.
    EXPECT_EQ(sleeper.Pauses()[0], 500ms);
    EXPECT_EQ(sleeper.Pauses()[1], 500ms);
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(DevicePresenceTest, NoMouseGivesUpAfterTenAttemptsWithTheNotice) {
    for (bool chineseMode : {false, true}) {
        chinese = chineseMode;
        host.log.clear();
        notifier.Clear();
        const auto before = sleeper.Total();
        Make(QX_APP_DIR);
        EXPECT_EQ(presence->ConnectDevice(), DevicePresence::Connect::Missing);
        EXPECT_EQ(host.log, (std::vector<std::string>{"refresh", "close"}));
        EXPECT_EQ(Toasts(), (std::vector<std::u16string>{
                                chineseMode ? u"没有找到QX300游戏鼠标."
                                            : u"The QX300 gaming mouse cannot be found."}));
        // 2 x 500 ms of firmware checks, 10 x 500 ms of attempts.
        EXPECT_EQ(sleeper.Total() - before, 6000ms);
        EXPECT_EQ(tap.starts, 0);
    }
}

TEST_F(DevicePresenceTest, FirmwareModeStartsTheBurnerAndCloses) {
    usb.ids = {"USB\\VID_1234&PID_0001&REV_0100", "USB\\vid_04d9&pid_8022&REV_0100"};
    backend.AddMouse("mouse");
    for (bool chineseMode : {false, true}) {
        chinese = chineseMode;
        programs.started.clear();
        host.log.clear();
        EXPECT_EQ(presence->ConnectDevice(), DevicePresence::Connect::FirmwareMode);
        ASSERT_EQ(programs.started.size(), 1u);
        EXPECT_EQ(programs.started[0].program,
                  std::filesystem::path(QX_APP_DIR) / "FWUpdate" / "BuringFW");
        EXPECT_EQ(programs.started[0].arguments,
                  (std::vector<std::string>{chineseMode ? "1" : "0"}));
        EXPECT_EQ(host.log, (std::vector<std::string>{"close"}));
    }
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(tap.starts, 0);
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(DevicePresenceTest, WithoutTheParserLibraryTheWindowStaysWithoutDevice) {
    backend.AddMouse("mouse");
    Make("/nonexistent/app/folder");
    EXPECT_EQ(presence->ConnectDevice(), DevicePresence::Connect::NoChannel);
    EXPECT_TRUE(host.log.empty());
    // Hot-plug events mean nothing then.
    presence->OnDeviceRemoval("HID\\VID_7D3A&PID_6E41\\hidraw0");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(DevicePresenceTest, RemovalOfTheMouseClosesOnceOtherDevicesAreIgnored) {
    backend.AddMouse("mouse");
    presence->ConnectDevice();
    host.log.clear();

    presence->OnDeviceRemoval("HID\\VID_046D&PID_C077\\hidraw1");
    presence->OnDeviceArrival("USB\\VID_046D&PID_C077&REV_0100");
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(notifier.Messages().empty());

    presence->OnDeviceRemoval("HID\\vid_7d3a&pid_6e41\\hidraw0");
    EXPECT_EQ(host.log, (std::vector<std::string>{"close"}));
    EXPECT_EQ(Toasts(), (std::vector<std::u16string>{u"The QX300 gaming mouse cannot be found."}));
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(tap.stops, 1);
    // The mouse's other interfaces going away add nothing.
    presence->OnDeviceRemoval("HID\\VID_7D3A&PID_6E41\\hidraw2");
    EXPECT_EQ(host.log.size(), 1u);
    EXPECT_EQ(Toasts().size(), 1u);
}

TEST_F(DevicePresenceTest, ArrivalReopensWithoutWritingTheMouse) {
    backend.AddMouse("mouse");
    presence->ConnectDevice();
    const auto sentBefore = backend.reports.size();
    host.log.clear();

    presence->OnDeviceArrival("HID\\VID_7D3A&PID_6E41\\hidraw0");
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(Toasts(), (std::vector<std::u16string>{u"The QX300 gaming mouse is found."}));
    EXPECT_TRUE(hooks.Installed());
    // Only the version query went out: the mouse keeps what it stored.
    for (std::size_t i = sentBefore; i < backend.reports.size(); ++i)
        EXPECT_NE(backend.reports[i].kind, test::FakeReport::Kind::Output);
}

TEST_F(DevicePresenceTest, ArrivalOfANotYetReadyMouseRetriesFromATimerUntilItOpens) {
    auto& mouse = backend.AddMouse("mouse");
    presence->ConnectDevice();
    host.log.clear();
    mouse.readOpenFails = true;

    presence->OnDeviceArrival("HID\\VID_7D3A&PID_6E41\\hidraw0");
    EXPECT_TRUE(presence->Retrying());
    EXPECT_EQ(host.log, (std::vector<std::string>{"retry on"}));
    presence->OnArrivalRetry();
    EXPECT_TRUE(presence->Retrying());
    EXPECT_TRUE(Toasts().empty());

    mouse.readOpenFails = false;
    presence->OnArrivalRetry();
    EXPECT_FALSE(presence->Retrying());
    EXPECT_EQ(host.log, (std::vector<std::string>{"retry on", "retry off"}));
    EXPECT_EQ(Toasts(), (std::vector<std::u16string>{u"The QX300 gaming mouse is found."}));
}

TEST_F(DevicePresenceTest, RemovalDuringTheArrivalRetryEndsItAndTheUtility) {
    auto& mouse = backend.AddMouse("mouse");
    presence->ConnectDevice();
    host.log.clear();
    mouse.readOpenFails = true;
    presence->OnDeviceArrival("HID\\VID_7D3A&PID_6E41\\hidraw0");

    presence->OnDeviceRemoval("HID\\VID_7D3A&PID_6E41\\hidraw0");
    EXPECT_FALSE(presence->Retrying());
    EXPECT_EQ(host.log, (std::vector<std::string>{"retry on", "retry off", "close"}));
    mouse.readOpenFails = false;
    presence->OnArrivalRetry();  // a tick already queued does nothing
    EXPECT_EQ(Toasts(), (std::vector<std::u16string>{u"The QX300 gaming mouse cannot be found."}));
}

TEST(DevicePresenceTexts, FoundAndMissingInBothLanguages) {
    EXPECT_EQ(MouseFoundText(u"QX600", true), u"发现QX600游戏鼠标.");
    EXPECT_EQ(MouseMissingText(u"QX100", false), u"The QX100 gaming mouse cannot be found.");
}

}  // namespace
}  // namespace qx
