#include "buttons/SettingsPageModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"

namespace qx {
namespace {

std::unique_ptr<ProfileState> DefaultState() {
    auto state = std::make_unique<ProfileState>();
    MakeDefaultProfile(state->settings, false);
    return state;
}

TEST(SettingsPageView, ShowsTheProfileAsTheControlsDo) {
    auto state = DefaultState();
    ProfileSettings& s = state->settings;
    std::fill(std::begin(s.dpiList), std::end(s.dpiList), 0);
    s.dpiList[0] = 500;
    s.dpiList[1] = 1750;  // from an imported profile: no box, still a level
    s.dpiList[2] = 7000;
    s.reportInterval = 3;  // none of the four buttons
    s.scrollLines = -1;
    s.enhancePrecision = 2;  // only 1 selects the box
    s.buttons[6].function = 32;

    const SettingsPageView view = ViewOfProfile(s);
    std::vector<int> boxes;
    for (int i = 0; i < kDpiListSize; ++i)
        if (view.dpiBoxes[i]) boxes.push_back(kDpiBoxValues[i]);
    EXPECT_EQ(boxes, (std::vector<int>{500, 7000}));
    EXPECT_EQ(view.reportRateButton, -1);
    EXPECT_FALSE(view.accuracy);
    EXPECT_FALSE(view.wheel.linesChosen);
    EXPECT_EQ(view.wheel.lineNumber, 1);
    EXPECT_EQ(view.wheel.editText, u"1");
    EXPECT_EQ(view.tabMarks, (std::array<bool, 7>{false, false, false, false, false, false, true}));

    s.reportInterval = 2;
    s.scrollLines = 12;
    s.enhancePrecision = 1;
    const SettingsPageView again = ViewOfProfile(s);
    EXPECT_EQ(again.reportRateButton, 2);  // 500 Hz
    EXPECT_TRUE(again.accuracy);
    EXPECT_TRUE(again.wheel.linesChosen);
    EXPECT_EQ(again.wheel.editText, u"12");
}

struct HintCase {
    const char* name;
    int x, y;
    bool chinese;
    std::vector<int> codes;
};

TEST(SettingsHints, CodesOfTheControlsUnderThePointer) {
    const HintCase cases[] = {
        {"dpi box", 80, 70, false, {12}},
        {"one pixel left of a dpi box still counts", 68, 70, false, {12}},
        {"two pixels left does not", 67, 70, false, {}},
        {"pointer speed slider", 200, 170, false, {13}},
        {"accuracy box", 100, 210, false, {14}},
        {"sensor height slider", 500, 170, false, {15}},
        {"report rate", 150, 310, false, {16}},
        {"pointer speed heading", 100, 140, false, {13}},
        {"dpi heading", 50, 30, false, {64}},
        {"wheel heading", 400, 270, false, {67}},
        {"key assignment heading", 40, 380, false, {68}},
        // The English lines choice reaches further right than the Chinese one.
        {"english lines choice", 600, 340, false, {17}},
        {"chinese lines choice ends at 558", 600, 340, true, {}},
        {"english whole screen", 450, 380, false, {18}},
        {"chinese whole screen", 450, 365, true, {18}},
        // Tabs are tested by their bounding boxes, which overlap.
        {"left and middle tab boxes overlap", 110, 420, false, {68, 68}},
        {"inside one tab", 240, 420, false, {68}},
        {"background", 650, 230, false, {}},
    };
    for (const HintCase& c : cases)
        EXPECT_EQ(SettingsHintCodesAt(c.x, c.y, c.chinese), c.codes) << c.name;
}

TEST(SettingsHints, EveryControlWithAHintIsListedOnceInPageOrder) {
    const auto areas = SettingsHintAreas(false);
    ASSERT_EQ(areas.size(), 14u + 1 + 1 + 1 + 4 + 2 + 7 + 6);
    EXPECT_EQ(areas[14].code, kHintPointerSpeed);
    EXPECT_EQ(areas.back().code, kHintAssignmentTab);  // the key assignment heading
    EXPECT_EQ(AssignmentTabBox(0).left, 19);
    EXPECT_EQ(AssignmentTabBox(0).right, 127);
    EXPECT_EQ(AssignmentTabBox(6).left, 554);
    EXPECT_EQ(AssignmentTabBox(6).right, 692);
}

TEST(MouseSpots, LightOnlyInsideTheNarrowedTabWhileTheWindowIsActive) {
    const layout::Rect tab = AssignmentTabBox(2);  // 186..302
    struct {
        int x;
        bool active;
        SpotChange change;
    } cases[] = {
        {240, true, SpotChange::Select}, {240, false, SpotChange::Keep},
        {203, true, SpotChange::Select}, {202, true, SpotChange::Clear},  // 17-pixel slant
        {284, true, SpotChange::Select}, {285, true, SpotChange::Clear},
        {202, false, SpotChange::Clear},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabSpotChange(tab, c.x, 420, c.active), c.change) << c.x << " " << c.active;
    EXPECT_EQ(TabSpotChange(tab, 240, 407, true), SpotChange::Clear);
    EXPECT_EQ(TabSpotChange(tab, 240, 441, true), SpotChange::Clear);
}

TEST(MouseSpots, PerModelAndNoneForAnUnknownModel) {
    const auto qx300 = MouseHotSpots(u"QX300");
    EXPECT_EQ(qx300[0].left, 64);
    EXPECT_EQ(qx300[0].bottom, 263);  // the tall left spot of that model
    EXPECT_EQ(MouseHotSpots(u"QX600")[6].top, 175);
    for (std::u16string_view model : {u"NULL", u"qx600", u"QX700", u""})
        for (const layout::Rect& r : MouseHotSpots(model)) {
            EXPECT_EQ(r.Width(), 0);
            EXPECT_EQ(r.Height(), 0);
        }
}

class EditorFlow : public ::testing::Test {
protected:
    Localization language;
    UsKeyboardLayout layout;
    MacroTable macros;
    RecordingNotifier notifier;
    AssignmentContext context{language, layout, macros, notifier};
    std::unique_ptr<ProfileState> state = DefaultState();
};

TEST_F(EditorFlow, TheNameOpensInTheCurrentLanguage) {
    ToBuffer(u"滚轮后滚", state->settings.buttons[6].displayName);
    EXPECT_EQ(PrepareButtonEditor(6, state->settings, false), u"Scroll down");
    EXPECT_EQ(FromBuffer(state->settings.buttons[6].displayName), u"Scroll down");
    ToBuffer(u"My macro", state->settings.buttons[3].displayName);
    EXPECT_EQ(PrepareButtonEditor(3, state->settings, true), u"My macro");
}

TEST_F(EditorFlow, CancelAndRefusalKeepTheButtonAndItsMark) {
    state->settings.buttons[2].function = 32;
    auto before = std::make_unique<ProfileState>(*state);

    EditorOutcome cancelled = FinishButtonEditor(2, std::nullopt, *state, context);
    EXPECT_FALSE(cancelled.accepted);
    EXPECT_TRUE(cancelled.tabMark);

    // The left button is the only Click: a macro on it is refused.
    SettingResult macro{0, 0x16000001, kSettingKindMacro, 0, {}};
    EditorOutcome refused = FinishButtonEditor(0, macro, *state, context);
    EXPECT_FALSE(refused.accepted);
    EXPECT_FALSE(refused.tabMark);
    EXPECT_EQ(std::memcmp(before.get(), state.get(), sizeof(ProfileState)), 0);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, kMsgKeepClickEn);
}

TEST_F(EditorFlow, AnAcceptedResultMarksTheTabAndDefaultUnmarksIt) {
    SettingResult play{2, 32, kSettingKindBasic, 0, {}};
    EditorOutcome accepted = FinishButtonEditor(2, play, *state, context);
    EXPECT_TRUE(accepted.accepted);
    EXPECT_TRUE(accepted.tabMark);
    EXPECT_EQ(FromBuffer(state->settings.buttons[2].displayName), u"Play/Pause");

    SettingResult back{2, 2, kSettingKindBasic, 0, {}};  // the default setting button
    EXPECT_FALSE(FinishButtonEditor(2, back, *state, context).tabMark);
}

}  // namespace
}  // namespace qx
