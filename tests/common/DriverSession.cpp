#include "tests/common/DriverSession.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kXdotool = "/usr/bin/xdotool";
const fs::path kXwininfo = "/usr/bin/xwininfo";

std::vector<unsigned long> ParseIds(const std::string& text) {
    std::vector<unsigned long> ids;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) ids.push_back(std::stoul(line));
    return ids;
}

// A link when the file system allows one, else a copy: the utility takes
// its installation folder from its own path, which a symbolic link would
// lead back to the build.
void PlaceProgram(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

}  // namespace

DriverSession::DriverSession(const XvfbServer& server, DriverOptions options)
    : server_(server), options_(std::move(options)) {
    appFolder_ = options_.program.empty() ? fs::path(QX_APP_DIR)
                                          : fs::canonical(options_.program).parent_path();
    tracePath_ = dir_ / "mouse.trace";
    statePath_ = dir_ / "mouse.state";
    fs::create_directories(dir_ / "hid");
    fs::create_directories(dir_ / "runtime");
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    fs::create_directories(DataFolder());
    mouse_ = std::make_unique<VirtualMouse>(dir_ / "hid", appFolder_ / "qx-virtual-mouse");
    if (options_.privateAppFolder) MakePrivateAppFolder();
    if (!options_.model.empty())
        WriteText(DataFolder() / "DeviceModel.ini",
                  "[Orvik]\nDeviceModel=" + options_.model + "\n");
}

DriverSession::~DriverSession() {
    // A utility that does not end on SIGTERM is a failure of the test that
    // left it so; the session still must not hang.
    if (driver_.Pid() > 0 && driver_.Running()) {
        ::kill(driver_.Pid(), SIGTERM);
        if (!driver_.Wait(10s)) {
            ADD_FAILURE() << "qx-driver did not end on SIGTERM";
            driver_.Stop(SIGKILL);
        }
    }
    mouse_.reset();
}

void DriverSession::MakePrivateAppFolder() {
    const fs::path build = QX_APP_DIR;
    appFolder_ = dir_ / "app";
    fs::create_directories(appFolder_ / "skins");
    fs::create_directories(appFolder_ / "FWUpdate");
    fs::create_directories(appFolder_ / "orvik_update");
    PlaceProgram(build / "qx-driver", appFolder_ / "qx-driver");
    for (const char* name : {"MenuEx.so", "HidParse.so", "Language"})
        fs::create_symlink(build / name, appFolder_ / name);
    for (const auto& entry : fs::directory_iterator(build / "skins"))
        if (entry.path().filename() != "languagetype.ini")
            fs::create_symlink(entry.path(), appFolder_ / "skins" / entry.path().filename());
    const int type = options_.languageType.value_or(2);
    WriteText(appFolder_ / "skins" / "languagetype.ini",
              "[languagetype]\nvalue=" + std::to_string(type) + "\n");
}

fs::path DriverSession::DataFolder() const {
    return dir_.path() / "data" / "ORVIK" / "6E41";
}

EnvironmentSettings DriverSession::Environment() const {
    EnvironmentSettings environment = server_.ChildEnvironment();
    environment.push_back({"XDG_DATA_HOME", (dir_.path() / "data").string()});
    environment.push_back({"XDG_RUNTIME_DIR", (dir_.path() / "runtime").string()});
    environment.push_back({"QX_VIRTUAL_HID_DIR", (dir_.path() / "hid").string()});
    // Apart from any other copy of the utility on this machine.
    environment.push_back({"QX_INSTANCE_SUFFIX", dir_.path().filename().string()});
    environment.push_back({"QT_QPA_PLATFORM", "xcb"});
    environment.push_back({"QX_OPEN_COMMAND", "/bin/true"});
    for (const auto& setting : options_.environment) environment.push_back(setting);
    return environment;
}

bool DriverSession::Start() {
    if (options_.startMouse) {
        std::vector<std::string> mouseOptions = options_.mouseOptions;
        mouseOptions.insert(mouseOptions.end(),
                            {"--state", statePath_.string(), "--trace", tracePath_.string()});
        if (!mouse_->Start(mouseOptions)) return false;
    }
    const fs::path program = options_.program.empty() ? appFolder_ / "qx-driver" : options_.program;
    return driver_.Start(program, {}, Environment(), ChildProcess::Stream::Inherit,
                         ChildProcess::Stream::Inherit);
}

