#include "base/KeyTables.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace qx {
namespace {

constexpr int kLanguageTables[] = {kLanguageFrench, kLanguageGerman, kLanguageItalian,
                                   kLanguageSpanish, kLanguageRussian};

// Answers from a small map, as a desktop layout other than US would.
class MapLayout final : public KeyboardLayout {
public:
    explicit MapLayout(std::map<std::uint32_t, char32_t> keys) : keys_(std::move(keys)) {}
    char32_t KeyCharacter(std::uint32_t vk) const override {
        const auto it = keys_.find(vk);
        return it == keys_.end() ? 0 : it->second;
    }

private:
    std::map<std::uint32_t, char32_t> keys_;
};

const UsKeyboardLayout us;

TEST(KeyLayoutTables, SizesAndSelectionByLanguage) {
    for (int language = 0; language <= 13; ++language) {
        const bool own = std::find(std::begin(kLanguageTables), std::end(kLanguageTables),
                                   language) != std::end(kLanguageTables);
        EXPECT_EQ(KeyLayoutTableFor(language).size(), own ? kLanguageKeyRows : kDefaultKeyRows)
            << "language " << language;
    }
    EXPECT_EQ(KeyLayoutTableFor(kLanguageItalian).data(),
              KeyLayoutTableFor(kLanguageSpanish).data());
}

TEST(KeyLayoutTables, DeviceKeysUniqueAndEnterTwiceWithMainEnterFirst) {
    for (int language : {0, 3, 5, 6, 7, 10}) {
        std::set<std::uint8_t> seen;
        int enterRows = 0;
        for (const auto& row : KeyLayoutTableFor(language)) {
            EXPECT_TRUE(seen.insert(row.deviceKey).second)
                << "language " << language << " repeats device key " << int(row.deviceKey);
            if (row.virtualKey == 0x0D) ++enterRows;
        }
        EXPECT_EQ(enterRows, 2);
        EXPECT_EQ(VirtualKeyToDeviceKey(0x0D, language), 0x28);
    }
}

TEST(KeyLayoutTables, LanguageTablesKeepEveryPlaceAndAddOem102AfterEnter) {
    const auto base = KeyLayoutTableFor(0);
    for (int language : kLanguageTables) {
        const auto table = KeyLayoutTableFor(language);
        std::size_t j = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].deviceKey == 0x64) {
                EXPECT_EQ(table[i].virtualKey, 0xE2);
                ASSERT_GT(i, 0u);
                EXPECT_EQ(table[i - 1].deviceKey, 0x28);
                continue;
            }
            EXPECT_EQ(table[i].deviceKey, base[j++].deviceKey) << "row " << i;
        }
        EXPECT_EQ(j, base.size());
    }
}

// Every virtual key that differs from the default table, and nothing else.
TEST(KeyLayoutTables, ChangedRowsPerLanguage) {
    const std::map<int, std::map<std::uint8_t, std::uint8_t>> changes = {
        {kLanguageFrench,
         {{0x04, 0x51},
          {0x10, 0xBC},
          {0x14, 0x41},
          {0x1A, 0x5A},
          {0x1D, 0x57},
          {0x2D, 0xDB},
          {0x2F, 0xDD},
          {0x30, 0xBA},
          {0x33, 0x4D},
          {0x34, 0xC0},
          {0x35, 0xDE},
          {0x36, 0xBE},
          {0x37, 0xBF},
          {0x38, 0xDF}}},
        {kLanguageGerman,
         {{0x1C, 0x5A},
          {0x1D, 0x59},
          {0x2D, 0xDB},
          {0x2E, 0xDD},
          {0x2F, 0xBA},
          {0x30, 0xBB},
          {0x31, 0xBF},
          {0x33, 0xC0},
          {0x35, 0xDC},
          {0x38, 0xBD}}},
        {kLanguageItalian,
         {{0x2D, 0xDB},
          {0x2E, 0xDD},
          {0x2F, 0xBA},
          {0x30, 0xBB},
          {0x31, 0xBF},
          {0x33, 0xC0},
          {0x35, 0xDC},
          {0x38, 0xBD}}},
        {kLanguageRussian, {}},
    };
    for (const auto& [language, rows] : changes) {
        for (const auto& row : KeyLayoutTableFor(language)) {
            if (row.deviceKey == 0x64) continue;
            const auto it = rows.find(row.deviceKey);
            const auto expected =
                it != rows.end() ? it->second : DeviceKeyToVirtualKey(row.deviceKey, 0);
            EXPECT_EQ(row.virtualKey, expected)
                << "language " << language << " key " << int(row.deviceKey);
        }
    }
}

