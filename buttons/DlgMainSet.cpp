#include "buttons/DlgMainSet.h"

#include "i18n/LanguageTable.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

CDlgMainSet::CDlgMainSet(QWidget* parent, const ui::PageEnvironment& environment,
                         ProfileState& profile)
    : ui::CPageWnd(parent, environment), profile_(profile) {
    // The lettering of the pictures follows the language at creation.
    const bool chinese = env_.language.chineseMode;
    SetPictures(
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseNormal
                                        : skin::kSettingsEnglishNormal)
            .image,
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseOver : skin::kSettingsEnglishOver)
            .image,
        ui::LoadResourcePicture(chinese ? skin::kSettingsChineseDown : skin::kSettingsEnglishDown)
            .image);
}

void CDlgMainSet::RefreshFromProfile() {
    update();
}

void CDlgMainSet::NormalizeLinesEdit() {}

}  // namespace qx::buttons
