// The utility as a person uses it: qx-driver on a private X server against a
// virtual mouse process, driven by XTest, checked by what the mouse holds,
// what was saved and which windows came and went.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/FirstStart.h"
#include "base/DataFile.h"
#include "base/FileDialogs.h"
#include "base/FileLock.h"
#include "base/ProfileRecord.h"
#include "base/Text.h"
#include "macro/MacroStore.h"
#include "profile/ProfileFiles.h"
#include "tests/common/DriverSession.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverOptions;
using test::DriverSession;

constexpr char kToast[] = "OrvikInfoDlg";
// Client coordinates of the main window's controls.
constexpr int kApplyX = 880, kApplyY = 612;

// A stand-in for an outside program: appends its arguments to a file.
fs::path WriteStub(const fs::path& path, const fs::path& record) {
    test::WriteText(path, "#!/bin/sh\necho \"$@\" >> '" + record.string() + "'\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<test::TraceLine> OfKind(const std::vector<test::TraceLine>& trace, const char* kind) {
    std::vector<test::TraceLine> out;
    for (const auto& line : trace)
        if (line.kind == kind) out.push_back(line);
    return out;
}

class DriverEndToEnd : public test::XvfbTest {};

TEST_F(DriverEndToEnd, StartsShowsTheWindowAndLaysDownTheDataFolder) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    const auto window = session.WaitForWindow();
    ASSERT_NE(window, 0u);
    const auto geometry = session.Geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 959);
    EXPECT_EQ(geometry->height, 639);
    // The version was asked for; nothing else was written.
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    for (const auto& line : session.Trace()) EXPECT_NE(line.kind, "output");
    for (const char* file :
         {"Profile/ConfigInfo.cfg", "Profile/Profile1.cfg", "Macro.cfg", "Language.cfg"})
        EXPECT_TRUE(fs::exists(session.DataFolder() / file)) << file;
    EXPECT_EQ(test::ReadBytes(session.DataFolder() / "Language.cfg"),
              (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

TEST_F(DriverEndToEnd, ApplyWritesTheProfileIntoTheMouseAndSavesIt) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const auto before = session.Trace().size();
    fs::remove(session.DataFolder() / "Profile" / "Profile1.cfg");

    session.Click(kApplyX, kApplyY);
    // Key matrix, LED colour, effect, touch, DPI table and level, report rate.
    ASSERT_TRUE(session.WaitForTrace(before + 10, 15s));
    ASSERT_TRUE(test::WaitUntil(
        [&] { return fs::exists(session.DataFolder() / "Profile" / "Profile1.cfg"); }, 10s));
    const auto trace = session.Trace();
    const std::vector<test::TraceLine> pass(trace.begin() + static_cast<long>(before), trace.end());
    const auto features = OfKind(pass, "feature");
    ASSERT_GE(features.size(), 7u);
    EXPECT_EQ(features.front().hex.substr(0, 4), "0712");  // the key matrix comes first
    EXPECT_EQ(features.back().hex.substr(0, 4), "0701");   // the report rate last
    EXPECT_EQ(OfKind(pass, "output").size(), 3u);          // two matrix blocks, the DPI table
    EXPECT_EQ(test::ReadBytes(session.DataFolder() / "Profile" / "Profile1.cfg").size(), 22252u);
    // The progress window came and went; the utility runs on.
    EXPECT_TRUE(session.WaitForNoWindow("OrvikProcessDlg", 5s));
    EXPECT_TRUE(session.Running());
}

TEST_F(DriverEndToEnd, ARefusedReportShowsItsFailureAndSavesNothing) {
    DriverOptions options;
    options.mouseOptions = {"--version", "12", "--refuse", "command:0x12"};
    DriverSession session(Server(), options);
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const auto profile = session.DataFolder() / "Profile" / "Profile1.cfg";
    fs::remove(profile);

    session.Click(kApplyX, kApplyY);
    // "Write key matrix failed" in the skinned box; nothing was saved.
    EXPECT_NE(session.WaitForWindow(kToast, 15s), 0u);
    EXPECT_FALSE(fs::exists(profile));
    EXPECT_TRUE(session.WaitForNoWindow("OrvikProcessDlg", 5s));
    EXPECT_TRUE(session.Running());
}

// The virtual mouse's socket; every writer of the mouse locks "<socket>.lock".
fs::path MouseSocket(const DriverSession& session) {
    std::error_code ec;
    for (fs::directory_iterator it(session.Root() / "hid", ec), end; !ec && it != end;
         it.increment(ec))
        if (fs::is_socket(it->path(), ec)) return it->path();
    return {};
}

// Another program (qxctl, say) writing to the mouse: Apply waits for it and
// sends nothing in between.
TEST_F(DriverEndToEnd, ApplyWaitsWhileAnotherProgramWritesTheMouse) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const fs::path socket = MouseSocket(session);
    ASSERT_FALSE(socket.empty());
    FileLock other = FileLock::Acquire(socket.string() + ".lock", 0ms);
    ASSERT_TRUE(other.held());
    const auto before = session.Trace().size();

    session.Click(kApplyX, kApplyY);
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(session.Trace().size(), before);
    other.Release();
    ASSERT_TRUE(session.WaitForTrace(before + 10, 15s));
    const auto trace = session.Trace();
    EXPECT_EQ(trace[before].hex.substr(0, 4), "0712");  // the whole pass, from its start
    EXPECT_TRUE(session.WaitForNoWindow("OrvikProcessDlg", 5s));
}

