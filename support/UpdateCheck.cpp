#include "support/UpdateCheck.h"

#include <span>
#include <utility>
#include <vector>

#include "base/DataFile.h"
#include "support/FirmwareVersionText.h"

namespace qx {

std::u16string_view UpdatePromptText(bool chineseMode) {
    return chineseMode ? kMsgUpdatePromptChinese : kMsgUpdatePromptEnglish;
}

std::u16string_view LatestFirmwareText(bool chineseMode) {
    return chineseMode ? kMsgLatestFirmwareChinese : kMsgLatestFirmwareEnglish;
}

// ---- shared state ----

std::uint32_t UpdateCheckControl::RequestDescription(std::string url, bool allowHttp) {
    std::uint32_t check;
    {
        std::lock_guard lock(mutex_);
        check = ++lastCheck_;
        if (check == 0) check = ++lastCheck_;  // 0 means "no check" to the page
        pending_ = {UpdateJob::Kind::Description, std::move(url), allowHttp, check};
    }
    updateCheckEvent.Set();
    return check;
}

void UpdateCheckControl::RequestFirmware(std::string url, bool allowHttp) {
    {
        std::lock_guard lock(mutex_);
        pending_ = {UpdateJob::Kind::Firmware, std::move(url), allowHttp, 0};
    }
    updateCheckEvent.Set();
}

void UpdateCheckControl::DropPendingDescription() {
    std::lock_guard lock(mutex_);
    updateCheckEvent.Reset();
    if (pending_.kind == UpdateJob::Kind::Description) pending_ = {};
}

UpdateJob UpdateCheckControl::TakeJob() {
    std::lock_guard lock(mutex_);
    return std::exchange(pending_, {});
}

bool UpdateCheckControl::GaveUpOn(std::uint32_t check) {
    std::lock_guard lock(mutex_);
    return updateTimedOut.load() && check == lastCheck_;
}

void UpdateCheckControl::Stop() {
    updateCheckRunning.store(false);
    updateCheckEvent.Close();
}

// ---- the page's side ----

UpdateCheck::UpdateCheck(UpdateCheckControl& control, const UpdatePaths& paths,
                         std::u16string deviceModel, const Localization& language,
                         Notifier& notifier, FirmwareBurner& burner, UpdateWaitTimer& timer,
                         TargetHandle mainWindow)
    : control_(control),
      paths_(paths),
      deviceModel_(std::move(deviceModel)),
      language_(language),
      notifier_(notifier),
      burner_(burner),
      timer_(timer),
      mainWindow_(std::move(mainWindow)) {}

bool UpdateCheck::CheckForUpdate(std::u16string_view firmwareVersionText) {
    if (!control_.updateIdle.exchange(false)) return false;
    localVersion_ = VersionNumber(firmwareVersionText);
    server_ = ReadUpdateServer(paths_.settings);
    // A newer firmware already known from an earlier check is offered at once.
    const UpdateDescription local = ReadUpdateDescription(reader_, paths_.localDescription);
    if (localVersion_ < VersionNumber(local.current)) return AskToUpdate(local.newfile);

    control_.updateTimedOut.store(false);
    timer_.StartUpdateTimer(kUpdateWait);
    waitingFor_ =
        control_.RequestDescription(DescriptionUrl(server_, deviceModel_), server_.allowHttp);
    return true;
}

void UpdateCheck::OnUpdateTimer() {
    timer_.StopUpdateTimer();
    if (waitingFor_ == 0) return;
    waitingFor_ = 0;
    control_.DropPendingDescription();
    control_.updateTimedOut.store(true);
    control_.updateIdle.store(true);
    ShowLatest();
}

void UpdateCheck::OnUpdateCheckDone(WParam stored, LParam check) {
    // An answer after the time-out, or to an earlier check, is not shown: the
    // page has answered already. What it stored is used by the next press.
    if (waitingFor_ == 0 || check != static_cast<LParam>(waitingFor_)) return;
    timer_.StopUpdateTimer();
    waitingFor_ = 0;
    if (stored) {
        const UpdateDescription fresh = ReadUpdateDescription(reader_, paths_.localDescription);
        if (VersionNumber(fresh.current) > localVersion_) {
            AskToUpdate(fresh.newfile);
            return;
        }
    }
    control_.updateIdle.store(true);
    ShowLatest();
}

void UpdateCheck::OnFirmwareDownloaded(WParam stored) {
    if (!firmwarePending_) return;
    firmwarePending_ = false;
    if (!stored) {
        control_.updateIdle.store(true);
        notifier_.ShowInfoMessage(kMsgFirmwareDownloadFailed);
        return;
    }
    LaunchFirmwareBurner();
}

void UpdateCheck::LaunchFirmwareBurner() {
    // The utility closes whether or not the burner started, as it does when it
    // finds the mouse in its firmware-update mode at start-up.
    burner_.StartBurner(BurnerArgument(language_.chineseMode));
    if (mainWindow_) mainWindow_->PostMessage(kWmClose, 0, 0);
}

bool UpdateCheck::AskToUpdate(std::u16string_view newfile) {
    newFirmwareUrl_ = newfile;
    if (notifier_.ShowInfoMessage(UpdatePromptText(language_.chineseMode), true) != kIdOk) {
        control_.updateIdle.store(true);
        return false;
    }
    return DownloadFirmware();
}

// The burner gets the firmware the description names, fetched now: the local
// copy of the description may be older than the firmware file beside it, or
// have none at all.
bool UpdateCheck::DownloadFirmware() {
    const auto url = FirmwareUrl(newFirmwareUrl_, server_);
    if (!url || !control_.threadListening.load()) {
        control_.updateIdle.store(true);
        notifier_.ShowInfoMessage(kMsgFirmwareDownloadFailed);
        return false;
    }
    firmwarePending_ = true;
    control_.RequestFirmware(*url, server_.allowHttp);
    return true;
}

void UpdateCheck::ShowLatest() {
    notifier_.ShowInfoMessage(LatestFirmwareText(language_.chineseMode));
}

// ---- the thread's side ----

UpdateDownloader::UpdateDownloader(UpdateCheckControl& control, HttpDownload& http,
                                   const UpdatePaths& paths, UpdateDownloadLimits limits)
    : control_(control), http_(http), paths_(paths), limits_(limits) {}

std::thread UpdateDownloader::StartThread() {
    control_.threadListening.store(true);
    return std::thread([this] { UpdateCheckThread(); });
}

void UpdateDownloader::UpdateCheckThread() {
    control_.threadListening.store(true);
    while (control_.updateCheckRunning.load()) {
        if (control_.updateCheckEvent.Wait() == ManualResetEvent::WaitResult::Closed) break;
        if (!control_.updateCheckRunning.load()) break;
        control_.updateCheckEvent.Reset();
        const UpdateJob job = control_.TakeJob();
        if (job.kind != UpdateJob::Kind::None) RunJob(job);
    }
    control_.threadListening.store(false);
}

bool UpdateDownloader::RunJob(const UpdateJob& job) {
    const bool firmware = job.kind == UpdateJob::Kind::Firmware;
    HttpLimits limits = firmware ? limits_.firmware : limits_.description;
    limits.allowHttp = job.allowHttp;
    limits.proceed = &control_.updateCheckRunning;
    const bool stored =
        Fetch(job, limits, firmware ? paths_.localFirmware : paths_.localDescription);

    const TargetHandle page = control_.page.load();
    if (!page || !control_.updateCheckRunning.load()) return stored;
    if (firmware)
        page->PostMessage(kMsgFirmwareDownloaded, stored ? 1 : 0, 0);
    else if (!control_.GaveUpOn(job.check))
        page->PostMessage(kMsgUpdateCheckDone, stored ? 1 : 0, static_cast<LParam>(job.check));
    return stored;
}

bool UpdateDownloader::Fetch(const UpdateJob& job, const HttpLimits& limits,
                             const std::filesystem::path& target) {
    if (!IsFetchableUrl(job.url, limits.allowHttp)) return false;
    std::vector<std::uint8_t> body;
    if (http_.Get(job.url, limits, body) != HttpError::None) return false;
    // An empty firmware file is a failed download, not something to burn.
    if (job.kind == UpdateJob::Kind::Firmware && body.empty()) return false;
    CreateFolder(paths_.downloadFolder.parent_path());
    CreateFolder(paths_.downloadFolder);
    // Written whole or not at all: a failed or cut download keeps the old copy.
    return WriteFileAtomic(target, std::as_bytes(std::span(body))) == FileError::None;
}

}  // namespace qx
