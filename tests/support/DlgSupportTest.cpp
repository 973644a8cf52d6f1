// The support page as a window, offscreen: where its buttons sit, what they
// say and do, the hints, the version texts, and the update check's answers
// arriving through the page's messages from a real update check thread.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <thread>

#include "base/ProfileRecord.h"
#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "platform/CurlHttpDownload.h"
#include "support/DlgSupport.h"
#include "tests/common/LoopbackHttpServer.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using support::CDlgSupport;
using support::SupportControl;
using Kind = RecordingNotifier::Kind;

class RecordingDesktop final : public DesktopActions {
public:
    void PlaySoundFile(const fs::path&) override {}
    void RunProgram(const fs::path&) override {}
    void OpenPath(const fs::path& path) override { opened.push_back(path.string()); }
    void OpenUrl(std::string_view url) override { opened.emplace_back(url); }
    std::vector<std::string> opened;
};

class RecordingBurner final : public FirmwareBurner {
public:
    bool StartBurner(std::string_view argument) override {
        arguments.emplace_back(argument);
        return true;
    }
    std::vector<std::string> arguments;
};

// Runs the event loop until the predicate holds or the time is up.
template <class Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

class SupportPage : public ::testing::Test {
protected:
    SupportPage() {
        // A private installation folder: the update check keeps its
        // downloads below it; the pictures are the build's.
        fs::create_directory_symlink(AppFolder() / "skins", app / "skins");
        LoadLanguageFile(language, AppFolder() / "Language" / "en.xml");
        files.LoadProfileTable();
        notifier.Clear();
    }
    ~SupportPage() override {
        delete page;
        control.Stop();
        if (thread.joinable()) thread.join();
    }

    CDlgSupport& Page() {
        if (!page) {
            page = new CDlgSupport(
                nullptr, environment,
                {firmwareVersion, u"QX600", files, dialogs, desktop, control, burner});
            page->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(page));
        }
        return *page;
    }
    void Click(SupportControl control) {
        QTest::mouseClick(Page().Button(control), Qt::LeftButton);
    }
    std::vector<Posted> PostedToMainWindow(std::uint32_t message) {
        Pump();
        return mainWindow.Of(message);
    }

    TempDir app;
    TempDir data;
    Localization language;
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    RecordingWindow mainWindow;
    ui::PageEnvironment environment{app.path(), app / "skins/QX600", language, notifier,
                                    tooltips,   mainWindow.Handle()};
    FirmwareVersion firmwareVersion;
    std::unique_ptr<ProfileState> state = std::make_unique<ProfileState>();
    ProfileFiles files{*state, data.path(), notifier, language};
    FakeFileDialogs dialogs;
    RecordingDesktop desktop;
    ManualResetEvent event;
    UpdateCheckControl control{event};
    RecordingBurner burner;
    std::thread thread;
    CDlgSupport* page = nullptr;
};

TEST_F(SupportPage, ButtonsSitOnTheirRectanglesWithTheLanguagesTooltips) {
    const struct {
        SupportControl control;
        QRect rect;
        const char* key;
    } cases[] = {
        {SupportControl::Update, {405, 264, 115, 29}, "str_update"},
        {SupportControl::WebSite, {711, 264, 115, 29}, "str_orvikWeb"},
        {SupportControl::Import, {134, 389, 90, 31}, "str_importFile"},
        {SupportControl::Export, {234, 389, 90, 31}, "str_exportFile"},
        {SupportControl::Restore, {785, 388, 88, 29}, "str_defaultname"},
    };
    EXPECT_EQ(Page().size(), QSize(925, 456));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_NE(Page().Button(c.control), nullptr);
        EXPECT_EQ(Page().Button(c.control)->geometry(), c.rect);
        EXPECT_FALSE(language.table.Text(c.key).empty());
        EXPECT_EQ(Page().Button(c.control)->toolTip().toStdU16String(), language.table.Text(c.key));
    }
    // Another language: the tooltips follow once the main window says so.
    LoadLanguageFile(language, AppFolder() / "Language" / "ger.xml");
    tooltips.Notify();
    for (const auto& c : cases)
        EXPECT_EQ(Page().Button(c.control)->toolTip().toStdU16String(), language.table.Text(c.key))
            << c.key;
}

TEST_F(SupportPage, PointingAtAControlOrLabelPostsItsHint) {
    const struct {
        QPoint at;
        LParam hint;
    } cases[] = {
        {{450, 280}, 59},  // over the update button: the button gets the movement
        {{720, 270}, 60}, {{150, 400}, 61}, {{300, 400}, 62},
        {{800, 400}, 63}, {{100, 120}, 92},  // the label areas are part of the page
        {{379, 112}, 93},                    // one pixel outside the firmware label still counts
    };
    Page();
    for (const auto& c : cases) {
        mainWindow.posted.clear();
        QWidget* under = Page().childAt(c.at);
        QTest::mouseMove(under ? under : &Page(), under ? under->mapFromParent(c.at) : c.at);
        EXPECT_EQ(PostedToMainWindow(kMsgHint), (std::vector<Posted>{{kMsgHint, 0, c.hint}}))
            << c.at.x() << "," << c.at.y();
    }
    mainWindow.posted.clear();
    QTest::mouseMove(&Page(), QPoint(600, 200));
    EXPECT_TRUE(PostedToMainWindow(kMsgHint).empty());
}

