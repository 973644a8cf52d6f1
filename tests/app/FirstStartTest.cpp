#include "app/FirstStart.h"

#include <gtest/gtest.h>

#include "base/Notifier.h"
#include "stats/UsageCounters.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

TEST(FirstStart, LaysDownZeroCountersSoTheFirstStartReportsNothing) {
    test::TempDir dir;
    ASSERT_TRUE(IsFirstStart(dir.path()));
    LayDownDataFolder(dir.path(), false);
    EXPECT_FALSE(IsFirstStart(dir.path()));
    EXPECT_EQ(test::ReadBytes(UsageCountersPath(dir.path())), std::vector<std::uint8_t>(24, 0));
    RecordingNotifier notifier;
    UsageCounters counters{};
    EXPECT_TRUE(LoadUsageCounters(counters, dir.path(), notifier));
    EXPECT_TRUE(notifier.Messages().empty());
}

}  // namespace
}  // namespace qx
