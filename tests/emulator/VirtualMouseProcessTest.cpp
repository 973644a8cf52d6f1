// The virtual mouse as a separate process, reached through the same HID layer
// the utility uses: what it received (its trace) and what it kept (--dump).
#include <gtest/gtest.h>

#include <numeric>

#include "device/USBDriver.h"
#include "emulator/VirtualMouseState.h"
#include "platform/SystemHidBackend.h"
#include "platform/UsbDevices.h"
#include "platform/VirtualHidBackend.h"
#include "platform/VirtualHidProtocol.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"
#include "tests/common/VirtualMouse.h"

namespace qx {
namespace {

using test::AppProgram;
using test::ReadTrace;
using test::RunProgram;
using test::TempDir;
using test::VirtualMouse;
using Bytes = std::vector<std::uint8_t>;

std::string Hex(const Bytes& bytes) {
    return emu::HexBytes(bytes.data(), bytes.size());
}

class ProcessTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path folder = dir / "hid";
    std::filesystem::path trace = dir / "trace.jsonl";
    std::filesystem::path state = dir / "state.bin";
    VirtualMouse mouse{folder};
    VirtualHidBackend backend{folder};
    RecordingSleeper sleeper;
    CUSBDriver driver{backend, sleeper};

    void SetUp() override { std::filesystem::create_directories(folder); }

    void StartMouse(std::vector<std::string> extra = {}) {
        std::vector<std::string> options = {"--trace",      trace.string(), "--state",
                                            state.string(), "--version",    "12"};
        options.insert(options.end(), extra.begin(), extra.end());
        ASSERT_TRUE(mouse.Start(options));
        ASSERT_TRUE(driver.OpenDevice());
    }

    std::string Dump() {
        const auto r =
            RunProgram(AppProgram("qx-virtual-mouse"), {"--dump", "--state", state.string()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    // Report bytes as sent: report ID 07, payload, zeros to 8 bytes.
    static std::string Feature(Bytes payload) {
        payload.insert(payload.begin(), 0x07);
        payload.resize(8, 0);
        return Hex(payload);
    }
    static std::string Output(const Bytes& data) {
        Bytes report(data.size() + 1);
        report[0] = 0x07;
        std::copy(data.begin(), data.end(), report.begin() + 1);
        return Hex(report);
    }
};

TEST_F(ProcessTest, FeatureOnlyCommands) {
    StartMouse();
    ASSERT_TRUE(driver.WriteLedColour(0x563412));
    ASSERT_TRUE(driver.WriteReportRate(3));
    const auto lines = ReadTrace(trace);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, "feature");
    EXPECT_EQ(lines[0].hex, Feature({0x0C, 0x01, 0x34, 0x12, 0x56}));
    EXPECT_EQ(lines[1].hex, Feature({0x01, 0x02}));
    const auto json = Dump();
    EXPECT_NE(json.find("\"led_colour\": \"341256\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"report_rate\": 2"), std::string::npos) << json;
}

TEST_F(ProcessTest, CommandWithOneDataReport) {
    StartMouse();
    const Bytes table = {3, 5, 6, 8, 10, 14, 40, 2, 3, 5, 6, 8, 10, 14, 40, 2};
    ASSERT_TRUE(driver.WriteDpiTable(table));
    const auto lines = ReadTrace(trace);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].hex, Feature({0x11, 0x01, 0x07, 0x10}));
    Bytes data = table;
    data.resize(32, 0);
    EXPECT_EQ(lines[1].kind, "output");
    EXPECT_EQ(lines[1].hex, Output(data));
    EXPECT_NE(Dump().find("\"dpi_table\": \"" + Hex(table) + "\""), std::string::npos);
}

TEST_F(ProcessTest, BlockTransferAndVersionQuery) {
    StartMouse();
    Bytes matrix(64);
    std::iota(matrix.begin(), matrix.end(), 0x40);
    ASSERT_TRUE(driver.WriteKeyMatrix(matrix));
    int version = 0;
    ASSERT_TRUE(driver.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 12);
    const auto lines = ReadTrace(trace);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].hex, Feature({0x12, 0x01, 0x00, 0x40}));
    EXPECT_EQ(lines[1].hex, Output(Bytes(matrix.begin(), matrix.begin() + 32)));
    EXPECT_EQ(lines[2].hex, Output(Bytes(matrix.begin() + 32, matrix.end())));
    EXPECT_EQ(lines[3].hex, Feature({0x80}));
    EXPECT_EQ(lines[4].kind, "get_feature");
    EXPECT_EQ(lines[4].hex, Feature({}));
}

TEST_F(ProcessTest, SettingsSurviveARestart) {
    StartMouse();
    ASSERT_TRUE(driver.WriteMacro(5, Bytes(640, 0xC3), 1));
    EXPECT_EQ(mouse.Stop(), 0);
    driver.CloseDevice();
    StartMouse({"--version", "7"});  // the last --version counts
    int version = 0;
    ASSERT_TRUE(driver.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 7);
    const auto json = Dump();
    EXPECT_NE(json.find("\"5\": \"" + Hex(Bytes(640, 0xC3)) + "\""), std::string::npos);
}

TEST_F(ProcessTest, RefusedEleventhOutputStopsTheMacro) {
    StartMouse({"--refuse", "output:11"});
    EXPECT_FALSE(driver.WriteMacro(1, Bytes(640, 1), 0));
    const auto lines = ReadTrace(trace);
    ASSERT_EQ(lines.size(), 12u);  // the announce and chunks 1-11
    EXPECT_TRUE(lines[11].refused);
    EXPECT_FALSE(lines[10].refused);
    EXPECT_NE(Dump().find("\"macros\": {}"), std::string::npos);
}

