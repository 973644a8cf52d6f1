// The support page: versions, the firmware update check, the maker's web site,
// profile import and export, and restoring the default profile.
#pragma once

#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "base/FirmwareVersion.h"
#include "support/SupportPageModel.h"
#include "support/UpdateCheck.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::support {

// What the page works with besides the page environment; all of it outlives
// the page.
struct SupportPageParts {
    const FirmwareVersion& firmwareVersion;
    std::u16string deviceModel;
    ProfileFiles& files;
    FileDialogs& dialogs;
    DesktopActions& desktop;
    UpdateCheckControl& updateControl;
    FirmwareBurner& burner;
};

class CDlgSupport : public ui::CPageWnd, private UpdateWaitTimer {
    Q_OBJECT
public:
    CDlgSupport(QWidget* parent, const ui::PageEnvironment& environment, SupportPageParts parts);
    ~CDlgSupport() override;

    // For tests: the buttons a person clicks, and the texts the page draws.
    ui::CGDIBitmapBtn* Button(SupportControl control) const;
    std::u16string FirmwareVersionShown() const;
    bool UpdateTimerRunning() const { return updateTimer_.isActive(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    // UpdateWaitTimer: timer 5.
    void StartUpdateTimer(std::chrono::milliseconds period) override;
    void StopUpdateTimer() override;

    void CreateButtons();
    void SetTooltips();
    void OnButton(SupportControl control);

    const FirmwareVersion& firmwareVersion_;
    UpdateCheckControl& updateControl_;
    SupportPageModel model_;
    UpdateCheck check_;
    QTimer updateTimer_;
    std::array<ui::CGDIBitmapBtn*, 5> buttons_{};
    int tooltipObserver_ = 0;
};

}  // namespace qx::support
