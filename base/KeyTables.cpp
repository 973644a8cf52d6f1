#include "base/KeyTables.h"

#include <array>
#include <string_view>

namespace qx {
namespace {

constexpr std::array<KeyRow, kDefaultKeyRows> kDefaultTable = {{
    {0x29, 0x1B}, {0x3A, 0x70}, {0x3B, 0x71}, {0x3C, 0x72}, {0x3D, 0x73}, {0x3E, 0x74},
    {0x3F, 0x75}, {0x40, 0x76}, {0x41, 0x77}, {0x42, 0x78}, {0x43, 0x79}, {0x44, 0x7A},
    {0x45, 0x7B}, {0x35, 0xC0}, {0x1E, 0x31}, {0x1F, 0x32}, {0x20, 0x33}, {0x21, 0x34},
    {0x22, 0x35}, {0x23, 0x36}, {0x24, 0x37}, {0x25, 0x38}, {0x26, 0x39}, {0x27, 0x30},
    {0x2D, 0xBD}, {0x2E, 0xBB}, {0x2A, 0x08}, {0x2B, 0x09}, {0x14, 0x51}, {0x1A, 0x57},
    {0x08, 0x45}, {0x15, 0x52}, {0x17, 0x54}, {0x1C, 0x59}, {0x18, 0x55}, {0x0C, 0x49},
    {0x12, 0x4F}, {0x13, 0x50}, {0x2F, 0xDB}, {0x30, 0xDD}, {0x31, 0xDC}, {0x39, 0x14},
    {0x04, 0x41}, {0x16, 0x53}, {0x07, 0x44}, {0x09, 0x46}, {0x0A, 0x47}, {0x0B, 0x48},
    {0x0D, 0x4A}, {0x0E, 0x4B}, {0x0F, 0x4C}, {0x33, 0xBA}, {0x34, 0xDE}, {0x28, 0x0D},
    {0xE1, 0xA0}, {0x1D, 0x5A}, {0x1B, 0x58}, {0x06, 0x43}, {0x19, 0x56}, {0x05, 0x42},
    {0x11, 0x4E}, {0x10, 0x4D}, {0x36, 0xBC}, {0x37, 0xBE}, {0x38, 0xBF}, {0xE5, 0xA1},
    {0xE0, 0xA2}, {0xE3, 0x5B}, {0xE2, 0xA4}, {0x2C, 0x20}, {0xE6, 0xA5}, {0xE7, 0x5C},
    {0x65, 0x5D}, {0xE4, 0xA3}, {0x46, 0x2C}, {0x47, 0x91}, {0x48, 0x13}, {0x49, 0x2D},
    {0x4A, 0x24}, {0x4B, 0x21}, {0x4C, 0x2E}, {0x4D, 0x23}, {0x4E, 0x22}, {0x52, 0x26},
    {0x50, 0x25}, {0x51, 0x28}, {0x4F, 0x27}, {0x53, 0x90}, {0x54, 0x6F}, {0x55, 0x6A},
    {0x56, 0x6D}, {0x5F, 0x67}, {0x60, 0x68}, {0x61, 0x69}, {0x57, 0x6B}, {0x5C, 0x64},
    {0x5D, 0x65}, {0x5E, 0x66}, {0x59, 0x61}, {0x5A, 0x62}, {0x5B, 0x63}, {0x58, 0x0D},
    {0x62, 0x60}, {0x63, 0x6E}, {0xF0, 0x01}, {0xF1, 0x02}, {0xF2, 0x04},
}};

// A language table: the default rows with some virtual keys changed, and the
// key beside left Shift (VK_OEM_102) right after Enter.
template <std::size_t N>
constexpr std::array<KeyRow, kLanguageKeyRows> LanguageTable(const KeyRow (&changes)[N]) {
    std::array<KeyRow, kLanguageKeyRows> out{};
    std::size_t n = 0;
    for (const auto& row : kDefaultTable) {
        KeyRow changed = row;
        for (const auto& change : changes)
            if (change.deviceKey == row.deviceKey) changed.virtualKey = change.virtualKey;
        out[n++] = changed;
        if (row.deviceKey == 0x28) out[n++] = {0x64, 0xE2};
    }
    return out;
}

constexpr KeyRow kFrenchChanges[] = {
    {0x04, 0x51}, {0x10, 0xBC}, {0x14, 0x41}, {0x1A, 0x5A}, {0x1D, 0x57},
    {0x2D, 0xDB}, {0x2F, 0xDD}, {0x30, 0xBA}, {0x33, 0x4D}, {0x34, 0xC0},
    {0x35, 0xDE}, {0x36, 0xBE}, {0x37, 0xBF}, {0x38, 0xDF},
};
constexpr KeyRow kGermanChanges[] = {
    {0x1C, 0x5A}, {0x1D, 0x59}, {0x2D, 0xDB}, {0x2E, 0xDD}, {0x2F, 0xBA},
    {0x30, 0xBB}, {0x31, 0xBF}, {0x33, 0xC0}, {0x35, 0xDC}, {0x38, 0xBD},
};
constexpr KeyRow kItalianChanges[] = {
    {0x2D, 0xDB}, {0x2E, 0xDD}, {0x2F, 0xBA}, {0x30, 0xBB},
    {0x31, 0xBF}, {0x33, 0xC0}, {0x35, 0xDC}, {0x38, 0xBD},
};
constexpr KeyRow kNoChanges[] = {{0x00, 0x00}};  // device key 0 is in no row

constexpr auto kFrenchTable = LanguageTable(kFrenchChanges);
constexpr auto kGermanTable = LanguageTable(kGermanChanges);
constexpr auto kItalianTable = LanguageTable(kItalianChanges);  // also Spanish
constexpr auto kRussianTable = LanguageTable(kNoChanges);

struct FixedName {
    std::uint32_t virtualKey;
    std::u16string_view name;
};

// Names shared by both tables.
constexpr FixedName kCommonNames[] = {
    {0x08, u"Backspace"}, {0x09, u"Tab"},         {0x0D, u"Enter"},       {0x10, u"Shift"},
    {0x11, u"Ctrl"},      {0x12, u"Alt"},         {0x13, u"Pause"},       {0x14, u"CapsLock"},
    {0x1B, u"Esc"},       {0x20, u"Space"},       {0x21, u"PageUp"},      {0x22, u"PageDown"},
    {0x23, u"End"},       {0x24, u"Home"},        {0x25, u"Left"},        {0x26, u"Up"},
    {0x27, u"Right"},     {0x28, u"Down"},        {0x2C, u"PrtSc SysRq"}, {0x2D, u"Insert"},
    {0x2E, u"Delete"},    {0x5B, u"LWin"},        {0x5C, u"RWin"},        {0x5D, u"App"},
    {0x90, u"Numlock"},   {0x91, u"Scroll Lock"}, {0xA0, u"LShift"},      {0xA1, u"RShift"},
    {0xA2, u"LCtrl"},     {0xA3, u"RCtrl"},       {0xA4, u"LAlt"},        {0xA5, u"RAlt"},
};

constexpr FixedName kComboKeypadNames[] = {
    {0x6A, u"(*)"}, {0x6B, u"(+)"}, {0x6D, u"(-)"}, {0x6E, u"(.)"}, {0x6F, u"(/)"},
};
constexpr FixedName kEventKeypadNames[] = {
    {0x01, u"Left Button"}, {0x02, u"Right Button"}, {0x04, u"Middle Button"}, {0x6A, u"NUM *"},
    {0x6B, u"NUM +"},       {0x6D, u"NUM -"},        {0x6E, u"NUM ."},         {0x6F, u"NUM /"},
};

const std::u16string_view* Find(std::span<const FixedName> names, std::uint32_t vk) {
    for (const auto& entry : names)
        if (entry.virtualKey == vk) return &entry.name;
    return nullptr;
}

// Names that are the key's own character or a number.
bool NumberedName(std::uint32_t vk, std::u16string_view keypadPrefix,
                  std::u16string_view keypadSuffix, std::u16string& out) {
    if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A)) {
        out.assign(1, static_cast<char16_t>(vk));
        return true;
    }
    if (vk >= 0x60 && vk <= 0x69) {
        out.assign(keypadPrefix);
        out += static_cast<char16_t>(u'0' + (vk - 0x60));
        out += keypadSuffix;
        return true;
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        out = u"F";
        const auto number = vk - 0x70 + 1;
        if (number >= 10) out += static_cast<char16_t>(u'0' + number / 10);
        out += static_cast<char16_t>(u'0' + number % 10);
        return true;
    }
    return false;
}

