// The controls of the lighting page as data: kind, control id, rectangle in
// each language's placement, tooltip key, hint code and range. The rectangles
// themselves live in the shared skin layout, so the art generator paints the
// pictures where the page cuts its controls. Qt-free.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "ui/layout/SkinLayout.h"

namespace qx::lighting {

enum class ControlKind { CheckButton, Slider, ColourSwatch, NumberBox, LabelArea };

// Index of a row of kControls.
enum Control : int {
    kMode4Button,
    kMode3Button,
    kMode6Button,
    kMode2Button,
    kBreathingSpeedSlider,
    kMode1Button,
    kBrightnessSlider,
    kMode5Button,
    kOwnColoursButton,
    kSlot0Swatch,
    kSlot1Swatch,
    kSlot2Swatch,
    kMode5SpeedSlider,
    kBodyOnButton,
    kBodyOffButton,
    kSlot3Swatch,
    kRedSlider,
    kGreenSlider,
    kBlueSlider,
    kRedValue,
    kGreenValue,
    kBlueValue,
    kModeLabel,
    kBodyLightLabel,
    kBodyLightTextLabel,
    kColourLabel,
    kPresetsLabel,
    kMixerLabel,
    kControlCount
};

// Control ids: sliders report them with WM_USER+1024.
inline constexpr int kRedSliderId = 769;
inline constexpr int kGreenSliderId = 770;
inline constexpr int kBlueSliderId = 771;
inline constexpr int kRedValueId = 772;
inline constexpr int kGreenValueId = 773;
inline constexpr int kBlueValueId = 774;
inline constexpr int kBrightnessSliderId = 777;
inline constexpr int kBreathingSpeedSliderId = 778;
inline constexpr int kMode5SpeedSliderId = 779;

// The own-colours button shows hint 35 while it is on, its row's 34 otherwise.
inline constexpr int kOwnColoursOnHint = 35;

struct ControlRow {
    ControlKind kind;
    int id;  // 0: the control reports no id
    layout::Rect english;
    layout::Rect chinese;
    std::string_view tooltip;  // language key; empty for none
    int hint;                  // 0: none
    int minimum = 0;           // sliders and number boxes
    int maximum = 0;

    constexpr const layout::Rect& Rect(bool chineseLayout) const {
        return chineseLayout ? chinese : english;
    }
};

constexpr std::array<ControlRow, kControlCount> MakeControls() {
    namespace E = layout::lighting_page;
    namespace C = layout::lighting_page::chinese;
    using K = ControlKind;
    return {{
        {K::CheckButton, 0, E::kMode4, C::kMode4, "str_ledspe", 26},
        {K::CheckButton, 0, E::kMode3, C::kMode3, "str_led_apmbre", 27},
        {K::CheckButton, 0, E::kMode6, C::kMode6, "str_led_off", 28},
        {K::CheckButton, 0, E::kMode2, C::kMode2, "str_led_norbre", 29},
        {K::Slider, kBreathingSpeedSliderId, E::kBreathingSlider, C::kBreathingSlider, "", 79, 1,
         5},
        {K::CheckButton, 0, E::kMode1, C::kMode1, "str_led_brealways", 31},
        {K::Slider, kBrightnessSliderId, E::kBrightnessSlider, C::kBrightnessSlider, "", 32, 1, 10},
        {K::CheckButton, 0, E::kMode5, C::kMode5, "str_led_symphony", 33},
        {K::CheckButton, 0, E::kOwnColours, C::kOwnColours, "", 34},
        {K::ColourSwatch, 0, E::kSlotSwatches[0], C::kSlotSwatches[0], "str_multicolor1", 80},
        {K::ColourSwatch, 0, E::kSlotSwatches[1], C::kSlotSwatches[1], "str_multicolor2", 81},
        {K::ColourSwatch, 0, E::kSlotSwatches[2], C::kSlotSwatches[2], "str_multicolor3", 82},
        {K::Slider, kMode5SpeedSliderId, E::kMode5SpeedSlider, C::kMode5SpeedSlider, "", 36, 1, 3},
        {K::CheckButton, 0, E::kBodyOn, C::kBodyOn, "str_led_body_on", 37},
        {K::CheckButton, 0, E::kBodyOff, C::kBodyOff, "str_led_body_off", 38},
        {K::ColourSwatch, 0, E::kSlot3Swatch, C::kSlot3Swatch, "str_choose_color", 86},
        {K::Slider, kRedSliderId, E::kRedSlider, C::kRedSlider, "", 39, 0, 255},
        {K::Slider, kGreenSliderId, E::kGreenSlider, C::kGreenSlider, "", 39, 0, 255},
        {K::Slider, kBlueSliderId, E::kBlueSlider, C::kBlueSlider, "", 39, 0, 255},
        {K::NumberBox, kRedValueId, E::kRedValue, E::kRedValue, "", 0, 0, 255},
        {K::NumberBox, kGreenValueId, E::kGreenValue, E::kGreenValue, "", 0, 0, 255},
        {K::NumberBox, kBlueValueId, E::kBlueValue, E::kBlueValue, "", 0, 0, 255},
        {K::LabelArea, 0, E::kLabels[0], C::kLabels[0], "", 78},
        {K::LabelArea, 0, E::kLabels[1], C::kLabels[1], "", 83},
        {K::LabelArea, 0, E::kLabels[2], C::kLabels[2], "", 84},
        {K::LabelArea, 0, E::kLabels[3], C::kLabels[3], "", 85},
        {K::LabelArea, 0, E::kLabels[4], C::kLabels[4], "", 87},
        {K::LabelArea, 0, E::kLabels[5], C::kLabels[5], "", 88},
    }};
}
inline constexpr std::array<ControlRow, kControlCount> kControls = MakeControls();

// The button that selects a mode 1-6.
constexpr Control ModeButton(int mode) {
    constexpr std::array<Control, 6> buttons{kMode1Button, kMode2Button, kMode3Button,
                                             kMode4Button, kMode5Button, kMode6Button};
    return buttons[mode - 1];
}

// The hint codes to post for a pointer at (x, y): every control whose
// rectangle, one pixel larger on each side, holds the point, in table order.
std::vector<int> HintsAt(int x, int y, bool chineseLayout, bool ownColoursOn);

}  // namespace qx::lighting
