// The two-second wait of the support page against a server that answers
// late: seconds each.
#include "tests/support/UpdateCheckFixture.h"

namespace qx::test {
namespace {

const std::u16string kPrompt = kMsgUpdatePromptEnglish;
const std::u16string kLatest = kMsgLatestFirmwareEnglish;
const std::u16string kFailed = kMsgFirmwareDownloadFailed;

class UpdateTimeoutTest : public UpdateCheckFixture {};

TEST_F(UpdateTimeoutTest, LateAnswerIsNotShownButServesTheNextPress) {
    ServeDescription("13", server.Url("/fw.bin"), 3000ms);
    const auto start = Clock::now();
    EXPECT_TRUE(check.CheckForUpdate(u"12"));
    page.RunUntil(
        check, [&] { return !notifier.boxes.empty(); }, 5000ms);
    ASSERT_EQ(notifier.Texts(), std::vector{kLatest});
    EXPECT_GE(notifier.boxes[0].at - start, 1900ms);
    EXPECT_LT(notifier.boxes[0].at - start, 2900ms);
    EXPECT_TRUE(control.updateIdle.load());
    EXPECT_TRUE(control.updateTimedOut.load());

    // The download ends at 3 s: nothing more is shown, its description is kept.
    const std::string fresh = Description("13", server.Url("/fw.bin"));
    EXPECT_TRUE(page.RunUntil(
        check, [&] { return LocalDescription() == fresh; }, 3000ms));
    page.RunFor(check, 300ms);
    EXPECT_EQ(notifier.Texts(), std::vector{kLatest});

    // The next press asks at once from what arrived late.
    notifier.answers = {kIdCancel};
    EXPECT_FALSE(check.CheckForUpdate(u"12"));
    EXPECT_EQ(notifier.Texts(), (std::vector{kLatest, kPrompt}));
    EXPECT_EQ(DescriptionRequests(), 1u);
}

// A press after the time-out, while the first download still runs, gets the
// answer of its own download, not the late one of the first.
TEST_F(UpdateTimeoutTest, PressAfterTheTimeOutGetsItsOwnAnswer) {
    ServeDescription("12", server.Url("/fw.bin"), 3000ms);
    EXPECT_TRUE(check.CheckForUpdate(u"12"));
    page.RunUntil(
        check, [&] { return !notifier.boxes.empty(); }, 5000ms);
    ASSERT_EQ(notifier.Texts(), std::vector{kLatest});

    ServeDescription("13", server.Url("/fw.bin"));
    notifier.answers = {kIdCancel};
    EXPECT_TRUE(check.CheckForUpdate(u"12"));
    page.RunUntil(
        check, [&] { return notifier.boxes.size() == 2 && control.updateIdle.load(); }, 5000ms);
    page.RunFor(check, 300ms);
    EXPECT_EQ(notifier.Texts(), (std::vector{kLatest, kPrompt}));
    EXPECT_EQ(DescriptionRequests(), 2u);
    EXPECT_FALSE(page.TimerRunning());
}

TEST_F(UpdateTimeoutTest, ClosingDuringASlowDownloadEndsTheThreadPromptly) {
    ServeDescription("13", server.Url("/fw.bin"), 20000ms);
    EXPECT_TRUE(check.CheckForUpdate(u"12"));
    ASSERT_TRUE(server.WaitForRequests(1, 5000ms));
    const auto start = Clock::now();
    control.Stop();
    thread.join();
    EXPECT_LT(Clock::now() - start, 3s);
}

class NoThreadTest : public UpdateCheckFixture {
protected:
    NoThreadTest() : UpdateCheckFixture(false) {}
};

TEST_F(NoThreadTest, TimeOutAnswersAndAFirmwareDownloadFailsAtOnce) {
    ServeDescription("13", server.Url("/fw.bin"));
    const auto start = Clock::now();
    EXPECT_TRUE(check.CheckForUpdate(u"12"));
    page.RunUntil(
        check, [&] { return !notifier.boxes.empty(); }, 5000ms);
    EXPECT_EQ(notifier.Texts(), std::vector{kLatest});
    EXPECT_GE(notifier.boxes[0].at - start, 1900ms);
    EXPECT_FALSE(event.IsSet());  // nobody will take that check any more
    EXPECT_TRUE(control.updateIdle.load());

    // A newer firmware known from an earlier run cannot be fetched either.
    WriteLocalDescription("13", server.Url("/fw.bin"));
    EXPECT_FALSE(check.CheckForUpdate(u"12"));
    EXPECT_EQ(notifier.Texts(), (std::vector{kLatest, kPrompt, kFailed}));
    EXPECT_TRUE(control.updateIdle.load());
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(burner.arguments.empty());
}

}  // namespace
}  // namespace qx::test
