#include "macro/MacroStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "tests/common/MacroBuilder.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using namespace test;
using Kind = RecordingNotifier::Kind;
using Message = RecordingNotifier::Message;

class MacroStoreTest : public ::testing::Test {
protected:
    MacroStoreTest() {
        language.table.Set("str_msg2", u"Cannot find %s.");
        language.table.Set("str_msg4", u"No access.");
    }

    MacroStore Store(MacroTable& t, const std::filesystem::path& folder) {
        return MacroStore(t, folder, notifier, sleeper, language, dialogs);
    }

    std::vector<std::uint8_t> TableBytes(const MacroTable& t) {
        const auto bytes = t.Bytes();
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
        return {p, p + bytes.size()};
    }

    TempDir dir;
    RecordingNotifier notifier;
    RecordingSleeper sleeper;
    Localization language;
    FakeFileDialogs dialogs;
    MacroTable table;
    MacroStore store = Store(table, dir.path());
};

TEST_F(MacroStoreTest, LoadMissingFileReportsAndKeepsTheTable) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_FALSE(store.LoadMacroFile());
    EXPECT_EQ(
        notifier.Messages(),
        (std::vector<Message>{{Kind::Info, u"Cannot find " + PathText(dir / "Macro.cfg") + u"."}}));
    EXPECT_TRUE(table.FindMacroById(0x16000001));

    // A missing folder is reported the same way.
    notifier.Clear();
    MacroTable other;
    EXPECT_FALSE(Store(other, dir / "gone").LoadMacroFile());
    ASSERT_EQ(notifier.Messages().size(), 1u);
}

TEST_F(MacroStoreTest, LoadOfSomethingThatIsNotAFileIsReported) {
    std::filesystem::create_directory(dir / "Macro.cfg");
    EXPECT_FALSE(store.LoadMacroFile());
    EXPECT_EQ(notifier.Messages(),
              (std::vector<Message>{{Kind::Info, u"Failed to open file, check whether there is a " +
                                                     PathText(dir / "Macro.cfg") + u" path?"}}));
}

TEST_F(MacroStoreTest, LoadReadsAShortFileAndZeroesTheRest) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000009, {Press(1)})));  // replaced by the load
    const auto second = Record(0x16000002, {Press(2)});
    std::vector<std::uint8_t> file(sizeof(MacroEntry) + 100, 0);
    std::memcpy(file.data() + sizeof(MacroEntry), second.get(), 100);  // slot 1 cut after 100 bytes
    WriteBytes(dir / "Macro.cfg", file.data(), file.size());

    EXPECT_TRUE(store.LoadMacroFile());
    EXPECT_EQ(table.Slot(0).id, 0u);
    EXPECT_EQ(table.Slot(1).id, 0x16000002u);
    EXPECT_EQ(table.Slot(1).events[0], Press(2));
    EXPECT_EQ(table.Slot(1).events[19], 0u);
    EXPECT_FALSE(table.FindMacroById(0x16000009));
}

TEST_F(MacroStoreTest, LoadIgnoresBytesBeyondTheTable) {
    std::vector<std::uint8_t> file(kMacroFileSize + 4104, 0xAB);
    WriteBytes(dir / "Macro.cfg", file.data(), file.size());
    EXPECT_TRUE(store.LoadMacroFile());
    EXPECT_EQ(table.Slot(499).name[39], 0xABAB);
}

TEST_F(MacroStoreTest, SaveCreatesAMissingFileAfterSayingSo) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_TRUE(store.SaveMacroFile());
    EXPECT_EQ(notifier.Messages(),
              (std::vector<Message>{
                  {Kind::Standard, u"Cannot find " + PathText(dir / "Macro.cfg") + u"."}}));
    EXPECT_TRUE(sleeper.Pauses().empty());
    EXPECT_EQ(ReadBytes(dir / "Macro.cfg"), TableBytes(table));
}

TEST_F(MacroStoreTest, SaveOverAnExistingFilePausesBeforeAndAfter) {
    WriteText(dir / "Macro.cfg", "old");
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_TRUE(store.SaveMacroFile());
    EXPECT_EQ(sleeper.Pauses(), (std::vector<std::chrono::milliseconds>{100ms, 100ms}));
    EXPECT_TRUE(notifier.Messages().empty());
    const auto bytes = ReadBytes(dir / "Macro.cfg");
    EXPECT_EQ(bytes.size(), kMacroFileSize);
    EXPECT_EQ(bytes, TableBytes(table));
}

