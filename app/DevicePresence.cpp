#include "app/DevicePresence.h"

#include <algorithm>
#include <cctype>

#include "base/Text.h"
#include "support/UpdateServer.h"

namespace qx {
namespace {

constexpr std::string_view kMouseId = "VID_7D3A&PID_6E41";
constexpr std::string_view kFirmwareModeId = "VID_04D9&PID_8022";

bool ContainsNoCase(std::string_view text, std::string_view part) {
    const auto it =
        std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) ==
                   std::toupper(static_cast<unsigned char>(b));
        });
    return it != text.end();
}

}  // namespace

std::filesystem::path FirmwareBurnerPath(const std::filesystem::path& appFolder) {
    return UpdatePathsFor(appFolder).burner;
}

std::filesystem::path SoftwareUpdaterPath(const std::filesystem::path& appFolder) {
    return appFolder / "orvik_update" / "OrvikUpdate";
}

std::u16string MouseFoundText(std::u16string_view model, bool chineseMode) {
    return FormatText(chineseMode ? u"发现%s游戏鼠标." : u"The %s gaming mouse is found.",
                      {std::u16string(model)});
}

std::u16string MouseMissingText(std::u16string_view model, bool chineseMode) {
    return FormatText(
        chineseMode ? u"没有找到%s游戏鼠标." : u"The %s gaming mouse cannot be found.",
        {std::u16string(model)});
}

DevicePresence::DevicePresence(DevicePresenceParts parts, DeviceHost& host)
    : parts_(std::move(parts)), host_(host) {}

bool DevicePresence::IsMouseInterface(std::string_view identifier) {
    return ContainsNoCase(identifier, kMouseId);
}

DevicePresence::Connect DevicePresence::ConnectDevice() {
    if (!parts_.driver.CreateChannel(parts_.appFolder)) {
        // The window stays up without threads, hooks or device.
        state_ = State::NoChannel;
        return Connect::NoChannel;
    }
    for (int i = 0; i < kFirmwareChecks; ++i) {
        if (FindUsbHardwareId(parts_.usbDevices, kFirmwareModeId)) {
            parts_.programs.StartProgram(FirmwareBurnerPath(parts_.appFolder),
                                         {parts_.chineseMode() ? "1" : "0"});
            state_ = State::Closing;
            host_.PostClose();
            return Connect::FirmwareMode;
        }
        parts_.sleeper.Sleep(kFirmwareCheckPause);
    }
    bool opened = false;
    for (int i = 0; i < kOpenAttempts && !opened; ++i) {
        opened = parts_.driver.OpenDevice();
        if (!opened) parts_.sleeper.Sleep(kOpenPause);
    }
    host_.RefreshPages();
    if (!opened) {
        const auto text = MouseMissingText(parts_.deviceModel, parts_.chineseMode());
        state_ = State::Closing;
        parts_.notifier.ShowInfoToast(text);
        host_.PostClose();
        return Connect::Missing;
    }
    state_ = State::Connected;
    host_.StartWorkerThreads();
    ReadVersion();
    host_.ShowAndRaise();
    parts_.hooks.InstallInputHooks(parts_.mainWindow());
    parts_.hooks.SetReportAllButtons(true);
    host_.StartUpdaterTimer();
    for (int i = 0; i < kButtonCount; ++i)
        if (parts_.settings.buttons[i].function == kFunctionSoftware)
            parts_.hooks.SetButtonIntercept(ButtonEventCode(i), true);
    return Connect::Connected;
}

void DevicePresence::ReadVersion() {
    int version = 0;
    if (parts_.driver.ReadFirmwareVersion(version) && version != 0)
        parts_.firmwareVersion.Set(version);
    else
        parts_.firmwareVersion.Clear();
}

void DevicePresence::OnDeviceArrival(std::string_view identifier) {
    if (!IsMouseInterface(identifier) || state_ == State::NoChannel) return;
    if (parts_.driver.OpenDevice()) {
        StopRetry();
        FinishArrival();
        return;
    }
    // The configuration interface may not be ready yet: retry from a timer, so
    // the window keeps handling everything else, a removal included.
    if (!retrying_) {
        retrying_ = true;
        host_.SetArrivalRetry(true);
    }
}

void DevicePresence::OnArrivalRetry() {
    if (!retrying_) return;
    if (!parts_.driver.OpenDevice()) return;
    StopRetry();
    FinishArrival();
}

void DevicePresence::FinishArrival() {
    if (state_ != State::Closing) state_ = State::Connected;
    ReadVersion();
    parts_.hooks.InstallInputHooks(parts_.mainWindow());
    // The toast is modal: the mouse's other interfaces arrive while it counts
    // down, and each would stack a box of its own.
    if (toastShowing_) return;
    toastShowing_ = true;
    parts_.notifier.ShowInfoToast(MouseFoundText(parts_.deviceModel, parts_.chineseMode()));
    toastShowing_ = false;
}

void DevicePresence::StopRetry() {
    if (!retrying_) return;
    retrying_ = false;
    host_.SetArrivalRetry(false);
}

void DevicePresence::OnDeviceRemoval(std::string_view identifier) {
    // Each interface of the mouse goes away on its own; once the close is on
    // its way, a further removal has nothing left to do.
    if (!IsMouseInterface(identifier) || state_ == State::NoChannel || state_ == State::Closing)
        return;
    StopRetry();
    const auto text = MouseMissingText(parts_.deviceModel, parts_.chineseMode());
    state_ = State::Closing;
    parts_.driver.CloseDevice();
    parts_.hooks.RemoveInputHooks();
    parts_.notifier.ShowInfoToast(text);
    host_.PostClose();
}

}  // namespace qx
