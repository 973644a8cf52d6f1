#include "app/SoftwareFunctions.h"

#include "base/FunctionCatalogue.h"
#include "base/Text.h"

namespace qx {

int ButtonOfEventCode(std::uint32_t eventCode) {
    for (int i = 0; i < kButtonCount; ++i)
        if (ButtonEventCode(i) == eventCode) return i;
    return -1;
}

void OnButtonReport(WParam eventCode, LParam lParam, const ProfileSettings& settings,
                    const TargetHandle& statisticsPage, DesktopActions& actions) {
    if (statisticsPage) statisticsPage->PostMessage(kMsgStatsButton, eventCode, lParam);
    const int index = ButtonOfEventCode(static_cast<std::uint32_t>(eventCode));
    if (index < 0) return;
    const ButtonSetting& button = settings.buttons[index];
    if (button.function != kFunctionSoftware) return;
    const std::u16string path = FromBuffer(button.actionPath);
    if (path.empty()) return;
    const std::filesystem::path target(ToUtf8(path));
    switch (button.actionCode) {
        case kActionSound:
            actions.PlaySoundFile(target);
            break;
        case kActionProgram:
            actions.RunProgram(target);
            break;
        case kActionFile:
        case kActionFolder:
            actions.OpenPath(target);
            break;
        default:
            break;
    }
}

}  // namespace qx
