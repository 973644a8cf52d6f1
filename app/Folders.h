// The folders every part of the utility works in, and the chosen device model.
#pragma once

#include <filesystem>
#include <string>

namespace qx {

inline constexpr char16_t kNoModel[] = u"NULL";
inline constexpr char16_t kModelNames[6][6] = {u"QX100", u"QX200", u"QX300",
                                               u"QX400", u"QX500", u"QX600"};

// Whether a data folder may be used (CheckDataFolder).
enum class DataFolderVerdict { Usable, Missing, NotAFolder, OtherOwner, OthersCanWrite };

struct AppFolders {
    std::filesystem::path appFolder;   // folder of the executable, no trailing separator
    std::filesystem::path dataFolder;  // <local app data>/ORVIK/6E41
    std::filesystem::path modelIniPath;
    std::u16string deviceModel = kNoModel;
    DataFolderVerdict verdict = DataFolderVerdict::Usable;

    std::filesystem::path SkinFolder() const;
};

// Folder of a path to an executable: the text before the last '/', or empty
// when there is none.
std::filesystem::path FolderOfExecutable(const std::string& executablePath);

// The running executable's folder (/proc/self/exe).
std::filesystem::path ExecutableFolder();

// $XDG_DATA_HOME when set and absolute, else <home>/.local/share, where the
// home folder is $HOME when set and absolute, else the user's entry in the
// password database. Empty when neither gives one.
std::filesystem::path LocalAppDataFolder();
// The home folder of the user running the program, from the password database.
std::filesystem::path PasswordHomeFolder();
std::filesystem::path DataFolderBelow(const std::filesystem::path& localAppData);

// Creates the folder and its missing parents with mode 0700.
bool EnsurePrivateFolder(const std::filesystem::path& folder);

// Whether the data folder may be used: it (links followed) and its Profile
// folder, when there is one, must belong to the user running the program and
// be writable by nobody else. Another user could otherwise put files in it
// or take the user's profiles.
// A missing folder is not refused (its files report their own failures); an
// empty path (no home folder at all) is NotAFolder.
DataFolderVerdict CheckDataFolder(const std::filesystem::path& folder);
inline bool IsRefused(DataFolderVerdict verdict) {
    return verdict != DataFolderVerdict::Usable && verdict != DataFolderVerdict::Missing;
}
// The message for a verdict other than Usable, with the folder's path.
std::u16string DataFolderRefusal(DataFolderVerdict verdict, const std::filesystem::path& folder,
                                 bool chineseMode);

// Exactly one of the six names, letter case and blanks included.
bool IsValidModel(std::u16string_view model);

// Reads DeviceModel.ini: section "Orvik", key "DeviceModel", default "NULL".
std::u16string ReadDeviceModel(const std::filesystem::path& modelIniPath);
bool WriteDeviceModel(const std::filesystem::path& modelIniPath, std::u16string_view model);

// appFolder from the executable, dataFolder from the environment (or the given
// override), the model from DeviceModel.ini. Creates dataFolder when missing;
// reads nothing from a data folder that CheckDataFolder refuses (`verdict`).
AppFolders ResolveAppFolders(const std::filesystem::path& dataFolderOverride = {});

}  // namespace qx