TEST_F(ProcessTest, RefusedCommandByItsFirstByte) {
    StartMouse({"--refuse", "command:0x0C", "--refuse", "feature:2"});
    EXPECT_FALSE(driver.WriteLedColour(1));
    EXPECT_FALSE(driver.WriteTouch(1, 1));  // the second feature report
    EXPECT_TRUE(driver.WriteDpiLevel(2));
    EXPECT_FALSE(driver.WriteLedColour(2));
}

TEST_F(ProcessTest, SignalRemovesTheSocketAndTheChannelFails) {
    StartMouse();
    EXPECT_EQ(mouse.Stop(SIGINT), 0);
    EXPECT_FALSE(std::filesystem::exists(mouse.SocketPath()));
    EXPECT_FALSE(driver.WriteDpiLevel(1));
    EXPECT_FALSE(driver.OpenDevice());
}

TEST_F(ProcessTest, SurvivesClientsThatLeaveMidFrameOrSendGarbage) {
    StartMouse();
    const auto socket = mouse.SocketPath().string();
    {
        const int fd = vhid::Connect(socket);
        ASSERT_GE(fd, 0);
        const std::uint8_t partial[] = {0x20, 0x00, 0x00,
                                        0x00, 0x02, 0x07};  // 32 announced, 2 sent
        ASSERT_EQ(::write(fd, partial, sizeof partial), static_cast<ssize_t>(sizeof partial));
        ::close(fd);
    }
    {
        const int fd = vhid::Connect(socket);
        ASSERT_GE(fd, 0);
        const std::uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0x7F, 0x01};
        ASSERT_EQ(::write(fd, huge, sizeof huge), static_cast<ssize_t>(sizeof huge));
        std::uint8_t byte;
        EXPECT_EQ(::read(fd, &byte, 1), 0);  // the mouse hangs up on it
        ::close(fd);
    }
    EXPECT_TRUE(driver.WriteDpiLevel(3));
    EXPECT_TRUE(driver.OpenDevice());
}

TEST_F(ProcessTest, StaleSocketIsReplacedLiveOneIsNot) {
    StartMouse();
    EXPECT_EQ(mouse.Stop(SIGKILL), 128 + SIGKILL);  // killed: the socket file stays behind
    ASSERT_TRUE(std::filesystem::exists(mouse.SocketPath()));
    EXPECT_TRUE(backend.EnumerateInterfaces().empty());  // nobody answers on it
    StartMouse();
    VirtualMouse second(folder);
    EXPECT_FALSE(second.Start({}));
}

TEST_F(ProcessTest, FirmwareModeIsAUsbDeviceButNoMouse) {
    ASSERT_TRUE(mouse.Start({"--firmware-mode"}));
    EXPECT_FALSE(driver.OpenDevice());
    SystemUsbDevices devices(dir / "no-sysfs", folder);
    EXPECT_TRUE(FindUsbHardwareId(devices, "VID_04D9&PID_8022"));
    EXPECT_FALSE(FindUsbHardwareId(devices, "VID_7D3A&PID_6E41"));
}

TEST_F(ProcessTest, SystemBackendListsVirtualMiceBesideHidraw) {
    ASSERT_TRUE(mouse.Start({}, "a.sock"));
    VirtualMouse other(folder);
    ASSERT_TRUE(other.Start({"--firmware-mode"}, "b.sock"));
    CombinedHidBackend combined(nullptr, std::make_unique<VirtualHidBackend>(folder));
    const auto interfaces = combined.EnumerateInterfaces();
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].path, "virtual:" + (folder / "a.sock").string());
    EXPECT_EQ(interfaces[0].identifier, "HID\\VID_7D3A&PID_6E41\\virtual\\a.sock");
    EXPECT_TRUE(interfaces[0].isVirtual);
    EXPECT_EQ(interfaces[1].identifier, "HID\\VID_04D9&PID_8022\\virtual\\b.sock");
    CUSBDriver channel(combined, sleeper);
    ASSERT_TRUE(channel.OpenDevice());
    EXPECT_EQ(channel.DevicePath(), interfaces[0].path);
}

TEST_F(ProcessTest, QxctlDevicesAndVersion) {
    const auto qxctl = [&](const std::string& command) {
        return RunProgram(AppProgram("qxctl"), {"--data-dir", (dir / "data").string(), command},
                          mouse.ClientEnvironment());
    };
    auto r = qxctl("version");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("no mouse found"), std::string::npos) << r.err;

    ASSERT_TRUE(mouse.Start({"--version", "12"}));
    r = qxctl("devices");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("7D3A:6E41  report ID 0x07, report length 7  (virtual)"),
              std::string::npos)
        << r.out;
    r = qxctl("version");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out + r.err, "12\n");

    mouse.Stop();
    r = qxctl("version");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out + r.err, "qxctl: no mouse found\n");
}

TEST(VirtualMouseOptions, BadOptionsAndMissingFolderAreRefused) {
    TempDir dir;
    const EnvironmentSettings env = {{"QX_VIRTUAL_HID_DIR", dir.path().string()}};
    for (const std::vector<std::string>& options : {std::vector<std::string>{"--version", "123"},
                                                    {"--version", "x"},
                                                    {"--refuse", "output"},
                                                    {"--bogus"},
                                                    {"--socket", "a/b"},
                                                    {"--state"}}) {
        const auto r = RunProgram(AppProgram("qx-virtual-mouse"), options, env);
        EXPECT_EQ(r.exitCode, 2) << options[0];
    }
    const auto r = RunProgram(AppProgram("qx-virtual-mouse"), {}, {{"QX_VIRTUAL_HID_DIR", ""}});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("QX_VIRTUAL_HID_DIR is not set"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace qx
