#include "profile/DeviceWriter.h"

#include <optional>

#include "buttons/ButtonAssignment.h"
#include "device/DeviceProtocol.h"
#include "macro/MacroImage.h"

namespace qx {
namespace {

using namespace std::chrono_literals;

constexpr auto kStepPause = 50ms;
constexpr auto kKeyMatrixSettle = 1500ms;
constexpr auto kFinalPause = 300ms;

// The slices in which the device lock is waited for: a shutdown during the
// wait is noticed within one.
constexpr auto kLockSlice = 200ms;

constexpr const char16_t* kFailureTexts[] = {
    u"write mousekey metix fail.\n", u"Write mouse LED color failed.\n",
    u"Write mouse effect failed.\n", u"Write LED color123 failed.\n",
    u"Write mouse touch failed.\n",  u"Write mouse DPI failed.\n",
    u"Write mouse macro failed.\n",  u"The mouse is being written by another program.\n",
};

}  // namespace

std::u16string SyncFailureText(LParam code) {
    if (code < 0 || code >= static_cast<LParam>(std::size(kFailureTexts))) return {};
    return kFailureTexts[code];
}

std::u16string SyncWarningText(LParam warnings) {
    std::u16string text;
    if (warnings & kSyncWarnDpiLevel) text += u"Write mouse DPI level failed.\n";
    if (warnings & kSyncWarnReportRate) text += u"Write mouse report rate failed.\n";
    return text;
}

bool SyncControl::RequestSync() {
    if (!syncReady.load()) return false;
    syncEvent.Set();
    return true;
}

DeviceWriter::DeviceWriter(SyncControl& control, CUSBDriver& driver, const ProfileState& profile,
                           const MacroTable& macros, const Localization& language,
                           InputHooks& hooks, PointerSettings& pointer, Sleeper& sleeper)
    : control_(control),
      driver_(driver),
      profile_(profile),
      macros_(macros),
      language_(language),
      hooks_(hooks),
      pointer_(pointer),
      sleeper_(sleeper) {}

void DeviceWriter::DeviceWriterThread() {
    while (control_.writerRunning.load()) {
        if (control_.syncEvent.Wait() == ManualResetEvent::WaitResult::Closed) return;
        if (!control_.writerRunning.load()) return;
        if (RunPass() == -2) return;
    }
}

void DeviceWriter::Progress(const TargetHandle& progress, int percent) {
    if (progress) progress->PostMessage(kMsgProgress, static_cast<WParam>(percent), 0);
}

int DeviceWriter::RunPass() {
    control_.syncEvent.Reset();
    control_.syncReady.store(false);
    sleeper_.Sleep(kStepPause);
    const TargetHandle progress = control_.progressWindow.load();
    const TargetHandle main = control_.mainWindow.load();
    if (!main) {
        if (progress) progress->PostMessage(kWmClose, 0, 0);
        control_.writerRunning.store(false);
        return -2;
    }
    LParam warnings = 0;
    const int failure = WritePass(progress, warnings);
    if (failure >= 0)
        main->PostMessage(kMsgSyncFailed, 0, failure);
    else
        main->PostMessage(kMsgSyncSucceeded, 0, warnings);
    return failure;
}

std::unique_ptr<HidDeviceLock> DeviceWriter::LockDevice() {
    const auto wait = control_.deviceLockWait;
    auto lock = driver_.LockDevice(std::min(wait, std::chrono::milliseconds(kLockSlice)));
    for (auto waited = std::chrono::milliseconds(kLockSlice);
         !lock && waited < wait && control_.writerRunning.load(); waited += kLockSlice)
        lock = driver_.LockDevice(std::min(wait - waited, std::chrono::milliseconds(kLockSlice)));
    return lock;
}

int DeviceWriter::WritePass(const TargetHandle& progress, LParam& warnings) {
    // The whole pass holds the mouse: another program's pass must not mix its
    // reports into this one's.
    const auto deviceLock = LockDevice();
    if (!deviceLock) return kSyncFailDeviceBusy;

    const ProfileSettings& settings = profile_.settings;
    ButtonValues values{};
    int macroSlot = 1;

    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonSetting& button = settings.buttons[i];
        const std::uint32_t eventCode = ButtonEventCode(i);
        hooks_.SetButtonIntercept(eventCode, false);
        Progress(progress, 7 * i);
        if (!HasDeviceValue(button.function)) continue;

        std::optional<MacroSlotCode> macro;
        if (button.function == kFunctionMacro) {
            const auto id =
                static_cast<std::uint32_t>(profile_.macroIds[static_cast<std::size_t>(i)]);
            if (auto image = EncodeMacroById(macros_, id, macroSlot, language_.currentLanguage)) {
                // A key matrix pointing at a slot the mouse never stored would
                // play whatever the slot held before.
                if (!driver_.WriteMacro(macroSlot, image->bytes, image->lengthByte()))
                    return kSyncFailMacro;
                sleeper_.Sleep(kStepPause);
                macro = MacroSlotCode{static_cast<std::uint8_t>(macroSlot), image->lengthByte()};
                ++macroSlot;
            }
        } else if (HoldsBackNativeEvent(button)) {
            hooks_.SetButtonIntercept(eventCode, true);
        }
        values[static_cast<std::size_t>(i)] = DeviceButtonCode(i, button, macro);
        sleeper_.Sleep(kStepPause);
    }

