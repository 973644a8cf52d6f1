// The support page's side of an update check, run on the test's thread as the
// page's message loop would run it, against a real update check thread, the
// libcurl download and an HTTP server on loopback.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "base/Text.h"
#include "platform/CurlHttpDownload.h"
#include "support/UpdateCheck.h"
#include "tests/common/LoopbackHttpServer.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"

namespace qx::test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using Reply = LoopbackHttpServer::Reply;

// Boxes as the user sees them, with the thread that showed them and when.
class ScriptedNotifier final : public Notifier {
public:
    struct Box {
        std::u16string text;
        bool withCancel;
        std::thread::id thread;
        Clock::time_point at;
    };
    int ShowInfoMessage(std::u16string_view text, bool withCancel = false) override {
        boxes.push_back(
            {std::u16string(text), withCancel, std::this_thread::get_id(), Clock::now()});
        if (!withCancel || answers.empty()) return kIdOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int ShowInfoToast(std::u16string_view text) override { return ShowInfoMessage(text); }
    void ShowStandardInfo(std::u16string_view text) override { ShowInfoMessage(text); }

    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> out;
        for (const auto& b : boxes) out.push_back(b.text);
        return out;
    }
    std::vector<Box> boxes;
    std::deque<int> answers;  // for the OK/Cancel boxes; OK when empty
};

class RecordingBurner final : public FirmwareBurner {
public:
    bool StartBurner(std::string_view argument) override {
        arguments.emplace_back(argument);
        return true;
    }
    std::vector<std::string> arguments;
};

// The support page: its message queue and its timer 5.
class TestPage final : public MessageTarget, public UpdateWaitTimer {
public:
    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, wParam, lParam});
        arrived_.notify_all();
    }
    void StartUpdateTimer(std::chrono::milliseconds period) override {
        deadline_ = Clock::now() + period;
        ++timerStarts;
    }
    void StopUpdateTimer() override { deadline_.reset(); }
    bool TimerRunning() const { return deadline_.has_value(); }

    // Runs the page's loop: posted messages and timer 5 go to the check,
    // until `done` holds (true) or `limit` has passed (false).
    bool RunUntil(UpdateCheck& check, const std::function<bool()>& done,
                  std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!done()) {
            std::optional<PostedMessage> next;
            {
                std::unique_lock lock(mutex_);
                auto until = end;
                if (deadline_ && *deadline_ < until) until = *deadline_;
                arrived_.wait_until(lock, until, [&] { return !queue_.empty(); });
                if (!queue_.empty()) {
                    next = queue_.front();
                    queue_.pop_front();
                }
            }
            if (next) {
                handled.push_back(*next);
                if (next->message == kMsgUpdateCheckDone)
                    check.OnUpdateCheckDone(next->wParam, next->lParam);
                else if (next->message == kMsgFirmwareDownloaded)
                    check.OnFirmwareDownloaded(next->wParam);
            } else if (deadline_ && Clock::now() >= *deadline_) {
                check.OnUpdateTimer();
            } else if (Clock::now() >= end) {
                return done();
            }
        }
        return true;
    }
    void RunFor(UpdateCheck& check, std::chrono::milliseconds time) {
        RunUntil(
            check, [] { return false; }, time);
    }

    std::vector<PostedMessage> handled;
    int timerStarts = 0;

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<PostedMessage> queue_;
    std::optional<Clock::time_point> deadline_;
};

inline std::string Description(const std::string& current, const std::string& newfile) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<update>\n  <firmware>\n    <current>" +
           current + "</current>\n    <newfile>" + newfile +
           "</newfile>\n  </firmware>\n</update>\n";
}

class UpdateCheckFixture : public ::testing::Test {
protected:
    static constexpr char kDescriptionPath[] = "/software/QX600/update.xml.";

    // Without the thread: the utility found no mouse at start-up.
    explicit UpdateCheckFixture(bool startThread = true) {
        std::filesystem::create_directories(paths.downloadFolder);
        SetBaseUrl(server.Url());
        control.page = Unowned(page);
        if (startThread) thread = downloader.StartThread();
    }
    ~UpdateCheckFixture() override {
        control.Stop();
        if (thread.joinable()) thread.join();
    }

    void SetBaseUrl(const std::string& url) {
        WriteText(paths.settings, "[update]\nbase_url=" + url + "\n");
    }
    void ServeDescription(const std::string& current, const std::string& newfile,
                          std::chrono::milliseconds delay = 0ms) {
        server.Serve(kDescriptionPath, Reply::Ok(Description(current, newfile)).Late(delay));
    }
    void WriteLocalDescription(const std::string& current, const std::string& newfile) {
        WriteText(paths.localDescription, Description(current, newfile));
    }
    std::string LocalDescription() const {
        const auto bytes = ReadBytes(paths.localDescription);
        return {bytes.begin(), bytes.end()};
    }
    std::string LocalFirmware() const {
        const auto bytes = ReadBytes(paths.localFirmware);
        return {bytes.begin(), bytes.end()};
    }
    // Presses the update button and runs the page until the check has ended
    // (a box shown and the page idle again, or the main window asked to close).
    bool PressAndWait(UpdateCheck& on, std::u16string_view version,
                      std::chrono::milliseconds limit = 5000ms) {
        const std::size_t before = notifier.boxes.size();
        const bool started = on.CheckForUpdate(version);
        page.RunUntil(
            on,
            [&] {
                return (control.updateIdle.load() && notifier.boxes.size() > before) ||
                       !mainWindow.Messages().empty();
            },
            limit);
        return started;
    }
    bool PressAndWait(std::u16string_view version) { return PressAndWait(check, version); }
    std::size_t DescriptionRequests() const {
        std::size_t n = 0;
        for (const auto& r : server.Requests()) n += r == kDescriptionPath;
        return n;
    }

    TempDir app;
    LoopbackHttpServer server;
    UpdatePaths paths = UpdatePathsFor(app.path());
    ManualResetEvent event;
    UpdateCheckControl control{event};
    Localization language;
    ScriptedNotifier notifier;
    RecordingBurner burner;
    TestPage page;
    RecordingTarget mainWindow;
    CurlHttpDownload http;
    UpdateDownloader downloader{control, http, paths};
    UpdateCheck check{control,  paths,  u"QX600", language,
                      notifier, burner, page,     Unowned(mainWindow)};
    std::thread thread;
};

}  // namespace qx::test
