// The hot-plug source against real virtual mouse processes, waited on through
// its descriptor the way the main loop waits on it.
#include "platform/HotPlug.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/VirtualHidBackend.h"
#include "platform/VirtualHidProtocol.h"
#include "tests/common/TempDir.h"
#include "tests/common/VirtualMouse.h"
#include "tests/platform/FakeHotPlugSource.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;
using test::VirtualMouse;
using Kind = HotPlugEvent::Kind;
using SteadyClock = std::chrono::steady_clock;

// Waits on the descriptor until `count` events were taken or the time is up;
// a source whose descriptor does not wake the waiter fails here.
std::vector<HotPlugEvent> WaitForEvents(HotPlugSource& source, std::size_t count,
                                        std::chrono::milliseconds timeout = 5s) {
    std::vector<HotPlugEvent> events;
    const auto end = SteadyClock::now() + timeout;
    while (events.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now());
        if (left <= 0ms) break;
        pollfd p{source.Descriptor(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        for (auto& event : source.TakeEvents()) events.push_back(std::move(event));
    }
    return events;
}

// What else arrives within a short while.
std::vector<HotPlugEvent> Quiet(HotPlugSource& source) {
    return WaitForEvents(source, 1000, 300ms);
}

HotPlugEvent Arrival(std::string identifier) {
    return {Kind::Arrival, std::move(identifier)};
}
HotPlugEvent Removal(std::string identifier) {
    return {Kind::Removal, std::move(identifier)};
}

// A Unix socket that is not a virtual mouse: bound only (refuses connections)
// or listening without ever answering.
class ForeignSocket {
public:
    ForeignSocket(const fs::path& path, bool listening) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            EXPECT_EQ(::listen(fd_, 4), 0);
        }
    }
    ~ForeignSocket() { ::close(fd_); }

private:
    int fd_;
};

class HotPlugTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path folder = dir / "hid";

    void SetUp() override { fs::create_directories(folder); }

    // The identifier the HID layer gives the interface served at the socket.
    std::string ListedIdentifier(const std::string& socketName = "qx-mouse.sock") {
        for (const auto& interface : VirtualHidBackend(folder).EnumerateInterfaces())
            if (interface.identifier.ends_with("\\" + socketName)) return interface.identifier;
        return "(not listed)";
    }
};

TEST_F(HotPlugTest, AStartedMouseArrivesAndLeavesUnderTheIdentifierTheHidLayerGivesIt) {
    auto source = MakeHotPlugSource(folder);
    ASSERT_GE(source->Descriptor(), 0);
    EXPECT_TRUE(source->TakeEvents().empty());

    VirtualMouse mouse(folder);
    ASSERT_TRUE(mouse.Start({}));
    const std::string identifier = ListedIdentifier();
    EXPECT_NE(identifier.find("VID_7D3A&PID_6E41"), std::string::npos) << identifier;
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(identifier)});

    mouse.Stop();
    EXPECT_FALSE(fs::exists(mouse.SocketPath()));
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});
    EXPECT_TRUE(Quiet(*source).empty());
}

TEST_F(HotPlugTest, AKilledMouseIsRemovedThoughItsSocketStaysAndItsSuccessorArrives) {
    auto source = MakeHotPlugSource(folder);
    VirtualMouse mouse(folder);
    ASSERT_TRUE(mouse.Start({}));
    const std::string identifier = ListedIdentifier();
    ASSERT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(identifier)});

    mouse.Stop(SIGKILL);
    EXPECT_TRUE(fs::exists(mouse.SocketPath()));
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});

    // The next mouse replaces the socket left behind.
    VirtualMouse next(folder);
    ASSERT_TRUE(next.Start({}));
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(identifier)});
    EXPECT_TRUE(Quiet(*source).empty());
}

TEST_F(HotPlugTest, AMouseInFirmwareModeArrivesWithTheFirmwareModeIds) {
    auto source = MakeHotPlugSource(folder);
    VirtualMouse mouse(folder);
    ASSERT_TRUE(mouse.Start({"--firmware-mode"}));
    const auto events = WaitForEvents(*source, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::Arrival);
    EXPECT_NE(events[0].identifier.find("VID_04D9&PID_8022"), std::string::npos);
    EXPECT_EQ(events[0].identifier.find("VID_7D3A"), std::string::npos);
}

TEST_F(HotPlugTest, AMouseServingBeforeTheSourceIsNotAnnouncedButItsRemovalIsNamed) {
    VirtualMouse mouse(folder);
    ASSERT_TRUE(mouse.Start({}));
    const std::string identifier = ListedIdentifier();
    auto source = MakeHotPlugSource(folder);
    EXPECT_TRUE(Quiet(*source).empty());

    mouse.Stop();
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});
}

