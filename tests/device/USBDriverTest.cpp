#include "device/USBDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "tests/common/FakeHidBackend.h"

namespace qx {
namespace {

using std::chrono::milliseconds;
using test::FakeHidBackend;
using test::Hex;
using Kind = test::FakeReport::Kind;
using Bytes = std::vector<std::uint8_t>;

class DriverTest : public ::testing::Test {
protected:
    FakeHidBackend backend;
    RecordingSleeper sleeper;
    CUSBDriver driver{backend, sleeper};

    void OpenMouse(std::uint8_t reportId = 7, std::uint16_t count = 7) {
        backend.AddMouse("mouse", reportId, count);
        ASSERT_TRUE(driver.OpenDevice());
    }
    // Feature report as sent: report ID, payload, zeros to report length + 1.
    static Bytes Feature(const std::string& payload, std::size_t length = 8, std::uint8_t id = 7) {
        Bytes report = Hex(payload);
        report.insert(report.begin(), id);
        report.resize(length, 0);
        return report;
    }
    static Bytes Output(const Bytes& data, std::uint8_t id = 7) {
        Bytes report(data.size() + 1);
        report[0] = id;
        std::copy(data.begin(), data.end(), report.begin() + 1);
        return report;
    }
    std::vector<milliseconds> Pauses() const { return sleeper.Pauses(); }
};

TEST_F(DriverTest, OpensTheInterfaceThatCarriesTheConfigurationValue) {
    // Same IDs on both, but only the second has usage page 0xFF01 / usage 0x22.
    HidValueCaps other = test::ConfigValue(3, 16);
    other.usage = 0x21;
    backend.interfaces.push_back(
        {"first", {kMouseVendorId, kMouseProductId, 0}, std::vector{other}});
    HidValueCaps wrongPage = test::ConfigValue(4, 16);
    wrongPage.usagePage = 0xFF00;
    backend.interfaces.push_back(
        {"wrong-page", {kMouseVendorId, kMouseProductId, 0}, std::vector{wrongPage}});
    backend.interfaces.push_back(
        {"other-device", {0x1234, kMouseProductId, 0}, std::vector{test::ConfigValue()}});
    backend.interfaces.push_back({"no-caps", {kMouseVendorId, kMouseProductId, 0}, std::nullopt});
    backend.interfaces.push_back({"second",
                                  {kMouseVendorId, kMouseProductId, 0},
                                  std::vector{other, test::ConfigValue(5, 63)}});

    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(driver.DevicePath(), "second");
    EXPECT_EQ(driver.ReportId(), 5);
    EXPECT_EQ(driver.ReportLength(), 63u);
    EXPECT_EQ(backend.opened, (std::vector<std::string>{"second:r", "second:w"}));
}

TEST_F(DriverTest, SearchGoesOnPastAnInterfaceThatWillNotOpen) {
    backend.AddMouse("read-fails").readOpenFails = true;
    backend.AddMouse("write-fails").writeOpenFails = true;
    backend.AddMouse("good", 9);
    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(driver.DevicePath(), "good");
    EXPECT_EQ(driver.ReportId(), 9);
}

TEST_F(DriverTest, OnlyTheFirstTenValuesAreLookedAt) {
    HidValueCaps filler = test::ConfigValue();
    filler.usage = 0x01;
    std::vector<HidValueCaps> caps(10, filler);
    caps.push_back(test::ConfigValue());
    backend.interfaces.push_back({"eleventh", {kMouseVendorId, kMouseProductId, 0}, caps});
    EXPECT_FALSE(driver.OpenDevice());
}

// The ten are counted per top-level collection: each is an interface of its
// own to the HID class driver.
TEST_F(DriverTest, TheTenValuesAreCountedPerTopLevelCollection) {
    HidValueCaps filler = test::ConfigValue();
    filler.usage = 0x01;
    std::vector<HidValueCaps> caps(11, filler);
    HidValueCaps config = test::ConfigValue(5, 63);
    config.topLevelCollection = 1;
    caps.push_back(config);
    backend.interfaces.push_back({"second-collection", {kMouseVendorId, kMouseProductId, 0}, caps});
    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(driver.ReportId(), 5);
    EXPECT_EQ(driver.ReportLength(), 63u);
}

TEST_F(DriverTest, ReportLengthAbove254IsNotSupported) {
    backend.AddMouse("too-long", 7, 255);
    EXPECT_FALSE(driver.OpenDevice());
    EXPECT_TRUE(backend.opened.empty());
    backend.AddMouse("longest", 7, 254);
    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(driver.DevicePath(), "longest");
    ASSERT_TRUE(driver.WriteReportRate(1));
    EXPECT_EQ(backend.reports.back().bytes.size(), 255u);
}

TEST_F(DriverTest, NoMouseAndClosedChannelFailWithoutTransfer) {
    EXPECT_FALSE(driver.OpenDevice());
    EXPECT_FALSE(driver.IsOpen());
    int version = -1;
    EXPECT_FALSE(driver.ReadFirmwareVersion(version));
    EXPECT_FALSE(driver.WriteLedColour(0));
    EXPECT_FALSE(driver.WriteOutputReport(Bytes(32)));
    EXPECT_EQ(version, -1);

    OpenMouse();
    driver.CloseDevice();
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_FALSE(driver.WriteTouch(1, 1));
    EXPECT_TRUE(backend.reports.empty());
}

TEST_F(DriverTest, ReopeningClosesFirst) {
    OpenMouse();
    ASSERT_TRUE(driver.OpenDevice());
    EXPECT_EQ(backend.opened.size(), 4u);
    EXPECT_TRUE(driver.IsOpen());
}

TEST_F(DriverTest, FeatureReportIsZeroPaddedToReportLengthPlusOne) {
    OpenMouse(0x07, 7);
    ASSERT_TRUE(driver.SendFeatureReport(Hex("0D 01 05")));
    EXPECT_EQ(backend.reports.back().bytes, Hex("07 0D 01 05 00 00 00 00"));
    // A payload the report cannot hold is refused rather than cut.
    EXPECT_FALSE(driver.SendFeatureReport(Bytes(8, 1)));
    EXPECT_EQ(backend.reports.size(), 1u);
}

TEST_F(DriverTest, ShortReportTakesCommandsWhoseNamedBytesFit) {
    OpenMouse(0x03, 2);
    EXPECT_TRUE(driver.WriteReportRate(8));  // 01 08 00 00 00: the zeros are padding
    EXPECT_EQ(backend.reports.back().bytes, Hex("03 01 08"));
    EXPECT_FALSE(driver.WriteLedColour(0x563412));  // blue would be lost
    EXPECT_EQ(backend.reports.size(), 1u);
}

TEST_F(DriverTest, FirmwareVersion) {
    OpenMouse();
    const struct {
        const char* answer;
        bool ok;
        int version;
    } cases[] = {{"80 01 05", true, 15}, {"80 01 02", true, 12}, {"00 01 05", false, 0}};
    for (const auto& c : cases) {
        backend.featureAnswer = Hex(c.answer);
        int version = 0;
        EXPECT_EQ(driver.ReadFirmwareVersion(version), c.ok) << c.answer;
        if (c.ok) {
            EXPECT_EQ(version, c.version);
        }
    }
    const auto features = backend.Bytes(Kind::Feature);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0], Feature("80"));
    // The query goes out on the write handle, the answer is fetched after 50 ms.
    EXPECT_EQ(backend.reports[1].kind, Kind::GetFeature);
    EXPECT_EQ(backend.reports[1].bytes, Feature(""));
    EXPECT_EQ(Pauses(), std::vector<milliseconds>(3, milliseconds(50)));
}