TEST(KeyTranslation, Cases) {
    struct Case {
        int language;
        std::uint32_t virtualKey;
        std::uint8_t deviceKey;
    } cases[] = {
        {0, 0x0D, 0x28},
        {0, 0x41, 0x04},
        {kLanguageFrench, 0x41, 0x14},
        {kLanguageFrench, 0x51, 0x04},
        {0, 0xE2, 0x00},
        {0, 0x0C, 0x00},
        {kLanguageGerman, 0x5A, 0x1C},
        {1, 0x5A, 0x1D},
        {0, 0x1E2, 0x00},  // above a byte: no row
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyToDeviceKey(c.virtualKey, c.language), c.deviceKey)
            << "language " << c.language << " vk " << c.virtualKey;
    for (int language : kLanguageTables) EXPECT_EQ(VirtualKeyToDeviceKey(0xE2, language), 0x64);
    for (int language : {0, 1, 3, 5, 6, 7, 10, 12}) {
        EXPECT_EQ(VirtualKeyToDeviceKey(0x01, language), 0xF0);
        EXPECT_EQ(VirtualKeyToDeviceKey(0x02, language), 0xF1);
        EXPECT_EQ(VirtualKeyToDeviceKey(0x04, language), 0xF2);
    }
    EXPECT_EQ(DeviceKeyToVirtualKey(0x00, 0), 0u);
    EXPECT_EQ(DeviceKeyToVirtualKey(0x64, 0), 0u);
    EXPECT_EQ(DeviceKeyToVirtualKey(0x64, kLanguageRussian), 0xE2u);
}

TEST(KeyTranslation, FrenchDeviceKeyAShowsAsQ) {
    EXPECT_EQ(ComboKeyName(DeviceKeyToVirtualKey(0x04, kLanguageFrench), us), u"Q");
    EXPECT_EQ(CombinationText(CombinationCode(0, 0x04), kLanguageFrench, us), u"Q");
    EXPECT_EQ(CombinationText(CombinationCode(0, 0x04), 0, us), u"A");
}

TEST(KeyNames, ComboAndEventNamesDifferInKeypadAndMouseButtons) {
    struct Case {
        std::uint32_t vk;
        std::u16string combo;
        std::u16string event;
    } cases[] = {
        {0x00, u"", u""},
        {0xFF, u"", u""},
        {0x01, u"", u"Left Button"},
        {0x02, u"", u"Right Button"},
        {0x04, u"", u"Middle Button"},
        {0x08, u"Backspace", u"Backspace"},
        {0x0D, u"Enter", u"Enter"},
        {0x14, u"CapsLock", u"CapsLock"},
        {0x22, u"PageDown", u"PageDown"},
        {0x28, u"Down", u"Down"},
        {0x2C, u"PrtSc SysRq", u"PrtSc SysRq"},
        {0x30, u"0", u"0"},
        {0x5A, u"Z", u"Z"},
        {0x5D, u"App", u"App"},
        {0x60, u"(0)", u"NUM 0"},
        {0x69, u"(9)", u"NUM 9"},
        {0x6A, u"(*)", u"NUM *"},
        {0x6D, u"(-)", u"NUM -"},
        {0x6E, u"(.)", u"NUM ."},
        {0x6F, u"(/)", u"NUM /"},
        {0x70, u"F1", u"F1"},
        {0x7B, u"F12", u"F12"},
        {0x7C, u"", u""},  // F13: no name, no character
        {0x90, u"Numlock", u"Numlock"},
        {0x91, u"Scroll Lock", u"Scroll Lock"},
        {0xA0, u"LShift", u"LShift"},
        {0xA5, u"RAlt", u"RAlt"},
        {0xBA, u";", u";"},
        {0xDE, u"'", u"'"},
        {0xE2, u"\\", u"\\"},
        {0x0C, u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComboKeyName(c.vk, us), c.combo) << "vk " << c.vk;
        EXPECT_EQ(KeyName(c.vk, us), c.event) << "vk " << c.vk;
    }
}

