#include "tests/macro/KeyCatcher.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace qx::test {

namespace {
Display* D(void* display) {
    return static_cast<Display*>(display);
}
}  // namespace

KeyCatcher::KeyCatcher(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (!display_) return;
    Display* dpy = D(display_);
    window_ = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 150, 70, 0, 0, 0);
    XSelectInput(dpy, window_, KeyPressMask | KeyReleaseMask);
    XMapWindow(dpy, window_);
    XSync(dpy, False);
}

KeyCatcher::~KeyCatcher() {
    if (display_) XCloseDisplay(D(display_));
}

void KeyCatcher::TakeFocus() {
    XSetInputFocus(D(display_), window_, RevertToPointerRoot, CurrentTime);
    XSync(D(display_), False);
}

std::pair<int, int> KeyCatcher::Seen(char key) {
    Display* dpy = D(display_);
    while (XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type != KeyPress && e.type != KeyRelease) continue;
        const KeySym symbol = XLookupKeysym(&e.xkey, 0);
        (e.type == KeyPress ? presses_ : releases_).push_back(symbol);
    }
    const KeySym wanted = static_cast<KeySym>(static_cast<unsigned char>(key));
    return {static_cast<int>(std::count(presses_.begin(), presses_.end(), wanted)),
            static_cast<int>(std::count(releases_.begin(), releases_.end(), wanted))};
}

}  // namespace qx::test
