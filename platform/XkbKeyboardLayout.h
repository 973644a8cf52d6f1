// The keyboard layout of a running X desktop, read through XKB: which
// character the key behind a virtual key types in the group in force. The key
// behind a virtual key is the one the input tap reports with that code.
#pragma once

#include <memory>
#include <mutex>

#include "base/KeyboardLayout.h"
#include "platform/X11Display.h"
#include "platform/X11KeyMap.h"

namespace qx {

class XkbKeyboardLayout final : public KeyboardLayout {
public:
    // nullptr when the display cannot be opened or has no XKB.
    static std::unique_ptr<XkbKeyboardLayout> Open(const char* displayName = nullptr);
    ~XkbKeyboardLayout() override;

    // What the key that reports this virtual key types at its first level.
    char32_t KeyCharacter(std::uint32_t virtualKey) const override;

private:
    XkbKeyboardLayout(X11Display display, int eventBase);
    // Takes in keymap and group changes that the server has announced.
    void Refresh() const;

    X11Display display_;
    int eventBase_;
    mutable std::mutex mutex_;
    std::unique_ptr<X11KeyboardMap> map_;
};

// The desktop's layout when an X display is there, else the built-in US one.
std::unique_ptr<KeyboardLayout> MakeKeyboardLayout(const char* displayName = nullptr);

}  // namespace qx
