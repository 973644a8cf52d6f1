#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qx {
namespace {

constexpr std::size_t kWireSize = 4 + 8 + 8;

socklen_t AbstractAddress(const std::string& name, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::size_t n = std::min(name.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, name.data(), n);  // leading zero: abstract namespace
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

void PutLe(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLe(const std::uint8_t* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{in[i]} << (8 * i);
    return value;
}

}  // namespace

std::string SingleInstance::DefaultName() {
    std::string name = "Orvik6E41Driver.exe-" + std::to_string(::getuid());
    if (const char* suffix = std::getenv("QX_INSTANCE_SUFFIX"); suffix && *suffix)
        name += std::string("-") + suffix;
    return name;
}

std::unique_ptr<SingleInstance> SingleInstance::Acquire(const std::string& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return nullptr;
    sockaddr_un address;
    const socklen_t length = AbstractAddress(name, address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SingleInstance>(new SingleInstance(fd));
}

bool SingleInstance::PostToRunning(const std::string& name, const WakeMessage& message) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    const socklen_t length = AbstractAddress(name, address);
    bool sent = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
        std::uint8_t wire[kWireSize];
        PutLe(wire, message.message, 4);
        PutLe(wire + 4, message.wParam, 8);
        PutLe(wire + 12, static_cast<std::uint64_t>(message.lParam), 8);
        sent = ::send(fd, wire, sizeof wire, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof wire);
    }
    ::close(fd);
    return sent;
}

SingleInstance::~SingleInstance() {
    ::close(fd_);
}

std::vector<WakeMessage> SingleInstance::TakeMessages() {
    std::vector<WakeMessage> messages;
    for (;;) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) break;
        // The sender writes its message right after connecting; wait briefly
        // for it rather than trusting it to be there already.
        std::uint8_t wire[kWireSize];
        std::size_t got = 0;
        pollfd p{client, POLLIN, 0};
        while (got < kWireSize && ::poll(&p, 1, 200) == 1) {
            const ssize_t n = ::recv(client, wire + got, kWireSize - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        ::close(client);
        if (got == kWireSize)
            messages.push_back({static_cast<std::uint32_t>(GetLe(wire, 4)),
                                static_cast<WParam>(GetLe(wire + 4, 8)),
                                static_cast<LParam>(GetLe(wire + 12, 8))});
    }
    return messages;
}

}  // namespace qx
