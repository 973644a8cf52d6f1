// The utility's one top-level window: a borderless, skinned window with five
// tabs over six pages, five profile buttons, Apply, the hint line, the
// language menu and the tray icon. It owns the channel to the mouse and the
// device writer, and receives every private message of the system.
#pragma once

#include <QEventLoop>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>
#include <thread>

#include "app/DevicePresence.h"
#include "app/DriverContext.h"
#include "app/MainWindowModel.h"
#include "base/FirmwareVersion.h"
#include "base/ProfileRecord.h"
#include "device/USBDriver.h"
#include "macro/MacroStore.h"
#include "macro/MacroTable.h"
#include "profile/DeviceWriter.h"
#include "profile/ProfileFiles.h"
#include "support/UpdateCheck.h"
#include "ui/PageWnd.h"
#include "ui/PrivateMessage.h"
#include "ui/QtFileDialogs.h"

class QSocketNotifier;
class QSystemTrayIcon;
class QLabel;

namespace qx::ui {
class CGDIBitmapBtn;
class CIrrButton;
class CMenuExA;
}  // namespace qx::ui
namespace qx::support {
class CDlgProgress;
class CDlgSupport;
}  // namespace qx::support
namespace qx::buttons {
class CDlgMainSet;
class CMouseDlg;
}  // namespace qx::buttons
namespace qx::lighting {
class CDlgLEDSet;
}
namespace qx::macro {
class CDlgMacro;
}
namespace qx::stats {
class CDlgSts;
}

namespace qx::app {

// A window rather than a dialog: hiding it to the tray must not end the run
// the way hiding a dialog ends its modal loop.
class CQX600DriverDlg : public ui::CMessageWidget, private DeviceHost {
    Q_OBJECT
public:
    explicit CQX600DriverDlg(DriverContext& context);
    ~CQX600DriverDlg() override;

    // The initialisation up to the device search; false when the utility ends
    // before any page exists (the model chooser was cancelled).
    bool OnInitDialog();
    // The modal run; returns when the window has closed.
    int Run();
    // True once a close is on its way (no mouse, firmware mode, removal, Exit).
    bool Closing() const { return closing_; }

    // Tab 1-5.
    void SwitchPage(int tab);
    void RefreshPages();
    void HideToTray();
    // WM_QUERYENDSESSION: keep the usage counters.
    void OnQueryEndSession();

    // For tests and the benchmark: the parts a person clicks.
    ui::CIrrButton* TabButton(int tab) const { return tabs_[tab - 1]; }
    ui::CIrrButton* ProfileButton(int profile) const { return profiles_[profile - 1]; }
    ui::CIrrButton* ApplyButton() const { return apply_; }
    ui::CGDIBitmapBtn* HideButton() const { return hide_; }
    ui::CGDIBitmapBtn* LanguageButton() const { return language_; }
    QWidget* Page(PageId page) const { return pages_[static_cast<int>(page)]; }
    const std::u16string& HintText() const { return hint_; }
    ProfileState& Profile() { return *profile_; }
    DevicePresence* Presence() const { return presence_.get(); }
    QSystemTrayIcon* Tray() const { return tray_; }
    int ActiveTab() const { return activeTab_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void closeEvent(QCloseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DeviceHost
    void StartWorkerThreads() override;
    void ShowAndRaise() override;
    void StartUpdaterTimer() override;
    void PostClose() override;
    void SetArrivalRetry(bool on) override;

    void CreateControls();
    void CreatePages();
    void CreateTray();
    void SetTooltips();
    void OnApply();
    void OnProfile(int profile);
    void OnLanguageButton();
    void OnApplyLanguage(WParam reason, LParam number);
    void OnTrayCallback(LParam mouseMessage);
    void ShowTrayMenu();
    void OnHint(LParam code);
    void SetHint(std::u16string text);
    void OnRestoreDefaults();
    void RunSynchronisation();
    void OnSyncSucceededMessage(LParam warnings);
    void OnSyncFailedMessage(LParam code);
    void OnClose();
    void Shutdown();
    bool CloseOtherDialogs();
    void ShowProfileSelection();
    void SetLanguageLabel(int picture);
    void ReadHotPlug();
    void ReadWakeMessages();
    bool HasTray() const;
    bool IsOwnKeyTarget(QObject* object) const;

    DriverContext& ctx_;
    std::unique_ptr<ProfileState> profile_;
    std::unique_ptr<MacroTable> macros_;
    FirmwareVersion firmwareVersion_;
    CUSBDriver driver_;
    SyncControl sync_;
    ui::QtFileDialogs fileDialogs_;
    std::unique_ptr<ProfileFiles> files_;
    std::unique_ptr<MacroStore> macroStore_;
    std::unique_ptr<DeviceWriter> writer_;
    std::thread writerThread_;
    UpdateCheckControl updateControl_;
    std::unique_ptr<UpdateDownloader> downloader_;
    std::thread updateThread_;
    std::unique_ptr<DevicePresence> presence_;
    std::unique_ptr<support::CDlgProgress> progress_;
    std::unique_ptr<ui::PageEnvironment> pageEnvironment_;
    TooltipObservers tooltips_;
    int tooltipObserver_ = 0;

    QImage normal_, over_, down_;
    ui::CGDIBitmapBtn* minimise_ = nullptr;
    ui::CGDIBitmapBtn* hide_ = nullptr;
    ui::CGDIBitmapBtn* language_ = nullptr;
    QLabel* languageLabel_ = nullptr;
    std::array<ui::CIrrButton*, 5> tabs_{};
    std::array<ui::CIrrButton*, 5> profiles_{};
    ui::CIrrButton* apply_ = nullptr;
    std::array<QWidget*, kPageCount> pages_{};
    buttons::CDlgMainSet* buttonsPage_ = nullptr;
    buttons::CMouseDlg* mousePage_ = nullptr;
    lighting::CDlgLEDSet* lightingPage_ = nullptr;
    macro::CDlgMacro* macroPage_ = nullptr;
    stats::CDlgSts* statsPage_ = nullptr;
    support::CDlgSupport* supportPage_ = nullptr;
    QPointer<ui::CMenuExA> languageMenu_;
    QSystemTrayIcon* tray_ = nullptr;
    QSocketNotifier* hotPlugNotifier_ = nullptr;
    QSocketNotifier* wakeNotifier_ = nullptr;
    QEventLoop runLoop_;
    QTimer updaterTimer_;
    QTimer arrivalRetryTimer_;

    std::u16string hint_;
    int activeTab_ = 0;
    bool closing_ = false;
    bool shutDown_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace qx::app
