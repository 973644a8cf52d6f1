#include "app/Folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/IniFile.h"
#include "base/Text.h"

namespace qx {

std::filesystem::path AppFolders::SkinFolder() const {
    // Concatenated, not joined: an empty appFolder gives "/skins/...", as it should.
    std::string text = appFolder.string();
    text += "/skins/";
    text += ToUtf8(deviceModel);
    return text;
}

std::filesystem::path FolderOfExecutable(const std::string& executablePath) {
    const auto slash = executablePath.rfind('/');
    if (slash == std::string::npos) return {};
    return std::filesystem::path(executablePath.substr(0, slash));
}

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : FolderOfExecutable(self.string());
}

std::filesystem::path LocalAppDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && home[0] ? home : "/tmp") / ".local" / "share";
}

std::filesystem::path DataFolderBelow(const std::filesystem::path& localAppData) {
    return localAppData / "ORVIK" / "6E41";
}

bool EnsurePrivateFolder(const std::filesystem::path& folder) {
    std::filesystem::path partial;
    for (const auto& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec);
}

bool IsValidModel(std::u16string_view model) {
    for (const auto* name : kModelNames)
        if (model == name) return true;
    return false;
}

std::u16string ReadDeviceModel(const std::filesystem::path& modelIniPath) {
    return ReadIniString(modelIniPath, u"Orvik", u"DeviceModel", kNoModel);
}

bool WriteDeviceModel(const std::filesystem::path& modelIniPath, std::u16string_view model) {
    return WriteIniString(modelIniPath, u"Orvik", u"DeviceModel", model);
}

AppFolders ResolveAppFolders(const std::filesystem::path& dataFolderOverride) {
    AppFolders folders;
    folders.dataFolder =
        dataFolderOverride.empty() ? DataFolderBelow(LocalAppDataFolder()) : dataFolderOverride;
    // No installer lays down the per-user folder on this platform.
    EnsurePrivateFolder(folders.dataFolder);
    folders.appFolder = ExecutableFolder();
    folders.modelIniPath = folders.dataFolder / "DeviceModel.ini";
    folders.deviceModel = ReadDeviceModel(folders.modelIniPath);
    return folders;
}

}  // namespace qx