TEST_F(HotPlugTest, ASecondMouseUnderAnotherNameComesAndGoesOnItsOwn) {
    VirtualMouse first(folder), second(folder);
    ASSERT_TRUE(first.Start({}));
    auto source = MakeHotPlugSource(folder);

    ASSERT_TRUE(second.Start({}, "other.sock"));
    const std::string secondId = ListedIdentifier("other.sock");
    EXPECT_NE(secondId, ListedIdentifier());
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(secondId)});
    second.Stop();
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(secondId)});

    const std::string firstId = ListedIdentifier();
    first.Stop();
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(firstId)});
}

TEST_F(HotPlugTest, FilesAndSocketsThatAreNotMiceStaySilent) {
    auto source = MakeHotPlugSource(folder);
    {
        test::WriteText(folder / "notes.txt", "not a socket");
        ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
        ForeignSocket refusing(folder / "refusing.sock", false);
        ForeignSocket mute(folder / "mute.sock", true);
        VirtualMouse mouse(folder);
        ASSERT_TRUE(mouse.Start({}));
        // Not asked of the HID layer: it would wait for the mute socket.
        const std::string identifier = "HID\\VID_7D3A&PID_6E41\\virtual\\qx-mouse.sock";
        EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(identifier)});
        for (const char* name : {"notes.txt", "pipe", "refusing.sock", "mute.sock"})
            fs::remove(folder / name);
        mouse.Stop();
        EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});
    }
    EXPECT_TRUE(Quiet(*source).empty());
}

// A server's socket file exists from bind() on but answers only after listen():
// the source must keep trying instead of taking the socket for a dead one.
TEST_F(HotPlugTest, ASocketBoundBeforeItListensArrivesOnceItAnswers) {
    auto source = MakeHotPlugSource(folder);
    const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (folder / "late.sock").string();
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(WaitForEvents(*source, 1, 250ms).empty());

    ASSERT_EQ(::listen(server, 4), 0);
    int client = -1;
    std::thread serve([&] {
        pollfd p{server, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) return;
        client = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        std::vector<std::uint8_t> request;
        if (!vhid::ReceiveFrame(client, request, 5s)) return;
        const auto info = vhid::EncodeInfo({0x7D3A, 0x6E41, 1, {}});
        vhid::SendAll(client, vhid::EncodeFrame(static_cast<std::uint8_t>(vhid::Status::Ok), info),
                      5s);
    });
    const auto arrived = WaitForEvents(*source, 1);
    serve.join();
    const std::string identifier = "HID\\VID_7D3A&PID_6E41\\virtual\\late.sock";
    EXPECT_EQ(arrived, std::vector{Arrival(identifier)});

    // The server going away ends the connection the source keeps: a removal,
    // though the socket file is still there.
    ::close(client);
    ::close(server);
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});
}

TEST_F(HotPlugTest, AFolderMissingAtStartIsWatchedForAndMayGoAndComeBack) {
    const fs::path missing = dir / "run/user/hid";
    auto source = MakeHotPlugSource(missing);
    ASSERT_GE(source->Descriptor(), 0);
    EXPECT_TRUE(Quiet(*source).empty());

    fs::create_directories(missing);
    VirtualMouse mouse(missing);
    ASSERT_TRUE(mouse.Start({}));
    const auto arrived = WaitForEvents(*source, 1);
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].kind, Kind::Arrival);
    const std::string identifier = arrived[0].identifier;

    // The whole folder goes while the mouse still runs: its socket is gone.
    fs::remove_all(dir / "run");
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Removal(identifier)});
    mouse.Stop();

    fs::create_directories(missing);
    VirtualMouse again(missing);
    ASSERT_TRUE(again.Start({}));
    EXPECT_EQ(WaitForEvents(*source, 1), std::vector{Arrival(identifier)});
}

TEST_F(HotPlugTest, WithoutAFolderTheSourceStillWorks) {
    auto source = MakeHotPlugSource({});
    ASSERT_GE(source->Descriptor(), 0);
    const auto start = SteadyClock::now();
    EXPECT_TRUE(source->TakeEvents().empty());
    EXPECT_LT(SteadyClock::now() - start, 100ms);
}

TEST(FakeHotPlugSource, IsReadableExactlyWhileEventsWait) {
    test::FakeHotPlugSource fake;
    pollfd p{fake.Descriptor(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0);
    fake.Arrive("HID\\VID_7D3A&PID_6E41\\a");
    fake.Remove("HID\\VID_7D3A&PID_6E41\\a");
    EXPECT_EQ(::poll(&p, 1, 0), 1);
    EXPECT_EQ(fake.TakeEvents(), (std::vector{Arrival("HID\\VID_7D3A&PID_6E41\\a"),
                                              Removal("HID\\VID_7D3A&PID_6E41\\a")}));
    EXPECT_EQ(::poll(&p, 1, 0), 0);
}

}  // namespace
}  // namespace qx
