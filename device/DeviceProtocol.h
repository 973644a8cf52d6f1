// The mouse's command reports and the encodings of the values they carry.
// Pure functions over bytes: the channel (USBDriver.h) sends what they build.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "base/FunctionCatalogue.h"

namespace qx {

struct ProfileSettings;

inline constexpr std::size_t kOutputDataSize = 32;    // data bytes of one output report
inline constexpr std::size_t kMaxReportLength = 254;  // payload bytes the 255-byte buffers hold
inline constexpr std::size_t kKeyMatrixSize = 64;
inline constexpr std::size_t kMacroImageSize = 640;
inline constexpr std::size_t kDpiTableSize = 16;
inline constexpr std::size_t kColourBlockSize = 32;
inline constexpr int kMaxMacroSlot = 7;

// Byte 1 of each command's feature report.
enum class Command : std::uint8_t {
    ReportRate = 0x01,
    Touch = 0x03,
    ColourBlock = 0x09,
    DpiLevel = 0x0B,
    LedColour = 0x0C,
    Effect = 0x0D,
    DpiTable = 0x11,
    KeyMatrix = 0x12,
    Macro = 0x13,
    FirmwareVersion = 0x80,
};

inline constexpr std::uint8_t kTouchOn = 0xA0;
inline constexpr std::uint8_t kTouchOff = 0xB0;
inline constexpr std::uint8_t kDpiCodeOff = 0x80;

// Feature payload (bytes 1 on) of each command.
using CommandPayload = std::array<std::uint8_t, 5>;
CommandPayload ReportRatePayload(std::uint8_t rateCode);
CommandPayload TouchPayload(std::uint8_t touchByte);
CommandPayload ColourBlockPayload();
CommandPayload DpiLevelPayload(std::uint8_t level);
CommandPayload LedColourPayload(std::uint32_t colour);
CommandPayload EffectPayload(std::uint8_t mode, std::uint8_t parameter1, std::uint8_t parameter2);
CommandPayload DpiTablePayload();
CommandPayload KeyMatrixPayload();
CommandPayload MacroPayload(std::uint8_t slot);

// Report rate code: the polling interval 1, 2, 4 or 8 ms; anything else is 2.
std::uint8_t ReportRateCode(std::int32_t storedInterval);

// 0xA0 when the body light is on and the lighting mode is not 6, else 0xB0.
std::uint8_t TouchByte(std::int32_t touchLight, std::int32_t lightingMode);

// Red, green, blue of colour slots 0-2 (colours held 0x00BBGGRR), then zeros.
std::array<std::uint8_t, kColourBlockSize> BuildColourBlock(
    std::span<const std::uint32_t, 3> colours);

struct EffectBytes {
    std::uint8_t mode = 0;
    std::uint8_t parameter1 = 0;
    std::uint8_t parameter2 = 0;
    bool operator==(const EffectBytes&) const = default;
};
EffectBytes LightingEffect(const ProfileSettings& settings);

// Device code of a DPI value: n for 250*n (n = 1..14), 40/42/44/46 for
// 4000-7000, 0x80 for anything else (a level that is off).
std::uint8_t DpiCode(std::int32_t dpi);
// Codes of levels 1-7, then 0x02; the eight bytes twice.
std::array<std::uint8_t, kDpiTableSize> BuildDpiTable(std::span<const std::int32_t, 7> levels);
// The number of valid levels, at most 3.
std::uint8_t DpiLevelNumber(std::span<const std::int32_t, 7> levels);

// Key matrix of sixteen little-endian 4-byte entries from the seven buttons
// (button order left, middle, right, forward, back, wheel forward, wheel
// backward); a button without a value leaves its entry zero.
using ButtonValues = std::array<std::optional<DeviceBytes>, kButtonCount>;
std::array<std::uint8_t, kKeyMatrixSize> BuildKeyMatrix(const ButtonValues& buttons);
// The matrix index of each button.
inline constexpr std::array<int, kButtonCount> kKeyMatrixIndex = {0, 2, 1, 5, 4, 14, 15};

// The button value of a macro sent to a slot: 09 00 slot length.
DeviceBytes MacroButtonValue(std::uint8_t slot, std::uint8_t lengthByte);

// Firmware version from a fetched answer (byte 0 report ID): byte 2 * 10 +
// byte 3 when byte 1 is 0x80, else nothing.
std::optional<int> ParseFirmwareVersion(std::span<const std::uint8_t> answer);

}  // namespace qx
