#include "platform/X11Display.h"

#include <X11/Xlib.h>

namespace qx {

void X11DisplayCloser::operator()(_XDisplay* display) const {
    if (display) XCloseDisplay(display);
}

X11Display OpenX11Display(const char* name) {
    return X11Display(XOpenDisplay(name));
}

}  // namespace qx
