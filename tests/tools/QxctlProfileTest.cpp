#include <gtest/gtest.h>

#include <cstring>

#include "base/ProfileRecord.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::AppProgram;
using test::RunProgram;
using test::TempDir;

TEST(QxctlProfiles, EmptyFolderBehavesAsTheFirstStart) {
    TempDir dir;
    const auto r = RunProgram(AppProgram("qxctl"), {"--data-dir", dir.path().string(), "profiles"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Failed to open file, check whether there is a " +
                         (dir / "Profile/ConfigInfo.cfg").string() + " path?"),
              std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(dir / "Profile/Profile1.cfg"), sizeof(ProfileSettings));
    EXPECT_NE(r.out.find("active profile: 1"), std::string::npos);

    const auto show = RunProgram(AppProgram("qxctl"),
                                 {"--data-dir", dir.path().string(), "profile", "show", "--json"});
    ASSERT_EQ(show.exitCode, 0) << show.err;
    EXPECT_NE(show.out.find(R"("dpiLevels":[750,1250,1500,2000,2500,3500,4000])"),
              std::string::npos);
    EXPECT_NE(show.out.find(R"("name":"Scroll down","device":"04 00 02 00")"), std::string::npos);
}

TEST(QxctlProfiles, DamagedFilesGiveOneLineAndFailure) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Profile");
    test::WriteText(dir / "Profile/Profile2.cfg", "garbage");
    test::WriteText(dir / "Profile/ConfigInfo.cfg", std::string(37, '\xFF'));  // short and odd
    const auto bad = RunProgram(AppProgram("qxctl"),
                                {"--data-dir", dir.path().string(), "profile", "show", "2"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "qxctl: " + (dir / "Profile/Profile2.cfg").string() + " is not a profile\n");
    const auto range = RunProgram(AppProgram("qxctl"),
                                  {"--data-dir", dir.path().string(), "profile", "show", "9"});
    EXPECT_EQ(range.exitCode, 1);
    const auto table =
        RunProgram(AppProgram("qxctl"), {"--data-dir", dir.path().string(), "profiles"});
    EXPECT_EQ(table.exitCode, 0) << table.err;
}

}  // namespace
}  // namespace qx
