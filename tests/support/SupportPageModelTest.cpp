// The support page's commands without the window: the dialogs' answers, the
// restore confirmation and the hint areas.
#include "support/SupportPageModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/ProfileRecord.h"
#include "base/Text.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"

namespace qx::support {
namespace {

using test::FakeFileDialogs;
using Kind = RecordingNotifier::Kind;

class RecordingDesktop final : public DesktopActions {
public:
    void PlaySoundFile(const std::filesystem::path&) override {}
    void RunProgram(const std::filesystem::path&) override {}
    void OpenPath(const std::filesystem::path& path) override { opened.push_back(path.string()); }
    void OpenUrl(std::string_view url) override { opened.emplace_back(url); }
    std::vector<std::string> opened;
};

class SupportPageModelTest : public ::testing::Test {
protected:
    SupportPageModelTest() {
        files.LoadProfileTable();
        files.onSettingsReplaced = [this] { ++refreshes; };
        notifier.Clear();
    }

    test::TempDir data;
    std::unique_ptr<ProfileState> state = std::make_unique<ProfileState>();
    RecordingNotifier notifier;
    Localization language;
    ProfileFiles files{*state, data.path(), notifier, language};
    FakeFileDialogs dialogs;
    RecordingDesktop desktop;
    test::RecordingTarget mainWindow;
    SupportPageModel model{files, dialogs, notifier, language, desktop, Unowned(mainWindow)};
    int refreshes = 0;
};

TEST_F(SupportPageModelTest, DialogsAskForProfileFilesAndOnlyTheSaveDialogGuardsOverwrites) {
    dialogs.answers = {std::nullopt, std::nullopt};
    EXPECT_FALSE(model.ExportToChosenFile());
    EXPECT_FALSE(model.ImportFromChosenFile());
    ASSERT_EQ(dialogs.asked.size(), 2u);
    for (const auto& asked : dialogs.asked) {
        EXPECT_EQ(asked.filter, u"CFG Files(*.cfg)|*.cfg||");
        EXPECT_EQ(asked.defaultExtension, u".cfg");
        EXPECT_TRUE(asked.hideReadOnly);
    }
    EXPECT_TRUE(dialogs.asked[0].promptOverwrite);
    EXPECT_FALSE(dialogs.asked[1].promptOverwrite);
    // Cancelled: no message, nothing refreshed.
    EXPECT_TRUE(notifier.Messages().empty());
    EXPECT_EQ(refreshes, 0);
}

TEST_F(SupportPageModelTest, ExportedChangedProfileComesBackThroughImport) {
    const auto file = data / "my profile.cfg";
    state->settings.reportInterval = 4;
    state->settings.lightingMode = 3;
    state->macroIds[4] = 0x01000007;
    const ProfileSettings changed = state->settings;

    dialogs.answers = {file};
    EXPECT_TRUE(model.ExportToChosenFile());
    EXPECT_EQ(std::filesystem::file_size(file), 30252u);

    MakeDefaultProfile(state->settings, false);
    state->macroIds.fill(0);
    dialogs.answers = {file};
    EXPECT_TRUE(model.ImportFromChosenFile());
    EXPECT_EQ(std::memcmp(&state->settings, &changed, sizeof changed), 0);
    EXPECT_EQ(state->macroIds[4], 0x01000007u);
    EXPECT_EQ(refreshes, 1);  // the pages show what was imported
    const std::u16string path = FromUtf8(file.string());
    EXPECT_EQ(notifier.Messages(), (std::vector<RecordingNotifier::Message>{
                                       {Kind::Standard, path + u" export success!"},
                                       {Kind::Standard, path + u" import success!"}}));
}

TEST_F(SupportPageModelTest, ImportOfSomethingElseChangesNothing) {
    const auto file = data / "notes.cfg";
    test::WriteText(file, "not a profile at all");
    state->settings.reportInterval = 2;
    dialogs.answers = {file};
    EXPECT_FALSE(model.ImportFromChosenFile());
    EXPECT_EQ(state->settings.reportInterval, 2);
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(notifier.Messages(),
              (std::vector<RecordingNotifier::Message>{
                  {Kind::Standard, FromUtf8(file.string()) + u" is an invaild Profile!"}}));
}

TEST_F(SupportPageModelTest, RestoreIsRequestedOnlyAfterOkInTheUsersLanguage) {
    const struct {
        bool chinese;
        int answer;
        std::u16string_view question;
        bool requested;
    } cases[] = {
        {false, kIdCancel, u"Do you want to restore the default setting?", false},
        {true, kIdCancel, u"确定要恢复默认设置?", false},
        {false, kIdOk, u"Do you want to restore the default setting?", true},
        {true, kIdOk, u"确定要恢复默认设置?", true},
    };
    for (const auto& c : cases) {
        language.chineseMode = c.chinese;
        notifier.answer = c.answer;
        notifier.Clear();
        mainWindow.Clear();
        EXPECT_EQ(model.ConfirmRestoreDefaults(), c.requested);
        EXPECT_EQ(
            notifier.Messages(),
            (std::vector<RecordingNotifier::Message>{{Kind::Info, std::u16string(c.question)}}));
        const std::vector<test::PostedMessage> request = {{kMsgRestoreDefaults, 0, 0}};
        EXPECT_EQ(mainWindow.Messages(), c.requested ? request : decltype(request){});
    }
    // The restore itself is the main window's: memory here is untouched.
    EXPECT_EQ(refreshes, 0);
}

TEST_F(SupportPageModelTest, WebSiteIsTheMakersOverHttps) {
    model.OpenWebSite();
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"https://www.orvik.com"});
}

TEST(SupportHints, EachAreaAnswersOnePixelBeyondItsRectangle) {
    const struct {
        int x, y, hint;
    } cases[] = {
        {405, 264, 59}, {404, 263, 59}, {520, 293, 59}, {521, 293, 0},  // update
        {403, 280, 0},  {711, 264, 60}, {826, 293, 60}, {827, 270, 0},  // web site
        {133, 388, 61}, {224, 420, 61}, {234, 400, 62}, {229, 400, 0},  // import, export
        {784, 387, 63}, {873, 417, 63}, {874, 418, 0},                  // restore
        {76, 109, 92},  {274, 141, 92}, {275, 120, 0},                  // driver label
        {379, 112, 93}, {559, 140, 93}, {470, 180, 0},                  // firmware label
        {0, 0, 0},      {924, 455, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SupportHintAt(c.x, c.y), c.hint) << c.x << "," << c.y;
}

}  // namespace
}  // namespace qx::support
