// The installation as cmake --install lays it out below a temporary DESTDIR
// with the prefix /usr, or, when QX_INSTALLED_ROOT names a folder, the
// unpacked Debian package there: every file the desktop reads, the verdict
// of the validators, and the installed programs started from the installed
// layout (qx-driver under Xvfb against the installed virtual mouse).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "base/MouseIdentity.h"
#include "tests/common/DriverSession.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbServer.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Installed {
    fs::path root;  // what DESTDIR was; the prefix /usr lies below it
    std::string error;
};

// Installed once for the whole program.
const Installed& Installation() {
    static TempDir destdir;
    static const Installed installed = [] {
        Installed result;
        if (const char* given = std::getenv("QX_INSTALLED_ROOT"); given && *given) {
            result.root = given;
            if (!fs::is_directory(result.root / "usr"))
                result.error = "no usr/ in QX_INSTALLED_ROOT " + result.root.string();
            return result;
        }
        result.root = destdir.path();
        const auto r = RunProgram(QX_CMAKE_COMMAND, {"--install", QX_BUILD_DIR, "--prefix", "/usr"},
                                  {{"DESTDIR", destdir.path().string()}}, 120s);
        if (r.exitCode != 0) result.error = "cmake --install failed: " + r.out + r.err;
        return result;
    }();
    return installed;
}

fs::path Usr() {
    return Installation().root / "usr";
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Executable(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) != 0;
}

// The files below a folder, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& folder) {
    std::set<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(folder).string());
    return files;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Installation().error, ""); }
};

TEST_F(Install, TheInstallationFolderHoldsWhatTheUtilityLoads) {
    const fs::path app = Usr() / "lib/orvik-qx";
    for (const char* program : {"qx-driver", "qxctl", "qx-virtual-mouse"})
        EXPECT_TRUE(Executable(app / program)) << program;
    // Plug-ins are loaded, not run.
    for (const char* plugin : {"MenuEx.so", "HidParse.so"}) {
        EXPECT_TRUE(fs::is_regular_file(app / plugin)) << plugin;
        EXPECT_FALSE(Executable(app / plugin)) << plugin;
    }
    EXPECT_TRUE(fs::is_regular_file(app / "FWUpdate/update.ini"));
    // The skins and languages as the build has them, every file.
    for (const char* folder : {"skins", "Language"}) {
        const auto built = FilesBelow(fs::path(QX_APP_DIR) / folder);
        EXPECT_GT(built.size(), 10u) << folder;
        EXPECT_EQ(FilesBelow(app / folder), built) << folder;
    }
}

TEST_F(Install, TheCommandsInBinAreRelativeLinksIntoTheInstallationFolder) {
    for (const char* program : {"qx-driver", "qxctl"}) {
        const fs::path link = Usr() / "bin" / program;
        ASSERT_TRUE(fs::is_symlink(link)) << program;
        EXPECT_EQ(fs::read_symlink(link), fs::path("../lib/orvik-qx") / program);
        EXPECT_EQ(fs::canonical(link), fs::canonical(Usr() / "lib/orvik-qx" / program));
    }
}

// What the package may hold; anything else (headers, static libraries, test
// programs) leaked into the installation.
TEST_F(Install, NothingLiesOutsideTheExpectedFolders) {
    const std::vector<std::string> allowed = {
        "bin/qx-driver",       "bin/qxctl",           "lib/orvik-qx/",
        "lib/udev/rules.d/",   "share/applications/", "share/icons/hicolor/",
        "share/metainfo/",     "share/man/man1/",     "share/bash-completion/completions/",
        "share/doc/orvik-qx/",
    };
    for (const auto& entry : fs::recursive_directory_iterator(Usr())) {
        if (entry.is_directory() && !entry.is_symlink()) continue;
        const std::string path = entry.path().lexically_relative(Usr()).string();
        bool ok = false;
        for (const auto& prefix : allowed) ok = ok || path.starts_with(prefix);
        EXPECT_TRUE(ok) << path;
    }
}

