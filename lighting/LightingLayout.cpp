#include "lighting/LightingLayout.h"

namespace qx::lighting {

std::vector<int> HintsAt(int x, int y, bool chineseLayout, bool ownColoursOn) {
    std::vector<int> hints;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        if (row.hint == 0) continue;
        const layout::Rect& r = row.Rect(chineseLayout);
        const layout::Rect grown{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        if (!grown.Contains(x, y)) continue;
        hints.push_back(i == kOwnColoursButton && ownColoursOn ? kOwnColoursOnHint : row.hint);
    }
    return hints;
}

}  // namespace qx::lighting
