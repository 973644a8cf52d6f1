#include "platform/XkbKeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <xkbcommon/xkbcommon.h>

namespace qx {
namespace {

// Linux input key codes of the HID keyboard usages 0x04-0x65 (as the kernel's
// HID input layer maps them); X key codes are these plus 8.
constexpr unsigned char kEvdevOfUsage[0x66] = {
    0,   0,   0,   0,  30, 48,  46, 32, 18,  33,  34,  35,  23,  36,  37,  38,   // 00-0F
    50,  49,  24,  25, 16, 19,  31, 20, 22,  47,  17,  45,  21,  44,  2,   3,    // 10-1F
    4,   5,   6,   7,  8,  9,   10, 11, 28,  1,   14,  15,  57,  12,  13,  26,   // 20-2F
    27,  43,  43,  39, 40, 41,  51, 52, 53,  58,  59,  60,  61,  62,  63,  64,   // 30-3F
    65,  66,  67,  68, 87, 88,  99, 70, 119, 110, 102, 104, 111, 107, 109, 106,  // 40-4F
    105, 108, 103, 69, 98, 55,  74, 78, 96,  79,  80,  81,  75,  76,  77,  71,   // 50-5F
    72,  73,  82,  83, 86, 127,                                                  // 60-65
};
constexpr unsigned char kEvdevOfModifier[8] = {29, 42, 56, 125, 97, 54, 100, 126};  // E0-E7

unsigned XKeycodeOfUsage(std::uint8_t usage) {
    if (usage < sizeof kEvdevOfUsage && kEvdevOfUsage[usage]) return kEvdevOfUsage[usage] + 8u;
    if (usage >= 0xE0 && usage <= 0xE7) return kEvdevOfModifier[usage - 0xE0] + 8u;
    return 0;
}

}  // namespace

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
    XkbSelectEvents(dpy, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
    keymap_ = XkbGetMap(dpy, XkbAllClientInfoMask, XkbUseCoreKbd);
    XkbStateRec state{};
    if (XkbGetState(dpy, XkbUseCoreKbd, &state) == Success) group_ = state.group;
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
    if (keymap_) XkbFreeKeyboard(keymap_, 0, True);
}

void XkbKeyboardLayout::Refresh() const {
    auto* dpy = display_.get();
    bool stale = false;
    while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type != eventBase_) continue;
        const auto& any = reinterpret_cast<const XkbEvent&>(event);
        if (any.any.xkb_type == XkbStateNotify)
            group_ = any.state.group;
        else
            stale = true;
    }
    if (stale || !keymap_) {
        if (keymap_) XkbFreeKeyboard(keymap_, 0, True);
        keymap_ = XkbGetMap(dpy, XkbAllClientInfoMask, XkbUseCoreKbd);
    }
}

char32_t XkbKeyboardLayout::KeyCharacter(std::uint32_t virtualKey) const {
    const unsigned keycode = XKeycodeOfUsage(UsPositionOfVirtualKey(virtualKey));
    if (!keycode) return 0;
    std::lock_guard lock(mutex_);
    Refresh();
    XkbDescPtr xkb = keymap_;
    if (!xkb || !xkb->map || keycode < xkb->min_key_code || keycode > xkb->max_key_code) return 0;
    const int groups = XkbKeyNumGroups(xkb, keycode);
    if (groups <= 0) return 0;
    const int group = group_ % groups;  // a group beyond the key's own wraps
    if (XkbKeyGroupWidth(xkb, keycode, group) < 1) return 0;
    const KeySym keysym = XkbKeySymEntry(xkb, keycode, 0, group);
    if (keysym == NoSymbol) return 0;
    const char32_t c = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(keysym));
    return c >= 0x20 && c != 0x7F ? c : 0;
}

std::unique_ptr<KeyboardLayout> MakeKeyboardLayout(const char* displayName) {
    if (auto xkb = XkbKeyboardLayout::Open(displayName)) return xkb;
    return std::make_unique<UsKeyboardLayout>();
}

}  // namespace qx
