#include "platform/X11PointerSettings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/X11ConnectionGuard.h"
#include "platform/X11Display.h"

extern char** environ;

namespace qx {

namespace {

constexpr std::array<double, 20> kSpeedFactors = {
    1.0 / 32, 1.0 / 16, 1.0 / 8, 2.0 / 8, 3.0 / 8, 4.0 / 8, 5.0 / 8, 6.0 / 8, 7.0 / 8, 1.0,
    1.25,     1.5,      1.75,    2.0,     2.25,    2.5,     2.75,    3.0,     3.25,    3.5};

// The physical pointers in use: enabled slave pointer devices other than the
// XTest one. A disabled device refuses property changes (the libinput driver
// answers BadMatch), and a floating one does not move the desktop's pointer.
std::vector<int> PointerDevices(Display* dpy) {
    std::vector<int> ids;
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(dpy, XIAllDevices, &count);
    if (info == nullptr) return ids;
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& d = info[i];
        if (d.use != XISlavePointer || !d.enabled) continue;
        if (std::strstr(d.name, "XTEST") != nullptr) continue;
        ids.push_back(d.deviceid);
    }
    XIFreeDeviceInfo(info);
    return ids;
}

// Changes a property and waits for the server's verdict: a device that went
// away since it was listed, or refuses the change, fails this device only.
bool ChangeProperty(Display* dpy, int device, Atom property, Atom type, int format,
                    const unsigned char* data, int items) {
    const std::uint64_t before = X11ProtocolErrors(dpy);
    XIChangeProperty(dpy, device, property, type, format, PropModeReplace,
                     const_cast<unsigned char*>(data), items);
    return !X11RequestsFailedSince(dpy, before);
}

struct PropertyShape {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    std::vector<unsigned char> data;
};

std::optional<PropertyShape> ReadProperty(Display* dpy, int device, Atom property) {
    if (property == None) return std::nullopt;
    PropertyShape shape;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XIGetProperty(dpy, device, property, 0, 16, False, AnyPropertyType, &shape.type,
                      &shape.format, &shape.items, &after, &data) != Success)
        return std::nullopt;
    if (shape.type == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    shape.data.assign(data, data + shape.items * (shape.format / 8));
    XFree(data);
    return shape;
}

bool SetFloatProperty(Display* dpy, int device, const char* name, float value) {
    const Atom property = XInternAtom(dpy, name, True);
    const auto shape = ReadProperty(dpy, device, property);
    const Atom floatAtom = XInternAtom(dpy, "FLOAT", True);
    if (!shape || shape->type != floatAtom || shape->format != 32 || shape->items != 1)
        return false;
    return ChangeProperty(dpy, device, property, floatAtom, 32,
                          reinterpret_cast<const unsigned char*>(&value), 1);
}

// A property of flags (format 8): the first `on` entries as given, the rest 0.
bool SetFlagsProperty(Display* dpy, int device, const char* name,
                      std::initializer_list<unsigned char> flags) {
    const Atom property = XInternAtom(dpy, name, True);
    auto shape = ReadProperty(dpy, device, property);
    if (!shape || shape->format != 8 || shape->items < flags.size()) return false;
    std::fill(shape->data.begin(), shape->data.end(), 0);
    std::copy(flags.begin(), flags.end(), shape->data.begin());
    return ChangeProperty(dpy, device, property, shape->type, 8, shape->data.data(),
                          static_cast<int>(shape->items));
}

// One short connection per call, guarded: the writer thread must survive an
// X server that goes away, and a device that refuses or vanishes mid-call.
class Connection {
public:
    explicit Connection(const std::string& name)
        : display_(OpenX11Display(name.empty() ? nullptr : name.c_str())) {
        if (display_) GuardX11Connection(display_.get(), &lost_);
    }
    ~Connection() {
        if (lost_.load()) {
            AbandonX11Connection(display_.release());
            return;
        }
        Display* dpy = display_.get();
        display_.reset();
        if (dpy) ReleaseX11Connection(dpy);
    }
    Display* get() const { return display_.get(); }

private:
    std::atomic<bool> lost_{false};
    X11Display display_;
};

}  // namespace

double PointerSpeedFactor(std::int32_t speed) {
    return kSpeedFactors[std::clamp(speed, kPointerSpeedMin, kPointerSpeedMax) - 1];
}

double LibinputAccelSpeed(std::int32_t speed) {
    return std::clamp((std::clamp(speed, kPointerSpeedMin, kPointerSpeedMax) - 10) / 10.0, -1.0,
                      1.0);
}

X11PointerSettings::X11PointerSettings(std::string displayName)
    : displayName_(std::move(displayName)) {}

std::vector<int> X11PointerSettings::Devices(Display* dpy) const {
    std::vector<int> devices = PointerDevices(dpy);
    if (devicesListed_) devicesListed_(devices);
    return devices;
}

bool X11PointerSettings::SetMouseAcceleration(const std::array<std::int32_t, 3>& values) {
    Connection connection(displayName_);
    Display* dpy = connection.get();
    if (dpy == nullptr) return false;
    const std::int32_t level = values[2];
    const bool enhanced = level > 0;
    // Level 1 doubles the motion beyond the first threshold, level 2 (beyond
    // the second) quadruples it; the server knows one threshold only.
    const int numerator = level <= 0 ? 1 : level == 1 ? 2 : 4;
    const int threshold = level <= 0 ? 0 : level == 1 ? values[0] : values[1];
    XChangePointerControl(dpy, True, enhanced, numerator, 1, threshold);  // off keeps the threshold
    for (int device : Devices(dpy))
        SetFlagsProperty(dpy, device, "libinput Accel Profile Enabled",
                         {static_cast<unsigned char>(enhanced), !enhanced});
    XSync(dpy, False);
    return true;
}

bool X11PointerSettings::SetMouseSpeed(std::int32_t speed) {
    if (speed < kPointerSpeedMin || speed > kPointerSpeedMax) return false;
    Connection connection(displayName_);
    Display* dpy = connection.get();
    if (dpy == nullptr) return false;
    bool taken = false;
    for (int device : Devices(dpy)) {
        if (SetFloatProperty(dpy, device, "libinput Accel Speed",
                             static_cast<float>(LibinputAccelSpeed(speed)))) {
            taken = true;
        } else if (SetFloatProperty(dpy, device, "Device Accel Constant Deceleration",
                                    static_cast<float>(1.0 / PointerSpeedFactor(speed)))) {
            taken = true;
        }
    }
    XSync(dpy, False);
    return taken;
}

bool X11PointerSettings::SetWheelScrollLines(std::int32_t lines) {
    return SetKdeWheelScrollLines(lines);
}

bool SetKdeWheelScrollLines(std::int32_t lines) {
    if (lines < kScrollLinesMin || lines > kScrollLinesMax) return false;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (desktop == nullptr || std::string_view(desktop).find("KDE") == std::string_view::npos)
        return false;
    std::string value = std::to_string(lines);
    for (const char* tool : {"kwriteconfig6", "kwriteconfig5"}) {
        char* argv[] = {const_cast<char*>(tool),
                        const_cast<char*>("--file"),
                        const_cast<char*>("kdeglobals"),
                        const_cast<char*>("--group"),
                        const_cast<char*>("KDE"),
                        const_cast<char*>("--key"),
                        const_cast<char*>("WheelScrollLines"),
                        value.data(),
                        nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, tool, nullptr, nullptr, argv, environ) != 0) continue;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return false;
}

}  // namespace qx
