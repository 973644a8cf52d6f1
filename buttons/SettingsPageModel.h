// The buttons page as a whole, free of any window: what it shows of a profile,
// which hint codes the pointer raises, when a spot of the mouse picture
// lights, the hot spots of each model, and the flow from an assignment tab
// through the per-button editor into the profile.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ProfileRecord.h"
#include "buttons/ButtonAssignment.h"
#include "buttons/PointerSettings.h"
#include "ui/layout/SkinLayout.h"

namespace qx {

// Everything the page shows, read from the profile (RefreshFromProfile).
struct SettingsPageView {
    std::array<bool, kDpiListSize> dpiBoxes{};
    std::int32_t pointerSpeed = 0;
    bool accuracy = false;
    std::int32_t sensorHeight = 0;
    int reportRateButton = -1;  // -1: an interval without a button
    WheelControls wheel;
    std::array<bool, kButtonCount> tabMarks{};
};
SettingsPageView ViewOfProfile(const ProfileSettings& settings);

// The wheel controls sit where the lettering of the page's language put them;
// the choice is made once, when the page is created.
constexpr int WheelLayoutIndex(bool chineseMode) {
    return chineseMode ? 0 : 1;
}

// Hint codes the page posts with WM_USER+1029.
inline constexpr int kHintDpiBox = 12;
inline constexpr int kHintPointerSpeed = 13;
inline constexpr int kHintAccuracy = 14;
inline constexpr int kHintSensorHeight = 15;
inline constexpr int kHintReportRate = 16;
inline constexpr int kHintWheelLines = 17;
inline constexpr int kHintWheelScreen = 18;
inline constexpr int kHintAssignmentTab = 68;
inline constexpr std::array<int, 6> kHeadingHints = {64, 13, 65, 66, 67, 68};

struct HintArea {
    layout::Rect rect;  // the control's window rectangle in page coordinates
    int code;
};
// Every control with a hint, in the order the page tests them: the DPI boxes,
// pointer speed, accuracy, sensor height, report rates, the two wheel
// choices, the seven tabs (their bounding boxes), the six headings.
std::vector<HintArea> SettingsHintAreas(bool chineseMode);
// The codes one mouse move at (x, y) posts: every area, widened by a pixel
// on each side, that holds the point, in that order.
std::vector<int> SettingsHintCodesAt(int x, int y, bool chineseMode);

// The bounding box of assignment tab i, its window rectangle.
layout::Rect AssignmentTabBox(int tab);

// Timer 17, for one tab: the pointer inside the tab narrowed by 17 pixels on
// each side (its slanted edges) lights the spot while the main window is the
// active window and leaves it alone otherwise; outside, the spot goes dark.
enum class SpotChange { Select, Keep, Clear };
inline constexpr int kTabSpotInset = 17;
SpotChange TabSpotChange(const layout::Rect& tabBox, int x, int y, bool mainWindowActive);

// The seven hot spots of a model's mouse picture; all empty for a name that
// is none of the six models.
std::array<layout::Rect, kButtonCount> MouseHotSpots(std::u16string_view model);

// Opening the editor for button i: the button's name is brought into the
// current language first, and is what the editor's header shows.
std::u16string PrepareButtonEditor(int buttonIndex, ProfileSettings& settings, bool chineseMode);
// Closing it: a result (OK) goes through the rules and, when they pass, into
// the profile; nothing (cancel) changes nothing. Either way the tab's mark is
// what the function now says.
struct EditorOutcome {
    bool accepted = false;
    bool tabMark = false;
};
EditorOutcome FinishButtonEditor(int buttonIndex, const std::optional<SettingResult>& result,
                                 ProfileState& profile, const AssignmentContext& context);

}  // namespace qx
