// The global input hooks: which mouse presses are held back, which events are
// reported, and to whom. The platform's input tap feeds every native event to
// the two procedures below; they only compare and post, so they are safe to
// run on the tap's own thread while other threads change the switches.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "base/FunctionCatalogue.h"
#include "base/Messages.h"

namespace qx {

inline constexpr int kInterceptTableSize = 12;

// Event codes of the buttons in button order (left, middle, right, forward,
// back, wheel forward, wheel backward), as the mouse hook reports them.
inline constexpr std::uint32_t kEventLeft = 0x0201;
inline constexpr std::uint32_t kEventMiddle = 0x0207;
inline constexpr std::uint32_t kEventRight = 0x0204;
inline constexpr std::uint32_t kEventForward = 0x0002020B;  // extra button 2
inline constexpr std::uint32_t kEventBack = 0x0001020B;     // extra button 1
inline constexpr std::uint32_t kEventWheelForward = 0x00020A01;
inline constexpr std::uint32_t kEventWheelBackward = 0x00020A00;
// kButtonEventCodes (buttons/FunctionCatalogue.h) lists them in button order.
static_assert(kButtonEventCodes == std::array<std::uint32_t, kButtonCount>{
                                       kEventLeft, kEventMiddle, kEventRight, kEventForward,
                                       kEventBack, kEventWheelForward, kEventWheelBackward});

// mouseData of the low-level mouse structure: the extra button's number or the
// wheel delta, both in the high word.
inline constexpr std::uint32_t kMouseDataXButton1 = 0x00010000;
inline constexpr std::uint32_t kMouseDataXButton2 = 0x00020000;
inline constexpr std::uint32_t kMouseDataWheelForward = 120u << 16;
inline constexpr std::uint32_t kMouseDataWheelBackward = static_cast<std::uint32_t>(-120) << 16;

// flags of the low-level keyboard structure, passed on as lParam.
inline constexpr std::uint32_t kKeyFlagExtended = 0x01;
inline constexpr std::uint32_t kKeyFlagInjected = 0x10;
inline constexpr std::uint32_t kKeyFlagAltDown = 0x20;
inline constexpr std::uint32_t kKeyFlagUp = 0x80;

// One native mouse event in the low-level hook's terms.
struct MouseEvent {
    std::uint32_t message;    // kWmLButtonDown ... kWmMouseHWheel
    std::uint32_t mouseData;  // see kMouseData*
};

// One native keyboard event: a Windows virtual-key code and its flags.
struct KeyEvent {
    std::uint32_t vkCode;
    std::uint32_t flags;
};

// What the mouse procedure did with one event.
struct MouseVerdict {
    std::uint32_t reported = 0;  // event code to post with kMsgHookButton; 0 = none
    bool swallow = false;        // the event must not reach any application
    bool operator==(const MouseVerdict&) const = default;
};

class InputHooks;

// The platform's global input tap: delivers every keyboard and mouse event of
// the desktop to the procedures of the hooks it was started for, and holds back
// the presses (with their releases) whose codes are in the intercept table.
// An evdev/uinput tap (for Wayland sessions) fits the same interface: it reads
// the input devices, runs the procedures and re-emits what is not swallowed.
class InputTap {
public:
    virtual ~InputTap() = default;
    // Starts (or keeps) delivering events. False when input cannot be watched.
    virtual bool Start(InputHooks& hooks) = 0;
    virtual void Stop() = 0;
    // The intercept table changed; called on the thread that changed it.
    virtual void InterceptsChanged() = 0;
};

class InputHooks {
public:
    // Without a tap the module still decides and posts (tests, benchmarks),
    // but InstallInputHooks reports failure.
    explicit InputHooks(InputTap* tap = nullptr) : tap_(tap) {}
    InputHooks(const InputHooks&) = delete;
    InputHooks& operator=(const InputHooks&) = delete;

    // Main and target window become the given window; true when the tap runs.
    // A second call while installed keeps the running tap.
    bool InstallInputHooks(TargetHandle mainWindow);
    bool RemoveInputHooks();
    void SetHookTarget(TargetHandle window);
    // Switching forwarding off also gives the target back to the main window.
    void SetKeyForwarding(bool on);
    // hold: add the code to the first empty entry (silently not when all 12
    // are used); otherwise clear the entry holding it. Code 0 marks an empty
    // entry and is never stored.
    void SetButtonIntercept(std::uint32_t code, bool hold);
    void SetReportAllButtons(bool on);

    // The procedures, run by the tap for each native event.
    MouseVerdict MouseHookProc(const MouseEvent& event);
    // Never swallows: the key always reaches the focused application.
    void KeyboardHookProc(const KeyEvent& event);

    bool IsIntercepted(std::uint32_t code) const;
    std::array<std::uint32_t, kInterceptTableSize> MouseInterceptTable() const;
    std::uint32_t PendingRelease() const { return pendingRelease_.load(std::memory_order_relaxed); }
    bool KeyForwarding() const { return keyForwarding_.load(std::memory_order_relaxed); }
    bool ReportAllButtons() const { return reportAll_.load(std::memory_order_relaxed); }
    TargetHandle HookTarget() const { return target_.load(std::memory_order_acquire); }
    bool Installed() const { return installed_.load(std::memory_order_acquire); }

private:
    void Report(std::uint32_t code);

    InputTap* tap_;
    std::atomic<bool> installed_{false};
    // Handles, not raw pointers: a window may go away while the tap's thread
    // is about to post to it.
    std::atomic<TargetHandle> mainWindow_;
    std::atomic<TargetHandle> target_;
    std::atomic<bool> keyForwarding_{true};
    std::atomic<bool> reportAll_{true};
    // Written by the device writer thread, read by the tap's thread: each entry
    // is one 32-bit atomic, so a reader sees an old or a new code, never a mix.
    std::array<std::atomic<std::uint32_t>, kInterceptTableSize> table_{};
    // Touched only by the procedures (the tap's thread).
    std::atomic<std::uint32_t> pendingRelease_{0};
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(sizeof(std::atomic<std::uint32_t>) == 4);

}  // namespace qx
