// The firmware model in-process, behind the channel: what each command leaves
// in the mouse's stored state.
#include "emulator/VirtualMouseFirmware.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "device/USBDriver.h"
#include "emulator/FirmwareHidBackend.h"
#include "tests/common/TempDir.h"

namespace qx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes ToBytes(const std::uint8_t (&array)[N]) {
    return Bytes(array, array + N);
}

VirtualMouseFirmware::Options Version(int version) {
    VirtualMouseFirmware::Options options;
    options.version = version;
    return options;
}

VirtualMouseFirmware::Options Refusing(const char* text) {
    VirtualMouseFirmware::Options options;
    options.refuse = ParseRefuseRules(text).value();
    return options;
}

class FirmwareTest : public ::testing::Test {
protected:
    explicit FirmwareTest(VirtualMouseFirmware::Options options = Version(23))
        : firmware(std::move(options)) {}
    void SetUp() override { ASSERT_TRUE(driver.OpenDevice()); }

    VirtualMouseFirmware firmware;
    FirmwareHidBackend backend{firmware};
    RecordingSleeper sleeper;
    CUSBDriver driver{backend, sleeper};
};

TEST_F(FirmwareTest, ChannelFindsTheSecondValueAndReadsTheVersion) {
    EXPECT_EQ(driver.ReportId(), kConfigReportId);
    EXPECT_EQ(driver.ReportLength(), kConfigReportLength);
    int version = 0;
    ASSERT_TRUE(driver.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 23);
}

TEST_F(FirmwareTest, EveryCommandIsStored) {
    const std::array<std::int32_t, 7> levels = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    const auto table = BuildDpiTable(levels);
    const std::array<std::uint32_t, 3> colours = {0x0000FF, 0x00FF00, 0xFF0000};
    const auto block = BuildColourBlock(colours);
    Bytes matrix(64), image(640);
    std::iota(matrix.begin(), matrix.end(), 0);
    std::iota(image.begin(), image.end(), 7);

    ASSERT_TRUE(driver.WriteReportRate(4));
    ASSERT_TRUE(driver.WriteTouch(1, 2));
    ASSERT_TRUE(driver.WriteDpiLevel(DpiLevelNumber(levels)));
    ASSERT_TRUE(driver.WriteLedColour(0x563412));
    ASSERT_TRUE(driver.WriteEffect(2, 3, 1));
    ASSERT_TRUE(driver.WriteColourBlock(block));
    ASSERT_TRUE(driver.WriteDpiTable(table));
    ASSERT_TRUE(driver.WriteKeyMatrix(matrix));
    ASSERT_TRUE(driver.WriteMacro(3, image, 9));

    const auto& s = firmware.State();
    EXPECT_EQ(s.reportRate, 4);
    EXPECT_EQ(s.touch, kTouchOn);
    EXPECT_EQ(s.dpiLevel, 3);
    EXPECT_EQ(ToBytes(s.ledColour), (Bytes{0x34, 0x12, 0x56}));
    EXPECT_EQ(ToBytes(s.effect), (Bytes{2, 3, 1}));
    EXPECT_EQ(ToBytes(s.colourBlock), Bytes(block.begin(), block.end()));
    EXPECT_EQ(ToBytes(s.dpiTable), Bytes(table.begin(), table.end()));
    EXPECT_EQ(ToBytes(s.keyMatrix), matrix);
    EXPECT_EQ(Bytes(s.macros[2], s.macros[2] + 640), image);
    EXPECT_EQ(s.stored, 0xFFu | StoredMacroBit(3));
    EXPECT_TRUE(firmware.TakeChanged());
    EXPECT_FALSE(firmware.TakeChanged());
}

TEST_F(FirmwareTest, AnInterruptedTransferStoresNothing) {
    Bytes matrix(64, 0x5A);
    // Announce the key matrix, send one of its two reports, then another command.
    ASSERT_TRUE(driver.SendFeatureReport(KeyMatrixPayload()));
    ASSERT_TRUE(driver.WriteOutputReport(Bytes(32, 1)));
    ASSERT_TRUE(driver.WriteReportRate(1));
    ASSERT_TRUE(driver.WriteOutputReport(Bytes(32, 2)));  // stray data: taken, not stored
    EXPECT_EQ(firmware.State().stored, kStoredReportRate);
    ASSERT_TRUE(driver.WriteKeyMatrix(matrix));
    EXPECT_EQ(ToBytes(firmware.State().keyMatrix), matrix);
}

