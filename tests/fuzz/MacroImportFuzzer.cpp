// An exported macro file of arbitrary bytes: taken by the import rules, stored
// as a record, and encoded in every key table. Nothing may be read or written
// outside the record, the table or the image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "macro/MacroImage.h"
#include "macro/MacroTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    static MacroTable table;
    table.Replace({});
    // A few stored macros for the duplicate-id rule to meet.
    MacroEntry stored{};
    stored.byteSize = kMacroRecordSize;
    stored.tag = kMacroTag;
    for (std::uint32_t i = 1; i <= 3; ++i) {
        stored.id = 0x16000000 + i;
        table.StoreRecord(stored);
    }
    table.ClearSlot(0x16000001);

    const auto content = std::as_bytes(std::span(data, size));
    MacroEntry record;
    std::memset(&record, 0, sizeof record);
    if (size) std::memcpy(&record, data, size < sizeof record ? size : sizeof record);

    if (table.ImportRecord(content)) {
        const auto image = EncodeMacroById(table, record.id, 1, 0);
        if (image && image->lengthValue > 641) __builtin_trap();
    }
    table.StoreRecord(record);
    for (int language : {0, 3, 5, 6, 10}) {
        const auto image = EncodeMacroImage(record, 9, language);
        if (image.lengthValue < 33 || image.lengthValue > 641 || image.lengthValue % 32 != 1)
            __builtin_trap();
    }
    return 0;
}
