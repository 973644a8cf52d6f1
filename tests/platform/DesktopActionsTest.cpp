// Software button functions for real: programs and the opener are a recorder
// program that notes how it was started; sounds go to whatever audio this
// machine has (none), which must stay silent and quick.
#include "platform/DesktopActions.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;
using SteadyClock = std::chrono::steady_clock;

const fs::path kRecorder = test::TestProgram("qx-argv-recorder");

// One start of the recorder.
struct Run {
    int pid = 0, ppid = 0, sid = 0;
    std::vector<std::string> args;
    std::map<int, std::string> fds;
};

std::vector<Run> ReadRuns(const fs::path& record) {
    std::vector<Run> runs;
    std::ifstream in(record);
    std::string line;
    Run run;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "run") {
            run = {};
            std::string ppid, sid;
            fields >> run.pid >> ppid >> run.ppid >> sid >> run.sid;
        } else if (key == "arg") {
            run.args.push_back(line.substr(4));
        } else if (key == "fd") {
            int fd = -1;
            fields >> fd;
            std::string target;
            std::getline(fields >> std::ws, target);
            run.fds[fd] = target;
        } else if (key == "end") {
            runs.push_back(run);
        }
    }
    return runs;
}

std::vector<Run> WaitForRuns(const fs::path& record, std::size_t count) {
    const auto end = SteadyClock::now() + 5s;
    auto runs = ReadRuns(record);
    while (runs.size() < count && SteadyClock::now() < end) {
        std::this_thread::sleep_for(10ms);
        runs = ReadRuns(record);
    }
    return runs;
}

// Our children that ended and were never waited for.
std::vector<int> ZombieChildren() {
    std::vector<int> zombies;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text)) continue;
        const auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(text.substr(close + 2));
        char state = 0;
        int ppid = 0;
        rest >> state >> ppid;
        if (state == 'Z' && ppid == ::getpid()) zombies.push_back(std::stoi(text));
    }
    return zombies;
}

class DesktopActionsTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path record = dir / "record.txt";

    void SetUp() override { ::setenv("QX_ARGV_RECORD", record.c_str(), 1); }

    // The recorder under a path with blanks.
    fs::path InstallRecorder(const fs::path& at) {
        fs::create_directories(at.parent_path());
        fs::copy_file(kRecorder, at);
        return at;
    }
};

