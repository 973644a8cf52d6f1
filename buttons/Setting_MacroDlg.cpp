#include "buttons/Setting_MacroDlg.h"

#include "buttons/Setting_BaseDlg.h"
#include "i18n/LanguageTable.h"
#include "ui/ListBoxEx.h"
#include "ui/SkinPicture.h"
#include "ui/SkinScrollBar.h"
#include "ui/layout/SkinFiles.h"

namespace qx::buttons {

namespace E = layout::editor;

namespace {
constexpr int kItemHeight = 16;
}

CSetting_MacroDlg::CSetting_MacroDlg(QWidget* parent, const ui::PageEnvironment& environment,
                                     const MacroTable& macros)
    : ui::CPageWnd(parent, environment), macros_(macros) {
    SetPictures(ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kMacroTab[0])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kMacroTab[1])).image,
                ui::LoadSkinPicture(ui::SkinPath(env_.appFolder, skin::kMacroTab[2])).image);

    auto makeList = [this](int id, const layout::Rect& r) {
        auto* list = new ui::CListBoxEx(this, id);
        list->setGeometry(ui::ToQRect(r));
        StyleEditorList(*list, kItemHeight);
        list->SetNotifyWindow(this);
        new ui::CSkinScrollWnd(this, list);
        return list;
    };
    categories_ = makeList(kCategoryListId, E::kCategoryList);
    macroList_ = makeList(kMacroListId, E::kMacroList);
    for (const std::u16string& text : CategoryListTexts(env_.language.chineseMode))
        categories_->AddString(QString::fromStdU16String(text));
    categories_->setCurrentRow(-1);
    FillMacroList(0);

    messageMap_.On(kMsgListSelChange, [this](WParam id, LParam index) {
        if (static_cast<int>(id) != kCategoryListId || index == lastCategoryRow_) return;
        lastCategoryRow_ = static_cast<int>(index);
        FillMacroList(static_cast<std::uint32_t>(index + 1));
    });
}

void CSetting_MacroDlg::FillMacroList(std::uint32_t category) {
    macroList_->setUpdatesEnabled(false);
    macroList_->clear();
    for (const MacroListItem& item : MacrosOfCategory(macros_, category))
        macroList_->AddString(QString::fromStdU16String(item.name),
                              static_cast<std::int32_t>(item.id));
    macroList_->setCurrentRow(-1);
    macroList_->setUpdatesEnabled(true);
}

std::optional<std::uint32_t> CSetting_MacroDlg::SelectedMacro() const {
    const int row = macroList_->currentRow();
    if (row < 0 || !macroList_->item(row) || !macroList_->item(row)->isSelected())
        return std::nullopt;
    return static_cast<std::uint32_t>(macroList_->GetItemData(row));
}

}  // namespace qx::buttons
