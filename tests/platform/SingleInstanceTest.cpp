// The single-instance lock against what other processes may do to it: another
// user taking the name first or talking to the running copy, the user's own
// processes sending something else or sending slowly, and a copy that crashed.
#include "platform/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "tests/common/RunProgram.h"
#include "tests/common/ScopedEnv.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::ScopedEnv;

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test::TempDir;

constexpr char kName[] = "Orvik6E41Driver.exe";
constexpr uid_t kOtherUser = 65534;

unsigned Mode(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0xFFFF;
}

// Another user's process (the test runs as root to be able to start one).
std::vector<std::string> Intruder(const std::vector<std::string>& args) {
    std::vector<std::string> full = {"--uid", std::to_string(kOtherUser)};
    full.insert(full.end(), args.begin(), args.end());
    const auto result = test::RunProgram(test::TestProgram("qx-instance-intruder"), full);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(result.out.substr(start, end - start));
    return lines;
}

// Sends raw bytes as a process of this user would.
int ConnectRaw(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

// Waits for the descriptor the window's notifier watches, then takes what came.
std::vector<WakeMessage> TakeWhenReadable(SingleInstance& instance,
                                          std::chrono::milliseconds wait = 1000ms) {
    pollfd p{instance.ListenDescriptor(), POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(wait.count()));
    return instance.TakeMessages();
}

TEST(SingleInstanceLock, LivesInAFolderOnlyTheUserCanReach) {
    TempDir dir;
    const fs::path runtime = dir / "runtime";
    const fs::path home = dir / "home";
    fs::create_directories(runtime);
    fs::create_directories(home);
    ScopedEnv homeEnv("HOME", home.c_str());
    ScopedEnv cacheEnv("XDG_CACHE_HOME", nullptr);
    const fs::path fallback = home / ".cache" / "orvik-6e41";
    struct Case {
        const char* what;
        unsigned runtimeMode;  // 0: XDG_RUNTIME_DIR unset
        fs::path expected;
    } cases[] = {
        {"private runtime folder", 0700, runtime / "orvik-6e41"},
        {"runtime folder open to others", 0777, fallback},
        {"runtime folder readable by the group", 0750, fallback},
        {"no runtime folder", 0, fallback},
    };
    for (const Case& c : cases) {
        ::chmod(runtime.c_str(), c.runtimeMode ? c.runtimeMode : 0700);
        ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", c.runtimeMode ? runtime.c_str() : nullptr);
        const auto folder = SingleInstance::DefaultFolder();
        ASSERT_TRUE(folder) << c.what;
        EXPECT_EQ(*folder, c.expected) << c.what;
        EXPECT_EQ(Mode(*folder), 0700u) << c.what;
        auto acquired = SingleInstance::Acquire(kName, *folder);
        ASSERT_EQ(acquired.outcome, SingleInstance::Outcome::Held) << c.what;
        EXPECT_EQ(Mode(acquired.instance->SocketPath()) & 077, 0u) << c.what;
    }

    // A folder of the user's that others could enter is closed before use;
    // one that is somebody else's is not used at all.
    ::chmod(fallback.c_str(), 0755);
    EXPECT_EQ(SingleInstance::Acquire(kName, fallback).outcome, SingleInstance::Outcome::Held);
    EXPECT_EQ(Mode(fallback), 0700u);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(fallback.c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_EQ(SingleInstance::Acquire(kName, fallback).outcome,
                  SingleInstance::Outcome::Unavailable);
    }
}

TEST(SingleInstanceLock, AnotherUserCanNeitherTakeTheNameNorTalkToTheCopy) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a process of another user";
    TempDir dir;  // like $XDG_RUNTIME_DIR: the user's own, mode 0700
    const fs::path folder = dir / "orvik-6e41";

    // Taking the name first: the old abstract name still can be taken, but
    // nothing in the user's folder can.
    EXPECT_EQ(Intruder({"squat", folder.string(), kName}),
              (std::vector<std::string>{"refused", "refused", "taken"}));
    auto acquired = SingleInstance::Acquire(kName, folder);
    ASSERT_EQ(acquired.outcome, SingleInstance::Outcome::Held);
    SingleInstance& instance = *acquired.instance;
    EXPECT_EQ(Intruder({"wake", instance.SocketPath().string()}),
              std::vector<std::string>{"refused"});

    // Even with the folder and the socket opened up, the copy takes nothing
    // from another user: it checks who is on the other end.
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    ::chmod(instance.SocketPath().c_str(), 0666);
    EXPECT_EQ(Intruder({"wake", instance.SocketPath().string()}), std::vector<std::string>{"sent"});
    EXPECT_EQ(Intruder({"inject", instance.SocketPath().string()}),
              std::vector<std::string>{"sent"});
    EXPECT_TRUE(TakeWhenReadable(instance, 200ms).empty());
}

