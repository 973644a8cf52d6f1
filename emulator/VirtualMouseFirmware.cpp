#include "emulator/VirtualMouseFirmware.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace qx::emu {
namespace {

// clang-format off
constexpr std::uint8_t kConfigDescriptor[] = {
    0x06, 0x01, 0xFF,  // Usage Page (0xFF01)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x85, 0x06,        //   Report ID (6)
    0x09, 0x20,        //   Usage (0x20)
    0x95, 0x03,        //   Report Count (3)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0x85, 0x07,        //   Report ID (7)
    0x09, 0x22,        //   Usage (0x22)
    0x95, 0x07,        //   Report Count (7)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0x09, 0x23,        //   Usage (0x23)
    0x95, 0x20,        //   Report Count (32)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr std::uint8_t kBurnerDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (0xFF00)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x85, 0x01, 0x09, 0x02, 0x95, 0x3F, 0xB1, 0x02,  // Report 1: 63-byte feature
    0x09, 0x03, 0x95, 0x3F, 0x91, 0x02,              //           63-byte output
    0xC0,
};
// clang-format on

constexpr std::size_t kFeatureSize = kConfigReportLength + 1;
constexpr std::size_t kOutputSize = kOutputDataSize + 1;

std::optional<unsigned> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

}  // namespace

std::span<const std::uint8_t> ConfigInterfaceDescriptor() {
    return kConfigDescriptor;
}
std::span<const std::uint8_t> BurnerInterfaceDescriptor() {
    return kBurnerDescriptor;
}

std::optional<std::vector<RefuseRule>> ParseRefuseRules(std::string_view text) {
    std::vector<RefuseRule> rules;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const auto colon = item.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const auto kind = item.substr(0, colon);
        const auto value = ParseNumber(item.substr(colon + 1));
        if (!value) return std::nullopt;
        if (kind == "feature")
            rules.push_back({RefuseRule::Kind::Feature, *value});
        else if (kind == "get_feature")
            rules.push_back({RefuseRule::Kind::GetFeature, *value});
        else if (kind == "output")
            rules.push_back({RefuseRule::Kind::Output, *value});
        else if (kind == "command" && *value <= 0xFF)
            rules.push_back({RefuseRule::Kind::Command, *value});
        else
            return std::nullopt;
    }
    return rules;
}

VirtualMouseFirmware::VirtualMouseFirmware(Options options) : options_(std::move(options)) {}

std::uint16_t VirtualMouseFirmware::VendorId() const {
    return options_.firmwareMode ? kFirmwareModeVendorId : kMouseVendorId;
}
std::uint16_t VirtualMouseFirmware::ProductId() const {
    return options_.firmwareMode ? kFirmwareModeProductId : kMouseProductId;
}
std::span<const std::uint8_t> VirtualMouseFirmware::Descriptor() const {
    return options_.firmwareMode ? BurnerInterfaceDescriptor() : ConfigInterfaceDescriptor();
}

bool VirtualMouseFirmware::TakeChanged() {
    return std::exchange(changed_, false);
}

bool VirtualMouseFirmware::Refused(RefuseRule::Kind kind, unsigned count,
                                   std::uint8_t command) const {
    return std::any_of(options_.refuse.begin(), options_.refuse.end(), [&](const RefuseRule& r) {
        if (r.kind == RefuseRule::Kind::Command)
            return kind == RefuseRule::Kind::Feature && r.value == command;
        return r.kind == kind && r.value == count;
    });
}

bool VirtualMouseFirmware::SetFeature(std::span<const std::uint8_t> report) {
    ++features_;
    const std::uint8_t command = report.size() > 1 ? report[1] : 0;
    if (Refused(RefuseRule::Kind::Feature, features_, command)) return false;
    // The update mode takes nothing; the mouse only its one feature report.
    if (options_.firmwareMode || report.size() != kFeatureSize || report[0] != kConfigReportId)
        return false;
    Execute(report.subspan(1));
    return true;
}

