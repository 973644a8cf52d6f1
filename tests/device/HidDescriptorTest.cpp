#include "device/HidDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

#include "emulator/VirtualMouseFirmware.h"

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// clang-format off
// A boot-protocol mouse with a wheel.
const Bytes kBootMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,
    0x95, 0x03, 0x75, 0x01, 0x81, 0x02,              // three buttons
    0x95, 0x01, 0x75, 0x05, 0x81, 0x01,              // padding
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,  // X, Y, wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,
    0xC0, 0xC0,
};

// The boot keyboard: modifier bits, a reserved byte, LED output bits, key array.
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
    0xC0,
};

// A vendor configuration interface with several feature values in their own
// reports, one of them pushed to another page and back, the configuration
// value given as an extended usage.
const Bytes kVendorInterface = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x85, 0x02, 0x09, 0x10, 0x95, 0x04, 0xB1, 0x02,              // FF00/10, 4 bytes
    0xA4,                                                         // push
    0x06, 0x02, 0xFF, 0x85, 0x03, 0x19, 0x30, 0x29, 0x33, 0x95, 0x04, 0xB1, 0x02,  // FF02 range
    0xB4,                                                         // pop: page FF00 again
    0x85, 0x05, 0x0B, 0x22, 0x00, 0x01, 0xFF, 0x95, 0x3F, 0xB1, 0x02,  // FF01/22 extended
    0x85, 0x05, 0x09, 0x40, 0x95, 0x20, 0x91, 0x02,              // output
    0xC0,
};
// Two top-level collections: eleven vendor values, then the configuration
// value in a collection of its own.
const Bytes kTwoCollections = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x85, 0x02,
    0x09, 0x01, 0x09, 0x02, 0x09, 0x03, 0x09, 0x04, 0x09, 0x05, 0x09, 0x06,
    0x09, 0x07, 0x09, 0x08, 0x09, 0x09, 0x09, 0x0A, 0x09, 0x0B,
    0x95, 0x0B, 0xB1, 0x02,
    0xC0,
    0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x85, 0x05, 0x09, 0x22, 0x95, 0x3F, 0xB1, 0x02,
    0xC0,
};
// clang-format on

HidReportDescriptor Parse(const Bytes& bytes) {
    std::string error;
    const auto parsed = ParseReportDescriptor(bytes, &error);
    EXPECT_TRUE(parsed) << error;
    return parsed.value_or(HidReportDescriptor{});
}

TEST(HidDescriptor, BootMouseHasAxisValuesAndNoFeatures) {
    const auto d = Parse(kBootMouse);
    EXPECT_EQ(d.usagePage, 0x01);
    EXPECT_EQ(d.usage, 0x02);
    EXPECT_EQ(d.collectionCount, 2);
    // The buttons are one-bit fields and the padding is constant: neither is a value.
    ASSERT_EQ(d.inputValues.size(), 3u);
    const std::uint16_t usages[] = {0x30, 0x31, 0x38};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.inputValues[i].usagePage, 0x01);
        EXPECT_EQ(d.inputValues[i].usage, usages[i]);
        EXPECT_EQ(d.inputValues[i].reportCount, 1);
        EXPECT_EQ(d.inputValues[i].logicalMin, -127);
        EXPECT_EQ(d.inputValues[i].linkCollection, 1);
    }
    EXPECT_TRUE(d.featureValues.empty());
}

TEST(HidDescriptor, KeyboardHasOnlyButtons) {
    const auto d = Parse(kKeyboard);
    EXPECT_EQ(d.usage, 0x06);
    EXPECT_TRUE(d.inputValues.empty());  // key array and modifier bits are buttons
    EXPECT_TRUE(d.outputValues.empty());
    EXPECT_TRUE(d.featureValues.empty());
}

TEST(HidDescriptor, VendorInterfaceValuesInOrderWithTheirReports) {
    const auto d = Parse(kVendorInterface);
    ASSERT_EQ(d.featureValues.size(), 3u);
    EXPECT_EQ(d.featureValues[0].usagePage, 0xFF00);
    EXPECT_EQ(d.featureValues[0].reportId, 2);
    EXPECT_EQ(d.featureValues[0].reportCount, 4);

    const auto& range = d.featureValues[1];
    EXPECT_EQ(range.usagePage, 0xFF02);
    EXPECT_TRUE(range.isRange);
    EXPECT_EQ(range.usage, 0x30);
    EXPECT_EQ(range.usageMax, 0x33);
    EXPECT_EQ(range.reportCount, 4);

    const auto& config = d.featureValues[2];
    EXPECT_EQ(config.usagePage, 0xFF01);  // from the extended usage, not the pushed page
    EXPECT_EQ(config.usage, 0x22);
    EXPECT_EQ(config.reportId, 5);
    EXPECT_EQ(config.reportCount, 63);
    EXPECT_EQ(config.reportSize, 8);

    ASSERT_EQ(d.outputValues.size(), 1u);
    EXPECT_EQ(d.outputValues[0].usagePage, 0xFF00);  // popped page
    EXPECT_EQ(d.outputValues[0].reportCount, 32);
}

