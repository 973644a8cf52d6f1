// qx-driver: the configuration utility of the Orvik QX mice.
#include <QApplication>

#include "app/QX600DriverApp.h"
#include "platform/ProcessMemory.h"

int main(int argc, char** argv) {
    qx::ReturnLargeBlocksToTheSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName("qx-driver");
    QApplication::setQuitOnLastWindowClosed(false);
    qx::app::CQX600DriverApp driver;
    return driver.InitInstance();
}
