#include "platform/VirtualHidProtocol.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qx::vhid {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::vector<std::uint8_t> EncodeFrame(std::uint8_t code, std::span<const std::uint8_t> bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size() + 1);
    std::vector<std::uint8_t> frame;
    frame.reserve(length + 4);
    for (int i = 0; i < 4; ++i) frame.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    frame.push_back(code);
    frame.insert(frame.end(), bytes.begin(), bytes.end());
    return frame;
}

std::vector<std::uint8_t> EncodeInfo(const DeviceInfo& info) {
    std::vector<std::uint8_t> out;
    PutU16(out, info.vendorId);
    PutU16(out, info.productId);
    PutU16(out, info.version);
    out.insert(out.end(), info.descriptor.begin(), info.descriptor.end());
    return out;
}

std::optional<DeviceInfo> DecodeInfo(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 6) return std::nullopt;
    DeviceInfo info;
    info.vendorId = GetU16(bytes, 0);
    info.productId = GetU16(bytes, 2);
    info.version = GetU16(bytes, 4);
    info.descriptor.assign(bytes.begin() + 6, bytes.end());
    return info;
}

void FrameReader::Append(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> FrameReader::Next() {
    if (broken_ || buffer_.size() < 4) return std::nullopt;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) length |= std::uint32_t{buffer_[i]} << (8 * i);
    if (length == 0 || length > kMaxBody) {
        broken_ = true;
        return std::nullopt;
    }
    if (buffer_.size() - 4 < length) return std::nullopt;
    std::vector<std::uint8_t> body(buffer_.begin() + 4, buffer_.begin() + 4 + length);
    buffer_.erase(buffer_.begin(), buffer_.begin() + 4 + length);
    return body;
}

bool SendAll(int fd, std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) {
    const auto deadline = SteadyClock::now() + timeout;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            const int wait = RemainingMs(deadline);
            if (wait == 0 || ::poll(&p, 1, wait) <= 0) return false;
            continue;
        }
        return false;
    }
    return true;
}

bool ReceiveFrame(int fd, std::vector<std::uint8_t>& body, std::chrono::milliseconds timeout,
                  bool* timedOut) {
    if (timedOut) *timedOut = false;
    const auto deadline = SteadyClock::now() + timeout;
    std::uint8_t header[4];
    std::size_t got = 0;
    std::uint32_t length = 0;
    bool haveHeader = false;
    while (true) {
        std::uint8_t* target;
        std::size_t want;
        if (!haveHeader) {
            target = header + got;
            want = sizeof header - got;
        } else {
            target = body.data() + got;
            want = length - got;
        }
        if (want == 0) {
            if (!haveHeader) {
                for (int i = 0; i < 4; ++i) length |= std::uint32_t{header[i]} << (8 * i);
                if (length == 0 || length > kMaxBody) return false;
                body.assign(length, 0);
                haveHeader = true;
                got = 0;
                continue;
            }
            return true;
        }
        pollfd p{fd, POLLIN, 0};
        const int wait = RemainingMs(deadline);
        const int ready = wait > 0 ? ::poll(&p, 1, wait) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            if (timedOut) *timedOut = ready == 0;
            return false;
        }
        const ssize_t n = ::recv(fd, target, want, MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
}

int Connect(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.size() >= sizeof address.sun_path) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace qx::vhid
