// The buttons page as a person uses it: qx-driver on a private X server with a
// virtual mouse, clicked and typed at through XTest; checked by what the mouse
// stores and what the profile file holds after Apply.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <thread>

#include "tests/common/DriverSession.h"
#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverSession;

namespace P = layout::settings_page;
namespace E = layout::editor;

// The page's place in the main window, and Apply.
constexpr int kPageX = 17, kPageY = 128;
constexpr int kApplyX = 880, kApplyY = 612;
constexpr char kEditorTitle[] = "Button function";  // str_panel in English

struct Point {
    int x, y;
};

Point Centre(const layout::Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The value of a "key": "hex" field of the mouse's dump; empty when absent.
std::string Field(const std::string& json, const std::string& key) {
    std::smatch m;
    if (std::regex_search(json, m, std::regex("\"" + key + "\": (\"[0-9A-F]*\"|[-0-9]+|null)")))
        return m[1].str();
    return {};
}

// Entry i of the key matrix as hex; its index is the mouse's, not the button's.
std::string MatrixEntry(const std::string& json, int index) {
    const std::string matrix = Field(json, "key_matrix");
    if (matrix.size() != 2 + 128) return {};
    return matrix.substr(1 + static_cast<std::size_t>(index) * 8, 8);
}

class ButtonsEndToEnd : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        session = std::make_unique<DriverSession>(Server());
        ASSERT_TRUE(session->Start());
        mainWindow = session->WaitForWindow();
        ASSERT_NE(mainWindow, 0u);
        ASSERT_TRUE(session->WaitForTrace(2, 10s));  // connected: the version was read
    }

    void ClickPage(Point p) { session->Click(kPageX + p.x, kPageY + p.y); }

    // Presses the assignment tab and waits for the editor; afterwards
    // ClickEditor works in the editor's own coordinates.
    void OpenEditor(int button) {
        const auto& x = P::kTabX[static_cast<std::size_t>(button)];
        ClickPage({(x[0] + x[1] + x[2] + x[3]) / 4, (P::kTabTop + P::kTabBottom) / 2});
        const auto editor = session->WaitForWindow(kEditorTitle, 10s);
        ASSERT_NE(editor, 0u);
        const auto e = session->Geometry(editor);
        const auto m = session->Geometry(mainWindow);
        ASSERT_TRUE(e && m);
        editorAt = {e->x - m->x, e->y - m->y};
    }
    void ClickEditor(Point p) { session->Click(editorAt.x + p.x, editorAt.y + p.y); }
    void PressOk() {
        ClickEditor(Centre(E::kOkButton));
        ASSERT_TRUE(session->WaitForNoWindow(kEditorTitle, 10s));
    }

    // Apply, then wait until the pass has ended and the profile is saved.
    void Apply() {
        const fs::path profile = session->DataFolder() / "Profile" / "Profile1.cfg";
        fs::remove(profile);
        session->Click(kApplyX, kApplyY);
        ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(profile); }, 30s));
        ASSERT_TRUE(session->WaitForNoWindow("OrvikProcessDlg", 10s));
    }
    std::string Profile() { return session->Qxctl({"profile", "show", "--json"}).out; }
    // With QX_SCREENSHOT_DIR set, the whole screen as it stands, for a look.
    void Screenshot(const std::string& name) {
        if (const char* folder = std::getenv("QX_SCREENSHOT_DIR"))
            test::RunProgram("/usr/bin/import",
                             {"-window", "root", (fs::path(folder) / (name + ".png")).string()},
                             Server().ChildEnvironment(), 20s);
    }

    std::unique_ptr<DriverSession> session;
    unsigned long mainWindow = 0;
    Point editorAt{};
};

TEST_F(ButtonsEndToEnd, EditorAssignmentsReachTheMouseOnApply) {
    // Right button: basic tab, "Show desktop" (Win + D).
    OpenEditor(2);
    ClickEditor(Centre(E::kTabs[2]));
    ClickEditor({E::kTabOrigin.x + 100, E::kTabOrigin.y + 3 * 18 + 9});  // the fourth entry
    PressOk();

    // Middle button: key combination tab, Shift held and A pressed.
    OpenEditor(1);
    std::this_thread::sleep_for(300ms);
    session->Xdotool({"keydown", "shift"});
    session->Xdotool({"key", "a"});
    session->Xdotool({"keyup", "shift"});
    std::this_thread::sleep_for(500ms);  // the input tap's thread posts the keys
    Screenshot("xvfb-editor-combination");
    PressOk();

    // Nothing reaches the mouse before Apply.
    EXPECT_EQ(Field(session->Dump(), "key_matrix"), "null");
    Apply();
    std::string dump;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            dump = session->Dump();
            return Field(dump, "key_matrix") != "null";
        },
        10s));
    EXPECT_EQ(MatrixEntry(dump, 1), "00080700") << dump;  // right button: Win + D
    EXPECT_EQ(MatrixEntry(dump, 2), "00020400") << dump;  // middle button: Shift + A
    EXPECT_EQ(MatrixEntry(dump, 0), "0100F000") << dump;  // left button untouched

    const std::string profile = Profile();
    EXPECT_NE(profile.find("\"name\":\"Show desktop\""), std::string::npos) << profile;
    EXPECT_NE(profile.find("\"name\":\"Shift + A\""), std::string::npos) << profile;
}

TEST_F(ButtonsEndToEnd, DpiLevelsAndTheWholeScreenWheel) {
    auto box = [](int value) {
        for (std::size_t i = 0; i < P::kDpiValues.size(); ++i)
            if (P::kDpiValues[i] == value) return Centre(P::kDpiBoxes[i]);
        return Point{};
    };
    // From the default seven levels down to 4000 alone, then 500 and 7000.
    for (int value : {750, 1250, 1500, 2000, 2500, 3500}) ClickPage(box(value));
    ClickPage(box(7000));
    ClickPage(box(4000));
    ClickPage(box(500));
    ClickPage(Centre(P::kWheelScreen[1]));  // the English layout
    Screenshot("xvfb-buttons-page");
    Apply();

    std::string dump;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            dump = session->Dump();
            return Field(dump, "dpi_table") != "null";
        },
        10s));
    // Codes 2 (500) and 46 (7000), five unused levels, 0x02, all twice.
    EXPECT_EQ(Field(dump, "dpi_table"), "\"022E808080808002022E808080808002\"") << dump;
    EXPECT_EQ(Field(dump, "dpi_level"), "2") << dump;

    const std::string profile = Profile();
    EXPECT_NE(profile.find("\"scrollLines\":-1"), std::string::npos) << profile;
    EXPECT_NE(profile.find("\"dpiLevels\":[500,7000]"), std::string::npos) << profile;
}

}  // namespace
}  // namespace qx
