#include "platform/HidrawBackend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "base/DataFile.h"
#include "base/MouseIdentity.h"
#include "platform/FileDeviceLock.h"

namespace qx {
namespace {

using std::chrono::milliseconds;

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

// An open /dev/hidrawN. Output reports go through a thread of their own:
// hidraw's write waits in the kernel until the device takes the report or the
// USB stack gives up (5 s), ignoring O_NONBLOCK, while the channel waits at
// most its completion time and then counts the report as sent. The thread
// writes one report at a time, in order, so a late report never overlaps the
// next; feature reports on the same node wait until it is idle.
class HidrawHandle final : public HidHandle {
public:
    explicit HidrawHandle(int fd) : fd_(fd) {}
    ~HidrawHandle() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (writer_.joinable()) writer_.join();  // what was queued is still written
        ::close(fd_);
    }

    bool SetFeature(std::span<const std::uint8_t> report) override {
        if (report.empty()) return false;
        WaitUntilIdle();
        std::vector<std::uint8_t> buffer(report.begin(), report.end());
        return ::ioctl(fd_, HIDIOCSFEATURE(buffer.size()), buffer.data()) >= 0;
    }

    bool GetFeature(std::span<std::uint8_t> report) override {
        if (report.empty()) return false;
        WaitUntilIdle();
        return ::ioctl(fd_, HIDIOCGFEATURE(report.size()), report.data()) >= 0;
    }

    HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                               milliseconds completionWait) override {
        auto job = std::make_shared<Job>();
        job->report.assign(report.begin(), report.end());
        std::unique_lock lock(mutex_);
        if (!writer_.joinable()) writer_ = std::thread(&HidrawHandle::Write, this);
        queue_.push_back(job);
        changed_.notify_all();
        if (!changed_.wait_for(lock, completionWait, [&] { return job->done; }))
            return HidWriteResult::TimedOut;  // it goes on in the background
        return job->written ? HidWriteResult::Written : HidWriteResult::Failed;
    }

private:
    struct Job {
        std::vector<std::uint8_t> report;
        bool done = false;
        bool written = false;
    };

    void WaitUntilIdle() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return queue_.empty() && !busy_; });
    }

    void Write() {
        std::unique_lock lock(mutex_);
        while (true) {
            changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;  // stopping, and everything is written
            const std::shared_ptr<Job> job = queue_.front();
            queue_.pop_front();
            busy_ = true;
            lock.unlock();
            ssize_t n;
            do n = ::write(fd_, job->report.data(), job->report.size());
            while (n < 0 && errno == EINTR);
            lock.lock();
            busy_ = false;
            job->written = n == static_cast<ssize_t>(job->report.size());
            job->done = true;
            changed_.notify_all();
        }
    }

    int fd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Job>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread writer_;
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
    // Blocking either way: hidraw's write blocks whatever the flags say.
    const int mode = access == HidAccess::Read ? O_RDONLY : O_WRONLY;
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
