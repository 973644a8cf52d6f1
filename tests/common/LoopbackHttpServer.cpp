#include "tests/common/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qx::test {
namespace {

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int ListenOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen on 127.0.0.1 failed");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    listenFd_ = ListenOnLoopback(port_);
    if (::pipe2(wakeFd_, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    const char byte = 0;
    (void)!::write(wakeFd_[1], &byte, 1);
    acceptor_.join();
    for (auto& t : connections_) t.join();
    ::close(listenFd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
}

void LoopbackHttpServer::Serve(const std::string& path, Reply reply) {
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count,
                                         std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::uint16_t LoopbackHttpServer::UnusedPort() {
    std::uint16_t port = 0;
    ::close(ListenOnLoopback(port));
    return port;
}

void LoopbackHttpServer::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd] {
            Handle(fd);
            ::close(fd);
        });
    }
}

bool LoopbackHttpServer::SleepUnlessStopped(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, delay, [this] { return stopping_; });
}

void LoopbackHttpServer::Handle(int fd) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const std::size_t from = request.find(' ') + 1;
    const std::string target = request.substr(from, request.find(' ', from) - from);

    Reply reply;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
        auto it = replies_.find(target);
        reply = it != replies_.end() ? it->second : Reply::Status(404, "not here");
    }
    changed_.notify_all();
    if (reply.delay.count() > 0 && !SleepUnlessStopped(reply.delay)) return;

    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                       "\r\nConnection: close\r\n";
    if (reply.withLength) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    for (const auto& h : reply.headers) head += h + "\r\n";
    head += "\r\n";
    if (!SendAll(fd, head)) return;
    const std::string_view body = std::string_view(reply.body).substr(0, reply.cutAfter);
    // In pieces, so that a client that stops reading is noticed early.
    for (std::size_t at = 0; at < body.size(); at += 65536) {
        if (!SendAll(fd, body.substr(at, 65536))) return;
        std::lock_guard lock(mutex_);
        if (stopping_) return;
    }
    ::shutdown(fd, SHUT_WR);
}

}  // namespace qx::test
