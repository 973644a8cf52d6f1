// The macro page as a person uses it: qx-driver on a private X server against
// a virtual mouse, keys and clicks through XTest, the keys seen by the global
// input tap. Checked by what Macro.cfg holds (qxctl), what the page shows (its
// painted-text file) and what the mouse holds after Apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "app/FirstStart.h"
#include "base/DataFile.h"
#include "base/ProfileRecord.h"
#include "macro/MacroPageLayout.h"
#include "macro/MacroTable.h"
#include "tests/common/DriverSession.h"
#include "tests/common/MacroBuilder.h"
#include "tests/macro/KeyCatcher.h"
#include "ui/layout/SkinLayout.h"

namespace qx::macro {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverOptions;
using test::DriverSession;

constexpr int kPageX = 17, kPageY = 128;
constexpr int kMacroTabX = 470, kMacroTabY = 103;
constexpr int kApplyX = 880, kApplyY = 612;
constexpr char kInfoBox[] = "OrvikInfoDlg";
constexpr int kBoxOkX = 273, kBoxOkY = 143;  // the skinned box's one OK

struct Point {
    int x, y;
};
Point Centre(Control c) {
    const layout::Rect& r = kControls[c].rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
    return out;
}

std::string Squeeze(std::string s) {
    s.erase(std::unique(s.begin(), s.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
            s.end());
    return s;
}

class MacroPageEndToEnd : public test::XvfbTest {
protected:
    // Starts the utility on the macro page, with the data folder prepared by
    // `prepare` (after the first start's files are laid down).
    template <class Prepare>
    void Start(Prepare prepare) {
        DriverOptions options;
        options.environment = {{"QX_TEST_PAINTED_TEXT_FILE", painted.string()}};
        session = std::make_unique<DriverSession>(Server(), options);
        LayDownDataFolder(session->DataFolder(), false);
        prepare(session->DataFolder());
        ASSERT_TRUE(session->Start());
        mainWindow = session->WaitForWindow();
        ASSERT_NE(mainWindow, 0u);
        ASSERT_TRUE(session->WaitForTrace(2, 10s));
        session->Click(kMacroTabX, kMacroTabY);
        ASSERT_TRUE(test::WaitUntil([&] { return !ReadText(painted).empty(); }, 10s));
    }
    void Start() {
        Start([](const fs::path&) {});
    }
    void ClickPage(Point p) { session->Click(kPageX + p.x, kPageY + p.y); }
    void ClickPage(Control c) { ClickPage(Centre(c)); }
    // The page's painted text once it holds the line.
    bool PageShows(const std::string& line, std::chrono::milliseconds timeout = 10s) {
        return test::WaitUntil(
            [&] { return ReadText(painted).find(line + "\n") != std::string::npos; }, timeout);
    }
    std::vector<std::string> PageEvents() { return Lines(ReadText(painted), "event "); }
    std::vector<std::string> PageMacros() { return Lines(ReadText(painted), "macro "); }
    std::string Qxctl(const std::vector<std::string>& args) { return session->Qxctl(args).out; }
    // "1  press     A" ... of qxctl macro show, as "press A".
    std::vector<std::string> StoredEvents(const std::string& id) {
        std::vector<std::string> out;
        std::istringstream in(Qxctl({"macro", "show", id}));
        std::string line;
        std::getline(in, line);  // the macro's own line
        while (std::getline(in, line)) {
            std::smatch m;
            if (std::regex_match(line, m, std::regex(" *[0-9]+  (.*)")))
                out.push_back(Squeeze(m[1]));
        }
        return out;
    }
    std::vector<std::string> PageEventsSqueezed() {
        auto events = PageEvents();
        for (auto& e : events) e = Squeeze(e);
        return events;
    }
    void DismissInfoBox() {
        const auto box = session->WaitForWindow(kInfoBox, 10s);
        ASSERT_NE(box, 0u);
        session->ClickIn(box, kBoxOkX, kBoxOkY);
        ASSERT_TRUE(session->WaitForNoWindow(kInfoBox, 10s));
    }
    // Types the path into the open file dialog and confirms it.
    bool AnswerFileDialog(const std::string& title, const fs::path& path) {
        if (session->WaitForWindow(title, 10s) == 0) return false;
        std::this_thread::sleep_for(300ms);  // the name field takes the focus
        session->Xdotool({"type", "--delay", "5", path.string()});
        session->Key("Return");
        return session->WaitForNoWindow(title, 10s);
    }
    // Confirms the standard "Info" box of an exchange result.
    bool ConfirmInfo() {
        if (session->WaitForWindow("Info", 10s) == 0) return false;
        std::this_thread::sleep_for(200ms);
        session->Key("Return");
        return session->WaitForNoWindow("Info", 5s);
    }
    void Screenshot(const std::string& name) {
        if (const char* folder = std::getenv("QX_SCREENSHOT_DIR"))
            test::RunProgram("/usr/bin/import",
                             {"-window", "root", (fs::path(folder) / (name + ".png")).string()},
                             Server().ChildEnvironment(), 20s);
    }

    test::TempDir scratch;
    fs::path painted = scratch / "painted.txt";
    std::unique_ptr<DriverSession> session;
    unsigned long mainWindow = 0;
};

void WriteMacros(const fs::path& dataFolder, std::vector<std::unique_ptr<MacroEntry>> records) {
    MacroTable table;
    for (const auto& r : records) table.StoreRecord(*r);
    const auto bytes = table.Bytes();
    test::WriteBytes(dataFolder / "Macro.cfg", bytes.data(), bytes.size());
}

TEST_F(MacroPageEndToEnd, RecordsAKeyHeldForASecondAndTheRightButtonPicture) {
    Start();
    test::KeyCatcher catcher(Server().Name());
    ASSERT_TRUE(catcher.Ok());

    ClickPage(kNewMacroButton);
    ASSERT_TRUE(PageShows("macros 1 selected 0"));
    ClickPage(kRecordButton);
    ASSERT_TRUE(PageShows("record Stop Record"));
    const std::string id = PageMacros().at(0).substr(0, 10);
    EXPECT_EQ(id.substr(0, 4), "0x16");

    catcher.TakeFocus();
    session->Xdotool({"keydown", "a"});
    const auto down = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(1000ms);
    session->Xdotool({"keyup", "a"});
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - down)
                          .count();
    ASSERT_TRUE(PageShows("events 3 selected 2"));
    ClickPage(kRecordButton);
    ASSERT_TRUE(PageShows("record Start Record"));

    // The page, Macro.cfg and qxctl agree: press, about a second, release.
    const auto stored = StoredEvents(id);
    ASSERT_EQ(stored.size(), 3u) << Qxctl({"macro", "show", id});
    EXPECT_EQ(stored[0], "press A");
    EXPECT_EQ(stored[2], "release A");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(stored[1], m, std::regex("delay ([0-9]+) ms")));
    const long delay = std::stol(m[1]);
    EXPECT_GE(delay, 900);
    EXPECT_LE(delay, held + 400);
    EXPECT_EQ(PageEventsSqueezed(),
              (std::vector<std::string>{"press A", "delay " + m[1].str() + " ms", "release A"}));
    // The tap took the key; the focused window still got it (with the
    // server's automatic repeats, which come as release and press pairs).
    const auto [presses, releases] = catcher.Seen('a');
    EXPECT_GE(releases, 1);
    EXPECT_EQ(presses, releases);

