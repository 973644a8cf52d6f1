#include "platform/UsbDevices.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/DataFile.h"
#include "platform/SystemHidBackend.h"
#include "platform/VirtualHidBackend.h"

namespace qx {
namespace {

std::optional<unsigned> ReadHex(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, 64) != FileError::None) return std::nullopt;
    const std::string text(bytes.begin(), bytes.end());
    unsigned value = 0;
    if (std::sscanf(text.c_str(), "%x", &value) != 1 || value > 0xFFFF) return std::nullopt;
    return value;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string UsbHardwareId(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t revision) {
    char text[40];
    std::snprintf(text, sizeof text, "USB\\VID_%04X&PID_%04X&REV_%04X", vendorId, productId,
                  revision);
    return text;
}

SystemUsbDevices::SystemUsbDevices(std::filesystem::path sysRoot,
                                   std::filesystem::path virtualFolder)
    : sysRoot_(std::move(sysRoot)), virtualFolder_(std::move(virtualFolder)) {}

std::vector<std::string> SystemUsbDevices::FirstHardwareIds() {
    std::vector<std::filesystem::path> folders;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(sysRoot_ / "bus/usb/devices", error))
        folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());

    std::vector<std::string> ids;
    for (const auto& folder : folders) {
        // Interfaces (1-1:1.0) have no idVendor; only devices are listed.
        const auto vendor = ReadHex(folder / "idVendor");
        const auto product = ReadHex(folder / "idProduct");
        if (!vendor || !product) continue;
        const auto revision = ReadHex(folder / "bcdDevice").value_or(0);
        ids.push_back(UsbHardwareId(static_cast<std::uint16_t>(*vendor),
                                    static_cast<std::uint16_t>(*product),
                                    static_cast<std::uint16_t>(revision)));
    }
    if (!virtualFolder_.empty()) {
        VirtualHidBackend virtualDevices(virtualFolder_);
        for (const auto& socket : virtualDevices.Sockets())
            if (const auto info = VirtualHidBackend::QueryInfo(socket))
                ids.push_back(UsbHardwareId(info->vendorId, info->productId, info->version));
    }
    return ids;
}

std::unique_ptr<UsbDeviceList> MakeSystemUsbDevices() {
    return std::make_unique<SystemUsbDevices>("/sys", VirtualHidFolder());
}

bool FindUsbHardwareId(UsbDeviceList& devices, std::string_view text) {
    const std::string wanted = Upper(text);
    for (const auto& id : devices.FirstHardwareIds())
        if (Upper(id).find(wanted) != std::string::npos) return true;
    return false;
}

}  // namespace qx
