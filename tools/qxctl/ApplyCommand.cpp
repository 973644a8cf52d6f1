// qxctl apply: one synchronisation of the active profile into the mouse,
// through the same writer thread the utility runs.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "app/Folders.h"
#include "base/DataFile.h"
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

constexpr const char* kApplyUsage =
    "usage: qxctl apply [--wait SECONDS]\n"
    "Writes the active profile into the mouse, then saves it.\n"
    "  --wait SECONDS  how long to wait for another program writing to the same\n"
    "                  mouse (default 20; 0 gives up at once)\n"
    "exit codes:\n"
    "  0  the profile is in the mouse and saved\n"
    "  1  the mouse refused a step (its text is printed), or no mouse, or an error\n"
    "  2  usage\n"
    "  3  another program was writing to the mouse for the whole wait; nothing sent\n"
    "  4  written and saved, but the mouse did not take the DPI level or the report\n"
    "     rate (printed as \"incomplete: ...\")\n"
    "  5  written, but the profile could not be saved (the reason is on stderr)\n";

enum ApplyExit : int {
    kApplyOk = 0,
    kApplyFailed = 1,
    kApplyUsageError = 2,
    kApplyBusy = 3,
    kApplyIncomplete = 4,
    kApplyNotSaved = 5,
};

std::optional<std::chrono::milliseconds> ParseWait(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::chrono::seconds(std::stoi(text));
}

std::string Line(std::u16string_view text) {
    std::string line = ToUtf8(text);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

}  // namespace

int RunApply(Context& context) {
    std::chrono::milliseconds wait = kDeviceLockWait;
    for (std::size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if (arg == "--help") {
            std::printf("%s", kApplyUsage);
            return kApplyOk;
        }
        if (arg != "--wait" || i + 1 >= context.args.size()) {
            std::fprintf(stderr, "%s", kApplyUsage);
            return kApplyUsageError;
        }
        const auto parsed = ParseWait(context.args[++i]);
        if (!parsed) {
            std::fprintf(stderr, "%s", kApplyUsage);
            return kApplyUsageError;
        }
        wait = *parsed;
    }
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
    // A data folder without Macro.cfg simply has no macros yet; one that
    // cannot be read would send the macro buttons empty.
    if (const FileError error = store.ReadMacroFile();
        error != FileError::None && !IsMissing(error))
        return Fail("cannot read " + store.MacroFilePath().string() + ": " +
                    std::string(FileErrorText(error)));

    InputHooks hooks;  // no tap: the intercept table is kept, nothing is watched
    X11PointerSettings pointer;
    ManualResetEvent syncEvent;
    SyncControl control(syncEvent);
    control.deviceLockWait = wait;
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
            // A failed save has been reported on stderr by then.
            const bool saved = OnSyncSucceeded(control, *profile, files, hooks, nullptr);
            const std::u16string warnings = SyncWarningText(message.lParam);
            for (std::size_t at = 0; at < warnings.size();) {
                const auto end = warnings.find(u'\n', at);
                std::printf("incomplete: %s\n", Line(warnings.substr(at, end - at)).c_str());
                at = end == std::u16string::npos ? warnings.size() : end + 1;
            }
            if (!saved) {
                std::printf("not saved: the profile is in the mouse, but not in %s\n",
                            context.dataFolder.c_str());
                exitCode = kApplyNotSaved;
            } else {
                if (warnings.empty()) std::printf("ok\n");
                exitCode = warnings.empty() ? kApplyOk : kApplyIncomplete;
            }
        } else if (message.number == kMsgSyncFailed) {
            std::printf("failed: %s\n", Line(SyncFailureText(message.lParam)).c_str());
            control.syncReady = true;
            exitCode = message.lParam == kSyncFailDeviceBusy ? kApplyBusy : kApplyFailed;
        }
    }
    control.writerRunning = false;
    syncEvent.Set();
    thread.join();
    return exitCode;
}

}  // namespace qx::cli
