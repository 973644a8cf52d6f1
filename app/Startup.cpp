#include "app/Startup.h"

#include "base/IniFile.h"

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
    if (IsRefused(result.folders.verdict)) {
        // Before any file of it is read or written. The language is the
        // installation's: nothing of the user's may be read yet.
        const bool chinese = ReadIniInt(result.folders.appFolder / "skins" / "languagetype.ini",
                                        u"languagetype", u"value", 0) == 1;
        notifier.ShowInfoMessage(
            DataFolderRefusal(result.folders.verdict, result.folders.dataFolder, chinese));
        result.outcome = StartupResult::Outcome::DataFolderRefused;
        return result;
    }

    result.menuLibrary = MenuLibrary::Load(result.folders.appFolder / kMenuLibraryFile);
    if (!result.menuLibrary) {
        notifier.ShowInfoMessage(kMenuLibraryFailed);
        result.outcome = StartupResult::Outcome::MenuLibraryMissing;
    }
    return result;
}

}  // namespace qx
