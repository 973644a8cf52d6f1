#include "macro/MacroTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Text.h"

namespace qx {

MacroTable::MacroTable() : slots_(std::make_unique<std::array<MacroEntry, kMacroSlotCount>>()) {
    std::memset(slots_->data(), 0, kMacroFileSize);
}

std::optional<std::size_t> MacroTable::FindUnlocked(std::uint32_t id) const {
    for (std::size_t i = 0; i < kMacroSlotCount; ++i)
        if ((*slots_)[i].id == id) return i;
    return std::nullopt;
}

std::optional<std::size_t> MacroTable::FindMacroById(std::uint32_t id) const {
    std::lock_guard lock(mutex_);
    return FindUnlocked(id);
}

std::optional<MacroEntry> MacroTable::CopyMacroById(std::uint32_t id) const {
    std::lock_guard lock(mutex_);
    const auto index = FindUnlocked(id);
    if (!index) return std::nullopt;
    return (*slots_)[*index];
}

void MacroTable::Replace(std::span<const std::byte> image) {
    const auto size = std::min(image.size(), kMacroFileSize);
    std::lock_guard lock(mutex_);
    auto* bytes = reinterpret_cast<std::byte*>(slots_->data());
    std::memset(bytes, 0, kMacroFileSize);
    if (size) std::memcpy(bytes, image.data(), size);
}

bool MacroTable::StoreRecord(const MacroEntry& source) {
    if (source.byteSize < kMacroRecordSize ||
        (source.tag & kMacroTagMask) != (kMacroTag & kMacroTagMask))
        return false;
    // A copy first: the record may be the slot itself (a rename), whose events
    // must survive the clearing below.
    const MacroEntry record = source;
    const std::size_t count = record.UsableEventCount();

    std::lock_guard lock(mutex_);
    auto index = FindUnlocked(record.id);
    if (!index) {
        for (std::size_t i = 0; i < kMacroSlotCount && !index; ++i)
            if ((*slots_)[i].tag == 0) index = i;
        if (!index) return false;
    }
    MacroEntry& slot = (*slots_)[*index];
    std::memset(slot.events, 0, sizeof slot.events);
    std::memcpy(slot.events, record.events, count * sizeof(MacroEvent));
    slot.id = record.id;
    slot.eventCount = static_cast<std::uint32_t>(count);
    slot.loopMode = record.loopMode;
    slot.reserved = record.reserved;
    std::memcpy(slot.name, record.name, sizeof slot.name);
    slot.byteSize = record.byteSize;
    slot.tag = record.tag;
    return true;
}

bool MacroTable::ClearSlot(std::uint32_t id) {
    std::lock_guard lock(mutex_);
    const auto index = FindUnlocked(id);
    if (!index) return false;
    std::memset(&(*slots_)[*index], 0, sizeof(MacroEntry));
    return true;
}

int MacroTable::RenameMacro(std::uint32_t id, std::u16string_view name) {
    char16_t buffer[kMacroNameUnits];
    ToBuffer(name, buffer);
    int renamed = 0;
    std::lock_guard lock(mutex_);
    // Each slot by itself: ids are not unique (an import can store one twice),
    // and a slot must never take another slot's events.
    for (auto& slot : *slots_) {
        if (slot.id != id || !HoldsMacro(slot)) continue;
        if (std::memcmp(slot.name, buffer, sizeof buffer) == 0) continue;
        std::memcpy(slot.name, buffer, sizeof buffer);
        ++renamed;
    }
    return renamed;
}

std::optional<std::uint32_t> MacroTable::ImportRecord(std::span<const std::byte> content) {
    MacroEntry record;
    std::memset(&record, 0, sizeof record);
    if (!content.empty())
        std::memcpy(&record, content.data(), std::min(content.size(), sizeof record));

    std::lock_guard lock(mutex_);
    for (auto& slot : *slots_) {
        // Whichever comes first wins: a free slot before the one holding the
        // same id is filled, so the id is then stored twice. A record with
        // id 0 stops at the first free slot and is never imported.
        if (slot.id == record.id) return std::nullopt;
        if (slot.id == 0) {
            slot = record;
            return MacroCategory(record.id);
        }
    }
    return std::nullopt;
}

namespace {

bool SameSlot(const MacroEntry& a, const MacroEntry& b) {
    return std::memcmp(&a, &b, sizeof(MacroEntry)) == 0;
}

bool FreeSlot(const MacroEntry& e) {
    return e.id == 0 && e.tag == 0 && e.byteSize == 0;
}

}  // namespace

void MergeMacroSlots(const MacroSlots& base, const MacroSlots& ours, const MacroSlots& theirs,
                     MacroSlots& out) {
    std::vector<std::size_t> displaced;
    for (std::size_t i = 0; i < kMacroSlotCount; ++i) {
        if (SameSlot(ours[i], base[i])) {
            out[i] = theirs[i];
            continue;
        }
        out[i] = ours[i];
        if (!SameSlot(theirs[i], base[i]) && !SameSlot(theirs[i], ours[i]) && theirs[i].id != 0)
            displaced.push_back(i);
    }
    for (const std::size_t from : displaced) {
        const MacroEntry& entry = theirs[from];
        bool present = false;
        for (const auto& slot : out) present = present || SameSlot(slot, entry);
        if (present) continue;
        for (auto& slot : out) {
            if (!FreeSlot(slot)) continue;
            slot = entry;
            break;
        }
    }
}

}  // namespace qx
