// The lighting page as a window, offscreen: clicks on its controls reach the
// profile, the wheel takes the picture's pixel, the Chinese placement keeps
// its rectangles and pictures, and the pointer gives hints and the cross.
#include "lighting/DlgLEDSet.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "i18n/LanguageTable.h"
#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/BitmapEdit.h"
#include "ui/ColorBtn.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/PngHSlider.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using lighting::CDlgLEDSet;
using lighting::kControls;
namespace G = layout::lighting_page;

QPoint Centre(const layout::Rect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class LightingPage : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDefaultProfile(profile.settings, false);
        LoadLanguageFile(language, AppFolder() / "Language" / "en.xml");
    }

    std::unique_ptr<CDlgLEDSet> Make(const fs::path& appFolder = AppFolder()) {
        ui::PageEnvironment env{appFolder, appFolder / "skins" / "QX600",
                                language,  notifier,
                                tooltips,  mainWindow.Handle()};
        auto page = std::make_unique<CDlgLEDSet>(nullptr, env, profile);
        page->show();
        return page;
    }

    // The control under a page point, as a person's click would find it.
    static QWidget* At(CDlgLEDSet& page, QPoint at) {
        QWidget* w = page.childAt(at);
        EXPECT_NE(w, nullptr) << at.x() << "," << at.y();
        return w;
    }
    static void ClickAt(CDlgLEDSet& page, QPoint at) {
        QWidget* w = page.childAt(at);
        QWidget* target = w ? w : &page;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&page, at));
        Pump();
    }
    static void Click(CDlgLEDSet& page, lighting::Control control) {
        ClickAt(page, Centre(kControls[control].Rect(page.ChineseLayout())));
    }
    static void ClickPreset(CDlgLEDSet& page, int preset) {
        ClickAt(page, Centre(G::PresetRect(preset, page.ChineseLayout())));
    }
    static QString NumberBox(CDlgLEDSet& page, lighting::Control box) {
        return static_cast<QLineEdit*>(At(page, Centre(kControls[box].english)))->text();
    }

    std::vector<int> HintsPosted() {
        Pump();
        std::vector<int> codes;
        for (const auto& p : mainWindow.Of(kMsgHint)) codes.push_back(static_cast<int>(p.lParam));
        mainWindow.posted.clear();
        return codes;
    }

    ProfileState profile;
    Localization language;
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    RecordingWindow mainWindow;
};

TEST_F(LightingPage, ClicksSetUpOwnColoursPresetsAndTheWheel) {
    auto page = Make();
    ProfileSettings& s = profile.settings;

    // Colour cycle with its own colours: presets 4, 11 and 18 on slots 0-2.
    Click(*page, lighting::kMode5Button);
    Click(*page, lighting::kOwnColoursButton);
    EXPECT_EQ(s.ownColours, 1);
    const int presets[3] = {4, 11, 18};
    for (int slot = 0; slot < 3; ++slot) {
        Click(*page, static_cast<lighting::Control>(lighting::kSlot0Swatch + slot));
        ClickPreset(*page, presets[slot]);
        EXPECT_EQ(s.colours[slot], PresetColour(presets[slot])) << slot;
        EXPECT_EQ(s.presetNumber[slot], presets[slot]);
        EXPECT_EQ(s.colourFromWheel[slot], 0);
    }
    EXPECT_EQ(s.lightingMode, 5);
    // The chosen preset shows pressed; the swatch shows the colour.
    EXPECT_TRUE(
        static_cast<ui::CGDIBitmapBtn*>(At(*page, Centre(G::PresetRect(18))))->GetSelected());
    EXPECT_EQ(static_cast<ui::CColorBtn*>(At(*page, Centre(G::kSlotSwatches[2])))->Color(),
              QColor(250, 99, 125));

    // Steady light, colour from the wheel: the normal picture's pixel.
    Click(*page, lighting::kMode1Button);
    const QPoint wheel(800, 300);
    ClickAt(*page, wheel);
    const QColor pixel = page->NormalPicture().pixelColor(wheel);
    EXPECT_EQ(s.colours[kSingleColourSlot], MakeColour(pixel.red(), pixel.green(), pixel.blue()));
    EXPECT_EQ(s.colourFromWheel[kSingleColourSlot], 1);
    EXPECT_EQ(NumberBox(*page, lighting::kRedValue), QString::number(pixel.red()));
    EXPECT_EQ(NumberBox(*page, lighting::kGreenValue), QString::number(pixel.green()));
    EXPECT_EQ(NumberBox(*page, lighting::kBlueValue), QString::number(pixel.blue()));
    // The colour cycle's own colours are untouched.
    EXPECT_EQ(s.colours[2], PresetColour(18));
}

TEST_F(LightingPage, DisabledControlsIgnoreClicks) {
    auto page = Make();
    Click(*page, lighting::kMode6Button);
    const ColourValue before = profile.settings.colours[kSingleColourSlot];
    ClickPreset(*page, 3);
    ClickAt(*page, QPoint(831, 323));  // the wheel's centre
    EXPECT_EQ(profile.settings.colours[kSingleColourSlot], before);
    // Off and the body light "on" is stored as asked.
    Click(*page, lighting::kBodyOffButton);
    EXPECT_EQ(profile.settings.touchLight, 0);
    Click(*page, lighting::kBodyOnButton);
    EXPECT_EQ(profile.settings.touchLight, 1);
}