TEST_F(DriverTest, RefusedVersionQuerySendsNoFetch) {
    OpenMouse();
    backend.refusedFeatures = {1};
    int version = 0;
    EXPECT_FALSE(driver.ReadFirmwareVersion(version));
    EXPECT_EQ(backend.reports.size(), 1u);
    EXPECT_TRUE(Pauses().empty());
}

TEST_F(DriverTest, WriteBlockLengths) {
    OpenMouse();
    const Bytes data(640, 0xAB);
    EXPECT_FALSE(driver.WriteBlock(data.data(), 48));
    EXPECT_FALSE(driver.WriteBlock(nullptr, 32));
    EXPECT_TRUE(backend.reports.empty());
    EXPECT_TRUE(driver.WriteBlock(data.data(), 0));
    EXPECT_TRUE(backend.reports.empty());
    EXPECT_TRUE(Pauses().empty());
}

TEST_F(DriverTest, RefusedEleventhChunkStopsTheBlock) {
    OpenMouse();
    Bytes data(640);
    std::iota(data.begin(), data.end(), 0);
    backend.refusedOutputs = {11};
    EXPECT_FALSE(driver.WriteBlock(data.data(), data.size()));
    const auto outputs = backend.Bytes(Kind::Output);
    ASSERT_EQ(outputs.size(), 11u);
    EXPECT_EQ(outputs[10], Output(Bytes(data.begin() + 320, data.begin() + 352)));
}

