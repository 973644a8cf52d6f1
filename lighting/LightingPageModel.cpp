#include "lighting/LightingPageModel.h"

#include <algorithm>

#include "lighting/LightingLayout.h"
#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

namespace page_layout = layout::lighting_page;

bool OwnColoursOn(const ProfileSettings& settings) {
    return settings.ownColours == 1;
}

std::array<int, 3> Components(ColourValue colour) {
    return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}

int SliderRange(lighting::Control control, int position) {
    const auto& row = lighting::kControls[control];
    return std::clamp(position, row.minimum, row.maximum);
}

// Presets and colour sliders live: they show the selected slot's colour.
void EnableColourControls(const ProfileSettings& settings, LightingPageState& page,
                          LightingControls& controls) {
    controls.presetsEnabled = true;
    page.shown = Components(settings.colours[page.selectedSlot]);
    controls.colourSliders = page.shown;
    controls.colourSlidersEnabled = true;
    controls.numberBoxes = page.shown;
}

void DisableColourControls(LightingPageState& page, LightingControls& controls) {
    page.selectedSlot = kNoSlot;
    controls.presetsEnabled = false;
    page.shown = {0, 0, 0};
    controls.colourSliders = page.shown;
    controls.colourSlidersEnabled = false;
    controls.numberBoxes = page.shown;
}

}  // namespace

ColourValue PresetColour(int preset) {
    if (preset < 0 || preset >= kPresetColourCount) return 0;
    const auto& c = page_layout::kPresetColours[preset];
    return MakeColour(c.r, c.g, c.b);
}

