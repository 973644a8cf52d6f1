// The profile records. Both are a file format: they are written to disk byte
// for byte as laid out here (little-endian, fixed offsets, reserved areas kept).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "base/FunctionCatalogue.h"

namespace qx {

static_assert(std::endian::native == std::endian::little,
              "records are stored in the machine's byte order, which must be little-endian");

inline constexpr std::uint32_t kProfileMagic = 0x80806E41;
inline constexpr std::uint32_t kEntryMagic = 0xBEBE;
inline constexpr int kProfileCount = 5;
inline constexpr int kDpiListSize = 14;
inline constexpr int kDpiLevelCount = 7;
inline constexpr std::size_t kPathChars = 260;

struct ButtonSetting {
    std::int32_t function;    // function code
    std::int32_t macroId;     // function 6
    std::int32_t actionCode;  // function 19: 0xC0 sound, 0xD0 program, 0xE0 file, 0xF0 folder
    std::uint8_t reserved12[4];
    std::uint32_t comboCode;   // function 5: [0x00, modifiers, key usage, 0x00]
    std::int32_t actionValue;  // function 19, stored only
    char16_t actionPath[kPathChars];
    std::uint8_t reserved544[4];
    char16_t displayName[kPathChars];
    std::uint8_t reserved1068[2080];
};

struct ProfileSettings {
    std::uint32_t magic;
    ButtonSetting buttons[kButtonCount];
    std::int32_t dpiList[kDpiListSize];  // ascending non-zero values, then zeros
    std::uint8_t reserved22096[64];
    std::int32_t sensorHeight;    // 1-30, stored only
    std::int32_t reportInterval;  // ms: 1, 2, 4, 8
    std::int32_t lightingMode;    // 1-6
    std::int32_t ownColours;      // mode 5 uses slots 0-2
    std::uint32_t colours[4];     // 0x00BBGGRR; slot 3 is the single LED colour
    std::int32_t colourFromWheel[4];
    std::int32_t presetNumber[4];   // 0-25
    std::int32_t touchLight;        // proximity-sensing body light
    std::int32_t enhancePrecision;  // desktop pointer precision
    std::int32_t pointerSpeed;      // 1-20
    std::int32_t brightness;        // mode 1, 1-10
    std::int32_t breathingSpeed;    // mode 2, 1-5
    std::int32_t symphonySpeed;     // mode 5, twice the slider position
    std::int32_t scrollLines;       // 1-30, -1 = one screen per notch
};

struct ProfileEntry {
    std::uint32_t magic;
    std::int32_t active;
    std::uint8_t reserved8[4];
    std::uint8_t reserved12[520];
    char16_t path[kPathChars];
    std::uint8_t reserved1052[520];
    std::int32_t macroIds[kButtonCount];
};

struct ProfileTable {
    ProfileEntry entries[kProfileCount];
};

using ButtonMacroIds = std::array<std::int32_t, kButtonCount>;

static_assert(sizeof(ButtonSetting) == 3148);
static_assert(offsetof(ButtonSetting, macroId) == 4);
static_assert(offsetof(ButtonSetting, actionCode) == 8);
static_assert(offsetof(ButtonSetting, comboCode) == 16);
static_assert(offsetof(ButtonSetting, actionValue) == 20);
static_assert(offsetof(ButtonSetting, actionPath) == 24);
static_assert(offsetof(ButtonSetting, reserved544) == 544);
static_assert(offsetof(ButtonSetting, displayName) == 548);
static_assert(offsetof(ButtonSetting, reserved1068) == 1068);

static_assert(sizeof(ProfileSettings) == 22252);
static_assert(offsetof(ProfileSettings, buttons) == 4);
static_assert(offsetof(ProfileSettings, buttons) + 6 * sizeof(ButtonSetting) == 18892);
static_assert(offsetof(ProfileSettings, dpiList) == 22040);
static_assert(offsetof(ProfileSettings, reserved22096) == 22096);
static_assert(offsetof(ProfileSettings, sensorHeight) == 22160);
static_assert(offsetof(ProfileSettings, reportInterval) == 22164);
static_assert(offsetof(ProfileSettings, lightingMode) == 22168);
static_assert(offsetof(ProfileSettings, ownColours) == 22172);
static_assert(offsetof(ProfileSettings, colours) == 22176);
static_assert(offsetof(ProfileSettings, colourFromWheel) == 22192);
static_assert(offsetof(ProfileSettings, presetNumber) == 22208);
static_assert(offsetof(ProfileSettings, touchLight) == 22224);
static_assert(offsetof(ProfileSettings, enhancePrecision) == 22228);
static_assert(offsetof(ProfileSettings, pointerSpeed) == 22232);
static_assert(offsetof(ProfileSettings, brightness) == 22236);
static_assert(offsetof(ProfileSettings, breathingSpeed) == 22240);
static_assert(offsetof(ProfileSettings, symphonySpeed) == 22244);
static_assert(offsetof(ProfileSettings, scrollLines) == 22248);

static_assert(sizeof(ProfileEntry) == 1600);
static_assert(offsetof(ProfileEntry, active) == 4);
static_assert(offsetof(ProfileEntry, reserved8) == 8);
static_assert(offsetof(ProfileEntry, reserved12) == 12);
static_assert(offsetof(ProfileEntry, path) == 532);
static_assert(offsetof(ProfileEntry, reserved1052) == 1052);
static_assert(offsetof(ProfileEntry, macroIds) == 1572);
static_assert(sizeof(ProfileTable) == 8000);

// Zeroes the block, then sets the magic and every default; the button names
// are the built-in function names in the current language.
void MakeDefaultProfile(ProfileSettings& settings, bool chineseMode);

// The process-wide profile data: the active profile's settings, the table,
// the button macro ids and which entry is active.
struct ProfileState {
    ProfileSettings settings{};
    ProfileTable table{};
    ButtonMacroIds macroIds{};
    int activeIndex = 0;  // ActiveProfileEntry, 0-based

    ProfileEntry& ActiveEntry() { return table.entries[activeIndex]; }
    const ProfileEntry& ActiveEntry() const { return table.entries[activeIndex]; }
};

}  // namespace qx
