// The editor's basic tab: the 24 basic functions by their language texts.
#pragma once

#include <cstdint>

#include "ui/PageWnd.h"

namespace qx::ui {
class CListBoxEx;
}

namespace qx::buttons {

// The colours every list of the editor shares.
void StyleEditorList(ui::CListBoxEx& list, int itemHeight);

class CSetting_BaseDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    static inline constexpr int kListId = 101;

    CSetting_BaseDlg(QWidget* parent, const ui::PageEnvironment& environment);

    // The function code of the selected entry, 0 when none is.
    std::int32_t SelectedFunction() const;
    ui::CListBoxEx* List() const { return list_; }

private:
    ui::CListBoxEx* list_ = nullptr;
};

}  // namespace qx::buttons
