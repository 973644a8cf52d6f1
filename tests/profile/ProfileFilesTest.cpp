#include "profile/ProfileFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "base/Text.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using Kind = RecordingNotifier::Kind;
using test::PathText;
using test::TempDir;

class ProfileFilesTest : public ::testing::Test {
protected:
    ProfileFilesTest() : files(*state, dir.path(), notifier, language) {
        language.table.Set("str_msg2", u"Cannot find %s.");
        language.table.Set("str_msg4", u"No access (4).");
        language.table.Set("str_msg5", u"No access (5).");
    }

    std::filesystem::path Folder() const { return dir.path() / "Profile"; }

    void WriteTable(const ProfileTable& table) {
        std::filesystem::create_directories(Folder());
        test::WriteBytes(files.ConfigInfoPath(), &table, sizeof table);
    }

    void WriteProfile(int slot, const ProfileSettings& settings,
                      std::size_t size = sizeof(ProfileSettings)) {
        std::filesystem::create_directories(Folder());
        test::WriteBytes(files.ProfilePath(slot), &settings, size);
    }

    static std::unique_ptr<ProfileSettings> Profile(std::int32_t pointerSpeed) {
        auto p = std::make_unique<ProfileSettings>();
        MakeDefaultProfile(*p, false);
        p->pointerSpeed = pointerSpeed;
        return p;
    }

    bool FileHoldsDefault(int slot) {
        auto expected = Profile(10);
        const auto bytes = test::ReadBytes(files.ProfilePath(slot));
        return bytes.size() == sizeof(ProfileSettings) &&
               std::memcmp(bytes.data(), expected.get(), bytes.size()) == 0;
    }

    TempDir dir;
    RecordingNotifier notifier;
    Localization language;
    std::unique_ptr<ProfileState> state = std::make_unique<ProfileState>();
    ProfileFiles files;
};

TEST_F(ProfileFilesTest, FirstStartCreatesProfile1AndSelectsNothing) {
    files.LoadProfileTable();
    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, Kind::Info);
    EXPECT_EQ(messages[0].text, u"Failed to open file, check whether there is a " +
                                    PathText(files.ConfigInfoPath()) + u" path?");
    EXPECT_TRUE(FileHoldsDefault(1));
    EXPECT_EQ(state->activeIndex, 0);
    EXPECT_EQ(state->table.entries[0].active, 1);
    EXPECT_EQ(state->settings.magic, kProfileMagic);
    for (int i = 0; i < kProfileCount; ++i) {
        EXPECT_FALSE(files.IsShownSelected(i));  // the entries have no magic
        EXPECT_EQ(FromBuffer(state->table.entries[i].path), PathText(files.ProfilePath(i + 1)));
    }
}

TEST_F(ProfileFilesTest, FlaggedEntryWithBadMagicIsReplacedAndTheWalkGoesOn) {
    ProfileTable table{};
    for (auto& e : table.entries) e.magic = kEntryMagic;
    table.entries[2].active = 1;
    table.entries[4].active = 1;
    WriteTable(table);
    auto bad = Profile(3);
    bad->magic = 0x12345678;
    WriteProfile(3, *bad);
    WriteProfile(5, *Profile(17));

    files.LoadProfileTable();

    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, Kind::Standard);
    EXPECT_EQ(messages[0].text, PathText(files.ProfilePath(3)) + u" is an invaild Profile!");
    EXPECT_TRUE(FileHoldsDefault(3));
    EXPECT_EQ(state->table.entries[2].active, 0);
    EXPECT_EQ(state->activeIndex, 4);
    EXPECT_EQ(state->settings.pointerSpeed, 17);
    EXPECT_TRUE(files.IsShownSelected(4));
    EXPECT_FALSE(files.IsShownSelected(2));
}

TEST_F(ProfileFilesTest, MissingActiveFileIsReportedRecreatedAndProfile1Used) {
    ProfileTable table{};
    for (auto& e : table.entries) e.magic = kEntryMagic;
    table.entries[1].active = 1;
    table.entries[0].macroIds[3] = 0x7000001;
    WriteTable(table);
    WriteProfile(1, *Profile(12));

    files.LoadProfileTable();

    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, u"Failed to open file, check whether there is a " +
                                    PathText(files.ProfilePath(2)) + u" path?");
    EXPECT_TRUE(FileHoldsDefault(2));
    EXPECT_EQ(state->activeIndex, 0);
    EXPECT_EQ(state->settings.pointerSpeed, 12);
    EXPECT_EQ(state->macroIds[3], 0x7000001);
}

