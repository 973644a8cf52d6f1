// The picture of the chosen mouse model beside the buttons page, with a hot
// spot lit over the button whose assignment tab the pointer rests on.
#pragma once

#include <string>

#include "ui/PageWnd.h"

namespace qx::buttons {

class CMouseDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    CMouseDlg(QWidget* parent, const ui::PageEnvironment& environment);
};

}  // namespace qx::buttons
