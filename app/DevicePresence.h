// The utility lives only while its mouse is there. Connecting at start-up
// (hand over to the firmware burner, open the mouse or give up), and the
// arrival and removal of the mouse while the utility runs.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/FirmwareVersion.h"
#include "base/Messages.h"
#include "base/Notifier.h"
#include "base/ProfileRecord.h"
#include "device/USBDriver.h"
#include "macro/InputHooks.h"
#include "platform/UsbDevices.h"

namespace qx {

// Starts an outside program directly (no shell), without waiting for it.
// Whether it starts is not looked at.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual void StartProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments) = 0;
};

// The firmware burner below appFolder; it is given "1" for a Chinese user
// interface, "0" otherwise.
std::filesystem::path FirmwareBurnerPath(const std::filesystem::path& appFolder);
// The software updater, started three seconds after the mouse was found.
std::filesystem::path SoftwareUpdaterPath(const std::filesystem::path& appFolder);

std::u16string MouseFoundText(std::u16string_view model, bool chineseMode);
std::u16string MouseMissingText(std::u16string_view model, bool chineseMode);

// What connecting needs from the main window.
class DeviceHost {
public:
    virtual ~DeviceHost() = default;
    virtual void RefreshPages() = 0;
    virtual void StartWorkerThreads() = 0;
    virtual void ShowAndRaise() = 0;
    virtual void StartUpdaterTimer() = 0;  // timer 4, 3000 ms, once
    virtual void PostClose() = 0;          // WM_CLOSE to the main window
    // The arrival retry: while on, OnArrivalRetry is to be called every 2.5 s.
    virtual void SetArrivalRetry(bool on) = 0;
};

struct DevicePresenceParts {
    CUSBDriver& driver;
    UsbDeviceList& usbDevices;
    Sleeper& sleeper;
    Notifier& notifier;
    InputHooks& hooks;
    ProgramStarter& programs;
    FirmwareVersion& firmwareVersion;
    const ProfileSettings& settings;  // the software-function buttons to hold back
    std::filesystem::path appFolder;
    std::u16string deviceModel;
    std::function<bool()> chineseMode;  // read when a text is shown
    std::function<TargetHandle()> mainWindow;
};

class DevicePresence {
public:
    enum class State { Looking, NoChannel, Connected, Closing };
    enum class Connect { NoChannel, FirmwareMode, Missing, Connected };

    static inline constexpr std::chrono::milliseconds kFirmwareCheckPause{500};
    static inline constexpr int kFirmwareChecks = 2;
    static inline constexpr std::chrono::milliseconds kOpenPause{500};
    static inline constexpr int kOpenAttempts = 10;
    static inline constexpr std::chrono::milliseconds kArrivalRetryPeriod{2500};

    DevicePresence(DevicePresenceParts parts, DeviceHost& host);

    // The device part of the main window's initialisation. The initialisation
    // goes on normally unless the result is Missing.
    Connect ConnectDevice();
    // A hot-plug event; identifiers of other devices are ignored.
    void OnDeviceArrival(std::string_view identifier);
    void OnDeviceRemoval(std::string_view identifier);
    // Called by the host's retry timer while the arrival retry is on.
    void OnArrivalRetry();

    State CurrentState() const { return state_; }
    bool Retrying() const { return retrying_; }

    static bool IsMouseInterface(std::string_view identifier);

private:
    void ReadVersion();
    void FinishArrival();
    void StopRetry();

    DevicePresenceParts parts_;
    DeviceHost& host_;
    State state_ = State::Looking;
    bool retrying_ = false;
    bool toastShowing_ = false;
};

}  // namespace qx
