// The support page as a person uses it: qx-driver on a private X server
// against a virtual mouse, the desktop's file dialogs typed into through
// XTest, the update check against an HTTP server of the test's own on
// loopback, and a stand-in for the firmware burner.
//
// The skinned box draws its text, so a test tells the update question from
// the latest-version message by its buttons: the question has OK at the left
// of Cancel, the message one OK where Cancel would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

#include "app/FirstStart.h"
#include "base/ProfileRecord.h"
#include "tests/common/DriverSession.h"
#include "tests/common/LoopbackHttpServer.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverOptions;
using test::DriverSession;
using Reply = test::LoopbackHttpServer::Reply;

constexpr char kInfoBox[] = "OrvikInfoDlg";
constexpr char kStandardInfo[] = "Info";
constexpr char kDescriptionPath[] = "/software/QX600/update.xml.";

// The page lies at (17, 128) of the main window.
struct PagePoint {
    int x, y;
};
constexpr PagePoint kUpdate{462, 278}, kImport{179, 404}, kExport{279, 404}, kRestore{829, 402};
// In the skinned box: the question's OK and Cancel; a point that is the
// question's OK and nothing in a message; a message's one OK.
constexpr PagePoint kBoxOk{211, 143}, kBoxCancel{278, 143}, kBoxOkOfQuestionOnly{195, 143};
constexpr PagePoint kBoxOkAlone{273, 143};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Description(const std::string& current, const std::string& newfile) {
    return "<?xml version=\"1.0\"?><update><firmware><current>" + current + "</current><newfile>" +
           newfile + "</newfile></firmware></update>";
}

class SupportPageEndToEnd : public test::XvfbTest {
protected:
    static void OpenSupportPage(DriverSession& session) {
        ASSERT_NE(session.WaitForWindow(), 0u);
        session.Click(840, 100);
    }
    static void ClickPage(DriverSession& session, PagePoint at) {
        session.Click(17 + at.x, 128 + at.y);
    }
    // Clicks in the skinned box once it shows; false when none came.
    static bool ClickInBox(DriverSession& session, PagePoint at,
                           std::chrono::milliseconds wait = 10s) {
        const auto box = session.WaitForWindow(kInfoBox, wait);
        if (box == 0) return false;
        session.ClickIn(box, at.x, at.y);
        return true;
    }
    // Types the path into the open file dialog and confirms it.
    static bool AnswerFileDialog(DriverSession& session, const std::string& title,
                                 const fs::path& path) {
        if (session.WaitForWindow(title, 10s) == 0) return false;
        std::this_thread::sleep_for(300ms);  // the name field takes the focus
        session.Xdotool({"type", "--delay", "5", path.string()});
        session.Key("Return");
        return true;
    }
    // Confirms the standard "Info" box of an exchange result.
    static bool ConfirmInfo(DriverSession& session) {
        if (session.WaitForWindow(kStandardInfo, 10s) == 0) return false;
        std::this_thread::sleep_for(200ms);
        session.Key("Return");
        return session.WaitForNoWindow(kStandardInfo, 5s);
    }
    // A stand-in burner that notes its arguments.
    static fs::path InstallBurner(DriverSession& session) {
        const fs::path record = session.Root() / "burner.txt";
        const fs::path burner = session.AppFolder() / "FWUpdate" / "BuringFW";
        test::WriteText(burner, "#!/bin/sh\necho \"$@\" >> '" + record.string() + "'\n");
        fs::permissions(burner, fs::perms::owner_all);
        return record;
    }
    static void PointAtServer(DriverSession& session, const test::LoopbackHttpServer& server) {
        test::WriteText(session.AppFolder() / "FWUpdate" / "update.ini",
                        "[update]\nbase_url=" + server.Url() + "\n");
    }
    static std::size_t WindowsNamed(const std::string& title) {
        const auto found = test::RunProgram(
            "/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"},
            Server().ChildEnvironment(), 5s);
        return static_cast<std::size_t>(std::count(found.out.begin(), found.out.end(), '\n'));
    }
    static DriverOptions PrivateInstallation(int version = 12) {
        DriverOptions options;
        options.privateAppFolder = true;
        options.mouseOptions = {"--version", std::to_string(version)};
        return options;
    }
};

TEST_F(SupportPageEndToEnd, ShowsTheVersionsOfTheUtilityAndOfTheMouse) {
    const struct {
        int mouse;
        std::string shown;
    } cases[] = {{12, "V 0.1.2"}, {0, "Unknown"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mouse);
        test::TempDir scratch;
        const fs::path painted = scratch / "painted.txt";
        DriverOptions options;
        options.mouseOptions = {"--version", std::to_string(c.mouse)};
        options.environment = {{"QX_TEST_PAINTED_TEXT_FILE", painted.string()}};
        DriverSession session(Server(), options);
        ASSERT_TRUE(session.Start());
        OpenSupportPage(session);
        const std::string expected = "driver V1.0.0\nfirmware " + c.shown + "\n";
        EXPECT_TRUE(test::WaitUntil([&] { return ReadText(painted) == expected; }, 5s))
            << ReadText(painted);
    }
}

