// The event list: how events are shown, loaded and stored again, and the
// number rules of the page's edit fields.
#include <gtest/gtest.h>

#include "tests/macro/MacroPageFixture.h"

namespace qx::macro::test {
namespace {

TEST(EventItems, ShowEachKindAsTheListDoes) {
    const UsKeyboardLayout layout;
    struct Case {
        MacroEvent event;
        std::u16string text;
        std::uint32_t data;
    };
    const Case cases[] = {
        {Press(kVkA), u"A", 0x03000041},
        {Release(0x02), u"Right Button", 0x02000002},
        {Pause(100), u"100  ms", 0x04000064},
        {Position(-5, 300), u"(-5, 300)", ItemData(kItemPosition, PackCursorPosition(-5, 300))},
        {Press(0xBA), u";", 0x030000BA},  // from the keyboard layout
    };
    for (const auto& c : cases) {
        const auto item = ItemOfEvent(c.event, layout);
        ASSERT_TRUE(item) << std::hex << c.event;
        EXPECT_EQ(item->text, c.text);
        EXPECT_EQ(item->data, c.data);
        EXPECT_EQ(ListItemToMacroEvent(item->data), c.event);
    }
    EXPECT_FALSE(ItemOfEvent(0x12000041, layout));
    EXPECT_FALSE(ItemOfEvent(0, layout));
}

TEST(EditNumbers, LoopCountTextGivesTheRepeatCount) {
    const std::pair<std::u16string, std::uint32_t> cases[] = {
        {u"0", 1},
        {u"", 1},
        {u"12a", 1},
        {u"70000", 65533},
        {u"007", 7},
        {u"65533", 65533},
        {u"1", 1},
        {u"-3", 1},
        {u"99999999999999999999", 65533},
        {u"4294967296", 65533},  // beyond 32 bits: large, never wrapped to 0
    };
    for (const auto& [text, count] : cases) EXPECT_EQ(LoopCountOf(text), count) << ToUtf8(text);
}

TEST(EditNumbers, SignedAndWholeNumbers) {
    const std::pair<std::u16string, std::optional<int>> signedCases[] = {
        {u"12", 12},
        {u"-5", -5},
        {u" 7 ", 7},
        {u"+3", 3},
        {u"abc", std::nullopt},
        {u"", std::nullopt},
        {u"-", std::nullopt},
        {u"1e3", std::nullopt},
        {u"12a", std::nullopt},
        {u"3000000000", std::nullopt},
        {u"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : signedCases)
        EXPECT_EQ(ParseSignedNumber(text), value) << ToUtf8(text);

    EXPECT_EQ(ParseWholeNumber(u"99999999"), 99999999u);
    EXPECT_EQ(ParseWholeNumber(u"99999999999"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseWholeNumber(u""));
    EXPECT_FALSE(ParseWholeNumber(u"-1"));
    EXPECT_FALSE(ParseWholeNumber(u" 5"));
}

class EventListTest : public MacroPageFixture {};

TEST_F(EventListTest, LoadsTheStoredEventsAndLoopChoice) {
    struct Case {
        std::uint32_t loopMode;
        Control down;
        bool countShown;
        std::u16string countText;
    };
    const Case cases[] = {
        {5, kLoopCountSwitch, true, u"5"},
        {kLoopWhileHeld, kLoopWhileHeldSwitch, false, u"1"},
        {kLoopToggle, kLoopToggleSwitch, false, u"1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loopMode);
        table.Replace({});
        Open([&] {
            std::vector<std::unique_ptr<MacroEntry>> r;
            r.push_back(
                Record(0x16000001, {Press(kVkA), Pause(30), Release(kVkA)}, u"m", c.loopMode));
            return r;
        }());
        EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkA), Pause(30), Release(kVkA)}));
        for (const Control s : {kLoopCountSwitch, kLoopWhileHeldSwitch, kLoopToggleSwitch})
            EXPECT_EQ(model->State(s).down, s == c.down);
        EXPECT_EQ(model->State(kLoopCountEdit).visible, c.countShown);
        EXPECT_EQ(model->Text(kLoopCountEdit), c.countText);
        EXPECT_EQ(model->LoopMode(), c.loopMode);
    }
}

TEST_F(EventListTest, AnInvalidEventStopsTheLoadingWithATrace) {
    auto stopsLater = Record(0x16000001, {Press(kVkA), 0x12345678, Release(kVkA)});
    auto stopsFirst = Record(0x16000002, {0x00000041, Press(kVkA)});
    std::vector<std::unique_ptr<MacroEntry>> records;
    records.push_back(std::move(stopsLater));
    records.push_back(std::move(stopsFirst));
    Open(std::move(records));
    // The last listed macro is shown first: it loads as an empty list.
    EXPECT_TRUE(Shown().empty());
    ClickMacro(0);
    EXPECT_EQ(Shown(), std::vector<MacroEvent>{Press(kVkA)});
    EXPECT_EQ(traces, (std::vector<std::u16string>{u"LoadMacroToList:  Not a vaild item",
                                                   u"LoadMacroToList:  Not a vaild item"}));
}

TEST_F(EventListTest, ADamagedCountLoadsNoMoreThanARecordHolds) {
    auto damaged = Record(0x16000001, std::vector<MacroEvent>(1000, Press(kVkA)));
    damaged->eventCount = 70000;
    std::vector<std::unique_ptr<MacroEntry>> records;
    records.push_back(std::move(damaged));
    Open(std::move(records));
    EXPECT_EQ(model->EventList().Count(), 1000);
}

TEST_F(EventListTest, StoringMergesDelaysAndDropsLeadingOnes) {
    std::vector<std::unique_ptr<MacroEntry>> records;
    records.push_back(Record(0x16000001, {Press(kVkA)}));
    Open(std::move(records));
    auto& list = model->EventList();
    list.Clear();
    for (const auto& item :
         {DelayItem(40), DelayItem(60), KeyItem(false, kVkA, keyboard), DelayItem(200000),
          DelayItem(200000), DelayItem(5), KeyItem(true, kVkA, keyboard), DelayItem(70)})
        list.Append(item);

    ASSERT_TRUE(model->SaveEditedMacro());
    // The list shows the merged delays; the stored macro does not start with one.
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Pause(100), Press(kVkA), Pause(327670),
                                                Release(kVkA), Pause(70)}));
    EXPECT_EQ(ShownTexts()[2], u"327670  ms");
    EXPECT_EQ(Stored(0x16000001),
              (std::vector<MacroEvent>{Press(kVkA), Pause(327670), Release(kVkA), Pause(70)}));
    const MacroEntry* e = Entry(0x16000001);
    EXPECT_EQ(e->byteSize, 4100u + 4 * 5);  // the list's items, the dropped delay included
    EXPECT_EQ(e->tag, kMacroTag);
    EXPECT_EQ(FromBuffer(e->name), u"macro");
}

