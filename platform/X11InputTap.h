// The global input tap on an X server. It watches every button, wheel and key
// event of the desktop through XInput2 raw events on the root window, and
// holds back intercepted buttons with passive grabs on the root window, so
// that no other client sees their press or release. Wheels that scroll
// smoothly (libinput) move a scroll valuator instead of pressing buttons 4/5:
// their steps are read from raw motion (WheelSteps).
//
// Threading: the tap runs its own thread with its own X connection; the hook
// procedures run there, not on the UI thread as the Windows hooks do. That is
// safe because the procedures only read atomics (the switches, the target and
// the 32-bit intercept entries) and post messages, which is thread-safe; the
// pending release is touched by this thread only. The X connection is used by
// the tap thread alone once Start has returned.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "macro/InputHooks.h"
#include "platform/WheelSteps.h"
#include "platform/X11Display.h"
#include "platform/X11KeyMap.h"

namespace qx {

// The native mouse event of an X button (1 left, 2 middle, 3 right, 4/5 wheel
// up/down, 6/7 wheel left/right, 8 back, 9 forward); message 0 for buttons
// without one (and for wheel releases, which Windows does not have).
MouseEvent MouseEventForXButton(int button, bool press);
// The X button that carries an event code; 0 for codes that are none.
int XButtonForEventCode(std::uint32_t code);

class X11InputTap final : public InputTap {
public:
    // An empty name means $DISPLAY.
    explicit X11InputTap(std::string displayName = {});
    ~X11InputTap() override;
    X11InputTap(const X11InputTap&) = delete;
    X11InputTap& operator=(const X11InputTap&) = delete;

    bool Start(InputHooks& hooks) override;
    void Stop() override;
    void InterceptsChanged() override;

    bool Running() const { return running_.load(std::memory_order_acquire); }
    // Running and still connected.
    bool Watching() const { return Running() && !threadEnded_.load(std::memory_order_acquire); }
    // Waits until the grabs match the intercept table as of this call.
    bool WaitForGrabs(std::chrono::milliseconds timeout);

private:
    void Run();
    void HandleEvent(void* event);
    void HandleRawButton(const void* raw, bool press);
    void HandleRawKey(const void* raw, bool press);
    void HandleRawMotion(const void* raw);
    void ReadDevices();
    void ReadKeymap();
    void SyncGrabs();
    void Wake();
    void CloseDisplay();
    void LogOnce(bool& logged, const std::string& text);

    std::string displayName_;
    X11Display display_;
    InputHooks* hooks_ = nullptr;
    std::thread thread_;
    int wakeFd_;  // lives as long as the tap: the writer thread may wake it at any time
    int xiOpcode_ = 0;
    int xkbEventBase_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> threadEnded_{false};
    std::atomic<bool> connectionLost_{false};

    // Tap thread only.
    std::vector<int> masterPointers_;
    std::vector<int> xtestDevices_;
    WheelSteps wheel_;
    std::array<VirtualKey, 256> keymap_{};
    int group_ = 0;  // the keyboard's active layout
    std::array<bool, 256> altHeld_{};
    std::array<bool, 10> grabbed_{};  // by X button number

    std::mutex grabMutex_;
    std::condition_variable grabsApplied_;
    std::uint64_t requested_ = 0;  // guarded by grabMutex_
    std::uint64_t applied_ = 0;

    bool loggedNoDisplay_ = false;
    bool loggedNoXInput_ = false;
    bool loggedGrabRefused_ = false;
    bool loggedConnectionLost_ = false;
};

}  // namespace qx
