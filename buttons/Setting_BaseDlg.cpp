#include "buttons/Setting_BaseDlg.h"

#include "base/FunctionCatalogue.h"
#include "buttons/ButtonAssignment.h"
#include "i18n/LanguageTable.h"
#include "ui/ListBoxEx.h"
#include "ui/SkinPicture.h"
#include "ui/SkinScrollBar.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace E = layout::editor;

void StyleEditorList(ui::CListBoxEx& list, int itemHeight) {
    list.SetItemHeight(itemHeight);
    list.SetBackColors(QColor(0x0F, 0x0F, 0x0F), QColor(0x25, 0x25, 0x25));
    list.SetTextColors(QColor(0x53, 0x5C, 0x6B), QColor(0x96, 0x96, 0x96));
}

CSetting_BaseDlg::CSetting_BaseDlg(QWidget* parent, const ui::PageEnvironment& environment)
    : ui::CPageWnd(parent, environment) {
    SetPictures(ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kBaseTab[0])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kBaseTab[1])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kBaseTab[2])).image);
    list_ = new ui::CListBoxEx(this, kListId);
    list_->setGeometry(ui::ToQRect(E::kBasicList));
    StyleEditorList(*list_, 18);
    list_->SetNotifyWindow(this);
    const auto texts = EditorListTexts(env_.language.table);
    const auto entries = EditorFunctionList();
    for (std::size_t i = 0; i < entries.size(); ++i)
        list_->AddString(QString::fromStdU16String(texts[i]), entries[i].code);
    list_->setCurrentRow(-1);
    new ui::CSkinScrollWnd(this, list_);
}

std::int32_t CSetting_BaseDlg::SelectedFunction() const {
    const int row = list_->currentRow();
    if (row < 0 || !list_->item(row) || !list_->item(row)->isSelected()) return 0;
    return list_->GetItemData(row);
}

}  // namespace qx::buttons
