#include "app/Folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/IniFile.h"
#include "base/Text.h"
#include "tests/common/ScopedEnv.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::TempDir;

TEST(Folders, ExecutableFolderIsTheTextBeforeTheLastSlash) {
    EXPECT_EQ(FolderOfExecutable("/opt/orvik/app/qx-driver"), "/opt/orvik/app");
    EXPECT_EQ(FolderOfExecutable("qx-driver"), "");
    EXPECT_EQ(FolderOfExecutable("/qx-driver"), "");
}

TEST(Folders, OnlyTheSixExactNamesAreModels) {
    for (const auto* name : {u"QX100", u"QX200", u"QX300", u"QX400", u"QX500", u"QX600"})
        EXPECT_TRUE(IsValidModel(name));
    for (const auto* name : {u"NULL", u"qx100", u"Qx600", u" QX100", u"QX100 ", u"QX700", u""})
        EXPECT_FALSE(IsValidModel(name)) << ToUtf8(name);
}

TEST(Folders, DeviceModelIsReadAsWritten) {
    TempDir dir;
    const auto ini = dir / "DeviceModel.ini";
    EXPECT_EQ(ReadDeviceModel(ini), u"NULL");
    test::WriteText(ini, "[Orvik]\nDeviceModel= QX100\n");
    EXPECT_FALSE(IsValidModel(ReadDeviceModel(ini)));
    test::WriteText(ini, "[Orvik]\nDeviceModel=qx100\n");
    EXPECT_FALSE(IsValidModel(ReadDeviceModel(ini)));
    ASSERT_TRUE(WriteDeviceModel(ini, u"QX400"));
    EXPECT_EQ(ReadDeviceModel(ini), u"QX400");
}

TEST(Folders, DataFolderIsCreatedPrivateWithItsParents) {
    TempDir dir;
    const auto data = DataFolderBelow(dir.path() / "share");
    EXPECT_EQ(data, dir.path() / "share/ORVIK/6E41");
    const auto folders = ResolveAppFolders(data);
    ASSERT_TRUE(std::filesystem::is_directory(data));
    struct stat st {};
    ASSERT_EQ(::stat(data.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(folders.modelIniPath, data / "DeviceModel.ini");
    EXPECT_EQ(folders.deviceModel, u"NULL");
    EXPECT_FALSE(folders.appFolder.empty());
}

// Without HOME the folder once became /tmp/.local/share, which another user
// can create first.
TEST(Folders, WithoutHomeTheDataFolderComesFromThePasswordDatabase) {
    test::ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        test::ScopedEnv variable("HOME", home);
        const auto folder = LocalAppDataFolder();
        EXPECT_EQ(folder.string().rfind("/tmp", 0), std::string::npos) << folder;
        ASSERT_FALSE(PasswordHomeFolder().empty());
        EXPECT_EQ(folder, PasswordHomeFolder() / ".local" / "share");
    }
    test::ScopedEnv variable("HOME", "/home/someone");
    EXPECT_EQ(LocalAppDataFolder(), std::filesystem::path("/home/someone/.local/share"));
}

TEST(Folders, AFolderOthersCanWriteOrOwnIsRefused) {
    TempDir dir;
    const auto folder = dir / "data";
    EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::Missing);
    EXPECT_FALSE(IsRefused(CheckDataFolder(folder)));
    ASSERT_TRUE(EnsurePrivateFolder(folder));
    EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::Usable);
    for (const mode_t mode : {0777, 0702}) {
        ::chmod(folder.c_str(), mode);
        EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::OthersCanWrite) << mode;
    }
    ::chmod(folder.c_str(), 0700);
    std::filesystem::create_directory(folder / "Profile");
    ::chmod((folder / "Profile").c_str(), 0777);
    EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::OthersCanWrite);
    ::chmod((folder / "Profile").c_str(), 0700);
    test::WriteText(dir / "file", "");
    EXPECT_EQ(CheckDataFolder(dir / "file"), DataFolderVerdict::NotAFolder);
    EXPECT_EQ(CheckDataFolder({}), DataFolderVerdict::NotAFolder);
    if (::geteuid() == 0) {  // only root can give a folder away
        // Group write is for the group's members: fine for the user's own
        // private group only.
        ASSERT_EQ(::chown(folder.c_str(), 0, 65534), 0);
        ::chmod(folder.c_str(), 0770);
        EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::OthersCanWrite);
        ::chmod(folder.c_str(), 0700);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(CheckDataFolder(folder), DataFolderVerdict::OtherOwner);
        const auto text = DataFolderRefusal(DataFolderVerdict::OtherOwner, folder, false);
        EXPECT_NE(text.find(FromUtf8(folder.string())), std::u16string::npos);
    }
}

}  // namespace
}  // namespace qx