TEST_F(FirmwareTest, VersionAnswerOnlyAfterTheQuery) {
    Bytes answer(kConfigReportLength + 1, 0);
    answer[0] = kConfigReportId;
    ASSERT_TRUE(firmware.GetFeature(answer));
    EXPECT_EQ(answer[1], 0);  // no query: no version
    ASSERT_TRUE(firmware.SetFeature(Bytes{kConfigReportId, 0x80, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(firmware.GetFeature(answer));
    EXPECT_EQ(answer, (Bytes{kConfigReportId, 0x80, 2, 3, 0, 0, 0, 0}));
    // Wrong report ID or length is refused, as the device would.
    EXPECT_FALSE(firmware.SetFeature(Bytes{0x06, 0x01, 0x01, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(firmware.SetFeature(Bytes{kConfigReportId, 0x01, 0x01}));
}

class RefusingFirmwareTest : public FirmwareTest {
protected:
    RefusingFirmwareTest() : FirmwareTest(Refusing("command:0x11,output:11")) {}
};

TEST_F(RefusingFirmwareTest, RefusalsReachTheChannel) {
    EXPECT_FALSE(driver.WriteDpiTable(Bytes(16, 1)));
    EXPECT_TRUE(driver.WriteDpiLevel(1));
    EXPECT_FALSE(driver.WriteMacro(1, Bytes(640, 3), 0));  // the 11th output report
    EXPECT_EQ(firmware.State().stored, kStoredDpiLevel);
}

TEST(RefuseRules, Parsing) {
    const auto rules = ParseRefuseRules("feature:3,output:11,command:0x11,get_feature:2");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 4u);
    EXPECT_EQ((*rules)[2].kind, RefuseRule::Kind::Command);
    EXPECT_EQ((*rules)[2].value, 0x11u);
    for (const char* bad : {"feature", "feature:", "feature:x", "command:0x100", "input:1"})
        EXPECT_FALSE(ParseRefuseRules(bad)) << bad;
}

TEST(FirmwareMode, ShowsTheBurnerIdsAndTakesNoCommands) {
    VirtualMouseFirmware::Options options;
    options.firmwareMode = true;
    VirtualMouseFirmware firmware(options);
    FirmwareHidBackend backend(firmware);
    EXPECT_EQ(backend.GetAttributes(FirmwareHidBackend::kPath)->vendorId, kFirmwareModeVendorId);
    RecordingSleeper sleeper;
    CUSBDriver driver(backend, sleeper);
    EXPECT_FALSE(driver.OpenDevice());
}

TEST(StateFile, RoundTripAndDamage) {
    test::TempDir dir;
    VirtualMouseState state, loaded;
    state.stored = kStoredTouch | StoredMacroBit(7);
    state.touch = 0xB0;
    state.macros[6][639] = 0xEE;
    ASSERT_TRUE(SaveState(dir / "state", state));
    ASSERT_TRUE(LoadState(dir / "state", loaded));
    EXPECT_EQ(std::memcmp(&state, &loaded, sizeof state), 0);

    VirtualMouseState fresh;
    EXPECT_TRUE(LoadState(dir / "missing", fresh));
    EXPECT_EQ(fresh.stored, 0u);
    test::WriteText(dir / "short", "not a state");
    EXPECT_FALSE(LoadState(dir / "short", fresh));

    const auto json = StateJson(loaded);
    EXPECT_NE(json.find("\"touch\": \"B0\""), std::string::npos);
    EXPECT_NE(json.find("\"report_rate\": null"), std::string::npos);
    EXPECT_NE(json.find("\"7\": \""), std::string::npos);
    EXPECT_EQ(json.find("\"1\": \""), std::string::npos);
}

}  // namespace
}  // namespace qx::emu
