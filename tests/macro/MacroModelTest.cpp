#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>

#include "base/DataFile.h"
#include "macro/MacroTable.h"
#include "tests/common/MacroBuilder.h"

namespace qx {
namespace {

using namespace test;

TEST(CursorPositions, PackingWithModuloAndSignBits) {
    struct Case {
        int x, y;
        std::uint32_t value;
        CursorPoint back;
    } cases[] = {
        {-5, 300, 0x12C805, {-5, 300}},
        {0, 0, 0, {0, 0}},
        {2047, -2047, 0x8007FF | (2047u << 12), {2047, -2047}},
        {2048, 0, 0, {0, 0}},                    // magnitude 2048 keeps only its low 11 bits
        {-2048, 1, 0x800 | (1u << 12), {0, 1}},  // -0: the sign bit stays set
        {4096 + 5, -(4096 + 7), 5 | (7u << 12) | 0x800000, {5, -7}},
        {4095, 0, 0x7FF, {2047, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackCursorPosition(c.x, c.y), c.value) << c.x << "," << c.y;
        EXPECT_EQ(UnpackCursorPosition(c.value), c.back) << c.x << "," << c.y;
    }
    // No overflow for the extremes; the value stays within 24 bits.
    EXPECT_EQ(PackCursorPosition(INT_MIN, INT_MIN) & ~kMacroValueMask, 0u);
    EXPECT_EQ(PackCursorPosition(INT_MAX, INT_MAX) & ~kMacroValueMask, 0u);
}

TEST(MacroEvents, ListItemsDifferOnlyInTheTopByte) {
    struct Case {
        MacroEvent event;
        std::uint32_t item;
    } cases[] = {
        {0xC0000041, 0x03000041},
        {0xE0000041, 0x02000041},
        {0xA0000064, 0x04000064},
        {0x4012C805, 0x0512C805},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MacroEventToListItem(c.event), c.item);
        EXPECT_EQ(ListItemToMacroEvent(c.item), c.event);
        EXPECT_TRUE(IsValidEvent(c.event));
    }
    for (std::uint32_t invalid : {0x00000041u, 0x80000041u, 0xFF000000u}) {
        EXPECT_FALSE(IsValidEvent(invalid));
        EXPECT_EQ(MacroEventToListItem(invalid), std::nullopt);
    }
    EXPECT_EQ(ListItemToMacroEvent(0x06000001), std::nullopt);
}

TEST(MacroEntries, HoldingAMacroAndTheUsableEventCount) {
    MacroEntry e{};
    EXPECT_FALSE(HoldsMacro(e));
    e.byteSize = 4104;
    EXPECT_TRUE(HoldsMacro(e));
    e.byteSize = 4103;
    EXPECT_FALSE(HoldsMacro(e));
    e.tag = 0xE8E8ABCD;
    EXPECT_TRUE(HoldsMacro(e));
    e.eventCount = 0xFFFFFFFF;
    EXPECT_EQ(e.UsableEventCount(), kMacroEventCapacity);
    EXPECT_EQ(MacroCategory(MakeMacroId(22, 0xFF123456)), 22u);
    EXPECT_EQ(MakeMacroId(22, 0xFF123456), 0x16123456u);
}

class MacroTableTest : public ::testing::Test {
protected:
    // Fills every slot with a distinct macro.
    void Fill() {
        for (std::uint32_t i = 0; i < kMacroSlotCount; ++i)
            ASSERT_TRUE(table.StoreRecord(*Record(0x16000000 + i + 1, {Press(0x41)})));
    }
    MacroTable table;
};

TEST_F(MacroTableTest, StoreRefusesShortOrForeignRecords) {
    auto r = Record(0x16000001, {Press(0x41)});
    r->byteSize = 4103;
    EXPECT_FALSE(table.StoreRecord(*r));
    r->byteSize = 4104;
    r->tag = 0xE8E70010;
    EXPECT_FALSE(table.StoreRecord(*r));
    r->tag = 0xE8E8FFFF;  // only the top half is checked
    EXPECT_TRUE(table.StoreRecord(*r));
    EXPECT_EQ(table.Slot(0).tag, 0xE8E8FFFFu);
}

TEST_F(MacroTableTest, StoreReplacesBySameIdAndClearsOldEvents) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1), Pause(5), Release(1)}, u"one")));
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000002, {Press(2)}, u"two")));
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(4)}, u"renamed", 0xFFFE)));
    const auto& slot = table.Slot(0);
    EXPECT_EQ(slot.eventCount, 1u);
    EXPECT_EQ(slot.events[0], Press(4));
    EXPECT_EQ(slot.events[1], 0u);
    EXPECT_EQ(slot.events[2], 0u);
    EXPECT_EQ(slot.loopMode, 0xFFFEu);
    EXPECT_EQ(FromBuffer(slot.name), u"renamed");
    EXPECT_EQ(table.FindMacroById(0x16000002), 1u);
}

TEST_F(MacroTableTest, StoringTheSlotItselfKeepsItsEvents) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1), Release(1)})));
    ASSERT_TRUE(table.StoreRecord(table.Slot(0)));
    EXPECT_EQ(table.Slot(0).eventCount, 2u);
    EXPECT_EQ(table.Slot(0).events[1], Release(1));

    auto renamed = *table.CopyMacroById(0x16000001);
    ToBuffer(u"new name", renamed.name);
    ASSERT_TRUE(table.StoreRecord(renamed));
    EXPECT_EQ(FromBuffer(table.Slot(0).name), u"new name");
    EXPECT_EQ(table.Slot(0).events[1], Release(1));
}

