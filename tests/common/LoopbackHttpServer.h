// A small HTTP/1.1 server on 127.0.0.1 for tests: each path gets a canned
// reply, possibly late, cut short or without a length; unknown paths get 404.
// Every connection is served on a thread of its own, so a slow reply does not
// hold up the next request.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qx::test {

class LoopbackHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
        std::chrono::milliseconds delay{0};  // before the status line
        std::vector<std::string> headers;    // extra "Name: value" lines
        bool withLength = true;              // else the body ends when the connection does
        // Only this many body bytes are sent before the connection is closed,
        // while Content-Length still announces the whole body.
        std::size_t cutAfter = std::string::npos;

        static Reply Ok(std::string body) {
            Reply r;
            r.body = std::move(body);
            return r;
        }
        static Reply Status(int status, std::string body = "no") {
            Reply r = Ok(std::move(body));
            r.status = status;
            return r;
        }
        static Reply Redirect(const std::string& location) {
            Reply r = Status(302, {});
            r.headers.push_back("Location: " + location);
            return r;
        }
        Reply Late(std::chrono::milliseconds by) const {
            Reply r = *this;
            r.delay = by;
            return r;
        }
        Reply WithoutLength() const {
            Reply r = *this;
            r.withLength = false;
            return r;
        }
        Reply CutAfter(std::size_t bytes) const {
            Reply r = *this;
            r.cutAfter = bytes;
            return r;
        }
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, Reply reply);
    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by the path.
    std::string Url(std::string_view path = {}) const;
    // The request targets received so far, in order of arrival.
    std::vector<std::string> Requests() const;
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

    // A loopback port nobody listens on (bound once, then released).
    static std::uint16_t UnusedPort();

private:
    void AcceptLoop();
    void Handle(int fd);
    bool SleepUnlessStopped(std::chrono::milliseconds delay);

    int listenFd_ = -1;
    int wakeFd_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::map<std::string, Reply> replies_;
    std::vector<std::string> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

}  // namespace qx::test