TEST_F(DriverTest, BlockPacingIsFiftyBeforeAndAfterEveryReport) {
    OpenMouse();
    const Bytes data(640, 1);
    ASSERT_TRUE(driver.WriteBlock(data.data(), data.size()));
    EXPECT_EQ(backend.Bytes(Kind::Output).size(), 20u);
    EXPECT_EQ(Pauses(), std::vector<milliseconds>(40, milliseconds(50)));
    EXPECT_GE(sleeper.Total(), milliseconds(2000));
}

TEST_F(DriverTest, UnconfirmedWriteCountsAsSentRefusedOneFails) {
    OpenMouse();
    backend.outputsTimeOut = true;
    EXPECT_TRUE(driver.WriteOutputReport(Bytes(32, 2)));
    backend.outputsTimeOut = false;
    backend.refusedOutputs = {2};
    EXPECT_FALSE(driver.WriteOutputReport(Bytes(32, 3)));
    EXPECT_FALSE(driver.WriteOutputReport(Bytes(31, 3)));  // not a 32-byte report
    EXPECT_EQ(backend.Bytes(Kind::Output).size(), 2u);
}

// Every command: the reports it sends and the pauses around them.
TEST_F(DriverTest, CommandsByteForByte) {
    OpenMouse();
    struct Case {
        const char* name;
        std::function<bool()> run;
        std::vector<Bytes> reports;
        std::vector<int> pauses;
    };
    Bytes colours(32, 0);
    colours[0] = 0x11;
    Bytes dpi = Hex("03 05 06 08 0A 0E 28 02 03 05 06 08 0A 0E 28 02");
    Bytes dpiData = dpi;
    dpiData.resize(32, 0);
    Bytes matrix(64);
    std::iota(matrix.begin(), matrix.end(), 1);
    const std::vector<Case> cases = {
        {"report rate", [&] { return driver.WriteReportRate(3); }, {Feature("01 02")}, {}},
        {"touch on", [&] { return driver.WriteTouch(1, 5); }, {Feature("03 A0")}, {}},
        {"touch in mode 6", [&] { return driver.WriteTouch(1, 6); }, {Feature("03 B0")}, {}},
        {"dpi level", [&] { return driver.WriteDpiLevel(3); }, {Feature("0B 01 03")}, {}},
        {"led colour",
         [&] { return driver.WriteLedColour(0x563412); },
         {Feature("0C 01 34 12 56")},
         {}},
        {"effect", [&] { return driver.WriteEffect(5, 4, 0); }, {Feature("0D 01 05 04 00")}, {}},
        {"colour block",
         [&] { return driver.WriteColourBlock(colours); },
         {Feature("09 01 00 20"), Output(colours)},
         {50, 50}},
        {"dpi table",
         [&] { return driver.WriteDpiTable(dpi); },
         {Feature("11 01 07 10"), Output(dpiData)},
         {50, 50}},
        {"key matrix",
         [&] { return driver.WriteKeyMatrix(matrix); },
         {Feature("12 01 00 40"), Output(Bytes(matrix.begin(), matrix.begin() + 32)),
          Output(Bytes(matrix.begin() + 32, matrix.end()))},
         {100, 50, 50, 50, 50}},
    };
    for (const auto& c : cases) {
        backend.reports.clear();
        const auto before = Pauses().size();
        EXPECT_TRUE(c.run()) << c.name;
        std::vector<Bytes> sent;
        for (const auto& r : backend.reports) sent.push_back(r.bytes);
        EXPECT_EQ(sent, c.reports) << c.name;
        const auto all = Pauses();
        std::vector<int> pauses;
        for (auto i = before; i < all.size(); ++i)
            pauses.push_back(static_cast<int>(all[i].count()));
        EXPECT_EQ(pauses, c.pauses) << c.name;
    }
}

