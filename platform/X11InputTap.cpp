#include "platform/X11InputTap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "platform/X11ConnectionGuard.h"

namespace qx {

namespace {

constexpr int kMaxXButton = 9;

void SetMaskBit(unsigned char* mask, int event) {
    XISetMask(mask, event);
}

}  // namespace

MouseEvent MouseEventForXButton(int button, bool press) {
    switch (button) {
        case 1:
            return {press ? kWmLButtonDown : kWmLButtonUp, 0};
        case 2:
            return {press ? kWmMButtonDown : kWmMButtonUp, 0};
        case 3:
            return {press ? kWmRButtonDown : kWmRButtonUp, 0};
        case 4:
            return {press ? kWmMouseWheel : 0, kMouseDataWheelForward};
        case 5:
            return {press ? kWmMouseWheel : 0, kMouseDataWheelBackward};
        case 6:
            return {press ? kWmMouseHWheel : 0, kMouseDataWheelBackward};
        case 7:
            return {press ? kWmMouseHWheel : 0, kMouseDataWheelForward};
        case 8:
            return {press ? kWmXButtonDown : kWmXButtonUp, kMouseDataXButton1};
        case 9:
            return {press ? kWmXButtonDown : kWmXButtonUp, kMouseDataXButton2};
        default:
            return {0, 0};
    }
}

int XButtonForEventCode(std::uint32_t code) {
    switch (code) {
        case kEventLeft:
            return 1;
        case kEventMiddle:
            return 2;
        case kEventRight:
            return 3;
        case kEventWheelForward:
            return 4;
        case kEventWheelBackward:
            return 5;
        case kEventBack:
            return 8;
        case kEventForward:
            return 9;
        default:
            return 0;
    }
}

X11InputTap::X11InputTap(std::string displayName)
    : displayName_(std::move(displayName)), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

X11InputTap::~X11InputTap() {
    Stop();
    if (wakeFd_ >= 0) close(wakeFd_);
}

void X11InputTap::LogOnce(bool& logged, const std::string& text) {
    if (logged) return;
    logged = true;
    std::fprintf(stderr, "qx-driver: %s\n", text.c_str());
}

bool X11InputTap::Start(InputHooks& hooks) {
    if (running_.load(std::memory_order_acquire)) {
        if (!threadEnded_.load(std::memory_order_acquire)) return true;
        Stop();  // the connection was lost: try a new one
    }
    hooks_ = &hooks;
    display_ = OpenX11Display(displayName_.empty() ? nullptr : displayName_.c_str());
    if (!display_) {
        LogOnce(loggedNoDisplay_,
                "no X display: mouse buttons and keys are not watched, software functions and "
                "usage counts need an X11 session");
        return false;
    }
    Display* dpy = display_.get();
    connectionLost_.store(false);
    GuardX11Connection(dpy, &connectionLost_);
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(dpy, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(dpy, &major, &minor) != Success) {
        LogOnce(loggedNoXInput_, "the X server lacks XInput 2.2: input is not watched");
        CloseDisplay();
        return false;
    }

    // Raw events arrive whoever has the pointer or keyboard grabbed. Raw
    // motion carries the smooth-scrolling wheels.
    unsigned char rawBits[XIMaskLen(XI_LASTEVENT)] = {};
    SetMaskBit(rawBits, XI_RawButtonPress);
    SetMaskBit(rawBits, XI_RawButtonRelease);
    SetMaskBit(rawBits, XI_RawKeyPress);
    SetMaskBit(rawBits, XI_RawKeyRelease);
    SetMaskBit(rawBits, XI_RawMotion);
    unsigned char hierarchyBits[XIMaskLen(XI_LASTEVENT)] = {};
    SetMaskBit(hierarchyBits, XI_HierarchyChanged);
    SetMaskBit(hierarchyBits, XI_DeviceChanged);
    XIEventMask masks[2] = {{XIAllMasterDevices, sizeof rawBits, rawBits},
                            {XIAllDevices, sizeof hierarchyBits, hierarchyBits}};
    XISelectEvents(dpy, DefaultRootWindow(dpy), masks, 2);

    int xkbOpcode = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(dpy, &xkbOpcode, &xkbEventBase_, &xkbError, &xkbMajor, &xkbMinor)) {
        // A new keymap, new layout names, or a switch to another layout (group).
        constexpr unsigned long kKeymapEvents =
            XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbNamesNotifyMask;
        XkbSelectEvents(dpy, XkbUseCoreKbd, kKeymapEvents, kKeymapEvents);
        XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                              XkbGroupStateMask);
    } else {
        xkbEventBase_ = -1;
    }

    ReadDevices();
    ReadKeymap();
    altHeld_.fill(false);
    grabbed_.fill(false);
    SyncGrabs();
    XSync(dpy, False);

    std::uint64_t stale = 0;
    [[maybe_unused]] ssize_t n = read(wakeFd_, &stale, sizeof stale);
    stopping_.store(false);
    threadEnded_.store(false);
    running_.store(true, std::memory_order_release);
    thread_ = std::thread(&X11InputTap::Run, this);
    return true;
}

