// The lighting page as a person uses it: qx-driver on a private X server,
// clicks through XTest, Apply; then what the virtual mouse holds and what
// the profile file says.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "lighting/LightingLayout.h"
#include "tests/common/DriverSession.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverSession;
namespace G = layout::lighting_page;

constexpr int kLightingTabX = 294, kLightingTabY = 103;
constexpr int kApplyX = 880, kApplyY = 612;
constexpr layout::Rect kPages = layout::main_window::kPages;

class LightingEndToEnd : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        session = std::make_unique<DriverSession>(Server());
        ASSERT_TRUE(session->Start());
        ASSERT_NE(session->WaitForWindow(), 0u);
        ASSERT_TRUE(session->WaitForTrace(2, 5s));  // the version query
        session->Click(kLightingTabX, kLightingTabY);
    }

    // A click on the page, in page pixels.
    void ClickPage(int x, int y) { session->Click(kPages.left + x, kPages.top + y); }
    void ClickPage(const layout::Rect& r) {
        ClickPage((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(lighting::Control control) { ClickPage(lighting::kControls[control].english); }

    // Apply, and wait until the pass has reached the mouse and the profile is saved.
    void Apply() {
        const auto profile = session->DataFolder() / "Profile" / "Profile1.cfg";
        fs::remove(profile);
        session->Click(kApplyX, kApplyY);
        ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(profile); }, 20s));
        ASSERT_TRUE(session->WaitForNoWindow("OrvikProcessDlg", 5s));
    }
    std::string Field(const std::string& dump, const std::string& name) {
        const auto at = dump.find("\"" + name + "\": ");
        if (at == std::string::npos) return {};
        const auto start = at + name.size() + 4;
        return dump.substr(start, dump.find_first_of(",}", start) - start);
    }
    std::string ProfileShow() { return session->Qxctl({"profile", "show"}).out; }

    std::unique_ptr<DriverSession> session;
};

TEST_F(LightingEndToEnd, ColourCycleWithOwnColoursFromThreePresets) {
    Click(lighting::kMode5Button);
    Click(lighting::kOwnColoursButton);
    const int presets[3] = {4, 11, 18};
    for (int slot = 0; slot < 3; ++slot) {
        Click(static_cast<lighting::Control>(lighting::kSlot0Swatch + slot));
        ClickPage(G::PresetRect(presets[slot]));
    }
    Apply();

    const std::string dump = session->Dump();
    EXPECT_EQ(Field(dump, "effect"), "\"050401\"");  // mode 5, stored speed 4, own colours
    // Presets 4, 11 and 18 as red, green, blue each, then zeros.
    EXPECT_EQ(Field(dump, "colours"), "\"C1F009006FF9FA637D" + std::string(46, '0') + "\"");
    EXPECT_EQ(Field(dump, "led_colour"), "\"00FF00\"");  // slot 3: red, sent green first
    EXPECT_EQ(Field(dump, "touch"), "\"A0\"");

    const std::string shown = ProfileShow();
    EXPECT_NE(shown.find("mode 5, own colours on"), std::string::npos) << shown;
    EXPECT_NE(shown.find("#C1F009(preset 4) #006FF9(preset 11) #FA637D(preset 18)"),
              std::string::npos)
        << shown;
}

TEST_F(LightingEndToEnd, SteadyLightTakesTheColourUnderTheWheelPointer) {
    Click(lighting::kMode1Button);
    const int x = 800, y = 290;  // on the wheel, away from its centre
    ClickPage(x, y);
    Click(lighting::kBodyOffButton);
    Apply();

    const QImage picture =
        ui::LoadSkinPicture(ui::SkinPath(session->AppFolder(), skin::kLighting[0])).image;
    const QColor pixel = picture.pixelColor(x, y);
    char expected[16];
    std::snprintf(expected, sizeof expected, "\"%02X%02X%02X\"", pixel.green(), pixel.red(),
                  pixel.blue());
    const std::string dump = session->Dump();
    EXPECT_EQ(Field(dump, "led_colour"), expected);
    EXPECT_EQ(Field(dump, "effect"), "\"010501\"");  // steady, brightness 5
    EXPECT_EQ(Field(dump, "touch"), "\"B0\"");
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X(wheel", pixel.red(), pixel.green(),
                  pixel.blue());
    const std::string shown = ProfileShow();
    EXPECT_NE(shown.find(std::string("mode 1")), std::string::npos) << shown;
    EXPECT_NE(shown.find(colour), std::string::npos) << shown;
}

}  // namespace
}  // namespace qx
