// qx-driver: the configuration utility of the Orvik QX mice.
#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/QX600DriverApp.h"
#include "platform/ProcessMemory.h"

namespace {

constexpr char kUsage[] =
    "usage: qx-driver\n"
    "       qx-driver --help | --version\n"
    "\n"
    "The configuration utility of the Orvik QX gaming mice. A normal start takes\n"
    "no options: it finds the mouse, shows its window and an icon in the tray,\n"
    "and runs as long as the mouse is plugged in. A second start brings the\n"
    "running copy's window back. See qx-driver(1); qxctl(1) is its command-line\n"
    "client.\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered on the terminal before anything opens a display or takes the
    // single-instance lock.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("qx-driver %s\n", QX_VERSION);
            return 0;
        }
    }
    qx::ReturnLargeBlocksToTheSystem();
    QApplication application(argc, argv);
    // Qt has taken its own options (-display, -session from a session manager,
    // ...); whatever is left the utility does not know.
    if (argc > 1) {
        std::fprintf(stderr,
                     "qx-driver: unknown option '%s' (it takes none; see qx-driver --help)\n",
                     argv[1]);
        return 2;
    }
    QApplication::setApplicationName("qx-driver");
    QApplication::setQuitOnLastWindowClosed(false);
    qx::app::CQX600DriverApp driver;
    return driver.InitInstance();
}