// The layout's character, letters upper-cased. The character is kept whole
// rather than cut to one byte: the layout reports Unicode, not a code page.
std::u16string LayoutName(std::uint32_t vk, const KeyboardLayout& layout) {
    char32_t c = layout.KeyCharacter(vk);
    if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return {};
    std::u16string out;
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
    return out;
}

}  // namespace

KeyLayoutTable KeyLayoutTableFor(int currentLanguage) {
    switch (currentLanguage) {
        case kLanguageFrench:
            return kFrenchTable;
        case kLanguageGerman:
            return kGermanTable;
        case kLanguageItalian:
        case kLanguageSpanish:
            return kItalianTable;
        case kLanguageRussian:
            return kRussianTable;
        default:
            return kDefaultTable;
    }
}

std::uint32_t DeviceKeyToVirtualKey(std::uint8_t deviceKey, int currentLanguage) {
    for (const auto& row : KeyLayoutTableFor(currentLanguage))
        if (row.deviceKey == deviceKey) return row.virtualKey;
    return 0;
}

std::uint8_t VirtualKeyToDeviceKey(std::uint32_t virtualKey, int currentLanguage) {
    for (const auto& row : KeyLayoutTableFor(currentLanguage))
        if (row.virtualKey == virtualKey) return row.deviceKey;
    return 0;
}

