#include "lighting/DlgLEDSet.h"

#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::lighting {

CDlgLEDSet::CDlgLEDSet(QWidget* parent, const ui::PageEnvironment& environment,
                       ProfileState& profile)
    : ui::CPageWnd(parent, environment), profile_(profile) {
    auto picture = [this](int i) {
        return ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kLighting[i])).image;
    };
    SetPictures(picture(0), picture(1), picture(2));
}

void CDlgLEDSet::Refresh() {
    update();
}

}  // namespace qx::lighting
