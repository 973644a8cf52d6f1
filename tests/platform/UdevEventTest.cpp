// udev events, as `udevadm monitor --property` shows them, turned into hot-plug
// events. There is no udev daemon or USB host here, so the recorded properties
// stand in for the monitor, and the identifiers are held against what the HID
// layer and the USB list read from a sysfs tree of the same devices.
#include <gtest/gtest.h>

#include "platform/HidrawBackend.h"
#include "platform/HotPlug.h"
#include "platform/UsbDevices.h"
#include "tests/common/TempDir.h"
#include "tests/platform/FakeHotPlugSource.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using Kind = HotPlugEvent::Kind;

constexpr char kMouseConfigPath[] =
    "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:7D3A:6E41.0006/hidraw/hidraw4";

// The kernel's part of a hidraw event; a removal carries nothing more.
UdevProperties Hidraw(const std::string& action, const std::string& devpath) {
    const std::string node = devpath.substr(devpath.rfind('/') + 1);
    return {{"ACTION", action},          {"DEVPATH", devpath}, {"SUBSYSTEM", "hidraw"},
            {"DEVNAME", "/dev/" + node}, {"MAJOR", "241"},     {"MINOR", "4"},
            {"SEQNUM", "4321"}};
}

UdevProperties FirmwareModeDevice(const std::string& action) {
    return {{"ACTION", action},
            {"DEVPATH", "/devices/pci0000:00/0000:00:14.0/usb1/1-2"},
            {"SUBSYSTEM", "usb"},
            {"DEVTYPE", "usb_device"},
            {"DEVNAME", "/dev/bus/usb/001/005"},
            {"PRODUCT", "4d9/8022/100"},
            {"TYPE", "0/0/0"},
            {"BUSNUM", "001"},
            {"DEVNUM", "005"},
            {"SEQNUM", "4310"}};
}

UdevProperties With(UdevProperties properties, const std::string& name, const std::string& value) {
    if (value.empty())
        properties.erase(name);
    else
        properties[name] = value;
    return properties;
}

struct Case {
    const char* what;
    UdevProperties properties;
    std::optional<HotPlugEvent> expected;
};

class UdevEventCase : public ::testing::TestWithParam<Case> {};

TEST_P(UdevEventCase, Translates) {
    const auto event = TranslateUdevEvent(GetParam().properties);
    ASSERT_EQ(event.has_value(), GetParam().expected.has_value());
    if (event) {
        EXPECT_EQ(*event, *GetParam().expected);
    }
}

const UdevProperties kUdevUsbIdsOnly =
    With(With(With(With(FirmwareModeDevice("add"), "PRODUCT", ""), "ID_VENDOR_ID", "04d9"),
              "ID_MODEL_ID", "8022"),
         "ID_REVISION", "0100");

