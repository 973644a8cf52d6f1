// The editor's key combination tab: four modifier boxes and the captured key,
// both fed by the keyboard hook while the tab is shown.
#pragma once

#include <array>

#include "base/KeyboardLayout.h"
#include "buttons/SettingEditorModel.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::buttons {

class CSetting_SingleComboDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    CSetting_SingleComboDlg(QWidget* parent, const ui::PageEnvironment& environment,
                            SettingEditorModel& model, const KeyboardLayout& layout);

    // Ctrl, Alt, Shift, Win.
    ui::CGDIBitmapBtn* ModifierBox(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    // The captured key's name as painted; empty while there is none.
    QString KeyText() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void ShowBoxes();

    SettingEditorModel& model_;
    const KeyboardLayout& layout_;
    std::array<ui::CGDIBitmapBtn*, 4> boxes_{};
};

}  // namespace qx::buttons
