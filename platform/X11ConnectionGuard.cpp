#include "platform/X11ConnectionGuard.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace qx {

namespace {

struct Guarded {
    Display* display;
    std::uint64_t errors;
};

// Xlib's error handlers are one per process, so the guarded connections are
// too. The handlers run on whichever thread reads the failing answer.
std::mutex guardMutex;
std::vector<Guarded> guarded;
// Never destroyed, so that the abandoned connections stay referenced until
// the very end of the process (a leak checker running after the static
// destructors would otherwise report them).
std::vector<Display*>& abandoned = *new std::vector<Display*>;
XIOErrorHandler previousIoHandler = nullptr;
XErrorHandler previousErrorHandler = nullptr;
bool handlersInstalled = false;

Guarded* Find(Display* display) {
    const auto it = std::find_if(guarded.begin(), guarded.end(),
                                 [&](const Guarded& g) { return g.display == display; });
    return it == guarded.end() ? nullptr : &*it;
}

int OnIoError(Display* display) {
    {
        std::lock_guard lock(guardMutex);
        if (Find(display)) return 0;  // Xlib then runs the connection's exit handler
    }
    return previousIoHandler != nullptr ? previousIoHandler(display) : 0;
}

int OnProtocolError(Display* display, XErrorEvent* error) {
    XErrorHandler previous;
    {
        std::lock_guard lock(guardMutex);
        if (Guarded* g = Find(display)) {
            ++g->errors;
            return 0;
        }
        previous = previousErrorHandler;
    }
    return previous != nullptr ? previous(display, error) : 0;
}

void MarkLost(Display*, void* flag) {
    static_cast<std::atomic<bool>*>(flag)->store(true, std::memory_order_release);
}

}  // namespace

void GuardX11Connection(Display* display, std::atomic<bool>* lost) {
    {
        std::lock_guard lock(guardMutex);
        guarded.push_back({display, 0});
        if (!handlersInstalled) {
            // Whoever handled errors before (Xlib's default, or Qt's) still
            // handles those of every other connection.
            previousIoHandler = XSetIOErrorHandler(OnIoError);
            previousErrorHandler = XSetErrorHandler(OnProtocolError);
            handlersInstalled = true;
        }
    }
    XSetIOErrorExitHandler(display, MarkLost, lost);
}

void ReleaseX11Connection(Display* display) {
    std::lock_guard lock(guardMutex);
    const auto it = std::find_if(guarded.begin(), guarded.end(),
                                 [&](const Guarded& g) { return g.display == display; });
    if (it != guarded.end()) guarded.erase(it);
}

void AbandonX11Connection(Display* display) {
    std::lock_guard lock(guardMutex);
    abandoned.push_back(display);
}

std::uint64_t X11ProtocolErrors(Display* display) {
    std::lock_guard lock(guardMutex);
    const Guarded* g = Find(display);
    return g != nullptr ? g->errors : 0;
}

bool X11RequestsFailedSince(Display* display, std::uint64_t before) {
    XSync(display, False);
    return X11ProtocolErrors(display) != before;
}

}  // namespace qx