TEST_F(ProfileFilesTest, ShortProfileWithMagicIsAcceptedRestZero) {
    auto p = Profile(10);
    std::vector<std::uint8_t> file(100, 0x11);
    std::memcpy(file.data(), &kProfileMagic, 4);
    std::filesystem::create_directories(Folder());
    test::WriteBytes(files.ProfilePath(1), file.data(), file.size());
    EXPECT_EQ(files.LoadProfileFile(files.ProfilePath(1), true), LoadResult::Loaded);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&state->settings);
    EXPECT_EQ(bytes[99], 0x11);
    EXPECT_EQ(bytes[100], 0);
    EXPECT_EQ(state->settings.scrollLines, 0);
}

TEST_F(ProfileFilesTest, RejectedFileLeavesSettingsUntouched) {
    MakeDefaultProfile(state->settings, false);
    state->settings.pointerSpeed = 19;
    auto bad = Profile(2);
    bad->magic = 0;
    WriteProfile(4, *bad);
    EXPECT_EQ(files.LoadProfileFile(files.ProfilePath(4), true), LoadResult::NotAProfile);
    EXPECT_EQ(state->settings.pointerSpeed, 19);
    EXPECT_EQ(files.LoadProfileFile(dir / "absent.cfg", false), LoadResult::CannotOpen);
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.cfg"));
}

TEST_F(ProfileFilesTest, ReservedBytesAndMissingMagicsSurviveASave) {
    ProfileTable table{};
    std::memset(&table, 0x5C, sizeof table);
    for (auto& e : table.entries) {
        e.magic = 0;  // no magic: ignored, but written back as it was
        e.active = 0;
        ToBuffer(u"C:\\old\\path.cfg", e.path);
    }
    WriteTable(table);
    files.LoadProfileTable();
    ASSERT_TRUE(files.SaveProfileTable());
    auto saved = test::ReadBytes(files.ConfigInfoPath());
    ASSERT_EQ(saved.size(), sizeof(ProfileTable));
    ProfileTable back;
    std::memcpy(&back, saved.data(), sizeof back);
    for (int i = 0; i < kProfileCount; ++i) {
        const auto& e = back.entries[i];
        EXPECT_EQ(e.magic, 0u);
        EXPECT_EQ(std::memcmp(e.reserved8, table.entries[i].reserved8, 4), 0);
        EXPECT_EQ(std::memcmp(e.reserved12, table.entries[i].reserved12, 520), 0);
        EXPECT_EQ(std::memcmp(e.reserved1052, table.entries[i].reserved1052, 520), 0);
        EXPECT_EQ(FromBuffer(e.path), PathText(files.ProfilePath(i + 1)));
    }
    // The profile file keeps its reserved bytes as well.
    state->settings.reserved22096[5] = 0x77;
    state->settings.buttons[2].reserved1068[100] = 0x66;
    ASSERT_TRUE(files.SaveActiveProfile());
    const auto profile = test::ReadBytes(files.ProfilePath(1));
    EXPECT_EQ(profile[22096 + 5], 0x77);
    EXPECT_EQ(profile[4 + 2 * 3148 + 1068 + 100], 0x66);
}

TEST_F(ProfileFilesTest, FailedSelectionChangesNothing) {
    files.LoadProfileTable();
    state->settings.pointerSpeed = 18;
    state->macroIds[0] = 42;
    auto bad = Profile(1);
    bad->magic = 1;
    WriteProfile(2, *bad);
    notifier.Clear();

    EXPECT_FALSE(files.SelectProfile(1));
    EXPECT_EQ(state->activeIndex, 0);
    EXPECT_EQ(state->settings.pointerSpeed, 18);
    EXPECT_EQ(state->macroIds[0], 42);
    EXPECT_EQ(state->table.entries[0].active, 1);
    EXPECT_EQ(state->table.entries[1].active, 0);

    // A missing file is re-created with the default profile, memory stays.
    EXPECT_FALSE(files.SelectProfile(2));
    EXPECT_TRUE(FileHoldsDefault(3));
    EXPECT_EQ(state->settings.pointerSpeed, 18);
    EXPECT_EQ(state->activeIndex, 0);
}

