#include "app/SoftwareFunctions.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/Text.h"
#include "macro/InputHooks.h"
#include "tests/common/RecordingTarget.h"

namespace qx {
namespace {

class RecordingActions final : public DesktopActions {
public:
    void PlaySoundFile(const std::filesystem::path& file) override {
        log.push_back("sound " + file.string());
    }
    void RunProgram(const std::filesystem::path& program) override {
        log.push_back("run " + program.string());
    }
    void OpenPath(const std::filesystem::path& path) override {
        log.push_back("open " + path.string());
    }
    void OpenUrl(std::string_view url) override { log.push_back("url " + std::string(url)); }
    std::vector<std::string> log;
};

class SoftwareFunctionsTest : public ::testing::Test {
protected:
    std::unique_ptr<ProfileSettings> settings = std::make_unique<ProfileSettings>();
    RecordingActions actions;
    test::RecordingTarget stats;

    void SetUp() override { MakeDefaultProfile(*settings, false); }
    void Give(int button, std::int32_t action, std::u16string_view path) {
        auto& b = settings->buttons[button];
        b.function = kFunctionSoftware;
        b.actionCode = action;
        ToBuffer(path, b.actionPath);
    }
    void Report(std::uint32_t code, LParam lParam = 0) {
        OnButtonReport(code, lParam, *settings, Unowned(stats), actions);
    }
};

TEST_F(SoftwareFunctionsTest, EachActionWithAPathOfBlanksAsOneArgument) {
    Give(0, kActionSound, u"/home/a b/ding dong.wav");
    Give(2, kActionProgram, u"/opt/My Tools/tool");
    Give(3, kActionFile, u"/home/a b/notes.txt");
    Give(5, kActionFolder, u"/home/a b/My Files");
    Report(kEventLeft);
    Report(kEventRight);
    Report(kEventForward);
    Report(kEventWheelForward);
    Report(kEventWheelForward);  // once per wheel step
    EXPECT_EQ(actions.log,
              (std::vector<std::string>{"sound /home/a b/ding dong.wav", "run /opt/My Tools/tool",
                                        "open /home/a b/notes.txt", "open /home/a b/My Files",
                                        "open /home/a b/My Files"}));
}

TEST_F(SoftwareFunctionsTest, EveryReportReachesTheStatisticsPageFirst) {
    Give(1, kActionProgram, u"/bin/true");
    Report(kEventMiddle, 0x1234);
    Report(kEventLeft, 7);  // not a software function: statistics only
    Report(0x0202, 9);      // no button at all
    EXPECT_EQ(stats.Messages(),
              (std::vector<test::PostedMessage>{{kMsgStatsButton, WParam{kEventMiddle}, 0x1234},
                                                {kMsgStatsButton, WParam{kEventLeft}, 7},
                                                {kMsgStatsButton, WParam{0x0202}, 9}}));
    EXPECT_EQ(actions.log, (std::vector<std::string>{"run /bin/true"}));
}

TEST_F(SoftwareFunctionsTest, EmptyPathOrUnknownActionDoesNothing) {
    Give(0, kActionFile, u"");
    Give(2, 0x42, u"/bin/true");
    Report(kEventLeft);
    Report(kEventRight);
    EXPECT_TRUE(actions.log.empty());
    // Without a statistics page the action still runs.
    Give(4, kActionProgram, u"/bin/true");
    OnButtonReport(kEventBack, 0, *settings, TargetHandle(), actions);
    EXPECT_EQ(actions.log, (std::vector<std::string>{"run /bin/true"}));
}

TEST(SoftwareFunctionButtons, EventCodesInButtonOrder) {
    const std::uint32_t codes[] = {kEventLeft,         kEventMiddle, kEventRight,
                                   kEventForward,      kEventBack,   kEventWheelForward,
                                   kEventWheelBackward};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(ButtonOfEventCode(codes[i]), i);
    EXPECT_EQ(ButtonOfEventCode(0x0202), -1);
    EXPECT_EQ(ButtonOfEventCode(0), -1);
}

}  // namespace
}  // namespace qx
