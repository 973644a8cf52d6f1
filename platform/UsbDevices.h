// The USB devices present, by their first hardware ID ("USB\VID_04D9&PID_8022
// &REV_0100"): those of sysfs (/sys/bus/usb/devices/*/idVendor, idProduct) and
// the virtual mice of the folder named by QX_VIRTUAL_HID_DIR.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class UsbDeviceList {
public:
    virtual ~UsbDeviceList() = default;
    virtual std::vector<std::string> FirstHardwareIds() = 0;
};

class SystemUsbDevices final : public UsbDeviceList {
public:
    // An empty virtualFolder lists no virtual devices.
    explicit SystemUsbDevices(std::filesystem::path sysRoot = "/sys",
                              std::filesystem::path virtualFolder = {});
    std::vector<std::string> FirstHardwareIds() override;

private:
    std::filesystem::path sysRoot_;
    std::filesystem::path virtualFolder_;
};

// The machine's USB devices and the virtual mice of QX_VIRTUAL_HID_DIR.
std::unique_ptr<UsbDeviceList> MakeSystemUsbDevices();

// True when a present USB device has a first hardware ID that contains the
// text, compared without regard to case.
bool FindUsbHardwareId(UsbDeviceList& devices, std::string_view text);

std::string UsbHardwareId(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t revision);

}  // namespace qx
