// The macro page's list by category, its macro operations, the item editors
// and the loop controls, without a window.
#include <gtest/gtest.h>

#include "tests/macro/MacroPageFixture.h"

namespace qx::macro::test {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    return ReadBytes(path);
}

// --- the macro list --------------------------------------------------------------

class MacroListTest : public MacroPageFixture {
protected:
    void SetUp() override {
        std::vector<std::unique_ptr<MacroEntry>> records;
        records.push_back(Record(0x16000001, {Press(kVkA)}, u"own one"));
        records.push_back(Record(0x11000001, {Press(kVkB)}, u"mine"));
        records.push_back(Record(0x03000001, {Press(kVkA)}, u"cs"));
        records.push_back(Record(0x11000002, {Press(kVkA), Pause(20), Release(kVkA)}, u"craft"));
        records.push_back(Record(0x16000002, {Press(kVkB)}, u"own two"));
        Open(std::move(records));
    }
};

TEST_F(MacroListTest, ACategoryListsOnlyItsMacrosAndShowsTheLast) {
    EXPECT_EQ(model->Text(kCategoryButton), u"Customisze");
    EXPECT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x16000001, 0x16000002}));

    model->SelectCategory(17);
    EXPECT_EQ(model->Text(kCategoryButton), u"Minecraft");
    EXPECT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x11000001, 0x11000002}));
    EXPECT_EQ(model->MacroList().Item(1).text, u"craft");
    EXPECT_EQ(model->MacroList().Selection(), 1);
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkA), Pause(20), Release(kVkA)}));
    EXPECT_EQ(model->rememberedMacro(), 1);
    EXPECT_EQ(model->selectedEvent(), 2);
    language.chineseMode = true;
    EXPECT_EQ(model->Text(kCategoryButton), u"我的世界");

    model->SelectCategory(40);  // not a category of the menu
    EXPECT_EQ(model->Text(kCategoryButton), u"");
    EXPECT_TRUE(ListedIds().empty());
    EXPECT_TRUE(model->EventList().Empty());
}

TEST_F(MacroListTest, TheMenuOffersTheTwentyTwoCategories) {
    const auto items = model->CategoryMenuItems();
    for (int i = 0; i < kCategoryCount; ++i) {
        EXPECT_EQ(items[i].marker, 255);
        EXPECT_EQ(items[i].value, i + 1);
    }
    EXPECT_EQ(FromBuffer(items[0].text), u"Battlefield 3 ");
    EXPECT_EQ(FromBuffer(items[21].text), u"Customize");
    language.chineseMode = true;
    EXPECT_EQ(FromBuffer(model->CategoryMenuItems()[12].text), u"远古遗迹守卫2（Dota 2） ");
}

TEST_F(MacroListTest, NewMacroIsListedAndOpenedForItsNameButNotStoredYet) {
    const auto before = FileBytes(store.MacroFilePath());
    clock.Set(0x7A123456);
    model->NewMacro();
    ASSERT_EQ(model->MacroList().Count(), 3);
    EXPECT_EQ(model->MacroList().Item(2), (PageListItem{u"New Macro", 0x16123456}));
    EXPECT_EQ(model->MacroList().Selection(), 2);
    EXPECT_EQ(model->rememberedMacro(), 2);
    EXPECT_TRUE(model->EventList().Empty());
    EXPECT_EQ(model->selectedEvent(), -1);
    EXPECT_EQ(model->Text(kLoopCountEdit), u"1");
    EXPECT_TRUE(model->State(kLoopCountSwitch).down);
    EXPECT_EQ(FileBytes(store.MacroFilePath()), before);

    // A second one in the same millisecond gets an id of its own.
    language.chineseMode = true;
    model->NewMacro();
    EXPECT_EQ(model->MacroList().Item(3).text, u"新建宏");
    EXPECT_NE(model->MacroList().Data(3), 0x16123456u);
    EXPECT_EQ(model->MacroList().Data(3) >> 24, 0x16u);

    // The first event stores it under its list name.
    model->Insert();
    model->PositionTypeButton();
    model->PositionOk();
    const MacroEntry* e = Entry(model->MacroList().Data(3));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(FromBuffer(e->name), u"新建宏");
    EXPECT_EQ(Stored(e->id), std::vector<MacroEvent>{Position(0, 0)});
}