TEST(KeyNames, LayoutCharacterUpperCasesOnlyAsciiLettersAndDropsControls) {
    const MapLayout layout({{0xBA, U'é'}, {0xC0, U'ж'}, {0xDB, U'q'}, {0xDC, 0x1B}, {0xDD, U'😀'}});
    EXPECT_EQ(ComboKeyName(0xBA, layout), u"é");
    EXPECT_EQ(KeyName(0xC0, layout), u"ж");  // kept whole, not cut to its low byte
    EXPECT_EQ(KeyName(0xDB, layout), u"Q");
    EXPECT_EQ(KeyName(0xDC, layout), u"");
    EXPECT_EQ(KeyName(0xDD, layout), u"😀");
    // Fixed names never ask the layout.
    EXPECT_EQ(KeyName(0x41, MapLayout({{0x41, U'q'}})), u"A");
}

TEST(CombinationTexts, ModifiersInFixedOrder) {
    struct Case {
        std::uint8_t mask;
        std::uint8_t key;
        std::u16string text;
    } cases[] = {
        {kModWin, 0x0F, u"Win + L"},
        {kModCtrl | kModAlt, 0x3D, u"Ctrl + Alt + F4"},
        {kModCtrl | kModShift, 0x04, u"Shift + Ctrl + A"},
        {kModWin | kModAlt | kModShift | kModCtrl, 0x2B, u"Shift + Ctrl + Alt + Win + Tab"},
        {0, 0xE0, u"LCtrl"},
        {0, 0xE3, u"LWin"},
        {kModAlt, 0x00, u"Alt + "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CombinationText(CombinationCode(c.mask, c.key), 0, us), c.text);
    // As stored: [00, 08, 0F, 00] little-endian.
    EXPECT_EQ(CombinationCode(kModWin, 0x0F), 0x000F0800u);
}

TEST(CombinationCodes, FromTheFourBoxesAndTheCapturedKey) {
    struct Case {
        bool ctrl, alt, shift, win;
        std::uint32_t vk;
        int language;
        std::uint32_t code;
    } cases[] = {
        {false, false, false, false, 0, 0, 0},
        {false, false, false, false, 0x41, 0, CombinationCode(0, 0x04)},
        {true, false, false, false, 0x41, 0, CombinationCode(kModCtrl, 0x04)},
        {true, true, true, true, 0x73, 0, CombinationCode(0x0F, 0x3D)},
        {true, false, false, false, 0x41, kLanguageFrench, CombinationCode(kModCtrl, 0x14)},
        {true, false, false, false, 0, 0, CombinationCode(0, 0xE0)},
        {false, true, false, false, 0, 0, CombinationCode(0, 0xE2)},
        {false, false, true, false, 0, 0, CombinationCode(0, 0xE1)},
        {false, false, false, true, 0, 0, CombinationCode(0, 0xE3)},
        {true, true, false, false, 0, 0, 0},  // two modifiers alone: no choice
        {true, false, false, false, 0x0C, 0, CombinationCode(0, 0xE0)},  // key with no row
        {false, false, false, false, 0x0C, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeCombinationCode(c.ctrl, c.alt, c.shift, c.win, c.vk, c.language), c.code)
            << c.ctrl << c.alt << c.shift << c.win << " vk " << c.vk;
}

TEST(KeyTablesBinding, FollowsTheLanguageAtEachCall) {
    int currentLanguage = 2;
    KeyTables keys(currentLanguage, us);
    EXPECT_EQ(keys.VirtualKeyToDeviceKey(0x41), 0x04);
    currentLanguage = kLanguageFrench;
    EXPECT_EQ(keys.VirtualKeyToDeviceKey(0x41), 0x14);
    EXPECT_EQ(keys.CombinationText(CombinationCode(kModCtrl, 0x04)), u"Ctrl + Q");
    currentLanguage = 1;
    EXPECT_EQ(keys.CombinationText(CombinationCode(kModCtrl, 0x04)), u"Ctrl + A");
}

}  // namespace
}  // namespace qx
