#include "buttons/SettingsPageModel.h"

#include <algorithm>

#include "base/Text.h"
#include "ui/layout/SkinFiles.h"

namespace qx {

namespace P = layout::settings_page;

SettingsPageView ViewOfProfile(const ProfileSettings& settings) {
    SettingsPageView view;
    view.dpiBoxes = SelectedDpiBoxes(settings);
    view.pointerSpeed = settings.pointerSpeed;
    view.accuracy = settings.enhancePrecision == 1;
    view.sensorHeight = settings.sensorHeight;
    view.reportRateButton = ReportRateButton(settings.reportInterval);
    RefreshWheel(settings, view.wheel);
    for (int i = 0; i < kButtonCount; ++i) view.tabMarks[i] = IsTabChanged(i, settings.buttons[i]);
    return view;
}

layout::Rect AssignmentTabBox(int tab) {
    const auto& x = P::kTabX[static_cast<std::size_t>(tab)];
    return {std::min(x[0], x[3]), P::kTabTop, std::max(x[1], x[2]), P::kTabBottom};
}

std::vector<HintArea> SettingsHintAreas(bool chineseMode) {
    const int w = WheelLayoutIndex(chineseMode);
    std::vector<HintArea> areas;
    for (const auto& box : P::kDpiBoxes) areas.push_back({box, kHintDpiBox});
    areas.push_back({P::kPointerSpeedSlider, kHintPointerSpeed});
    areas.push_back({P::kAccuracyBox, kHintAccuracy});
    areas.push_back({P::kSensorHeightSlider, kHintSensorHeight});
    for (const auto& button : P::kReportRateButtons) areas.push_back({button, kHintReportRate});
    areas.push_back({P::kWheelLines[w], kHintWheelLines});
    areas.push_back({P::kWheelScreen[w], kHintWheelScreen});
    for (int tab = 0; tab < kButtonCount; ++tab)
        areas.push_back({AssignmentTabBox(tab), kHintAssignmentTab});
    for (std::size_t i = 0; i < P::kHeadings.size(); ++i)
        areas.push_back({P::kHeadings[i], kHeadingHints[i]});
    return areas;
}

std::vector<int> SettingsHintCodesAt(int x, int y, bool chineseMode) {
    std::vector<int> codes;
    for (const HintArea& area : SettingsHintAreas(chineseMode)) {
        const layout::Rect wide{area.rect.left - 1, area.rect.top - 1, area.rect.right + 1,
                                area.rect.bottom + 1};
        if (wide.Contains(x, y)) codes.push_back(area.code);
    }
    return codes;
}

SpotChange TabSpotChange(const layout::Rect& tabBox, int x, int y, bool mainWindowActive) {
    const layout::Rect narrowed{tabBox.left + kTabSpotInset, tabBox.top,
                                tabBox.right - kTabSpotInset, tabBox.bottom};
    if (!narrowed.Contains(x, y)) return SpotChange::Clear;
    return mainWindowActive ? SpotChange::Select : SpotChange::Keep;
}

std::array<layout::Rect, kButtonCount> MouseHotSpots(std::u16string_view model) {
    for (std::size_t i = 0; i < std::size(skin::kModels); ++i)
        if (model == FromUtf8(skin::kModels[i])) return layout::mouse_picture::kHotSpots[i];
    return {};
}

std::u16string PrepareButtonEditor(int buttonIndex, ProfileSettings& settings, bool chineseMode) {
    ButtonSetting& button = settings.buttons[buttonIndex];
    SwitchDefaultName(button, chineseMode);
    return FromBuffer(button.displayName);
}

EditorOutcome FinishButtonEditor(int buttonIndex, const std::optional<SettingResult>& result,
                                 ProfileState& profile, const AssignmentContext& context) {
    EditorOutcome outcome;
    if (result)
        outcome.accepted =
            AcceptAssignment(buttonIndex, *result, profile.settings, profile.macroIds, context);
    outcome.tabMark = IsTabChanged(buttonIndex, profile.settings.buttons[buttonIndex]);
    return outcome;
}

}  // namespace qx