TEST_F(MacroListTest, AMacroInUseAnywhereCannotBeDeleted) {
    struct Case {
        const char* where;
        void (*use)(ProfileState&, std::int32_t id);
    };
    const Case cases[] = {
        {"another profile's entry",
         [](ProfileState& p, std::int32_t id) { p.table.entries[3].macroIds[6] = id; }},
        {"a button of the active profile",
         [](ProfileState& p, std::int32_t id) {
             p.settings.buttons[2].function = kFunctionMacro;
             p.settings.buttons[2].macroId = id;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        profiles = {};
        notifier.Clear();
        c.use(profiles, 0x16000002);
        model->DeleteMacro();
        EXPECT_EQ(InfoMessages(),
                  std::vector<std::u16string>{std::u16string(kMacroInUseText.english)});
        EXPECT_TRUE(Entry(0x16000002));
        EXPECT_EQ(model->MacroList().Count(), 2);
    }
}

TEST_F(MacroListTest, DeleteClearsTheSlotAndLeavesNothingSelected) {
    ClickMacro(0);
    model->DeleteMacro();
    EXPECT_FALSE(Entry(0x16000001));
    MacroTable reloaded;
    MacroStore(reloaded, dir.path(), notifier, sleeper, language, dialogs).LoadMacroFile();
    EXPECT_FALSE(reloaded.FindMacroById(0x16000001));
    EXPECT_EQ(ListedIds(), std::vector<std::uint32_t>{0x16000002});
    EXPECT_EQ(model->MacroList().Selection(), -1);
    EXPECT_TRUE(model->EventList().Empty());

    // The macro that moved into the deleted one's place loads when clicked,
    // and an edit is stored into it, not into a stale index.
    ClickMacro(0);
    EXPECT_EQ(Shown(), std::vector<MacroEvent>{Press(kVkB)});
    model->Insert();
    model->PositionTypeButton();
    model->PositionOk();
    EXPECT_EQ(Stored(0x16000002), (std::vector<MacroEvent>{Position(0, 0), Press(kVkB)}));

    // With nothing selected, Delete does nothing.
    model->MacroList().Select(-1);
    model->DeleteMacro();
    EXPECT_EQ(model->MacroList().Count(), 1);
}

TEST_F(MacroListTest, RenamingAStoredMacroWritesItOnceAndKeepsItsEvents) {
    const auto saves = Saves();
    model->OnListEditDone(kMacroListId, 0, u"renamed");
    EXPECT_EQ(Saves(), saves + 1);
    EXPECT_EQ(FromBuffer(Entry(0x16000001)->name), u"renamed");
    EXPECT_EQ(Stored(0x16000001), std::vector<MacroEvent>{Press(kVkA)});
    EXPECT_EQ(model->MacroList().Item(0).text, u"renamed");

    // The same name again, or a macro not stored yet: nothing is written.
    model->OnListEditDone(kMacroListId, 0, u"renamed");
    model->NewMacro();
    model->OnListEditDone(kMacroListId, 2, u"later");
    EXPECT_EQ(Saves(), saves + 1);
    EXPECT_EQ(model->MacroList().Item(2).text, u"later");
    // An edit report from the event list never renames a macro.
    model->OnListEditDone(kEventListId, 1, u"sneaky");
    EXPECT_EQ(FromBuffer(Entry(0x16000002)->name), u"own two");
}

TEST_F(MacroListTest, RenamingAnIdStoredTwiceRenamesEachSlotInPlace) {
    // An import can store an id twice; each slot keeps its own events.
    auto copy = Record(0x16000002, {Release(kVkA), Release(kVkB)}, u"twin");
    ClickMacro(0);
    model->DeleteMacro();  // frees slot 0, before the slot holding 0x16000002
    ASSERT_TRUE(table.ImportRecord(AsBytes(*copy)));
    model->FillMacroList(kMacroCategoryOwn);
    ASSERT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x16000002, 0x16000002}));
    model->OnListEditDone(kMacroListId, 1, u"both");
    EXPECT_EQ(FromBuffer(table.Slot(0).name), u"both");
    EXPECT_EQ(FromBuffer(table.Slot(4).name), u"both");
    EXPECT_EQ(table.Slot(0).events[0], Release(kVkA));
    EXPECT_EQ(table.Slot(4).events[0], Press(kVkB));
}

