#include "platform/HidrawBackend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "base/DataFile.h"
#include "base/MouseIdentity.h"
#include "platform/FileDeviceLock.h"

namespace qx {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t kMaxDescriptorSize = 4096;  // the kernel's HID_MAX_DESCRIPTOR_SIZE

std::string ReadText(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, 64 * 1024) != FileError::None) return {};
    return std::string(bytes.begin(), bytes.end());
}

// "hidraw12" -> 12, for numeric ordering.
long NodeNumber(const std::string& name) {
    long number = -1;
    if (name.starts_with("hidraw"))
        std::from_chars(name.data() + 6, name.data() + name.size(), number);
    return number;
}

class HidrawHandle final : public HidHandle {
public:
    explicit HidrawHandle(int fd) : fd_(fd) {}
    ~HidrawHandle() override { ::close(fd_); }

    bool SetFeature(std::span<const std::uint8_t> report) override {
        if (report.empty()) return false;
        std::vector<std::uint8_t> buffer(report.begin(), report.end());
        return ::ioctl(fd_, HIDIOCSFEATURE(buffer.size()), buffer.data()) >= 0;
    }

    bool GetFeature(std::span<std::uint8_t> report) override {
        if (report.empty()) return false;
        return ::ioctl(fd_, HIDIOCGFEATURE(report.size()), report.data()) >= 0;
    }

    HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                               milliseconds completionWait) override {
        const auto deadline = SteadyClock::now() + completionWait;
        while (true) {
            const ssize_t n = ::write(fd_, report.data(), report.size());
            if (n == static_cast<ssize_t>(report.size())) return HidWriteResult::Written;
            if (n >= 0) return HidWriteResult::Failed;
            if (errno == EINTR) continue;
            if (errno != EAGAIN) return HidWriteResult::Failed;
            const auto left =
                std::chrono::duration_cast<milliseconds>(deadline - SteadyClock::now()).count();
            if (left <= 0) return HidWriteResult::TimedOut;
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, static_cast<int>(left)) == 0) return HidWriteResult::TimedOut;
        }
    }

private:
    int fd_;
};

}  // namespace

std::optional<HidAttributes> ParseHidId(std::string_view uevent) {
    std::size_t at = uevent.find("HID_ID=");
    if (at == std::string_view::npos) return std::nullopt;
    unsigned bus = 0, vendor = 0, product = 0;
    const std::string line(uevent.substr(at + 7, uevent.find('\n', at) - at - 7));
    if (std::sscanf(line.c_str(), "%x:%x:%x", &bus, &vendor, &product) != 3) return std::nullopt;
    if (vendor > 0xFFFF || product > 0xFFFF) return std::nullopt;
    return HidAttributes{static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product),
                         0};
}

std::string HidrawIdentifier(const std::optional<HidAttributes>& attributes,
                             std::optional<unsigned> interfaceNumber, std::string_view node) {
    std::string identifier = "HID\\";
    if (attributes) identifier += VidPidText(attributes->vendorId, attributes->productId);
    if (interfaceNumber) {
        char text[8];
        std::snprintf(text, sizeof text, "&MI_%02X", *interfaceNumber & 0xFF);
        identifier += text;
    }
    identifier += '\\';
    identifier += node;
    return identifier;
}

HidrawBackend::HidrawBackend(std::filesystem::path sysRoot, std::filesystem::path devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

std::optional<std::filesystem::path> HidrawBackend::DeviceFolder(const std::string& path) const {
    const std::filesystem::path node(path);
    if (node.parent_path() != devRoot_ || NodeNumber(node.filename().string()) < 0)
        return std::nullopt;
    return sysRoot_ / "class/hidraw" / node.filename() / "device";
}

std::vector<HidInterfaceInfo> HidrawBackend::EnumerateInterfaces() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysRoot_ / "class/hidraw", error))
        if (NodeNumber(entry.path().filename().string()) >= 0)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return NodeNumber(a) < NodeNumber(b);
    });

    std::vector<HidInterfaceInfo> interfaces;
    for (const auto& name : names) {
        HidInterfaceInfo interface;
        interface.path = (devRoot_ / name).string();
        const auto device = sysRoot_ / "class/hidraw" / name / "device";
        const auto attributes = ParseHidId(ReadText(device / "uevent"));
        std::error_code canonicalError;
        const auto usbInterface = std::filesystem::canonical(device, canonicalError).parent_path();
        const std::string number = ReadText(usbInterface / "bInterfaceNumber");
        std::optional<unsigned> interfaceNumber;
        if (unsigned value = 0; !canonicalError && std::sscanf(number.c_str(), "%x", &value) == 1)
            interfaceNumber = value;
        interface.identifier = HidrawIdentifier(attributes, interfaceNumber, name);
        interfaces.push_back(std::move(interface));
    }
    return interfaces;
}

std::optional<HidAttributes> HidrawBackend::GetAttributes(const std::string& path) {
    const auto device = DeviceFolder(path);
    if (!device) return std::nullopt;
    return ParseHidId(ReadText(*device / "uevent"));
}

std::optional<std::vector<HidValueCaps>> HidrawBackend::GetFeatureValueCaps(
    const std::string& path) {
    const auto device = DeviceFolder(path);
    if (!device) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(*device / "report_descriptor", bytes, kMaxDescriptorSize) != FileError::None)
        return std::nullopt;
    auto descriptor = ParseReportDescriptor(bytes);
    if (!descriptor) return std::nullopt;
    return std::move(descriptor->featureValues);
}

std::unique_ptr<HidHandle> HidrawBackend::Open(const std::string& path, HidAccess access) {
    if (!DeviceFolder(path)) return nullptr;
    const int mode = access == HidAccess::Read ? O_RDONLY : O_WRONLY | O_NONBLOCK;
    const int fd = ::open(path.c_str(), mode | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<HidrawHandle>(fd);
}

std::unique_ptr<HidDeviceLock> HidrawBackend::LockDevice(const std::string& path,
                                                         std::chrono::milliseconds wait) {
    if (!DeviceFolder(path)) return std::make_unique<HidDeviceLock>();
    return LockDeviceFile(path, wait, FileLock::Create::Never);
}

}  // namespace qx
