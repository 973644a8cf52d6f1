#include <gtest/gtest.h>

#include <QImage>

#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
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
        {skin::kEditorFrame, L::editor::kFrameSize}, {skin::kComboTab, L::editor::kTabSize},
        {skin::kMacroTab, L::editor::kTabSize},      {skin::kBaseTab, L::editor::kTabSize},
        {skin::kAdvancedTab, L::editor::kTabSize},   {skin::kInfo, L::info_box::kSize},
        {skin::kInfoCancel, L::info_box::kSize},     {skin::kLighting, L::lighting_page::kSize},
        {skin::kMacroPage, L::macro_page::kSize},    {skin::kModelChooser, L::model_chooser::kSize},
        {skin::kTrophies, L::trophies_page::kSize},  {skin::kSupport, L::support_page::kSize},
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

TEST(InstalledSkins, PressedControlsDifferFromTheirRestingLook) {
    // The three pictures must really differ at a control's rectangle,
    // otherwise hover and press would be invisible.
    const QImage normal = ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kInfo[0])).image;
    const QImage over = ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kInfo[1])).image;
    const QImage down = ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kInfo[2])).image;
    const QRect ok = ui::ToQRect(L::info_box::kOkAlone);
    EXPECT_NE(ui::CutImage(normal, ok), ui::CutImage(over, ok));
    EXPECT_NE(ui::CutImage(normal, ok), ui::CutImage(down, ok));
    EXPECT_NE(ui::CutImage(over, ok), ui::CutImage(down, ok));
    // Outside the controls the pictures agree, so cut images fit together.
    const QRect body(20, 40, 40, 40);
    EXPECT_EQ(ui::CutImage(normal, body), ui::CutImage(down, body));
}

}  // namespace
}  // namespace qx::test
