#include "stats/UsageCounters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Notifier.h"
#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "tests/common/TempDir.h"
#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

using Kind = RecordingNotifier::Kind;
using test::PathText;
using test::TempDir;

std::vector<std::uint8_t> Bytes(const UsageCounters& c) {
    std::vector<std::uint8_t> bytes(sizeof c);
    std::memcpy(bytes.data(), &c, sizeof c);
    return bytes;
}

// ------------------------------------------------------------------ counting

TEST(UsageCounting, EachReportCountsOneStepOfItsOwnCounter) {
    struct Case {
        std::uint32_t code;
        std::uint32_t UsageCounters::*counter;  // nullptr: nothing counts
    };
    const Case cases[] = {
        {kEventLeft, &UsageCounters::leftPresses},
        {kEventMiddle, &UsageCounters::middlePresses},
        {kEventRight, &UsageCounters::rightPresses},
        {kEventWheelForward, &UsageCounters::wheelForward},
        {kEventWheelBackward, &UsageCounters::wheelBackward},
        {kEventForward, nullptr},  // side buttons
        {kEventBack, nullptr},
        {0x0202, nullptr},  // a release
        {0x020A, nullptr},  // a wheel message without its direction
        {0, nullptr},
    };
    for (const auto& c : cases) {
        UsageCounters counters{7, 7, 7, 7, 7, 7};
        UsageCounters expected = counters;
        if (c.counter) expected.*c.counter = 8;
        EXPECT_EQ(CountButtonEvent(counters, c.code), c.counter != nullptr) << std::hex << c.code;
        EXPECT_EQ(counters, expected) << std::hex << c.code;
    }
}

TEST(UsageCounting, CountersWrapAtTwoToThe32) {
    UsageCounters counters{0xFFFFFFFF, 0, 0, 0, 0xFFFFFFFF, 0xFFFFFFF0};
    CountButtonEvent(counters, kEventLeft);
    CountButtonEvent(counters, kEventWheelBackward);
    AddTravel(counters, {100, 100}, {130, 60});
    EXPECT_EQ(counters, (UsageCounters{0, 0, 0, 0, 0, 54}));
}

