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

// Letters keep their keysym wherever the layout puts them; the digit row and
// the punctuation keys go by position, with the Windows layout's codes.
TEST(X11KeyMap, LettersByKeysymPunctuationAndDigitsByPosition) {
    using L = WindowsLayout;
    const struct {
        const char* what;
        std::uint32_t keysym;
        std::uint32_t evdev;
        L layout;
        std::uint8_t vk;
    } cases[] = {
        {"German u umlaut", XK_udiaeresis, 0x1A, L::German, 0xBA},
        {"German sharp s", XK_ssharp, 0x0C, L::German, 0xDB},
        {"German o umlaut", XK_odiaeresis, 0x27, L::German, 0xC0},
        {"German z on the Y key", XK_z, 0x15, L::German, 'Z'},
        {"German plus", XK_plus, 0x1B, L::German, 0xBB},
        {"German hash", XK_numbersign, 0x2B, L::German, 0xBF},
        {"French ampersand is 1", XK_ampersand, 0x02, L::French, '1'},
        {"French apostrophe is 4", XK_apostrophe, 0x05, L::French, '4'},
        {"French minus is 6", XK_minus, 0x07, L::French, '6'},
        {"French a grave is 0", XK_agrave, 0x0B, L::French, '0'},
        {"French a on the Q key", XK_a, 0x10, L::French, 'A'},
        {"French m right of L", XK_m, 0x27, L::French, 'M'},
        {"French comma on the M key", XK_comma, 0x32, L::French, 0xBC},
        {"French semicolon", XK_semicolon, 0x33, L::French, 0xBE},
        {"French colon", XK_colon, 0x34, L::French, 0xBF},
        {"French exclamation mark", XK_exclam, 0x35, L::French, 0xDF},
        {"French dollar", XK_dollar, 0x1B, L::French, 0xBA},
        {"French u grave", XK_ugrave, 0x28, L::French, 0xC0},
        {"Italian apostrophe", XK_apostrophe, 0x0C, L::Italian, 0xDB},
        {"Italian backslash", XK_backslash, 0x29, L::Italian, 0xBF},
        {"Spanish n tilde", XK_ntilde, 0x27, L::Spanish, 0xC0},
        {"Spanish c cedilla", XK_ccedilla, 0x2B, L::Spanish, 0xBF},
        {"Russian short i is Q", XK_Cyrillic_shorti, 0x10, L::Us, 'Q'},
        {"Russian ha is OEM_4", XK_Cyrillic_ha, 0x1A, L::Us, 0xDB},
        {"US bracket", XK_bracketleft, 0x1A, L::Us, 0xDB},
        {"US less-than key", XK_backslash, 0x56, L::Us, 0xE2},
        {"a key given F5 stays F5", XK_F5, 0x10, L::French, 0x74},
        {"keypad keys are alike everywhere", XK_KP_Subtract, 0x4A, L::German, 0x6D},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyFor(c.keysym, c.evdev + 8, c.layout).vk, c.vk) << c.what;
}

TEST(X11KeyMap, TheLayoutOfEachGroupFromTheSymbolsName) {
    const struct {
        const char* symbols;
        int group;
        const char* layout;
    } cases[] = {
        {"pc+us+inet(evdev)", 0, "us"},
        {"pc+de+fr:2+us:3+inet(evdev)", 0, "de"},
        {"pc+de+fr:2+us:3+inet(evdev)", 1, "fr"},
        {"pc+de+fr:2+us:3+inet(evdev)", 2, "us"},
        {"pc+de+fr:2+us:3+inet(evdev)", 3, ""},
        {"pc+de(nodeadkeys)+ru:2+inet(evdev)+group(alt_shift_toggle)", 0, "de(nodeadkeys)"},
        {"pc+de(nodeadkeys)+ru:2+inet(evdev)+group(alt_shift_toggle)", 1, "ru"},
        {"", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XkbLayoutOfGroup(c.symbols, c.group), c.layout) << c.symbols << " " << c.group;
    using L = WindowsLayout;
    EXPECT_EQ(WindowsLayoutForXkb("de(nodeadkeys)"), L::German);
    EXPECT_EQ(WindowsLayoutForXkb("fr(azerty)"), L::French);
    EXPECT_EQ(WindowsLayoutForXkb("it"), L::Italian);
    EXPECT_EQ(WindowsLayoutForXkb("es"), L::Spanish);
    EXPECT_EQ(WindowsLayoutForXkb("ru"), L::Us);
    EXPECT_EQ(WindowsLayoutForXkb("gb"), L::Us);
    EXPECT_EQ(WindowsLayoutForXkb("dev"), L::Us);  // not "de"
}

}  // namespace
}  // namespace qx
