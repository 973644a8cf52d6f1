// The items of the macro page's event list and the number rules of its edit
// fields: how an event is shown, and how the page reads loop counts, delays
// and positions typed by the user. Qt-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/KeyboardLayout.h"
#include "macro/MacroEntry.h"
#include "macro/PageList.h"

namespace qx::macro {

// Item types of the event list: the top byte of an item's data.
inline constexpr int kItemRelease = 2;
inline constexpr int kItemPress = 3;
inline constexpr int kItemDelay = 4;
inline constexpr int kItemPosition = 5;

// loopMode values besides a repeat count 1-65533.
inline constexpr std::uint32_t kLoopWhileHeld = 0xFFFE;
inline constexpr std::uint32_t kLoopToggle = 0xFFFF;
inline constexpr std::uint32_t kMaxLoopCount = 65533;

// Two neighbouring delays, or a typed delay and its neighbour, merge up to this.
inline constexpr std::uint32_t kMaxMergedDelay = 327670;
// A single delay item holds 24 bits.
inline constexpr std::uint32_t kMaxDelay = 0xFFFFFF;
// A recording holds at most this many key items.
inline constexpr int kMaxRecordedKeys = 999;
// A list never holds more items than a MacroEntry has event words.
inline constexpr int kMaxEventItems = static_cast<int>(kMacroEventCapacity);

// The arrows of the position editor stay within these.
inline constexpr int kMaxCoordinate = 32767;
inline constexpr int kMinCoordinate = -32767;

constexpr std::uint32_t ItemData(int type, std::uint32_t value) {
    return (static_cast<std::uint32_t>(type) << 24) | (value & kMacroValueMask);
}

PageListItem KeyItem(bool release, std::uint32_t virtualKey, const KeyboardLayout& layout);
PageListItem DelayItem(std::uint32_t milliseconds);
// The text shows x and y as given; the value keeps what the position word can.
PageListItem PositionItem(int x, int y);
// How a stored event is listed; nothing for an event of an invalid kind.
std::optional<PageListItem> ItemOfEvent(MacroEvent event, const KeyboardLayout& layout);

// A whole decimal number: digits only, at least one. Values beyond 32 bits
// saturate, so a long row of digits reads as "very large", never as a wrapped
// small number.
std::optional<std::uint32_t> ParseWholeNumber(std::u16string_view text);
// A signed integer as the position edits hold it: an optional sign and digits,
// blanks around them allowed, within the range of int.
std::optional<int> ParseSignedNumber(std::u16string_view text);
// The repeat count the loop-count text stands for: 1 for no number or 0,
// 65533 for anything larger. Only the first 100 characters are read.
std::uint32_t LoopCountOf(std::u16string_view text);

std::u16string DecimalText(long long value);

}  // namespace qx::macro
