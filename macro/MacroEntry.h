// The macro record: its event words, the 4104-byte entry that is at once the
// in-memory slot, a record of Macro.cfg and an exported macro file.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qx {

static_assert(std::endian::native == std::endian::little,
              "macro records are stored in the machine's byte order, which must be little-endian");

using MacroEvent = std::uint32_t;

enum class MacroEventKind : std::uint8_t {
    KeyPress = 0xC0,
    KeyRelease = 0xE0,
    Delay = 0xA0,
    CursorPosition = 0x40,
};

inline constexpr std::uint32_t kMacroValueMask = 0xFFFFFF;

constexpr std::uint8_t EventKindByte(MacroEvent event) {
    return static_cast<std::uint8_t>(event >> 24);
}
constexpr std::uint32_t EventValue(MacroEvent event) {
    return event & kMacroValueMask;
}
constexpr bool IsValidEvent(MacroEvent event) {
    const auto kind = EventKindByte(event);
    return kind == 0xC0 || kind == 0xE0 || kind == 0xA0 || kind == 0x40;
}
constexpr MacroEvent MakeEvent(MacroEventKind kind, std::uint32_t value) {
    return (std::uint32_t{static_cast<std::uint8_t>(kind)} << 24) | (value & kMacroValueMask);
}

// Position value: an 11-bit magnitude and a sign bit per coordinate. Each
// magnitude is taken modulo 4096 and the sign bits are then forced, so
// magnitudes of 2048 and more keep only their low 11 bits.
std::uint32_t PackCursorPosition(int x, int y);
struct CursorPoint {
    int x;
    int y;
    bool operator==(const CursorPoint&) const = default;
};
CursorPoint UnpackCursorPosition(std::uint32_t value);

// The event list's item data: (item type << 24) | value, with item types
// 3 press, 2 release, 4 delay, 5 position.
std::optional<std::uint32_t> MacroEventToListItem(MacroEvent event);
std::optional<MacroEvent> ListItemToMacroEvent(std::uint32_t itemData);

inline constexpr std::uint32_t kMacroTag = 0xE8E80010;
inline constexpr std::uint32_t kMacroTagMask = 0xFFFF0000;
inline constexpr std::uint32_t kMacroRecordSize = 4104;
inline constexpr std::size_t kMacroEventCapacity = 1000;
inline constexpr std::size_t kMacroNameUnits = 40;
inline constexpr std::uint32_t kMacroCategoryOwn = 22;

struct MacroEntry {
    std::uint32_t byteSize;  // 4100 + 4 x events when built; 0 in an empty slot
    std::uint32_t tag;       // kMacroTag
    std::uint32_t id;        // category << 24 | tick count & 0xFFFFFF
    std::uint32_t reserved;
    std::uint32_t loopMode;  // 1-65533 repeats, 0xFFFE / 0xFFFF the other loop modes
    std::uint32_t eventCount;
    MacroEvent events[kMacroEventCapacity];
    char16_t name[kMacroNameUnits];

    // eventCount as far as any reader may go: a damaged or imported record
    // may claim more events than the record holds.
    std::size_t UsableEventCount() const {
        return eventCount < kMacroEventCapacity ? eventCount : kMacroEventCapacity;
    }
};

static_assert(sizeof(MacroEntry) == kMacroRecordSize);
static_assert(offsetof(MacroEntry, tag) == 4);
static_assert(offsetof(MacroEntry, id) == 8);
static_assert(offsetof(MacroEntry, reserved) == 12);
static_assert(offsetof(MacroEntry, loopMode) == 16);
static_assert(offsetof(MacroEntry, eventCount) == 20);
static_assert(offsetof(MacroEntry, events) == 24);
static_assert(offsetof(MacroEntry, name) == 4024);

constexpr std::uint32_t MacroCategory(std::uint32_t id) {
    return id >> 24;
}
constexpr std::uint32_t MakeMacroId(std::uint32_t category, std::uint32_t tickCount) {
    return (category << 24) | (tickCount & 0xFFFFFF);
}

// The test the macro lists use: the slot holds a macro.
constexpr bool HoldsMacro(const MacroEntry& entry) {
    return entry.byteSize >= kMacroRecordSize ||
           (entry.tag & kMacroTagMask) == (kMacroTag & kMacroTagMask);
}

}  // namespace qx
