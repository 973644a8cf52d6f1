#include "macro/MacroImage.h"

#include <gtest/gtest.h>

#include "base/KeyTables.h"
#include "tests/common/MacroBuilder.h"

namespace qx {
namespace {

using namespace test;
using Bytes = std::vector<std::uint8_t>;

// The image up to its last non-zero byte (at least the loop bytes).
Bytes Used(const MacroImage& image) {
    std::size_t end = 2;
    for (std::size_t i = 0; i < image.bytes.size(); ++i)
        if (image.bytes[i]) end = i + 1;
    return Bytes(image.bytes.begin(), image.bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

MacroImage Encode(std::vector<MacroEvent> events, std::uint32_t loopMode = 1, int language = 0) {
    return EncodeMacroImage(*Record(0x16000001, std::move(events), u"m", loopMode), 1, language);
}

TEST(MacroImages, EmptyMacroIsTheLoopBytesOnly) {
    const auto image = Encode({}, 0xFFFE);
    EXPECT_EQ(Used(image), (Bytes{0xFF, 0xFE}));
    EXPECT_EQ(image.lengthValue, 33u);
    EXPECT_EQ(image.lengthByte(), 0x21);
}

TEST(MacroImages, ShortPauseFoldsIntoTheKeyBefore) {
    const auto image = Encode({Press(0x41), Pause(100), Release(0x41)});
    EXPECT_EQ(Used(image), (Bytes{0x00, 0x01, 0x06, 0x04, 0x81, 0x04}));
    EXPECT_EQ(image.lengthValue, 33u);
    EXPECT_EQ(image.lengthByte(), 0x21);
}

// A key, a pause, and what the pause becomes.
TEST(MacroImages, EveryPauseCase) {
    struct Case {
        std::uint32_t ms;
        Bytes after;  // bytes from 2 on
    } cases[] = {
        {0, {0x02, 0x04, 0x01, 0x04}},
        {1, {0x02, 0x04, 0x01, 0x04}},  // under 20 ms counts as one step
        {39, {0x02, 0x04, 0x01, 0x04}},
        {40, {0x03, 0x04, 0x01, 0x04}},
        {1270, {0x40, 0x04, 0x01, 0x04}},
        {1271, {0x01, 0x04, 0x00, 0x01, 0x00, 0x3F, 0x01, 0x04}},
        {1310700, {0x01, 0x04, 0x00, 0x01, 0xFF, 0xFF, 0x01, 0x04}},
        {1310701, {0x01, 0x04, 0x00, 0x02, 0x66, 0x66, 0x01, 0x04}},
        {3276750, {0x01, 0x04, 0x00, 0x02, 0xFF, 0xFF, 0x01, 0x04}},
        {3276751, {0x01, 0x04, 0x00, 0x03, 0x7F, 0xFF, 0x01, 0x04}},
        {6553500, {0x01, 0x04, 0x00, 0x03, 0xFF, 0xFF, 0x01, 0x04}},
        {6553501, {0x01, 0x04, 0x00, 0x00, 0x01, 0x04}},  // one zero unit
    };
    for (const auto& c : cases) {
        const auto image = Encode({Press(0x41), Pause(c.ms), Press(0x41)});
        Bytes expected{0x00, 0x01};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(Used(image), expected) << c.ms << " ms";
        // Pause items of their own are not counted.
        EXPECT_EQ(image.lengthValue, 33u) << c.ms << " ms";
    }
}

TEST(MacroImages, LeadingPauseIsInHundredMillisecondStepsOfItsLow16Bits) {
    EXPECT_EQ(Used(Encode({Pause(500), Press(0x41)})),
              (Bytes{0, 1, 0x00, 0x03, 0x00, 0x05, 0x01, 0x04}));
    // 100000 mod 65536 = 34464 -> 344 steps.
    EXPECT_EQ(Used(Encode({Pause(100000)})), (Bytes{0, 1, 0x00, 0x03, 0x01, 0x58}));
    EXPECT_EQ(Encode({Pause(100000)}).lengthValue, 33u);
}

TEST(MacroImages, PositionAndThePauseAfterIt) {
    EXPECT_EQ(Used(Encode({Position(-5, 300)})),
              (Bytes{0, 1, 0x00, 0x05, 0x00, 0x05, 0x00, 0x06, 0x01, 0x2C}));
    EXPECT_EQ(Used(Encode({Position(2047, -1)})),
              (Bytes{0, 1, 0x00, 0x04, 0x07, 0xFF, 0x00, 0x07, 0x00, 0x01}));

    struct Case {
        std::uint32_t ms;
        Bytes pause;
    } cases[] = {
        {10, {0x00, 0x01, 0x00, 0x01}},    // always 20 ms steps, at least one
        {2000, {0x00, 0x01, 0x00, 0x64}},  // no folding into the position
        {1310700, {0x00, 0x01, 0xFF, 0xFF}},
        {1310720, {0x00, 0x01, 0x00, 0x00}},  // 65536 steps: the low 16 bits
        {6553500, {0x00, 0x01, 0xFF, 0xFB}},  // 327675 steps: their low 16 bits
        {6553501, {0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        const auto image = Encode({Position(1, 1), Pause(c.ms), Press(0x41)});
        Bytes expected{0, 1, 0x00, 0x04, 0x00, 0x01, 0x00, 0x06, 0x00, 0x01};
        expected.insert(expected.end(), c.pause.begin(), c.pause.end());
        expected.insert(expected.end(), {0x01, 0x04});
        EXPECT_EQ(Used(image), expected) << c.ms << " ms";
        // 2 loop + 8 position + 4 pause + 2 key
        EXPECT_EQ(image.lengthValue, 33u);
    }
    // The flag clears after the pause: the next pause folds again.
    EXPECT_EQ(Used(Encode({Position(0, 0), Pause(20), Press(0x41), Pause(20)})),
              (Bytes{0, 1, 0, 4, 0, 0, 0, 6, 0, 0, 0x00, 0x01, 0x00, 0x01, 0x02, 0x04}));
}

TEST(MacroImages, KeysMouseButtonsAndInvalidEvents) {
    EXPECT_EQ(Used(Encode({Press(1), Release(1), Press(2), Press(4)})),
              (Bytes{0, 1, 0x01, 0xF0, 0x81, 0xF0, 0x01, 0xF1, 0x01, 0xF2}));
    // A key with no row keeps its flag with key code 0.
    EXPECT_EQ(Used(Encode({Press(0x0C), Press(0x41)})), (Bytes{0, 1, 0x01, 0x00, 0x01, 0x04}));
    // An invalid word is one zero unit.
    EXPECT_EQ(Used(Encode({0x12345678, Press(0x41)})), (Bytes{0, 1, 0x00, 0x00, 0x01, 0x04}));
    // The table of the language in force.
    EXPECT_EQ(Used(Encode({Press(0x41)}, 1, kLanguageFrench)), (Bytes{0, 1, 0x01, 0x14}));
}

TEST(MacroImages, LengthValueSteps) {
    struct Case {
        std::size_t keys;
        std::uint32_t value;
    } cases[] = {
        {0, 33}, {14, 33}, {15, 65}, {111, 257}, {126, 257}, {302, 609}, {303, 641}, {319, 641},
    };
    for (const auto& c : cases) {
        const auto image = Encode(std::vector<MacroEvent>(c.keys, Press(0x41)));
        EXPECT_EQ(image.lengthValue, c.value) << c.keys << " keys";
    }
    EXPECT_EQ(Encode(std::vector<MacroEvent>(111, Press(0x41))).lengthByte(), 0x01);
    EXPECT_EQ(Encode(std::vector<MacroEvent>(303, Press(0x41))).lengthByte(), 0x81);
}

TEST(MacroImages, ItemsThatDoNotFitEndTheImage) {
    // 319 keys fill the 640 bytes exactly; the rest is left out.
    auto full = Encode(std::vector<MacroEvent>(kMacroEventCapacity, Press(0x41)));
    EXPECT_EQ(full.bytes[638], 0x01);
    EXPECT_EQ(full.bytes[639], 0x04);
    EXPECT_EQ(full.lengthValue, 641u);

    // 317 keys leave 4 bytes: the position does not fit, and the key after it,
    // which would, is not written either.
    std::vector<MacroEvent> events(317, Press(0x41));
    events.push_back(Position(1, 1));
    events.push_back(Press(0x42));
    const auto cut = Encode(events);
    EXPECT_EQ(cut.bytes[635], 0x04);
    for (std::size_t i = 636; i < 640; ++i) EXPECT_EQ(cut.bytes[i], 0) << i;

    // With 2 bytes left a folded pause still goes in, a pause item does not.
    std::vector<MacroEvent> pauses(318, Press(0x41));
    pauses.push_back(Pause(100));
    pauses.push_back(Pause(5000));
    pauses.push_back(Press(0x41));
    const auto tail = Encode(pauses);
    EXPECT_EQ(tail.bytes[636], 0x06);
    EXPECT_EQ(tail.bytes[638], 0x00);
    EXPECT_EQ(tail.bytes[639], 0x00);
}

TEST(MacroImages, OverlongEventCountStopsAtTheCapacity) {
    auto record = Record(0x16000001, std::vector<MacroEvent>(kMacroEventCapacity, Pause(100)));
    record->events[0] = Press(0x41);
    record->eventCount = 0xFFFFFFFF;  // a damaged record; the name follows the events
    const auto image = EncodeMacroImage(*record, 1, 0);
    EXPECT_EQ(image.bytes[2], static_cast<std::uint8_t>(0x01 + 999 * 5));
}

TEST(MacroImages, EncodeByIdCopiesFromTheTable) {
    MacroTable table;
    EXPECT_EQ(EncodeMacroById(table, 0x16000001, 1, 0), std::nullopt);
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(0x41)})));
    const auto image = EncodeMacroById(table, 0x16000001, 8, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->slot, 8);
    EXPECT_FALSE(image->IsSent());
    EXPECT_EQ(image->bytes[3], 0x04);
    EXPECT_TRUE(EncodeMacroById(table, 0x16000001, 7, 0)->IsSent());

    // A slot found by id but with byteSize 0 gives nothing to send.
    std::vector<std::byte> noSize(sizeof(MacroEntry));
    const std::uint32_t id = 0x16000002;
    std::memcpy(noSize.data() + 8, &id, 4);
    ASSERT_TRUE(table.ImportRecord(noSize));
    EXPECT_EQ(EncodeMacroById(table, id, 2, 0), std::nullopt);
}

}  // namespace
}  // namespace qx
