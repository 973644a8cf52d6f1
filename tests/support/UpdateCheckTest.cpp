// The update check from the update button to the burner, against a real
// update check thread and an HTTP server on loopback.
#include <sys/stat.h>

#include "tests/support/UpdateCheckFixture.h"

namespace qx::test {
namespace {

const std::u16string kPrompt = kMsgUpdatePromptEnglish;
const std::u16string kLatest = kMsgLatestFirmwareEnglish;
const std::u16string kFailed = kMsgFirmwareDownloadFailed;

class UpdateCheckTest : public UpdateCheckFixture {
protected:
    void ExpectNothingStarted() {
        EXPECT_TRUE(burner.arguments.empty());
        EXPECT_TRUE(mainWindow.Messages().empty());
        EXPECT_FALSE(std::filesystem::exists(paths.localFirmware));
    }
    void ExpectAllBoxesOnThePagesThread() {
        for (const auto& box : notifier.boxes) EXPECT_EQ(box.thread, std::this_thread::get_id());
    }
};

TEST_F(UpdateCheckTest, NewerFirmwarePromptsAndCancelLeavesTheLocalCopyForTheNextPress) {
    ServeDescription("13", server.Url("/fw.bin"));
    server.Serve("/fw.bin", Reply::Ok("firmware"));
    notifier.answers = {kIdCancel, kIdCancel};

    EXPECT_TRUE(PressAndWait(u"12"));
    EXPECT_EQ(notifier.Texts(), std::vector{kPrompt});
    EXPECT_TRUE(notifier.boxes[0].withCancel);
    EXPECT_EQ(LocalDescription(), Description("13", server.Url("/fw.bin")));
    EXPECT_FALSE(page.TimerRunning());

    // The next press asks at once from the local copy, without a download.
    EXPECT_FALSE(check.CheckForUpdate(u"12"));
    EXPECT_EQ(notifier.Texts(), (std::vector{kPrompt, kPrompt}));
    EXPECT_TRUE(control.updateIdle.load());
    EXPECT_EQ(page.timerStarts, 1);
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kDescriptionPath});
    ExpectNothingStarted();
    ExpectAllBoxesOnThePagesThread();
}

TEST_F(UpdateCheckTest, AnswerFollowsTheNumbersAndTheLanguage) {
    const struct {
        std::u16string mouse;
        std::string current;
        bool chinese;
        std::u16string_view shown;
    } cases[] = {
        {u"13", "13", false, kMsgLatestFirmwareEnglish},
        {u"13", "13", true, kMsgLatestFirmwareChinese},
        {u"14", "13", false, kMsgLatestFirmwareEnglish},
        {u"12", "", false, kMsgLatestFirmwareEnglish},
        {u"12", "-1", false, kMsgLatestFirmwareEnglish},
        {u"12", "13", false, kMsgUpdatePromptEnglish},
        {u"12", "13", true, kMsgUpdatePromptChinese},
        {u"9", "10", false, kMsgUpdatePromptEnglish},
        {u"", "1", false, kMsgUpdatePromptEnglish},  // no version read from the mouse
        {u"12", "\n  13\n", false, kMsgUpdatePromptEnglish},
        {u"99", "99999999999999999999", false, kMsgUpdatePromptEnglish},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.mouse) + " / " + c.current);
        std::filesystem::remove(paths.localDescription);
        ServeDescription(c.current, server.Url("/fw.bin"));
        language.chineseMode = c.chinese;
        notifier.boxes.clear();
        notifier.answers = {kIdCancel};
        EXPECT_TRUE(PressAndWait(c.mouse));
        EXPECT_EQ(notifier.Texts(), std::vector{std::u16string(c.shown)});
        EXPECT_TRUE(control.updateIdle.load());
    }
    ExpectNothingStarted();
}

