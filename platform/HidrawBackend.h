// The kernel's HID interfaces: enumerated from sysfs (/sys/class/hidraw/*,
// their HID_ID and report_descriptor), reached through /dev/hidrawN. Both
// roots are injectable so enumeration is tested on a fixture tree.
#pragma once

#include <filesystem>

#include "device/HidBackend.h"

namespace qx {

class HidrawBackend final : public HidBackend {
public:
    explicit HidrawBackend(std::filesystem::path sysRoot = "/sys",
                           std::filesystem::path devRoot = "/dev");

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    std::optional<HidAttributes> GetAttributes(const std::string& path) override;
    std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(const std::string& path) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
    // flock on the /dev/hidrawN node itself.
    std::unique_ptr<HidDeviceLock> LockDevice(const std::string& path,
                                              std::chrono::milliseconds wait) override;

private:
    // sysfs folder of the HID device behind a /dev/hidrawN path.
    std::optional<std::filesystem::path> DeviceFolder(const std::string& path) const;

    std::filesystem::path sysRoot_;
    std::filesystem::path devRoot_;
};

// HID_ID=0003:00007D3A:00006E41 of a uevent text.
std::optional<HidAttributes> ParseHidId(std::string_view uevent);

// The identifier of /dev/<node>: "HID\VID_7D3A&PID_6E41&MI_01\hidraw3". It
// carries the IDs and the USB interface number where known, like the device
// paths of other systems; hot-plug events build the same text.
std::string HidrawIdentifier(const std::optional<HidAttributes>& attributes,
                             std::optional<unsigned> interfaceNumber, std::string_view node);

}  // namespace qx