// What a mouse holds once `qxctl apply` has written this profile into it: the
// reference for what the utility must have written.
std::string MouseHolding(const ProfileSettings& profile) {
    test::TempDir dir;
    fs::create_directories(dir / "data");
    LayDownDataFolder(dir / "data", false);
    test::WriteBytes(dir / "data" / "Profile" / "Profile1.cfg", &profile, sizeof profile);
    test::VirtualMouse mouse(dir / "hid");
    fs::create_directories(dir / "hid");
    if (!mouse.Start({"--version", "12", "--state", (dir / "state").string()})) return "no mouse";
    const auto applied = test::RunProgram(test::AppProgram("qxctl"),
                                          {"--data-dir", (dir / "data").string(), "apply"},
                                          mouse.ClientEnvironment());
    mouse.Stop();
    if (applied.exitCode != 0) return "apply failed: " + applied.err;
    return test::RunProgram(test::AppProgram("qx-virtual-mouse"),
                            {"--dump", "--state", (dir / "state").string()})
        .out;
}

ProfileSettings Profile1(const DriverSession& session) {
    ProfileSettings settings{};
    const auto bytes = test::ReadBytes(session.DataFolder() / "Profile" / "Profile1.cfg");
    std::memcpy(&settings, bytes.data(), std::min(bytes.size(), sizeof settings));
    return settings;
}

bool SameProfile(const ProfileSettings& a, const ProfileSettings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(SupportPageEndToEnd, ExportRestoreImportAndApplyBringTheChangedProfileBack) {
    auto defaults = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*defaults, false);
    auto changed = std::make_unique<ProfileSettings>(*defaults);
    changed->reportInterval = 2;
    changed->colours[3] = 0x000000FF;
    const std::string mouseWithDefaults = MouseHolding(*defaults);
    const std::string mouseWithChanged = MouseHolding(*changed);
    ASSERT_NE(mouseWithDefaults, mouseWithChanged);

    DriverSession session(Server());
    // A user whose active profile is the changed one.
    LayDownDataFolder(session.DataFolder(), false);
    test::WriteBytes(session.DataFolder() / "Profile" / "Profile1.cfg", changed.get(),
                     sizeof *changed);
    ASSERT_TRUE(session.Start());
    OpenSupportPage(session);

    // Export, naming the file without its extension.
    const fs::path exchange = session.Root() / "my profile.cfg";
    ClickPage(session, kExport);
    ASSERT_TRUE(AnswerFileDialog(session, "Save As", session.Root() / "my profile"));
    ASSERT_TRUE(ConfirmInfo(session));
    ASSERT_EQ(fs::file_size(exchange), 30252u);
    EXPECT_EQ(std::memcmp(test::ReadBytes(exchange).data(), changed.get(), sizeof *changed), 0);

    // Exporting over it asks first; No and Cancel leave the file alone.
    const auto written = fs::last_write_time(exchange);
    ClickPage(session, kExport);
    ASSERT_TRUE(AnswerFileDialog(session, "Save As", exchange));
    // The question is a second window of the dialog's title.
    ASSERT_TRUE(test::WaitUntil([&] { return WindowsNamed("Save As") == 2; }, 5s));
    session.Key("alt+n");
    ASSERT_TRUE(test::WaitUntil([&] { return WindowsNamed("Save As") == 1; }, 5s));
    // Without a window manager the focus does not return to the dialog by itself.
    session.Xdotool({"windowfocus", "--sync", std::to_string(session.WaitForWindow("Save As"))});
    session.Key("Escape");
    EXPECT_TRUE(session.WaitForNoWindow("Save As", 5s));
    EXPECT_EQ(fs::last_write_time(exchange), written);
    EXPECT_EQ(session.WaitForWindow(kStandardInfo, 300ms), 0u);

    // Restore defaults: the mouse and Profile1.cfg hold the default profile.
    ClickPage(session, kRestore);
    ASSERT_TRUE(ClickInBox(session, kBoxOk));
    ASSERT_TRUE(test::WaitUntil([&] { return SameProfile(Profile1(session), *defaults); }, 20s));
    EXPECT_TRUE(session.WaitForNoWindow("OrvikProcessDlg", 5s));
    EXPECT_EQ(session.Dump(), mouseWithDefaults);

    // Import changes memory only; Apply writes it.
    ClickPage(session, kImport);
    ASSERT_TRUE(AnswerFileDialog(session, "Open", exchange));
    ASSERT_TRUE(ConfirmInfo(session));
    EXPECT_TRUE(SameProfile(Profile1(session), *defaults));  // nothing saved before Apply
    // Apply works from the buttons page (the support page has it disabled).
    session.Click(110, 100);
    session.Click(880, 612);
    ASSERT_TRUE(test::WaitUntil([&] { return SameProfile(Profile1(session), *changed); }, 20s));
    EXPECT_TRUE(session.WaitForNoWindow("OrvikProcessDlg", 5s));
    EXPECT_EQ(session.Dump(), mouseWithChanged);
    EXPECT_TRUE(session.Running());
}

