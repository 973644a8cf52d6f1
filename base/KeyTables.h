// Translation between Windows virtual-key codes (what key events and macro
// files carry) and the mouse's device key codes (HID keyboard usages, plus
// 0xF0-0xF2 for the left, right and middle mouse button), and the names under
// which keys and key combinations are shown.
//
// The table in force follows the user-interface language and is chosen at
// every call, so a language change takes effect at once.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/KeyboardLayout.h"

namespace qx {

// Modifier mask bits of combination codes and of the keyboard hook.
inline constexpr std::uint8_t kModCtrl = 1;
inline constexpr std::uint8_t kModShift = 2;
inline constexpr std::uint8_t kModAlt = 4;
inline constexpr std::uint8_t kModWin = 8;

// Language numbers that have a key table of their own.
inline constexpr int kLanguageFrench = 3;
inline constexpr int kLanguageGerman = 5;
inline constexpr int kLanguageItalian = 6;
inline constexpr int kLanguageSpanish = 7;
inline constexpr int kLanguageRussian = 10;

struct KeyRow {
    std::uint8_t deviceKey;
    std::uint8_t virtualKey;
};
using KeyLayoutTable = std::span<const KeyRow>;

inline constexpr std::size_t kDefaultKeyRows = 107;
inline constexpr std::size_t kLanguageKeyRows = 108;

// The table for a language number; the default table for any number without
// one of its own.
KeyLayoutTable KeyLayoutTableFor(int currentLanguage);

// First row of the selected table with that device key; 0 when none.
std::uint32_t DeviceKeyToVirtualKey(std::uint8_t deviceKey, int currentLanguage);
// First row of the selected table with that virtual key; 0 when none.
std::uint8_t VirtualKeyToDeviceKey(std::uint32_t virtualKey, int currentLanguage);

// Key name of the key-combination tab and of combination texts.
std::u16string ComboKeyName(std::uint32_t virtualKey, const KeyboardLayout& layout);
// Key name of the macro event list (differs in the keypad and mouse buttons).
std::u16string KeyName(std::uint32_t virtualKey, const KeyboardLayout& layout);

// Code [0x00, mask, device key, 0x00] as the little-endian int32 it is stored as.
constexpr std::uint32_t CombinationCode(std::uint8_t mask, std::uint8_t deviceKey) {
    return (std::uint32_t{deviceKey} << 16) | (std::uint32_t{mask} << 8);
}

// "Shift + Ctrl + A", "Win + L", "LCtrl" (a lone modifier key).
std::u16string CombinationText(std::uint32_t code, int currentLanguage,
                               const KeyboardLayout& layout);

// The code the key-combination tab makes of its four boxes and the captured
// virtual key (0 = none); 0 means no usable choice.
std::uint32_t MakeCombinationCode(bool ctrl, bool alt, bool shift, bool win,
                                  std::uint32_t capturedVirtualKey, int currentLanguage);

// The same, bound to the process's language number (which changes with the
// user-interface language) and keyboard layout.
class KeyTables {
public:
    KeyTables(const int& currentLanguage, const KeyboardLayout& layout)
        : currentLanguage_(currentLanguage), layout_(layout) {}

    KeyLayoutTable Table() const { return KeyLayoutTableFor(currentLanguage_); }
    std::uint32_t DeviceKeyToVirtualKey(std::uint8_t deviceKey) const {
        return qx::DeviceKeyToVirtualKey(deviceKey, currentLanguage_);
    }
    std::uint8_t VirtualKeyToDeviceKey(std::uint32_t virtualKey) const {
        return qx::VirtualKeyToDeviceKey(virtualKey, currentLanguage_);
    }
    std::u16string ComboKeyName(std::uint32_t virtualKey) const {
        return qx::ComboKeyName(virtualKey, layout_);
    }
    std::u16string KeyName(std::uint32_t virtualKey) const {
        return qx::KeyName(virtualKey, layout_);
    }
    std::u16string CombinationText(std::uint32_t code) const {
        return qx::CombinationText(code, currentLanguage_, layout_);
    }
    std::uint32_t MakeCombinationCode(bool ctrl, bool alt, bool shift, bool win,
                                      std::uint32_t capturedVirtualKey) const {
        return qx::MakeCombinationCode(ctrl, alt, shift, win, capturedVirtualKey, currentLanguage_);
    }
    int CurrentLanguage() const { return currentLanguage_; }
    const KeyboardLayout& Layout() const { return layout_; }

private:
    const int& currentLanguage_;
    const KeyboardLayout& layout_;
};

}  // namespace qx
