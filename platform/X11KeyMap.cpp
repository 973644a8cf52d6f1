#include "platform/X11KeyMap.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace qx {

namespace {

struct KeysymEntry {
    std::uint32_t keysym;
    std::uint8_t vk;
    bool extended;
};

// Sorted by keysym. Letters and digits are handled before the table.
constexpr KeysymEntry kKeysyms[] = {
    {XK_space, 0x20, false},
    {XK_apostrophe, 0xDE, false},       // VK_OEM_7
    {XK_comma, 0xBC, false},            // VK_OEM_COMMA
    {XK_minus, 0xBD, false},            // VK_OEM_MINUS
    {XK_period, 0xBE, false},           // VK_OEM_PERIOD
    {XK_slash, 0xBF, false},            // VK_OEM_2
    {XK_semicolon, 0xBA, false},        // VK_OEM_1
    {XK_less, 0xE2, false},             // VK_OEM_102
    {XK_equal, 0xBB, false},            // VK_OEM_PLUS
    {XK_bracketleft, 0xDB, false},      // VK_OEM_4
    {XK_backslash, 0xDC, false},        // VK_OEM_5
    {XK_bracketright, 0xDD, false},     // VK_OEM_6
    {XK_grave, 0xC0, false},            // VK_OEM_3
    {XK_ISO_Level3_Shift, 0xA5, true},  // AltGr: right Alt
    {XK_ISO_Left_Tab, 0x09, false},
    {XK_BackSpace, 0x08, false},
    {XK_Tab, 0x09, false},
    {XK_Return, 0x0D, false},
    {XK_Pause, 0x13, false},
    {XK_Scroll_Lock, 0x91, false},
    {XK_Escape, 0x1B, false},
    {XK_Home, 0x24, true},
    {XK_Left, 0x25, true},
    {XK_Up, 0x26, true},
    {XK_Right, 0x27, true},
    {XK_Down, 0x28, true},
    {XK_Prior, 0x21, true},
    {XK_Next, 0x22, true},
    {XK_End, 0x23, true},
    {XK_Print, 0x2C, true},
    {XK_Insert, 0x2D, true},
    {XK_Menu, 0x5D, true},  // VK_APPS
    {XK_Num_Lock, 0x90, true},
    {XK_KP_Enter, 0x0D, true},
    // Keypad keys report the number pad codes (as with Num Lock on).
    {XK_KP_Home, 0x67, false},
    {XK_KP_Left, 0x64, false},
    {XK_KP_Up, 0x68, false},
    {XK_KP_Right, 0x66, false},
    {XK_KP_Down, 0x62, false},
    {XK_KP_Prior, 0x69, false},
    {XK_KP_Next, 0x63, false},
    {XK_KP_End, 0x61, false},
    {XK_KP_Begin, 0x65, false},
    {XK_KP_Insert, 0x60, false},
    {XK_KP_Delete, 0x6E, false},
    {XK_KP_Multiply, 0x6A, false},
    {XK_KP_Add, 0x6B, false},
    {XK_KP_Separator, 0x6C, false},
    {XK_KP_Subtract, 0x6D, false},
    {XK_KP_Decimal, 0x6E, false},
    {XK_KP_Divide, 0x6F, true},
    {XK_KP_0, 0x60, false},
    {XK_KP_1, 0x61, false},
    {XK_KP_2, 0x62, false},
    {XK_KP_3, 0x63, false},
    {XK_KP_4, 0x64, false},
    {XK_KP_5, 0x65, false},
    {XK_KP_6, 0x66, false},
    {XK_KP_7, 0x67, false},
    {XK_KP_8, 0x68, false},
    {XK_KP_9, 0x69, false},
    {XK_Shift_L, 0xA0, false},
    {XK_Shift_R, 0xA1, false},
    {XK_Control_L, 0xA2, false},
    {XK_Control_R, 0xA3, true},
    {XK_Caps_Lock, 0x14, false},
    {XK_Meta_L, 0xA4, false},
    {XK_Meta_R, 0xA5, true},
    {XK_Alt_L, 0xA4, false},
    {XK_Alt_R, 0xA5, true},
    {XK_Super_L, 0x5B, true},
    {XK_Super_R, 0x5C, true},
    {XK_Delete, 0x2E, true},
    {XF86XK_AudioLowerVolume, 0xAE, true},
    {XF86XK_AudioMute, 0xAD, true},
    {XF86XK_AudioRaiseVolume, 0xAF, true},
    {XF86XK_AudioPlay, 0xB3, true},
    {XF86XK_AudioStop, 0xB2, true},
    {XF86XK_AudioPrev, 0xB1, true},
    {XF86XK_AudioNext, 0xB0, true},
    {XF86XK_HomePage, 0xAC, true},
    {XF86XK_Mail, 0xB4, true},
    {XF86XK_Search, 0xAA, true},
    {XF86XK_Calculator, 0xB7, true},  // VK_LAUNCH_APP2
    {XF86XK_Back, 0xA6, true},
    {XF86XK_Forward, 0xA7, true},
    {XF86XK_Stop, 0xA9, true},
    {XF86XK_Refresh, 0xA8, true},
    {XF86XK_Favorites, 0xAB, true},
    {XF86XK_AudioMedia, 0xB5, true},  // VK_LAUNCH_MEDIA_SELECT
    {XF86XK_MyComputer, 0xB6, true},  // VK_LAUNCH_APP1
};

constexpr bool SortedByKeysym() {
    for (std::size_t i = 1; i < std::size(kKeysyms); ++i)
        if (kKeysyms[i - 1].keysym >= kKeysyms[i].keysym) return false;
    return true;
}
static_assert(SortedByKeysym());

// US positions of the main block by evdev code, for layouts whose keysyms
// have no code (Cyrillic, Greek, ...).
constexpr std::uint8_t PositionalVk(std::uint32_t evdev) {
    constexpr char kRow1[] = "1234567890";  // evdev 2-11
    constexpr char kRow2[] = "QWERTYUIOP";  // 16-25
    constexpr char kRow3[] = "ASDFGHJKL";   // 30-38
    constexpr char kRow4[] = "ZXCVBNM";     // 44-50
    if (evdev >= 2 && evdev <= 11) return kRow1[evdev - 2];
    if (evdev >= 16 && evdev <= 25) return kRow2[evdev - 16];
    if (evdev >= 30 && evdev <= 38) return kRow3[evdev - 30];
    if (evdev >= 44 && evdev <= 50) return kRow4[evdev - 44];
    switch (evdev) {
        case 12:
            return 0xBD;  // minus
        case 13:
            return 0xBB;  // equal
        case 26:
            return 0xDB;  // left brace
        case 27:
            return 0xDD;  // right brace
        case 39:
            return 0xBA;  // semicolon
        case 40:
            return 0xDE;  // apostrophe
        case 41:
            return 0xC0;  // grave
        case 43:
            return 0xDC;  // backslash
        case 51:
            return 0xBC;  // comma
        case 52:
            return 0xBE;  // dot
        case 53:
            return 0xBF;  // slash
        case 86:
            return 0xE2;  // 102nd key
        default:
            return 0;
    }
}

}  // namespace

VirtualKey VirtualKeyFor(std::uint32_t keysym, std::uint32_t keycode) {
    if (keysym >= XK_a && keysym <= XK_z) return {static_cast<std::uint8_t>(keysym - XK_a + 'A')};
    if (keysym >= XK_A && keysym <= XK_Z) return {static_cast<std::uint8_t>(keysym)};
    if (keysym >= XK_0 && keysym <= XK_9) return {static_cast<std::uint8_t>(keysym)};
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return {static_cast<std::uint8_t>(0x70 + (keysym - XK_F1))};
    const auto it =
        std::lower_bound(std::begin(kKeysyms), std::end(kKeysyms), keysym,
                         [](const KeysymEntry& e, std::uint32_t k) { return e.keysym < k; });
    if (it != std::end(kKeysyms) && it->keysym == keysym) return {it->vk, it->extended};
    if (keycode >= 8) return {PositionalVk(keycode - 8)};
    return {};
}

}  // namespace qx
