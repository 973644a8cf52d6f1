#include "platform/X11PointerPosition.h"

#include <X11/Xlib.h>

#include <cstdio>

#include "platform/X11ConnectionGuard.h"

namespace qx {

X11PointerPosition::X11PointerPosition(std::string displayName)
    : displayName_(std::move(displayName)) {}

X11PointerPosition::~X11PointerPosition() {
    if (!display_) return;
    if (lost_.load()) {
        AbandonX11Connection(display_.release());
        return;
    }
    Display* dpy = display_.get();
    display_.reset();
    ReleaseX11Connection(dpy);
}

std::optional<PointerPosition> X11PointerPosition::ReadPointerPosition() {
    if (state_ == State::Gone) return std::nullopt;
    if (state_ == State::NotOpened) {
        display_ = OpenX11Display(displayName_.empty() ? nullptr : displayName_.c_str());
        if (!display_) {
            state_ = State::Gone;
            std::fprintf(stderr, "qx-driver: no X display: pointer travel is not counted\n");
            return std::nullopt;
        }
        GuardX11Connection(display_.get(), &lost_);
        state_ = State::Open;
    }
    Display* dpy = display_.get();
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    // False only says the pointer is on another screen; the root coordinates
    // are then those of that screen.
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    if (lost_.load()) {
        state_ = State::Gone;
        std::fprintf(stderr,
                     "qx-driver: lost the X connection: pointer travel is no longer counted\n");
        return std::nullopt;
    }
    return PointerPosition{rootX, rootY};
}

}  // namespace qx