    if (!driver_.WriteKeyMatrix(BuildKeyMatrix(values))) return kSyncFailKeyMatrix;
    sleeper_.Sleep(kKeyMatrixSettle);
    Progress(progress, 60);

    if (!driver_.WriteLedColour(settings.colours[3])) return kSyncFailLedColour;
    const EffectBytes effect = LightingEffect(settings);
    if (!driver_.WriteEffect(effect.mode, effect.parameter1, effect.parameter2))
        return kSyncFailEffect;
    if (settings.lightingMode == 5 && settings.ownColours == 1) {
        const std::uint32_t own[3] = {settings.colours[0], settings.colours[1],
                                      settings.colours[2]};
        if (!driver_.WriteColourBlock(BuildColourBlock(own))) return kSyncFailColourBlock;
    }
    Progress(progress, 70);

    if (!driver_.WriteTouch(settings.touchLight, settings.lightingMode)) return kSyncFailTouch;
    Progress(progress, 75);

    const std::span<const std::int32_t, kDpiLevelCount> levels(settings.dpiList, kDpiLevelCount);
    if (!driver_.WriteDpiTable(BuildDpiTable(levels))) return kSyncFailDpiTable;
    // A firmware may not answer the next two: the pass goes on, but the
    // main window says which one did not reach the mouse.
    if (!driver_.WriteDpiLevel(DpiLevelNumber(levels))) warnings |= kSyncWarnDpiLevel;
    Progress(progress, 80);

    ApplyWindowsMouseSettings(settings, pointer_);
    Progress(progress, 90);

    if (!driver_.WriteReportRate(settings.reportInterval)) warnings |= kSyncWarnReportRate;
    Progress(progress, 100);
    sleeper_.Sleep(kFinalPause);
    return -1;
}

bool OnSyncSucceeded(SyncControl& control, ProfileState& profile, ProfileFiles& files,
                     InputHooks& hooks, TargetHandle mainWindow) {
    std::copy(profile.macroIds.begin(), profile.macroIds.end(), profile.ActiveEntry().macroIds);
    const bool saved = files.SaveAfterSync();
    hooks.RemoveInputHooks();
    hooks.InstallInputHooks(std::move(mainWindow));
    hooks.SetReportAllButtons(true);
    control.syncReady.store(true);
    return saved;
}

void OnSyncFailed(SyncControl& control, LParam code, Notifier& notifier) {
    notifier.ShowInfoMessage(SyncFailureText(code));
    control.syncReady.store(true);
}

}  // namespace qx
