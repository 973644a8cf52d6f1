// The utility as a person starts it, for end-to-end tests: qx-driver on a
// private X server, against a virtual mouse process, with a data folder of
// its own. The test drives it with real input (XTest through xdotool) and
// reads back what the mouse holds and what was saved.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"
#include "tests/common/VirtualMouse.h"
#include "tests/common/XvfbServer.h"

namespace qx::test {

inline constexpr char kMainWindowTitle[] = "Orvik QX-Gaming Mouse Driver";

struct DriverOptions {
    // Written to DeviceModel.ini before the start; empty writes nothing.
    std::string model = "QX600";
    bool startMouse = true;
    // Options of the virtual mouse besides --state and --trace, which the
    // session always gives.
    std::vector<std::string> mouseOptions = {"--version", "12"};
    // A private copy of the installation folder, so a test can change
    // skins/languagetype.ini or put stubs into FWUpdate/ and orvik_update/.
    bool privateAppFolder = false;
    std::optional<int> languageType;  // skins/languagetype.ini (needs privateAppFolder)
    EnvironmentSettings environment;  // on top of the session's own
    // The qx-driver to start (an installed one, through its link in bin/);
    // empty: the build's. The virtual mouse comes from the same folder.
    std::filesystem::path program;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class DriverSession {
public:
    DriverSession(const XvfbServer& server, DriverOptions options = {});
    // Stops the utility (SIGTERM, then SIGKILL) and the mouse.
    ~DriverSession();
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    // Starts the mouse (unless told not to) and the utility.
    bool Start();
    // The environment the utility runs in; qxctl and second starts use it too.
    EnvironmentSettings Environment() const;

    // A top-level window with exactly this title: its id, or 0 when none
    // appeared in time.
    unsigned long WaitForWindow(const std::string& title = kMainWindowTitle,
                                std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // True when no window of that title is mapped any more, in time.
    bool WaitForNoWindow(const std::string& title,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    std::optional<WindowGeometry> Geometry(unsigned long window) const;
    bool Visible(unsigned long window) const;

    // Pointer and keys through XTest. Positions are in the main window's
    // client coordinates (looked up at each call, the window may move).
    void MoveTo(int x, int y);
    void Click(int x, int y, int button = 1);
    void Press(int x, int y, int button = 1);
    void Release(int button = 1);
    // The same in the client coordinates of another window (a box, a dialog).
    void MoveToIn(unsigned long window, int x, int y);
    void ClickIn(unsigned long window, int x, int y, int button = 1);
    void Key(const std::string& keys);  // xdotool key names: "Return", "alt+F4", "a"
    void Xdotool(const std::vector<std::string>& args) const;

    // The utility's process.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    bool Running();
    pid_t Pid() const { return driver_.Pid(); }
    int Stop(int signal = SIGTERM);

    VirtualMouse& Mouse() { return *mouse_; }
    std::vector<TraceLine> Trace() const { return ReadTrace(tracePath_); }
    // Waits until the mouse's trace holds at least `lines` reports.
    bool WaitForTrace(std::size_t lines, std::chrono::milliseconds timeout);
    // What the mouse stores (qx-virtual-mouse --dump), as JSON text.
    std::string Dump() const;
    // qxctl on the session's data folder and mouse.
    ProgramResult Qxctl(const std::vector<std::string>& args) const;

    const std::filesystem::path& AppFolder() const { return appFolder_; }
    std::filesystem::path DataFolder() const;  // XDG_DATA_HOME/ORVIK/6E41
    const std::filesystem::path& Root() const { return dir_.path(); }

private:
    void MakePrivateAppFolder();

    const XvfbServer& server_;
    DriverOptions options_;
    TempDir dir_;
    std::filesystem::path appFolder_;
    std::filesystem::path tracePath_;
    std::filesystem::path statePath_;
    std::unique_ptr<VirtualMouse> mouse_;
    ChildProcess driver_;
    unsigned long mainWindow_ = 0;
};

// Waits until the predicate holds, checking every 20 ms.
template <class Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace qx::test
