// Windows virtual-key codes for X keys: the keyboard hook reports keys the way
// the Windows low-level hook does under the Windows layout of the keyboard's
// language, so that recorded macros and captured key combinations mean the
// same on both.
#pragma once

#include <array>
#include <cstdint>

#include "platform/WindowsKeyLayouts.h"

struct _XDisplay;

namespace qx {

struct VirtualKey {
    std::uint8_t vk = 0;  // 0: the key has no virtual-key code
    bool extended = false;
    bool operator==(const VirtualKey&) const = default;
};

// From the key's keysym in the active group (level 1) and its position (X key
// code = evdev code + 8): Latin letters by their keysym; keys that are no
// characters (F-keys, navigation, keypad, modifiers, media) by keysym in every
// layout; the digit row, the punctuation keys and letters of other scripts by
// position, with the codes of the Windows layout.
VirtualKey VirtualKeyFor(std::uint32_t keysym, std::uint32_t keycode,
                         WindowsLayout layout = WindowsLayout::Us);

// Every key of the keyboard under its active layout (XKB group).
struct X11KeyboardMap {
    int group = 0;
    WindowsLayout layout = WindowsLayout::Us;
    std::array<VirtualKey, 256> keys{};        // by X key code
    std::array<std::uint32_t, 256> keysyms{};  // level 1 of the active group
    // The first key that reports this code; 0 when none does (the physical
    // key behind a virtual key, as Windows' MapVirtualKey finds it).
    int KeycodeOf(std::uint8_t vk) const;
};
X11KeyboardMap ReadX11KeyboardMap(_XDisplay* display);

}  // namespace qx
