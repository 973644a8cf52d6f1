#include "macro/MacroEntry.h"

namespace qx {

std::uint32_t PackCursorPosition(int x, int y) {
    // Magnitudes as unsigned so that INT_MIN has one too.
    const auto magnitude = [](int v) {
        return static_cast<std::uint32_t>(v < 0 ? -static_cast<std::int64_t>(v) : v) % 4096;
    };
    std::uint32_t value = magnitude(x) | ((magnitude(y) << 12) & kMacroValueMask);
    value = x < 0 ? value | (1u << 11) : value & ~(1u << 11);
    value = y < 0 ? value | (1u << 23) : value & ~(1u << 23);
    return value;
}

CursorPoint UnpackCursorPosition(std::uint32_t value) {
    const int x = static_cast<int>(value & 0x7FF);
    const int y = static_cast<int>((value >> 12) & 0x7FF);
    return {(value & (1u << 11)) ? -x : x, (value & (1u << 23)) ? -y : y};
}

namespace {
struct KindType {
    std::uint8_t kind;
    std::uint8_t itemType;
};
constexpr KindType kKindTypes[] = {{0xC0, 3}, {0xE0, 2}, {0xA0, 4}, {0x40, 5}};
}  // namespace

std::optional<std::uint32_t> MacroEventToListItem(MacroEvent event) {
    for (const auto& pair : kKindTypes)
        if (EventKindByte(event) == pair.kind)
            return (std::uint32_t{pair.itemType} << 24) | EventValue(event);
    return std::nullopt;
}

std::optional<MacroEvent> ListItemToMacroEvent(std::uint32_t itemData) {
    for (const auto& pair : kKindTypes)
        if ((itemData >> 24) == pair.itemType)
            return (std::uint32_t{pair.kind} << 24) | (itemData & kMacroValueMask);
    return std::nullopt;
}

}  // namespace qx