TEST_F(Install, TheDesktopFilesAreInPlaceAndValid) {
    const fs::path share = Usr() / "share";
    const fs::path desktop = share / "applications/qx-driver.desktop";
    const fs::path metainfo = share / "metainfo/com.orvik.qxdriver.metainfo.xml";
    ASSERT_TRUE(fs::is_regular_file(desktop));
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    EXPECT_TRUE(fs::is_regular_file(Usr() / "lib/udev/rules.d/70-orvik-qx.rules"));

    auto r = RunProgram("/usr/bin/desktop-file-validate", {desktop.string()});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "");
    r = RunProgram("/usr/bin/appstreamcli",
                   {"validate", "--no-net", "--no-color", metainfo.string()});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;

    // Software centres match the plugged-in mouse by this modalias.
    char modalias[64];
    std::snprintf(modalias, sizeof modalias, "<modalias>usb:v%04Xp%04Xd*</modalias>",
                  kMouseVendorId, kMouseProductId);
    EXPECT_NE(ReadText(metainfo).find(modalias), std::string::npos) << modalias;
}

// Width and height from a PNG's header chunk.
std::pair<int, int> PngSize(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    if (bytes.size() < 24 || bytes[1] != 'P' || bytes[12] != 'I') return {0, 0};
    const auto be = [&](std::size_t at) {
        return bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
    };
    return {be(16), be(20)};
}

TEST_F(Install, TheIconComesAtTheThemesSizesAndScalable) {
    const fs::path hicolor = Usr() / "share/icons/hicolor";
    for (const int size : {48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(PngSize(hicolor / name / "apps/qx-driver.png"), std::make_pair(size, size))
            << name;
    }
    const std::string svg = ReadText(hicolor / "scalable/apps/qx-driver.svg");
    EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\"")) << svg;
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST_F(Install, TheManualPagesRenderWithoutWarnings) {
    for (const char* page : {"qx-driver", "qxctl"}) {
        const fs::path file = Usr() / "share/man/man1" / (std::string(page) + ".1.gz");
        ASSERT_TRUE(fs::is_regular_file(file)) << page;
        const auto r = RunProgram("/usr/bin/man", {"--warnings", "-l", file.string()},
                                  {{"MANWIDTH", "80"}, {"LC_ALL", "C.UTF-8"}});
        EXPECT_EQ(r.exitCode, 0) << page << r.err;
        EXPECT_EQ(r.err, "") << page;
        EXPECT_NE(r.out.find("SYNOPSIS"), std::string::npos) << page;
    }
}

// The words bash would offer after the given command line (the last word is
// the one being completed).
std::vector<std::string> Complete(const std::vector<std::string>& words) {
    std::vector<std::string> args = {
        "-c",
        "source \"$1\" && complete -p qxctl >/dev/null || exit 9\n"
        "COMP_WORDS=(\"${@:2}\"); COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n"
        "_qxctl; printf '%s\\n' \"${COMPREPLY[@]}\"",
        "bash", (Usr() / "share/bash-completion/completions/qxctl").string()};
    args.insert(args.end(), words.begin(), words.end());
    const auto r = RunProgram("/bin/bash", args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> offered;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) offered.push_back(line);
    return offered;
}

TEST_F(Install, BashCompletesQxctlsCommandsAndTheirWords) {
    using Words = std::vector<std::string>;
    struct Case {
        Words line;
        Words offered;
    };
    const Case cases[] = {
        {{"qxctl", "au"}, {"autostart"}},
        {{"qxctl", "--data-dir", "/tmp/x", "ap"}, {"apply"}},
        {{"qxctl", "autostart", ""}, {"off", "on", "status"}},
        {{"qxctl", "autostart", "on", ""}, {}},
        {{"qxctl", "macro", "e"}, {"encode", "export"}},
        {{"qxctl", "profile", ""}, {"show"}},
        {{"qxctl", "profile", "show", "--"}, {"--json"}},
        {{"qxctl", "text", "str_x", "--lang", "1"}, {"1", "10", "11", "12"}},
        {{"qxctl", "--v"}, {"--version"}},
    };
    for (const auto& c : cases) {
        auto offered = Complete(c.line);
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, c.offered) << testing::PrintToString(c.line);
    }
}