TEST_F(LightingPage, SlidersStoreTheirValues) {
    auto page = Make();
    Click(*page, lighting::kMode2Button);
    // The right end of the breathing-speed slider is its maximum.
    const layout::Rect& breathing = G::kBreathingSlider;
    ClickAt(*page, QPoint(breathing.right - 2, (breathing.top + breathing.bottom) / 2));
    EXPECT_EQ(profile.settings.breathingSpeed, 5);
    // The colour sliders stop seven pixels short of their right end: the
    // last pixel before that is already 255.
    const layout::Rect& green = G::kGreenSlider;
    ClickAt(*page, QPoint(green.right - G::kColourTrackShortening - 1, green.top + 4));
    EXPECT_EQ(GreenOf(profile.settings.colours[kSingleColourSlot]), 255);
    EXPECT_EQ(profile.settings.colourFromWheel[kSingleColourSlot], 1);
    EXPECT_EQ(NumberBox(*page, lighting::kGreenValue), "255");
    auto* slider = static_cast<ui::CPngHSliderBar*>(At(*page, Centre(green)));
    EXPECT_EQ(slider->Thumb()->geometry().right() + 1, slider->width() - G::kColourTrackShortening);
}

TEST_F(LightingPage, RefreshShowsAReplacedProfile) {
    auto page = Make();
    profile.settings.lightingMode = 2;
    profile.settings.breathingSpeed = 4;
    profile.settings.colours[kSingleColourSlot] = MakeColour(1, 2, 3);
    page->Refresh();
    auto* mode2 = static_cast<ui::CGDIBitmapBtn*>(At(*page, Centre(G::kMode2)));
    auto* mode5 = static_cast<ui::CGDIBitmapBtn*>(At(*page, Centre(G::kMode5)));
    EXPECT_TRUE(mode2->GetSelected());
    EXPECT_FALSE(mode5->GetSelected());
    auto* slider = static_cast<ui::CPngHSliderBar*>(At(*page, Centre(G::kBreathingSlider)));
    EXPECT_EQ(slider->GetPos(), 4);
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(NumberBox(*page, lighting::kBlueValue), "3");
}

TEST_F(LightingPage, ChinesePlacementKeepsItsRectanglesAndPictures) {
    language.chineseMode = true;
    auto page = Make();
    EXPECT_TRUE(page->ChineseLayout());
    EXPECT_EQ(page->NormalPicture(),
              ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kLightingChinese[0])).image);
    auto* mode3 = At(*page, Centre(G::chinese::kMode3));
    EXPECT_EQ(mode3->geometry(), ui::ToQRect(G::chinese::kMode3));
    // A later change of language keeps the placement.
    language.chineseMode = false;
    tooltips.Notify();
    page->Refresh();
    EXPECT_EQ(mode3->geometry(), ui::ToQRect(G::chinese::kMode3));
    ClickPreset(*page, 0);  // the Chinese preset rectangles work
    Click(*page, lighting::kOwnColoursButton);
    ClickPreset(*page, 2);
    EXPECT_EQ(profile.settings.colours[0], PresetColour(2));
}

TEST_F(LightingPage, SkinWithoutChinesePicturesUsesTheCommonOnes) {
    TempDir dir;
    fs::create_directories(dir / "skins" / "Light");
    for (const auto name : skin::kLighting)
        fs::copy_file(ui::SkinPath(AppFolder(), name), ui::SkinPath(dir.path(), name));
    language.chineseMode = true;
    auto page = Make(dir.path());
    EXPECT_EQ(page->NormalPicture(),
              ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kLighting[0])).image);
}

TEST_F(LightingPage, PointerGivesHintsAndTheCrossOverTheWheel) {
    auto page = Make();  // colour cycle without own colours: brightness disabled
    ASSERT_FALSE(At(*page, Centre(G::kBrightnessSlider))->isEnabled());
    struct Case {
        QPoint at;
        std::vector<int> hints;
    };
    const Case cases[] = {
        {Centre(G::kBrightnessSlider), {32}},  // a disabled slider
        {Centre(G::kMode5SpeedSlider), {36}},
        {Centre(G::kOwnColours), {34}},
        {Centre(G::kRedValue), {}},
        {Centre(G::kLabels[4]), {87}},
        {QPoint(G::kMode1.right, G::kMode1.top), {31}},  // the one-pixel margin
    };
    for (const Case& c : cases) {
        HintsPosted();
        QTest::mouseMove(page.get(), c.at);
        EXPECT_EQ(HintsPosted(), c.hints) << c.at.x() << "," << c.at.y();
    }
    Click(*page, lighting::kOwnColoursButton);
    HintsPosted();
    QTest::mouseMove(page.get(), Centre(G::kOwnColours) + QPoint(1, 0));
    EXPECT_EQ(HintsPosted(), std::vector<int>{35});

    QTest::mouseMove(page.get(), QPoint(831, 323));
    Pump();
    EXPECT_EQ(page->cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(page.get(), QPoint(775, 268));  // in the box, outside the ellipse
    Pump();
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LightingPage, TooltipsFollowTheLanguage) {
    auto page = Make();
    QWidget* mode1 = At(*page, Centre(G::kMode1));
    EXPECT_EQ(mode1->toolTip().toStdU16String(), language.table.Text("str_led_brealways"));
    EXPECT_FALSE(mode1->toolTip().isEmpty());
    language.table.Set("str_led_brealways", u"Immer an");
    tooltips.Notify();
    EXPECT_EQ(mode1->toolTip(), "Immer an");
}

}  // namespace
}  // namespace qx::test
