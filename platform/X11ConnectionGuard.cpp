#include "platform/X11ConnectionGuard.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace qx {

namespace {

// Xlib's I/O error handler is one per process, so the guarded connections
// are too.
std::mutex guardMutex;
std::vector<Display*> guarded;
// Never destroyed, so that the abandoned connections stay referenced until
// the very end of the process (a leak checker running after the static
// destructors would otherwise report them).
std::vector<Display*>& abandoned = *new std::vector<Display*>;
XIOErrorHandler previousHandler = nullptr;
bool handlerInstalled = false;

bool IsGuarded(Display* display) {
    std::lock_guard lock(guardMutex);
    return std::find(guarded.begin(), guarded.end(), display) != guarded.end();
}

int OnIoError(Display* display) {
    if (IsGuarded(display)) return 0;  // Xlib then runs the connection's exit handler
    return previousHandler != nullptr ? previousHandler(display) : 0;
}

void MarkLost(Display*, void* flag) {
    static_cast<std::atomic<bool>*>(flag)->store(true, std::memory_order_release);
}

}  // namespace

void GuardX11Connection(Display* display, std::atomic<bool>* lost) {
    {
        std::lock_guard lock(guardMutex);
        guarded.push_back(display);
        if (!handlerInstalled) {
            previousHandler = XSetIOErrorHandler(OnIoError);
            handlerInstalled = true;
        }
    }
    XSetIOErrorExitHandler(display, MarkLost, lost);
}

void ReleaseX11Connection(Display* display) {
    std::lock_guard lock(guardMutex);
    guarded.erase(std::remove(guarded.begin(), guarded.end(), display), guarded.end());
}

}  // namespace qx

namespace qx {

void AbandonX11Connection(Display* display) {
    std::lock_guard lock(guardMutex);
    abandoned.push_back(display);
}

}  // namespace qx