void VirtualMouseFirmware::Execute(std::span<const std::uint8_t> p) {
    // A new command ends any transfer still waiting for its data.
    transfer_ = Transfer::None;
    transferData_.clear();
    versionQueried_ = false;
    const auto expect = [this](Transfer transfer, std::size_t reports) {
        transfer_ = transfer;
        transferExpected_ = reports;
    };
    switch (static_cast<qx::Command>(p[0])) {
        case qx::Command::FirmwareVersion:
            versionQueried_ = true;
            return;
        case qx::Command::ReportRate:
            state_.reportRate = p[1];
            state_.stored |= kStoredReportRate;
            break;
        case qx::Command::Touch:
            state_.touch = p[1];
            state_.stored |= kStoredTouch;
            break;
        case qx::Command::DpiLevel:
            state_.dpiLevel = p[2];
            state_.stored |= kStoredDpiLevel;
            break;
        case qx::Command::LedColour:
            std::memcpy(state_.ledColour, &p[2], 3);
            state_.stored |= kStoredLedColour;
            break;
        case qx::Command::Effect:
            std::memcpy(state_.effect, &p[2], 3);
            state_.stored |= kStoredEffect;
            break;
        case qx::Command::ColourBlock:
            expect(Transfer::ColourBlock, 1);
            return;
        case qx::Command::DpiTable:
            expect(Transfer::DpiTable, 1);
            return;
        case qx::Command::KeyMatrix:
            expect(Transfer::KeyMatrix, kKeyMatrixSize / kOutputDataSize);
            return;
        case qx::Command::Macro:
            if (p[2] < 1 || p[2] > kMaxMacroSlot) return;  // no such slot: ignored
            transferSlot_ = p[2];
            expect(Transfer::Macro, kMacroImageSize / kOutputDataSize);
            return;
        default:
            return;  // unknown commands are ignored, as the mouse confirms nothing
    }
    changed_ = true;
}

bool VirtualMouseFirmware::GetFeature(std::span<std::uint8_t> report) {
    ++getFeatures_;
    if (Refused(RefuseRule::Kind::GetFeature, getFeatures_, 0)) return false;
    if (options_.firmwareMode || report.size() != kFeatureSize || report[0] != kConfigReportId)
        return false;
    std::fill(report.begin() + 1, report.end(), 0);
    if (versionQueried_) {
        const int version = std::clamp(options_.version, 0, 99);
        report[1] = static_cast<std::uint8_t>(qx::Command::FirmwareVersion);
        report[2] = static_cast<std::uint8_t>(version / 10);
        report[3] = static_cast<std::uint8_t>(version % 10);
    }
    return true;
}

bool VirtualMouseFirmware::WriteOutput(std::span<const std::uint8_t> report) {
    ++outputs_;
    if (Refused(RefuseRule::Kind::Output, outputs_, 0)) return false;
    if (options_.firmwareMode || report.size() != kOutputSize || report[0] != kConfigReportId)
        return false;
    if (transfer_ == Transfer::None) return true;  // stray data: taken, not stored
    transferData_.insert(transferData_.end(), report.begin() + 1, report.end());
    if (transferData_.size() < transferExpected_ * kOutputDataSize) return true;

    const std::uint8_t* data = transferData_.data();
    switch (transfer_) {
        case Transfer::ColourBlock:
            std::memcpy(state_.colourBlock, data, kColourBlockSize);
            state_.stored |= kStoredColourBlock;
            break;
        case Transfer::DpiTable:
            std::memcpy(state_.dpiTable, data, kDpiTableSize);
            state_.stored |= kStoredDpiTable;
            break;
        case Transfer::KeyMatrix:
            std::memcpy(state_.keyMatrix, data, kKeyMatrixSize);
            state_.stored |= kStoredKeyMatrix;
            break;
        case Transfer::Macro:
            std::memcpy(state_.macros[transferSlot_ - 1], data, kMacroImageSize);
            state_.stored |= StoredMacroBit(transferSlot_);
            break;
        case Transfer::None:
            break;
    }
    transfer_ = Transfer::None;
    transferData_.clear();
    changed_ = true;
    return true;
}

}  // namespace qx::emu
