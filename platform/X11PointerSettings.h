// The desktop pointer values on an X server: enhanced precision and pointer
// speed become the server's pointer acceleration (or libinput's acceleration
// profile and speed where the server's devices have them); the wheel scroll
// lines go to the desktop's own setting where it has one (KDE). Each call
// opens its own connection, so the device writer thread can call it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "buttons/PointerSettings.h"

struct _XDisplay;

namespace qx {

// The multiplier Windows applies to pointer motion at speed 1-20 (10 is 1:1).
double PointerSpeedFactor(std::int32_t speed);
// libinput's acceleration speed (-1 to 1) for a pointer speed 1-20.
double LibinputAccelSpeed(std::int32_t speed);

class X11PointerSettings final : public PointerSettings {
public:
    // An empty name means $DISPLAY.
    explicit X11PointerSettings(std::string displayName = {});

    bool SetMouseAcceleration(const std::array<std::int32_t, 3>& values) override;
    bool SetMouseSpeed(std::int32_t speed) override;
    bool SetWheelScrollLines(std::int32_t lines) override;

    // Tests: sees and may change the device list between listing and writing
    // (a device unplugged meanwhile).
    void OnDevicesListed(std::function<void(std::vector<int>&)> hook) {
        devicesListed_ = std::move(hook);
    }

private:
    std::vector<int> Devices(_XDisplay* dpy) const;

    std::string displayName_;
    std::function<void(std::vector<int>&)> devicesListed_;
};

// The KDE route for the scroll lines: kwriteconfig6 (or 5) on $PATH writes
// WheelScrollLines into kdeglobals. False outside KDE, for a whole screen per
// notch (KDE has no such value) or when the tool is missing or fails.
bool SetKdeWheelScrollLines(std::int32_t lines);

}  // namespace qx