TEST_F(UpdateCheckTest, NoServerIsAnsweredAsLatestByTheThreadBeforeTheTimeOut) {
    SetBaseUrl("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()));
    const auto start = Clock::now();
    EXPECT_TRUE(PressAndWait(u"12"));
    EXPECT_EQ(notifier.Texts(), std::vector{kLatest});
    EXPECT_LT(notifier.boxes[0].at - start, 1500ms);
    EXPECT_FALSE(page.TimerRunning());
    ASSERT_EQ(page.handled.size(), 1u);
    EXPECT_EQ(page.handled[0].message, kMsgUpdateCheckDone);
    EXPECT_EQ(page.handled[0].wParam, 0u);
}

TEST_F(UpdateCheckTest, RefusedOrBrokenDescriptionsKeepThePreviousLocalCopy) {
    WriteLocalDescription("12", server.Url("/old.bin"));
    const std::string previous = LocalDescription();
    WriteText(app / "planted.xml", Description("99", "https://h/fw.bin"));
    std::string huge = Description("13", server.Url("/fw.bin"));
    huge += "<!--" + std::string((2u << 20) - huge.size(), 'x') + "-->";
    const std::string newer = Description("13", server.Url("/fw.bin"));
    const std::string ftp = "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/update.xml";

    const struct {
        const char* name;
        Reply reply;
    } cases[] = {
        {"2 MiB announced", Reply::Ok(huge)},
        {"2 MiB unannounced", Reply::Ok(huge).WithoutLength()},
        {"cut short", Reply::Ok(newer).CutAfter(newer.size() / 2)},
        {"not found", Reply::Status(404, newer)},
        {"redirect to file", Reply::Redirect("file://" + (app / "planted.xml").string())},
        {"redirect to ftp", Reply::Redirect(ftp)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Serve(kDescriptionPath, c.reply);
        notifier.boxes.clear();
        EXPECT_TRUE(PressAndWait(u"12"));
        EXPECT_EQ(notifier.Texts(), std::vector{kLatest});
        EXPECT_EQ(LocalDescription(), previous);
    }
    // A redirect within http(s) is followed.
    server.Serve("/moved.xml", Reply::Ok(newer));
    server.Serve(kDescriptionPath, Reply::Redirect("/moved.xml"));
    notifier.boxes.clear();
    notifier.answers = {kIdCancel};
    EXPECT_TRUE(PressAndWait(u"12"));
    EXPECT_EQ(notifier.Texts(), std::vector{kPrompt});
    EXPECT_EQ(LocalDescription(), newer);
    ExpectNothingStarted();
}

TEST_F(UpdateCheckTest, FirmwareUrlOtherThanHttpIsRefusedAndNothingStarts) {
    WriteText(app / "planted.bin", "not from the server");
    const std::string port = std::to_string(server.Port());
    for (const std::string& newfile : std::vector<std::string>{
             "file://" + (app / "planted.bin").string(), "ftp://127.0.0.1:" + port + "/fw.bin",
             "gopher://127.0.0.1:" + port + "/fw.bin", "127.0.0.1:" + port + "/fw.bin", ""}) {
        SCOPED_TRACE(newfile);
        ServeDescription("13", newfile);
        std::filesystem::remove(paths.localDescription);
        notifier.boxes.clear();
        EXPECT_TRUE(PressAndWait(u"12"));
        EXPECT_EQ(notifier.Texts(), (std::vector{kPrompt, kFailed}));
        EXPECT_TRUE(control.updateIdle.load());
    }
    for (const auto& r : server.Requests()) EXPECT_EQ(r, kDescriptionPath);
    ExpectNothingStarted();
}

TEST_F(UpdateCheckTest, OkDownloadsTheFirmwareThenStartsTheBurnerAndCloses) {
    ServeDescription("13", server.Url("/fw/v13.bin"));
    server.Serve("/fw/v13.bin", Reply::Ok(std::string(100000, '\x5A')));
    EXPECT_TRUE(PressAndWait(u"12"));
    EXPECT_EQ(notifier.Texts(), std::vector{kPrompt});
    EXPECT_EQ(LocalFirmware(), std::string(100000, '\x5A'));
    EXPECT_EQ(burner.arguments, std::vector<std::string>{"0"});
    EXPECT_EQ(mainWindow.Messages(), (std::vector<PostedMessage>{{kWmClose, 0, 0}}));
    EXPECT_FALSE(control.updateIdle.load());  // the utility is closing
    EXPECT_FALSE(check.CheckForUpdate(u"12"));
}

// The burner as an outside program: started directly with the language's
// argument once the firmware file is in place.
TEST_F(UpdateCheckTest, StubBurnerStartsWithTheLanguageArgument) {
    WriteText(paths.burner,
              "#!/bin/sh\n"
              "dir=$(dirname \"$0\")\n"
              "[ -s \"$dir/new_version/OrvikGameDevice.bin\" ] && have=firmware || have=none\n"
              "printf '%s %s %s\\n' \"$#\" \"$1\" \"$have\" > \"$dir/args.tmp\"\n"
              "mv \"$dir/args.tmp\" \"$dir/args\"\n");
    ::chmod(paths.burner.c_str(), 0755);
    SpawnFirmwareBurner spawn(paths.burner);
    UpdateCheck spawning(control, paths, u"QX600", language, notifier, spawn, page,
                         Unowned(mainWindow));
    ServeDescription("13", server.Url("/fw.bin"));
    server.Serve("/fw.bin", Reply::Ok("firmware"));
    const auto args = paths.burner.parent_path() / "args";

    for (const bool chinese : {false, true}) {
        SCOPED_TRACE(chinese);
        language.chineseMode = chinese;
        std::filesystem::remove(args);
        std::filesystem::remove(paths.localFirmware);
        mainWindow.Clear();
        control.updateIdle = true;  // a new run of the utility
        EXPECT_TRUE(PressAndWait(spawning, u"12"));
        for (int i = 0; i < 500 && !std::filesystem::exists(args); ++i)
            std::this_thread::sleep_for(10ms);
        const auto said = ReadBytes(args);
        EXPECT_EQ(std::string(said.begin(), said.end()),
                  chinese ? "1 1 firmware\n" : "1 0 firmware\n");
        EXPECT_EQ(mainWindow.Messages(), (std::vector<PostedMessage>{{kWmClose, 0, 0}}));
    }
    // The second run asked from the local copy, and still fetched the firmware.
    EXPECT_EQ(DescriptionRequests(), 1u);
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST_F(UpdateCheckTest, FailedFirmwareDownloadKeepsThePreviousFileAndStartsNothing) {
    WriteText(paths.localFirmware, "old firmware");
    const struct {
        const char* name;
        Reply reply;
    } cases[] = {
        {"not found", Reply::Status(404, "no")},
        {"over 16 MiB", Reply::Ok(std::string((16u << 20) + 1, 'x')).WithoutLength()},
        {"cut short", Reply::Ok("new firmware").CutAfter(4)},
        {"empty", Reply::Ok("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ServeDescription("13", server.Url("/fw.bin"));
        server.Serve("/fw.bin", c.reply);
        std::filesystem::remove(paths.localDescription);
        notifier.boxes.clear();
        EXPECT_TRUE(PressAndWait(u"12"));
        EXPECT_EQ(notifier.Texts(), (std::vector{kPrompt, kFailed}));
        EXPECT_EQ(LocalFirmware(), "old firmware");
        EXPECT_TRUE(control.updateIdle.load());
    }
    EXPECT_TRUE(burner.arguments.empty());
    EXPECT_TRUE(mainWindow.Messages().empty());
}

TEST_F(UpdateCheckTest, TwoQuickPressesStartOneCheck) {
    ServeDescription("13", server.Url("/fw.bin"), 300ms);
    notifier.answers = {kIdCancel};
    EXPECT_TRUE(check.CheckForUpdate(u"13"));
    EXPECT_FALSE(check.CheckForUpdate(u"13"));
    page.RunUntil(
        check, [&] { return control.updateIdle.load(); }, 5000ms);
    EXPECT_EQ(notifier.Texts(), std::vector{kLatest});
    EXPECT_EQ(page.timerStarts, 1);
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kDescriptionPath});
}

TEST_F(UpdateCheckTest, UnusableSettingEndsAsAFailedDownloadWithoutARequest) {
    WriteText(paths.settings,
              "[update]\nbase_url=ftp://127.0.0.1:" + std::to_string(server.Port()) + "\n");
    EXPECT_TRUE(PressAndWait(u"12"));
    EXPECT_EQ(notifier.Texts(), std::vector{kLatest});
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace qx::test
