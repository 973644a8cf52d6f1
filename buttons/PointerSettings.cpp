#include "buttons/PointerSettings.h"

#include <algorithm>
#include <climits>

namespace qx {

std::array<bool, kDpiListSize> SelectedDpiBoxes(const ProfileSettings& settings) {
    std::array<bool, kDpiListSize> selected{};
    for (std::int32_t value : settings.dpiList)
        for (int box = 0; box < kDpiListSize; ++box)
            if (value == kDpiBoxValues[box]) selected[box] = true;
    return selected;
}

void ClickDpiBox(ProfileSettings& settings, int box) {
    if (box < 0 || box >= kDpiListSize) return;
    auto selected = SelectedDpiBoxes(settings);
    const auto n = std::count(selected.begin(), selected.end(), true);
    if (n == kMaxDpiLevels) {
        selected[box] = false;  // no eighth level
    } else if (!selected[box]) {
        selected[box] = true;
    } else if (n > 1) {
        selected[box] = false;  // the last level stays
    }
    std::fill(std::begin(settings.dpiList), std::end(settings.dpiList), 0);
    int next = 0;
    for (int i = 0; i < kDpiListSize; ++i)
        if (selected[i]) settings.dpiList[next++] = kDpiBoxValues[i];
}

int ReportRateButton(std::int32_t interval) {
    for (int i = 0; i < kReportRateButtons; ++i)
        if (kReportIntervals[i] == interval) return i;
    return -1;
}

void ClickReportRate(ProfileSettings& settings, int button) {
    if (button < 0 || button >= kReportRateButtons) return;
    settings.reportInterval = kReportIntervals[button];
}

void SetPointerSpeed(ProfileSettings& settings, std::int32_t position) {
    settings.pointerSpeed = std::clamp(position, kPointerSpeedMin, kPointerSpeedMax);
}

void SetSensorHeight(ProfileSettings& settings, std::int32_t position) {
    settings.sensorHeight = std::clamp(position, kSensorHeightMin, kSensorHeightMax);
}

void ToggleEnhancePrecision(ProfileSettings& settings) {
    settings.enhancePrecision = settings.enhancePrecision == 1 ? 0 : 1;
}

namespace {

std::u16string NumberText(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

// Decimal value of the leading digits (blanks and a sign before them allowed),
// saturated to the int range; 0 when there are none.
long long LeadingNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - u'0'), INT_MAX);
    return negative ? -value : value;
}

void StoreLines(ProfileSettings& settings, WheelControls& wheel, std::int32_t lines) {
    wheel.lineNumber = lines;
    wheel.editText = NumberText(lines);
    settings.scrollLines = lines;
}

}  // namespace

void RefreshWheel(const ProfileSettings& settings, WheelControls& wheel) {
    wheel.linesChosen = settings.scrollLines != kScrollWholeScreen;
    wheel.lineNumber = wheel.linesChosen ? settings.scrollLines : 1;
    wheel.editText = NumberText(wheel.lineNumber);
}

void ChooseLines(ProfileSettings& settings, WheelControls& wheel) {
    wheel.linesChosen = true;
    settings.scrollLines = wheel.lineNumber;
}

void ChooseWholeScreen(ProfileSettings& settings, WheelControls& wheel) {
    wheel.linesChosen = false;
    settings.scrollLines = kScrollWholeScreen;
}

void LinesUp(ProfileSettings& settings, WheelControls& wheel) {
    if (!wheel.linesChosen) return;  // the arrows are disabled then
    StoreLines(settings, wheel, std::min(wheel.lineNumber + 1, kScrollLinesMax));
}

void LinesDown(ProfileSettings& settings, WheelControls& wheel) {
    if (!wheel.linesChosen) return;
    StoreLines(settings, wheel, std::max(wheel.lineNumber - 1, kScrollLinesMin));
}

void NormalizeLinesEdit(ProfileSettings& settings, WheelControls& wheel) {
    std::u16string text = wheel.editText;
    text.erase(0, std::min(text.find_first_not_of(u'0'), text.size()));
    if (text.empty()) {
        StoreLines(settings, wheel, 1);
        wheel.caret = 0;
        return;
    }
    const long long value = LeadingNumber(text);
    // Negative counts as large; no digits at all would stop the wheel, so it
    // becomes one line.
    std::int32_t lines = value < 0 || value > kScrollLinesMax ? kScrollLinesMax
                         : value == 0                         ? kScrollLinesMin
                                                              : static_cast<std::int32_t>(value);
    StoreLines(settings, wheel, lines);
    wheel.caret = text.size();
}

void ApplyWindowsMouseSettings(const ProfileSettings& settings, PointerSettings& pointer) {
    pointer.SetMouseAcceleration(settings.enhancePrecision != 0 ? kAccelerationEnhanced
                                                                : kAccelerationOff);
    pointer.SetMouseSpeed(settings.pointerSpeed);
    pointer.SetWheelScrollLines(settings.scrollLines);
}

}  // namespace qx
