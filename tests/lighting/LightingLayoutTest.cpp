#include "lighting/LightingLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/LanguageTable.h"

namespace qx::lighting {
namespace {

namespace L = layout::lighting_page;

bool Overlap(const layout::Rect& a, const layout::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(LightingLayout, EveryTooltipIsALanguageKey) {
    for (const auto& row : kControls) {
        if (!row.tooltip.empty()) {
            EXPECT_GE(LanguageKeyIndex(row.tooltip), 0) << row.tooltip;
        }
    }
}

TEST(LightingLayout, ControlsPresetsAndWheelNeitherOverlapNorLeaveThePage) {
    for (bool chinese : {false, true}) {
        struct Placed {
            std::string name;
            layout::Rect rect;
            bool label;
        };
        std::vector<Placed> placed;
        for (int i = 0; i < kControlCount; ++i)
            placed.push_back({"control " + std::to_string(i), kControls[i].Rect(chinese),
                              kControls[i].kind == ControlKind::LabelArea});
        for (int n = 0; n < L::kPresetCount; ++n)
            placed.push_back({"preset " + std::to_string(n), L::PresetRect(n, chinese), false});
        placed.push_back({"wheel", L::kColourWheel, false});
        const std::string language = chinese ? " (Chinese)" : " (English)";
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const layout::Rect& r = placed[i].rect;
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= L::kSize.width &&
                        r.bottom <= L::kSize.height && r.Width() > 0 && r.Height() > 0)
                << placed[i].name << language;
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                // Two Chinese label areas share a pixel row; they only carry hints.
                if (placed[i].label && placed[j].label) continue;
                EXPECT_FALSE(Overlap(r, placed[j].rect))
                    << placed[i].name << " / " << placed[j].name << language;
            }
        }
    }
}

TEST(LightingLayout, PresetsSitInRowsOfSevenWithTheLastColumnsOneLeft) {
    struct Case {
        int preset;
        bool chinese;
        layout::Rect rect;
    };
    const Case cases[] = {
        {0, false, {177, 258, 208, 290}},  {4, false, {337, 258, 368, 290}},
        {5, false, {376, 258, 407, 290}},  {7, false, {177, 299, 208, 331}},
        {25, false, {337, 381, 368, 413}}, {0, true, {140, 256, 171, 289}},
        {6, true, {379, 256, 410, 289}},   {25, true, {300, 379, 331, 412}},
    };
    for (const auto& c : cases) {
        const layout::Rect r = L::PresetRect(c.preset, c.chinese);
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
                  (std::array{c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}))
            << c.preset << (c.chinese ? " chinese" : "");
    }
}

TEST(LightingLayout, SlidersCarryTheirIdsAndRanges) {
    struct Case {
        Control control;
        int id, minimum, maximum;
    };
    const Case cases[] = {
        {kRedSlider, 769, 0, 255},          {kGreenSlider, 770, 0, 255},
        {kBlueSlider, 771, 0, 255},         {kBrightnessSlider, 777, 1, 10},
        {kBreathingSpeedSlider, 778, 1, 5}, {kMode5SpeedSlider, 779, 1, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kControls[c.control].kind, ControlKind::Slider) << c.id;
        EXPECT_EQ(kControls[c.control].id, c.id);
        EXPECT_EQ(kControls[c.control].minimum, c.minimum) << c.id;
        EXPECT_EQ(kControls[c.control].maximum, c.maximum) << c.id;
    }
}

TEST(LightingLayout, HintsComeFromTheRectangleGrownByOnePixel) {
    struct Case {
        int x, y;
        bool chinese, ownColoursOn;
        std::vector<int> hints;
    };
    const Case cases[] = {
        {250, 95, false, false, {31}},  // mode 1
        {195, 95, false, false, {31}},  // one pixel left of it
        {194, 95, false, false, {}},    // two pixels left
        {301, 95, false, false, {31}},  // the right edge, which the rectangle excludes
        {302, 95, false, false, {}},    {400, 120, false, false, {34}},  // own colours, off
        {400, 120, false, true, {35}},                                   // and on
        {360, 125, true, true, {35}},                                    // the Chinese placement
        {700, 127, true, false, {36}},   // mode 5 speed, Chinese placement
        {700, 127, false, false, {}},    // ... which is elsewhere in English
        {520, 120, false, false, {80}},  // slot 0 swatch
        {180, 220, false, false, {86}},  // slot 3 swatch
        {600, 283, false, false, {39}},  // red slider
        {720, 280, false, false, {}},    // number boxes have no hint
        {190, 270, false, false, {}},    // presets neither
        {831, 323, false, false, {}},    // nor the wheel
        {176, 30, false, false, {78}},   // a label area's grown right edge
    };
    for (const auto& c : cases)
        EXPECT_EQ(HintsAt(c.x, c.y, c.chinese, c.ownColoursOn), c.hints)
            << c.x << "," << c.y << (c.chinese ? " chinese" : "");
}

}  // namespace
}  // namespace qx::lighting
