#include "buttons/PointerSettings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qx {
namespace {

std::unique_ptr<ProfileSettings> DefaultProfile() {
    auto settings = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*settings, false);
    return settings;
}

std::vector<std::int32_t> DpiList(const ProfileSettings& s) {
    return {std::begin(s.dpiList), std::end(s.dpiList)};
}

int BoxOf(std::int32_t value) {
    for (int i = 0; i < kDpiListSize; ++i)
        if (kDpiBoxValues[i] == value) return i;
    return -1;
}

void SetList(ProfileSettings& s, std::vector<std::int32_t> values) {
    values.resize(kDpiListSize, 0);
    std::copy(values.begin(), values.end(), s.dpiList);
}

struct DpiCase {
    std::string name;
    std::vector<std::int32_t> before;
    std::int32_t clicked;
    std::vector<std::int32_t> after;
};

class DpiRule : public testing::TestWithParam<DpiCase> {};

TEST_P(DpiRule, KeepsOneToSevenLevelsInAscendingOrder) {
    const DpiCase& c = GetParam();
    auto s = DefaultProfile();
    SetList(*s, c.before);
    ClickDpiBox(*s, BoxOf(c.clicked));
    std::vector<std::int32_t> expected = c.after;
    expected.resize(kDpiListSize, 0);
    EXPECT_EQ(DpiList(*s), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DpiRule,
    testing::Values(
        DpiCase{"NoEighthLevel",
                {750, 1250, 1500, 2000, 2500, 3500, 4000},
                500,
                {750, 1250, 1500, 2000, 2500, 3500, 4000}},
        DpiCase{"ASelectedOneOfSevenClears",
                {750, 1250, 1500, 2000, 2500, 3500, 4000},
                2000,
                {750, 1250, 1500, 2500, 3500, 4000}},
        DpiCase{"TheLastLevelStays", {3000}, 3000, {3000}},
        DpiCase{"AddedInTableOrderNotClickOrder", {7000}, 500, {500, 7000}},
        DpiCase{"AddedInTheMiddle", {500, 7000}, 3250, {500, 3250, 7000}},
        DpiCase{"ClearedFromTwo", {500, 7000}, 500, {7000}},
        // A value without a box is no box selection: the rebuild drops it.
        DpiCase{"ImportedValueWithoutBoxIsDroppedByAClick", {1750, 2000}, 500, {500, 2000}}),
    [](const testing::TestParamInfo<DpiCase>& info) { return info.param.name; });

TEST(DpiRule, BoxesShowTheListValuesThatHaveOne) {
    auto s = DefaultProfile();
    SetList(*s, {250, 1750, 2000, 7000});
    auto selected = SelectedDpiBoxes(*s);
    EXPECT_EQ(std::count(selected.begin(), selected.end(), true), 2);
    EXPECT_TRUE(selected[BoxOf(2000)]);
    EXPECT_TRUE(selected[BoxOf(7000)]);
    ClickDpiBox(*s, 14);  // no such box: nothing changes
    ClickDpiBox(*s, -1);
    EXPECT_EQ(s->dpiList[1], 1750);
}

TEST(ReportRate, ButtonsStoreIntervalsAndIntervalsSelectButtons) {
    auto s = DefaultProfile();
    const std::int32_t intervals[] = {8, 4, 2, 1};
    for (int button = 0; button < kReportRateButtons; ++button) {
        ClickReportRate(*s, button);
        EXPECT_EQ(s->reportInterval, intervals[button]);
        EXPECT_EQ(ReportRateButton(intervals[button]), button);
    }
    EXPECT_EQ(ReportRateButton(3), -1);
    EXPECT_EQ(ReportRateButton(0), -1);
    ClickReportRate(*s, 4);
    EXPECT_EQ(s->reportInterval, 1);
}

TEST(PointerControls, SlidersAndAccuracyBoxStoreTheirValues) {
    auto s = DefaultProfile();
    SetPointerSpeed(*s, 17);
    SetSensorHeight(*s, 30);
    EXPECT_EQ(s->pointerSpeed, 17);
    EXPECT_EQ(s->sensorHeight, 30);
    SetPointerSpeed(*s, 0);
    SetSensorHeight(*s, 31);
    EXPECT_EQ(s->pointerSpeed, 1);
    EXPECT_EQ(s->sensorHeight, 30);

    ToggleEnhancePrecision(*s);
    EXPECT_EQ(s->enhancePrecision, 1);
    ToggleEnhancePrecision(*s);
    EXPECT_EQ(s->enhancePrecision, 0);
    s->enhancePrecision = 7;  // shown clear, so a click selects it
    ToggleEnhancePrecision(*s);
    EXPECT_EQ(s->enhancePrecision, 1);
}

struct LinesCase {
    std::u16string typed;
    std::u16string shown;
    std::int32_t stored;
    std::size_t caret;
};

TEST(NormalizeLinesEdit, TakesTheEditIntoTheProfile) {
    const LinesCase cases[] = {
        {u"007", u"7", 7, 1},
        {u"", u"1", 1, 0},
        {u"0", u"1", 1, 0},
        {u"000", u"1", 1, 0},
        {u"45", u"30", 30, 2},
        {u"30", u"30", 30, 2},
        {u"0045", u"30", 30, 2},
        {u"1", u"1", 1, 1},
        {u"12x", u"12", 12, 3},
        {u"-5", u"30", 30, 2},
        {u"99999999999999", u"30", 30, 14},
        {u"x", u"1", 1, 1},  // no digits at all: one line, not a dead wheel
    };
    for (const LinesCase& c : cases) {
        auto s = DefaultProfile();
        WheelControls wheel;
        wheel.editText = c.typed;
        NormalizeLinesEdit(*s, wheel);
        const std::string label(c.typed.begin(), c.typed.end());
        EXPECT_EQ(wheel.editText, c.shown) << label;
        EXPECT_EQ(wheel.lineNumber, c.stored) << label;
        EXPECT_EQ(s->scrollLines, c.stored) << label;
        EXPECT_EQ(wheel.caret, c.caret) << label;
    }
}

TEST(WheelControls, ArrowsStayWithinOneToThirty) {
    auto s = DefaultProfile();
    WheelControls wheel;
    s->scrollLines = 30;
    RefreshWheel(*s, wheel);
    LinesUp(*s, wheel);
    EXPECT_EQ(wheel.lineNumber, 30);
    EXPECT_EQ(wheel.editText, u"30");
    s->scrollLines = 1;
    RefreshWheel(*s, wheel);
    LinesDown(*s, wheel);
    EXPECT_EQ(s->scrollLines, 1);
    LinesUp(*s, wheel);
    LinesUp(*s, wheel);
    EXPECT_EQ(s->scrollLines, 3);
    EXPECT_EQ(wheel.editText, u"3");
}

TEST(WheelControls, WholeScreenStoresMinusOneAndLinesBringsTheNumberBack) {
    auto s = DefaultProfile();
    WheelControls wheel;
    RefreshWheel(*s, wheel);
    wheel.editText = u"12";
    NormalizeLinesEdit(*s, wheel);
    ChooseWholeScreen(*s, wheel);
    EXPECT_EQ(s->scrollLines, kScrollWholeScreen);
    LinesUp(*s, wheel);  // disabled while the whole screen is chosen
    EXPECT_EQ(s->scrollLines, kScrollWholeScreen);
    ChooseLines(*s, wheel);
    EXPECT_EQ(s->scrollLines, 12);

    s->scrollLines = kScrollWholeScreen;
    RefreshWheel(*s, wheel);
    EXPECT_FALSE(wheel.linesChosen);
    EXPECT_EQ(wheel.lineNumber, 1);
    EXPECT_EQ(wheel.editText, u"1");
}

// Records what the desktop is asked for and refuses chosen calls.
class RecordingPointer final : public PointerSettings {
public:
    bool SetMouseAcceleration(const std::array<std::int32_t, 3>& values) override {
        calls.push_back("accel " + std::to_string(values[0]) + " " + std::to_string(values[1]) +
                        " " + std::to_string(values[2]));
        return !refuse;
    }
    bool SetMouseSpeed(std::int32_t speed) override {
        calls.push_back("speed " + std::to_string(speed));
        return !refuse;
    }
    bool SetWheelScrollLines(std::int32_t lines) override {
        calls.push_back("lines " + std::to_string(lines));
        return !refuse;
    }
    std::vector<std::string> calls;
    bool refuse = false;
};

TEST(ApplyWindowsMouseSettings, SendsPrecisionSpeedAndLinesInOrderEvenWhenRefused) {
    auto s = DefaultProfile();
    RecordingPointer pointer;
    ApplyWindowsMouseSettings(*s, pointer);
    EXPECT_EQ(pointer.calls, (std::vector<std::string>{"accel 0 0 0", "speed 10", "lines 3"}));

    s->enhancePrecision = 1;
    s->pointerSpeed = 20;
    WheelControls wheel;
    ChooseWholeScreen(*s, wheel);
    pointer.calls.clear();
    pointer.refuse = true;
    ApplyWindowsMouseSettings(*s, pointer);
    EXPECT_EQ(pointer.calls, (std::vector<std::string>{"accel 6 10 1", "speed 20", "lines -1"}));
}

}  // namespace
}  // namespace qx
