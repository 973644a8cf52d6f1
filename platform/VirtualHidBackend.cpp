#include "platform/VirtualHidBackend.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "base/MouseIdentity.h"
#include "platform/FileDeviceLock.h"

namespace qx {
namespace {

using std::chrono::milliseconds;

// How long a request may go unanswered before the device counts as gone.
constexpr milliseconds kAnswerTimeout{2000};

std::optional<std::filesystem::path> SocketOf(const std::string& path) {
    if (!path.starts_with(vhid::kPathPrefix)) return std::nullopt;
    return std::filesystem::path(path.substr(sizeof vhid::kPathPrefix - 1));
}

class VirtualHidHandle final : public HidHandle {
public:
    explicit VirtualHidHandle(int fd) : fd_(fd) {}
    ~VirtualHidHandle() override { ::close(fd_); }

    bool SetFeature(std::span<const std::uint8_t> report) override {
        std::vector<std::uint8_t> answer;
        return Request(vhid::Operation::SetFeature, report, answer, kAnswerTimeout) ==
               HidWriteResult::Written;
    }

    bool GetFeature(std::span<std::uint8_t> report) override {
        std::vector<std::uint8_t> answer;
        if (Request(vhid::Operation::GetFeature, report, answer, kAnswerTimeout) !=
            HidWriteResult::Written)
            return false;
        if (answer.size() != report.size()) return false;
        std::copy(answer.begin(), answer.end(), report.begin());
        return true;
    }

    HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                               milliseconds completionWait) override {
        std::vector<std::uint8_t> answer;
        return Request(vhid::Operation::WriteOutput, report, answer, completionWait);
    }

private:
    // Sends one request and waits for its answer. An answer that is late stays
    // owed and is collected before the next request, so the stream stays in step.
    HidWriteResult Request(vhid::Operation operation, std::span<const std::uint8_t> bytes,
                           std::vector<std::uint8_t>& answer, milliseconds wait) {
        if (broken_) return HidWriteResult::Failed;
        while (owed_ > 0) {
            std::vector<std::uint8_t> late;
            if (!vhid::ReceiveFrame(fd_, late, kAnswerTimeout)) return Break();
            --owed_;
        }
        const auto frame = vhid::EncodeFrame(static_cast<std::uint8_t>(operation), bytes);
        if (!vhid::SendAll(fd_, frame, kAnswerTimeout)) return Break();
        std::vector<std::uint8_t> body;
        bool timedOut = false;
        if (!vhid::ReceiveFrame(fd_, body, wait, &timedOut)) {
            if (!timedOut) return Break();
            ++owed_;
            return HidWriteResult::TimedOut;
        }
        if (body.empty() || body[0] != static_cast<std::uint8_t>(vhid::Status::Ok))
            return HidWriteResult::Failed;
        answer.assign(body.begin() + 1, body.end());
        return HidWriteResult::Written;
    }

    HidWriteResult Break() {
        broken_ = true;
        return HidWriteResult::Failed;
    }

    int fd_;
    int owed_ = 0;
    bool broken_ = false;
};

}  // namespace

std::string VirtualHidIdentifier(const vhid::DeviceInfo& info, std::string_view socketName) {
    return "HID\\" + VidPidText(info.vendorId, info.productId) + "\\virtual\\" +
           std::string(socketName);
}

VirtualHidBackend::VirtualHidBackend(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::vector<std::filesystem::path> VirtualHidBackend::Sockets() const {
    std::vector<std::filesystem::path> sockets;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        std::error_code statError;
        if (entry.is_socket(statError)) sockets.push_back(entry.path());
    }
    std::sort(sockets.begin(), sockets.end());
    return sockets;
}

std::optional<vhid::DeviceInfo> VirtualHidBackend::QueryInfo(const std::filesystem::path& socket) {
    const int fd = vhid::Connect(socket.string());
    if (fd < 0) return std::nullopt;
    std::optional<vhid::DeviceInfo> info;
    const auto frame = vhid::EncodeFrame(static_cast<std::uint8_t>(vhid::Operation::Info), {});
    std::vector<std::uint8_t> body;
    if (vhid::SendAll(fd, frame, kAnswerTimeout) && vhid::ReceiveFrame(fd, body, kAnswerTimeout) &&
        !body.empty() && body[0] == static_cast<std::uint8_t>(vhid::Status::Ok))
        info = vhid::DecodeInfo(std::span(body).subspan(1));
    ::close(fd);
    return info;
}

std::vector<HidInterfaceInfo> VirtualHidBackend::EnumerateInterfaces() {
    std::vector<HidInterfaceInfo> interfaces;
    for (const auto& socket : Sockets()) {
        const auto info = QueryInfo(socket);
        if (!info) continue;  // a socket left behind, or not a virtual device
        HidInterfaceInfo interface;
        interface.path = vhid::kPathPrefix + socket.string();
        interface.identifier = VirtualHidIdentifier(*info, socket.filename().string());
        interface.isVirtual = true;
        interfaces.push_back(std::move(interface));
    }
    return interfaces;
}

std::optional<HidAttributes> VirtualHidBackend::GetAttributes(const std::string& path) {
    const auto socket = SocketOf(path);
    if (!socket) return std::nullopt;
    const auto info = QueryInfo(*socket);
    if (!info) return std::nullopt;
    return HidAttributes{info->vendorId, info->productId, info->version};
}

std::optional<std::vector<HidValueCaps>> VirtualHidBackend::GetFeatureValueCaps(
    const std::string& path) {
    const auto socket = SocketOf(path);
    if (!socket) return std::nullopt;
    const auto info = QueryInfo(*socket);
    if (!info) return std::nullopt;
    auto descriptor = ParseReportDescriptor(info->descriptor);
    if (!descriptor) return std::nullopt;
    return std::move(descriptor->featureValues);
}

std::unique_ptr<HidHandle> VirtualHidBackend::Open(const std::string& path, HidAccess) {
    const auto socket = SocketOf(path);
    if (!socket) return nullptr;
    const int fd = vhid::Connect(socket->string());
    if (fd < 0) return nullptr;
    return std::make_unique<VirtualHidHandle>(fd);
}

std::unique_ptr<HidDeviceLock> VirtualHidBackend::LockDevice(const std::string& path,
                                                             std::chrono::milliseconds wait) {
    const auto socket = SocketOf(path);
    if (!socket) return std::make_unique<HidDeviceLock>();
    std::filesystem::path file = *socket;
    file += ".lock";
    return LockDeviceFile(file, wait, FileLock::Create::IfMissing);
}

}  // namespace qx
