// The client side of the virtual-device socket against a scripted peer: late
// answers must not put the request/answer stream out of step.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/VirtualHidBackend.h"
#include "platform/VirtualHidProtocol.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using std::chrono::milliseconds;

// Answers each request with status Ok and the request's first report byte
// echoed, after the delay chosen for that request number.
class SlowPeer {
public:
    SlowPeer(const std::filesystem::path& path, std::vector<milliseconds> delays)
        : path_(path), delays_(std::move(delays)) {
        listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(listen_, 4), 0);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SlowPeer() {
        thread_.join();
        ::close(listen_);
    }

private:
    void Serve() {
        const int fd = ::accept(listen_, nullptr, nullptr);
        for (const auto delay : delays_) {
            std::vector<std::uint8_t> body;
            if (!vhid::ReceiveFrame(fd, body, milliseconds(5000))) break;
            std::this_thread::sleep_for(delay);
            const std::uint8_t echo[] = {body.size() > 1 ? body[1] : std::uint8_t{0}};
            const auto answer = vhid::EncodeFrame(
                0, body[0] == 3 ? std::span(echo) : std::span<const std::uint8_t>());
            vhid::SendAll(fd, answer, milliseconds(1000));
        }
        ::close(fd);
    }

    std::filesystem::path path_;
    std::vector<milliseconds> delays_;
    int listen_ = -1;
    std::thread thread_;
};

TEST(VirtualHidClient, LateAnswerIsCollectedBeforeTheNextRequest) {
    test::TempDir dir;
    const auto socket = dir / "slow.sock";
    SlowPeer peer(socket, {milliseconds(300), milliseconds(0), milliseconds(0)});
    VirtualHidBackend backend(dir.path());
    auto handle = backend.Open(vhid::kPathPrefix + socket.string(), HidAccess::Write);
    ASSERT_NE(handle, nullptr);

    const std::uint8_t report[33] = {7};
    EXPECT_EQ(handle->WriteOutput(report, milliseconds(50)), HidWriteResult::TimedOut);
    // The late answer of the write must not be taken for this one's.
    std::uint8_t feature[1] = {0x42};
    ASSERT_TRUE(handle->GetFeature(feature));
    EXPECT_EQ(feature[0], 0x42);
    EXPECT_TRUE(handle->SetFeature(report));
    // The peer has hung up: every transfer fails from now on.
    EXPECT_FALSE(handle->SetFeature(report));
    EXPECT_EQ(handle->WriteOutput(report, milliseconds(50)), HidWriteResult::Failed);
}

}  // namespace
}  // namespace qx