TEST(UsageCounting, TravelIsHorizontalPlusVerticalBetweenSamples) {
    struct Case {
        PointerPosition last, sample;
        std::uint32_t added;
    };
    const Case cases[] = {
        {{100, 100}, {130, 60}, 70},           {{130, 60}, {100, 100}, 70},
        {{100, 100}, {100, 100}, 0},     // moved and came back between two samples
        {{-1280, 5}, {1280, -5}, 2570},  // a screen left of the primary one
        {{0, 0}, {0x7FFFFFFF, 0}, 0x7FFFFFFF}, {{-0x7FFFFFFF - 1, 0}, {0x7FFFFFFF, 0}, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        UsageCounters counters{};
        counters.travel = 5;
        AddTravel(counters, c.last, c.sample);
        EXPECT_EQ(counters.travel, 5 + c.added) << c.sample.x << "," << c.sample.y;
    }
}

// ------------------------------------------------------------ levels, texts

TEST(TrophyLevels, ThresholdsOfACount) {
    const std::pair<std::uint32_t, int> cases[] = {
        {0, 0},           {99999, 0},    {100000, 1},   {499999, 1},   {500000, 2},
        {999999, 2},      {1000000, 3},  {1499999, 3},  {1500000, 4},  {1999999, 4},
        {2000000, 5},     {2499999, 5},  {2500000, 6},  {2999999, 6},  {3000000, 7},
        {3999999, 7},     {4000000, 8},  {4999999, 8},  {5000000, 9},  {5999999, 9},
        {6000000, 10},    {7999999, 10}, {8000000, 11}, {9999999, 11}, {10000000, 12},
        {0xFFFFFFFF, 12},
    };
    for (const auto& [count, level] : cases) EXPECT_EQ(TrophyLevelOf(count), level) << count;
}

TEST(TrophyLevels, TheGreaterOfTheButtonAndWheelTotalsDecides) {
    struct Case {
        UsageCounters counters;
        int level;
    };
    const Case cases[] = {
        {{600000, 0, 0, 2500000, 2500000, 0}, 9},  // the wheel decides
        {{400000, 400000, 200000, 0, 0, 0}, 3},    // the three buttons add up
        {{99999, 0, 0, 99999, 0, 0}, 0},           // the totals are not added together
        {{0, 0, 0, 0, 0, 0xFFFFFFFF}, 0},          // travel earns nothing
        {{0xFFFFFFFF, 1, 0, 0, 0, 0}, 0},          // a 32-bit sum wraps
    };
    for (const auto& c : cases) EXPECT_EQ(TrophyLevelOf(c.counters), c.level);
}

TEST(TrophyLevels, LevelBarGrowsFrom21To273) {
    namespace T = layout::trophies_page;
    EXPECT_EQ(T::LevelBarWidth(0), 21);
    EXPECT_EQ(T::LevelBarWidth(6), 147);
    EXPECT_EQ(T::LevelBarWidth(12), 273);
}

TEST(UsageValueTexts, CountsTotalsAndTravel) {
    struct Case {
        UsageCounters counters;
        std::array<std::u16string, kValueTextCount> texts;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0}, {u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0.00"}},
        {{3, 1, 2, 4, 5, 123456}, {u"3", u"1", u"2", u"6", u"4", u"5", u"9", u"12.35"}},
        {{0, 0, 0, 0, 0, 99}, {u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0.01"}},
        // Above 2^31 a count is still a count, not a negative number.
        {{3000000000u, 0, 0, 0xFFFFFFFF, 1, 0xFFFFFFFF},
         {u"3000000000", u"0", u"0", u"3000000000", u"4294967295", u"1", u"0", u"429496.73"}},
    };
    for (const auto& c : cases) EXPECT_EQ(UsageValueTexts(c.counters), c.texts);
}

// --------------------------------------------------------------------- file

class UsageFileTest : public testing::Test {
protected:
    UsageFileTest() {
        language.table.Set("str_msg2", u"Cannot find %s.");
        language.table.Set("str_msg5", u"No access.");
    }
    std::filesystem::path File() const { return UsageCountersPath(dir.path()); }

    TempDir dir;
    RecordingNotifier notifier;
    Localization language;
};

TEST_F(UsageFileTest, ShortFileFillsTheFirstCountersOnly) {
    const std::uint32_t eight[2] = {11, 22};
    test::WriteBytes(File(), eight, sizeof eight);
    UsageCounters counters{9, 9, 9, 9, 9, 9};
    EXPECT_TRUE(LoadUsageCounters(counters, dir.path(), notifier));
    EXPECT_EQ(counters, (UsageCounters{11, 22, 0, 0, 0, 0}));
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(UsageFileTest, LongerFileLoadsItsFirst24Bytes) {
    const std::uint32_t words[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    test::WriteBytes(File(), words, sizeof words);
    UsageCounters counters{};
    EXPECT_TRUE(LoadUsageCounters(counters, dir.path(), notifier));
    EXPECT_EQ(counters, (UsageCounters{1, 2, 3, 4, 5, 6}));
}

TEST_F(UsageFileTest, MissingFileOrFolderIsReportedWithItsPath) {
    for (const auto& folder : {dir.path(), dir.path() / "gone"}) {
        notifier.Clear();
        UsageCounters counters{9, 9, 9, 9, 9, 9};
        EXPECT_FALSE(LoadUsageCounters(counters, folder, notifier));
        EXPECT_EQ(counters, UsageCounters{});
        const std::vector<RecordingNotifier::Message> expected = {
            {Kind::Info, u"Failed to open file, check whether there is a " +
                             PathText(UsageCountersPath(folder)) + u" path?"}};
        EXPECT_EQ(notifier.Messages(), expected);
    }
}

TEST_F(UsageFileTest, SomethingThatIsNotAFileIsReportedAsUnopenable) {
    std::filesystem::create_directory(File());  // a folder where the file should be
    UsageCounters counters{9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(LoadUsageCounters(counters, dir.path(), notifier));
    EXPECT_EQ(counters, UsageCounters{});
    ASSERT_EQ(notifier.Messages().size(), 1u);
}

TEST_F(UsageFileTest, SaveWritesThe24BytesInOrder) {
    const UsageCounters counters{1, 0x0102, 0x030201, 0x04030201, 5, 0xFFFFFFFF};
    ASSERT_TRUE(SaveUsageCounters(counters, dir.path(), notifier, language));
    EXPECT_EQ(test::ReadBytes(File()),
              (std::vector<std::uint8_t>{1, 0, 0, 0, 2, 1, 0, 0, 1,   2,   3,   0,
                                         1, 2, 3, 4, 5, 0, 0, 0, 255, 255, 255, 255}));
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(UsageFileTest, SaveFailuresShowTheirMessages) {
    const UsageCounters counters{1, 2, 3, 4, 5, 6};
    const auto gone = dir.path() / "gone";
    EXPECT_FALSE(SaveUsageCounters(counters, gone, notifier, language));
    std::filesystem::create_directory(File());
    EXPECT_FALSE(SaveUsageCounters(counters, dir.path(), notifier, language));
    const std::vector<RecordingNotifier::Message> expected = {
        {Kind::Standard, u"Cannot find " + PathText(UsageCountersPath(gone)) + u"."},
        {Kind::Standard, u"No access."}};
    EXPECT_EQ(notifier.Messages(), expected);
}

TEST_F(UsageFileTest, ResetWrites24ZeroBytes) {
    UsageCounters counters{1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(SaveUsageCounters(counters, dir.path(), notifier, language));
    ASSERT_TRUE(ResetUsageCounters(counters, dir.path(), notifier, language));
    EXPECT_EQ(counters, UsageCounters{});
    EXPECT_EQ(test::ReadBytes(File()), std::vector<std::uint8_t>(24, 0));
    EXPECT_EQ(Bytes(counters), std::vector<std::uint8_t>(24, 0));
}

}  // namespace
}  // namespace qx
