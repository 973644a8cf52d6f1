// The support page: versions, the firmware update check, the maker's web site,
// profile import and export, and restoring the default profile.
#pragma once

#include "base/FirmwareVersion.h"
#include "ui/PageWnd.h"

namespace qx::support {

class CDlgSupport : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgSupport(QWidget* parent, const ui::PageEnvironment& environment,
                const FirmwareVersion& firmwareVersion);

private:
    const FirmwareVersion& firmwareVersion_;
};

}  // namespace qx::support