    // A second recording: the right button's picture, pressed and released.
    ClickPage(kRecordButton);
    ASSERT_TRUE(PageShows("record Stop Record"));
    const Point right = Centre(kPickerRight);
    session->Press(kPageX + right.x, kPageY + right.y);
    std::this_thread::sleep_for(200ms);
    session->Release();
    ASSERT_TRUE(PageShows("events 3 selected 2"));
    Screenshot("xvfb-macro-recording");
    ClickPage(kRecordButton);
    ASSERT_TRUE(PageShows("record Start Record"));
    const auto picked = StoredEvents(id);
    ASSERT_EQ(picked.size(), 3u);
    EXPECT_EQ(picked[0], "press Right Button");
    EXPECT_EQ(picked[2], "release Right Button");
    EXPECT_EQ(PageEventsSqueezed(), picked);
}

TEST_F(MacroPageEndToEnd, MinecraftListsOnlyItsMacros) {
    Start([](const fs::path& data) {
        std::vector<std::unique_ptr<MacroEntry>> r;
        r.push_back(test::Record(0x11000001, {test::Press(0x41)}, u"dig"));
        r.push_back(test::Record(0x16000001, {test::Press(0x42)}, u"own"));
        r.push_back(test::Record(0x03000001, {test::Press(0x43)}, u"cs"));
        r.push_back(test::Record(0x11000002, {test::Press(0x44), test::Release(0x44)}, u"build"));
        WriteMacros(data, std::move(r));
    });
    ASSERT_TRUE(PageShows("category Customisze"));
    EXPECT_EQ(PageMacros(), std::vector<std::string>{"0x16000001 own"});

    ClickPage(kCategoryButton);
    // The menu opens under the button; Minecraft is its seventeenth line.
    const auto geometry = session->Geometry(mainWindow);
    ASSERT_TRUE(geometry);
    const layout::Rect& button = kControls[kCategoryButton].rect;
    std::this_thread::sleep_for(500ms);
    session->Click(kPageX + button.left + 1 + 20, kPageY + button.bottom + 1 + 1 + 16 * 22 + 11);
    ASSERT_TRUE(PageShows("category Minecraft"));
    EXPECT_EQ(PageMacros(), (std::vector<std::string>{"0x11000001 dig", "0x11000002 build"}));
    EXPECT_TRUE(PageShows("macros 2 selected 1"));
    EXPECT_EQ(PageEventsSqueezed(), (std::vector<std::string>{"press D", "release D"}));
}

