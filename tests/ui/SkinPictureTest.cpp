#include <gtest/gtest.h>

#include <QImage>

#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::test {
namespace {

namespace L = layout;

TEST(LoadSkinPicture, MissingOrBrokenFileIsNoPictureOfSizeZero) {
    TempDir dir;
    auto none = ui::LoadSkinPicture(dir / "absent.bmp");
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    WriteText(dir / "broken.bmp", "BM not really a bitmap");
    EXPECT_TRUE(ui::LoadSkinPicture(dir / "broken.bmp").IsNull());
    EXPECT_TRUE(ui::LoadSkinPicture(dir / "no-such-folder" / "x.png").IsNull());
}

TEST(LoadSkinPicture, ReadsBmpAndPngAndMatchesNamesWithoutCase) {
    TempDir dir;
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(QString::fromStdString((dir / "Info_Normal.bmp").string()), "BMP"));
    ASSERT_TRUE(img.save(QString::fromStdString((dir / "Slider.png").string()), "PNG"));
    for (const char* name : {"Info_Normal.bmp", "info_normal.BMP", "Slider.png", "SLIDER.PNG"}) {
        const auto pic = ui::LoadSkinPicture(dir / name);
        EXPECT_EQ(pic.width, 7) << name;
        EXPECT_EQ(pic.height, 5) << name;
        EXPECT_EQ(pic.image.pixelColor(3, 3), QColor(Qt::red)) << name;
    }
}

TEST(LoadSkinPicture, MousePictureComesFromTheModelFolder) {
    // deviceModel QX300: skins/QX300/Mouse_Normal.bmp and its two siblings.
    const auto folder = AppFolder() / "skins" / "QX300";
    for (auto name : skin::kMouse) {
        const auto pic = ui::LoadSkinPicture(folder / std::string(name));
        EXPECT_EQ(pic.width, L::mouse_picture::kSize.width) << name;
        EXPECT_EQ(pic.height, L::mouse_picture::kSize.height) << name;
    }
}

TEST(CompiledInPictures, EveryNumberLoadsWithItsSize) {
    struct Expect {
        int first, last;
        L::Size size;
    };
    const Expect table[] = {
        {129, 129, {65, 65}},
        {130, 141, L::kLanguageIcon},
        {142, 153, L::kLanguageLabel},
        {154, 159, L::main_window::kSize},
        {160, 165, L::settings_page::kSize},
        {166, 166, L::kScrollPicture},
        {1011, 1012, {16, 16}},
    };
    for (const auto& e : table)
        for (int n = e.first; n <= e.last; ++n) {
            const auto pic = ui::LoadResourcePicture(n);
            EXPECT_EQ(pic.width, e.size.width) << n;
            EXPECT_EQ(pic.height, e.size.height) << n;
        }
    EXPECT_FALSE(ui::LoadResourcePicture(128).IsNull());
    EXPECT_TRUE(ui::LoadResourcePicture(4242).IsNull());
}

TEST(InstalledSkins, EveryWindowPictureHasTheSizeItsLayoutNeeds) {
    struct Triple {
        const std::string_view* files;
        L::Size size;
    };
    const Triple triples[] = {
        {skin::kEditorFrame, L::editor::kFrameSize},
        {skin::kComboTab, L::editor::kTabSize},
        {skin::kMacroTab, L::editor::kTabSize},
        {skin::kBaseTab, L::editor::kTabSize},
        {skin::kAdvancedTab, L::editor::kTabSize},
        {skin::kInfo, L::info_box::kSize},
        {skin::kInfoCancel, L::info_box::kSize},
        {skin::kLighting, L::lighting_page::kSize},
        {skin::kMacroPage, L::macro_page::kSize},
        {skin::kModelChooser, L::model_chooser::kSize},
        {skin::kTrophies, L::trophies_page::kSize},
        {skin::kSupport, L::support_page::kSize},
        {skin::kLightingChinese, L::lighting_page::kSize},
        {skin::kMacroPageChinese, L::macro_page::kSize},
        {skin::kTrophiesChinese, L::trophies_page::kSize},
    };
    for (const auto& t : triples)
        for (int s = 0; s < 3; ++s) {
            const auto pic = ui::LoadSkinPicture(ui::SkinPath(AppFolder(), t.files[s]));
            EXPECT_EQ(pic.width, t.size.width) << t.files[s];
            EXPECT_EQ(pic.height, t.size.height) << t.files[s];
        }
    for (int level = 0; level < L::trophies_page::kLevels; ++level) {
        const auto path =
            AppFolder() / "skins" / "trophy" / ("trophy" + std::to_string(level) + "Down.bmp");
        EXPECT_EQ(ui::LoadSkinPicture(path).width, L::trophies_page::kTrophyPicture.width) << level;
    }
    const auto skins = AppFolder() / "skins";
    EXPECT_EQ(ui::LoadSkinPicture(skins / "Slider.png").width, L::kSliderThumb.width);
    EXPECT_EQ(ui::LoadSkinPicture(skins / "ProgressBar" / "Progress_Over.png").width,
              L::progress_window::kSize.width);
    for (const auto& pair : skin::kEventIcons)
        for (auto name : pair)
            EXPECT_FALSE(ui::LoadSkinPicture(skins / std::string(name)).IsNull()) << name;
    for (auto name : {skin::kGameMenu[0], skin::kModelMenu[1], skin::kSubMenu[2]})
        EXPECT_FALSE(ui::LoadSkinPicture(skins / "Menu" / std::string(name)).IsNull()) << name;
}

