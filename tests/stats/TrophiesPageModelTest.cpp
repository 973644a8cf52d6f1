#include "stats/TrophiesPageModel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using Kind = RecordingNotifier::Kind;

class TrophiesPageModelTest : public testing::Test {
protected:
    TrophiesPageModelTest() {
        language.table.Set("str_msg2", u"Cannot find %s.");
        language.table.Set("str_msg5", u"No access.");
    }

    // Sts.cfg as the page finds it at start-up; then the page loads.
    void StartWith(const UsageCounters& stored) {
        test::WriteBytes(model->FilePath(), &stored, sizeof stored);
        model->Load();
    }
    UsageCounters OnDisk() const {
        UsageCounters c{};
        const auto bytes = test::ReadBytes(model->FilePath());
        EXPECT_EQ(bytes.size(), sizeof c);
        if (bytes.size() == sizeof c) std::memcpy(&c, bytes.data(), sizeof c);
        return c;
    }
    void Press(std::uint32_t code, int times) {
        for (int i = 0; i < times; ++i) model->CountButtonEvent(code);
    }
    // The next start of the utility, after the process ended without saving.
    UsageCounters AfterCrash() {
        TrophiesPageModel next(dir.path(), notifier, language, clock);
        next.Load();
        return next.Counters();
    }

    test::TempDir dir;
    RecordingNotifier notifier;
    Localization language;
    FakeClock clock;
    std::unique_ptr<TrophiesPageModel> model =
        std::make_unique<TrophiesPageModel>(dir.path(), notifier, language, clock);
};

TEST_F(TrophiesPageModelTest, FirstDrawingLoadsTheTrophyAndLightsLampZero) {
    model->Load();  // no Sts.cfg yet
    ASSERT_EQ(notifier.Messages().size(), 1u);
    const TrophyView view = model->DrawStatistics();
    EXPECT_EQ(view.level, 0);
    EXPECT_TRUE(view.reloadTrophy);
    EXPECT_EQ(view.barWidth, 21);
    std::array<bool, kTrophyLevels> lamps{};
    lamps[0] = true;
    EXPECT_EQ(view.lampsLit, lamps);
    EXPECT_EQ(view.values[7], u"0.00");
    EXPECT_FALSE(model->DrawStatistics().reloadTrophy);  // loaded only when the level changes
}

TEST_F(TrophiesPageModelTest, The100000thPressReachesLevelOneAtTheNextDrawing) {
    StartWith({99999, 0, 0, 0, 0, 0});
    EXPECT_EQ(model->DrawStatistics().level, 0);
    EXPECT_TRUE(model->CountButtonEvent(kEventLeft));
    EXPECT_EQ(model->Level(), 0);
    const TrophyView view = model->DrawStatistics();
    EXPECT_EQ(view.level, 1);
    EXPECT_TRUE(view.reloadTrophy);
    EXPECT_TRUE(view.lampsLit[1]);
    EXPECT_FALSE(view.lampsLit[2]);
    EXPECT_EQ(view.barWidth, 42);
    EXPECT_EQ(view.values[0], u"100000");
}

TEST_F(TrophiesPageModelTest, LevelNeverDropsWhileThePageLives) {
    StartWith({0xFFFFFFFF, 0, 0, 0, 0, 0});
    EXPECT_EQ(model->DrawStatistics().level, 12);
    model->CountButtonEvent(kEventLeft);  // wraps to 0
    const TrophyView view = model->DrawStatistics();
    EXPECT_EQ(view.level, 12);
    EXPECT_FALSE(view.reloadTrophy);
    EXPECT_EQ(view.values[0], u"0");
}

TEST_F(TrophiesPageModelTest, ResetAsksAndOnlyOkClears) {
    StartWith({10000000, 0, 0, 0, 0, 77});
    ASSERT_EQ(model->DrawStatistics().level, 12);

    notifier.answer = kIdCancel;
    EXPECT_FALSE(model->ConfirmAndReset());
    EXPECT_EQ(model->Counters().leftPresses, 10000000u);
    EXPECT_EQ(OnDisk().leftPresses, 10000000u);
    EXPECT_EQ(model->Level(), 12);

    notifier.answer = kIdOk;
    EXPECT_TRUE(model->ConfirmAndReset());
    EXPECT_EQ(model->Counters(), UsageCounters{});
    EXPECT_EQ(test::ReadBytes(model->FilePath()), std::vector<std::uint8_t>(24, 0));
    const TrophyView view = model->DrawStatistics();
    EXPECT_EQ(view.level, 0);
    EXPECT_TRUE(view.reloadTrophy);  // the level-0 trophy again
    for (int i = 1; i < kTrophyLevels; ++i) EXPECT_FALSE(view.lampsLit[i]) << i;
    EXPECT_EQ(view.barWidth, 21);

    const std::vector<RecordingNotifier::Message> asked = {{Kind::Info, kResetQuestionEnglish},
                                                           {Kind::Info, kResetQuestionEnglish}};
    EXPECT_EQ(notifier.Messages(), asked);
    notifier.Clear();
    language.chineseMode = true;
    model->ConfirmAndReset();
    EXPECT_EQ(notifier.Messages()[0].text, kResetQuestionChinese);
}

