#include "platform/XkbKeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <xkbcommon/xkbcommon.h>

namespace qx {

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::Open(const char* displayName) {
    int opcode = 0, eventBase = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbLibraryVersion(&major, &minor)) return nullptr;
    X11Display display = OpenX11Display(displayName);
    if (!display) return nullptr;
    if (!XkbQueryExtension(display.get(), &opcode, &eventBase, &errorBase, &major, &minor))
        return nullptr;
    return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(std::move(display), eventBase));
}

XkbKeyboardLayout::XkbKeyboardLayout(X11Display display, int eventBase)
    : display_(std::move(display)), eventBase_(eventBase) {
    auto* dpy = display_.get();
    constexpr unsigned long kKeymapEvents =
        XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbNamesNotifyMask;
    XkbSelectEvents(dpy, XkbUseCoreKbd, kKeymapEvents, kKeymapEvents);
    XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
    map_ = std::make_unique<X11KeyboardMap>(ReadX11KeyboardMap(dpy));
}

XkbKeyboardLayout::~XkbKeyboardLayout() = default;

void XkbKeyboardLayout::Refresh() const {
    auto* dpy = display_.get();
    bool stale = false;
    while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type != eventBase_) continue;
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        if (xkb.any.xkb_type != XkbStateNotify || xkb.state.group != map_->group) stale = true;
    }
    if (stale) *map_ = ReadX11KeyboardMap(dpy);
}

char32_t XkbKeyboardLayout::KeyCharacter(std::uint32_t virtualKey) const {
    if (virtualKey == 0 || virtualKey > 0xFF) return 0;
    std::lock_guard lock(mutex_);
    Refresh();
    // The key that reports this code under the layout in force, as the tap
    // reports it: a German VK_OEM_1 is the key of ü.
    const int keycode = map_->KeycodeOf(static_cast<std::uint8_t>(virtualKey));
    if (keycode == 0 || map_->keysyms[keycode] == NoSymbol) return 0;
    const char32_t c = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(map_->keysyms[keycode]));
    return c >= 0x20 && c != 0x7F ? c : 0;
}

std::unique_ptr<KeyboardLayout> MakeKeyboardLayout(const char* displayName) {
    if (auto xkb = XkbKeyboardLayout::Open(displayName)) return xkb;
    return std::make_unique<UsKeyboardLayout>();
}

}  // namespace qx