// A save that fails is never silent, and the change stays in memory.
TEST_F(MacroStoreTest, SaveFailuresAreReported) {
    std::filesystem::create_directory(dir / "Macro.cfg");  // in the way, cannot be replaced
    EXPECT_TRUE(store.StoreMacroRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_EQ(notifier.Messages(), (std::vector<Message>{{Kind::Standard, u"No access."}}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Macro.cfg"));
    EXPECT_TRUE(table.FindMacroById(0x16000001));

    notifier.Clear();
    MacroTable other;
    EXPECT_FALSE(Store(other, dir / "gone").SaveMacroFile());  // no data folder
    EXPECT_EQ(notifier.Messages(),
              (std::vector<Message>{
                  {Kind::Standard, u"Cannot find " + PathText(dir / "gone/Macro.cfg") + u"."}}));
}

// Two programs on one data folder (the utility and qxctl, say), each with the
// table in memory: what one stores must survive the other's next save.
TEST_F(MacroStoreTest, ChangesOfAnotherProgramAreKeptBySaves) {
    WriteText(dir / "Macro.cfg", "");
    MacroTable theirs;
    MacroStore other = Store(theirs, dir.path());
    ASSERT_TRUE(store.LoadMacroFile());
    ASSERT_TRUE(other.LoadMacroFile());
    ASSERT_TRUE(store.StoreMacroRecord(*Record(0x16000001, {Press(1)}, u"mine")));
    ASSERT_TRUE(other.StoreMacroRecord(*Record(0x17000002, {Press(2)}, u"theirs")));
    ASSERT_TRUE(store.RenameMacro(0x16000001, u"renamed"));

    MacroTable check;
    ASSERT_TRUE(Store(check, dir.path()).LoadMacroFile());
    ASSERT_TRUE(check.FindMacroById(0x16000001));
    ASSERT_TRUE(check.FindMacroById(0x17000002));
    EXPECT_EQ(FromBuffer(check.Slot(*check.FindMacroById(0x16000001)).name), u"renamed");
    // The other program's clear reaches this one's next save as well.
    ASSERT_TRUE(other.LoadMacroFile());
    other.ClearMacroSlot(0x16000001);
    ASSERT_TRUE(other.SaveMacroFile());
    ASSERT_TRUE(store.StoreMacroRecord(*Record(0x18000003, {Press(3)})));
    ASSERT_TRUE(Store(check, dir.path()).LoadMacroFile());
    EXPECT_FALSE(check.FindMacroById(0x16000001));
    EXPECT_TRUE(check.FindMacroById(0x17000002));
    EXPECT_TRUE(check.FindMacroById(0x18000003));
}

TEST_F(MacroStoreTest, SaveIntoAFolderWithoutAccessShowsBothMessages) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    const auto folder = dir / "locked";
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(
        folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    MacroTable other;
    EXPECT_FALSE(Store(other, folder).SaveMacroFile());
    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], (Message{Kind::Standard, u"No access."}));
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

TEST_F(MacroStoreTest, StoreMacroRecordWritesTheFile) {
    WriteText(dir / "Macro.cfg", "");
    EXPECT_TRUE(store.StoreMacroRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_EQ(ReadBytes(dir / "Macro.cfg"), TableBytes(table));
    auto bad = Record(0x16000002, {});
    bad->tag = 0;
    EXPECT_FALSE(store.StoreMacroRecord(*bad));
    EXPECT_EQ(sleeper.Pauses().size(), 2u);  // only the first one saved
}

TEST_F(MacroStoreTest, ExportThenImportOnACleanDataFolderRoundTripsByteForByte) {
    auto record = Record(0x05ABCDEF, {Press(0x41), Pause(1500), Position(-5, 300), Release(0x41)},
                         u"Grenade ✓", 0xFFFF);
    ASSERT_TRUE(store.StoreMacroRecord(*record));
    notifier.Clear();

    const auto file = dir / "exchange" / "grenade.cfg";
    std::filesystem::create_directory(dir / "exchange");
    dialogs.answers.push_back(file);
    EXPECT_EQ(store.ExportMacro(0x05ABCDEF), MacroExportResult::Written);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].proposedName, u"Grenade ✓");
    EXPECT_EQ(dialogs.asked[0].defaultExtension, u".cfg");
    EXPECT_EQ(dialogs.asked[0].filter, u"CFG Files(*.cfg)|*.cfg||");
    EXPECT_TRUE(dialogs.asked[0].promptOverwrite);
    EXPECT_EQ(notifier.Messages(),
              (std::vector<Message>{{Kind::Standard, PathText(file) + u" export success!"}}));

    const auto exported = ReadBytes(file);
    ASSERT_EQ(exported.size(), sizeof(MacroEntry));
    EXPECT_EQ(std::memcmp(exported.data(), record.get(), sizeof(MacroEntry)), 0);

    TempDir clean;
    MacroTable fresh;
    auto freshStore = Store(fresh, clean.path());
    dialogs.answers.push_back(file);
    EXPECT_EQ(freshStore.ImportMacro(), 5u);
    EXPECT_TRUE(dialogs.asked.back().keepCurrentDirectory);
    EXPECT_EQ(std::memcmp(&fresh.Slot(0), record.get(), sizeof(MacroEntry)), 0);
    const auto saved = ReadBytes(clean / "Macro.cfg");
    ASSERT_EQ(saved.size(), kMacroFileSize);
    EXPECT_EQ(std::memcmp(saved.data(), record.get(), sizeof(MacroEntry)), 0);
}

TEST_F(MacroStoreTest, ExportCancelledUnknownOrUnwritable) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_EQ(store.ExportMacro(0x16000002), MacroExportResult::NoSuchMacro);
    EXPECT_TRUE(dialogs.asked.empty());

    dialogs.answers.push_back(std::nullopt);
    EXPECT_EQ(store.ExportMacro(0x16000001), MacroExportResult::Cancelled);
    EXPECT_TRUE(notifier.Messages().empty());

    const auto target = dir / "no" / "such" / "m.cfg";
    dialogs.answers.push_back(target);
    EXPECT_EQ(store.ExportMacro(0x16000001), MacroExportResult::Failed);
    EXPECT_EQ(notifier.Messages(),
              (std::vector<Message>{{Kind::Standard, PathText(target) + u" export failed!"}}));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(MacroStoreTest, ImportUnreadableDuplicateAndFull) {
    dialogs.answers.push_back(std::nullopt);
    EXPECT_EQ(store.ImportMacro(), std::nullopt);

    const auto missing = dir / "missing.cfg";
    dialogs.answers.push_back(missing);
    EXPECT_EQ(store.ImportMacro(), std::nullopt);
    EXPECT_EQ(
        notifier.Messages(),
        (std::vector<Message>{{Kind::Standard, PathText(missing) + u" is an invaild Profile!"}}));
    notifier.Clear();

    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    const auto file = dir / "dup.cfg";
    const auto duplicate = Record(0x16000001, {Press(2)});
    WriteBytes(file, duplicate.get(), sizeof(MacroEntry));
    dialogs.answers.push_back(file);
    EXPECT_EQ(store.ImportMacro(), std::nullopt);
    EXPECT_TRUE(notifier.Messages().empty());
    EXPECT_EQ(table.Slot(0).events[0], Press(1));
    EXPECT_FALSE(std::filesystem::exists(dir / "Macro.cfg"));  // nothing saved

    for (std::uint32_t i = 2; i <= kMacroSlotCount; ++i)
        ASSERT_TRUE(table.StoreRecord(*Record(0x16000000 + i, {Press(1)})));
    const auto extra = Record(0x17000000, {Press(2)});
    WriteBytes(file, extra.get(), sizeof(MacroEntry));
    dialogs.answers.push_back(file);
    EXPECT_EQ(store.ImportMacro(), std::nullopt);
    EXPECT_TRUE(notifier.Messages().empty());
    EXPECT_FALSE(table.FindMacroById(0x17000000));
}

TEST_F(MacroStoreTest, ImportTellsWhetherTheFileWasSaved) {
    const auto file = dir / "m.cfg";
    const auto record = Record(0x16000001, {Press(1)});
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    EXPECT_TRUE(store.ImportMacroFrom(file).saved);

    MacroTable other;
    const auto outcome = Store(other, dir / "gone").ImportMacroFrom(file);  // no data folder
    EXPECT_TRUE(outcome.opened);
    EXPECT_EQ(outcome.category, 22u);
    EXPECT_FALSE(outcome.saved);
}

// Only files tagged as the utility writes them (0xE8E8 in the top half) are
// macros; anything else (random bytes, a text file) is refused whole.
TEST_F(MacroStoreTest, ImportRefusesAFileWithoutTheMacroTag) {
    const auto file = dir / "m.cfg";
    for (const std::uint32_t tag : {0x00000000u, 0x12345678u, 0xE8E70010u, 0x0010E8E8u}) {
        SCOPED_TRACE(tag);
        auto record = Record(0x16000001, {Press(1)});
        record->tag = tag;
        WriteBytes(file, record.get(), sizeof(MacroEntry));
        const auto outcome = store.ImportMacroFrom(file);
        EXPECT_TRUE(outcome.opened);
        EXPECT_FALSE(outcome.valid);
        EXPECT_FALSE(outcome.category);
    }
    EXPECT_FALSE(table.FindMacroById(0x16000001));
    EXPECT_FALSE(std::filesystem::exists(dir / "Macro.cfg"));
    dialogs.answers.push_back(file);
    EXPECT_EQ(store.ImportMacro(), std::nullopt);
    EXPECT_EQ(
        notifier.Messages(),
        (std::vector<Message>{{Kind::Standard, PathText(file) + u" is an invaild Profile!"}}));

    for (const std::uint32_t tag : {kMacroTag, 0xE8E8FFFFu}) {
        auto record = Record(0x16000000 + (tag & 0xFF), {Press(1)});
        record->tag = tag;
        WriteBytes(file, record.get(), sizeof(MacroEntry));
        EXPECT_TRUE(store.ImportMacroFrom(file).category) << tag;
    }
}

TEST(MacroMerge, BothSidesKeepTheirMacros) {
    auto base = std::make_unique<MacroSlots>();
    std::memset(base->data(), 0, kMacroFileSize);
    auto ours = std::make_unique<MacroSlots>(*base);
    auto theirs = std::make_unique<MacroSlots>(*base);
    (*base)[3] = *Record(0x16000004, {Press(4)});
    (*ours)[3] = (*base)[3];
    (*theirs)[3] = (*base)[3];
    (*ours)[0] = *Record(0x16000001, {Press(1)});  // both stored into the first free slot
    (*theirs)[0] = *Record(0x17000001, {Press(2)});
    (*theirs)[3] = MacroEntry{};  // they cleared one
    auto out = std::make_unique<MacroSlots>();
    MergeMacroSlots(*base, *ours, *theirs, *out);
    EXPECT_EQ((*out)[0].id, 0x16000001u);
    EXPECT_EQ((*out)[1].id, 0x17000001u);  // moved to the first free slot
    EXPECT_EQ((*out)[3].id, 0u);
}

TEST(MacroInUse, ProfileEntriesAndTheActiveButtons) {
    auto table = std::make_unique<ProfileTable>();
    auto active = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*active, false);
    std::memset(table.get(), 0, sizeof(ProfileTable));
    EXPECT_FALSE(IsMacroInUse(0x16000001, *table, *active));

    table->entries[3].macroIds[6] = 0x16000001;  // a profile that is not the active one
    EXPECT_TRUE(IsMacroInUse(0x16000001, *table, *active));
    table->entries[3].macroIds[6] = 0;

    active->buttons[2].macroId = 0x16000001;  // only the id, function not a macro
    EXPECT_FALSE(IsMacroInUse(0x16000001, *table, *active));
    active->buttons[2].function = kFunctionMacro;
    EXPECT_TRUE(IsMacroInUse(0x16000001, *table, *active));
    EXPECT_FALSE(IsMacroInUse(0x16000002, *table, *active));

    auto state = std::make_unique<ProfileState>();
    state->table.entries[4].macroIds[0] = 0x16000003;
    EXPECT_TRUE(IsMacroInUse(0x16000003, *state));
}

}  // namespace
}  // namespace qx
