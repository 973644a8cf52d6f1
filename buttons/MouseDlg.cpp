#include "buttons/MouseDlg.h"

#include <QApplication>
#include <QScreen>

#include "buttons/SettingsPageModel.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

CMouseDlg::CMouseDlg(QWidget* parent, const ui::PageEnvironment& environment,
                     std::u16string_view model)
    : ui::CPageWnd(parent, environment) {
    const auto& folder = env_.skinFolder;
    SetPictures(ui::LoadSkinPicture(folder / std::string(skin::kMouse[0])).image,
                ui::LoadSkinPicture(folder / std::string(skin::kMouse[1])).image,
                ui::LoadSkinPicture(folder / std::string(skin::kMouse[2])).image);

    // Right edge on the parent's right edge, centred on it vertically; the
    // main window moves the picture to its place afterwards.
    if (parent) {
        move(parent->width() - width(), (parent->height() - height()) / 2);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }

    const auto rects = MouseHotSpots(model);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* spot = new ui::CGDIBitmapBtn(this, i);
        const layout::Rect& r = rects[static_cast<std::size_t>(i)];
        spot->SetImages(r.left, r.top, r.right, r.bottom, &NormalPicture(), &OverPicture(),
                        &DownPicture(), &NormalPicture());
        spot->SetCheckMode(true);
        // An unknown model has no spots at all.
        spot->setVisible(r.Width() > 0 && r.Height() > 0);
        spots_[static_cast<std::size_t>(i)] = spot;
    }
}

void CMouseDlg::SetSpotSelected(int button, bool selected) {
    if (button < 0 || button >= kButtonCount) return;
    spots_[static_cast<std::size_t>(button)]->SetSelected(selected);
}

bool CMouseDlg::SpotSelected(int button) const {
    if (button < 0 || button >= kButtonCount) return false;
    return spots_[static_cast<std::size_t>(button)]->GetSelected();
}

}  // namespace qx::buttons
