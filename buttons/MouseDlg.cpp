#include "buttons/MouseDlg.h"

#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

CMouseDlg::CMouseDlg(QWidget* parent, const ui::PageEnvironment& environment)
    : ui::CPageWnd(parent, environment) {
    const auto& folder = env_.skinFolder;
    SetPictures(ui::LoadSkinPicture(folder / std::string(skin::kMouse[0])).image,
                ui::LoadSkinPicture(folder / std::string(skin::kMouse[1])).image,
                ui::LoadSkinPicture(folder / std::string(skin::kMouse[2])).image);
}

}  // namespace qx::buttons