unsigned long DriverSession::WaitForWindow(const std::string& title,
                                           std::chrono::milliseconds timeout) {
    unsigned long found = 0;
    WaitUntil(
        [&] {
            const auto result =
                RunProgram(kXdotool, {"search", "--onlyvisible", "--name", "^" + title + "$"},
                           server_.ChildEnvironment(), 5s);
            const auto ids = ParseIds(result.out);
            if (!ids.empty()) found = ids.front();
            return found != 0;
        },
        timeout);
    if (title == kMainWindowTitle && found != 0) mainWindow_ = found;
    return found;
}

bool DriverSession::WaitForNoWindow(const std::string& title, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [&] {
            const auto result =
                RunProgram(kXdotool, {"search", "--onlyvisible", "--name", "^" + title + "$"},
                           server_.ChildEnvironment(), 5s);
            return ParseIds(result.out).empty();
        },
        timeout);
}

std::optional<WindowGeometry> DriverSession::Geometry(unsigned long window) const {
    const auto result =
        RunProgram(kXdotool, {"getwindowgeometry", "--shell", std::to_string(window)},
                   server_.ChildEnvironment(), 5s);
    if (result.exitCode != 0) return std::nullopt;
    WindowGeometry g;
    std::istringstream in(result.out);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::stoi(line.substr(eq + 1));
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

bool DriverSession::Visible(unsigned long window) const {
    const auto result =
        RunProgram(kXwininfo, {"-id", std::to_string(window)}, server_.ChildEnvironment(), 5s);
    return result.out.find("IsViewable") != std::string::npos;
}

void DriverSession::Xdotool(const std::vector<std::string>& args) const {
    RunProgram(kXdotool, args, server_.ChildEnvironment(), 10s);
}

void DriverSession::MoveTo(int x, int y) {
    if (mainWindow_ == 0) WaitForWindow();
    MoveToIn(mainWindow_, x, y);
}

void DriverSession::MoveToIn(unsigned long window, int x, int y) {
    const auto g = Geometry(window);
    if (!g) return;
    const std::string toX = std::to_string(g->x + x), toY = std::to_string(g->y + y);
    // "mousemove --sync" waits for a movement that never comes when the
    // pointer is there already.
    const auto here =
        RunProgram(kXdotool, {"getmouselocation", "--shell"}, server_.ChildEnvironment(), 5s).out;
    if (here.find("X=" + toX + "\nY=" + toY + "\n") == 0) return;
    Xdotool({"mousemove", "--sync", toX, toY});
    // Give the window the motion before anything else happens there.
    std::this_thread::sleep_for(60ms);
}

void DriverSession::ClickIn(unsigned long window, int x, int y, int button) {
    MoveToIn(window, x, y);
    Xdotool({"click", std::to_string(button)});
}

void DriverSession::Click(int x, int y, int button) {
    MoveTo(x, y);
    Xdotool({"click", std::to_string(button)});
}

void DriverSession::Press(int x, int y, int button) {
    MoveTo(x, y);
    Xdotool({"mousedown", std::to_string(button)});
}

void DriverSession::Release(int button) {
    Xdotool({"mouseup", std::to_string(button)});
}

void DriverSession::Key(const std::string& keys) {
    Xdotool({"key", keys});
}

std::optional<int> DriverSession::WaitForExit(std::chrono::milliseconds timeout) {
    return driver_.Wait(timeout);
}

bool DriverSession::Running() {
    return driver_.Running();
}

int DriverSession::Stop(int signal) {
    return driver_.Stop(signal);
}

bool DriverSession::WaitForTrace(std::size_t lines, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return Trace().size() >= lines; }, timeout);
}

std::string DriverSession::Dump() const {
    return RunProgram(AppProgram("qx-virtual-mouse"), {"--dump", "--state", statePath_.string()})
        .out;
}

ProgramResult DriverSession::Qxctl(const std::vector<std::string>& args) const {
    std::vector<std::string> all{"--data-dir", DataFolder().string()};
    all.insert(all.end(), args.begin(), args.end());
    const fs::path qxctl = options_.program.empty() ? AppProgram("qxctl") : appFolder_ / "qxctl";
    return RunProgram(qxctl, all, Environment(), 60s);
}

}  // namespace qx::test
