// Real time: the pauses the mouse needs, measured on its side of the socket.
#include <gtest/gtest.h>

#include "device/USBDriver.h"
#include "platform/VirtualHidBackend.h"
#include "tests/common/TempDir.h"
#include "tests/common/VirtualMouse.h"

namespace qx {
namespace {

TEST(Pacing, MacroBlockKeepsFiftyMillisecondsBetweenReports) {
    test::TempDir dir;
    const auto folder = dir / "hid";
    std::filesystem::create_directories(folder);
    const auto trace = dir / "trace.jsonl";
    test::VirtualMouse mouse(folder);
    ASSERT_TRUE(mouse.Start({"--trace", trace.string()}));

    VirtualHidBackend backend(folder);
    RealSleeper sleeper;
    CUSBDriver driver(backend, sleeper);
    ASSERT_TRUE(driver.OpenDevice());
    ASSERT_TRUE(driver.WriteMacro(1, std::vector<std::uint8_t>(640, 0x11), 0));

    const auto lines = test::ReadTrace(trace);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0].kind, "feature");
    EXPECT_GE(lines[1].tMs - lines[0].tMs, 100.0);  // the announce pause and the first 50 ms
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].kind, "output");
        // 50 ms after the previous report and 50 ms before this one.
        EXPECT_GE(lines[i].tMs - lines[i - 1].tMs, 100.0) << "report " << i;
    }
    EXPECT_GE(lines.back().tMs - lines[0].tMs, 2000.0);
}

}  // namespace
}  // namespace qx
