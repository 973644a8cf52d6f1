#include "platform/SystemHidBackend.h"

#include <cstdlib>

#include "platform/HidrawBackend.h"
#include "platform/VirtualHidBackend.h"

namespace qx {

std::filesystem::path VirtualHidFolder() {
    const char* folder = std::getenv(vhid::kDirVariable);
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path();
}

CombinedHidBackend::CombinedHidBackend(std::unique_ptr<HidBackend> hidraw,
                                       std::unique_ptr<HidBackend> virtualHid)
    : hidraw_(std::move(hidraw)), virtual_(std::move(virtualHid)) {}

HidBackend* CombinedHidBackend::For(const std::string& path) {
    return path.starts_with(vhid::kPathPrefix) ? virtual_.get() : hidraw_.get();
}

std::vector<HidInterfaceInfo> CombinedHidBackend::EnumerateInterfaces() {
    std::vector<HidInterfaceInfo> interfaces;
    if (hidraw_) interfaces = hidraw_->EnumerateInterfaces();
    if (virtual_)
        for (auto& interface : virtual_->EnumerateInterfaces())
            interfaces.push_back(std::move(interface));
    return interfaces;
}

std::optional<HidAttributes> CombinedHidBackend::GetAttributes(const std::string& path) {
    auto* backend = For(path);
    return backend ? backend->GetAttributes(path) : std::nullopt;
}

std::optional<std::vector<HidValueCaps>> CombinedHidBackend::GetFeatureValueCaps(
    const std::string& path) {
    auto* backend = For(path);
    return backend ? backend->GetFeatureValueCaps(path) : std::nullopt;
}

std::unique_ptr<HidHandle> CombinedHidBackend::Open(const std::string& path, HidAccess access) {
    auto* backend = For(path);
    return backend ? backend->Open(path, access) : nullptr;
}

std::unique_ptr<HidDeviceLock> CombinedHidBackend::LockDevice(const std::string& path,
                                                              std::chrono::milliseconds wait) {
    auto* backend = For(path);
    return backend ? backend->LockDevice(path, wait) : std::make_unique<HidDeviceLock>();
}

std::unique_ptr<HidBackend> MakeSystemHidBackend() {
    const auto folder = VirtualHidFolder();
    return std::make_unique<CombinedHidBackend>(
        std::make_unique<HidrawBackend>(),
        folder.empty() ? nullptr : std::make_unique<VirtualHidBackend>(folder));
}

}  // namespace qx
