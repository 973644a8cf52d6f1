#include "base/IniFile.h"

#include <gtest/gtest.h>

#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::TempDir;

TEST(IniFile, ReadsLikeThePrivateProfileFunctions) {
    TempDir dir;
    const auto path = dir / "a.ini";
    test::WriteText(path,
                    "; comment\r\n[Other]\r\nkey=other\r\n[ORVIK]\r\ndevicemodel=QX300\r\n"
                    "Quoted=\"a b\"\r\nvalue=12abc\r\n");
    EXPECT_EQ(ReadIniString(path, u"Orvik", u"DeviceModel", u"NULL"), u"QX300");
    EXPECT_EQ(ReadIniString(path, u"Orvik", u"Quoted", u""), u"a b");
    EXPECT_EQ(ReadIniString(path, u"Orvik", u"key", u"none"), u"none");  // other section's key
    EXPECT_EQ(ReadIniString(dir / "missing.ini", u"Orvik", u"DeviceModel", u"NULL"), u"NULL");
    EXPECT_EQ(ReadIniInt(path, u"Orvik", u"value", 7), 12);
    EXPECT_EQ(ReadIniInt(path, u"Orvik", u"Quoted", 7), 0);
    EXPECT_EQ(ReadIniInt(path, u"Orvik", u"absent", 7), 7);
}

TEST(IniFile, WriteUpdatesInPlaceAndKeepsTheRest) {
    TempDir dir;
    const auto path = dir / "DeviceModel.ini";
    test::WriteText(path, "[Orvik]\nDeviceModel=NULL\nOther=1\n\n[Keep]\nx=y\n");
    ASSERT_TRUE(WriteIniString(path, u"Orvik", u"DeviceModel", u"QX500"));
    ASSERT_TRUE(WriteIniString(path, u"Keep", u"new", u"2"));
    ASSERT_TRUE(WriteIniString(path, u"Added", u"k", u"v"));
    const auto bytes = test::ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "[Orvik]\nDeviceModel=QX500\nOther=1\n\n[Keep]\nx=y\nnew=2\n[Added]\nk=v\n");
}

TEST(IniFile, WriteCreatesMissingFile) {
    TempDir dir;
    const auto path = dir / "new.ini";
    ASSERT_TRUE(WriteIniString(path, u"Orvik", u"DeviceModel", u"QX100"));
    EXPECT_EQ(ReadIniString(path, u"Orvik", u"DeviceModel", u"NULL"), u"QX100");
}

}  // namespace
}  // namespace qx