std::string WaitForMessage(const fs::path& file, const std::string& text) {
    std::string all;
    test::WaitUntil(
        [&] {
            all = ReadText(file);
            return all.find(text) != std::string::npos;
        },
        15s);
    return all;
}

// A macro the mouse refused: the key matrix is not written, the failure is
// shown with its own text and nothing is saved.
TEST_F(DriverEndToEnd, ARefusedMacroFailsTheApplyBeforeTheKeyMatrix) {
    test::TempDir record;
    DriverOptions options;
    options.mouseOptions = {"--version", "12", "--refuse", "command:0x13"};
    options.environment = {{"QX_TEST_MESSAGE_FILE", (record / "messages").string()}};
    DriverSession session(Server(), options);
    {
        ASSERT_TRUE(LayDownDataFolder(session.DataFolder(), false));
        RecordingNotifier notifier;
        Localization language;
        RecordingSleeper sleeper;
        NoFileDialogs dialogs;
        MacroTable table;
        MacroStore store(table, session.DataFolder(), notifier, sleeper, language, dialogs);
        MacroEntry entry{};
        entry.tag = kMacroTag;
        entry.id = 0x01000001;
        entry.loopMode = 1;
        entry.events[0] = MakeEvent(MacroEventKind::KeyPress, 0x41);
        entry.eventCount = 1;
        entry.byteSize = 4104;
        ASSERT_TRUE(store.StoreMacroRecord(entry));
        auto state = std::make_unique<ProfileState>();
        ProfileFiles files(*state, session.DataFolder(), notifier, language);
        files.LoadProfileTable();
        state->settings.buttons[2].function = kFunctionMacro;
        state->ActiveEntry().macroIds[2] = 0x01000001;
        ASSERT_TRUE(files.SaveActiveProfile());
        ASSERT_TRUE(files.SaveProfileTable());
    }
    const auto tableBefore = test::ReadBytes(session.DataFolder() / "Profile/ConfigInfo.cfg");
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const auto before = session.Trace().size();

    session.Click(kApplyX, kApplyY);
    const auto messages = WaitForMessage(record / "messages", "Write mouse macro failed.");
    EXPECT_NE(messages.find("Write mouse macro failed."), std::string::npos) << messages;
    const auto trace = session.Trace();
    for (std::size_t i = before; i < trace.size(); ++i)
        EXPECT_NE(trace[i].hex.substr(0, 4), "0712") << i;
    EXPECT_EQ(test::ReadBytes(session.DataFolder() / "Profile/ConfigInfo.cfg"), tableBefore);
}

// A save that fails after a good pass is told, not passed over in silence.
TEST_F(DriverEndToEnd, ASaveThatFailsAfterApplyIsReported) {
    test::TempDir record;
    DriverOptions options;
    options.environment = {{"QX_TEST_MESSAGE_FILE", (record / "messages").string()}};
    DriverSession session(Server(), options);
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ASSERT_TRUE(session.WaitForTrace(2, 5s));
    const auto table = session.DataFolder() / "Profile/ConfigInfo.cfg";
    fs::remove(table);
    fs::create_directory(table);  // in the way of the save, even for root

    session.Click(kApplyX, kApplyY);
    const auto messages = WaitForMessage(record / "messages", "standard: ");
    EXPECT_NE(messages.find("standard: "), std::string::npos) << messages;
    EXPECT_TRUE(fs::is_directory(table));
}

