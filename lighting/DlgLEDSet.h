// The lighting page: mode, colour slots, presets, wheel and speeds of the
// active profile.
#pragma once

#include "base/ProfileRecord.h"
#include "ui/PageWnd.h"

namespace qx::lighting {

class CDlgLEDSet : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgLEDSet(QWidget* parent, const ui::PageEnvironment& environment, ProfileState& profile);

    // Shows the active profile's lighting fields on every control.
    void Refresh();

private:
    ProfileState& profile_;
};

}  // namespace qx::lighting
