// The HID interfaces served by virtual mice: every Unix socket in one folder
// is one interface, reached through the frames of VirtualHidProtocol.h.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "device/HidBackend.h"
#include "platform/VirtualHidProtocol.h"

namespace qx {

class VirtualHidBackend final : public HidBackend {
public:
    explicit VirtualHidBackend(std::filesystem::path folder);

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    std::optional<HidAttributes> GetAttributes(const std::string& path) override;
    std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(const std::string& path) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
    // flock on "<socket>.lock" beside the socket.
    std::unique_ptr<HidDeviceLock> LockDevice(const std::string& path,
                                              std::chrono::milliseconds wait) override;

    // What the device at a socket says about itself; nullopt when nobody answers.
    static std::optional<vhid::DeviceInfo> QueryInfo(const std::filesystem::path& socket);
    // The sockets of the folder, sorted.
    std::vector<std::filesystem::path> Sockets() const;

private:
    std::filesystem::path folder_;
};

// "HID\VID_7D3A&PID_6E41\virtual\qx-mouse.sock": the identifier of the
// interface served at that socket of the folder.
std::string VirtualHidIdentifier(const vhid::DeviceInfo& info, std::string_view socketName);

}  // namespace qx