TEST_F(TrophiesPageModelTest, TravelIsMeasuredFromTheLastSample) {
    StartWith({});
    model->CountSample(PointerPosition{100, 100});  // the starting point
    EXPECT_EQ(model->Counters().travel, 0u);
    model->CountSample(PointerPosition{130, 60});
    EXPECT_EQ(model->Counters().travel, 70u);
    model->CountSample(std::nullopt);  // no sample: nothing, and the start stays
    model->CountSample(PointerPosition{130, 70});
    EXPECT_EQ(model->Counters().travel, 80u);
}

TEST_F(TrophiesPageModelTest, ChangedCountersAreSavedOnceFiveMinutesOld) {
    clock.Set(1000);
    StartWith({5, 0, 0, 0, 0, 0});
    clock.Advance(10min);
    EXPECT_FALSE(model->SaveIfDue());  // nothing changed: nothing to write

    model->CountButtonEvent(kEventRight);
    model->CountButtonEvent(kEventBack);
    EXPECT_TRUE(model->SaveIfDue());  // the load is long enough ago
    EXPECT_EQ(AfterCrash(), (UsageCounters{5, 0, 1, 0, 0, 0}));

    Press(kEventLeft, 3);
    clock.Advance(5min - 1ms);
    EXPECT_FALSE(model->SaveIfDue());
    EXPECT_EQ(AfterCrash(), (UsageCounters{5, 0, 1, 0, 0, 0}));
    clock.Advance(1ms);
    EXPECT_TRUE(model->SaveIfDue());
    EXPECT_EQ(AfterCrash(), (UsageCounters{8, 0, 1, 0, 0, 0}));
    EXPECT_FALSE(model->SaveIfDue());

    // An explicit save restarts the five minutes.
    clock.Advance(4min);
    model->CountSample(PointerPosition{0, 0});
    model->CountSample(PointerPosition{3, 4});
    EXPECT_TRUE(model->Save());
    model->CountButtonEvent(kEventMiddle);
    clock.Advance(4min);
    EXPECT_FALSE(model->SaveIfDue());
    clock.Advance(1min);
    EXPECT_TRUE(model->SaveIfDue());
    EXPECT_EQ(AfterCrash(), (UsageCounters{8, 1, 1, 0, 0, 7}));
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(TrophiesPageModelTest, PeriodicSaveSurvivesTheTickCountWrapping) {
    clock.Set(0xFFFFFFFF - 60000);
    StartWith({});
    model->CountButtonEvent(kEventLeft);
    clock.Advance(4min);  // wrapped
    EXPECT_FALSE(model->SaveIfDue());
    clock.Advance(1min);
    EXPECT_TRUE(model->SaveIfDue());
    EXPECT_EQ(OnDisk().leftPresses, 1u);
}

TEST_F(TrophiesPageModelTest, FailedPeriodicSaveIsSilentAndRetriedAnIntervalLater) {
    StartWith({});
    std::filesystem::remove(model->FilePath());
    std::filesystem::create_directory(model->FilePath());  // unwritable
    model->CountButtonEvent(kEventLeft);
    clock.Advance(5min);
    EXPECT_FALSE(model->SaveIfDue());
    EXPECT_TRUE(notifier.Messages().empty());

    std::filesystem::remove(model->FilePath());  // writable again
    clock.Advance(1s);
    EXPECT_FALSE(model->SaveIfDue());  // not before another interval
    clock.Advance(5min);
    EXPECT_TRUE(model->SaveIfDue());
    EXPECT_EQ(OnDisk().leftPresses, 1u);

    // The explicit saves still tell the user.
    std::filesystem::remove(model->FilePath());
    std::filesystem::create_directory(model->FilePath());
    EXPECT_FALSE(model->Save());
    const std::vector<RecordingNotifier::Message> expected = {{Kind::Standard, u"No access."}};
    EXPECT_EQ(notifier.Messages(), expected);
}

TEST(PeriodicSaveInterval, TestHookShortensItWithinFiveMinutes) {
    const char* const kVariable = "QX_STATS_SAVE_INTERVAL_MS";
    const std::pair<const char*, std::chrono::milliseconds> cases[] = {
        {nullptr, 5min}, {"", 5min},   {"2000", 2s},     {"1", 1ms},       {"0", 5min},
        {"-5", 5min},    {"2s", 5min}, {"600000", 5min}, {"300000", 5min},
    };
    for (const auto& [value, expected] : cases) {
        if (value)
            ::setenv(kVariable, value, 1);
        else
            ::unsetenv(kVariable);
        EXPECT_EQ(PeriodicSaveInterval(), expected) << (value ? value : "unset");
    }
    ::unsetenv(kVariable);
}

TEST_F(TrophiesPageModelTest, ShorterIntervalSavesSooner) {
    TrophiesPageModel quick(dir.path(), notifier, language, clock, 2s);
    quick.Load();
    quick.CountButtonEvent(kEventLeft);
    clock.Advance(2s);
    EXPECT_TRUE(quick.SaveIfDue());
    EXPECT_EQ(AfterCrash().leftPresses, 1u);
}

TEST(TrophiesHints, TrophyAndResetWithAOnePixelMargin) {
    const std::array<int, 3> cases[] = {
        {450, 200, 57}, {308, 0, 57},  {607, 450, 57}, {307, 200, 0}, {608, 200, 0}, {702, 378, 58},
        {832, 410, 58}, {701, 390, 0}, {760, 410, 58}, {760, 411, 0}, {100, 100, 0},
    };
    for (const auto& [x, y, hint] : cases) EXPECT_EQ(TrophiesHintAt(x, y), hint) << x << "," << y;
}

}  // namespace
}  // namespace qx
