#include "platform/X11KeyMap.h"

#include <gtest/gtest.h>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace qx {
namespace {

TEST(X11KeyMap, KeysymsGiveTheWindowsVirtualKeys) {
    const struct {
        std::uint32_t keysym;
        VirtualKey expected;
    } cases[] = {
        {XK_a, {'A'}},
        {XK_Z, {'Z'}},
        {XK_0, {'0'}},
        {XK_F1, {0x70}},
        {XK_F24, {0x87}},
        {XK_Return, {0x0D}},
        {XK_KP_Enter, {0x0D, true}},
        {XK_Control_R, {0xA3, true}},
        {XK_Shift_R, {0xA1}},
        {XK_ISO_Level3_Shift, {0xA5, true}},
        {XK_Delete, {0x2E, true}},
        {XK_KP_Delete, {0x6E}},
        {XK_KP_Home, {0x67}},
        {XK_KP_Divide, {0x6F, true}},
        {XK_Super_L, {0x5B, true}},
        {XK_minus, {0xBD}},
        {XK_grave, {0xC0}},
        {XF86XK_AudioPlay, {0xB3, true}},
    };
    for (const auto& c : cases) EXPECT_EQ(VirtualKeyFor(c.keysym, 0), c.expected) << c.keysym;
}

TEST(X11KeyMap, UnknownKeysymsFallBackToTheKeysPosition) {
    // Cyrillic ef sits on the A key (evdev 30, X keycode 38).
    EXPECT_EQ(VirtualKeyFor(XK_Cyrillic_ef, 38), (VirtualKey{'A'}));
    EXPECT_EQ(VirtualKeyFor(XK_Cyrillic_ha, 34), (VirtualKey{0xDB}));
    EXPECT_EQ(VirtualKeyFor(XK_Cyrillic_ha, 200), VirtualKey{});
    EXPECT_EQ(VirtualKeyFor(0, 0), VirtualKey{});
}

}  // namespace
}  // namespace qx
