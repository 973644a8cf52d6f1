// The buttons page: DPI levels, pointer speed and precision, sensor height,
// report rate, the wheel and the seven assignment tabs, all edited straight
// into the active profile.
#pragma once

#include "base/ProfileRecord.h"
#include "ui/PageWnd.h"

namespace qx::buttons {

class CDlgMainSet : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgMainSet(QWidget* parent, const ui::PageEnvironment& environment, ProfileState& profile);

    // Shows the active profile's values on every control.
    void RefreshFromProfile();
    // Brings the wheel lines edit back to a number in range before Apply.
    void NormalizeLinesEdit();

private:
    ProfileState& profile_;
};

}  // namespace qx::buttons
