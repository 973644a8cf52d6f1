// The 640-byte image of one macro that the mouse stores in a macro slot, and
// the length value whose low byte the button's key-matrix entry carries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "device/DeviceProtocol.h"
#include "macro/MacroEntry.h"
#include "macro/MacroTable.h"

namespace qx {

// kMacroImageSize (640) is the size of a macro transfer, device/DeviceProtocol.h.
inline constexpr int kHighestSentMacroSlot = 7;

struct MacroImage {
    std::array<std::uint8_t, kMacroImageSize> bytes{};
    std::uint32_t lengthValue = 0;  // 33, 65, ... 641
    int slot = 0;

    std::uint8_t lengthByte() const { return static_cast<std::uint8_t>(lengthValue); }
    // Slots above 7 are not sent; their length value still counts.
    bool IsSent() const { return slot >= 0 && slot <= kHighestSentMacroSlot; }
};

// Keys are translated with the key table of the given language, the one in
// force when the macro is written to the mouse. Pure; any thread.
MacroImage EncodeMacroImage(const MacroEntry& entry, int slot, int currentLanguage);

// For the device writer: copies the macro with this id out of the table
// (safe while the UI thread changes it) and encodes it. nullopt when no slot
// has the id or its byteSize is 0, which leaves the button's entry empty.
std::optional<MacroImage> EncodeMacroById(const MacroTable& table, std::uint32_t id, int slot,
                                          int currentLanguage);

}  // namespace qx
