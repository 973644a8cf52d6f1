#include "stats/UsageCounters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/DataFile.h"
#include "base/Notifier.h"
#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "profile/ProfileFiles.h"

namespace qx {
namespace {

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

// Lowest count of levels 1-12.
constexpr std::array<std::uint32_t, kTrophyLevels - 1> kLevelThresholds = {
    100000,  500000,  1000000, 1500000, 2000000, 2500000,
    3000000, 4000000, 5000000, 6000000, 8000000, 10000000};

std::u16string Decimal(std::uint32_t value) {
    return FromUtf8(std::to_string(value));
}

}  // namespace

std::filesystem::path UsageCountersPath(const std::filesystem::path& dataFolder) {
    return dataFolder / "Sts.cfg";
}

bool LoadUsageCounters(UsageCounters& counters, const std::filesystem::path& dataFolder,
                       Notifier& notifier) {
    counters = {};
    const std::filesystem::path path = UsageCountersPath(dataFolder);
    const ReadResult read = ReadFilePrefix(path, AsWritableBytes(counters));
    if (read.ok()) return true;
    counters = {};
    if (IsMissing(read.error) || read.error == FileError::NotAFile)
        notifier.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(path)}));
    return false;
}

FileError WriteUsageCounters(const UsageCounters& counters,
                             const std::filesystem::path& dataFolder) {
    return WriteFileAtomic(UsageCountersPath(dataFolder), AsBytes(counters));
}

bool SaveUsageCounters(const UsageCounters& counters, const std::filesystem::path& dataFolder,
                       Notifier& notifier, const Localization& language) {
    const std::filesystem::path path = UsageCountersPath(dataFolder);
    const FileError error = WriteUsageCounters(counters, dataFolder);
    if (IsMissing(error))
        notifier.ShowStandardInfo(FormatText(language.table.Text("str_msg2"), {PathText(path)}));
    else if (error == FileError::AccessDenied)
        notifier.ShowStandardInfo(FormatText(language.table.Text("str_msg5")));
    else if (error != FileError::None)  // a full disk is not silent either
        notifier.ShowStandardInfo(
            FormatText(kMsgSaveFailed.In(language.chineseMode), {PathText(path)}));
    return error == FileError::None;
}

bool ResetUsageCounters(UsageCounters& counters, const std::filesystem::path& dataFolder,
                        Notifier& notifier, const Localization& language) {
    counters = {};
    return SaveUsageCounters(counters, dataFolder, notifier, language);
}

bool CountButtonEvent(UsageCounters& counters, std::uint32_t eventCode) {
    switch (eventCode) {
        case kEventLeft:
            ++counters.leftPresses;
            return true;
        case kEventMiddle:
            ++counters.middlePresses;
            return true;
        case kEventRight:
            ++counters.rightPresses;
            return true;
        case kEventWheelForward:
            ++counters.wheelForward;
            return true;
        case kEventWheelBackward:
            ++counters.wheelBackward;
            return true;
        default:
            return false;
    }
}

void AddTravel(UsageCounters& counters, PointerPosition last, PointerPosition sample) {
    const std::int64_t dx = std::llabs(std::int64_t{sample.x} - last.x);
    const std::int64_t dy = std::llabs(std::int64_t{sample.y} - last.y);
    counters.travel += static_cast<std::uint32_t>(dx + dy);
}

int TrophyLevelOf(std::uint32_t count) {
    int level = 0;
    while (level < kTrophyLevels - 1 && count >= kLevelThresholds[level]) ++level;
    return level;
}

int TrophyLevelOf(const UsageCounters& c) {
    const std::uint32_t buttons = c.leftPresses + c.middlePresses + c.rightPresses;
    const std::uint32_t wheel = c.wheelForward + c.wheelBackward;
    return std::max(TrophyLevelOf(buttons), TrophyLevelOf(wheel));
}

std::array<std::u16string, kValueTextCount> UsageValueTexts(const UsageCounters& c) {
    char travel[32];
    std::snprintf(travel, sizeof travel, "%0.2f", c.travel * 0.0001);
    return {Decimal(c.leftPresses),
            Decimal(c.middlePresses),
            Decimal(c.rightPresses),
            Decimal(c.leftPresses + c.middlePresses + c.rightPresses),
            Decimal(c.wheelForward),
            Decimal(c.wheelBackward),
            Decimal(c.wheelForward + c.wheelBackward),
            FromUtf8(travel)};
}

}  // namespace qx
