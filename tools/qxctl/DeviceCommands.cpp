// qxctl devices, qxctl version.
#include <cstdio>
#include <memory>

#include "app/Folders.h"
#include "base/Clock.h"
#include "base/MouseIdentity.h"
#include "device/HidDescriptor.h"
#include "device/USBDriver.h"
#include "platform/SystemHidBackend.h"
#include "tools/qxctl/Cli.h"

namespace qx::cli {
int RunDevices(Context& context) {
    const bool all = context.HasFlag("--all");
    auto backend = MakeSystemHidBackend();
    int shown = 0;
    for (const auto& interface : backend->EnumerateInterfaces()) {
        const auto attributes = backend->GetAttributes(interface.path);
        const bool mouse = attributes && attributes->vendorId == kMouseVendorId &&
                           attributes->productId == kMouseProductId;
        if (!mouse && !all) continue;
        std::string config = "no configuration value";
        if (const auto caps = backend->GetFeatureValueCaps(interface.path)) {
            if (const auto* value = FindConfigValue(*caps)) {
                char text[64];
                std::snprintf(text, sizeof text, "report ID 0x%02X, report length %u",
                              value->reportId, value->reportCount);
                config = text;
            }
        } else {
            config = "report descriptor unreadable";
        }
        std::printf("%s  %04X:%04X  %s%s\n", interface.path.c_str(),
                    attributes ? attributes->vendorId : 0, attributes ? attributes->productId : 0,
                    config.c_str(), interface.isVirtual ? "  (virtual)" : "");
        ++shown;
    }
    if (shown == 0) std::printf(all ? "no HID interfaces found\n" : "no mouse found\n");
    return 0;
}

int RunVersion(Context&) {
    auto backend = MakeSystemHidBackend();
    CUSBDriver driver(*backend, DefaultSleeper());
    if (!driver.CreateChannel(ExecutableFolder()))
        return Fail(std::string(kHidParseLibraryFile) + " or its OpenHidDevice export is missing");
    if (!driver.OpenDevice()) return Fail("no mouse found");
    int version = 0;
    if (!driver.ReadFirmwareVersion(version))
        return Fail("the mouse did not answer the firmware version query");
    std::printf("%d\n", version);
    return 0;
}

}  // namespace qx::cli
