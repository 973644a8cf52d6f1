// The lighting page without its window: the commands of its buttons, sliders
// and colour wheel edit the lighting fields of the active ProfileSettings in
// place, and Refresh turns those fields and the page's own state into the
// state of every control. The window only draws what LightingControls says.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "base/ProfileRecord.h"

namespace qx {

// Lighting modes as stored at offset 22168.
inline constexpr std::int32_t kLightingSteady = 1;
inline constexpr std::int32_t kLightingBreathing = 2;
inline constexpr std::int32_t kLightingBreathingSpectrum = 3;
inline constexpr std::int32_t kLightingSpectrum = 4;
inline constexpr std::int32_t kLightingColourCycle = 5;
inline constexpr std::int32_t kLightingOff = 6;

inline constexpr int kColourSlots = 4;  // 0-2 the colour cycle's own colours, 3 the single colour
inline constexpr int kSingleColourSlot = 3;
inline constexpr int kNoSlot = 4;
inline constexpr int kPresetColourCount = 26;
inline constexpr int kNoPreset = -1;

// A colour as the profile stores it: red + 256 * green + 65536 * blue.
using ColourValue = std::uint32_t;

constexpr ColourValue MakeColour(int red, int green, int blue) {
    return static_cast<ColourValue>(red & 0xFF) | static_cast<ColourValue>(green & 0xFF) << 8 |
           static_cast<ColourValue>(blue & 0xFF) << 16;
}
constexpr int RedOf(ColourValue c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(ColourValue c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int BlueOf(ColourValue c) {
    return static_cast<int>(c >> 16 & 0xFF);
}

// Preset 0-25.
ColourValue PresetColour(int preset);

// The page's own state; recomputed by every Refresh, never stored.
struct LightingPageState {
    int selectedSlot = 0;  // 0-3, or kNoSlot
    bool wheelEnabled = true;
    std::array<int, 3> shown{};  // red, green, blue of the number boxes
};

// What every control of the page shows. A default object is the page as its
// controls are created: everything enabled, every button up.
struct LightingControls {
    int modeDown = 0;  // the mode whose button is down, 1-6; 0 none
    bool breathingSpeedEnabled = true;
    bool brightnessEnabled = true;
    bool mode5SpeedEnabled = true;
    bool ownColoursEnabled = true;
    bool ownColoursOn = false;
    bool slotSwatchesEnabled = true;  // slots 0-2; the slot 3 swatch has no command
    bool presetsEnabled = true;
    int presetDown = kNoPreset;
    bool colourSlidersEnabled = true;
    std::array<int, 3> colourSliders{};  // red, green, blue positions
    std::array<int, 3> numberBoxes{};    // always disabled; they only show the values
    int breathingSpeed = 1;              // slider positions within their ranges
    int brightness = 1;
    int mode5Speed = 1;
    bool bodyOnDown = false;
    bool bodyOffDown = false;
    std::array<ColourValue, kColourSlots> swatches{};
};

// From the lighting fields and the page state to the controls. Besides the
// controls it recomputes the page state (selected slot, wheel, shown values)
// and writes back a preset number outside 0-25 as 0 when that slot is shown.
// A mode outside 1-6 leaves the mode-dependent controls as they were.
void RefreshLightingPage(ProfileSettings& settings, LightingPageState& page,
                         LightingControls& controls);

// The colour wheel is the ellipse inside kColourWheel (page pixels).
bool InColourWheel(int x, int y);

// The colour of the normal page picture at a page pixel; nothing where the
// picture has no pixel.
using PixelLookup = std::function<std::optional<ColourValue>(int x, int y)>;

class LightingPageModel {
public:
    // settings: the active profile, edited in place; it must outlive the model.
    explicit LightingPageModel(ProfileSettings& settings) : settings_(settings) {}

    // Button commands; each ends with Refresh.
    void ChooseMode(std::int32_t mode);  // the six mode buttons
    void ToggleOwnColours();
    void ChooseSlot(int slot);  // the slot 0-2 swatches
    void SetBodyLight(bool on);
    void ChoosePreset(int preset);  // 0-25

    // WM_USER+1024 from a slider: position and control id. Unknown ids are
    // ignored; the window answers 1 either way.
    void SliderMoved(int id, int position);

    // Pointer over the wheel (move, release, double click): show the cross.
    bool ShowsCrossAt(int x, int y) const;
    // Left press: takes the picture's pixel into the selected slot. False when
    // the press is outside the wheel, the wheel is disabled, no slot is
    // selected or the picture has no pixel there. The preset buttons keep
    // their state until the next Refresh.
    bool PressWheel(int x, int y, const PixelLookup& pixelAt);

    void Refresh() { RefreshLightingPage(settings_, page_, controls_); }

    const LightingControls& Controls() const { return controls_; }
    const LightingPageState& State() const { return page_; }
    const ProfileSettings& Settings() const { return settings_; }

private:
    bool SlotSelected() const {
        return page_.selectedSlot >= 0 && page_.selectedSlot < kColourSlots;
    }
    void ShowColour(ColourValue colour);

    ProfileSettings& settings_;
    LightingPageState page_;
    LightingControls controls_;
};

}  // namespace qx
