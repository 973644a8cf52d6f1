// qxctl apply: one synchronisation of the active profile into the mouse,
// through the same writer thread the utility runs.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "app/Folders.h"
#include "base/FileDialogs.h"
#include "base/Text.h"
#include "macro/MacroStore.h"
#include "platform/SystemHidBackend.h"
#include "platform/X11PointerSettings.h"
#include "profile/DeviceWriter.h"
#include "tools/qxctl/Cli.h"

namespace qx::cli {
namespace {

// Stands in for both the progress window and the main window: the writer's
// messages are handled here, on the main thread, in the order they came.
class MessageQueue final : public MessageTarget {
public:
    struct Message {
        std::uint32_t number;
        WParam wParam;
        LParam lParam;
    };
    void PostMessage(std::uint32_t number, WParam wParam, LParam lParam) override {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back({number, wParam, lParam});
        }
        arrived_.notify_one();
    }
    Message Take() {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return !messages_.empty(); });
        const Message message = messages_.front();
        messages_.pop_front();
        return message;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> messages_;
};

}  // namespace

int RunApply(Context& context) {
    if (!context.Positional().empty()) return Fail("usage: qxctl apply");
    RealSleeper sleeper;
    auto backend = MakeSystemHidBackend();
    CUSBDriver driver(*backend, sleeper);
    if (!driver.CreateChannel(ExecutableFolder()))
        return Fail("HidParse.so is missing beside qxctl");
    if (!driver.OpenDevice()) return Fail("no mouse found");

    auto profile = std::make_unique<ProfileState>();
    ProfileFiles files(*profile, context.dataFolder, context.notifier, context.language);
    files.LoadProfileTable();
    MacroTable macros;
    NoFileDialogs dialogs;
    MacroStore store(macros, context.dataFolder, context.notifier, sleeper, context.language,
                     dialogs);
    // A data folder without Macro.cfg simply has no macros yet.
    if (std::filesystem::exists(store.MacroFilePath())) store.LoadMacroFile();

    InputHooks hooks;  // no tap: the intercept table is kept, nothing is watched
    X11PointerSettings pointer;
    ManualResetEvent syncEvent;
    SyncControl control(syncEvent);
    MessageQueue queue;
    control.mainWindow = Unowned(queue);
    control.progressWindow = Unowned(queue);
    DeviceWriter writer(control, driver, *profile, macros, context.language, hooks, pointer,
                        sleeper);
    std::thread thread([&writer] { writer.DeviceWriterThread(); });
    control.RequestSync();

    int exitCode = -1;
    while (exitCode < 0) {
        const auto message = queue.Take();
        if (message.number == kMsgProgress) {
            std::printf("progress %lu\n", static_cast<unsigned long>(message.wParam));
            std::fflush(stdout);
        } else if (message.number == kMsgSyncSucceeded) {
            OnSyncSucceeded(control, *profile, files, hooks, nullptr);
            std::printf("ok\n");
            exitCode = 0;
        } else if (message.number == kMsgSyncFailed) {
            std::string text = ToUtf8(SyncFailureText(message.lParam));
            while (!text.empty() && text.back() == '\n') text.pop_back();
            std::printf("failed: %s\n", text.c_str());
            control.syncReady = true;
            exitCode = 1;
        }
    }
    control.writerRunning = false;
    syncEvent.Set();
    thread.join();
    return exitCode;
}

}  // namespace qx::cli