TEST_F(MacroListTest, ImportSwitchesToTheImportedCategory) {
    const auto file = dir / "cs.cfg";
    auto record = Record(0x03ABCDEF, {Press(kVkA), Release(kVkA)}, u"imported");
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    dialogs.answers.push_back(file);
    model->ImportMacro();
    EXPECT_EQ(model->currentCategory(), 3);
    EXPECT_EQ(model->Text(kCategoryButton), u"Counter-Strike: Global Offensive");
    EXPECT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x03000001, 0x03ABCDEF}));
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkA), Release(kVkA)}));

    // Cancelled: nothing changes.
    model->ImportMacro();
    EXPECT_EQ(model->currentCategory(), 3);
}

TEST_F(MacroListTest, ExportWritesTheSelectedMacro) {
    const auto file = dir / "out.cfg";
    dialogs.answers.push_back(file);
    model->ExportMacro();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].proposedName, u"own two");
    EXPECT_EQ(ReadBytes(file).size(), sizeof(MacroEntry));
    model->MacroList().Select(-1);
    model->ExportMacro();
    EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST_F(MacroListTest, SwitchingMacrosStoresNothing) {
    const auto saves = Saves();
    ClickMacro(0);
    ClickMacro(1);
    model->NewMacro();
    ClickMacro(2);  // already the remembered one: nothing happens
    EXPECT_EQ(Saves(), saves);
    EXPECT_EQ(model->Text(kLoopCountEdit), u"1");
}

// --- item editors ---------------------------------------------------------------

class EditingTest : public MacroPageFixture {
protected:
    static constexpr std::uint32_t kId = 0x16000001;
    void SetUp() override {
        std::vector<std::unique_ptr<MacroEntry>> records;
        records.push_back(Record(kId, {Press(kVkA), Pause(100), Release(kVkA)}));
        Open(std::move(records));
    }
    void InsertDelay(int at, std::u16string text) {
        ClickEvent(at);
        model->Insert();
        model->DelayTypeButton();
        model->SetDelayText(std::move(text));
        model->DelayOk();
    }
};

TEST_F(EditingTest, InsertingADelayMergesWithANeighbouringDelay) {
    struct Case {
        int selected;
        std::u16string typed;
        std::vector<MacroEvent> result;
    };
    const std::vector<MacroEvent> original{Press(kVkA), Pause(100), Release(kVkA)};
    const Case cases[] = {
        {1, u"50", {Press(kVkA), Pause(150), Release(kVkA)}},  // the delay itself
        {2, u"50", {Press(kVkA), Pause(150), Release(kVkA)}},  // the key after it
        {0, u"50", original},                                  // not before the first event
        {2, u"5x", original},                                  // not a number
        {2, u"", original},
        {2, u"400000", {Press(kVkA), Pause(327670), Release(kVkA)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.typed) + " at " + std::to_string(c.selected));
        ASSERT_TRUE(store.StoreMacroRecord(*Record(kId, original)));
        model->FillMacroList(kMacroCategoryOwn);
        InsertDelay(c.selected, c.typed);
        EXPECT_EQ(Shown(), c.result);
        EXPECT_EQ(Stored(kId), c.result);
        EXPECT_EQ(model->editMode(), EditMode::None);
        EXPECT_FALSE(model->State(kDelayEdit).visible);
    }
}