TEST_F(MacroPageEndToEnd, AMacroInUseInAnyProfileCannotBeDeleted) {
    Start([](const fs::path& data) {
        std::vector<std::unique_ptr<MacroEntry>> r;
        r.push_back(test::Record(0x16000001, {test::Press(0x41)}, u"free"));
        r.push_back(test::Record(0x16000002, {test::Press(0x42)}, u"used"));
        WriteMacros(data, std::move(r));
        // The fourth profile, not the active one, gives it to its back button.
        ProfileTable table{};
        const fs::path file = data / "Profile" / "ConfigInfo.cfg";
        ASSERT_TRUE(ReadFilePrefix(file, AsWritableBytes(table)).ok());
        table.entries[3].macroIds[4] = 0x16000002;
        test::WriteBytes(file, &table, sizeof table);
    });
    ASSERT_TRUE(PageShows("macros 2 selected 1"));
    ClickPage(kDeleteMacroButton);
    DismissInfoBox();
    EXPECT_NE(Qxctl({"macro", "list"}).find("0x16000002"), std::string::npos);
    EXPECT_TRUE(PageShows("macros 2 selected 1"));

    // The free one goes.
    const auto& list = kControls[kMacroList].rect;
    ClickPage(Point{list.left + 40, list.top + 9});
    ASSERT_TRUE(PageShows("macros 2 selected 0"));
    ClickPage(kDeleteMacroButton);
    ASSERT_TRUE(PageShows("macros 1 selected -1"));
    const std::string listed = Qxctl({"macro", "list"});
    EXPECT_EQ(listed.find("0x16000001"), std::string::npos) << listed;
    EXPECT_NE(listed.find("0x16000002"), std::string::npos) << listed;
}

