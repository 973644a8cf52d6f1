// The start-up of the utility up to the main window: single instance, the two
// events, the folders, the device model and the menu library.
#pragma once

#include <filesystem>
#include <memory>

#include "app/Folders.h"
#include "base/ManualResetEvent.h"
#include "base/MenuLibrary.h"
#include "base/Notifier.h"
#include "platform/SingleInstance.h"

namespace qx {

struct StartupOptions {
    std::string instanceName = SingleInstance::DefaultName();
    std::filesystem::path dataFolderOverride;  // empty: the XDG data folder
    std::filesystem::path appFolderOverride;   // empty: the executable's folder
    std::filesystem::path instanceFolder;      // empty: SingleInstance::DefaultFolder()
};

struct StartupResult {
    enum class Outcome {
        Ready,
        SecondInstance,
        MenuLibraryMissing,
        DataFolderRefused,  // another user's, or writable by others (one message)
    } outcome = Outcome::Ready;
    std::unique_ptr<SingleInstance> instance;  // null when no lock could be held
    std::unique_ptr<ManualResetEvent> syncEvent;
    std::unique_ptr<ManualResetEvent> updateCheckEvent;
    AppFolders folders;
    std::unique_ptr<MenuLibrary> menuLibrary;
};

// A second start posts WM_USER+108 (lParam WM_LBUTTONDBLCLK) to the running
// copy and returns at once, before creating, reading or showing anything.
StartupResult RunStartup(Notifier& notifier, const StartupOptions& options = {});

}  // namespace qx
