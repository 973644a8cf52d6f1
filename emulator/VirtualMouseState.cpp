#include "emulator/VirtualMouseState.h"

#include <cstdio>
#include <cstring>

#include "base/DataFile.h"

namespace qx::emu {

std::string HexBytes(const std::uint8_t* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 0xF]);
    }
    return out;
}

bool LoadState(const std::filesystem::path& path, VirtualMouseState& state) {
    std::vector<std::uint8_t> bytes;
    const auto error = ReadWholeFile(path, bytes, 2 * sizeof(VirtualMouseState));
    if (error == FileError::FileNotFound) return true;
    if (error != FileError::None || bytes.size() != sizeof(VirtualMouseState)) return false;
    VirtualMouseState loaded;
    std::memcpy(&loaded, bytes.data(), sizeof loaded);
    if (loaded.magic != kStateMagic) return false;
    state = loaded;
    return true;
}

bool SaveState(const std::filesystem::path& path, const VirtualMouseState& state) {
    return WriteFileAtomic(path, AsBytes(state)) == FileError::None;
}

std::string StateJson(const VirtualMouseState& state) {
    const auto has = [&state](std::uint32_t bit) { return (state.stored & bit) != 0; };
    const auto hex = [](const std::uint8_t* bytes, std::size_t size) {
        return "\"" + HexBytes(bytes, size) + "\"";
    };
    const auto number = [](int value) { return std::to_string(value); };
    std::string out = "{";
    out += "\"report_rate\": " + (has(kStoredReportRate) ? number(state.reportRate) : "null");
    out += ", \"touch\": " + (has(kStoredTouch) ? hex(&state.touch, 1) : "null");
    out += ", \"dpi_level\": " + (has(kStoredDpiLevel) ? number(state.dpiLevel) : "null");
    out += ", \"led_colour\": " + (has(kStoredLedColour) ? hex(state.ledColour, 3) : "null");
    out += ", \"effect\": " + (has(kStoredEffect) ? hex(state.effect, 3) : "null");
    out += ", \"colours\": " +
           (has(kStoredColourBlock) ? hex(state.colourBlock, kColourBlockSize) : "null");
    out +=
        ", \"dpi_table\": " + (has(kStoredDpiTable) ? hex(state.dpiTable, kDpiTableSize) : "null");
    out += ", \"key_matrix\": " +
           (has(kStoredKeyMatrix) ? hex(state.keyMatrix, kKeyMatrixSize) : "null");
    out += ", \"macros\": {";
    bool first = true;
    for (int slot = 1; slot <= kMaxMacroSlot; ++slot) {
        if (!has(StoredMacroBit(slot))) continue;
        out += first ? "" : ", ";
        out += "\"" + number(slot) + "\": " + hex(state.macros[slot - 1], kMacroImageSize);
        first = false;
    }
    out += "}}";
    return out;
}

}  // namespace qx::emu
