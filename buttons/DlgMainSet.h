// The buttons page: DPI levels, pointer speed and precision, sensor height,
// report rate, the wheel and the seven assignment tabs, all edited straight
// into the active profile.
#pragma once

#include <QTimer>
#include <array>

#include "base/FileDialogs.h"
#include "base/KeyboardLayout.h"
#include "base/ProfileRecord.h"
#include "buttons/PointerSettings.h"
#include "macro/InputHooks.h"
#include "macro/MacroTable.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
class CIrrButton;
class CPngHSliderBar;
class CBitmapEdit;
}  // namespace qx::ui

namespace qx::buttons {

class CMouseDlg;

// What the page and its per-button editor work with besides the profile.
struct ButtonsPageServices {
    const MacroTable& macros;
    InputHooks& hooks;
    const KeyboardLayout& keyboardLayout;
    // The advanced tab's file and folder dialogs; null: the desktop's own,
    // over the editor.
    FileDialogs* fileDialogs = nullptr;
};

class CDlgMainSet : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgMainSet(QWidget* parent, const ui::PageEnvironment& environment, ProfileState& profile,
                const ButtonsPageServices& services);
    ~CDlgMainSet() override;

    // Shows the active profile's values on every control.
    void RefreshFromProfile();
    // Brings the wheel lines edit back to a number in range before Apply.
    void NormalizeLinesEdit();

    static inline constexpr int kSpotTimer = 17;  // lights the mouse picture's spots
    static inline constexpr int kSpotPeriodMs = 200;
    static inline constexpr int kLinesTimer = 152;  // normalises the lines edit
    static inline constexpr int kLinesPeriodMs = 4000;
    void OnTimer(int id);

    // The button whose editor is open, -1 when none.
    int OpenButton() const { return openButton_; }

    // The controls, for tests.
    ui::CGDIBitmapBtn* DpiBox(int i) const { return dpiBoxes_[static_cast<std::size_t>(i)]; }
    ui::CPngHSliderBar* PointerSpeedSlider() const { return pointerSpeed_; }
    ui::CPngHSliderBar* SensorHeightSlider() const { return sensorHeight_; }
    ui::CGDIBitmapBtn* AccuracyBox() const { return accuracy_; }
    ui::CGDIBitmapBtn* ReportRate(int i) const { return reportRates_[static_cast<std::size_t>(i)]; }
    ui::CGDIBitmapBtn* WheelLines() const { return wheelLines_; }
    ui::CGDIBitmapBtn* WheelScreen() const { return wheelScreen_; }
    ui::CBitmapEdit* LinesEdit() const { return linesEdit_; }
    ui::CGDIBitmapBtn* LinesUp() const { return linesUp_; }
    ui::CGDIBitmapBtn* LinesDown() const { return linesDown_; }
    ui::CIrrButton* Tab(int i) const { return tabs_[static_cast<std::size_t>(i)]; }

protected:
    void mouseMoveEvent(QMouseEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void SetTooltips();
    void OnCommand(LParam control);
    void OnSlider(WParam position, LParam id);
    void OnMouseMoveAt(int x, int y);
    void OnTab(int button);
    void ShowDpiBoxes();
    void ShowWheel();
    CMouseDlg* MousePicture() const;

    ProfileState& profile_;
    ButtonsPageServices services_;
    bool chineseLayout_;  // pictures and wheel positions chosen at creation
    int tooltipObserver_ = 0;

    std::array<ui::CGDIBitmapBtn*, kDpiListSize> dpiBoxes_{};
    ui::CPngHSliderBar* pointerSpeed_ = nullptr;
    ui::CPngHSliderBar* sensorHeight_ = nullptr;
    ui::CGDIBitmapBtn* accuracy_ = nullptr;
    std::array<ui::CGDIBitmapBtn*, kReportRateButtons> reportRates_{};
    ui::CGDIBitmapBtn* wheelLines_ = nullptr;
    ui::CGDIBitmapBtn* wheelScreen_ = nullptr;
    ui::CBitmapEdit* linesEdit_ = nullptr;
    ui::CGDIBitmapBtn* linesUp_ = nullptr;
    ui::CGDIBitmapBtn* linesDown_ = nullptr;
    std::array<ui::CIrrButton*, kButtonCount> tabs_{};
    std::array<ui::CGDIBitmapBtn*, 6> headings_{};

    WheelControls wheel_;
    int openButton_ = -1;
    QTimer spotTimer_;
    QTimer linesTimer_;
};

}  // namespace qx::buttons
