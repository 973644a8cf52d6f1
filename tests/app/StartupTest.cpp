#include "app/Startup.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "tests/support/TempDir.h"

namespace qx {
namespace {

using test::TempDir;

const std::filesystem::path kBin = QX_TEST_BIN_DIR;

std::string UniqueName(const char* what) {
    return "qx-test-" + std::string(what) + "-" + std::to_string(::getpid());
}

TEST(MenuLibrary, NeedsAllThreeEntryPoints) {
    EXPECT_NE(MenuLibrary::Load(kBin / "menuex_complete/MenuEx.so"), nullptr);
    EXPECT_EQ(MenuLibrary::Load(kBin / "menuex_incomplete/MenuEx.so"), nullptr);
    EXPECT_EQ(MenuLibrary::Load(kBin / "no-such-folder/MenuEx.so"), nullptr);
}

TEST(Startup, MissingMenuExportStopsWithTheMessage) {
    TempDir dir;
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("menu"), dir / "data", kBin / "menuex_incomplete"};
    const auto result = RunStartup(notifier, options);
    EXPECT_EQ(result.outcome, StartupResult::Outcome::MenuLibraryMissing);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, u"Loading MenuEx.dll failed.");
}

TEST(Startup, FirstInstanceIsReadyWithUnsetEvents) {
    TempDir dir;
    RecordingNotifier notifier;
    StartupOptions options{UniqueName("ready"), dir / "data", kBin / "menuex_complete"};
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

// Runs a command and returns its output.
std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 256> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
    ::pclose(pipe);
    return out;
}

TEST(SingleInstance, SecondProcessWakesTheFirstAndTouchesNothing) {
    TempDir dir;
    const std::string env = "QX_INSTANCE_SUFFIX=" + UniqueName("two") + " ";
    const std::string probe = (kBin / "qx-startup-probe").string();
    const std::string app = " --app-folder " + (kBin / "menuex_complete").string();

    // The first copy runs in the background and waits for its wake message.
    FILE* first = ::popen((env + probe + app + " --data-dir " + (dir / "first").string() +
                           " --wait 10").c_str(), "r");
    ASSERT_NE(first, nullptr);
    char line[128] = {};
    ASSERT_NE(std::fgets(line, sizeof line, first), nullptr);
    EXPECT_STREQ(line, "ready\n");

    const auto secondData = dir / "second";
    EXPECT_EQ(RunCommand(env + probe + app + " --data-dir " + secondData.string()), "second\n");
    EXPECT_FALSE(std::filesystem::exists(secondData));  // no folder, no file

    ASSERT_NE(std::fgets(line, sizeof line, first), nullptr);
    EXPECT_STREQ(line, "wake 1132 0 515\n");
    ::pclose(first);

    // Once the first copy has ended, the lock is free again (nothing stale is left).
    EXPECT_NE(SingleInstance::Acquire(SingleInstance::DefaultName() + "-" + UniqueName("two")),
              nullptr);
}

}  // namespace
}  // namespace qx