TEST_F(EventListTest, StoresTheLoopCountAsTypedWithinItsRange) {
    std::vector<std::unique_ptr<MacroEntry>> records;
    records.push_back(Record(0x16000001, {Press(kVkA), Release(kVkA)}));
    Open(std::move(records));
    const std::pair<std::u16string, std::uint32_t> cases[] = {
        {u"0", 1}, {u"", 1}, {u"12a", 1}, {u"70000", 65533}, {u"7", 7}};
    for (const auto& [text, loop] : cases) {
        model->SetLoopCountText(text);  // each change of the text stores the macro
        EXPECT_EQ(Entry(0x16000001)->loopMode, loop) << ToUtf8(text);
    }
}

TEST_F(EventListTest, AnEmptyListOrNoSelectedMacroStoresNothing) {
    std::vector<std::unique_ptr<MacroEntry>> records;
    records.push_back(Record(0x16000001, {Press(kVkA)}));
    Open(std::move(records));
    const auto saves = Saves();
    model->EventList().Clear();
    EXPECT_FALSE(model->SaveEditedMacro());
    model->EventList().Append(KeyItem(false, kVkB, keyboard));
    model->MacroList().Select(-1);
    EXPECT_FALSE(model->SaveEditedMacro());
    EXPECT_EQ(Saves(), saves);
    EXPECT_EQ(Stored(0x16000001), std::vector<MacroEvent>{Press(kVkA)});
}

}  // namespace
}  // namespace qx::macro::test