TEST_F(DriverEndToEnd, WithoutAModelTheChooserAsksFirst) {
    constexpr char kChooser[] = "Select Orvik device model";
    {
        // QX400 from the list, then OK: stored, and the utility goes on.
        DriverOptions options;
        options.model.clear();
        DriverSession session(Server(), options);
        ASSERT_TRUE(session.Start());
        const auto chooser = session.WaitForWindow(kChooser);
        ASSERT_NE(chooser, 0u);
        session.ClickIn(chooser, 166, 95);  // the model selector opens the list
        std::this_thread::sleep_for(500ms);
        session.ClickIn(chooser, 140, 106 + 3 * 22 + 11);  // its fourth line
        std::this_thread::sleep_for(300ms);
        session.ClickIn(chooser, 273, 143);  // OK
        EXPECT_NE(session.WaitForWindow(), 0u);
        EXPECT_NE(ReadText(session.DataFolder() / "DeviceModel.ini").find("DeviceModel=QX400"),
                  std::string::npos);
    }
    {
        // Closing stores "NULL" and ends the utility before any window.
        DriverOptions options;
        options.model.clear();
        DriverSession session(Server(), options);
        ASSERT_TRUE(session.Start());
        const auto chooser = session.WaitForWindow(kChooser);
        ASSERT_NE(chooser, 0u);
        session.ClickIn(chooser, 314, 14);
        EXPECT_EQ(session.WaitForExit(10s), 0);
        EXPECT_NE(ReadText(session.DataFolder() / "DeviceModel.ini").find("DeviceModel=NULL"),
                  std::string::npos);
    }
}

TEST_F(DriverEndToEnd, TheLanguageMenuAppliesAndStoresTheChoice) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    session.Click(36, 626);  // the language button
    std::this_thread::sleep_for(500ms);
    // French, the third entry of the list that opens 287 pixels above.
    session.Click(61, 635 - 287 + 6 + 2 * 22 + 11);
    EXPECT_TRUE(test::WaitUntil(
        [&] {
            return test::ReadBytes(session.DataFolder() / "Language.cfg") ==
                   std::vector<std::uint8_t>{3, 0, 0, 0};
        },
        5s));
    EXPECT_EQ(session.Qxctl({"language"}).out.find("3"), 0u);
}

TEST_F(DriverEndToEnd, WithoutAMouseTheNoticeShowsAndTheUtilityEnds) {
    DriverOptions options;
    options.startMouse = false;
    DriverSession session(Server(), options);
    ASSERT_TRUE(session.Start());
    // 1 s of firmware checks and 5 s of attempts, then the notice.
    EXPECT_NE(session.WaitForWindow(kToast, 20s), 0u);
    EXPECT_EQ(session.WaitForExit(20s), 0);
}

TEST_F(DriverEndToEnd, InFirmwareModeTheBurnerStartsInTheInstallationsLanguage) {
    for (int languageType : {2, 1}) {
        DriverOptions options;
        options.mouseOptions = {"--firmware-mode"};
        options.privateAppFolder = true;
        options.languageType = languageType;
        DriverSession session(Server(), options);
        const auto record = session.Root() / "burner.txt";
        WriteStub(session.AppFolder() / "FWUpdate" / "BuringFW", record);
        ASSERT_TRUE(session.Start());
        EXPECT_EQ(session.WaitForExit(20s), 0);
        ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(record); }, 5s));
        EXPECT_EQ(ReadText(record), languageType == 1 ? "1\n" : "0\n");
        EXPECT_EQ(session.WaitForWindow(test::kMainWindowTitle, 100ms), 0u);
    }
}

TEST_F(DriverEndToEnd, UnpluggingTheMouseShowsTheNoticeAndEnds) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    session.Mouse().Stop();
    EXPECT_NE(session.WaitForWindow(kToast, 10s), 0u);
    EXPECT_EQ(session.WaitForExit(15s), 0);
}

// An XEmbed tray on the test's server, as a desktop's panel has one.
class Tray {
public:
    explicit Tray(const test::XvfbServer& server) {
        running_ = process_.Start("/usr/bin/trayer",
                                  {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                   "--width", "200", "--height", "26"},
                                  server.ChildEnvironment(), ChildProcess::Stream::Discard,
                                  ChildProcess::Stream::Discard);
        std::this_thread::sleep_for(1s);
    }
    bool Running() const { return running_; }

private:
    ChildProcess process_;
    bool running_ = false;
};

TEST_F(DriverEndToEnd, AltF4HidesAndASecondStartShowsTheWindowAgain) {
    Tray tray(Server());
    if (!tray.Running()) GTEST_SKIP() << "trayer is not installed";
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    const auto window = session.WaitForWindow();
    ASSERT_NE(window, 0u);
    session.Click(500, 40);  // the background: gives the window the keyboard
    session.Key("Return");
    session.Key("Escape");
    session.Key("space");
    EXPECT_TRUE(session.Visible(window));
    session.Key("alt+F4");
    ASSERT_TRUE(test::WaitUntil([&] { return !session.Visible(window); }, 5s));
    EXPECT_TRUE(session.Running());

    const auto second =
        test::RunProgram(session.AppFolder() / "qx-driver", {}, session.Environment(), 10s);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_FALSE(second.timedOut);
    EXPECT_TRUE(test::WaitUntil([&] { return session.Visible(window); }, 5s));
    EXPECT_TRUE(session.Running());
}

