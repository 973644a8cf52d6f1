// Recording a macro from the hook's key reports and the mouse-button pictures.
#include <gtest/gtest.h>

#include "tests/macro/MacroPageFixture.h"

namespace qx::macro::test {
namespace {

using namespace std::chrono_literals;

class RecorderTest : public MacroPageFixture {
protected:
    void SetUp() override {
        std::vector<std::unique_ptr<MacroEntry>> records;
        records.push_back(Record(kFirst, {Press(kVkB), Release(kVkB)}, u"first"));
        records.push_back(Record(kSecond, {Press(kVkShift), Release(kVkShift)}, u"second"));
        Open(std::move(records));
    }
    static constexpr std::uint32_t kFirst = 0x16000001;
    static constexpr std::uint32_t kSecond = 0x16000002;
};

TEST_F(RecorderTest, HoldingAKeyRecordsPressDelayAndReleaseAndStoresOnStop) {
    ASSERT_EQ(model->MacroList().Selection(), 1);
    model->ToggleRecording();
    ASSERT_TRUE(model->IsRecording());
    EXPECT_EQ(model->Text(kRecordButton), u"Stop Record");
    for (const Control c :
         {kNewMacroButton, kDeleteMacroButton, kInsertButton, kDeleteEventButton, kModifyButton})
        EXPECT_FALSE(model->State(c).enabled);
    EXPECT_TRUE(model->EventList().Empty());
    EXPECT_TRUE(hooks.KeyForwarding());
    EXPECT_EQ(hooks.HookTarget().get(), &page);

    EXPECT_EQ(Key(kVkA, false), 1);
    for (int i = 0; i < 20; ++i) {  // automatic repeats of the held key
        clock.Advance(50ms);
        EXPECT_EQ(Key(kVkA, false), 0);
    }
    EXPECT_EQ(Key(kVkA, true), 1);
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkA), Pause(1000), Release(kVkA)}));
    EXPECT_EQ(Stored(kSecond), (std::vector<MacroEvent>{Press(kVkShift), Release(kVkShift)}));

    model->ToggleRecording();
    EXPECT_FALSE(model->IsRecording());
    EXPECT_EQ(model->Text(kRecordButton), u"Start Record");
    EXPECT_TRUE(model->State(kInsertButton).enabled);
    EXPECT_FALSE(hooks.KeyForwarding());
    EXPECT_EQ(Stored(kSecond), (std::vector<MacroEvent>{Press(kVkA), Pause(1000), Release(kVkA)}));
    EXPECT_EQ(Stored(kFirst), (std::vector<MacroEvent>{Press(kVkB), Release(kVkB)}));
    // Keys still on their way after the stop change nothing.
    EXPECT_EQ(Key(kVkB, false), 0);
    EXPECT_EQ(model->EventList().Count(), 3);
}

TEST_F(RecorderTest, DelaysAreTheTimeBetweenKeysUnlessTheDelaySwitchIsDown) {
    model->ToggleRecording();
    Key(kVkA, false);
    clock.Advance(120ms);
    Key(kVkB, false);
    clock.Advance(30ms);
    Key(kVkA, true);
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkA), Pause(120), Press(kVkB), Pause(30),
                                                Release(kVkA)}));
    model->ToggleRecording();

    model->DelaySwitch();
    ASSERT_TRUE(model->State(kDelaySwitch).down);
    model->ToggleRecording();
    Key(kVkB, true);
    clock.Advance(500ms);
    Key(kVkA, false);
    clock.Advance(500ms);
    Key(kVkA, true);
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Release(kVkB), Press(kVkA), Release(kVkA)}));
}

