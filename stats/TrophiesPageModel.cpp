#include "stats/TrophiesPageModel.h"

#include <algorithm>
#include <cstdlib>

#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "ui/layout/SkinLayout.h"

namespace qx {

int TrophiesHintAt(int x, int y) {
    namespace T = layout::trophies_page;
    const auto grownContains = [x, y](const layout::Rect& r) {
        return layout::Rect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}.Contains(x, y);
    };
    if (grownContains(T::kTrophy)) return 57;
    if (grownContains(T::kReset)) return 58;
    return 0;
}

std::chrono::milliseconds PeriodicSaveInterval() {
    const char* text = std::getenv("QX_STATS_SAVE_INTERVAL_MS");
    if (text == nullptr || *text == '\0') return kPeriodicSaveInterval;
    char* end = nullptr;
    const long long ms = std::strtoll(text, &end, 10);
    if (*end != '\0' || ms <= 0 || ms > kPeriodicSaveInterval.count()) return kPeriodicSaveInterval;
    return std::chrono::milliseconds(ms);
}

TrophiesPageModel::TrophiesPageModel(std::filesystem::path dataFolder, Notifier& notifier,
                                     const Localization& language, Clock& clock,
                                     std::chrono::milliseconds saveInterval)
    : dataFolder_(std::move(dataFolder)),
      notifier_(notifier),
      language_(language),
      clock_(clock),
      saveInterval_(saveInterval) {}

std::filesystem::path TrophiesPageModel::FilePath() const {
    return UsageCountersPath(dataFolder_);
}

void TrophiesPageModel::Load() {
    LoadUsageCounters(counters_, dataFolder_, notifier_);
    // What is in memory now is what the file holds (or zero for a missing
    // file, which the first save creates once something was counted).
    MarkSaved(true);
}

bool TrophiesPageModel::Save() {
    const bool written = SaveUsageCounters(counters_, dataFolder_, notifier_, language_);
    MarkSaved(written);
    return written;
}

bool TrophiesPageModel::ConfirmAndReset() {
    const char16_t* question =
        language_.chineseMode ? kResetQuestionChinese : kResetQuestionEnglish;
    if (notifier_.ShowInfoMessage(question, true) != kIdOk) return false;
    changedSinceSave_ = true;  // until the zeros are on disk
    MarkSaved(ResetUsageCounters(counters_, dataFolder_, notifier_, language_));
    level_ = 0;
    shownLevel_ = kNoShownLevel;
    return true;
}

bool TrophiesPageModel::CountButtonEvent(std::uint32_t eventCode) {
    if (!qx::CountButtonEvent(counters_, eventCode)) return false;
    changedSinceSave_ = true;
    return true;
}

void TrophiesPageModel::CountSample(std::optional<PointerPosition> sample) {
    if (!sample) return;
    if (lastSample_ && *lastSample_ != *sample) {
        AddTravel(counters_, *lastSample_, *sample);
        changedSinceSave_ = true;
    }
    lastSample_ = sample;
}

bool TrophiesPageModel::SaveIfDue() {
    if (!changedSinceSave_) return false;
    const std::uint32_t elapsed = clock_.TickCount() - lastSaveTick_;  // wraps like the tick count
    if (elapsed < static_cast<std::uint32_t>(saveInterval_.count())) return false;
    const bool written = WriteUsageCounters(counters_, dataFolder_) == FileError::None;
    MarkSaved(written);
    return written;
}

void TrophiesPageModel::MarkSaved(bool written) {
    if (written) changedSinceSave_ = false;
    lastSaveTick_ = clock_.TickCount();
}

TrophyView TrophiesPageModel::DrawStatistics() {
    level_ = std::max(level_, TrophyLevelOf(counters_));
    TrophyView view;
    view.level = level_;
    view.values = UsageValueTexts(counters_);
    view.reloadTrophy = level_ != shownLevel_;
    shownLevel_ = level_;
    for (int i = 0; i < kTrophyLevels; ++i) view.lampsLit[i] = i <= level_;
    view.barWidth = layout::trophies_page::LevelBarWidth(level_);
    return view;
}

}  // namespace qx
