#include "lighting/LightingPageModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "device/DeviceProtocol.h"
#include "lighting/LightingLayout.h"

namespace qx {
namespace {

using lighting::kBlueSliderId;
using lighting::kBreathingSpeedSliderId;
using lighting::kBrightnessSliderId;
using lighting::kGreenSliderId;
using lighting::kMode5SpeedSliderId;
using lighting::kRedSliderId;

constexpr int kWheelX = 831, kWheelY = 323;  // the wheel's centre

class LightingPageModelTest : public testing::Test {
protected:
    LightingPageModelTest() {
        MakeDefaultProfile(*settings, false);
        model.Refresh();
    }

    // A profile that differs from the defaults in every lighting field.
    void UseProfile(std::int32_t mode, std::int32_t ownColours) {
        settings->lightingMode = mode;
        settings->ownColours = ownColours;
        for (int slot = 0; slot < kColourSlots; ++slot) {
            settings->colours[slot] = MakeColour(10 + slot, 20 + slot, 30 + slot);
            settings->colourFromWheel[slot] = 1;
        }
    }

    std::unique_ptr<ProfileSettings> Copy() const {
        auto copy = std::make_unique<ProfileSettings>();
        std::memcpy(copy.get(), settings.get(), sizeof(ProfileSettings));
        return copy;
    }
    bool Unchanged(const ProfileSettings& before) const {
        return std::memcmp(&before, settings.get(), sizeof(ProfileSettings)) == 0;
    }

