// The lighting page: mode, colour slots, presets, wheel and speeds of the
// active profile. A thin window over LightingPageModel: every command goes to
// the model and the page then shows what the model's controls say.
#pragma once

#include <array>

#include "base/ProfileRecord.h"
#include "lighting/LightingLayout.h"
#include "lighting/LightingPageModel.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
class CColorBtn;
class CPngHSliderBar;
class CBitmapEdit;
}  // namespace qx::ui

namespace qx::lighting {

class CDlgLEDSet : public ui::CPageWnd {
    Q_OBJECT
public:
    // The placement (English or Chinese rectangles and pictures) follows the
    // language at creation and stays for the page's life.
    CDlgLEDSet(QWidget* parent, const ui::PageEnvironment& environment, ProfileState& profile);
    ~CDlgLEDSet() override;

    // Shows the active profile's lighting fields on every control.
    void Refresh();

    bool ChineseLayout() const { return chinese_; }
    const LightingPageModel& Model() const { return model_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void SetTooltips();
    void ShowControls();
    void OnCommand(WParam id);
    void OnPointerAt(QPoint at);
    void UpdateCursor(QPoint at);
    QRect ControlRect(Control control) const;

    LightingPageModel model_;
    bool chinese_;
    int tooltipObserver_ = 0;
    QPoint lastPointer_{-1, -1};

    std::array<ui::CGDIBitmapBtn*, 6> modeButtons_{};  // modes 1-6
    ui::CGDIBitmapBtn* ownColours_ = nullptr;
    ui::CGDIBitmapBtn* bodyOn_ = nullptr;
    ui::CGDIBitmapBtn* bodyOff_ = nullptr;
    std::array<ui::CColorBtn*, kColourSlots> swatches_{};
    std::array<ui::CGDIBitmapBtn*, kPresetColourCount> presets_{};
    ui::CPngHSliderBar* breathingSpeed_ = nullptr;
    ui::CPngHSliderBar* brightness_ = nullptr;
    ui::CPngHSliderBar* mode5Speed_ = nullptr;
    std::array<ui::CPngHSliderBar*, 3> colourSliders_{};
    std::array<ui::CBitmapEdit*, 3> numberBoxes_{};
};

}  // namespace qx::lighting
