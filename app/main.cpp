// qx-driver: the configuration utility of the Orvik QX mice.
#include <QApplication>

#include "app/QX600DriverApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("qx-driver");
    QApplication::setQuitOnLastWindowClosed(false);
    qx::app::CQX600DriverApp driver;
    return driver.InitInstance();
}
