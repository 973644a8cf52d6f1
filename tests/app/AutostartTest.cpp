#include "app/Autostart.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/TempDir.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const fs::path& path) {
    const auto bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// A user folder and one system folder below a temporary folder.
struct Folders {
    TempDir dir;
    AutostartFolders folders;
    Folders() {
        folders.user = dir / "config/autostart";
        folders.system = {dir / "xdg/autostart"};
    }
    fs::path SystemEntry() const { return folders.system.front() / kAutostartFileName; }
};

TEST(Autostart, ExecValueQuotesAndEscapesWhatTheLauncherWouldInterpret) {
    struct Case {
        const char* path;
        const char* exec;
    };
    // The second column is the file's text: the string escapes (a doubled
    // backslash) come on top of the quoting.
    const Case cases[] = {
        {"/usr/bin/qx-driver", "/usr/bin/qx-driver"},
        {"/opt/QX Tools/qx-driver", "\"/opt/QX Tools/qx-driver\""},
        {"/opt/a\"b/qx-driver", "\"/opt/a\\\\\"b/qx-driver\""},
        {"/opt/$HOME/qx-driver", "\"/opt/\\\\$HOME/qx-driver\""},
        {"/opt/a`b/qx-driver", "\"/opt/a\\\\`b/qx-driver\""},
        {"/opt/a\\b/qx-driver", "\"/opt/a\\\\\\\\b/qx-driver\""},
        {"/opt/100%/qx-driver", "/opt/100%%/qx-driver"},
        {"/opt/50% off/qx-driver", "\"/opt/50%% off/qx-driver\""},
        {"/opt/\xC3\xB6rvik/qx-driver", "/opt/\xC3\xB6rvik/qx-driver"},
    };
    for (const auto& c : cases) {
        const auto exec = DesktopExecValue(c.path);
        ASSERT_TRUE(exec) << c.path;
        EXPECT_EQ(*exec, c.exec) << c.path;
    }
}

TEST(Autostart, PathsNoEntryCanCarryAreRefused) {
    for (const char* path : {"", "qx-driver", "bin/qx-driver", "/opt/a\nExec=/bin/evil",
                             "/opt/a\rb/qx-driver", "/opt/\x7F/qx-driver", "/opt/\xC3/qx-driver",
                             "/opt/\xC0\xAF/qx-driver", "/opt/\xED\xA0\x80/qx-driver"}) {
        EXPECT_FALSE(DesktopExecValue(path)) << path;
        EXPECT_FALSE(AutostartEntryText(path)) << path;
    }
}

TEST(Autostart, FoldersFollowTheBaseDirectoryRules) {
    const auto a = AutostartFoldersFor("/home/u/cfg", "/home/u", "/etc/xdg:/opt/xdg");
    EXPECT_EQ(a.user, "/home/u/cfg/autostart");
    ASSERT_EQ(a.system.size(), 2u);
    EXPECT_EQ(a.system[0], "/etc/xdg/autostart");
    EXPECT_EQ(a.system[1], "/opt/xdg/autostart");

    // Unset or relative values fall back; relative system folders are skipped.
    const auto b = AutostartFoldersFor("", "/home/u", "");
    EXPECT_EQ(b.user, "/home/u/.config/autostart");
    ASSERT_EQ(b.system.size(), 1u);
    EXPECT_EQ(b.system[0], "/etc/xdg/autostart");
    const auto c = AutostartFoldersFor("cfg", "/home/u", "rel::/etc/xdg");
    EXPECT_EQ(c.user, "/home/u/.config/autostart");
    ASSERT_EQ(c.system.size(), 1u);
    EXPECT_EQ(c.system[0], "/etc/xdg/autostart");
}

TEST(Autostart, OnWritesAnEntryThatStartsTheProgramAndOffRemovesIt) {
    Folders f;
    EXPECT_FALSE(AutostartEnabled(f.folders));
    ASSERT_EQ(EnableAutostart(f.folders, "/opt/QX Tools/qx-driver"), "");
    EXPECT_TRUE(AutostartEnabled(f.folders));
    const std::string text = ReadText(f.folders.UserEntry());
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=\"/opt/QX Tools/qx-driver\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nTryExec=/opt/QX Tools/qx-driver\n"), std::string::npos) << text;
    // A second on replaces the entry rather than failing.
    ASSERT_EQ(EnableAutostart(f.folders, "/usr/bin/qx-driver"), "");
    EXPECT_NE(ReadText(f.folders.UserEntry()).find("\nExec=/usr/bin/qx-driver\n"),
              std::string::npos);

    ASSERT_EQ(DisableAutostart(f.folders), "");
    EXPECT_FALSE(fs::exists(f.folders.UserEntry()));
    EXPECT_FALSE(AutostartEnabled(f.folders));
    // Off when already off is no error.
    EXPECT_EQ(DisableAutostart(f.folders), "");
}

