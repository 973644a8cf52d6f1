// The trophies page as a window, offscreen: it counts the reports it is sent
// and the pointer samples of its own thread, shows the values and the level,
// resets on request, saves when it goes and every interval, and stops its
// thread when it is destroyed.
#include "stats/DlgSts.h"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using stats::CDlgSts;
namespace T = layout::trophies_page;

// The pointer where the test puts it; counts the reads.
class MovablePointer final : public PointerPositionSource {
public:
    explicit MovablePointer(PointerPosition at) : at_(at) {}
    std::optional<PointerPosition> ReadPointerPosition() override {
        std::lock_guard lock(mutex_);
        ++reads;
        return at_;
    }
    void MoveTo(PointerPosition at) {
        std::lock_guard lock(mutex_);
        at_ = at;
    }
    std::atomic<int> reads{0};

private:
    std::mutex mutex_;
    PointerPosition at_;
};

UsageCounters ReadCounters(const fs::path& dataFolder) {
    UsageCounters c{};
    const auto bytes = ReadBytes(UsageCountersPath(dataFolder));
    EXPECT_EQ(bytes.size(), sizeof c);
    if (bytes.size() == sizeof c) std::memcpy(&c, bytes.data(), sizeof c);
    return c;
}

template <class Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds timeout = 5s) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeout.count()) return false;
        Pump();
        QTest::qWait(5);
    }
    return true;
}

class TrophiesPage : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFile(language, AppFolder() / "Language" / "en.xml");
        WriteCounters({});
    }
    void WriteCounters(const UsageCounters& c) {
        WriteBytes(UsageCountersPath(dir.path()), &c, sizeof c);
    }

    std::unique_ptr<CDlgSts> Make(PointerPositionSource& pointer,
                                  const fs::path& appFolder = AppFolder()) {
        ui::PageEnvironment env{appFolder, appFolder / "skins" / "QX600",
                                language,  notifier,
                                tooltips,  mainWindow.Handle()};
        stats::StatsPageOptions options;
        options.clock = &clock;
        options.saveInterval = kPeriodicSaveInterval;
        options.sampleInterval = 10ms;
        auto page = std::make_unique<CDlgSts>(nullptr, env, dir.path(), pointer, options);
        page->show();
        return page;
    }
    static void Send(CDlgSts& page, std::uint32_t code, int times = 1) {
        for (int i = 0; i < times; ++i) page.PostMessage(kMsgStatsButton, code, 0);
        Pump();
    }
    // The trophy area of the page as drawn.
    static QImage TrophyArea(CDlgSts& page) {
        return page.grab(ui::ToQRect(T::kTrophy)).toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QImage TrophyFile(const fs::path& appFolder, int level) {
        return ui::LoadSkinPicture(appFolder / "skins" / "trophy" /
                                   ("trophy" + std::to_string(level) + "Down.bmp"))
            .image.convertToFormat(QImage::Format_RGB32);
    }

    TempDir dir;  // the data folder
    Localization language;
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    RecordingWindow mainWindow;
    FakeClock clock;
    MovablePointer still{{5, 5}};
};