    std::unique_ptr<ProfileSettings> settings = std::make_unique<ProfileSettings>();
    LightingPageModel model{*settings};
};

// ------------------------------------------------------------------ Refresh

struct ModeCase {
    std::string name;
    std::int32_t mode;
    std::int32_t ownColours;
    int selectedSlot;
    bool breathing, brightness, mode5Speed, ownColoursButton, swatches, colour;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class RefreshByMode : public LightingPageModelTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(RefreshByMode, EnablesExactlyTheModesControls) {
    const ModeCase& c = GetParam();
    UseProfile(c.mode, c.ownColours);
    model.Refresh();
    const LightingControls& ctl = model.Controls();
    const LightingPageState& page = model.State();
    EXPECT_EQ(ctl.modeDown, c.mode);
    EXPECT_EQ(page.selectedSlot, c.selectedSlot);
    EXPECT_EQ(ctl.breathingSpeedEnabled, c.breathing);
    EXPECT_EQ(ctl.brightnessEnabled, c.brightness);
    EXPECT_EQ(ctl.mode5SpeedEnabled, c.mode5Speed);
    EXPECT_EQ(ctl.ownColoursEnabled, c.ownColoursButton);
    EXPECT_EQ(ctl.slotSwatchesEnabled, c.swatches);
    EXPECT_EQ(page.wheelEnabled, c.colour);
    EXPECT_EQ(ctl.presetsEnabled, c.colour);
    EXPECT_EQ(ctl.colourSlidersEnabled, c.colour);
    EXPECT_EQ(ctl.ownColoursOn, c.ownColours == 1);
    // The sliders and number boxes show the selected slot's colour, or zeros.
    const std::array<int, 3> expected =
        c.colour ? std::array<int, 3>{10 + c.selectedSlot, 20 + c.selectedSlot, 30 + c.selectedSlot}
                 : std::array<int, 3>{0, 0, 0};
    EXPECT_EQ(ctl.colourSliders, expected);
    EXPECT_EQ(ctl.numberBoxes, expected);
    EXPECT_EQ(page.shown, expected);
    for (int slot = 0; slot < kColourSlots; ++slot)
        EXPECT_EQ(ctl.swatches[slot], settings->colours[slot]) << slot;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RefreshByMode,
    testing::Values(
        //       name  mode own slot     breath bright speed5 ownBtn swatch colour
        ModeCase{"Steady", 1, 0, 3, false, true, false, false, false, true},
        ModeCase{"Breathing", 2, 0, 3, true, false, false, false, false, true},
        ModeCase{"Mode3", 3, 0, kNoSlot, false, false, false, false, false, false},
        ModeCase{"Mode4", 4, 1, kNoSlot, false, false, false, false, false, false},
        ModeCase{"CycleWithoutOwnColours", 5, 0, kNoSlot, false, false, true, true, true, false},
        ModeCase{"CycleWithOwnColours", 5, 1, 0, false, false, false, true, true, true},
        ModeCase{"CycleWithSwitchNeitherOnNorOff", 5, 2, kNoSlot, false, false, true, true, true,
                 false},
        ModeCase{"Off", 6, 1, kNoSlot, false, false, false, false, false, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(LightingPageModelTest, StoredModeOutsideOneToSixLeavesTheModeControls) {
    for (std::int32_t bad : {0, 7, -1}) {
        UseProfile(3, 0);
        model.Refresh();
        const LightingControls before = model.Controls();
        const LightingPageState pageBefore = model.State();
        settings->lightingMode = bad;
        settings->touchLight = 0;
        settings->brightness = 9;
        model.Refresh();
        const LightingControls& after = model.Controls();
        EXPECT_EQ(after.modeDown, 3) << bad;
        EXPECT_FALSE(after.presetsEnabled) << bad;
        EXPECT_EQ(after.mode5SpeedEnabled, before.mode5SpeedEnabled) << bad;
        EXPECT_EQ(model.State().selectedSlot, pageBefore.selectedSlot) << bad;
        EXPECT_EQ(model.State().wheelEnabled, pageBefore.wheelEnabled) << bad;
        // The rest of Refresh still runs.
        EXPECT_TRUE(after.bodyOffDown) << bad;
        EXPECT_EQ(after.brightness, 9) << bad;
        // And the mouse is sent the empty effect for it.
        EXPECT_EQ(LightingEffect(*settings), EffectBytes{}) << bad;
    }
}

TEST_F(LightingPageModelTest, ASelectedProfileWithOwnColoursOnShowsItsColoursAtOnce) {
    UseProfile(5, 0);
    model.Refresh();
    ASSERT_FALSE(model.Controls().ownColoursOn);
    // Another profile is selected: same mode, switch on; one Refresh must do.
    UseProfile(5, 1);
    model.Refresh();
    EXPECT_TRUE(model.Controls().ownColoursOn);
    EXPECT_EQ(model.State().selectedSlot, 0);
    EXPECT_TRUE(model.State().wheelEnabled);
    EXPECT_TRUE(model.Controls().presetsEnabled);
    EXPECT_FALSE(model.Controls().mode5SpeedEnabled);
    EXPECT_EQ(model.Controls().colourSliders, (std::array<int, 3>{10, 20, 30}));
}

// ---------------------------------------------------------------- commands

TEST_F(LightingPageModelTest, PresetsChangeNothingWhereNoSlotIsSelected) {
    for (std::int32_t mode : {3, 4, 6}) {
        model.ChooseMode(mode);
        const auto before = Copy();
        model.ChoosePreset(7);
        EXPECT_TRUE(Unchanged(*before)) << mode;
        EXPECT_EQ(model.State().selectedSlot, kNoSlot) << mode;
        EXPECT_FALSE(model.Controls().presetsEnabled) << mode;
        EXPECT_EQ(model.Controls().presetDown, kNoPreset) << mode;
    }
    // Colour cycle with the own colours off: the same.
    model.ChooseMode(5);
    ASSERT_FALSE(model.Controls().ownColoursOn);
    const auto before = Copy();
    model.ChoosePreset(7);
    model.SliderMoved(kGreenSliderId, 99);
    EXPECT_TRUE(Unchanged(*before));
}

TEST_F(LightingPageModelTest, OwnColoursOnSelectsSlotZeroAndSwapsTheLiveControls) {
    model.ChooseMode(5);
    EXPECT_TRUE(model.Controls().mode5SpeedEnabled);
    EXPECT_FALSE(model.State().wheelEnabled);
    EXPECT_FALSE(model.Controls().presetsEnabled);
    EXPECT_FALSE(model.Controls().colourSlidersEnabled);

    model.ToggleOwnColours();
    EXPECT_EQ(settings->ownColours, 1);
    EXPECT_TRUE(model.Controls().ownColoursOn);
    EXPECT_EQ(model.State().selectedSlot, 0);
    EXPECT_FALSE(model.Controls().mode5SpeedEnabled);
    EXPECT_TRUE(model.State().wheelEnabled);
    EXPECT_TRUE(model.Controls().presetsEnabled);
    EXPECT_TRUE(model.Controls().colourSlidersEnabled);

    model.ChooseSlot(2);
    EXPECT_EQ(model.State().selectedSlot, 2);
    model.ChooseMode(5);  // the mode button starts again at slot 0
    EXPECT_EQ(model.State().selectedSlot, 0);

    model.ToggleOwnColours();
    EXPECT_EQ(settings->ownColours, 0);
    EXPECT_EQ(model.State().selectedSlot, kNoSlot);
    EXPECT_TRUE(model.Controls().mode5SpeedEnabled);
}

TEST_F(LightingPageModelTest, ColourSliderMakesThePresetColourCustom) {
    model.ChooseMode(1);
    model.ChoosePreset(1);  // 250, 18, 0
    ASSERT_EQ(settings->colours[3], MakeColour(250, 18, 0));
    ASSERT_EQ(settings->colourFromWheel[3], 0);
    ASSERT_EQ(settings->presetNumber[3], 1);
    ASSERT_EQ(model.Controls().presetDown, 1);
    ASSERT_EQ(model.Controls().numberBoxes, (std::array<int, 3>{250, 18, 0}));

    model.SliderMoved(kGreenSliderId, 128);
    EXPECT_EQ(settings->colours[3], MakeColour(250, 128, 0));
    EXPECT_EQ(settings->colourFromWheel[3], 1);
    EXPECT_EQ(model.Controls().presetDown, kNoPreset);
    EXPECT_EQ(model.Controls().swatches[3], MakeColour(250, 128, 0));
    EXPECT_EQ(model.Controls().numberBoxes, (std::array<int, 3>{250, 128, 0}));
    model.Refresh();
    EXPECT_EQ(model.Controls().presetDown, kNoPreset);
    EXPECT_EQ(model.Controls().colourSliders, (std::array<int, 3>{250, 128, 0}));

    // Each slider owns one byte of the colour, whatever it is sent.
    model.SliderMoved(kBlueSliderId, 300);
    model.SliderMoved(kRedSliderId, -5);
    EXPECT_EQ(settings->colours[3], MakeColour(0, 128, 255));
}

TEST_F(LightingPageModelTest, PresetsGoToTheSelectedSlotOnly) {
    model.ChooseMode(5);
    model.ToggleOwnColours();
    const std::uint32_t slot3 = settings->colours[3];
    const int chosen[3] = {4, 11, 18};
    for (int slot = 0; slot < 3; ++slot) {
        model.ChooseSlot(slot);
        model.ChoosePreset(chosen[slot]);
        EXPECT_EQ(model.Controls().presetDown, chosen[slot]);
        EXPECT_EQ(model.Controls().swatches[slot], PresetColour(chosen[slot]));
    }
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(settings->colours[slot], PresetColour(chosen[slot])) << slot;
        EXPECT_EQ(settings->presetNumber[slot], chosen[slot]) << slot;
        EXPECT_EQ(settings->colourFromWheel[slot], 0) << slot;
    }
    EXPECT_EQ(settings->colours[3], slot3);
    // What the mouse receives from it.
    EXPECT_EQ(LightingEffect(*settings), (EffectBytes{5, 4, 1}));
    const auto block = BuildColourBlock(std::span<const std::uint32_t, 3>(settings->colours, 3));
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 9),
              (std::vector<std::uint8_t>{193, 240, 9, 0, 111, 249, 250, 99, 125}));
}

TEST_F(LightingPageModelTest, StoredPresetNumberOutsideTheTableShowsPresetZero) {
    for (std::int32_t bad : {26, -1, 0x7FFFFFFF}) {
        UseProfile(1, 0);
        settings->colourFromWheel[3] = 0;
        settings->presetNumber[3] = bad;
        settings->presetNumber[0] = bad;  // not shown in mode 1: left alone
        model.Refresh();
        EXPECT_EQ(model.Controls().presetDown, 0) << bad;
        EXPECT_EQ(settings->presetNumber[3], 0) << bad;
        EXPECT_EQ(settings->presetNumber[0], bad) << bad;
    }
    // A custom colour shows no preset and keeps its stored number.
    settings->colourFromWheel[3] = 1;
    settings->presetNumber[3] = 40;
    model.Refresh();
    EXPECT_EQ(model.Controls().presetDown, kNoPreset);
    EXPECT_EQ(settings->presetNumber[3], 40);
}

struct SliderCase {
    int id;
    int position;
    std::int32_t ProfileSettings::*field;
    std::int32_t stored;
    int shown;  // slider position after a Refresh
};

TEST_F(LightingPageModelTest, SpeedAndBrightnessSlidersStoreTheirForms) {
    const SliderCase cases[] = {
        {kMode5SpeedSliderId, 3, &ProfileSettings::symphonySpeed, 6, 3},
        {kMode5SpeedSliderId, 1, &ProfileSettings::symphonySpeed, 2, 1},
        {kMode5SpeedSliderId, 9, &ProfileSettings::symphonySpeed, 6, 3},
        {kBrightnessSliderId, 10, &ProfileSettings::brightness, 10, 10},
        {kBrightnessSliderId, 0, &ProfileSettings::brightness, 1, 1},
        {kBreathingSpeedSliderId, 4, &ProfileSettings::breathingSpeed, 4, 4},
    };
    for (const auto& c : cases) {
        model.SliderMoved(c.id, c.position);
        EXPECT_EQ((*settings).*c.field, c.stored) << c.id << " " << c.position;
        model.Refresh();
        const auto& ctl = model.Controls();
        const int shown = c.id == kMode5SpeedSliderId   ? ctl.mode5Speed
                          : c.id == kBrightnessSliderId ? ctl.brightness
                                                        : ctl.breathingSpeed;
        EXPECT_EQ(shown, c.shown) << c.id << " " << c.position;
    }
    settings->symphonySpeed = 5;  // an odd stored speed shows halved, rounded down
    model.Refresh();
    EXPECT_EQ(model.Controls().mode5Speed, 2);

    const auto before = Copy();
    model.SliderMoved(775, 3);  // no such slider
    model.SliderMoved(0, 3);
    EXPECT_TRUE(Unchanged(*before));
}

TEST_F(LightingPageModelTest, BodyLightIsStoredInEveryModeButOffInModeSix) {
    model.ChooseMode(6);
    model.SetBodyLight(false);
    model.SetBodyLight(true);
    EXPECT_EQ(settings->touchLight, 1);
    EXPECT_TRUE(model.Controls().bodyOnDown);
    EXPECT_FALSE(model.Controls().bodyOffDown);
    EXPECT_EQ(TouchByte(settings->touchLight, settings->lightingMode), kTouchOff);
    model.ChooseMode(1);
    EXPECT_EQ(TouchByte(settings->touchLight, settings->lightingMode), kTouchOn);
    model.SetBodyLight(false);
    EXPECT_EQ(settings->touchLight, 0);
    EXPECT_TRUE(model.Controls().bodyOffDown);
}

// -------------------------------------------------------------- colour wheel

TEST(ColourWheel, IsTheEllipseInsideItsBox) {
    struct Point {
        int x, y;
        bool inside;
    };
    const Point points[] = {
        {831, 323, true},                      // centre
        {771, 323, true},                      // leftmost column
        {770, 323, false},                     // left of the box
        {890, 323, true},                      // rightmost column
        {891, 323, false},                     // right edge is outside the box
        {831, 264, true},                      // top row
        {831, 382, true},                      // bottom row
        {831, 383, false}, {771, 264, false},  // the box's corners are not on the wheel
        {890, 382, false}, {780, 280, false},  // inside the box, outside the ellipse
        {790, 290, true},
    };
    for (const auto& p : points) EXPECT_EQ(InColourWheel(p.x, p.y), p.inside) << p.x << "," << p.y;
}

TEST_F(LightingPageModelTest, WheelPressTakesThePicturesPixelIntoTheSlot) {
    model.ChooseMode(2);
    model.ChoosePreset(4);
    int askedX = -1, askedY = -1;
    const PixelLookup picture = [&](int x, int y) -> std::optional<ColourValue> {
        askedX = x;
        askedY = y;
        return 0xFF000000u | MakeColour(12, 34, 56);  // the picture's alpha is dropped
    };
    EXPECT_TRUE(model.ShowsCrossAt(kWheelX + 10, kWheelY - 10));
    EXPECT_TRUE(model.PressWheel(kWheelX + 10, kWheelY - 10, picture));
    EXPECT_EQ(askedX, kWheelX + 10);
    EXPECT_EQ(askedY, kWheelY - 10);
    EXPECT_EQ(settings->colours[3], MakeColour(12, 34, 56));
    EXPECT_EQ(settings->colourFromWheel[3], 1);
    EXPECT_EQ(model.Controls().colourSliders, (std::array<int, 3>{12, 34, 56}));
    EXPECT_EQ(model.Controls().numberBoxes, (std::array<int, 3>{12, 34, 56}));
    EXPECT_EQ(model.Controls().swatches[3], MakeColour(12, 34, 56));
    EXPECT_EQ(model.Controls().presetDown, 4);  // until the next Refresh
    model.Refresh();
    EXPECT_EQ(model.Controls().presetDown, kNoPreset);
}

TEST_F(LightingPageModelTest, WheelPressTakesNothingWhereItMustNot) {
    const PixelLookup picture = [](int, int) -> std::optional<ColourValue> {
        return MakeColour(1, 2, 3);
    };
    const PixelLookup noPicture = [](int, int) -> std::optional<ColourValue> {
        return std::nullopt;
    };
    model.ChooseMode(1);
    auto before = Copy();
    EXPECT_FALSE(model.PressWheel(771, 264, picture));  // corner of the box
    EXPECT_FALSE(model.ShowsCrossAt(771, 264));
    EXPECT_FALSE(model.PressWheel(kWheelX, kWheelY, noPicture));
    EXPECT_TRUE(Unchanged(*before));

    for (std::int32_t mode : {3, 4, 5, 6}) {  // mode 5 with the own colours off
        model.ChooseMode(mode);
        before = Copy();
        EXPECT_FALSE(model.ShowsCrossAt(kWheelX, kWheelY)) << mode;
        EXPECT_FALSE(model.PressWheel(kWheelX, kWheelY, picture)) << mode;
        EXPECT_TRUE(Unchanged(*before)) << mode;
    }
}

}  // namespace
}  // namespace qx
