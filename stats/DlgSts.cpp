#include "stats/DlgSts.h"

#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::stats {

CDlgSts::CDlgSts(QWidget* parent, const ui::PageEnvironment& environment)
    : ui::CPageWnd(parent, environment) {
    auto picture = [this](int i) {
        return ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kTrophies[i])).image;
    };
    SetPictures(picture(0), picture(1), picture(2));
    messageMap_.On(kMsgStatsButton, [](WParam, LParam) {});
}

void CDlgSts::SaveCounters() {}

}  // namespace qx::stats