TEST_F(Install, TheInstalledCommandsAnswerOnTheTerminal) {
    // No display: these must not need one.
    const EnvironmentSettings noDisplay = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    for (const char* program : {"qx-driver", "qxctl"}) {
        auto r = RunProgram(Usr() / "bin" / program, {"--version"}, noDisplay, 20s);
        EXPECT_EQ(r.exitCode, 0) << program << r.err;
        EXPECT_EQ(r.out, std::string(program) + " " + QX_PROJECT_VERSION + "\n");
        r = RunProgram(Usr() / "bin" / program, {"--help"}, noDisplay, 20s);
        EXPECT_EQ(r.exitCode, 0) << program << r.err;
        EXPECT_TRUE(r.out.starts_with("usage: " + std::string(program))) << r.out;
        EXPECT_EQ(r.err, "") << program;
    }
}

TEST_F(Install, TheInstalledQxctlFindsItsFolderThroughTheLink) {
    TempDir dir;
    // The language files come from the installation folder behind the link.
    auto r = RunProgram(Usr() / "bin/qxctl",
                        {"--data-dir", (dir / "data").string(), "text", "str_led_title"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GT(r.out.size(), 1u);

    // Autostart names the qx-driver the PATH gives, the link in bin/.
    const EnvironmentSettings environment = {{"XDG_CONFIG_HOME", (dir / "config").string()},
                                             {"XDG_CONFIG_DIRS", (dir / "xdg").string()},
                                             {"PATH", (Usr() / "bin").string() + ":/usr/bin:/bin"}};
    r = RunProgram(Usr() / "bin/qxctl", {"--data-dir", (dir / "data").string(), "autostart", "on"},
                   environment);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string entry = ReadText(dir / "config/autostart/qx-driver.desktop");
    EXPECT_NE(entry.find("\nExec=" + (Usr() / "bin/qx-driver").string() + "\n"), std::string::npos)
        << entry;
    r = RunProgram("/usr/bin/desktop-file-validate",
                   {(dir / "config/autostart/qx-driver.desktop").string()});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
}

class InstalledDriver : public XvfbTest {
protected:
    void SetUpWithServer() override { ASSERT_EQ(Installation().error, ""); }
};

// The command the menu entry runs, looked up in the installation's bin/.
fs::path MenuCommand() {
    std::istringstream in(ReadText(Usr() / "share/applications/qx-driver.desktop"));
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("Exec=")) return Usr() / "bin" / line.substr(5);
    return {};
}

TEST_F(InstalledDriver, TheMenuEntrysCommandStartsTheUtilityFromTheInstallation) {
    const fs::path command = MenuCommand();
    ASSERT_EQ(command.filename(), "qx-driver");
    DriverOptions options;
    options.program = command;
    DriverSession session(Server(), options);
    ASSERT_TRUE(session.Start());
    ASSERT_NE(session.WaitForWindow(), 0u);
    // Running from the real folder, not through the link.
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(session.Pid()) + "/exe"),
              fs::canonical(Usr() / "lib/orvik-qx/qx-driver"));
    // The installed qxctl and HidParse.so reach the installed virtual mouse.
    const auto r = session.Qxctl({"apply"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(r.out.ends_with("ok\n")) << r.out;
}

TEST_F(InstalledDriver, AnOptionItDoesNotKnowIsRefused) {
    const auto r =
        RunProgram(Usr() / "bin/qx-driver", {"--frobnicate"}, Server().ChildEnvironment(), 20s);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown option '--frobnicate'"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace qx::test
