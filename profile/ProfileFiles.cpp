#include "profile/ProfileFiles.h"

#include <cstring>
#include <vector>

#include "base/DataFile.h"
#include "base/FileLock.h"
#include "base/Text.h"

namespace qx {
namespace {

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

}  // namespace

ProfileFiles::ProfileFiles(ProfileState& state, std::filesystem::path dataFolder,
                           Notifier& notifier, const Localization& language)
    : state_(state), dataFolder_(std::move(dataFolder)), notifier_(notifier), language_(language) {}

std::filesystem::path ProfileFiles::ProfileFolder() const {
    return dataFolder_ / "Profile";
}

std::filesystem::path ProfileFiles::ConfigInfoPath() const {
    return ProfileFolder() / "ConfigInfo.cfg";
}

std::filesystem::path ProfileFiles::ProfilePath(int slot) const {
    return ProfileFolder() / ("Profile" + std::to_string(slot) + ".cfg");
}

std::u16string ProfileFiles::Text(std::string_view key) const {
    return language_.table.Text(key);
}

bool ProfileFiles::IsShownSelected(int index) const {
    const auto& entry = state_.table.entries[index];
    return entry.magic == kEntryMagic && entry.active != 0;
}

bool ProfileFiles::WriteDefault(const std::filesystem::path& path, ProfileSettings& block) {
    CreateFolder(ProfileFolder());  // an existing folder or a failure is left to the write
    MakeDefaultProfile(block, language_.chineseMode);
    const FileError error = WriteFileAtomic(path, AsBytes(block));
    if (error == FileError::AccessDenied) notifier_.ShowInfoMessage(Text("str_msg4"));
    return error == FileError::None;
}

int ProfileFiles::CreateDefaultProfileFile(const std::filesystem::path& path) {
    auto block = std::make_unique<ProfileSettings>();
    if (!WriteDefault(path, *block)) return 0;
    state_.settings = *block;
    return 1;
}

LoadResult ProfileFiles::ReadProfile(const std::filesystem::path& path, bool reportMissing,
                                     ProfileSettings& into, bool defaultIntoMemory) {
    // Read into a scratch block so that rejected bytes never reach the settings.
    auto scratch = std::make_unique<ProfileSettings>();
    std::memset(scratch.get(), 0, sizeof(ProfileSettings));
    const ReadResult read = ReadFilePrefix(path, AsWritableBytes(*scratch));
    if (!read.ok()) {
        // A FIFO, folder or link loop in the file's place cannot be opened
        // either; it is reported, but not replaced by a default file here.
        if (read.error == FileError::NotAFile && reportMissing)
            notifier_.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(path)}));
        if (IsMissing(read.error) && reportMissing) {
            notifier_.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(path)}));
            if (defaultIntoMemory) {
                CreateDefaultProfileFile(path);
            } else {
                WriteDefault(path, *scratch);
            }
        }
        return LoadResult::CannotOpen;
    }
    if (scratch->magic != kProfileMagic) {
        notifier_.ShowStandardInfo(FormatText(kMsgInvalidProfile, {PathText(path)}));
        return LoadResult::NotAProfile;
    }
    into = *scratch;
    return LoadResult::Loaded;
}

LoadResult ProfileFiles::LoadProfileFile(const std::filesystem::path& path, bool reportMissing) {
    return ReadProfile(path, reportMissing, state_.settings, true);
}

void ProfileFiles::LoadProfileTable() {
    auto& table = state_.table;
    std::memset(&table, 0, sizeof table);
    const ReadResult read = ReadFilePrefix(ConfigInfoPath(), AsWritableBytes(table));
    if (!read.ok()) {
        std::memset(&table, 0, sizeof table);
        if (IsMissing(read.error) || read.error == FileError::NotAFile)
            notifier_.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(ConfigInfoPath())}));
    }
    for (int slot = 1; slot <= kProfileCount; ++slot)
        ToBuffer(PathText(ProfilePath(slot)), table.entries[slot - 1].path);

    bool loaded = false;
    for (int i = 0; i < kProfileCount && !loaded; ++i) {
        auto& entry = table.entries[i];
        if (entry.magic != kEntryMagic || entry.active == 0) continue;
        const std::filesystem::path path = ProfilePath(i + 1);
        if (LoadProfileFile(path, true) == LoadResult::Loaded) {
            state_.activeIndex = i;
            loaded = true;
        } else {
            entry.active = 0;
            CreateDefaultProfileFile(path);
        }
    }
    if (!loaded) {
        const std::filesystem::path path = ProfilePath(1);
        if (LoadProfileFile(path, false) != LoadResult::Loaded && !CreateDefaultProfileFile(path)) {
            // The default could not be written; the session still works on it.
            MakeDefaultProfile(state_.settings, language_.chineseMode);
        }
        table.entries[0].active = 1;
        state_.activeIndex = 0;
    }
    std::copy(std::begin(state_.ActiveEntry().macroIds), std::end(state_.ActiveEntry().macroIds),
              state_.macroIds.begin());
    if (onSelectionShown) onSelectionShown();
}

bool ProfileFiles::SelectProfile(int index) {
    if (index < 0 || index >= kProfileCount) return false;
    auto& entry = state_.table.entries[index];
    auto loaded = std::make_unique<ProfileSettings>();
    const std::filesystem::path path = ProfilePath(index + 1);
    if (ReadProfile(path, true, *loaded, false) != LoadResult::Loaded) return false;

    state_.settings = *loaded;
    state_.activeIndex = index;
    std::copy(std::begin(entry.macroIds), std::end(entry.macroIds), state_.macroIds.begin());
    for (auto& other : state_.table.entries) other.active = 0;
    entry.active = 1;
    if (onSelectionShown) onSelectionShown();
    if (onSettingsReplaced) onSettingsReplaced();
    return true;
}

