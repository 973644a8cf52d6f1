// Our own reader of HID report descriptors. It yields the value capabilities
// the way the HID class driver reports them, so the configuration interface
// is matched on Linux exactly as it is by its usage page and usage elsewhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qx {

struct HidValueCaps {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;     // the first usage of a range
    std::uint16_t usageMax = 0;  // equals usage unless isRange
    bool isRange = false;
    std::uint8_t reportId = 0;      // 0 when the descriptor declares no report IDs
    std::uint16_t reportSize = 0;   // bits per field
    std::uint16_t reportCount = 0;  // fields
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
    std::uint16_t bitField = 0;        // the main item's flags
    std::uint16_t linkCollection = 0;  // index of the enclosing collection, 0 at top level
    // Which top-level collection holds the value (0 the first). Each one is an
    // interface of its own elsewhere, with capabilities of its own.
    std::uint16_t topLevelCollection = 0;
};

struct HidReportDescriptor {
    // Usage of the first top-level collection.
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t collectionCount = 0;
    std::vector<HidValueCaps> inputValues;
    std::vector<HidValueCaps> outputValues;
    std::vector<HidValueCaps> featureValues;
};

// nullopt for a malformed descriptor (truncated item, unbalanced collection or
// push/pop, report ID 0, absurd sizes); `error` then says what was wrong.
std::optional<HidReportDescriptor> ParseReportDescriptor(std::span<const std::uint8_t> bytes,
                                                         std::string* error = nullptr);

// The mouse's configuration value among an interface's feature values: the
// first of usage page 0xFF01, usage 0x22 (base/MouseIdentity.h); nullptr if none.
const HidValueCaps* FindConfigValue(std::span<const HidValueCaps> featureValues);

}  // namespace qx
