#include "app/Folders.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "base/IniFile.h"
#include "base/Text.h"
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

}  // namespace
}  // namespace qx
