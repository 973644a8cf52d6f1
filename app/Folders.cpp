#include "app/Folders.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

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

std::filesystem::path PasswordHomeFolder() {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

std::filesystem::path LocalAppDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
    // Never a shared folder such as /tmp: another user could have made it first.
    std::filesystem::path home;
    if (const char* variable = std::getenv("HOME"); variable && variable[0] == '/')
        home = variable;
    else
        home = PasswordHomeFolder();
    if (home.empty()) return {};
    return home / ".local" / "share";
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

namespace {

// The group of a user private group scheme (a group of the user's own name,
// the default with a umask of 002): its write bit lets nobody else in.
bool IsOwnPrivateGroup(gid_t gid) {
    if (gid != ::getegid()) return false;
    struct passwd user {};
    struct passwd* foundUser = nullptr;
    struct group group {};
    struct group* foundGroup = nullptr;
    std::vector<char> userBuffer(16384), groupBuffer(65536);
    if (::getpwuid_r(::geteuid(), &user, userBuffer.data(), userBuffer.size(), &foundUser) != 0 ||
        foundUser == nullptr ||
        ::getgrgid_r(gid, &group, groupBuffer.data(), groupBuffer.size(), &foundGroup) != 0 ||
        foundGroup == nullptr)
        return false;
    if (std::strcmp(foundUser->pw_name, foundGroup->gr_name) != 0) return false;
    for (char** member = foundGroup->gr_mem; member && *member; ++member)
        if (std::strcmp(*member, foundUser->pw_name) != 0) return false;
    return true;
}

}  // namespace

DataFolderVerdict CheckDataFolder(const std::filesystem::path& folder) {
    auto check = [](const std::filesystem::path& path, bool required) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return required ? DataFolderVerdict::Missing : DataFolderVerdict::Usable;
        if (!S_ISDIR(st.st_mode)) return DataFolderVerdict::NotAFolder;
        if (st.st_uid != ::geteuid()) return DataFolderVerdict::OtherOwner;
        if ((st.st_mode & S_IWOTH) != 0 ||
            ((st.st_mode & S_IWGRP) != 0 && !IsOwnPrivateGroup(st.st_gid)))
            return DataFolderVerdict::OthersCanWrite;
        return DataFolderVerdict::Usable;
    };
    if (folder.empty()) return DataFolderVerdict::NotAFolder;
    const DataFolderVerdict verdict = check(folder, true);
    if (verdict != DataFolderVerdict::Usable) return verdict;
    return check(folder / "Profile", false);
}

std::u16string DataFolderRefusal(DataFolderVerdict verdict, const std::filesystem::path& folder,
                                 bool chineseMode) {
    const std::u16string path = FromUtf8(folder.string());
    switch (verdict) {
        case DataFolderVerdict::Usable:
            return {};
        case DataFolderVerdict::Missing:
        case DataFolderVerdict::NotAFolder:
            return FormatText(chineseMode ? u"无法使用数据文件夹“%s”：它不是文件夹。"
                                          : u"The data folder \"%s\" cannot be used: it is "
                                            u"not a folder.",
                              {path});
        case DataFolderVerdict::OtherOwner:
        case DataFolderVerdict::OthersCanWrite:
            break;
    }
    return FormatText(chineseMode ? u"数据文件夹 %s（或其中的 Profile 文件夹）属于其他用户，"
                                    u"或其他用户可以写入。为安全起见不会使用它。"
                                    u"请确保它属于您并且只有您可以写入（chmod 700）。"
                                  : u"The data folder %s (or its Profile folder) belongs to "
                                    u"another user or can be written by other users, so it is "
                                    u"not used. Make sure it is yours and only you can write to "
                                    u"it (chmod 700).",
                      {path});
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
    if (!dataFolderOverride.empty()) {
        folders.dataFolder = dataFolderOverride;
    } else if (const auto localAppData = LocalAppDataFolder(); !localAppData.empty()) {
        folders.dataFolder = DataFolderBelow(localAppData);
    }
    // No installer lays down the per-user folder on this platform.
    if (!folders.dataFolder.empty()) EnsurePrivateFolder(folders.dataFolder);
    folders.verdict = CheckDataFolder(folders.dataFolder);
    folders.appFolder = ExecutableFolder();
    folders.modelIniPath = folders.dataFolder / "DeviceModel.ini";
    if (!IsRefused(folders.verdict)) folders.deviceModel = ReadDeviceModel(folders.modelIniPath);
    return folders;
}

}  // namespace qx
