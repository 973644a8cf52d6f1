// The picture of the chosen mouse model beside the buttons page, with a hot
// spot lit over the button whose assignment tab the pointer rests on.
#pragma once

#include <array>
#include <string>

#include "base/FunctionCatalogue.h"
#include "ui/PageWnd.h"

namespace qx::ui {
class CGDIBitmapBtn;
}

namespace qx::buttons {

class CMouseDlg : public ui::CPageWnd {
    Q_OBJECT
public:
    // model: the device model, which chooses the hot spots (none for a name
    // that is not one of the six).
    CMouseDlg(QWidget* parent, const ui::PageEnvironment& environment, std::u16string_view model);

    // Lights (or darkens) the spot of button 0-6.
    void SetSpotSelected(int button, bool selected);
    bool SpotSelected(int button) const;
    ui::CGDIBitmapBtn* Spot(int button) const { return spots_[static_cast<std::size_t>(button)]; }

private:
    std::array<ui::CGDIBitmapBtn*, kButtonCount> spots_{};
};

}  // namespace qx::buttons
