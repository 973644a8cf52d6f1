#include "support/DlgSupport.h"

#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::support {

CDlgSupport::CDlgSupport(QWidget* parent, const ui::PageEnvironment& environment,
                         const FirmwareVersion& firmwareVersion)
    : ui::CPageWnd(parent, environment), firmwareVersion_(firmwareVersion) {
    auto picture = [this](int i) {
        return ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kSupport[i])).image;
    };
    SetPictures(picture(0), picture(1), picture(2));
}

}  // namespace qx::support