// Import, export, rename and delete through the desktop's dialogs and the
// list's in-place editor.
TEST_F(MacroPageEndToEnd, ImportExportRenameAndDeleteAMacro) {
    Start();
    const fs::path prepared = scratch / "from a friend.cfg";
    auto record = test::Record(0x03ABCDEF, {test::Press(0x41), test::Release(0x41)}, u"spray");
    test::WriteBytes(prepared, record.get(), sizeof(MacroEntry));

    // An import shows the macro's game.
    ClickPage(kImportButton);
    ASSERT_TRUE(AnswerFileDialog("Open", prepared));
    ASSERT_TRUE(PageShows("category Counter-Strike: Global Offensive"));
    EXPECT_EQ(PageMacros(), std::vector<std::string>{"0x03ABCDEF spray"});
    EXPECT_EQ(PageEventsSqueezed(), (std::vector<std::string>{"press A", "release A"}));

    // Export writes the slot byte for byte.
    const fs::path exported = session->Root() / "spray.cfg";
    ClickPage(kExportButton);
    ASSERT_TRUE(AnswerFileDialog("Save As", session->Root() / "spray"));
    ASSERT_TRUE(ConfirmInfo());
    EXPECT_EQ(test::ReadBytes(exported), test::ReadBytes(prepared));

    // A double click renames it; the name is taken when the editor loses the focus.
    const auto& list = kControls[kMacroList].rect;
    const Point first{list.left + 40, list.top + 9};
    session->Xdotool({"mousemove", "--window", std::to_string(mainWindow),
                      std::to_string(kPageX + first.x), std::to_string(kPageY + first.y), "click",
                      "--repeat", "2", "--delay", "80", "1"});
    std::this_thread::sleep_for(300ms);
    session->Xdotool({"windowfocus", "--sync", std::to_string(mainWindow)});
    session->Key("ctrl+a");
    session->Xdotool({"type", "--delay", "20", "Recoil"});
    ClickPage(Point{list.left + 40, list.bottom - 20});
    ASSERT_TRUE(PageShows("macro 0x03ABCDEF Recoil"));
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return Qxctl({"macro", "list"}).find("Recoil") != std::string::npos;
        },
        5s));
    EXPECT_EQ(StoredEvents("0x03ABCDEF"), (std::vector<std::string>{"press A", "release A"}));

    // Delete, then the exported file brings it back under its old name.
    ClickPage(first);
    ClickPage(kDeleteMacroButton);
    ASSERT_TRUE(PageShows("macros 0 selected -1"));
    EXPECT_EQ(Qxctl({"macro", "list"}).find("0x03ABCDEF"), std::string::npos);
    ClickPage(kImportButton);
    ASSERT_TRUE(AnswerFileDialog("Open", exported));
    ASSERT_TRUE(PageShows("macro 0x03ABCDEF spray"));
    EXPECT_NE(Qxctl({"macro", "list"}).find("spray"), std::string::npos);
}

// Two thousand key events: the recording ends at the limit, says so once, and
// Macro.cfg holds a whole, loadable macro.
TEST_F(MacroPageEndToEnd, ARecordingOfTwoThousandKeyEventsEndsAtTheLimit) {
    Start([](const fs::path& data) {
        std::vector<std::unique_ptr<MacroEntry>> r;
        r.push_back(test::Record(0x16000001, {test::Press(0x42)}, u"long"));
        WriteMacros(data, std::move(r));
    });
    test::KeyCatcher catcher(Server().Name());
    ASSERT_TRUE(catcher.Ok());
    ClickPage(kRecordButton);
    ASSERT_TRUE(PageShows("record Stop Record"));
    catcher.TakeFocus();
    std::vector<std::string> keys = {"key", "--delay", "1"};
    for (int i = 0; i < 1000; ++i) keys.push_back(i % 2 ? "b" : "a");
    session->Xdotool(keys);

    ASSERT_NE(session->WaitForWindow(kInfoBox, 30s), 0u);
    Screenshot("xvfb-macro-full");
    DismissInfoBox();
    ASSERT_TRUE(PageShows("record Start Record"));
    ASSERT_TRUE(PageShows("events 999 selected 998"));
    // Only one box: none comes after the first is closed.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(session->WaitForWindow(kInfoBox, 200ms), 0u);

    const auto list = Qxctl({"macro", "list"});
    EXPECT_NE(list.find("events  999"), std::string::npos) << list;
    const auto stored = StoredEvents("0x16000001");
    ASSERT_EQ(stored.size(), 999u);
    EXPECT_EQ(stored.front(), "press A");
    EXPECT_EQ(stored.back(),
              "release B");  // the 500th key event, a delay before each but the first
    EXPECT_EQ(PageEventsSqueezed(), stored);
    EXPECT_EQ(test::ReadBytes(session->DataFolder() / "Macro.cfg").size(), kMacroFileSize);
}