TEST_F(MacroTableTest, FreeSlotForStoreIsTagZeroEvenWithAnId) {
    std::vector<std::byte> foreign(sizeof(MacroEntry));
    const std::uint32_t id = 0x05000007;
    std::memcpy(foreign.data() + 8, &id, 4);  // an imported record without a tag
    ASSERT_EQ(table.ImportRecord(foreign), 5u);
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_EQ(table.Slot(0).id, 0x16000001u);
}

TEST_F(MacroTableTest, AFullTableRefusesNewMacrosButStillReplaces) {
    Fill();
    EXPECT_FALSE(table.StoreRecord(*Record(0x17000000, {Press(1)})));
    EXPECT_FALSE(table.FindMacroById(0x17000000));
    EXPECT_TRUE(table.StoreRecord(*Record(0x16000000 + 500, {Press(2)})));
    EXPECT_EQ(table.Slot(499).events[0], Press(2));
    EXPECT_EQ(table.ImportRecord(AsBytes(*Record(0x17000000, {}))), std::nullopt);
}

TEST_F(MacroTableTest, OverlongEventCountIsStoredCutAtTheCapacity) {
    auto r = Record(0x16000001, std::vector<MacroEvent>(kMacroEventCapacity, Press(0x41)));
    r->eventCount = 1997;
    ASSERT_TRUE(table.StoreRecord(*r));
    EXPECT_EQ(table.Slot(0).eventCount, kMacroEventCapacity);
    EXPECT_EQ(table.Slot(0).events[999], Press(0x41));
    EXPECT_EQ(table.Slot(0).name[0], u'm');
}

TEST_F(MacroTableTest, ClearZeroesTheWholeSlot) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)})));
    EXPECT_FALSE(table.ClearSlot(0x16000002));
    EXPECT_TRUE(table.ClearSlot(0x16000001));
    MacroEntry zero{};
    EXPECT_EQ(std::memcmp(&table.Slot(0), &zero, sizeof zero), 0);
}

TEST_F(MacroTableTest, ImportStopsAtTheSameIdOrFillsTheFirstFreeSlot) {
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000001, {Press(1)}, u"a")));
    ASSERT_TRUE(table.StoreRecord(*Record(0x16000002, {Press(2)}, u"b")));
    const auto incoming = Record(0x16000002, {Press(3)}, u"imported");

    // The id is stored and no free slot comes first: nothing changes.
    EXPECT_EQ(table.ImportRecord(AsBytes(*incoming)), std::nullopt);
    EXPECT_EQ(table.Slot(1).events[0], Press(2));
    EXPECT_EQ(table.Slot(2).id, 0u);

    // The only free slot lies before the slot with the same id: it is filled.
    ASSERT_TRUE(table.ClearSlot(0x16000001));
    EXPECT_EQ(table.ImportRecord(AsBytes(*incoming)), 0x16u);
    EXPECT_EQ(std::memcmp(&table.Slot(0), incoming.get(), sizeof(MacroEntry)), 0);
    EXPECT_EQ(table.Slot(1).id, 0x16000002u);
    EXPECT_EQ(table.FindMacroById(0x16000002), 0u);
}

TEST_F(MacroTableTest, ImportTakesShortContentZeroPaddedAndNeverIdZero) {
    std::vector<std::byte> shortContent(12, std::byte{0});
    const std::uint32_t header[3] = {4104, kMacroTag, 0x03000042};
    std::memcpy(shortContent.data(), header, sizeof header);
    EXPECT_EQ(table.ImportRecord(shortContent), 3u);
    EXPECT_EQ(table.Slot(0).eventCount, 0u);
    EXPECT_EQ(table.Slot(0).name[0], 0);

    EXPECT_EQ(table.ImportRecord({}), std::nullopt);  // id 0 meets the first free slot
    EXPECT_EQ(table.Slot(1).id, 0u);
}

// The writer thread copies slots while the UI thread rewrites them: every copy
// must be wholly one version or the other.
TEST_F(MacroTableTest, ReaderSeesWholeSlotsWhileTheTableChanges) {
    const std::uint32_t id = 0x16000001;
    const auto a = Record(id, std::vector<MacroEvent>(kMacroEventCapacity, Press(0x41)), u"aaaa");
    const auto b = Record(id, std::vector<MacroEvent>(kMacroEventCapacity, Press(0x42)), u"bbbb");
    ASSERT_TRUE(table.StoreRecord(*a));

    std::atomic<bool> stop{false};
    std::atomic<bool> started{false};
    std::atomic<int> torn{0};
    std::atomic<int> copies{0};
    std::thread reader([&] {
        started = true;
        while (!stop) {
            const auto copy = table.CopyMacroById(id);
            if (!copy) continue;
            ++copies;
            const MacroEvent first = copy->events[0];
            for (const auto event : copy->events)
                if (event != first) ++torn;
            if ((first == Press(0x41)) != (copy->name[0] == u'a')) ++torn;
        }
    });
    while (!started) std::this_thread::yield();
    for (int i = 0; i < 50000 && torn == 0; ++i) table.StoreRecord(i % 2 ? *a : *b);
    stop = true;
    reader.join();
    EXPECT_GT(copies, 0);
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace qx
