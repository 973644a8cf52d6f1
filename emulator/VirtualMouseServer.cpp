#include "emulator/VirtualMouseServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <list>

#include "platform/VirtualHidProtocol.h"

namespace qx::emu {
namespace {

using std::chrono::milliseconds;

// A client that does not take its answer within this time is dropped, so one
// stuck client cannot stop the mouse serving the others.
constexpr milliseconds kAnswerSendTimeout{1000};

double MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::vector<std::uint8_t> Answer(vhid::Status status, std::span<const std::uint8_t> bytes = {}) {
    return vhid::EncodeFrame(static_cast<std::uint8_t>(status), bytes);
}

}  // namespace

TraceFile::~TraceFile() {
    if (file_) std::fclose(file_);
}

bool TraceFile::Open(const std::filesystem::path& path) {
    file_ = std::fopen(path.c_str(), "ae");
    return file_ != nullptr;
}

void TraceFile::Record(const char* kind, std::span<const std::uint8_t> report, bool refused) {
    if (!file_) return;
    std::fprintf(file_, "{\"t_ms\": %.3f, \"kind\": \"%s\", \"hex\": \"%s\"%s}\n", MonotonicMs(),
                 kind, HexBytes(report.data(), report.size()).c_str(),
                 refused ? ", \"refused\": true" : "");
    std::fflush(file_);
}

struct VirtualMouseServer::Client {
    int fd;
    vhid::FrameReader reader;
};

VirtualMouseServer::VirtualMouseServer(VirtualMouseFirmware& firmware, Options options)
    : firmware_(firmware), options_(std::move(options)) {}

VirtualMouseServer::~VirtualMouseServer() {
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(options_.socketPath.c_str());
    }
}

bool VirtualMouseServer::Listen(std::string& error) {
    const std::string path = options_.socketPath.string();
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return false;
    }
    if (!options_.tracePath.empty() && !trace_.Open(options_.tracePath)) {
        error = "cannot open the trace file " + options_.tracePath.string();
        return false;
    }
    // A socket nobody answers on is left from a mouse that was killed: replace it.
    const int probe = vhid::Connect(path);
    if (probe >= 0) {
        ::close(probe);
        error = "another virtual mouse is serving " + path;
        return false;
    }
    ::unlink(path.c_str());

    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        if (listenFd_ >= 0) ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    return true;
}

std::vector<std::uint8_t> VirtualMouseServer::Handle(const std::vector<std::uint8_t>& request) {
    const auto operation = static_cast<vhid::Operation>(request[0]);
    const std::span<const std::uint8_t> report(request.data() + 1, request.size() - 1);
    bool taken = false;
    std::vector<std::uint8_t> answer;
    switch (operation) {
        case vhid::Operation::Info: {
            vhid::DeviceInfo info{firmware_.VendorId(), firmware_.ProductId(), kDeviceVersion, {}};
            const auto descriptor = firmware_.Descriptor();
            info.descriptor.assign(descriptor.begin(), descriptor.end());
            return Answer(vhid::Status::Ok, vhid::EncodeInfo(info));
        }
        case vhid::Operation::SetFeature:
            taken = firmware_.SetFeature(report);
            trace_.Record("feature", report, !taken);
            break;
        case vhid::Operation::GetFeature: {
            answer.assign(report.begin(), report.end());
            taken = firmware_.GetFeature(answer);
            trace_.Record("get_feature", report, !taken);
            break;
        }
        case vhid::Operation::WriteOutput:
            taken = firmware_.WriteOutput(report);
            trace_.Record("output", report, !taken);
            break;
        default:
            return Answer(vhid::Status::BadRequest);
    }
    if (firmware_.TakeChanged() && !options_.statePath.empty())
        SaveState(options_.statePath, firmware_.State());
    return taken ? Answer(vhid::Status::Ok, answer) : Answer(vhid::Status::Refused);
}

bool VirtualMouseServer::Run(int stopFd) {
    std::list<Client> clients;
    std::vector<pollfd> fds;
    while (true) {
        fds.clear();
        fds.push_back({stopFd, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        for (const auto& client : clients) fds.push_back({client.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd >= 0) clients.push_back({fd, {}});
        }
        std::size_t index = 2;
        for (auto it = clients.begin(); it != clients.end(); ++index) {
            bool drop = false;
            if (index < fds.size() && fds[index].revents) {
                std::uint8_t buffer[4096];
                const ssize_t n = ::recv(it->fd, buffer, sizeof buffer, 0);
                if (n > 0) {
                    it->reader.Append(std::span(buffer, static_cast<std::size_t>(n)));
                    while (auto request = it->reader.Next()) {
                        if (!vhid::SendAll(it->fd, Handle(*request), kAnswerSendTimeout)) {
                            drop = true;
                            break;
                        }
                    }
                    drop = drop || it->reader.Broken();
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    drop = true;  // gone, possibly in the middle of a frame
                }
            }
            if (drop) {
                ::close(it->fd);
                it = clients.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& client : clients) ::close(client.fd);
    ::close(listenFd_);
    listenFd_ = -1;
    return ::unlink(options_.socketPath.c_str()) == 0;
}

}  // namespace qx::emu
