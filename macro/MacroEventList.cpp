#include "macro/MacroEventList.h"

#include <limits>

#include "base/KeyTables.h"
#include "base/Text.h"

namespace qx::macro {

std::u16string DecimalText(long long value) {
    return FromUtf8(std::to_string(value));
}

PageListItem KeyItem(bool release, std::uint32_t virtualKey, const KeyboardLayout& layout) {
    return {KeyName(virtualKey, layout), ItemData(release ? kItemRelease : kItemPress, virtualKey)};
}

PageListItem DelayItem(std::uint32_t milliseconds) {
    return {DecimalText(milliseconds) + u"  ms", ItemData(kItemDelay, milliseconds)};
}

PageListItem PositionItem(int x, int y) {
    return {u"(" + DecimalText(x) + u", " + DecimalText(y) + u")",
            ItemData(kItemPosition, PackCursorPosition(x, y))};
}

std::optional<PageListItem> ItemOfEvent(MacroEvent event, const KeyboardLayout& layout) {
    const std::uint32_t value = EventValue(event);
    switch (EventKindByte(event)) {
        case static_cast<std::uint8_t>(MacroEventKind::KeyPress):
            return KeyItem(false, value, layout);
        case static_cast<std::uint8_t>(MacroEventKind::KeyRelease):
            return KeyItem(true, value, layout);
        case static_cast<std::uint8_t>(MacroEventKind::Delay):
            return DelayItem(value);
        case static_cast<std::uint8_t>(MacroEventKind::CursorPosition): {
            const CursorPoint p = UnpackCursorPosition(value);
            return PositionItem(p.x, p.y);
        }
        default:
            return std::nullopt;
    }
}

std::optional<std::uint32_t> ParseWholeNumber(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
        if (value > kMax) value = kMax + 1;  // keeps saturated without overflowing
    }
    return static_cast<std::uint32_t>(value > kMax ? kMax : value);
}

std::optional<int> ParseSignedNumber(std::u16string_view text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::uint32_t LoopCountOf(std::u16string_view text) {
    const auto number = ParseWholeNumber(text.substr(0, 100));
    if (!number || *number == 0) return 1;
    return *number > kMaxLoopCount ? kMaxLoopCount : *number;
}

}  // namespace qx::macro
