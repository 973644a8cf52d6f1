// Which Windows virtual-key code a key reports, by the key's position, under
// the Windows layout of the keyboard's language: recorded macros and captured
// combinations then hold the codes a Windows machine with the same layout
// would, which is what the key tables expect. Positions are evdev key codes
// (the PC set-1 scan codes; the X key code is 8 more).
#pragma once

#include <cstdint>
#include <string_view>

namespace qx {

enum class WindowsLayout { Us, German, French, Italian, Spanish };

// The Windows layout for an XKB layout name ("de", "de(nodeadkeys)",
// "fr(azerty)"); US for every layout not listed (Russian gives the US codes).
WindowsLayout WindowsLayoutForXkb(std::string_view layout);
// The XKB layout of a group (0-3) in a keymap's symbols name, as setxkbmap
// composes it: "pc+de+us:2+inet(evdev)" gives "de" for group 0, "us" for 1;
// empty when the group has none.
std::string_view XkbLayoutOfGroup(std::string_view symbols, int group);

// The code of the main-block key at this position: the digit row, the letter
// positions and the punctuation positions. 0 elsewhere (Escape, F-keys,
// navigation, keypad, modifiers: those go by keysym in every layout).
std::uint8_t PositionalVirtualKey(WindowsLayout layout, std::uint32_t evdev);

}  // namespace qx