void X11InputTap::Stop() {
    if (!running_.load(std::memory_order_acquire)) return;
    stopping_.store(true);
    Wake();
    if (thread_.joinable()) thread_.join();
    CloseDisplay();  // closing the connection releases its grabs
    running_.store(false, std::memory_order_release);
    {
        std::lock_guard lock(grabMutex_);
        applied_ = requested_;
    }
    grabsApplied_.notify_all();
}

void X11InputTap::CloseDisplay() {
    if (connectionLost_.load()) {
        AbandonX11Connection(display_.release());
        return;
    }
    Display* dpy = display_.get();
    display_.reset();
    ReleaseX11Connection(dpy);
}

void X11InputTap::Wake() {
    if (wakeFd_ < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

void X11InputTap::InterceptsChanged() {
    {
        std::lock_guard lock(grabMutex_);
        ++requested_;
    }
    Wake();
}

bool X11InputTap::WaitForGrabs(std::chrono::milliseconds timeout) {
    std::unique_lock lock(grabMutex_);
    const std::uint64_t wanted = requested_;
    return grabsApplied_.wait_for(lock, timeout, [&] { return applied_ >= wanted; });
}

void X11InputTap::Run() {
    pthread_setname_np(pthread_self(), "qx-input-tap");  // for top -H and the benchmark
    Display* dpy = display_.get();
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    while (!stopping_.load() && !connectionLost_.load()) {
        while (!connectionLost_.load() && XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            HandleEvent(&event);
        }
        if (connectionLost_.load()) break;
        if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
            if (stopping_.load()) break;
            SyncGrabs();
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) break;
    }
    if (!stopping_.load())
        LogOnce(loggedConnectionLost_, "lost the X connection: input is no longer watched");
    threadEnded_.store(true, std::memory_order_release);
}

void X11InputTap::HandleEvent(void* rawEvent) {
    Display* dpy = display_.get();
    XEvent& event = *static_cast<XEvent*>(rawEvent);
    if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
        if (!XGetEventData(dpy, &event.xcookie)) return;
        switch (event.xcookie.evtype) {
            case XI_RawMotion:
                HandleRawMotion(event.xcookie.data);
                break;
            case XI_RawButtonPress:
                HandleRawButton(event.xcookie.data, true);
                break;
            case XI_RawButtonRelease:
                HandleRawButton(event.xcookie.data, false);
                break;
            case XI_RawKeyPress:
                HandleRawKey(event.xcookie.data, true);
                break;
            case XI_RawKeyRelease:
                HandleRawKey(event.xcookie.data, false);
                break;
            case XI_HierarchyChanged:
                grabbed_.fill(false);  // a new master needs its own grabs
                SyncGrabs();           // reads the devices again
                break;
            case XI_DeviceChanged:
                // A master takes its current slave's classes at every switch
                // between devices; only a device's own change matters here.
                if (static_cast<const XIDeviceChangedEvent*>(event.xcookie.data)->reason ==
                    XIDeviceChange)
                    ReadDevices();
                break;
            default:
                break;  // the grabbed presses themselves: nothing to do
        }
        XFreeEventData(dpy, &event.xcookie);
    } else if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        ReadKeymap();
    } else if (xkbEventBase_ >= 0 && event.type == xkbEventBase_) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        if (xkb.any.xkb_type != XkbStateNotify || xkb.state.group != group_) ReadKeymap();
    }
}

void X11InputTap::HandleRawButton(const void* data, bool press) {
    const auto* raw = static_cast<const XIRawEvent*>(data);
    // A device that scrolls by valuator has its steps counted from motion.
    if ((raw->detail == 4 || raw->detail == 5) && wheel_.ScrollsByValuator(raw->sourceid)) return;
    const MouseEvent native = MouseEventForXButton(raw->detail, press);
    if (native.message == 0) return;
    // Intercepted buttons are already held back by the grabs; the verdict's
    // swallow is what the grab did.
    hooks_->MouseHookProc(native);
}

