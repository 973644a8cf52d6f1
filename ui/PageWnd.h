// The base of the main window's pages: a child window drawn from its three
// full-page pictures, which reports hints to the main window and drops the
// keys that must neither press a control nor close anything.
#pragma once

#include <QImage>
#include <filesystem>

#include "base/Messages.h"
#include "base/Notifier.h"
#include "ui/PrivateMessage.h"

namespace qx {
struct Localization;
class TooltipObservers;
}  // namespace qx

namespace qx::ui {

// What every page of the main window works with.
struct PageEnvironment {
    std::filesystem::path appFolder;
    std::filesystem::path skinFolder;  // appFolder/skins/<model>
    const Localization& language;
    Notifier& notifier;
    TooltipObservers& tooltips;  // set the tooltips again after a language change
    TargetHandle mainWindow;     // hints (WM_USER+1029) and requests to the main window
};

class CPageWnd : public CMessageWidget {
    Q_OBJECT
public:
    CPageWnd(QWidget* parent, const PageEnvironment& environment);

    const QImage& NormalPicture() const { return normal_; }
    // The hover and pressed pictures serve only to cut the controls' images;
    // once every control is made they are let go (a page keeps its normal
    // picture to paint).
    void ReleaseStatePictures() {
        over_ = QImage();
        down_ = QImage();
    }
    const QImage& OverPicture() const { return over_; }
    const QImage& DownPicture() const { return down_; }

protected:
    // The window takes the size of the normal picture.
    void SetPictures(QImage normal, QImage over, QImage down);
    // WM_USER+1029 with the code to the main window.
    void PostHint(int code) const;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;

    PageEnvironment env_;

private:
    QImage normal_, over_, down_;
};

// Enter, Escape and Space: the keys every page and dialog drops.
bool IsDroppedKey(int qtKey);

}  // namespace qx::ui
