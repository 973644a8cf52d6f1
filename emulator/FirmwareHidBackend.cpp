#include "emulator/FirmwareHidBackend.h"

#include "base/MouseIdentity.h"

namespace qx::emu {
namespace {

class FirmwareHandle final : public HidHandle {
public:
    FirmwareHandle(VirtualMouseFirmware& firmware, std::mutex& mutex)
        : firmware_(firmware), mutex_(mutex) {}

    bool SetFeature(std::span<const std::uint8_t> report) override {
        std::lock_guard lock(mutex_);
        return firmware_.SetFeature(report);
    }
    bool GetFeature(std::span<std::uint8_t> report) override {
        std::lock_guard lock(mutex_);
        return firmware_.GetFeature(report);
    }
    HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds) override {
        std::lock_guard lock(mutex_);
        return firmware_.WriteOutput(report) ? HidWriteResult::Written : HidWriteResult::Failed;
    }

private:
    VirtualMouseFirmware& firmware_;
    std::mutex& mutex_;
};

}  // namespace

std::vector<HidInterfaceInfo> FirmwareHidBackend::EnumerateInterfaces() {
    return {{kPath,
             "HID\\" + VidPidText(firmware_.VendorId(), firmware_.ProductId()) + "\\firmware",
             true}};
}

std::optional<HidAttributes> FirmwareHidBackend::GetAttributes(const std::string& path) {
    if (path != kPath) return std::nullopt;
    return HidAttributes{firmware_.VendorId(), firmware_.ProductId(), kDeviceVersion};
}

std::optional<std::vector<HidValueCaps>> FirmwareHidBackend::GetFeatureValueCaps(
    const std::string& path) {
    if (path != kPath) return std::nullopt;
    auto descriptor = ParseReportDescriptor(firmware_.Descriptor());
    if (!descriptor) return std::nullopt;
    return std::move(descriptor->featureValues);
}

std::unique_ptr<HidHandle> FirmwareHidBackend::Open(const std::string& path, HidAccess) {
    if (path != kPath) return nullptr;
    return std::make_unique<FirmwareHandle>(firmware_, mutex_);
}

}  // namespace qx::emu
