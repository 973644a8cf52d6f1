// The device writer thread: each time SyncEvent is signalled it writes the
// whole active profile into the mouse in a fixed order (key matrix with the
// macros it needs, lighting, touch, DPI, desktop pointer values, report rate),
// reports progress to the progress window and the result to the main window.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "base/Clock.h"
#include "base/ManualResetEvent.h"
#include "base/Messages.h"
#include "base/Notifier.h"
#include "buttons/PointerSettings.h"
#include "device/USBDriver.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "macro/MacroTable.h"
#include "profile/ProfileFiles.h"

namespace qx {

// Failure codes posted with WM_USER+772, one per step that can refuse.
enum SyncFailure : int {
    kSyncFailKeyMatrix = 0,
    kSyncFailLedColour = 1,
    kSyncFailEffect = 2,
    kSyncFailColourBlock = 3,
    kSyncFailTouch = 4,
    kSyncFailDpiTable = 5,
    // A macro the key matrix would point at did not reach the mouse; the
    // matrix is not written.
    kSyncFailMacro = 6,
    // Another program kept the mouse locked for the whole wait; nothing was sent.
    kSyncFailDeviceBusy = 7,
};

// The text the main window shows for a failure code; empty for any other code.
std::u16string SyncFailureText(LParam code);

// What WM_USER+771 carries in lParam: the steps whose result does not stop
// the pass (a firmware may not answer them) but that did not reach the mouse.
enum SyncWarning : LParam {
    kSyncWarnDpiLevel = 1,
    kSyncWarnReportRate = 2,
};
// One line per step named in the warning bits; empty for none.
std::u16string SyncWarningText(LParam warnings);

// How long a pass waits for another program to finish writing to the mouse.
inline constexpr std::chrono::milliseconds kDeviceLockWait{20000};

// What the writer shares with the main thread. The flags start at 1 as they
// do for the running utility.
struct SyncControl {
    ManualResetEvent& syncEvent;
    std::atomic<bool> writerRunning{true};
    std::atomic<bool> syncReady{true};
    // Set by the main window before it signals SyncEvent; null: progress is lost.
    std::atomic<TargetHandle> progressWindow;
    // Null once the main window is gone.
    std::atomic<TargetHandle> mainWindow;
    // Set before the writer thread starts.
    std::chrono::milliseconds deviceLockWait = kDeviceLockWait;

    explicit SyncControl(ManualResetEvent& event) : syncEvent(event) {}
    // Signals SyncEvent when no synchronisation is under way; false otherwise.
    bool RequestSync();
};

class DeviceWriter {
public:
    // Everything the writer reads or drives. It reads ProfileSettings and the
    // macro ids without a lock: the main thread sits in the modal progress
    // window for the whole pass, and requests are refused while SyncReady is 0.
    // Macros are copied out of the table under its own lock.
    DeviceWriter(SyncControl& control, CUSBDriver& driver, const ProfileState& profile,
                 const MacroTable& macros, const Localization& language, InputHooks& hooks,
                 PointerSettings& pointer, Sleeper& sleeper);

    // The thread procedure: waits on SyncEvent and runs one pass per signal
    // until WriterRunning is cleared (or the event is closed).
    void DeviceWriterThread();

    // One pass, as the thread runs it after a wake-up. Returns -1 on success or
    // the failure code; the result has been posted to the main window.
    int RunPass();

private:
    void Progress(const TargetHandle& progress, int percent);
    std::unique_ptr<HidDeviceLock> LockDevice();
    int WritePass(const TargetHandle& progress, LParam& warnings);

    SyncControl& control_;
    CUSBDriver& driver_;
    const ProfileState& profile_;
    const MacroTable& macros_;
    const Localization& language_;
    InputHooks& hooks_;
    PointerSettings& pointer_;
    Sleeper& sleeper_;
};

// Main-thread handlers of the two results.
// WM_USER+771: saves the macro ids, the active profile and the table (a failed
// save is reported by ProfileFiles and keeps the settings in memory), puts the
// hooks back with the main window as target and makes SyncReady 1 again.
// Returns whether the profile was saved; the caller tells the user about
// the warnings of the message.
bool OnSyncSucceeded(SyncControl& control, ProfileState& profile, ProfileFiles& files,
                     InputHooks& hooks, TargetHandle mainWindow);
// WM_USER+772: shows the failure's text; nothing is saved.
void OnSyncFailed(SyncControl& control, LParam code, Notifier& notifier);

}  // namespace qx