// The tray icon embedded in the panel: the centre of the small window of
// qx-driver below trayer's panel.
std::optional<std::pair<int, int>> TrayIconCentre(const test::XvfbServer& server) {
    const auto tree =
        test::RunProgram("/usr/bin/xwininfo", {"-root", "-tree"}, server.ChildEnvironment(), 5s);
    std::istringstream in(tree.out);
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"qx-driver\": (\"qx-driver\"") == std::string::npos) continue;
        int w = 0, h = 0, x = 0, y = 0, ax = 0, ay = 0;
        const auto at = line.find(")  ");
        if (at == std::string::npos ||
            std::sscanf(line.c_str() + at + 3, "%dx%d+%d+%d +%d+%d", &w, &h, &x, &y, &ax, &ay) != 6)
            continue;
        if (w <= 32 && h <= 32) return std::pair{ax + w / 2, ay + h / 2};
    }
    return std::nullopt;
}

TEST_F(DriverEndToEnd, TheTrayMenuHasConfigAndExitAndExitEnds) {
    Tray tray(Server());
    if (!tray.Running()) GTEST_SKIP() << "trayer is not installed";
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    const auto window = session.WaitForWindow();
    ASSERT_NE(window, 0u);
    session.Click(939, 17);  // the hide button
    ASSERT_TRUE(test::WaitUntil([&] { return !session.Visible(window); }, 5s));

    std::optional<std::pair<int, int>> icon;
    ASSERT_TRUE(test::WaitUntil([&] { return (icon = TrayIconCentre(Server())).has_value(); }, 5s));
    // Config shows the window again.
    session.Xdotool(
        {"mousemove", "--sync", std::to_string(icon->first), std::to_string(icon->second)});
    session.Xdotool({"click", "3"});
    std::this_thread::sleep_for(500ms);
    session.Key("Down");
    session.Key("Return");
    EXPECT_TRUE(test::WaitUntil([&] { return session.Visible(window); }, 5s));
    // Exit ends the utility.
    session.Xdotool(
        {"mousemove", "--sync", std::to_string(icon->first), std::to_string(icon->second)});
    session.Xdotool({"click", "3"});
    std::this_thread::sleep_for(500ms);
    session.Key("Down");
    session.Key("Down");
    session.Key("Return");
    EXPECT_EQ(session.WaitForExit(10s), 0);
}

TEST_F(DriverEndToEnd, TerminationTakesTheWayOfANormalExit) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    EXPECT_EQ(session.Stop(SIGTERM), 0);
}

TEST_F(DriverEndToEnd, ASoftwareFunctionRunsItsProgramAndTheClickReachesNoWindow) {
    DriverSession session(Server());
    const auto record = session.Root() / "program run.txt";
    const auto program = WriteStub(session.Root() / "my tool", record);
    // The right button runs a program (a path with a blank).
    LayDownDataFolder(session.DataFolder(), false);
    auto settings = std::make_unique<ProfileSettings>();
    const auto path = session.DataFolder() / "Profile" / "Profile1.cfg";
    ASSERT_TRUE(ReadFilePrefix(path, AsWritableBytes(*settings)).ok());
    settings->buttons[2].function = kFunctionSoftware;
    settings->buttons[2].actionCode = 0xD0;
    ToBuffer(FromUtf8(program.string()), settings->buttons[2].actionPath);
    ASSERT_EQ(WriteFileAtomic(path, AsBytes(*settings)), FileError::None);

    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    // A window of another program under the pointer, watching for presses.
    ChildProcess xev;
    ASSERT_TRUE(xev.Start("/usr/bin/xev", {"-geometry", "200x200+10+10", "-event", "button"},
                          Server().ChildEnvironment()));
    std::this_thread::sleep_for(1s);
    session.Xdotool({"mousemove", "--sync", "100", "100"});
    session.Xdotool({"click", "3"});
    ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(record); }, 10s));
    EXPECT_EQ(ReadText(record), "\n");  // started without arguments
    session.Xdotool({"click", "1"});
    std::string out, err;
    xev.Stop();
    xev.ReadToEnd(out, err, 2s);
    // The left click arrived; the right one, held back, did not.
    EXPECT_NE(out.find("button 1"), std::string::npos) << out;
    EXPECT_EQ(out.find("button 3"), std::string::npos) << out;
}

}  // namespace
}  // namespace qx
