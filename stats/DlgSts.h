// The trophies page: usage counters, trophy level, lamps and bar.
#pragma once

#include "ui/PageWnd.h"

namespace qx::stats {

class CDlgSts : public ui::CPageWnd {
    Q_OBJECT
public:
    CDlgSts(QWidget* parent, const ui::PageEnvironment& environment);

    // The session is ending: keep what was counted.
    void SaveCounters();
};

}  // namespace qx::stats
