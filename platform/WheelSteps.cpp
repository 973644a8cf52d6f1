#include "platform/WheelSteps.h"

#include <algorithm>
#include <cmath>

namespace qx {

namespace {

bool MaskBit(std::span<const unsigned char> mask, int bit) {
    return static_cast<std::size_t>(bit / 8) < mask.size() && (mask[bit / 8] >> (bit % 8)) & 1;
}

}  // namespace

void WheelSteps::SetDevice(int device, std::span<const ScrollAxis> axes) {
    if (device < 0 || device >= kMaxDevices) return;
    Device updated;
    const Device& old = devices_[device];
    for (const ScrollAxis& axis : axes) {
        if (axis.number < 0 || axis.number >= kMaxValuators) continue;
        updated.scrollBits |= std::uint64_t{1} << axis.number;
        // An increment of 0 would make every movement infinitely many steps.
        if (!axis.vertical || axis.increment == 0 || !std::isfinite(axis.increment)) continue;
        double remainder = 0;
        for (const Axis& kept : old.vertical)
            if (kept.number == axis.number && kept.increment == axis.increment)
                remainder = kept.remainder;
        updated.vertical.push_back({axis.number, axis.increment, remainder});
    }
    devices_[device] = std::move(updated);
}

void WheelSteps::ForgetDevices() {
    devices_.fill({});
}

bool WheelSteps::ScrollsByValuator(int device) const {
    return device >= 0 && device < kMaxDevices && !devices_[device].vertical.empty();
}

bool WheelSteps::CarriesScroll(int device, std::span<const unsigned char> mask) const {
    if (device < 0 || device >= kMaxDevices) return false;
    std::uint64_t bits = devices_[device].scrollBits;
    if (bits == 0) return false;
    for (std::size_t byte = 0; byte < mask.size() && byte < kMaxValuators / 8; ++byte)
        if ((bits >> (8 * byte)) & mask[byte]) return true;
    return false;
}

int WheelSteps::Motion(int device, std::span<const unsigned char> mask,
                       std::span<const double> values) {
    if (!CarriesScroll(device, mask)) return 0;
    Device& d = devices_[device];
    int steps = 0;
    for (Axis& axis : d.vertical) {
        if (!MaskBit(mask, axis.number)) continue;
        // The values hold one entry per set bit, in valuator order.
        int index = 0;
        for (int bit = 0; bit < axis.number; ++bit) index += MaskBit(mask, bit);
        if (static_cast<std::size_t>(index) >= values.size()) continue;
        const double delta = values[index];
        if (!std::isfinite(delta)) continue;
        // Down (towards the user) is positive on the valuator, as the server
        // has it; a negative increment inverts that.
        axis.remainder += delta / axis.increment;
        const double whole = std::trunc(axis.remainder);
        axis.remainder -= whole;
        steps -= static_cast<int>(std::clamp(whole, double{-kMaxSteps}, double{kMaxSteps}));
    }
    return std::clamp(steps, -kMaxSteps, kMaxSteps);
}

}  // namespace qx
