#include "base/ProfileRecord.h"

#include <cstring>

#include "base/Text.h"

namespace qx {

void MakeDefaultProfile(ProfileSettings& settings, bool chineseMode) {
    std::memset(&settings, 0, sizeof settings);
    settings.magic = kProfileMagic;
    for (int i = 0; i < kButtonCount; ++i) {
        auto& button = settings.buttons[i];
        button.function = kDefaultFunctions[static_cast<std::size_t>(i)];
        ToBuffer(FunctionName(button.function, chineseMode), button.displayName);
    }
    constexpr std::int32_t kDefaultDpi[kDpiLevelCount] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    std::copy(std::begin(kDefaultDpi), std::end(kDefaultDpi), settings.dpiList);
    settings.sensorHeight = 15;
    settings.reportInterval = 1;
    settings.lightingMode = 5;
    settings.ownColours = 0;
    for (auto& colour : settings.colours) colour = 0x0000FF;
    for (auto& fromWheel : settings.colourFromWheel) fromWheel = 1;
    settings.touchLight = 1;
    settings.enhancePrecision = 0;
    settings.pointerSpeed = 10;
    settings.brightness = 5;
    settings.breathingSpeed = 3;
    settings.symphonySpeed = 4;
    settings.scrollLines = 3;
}

}  // namespace qx
