// What the utility's main window works with besides what it owns: the results
// of the start-up and the platform's services. The program's start-up builds
// the real ones; tests build their own.
#pragma once

#include <filesystem>

#include "app/DevicePresence.h"
#include "app/Folders.h"
#include "base/Clock.h"
#include "base/KeyboardLayout.h"
#include "base/ManualResetEvent.h"
#include "base/MenuLibrary.h"
#include "base/Notifier.h"
#include "buttons/PointerSettings.h"
#include "device/HidBackend.h"
#include "i18n/LanguageTable.h"
#include "macro/InputHooks.h"
#include "platform/DesktopActions.h"
#include "platform/HotPlug.h"
#include "platform/HttpDownload.h"
#include "platform/PointerPosition.h"
#include "platform/SingleInstance.h"
#include "platform/UsbDevices.h"
#include "support/FirmwareBurner.h"

namespace qx::app {

struct DriverContext {
    AppFolders& folders;
    ManualResetEvent& syncEvent;
    ManualResetEvent& updateCheckEvent;
    const MenuLibrary& menuLibrary;
    SingleInstance* instance;  // wakes from a second start; null in tests
    Localization& language;
    Notifier& notifier;
    HidBackend& hidBackend;
    UsbDeviceList& usbDevices;
    HotPlugSource* hotPlug;  // null: no hot-plug events
    Sleeper& sleeper;
    InputHooks& hooks;
    PointerSettings& pointer;
    const KeyboardLayout& keyboardLayout;
    DesktopActions& actions;
    ProgramStarter& programs;
    HttpDownload& http;                      // the update check's downloads
    FirmwareBurner& burner;                  // started after a firmware download
    PointerPositionSource& pointerPosition;  // sampled for the usage statistics
};

}  // namespace qx::app
