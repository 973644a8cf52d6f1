#include "app/FirstStart.h"

#include <memory>
#include <system_error>

#include "base/DataFile.h"
#include "base/FileLock.h"
#include "base/ProfileRecord.h"
#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "macro/MacroTable.h"
#include "stats/UsageCounters.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

bool IsFirstStart(const fs::path& dataFolder) {
    return !Exists(dataFolder / "Profile" / "ConfigInfo.cfg") &&
           !Exists(dataFolder / "Macro.cfg") && !Exists(LanguageCfgPath(dataFolder));
}

bool LayDownDataFolder(const fs::path& dataFolder, bool chineseInstallation) {
    const FileLock lock = LockDataFolder(dataFolder);
    if (lock.busy() || !IsFirstStart(dataFolder)) return false;
    const fs::path profileFolder = dataFolder / "Profile";
    CreateFolder(profileFolder);
    auto table = std::make_unique<ProfileTable>();
    auto settings = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*settings, chineseInstallation);
    for (int slot = 1; slot <= kProfileCount; ++slot) {
        const fs::path path = profileFolder / ("Profile" + std::to_string(slot) + ".cfg");
        WriteFileAtomic(path, AsBytes(*settings));
        ProfileEntry& entry = table->entries[slot - 1];
        entry.magic = kEntryMagic;
        entry.active = slot == 1 ? 1 : 0;
        ToBuffer(FromUtf8(path.string()), entry.path);
    }
    WriteFileAtomic(profileFolder / "ConfigInfo.cfg", AsBytes(*table));
    auto macros = std::make_unique<MacroTable>();
    WriteFileAtomic(dataFolder / "Macro.cfg", macros->Bytes());
    const std::int32_t language = chineseInstallation ? kLanguageChinese : kLanguageEnglish;
    WriteFileAtomic(LanguageCfgPath(dataFolder), AsBytes(language));
    // Counting starts from zero; a later start still reports the file missing.
    WriteUsageCounters(UsageCounters{}, dataFolder);
    return true;
}

void TidyDataFolder(const fs::path& dataFolder) {
    const FileLock lock = LockDataFolder(dataFolder);
    if (lock.busy()) return;  // someone is saving right now; next time
    RemoveStaleTemporaryFiles(dataFolder);
    RemoveStaleTemporaryFiles(dataFolder / "Profile");
}

}  // namespace qx