TEST_F(EditingTest, InsertingADelayBetweenKeysAddsAnItem) {
    ASSERT_TRUE(store.StoreMacroRecord(*Record(kId, {Press(kVkA), Release(kVkA), Pause(200000)})));
    model->FillMacroList(kMacroCategoryOwn);
    InsertDelay(1, u"30");
    EXPECT_EQ(Stored(kId),
              (std::vector<MacroEvent>{Press(kVkA), Pause(30), Release(kVkA), Pause(200000)}));
    EXPECT_EQ(model->EventList().Selection(), 1);
    EXPECT_EQ(model->selectedEvent(), 1);
    InsertDelay(3, u"200000");  // next to 200000: capped
    EXPECT_EQ(Stored(kId).back(), Pause(327670));
    // A typed value beyond 24 bits is taken as the largest delay, not wrapped.
    InsertDelay(1, u"16777216");
    EXPECT_EQ(Stored(kId)[1], Pause(327670));
}

TEST_F(EditingTest, InsertingAKeyPutsPressAndReleaseBeforeTheSelection) {
    ClickEvent(2);
    model->Insert();
    EXPECT_EQ(model->editMode(), EditMode::InsertChosen);
    for (const Control c : {kKeyTypeButton, kDelayTypeButton, kPositionTypeButton})
        EXPECT_TRUE(model->State(c).visible);
    model->KeyTypeButton();
    EXPECT_EQ(model->editMode(), EditMode::InsertKey);
    EXPECT_TRUE(model->State(kKeyTypeButton).down);
    EXPECT_TRUE(model->State(kKeyEdit).visible);
    EXPECT_TRUE(hooks.KeyForwarding());
    EXPECT_EQ(hooks.HookTarget().get(), &page);
    Key(kVkB, false);
    model->KeyOk();
    EXPECT_EQ(Stored(kId), (std::vector<MacroEvent>{Press(kVkA), Pause(100), Press(kVkB),
                                                    Release(kVkB), Release(kVkA)}));
    EXPECT_EQ(model->EventList().Selection(), 3);
    EXPECT_FALSE(hooks.KeyForwarding());
    EXPECT_FALSE(model->State(kKeyTypeButton).visible);

    // No key captured, or no event selected: nothing but the editor closes.
    model->Insert();
    model->KeyTypeButton();
    model->KeyOk();
    model->EventList().Select(-1);
    model->Insert();
    model->KeyTypeButton();
    Key(kVkA, true);
    model->KeyOk();
    EXPECT_EQ(Stored(kId).size(), 5u);
}

TEST_F(EditingTest, InsertingBeyondAThousandEventsIsRefused) {
    std::vector<MacroEvent> full;
    for (int i = 0; i < 999; ++i) full.push_back(i % 2 ? Release(kVkA) : Press(kVkA));
    ASSERT_TRUE(store.StoreMacroRecord(*Record(kId, full)));
    model->FillMacroList(kMacroCategoryOwn);
    ClickEvent(0);
    model->Insert();
    model->KeyTypeButton();
    Key(kVkB, false);
    model->KeyOk();  // two more would be 1001
    EXPECT_EQ(InfoMessages(), std::vector<std::u16string>{std::u16string(kInsertFullText.english)});
    EXPECT_EQ(Stored(kId).size(), 999u);

    notifier.Clear();
    ClickEvent(5);
    model->Insert();
    model->PositionTypeButton();
    model->PositionOk();  // one more fits
    EXPECT_EQ(Stored(kId).size(), 1000u);
    model->Insert();
    model->PositionTypeButton();
    model->PositionOk();
    EXPECT_EQ(Stored(kId).size(), 1000u);
    EXPECT_EQ(InfoMessages().size(), 1u);
}

TEST_F(EditingTest, ModifyChangesTheSelectedItemOnly) {
    ClickEvent(0);
    model->Modify();
    EXPECT_EQ(model->editMode(), EditMode::ModifyKey);
    EXPECT_TRUE(model->State(kKeyTypeButton).down);
    EXPECT_FALSE(model->State(kDelayTypeButton).visible);
    Key(kVkB, false);
    model->KeyOk();
    // The release stays on the old key.
    EXPECT_EQ(Stored(kId), (std::vector<MacroEvent>{Press(kVkB), Pause(100), Release(kVkA)}));

    ClickEvent(1);
    model->Modify();
    EXPECT_EQ(model->editMode(), EditMode::ModifyDelay);
    model->SetDelayText(u"99999999");
    model->DelayOk();
    EXPECT_EQ(Stored(kId)[1], Pause(16777215));
    EXPECT_EQ(ShownTexts()[1], u"16777215  ms");
}

