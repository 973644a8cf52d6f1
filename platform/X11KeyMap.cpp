#include "platform/X11KeyMap.h"

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
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

// The keys that are not characters, sorted by keysym: every layout gives them
// the same code, wherever the key sits.
constexpr KeysymEntry kKeysyms[] = {
    {XK_space, 0x20, false},
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

// Punctuation keysyms outside the main block (rare: a remapped key), by
// their US keys.
constexpr KeysymEntry kPunctuation[] = {
    {XK_apostrophe, 0xDE, false}, {XK_comma, 0xBC, false},        {XK_minus, 0xBD, false},
    {XK_period, 0xBE, false},     {XK_slash, 0xBF, false},        {XK_semicolon, 0xBA, false},
    {XK_less, 0xE2, false},       {XK_equal, 0xBB, false},        {XK_bracketleft, 0xDB, false},
    {XK_backslash, 0xDC, false},  {XK_bracketright, 0xDD, false}, {XK_grave, 0xC0, false},
};

}  // namespace

VirtualKey VirtualKeyFor(std::uint32_t keysym, std::uint32_t keycode, WindowsLayout layout) {
    // Letters keep their keysym, so QWERTZ and AZERTY letters are right
    // wherever the layout puts them.
    if (keysym >= XK_a && keysym <= XK_z) return {static_cast<std::uint8_t>(keysym - XK_a + 'A')};
    if (keysym >= XK_A && keysym <= XK_Z) return {static_cast<std::uint8_t>(keysym)};
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return {static_cast<std::uint8_t>(0x70 + (keysym - XK_F1))};
    const auto it =
        std::lower_bound(std::begin(kKeysyms), std::end(kKeysyms), keysym,
                         [](const KeysymEntry& e, std::uint32_t k) { return e.keysym < k; });
    if (it != std::end(kKeysyms) && it->keysym == keysym) return {it->vk, it->extended};
    // The digit row and the punctuation keys go by position, as the Windows
    // layout of the language has them; so do letters of other scripts.
    if (keycode >= 8)
        if (const std::uint8_t vk = PositionalVirtualKey(layout, keycode - 8)) return {vk};
    if (keysym >= XK_0 && keysym <= XK_9) return {static_cast<std::uint8_t>(keysym)};
    for (const KeysymEntry& e : kPunctuation)
        if (e.keysym == keysym) return {e.vk, e.extended};
    return {};
}

X11KeyboardMap ReadX11KeyboardMap(_XDisplay* display) {
    X11KeyboardMap map;
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) == Success) map.group = state.group;
    // The key types too: a group's width comes from its type.
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (xkb == nullptr) return map;
    if (XkbGetNames(display, XkbSymbolsNameMask, xkb) == Success && xkb->names &&
        xkb->names->symbols != None) {
        if (char* symbols = XGetAtomName(display, xkb->names->symbols)) {
            map.layout = WindowsLayoutForXkb(XkbLayoutOfGroup(symbols, map.group));
            XFree(symbols);
        }
    }
    for (int keycode = xkb->min_key_code; keycode <= xkb->max_key_code && keycode < 256;
         ++keycode) {
        const int groups = XkbKeyNumGroups(xkb, keycode);
        KeySym keysym = NoSymbol;
        if (groups > 0) {
            const int group = map.group % groups;  // a group beyond the key's own wraps
            if (XkbKeyGroupWidth(xkb, keycode, group) > 0)
                keysym = XkbKeySymEntry(xkb, keycode, 0, group);
        }
        map.keysyms[keycode] = static_cast<std::uint32_t>(keysym);
        map.keys[keycode] = VirtualKeyFor(static_cast<std::uint32_t>(keysym),
                                          static_cast<std::uint32_t>(keycode), map.layout);
    }
    XkbFreeKeyboard(xkb, 0, True);
    return map;
}

int X11KeyboardMap::KeycodeOf(std::uint8_t vk) const {
    if (vk == 0) return 0;
    for (int keycode = 8; keycode < 256; ++keycode)
        if (keys[keycode].vk == vk) return keycode;
    return 0;
}

}  // namespace qx
