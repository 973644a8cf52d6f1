// The folders every part of the utility works in, and the chosen device model.
#pragma once

#include <filesystem>
#include <string>

namespace qx {

inline constexpr char16_t kNoModel[] = u"NULL";
inline constexpr char16_t kModelNames[6][6] = {u"QX100", u"QX200", u"QX300",
                                               u"QX400", u"QX500", u"QX600"};

struct AppFolders {
    std::filesystem::path appFolder;   // folder of the executable, no trailing separator
    std::filesystem::path dataFolder;  // <local app data>/ORVIK/6E41
    std::filesystem::path modelIniPath;
    std::u16string deviceModel = kNoModel;

    std::filesystem::path SkinFolder() const;
};

// Folder of a path to an executable: the text before the last '/', or empty
// when there is none.
std::filesystem::path FolderOfExecutable(const std::string& executablePath);

// The running executable's folder (/proc/self/exe).
std::filesystem::path ExecutableFolder();

// $XDG_DATA_HOME when set and absolute, else $HOME/.local/share.
std::filesystem::path LocalAppDataFolder();
std::filesystem::path DataFolderBelow(const std::filesystem::path& localAppData);

// Creates the folder and its missing parents with mode 0700.
bool EnsurePrivateFolder(const std::filesystem::path& folder);

// Exactly one of the six names, letter case and blanks included.
bool IsValidModel(std::u16string_view model);

// Reads DeviceModel.ini: section "Orvik", key "DeviceModel", default "NULL".
std::u16string ReadDeviceModel(const std::filesystem::path& modelIniPath);
bool WriteDeviceModel(const std::filesystem::path& modelIniPath, std::u16string_view model);

// appFolder from the executable, dataFolder from the environment (or the given
// override), the model from DeviceModel.ini. Creates dataFolder when missing.
AppFolders ResolveAppFolders(const std::filesystem::path& dataFolderOverride = {});

}  // namespace qx