bool InColourWheel(int x, int y) {
    // Pixel centres against the ellipse inscribed in the box, in whole numbers:
    // (2x + 1 - (l + r))^2 / w^2 + (2y + 1 - (t + b))^2 / h^2 <= 1.
    const auto& box = page_layout::kColourWheel;
    const long long w = box.Width(), h = box.Height();
    const long long dx = 2LL * x + 1 - (box.left + box.right);
    const long long dy = 2LL * y + 1 - (box.top + box.bottom);
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

void RefreshLightingPage(ProfileSettings& settings, LightingPageState& page,
                         LightingControls& controls) {
    // The own-colours switch decides the colour-cycle controls from the stored
    // field, so a profile selected or restored with a different switch shows
    // consistent controls at once.
    const bool ownColours = OwnColoursOn(settings);
    const std::int32_t mode = settings.lightingMode;
    if (mode >= kLightingSteady && mode <= kLightingOff) {
        controls.modeDown = mode;
        controls.breathingSpeedEnabled = mode == kLightingBreathing;
        controls.brightnessEnabled = mode == kLightingSteady;
        controls.ownColoursEnabled = mode == kLightingColourCycle;
        controls.slotSwatchesEnabled = mode == kLightingColourCycle;
        controls.mode5SpeedEnabled = mode == kLightingColourCycle && !ownColours;
        bool colourLive = false;
        if (mode == kLightingSteady || mode == kLightingBreathing) {
            page.selectedSlot = kSingleColourSlot;
            colourLive = true;
        } else if (mode == kLightingColourCycle && ownColours) {
            if (page.selectedSlot == kSingleColourSlot || page.selectedSlot == kNoSlot)
                page.selectedSlot = 0;
            colourLive = true;
        } else {
            page.selectedSlot = kNoSlot;
        }
        page.wheelEnabled = colourLive;
        if (colourLive)
            EnableColourControls(settings, page, controls);
        else
            DisableColourControls(page, controls);
    }

    controls.bodyOnDown = settings.touchLight != 0;
    controls.bodyOffDown = !controls.bodyOnDown;

    controls.breathingSpeed = SliderRange(lighting::kBreathingSpeedSlider, settings.breathingSpeed);
    controls.brightness = SliderRange(lighting::kBrightnessSlider, settings.brightness);
    controls.mode5Speed = SliderRange(lighting::kMode5SpeedSlider, settings.symphonySpeed >> 1);

    controls.presetDown = kNoPreset;
    const int slot = page.selectedSlot;
    if (slot >= 0 && slot < kColourSlots && settings.colourFromWheel[slot] == 0) {
        if (static_cast<std::uint32_t>(settings.presetNumber[slot]) >= kPresetColourCount)
            settings.presetNumber[slot] = 0;
        controls.presetDown = settings.presetNumber[slot];
        page.shown = Components(settings.colours[slot]);
        controls.colourSliders = page.shown;
    }

    controls.ownColoursOn = ownColours;
    std::copy(std::begin(settings.colours), std::end(settings.colours), controls.swatches.begin());
}

void LightingPageModel::ChooseMode(std::int32_t mode) {
    if (mode < kLightingSteady || mode > kLightingOff) return;
    settings_.lightingMode = mode;
    if (mode == kLightingSteady || mode == kLightingBreathing)
        page_.selectedSlot = kSingleColourSlot;
    else if (mode == kLightingColourCycle && controls_.ownColoursOn)
        page_.selectedSlot = 0;
    else
        page_.selectedSlot = kNoSlot;
    Refresh();
}

void LightingPageModel::ToggleOwnColours() {
    // The button toggles what it shows; the field follows the button.
    settings_.ownColours = controls_.ownColoursOn ? 0 : 1;
    Refresh();
}

void LightingPageModel::ChooseSlot(int slot) {
    if (slot < 0 || slot >= kSingleColourSlot) return;
    page_.selectedSlot = slot;
    Refresh();
}

void LightingPageModel::SetBodyLight(bool on) {
    settings_.touchLight = on ? 1 : 0;
    Refresh();
}

void LightingPageModel::ChoosePreset(int preset) {
    if (preset >= 0 && preset < kPresetColourCount && SlotSelected()) {
        const int slot = page_.selectedSlot;
        settings_.colours[slot] = PresetColour(preset);
        settings_.presetNumber[slot] = preset;
        settings_.colourFromWheel[slot] = 0;
    }
    Refresh();
}

void LightingPageModel::SliderMoved(int id, int position) {
    switch (id) {
        case lighting::kRedSliderId:
        case lighting::kGreenSliderId:
        case lighting::kBlueSliderId: {
            const int component = id - lighting::kRedSliderId;
            const int value = SliderRange(lighting::kRedSlider, position);
            page_.shown[component] = value;
            controls_.colourSliders[component] = value;
            if (!SlotSelected()) return;
            const int slot = page_.selectedSlot;
            const int shift = 8 * component;
            settings_.colours[slot] = (settings_.colours[slot] & ~(0xFFu << shift)) |
                                      static_cast<ColourValue>(value) << shift;
            settings_.colourFromWheel[slot] = 1;
            controls_.swatches[slot] = settings_.colours[slot];
            controls_.numberBoxes = page_.shown;
            controls_.presetDown = kNoPreset;
            return;
        }
        case lighting::kBrightnessSliderId:
            controls_.brightness = SliderRange(lighting::kBrightnessSlider, position);
            settings_.brightness = controls_.brightness;
            return;
        case lighting::kBreathingSpeedSliderId:
            controls_.breathingSpeed = SliderRange(lighting::kBreathingSpeedSlider, position);
            settings_.breathingSpeed = controls_.breathingSpeed;
            return;
        case lighting::kMode5SpeedSliderId:
            controls_.mode5Speed = SliderRange(lighting::kMode5SpeedSlider, position);
            settings_.symphonySpeed = 2 * controls_.mode5Speed;
            return;
        default:
            return;
    }
}

bool LightingPageModel::ShowsCrossAt(int x, int y) const {
    return page_.wheelEnabled && InColourWheel(x, y);
}

bool LightingPageModel::PressWheel(int x, int y, const PixelLookup& pixelAt) {
    if (!ShowsCrossAt(x, y) || !SlotSelected() || !pixelAt) return false;
    const std::optional<ColourValue> pixel = pixelAt(x, y);
    if (!pixel) return false;
    const int slot = page_.selectedSlot;
    settings_.colourFromWheel[slot] = 1;
    settings_.colours[slot] = *pixel & 0xFFFFFF;
    ShowColour(settings_.colours[slot]);
    return true;
}

void LightingPageModel::ShowColour(ColourValue colour) {
    page_.shown = Components(colour);
    controls_.colourSliders = page_.shown;
    controls_.numberBoxes = page_.shown;
    controls_.swatches[page_.selectedSlot] = colour;
}

}  // namespace qx
