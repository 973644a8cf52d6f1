// The utility's application object: the start-up (single instance, events,
// folders, model, menu library), the platform services, then the modal run of
// the main window. The process ends when that run returns.
#pragma once

namespace qx::app {

class CQX600DriverApp {
public:
    // The whole life of the utility; the process's exit code.
    int InitInstance();
};

}  // namespace qx::app