void X11InputTap::HandleRawMotion(const void* data) {
    const auto* raw = static_cast<const XIRawEvent*>(data);
    const std::span<const unsigned char> mask(raw->valuators.mask,
                                              static_cast<std::size_t>(raw->valuators.mask_len));
    // Pointer motion is most of what arrives here: it ends on this test.
    if (!wheel_.CarriesScroll(raw->sourceid, mask)) return;
    int values = 0;
    for (unsigned char byte : mask) values += __builtin_popcount(byte);
    const int steps = wheel_.Motion(
        raw->sourceid, mask,
        std::span<const double>(raw->valuators.values, static_cast<std::size_t>(values)));
    // The grabs on buttons 4/5 hold back the server's emulated presses of an
    // intercepted wheel; the verdict's swallow is what they did.
    const MouseEvent step = {kWmMouseWheel,
                             steps > 0 ? kMouseDataWheelForward : kMouseDataWheelBackward};
    for (int i = 0; i < std::abs(steps); ++i) hooks_->MouseHookProc(step);
}

void X11InputTap::HandleRawKey(const void* data, bool press) {
    const auto* raw = static_cast<const XIRawEvent*>(data);
    const int keycode = raw->detail;
    if (keycode < 0 || keycode > 255) return;
    const VirtualKey key = keymap_[keycode];
    if (key.vk == 0) return;
    if (key.vk == 0xA4 || key.vk == 0xA5) altHeld_[keycode] = press;
    std::uint32_t flags = 0;
    if (key.extended) flags |= kKeyFlagExtended;
    if (std::find(xtestDevices_.begin(), xtestDevices_.end(), raw->sourceid) != xtestDevices_.end())
        flags |= kKeyFlagInjected;
    if (std::find(altHeld_.begin(), altHeld_.end(), true) != altHeld_.end())
        flags |= kKeyFlagAltDown;
    if (!press) flags |= kKeyFlagUp;
    hooks_->KeyboardHookProc({key.vk, flags});
}

void X11InputTap::ReadDevices() {
    Display* dpy = display_.get();
    masterPointers_.clear();
    xtestDevices_.clear();
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(dpy, XIAllDevices, &count);
    if (info == nullptr) return;
    std::vector<ScrollAxis> axes;
    std::vector<int> seen;
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& device = info[i];
        if (device.use == XIMasterPointer) masterPointers_.push_back(device.deviceid);
        if (std::strstr(device.name, "XTEST") != nullptr) xtestDevices_.push_back(device.deviceid);
        axes.clear();
        for (int c = 0; c < device.num_classes; ++c) {
            if (device.classes[c]->type != XIScrollClass) continue;
            const auto* scroll = reinterpret_cast<const XIScrollClassInfo*>(device.classes[c]);
            axes.push_back(
                {scroll->number, scroll->scroll_type == XIScrollTypeVertical, scroll->increment});
        }
        wheel_.SetDevice(device.deviceid, axes);
        seen.push_back(device.deviceid);
    }
    XIFreeDeviceInfo(info);
    // Devices that have gone: their ids may come back as other devices.
    for (int id = 0; id < WheelSteps::kMaxDevices; ++id)
        if (std::find(seen.begin(), seen.end(), id) == seen.end()) wheel_.SetDevice(id, {});
}

void X11InputTap::ReadKeymap() {
    const X11KeyboardMap map = ReadX11KeyboardMap(display_.get());
    keymap_ = map.keys;
    group_ = map.group;
}

void X11InputTap::SyncGrabs() {
    Display* dpy = display_.get();
    std::uint64_t request;
    {
        std::lock_guard lock(grabMutex_);
        request = requested_;
    }
    // A fresh device list: grabbing on a master that has just gone would be
    // an X error, and Xlib ends the process on those.
    ReadDevices();
    std::array<bool, kMaxXButton + 1> wanted{};
    for (std::uint32_t code : hooks_->MouseInterceptTable())
        if (int button = XButtonForEventCode(code)) wanted[button] = true;

    const Window root = DefaultRootWindow(dpy);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    SetMaskBit(bits, XI_ButtonPress);
    SetMaskBit(bits, XI_ButtonRelease);
    for (int button = 1; button <= kMaxXButton; ++button) {
        if (wanted[button] == grabbed_[button]) continue;
        for (int device : masterPointers_) {
            XIGrabModifiers modifiers = {static_cast<int>(XIAnyModifier), 0};
            if (wanted[button]) {
                XIEventMask mask = {device, sizeof bits, bits};
                if (XIGrabButton(dpy, device, button, root, None, XIGrabModeAsync, XIGrabModeAsync,
                                 False, &mask, 1, &modifiers) != 0)
                    LogOnce(loggedGrabRefused_, "another program holds mouse button " +
                                                    std::to_string(button) +
                                                    ": its presses reach the applications");
            } else {
                XIUngrabButton(dpy, device, button, root, 1, &modifiers);
            }
        }
        grabbed_[button] = wanted[button];
    }
    XSync(dpy, False);
    {
        std::lock_guard lock(grabMutex_);
        applied_ = std::max(applied_, request);
    }
    grabsApplied_.notify_all();
}

}  // namespace qx
