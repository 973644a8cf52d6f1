// The trophies page: usage counters, trophy level, lamps and bar. A thin
// window over TrophiesPageModel; it owns the pointer-sampling thread, which
// runs while the page exists.
#pragma once

#include <QTimer>
#include <array>
#include <chrono>
#include <memory>

#include "base/Clock.h"
#include "platform/PointerPosition.h"
#include "stats/PointerSampler.h"
#include "stats/TrophiesPageModel.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::stats {

struct StatsPageOptions {
    Clock* clock = nullptr;  // null: the real tick count
    std::chrono::milliseconds saveInterval = PeriodicSaveInterval();
    std::chrono::milliseconds sampleInterval = kPointerSampleInterval;
};

// How often the travel value is drawn again.
inline constexpr std::chrono::milliseconds kTravelRedrawInterval{5000};

class CDlgSts : public ui::CPageWnd {
    Q_OBJECT
public:
    // Loads Sts.cfg of dataFolder, creates the controls and starts sampling
    // `pointer`, which is read on the sampling thread and must outlive the page.
    CDlgSts(QWidget* parent, const ui::PageEnvironment& environment,
            const std::filesystem::path& dataFolder, PointerPositionSource& pointer,
            StatsPageOptions options = {});
    // Stops and joins the sampling thread, then saves the counters.
    ~CDlgSts() override;

    // The session is ending: keep what was counted.
    void SaveCounters();

    const TrophiesPageModel& Model() const { return model_; }
    // What the page shows: the eight value texts and the level.
    const TrophyView& View() const { return view_; }
    bool Sampling() const { return sampler_ && sampler_->Running(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    void CreateControls();
    void SetTooltips();
    void DrawStatistics();
    void OnReset();
    void OnPointerAt(QPoint at);
    QRect ValueRect(int row) const;

    TrophiesPageModel model_;
    bool chinese_;
    TrophyView view_;
    int barWidth_ = -1;
    int tooltipObserver_ = 0;
    QPoint lastPointer_{-1, -1};
    QTimer travelTimer_;

    ui::CGDIBitmapBtn* trophy_ = nullptr;
    ui::CGDIBitmapBtn* levelBar_ = nullptr;
    std::array<ui::CGDIBitmapBtn*, kTrophyLevels> lamps_{};
    ui::CGDIBitmapBtn* reset_ = nullptr;

    SharedSamplePoint samplePoint_;
    std::unique_ptr<PointerSampler> sampler_;
};

}  // namespace qx::stats
