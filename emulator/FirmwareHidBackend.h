// The virtual mouse's firmware behind the HID backend interface, in-process:
// one interface at the path "firmware:0", for tests of the whole channel
// without a socket.
#pragma once

#include <mutex>

#include "device/HidBackend.h"
#include "emulator/VirtualMouseFirmware.h"

namespace qx::emu {

class FirmwareHidBackend final : public HidBackend {
public:
    static constexpr char kPath[] = "firmware:0";

    explicit FirmwareHidBackend(VirtualMouseFirmware& firmware) : firmware_(firmware) {}

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    std::optional<HidAttributes> GetAttributes(const std::string& path) override;
    std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(const std::string& path) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;

private:
    VirtualMouseFirmware& firmware_;
    std::mutex mutex_;
};

}  // namespace qx::emu
