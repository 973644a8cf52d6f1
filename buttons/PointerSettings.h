// The pointer values of a profile: DPI levels, report rate, pointer speed,
// enhanced precision and wheel scroll lines. The page-model functions change
// the active ProfileSettings the way the settings page's controls do;
// ApplyWindowsMouseSettings hands the three desktop values to the desktop.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/ProfileRecord.h"

namespace qx {

// The 14 DPI boxes of the page, in table order.
inline constexpr std::array<std::int32_t, kDpiListSize> kDpiBoxValues = {
    500, 750, 1000, 1250, 1500, 2000, 2500, 3000, 3250, 3500, 4000, 5000, 6000, 7000};
inline constexpr int kMaxDpiLevels = 7;

// Report-rate buttons 125, 250, 500 and 1000 Hz and the intervals they store.
inline constexpr int kReportRateButtons = 4;
inline constexpr std::array<std::int32_t, kReportRateButtons> kReportRatesHz = {125, 250, 500,
                                                                                1000};
inline constexpr std::array<std::int32_t, kReportRateButtons> kReportIntervals = {8, 4, 2, 1};

inline constexpr std::int32_t kPointerSpeedMin = 1, kPointerSpeedMax = 20;
inline constexpr std::int32_t kSensorHeightMin = 1, kSensorHeightMax = 30;
inline constexpr std::int32_t kScrollLinesMin = 1, kScrollLinesMax = 30;
inline constexpr std::int32_t kScrollWholeScreen = -1;  // WHEEL_PAGESCROLL

// DPI boxes: which are selected (every list value that equals a box value).
std::array<bool, kDpiListSize> SelectedDpiBoxes(const ProfileSettings& settings);
// A click on box 0-13: toggles it within one to seven levels and rebuilds the
// list in ascending order. Values without a box (1750 from an imported
// profile) are dropped from the list by the rebuild, as the page does.
void ClickDpiBox(ProfileSettings& settings, int box);

// Report-rate button 0-3 of a stored interval; -1 when the value is none of them.
int ReportRateButton(std::int32_t interval);
void ClickReportRate(ProfileSettings& settings, int button);

// Slider positions as the sliders send them; kept within their ranges.
void SetPointerSpeed(ProfileSettings& settings, std::int32_t position);
void SetSensorHeight(ProfileSettings& settings, std::int32_t position);
// The accuracy box: selected while enhancePrecision is 1; a click toggles it.
void ToggleEnhancePrecision(ProfileSettings& settings);

// The wheel controls of the page: the two choices, the lines edit and its
// number. Only the stored scroll value lives in the profile.
struct WheelControls {
    bool linesChosen = true;  // false: whole-screen choice
    std::int32_t lineNumber = 3;
    std::u16string editText = u"3";
    std::size_t caret = 0;  // caret position NormalizeLinesEdit leaves behind
};

void RefreshWheel(const ProfileSettings& settings, WheelControls& wheel);
void ChooseLines(ProfileSettings& settings, WheelControls& wheel);
void ChooseWholeScreen(ProfileSettings& settings, WheelControls& wheel);
void LinesUp(ProfileSettings& settings, WheelControls& wheel);
void LinesDown(ProfileSettings& settings, WheelControls& wheel);
// Takes the edit's text into the line number and the profile: leading zeros
// dropped, empty becomes 1, above 30 (or negative) becomes 30.
void NormalizeLinesEdit(ProfileSettings& settings, WheelControls& wheel);

// The desktop's pointer values. Each call reports whether the desktop took
// the value; a value it cannot take is skipped.
class PointerSettings {
public:
    virtual ~PointerSettings() = default;
    // Thresholds and acceleration level: {6, 10, 1} enhanced precision on,
    // {0, 0, 0} off.
    virtual bool SetMouseAcceleration(const std::array<std::int32_t, 3>& values) = 0;
    // Pointer speed 1-20, 10 moves the pointer as far as the mouse reports.
    virtual bool SetMouseSpeed(std::int32_t speed) = 0;
    // Lines per wheel notch 1-30, or kScrollWholeScreen.
    virtual bool SetWheelScrollLines(std::int32_t lines) = 0;
};

inline constexpr std::array<std::int32_t, 3> kAccelerationEnhanced = {6, 10, 1};
inline constexpr std::array<std::int32_t, 3> kAccelerationOff = {0, 0, 0};

// Hands precision, speed and scroll lines of the profile to the desktop, in
// that order; a failing call does not stop the next one.
void ApplyWindowsMouseSettings(const ProfileSettings& settings, PointerSettings& pointer);

}  // namespace qx
