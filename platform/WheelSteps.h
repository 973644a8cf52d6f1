// Wheel steps from smooth scrolling. On X11 desktops with libinput (and evdev
// devices that have scroll axes) a wheel moves a scroll valuator of its device
// by the axis's increment per notch, or by fractions of it on high-resolution
// wheels; the server emulates buttons 4/5 for legacy clients, and emulated
// events produce no raw events. This turns the scroll valuators of raw motion
// into steps the way the server turns them into buttons: one step per
// increment, the remainder kept per device and axis. No X here, so recorded
// event values can be replayed in tests.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qx {

struct ScrollAxis {
    int number = 0;  // the valuator
    bool vertical = true;
    double increment = 0;  // valuator distance of one step; negative: inverted
};

class WheelSteps {
public:
    // Devices are X device ids; the scroll axes of one device (its XI scroll
    // classes). Setting a device again keeps the remainder of an axis that
    // stays, so a re-read of the device list loses no partial step.
    void SetDevice(int device, std::span<const ScrollAxis> axes);
    void ForgetDevices();

    // A device with a vertical scroll axis reports its wheel through it: raw
    // buttons 4/5 of such a device, should any come, are not steps of their
    // own. Devices without (XTest, evdev wheels as buttons) keep the buttons.
    bool ScrollsByValuator(int device) const;

    // Whether a raw motion with this valuator mask moves a scroll axis of the
    // device: plain pointer motion is dropped on this test alone.
    bool CarriesScroll(int device, std::span<const unsigned char> mask) const;

    // One raw motion: its valuator mask and the values of the set bits, in
    // order. Returns the whole vertical steps it completes: > 0 forward (away
    // from the user, button 4), < 0 backward (button 5). At most kMaxSteps
    // either way from one event; horizontal axes give none.
    int Motion(int device, std::span<const unsigned char> mask, std::span<const double> values);

    static constexpr int kMaxSteps = 32;
    static constexpr int kMaxDevices = 256;  // X device ids are one byte on the wire
    static constexpr int kMaxValuators = 64;

private:
    struct Axis {
        int number;
        double increment;
        double remainder;  // in steps; the server's sign: positive is backward
    };
    struct Device {
        std::uint64_t scrollBits = 0;  // valuators of all scroll axes
        std::vector<Axis> vertical;
    };
    std::array<Device, kMaxDevices> devices_{};
};

}  // namespace qx