TEST_F(SupportPageEndToEnd, CancellingTheRestoreQuestionWritesNothing) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    OpenSupportPage(session);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const auto before = session.Trace().size();
    ClickPage(session, kRestore);
    ASSERT_TRUE(ClickInBox(session, kBoxCancel));
    EXPECT_TRUE(session.WaitForNoWindow(kInfoBox, 5s));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(session.Trace().size(), before);
    EXPECT_EQ(session.WaitForWindow("OrvikProcessDlg", 200ms), 0u);
}

TEST_F(SupportPageEndToEnd, NewerFirmwareIsOfferedAgainAfterCancelAndBurnedAfterOk) {
    test::LoopbackHttpServer server;
    server.Serve(kDescriptionPath, Reply::Ok(Description("13", server.Url("/fw.bin"))));
    server.Serve("/fw.bin", Reply::Ok("new firmware"));
    DriverSession session(Server(), PrivateInstallation(12));
    PointAtServer(session, server);
    const fs::path burned = InstallBurner(session);
    ASSERT_TRUE(session.Start());
    OpenSupportPage(session);

    ClickPage(session, kUpdate);
    ASSERT_TRUE(ClickInBox(session, kBoxCancel));
    ASSERT_TRUE(session.WaitForNoWindow(kInfoBox, 5s));
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kDescriptionPath});

    // The copy the first check kept asks at once, without the server.
    ClickPage(session, kUpdate);
    ASSERT_TRUE(ClickInBox(session, kBoxOk, 2s));
    EXPECT_EQ(session.WaitForExit(20s), 0);
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{kDescriptionPath, "/fw.bin"}));
    EXPECT_EQ(ReadText(session.AppFolder() / "FWUpdate/new_version/OrvikGameDevice.bin"),
              "new firmware");
    ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(burned); }, 5s));
    EXPECT_EQ(ReadText(burned), "0\n");
}

TEST_F(SupportPageEndToEnd, TheSameFirmwareIsTheLatest) {
    test::LoopbackHttpServer server;
    server.Serve(kDescriptionPath, Reply::Ok(Description("13", server.Url("/fw.bin"))));
    DriverSession session(Server(), PrivateInstallation(13));
    PointAtServer(session, server);
    const fs::path burned = InstallBurner(session);
    ASSERT_TRUE(session.Start());
    OpenSupportPage(session);

    ClickPage(session, kUpdate);
    // Where the question has its OK the message has nothing.
    ASSERT_TRUE(ClickInBox(session, kBoxOkOfQuestionOnly));
    std::this_thread::sleep_for(500ms);
    ASSERT_NE(session.WaitForWindow(kInfoBox, 100ms), 0u);
    ASSERT_TRUE(ClickInBox(session, kBoxOkAlone));
    EXPECT_TRUE(session.WaitForNoWindow(kInfoBox, 5s));
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kDescriptionPath});
    EXPECT_FALSE(fs::exists(burned));
}

TEST_F(SupportPageEndToEnd, ALateServerIsAnsweredAfterTwoSecondsAndItsAnswerKeptForTheNextPress) {
    test::LoopbackHttpServer server;
    server.Serve(kDescriptionPath,
                 Reply::Ok(Description("13", server.Url("/fw.bin"))).Late(3500ms));
    DriverSession session(Server(), PrivateInstallation(12));
    PointAtServer(session, server);
    InstallBurner(session);
    ASSERT_TRUE(session.Start());
    OpenSupportPage(session);

    const auto pressed = std::chrono::steady_clock::now();
    ClickPage(session, kUpdate);
    ASSERT_NE(session.WaitForWindow(kInfoBox, 5s), 0u);
    const auto waited = std::chrono::steady_clock::now() - pressed;
    EXPECT_GE(waited, 1800ms);
    EXPECT_LT(waited, 3400ms);
    // The latest-version message: its one OK closes it.
    ASSERT_TRUE(ClickInBox(session, kBoxOkAlone));
    ASSERT_TRUE(session.WaitForNoWindow(kInfoBox, 5s));

    // The late answer arrives and is not shown.
    ASSERT_TRUE(server.WaitForRequests(1, 1s));
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(session.WaitForWindow(kInfoBox, 100ms), 0u);

    // It was kept: the next press asks at once.
    ClickPage(session, kUpdate);
    ASSERT_TRUE(ClickInBox(session, kBoxCancel, 1500ms));
    EXPECT_TRUE(session.WaitForNoWindow(kInfoBox, 5s));
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(session.Running());
}

}  // namespace
}  // namespace qx
