#include "platform/HidrawBackend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/Clock.h"
#include "device/USBDriver.h"
#include "emulator/VirtualMouseFirmware.h"
#include "platform/UsbDevices.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A sysfs tree as the kernel lays it out: /sys/class/hidraw/hidrawN/device is
// a link to the HID device below its USB interface.
class SysfsFixture {
public:
    fs::path sys() const { return dir_.path() / "sys"; }
    fs::path dev() const { return dir_.path() / "dev"; }
    fs::path dir() const { return dir_.path(); }

    void AddHidraw(const std::string& node, const std::string& hidId, int interfaceNumber,
                   std::span<const std::uint8_t> descriptor) {
        const auto usbInterface =
            sys() / "devices/usb1/1-1" / ("1-1:1." + std::to_string(interfaceNumber));
        const auto hidDevice = usbInterface / ("0003:" + node);
        fs::create_directories(hidDevice);
        test::WriteText(usbInterface / "bInterfaceNumber",
                        "0" + std::to_string(interfaceNumber) + "\n");
        test::WriteText(hidDevice / "uevent",
                        "DRIVER=hid-generic\nHID_ID=" + hidId + "\nHID_NAME=Orvik\n");
        test::WriteBytes(hidDevice / "report_descriptor", descriptor.data(), descriptor.size());
        fs::create_directories(sys() / "class/hidraw" / node);
        fs::create_directory_symlink(hidDevice, sys() / "class/hidraw" / node / "device");
        fs::create_directories(dev());
    }

    void AddUsbDevice(const std::string& name, const std::string& vendor,
                      const std::string& product) {
        const auto folder = sys() / "bus/usb/devices" / name;
        fs::create_directories(folder);
        test::WriteText(folder / "idVendor", vendor + "\n");
        test::WriteText(folder / "idProduct", product + "\n");
        test::WriteText(folder / "bcdDevice", "0100\n");
    }

private:
    TempDir dir_;
};

const std::uint8_t kBootMouse[] = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x30,
                                   0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0};

TEST(HidrawBackend, EnumeratesTheFixtureTreeInNodeOrder) {
    SysfsFixture tree;
    tree.AddHidraw("hidraw10", "0003:00007D3A:00006E41", 1, emu::ConfigInterfaceDescriptor());
    tree.AddHidraw("hidraw2", "0003:00007D3A:00006E41", 0, kBootMouse);
    HidrawBackend backend(tree.sys(), tree.dev());

    const auto interfaces = backend.EnumerateInterfaces();
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].path, (tree.dev() / "hidraw2").string());
    EXPECT_EQ(interfaces[1].path, (tree.dev() / "hidraw10").string());
    EXPECT_EQ(interfaces[1].identifier, "HID\\VID_7D3A&PID_6E41&MI_01\\hidraw10");
    EXPECT_FALSE(interfaces[1].isVirtual);

    const auto attributes = backend.GetAttributes(interfaces[1].path);
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->vendorId, 0x7D3A);
    EXPECT_EQ(attributes->productId, 0x6E41);

    EXPECT_TRUE(backend.GetFeatureValueCaps(interfaces[0].path)->empty());
    const auto caps = backend.GetFeatureValueCaps(interfaces[1].path);
    ASSERT_TRUE(caps);
    ASSERT_EQ(caps->size(), 2u);
    EXPECT_EQ((*caps)[1].usagePage, 0xFF01);
    EXPECT_EQ((*caps)[1].reportCount, 7);
}

TEST(HidrawBackend, DriverPicksTheConfigurationInterfaceButCannotOpenAFixture) {
    SysfsFixture tree;
    tree.AddHidraw("hidraw0", "0003:00007D3A:00006E41", 0, kBootMouse);
    tree.AddHidraw("hidraw1", "0003:00007D3A:00006E41", 1, emu::ConfigInterfaceDescriptor());
    HidrawBackend backend(tree.sys(), tree.dev());
    // There is no device node in the fixture: the open fails and the search ends empty.
    EXPECT_EQ(backend.Open((tree.dev() / "hidraw1").string(), HidAccess::Write), nullptr);
    RecordingSleeper sleeper;
    CUSBDriver driver(backend, sleeper);
    EXPECT_FALSE(driver.OpenDevice());
}

TEST(HidrawBackend, UnknownAndDamagedEntries) {
    SysfsFixture tree;
    const std::uint8_t truncated[] = {0x06, 0x01};
    tree.AddHidraw("hidraw0", "garbage", 0, truncated);
    HidrawBackend backend(tree.sys(), tree.dev());
    const auto path = (tree.dev() / "hidraw0").string();
    EXPECT_FALSE(backend.GetAttributes(path));
    EXPECT_FALSE(backend.GetFeatureValueCaps(path));     // malformed descriptor
    EXPECT_FALSE(backend.GetAttributes("/etc/passwd"));  // not one of ours
    EXPECT_FALSE(backend.GetAttributes((tree.dev() / "hidraw9").string()));
    EXPECT_TRUE(HidrawBackend(tree.dir() / "none", tree.dev()).EnumerateInterfaces().empty());
}

