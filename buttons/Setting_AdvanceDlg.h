// The editor's advanced tab: a software function per row (play a sound, run
// a program, open a file, open a folder), each with a path chosen in the
// desktop's file or folder dialog.
#pragma once

#include <array>
#include <memory>

#include "base/FileDialogs.h"
#include "buttons/SettingEditorModel.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
class QtFileDialogs;
}  // namespace qx::ui

namespace qx::buttons {

class CSetting_AdvanceDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    // dialogs: null asks the desktop, over this tab's window.
    CSetting_AdvanceDlg(QWidget* parent, const ui::PageEnvironment& environment,
                        SettingEditorModel& model, int buttonIndex, FileDialogs* dialogs);
    ~CSetting_AdvanceDlg() override;

    ui::CGDIBitmapBtn* Choice(int row) const { return choices_[static_cast<std::size_t>(row)]; }
    ui::CGDIBitmapBtn* PathBox(int row) const { return paths_[static_cast<std::size_t>(row)]; }
    ui::CGDIBitmapBtn* Browse(int row) const { return browse_[static_cast<std::size_t>(row)]; }

    // Selects the row, then asks for its path (a browse button, a double
    // click on the path box).
    void BrowseRow(int row);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetTexts();
    void ShowRows();

    SettingEditorModel& model_;
    std::unique_ptr<ui::QtFileDialogs> ownDialogs_;
    FileDialogs* dialogs_;
    int tooltipObserver_ = 0;
    std::array<ui::CGDIBitmapBtn*, kAdvancedRowCount> choices_{};
    std::array<ui::CGDIBitmapBtn*, kAdvancedRowCount> paths_{};
    std::array<ui::CGDIBitmapBtn*, kAdvancedRowCount> browse_{};
};

}  // namespace qx::buttons
