#include "device/DeviceProtocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/ProfileRecord.h"
#include "tests/common/FakeHidBackend.h"

namespace qx {
namespace {

using test::Hex;
using Bytes = std::vector<std::uint8_t>;

template <typename Array>
Bytes ToBytes(const Array& array) {
    return Bytes(array.begin(), array.end());
}

TEST(DpiEncoding, CodesOfEveryKindOfValue) {
    const struct {
        std::int32_t dpi;
        std::uint8_t code;
    } cases[] = {{250, 1},   {750, 3},   {3500, 14},   {3750, 0x80}, {4000, 40},   {5000, 42},
                 {6000, 44}, {7000, 46}, {4500, 0x80}, {0, 0x80},    {-250, 0x80}, {800, 0x80}};
    for (const auto& c : cases) EXPECT_EQ(DpiCode(c.dpi), c.code) << c.dpi;
}

TEST(DpiEncoding, TableAndLevelNumber) {
    const std::array<std::int32_t, 7> levels = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    EXPECT_EQ(ToBytes(BuildDpiTable(levels)),
              Hex("03 05 06 08 0A 0E 28 02 03 05 06 08 0A 0E 28 02"));
    EXPECT_EQ(DpiLevelNumber(levels), 3);

    const std::array<std::int32_t, 7> one = {800, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ToBytes(BuildDpiTable(one)), Hex("80 80 80 80 80 80 80 02 80 80 80 80 80 80 80 02"));
    EXPECT_EQ(DpiLevelNumber(one), 0);

    const std::array<std::int32_t, 7> two = {1000, 0, 2000, 0, 0, 0, 0};
    EXPECT_EQ(DpiLevelNumber(two), 2);
}

TEST(CommandEncoding, ValuesAsTheMouseTakesThem) {
    EXPECT_EQ(ToBytes(LedColourPayload(0x563412)), Hex("0C 01 34 12 56"));
    EXPECT_EQ(TouchByte(1, 6), 0xB0);
    EXPECT_EQ(TouchByte(1, 5), 0xA0);
    EXPECT_EQ(TouchByte(0, 1), 0xB0);
    EXPECT_EQ(TouchByte(2, 1), 0xB0);  // only 1 means on
    const struct {
        std::int32_t stored;
        std::uint8_t code;
    } rates[] = {{1, 1}, {2, 2}, {4, 4}, {8, 8}, {3, 2}, {0, 2}, {16, 2}, {-1, 2}};
    for (const auto& r : rates) EXPECT_EQ(ReportRateCode(r.stored), r.code) << r.stored;
    EXPECT_EQ(ToBytes(MacroPayload(3)), Hex("13 01 03 00 02"));
    EXPECT_EQ(ToBytes(KeyMatrixPayload()), Hex("12 01 00 40 00"));
    EXPECT_EQ(ToBytes(DpiTablePayload()), Hex("11 01 07 10 00"));
    EXPECT_EQ(ToBytes(ColourBlockPayload()), Hex("09 01 00 20 00"));
    EXPECT_EQ(ToBytes(DpiLevelPayload(3)), Hex("0B 01 03 00 00"));
    EXPECT_EQ(ToBytes(EffectPayload(5, 4, 0)), Hex("0D 01 05 04 00"));
}

TEST(CommandEncoding, ColourBlockIsRgbOfTheFirstThreeSlots) {
    const std::array<std::uint32_t, 3> colours = {0x030201, 0x060504, 0x090807};
    Bytes expected = Hex("01 02 03 04 05 06 07 08 09");
    expected.resize(32, 0);
    EXPECT_EQ(ToBytes(BuildColourBlock(colours)), expected);
}

TEST(CommandEncoding, EffectByLightingMode) {
    auto settings = std::make_unique<ProfileSettings>();
    std::memset(settings.get(), 0, sizeof(ProfileSettings));
    settings->brightness = 7;
    settings->breathingSpeed = 3;
    settings->symphonySpeed = 8;
    settings->ownColours = 1;
    const struct {
        std::int32_t mode;
        EffectBytes effect;
    } cases[] = {{1, {1, 7, 1}}, {2, {2, 3, 1}}, {3, {3, 2, 3}}, {4, {4, 10, 2}},
                 {5, {5, 8, 1}}, {6, {0, 0, 0}}, {0, {0, 0, 0}}, {9, {0, 0, 0}}};
    for (const auto& c : cases) {
        settings->lightingMode = c.mode;
        EXPECT_EQ(LightingEffect(*settings), c.effect) << c.mode;
    }
}

DeviceBytes BasicBytes(std::int32_t code) {
    return FindBasicFunction(code)->deviceBytes;
}

TEST(KeyMatrix, DefaultButtonsAndFixedEntries) {
    ButtonValues buttons;
    for (int i = 0; i < kButtonCount; ++i) buttons[i] = BasicBytes(kDefaultFunctions[i]);
    EXPECT_EQ(ToBytes(BuildKeyMatrix(buttons)),
              Hex("01 00 F0 00  01 00 F1 00  01 00 F2 00  07 00 03 00"
                  "01 00 F3 00  01 00 F4 00  0A 00 02 00  0C 00 03 00"
                  "00000000 00000000 00000000 00000000 00000000 00000000"
                  "04 00 01 00  04 00 02 00"));
}

TEST(KeyMatrix, ButtonWithoutValueLeavesItsEntryZero) {
    ButtonValues buttons;
    buttons[3] = MacroButtonValue(2, 0x41);  // forward: a macro in slot 2
    const auto matrix = BuildKeyMatrix(buttons);
    EXPECT_EQ(Bytes(matrix.begin() + 20, matrix.begin() + 24), Hex("09 00 02 41"));
    for (const int index : {0, 1, 2, 4, 14, 15})
        EXPECT_EQ(Bytes(matrix.begin() + 4 * index, matrix.begin() + 4 * index + 4), Bytes(4, 0))
            << index;
}

TEST(FirmwareVersion, AnswerNeedsTheQueryByte) {
    EXPECT_EQ(ParseFirmwareVersion(Hex("07 80 01 05 00")), 15);
    EXPECT_EQ(ParseFirmwareVersion(Hex("07 80 01 02")), 12);
    EXPECT_EQ(ParseFirmwareVersion(Hex("07 00 01 05 00")), std::nullopt);
    EXPECT_EQ(ParseFirmwareVersion(Hex("07 80")), std::nullopt);
}

}  // namespace
}  // namespace qx