// A vendor collection with eleven feature values before the one that holds
// the configuration value: the ten the search reads are its own.
TEST(HidrawBackend, TheConfigurationValueIsFoundPastABusyCollection) {
    // clang-format off
    const std::uint8_t descriptor[] = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
        0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x85, 0x02,
        0x19, 0x01, 0x29, 0x0B, 0x95, 0x0B, 0xB1, 0x02,  // one range: one value
        0x09, 0x20, 0x95, 0x01, 0xB1, 0x02, 0x09, 0x21, 0xB1, 0x02, 0x09, 0x23, 0xB1, 0x02,
        0x09, 0x24, 0xB1, 0x02, 0x09, 0x25, 0xB1, 0x02, 0x09, 0x26, 0xB1, 0x02,
        0x09, 0x27, 0xB1, 0x02, 0x09, 0x28, 0xB1, 0x02, 0x09, 0x29, 0xB1, 0x02,
        0x09, 0x2A, 0xB1, 0x02,
        0xC0,
        0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,
        0x85, 0x05, 0x09, 0x22, 0x95, 0x3F, 0xB1, 0x02,
        0xC0,
    };
    // clang-format on
    SysfsFixture tree;
    tree.AddHidraw("hidraw3", "0003:00007D3A:00006E41", 1, descriptor);
    test::WriteText(tree.dev() / "hidraw3", "");  // a node that opens
    HidrawBackend backend(tree.sys(), tree.dev());
    ASSERT_EQ(backend.GetFeatureValueCaps((tree.dev() / "hidraw3").string())->size(), 12u);
    RecordingSleeper sleeper;
    CUSBDriver driver(backend, sleeper);
    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(driver.ReportId(), 5);
    EXPECT_EQ(driver.ReportLength(), 63u);
}

// hidraw's write blocks in the kernel until the device takes the report or
// the USB stack gives up after 5 s. A FIFO whose buffer is full stands in for
// such a device node: its writes block the same way.
class StalledNode {
public:
    explicit StalledNode(const fs::path& path) {
        if (::mkfifo(path.c_str(), 0600) != 0) return;
        reader_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const int filler = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        const std::vector<std::uint8_t> block(4096, 0xEE);
        while (::write(filler, block.data(), block.size()) > 0) filled_ += block.size();
        const std::uint8_t byte = 0xEE;
        while (::write(filler, &byte, 1) > 0) ++filled_;
        ::close(filler);
    }
    ~StalledNode() {
        if (reader_ >= 0) ::close(reader_);
    }
    bool Ready() const { return reader_ >= 0 && filled_ > 0; }
    // The device takes reports again: what stood before them goes.
    void Unstall() { Read(filled_); }
    // What the device received, up to this many bytes.
    std::vector<std::uint8_t> Read(std::size_t size) {
        std::vector<std::uint8_t> buffer(size);
        std::size_t got = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (got < buffer.size() && std::chrono::steady_clock::now() < end) {
            const ssize_t n = ::read(reader_, buffer.data() + got, buffer.size() - got);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        buffer.resize(got);
        return buffer;
    }

private:
    int reader_ = -1;
    std::size_t filled_ = 0;
};

TEST(HidrawBackend, AStalledOutputReportCountsAsSentAfterTheWaitAndFollowsLater) {
    SysfsFixture tree;
    tree.AddHidraw("hidraw1", "0003:00007D3A:00006E41", 1, emu::ConfigInterfaceDescriptor());
    const fs::path node = tree.dev() / "hidraw1";
    StalledNode device(node);
    ASSERT_TRUE(device.Ready());
    HidrawBackend backend(tree.sys(), tree.dev());
    auto handle = backend.Open(node.string(), HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    std::vector<std::uint8_t> first(33, 0xA1), second(33, 0xB2), third(33, 0xC3);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(handle->WriteOutput(first, std::chrono::milliseconds(300)), HidWriteResult::TimedOut);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(290));
    EXPECT_LT(waited, std::chrono::milliseconds(1500));  // bounded by the wait, not the kernel
    // The next report waits behind the first: never two writes at once.
    EXPECT_EQ(handle->WriteOutput(second, std::chrono::milliseconds(100)),
              HidWriteResult::TimedOut);

    // Once the device takes reports again, both arrive whole and in order.
    device.Unstall();
    std::vector<std::uint8_t> expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(device.Read(66), expected);
    EXPECT_EQ(handle->WriteOutput(third, std::chrono::milliseconds(1500)), HidWriteResult::Written);
    EXPECT_EQ(device.Read(33), third);
}

TEST(HidrawBackend, ParsesHidId) {
    const auto id = ParseHidId("DRIVER=x\nHID_ID=0003:000004D9:00008022\n");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->vendorId, 0x04D9);
    EXPECT_EQ(id->productId, 0x8022);
    EXPECT_FALSE(ParseHidId("HID_ID=0003:123456789:1\n"));
    EXPECT_FALSE(ParseHidId("HID_NAME=x\n"));
}

TEST(UsbDevices, FindsTheFirmwareModeByHardwareIdIgnoringCase) {
    SysfsFixture tree;
    tree.AddUsbDevice("usb1", "1d6b", "0002");
    tree.AddUsbDevice("1-1", "04d9", "8022");
    fs::create_directories(tree.sys() / "bus/usb/devices/1-1:1.0");  // an interface: no IDs
    SystemUsbDevices devices(tree.sys());
    EXPECT_EQ(devices.FirstHardwareIds(),
              (std::vector<std::string>{"USB\\VID_04D9&PID_8022&REV_0100",
                                        "USB\\VID_1D6B&PID_0002&REV_0100"}));
    EXPECT_TRUE(FindUsbHardwareId(devices, "VID_04D9&PID_8022"));
    EXPECT_TRUE(FindUsbHardwareId(devices, "vid_04d9&pid_8022"));
    EXPECT_FALSE(FindUsbHardwareId(devices, "VID_7D3A&PID_6E41"));
}

}  // namespace
}  // namespace qx