TEST_F(DesktopActionsTest, AProgramWithBlanksInItsPathRunsDetachedWithNothingOfOurs) {
    const auto program = InstallRecorder(dir / "My Tools" / "argv recorder");
    // A descriptor someone forgot to mark close-on-exec must not reach the program.
    const int leaked = ::open(record.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(leaked, 3);

    MakeDesktopActions()->RunProgram(program);
    ::close(leaked);

    const auto runs = WaitForRuns(record, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, std::vector<std::string>{program.string()});
    EXPECT_NE(runs[0].ppid, ::getpid());
    EXPECT_NE(runs[0].sid, ::getsid(0));
    EXPECT_EQ(runs[0].fds.size(), 3u);
    EXPECT_FALSE(runs[0].fds.contains(leaked));
    EXPECT_EQ(runs[0].fds.at(0), "/dev/null");
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(ZombieChildren().empty());
}

TEST_F(DesktopActionsTest, TheOpenerGetsEachPathAsOneAbsoluteArgument) {
    const fs::path files = dir / "My Files";
    fs::create_directories(files / "sub folder");
    test::WriteText(files / "report 2024.txt", "x");
    const fs::path workingFolder = fs::current_path();
    fs::current_path(files);
    const std::vector<std::pair<fs::path, fs::path>> cases = {
        {files / "report 2024.txt", files / "report 2024.txt"},
        {files / "sub folder", files / "sub folder"},
        {files / "it's \"odd\"; $(touch x) & y", files / "it's \"odd\"; $(touch x) & y"},
        // Relative: never read as an option or a URL.
        {"-rf sub folder", files / "-rf sub folder"},
        {"http:/example", files / "http:/example"},
    };
    auto actions = MakeDesktopActions(kRecorder.string());
    for (const auto& [path, expected] : cases) actions->OpenPath(path);
    actions->OpenPath("");
    fs::current_path(workingFolder);

    auto runs = WaitForRuns(record, cases.size());
    ASSERT_EQ(runs.size(), cases.size());
    // Detached programs may start in any order.
    std::vector<std::vector<std::string>> got, wanted;
    for (const auto& run : runs) got.push_back(run.args);
    for (const auto& [path, expected] : cases) wanted.push_back({kRecorder, expected.string()});
    std::sort(got.begin(), got.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(got, wanted);
    EXPECT_FALSE(fs::exists(files / "x"));
    EXPECT_TRUE(ZombieChildren().empty());
}

TEST_F(DesktopActionsTest, TheOpenerComesFromTheEnvironmentWhenSet) {
    const auto opener = InstallRecorder(dir / "bin" / "my opener");
    ::setenv("QX_OPEN_COMMAND", opener.c_str(), 1);
    auto actions = MakeDesktopActions();
    ::unsetenv("QX_OPEN_COMMAND");
    actions->OpenPath(dir / "a file");
    const auto runs = WaitForRuns(record, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, (std::vector<std::string>{opener, (dir / "a file").string()}));
}

TEST_F(DesktopActionsTest, TheOpenerGetsOnlyWebAddresses) {
    const std::vector<std::string> opened = {"https://www.orvik.com",
                                             "HTTP://127.0.0.1:8080/a?b=c"};
    const std::vector<std::string> refused = {"",
                                              "www.orvik.com",
                                              "-https://www.orvik.com",
                                              "file:///etc/passwd",
                                              "javascript:alert(1)",
                                              "https://",
                                              "https:///path",
                                              "https://www.orvik.com/a b",
                                              "https:www.orvik.com",
                                              "ftp://www.orvik.com",
                                              "https://www.orvik.com/\n--option"};
    auto actions = MakeDesktopActions(kRecorder.string());
    for (const auto& url : refused) EXPECT_FALSE(IsWebUrl(url)) << url;
    for (const auto& url : opened) EXPECT_TRUE(IsWebUrl(url)) << url;
    for (const auto& url : refused) actions->OpenUrl(url);
    for (const auto& url : opened) actions->OpenUrl(url);

    const auto runs = WaitForRuns(record, opened.size());
    std::vector<std::vector<std::string>> got, wanted;
    for (const auto& run : runs) got.push_back(run.args);
    for (const auto& url : opened) wanted.push_back({kRecorder, url});
    std::sort(got.begin(), got.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(got, wanted);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(ReadRuns(record).size(), opened.size());
}

TEST_F(DesktopActionsTest, WhatCannotStartFailsQuietlyAndLeavesNoChild) {
    test::WriteText(dir / "not a program.txt", "text");
    fs::create_directories(dir / "a folder");
    const std::vector<fs::path> cannotStart = {dir / "missing dir" / "program", dir / "missing",
                                               dir / "not a program.txt", dir / "a folder",
                                               "no-such-program-in-path-qx"};
    for (const auto& program : cannotStart)
        EXPECT_FALSE(SpawnDetached({program.string()})) << program;
    EXPECT_TRUE(SpawnDetached({kRecorder.string(), "with", "two arguments"}));

    const auto start = SteadyClock::now();
    auto actions = MakeDesktopActions((dir / "missing opener").string());
    for (const auto& program : cannotStart) actions->RunProgram(program);
    actions->RunProgram("");
    actions->OpenPath(dir / "a folder");
    EXPECT_LT(SteadyClock::now() - start, 1s);

    const auto runs = WaitForRuns(record, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, (std::vector<std::string>{kRecorder, "with", "two arguments"}));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(ZombieChildren().empty());
    EXPECT_EQ(ReadRuns(record).size(), 1u);
}

// A second of 8 kHz mono silence.
void WriteWave(const fs::path& path) {
    const std::uint32_t rate = 8000, samples = 8000;
    std::string data = "RIFF";
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto u16 = [&](std::uint16_t v) {
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>(v >> 8);
    };
    u32(36 + samples * 2);
    data += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    data += "data";
    u32(samples * 2);
    data.append(samples * 2, '\0');
    test::WriteText(path, data);
}

TEST_F(DesktopActionsTest, SoundsReturnAtOnceWithOrWithoutAFileOrAnAudioDevice) {
    WriteWave(dir / "click sound.wav");
    auto actions = MakeDesktopActions();
    const auto start = SteadyClock::now();
    actions->PlaySoundFile(dir / "click sound.wav");
    actions->PlaySoundFile(dir / "click sound.wav");  // cuts the first
    actions->PlaySoundFile(dir / "missing.wav");
    actions->PlaySoundFile(dir / "record.txt");  // not a sound
    actions->PlaySoundFile("");
    EXPECT_LT(SteadyClock::now() - start, 1s);
    actions.reset();
    EXPECT_LT(SteadyClock::now() - start, 2s);
}

}  // namespace
}  // namespace qx
