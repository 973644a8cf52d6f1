// What the input tap costs while the pointer moves: every raw motion reaches
// the tap's thread, which must drop those that carry no scroll valuator at
// once. Injects 1000 motion events per second through XTest for ten seconds
// (or as given) on a private X server and reports the processor time of the
// tap's thread, against a budget of 1 % of one core.
// A program that prints figures, not a test.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/ChildProcess.h"
#include "macro/InputHooks.h"
#include "platform/X11InputTap.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

class CountingTarget final : public qx::MessageTarget {
public:
    void PostMessage(std::uint32_t, qx::WParam, qx::LParam) override { ++posted; }
    std::atomic<long> posted{0};
};

struct ThreadTimes {
    double cpuMs = -1;
    long wakeups = 0;  // voluntary context switches: each is a return from poll
};

// The tap's thread by its name, from /proc: run time in nanoseconds
// (schedstat) and how often it slept.
ThreadTimes TapThread() {
    ThreadTimes times;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != "qx-input-tap") continue;
        std::ifstream schedstat(task.path() / "schedstat");
        double ns = 0;
        if (schedstat >> ns) times.cpuMs = ns / 1e6;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                times.wakeups = std::stol(line.substr(24));
    }
    return times;
}

std::string FreeDisplay() {
    for (int n = 400 + getpid() % 100;; ++n)
        if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) return ":" + std::to_string(n);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 1000;
    const std::string name = FreeDisplay();
    qx::ChildProcess xvfb;
    xvfb.Start("/usr/bin/Xvfb", {name, "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, {},
               qx::ChildProcess::Stream::Discard, qx::ChildProcess::Stream::Discard);
    Display* injector = nullptr;
    for (int i = 0; i < 100 && !injector; ++i) {
        std::this_thread::sleep_for(50ms);
        injector = XOpenDisplay(name.c_str());
    }
    if (!injector) {
        std::fprintf(stderr, "tap_motion_bench: no X server\n");
        return 1;
    }

    qx::X11InputTap tap(name);
    qx::InputHooks hooks(&tap);
    CountingTarget target;
    if (!hooks.InstallInputHooks(qx::Unowned(target))) {
        std::fprintf(stderr, "tap_motion_bench: the tap did not start\n");
        return 1;
    }
    hooks.SetButtonIntercept(qx::kEventWheelForward, true);  // grabs as in use
    tap.WaitForGrabs(2s);
    std::this_thread::sleep_for(200ms);

    const ThreadTimes before = TapThread();
    const auto period = nanoseconds(1'000'000'000 / rate);
    const long events = static_cast<long>(seconds) * rate;
    const auto start = steady_clock::now();
    for (long i = 0; i < events; ++i) {
        std::this_thread::sleep_until(start + i * period);
        XTestFakeMotionEvent(injector, -1, 100 + static_cast<int>(i % 500), 300, CurrentTime);
        XFlush(injector);
    }
    XSync(injector, False);
    const double wall = duration<double>(steady_clock::now() - start).count();
    std::this_thread::sleep_for(200ms);  // the last events reach the tap
    const ThreadTimes after = TapThread();

    const double cpuMs = after.cpuMs - before.cpuMs;
    const double share = cpuMs / (wall * 1000.0) * 100.0;
    std::printf("motion events   %ld in %.2f s (%.0f per second)\n", events, wall, events / wall);
    std::printf("tap wakeups     %ld\n", after.wakeups - before.wakeups);
    std::printf("tap thread CPU  %.1f ms = %.3f %% of one core (budget 1 %%): %s\n", cpuMs, share,
                share < 1.0 ? "within" : "OVER");
    std::printf("per event       %.2f us\n", cpuMs * 1000.0 / static_cast<double>(events));
    std::printf("hook reports    %ld (motion is never reported)\n", target.posted.load());
    hooks.RemoveInputHooks();
    XCloseDisplay(injector);
    return share < 1.0 ? 0 : 2;
}