TEST_F(ProfileFilesTest, SelectionLoadsAndMovesTheFlag) {
    files.LoadProfileTable();
    WriteProfile(4, *Profile(6));
    state->table.entries[3].macroIds[6] = 0x1234;
    int refreshed = 0;
    files.onSettingsReplaced = [&] { ++refreshed; };
    ASSERT_TRUE(files.SelectProfile(3));
    EXPECT_EQ(state->activeIndex, 3);
    EXPECT_EQ(state->settings.pointerSpeed, 6);
    EXPECT_EQ(state->macroIds[6], 0x1234);
    EXPECT_EQ(state->table.entries[0].active, 0);
    EXPECT_EQ(state->table.entries[3].active, 1);
    EXPECT_EQ(refreshed, 1);
    // Memory only: the files follow with the next synchronisation.
    EXPECT_FALSE(std::filesystem::exists(files.ConfigInfoPath()));
}

TEST_F(ProfileFilesTest, SaveFailuresShowTheirLanguageTexts) {
    files.LoadProfileTable();
    notifier.Clear();
    std::filesystem::remove_all(Folder());
    EXPECT_FALSE(files.SaveActiveProfile());
    std::filesystem::create_directories(files.ProfilePath(1));  // a folder in the way
    EXPECT_FALSE(files.SaveActiveProfile());
    // A language file without the texts must not make the failure silent.
    language.table.Set("str_msg5", u"");
    EXPECT_FALSE(files.SaveActiveProfile());
    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0],
              (RecordingNotifier::Message{
                  Kind::Standard, u"Cannot find " + PathText(files.ProfilePath(1)) + u"."}));
    EXPECT_EQ(messages[1], (RecordingNotifier::Message{Kind::Standard, u"No access (5)."}));
    EXPECT_EQ(messages[2],
              (RecordingNotifier::Message{
                  Kind::Standard, PathText(files.ProfilePath(1)) + u" could not be saved."}));
}

// A full disk (here the file-size limit) after a synchronisation: reported,
// the old files stay whole, and the table is not written over a profile file
// that did not change.
TEST_F(ProfileFilesTest, SaveAfterSyncReportsAFullDiskAndKeepsTheOldFiles) {
    files.LoadProfileTable();
    ASSERT_TRUE(files.SaveProfileTable());
    const auto oldProfile = test::ReadBytes(files.ProfilePath(1));
    const auto oldTable = test::ReadBytes(files.ConfigInfoPath());
    notifier.Clear();
    state->settings.pointerSpeed = 15;
    state->ActiveEntry().macroIds[0] = 0x0100000A;
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = files.SaveAfterSync();
        const auto messages = notifier.Messages();
        const bool told =
            messages.size() == 1 &&
            messages[0].text == PathText(files.ProfilePath(1)) + u" could not be saved.";
        ::_exit(!saved && told ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::ReadBytes(files.ProfilePath(1)), oldProfile);
    EXPECT_EQ(test::ReadBytes(files.ConfigInfoPath()), oldTable);
    EXPECT_EQ(state->settings.pointerSpeed, 15);  // kept for the next try
}

