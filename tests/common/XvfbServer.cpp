#include "tests/common/XvfbServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

namespace qx::test {
namespace {

using namespace std::chrono_literals;

std::filesystem::path FindXvfb() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const auto candidate = std::filesystem::path(std::string(rest.substr(0, colon))) / "Xvfb";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return {};
}

std::filesystem::path LockFile(int display) {
    return "/tmp/.X" + std::to_string(display) + "-lock";
}
std::filesystem::path SocketFile(int display) {
    return "/tmp/.X11-unix/X" + std::to_string(display);
}

bool Accepts(const std::filesystem::path& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// The server holding display N writes its process id into the lock file.
bool LockHeldBy(int display, pid_t pid) {
    std::ifstream in(LockFile(display));
    long holder = 0;
    return in >> holder && holder == pid;
}

}  // namespace

bool XvfbInstalled() {
    return !FindXvfb().empty();
}

XvfbServer::XvfbServer() {
    const auto xvfb = FindXvfb();
    if (xvfb.empty()) return;
    // Test programs run side by side. Each looks from its own place in the
    // range, so that a number one of them has just given up (a server a test
    // stopped on purpose) is not at once taken by another. A number taken in
    // between makes that Xvfb give up, and the next one is tried.
    constexpr int kFirst = 100, kCount = 800;
    const int start = static_cast<int>(::getpid() % kCount);
    for (int step = 0, attempts = 0; step < kCount && attempts < 20; ++step) {
        const int display = kFirst + (start + step) % kCount;
        std::error_code error;
        if (std::filesystem::exists(LockFile(display), error) ||
            std::filesystem::exists(SocketFile(display), error))
            continue;
        ++attempts;
        const std::string name = ":" + std::to_string(display);
        if (!process_.Start(xvfb,
                            {name, "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"},
                            {}, ChildProcess::Stream::Discard, ChildProcess::Stream::Discard))
            return;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (process_.Running() && std::chrono::steady_clock::now() < deadline) {
            if (LockHeldBy(display, process_.Pid()) && Accepts(SocketFile(display))) {
                display_ = name;
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        process_.Stop(SIGTERM);  // lets a server that came up late remove its lock
    }
}

XvfbServer::~XvfbServer() {
    process_.Stop(SIGTERM);
}

std::unique_ptr<XvfbServer> XvfbTest::server_;

void XvfbTest::SetUpTestSuite() {
    if (XvfbInstalled()) server_ = std::make_unique<XvfbServer>();
}

void XvfbTest::TearDownTestSuite() {
    server_.reset();
}

void XvfbTest::SetUp() {
    if (!server_) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(server_->Running()) << "Xvfb did not start";
    SetUpWithServer();
}

}  // namespace qx::test