TEST_F(EditingTest, APositionKeepsWhatItsWordCanHold) {
    ClickEvent(1);
    model->Insert();
    model->PositionTypeButton();
    EXPECT_EQ(model->Text(kXEdit), u"0");
    EXPECT_EQ(model->Text(kYEdit), u"0");
    model->SetXText(u"3000");
    model->SetYText(u"-5");
    model->PositionOk();
    EXPECT_EQ(ShownTexts()[1], u"(3000, -5)");
    EXPECT_EQ(Stored(kId)[1], Position(952, -5));
    model->FillMacroList(kMacroCategoryOwn);
    EXPECT_EQ(ShownTexts()[1], u"(952, -5)");

    // Modify shows the stored values and replaces the item.
    ClickEvent(1);
    model->Modify();
    EXPECT_EQ(model->Text(kXEdit), u"952");
    EXPECT_EQ(model->Text(kYEdit), u"-5");
    model->SetXText(u"-7");
    model->PositionOk();
    EXPECT_EQ(Stored(kId)[1], Position(-7, -5));
}

TEST_F(EditingTest, ThePositionArrowsStopAndCycleAtTheirBounds) {
    ClickEvent(1);
    model->Insert();
    model->PositionTypeButton();
    model->SetYText(u"-32766");
    std::vector<std::u16string> ys;
    for (int i = 0; i < 4; ++i) {
        model->YDown();
        ys.push_back(model->Text(kYEdit));
    }
    EXPECT_EQ(ys, (std::vector<std::u16string>{u"-32767", u"-32768", u"-32767", u"-32768"}));
    model->SetXText(u"-32766");
    model->XDown();
    model->XDown();
    EXPECT_EQ(model->Text(kXEdit), u"-32767");
    model->SetXText(u"32766");
    model->XUp();
    model->XUp();
    EXPECT_EQ(model->Text(kXEdit), u"32767");
    model->SetYText(u"40000");
    model->YUp();
    EXPECT_EQ(model->Text(kYEdit), u"32767");
}

TEST_F(EditingTest, TextThatIsNotANumberKeepsThePreviousCoordinate) {
    ClickEvent(1);
    model->Insert();
    model->PositionTypeButton();
    model->SetXText(u"12");
    model->SetYText(u"34");
    model->XUp();  // reads 12 and 34
    model->SetXText(u"abc");
    model->SetYText(u"");
    model->XUp();
    EXPECT_EQ(model->Text(kXEdit), u"14");
    EXPECT_EQ(model->Text(kYEdit), u"34");
    model->SetXText(u"1x");
    model->PositionOk();
    EXPECT_EQ(Stored(kId)[1], Position(14, 34));
}

TEST_F(EditingTest, DeletingTheOnlyEventKeepsTheStoredMacro) {
    ASSERT_TRUE(store.StoreMacroRecord(*Record(kId, {Press(kVkA)})));
    model->FillMacroList(kMacroCategoryOwn);
    const auto saves = Saves();
    ClickEvent(0);
    model->DeleteEvent();
    EXPECT_TRUE(model->EventList().Empty());
    EXPECT_EQ(model->selectedEvent(), -1);
    EXPECT_EQ(Saves(), saves);
    EXPECT_EQ(Stored(kId), std::vector<MacroEvent>{Press(kVkA)});
}

TEST_F(EditingTest, DeletingAnEventBetweenDelaysStoresThemMerged) {
    ASSERT_TRUE(store.StoreMacroRecord(
        *Record(kId, {Press(kVkA), Pause(10), Press(kVkB), Pause(20), Release(kVkA)})));
    model->FillMacroList(kMacroCategoryOwn);
    ClickEvent(2);
    model->DeleteEvent();
    EXPECT_EQ(Stored(kId), (std::vector<MacroEvent>{Press(kVkA), Pause(30), Release(kVkA)}));
    EXPECT_EQ(Shown(), Stored(kId));
}

