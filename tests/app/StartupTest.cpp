#include "app/Startup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "base/ChildProcess.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

const std::filesystem::path kBin = QX_TEST_BIN_DIR;

std::string UniqueName(const char* what) {
    return "qx-test-" + std::string(what) + "-" + std::to_string(::getpid());
}

TEST(Startup, MissingMenuExportStopsWithTheMessage) {
    TempDir dir;
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("menu"), dir / "data", kBin / "menuex_incomplete",
                           dir / "lock"};
    const auto result = RunStartup(notifier, options);
    EXPECT_EQ(result.outcome, StartupResult::Outcome::MenuLibraryMissing);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, u"Loading MenuEx.dll failed.");
}

TEST(Startup, FirstInstanceIsReadyWithUnsetEvents) {
    TempDir dir;
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("ready"), dir / "data", kBin / "menuex_complete",
                           dir / "lock"};
    const auto result = RunStartup(notifier, options);
    ASSERT_EQ(result.outcome, StartupResult::Outcome::Ready);
    EXPECT_FALSE(result.syncEvent->IsSet());
    EXPECT_FALSE(result.updateCheckEvent->IsSet());
    EXPECT_EQ(result.folders.deviceModel, u"NULL");
    EXPECT_TRUE(notifier.Messages().empty());
    // While it holds the lock, another start in this process is a second instance.
    const auto second = RunStartup(notifier, options);
    EXPECT_EQ(second.outcome, StartupResult::Outcome::SecondInstance);
}

// Another user's files could be planted in, or the user's read from, a data
// folder others can write: one message, nothing read or written.
TEST(Startup, DataFolderOthersCanWriteIsRefusedBeforeAnyFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "data");
    ::chmod((dir / "data").c_str(), 0777);
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("refused"), dir / "data", kBin / "menuex_complete",
                           dir / "lock"};
    const auto result = RunStartup(notifier, options);
    EXPECT_EQ(result.outcome, StartupResult::Outcome::DataFolderRefused);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_NE(notifier.Messages()[0].text.find(u"can be written by other users"),
              std::u16string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "data"));
}

// A FIFO in DeviceModel.ini's place once hung the start for good.
TEST(Startup, FifoDeviceModelDoesNotHangTheStart) {
    TempDir dir;
    std::filesystem::create_directory(dir / "data");
    ASSERT_EQ(::mkfifo((dir / "data/DeviceModel.ini").c_str(), 0600), 0);
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("fifo"), dir / "data", kBin / "menuex_complete",
                           dir / "lock"};
    const auto result = RunStartup(notifier, options);
    EXPECT_EQ(result.outcome, StartupResult::Outcome::Ready);
    EXPECT_EQ(result.folders.deviceModel, u"NULL");
}

TEST(SingleInstance, SecondProcessWakesTheFirstAndTouchesNothing) {
    TempDir dir;
    const EnvironmentSettings env = {{"QX_INSTANCE_SUFFIX", UniqueName("two")}};
    const auto probe = test::TestProgram("qx-startup-probe");
    const std::string app = (kBin / "menuex_complete").string();

    // The first copy runs in the background and waits for its wake message.
    ChildProcess first;
    ASSERT_TRUE(first.Start(
        probe, {"--app-folder", app, "--data-dir", (dir / "first").string(), "--wait", "10"}, env,
        ChildProcess::Stream::Pipe, ChildProcess::Stream::Inherit));
    EXPECT_EQ(first.ReadLine(10s), "ready");

    const auto secondData = dir / "second";
    const auto second =
        test::RunProgram(probe, {"--app-folder", app, "--data-dir", secondData.string()}, env);
    EXPECT_EQ(second.out, "second\n");
    EXPECT_FALSE(std::filesystem::exists(secondData));  // no folder, no file

    EXPECT_EQ(first.ReadLine(10s), "wake 1132 0 515");
    EXPECT_EQ(first.Wait(10s), 0);

    // Once the first copy has ended, the lock is free again (nothing stale is left).
    EXPECT_EQ(
        SingleInstance::Acquire(SingleInstance::DefaultName() + "-" + UniqueName("two")).outcome,
        SingleInstance::Outcome::Held);
}

TEST(SingleInstance, ACopyThatCrashedLeavesNothingThatBlocksTheNextStart) {
    TempDir dir;
    const auto folder = dir / "lock";
    const auto probe = test::TestProgram("qx-startup-probe");
    const std::vector<std::string> args = {"--app-folder",
                                           (kBin / "menuex_complete").string(),
                                           "--data-dir",
                                           (dir / "data").string(),
                                           "--instance-folder",
                                           folder.string(),
                                           "--wait",
                                           "30"};
    ChildProcess first;
    ASSERT_TRUE(first.Start(probe, args));
    ASSERT_EQ(first.ReadLine(10s), "ready");
    first.Stop(SIGKILL);
    EXPECT_TRUE(std::filesystem::exists(folder / SingleInstance::DefaultName()));  // left behind

    ChildProcess next;
    ASSERT_TRUE(next.Start(probe, args));
    EXPECT_EQ(next.ReadLine(10s), "ready");
    const auto second = test::RunProgram(probe, args);
    EXPECT_EQ(second.out, "second\n");
    EXPECT_EQ(next.ReadLine(10s), "wake 1132 0 515");
}

// Another user used to be able to take the name first, and every start of
// the user's then ended as a second copy.
TEST(SingleInstance, AnotherUsersProcessCannotTakeTheNameFirst) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a process of another user";
    TempDir dir;
    const auto runtime = dir / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ChildProcess squatter;
    ASSERT_TRUE(squatter.Start(test::TestProgram("qx-instance-intruder"),
                               {"--uid", "65534", "squat", (runtime / "orvik-6e41").string(),
                                SingleInstance::DefaultName() + "-" + UniqueName("squat"), "10"}));
    EXPECT_EQ(squatter.ReadLine(5s), "refused");  // the lock file
    EXPECT_EQ(squatter.ReadLine(5s), "refused");  // the socket
    EXPECT_EQ(squatter.ReadLine(5s), "taken");    // the abstract name of old, now unused
    const auto start = test::RunProgram(
        test::TestProgram("qx-startup-probe"),
        {"--app-folder", (kBin / "menuex_complete").string(), "--data-dir",
         (dir / "data").string()},
        {{"XDG_RUNTIME_DIR", runtime.string()}, {"QX_INSTANCE_SUFFIX", UniqueName("squat")}});
    EXPECT_EQ(start.out, "ready\n");
}

}  // namespace
}  // namespace qx
