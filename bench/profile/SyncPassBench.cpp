// How close one synchronisation of the default profile comes to the waits the
// mouse needs: the wall time of a pass against the virtual mouse, divided by
// the sum of the pauses the writer and the channel ask for. Overhead shows as
// a ratio above 1.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "emulator/VirtualMouseProcess.h"
#include "platform/SystemHidBackend.h"
#include "profile/DeviceWriter.h"

namespace {

using namespace std::chrono;

// Really waits, and adds up what was asked for.
class MeasuringSleeper final : public qx::Sleeper {
public:
    void Sleep(milliseconds duration) override {
        std::this_thread::sleep_for(duration);
        std::lock_guard lock(mutex_);
        total_ += duration;
    }
    milliseconds Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(total_, milliseconds{0});
    }

private:
    std::mutex mutex_;
    milliseconds total_{0};
};

class NullPointer final : public qx::PointerSettings {
public:
    bool SetMouseAcceleration(const std::array<std::int32_t, 3>&) override { return false; }
    bool SetMouseSpeed(std::int32_t) override { return false; }
    bool SetWheelScrollLines(std::int32_t) override { return false; }
};

class NullTarget final : public qx::MessageTarget {
public:
    void PostMessage(std::uint32_t, qx::WParam, qx::LParam) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::atoi(argv[1]) : 3;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qx-sync-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("QX_VIRTUAL_HID_DIR", folder.c_str(), 1);
    qx::emu::VirtualMouseProcess mouse(std::filesystem::path(QX_APP_DIR) / "qx-virtual-mouse",
                                       folder);
    if (!mouse.Start({})) {
        std::fprintf(stderr, "cannot start the virtual mouse\n");
        std::filesystem::remove_all(folder);
        return 1;
    }
    MeasuringSleeper sleeper;
    auto backend = qx::MakeSystemHidBackend();
    qx::CUSBDriver driver(*backend, sleeper);
    int result = 0;
    if (!driver.OpenDevice()) {
        std::fprintf(stderr, "the virtual mouse did not appear\n");
        result = 1;
    } else {
        auto profile = std::make_unique<qx::ProfileState>();
        qx::MakeDefaultProfile(profile->settings, false);
        qx::MacroTable macros;
        qx::Localization language;
        qx::InputHooks hooks;
        NullPointer pointer;
        NullTarget target;
        qx::ManualResetEvent event;
        qx::SyncControl control(event);
        control.mainWindow = Unowned(target);
        qx::DeviceWriter writer(control, driver, *profile, macros, language, hooks, pointer,
                                sleeper);
        std::printf("%-6s %12s %12s %8s\n", "pass", "wall ms", "waits ms", "ratio");
        for (int pass = 1; pass <= passes; ++pass) {
            sleeper.Take();
            const auto start = steady_clock::now();
            if (writer.RunPass() != -1) {
                std::fprintf(stderr, "pass %d failed\n", pass);
                result = 1;
                break;
            }
            const double wall = duration<double, std::milli>(steady_clock::now() - start).count();
            const auto waits = sleeper.Take().count();
            std::printf("%-6d %12.1f %12lld %8.4f\n", pass, wall, static_cast<long long>(waits),
                        wall / static_cast<double>(waits));
        }
    }
    mouse.Stop();
    std::filesystem::remove_all(folder);
    return result;
}
