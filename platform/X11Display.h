// A connection to the X server for the services that need one (keyboard
// layout, input tap, pointer settings). Absent when there is no X display
// (a Wayland-only session, or none at all): callers then do without.
#pragma once

#include <memory>

struct _XDisplay;

namespace qx {

struct X11DisplayCloser {
    void operator()(_XDisplay* display) const;
};
using X11Display = std::unique_ptr<_XDisplay, X11DisplayCloser>;

// Opens $DISPLAY (or the named display); nullptr when none can be opened.
X11Display OpenX11Display(const char* name = nullptr);

}  // namespace qx
