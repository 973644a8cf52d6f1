// The 500 macro slots of the utility, one instance alive as long as it runs.
//
// Sharing with the device writer thread: only the UI thread changes the table,
// and every change is made under the table's lock. The writer thread never
// reads a slot in place; it takes a copy of the slot under the same lock
// (CopyMacroById, or EncodeMacroById of MacroImage.h), so it sees either the
// old or the new content of a slot, never a half-written one. Reads on the UI
// thread need no lock, since no other thread writes.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>

#include "macro/MacroEntry.h"

namespace qx {

inline constexpr std::size_t kMacroSlotCount = 500;
inline constexpr std::size_t kMacroFileSize = kMacroSlotCount * sizeof(MacroEntry);
static_assert(kMacroFileSize == 2052000);

class MacroTable {
public:
    MacroTable();
    MacroTable(const MacroTable&) = delete;
    MacroTable& operator=(const MacroTable&) = delete;

    // --- any thread ---
    // The first slot, in index order, whose id equals the given one.
    std::optional<std::size_t> FindMacroById(std::uint32_t id) const;
    // A copy of the slot FindMacroById finds.
    std::optional<MacroEntry> CopyMacroById(std::uint32_t id) const;

    // --- UI thread only ---
    const MacroEntry& Slot(std::size_t index) const { return (*slots_)[index]; }
    std::span<const MacroEntry, kMacroSlotCount> Slots() const { return *slots_; }
    // The table as Macro.cfg holds it.
    std::span<const std::byte> Bytes() const { return std::as_bytes(std::span(*slots_)); }

    // Zeroes the table, then copies the bytes in (a short image leaves the
    // rest zero; bytes beyond the table are ignored).
    void Replace(std::span<const std::byte> image);
    // Stores a built record into the slot with its id, else into the first
    // slot whose tag is 0. False (nothing changed) for a record that is too
    // short or wrongly tagged, or when no slot is free. An eventCount above
    // the capacity is stored cut at 1000 events.
    bool StoreRecord(const MacroEntry& record);
    // Zeroes the slot of the id, if there is one.
    bool ClearSlot(std::uint32_t id);
    // Gives every slot that holds a macro with the id the name (cut to 39
    // units); the events stay. The number of slots whose name changed.
    int RenameMacro(std::uint32_t id, std::u16string_view name);
    // Takes an exported macro file's content as it stands (up to 4104 bytes,
    // zero-padded): into the first slot whose id is 0, unless a slot with the
    // same id comes first. The category of the imported macro, or nullopt.
    std::optional<std::uint32_t> ImportRecord(std::span<const std::byte> content);

private:
    std::optional<std::size_t> FindUnlocked(std::uint32_t id) const;

    mutable std::mutex mutex_;
    std::unique_ptr<std::array<MacroEntry, kMacroSlotCount>> slots_;
};

using MacroSlots = std::array<MacroEntry, kMacroSlotCount>;

// A three-way merge of whole slots, for a table kept in memory while another
// program may change Macro.cfg. `base` is what the file held when this program
// last read or wrote it, `ours` the table now, `theirs` the file now. A slot
// this program changed keeps its content; every other slot takes the file's.
// A macro the other program stored in a slot this program changed as well is
// moved to the first free slot (nothing is lost unless the table is full).
void MergeMacroSlots(const MacroSlots& base, const MacroSlots& ours, const MacroSlots& theirs,
                     MacroSlots& out);

}  // namespace qx
