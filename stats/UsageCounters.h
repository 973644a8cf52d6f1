// The lifetime usage counters and their file Sts.cfg: 24 bytes, the six
// counters in this order, little-endian, no header. Counters wrap at 2^32.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/DataFile.h"
#include "platform/PointerPosition.h"

namespace qx {

class Notifier;
struct Localization;

struct UsageCounters {
    std::uint32_t leftPresses;
    std::uint32_t middlePresses;
    std::uint32_t rightPresses;
    std::uint32_t wheelForward;
    std::uint32_t wheelBackward;
    std::uint32_t travel;  // screen pixels

    bool operator==(const UsageCounters&) const = default;
};

static_assert(sizeof(UsageCounters) == 24);
static_assert(offsetof(UsageCounters, middlePresses) == 4);
static_assert(offsetof(UsageCounters, rightPresses) == 8);
static_assert(offsetof(UsageCounters, wheelForward) == 12);
static_assert(offsetof(UsageCounters, wheelBackward) == 16);
static_assert(offsetof(UsageCounters, travel) == 20);

std::filesystem::path UsageCountersPath(const std::filesystem::path& dataFolder);

// Zeroes the counters, then reads up to 24 bytes of Sts.cfg over them (a
// short file leaves the rest 0). A missing file or folder, or a name that is
// not a file, is reported in the skinned box with its path; other failures
// are silent. False when nothing
// could be read.
bool LoadUsageCounters(UsageCounters& counters, const std::filesystem::path& dataFolder,
                       Notifier& notifier);
// Writes the 24 bytes atomically, without a message.
FileError WriteUsageCounters(const UsageCounters& counters,
                             const std::filesystem::path& dataFolder);
// Writes the 24 bytes atomically. A missing folder shows str_msg2 with the
// path, denied access str_msg5, any other failure that the file could not be
// saved, all in the "Info" box. True on success.
bool SaveUsageCounters(const UsageCounters& counters, const std::filesystem::path& dataFolder,
                       Notifier& notifier, const Localization& language);
// Zeroes the counters and saves them.
bool ResetUsageCounters(UsageCounters& counters, const std::filesystem::path& dataFolder,
                        Notifier& notifier, const Localization& language);

// A hook report (WM_USER+201): left, middle and right presses and the two
// wheel directions, one step per report; any other code (the side buttons)
// counts nothing. True when a counter changed.
bool CountButtonEvent(UsageCounters& counters, std::uint32_t eventCode);
// Travel between two samples: horizontal plus vertical distance, not the path.
void AddTravel(UsageCounters& counters, PointerPosition last, PointerPosition sample);

// Trophy levels 0-12 of a count.
inline constexpr int kTrophyLevels = 13;
int TrophyLevelOf(std::uint32_t count);
// The level the counters reach: the higher of the button total (left +
// middle + right) and the wheel total (forward + backward), 32-bit sums.
int TrophyLevelOf(const UsageCounters& counters);

// The eight value texts in display order: left, middle, right, button total,
// wheel forward, wheel backward, wheel total, travel in units of 10000
// pixels with two decimals (123456 shows 12.35).
inline constexpr int kValueTextCount = 8;
std::array<std::u16string, kValueTextCount> UsageValueTexts(const UsageCounters& counters);

}  // namespace qx