TEST(Autostart, StatusReadsTheEntryAsTheSessionDoes) {
    struct Case {
        const char* text;
        bool enabled;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nExec=qx-driver\n", true},
        {"[Desktop Entry]\nExec=qx-driver\nHidden=true\n", false},
        {"[Desktop Entry]\nHidden = true\r\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n", true},
        // Keys of another group do not count.
        {"[Desktop Entry]\nExec=qx-driver\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto& c : cases) {
        Folders f;
        fs::create_directories(f.folders.user);
        test::WriteText(f.folders.UserEntry(), c.text);
        EXPECT_EQ(AutostartEnabled(f.folders), c.enabled) << c.text;
    }
}

TEST(Autostart, TheUsersEntryOverridesTheSystemsAndOffHidesASystemEntry) {
    Folders f;
    fs::create_directories(f.folders.system.front());
    test::WriteText(f.SystemEntry(), "[Desktop Entry]\nType=Application\nExec=qx-driver\n");
    EXPECT_TRUE(AutostartEnabled(f.folders));

    ASSERT_EQ(DisableAutostart(f.folders), "");
    EXPECT_FALSE(AutostartEnabled(f.folders));
    EXPECT_NE(ReadText(f.folders.UserEntry()).find("\nHidden=true\n"), std::string::npos);
    // The system's entry is not the user's to change.
    EXPECT_EQ(ReadText(f.SystemEntry()), "[Desktop Entry]\nType=Application\nExec=qx-driver\n");

    ASSERT_EQ(EnableAutostart(f.folders, "/usr/bin/qx-driver"), "");
    EXPECT_TRUE(AutostartEnabled(f.folders));
}

TEST(Autostart, ALinkInTheUsersFolderIsReplacedNotWrittenThrough) {
    Folders f;
    fs::create_directories(f.folders.user);
    const auto target = f.dir / "menu-entry.desktop";
    test::WriteText(target, "[Desktop Entry]\nExec=other\n");
    fs::create_symlink(target, f.folders.UserEntry());

    ASSERT_EQ(EnableAutostart(f.folders, "/usr/bin/qx-driver"), "");
    EXPECT_FALSE(fs::is_symlink(f.folders.UserEntry()));
    EXPECT_EQ(ReadText(target), "[Desktop Entry]\nExec=other\n");

    ASSERT_EQ(DisableAutostart(f.folders), "");
    EXPECT_TRUE(fs::exists(target));
}

TEST(Autostart, AFolderThatCannotBeMadeIsReportedNotIgnored) {
    Folders f;
    // A file where the config folder should be.
    test::WriteText(f.dir / "config", "");
    const auto error = EnableAutostart(f.folders, "/usr/bin/qx-driver");
    EXPECT_NE(error, "");
    EXPECT_FALSE(AutostartEnabled(f.folders));
    EXPECT_NE(EnableAutostart(f.folders, "relative/qx-driver"), "");
}

TEST(Autostart, TheProgramIsNamedByItsPathEntryWhenThatLeadsToThisInstallation) {
    TempDir dir;
    const auto app = dir / "lib/orvik-qx";
    fs::create_directories(app);
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "other");
    test::WriteText(app / kDriverProgramName, "");
    test::WriteText(dir / "other" / kDriverProgramName, "");
    fs::create_symlink("../lib/orvik-qx/qx-driver", dir / "bin" / kDriverProgramName);

    const std::string bin = (dir / "bin").string(), other = (dir / "other").string();
    EXPECT_EQ(AutostartProgram(app, "relative:" + other + ":" + bin), dir / "bin/qx-driver");
    // Another installation's qx-driver on the PATH is not this one.
    EXPECT_EQ(AutostartProgram(app, other), app / "qx-driver");
    EXPECT_EQ(AutostartProgram(app, ""), app / "qx-driver");
}

}  // namespace
}  // namespace qx
