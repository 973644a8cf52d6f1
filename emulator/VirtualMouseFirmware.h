// What the mouse's firmware does with each report it receives: it takes the
// commands, collects the output reports of a data transfer, stores what it
// was sent and answers the version query. Apart from any transport, so tests
// run it in-process as well as behind the socket of qx-virtual-mouse.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/MouseIdentity.h"
#include "emulator/VirtualMouseState.h"

namespace qx::emu {

inline constexpr std::uint16_t kDeviceVersion = 0x0100;

// The configuration interface's report descriptor: a status value (report 6,
// usage 0x20) ahead of the configuration value (report 7, usage page 0xFF01,
// usage 0x22, 7 bytes) and the 32-byte data output of report 7.
std::span<const std::uint8_t> ConfigInterfaceDescriptor();
// The firmware-update mode's interface: nothing of the configuration value.
std::span<const std::uint8_t> BurnerInterfaceDescriptor();

// Reports to refuse, for fault tests: "feature:3" (the third feature report),
// "output:11", "get_feature:1", "command:0x11" (every feature report whose
// byte 1 is 0x11). Several rules may be given, separated by commas.
struct RefuseRule {
    enum class Kind { Feature, GetFeature, Output, Command } kind;
    unsigned value;
};
std::optional<std::vector<RefuseRule>> ParseRefuseRules(std::string_view rules);

class VirtualMouseFirmware {
public:
    struct Options {
        int version = 0;  // answered as version / 10, version % 10
        bool firmwareMode = false;
        std::vector<RefuseRule> refuse;
    };

    explicit VirtualMouseFirmware(Options options);

    std::uint16_t VendorId() const;
    std::uint16_t ProductId() const;
    std::span<const std::uint8_t> Descriptor() const;

    // Each returns whether the report was taken (false: the host sees a refused
    // transfer). Reports start with the report ID.
    bool SetFeature(std::span<const std::uint8_t> report);
    bool GetFeature(std::span<std::uint8_t> report);
    bool WriteOutput(std::span<const std::uint8_t> report);

    const VirtualMouseState& State() const { return state_; }
    void SetState(const VirtualMouseState& state) { state_ = state; }
    // True once after a report changed the stored state.
    bool TakeChanged();

private:
    bool Refused(RefuseRule::Kind kind, unsigned count, std::uint8_t command) const;
    void Execute(std::span<const std::uint8_t> payload);

    enum class Transfer { None, ColourBlock, DpiTable, KeyMatrix, Macro };

    Options options_;
    VirtualMouseState state_;
    bool changed_ = false;
    unsigned features_ = 0, getFeatures_ = 0, outputs_ = 0;
    bool versionQueried_ = false;
    Transfer transfer_ = Transfer::None;
    int transferSlot_ = 0;
    std::size_t transferExpected_ = 0;  // output reports of the transfer
    std::vector<std::uint8_t> transferData_;
};

}  // namespace qx::emu
