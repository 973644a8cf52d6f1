#include "app/MainWindowModel.h"

#include <algorithm>

#include "ui/layout/SkinLayout.h"

namespace qx {
namespace {

namespace L = layout::main_window;

bool InWidenedBox(const layout::Quad& quad, int x, int y) {
    int left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
    for (const auto& p : quad) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // The corner points are inclusive; one more pixel on every side.
    return x >= left - 1 && x <= right + 1 && y >= top - 1 && y <= bottom + 1;
}

}  // namespace

int MainHintCodeAt(int x, int y) {
    for (int i = 0; i < 5; ++i)
        if (InWidenedBox(L::kTabs[i], x, y)) return kHintFirstTab + i;
    for (int i = 0; i < 5; ++i)
        if (InWidenedBox(L::kProfiles[i], x, y)) return kHintFirstProfile + i;
    if (InWidenedBox(L::kApply, x, y)) return kHintApply;
    return 0;
}

PageSwitch SwitchPageTable(int tab) {
    PageSwitch s;
    if (tab < 1 || tab > 5) return s;
    s.valid = true;
    s.leavesMacroPage = tab != 3;
    s.profileButtonsEnabled = tab <= 3;
    auto show = [&s](PageId page) { s.shown[static_cast<int>(page)] = true; };
    switch (tab) {
        case 1:
            show(PageId::Buttons);
            show(PageId::MousePicture);
            s.refreshButtonsPage = true;
            break;
        case 2:
            show(PageId::Lighting);
            s.refreshLightingPage = true;
            break;
        case 3:
            show(PageId::Macros);
            break;
        case 4:
            show(PageId::Trophies);
            break;
        case 5:
            show(PageId::Support);
            break;
    }
    return s;
}

TrayAction TrayCallbackAction(LParam mouseMessage) {
    if (mouseMessage == kWmLButtonDblClk) return TrayAction::RefreshAndShow;
    if (mouseMessage == kWmRButtonUp) return TrayAction::ShowMenu;
    return TrayAction::Nothing;
}

KeyVerdict FilterMainWindowKey(std::uint32_t virtualKey, bool altHeld) {
    if (virtualKey == kVkF4 && altHeld) return KeyVerdict::HideToTray;
    if (virtualKey == kVkReturn || virtualKey == kVkEscape || virtualKey == kVkSpace)
        return KeyVerdict::Drop;
    return KeyVerdict::Pass;
}

}  // namespace qx