TEST_F(RecorderTest, TheRightButtonPictureRecordsARightButtonPressAndRelease) {
    // Before a recording the pictures do nothing.
    model->OnPickerMouse(kWmLButtonDown, kPickerRight);
    EXPECT_TRUE(page.Messages().empty());

    model->ToggleRecording();
    model->OnPickerMouse(kWmLButtonDown, kPickerRight);
    model->OnPickerMouse(kWmLButtonUp, kPickerRight);
    model->OnPickerMouse(kWmMouseMove, kPickerRight);
    model->OnPickerMouse(kWmLButtonDown, kEventList);  // not a picture
    const auto posted = page.Messages();
    ASSERT_EQ(posted,
              (std::vector<PostedMessage>{{kMsgHookKey, 0x02, 0}, {kMsgHookKey, 0x02, 0x80}}));
    for (const auto& m : posted)
        model->OnHookKey(static_cast<std::uint32_t>(m.wParam),
                         static_cast<std::uint32_t>(m.lParam));
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::u16string>{u"Right Button", u"0  ms", u"Right Button"}));
    EXPECT_EQ(Shown().front(), Press(0x02));
    EXPECT_EQ(Shown().back(), Release(0x02));

    page.Clear();
    model->OnPickerMouse(kWmLButtonDown, kPickerLeft);
    model->OnPickerMouse(kWmLButtonDown, kPickerMiddle);
    EXPECT_EQ(page.Messages(),
              (std::vector<PostedMessage>{{kMsgHookKey, 0x01, 0}, {kMsgHookKey, 0x04, 0}}));
}

TEST_F(RecorderTest, RecordingIsRefusedWhileAnItemEditorIsOpen) {
    struct Case {
        void (MacroPageModel::*open)();
        PageText message;
    };
    const Case cases[] = {{&MacroPageModel::KeyTypeButton, kRecordRefusedKeyText},
                          {&MacroPageModel::DelayTypeButton, kRecordRefusedDelayText},
                          {&MacroPageModel::PositionTypeButton, kRecordRefusedPositionText}};
    for (const bool chinese : {false, true}) {
        language.chineseMode = chinese;
        for (const auto& c : cases) {
            notifier.Clear();
            model->Insert();
            (model.get()->*c.open)();
            model->ToggleRecording();
            EXPECT_FALSE(model->IsRecording());
            EXPECT_EQ(InfoMessages(), std::vector<std::u16string>{std::u16string(
                                          chinese ? c.message.chinese : c.message.english)});
            ClickEvent(0);  // a selection change closes the editor
            ClickEvent(1);
            EXPECT_EQ(model->editMode(), EditMode::None);
        }
    }
}

TEST_F(RecorderTest, AKeyEditorLeftOpenByDeleteEventStillRefusesUntilASelectionChange) {
    ClickEvent(0);
    model->Insert();
    model->KeyTypeButton();
    model->DeleteEvent();  // hides the editors, keeps editMode and key forwarding
    EXPECT_FALSE(model->State(kKeyEdit).visible);
    EXPECT_EQ(model->editMode(), EditMode::InsertKey);
    EXPECT_TRUE(hooks.KeyForwarding());
    model->ToggleRecording();
    EXPECT_FALSE(model->IsRecording());
    EXPECT_EQ(InfoMessages(),
              std::vector<std::u16string>{std::u16string(kRecordRefusedKeyText.english)});

    ClickEvent(0);
    EXPECT_FALSE(hooks.KeyForwarding());
    model->ToggleRecording();
    EXPECT_TRUE(model->IsRecording());
}

TEST_F(RecorderTest, WithoutASelectedMacroRecordingOnlyHidesTheEditors) {
    model->Insert();
    model->MacroList().Select(-1);
    model->ToggleRecording();
    EXPECT_FALSE(model->IsRecording());
    EXPECT_FALSE(model->State(kKeyTypeButton).visible);
    EXPECT_EQ(model->editMode(), EditMode::InsertChosen);
}

TEST_F(RecorderTest, SelectingAnotherMacroEndsTheRecordingIntoTheRecordedOne) {
    model->ToggleRecording();
    Key(kVkA, false);
    Key(kVkA, true);
    ClickMacro(0);
    EXPECT_FALSE(model->IsRecording());
    EXPECT_FALSE(hooks.KeyForwarding());
    EXPECT_EQ(Stored(kSecond), (std::vector<MacroEvent>{Press(kVkA), Pause(0), Release(kVkA)}));
    EXPECT_EQ(Shown(), (std::vector<MacroEvent>{Press(kVkB), Release(kVkB)}));
    EXPECT_EQ(model->rememberedMacro(), 0);
}

TEST_F(RecorderTest, AnEmptyRecordingKeepsTheStoredEvents) {
    model->ToggleRecording();
    model->ToggleRecording();
    EXPECT_TRUE(model->EventList().Empty());
    EXPECT_EQ(Stored(kSecond), (std::vector<MacroEvent>{Press(kVkShift), Release(kVkShift)}));
}