TEST(HidDescriptor, ValuesKnowTheirTopLevelCollection) {
    const auto d = Parse(kTwoCollections);
    ASSERT_EQ(d.featureValues.size(), 12u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(d.featureValues[i].topLevelCollection, 0) << i;
    EXPECT_EQ(d.featureValues[11].topLevelCollection, 1);
    EXPECT_EQ(d.featureValues[11].usagePage, 0xFF01);
    EXPECT_EQ(d.featureValues[11].usage, 0x22);
    for (const auto& value : Parse(kVendorInterface).featureValues)
        EXPECT_EQ(value.topLevelCollection, 0);
}

TEST(HidDescriptor, VirtualMouseHasTheConfigurationValueSecond) {
    const auto d = Parse(
        Bytes(emu::ConfigInterfaceDescriptor().begin(), emu::ConfigInterfaceDescriptor().end()));
    ASSERT_EQ(d.featureValues.size(), 2u);
    EXPECT_EQ(d.featureValues[0].usage, 0x20);
    EXPECT_EQ(d.featureValues[1].usagePage, 0xFF01);
    EXPECT_EQ(d.featureValues[1].usage, 0x22);
    EXPECT_EQ(d.featureValues[1].reportId, kConfigReportId);
    EXPECT_EQ(d.featureValues[1].reportCount, kConfigReportLength);
    EXPECT_EQ(FindConfigValue(d.featureValues), &d.featureValues[1]);
    // The firmware-update mode's interface offers nothing to configure.
    const auto burner = Parse(
        Bytes(emu::BurnerInterfaceDescriptor().begin(), emu::BurnerInterfaceDescriptor().end()));
    EXPECT_EQ(FindConfigValue(burner.featureValues), nullptr);
}

TEST(HidDescriptor, ListedUsagesShareTheFieldsAndTheLastTakesTheRest) {
    // Usages 0x10, 0x11 over five fields: 0x10 gets one, 0x11 the other four.
    const Bytes bytes = {0x06, 0x01, 0xFF, 0x75, 0x08, 0x95, 0x05,
                         0x09, 0x10, 0x09, 0x11, 0xB1, 0x02};
    const auto d = Parse(bytes);
    ASSERT_EQ(d.featureValues.size(), 2u);
    EXPECT_EQ(d.featureValues[0].reportCount, 1);
    EXPECT_EQ(d.featureValues[1].usage, 0x11);
    EXPECT_EQ(d.featureValues[1].reportCount, 4);
    EXPECT_EQ(d.featureValues[1].reportId, 0);  // no report IDs declared
}

TEST(HidDescriptor, LongItemsAreSkipped) {
    const Bytes bytes = {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x06, 0x01, 0xFF,
                         0x75, 0x08, 0x95, 0x02, 0x09, 0x22, 0xB1, 0x02};
    const auto d = Parse(bytes);
    ASSERT_EQ(d.featureValues.size(), 1u);
    EXPECT_EQ(d.featureValues[0].usage, 0x22);
}

TEST(HidDescriptor, MalformedDescriptorsAreRefused) {
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"truncated item", {0x06, 0x01}},
        {"truncated long item", {0xFE, 0x10, 0x00, 0x01}},
        {"collection not closed", {0x09, 0x01, 0xA1, 0x01}},
        {"end collection without collection", {0xC0}},
        {"pop without push", {0xB4}},
        {"report ID 0", {0x85, 0x00}},
        {"report count too large", {0x97, 0x00, 0x00, 0x01, 0x00}},
        {"reserved item type", {0x0C}},
        {"reversed usage range", {0x19, 0x05, 0x29, 0x01}},
        {"nested delimiter", {0xA9, 0x01, 0xA9, 0x01}},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseReportDescriptor(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(HidDescriptor, DeepNestingIsBoundedNotFatal) {
    Bytes pushes(100, 0xA4);
    EXPECT_FALSE(ParseReportDescriptor(pushes));
    Bytes collections;
    for (int i = 0; i < 100; ++i) collections.insert(collections.end(), {0xA1, 0x00});
    EXPECT_FALSE(ParseReportDescriptor(collections));
    EXPECT_TRUE(ParseReportDescriptor(Bytes{}));  // empty: nothing, but not malformed
}

}  // namespace
}  // namespace qx
