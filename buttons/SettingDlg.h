// The per-button editor: a small modal window with four tabs (key
// combination, macro, basic function, software function), a disable box, a
// default-setting button and OK. It hands back a SettingResult; the page
// checks and stores it.
#pragma once

#include <QImage>
#include <array>
#include <memory>
#include <string>

#include "buttons/DlgMainSet.h"
#include "buttons/SettingEditorModel.h"
#include "ui/PageWnd.h"
#include "ui/PrivateMessage.h"

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::buttons {

class CSetting_SingleComboDlg;
class CSetting_MacroDlg;
class CSetting_BaseDlg;
class CSetting_AdvanceDlg;

class CSettingDlg : public ui::CMessageDialog {
    Q_OBJECT
public:
    // currentName: the button's name in the current language, for the header.
    CSettingDlg(QWidget* parent, const ui::PageEnvironment& environment,
                const ButtonsPageServices& services, int buttonIndex, std::u16string currentName);
    ~CSettingDlg() override;

    // Runs modally: kIdOk with Result() filled, or kIdCancel.
    int Run();
    const SettingResult& Result() const { return model_->Result(); }
    const SettingEditorModel& Model() const { return *model_; }
    // The button's name as the header shows it.
    const std::u16string& CurrentName() const { return currentName_; }

    // The parts a person clicks, for tests.
    ui::CGDIBitmapBtn* CloseButton() const { return close_; }
    ui::CGDIBitmapBtn* TabButton(int tab) const { return tabButtons_[tab - 1]; }
    ui::CGDIBitmapBtn* DisableBox() const { return disable_; }
    ui::CGDIBitmapBtn* DefaultButton() const { return default_; }
    ui::CGDIBitmapBtn* OkButton() const { return ok_; }
    CSetting_SingleComboDlg* ComboTab() const { return combo_; }
    CSetting_MacroDlg* MacroTab() const { return macro_; }
    CSetting_BaseDlg* BaseTab() const { return base_; }
    CSetting_AdvanceDlg* AdvanceTab() const { return advance_; }
    QWidget* TabWindow(int tab) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void OnCommand(LParam control);
    void SelectTab(int tab);
    void ShowTabs();
    void End(int code);

    ui::PageEnvironment env_;
    ButtonsPageServices services_;
    std::u16string currentName_;
    QImage normal_, over_, down_;
    std::unique_ptr<SettingEditorModel> model_;

    ui::CGDIBitmapBtn* close_ = nullptr;
    std::array<ui::CGDIBitmapBtn*, kEditorTabCount> tabButtons_{};
    ui::CGDIBitmapBtn* disable_ = nullptr;
    ui::CGDIBitmapBtn* default_ = nullptr;
    ui::CGDIBitmapBtn* ok_ = nullptr;
    CSetting_SingleComboDlg* combo_ = nullptr;
    CSetting_MacroDlg* macro_ = nullptr;
    CSetting_BaseDlg* base_ = nullptr;
    CSetting_AdvanceDlg* advance_ = nullptr;

    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace qx::buttons