// The table's path fields are kept for the file format only: a field naming
// another file, or a folder too long (or not UTF-8) to be held in 260 units,
// must not decide which file is loaded or written.
TEST_F(ProfileFilesTest, FilesAreTheSlotsWhateverThePathFieldsSay) {
    ProfileTable table{};
    for (auto& e : table.entries) e.magic = kEntryMagic;
    table.entries[1].active = 1;
    ToBuffer(PathText(dir / "elsewhere.cfg"), table.entries[1].path);
    WriteTable(table);
    WriteProfile(2, *Profile(7));
    test::WriteBytes(dir / "elsewhere.cfg", Profile(3).get(), sizeof(ProfileSettings));
    files.LoadProfileTable();
    EXPECT_EQ(state->activeIndex, 1);
    EXPECT_EQ(state->settings.pointerSpeed, 7);
    state->settings.pointerSpeed = 9;
    ASSERT_TRUE(files.SaveAfterSync());
    EXPECT_EQ(test::ReadBytes(files.ProfilePath(2))[22232], 9);
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere.cfg")[22232], 3);

    for (const std::string& name : {std::string(270, 'l'), std::string("x\xe9y")}) {
        SCOPED_TRACE(name.size());
        std::filesystem::path folder = dir.path();
        for (std::size_t at = 0; at < name.size(); at += 200) folder /= name.substr(at, 200);
        std::filesystem::create_directories(folder / "Profile");
        auto other = std::make_unique<ProfileState>();
        ProfileFiles deep(*other, folder, notifier, language);
        auto mine = Profile(4);
        test::WriteBytes(deep.ProfilePath(1), mine.get(), sizeof(ProfileSettings));
        deep.LoadProfileTable();
        EXPECT_EQ(other->settings.pointerSpeed, 4);
        other->settings.pointerSpeed = 5;
        ASSERT_TRUE(deep.SaveAfterSync());
        EXPECT_EQ(test::ReadBytes(deep.ProfilePath(1))[22232], 5);
    }
}

TEST_F(ProfileFilesTest, DefaultFileThatCannotBeWrittenShowsMsg4) {
    std::filesystem::create_directories(Folder() / "Profile1.cfg");  // a folder in the way
    EXPECT_EQ(files.CreateDefaultProfileFile(files.ProfilePath(1)), 0);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, u"No access (4).");
}

TEST_F(ProfileFilesTest, ExportImportRoundTripsSettingsAndMacroIds) {
    files.LoadProfileTable();
    state->settings.pointerSpeed = 7;
    state->settings.colours[3] = 0x00FF00;
    state->macroIds = {0, 0x1000001, 0, 0, 0x2000005, 0, 0};
    const auto exchange = dir / "mine.cfg";
    ASSERT_TRUE(files.ExportProfile(exchange));
    EXPECT_EQ(test::ReadBytes(exchange).size(), kExchangeFileSize);

    MakeDefaultProfile(state->settings, false);
    state->macroIds = {};
    std::fill(std::begin(state->ActiveEntry().macroIds), std::end(state->ActiveEntry().macroIds),
              0);
    ASSERT_TRUE(files.ImportProfile(exchange));
    EXPECT_EQ(state->settings.pointerSpeed, 7);
    EXPECT_EQ(state->settings.colours[3], 0x00FF00u);
    EXPECT_EQ(state->macroIds, (ButtonMacroIds{0, 0x1000001, 0, 0, 0x2000005, 0, 0}));
    const auto messages = notifier.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2].text, PathText(exchange) + u" export success!");
    EXPECT_EQ(messages.back().text, PathText(exchange) + u" import success!");
}

TEST_F(ProfileFilesTest, ExchangeFileWithoutTablePartKeepsMacroIds) {
    files.LoadProfileTable();
    state->ActiveEntry().macroIds[1] = 0x55;
    const auto exchange = dir / "short.cfg";
    test::WriteBytes(exchange, Profile(4).get(), sizeof(ProfileSettings));
    ASSERT_TRUE(files.ImportProfile(exchange));
    EXPECT_EQ(state->settings.pointerSpeed, 4);
    EXPECT_EQ(state->macroIds[1], 0x55);
}

TEST_F(ProfileFilesTest, BadImportChangesNothingAndFailedExportIsNoSuccess) {
    files.LoadProfileTable();
    state->settings.pointerSpeed = 13;
    notifier.Clear();
    const auto exchange = dir / "bad.cfg";
    test::WriteText(exchange, "not a profile at all");
    EXPECT_FALSE(files.ImportProfile(exchange));
    EXPECT_FALSE(files.ImportProfile(dir / "absent.cfg"));
    EXPECT_EQ(state->settings.pointerSpeed, 13);

    EXPECT_FALSE(files.ExportProfile(dir / "no/such/folder.cfg"));
    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, PathText(exchange) + u" is an invaild Profile!");
    EXPECT_EQ(messages[1].text, PathText(dir / "absent.cfg") + u" is an invaild Profile!");
    EXPECT_EQ(messages[2].text, PathText(dir / "no/such/folder.cfg") + u" export failed!");
}

}  // namespace
}  // namespace qx