// A macro given to a button on the buttons page reaches the mouse on Apply
// exactly as qxctl encodes it.
TEST_F(MacroPageEndToEnd, AnAssignedMacroReachesTheMouseAsEncoded) {
    Start([](const fs::path& data) {
        std::vector<std::unique_ptr<MacroEntry>> r;
        r.push_back(test::Record(
            0x16000001,
            {test::Press(0x41), test::Pause(100), test::Release(0x41), test::Position(-5, 300)},
            u"aim", 3));
        WriteMacros(data, std::move(r));
    });
    ASSERT_TRUE(PageShows("events 4 selected 3"));
    EXPECT_EQ(PageEventsSqueezed(), (std::vector<std::string>{"press A", "delay 100 ms",
                                                              "release A", "position (-5, 300)"}));
    EXPECT_EQ(StoredEvents("0x16000001"), PageEventsSqueezed());

    // Buttons page, right button's editor, macro tab, own macros, the macro.
    namespace P = layout::settings_page;
    namespace E = layout::editor;
    session->Click(120, 103);
    const auto& x = P::kTabX[2];
    session->Click(kPageX + (x[0] + x[1] + x[2] + x[3]) / 4,
                   kPageY + (P::kTabTop + P::kTabBottom) / 2);
    const auto editor = session->WaitForWindow("Button function", 10s);
    ASSERT_NE(editor, 0u);
    auto clickEditor = [&](int ex, int ey) { session->ClickIn(editor, ex, ey); };
    clickEditor((E::kTabs[1].left + E::kTabs[1].right) / 2,
                (E::kTabs[1].top + E::kTabs[1].bottom) / 2);
    clickEditor(E::kTabOrigin.x + E::kCategoryList.left + 40,
                E::kTabOrigin.y + E::kCategoryList.top + 8);
    session->Xdotool({"windowfocus", "--sync", std::to_string(editor)});
    session->Key("End");  // the last category: the player's own
    std::this_thread::sleep_for(300ms);
    clickEditor(E::kTabOrigin.x + E::kMacroList.left + 40, E::kTabOrigin.y + E::kMacroList.top + 8);
    clickEditor((E::kOkButton.left + E::kOkButton.right) / 2,
                (E::kOkButton.top + E::kOkButton.bottom) / 2);
    ASSERT_TRUE(session->WaitForNoWindow("Button function", 10s));

    const fs::path profile = session->DataFolder() / "Profile" / "Profile1.cfg";
    fs::remove(profile);
    session->Click(kApplyX, kApplyY);
    ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(profile); }, 30s));
    ASSERT_TRUE(session->WaitForNoWindow("OrvikProcessDlg", 10s));
    std::string dump;
    std::smatch slot;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            dump = session->Dump();
            return std::regex_search(dump, slot, std::regex("\"1\": \"([0-9A-Fa-f]+)\""));
        },
        10s))
        << dump;
    const std::string encoded = Qxctl({"macro", "encode", "0x16000001"});
    std::smatch image;
    ASSERT_TRUE(std::regex_search(encoded, image, std::regex("image ([0-9a-f]+)"))) << encoded;
    std::string held = slot[1];
    std::transform(held.begin(), held.end(), held.begin(), ::tolower);
    EXPECT_EQ(held, image[1].str());
    // The right button plays macro slot 1 with the image's length byte.
    std::smatch length, matrix;
    ASSERT_TRUE(std::regex_search(encoded, length, std::regex("lengthByte 0x([0-9a-f]{2})")));
    ASSERT_TRUE(std::regex_search(dump, matrix, std::regex("\"key_matrix\": \"([0-9A-F]+)\"")));
    std::string entry = matrix[1].str().substr(8, 8);  // the mouse's index 1: the right button
    std::transform(entry.begin(), entry.end(), entry.begin(), ::tolower);
    EXPECT_EQ(entry, "090001" + length[1].str());
    // The macro can no longer be deleted: the active profile's button uses it.
    session->Click(kMacroTabX, kMacroTabY);
    ClickPage(kDeleteMacroButton);
    DismissInfoBox();
    EXPECT_NE(Qxctl({"macro", "list"}).find("0x16000001"), std::string::npos);
}

}  // namespace
}  // namespace qx::macro