std::u16string ComboKeyName(std::uint32_t vk, const KeyboardLayout& layout) {
    if (vk == 0 || vk == 0xFF) return {};
    if (const auto* name = Find(kCommonNames, vk)) return std::u16string(*name);
    if (const auto* name = Find(kComboKeypadNames, vk)) return std::u16string(*name);
    std::u16string out;
    if (NumberedName(vk, u"(", u")", out)) return out;
    return LayoutName(vk, layout);
}

std::u16string KeyName(std::uint32_t vk, const KeyboardLayout& layout) {
    if (const auto* name = Find(kCommonNames, vk)) return std::u16string(*name);
    if (const auto* name = Find(kEventKeypadNames, vk)) return std::u16string(*name);
    std::u16string out;
    if (NumberedName(vk, u"NUM ", u"", out)) return out;
    return LayoutName(vk, layout);
}

std::u16string CombinationText(std::uint32_t code, int currentLanguage,
                               const KeyboardLayout& layout) {
    const auto mask = static_cast<std::uint8_t>(code >> 8);
    const auto key = static_cast<std::uint8_t>(code >> 16);
    const auto keyName = ComboKeyName(DeviceKeyToVirtualKey(key, currentLanguage), layout);
    if (mask == 0) return keyName;

    static constexpr struct {
        std::uint8_t bit;
        std::u16string_view name;
    } kModifiers[] = {
        {kModShift, u"Shift"}, {kModCtrl, u"Ctrl"}, {kModAlt, u"Alt"}, {kModWin, u"Win"}};
    std::u16string out;
    for (const auto& modifier : kModifiers) {
        if (!(mask & modifier.bit)) continue;
        if (!out.empty()) out += u" + ";
        out += modifier.name;
    }
    out += u" + ";
    out += keyName;
    return out;
}

std::uint32_t MakeCombinationCode(bool ctrl, bool alt, bool shift, bool win,
                                  std::uint32_t capturedVirtualKey, int currentLanguage) {
    const std::uint8_t key =
        capturedVirtualKey ? VirtualKeyToDeviceKey(capturedVirtualKey, currentLanguage) : 0;
    std::uint8_t mask = 0;
    int count = 0;
    std::uint8_t single = 0;
    const struct {
        bool on;
        std::uint8_t bit;
        std::uint8_t key;
    } boxes[] = {{ctrl, kModCtrl, 0xE0},
                 {alt, kModAlt, 0xE2},
                 {shift, kModShift, 0xE1},
                 {win, kModWin, 0xE3}};
    for (const auto& box : boxes) {
        if (!box.on) continue;
        mask |= box.bit;
        ++count;
        single = box.key;
    }
    if (mask == 0) return CombinationCode(0, key);
    if (key != 0) return CombinationCode(mask, key);
    if (count == 1) return CombinationCode(0, single);
    return 0;
}

}  // namespace qx
