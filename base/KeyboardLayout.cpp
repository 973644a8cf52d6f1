#include "base/KeyboardLayout.h"

#include "base/KeyTables.h"

namespace qx {

char32_t UsKeyboardLayout::KeyCharacter(std::uint32_t vk) const {
    if (vk >= 0x30 && vk <= 0x39) return vk;                // digits
    if (vk >= 0x41 && vk <= 0x5A) return vk - 0x41 + U'a';  // letters type lower case
    if (vk >= 0x60 && vk <= 0x69) return vk - 0x60 + U'0';  // keypad digits, NumLock on
    switch (vk) {
        case 0x20:
            return U' ';
        case 0x6A:
            return U'*';
        case 0x6B:
            return U'+';
        case 0x6D:
            return U'-';
        case 0x6E:
            return U'.';
        case 0x6F:
            return U'/';
        case 0xBA:
            return U';';
        case 0xBB:
            return U'=';
        case 0xBC:
            return U',';
        case 0xBD:
            return U'-';
        case 0xBE:
            return U'.';
        case 0xBF:
            return U'/';
        case 0xC0:
            return U'`';
        case 0xDB:
            return U'[';
        case 0xDC:
            return U'\\';
        case 0xDD:
            return U']';
        case 0xDE:
            return U'\'';
        case 0xE2:
            return U'\\';
        default:
            return 0;
    }
}

std::uint8_t UsPositionOfVirtualKey(std::uint32_t virtualKey) {
    // The Russian table is the default (US) table plus the key beside left
    // Shift, which is exactly the US 105-key positions.
    return VirtualKeyToDeviceKey(virtualKey, kLanguageRussian);
}

}  // namespace qx