INSTANTIATE_TEST_SUITE_P(
    Recorded, UdevEventCase,
    ::testing::Values(
        Case{"mouse config interface plugged in", Hidraw("add", kMouseConfigPath),
             HotPlugEvent{Kind::Arrival, "HID\\VID_7D3A&PID_6E41&MI_01\\hidraw4"}},
        Case{"and unplugged", Hidraw("remove", kMouseConfigPath),
             HotPlugEvent{Kind::Removal, "HID\\VID_7D3A&PID_6E41&MI_01\\hidraw4"}},
        Case{"behind a hub, interface 0",
             Hidraw("add",
                    "/devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4:1.0/"
                    "0003:7D3A:6E41.0009/hidraw/hidraw7"),
             HotPlugEvent{Kind::Arrival, "HID\\VID_7D3A&PID_6E41&MI_00\\hidraw7"}},
        Case{"interface numbers are decimal in the path",
             Hidraw("add",
                    "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.10/"
                    "0003:7D3A:6E41.000A/hidraw/hidraw5"),
             HotPlugEvent{Kind::Arrival, "HID\\VID_7D3A&PID_6E41&MI_0A\\hidraw5"}},
        Case{"bluetooth device through uhid: no interface",
             Hidraw("add", "/devices/virtual/misc/uhid/0005:046D:B012.0001/hidraw/hidraw0"),
             HotPlugEvent{Kind::Arrival, "HID\\VID_046D&PID_B012\\hidraw0"}},
        Case{"i2c touchpad: its bus name is no USB interface",
             Hidraw("remove",
                    "/devices/pci0000:00/0000:00:15.0/i2c_designware.0/i2c-1/"
                    "i2c-ELAN0001:00/0018:04F3:3140.0001/hidraw/hidraw1"),
             HotPlugEvent{Kind::Removal, "HID\\VID_04F3&PID_3140\\hidraw1"}},
        Case{"firmware-mode device plugged in", FirmwareModeDevice("add"),
             HotPlugEvent{Kind::Arrival, "USB\\VID_04D9&PID_8022&REV_0100\\1-2"}},
        Case{"and unplugged", FirmwareModeDevice("remove"),
             HotPlugEvent{Kind::Removal, "USB\\VID_04D9&PID_8022&REV_0100\\1-2"}},
        Case{"USB IDs from udev's database only", kUdevUsbIdsOnly,
             HotPlugEvent{Kind::Arrival, "USB\\VID_04D9&PID_8022&REV_0100\\1-2"}},
        Case{"USB device without IDs", With(FirmwareModeDevice("add"), "PRODUCT", ""),
             std::nullopt},
        Case{"USB interface", With(FirmwareModeDevice("add"), "DEVTYPE", "usb_interface"),
             std::nullopt},
        Case{"driver bound", With(FirmwareModeDevice("add"), "ACTION", "bind"), std::nullopt},
        Case{"hidraw changed", Hidraw("change", kMouseConfigPath), std::nullopt},
        Case{"other subsystem", With(Hidraw("add", kMouseConfigPath), "SUBSYSTEM", "input"),
             std::nullopt},
        Case{"no path", With(Hidraw("add", kMouseConfigPath), "DEVPATH", ""), std::nullopt}),
    [](const auto& info) {
        std::string name = std::to_string(info.index) + "_";
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

// The same devices as a sysfs tree: what the HID layer and the USB list read
// must be what the events name, or an arrival would never match a device.
TEST(UdevEvent, NamesDevicesAsTheHidLayerAndTheUsbListDo) {
    test::TempDir dir;
    const fs::path sys = dir / "sys";
    const fs::path hidDevice =
        sys / "devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:7D3A:6E41.0006";
    fs::create_directories(hidDevice / "hidraw/hidraw4");
    test::WriteText(hidDevice / "uevent", "DRIVER=hid-generic\nHID_ID=0003:00007D3A:00006E41\n");
    test::WriteText(hidDevice.parent_path() / "bInterfaceNumber", "01\n");
    fs::create_directories(sys / "class/hidraw/hidraw4");
    fs::create_directory_symlink(hidDevice, sys / "class/hidraw/hidraw4/device");
    const fs::path usbDevice = sys / "bus/usb/devices/1-2";
    fs::create_directories(usbDevice);
    test::WriteText(usbDevice / "idVendor", "04d9\n");
    test::WriteText(usbDevice / "idProduct", "8022\n");
    test::WriteText(usbDevice / "bcdDevice", "0100\n");

    const auto interfaces = HidrawBackend(sys, dir / "dev").EnumerateInterfaces();
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(TranslateUdevEvent(Hidraw("add", kMouseConfigPath))->identifier,
              interfaces[0].identifier);

    const auto hardwareIds = SystemUsbDevices(sys).FirstHardwareIds();
    ASSERT_EQ(hardwareIds.size(), 1u);
    EXPECT_TRUE(TranslateUdevEvent(FirmwareModeDevice("remove"))
                    ->identifier.starts_with(hardwareIds[0] + "\\"));
}

}  // namespace
}  // namespace qx
