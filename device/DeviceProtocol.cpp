#include "device/DeviceProtocol.h"

#include <algorithm>

#include "base/ProfileRecord.h"

namespace qx {
namespace {

constexpr std::uint8_t Byte(Command command) {
    return static_cast<std::uint8_t>(command);
}

constexpr DeviceBytes kFixedEntry3 = {0x07, 0x00, 0x03, 0x00};
constexpr DeviceBytes kFixedEntry6 = {0x0A, 0x00, 0x02, 0x00};
constexpr DeviceBytes kFixedEntry7 = {0x0C, 0x00, 0x03, 0x00};

constexpr std::uint8_t kMacroSize[2] = {0x00, 0x02};  // bytes 4 and 5, whatever the image

}  // namespace

CommandPayload ReportRatePayload(std::uint8_t rateCode) {
    return {Byte(Command::ReportRate), rateCode, 0, 0, 0};
}
CommandPayload TouchPayload(std::uint8_t touchByte) {
    return {Byte(Command::Touch), touchByte, 0, 0, 0};
}
CommandPayload ColourBlockPayload() {
    return {Byte(Command::ColourBlock), 0x01, 0x00, 0x20, 0};
}
CommandPayload DpiLevelPayload(std::uint8_t level) {
    return {Byte(Command::DpiLevel), 0x01, level, 0, 0};
}
CommandPayload LedColourPayload(std::uint32_t colour) {
    const auto red = static_cast<std::uint8_t>(colour & 0xFF);
    const auto green = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    const auto blue = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
    return {Byte(Command::LedColour), 0x01, green, red, blue};
}
CommandPayload EffectPayload(std::uint8_t mode, std::uint8_t parameter1, std::uint8_t parameter2) {
    return {Byte(Command::Effect), 0x01, mode, parameter1, parameter2};
}
CommandPayload DpiTablePayload() {
    return {Byte(Command::DpiTable), 0x01, 0x07, 0x10, 0};
}
CommandPayload KeyMatrixPayload() {
    return {Byte(Command::KeyMatrix), 0x01, 0x00, 0x40, 0};
}
CommandPayload MacroPayload(std::uint8_t slot) {
    return {Byte(Command::Macro), 0x01, slot, kMacroSize[0], kMacroSize[1]};
}

std::uint8_t ReportRateCode(std::int32_t storedInterval) {
    switch (storedInterval) {
        case 1:
        case 2:
        case 4:
        case 8:
            return static_cast<std::uint8_t>(storedInterval);
        default:
            return 2;
    }
}

std::uint8_t TouchByte(std::int32_t touchLight, std::int32_t lightingMode) {
    return touchLight == 1 && lightingMode != 6 ? kTouchOn : kTouchOff;
}

std::array<std::uint8_t, kColourBlockSize> BuildColourBlock(
    std::span<const std::uint32_t, 3> colours) {
    std::array<std::uint8_t, kColourBlockSize> block{};
    for (std::size_t i = 0; i < 3; ++i) {
        block[3 * i] = static_cast<std::uint8_t>(colours[i] & 0xFF);
        block[3 * i + 1] = static_cast<std::uint8_t>((colours[i] >> 8) & 0xFF);
        block[3 * i + 2] = static_cast<std::uint8_t>((colours[i] >> 16) & 0xFF);
    }
    return block;
}

EffectBytes LightingEffect(const ProfileSettings& settings) {
    const auto low = [](std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); };
    switch (settings.lightingMode) {
        case 1:
            return {1, low(settings.brightness), 1};
        case 2:
            return {2, low(settings.breathingSpeed), 1};
        case 3:
            return {3, 2, 3};
        case 4:
            return {4, 10, 2};
        case 5:
            return {5, low(settings.symphonySpeed), low(settings.ownColours)};
        default:
            return {0, 0, 0};
    }
}

std::uint8_t DpiCode(std::int32_t dpi) {
    if (dpi >= 250 && dpi <= 3500 && dpi % 250 == 0) return static_cast<std::uint8_t>(dpi / 250);
    switch (dpi) {
        case 4000:
            return 40;
        case 5000:
            return 42;
        case 6000:
            return 44;
        case 7000:
            return 46;
        default:
            return kDpiCodeOff;
    }
}

std::array<std::uint8_t, kDpiTableSize> BuildDpiTable(std::span<const std::int32_t, 7> levels) {
    std::array<std::uint8_t, kDpiTableSize> table{};
    for (std::size_t i = 0; i < 7; ++i) table[i] = DpiCode(levels[i]);
    table[7] = 0x02;
    std::copy_n(table.begin(), 8, table.begin() + 8);
    return table;
}

std::uint8_t DpiLevelNumber(std::span<const std::int32_t, 7> levels) {
    const auto valid = std::count_if(levels.begin(), levels.end(),
                                     [](std::int32_t dpi) { return DpiCode(dpi) != kDpiCodeOff; });
    return static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(valid, 3));
}

std::array<std::uint8_t, kKeyMatrixSize> BuildKeyMatrix(const ButtonValues& buttons) {
    std::array<std::uint8_t, kKeyMatrixSize> matrix{};
    const auto put = [&matrix](int index, const DeviceBytes& value) {
        std::copy(value.begin(), value.end(), matrix.begin() + 4 * index);
    };
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]) put(kKeyMatrixIndex[i], *buttons[i]);
    put(3, kFixedEntry3);
    put(6, kFixedEntry6);
    put(7, kFixedEntry7);
    return matrix;
}

DeviceBytes MacroButtonValue(std::uint8_t slot, std::uint8_t lengthByte) {
    return {0x09, 0x00, slot, lengthByte};
}

std::optional<int> ParseFirmwareVersion(std::span<const std::uint8_t> answer) {
    if (answer.size() < 4 || answer[1] != Byte(Command::FirmwareVersion)) return std::nullopt;
    return answer[2] * 10 + answer[3];
}

}  // namespace qx
