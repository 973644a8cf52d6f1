#include "macro/DlgMacro.h"

#include "macro/InputHooks.h"
#include "macro/MacroStore.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::macro {

CDlgMacro::CDlgMacro(QWidget* parent, const ui::PageEnvironment& environment, MacroStore& store,
                     InputHooks& hooks)
    : ui::CPageWnd(parent, environment), store_(store), hooks_(hooks) {
    auto picture = [this](int i) {
        return ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kMacroPage[i])).image;
    };
    SetPictures(picture(0), picture(1), picture(2));
}

void CDlgMacro::FillMacroList(std::int32_t) {}

void CDlgMacro::StopRecording() {
    recording_ = false;
}

void CDlgMacro::CloseCategoryMenu() {}

void CDlgMacro::NormaliseLoopCount() {}

}  // namespace qx::macro
