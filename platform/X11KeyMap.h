// Windows virtual-key codes for X keys: the keyboard hook reports keys the way
// the Windows low-level hook does, so that recorded macros and captured key
// combinations mean the same on both.
#pragma once

#include <cstdint>

namespace qx {

struct VirtualKey {
    std::uint8_t vk = 0;  // 0: the key has no virtual-key code
    bool extended = false;
    bool operator==(const VirtualKey&) const = default;
};

// From the key's first keysym (group 1, level 1); when that keysym has no
// code (a non-Latin layout), from the key's position: X keycode = evdev code
// + 8, and the main block takes the US positions, as Windows layouts do.
VirtualKey VirtualKeyFor(std::uint32_t keysym, std::uint32_t keycode);

}  // namespace qx
