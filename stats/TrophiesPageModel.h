// The trophies page without its window: it owns the usage counters, counts
// the hook reports and the pointer samples, keeps the trophy level, saves
// Sts.cfg and tells the window what to draw.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "platform/PointerPosition.h"
#include "stats/UsageCounters.h"

namespace qx {

class Notifier;
struct Localization;

// Counts gathered since the last save are written once they are this old,
// so a process that ends without saving loses at most this much counting.
inline constexpr std::chrono::milliseconds kPeriodicSaveInterval = std::chrono::minutes(5);

// The periodic save's interval for this process: kPeriodicSaveInterval unless
// QX_STATS_SAVE_INTERVAL_MS holds a positive number of milliseconds. A test
// hook: an end-to-end test can end the process hard after a periodic save
// without waiting five minutes.
std::chrono::milliseconds PeriodicSaveInterval();

// The shown level before the first drawing and after a reset: no level has
// it, so the next drawing loads the trophy picture.
inline constexpr int kNoShownLevel = 800;

inline constexpr char16_t kResetQuestionChinese[] = u"确定要重置奖杯和统计数据么？";
inline constexpr char16_t kResetQuestionEnglish[] = u"Do you want to reset trophy data ?";

// What DrawStatistics puts on the page.
struct TrophyView {
    int level = 0;
    bool reloadTrophy = false;  // load trophy<level>Down.bmp, set the lamps, redraw the page
    std::array<bool, kTrophyLevels> lampsLit{};
    int barWidth = 0;  // of the level bar, from its left edge
    std::array<std::u16string, kValueTextCount> values;
};

// Hint code for a pointer at (x, y) on the page: 57 over the trophy, 58 over
// the reset button (each rectangle one pixel larger on every side), else 0.
int TrophiesHintAt(int x, int y);

class TrophiesPageModel {
public:
    // notifier, language and clock must outlive the model.
    TrophiesPageModel(std::filesystem::path dataFolder, Notifier& notifier,
                      const Localization& language, Clock& clock,
                      std::chrono::milliseconds saveInterval = kPeriodicSaveInterval);

    // Page creation, before the controls: reads Sts.cfg.
    void Load();
    // Page destroyed, session ending: writes Sts.cfg with its messages.
    bool Save();
    // The reset button: asks in the skinned box (Chinese or English); only on
    // OK zeroes and saves the counters and drops the level to 0. True when
    // the user agreed.
    bool ConfirmAndReset();

    // WM_USER+201. True when a counter changed (redraw the values).
    bool CountButtonEvent(std::uint32_t eventCode);
    // WM_USER+202 with the shared sample point. The first sample only sets
    // the starting point; a missing sample counts nothing.
    void CountSample(std::optional<PointerPosition> sample);
    // Writes Sts.cfg when the counters changed and the last save (or load) is
    // at least the save interval old; the page calls it after counting and
    // on its 5 s timer. Silent: a failure is retried one interval later, the
    // explicit saves still report it. True when written.
    bool SaveIfDue();

    // DrawStatistics: raises the level to what the counters reach and says
    // what to draw; the trophy is reloaded only when the level changed.
    TrophyView DrawStatistics();

    const UsageCounters& Counters() const { return counters_; }
    int Level() const { return level_; }
    std::filesystem::path FilePath() const;

private:
    void MarkSaved(bool written);

    std::filesystem::path dataFolder_;
    Notifier& notifier_;
    const Localization& language_;
    Clock& clock_;
    std::chrono::milliseconds saveInterval_;
    UsageCounters counters_{};
    int level_ = 0;
    int shownLevel_ = kNoShownLevel;
    std::optional<PointerPosition> lastSample_;
    bool changedSinceSave_ = false;
    std::uint32_t lastSaveTick_ = 0;
};

}  // namespace qx