TEST_F(EditingTest, ASelectionChangeClosesTheEditorAndTheKeyCapture) {
    ClickEvent(0);
    model->Insert();
    model->KeyTypeButton();
    ASSERT_TRUE(hooks.KeyForwarding());
    ClickEvent(2);
    EXPECT_EQ(model->editMode(), EditMode::None);
    EXPECT_FALSE(hooks.KeyForwarding());
    EXPECT_FALSE(model->State(kKeyTypeButton).visible);
    EXPECT_EQ(Key(kVkB, false), 0);  // no longer captured
}

// --- loop controls -----------------------------------------------------------------

TEST_F(EditingTest, TheLoopSwitchesActAsOneChoiceAndStoreAtOnce) {
    model->LoopWhileHeldSwitch();
    EXPECT_EQ(Entry(kId)->loopMode, kLoopWhileHeld);
    EXPECT_FALSE(model->State(kLoopCountEdit).visible);
    EXPECT_FALSE(model->State(kLoopCountSwitch).down);
    model->LoopToggleSwitch();
    EXPECT_EQ(Entry(kId)->loopMode, kLoopToggle);
    EXPECT_FALSE(model->State(kLoopWhileHeldSwitch).down);
    model->SetLoopCountText(u"9");  // hidden: the switch decides
    EXPECT_EQ(Entry(kId)->loopMode, kLoopToggle);
    model->LoopCountSwitch();
    EXPECT_EQ(Entry(kId)->loopMode, 9u);
    EXPECT_TRUE(model->State(kLoopCountEdit).visible);
}

TEST_F(EditingTest, NormalisingTheLoopCountRewritesTextOutOfRange) {
    struct Case {
        std::u16string typed;
        std::u16string shown;
        std::uint32_t stored;
    };
    const Case cases[] = {{u"007", u"7", 7},
                          {u"0", u"1", 1},
                          {u"", u"1", 1},
                          {u"12a", u"1", 1},
                          {u"70000", u"65533", 65533},
                          {u"65533", u"65533", 65533},
                          {u"42", u"42", 42}};
    for (const auto& c : cases) {
        model->SetLoopCountText(c.typed);
        model->NormaliseLoopCount();
        EXPECT_EQ(model->Text(kLoopCountEdit), c.shown) << ToUtf8(c.typed);
        EXPECT_EQ(Entry(kId)->loopMode, c.stored) << ToUtf8(c.typed);
    }
}

// --- hover help ---------------------------------------------------------------------

TEST_F(EditingTest, HoverHelpCoversVisibleControlsWithAOnePixelMargin) {
    namespace M = layout::macro_page;
    EXPECT_EQ(model->HintsAt(M::kNewMacro.left - 1, M::kNewMacro.top - 1), std::vector<int>{40});
    EXPECT_TRUE(model->HintsAt(M::kNewMacro.left - 2, M::kNewMacro.top).empty());
    EXPECT_EQ(model->HintsAt(200, 420), std::vector<int>{42});  // Import, English placement
    EXPECT_EQ(model->HintsAt(M::kRecord.left + 3, M::kRecord.top + 3), std::vector<int>{47});
    EXPECT_EQ(model->HintsAt(M::kEventListFrame.left, M::kEventListFrame.top),
              std::vector<int>{91});
    // The editors ask for help only while they are shown.
    EXPECT_TRUE(model->HintsAt(M::kKeyType.left + 2, M::kKeyType.top + 2).empty());
    model->Insert();
    EXPECT_EQ(model->HintsAt(M::kKeyType.left + 2, M::kKeyType.top + 2), std::vector<int>{54});
    model->ToggleRecording();
    EXPECT_EQ(model->HintsAt(M::kRecord.left + 3, M::kRecord.top + 3), std::vector<int>{48});
}

}  // namespace
}  // namespace qx::macro::test