TEST_F(DriverTest, WrongSizedBlocksSendNothing) {
    OpenMouse();
    EXPECT_FALSE(driver.WriteColourBlock(Bytes(31)));
    EXPECT_FALSE(driver.WriteDpiTable(Bytes(32)));
    EXPECT_FALSE(driver.WriteKeyMatrix(Bytes(32)));
    EXPECT_FALSE(driver.WriteMacro(1, Bytes(639), 0));
    EXPECT_TRUE(backend.reports.empty());
}

TEST_F(DriverTest, MacroAnnounceThenTwentyReports) {
    OpenMouse();
    Bytes image(640);
    std::iota(image.begin(), image.end(), 0);
    DeviceBytes value{};
    ASSERT_TRUE(driver.WriteMacro(2, image, 0x2A, &value));
    EXPECT_EQ(value, (DeviceBytes{0x09, 0x00, 0x02, 0x2A}));
    ASSERT_EQ(backend.reports.size(), 21u);
    EXPECT_EQ(backend.reports[0].bytes, Feature("13 01 02 00 02"));
    EXPECT_EQ(backend.reports[20].bytes, Output(Bytes(image.begin() + 608, image.end())));
    EXPECT_EQ(Pauses().front(), milliseconds(100));
    EXPECT_EQ(Pauses().size(), 41u);
}

TEST_F(DriverTest, MacroSlots) {
    OpenMouse();
    const Bytes image(640, 1);
    DeviceBytes value{};
    EXPECT_TRUE(driver.WriteMacro(8, image, 5, &value));  // beyond seven: not sent
    EXPECT_EQ(value, (DeviceBytes{0x09, 0x00, 0x08, 0x05}));
    EXPECT_FALSE(driver.WriteMacro(0, image, 5));
    EXPECT_TRUE(backend.reports.empty());
    backend.refusedOutputs = {20};
    EXPECT_FALSE(driver.WriteMacro(7, image, 5));  // a failed transfer is reported
}

TEST_F(DriverTest, RefusedAnnounceSendsNoData) {
    OpenMouse();
    backend.refusedFeatures = {1};
    EXPECT_FALSE(driver.WriteKeyMatrix(Bytes(64)));
    EXPECT_EQ(backend.reports.size(), 1u);
    EXPECT_TRUE(Pauses().empty());
}

TEST(CreateChannel, NeedsTheLibraryAndItsExport) {
    FakeHidBackend backend;
    RecordingSleeper sleeper;
    CUSBDriver driver(backend, sleeper);
    EXPECT_TRUE(driver.CreateChannel(QX_APP_DIR));
    EXPECT_FALSE(
        driver.CreateChannel(std::filesystem::path(QX_TEST_BIN_DIR) / "hidparse_incomplete"));
    EXPECT_FALSE(driver.CreateChannel("/nonexistent"));
    driver.DestroyChannel();
    driver.DestroyChannel();  // twice is harmless
}

}  // namespace
}  // namespace qx