TEST(InstalledSkins, EveryStateLooksDifferentAtTheControlsAndAlikeElsewhere) {
    // A control whose three cut images agree would show no hover or press;
    // a background that differs would show seams around the cut images.
    struct Case {
        const char* what;
        QImage normal, over, down;
        L::Rect control;
        L::Rect background;
    };
    auto files = [](const std::string_view* f, int s) {
        return ui::LoadSkinPicture(ui::SkinPath(AppFolder(), f[s])).image;
    };
    auto res = [](int n) { return ui::LoadResourcePicture(n).image; };
    auto tabBox = [](const L::Quad& q) { return L::Rect{q[0].x, q[0].y, q[2].x, q[2].y}; };
    const Case cases[] = {
        {"main tab",
         res(157),
         res(158),
         res(159),
         tabBox(L::main_window::kTabs[0]),
         {400, 300, 420, 320}},
        {"main tab zh",
         res(154),
         res(155),
         res(156),
         tabBox(L::main_window::kTabs[4]),
         {400, 300, 420, 320}},
        {"dpi box",
         res(164),
         res(165),
         res(163),
         L::settings_page::kDpiBoxes[13],
         {600, 200, 620, 220}},
        {"wheel choice zh",
         res(161),
         res(162),
         res(160),
         L::settings_page::kWheelLines[0],
         {600, 60, 620, 70}},
        {"info ok",
         files(skin::kInfo, 0),
         files(skin::kInfo, 1),
         files(skin::kInfo, 2),
         L::info_box::kOkAlone,
         {20, 130, 40, 150}},
        {"info cancel",
         files(skin::kInfoCancel, 0),
         files(skin::kInfoCancel, 1),
         files(skin::kInfoCancel, 2),
         L::info_box::kCancel,
         {20, 130, 40, 150}},
        {"editor ok",
         files(skin::kEditorFrame, 0),
         files(skin::kEditorFrame, 1),
         files(skin::kEditorFrame, 2),
         L::editor::kOkButton,
         {150, 260, 200, 290}},
        {"lighting mode",
         files(skin::kLighting, 0),
         files(skin::kLighting, 1),
         files(skin::kLighting, 2),
         L::lighting_page::kMode1,
         {40, 400, 80, 420}},
        {"macro new",
         files(skin::kMacroPage, 0),
         files(skin::kMacroPage, 1),
         files(skin::kMacroPage, 2),
         L::macro_page::kNewMacro,
         {100, 200, 120, 220}},
        {"macro import, Chinese placement",
         files(skin::kMacroPageChinese, 0),
         files(skin::kMacroPageChinese, 1),
         files(skin::kMacroPageChinese, 2),
         L::macro_page::chinese::kImport,
         {100, 200, 120, 220}},
        {"trophy reset",
         files(skin::kTrophies, 0),
         files(skin::kTrophies, 1),
         files(skin::kTrophies, 2),
         L::trophies_page::kReset,
         {320, 40, 340, 60}},
        {"support update",
         files(skin::kSupport, 0),
         files(skin::kSupport, 1),
         files(skin::kSupport, 2),
         L::support_page::kUpdate,
         {700, 20, 720, 40}},
        {"chooser selector",
         files(skin::kModelChooser, 0),
         files(skin::kModelChooser, 1),
         files(skin::kModelChooser, 2),
         L::model_chooser::kSelector,
         {20, 130, 40, 150}},
    };
    for (const auto& c : cases) {
        const QRect at = ui::ToQRect(c.control), bg = ui::ToQRect(c.background);
        EXPECT_NE(ui::CutImage(c.normal, at), ui::CutImage(c.over, at)) << c.what;
        EXPECT_NE(ui::CutImage(c.normal, at), ui::CutImage(c.down, at)) << c.what;
        EXPECT_NE(ui::CutImage(c.over, at), ui::CutImage(c.down, at)) << c.what;
        EXPECT_EQ(ui::CutImage(c.normal, bg), ui::CutImage(c.over, bg)) << c.what;
        EXPECT_EQ(ui::CutImage(c.normal, bg), ui::CutImage(c.down, bg)) << c.what;
    }
}

}  // namespace
}  // namespace qx::test