// The list's remembered macro follows a refill, so a recording is stored into
// the macro shown selected, never into the one that had its index before.
TEST_F(RecorderTest, AfterACategoryChangeTheRecordingGoesIntoTheSelectedMacro) {
    for (std::uint32_t low = 1; low <= 3; ++low)
        ASSERT_TRUE(store.StoreMacroRecord(*Record(0x11000000 | low, {Press(kVkB)}, u"mc")));
    ClickMacro(0);  // remembered: index 0 of the own macros
    model->SelectCategory(17);
    ASSERT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x11000001, 0x11000002, 0x11000003}));
    ASSERT_EQ(model->MacroList().Selection(), 2);
    EXPECT_EQ(model->rememberedMacro(), 2);

    model->ToggleRecording();
    Key(kVkA, false);
    model->ToggleRecording();
    EXPECT_EQ(Stored(0x11000003), std::vector<MacroEvent>{Press(kVkA)});
    EXPECT_EQ(Stored(0x11000001), std::vector<MacroEvent>{Press(kVkB)});
}

TEST_F(RecorderTest, ARefillDuringARecordingEndsItIntoTheRecordedMacro) {
    ASSERT_TRUE(store.StoreMacroRecord(*Record(0x11000001, {Press(kVkB)}, u"mc")));
    model->ToggleRecording();
    Key(kVkA, false);
    model->SelectCategory(17);
    EXPECT_FALSE(model->IsRecording());
    EXPECT_EQ(Stored(kSecond), std::vector<MacroEvent>{Press(kVkA)});
    EXPECT_EQ(Stored(0x11000001), std::vector<MacroEvent>{Press(kVkB)});
    EXPECT_EQ(Shown(), std::vector<MacroEvent>{Press(kVkB)});
}

TEST_F(RecorderTest, ClickingAnEventWhileRecordingKeepsTheKeysComing) {
    model->Insert();  // editMode 1 survives the start of a recording
    model->ToggleRecording();
    Key(kVkA, false);
    Key(kVkB, false);
    ClickEvent(0);
    EXPECT_TRUE(hooks.KeyForwarding());
    EXPECT_EQ(model->editMode(), EditMode::None);
    EXPECT_EQ(Key(kVkB, true), 1);
    EXPECT_EQ(model->EventList().Count(), 5);
}

// 2000 key reports: the recording stops at the limit, tells the user once and
// stores every event it holds.
TEST_F(RecorderTest, ARecordingStopsAtTheLimitAndSaysSoOnce) {
    struct Case {
        bool delays;
        int items;
    };
    for (const Case c : {Case{true, 999}, Case{false, 999}}) {
        SCOPED_TRACE(c.delays);
        notifier.Clear();
        if (model->State(kDelaySwitch).down == c.delays) model->DelaySwitch();
        model->ToggleRecording();
        for (int i = 0; i < 1000; ++i) {
            clock.Advance(7ms);
            Key(kVkA + i % 26, false);
            clock.Advance(5ms);
            Key(kVkA + i % 26, true);
        }
        EXPECT_FALSE(model->IsRecording());
        EXPECT_FALSE(hooks.KeyForwarding());
        EXPECT_EQ(model->Text(kRecordButton), u"Start Record");
        EXPECT_EQ(model->EventList().Count(), c.items);
        EXPECT_EQ(InfoMessages(),
                  std::vector<std::u16string>{std::u16string(kRecordingFullText.english)});
        const MacroEntry* e = Entry(kSecond);
        EXPECT_EQ(e->eventCount, static_cast<std::uint32_t>(c.items));
        EXPECT_EQ(Shown(), Stored(kSecond));
        EXPECT_EQ(e->byteSize, 4100u + 4 * c.items);
    }
}

TEST_F(RecorderTest, TheKeyEditorCapturesWithoutRecording) {
    ClickEvent(0);
    model->Insert();
    model->KeyTypeButton();
    EXPECT_EQ(model->TakeFocusRequest(), kKeyEdit);
    EXPECT_EQ(Key(0x70, false), 1);
    EXPECT_EQ(model->Text(kKeyEdit), u"F1");
    EXPECT_EQ(model->capturedKey(), 0x70u);
    EXPECT_EQ(model->EventList().Count(), 2);
    // lastKey is left alone: F1 pressed again is still taken.
    EXPECT_EQ(Key(0x70, false), 1);
}

}  // namespace
}  // namespace qx::macro::test
