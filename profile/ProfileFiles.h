// The five profiles on disk: the profile table ConfigInfo.cfg, the profile
// files Profile1.cfg ... Profile5.cfg, selection, saving and the exchange file.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "base/DataFile.h"
#include "base/Notifier.h"
#include "base/ProfileRecord.h"
#include "i18n/LanguageTable.h"

namespace qx {

inline constexpr std::size_t kExchangeFileSize = sizeof(ProfileSettings) + sizeof(ProfileTable);

enum class LoadResult : int { CannotOpen = 0, Loaded = 1, NotAProfile = 255 };

class ProfileFiles {
public:
    ProfileFiles(ProfileState& state, std::filesystem::path dataFolder, Notifier& notifier,
                 const Localization& language);

    std::filesystem::path ProfileFolder() const;
    std::filesystem::path ConfigInfoPath() const;
    // Files are always read and written here, whatever the path fields of
    // the table say: those are kept for the file format only (cut to 260
    // units and converted, they cannot name every folder).
    std::filesystem::path ProfilePath(int slot) const;  // slot 1-5

    // Start-up: reads the table, refreshes the five paths, loads the active
    // profile (falling back to Profile1) and takes over its macro ids.
    void LoadProfileTable();
    // Reads a profile file into the active settings (only when its magic
    // matches). A missing file, when reportMissing, is reported and re-created
    // with the default profile, which then is also in memory.
    LoadResult LoadProfileFile(const std::filesystem::path& path, bool reportMissing);
    // Writes the default profile to the path and puts it in memory; 1 / 0.
    int CreateDefaultProfileFile(const std::filesystem::path& path);
    // Makes slot index (0-based) active. A profile that does not load leaves
    // the active entry, the settings, the macro ids and the flags as they were.
    bool SelectProfile(int index);
    // Write the active settings to the slot's file / the table to
    // ConfigInfo.cfg. Every failure is reported: str_msg2 (not found, with
    // the path), str_msg5 (access denied), else that the file could not be
    // saved. The settings stay in memory and the old file stays whole.
    bool SaveActiveProfile();
    bool SaveProfileTable();
    // The write-back after a synchronisation, under the data folder's lock:
    // the active profile, then (only when that worked, so the table never
    // flags a profile whose file is old) the table. The table is merged with
    // what ConfigInfo.cfg holds now, so that the macro ids another program
    // saved for other slots are kept: this program's active flags, paths and
    // active entry win. True when both were written.
    bool SaveAfterSync();
    bool ExportProfile(const std::filesystem::path& path);
    bool ImportProfile(const std::filesystem::path& path);

    // Profile button n (0-based) is shown selected.
    bool IsShownSelected(int index) const;

    // Observers the windows attach: the profile buttons' selected state, and a
    // refresh of the pages that show ProfileSettings.
    std::function<void()> onSelectionShown;
    std::function<void()> onSettingsReplaced;

private:
    void ReportSaveFailure(const std::filesystem::path& path, FileError error) const;
    void MergeTableFromDisk();
    LoadResult ReadProfile(const std::filesystem::path& path, bool reportMissing,
                           ProfileSettings& into, bool defaultIntoMemory);
    bool WriteDefault(const std::filesystem::path& path, ProfileSettings& block);
    std::u16string Text(std::string_view key) const;

    ProfileState& state_;
    std::filesystem::path dataFolder_;
    Notifier& notifier_;
    const Localization& language_;
};

}  // namespace qx
