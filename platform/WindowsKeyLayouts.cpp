#include "platform/WindowsKeyLayouts.h"

#include <array>
#include <charconv>

namespace qx {

namespace {

struct Position {
    std::uint8_t evdev;
    std::array<std::uint8_t, 5> vk;  // Us, German, French, Italian, Spanish
};

// The positions where the Windows layouts differ from each other.
// clang-format off
constexpr Position kDiffering[] = {
    {0x0C, {0xBD, 0xDB, 0xDB, 0xDB, 0xDB}},
    {0x0D, {0xBB, 0xDD, 0xBB, 0xDD, 0xDD}},
    {0x10, {0x51, 0x51, 0x41, 0x51, 0x51}},
    {0x11, {0x57, 0x57, 0x5A, 0x57, 0x57}},
    {0x15, {0x59, 0x5A, 0x59, 0x59, 0x59}},
    {0x1A, {0xDB, 0xBA, 0xDD, 0xBA, 0xBA}},
    {0x1B, {0xDD, 0xBB, 0xBA, 0xBB, 0xBB}},
    {0x1E, {0x41, 0x41, 0x51, 0x41, 0x41}},
    {0x27, {0xBA, 0xC0, 0x4D, 0xC0, 0xC0}},
    {0x28, {0xDE, 0xDE, 0xC0, 0xDE, 0xDE}},
    {0x29, {0xC0, 0xDC, 0xDE, 0xBF, 0xDC}},
    {0x2B, {0xDC, 0xBF, 0xDC, 0xDC, 0xBF}},
    {0x2C, {0x5A, 0x59, 0x57, 0x5A, 0x5A}},
    {0x32, {0x4D, 0x4D, 0xBC, 0x4D, 0x4D}},
    {0x33, {0xBC, 0xBC, 0xBE, 0xBC, 0xBC}},
    {0x34, {0xBE, 0xBE, 0xBF, 0xBE, 0xBE}},
    {0x35, {0xBF, 0xBD, 0xDF, 0xBD, 0xBD}},
    {0x56, {0xE2, 0xE2, 0xE2, 0xE2, 0xE2}},
};
// clang-format on

// The letters of the US positions that no layout moves.
constexpr char kLetterRow1[] = "QWERTYUIOP";  // evdev 0x10-0x19
constexpr char kLetterRow2[] = "ASDFGHJKL";   // 0x1E-0x26
constexpr char kLetterRow3[] = "ZXCVBNM";     // 0x2C-0x32

std::string_view Base(std::string_view name) {
    name = name.substr(0, name.find('('));
    if (const auto slash = name.rfind('/'); slash != std::string_view::npos)
        name = name.substr(slash + 1);
    return name;
}

}  // namespace

WindowsLayout WindowsLayoutForXkb(std::string_view layout) {
    const std::string_view base = Base(layout);
    if (base == "de") return WindowsLayout::German;
    if (base == "fr") return WindowsLayout::French;
    if (base == "it") return WindowsLayout::Italian;
    if (base == "es") return WindowsLayout::Spanish;
    return WindowsLayout::Us;
}

std::string_view XkbLayoutOfGroup(std::string_view symbols, int group) {
    bool firstTaken = false;
    while (!symbols.empty()) {
        const auto plus = symbols.find('+');
        std::string_view entry = symbols.substr(0, plus);
        symbols = plus == std::string_view::npos ? std::string_view{} : symbols.substr(plus + 1);
        int entryGroup = 1;
        bool numbered = false;
        if (const auto colon = entry.rfind(':'); colon != std::string_view::npos) {
            std::from_chars(entry.data() + colon + 1, entry.data() + entry.size(), entryGroup);
            entry = entry.substr(0, colon);
            numbered = true;
        }
        // The first layout carries no number and follows the "pc" base; the
        // options after the layouts carry none either.
        if (!numbered) {
            if (firstTaken || Base(entry) == "pc" || entry.empty()) continue;
            firstTaken = true;
        }
        if (entryGroup - 1 == group) return entry;
    }
    return {};
}

std::uint8_t PositionalVirtualKey(WindowsLayout layout, std::uint32_t evdev) {
    for (const Position& p : kDiffering)
        if (p.evdev == evdev) return p.vk[static_cast<int>(layout)];
    if (evdev >= 0x02 && evdev <= 0x0A) return static_cast<std::uint8_t>('1' + (evdev - 0x02));
    if (evdev == 0x0B) return '0';
    if (evdev >= 0x10 && evdev <= 0x19) return kLetterRow1[evdev - 0x10];
    if (evdev >= 0x1E && evdev <= 0x26) return kLetterRow2[evdev - 0x1E];
    if (evdev >= 0x2C && evdev <= 0x32) return kLetterRow3[evdev - 0x2C];
    return 0;
}

}  // namespace qx