TEST_F(TrophiesPage, CountsReportsShowsThemAndSavesWhenDestroyed) {
    auto page = Make(still);
    Send(*page, kEventLeft, 3);
    Send(*page, kEventWheelForward, 2);
    Send(*page, kEventBack);  // side buttons count nothing
    const auto& values = page->View().values;
    EXPECT_EQ(values[0], u"3");
    EXPECT_EQ(values[3], u"3");
    EXPECT_EQ(values[4], u"2");
    EXPECT_EQ(values[6], u"2");
    EXPECT_EQ(values[7], u"0.00");
    // Nothing is written before the page goes (the interval is far off).
    EXPECT_EQ(ReadCounters(dir.path()), UsageCounters{});
    page.reset();
    const UsageCounters saved = ReadCounters(dir.path());
    EXPECT_EQ(saved.leftPresses, 3u);
    EXPECT_EQ(saved.wheelForward, 2u);
    EXPECT_EQ(saved.middlePresses + saved.rightPresses + saved.wheelBackward, 0u);
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(TrophiesPage, SamplingThreadAddsTravelAndStopsWithThePage) {
    MovablePointer moving{{100, 100}};
    auto page = Make(moving);
    EXPECT_TRUE(page->Sampling());
    // Once the page has seen samples at the start, a move between two samples.
    ASSERT_TRUE(PumpUntil([&] { return moving.reads >= 3; }));
    Pump();
    moving.MoveTo({130, 60});
    ASSERT_TRUE(PumpUntil([&] { return page->Model().Counters().travel == 70; }));
    page.reset();
    const int reads = moving.reads;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(moving.reads, reads);  // joined: no read after the page is gone
    EXPECT_EQ(ReadCounters(dir.path()).travel, 70u);
}

TEST_F(TrophiesPage, PeriodicSaveFollowsTheClock) {
    auto page = Make(still);
    Send(*page, kEventRight);
    clock.Advance(kPeriodicSaveInterval - 1ms);
    Send(*page, kEventRight);
    EXPECT_EQ(ReadCounters(dir.path()).rightPresses, 0u);
    clock.Advance(1ms);
    // The next sample of the thread finds the save due.
    ASSERT_TRUE(PumpUntil([&] { return ReadCounters(dir.path()).rightPresses == 2; }));
}

TEST_F(TrophiesPage, ResetAsksAndClearsOnlyOnOk) {
    UsageCounters c{};
    c.leftPresses = 10000000;
    c.travel = 123456;
    WriteCounters(c);
    auto page = Make(still);
    EXPECT_EQ(page->View().level, 12);
    EXPECT_EQ(page->View().values[7], u"12.35");
    QWidget* reset = page->childAt(QPoint(760, 395));
    ASSERT_NE(reset, nullptr);

    notifier.answer = kIdCancel;
    QTest::mouseClick(reset, Qt::LeftButton);
    Pump();
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, kResetQuestionEnglish);
    EXPECT_EQ(page->View().level, 12);

    notifier.answer = kIdOk;
    QTest::mouseClick(reset, Qt::LeftButton);
    Pump();
    EXPECT_EQ(page->View().level, 0);
    EXPECT_EQ(page->View().values[0], u"0");
    EXPECT_EQ(ReadBytes(UsageCountersPath(dir.path())), std::vector<std::uint8_t>(24, 0));
    // Lamp 0 alone is lit and the trophy is the level-0 one again.
    const QImage shown = page->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage down = page->DownPicture().convertToFormat(QImage::Format_RGB32);
    auto lampLit = [&](int i) {
        const layout::Rect r = T::LampRect(i);
        return shown.copy(ui::ToQRect(r)) == down.copy(ui::ToQRect(r));
    };
    EXPECT_TRUE(lampLit(0));
    for (int i = 1; i < kTrophyLevels; ++i) EXPECT_FALSE(lampLit(i)) << i;
    EXPECT_EQ(TrophyArea(*page), TrophyFile(AppFolder(), 0));
}

TEST_F(TrophiesPage, TrophyPictureIsLoadedOnlyWhenTheLevelChanges) {
    // A skin of our own, so that its trophy files can change under the page.
    TempDir app;
    fs::create_directories(app / "skins" / "trophy");
    for (const auto name : skin::kTrophies)
        fs::copy_file(ui::SkinPath(AppFolder(), name), ui::SkinPath(app.path(), name));
    for (int level : {0, 1, 2})
        fs::copy_file(
            AppFolder() / "skins" / "trophy" / ("trophy" + std::to_string(level) + "Down.bmp"),
            app / "skins" / "trophy" / ("trophy" + std::to_string(level) + "Down.bmp"));
    UsageCounters c{};
    c.leftPresses = 99999;
    WriteCounters(c);
    auto page = Make(still, app.path());
    EXPECT_EQ(TrophyArea(*page), TrophyFile(app.path(), 0));

    Send(*page, kEventLeft);  // the 100000th press
    EXPECT_EQ(page->View().level, 1);
    const QImage levelOne = TrophyFile(app.path(), 1);
    EXPECT_EQ(TrophyArea(*page), levelOne);

    // Still level 1: the picture in memory stays, whatever the file holds now.
    fs::copy_file(app / "skins" / "trophy" / "trophy2Down.bmp",
                  app / "skins" / "trophy" / "trophy1Down.bmp",
                  fs::copy_options::overwrite_existing);
    Send(*page, kEventLeft);
    page->update();
    EXPECT_EQ(TrophyArea(*page), levelOne);
}

TEST_F(TrophiesPage, HintsOverTheTrophyAndTheResetButton) {
    auto page = Make(still);
    struct Case {
        QPoint at;
        int hint;
    };
    for (const Case c : {Case{QPoint(450, 200), 57}, Case{QPoint(760, 395), 58},
                         Case{QPoint(308, 200), 57}, Case{QPoint(100, 200), 0}}) {
        mainWindow.posted.clear();
        QTest::mouseMove(page.get(), c.at);
        Pump();
        const auto hints = mainWindow.Of(kMsgHint);
        if (c.hint == 0) {
            EXPECT_TRUE(hints.empty()) << c.at.x();
        } else {
            ASSERT_FALSE(hints.empty()) << c.at.x();
            EXPECT_EQ(hints.back().lParam, c.hint);
        }
    }
}

TEST_F(TrophiesPage, StartInChineseUsesItsPicturesAndAsksInChinese) {
    language.startupChinese = language.chineseMode = true;
    auto page = Make(still);
    EXPECT_EQ(page->NormalPicture(),
              ui::LoadSkinPicture(ui::SkinPath(AppFolder(), skin::kTrophiesChinese[0])).image);
    notifier.answer = kIdCancel;
    QTest::mouseClick(page->childAt(QPoint(760, 395)), Qt::LeftButton);
    Pump();
    ASSERT_FALSE(notifier.Messages().empty());
    EXPECT_EQ(notifier.Messages().back().text, kResetQuestionChinese);
}

}  // namespace
}  // namespace qx::test
