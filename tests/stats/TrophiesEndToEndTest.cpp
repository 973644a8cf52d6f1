// The usage statistics as a person produces them: qx-driver on a private X
// server counts XTest clicks, wheel steps and pointer moves through its
// global input tap and its sampling thread, shows them on the trophies page
// and keeps them in Sts.cfg.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <filesystem>

#include "i18n/LanguageTable.h"
#include "stats/DlgSts.h"
#include "stats/UsageCounters.h"
#include "tests/common/DriverSession.h"
#include "tests/common/UiTestSupport.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DriverOptions;
using test::DriverSession;
namespace T = layout::trophies_page;

constexpr int kTrophiesTabX = 663, kTrophiesTabY = 103;
constexpr layout::Rect kPages = layout::main_window::kPages;

std::optional<UsageCounters> StoredCounters(const fs::path& dataFolder) {
    const auto bytes = test::ReadBytes(UsageCountersPath(dataFolder));
    if (bytes.size() != sizeof(UsageCounters)) return std::nullopt;
    UsageCounters c{};
    std::memcpy(&c, bytes.data(), sizeof c);
    return c;
}

// Colours only: a screenshot file and a grab differ in colour space and the like.
bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qRgb(qRed(a.pixel(x, y)), qGreen(a.pixel(x, y)), qBlue(a.pixel(x, y))) !=
                qRgb(qRed(b.pixel(x, y)), qGreen(b.pixel(x, y)), qBlue(b.pixel(x, y))))
                return false;
    return true;
}

class NoPointer final : public PointerPositionSource {
public:
    std::optional<PointerPosition> ReadPointerPosition() override { return std::nullopt; }
};

// The page as it draws these counters, rendered offscreen in this process.
QImage ReferencePage(const UsageCounters& counters) {
    Localization language;
    LoadLanguageFile(language, test::AppFolder() / "Language" / "en.xml");
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    test::TempDir data;
    test::WriteBytes(UsageCountersPath(data.path()), &counters, sizeof counters);
    NoPointer pointer;
    ui::PageEnvironment env{test::AppFolder(), {}, language, notifier, tooltips, {}};
    stats::CDlgSts page(nullptr, env, data.path(), pointer);
    return page.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class TrophiesEndToEnd : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        // Every test starts with the pointer in the middle of the screen.
        test::RunProgram("/usr/bin/xdotool", {"mousemove", "--sync", "640", "400"},
                         Server().ChildEnvironment(), 5s);
    }

    // The screen as it is now.
    QImage Screen(const DriverSession& session) {
        const fs::path file = session.Root() / "screen.png";
        test::RunProgram("/usr/bin/import", {"-window", "root", "png:" + file.string()},
                         Server().ChildEnvironment(), 10s);
        return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
    }
    // Whether the value boxes of rows 0-6 on the screen look as the reference.
    bool ShowsValues(const DriverSession& session, unsigned long window, const QImage& reference) {
        const auto g = session.Geometry(window);
        if (!g) return false;
        const QImage screen = Screen(session);
        for (int row = 0; row < T::kTravelRow; ++row) {
            const QRect r = ui::ToQRect(T::ValueRect(row, false));
            const QRect onScreen = r.translated(g->x + kPages.left, g->y + kPages.top);
            if (!SamePixels(screen.copy(onScreen), reference.copy(r))) return false;
        }
        return true;
    }
    void ClickOutsideTheWindow(const DriverSession& session, int button, int times) {
        session.Xdotool({"mousemove", "--sync", "20", "20"});
        for (int i = 0; i < times; ++i) session.Xdotool({"click", std::to_string(button)});
    }
};

TEST_F(TrophiesEndToEnd, ClicksAndWheelStepsAreShownAndKeptAfterExit) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    const auto window = session.WaitForWindow();
    ASSERT_NE(window, 0u);
    session.Click(kTrophiesTabX, kTrophiesTabY);  // the first of three left clicks
    ClickOutsideTheWindow(session, 1, 2);
    ClickOutsideTheWindow(session, 4, 2);  // wheel forward
    UsageCounters expected{3, 0, 0, 2, 0, 0};
    const QImage reference = ReferencePage(expected);
    EXPECT_TRUE(test::WaitUntil([&] { return ShowsValues(session, window, reference); }, 10s));

    EXPECT_EQ(session.Stop(SIGTERM), 0);
    const auto stored = StoredCounters(session.DataFolder());
    ASSERT_TRUE(stored);
    expected.travel = stored->travel;  // the pointer travelled to the tab and away
    EXPECT_EQ(*stored, expected);
}

TEST_F(TrophiesEndToEnd, RelativeMovesAddTheirDistance) {
    DriverSession session(Server());
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    // The sampling thread has taken its first samples; then two moves, each
    // left alone for more than a sampling period.
    std::this_thread::sleep_for(1200ms);
    session.Xdotool({"mousemove_relative", "--sync", "--", "100", "40"});
    std::this_thread::sleep_for(1200ms);
    session.Xdotool({"mousemove_relative", "--sync", "--", "-30", "0"});
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(session.Stop(SIGTERM), 0);
    const auto stored = StoredCounters(session.DataFolder());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->travel, 170u);
}

TEST_F(TrophiesEndToEnd, KillAfterAPeriodicSaveLosesNothingSavedBefore) {
    DriverOptions options;
    // The test hook: two seconds instead of five minutes.
    options.environment = {{"QX_STATS_SAVE_INTERVAL_MS", "2000"}};
    DriverSession session(Server(), options);
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    ClickOutsideTheWindow(session, 1, 3);
    ClickOutsideTheWindow(session, 5, 1);  // wheel backward
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const auto c = StoredCounters(session.DataFolder());
            return c && c->leftPresses == 3 && c->wheelBackward == 1;
        },
        10s));
    session.Stop(SIGKILL);
    const auto stored = StoredCounters(session.DataFolder());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->leftPresses, 3u);
    EXPECT_EQ(stored->wheelBackward, 1u);
}

}  // namespace
}  // namespace qx
