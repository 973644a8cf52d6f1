// The wire between the virtual-device client backend and the virtual mouse:
// length-prefixed frames over a Unix stream socket, one answer per request.
//   frame    = u32 little-endian body length, body
//   request  = u8 operation, bytes
//   answer   = u8 status, bytes
// Info answers u16 vendor ID, u16 product ID, u16 version, then the report
// descriptor; GetFeature sends the report buffer (report ID first) and gets
// the filled buffer back; SetFeature and WriteOutput send the report.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qx::vhid {

inline constexpr char kDirVariable[] = "QX_VIRTUAL_HID_DIR";
inline constexpr char kPathPrefix[] = "virtual:";
inline constexpr std::size_t kMaxBody = 8192;

enum class Operation : std::uint8_t { Info = 1, SetFeature = 2, GetFeature = 3, WriteOutput = 4 };
enum class Status : std::uint8_t { Ok = 0, Refused = 1, BadRequest = 2 };

struct DeviceInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::vector<std::uint8_t> descriptor;
};

std::vector<std::uint8_t> EncodeFrame(std::uint8_t code, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeInfo(const DeviceInfo& info);
std::optional<DeviceInfo> DecodeInfo(std::span<const std::uint8_t> bytes);

// Collects a byte stream and cuts it into frame bodies.
class FrameReader {
public:
    void Append(std::span<const std::uint8_t> bytes);
    // The next complete body, if there is one.
    std::optional<std::vector<std::uint8_t>> Next();
    // A frame announced a body longer than kMaxBody: the stream is unusable.
    bool Broken() const { return broken_; }

private:
    std::vector<std::uint8_t> buffer_;
    bool broken_ = false;
};

// Blocking helpers of the client side, bounded by the timeout.
bool SendAll(int fd, std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout);
// false on timeout, closed connection or a broken frame; timedOut tells which.
bool ReceiveFrame(int fd, std::vector<std::uint8_t>& body, std::chrono::milliseconds timeout,
                  bool* timedOut = nullptr);
// Connects to the socket; -1 when it cannot.
int Connect(const std::string& socketPath);

}  // namespace qx::vhid
