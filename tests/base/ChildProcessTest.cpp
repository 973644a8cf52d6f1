// Starting other programs: arguments and environment arrive as given, both
// outputs come back without one blocking the other, and no wait outlasts its
// deadline.
#include "base/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qx {
namespace {

using namespace std::chrono_literals;

// Runs sh with a script; its own arguments follow as $1, $2, ...
struct Shell {
    std::string out, err;
    int exitCode = -1;

    Shell(const std::string& script, std::vector<std::string> args = {},
          const EnvironmentSettings& environment = {}) {
        args.insert(args.begin(), {"-c", script, "sh"});
        ChildProcess child;
        EXPECT_TRUE(child.Start("/bin/sh", args, environment));
        EXPECT_TRUE(child.ReadToEnd(out, err, 10s));
        exitCode = child.Wait(10s).value_or(-1);
    }
};

TEST(ChildProcess, ArgumentsArriveUntouchedByAnyShell) {
    const std::vector<std::string> args = {"two words", "'quoted'", "$HOME", "; echo no", "", "*"};
    const Shell run(R"(for a in "$@"; do printf '[%s]' "$a"; done)", args);
    EXPECT_EQ(run.out, "[two words]['quoted'][$HOME][; echo no][][*]");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ChildProcess, EnvironmentIsOursWithTheSettingsReplacingOnlyTheirOwnName) {
    ::setenv("QX_CHILD_TEST", "old", 1);
    ::setenv("QX_CHILD_TEST_LONGER", "kept", 1);
    const Shell run("env", {}, {{"QX_CHILD_TEST", "new"}, {"QX_CHILD_ADDED", "a b"}});
    ::unsetenv("QX_CHILD_TEST");
    ::unsetenv("QX_CHILD_TEST_LONGER");
    EXPECT_NE(run.out.find("\nQX_CHILD_TEST=new\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("QX_CHILD_TEST=old"), std::string::npos);
    EXPECT_NE(run.out.find("\nQX_CHILD_TEST_LONGER=kept\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nQX_CHILD_ADDED=a b\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nPATH="), std::string::npos);
}

// A child that fills the pipe of the output nobody reads would wait forever.
TEST(ChildProcess, BothOutputsAreReadWhateverTheirSize) {
    const Shell run("head -c 200000 /dev/zero; head -c 300000 /dev/zero >&2; exit 3");
    EXPECT_EQ(run.out.size(), 200000u);
    EXPECT_EQ(run.err.size(), 300000u);
    EXPECT_EQ(run.exitCode, 3);
}

TEST(ChildProcess, LinesComeOneByOneAndTheEndIsNoLine) {
    ChildProcess child;
    ASSERT_TRUE(child.Start("/bin/sh", {"-c", "printf 'one\\ntwo\\n'; sleep 0.2; printf 'three'"}));
    EXPECT_EQ(child.ReadLine(5s), "one");
    EXPECT_EQ(child.ReadLine(5s), "two");
    EXPECT_EQ(child.ReadLine(5s), std::nullopt);  // "three" has no newline before the end
    std::string out, err;
    EXPECT_TRUE(child.ReadToEnd(out, err, 5s));
    EXPECT_EQ(out, "three");
    EXPECT_EQ(child.Wait(5s), 0);
}

TEST(ChildProcess, WaitsEndAtTheirDeadlineAndStopReportsTheSignal) {
    ChildProcess child;
    ASSERT_TRUE(child.Start("/bin/sleep", {"30"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(child.ReadLine(100ms), std::nullopt);
    EXPECT_EQ(child.Wait(100ms), std::nullopt);
    EXPECT_TRUE(child.Running());
    EXPECT_EQ(child.Stop(SIGKILL), 128 + SIGKILL);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(child.Stop(), 128 + SIGKILL);  // ended already: the same answer
}

TEST(ChildProcess, AMissingProgramDoesNotStart) {
    ChildProcess child;
    EXPECT_FALSE(child.Start("/no/such/program", {}));
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(child.Stop(), -1);
}

}  // namespace
}  // namespace qx
