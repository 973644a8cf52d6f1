// Who the mouse is on the bus: its USB IDs in normal use and in its
// firmware-update mode, the hardware-ID texts built from them, and the
// feature value through which it takes its configuration commands. The
// channel, the virtual mouse, qxctl and the tests all read them from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

inline constexpr std::uint16_t kMouseVendorId = 0x7D3A;
inline constexpr std::uint16_t kMouseProductId = 0x6E41;
// In its firmware-update mode the mouse enumerates as the controller maker's device.
inline constexpr std::uint16_t kFirmwareModeVendorId = 0x04D9;
inline constexpr std::uint16_t kFirmwareModeProductId = 0x8022;

// The configuration value: usage page and usage the channel looks for, and
// the report ID and payload length the mouse's descriptor gives it.
inline constexpr std::uint16_t kConfigUsagePage = 0xFF01;
inline constexpr std::uint16_t kConfigUsage = 0x22;
inline constexpr std::uint8_t kConfigReportId = 0x07;
inline constexpr std::size_t kConfigReportLength = 7;

// "VID_7D3A&PID_6E41": the device part of a Windows hardware ID, upper-case hex.
using VidPidChars = std::array<char, 17>;

constexpr VidPidChars MakeVidPid(std::uint16_t vendorId, std::uint16_t productId) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    VidPidChars text{'V', 'I', 'D', '_', 0, 0, 0, 0, '&', 'P', 'I', 'D', '_', 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        text[4 + i] = kDigits[(vendorId >> (12 - 4 * i)) & 0xF];
        text[13 + i] = kDigits[(productId >> (12 - 4 * i)) & 0xF];
    }
    return text;
}

inline std::string VidPidText(std::uint16_t vendorId, std::uint16_t productId) {
    const auto text = MakeVidPid(vendorId, productId);
    return {text.data(), text.size()};
}

inline constexpr VidPidChars kMouseVidPid = MakeVidPid(kMouseVendorId, kMouseProductId);
inline constexpr VidPidChars kFirmwareModeVidPid =
    MakeVidPid(kFirmwareModeVendorId, kFirmwareModeProductId);
inline constexpr std::string_view kMouseHardwareId{kMouseVidPid.data(), kMouseVidPid.size()};
inline constexpr std::string_view kFirmwareModeHardwareId{kFirmwareModeVidPid.data(),
                                                          kFirmwareModeVidPid.size()};

}  // namespace qx
