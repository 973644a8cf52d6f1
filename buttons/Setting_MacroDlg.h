// The editor's macro tab: the 22 game categories and the stored macros of the
// chosen one.
#pragma once

#include <optional>

#include "buttons/SettingEditorModel.h"
#include "macro/MacroTable.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CListBoxEx;
}

namespace qx::buttons {

class CSetting_MacroDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    static inline constexpr int kCategoryListId = 10001;
    static inline constexpr int kMacroListId = 10002;

    CSetting_MacroDlg(QWidget* parent, const ui::PageEnvironment& environment,
                      const MacroTable& macros);

    // The id of the selected macro, if one is.
    std::optional<std::uint32_t> SelectedMacro() const;

    ui::CListBoxEx* CategoryList() const { return categories_; }
    ui::CListBoxEx* MacroList() const { return macroList_; }

private:
    void FillMacroList(std::uint32_t category);

    const MacroTable& macros_;
    ui::CListBoxEx* categories_ = nullptr;
    ui::CListBoxEx* macroList_ = nullptr;
    int lastCategoryRow_ = -1;
};

}  // namespace qx::buttons
