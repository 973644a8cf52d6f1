#include "app/QX600DriverApp.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "app/FirstStart.h"
#include "app/QX600DriverDlg.h"
#include "app/Startup.h"
#include "platform/CurlHttpDownload.h"
#include "platform/DesktopActions.h"
#include "platform/HotPlug.h"
#include "platform/SystemHidBackend.h"
#include "platform/TerminationSignals.h"
#include "platform/UsbDevices.h"
#include "platform/X11InputTap.h"
#include "platform/X11PointerPosition.h"
#include "platform/X11PointerSettings.h"
#include "platform/XkbKeyboardLayout.h"
#include "support/FirmwareBurner.h"
#include "support/UpdateServer.h"
#include "ui/DlgInfo.h"
#include "ui/SkinPicture.h"

namespace qx::app {
namespace {

// Outside programs (the firmware burner, the software updater) start
// directly, never through a shell.
class SpawningProgramStarter final : public ProgramStarter {
public:
    void StartProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override {
        std::vector<std::string> argv{program.string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        SpawnDetached(argv);
    }
};

}  // namespace

int CQX600DriverApp::InitInstance() {
    ui::InitSkinResources();
    Localization language;
    // Start-up's only message (the menu library missing) needs the folder of
    // the skins before the folders are known; it is the executable's.
    ui::QtNotifier startupNotifier(ExecutableFolder(), language);
    StartupResult startup = RunStartup(startupNotifier);
    if (startup.outcome != StartupResult::Outcome::Ready) return 0;

    AppFolders& folders = startup.folders;
    // A file-size limit must fail a save (which is reported), not kill the
    // utility in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    TidyDataFolder(folders.dataFolder);
    if (IsFirstStart(folders.dataFolder)) {
        LoadStartupLanguage(language, folders.appFolder);
        LayDownDataFolder(folders.dataFolder, language.startupChinese);
    }

    ui::QtNotifier notifier(folders.appFolder, language);
    auto hidBackend = MakeSystemHidBackend();
    auto usbDevices = MakeSystemUsbDevices();
    auto hotPlug = MakeSystemHotPlugSource();
    RealSleeper sleeper;
    X11InputTap tap;
    InputHooks hooks(&tap);
    X11PointerSettings pointer;
    auto keyboardLayout = MakeKeyboardLayout();
    auto actions = MakeDesktopActions();
    SpawningProgramStarter programs;
    CurlHttpDownload http;
    SpawnFirmwareBurner burner(UpdatePathsFor(folders.appFolder).burner);
    X11PointerPosition pointerPosition;

    DriverContext context{folders,
                          *startup.syncEvent,
                          *startup.updateCheckEvent,
                          *startup.menuLibrary,
                          startup.instance.get(),
                          language,
                          notifier,
                          *hidBackend,
                          *usbDevices,
                          hotPlug.get(),
                          sleeper,
                          hooks,
                          pointer,
                          *keyboardLayout,
                          *actions,
                          programs,
                          http,
                          burner,
                          pointerPosition};
    CQX600DriverDlg dialog(context);

    // The session's end and the termination signals take the way of a normal
    // exit: the counters are kept, the tray icon goes, the threads stop.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dialog,
                     [&dialog](QSessionManager&) { dialog.OnQueryEndSession(); });
    auto termination = TerminationSignals::Install();
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (termination) {
        signalNotifier =
            std::make_unique<QSocketNotifier>(termination->Descriptor(), QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &dialog,
                         [&dialog, &termination] {
                             if (termination->Take().empty()) return;
                             dialog.OnQueryEndSession();
                             dialog.PostMessage(kWmClose, 0, 0);
                         });
    }

    if (!dialog.OnInitDialog()) return 0;
    dialog.Run();
    hooks.RemoveInputHooks();
    return 0;
}

}  // namespace qx::app
