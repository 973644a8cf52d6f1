#include "app/Startup.h"

namespace qx {

StartupResult RunStartup(Notifier& notifier, const StartupOptions& options) {
    StartupResult result;
    result.instance = SingleInstance::Acquire(options.instanceName);
    if (!result.instance) {
        SingleInstance::PostToRunning(options.instanceName,
                                      {kMsgTrayCallback, 0, kWmLButtonDblClk});
        result.outcome = StartupResult::Outcome::SecondInstance;
        return result;
    }
    result.syncEvent = std::make_unique<ManualResetEvent>();
    result.updateCheckEvent = std::make_unique<ManualResetEvent>();
    result.folders = ResolveAppFolders(options.dataFolderOverride);
    if (!options.appFolderOverride.empty()) result.folders.appFolder = options.appFolderOverride;

    result.menuLibrary = MenuLibrary::Load(result.folders.appFolder / kMenuLibraryFile);
    if (!result.menuLibrary) {
        notifier.ShowInfoMessage(kMenuLibraryFailed);
        result.outcome = StartupResult::Outcome::MenuLibraryMissing;
    }
    return result;
}

}  // namespace qx
