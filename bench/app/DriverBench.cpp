// What the utility costs a desktop: the time from its start to its window on
// the screen (beside the one second of firmware-mode checks it must wait),
// its resident memory after the start and after every page was shown, and
// the processor time it takes while it idles, shown and hidden in the tray.
// A program that prints figures, not a test: it runs on a private X server
// against the virtual mouse.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "emulator/VirtualMouseProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using qx::ChildProcess;

constexpr char kTitle[] = "Orvik QX-Gaming Mouse Driver";
constexpr milliseconds kMandatedWaits{1000};  // two firmware-mode checks, 500 ms apart

std::string WindowName(Display* display, Window window) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name) result = name;
    if (name) XFree(name);
    return result;
}

// Waits for the main window to be mapped; its id, or 0.
Window WaitForMap(Display* display, milliseconds timeout) {
    const auto end = steady_clock::now() + timeout;
    while (steady_clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && WindowName(display, event.xmap.window) == kTitle)
                return event.xmap.window;
        }
        std::this_thread::sleep_for(1ms);
    }
    return 0;
}

long ResidentKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// User and system time of the process, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

void Click(Display* display, Window window, int x, int y) {
    Window child;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
}

double IdlePercent(pid_t pid, seconds span) {
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(span);
    const long after = CpuTicks(pid);
    return 100.0 * static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)) /
           static_cast<double>(span.count());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const seconds idle{argc > 2 ? std::atoi(argv[2]) : 60};
    const fs::path app = QX_APP_DIR;
    const fs::path work =
        fs::temp_directory_path() / ("qx-driver-bench-" + std::to_string(getpid()));
    fs::create_directories(work / "hid");
    fs::create_directories(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);

    const std::string displayName = ":" + std::to_string(150 + getpid() % 50);
    ChildProcess xvfb;
    xvfb.Start("/usr/bin/Xvfb",
               {displayName, "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"}, {},
               ChildProcess::Stream::Discard, ChildProcess::Stream::Discard);
    Display* display = nullptr;
    for (int i = 0; i < 100 && !display; ++i) {
        std::this_thread::sleep_for(50ms);
        display = XOpenDisplay(displayName.c_str());
    }
    if (!display) {
        std::fprintf(stderr, "driver_bench: no X server\n");
        return 1;
    }
    // Windows come and go while their names are asked for.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    ChildProcess tray;
    tray.Start("/usr/bin/trayer",
               {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "200",
                "--height", "26"},
               {{"DISPLAY", displayName}}, ChildProcess::Stream::Discard,
               ChildProcess::Stream::Discard);
    qx::emu::VirtualMouseProcess mouse(app / "qx-virtual-mouse", work / "hid");
    if (!mouse.Start({"--version", "12"})) {
        std::fprintf(stderr, "driver_bench: the virtual mouse did not start\n");
        return 1;
    }
    const qx::EnvironmentSettings environment = {
        {"DISPLAY", displayName},
        {"XDG_DATA_HOME", (work / "data").string()},
        {"XDG_RUNTIME_DIR", (work / "runtime").string()},
        {"QX_VIRTUAL_HID_DIR", (work / "hid").string()},
        {"QX_INSTANCE_SUFFIX", "bench-" + std::to_string(getpid())},
        {"QT_QPA_PLATFORM", "xcb"}};
    fs::create_directories(work / "data" / "ORVIK" / "6E41");
    std::ofstream(work / "data" / "ORVIK" / "6E41" / "DeviceModel.ini")
        << "[Orvik]\nDeviceModel=QX600\n";

    std::vector<double> starts;
    for (int run = 0; run <= runs; ++run) {
        ChildProcess driver;
        const auto begin = steady_clock::now();
        driver.Start(app / "qx-driver", {}, environment, ChildProcess::Stream::Discard,
                     ChildProcess::Stream::Discard);
        const Window window = WaitForMap(display, 20s);
        const double ms = duration<double, std::milli>(steady_clock::now() - begin).count();
        if (window == 0) {
            std::fprintf(stderr, "driver_bench: no window\n");
            return 1;
        }
        // The first run lays down the data folder; it is not counted.
        if (run > 0) starts.push_back(ms - static_cast<double>(kMandatedWaits.count()));

        if (run == runs) {
            std::this_thread::sleep_for(2s);
            const long afterStart = ResidentKiB(driver.Pid());
            const int tabX[5] = {110, 290, 470, 650, 840};
            for (int pass = 0; pass < 2; ++pass)
                for (int x : tabX) {
                    Click(display, window, x, 103);
                    std::this_thread::sleep_for(400ms);
                }
            Click(display, window, 110, 103);
            std::this_thread::sleep_for(1s);
            const long afterPages = ResidentKiB(driver.Pid());
            const double shown = IdlePercent(driver.Pid(), idle);
            Click(display, window, 939, 17);  // hide to the tray
            std::this_thread::sleep_for(1s);
            const double hidden = IdlePercent(driver.Pid(), idle);

            std::sort(starts.begin(), starts.end());
            std::printf(
                "start to window shown, beyond the 1000 ms of mandated waits "
                "(%zu runs): median %.0f ms, min %.0f ms, max %.0f ms\n",
                starts.size(), starts[starts.size() / 2], starts.front(), starts.back());
            std::printf("resident memory: %.1f MB after start, %.1f MB after every page\n",
                        afterStart / 1024.0, afterPages / 1024.0);
            std::printf(
                "idle processor time over %lld s: %.3f %% of a core shown, "
                "%.3f %% hidden in the tray\n",
                static_cast<long long>(idle.count()), shown, hidden);
        }
        ::kill(driver.Pid(), SIGTERM);
        driver.Wait(10s);
    }
    XCloseDisplay(display);
    tray.Stop();
    mouse.Stop();
    xvfb.Stop();
    fs::remove_all(work);
    return 0;
}
