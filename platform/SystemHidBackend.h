// The HID layer the programs use: the hidraw devices, and beside them the
// virtual mice when QX_VIRTUAL_HID_DIR names their folder.
#pragma once

#include <filesystem>
#include <memory>

#include "device/HidBackend.h"

namespace qx {

// The folder of QX_VIRTUAL_HID_DIR, empty when the variable is unset or empty.
std::filesystem::path VirtualHidFolder();

// The hidraw interfaces first, then the virtual ones; a path is handled
// by the backend that listed it ("virtual:" paths by the virtual one).
class CombinedHidBackend final : public HidBackend {
public:
    CombinedHidBackend(std::unique_ptr<HidBackend> hidraw, std::unique_ptr<HidBackend> virtualHid);

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    std::optional<HidAttributes> GetAttributes(const std::string& path) override;
    std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(const std::string& path) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
    std::unique_ptr<HidDeviceLock> LockDevice(const std::string& path,
                                              std::chrono::milliseconds wait) override;

private:
    HidBackend* For(const std::string& path);
    std::unique_ptr<HidBackend> hidraw_;
    std::unique_ptr<HidBackend> virtual_;
};

std::unique_ptr<HidBackend> MakeSystemHidBackend();

}  // namespace qx
