// The device model chooser, shown at start-up while no valid model is stored:
// a small skinned dialog with the menu library's list of the six models.
#pragma once

#include <QImage>
#include <filesystem>
#include <string>

#include "ui/PrivateMessage.h"

namespace qx {
class MenuLibrary;
}

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::app {

struct ModelChoice {
    const char16_t* name;
    std::int32_t command;
};
inline constexpr ModelChoice kModelChoices[6] = {{u"QX100", 33}, {u"QX200", 37}, {u"QX300", 38},
                                                 {u"QX400", 40}, {u"QX500", 41}, {u"QX600", 42}};
// The model of a list line's command value; nullptr for a value outside the list.
const char16_t* ModelOfCommand(std::int32_t command);

class CDlgModel : public ui::CMessageDialog {
    Q_OBJECT
public:
    // deviceModel and the INI file are written on OK and on close.
    CDlgModel(std::filesystem::path appFolder, std::filesystem::path modelIniPath,
              std::u16string& deviceModel, const MenuLibrary& menuLibrary, bool chineseMode,
              QWidget* parent = nullptr);
    ~CDlgModel() override;

    // Runs modally: kIdOk with the chosen model stored, kIdCancel with "NULL".
    int Run();

    ui::CGDIBitmapBtn* SelectorButton() const { return selector_; }
    ui::CGDIBitmapBtn* OkButton() const { return ok_; }
    ui::CGDIBitmapBtn* CloseButton() const { return close_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void OpenList();
    void OnMenuChoice(std::int32_t command);
    void Finish(int result);

    std::filesystem::path appFolder_;
    std::filesystem::path modelIniPath_;
    std::u16string& deviceModel_;
    const MenuLibrary& menuLibrary_;
    bool chinese_;
    QImage normal_, over_, down_;
    ui::CGDIBitmapBtn* close_ = nullptr;
    ui::CGDIBitmapBtn* ok_ = nullptr;
    ui::CGDIBitmapBtn* selector_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
    bool finished_ = false;
};

}  // namespace qx::app
