// The firmware update check. The support page's update button starts a check;
// the update check thread downloads the update description (and, once the user
// agrees, the firmware) while the page waits at most two seconds for its
// answer on timer 5. The thread never touches a window: it posts its results
// to the page, and every box is shown on the page's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/ManualResetEvent.h"
#include "base/Messages.h"
#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "i18n/XmlReader.h"
#include "platform/HttpDownload.h"
#include "support/FirmwareBurner.h"
#include "support/UpdateServer.h"

namespace qx {

inline constexpr char16_t kMsgUpdatePromptChinese[] = u"游戏鼠标固件有更新,是否更新到最新版本?";
inline constexpr char16_t kMsgUpdatePromptEnglish[] =
    u"A new version of firmware is available for the gaming mouse, whether to update or not?";
inline constexpr char16_t kMsgLatestFirmwareChinese[] = u"固件已经是最新版本.";
inline constexpr char16_t kMsgLatestFirmwareEnglish[] = u"Firmware is the latest version.";
// The same in every language.
inline constexpr char16_t kMsgFirmwareDownloadFailed[] = u"New-version firmware download failed.";

std::u16string_view UpdatePromptText(bool chineseMode);
std::u16string_view LatestFirmwareText(bool chineseMode);

// Timer 5 of the support page: how long it waits for the description.
inline constexpr int kUpdateTimerId = 5;
inline constexpr std::chrono::milliseconds kUpdateWait{2000};

// One download for the thread.
struct UpdateJob {
    enum class Kind { None, Description, Firmware };
    Kind kind = Kind::None;
    std::string url;  // empty when the server setting is unusable: fails at once
    bool allowHttp = false;
    std::uint32_t check = 0;  // the check a description belongs to
};

// What the support page and the update check thread share.
struct UpdateCheckControl {
    ManualResetEvent& updateCheckEvent;
    std::atomic<bool> updateIdle{true};          // no check under way; a new one may start
    std::atomic<bool> updateTimedOut{false};     // the page gave up waiting for the running check
    std::atomic<bool> updateCheckRunning{true};  // cleared when the main window closes
    std::atomic<bool> threadListening{false};    // the thread was started and has not ended
    // The support page, which receives the thread's results; null when it is gone.
    std::atomic<TargetHandle> page;

    explicit UpdateCheckControl(ManualResetEvent& event) : updateCheckEvent(event) {}

    // Page side. Each hands the thread one job (replacing one not yet taken)
    // and signals UpdateCheckEvent; a description gets the next check number.
    std::uint32_t RequestDescription(std::string url, bool allowHttp);
    void RequestFirmware(std::string url, bool allowHttp);
    // The page gave up on the check: a description the thread has not taken
    // yet is not fetched at all.
    void DropPendingDescription();
    // Thread side: the job to run, leaving none behind.
    UpdateJob TakeJob();
    // Whether the page gave up on this check, so its answer is not wanted.
    bool GaveUpOn(std::uint32_t check);
    // The main window closes: clears UpdateCheckRunning (which also stops a
    // running transfer) and wakes the thread for good so that it ends.
    void Stop();

private:
    std::mutex mutex_;
    UpdateJob pending_;
    std::uint32_t lastCheck_ = 0;
};

// Timer 5 of the support page, started and stopped by the check.
class UpdateWaitTimer {
public:
    virtual ~UpdateWaitTimer() = default;
    virtual void StartUpdateTimer(std::chrono::milliseconds period) = 0;
    virtual void StopUpdateTimer() = 0;
};

// The page's side of the check. Every member runs on the page's (UI) thread.
class UpdateCheck {
public:
    UpdateCheck(UpdateCheckControl& control, const UpdatePaths& paths, std::u16string deviceModel,
                const Localization& language, Notifier& notifier, FirmwareBurner& burner,
                UpdateWaitTimer& timer, TargetHandle mainWindow);

    // The update button. Does nothing and returns false while a check is
    // under way. When the local description already names a newer firmware,
    // asks at once; otherwise hands the thread a description download and
    // starts timer 5. True when a check or a firmware download was started.
    bool CheckForUpdate(std::u16string_view firmwareVersionText);
    // Timer 5 fired: the page gives up waiting and says the firmware is the
    // latest; the download goes on and only replaces the local description.
    void OnUpdateTimer();
    // kMsgUpdateCheckDone from the thread.
    void OnUpdateCheckDone(WParam stored, LParam check);
    // kMsgFirmwareDownloaded from the thread.
    void OnFirmwareDownloaded(WParam stored);
    // Starts the burner with "1" (Chinese) or "0" and closes the main window.
    void LaunchFirmwareBurner();

private:
    bool AskToUpdate(std::u16string_view newfile);
    bool DownloadFirmware();
    void ShowLatest();

    UpdateCheckControl& control_;
    UpdatePaths paths_;
    std::u16string deviceModel_;
    const Localization& language_;
    Notifier& notifier_;
    FirmwareBurner& burner_;
    UpdateWaitTimer& timer_;
    TargetHandle mainWindow_;

    XmlReader reader_;  // the check's own: language loading uses another
    UpdateServer server_;
    std::uint32_t localVersion_ = 0;
    std::uint32_t waitingFor_ = 0;  // the check timer 5 waits for; 0 none
    bool firmwarePending_ = false;
    std::u16string newFirmwareUrl_;
};

struct UpdateDownloadLimits {
    HttpLimits description{kMaxDescriptionBytes, std::chrono::seconds(10),
                           std::chrono::seconds(30)};
    HttpLimits firmware{kMaxFirmwareBytes, std::chrono::seconds(10), std::chrono::minutes(10)};
};

// The update check thread's side: downloads, stores atomically, posts.
class UpdateDownloader {
public:
    UpdateDownloader(UpdateCheckControl& control, HttpDownload& http, const UpdatePaths& paths,
                     UpdateDownloadLimits limits = {});

    // Starts UpdateCheckThread on a thread of its own.
    std::thread StartThread();
    // The thread procedure: waits on UpdateCheckEvent and runs the job it was
    // given, until UpdateCheckRunning is cleared or the event is closed.
    void UpdateCheckThread();
    // One job as the thread runs it: true when the file was downloaded and
    // stored. The result has been posted to the page.
    bool RunJob(const UpdateJob& job);

private:
    bool Fetch(const UpdateJob& job, const HttpLimits& limits, const std::filesystem::path& target);

    UpdateCheckControl& control_;
    HttpDownload& http_;
    UpdatePaths paths_;
    UpdateDownloadLimits limits_;
};

}  // namespace qx