void ProfileFiles::ReportSaveFailure(const std::filesystem::path& path, FileError error) const {
    if (error == FileError::None) return;
    const bool chinese = language_.chineseMode;
    // A language file without the text must not make the failure silent.
    if (IsMissing(error) && !Text("str_msg2").empty())
        notifier_.ShowStandardInfo(FormatText(Text("str_msg2"), {PathText(path)}));
    else if (error == FileError::AccessDenied && !Text("str_msg5").empty())
        notifier_.ShowStandardInfo(FormatText(Text("str_msg5")));
    else if (error == FileError::Busy)
        notifier_.ShowStandardInfo(FormatText(kMsgDataFolderBusy.In(chinese), {PathText(path)}));
    else
        notifier_.ShowStandardInfo(FormatText(kMsgSaveFailed.In(chinese), {PathText(path)}));
}

bool ProfileFiles::SaveActiveProfile() {
    const std::filesystem::path path = ProfilePath(state_.activeIndex + 1);
    const FileError error = WriteFileAtomic(path, AsBytes(state_.settings));
    ReportSaveFailure(path, error);
    return error == FileError::None;
}

bool ProfileFiles::SaveProfileTable() {
    const FileError error = WriteFileAtomic(ConfigInfoPath(), AsBytes(state_.table));
    ReportSaveFailure(ConfigInfoPath(), error);
    return error == FileError::None;
}

void ProfileFiles::MergeTableFromDisk() {
    auto disk = std::make_unique<ProfileTable>();
    std::memset(disk.get(), 0, sizeof(ProfileTable));
    const ReadResult read = ReadFilePrefix(ConfigInfoPath(), AsWritableBytes(*disk));
    // Nothing (whole) to merge with: the table in memory is written as it is.
    if (!read.ok() || read.bytesRead != sizeof(ProfileTable)) return;
    for (int i = 0; i < kProfileCount; ++i) {
        disk->entries[i].active = state_.table.entries[i].active;
        std::memcpy(disk->entries[i].path, state_.table.entries[i].path,
                    sizeof disk->entries[i].path);
    }
    std::memcpy(disk->entries[state_.activeIndex].macroIds, state_.ActiveEntry().macroIds,
                sizeof state_.ActiveEntry().macroIds);
    state_.table = *disk;
}

bool ProfileFiles::SaveAfterSync() {
    const std::filesystem::path profilePath = ProfilePath(state_.activeIndex + 1);
    FileLock lock = LockDataFolder(dataFolder_);
    FileError profileError = FileError::Busy;
    FileError tableError = FileError::None;
    if (!lock.busy()) {
        profileError = WriteFileAtomic(profilePath, AsBytes(state_.settings));
        if (profileError == FileError::None) {
            MergeTableFromDisk();
            tableError = WriteFileAtomic(ConfigInfoPath(), AsBytes(state_.table));
        }
    }
    // The messages wait on the user; the folder is not held meanwhile.
    lock.Release();
    ReportSaveFailure(profilePath, profileError);
    ReportSaveFailure(ConfigInfoPath(), tableError);
    return profileError == FileError::None && tableError == FileError::None;
}

bool ProfileFiles::ExportProfile(const std::filesystem::path& path) {
    std::copy(state_.macroIds.begin(), state_.macroIds.end(), state_.ActiveEntry().macroIds);
    std::vector<std::byte> file(kExchangeFileSize);
    std::memcpy(file.data(), &state_.settings, sizeof(ProfileSettings));
    std::memcpy(file.data() + sizeof(ProfileSettings), &state_.table, sizeof(ProfileTable));
    if (WriteFileAtomic(path, file) != FileError::None) {
        notifier_.ShowStandardInfo(FormatText(kMsgExportFailed, {PathText(path)}));
        return false;
    }
    notifier_.ShowStandardInfo(FormatText(kMsgExportSuccess, {PathText(path)}));
    return true;
}

bool ProfileFiles::ImportProfile(const std::filesystem::path& path) {
    std::vector<std::byte> file(kExchangeFileSize, std::byte{0});
    const ReadResult read = ReadFilePrefix(path, file);
    auto scratch = std::make_unique<ProfileSettings>();
    auto scratchTable = std::make_unique<ProfileTable>();
    std::memcpy(scratch.get(), file.data(), sizeof(ProfileSettings));
    std::memcpy(scratchTable.get(), file.data() + sizeof(ProfileSettings), sizeof(ProfileTable));
    if (!read.ok() || scratch->magic != kProfileMagic) {
        notifier_.ShowStandardInfo(FormatText(kMsgInvalidProfile, {PathText(path)}));
        return false;
    }
    state_.settings = *scratch;
    auto& active = state_.ActiveEntry();
    // The last flagged entry wins; the scratch magics are not looked at.
    for (const auto& entry : scratchTable->entries)
        if (entry.active != 0)
            std::copy(std::begin(entry.macroIds), std::end(entry.macroIds), active.macroIds);
    std::copy(std::begin(active.macroIds), std::end(active.macroIds), state_.macroIds.begin());
    notifier_.ShowStandardInfo(FormatText(kMsgImportSuccess, {PathText(path)}));
    if (onSettingsReplaced) onSettingsReplaced();
    return true;
}

}  // namespace qx
