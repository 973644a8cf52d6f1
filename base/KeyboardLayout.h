// The character a key types under the keyboard layout in force, for the key
// names that no fixed table covers (the punctuation keys, mostly). The desktop
// implementation asks the X server; without a display the built-in US layout
// stands in.
#pragma once

#include <cstdint>

namespace qx {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // The character the key of this Windows virtual-key code types with no
    // modifier held; 0 when it types nothing printable.
    virtual char32_t KeyCharacter(std::uint32_t virtualKey) const = 0;
};

// A US keyboard as a standard 105-key layout has it (VK_OEM_102 types '\').
class UsKeyboardLayout final : public KeyboardLayout {
public:
    char32_t KeyCharacter(std::uint32_t virtualKey) const override;
};

// The device key (HID keyboard usage) at the position where a US layout has
// this virtual key; 0 when there is none. Lets a layout implementation find
// the physical key behind a virtual key.
std::uint8_t UsPositionOfVirtualKey(std::uint32_t virtualKey);

}  // namespace qx
