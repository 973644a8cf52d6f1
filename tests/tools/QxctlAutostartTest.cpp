// qxctl autostart: the per-user entry as the desktop session finds it.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// qxctl in an installation folder of its own (its folder is where
// /proc/self/exe leads, so a copy, not a link), optionally with a qx-driver.
class QxctlAutostart : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(app_);
        fs::copy_file(AppProgram("qxctl"), app_ / "qxctl");
        fs::create_directory_symlink(AppProgram("Language"), app_ / "Language");
    }
    void PlaceDriver() {
        WriteText(app_ / "qx-driver", "#!/bin/sh\n");
        fs::permissions(app_ / "qx-driver", fs::perms::owner_all);
    }
    ProgramResult Qxctl(const std::vector<std::string>& args) const {
        std::vector<std::string> all = {"--data-dir", (dir_ / "data").string(), "autostart"};
        all.insert(all.end(), args.begin(), args.end());
        return RunProgram(app_ / "qxctl", all,
                          {{"XDG_CONFIG_HOME", (dir_ / "config").string()},
                           {"XDG_CONFIG_DIRS", (dir_ / "xdg").string()},
                           {"PATH", "/usr/bin:/bin"}});
    }
    fs::path Entry() const { return dir_ / "config/autostart/qx-driver.desktop"; }

    TempDir dir_;
    fs::path app_ = dir_ / "app with space";
};

TEST_F(QxctlAutostart, OnStatusOffRoundTrip) {
    PlaceDriver();
    auto r = Qxctl({"status"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "off\n");

    r = Qxctl({"on"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = ReadText(Entry());
    // The qx-driver beside this qxctl, quoted for its space.
    EXPECT_NE(text.find("\nExec=\"" + (app_ / "qx-driver").string() + "\"\n"), std::string::npos)
        << text;
    r = Qxctl({"status"});
    EXPECT_EQ(r.out, "on\n");

    r = Qxctl({"off"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(Entry()));
    EXPECT_EQ(Qxctl({"status"}).out, "off\n");
}

TEST_F(QxctlAutostart, WithoutAQxDriverBesideItOnFailsAndWritesNothing) {
    const auto r = Qxctl({"on"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("qx-driver"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Entry()));
}

TEST_F(QxctlAutostart, WrongArgumentsAreUsageErrors) {
    PlaceDriver();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"maybe"}, {"on", "off"}, {"on", "--now"}, {"ON"}}) {
        const auto r = Qxctl(args);
        EXPECT_EQ(r.exitCode, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: qxctl autostart on|off|status"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(Entry()));
}

}  // namespace
}  // namespace qx::test
