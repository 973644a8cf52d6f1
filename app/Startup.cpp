#include "app/Startup.h"

#include <cstdio>

#include "base/IniFile.h"

namespace qx {

StartupResult RunStartup(Notifier& notifier, const StartupOptions& options) {
    StartupResult result;
    const auto folder = options.instanceFolder.empty()
                            ? SingleInstance::DefaultFolder()
                            : std::optional<std::filesystem::path>(options.instanceFolder);
    auto acquired = folder ? SingleInstance::Acquire(options.instanceName, *folder)
                           : SingleInstance::Acquired{SingleInstance::Outcome::Unavailable, {}};
    if (acquired.outcome == SingleInstance::Outcome::HeldElsewhere) {
        SingleInstance::PostToRunning(options.instanceName, *folder);
        result.outcome = StartupResult::Outcome::SecondInstance;
        return result;
    }
    // Better a second copy now and then than none at all.
    if (acquired.outcome == SingleInstance::Outcome::Unavailable)
        std::fprintf(stderr,
                     "qx-driver: no private folder for the single-instance lock "
                     "($XDG_RUNTIME_DIR, ~/.cache): starting without it\n");
    result.instance = std::move(acquired.instance);
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