TEST(SingleInstanceLock, ASecondStartWakesOnlyACopyOfItsOwnUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a process of another user";
    TempDir dir;
    const fs::path folder = dir / "orvik-6e41";
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ::chmod(folder.c_str(), 0777);
    ::chmod(dir.path().c_str(), 0755);
    // Another user's listener where the running copy would be.
    ChildProcess listener;
    ASSERT_TRUE(
        listener.Start(test::TestProgram("qx-instance-intruder"),
                       {"--uid", std::to_string(kOtherUser), "listen", (folder / kName).string()}));
    ASSERT_EQ(listener.ReadLine(5s), "listening");
    ::chmod(folder.c_str(), 0700);  // looks like the user's own folder again
    EXPECT_FALSE(SingleInstance::PostToRunning(kName, folder));
    EXPECT_EQ(listener.ReadLine(5s), "nothing");
}

TEST(SingleInstanceLock, TheCopyTakesTheWakeMessageAndNothingElse) {
    TempDir dir;
    auto acquired = SingleInstance::Acquire(kName, dir / "lock");
    ASSERT_EQ(acquired.outcome, SingleInstance::Outcome::Held);
    SingleInstance& instance = *acquired.instance;
    EXPECT_EQ(SingleInstance::Acquire(kName, dir / "lock").outcome,
              SingleInstance::Outcome::HeldElsewhere);

    const std::uint8_t injected[20] = {0x10, 0, 0,    0,    0xAD, 0xDE, 0,    0,    0,    0,
                                       0,    0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::uint8_t tooShort[5] = {0x6C, 0x04, 0, 0, 0};
    for (const auto& bytes :
         {std::vector<std::uint8_t>(std::begin(injected), std::end(injected)),
          std::vector<std::uint8_t>(std::begin(tooShort), std::end(tooShort))}) {
        const int fd = ConnectRaw(instance.SocketPath());
        ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
        EXPECT_TRUE(TakeWhenReadable(instance).empty()) << bytes.size() << " bytes";
    }
    ASSERT_TRUE(SingleInstance::PostToRunning(kName, dir / "lock"));
    EXPECT_EQ(TakeWhenReadable(instance), std::vector<WakeMessage>{kWakeMessage});
}

TEST(SingleInstanceLock, SlowClientsNeverHoldTheMainThread) {
    TempDir dir;
    auto acquired = SingleInstance::Acquire(kName, dir / "lock");
    ASSERT_EQ(acquired.outcome, SingleInstance::Outcome::Held);
    SingleInstance& instance = *acquired.instance;

    // More clients than are waited for, each sending part of a message and
    // then nothing. (Taken as they come: a full listen queue would block the
    // connecting test itself.)
    std::vector<int> slow;
    std::chrono::steady_clock::duration taking{};
    for (std::size_t i = 0; i < SingleInstance::kMaxWaitingClients + 2; ++i) {
        slow.push_back(ConnectRaw(instance.SocketPath()));
        ASSERT_EQ(::send(slow.back(), "\x6C\x04", 2, 0), 2);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(instance.TakeMessages().empty());
        taking += std::chrono::steady_clock::now() - start;
    }
    EXPECT_LT(taking, 50ms);

    // A client that sends in two parts is read when the rest comes.
    const int late = ConnectRaw(instance.SocketPath());
    const std::uint8_t wake[20] = {0x6C, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x02};
    ASSERT_EQ(::send(late, wake, 7, 0), 7);
    EXPECT_TRUE(TakeWhenReadable(instance).empty());
    ASSERT_EQ(::send(late, wake + 7, 13, 0), 13);
    EXPECT_EQ(TakeWhenReadable(instance), std::vector<WakeMessage>{kWakeMessage});

    // The wake of a second start comes through all the same.
    ASSERT_TRUE(SingleInstance::PostToRunning(kName, dir / "lock"));
    EXPECT_EQ(TakeWhenReadable(instance), std::vector<WakeMessage>{kWakeMessage});

    // Those that never finish are let go after a while.
    std::this_thread::sleep_for(SingleInstance::kClientPatience + 100ms);
    instance.TakeMessages();
    char byte;
    for (int fd : slow) {
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(::poll(&p, 1, 0), 1);
        EXPECT_EQ(::recv(fd, &byte, 1, MSG_DONTWAIT), 0);  // closed by the copy
        ::close(fd);
    }
    ::close(late);
}

}  // namespace
}  // namespace qx
