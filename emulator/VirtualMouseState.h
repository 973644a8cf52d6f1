// What the virtual mouse has stored, and its state file: this record written
// byte for byte, so the mouse keeps its settings across restarts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "device/DeviceProtocol.h"

namespace qx::emu {

inline constexpr std::uint32_t kStateMagic = 0x53516E41;  // "AnQS"

// Bits of `stored`: which settings the mouse has received at least once.
enum StoredBit : std::uint32_t {
    kStoredReportRate = 1u << 0,
    kStoredTouch = 1u << 1,
    kStoredDpiLevel = 1u << 2,
    kStoredLedColour = 1u << 3,
    kStoredEffect = 1u << 4,
    kStoredColourBlock = 1u << 5,
    kStoredDpiTable = 1u << 6,
    kStoredKeyMatrix = 1u << 7,
};
constexpr std::uint32_t StoredMacroBit(int slot) {
    return 1u << (7 + slot);
}  // slots 1-7

struct VirtualMouseState {
    std::uint32_t magic = kStateMagic;
    std::uint32_t stored = 0;
    std::uint8_t reportRate = 0;
    std::uint8_t touch = 0;
    std::uint8_t dpiLevel = 0;
    std::uint8_t reserved11 = 0;
    std::uint8_t ledColour[3] = {};  // green, red, blue as received
    std::uint8_t effect[3] = {};     // mode, parameter 1, parameter 2
    std::uint8_t reserved18[2] = {};
    std::uint8_t colourBlock[kColourBlockSize] = {};
    std::uint8_t dpiTable[kDpiTableSize] = {};
    std::uint8_t keyMatrix[kKeyMatrixSize] = {};
    std::uint8_t macros[kMaxMacroSlot][kMacroImageSize] = {};
};

static_assert(sizeof(VirtualMouseState) == 4612);
static_assert(offsetof(VirtualMouseState, stored) == 4);
static_assert(offsetof(VirtualMouseState, reportRate) == 8);
static_assert(offsetof(VirtualMouseState, touch) == 9);
static_assert(offsetof(VirtualMouseState, dpiLevel) == 10);
static_assert(offsetof(VirtualMouseState, ledColour) == 12);
static_assert(offsetof(VirtualMouseState, effect) == 15);
static_assert(offsetof(VirtualMouseState, colourBlock) == 20);
static_assert(offsetof(VirtualMouseState, dpiTable) == 52);
static_assert(offsetof(VirtualMouseState, keyMatrix) == 68);
static_assert(offsetof(VirtualMouseState, macros) == 132);

// A missing file is a fresh mouse (true, state untouched); a file of another
// size or magic is refused (false).
bool LoadState(const std::filesystem::path& path, VirtualMouseState& state);
bool SaveState(const std::filesystem::path& path, const VirtualMouseState& state);

// {"report_rate": 1, "touch": "A0", ..., "macros": {"1": "..."}}; a setting
// never received is null, a macro slot never written is left out.
std::string StateJson(const VirtualMouseState& state);

std::string HexBytes(const std::uint8_t* bytes, std::size_t size);

}  // namespace qx::emu