TEST_F(SupportPage, ButtonsRunTheirCommands) {
    Click(SupportControl::WebSite);
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"https://www.orvik.com"});

    // Export, change, import: the exported profile is back.
    const fs::path file = data / "exchange.cfg";
    state->settings.lightingMode = 4;
    dialogs.answers = {file};
    Click(SupportControl::Export);
    EXPECT_EQ(fs::file_size(file), 30252u);
    state->settings.lightingMode = 1;
    dialogs.answers = {file};
    Click(SupportControl::Import);
    EXPECT_EQ(state->settings.lightingMode, 4);
    EXPECT_EQ(dialogs.asked.size(), 2u);

    // Restore: Cancel sends nothing, OK asks the main window.
    notifier.answer = kIdCancel;
    Click(SupportControl::Restore);
    EXPECT_TRUE(PostedToMainWindow(kMsgRestoreDefaults).empty());
    notifier.answer = kIdOk;
    Click(SupportControl::Restore);
    EXPECT_EQ(PostedToMainWindow(kMsgRestoreDefaults),
              (std::vector<Posted>{{kMsgRestoreDefaults, 0, 0}}));
    const std::u16string path = FromUtf8(file.string());
    EXPECT_EQ(notifier.Messages(),
              (std::vector<RecordingNotifier::Message>{
                  {Kind::Standard, path + u" export success!"},
                  {Kind::Standard, path + u" import success!"},
                  {Kind::Info, u"Do you want to restore the default setting?"},
                  {Kind::Info, u"Do you want to restore the default setting?"}}));
}

QImage Masked(QImage image, std::initializer_list<QRect> boxes) {
    QPainter painter(&image);
    for (const QRect& box : boxes) painter.fillRect(box, Qt::black);
    painter.end();
    return image;
}

TEST_F(SupportPage, VersionTextsAreDrawnInTheirBoxesAtEveryPaint) {
    const QRect driverBox(127, 169, 120, 23), firmwareBox(440, 169, 75, 23);
    const QImage normal = ui::LoadSkinPicture(AppFolder() / "skins/support_normal.bmp")
                              .image.convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(normal.isNull());
    auto shown = [&](int version) {
        firmwareVersion.Set(version);
        Page().update();
        return Page().grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage unknown = shown(0), v012 = shown(12), v015 = shown(15);

    for (const QImage* image : {&unknown, &v012, &v015}) {
        // Outside the two boxes the page is its picture; inside each, text.
        EXPECT_EQ(Masked(*image, {driverBox, firmwareBox}),
                  Masked(normal, {driverBox, firmwareBox}));
        EXPECT_NE(image->copy(driverBox), normal.copy(driverBox));
        EXPECT_NE(image->copy(firmwareBox), normal.copy(firmwareBox));
        EXPECT_EQ(image->copy(driverBox), unknown.copy(driverBox));
    }
    // The firmware text follows the version read last.
    EXPECT_NE(unknown.copy(firmwareBox), v012.copy(firmwareBox));
    EXPECT_NE(v012.copy(firmwareBox), v015.copy(firmwareBox));
    EXPECT_EQ(Page().FirmwareVersionShown(), u"V 0.1.5");
}

TEST_F(SupportPage, UpdateButtonAsksWithTheThreadsAnswerAndTheNextPressFromTheLocalCopy) {
    LoopbackHttpServer server;
    fs::create_directories(app / "FWUpdate/new_version");
    WriteText(app / "FWUpdate/update.ini", "[update]\nbase_url=" + server.Url() + "\n");
    server.Serve(
        "/software/QX600/update.xml.",
        LoopbackHttpServer::Reply::Ok("<update><firmware><current>13</current><newfile>" +
                                      server.Url("/fw.bin") + "</newfile></firmware></update>"));
    CurlHttpDownload http;
    UpdateDownloader downloader(control, http, UpdatePathsFor(app.path()));
    thread = downloader.StartThread();
    firmwareVersion.Set(12);
    notifier.answer = kIdCancel;

    Click(SupportControl::Update);
    EXPECT_TRUE(Page().UpdateTimerRunning());
    const std::vector<RecordingNotifier::Message> prompt = {{Kind::Info, kMsgUpdatePromptEnglish}};
    ASSERT_TRUE(PumpUntil([&] { return !notifier.Messages().empty(); }, 5s));
    EXPECT_EQ(notifier.Messages(), prompt);
    EXPECT_FALSE(Page().UpdateTimerRunning());
    EXPECT_TRUE(control.updateIdle.load());

    // Cancelled: the second press asks at once, without the server.
    notifier.Clear();
    Click(SupportControl::Update);
    EXPECT_EQ(notifier.Messages(), prompt);
    EXPECT_FALSE(Page().UpdateTimerRunning());
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(burner.arguments.empty());
    EXPECT_TRUE(PostedToMainWindow(kWmClose).empty());

    // Once the page is gone the thread has no one to post to.
    delete page;
    page = nullptr;
    EXPECT_EQ(control.page.load(), nullptr);
}

}  // namespace
}  // namespace qx::test
