#include "app/MainWindowModel.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(MainHintCode, EachRegionButtonAndItsOnePixelMargin) {
    struct Case {
        int x, y, code;
    } cases[] = {
        {100, 100, 1},  // tab 1
        {29, 84, 1},    // the widened corner of tab 1
        {28, 100, 0},   // two pixels out
        {300, 100, 2},  {470, 100, 3},  {650, 100, 4}, {850, 100, 5}, {380, 620, 6},  // profile 1
        {760, 620, 10}, {900, 610, 11},                 // profile 5, Apply
        {941, 633, 11}, {942, 633, 0},  {500, 300, 0},  // the page area
        {150, 620, 0},                                  // the hint line
    };
    for (const auto& c : cases) EXPECT_EQ(MainHintCodeAt(c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST(MainHintCode, OverlappingBoxesGoToTheFirstInOrder) {
    // Tab 1's box reaches x 210, tab 2's starts at 193: the walk finds tab 1.
    EXPECT_EQ(MainHintCodeAt(200, 100), 1);
    // Profile boxes overlap the same way.
    EXPECT_EQ(MainHintCodeAt(425, 620), 6);
}

TEST(SwitchPage, TheTableOfTabs) {
    using P = PageId;
    struct Case {
        int tab;
        std::vector<P> shown;
        bool enabled, refreshButtons, refreshLighting, leavesMacro;
    } cases[] = {
        {1, {P::Buttons, P::MousePicture}, true, true, false, true},
        {2, {P::Lighting}, true, false, true, true},
        {3, {P::Macros}, true, false, false, false},
        {4, {P::Trophies}, false, false, false, true},
        {5, {P::Support}, false, false, false, true},
    };
    for (const auto& c : cases) {
        const PageSwitch s = SwitchPageTable(c.tab);
        ASSERT_TRUE(s.valid);
        std::array<bool, kPageCount> shown{};
        for (P p : c.shown) shown[static_cast<int>(p)] = true;
        EXPECT_EQ(s.shown, shown) << "tab " << c.tab;
        EXPECT_EQ(s.profileButtonsEnabled, c.enabled) << "tab " << c.tab;
        EXPECT_EQ(s.refreshButtonsPage, c.refreshButtons) << "tab " << c.tab;
        EXPECT_EQ(s.refreshLightingPage, c.refreshLighting) << "tab " << c.tab;
        EXPECT_EQ(s.leavesMacroPage, c.leavesMacro) << "tab " << c.tab;
    }
    for (int tab : {0, 6, -1}) EXPECT_FALSE(SwitchPageTable(tab).valid);
}

TEST(TrayCallback, DoubleClickShowsRightButtonUpOpensTheMenu) {
    EXPECT_EQ(TrayCallbackAction(kWmLButtonDblClk), TrayAction::RefreshAndShow);
    EXPECT_EQ(TrayCallbackAction(kWmRButtonUp), TrayAction::ShowMenu);
    for (LParam other : {0x0200, 0x0201, 0x0202, 0x0204, 0x0000})
        EXPECT_EQ(TrayCallbackAction(other), TrayAction::Nothing) << other;
}

TEST(MainWindowKeys, EnterEscapeSpaceDroppedAltF4Hides) {
    EXPECT_EQ(FilterMainWindowKey(kVkReturn, false), KeyVerdict::Drop);
    EXPECT_EQ(FilterMainWindowKey(kVkEscape, false), KeyVerdict::Drop);
    EXPECT_EQ(FilterMainWindowKey(kVkSpace, true), KeyVerdict::Drop);
    EXPECT_EQ(FilterMainWindowKey(kVkF4, true), KeyVerdict::HideToTray);
    EXPECT_EQ(FilterMainWindowKey(kVkF4, false), KeyVerdict::Pass);
    EXPECT_EQ(FilterMainWindowKey(0x41, false), KeyVerdict::Pass);
}

}  // namespace
}  // namespace qx
