// Keeps a lost X connection from ending the process. Xlib's default answer to
// a broken connection is exit(1); a guarded connection instead raises its flag
// and its calls return, so the utility carries on without X. Connections of
// other parts of the process keep whatever handling they had.
#pragma once

#include <atomic>

struct _XDisplay;

namespace qx {

// Until ReleaseX11Connection, a broken connection sets *lost instead of
// ending the process. *lost must outlive the guard.
void GuardX11Connection(_XDisplay* display, std::atomic<bool>* lost);
void ReleaseX11Connection(_XDisplay* display);
// For a connection that was lost: Xlib may still hold its internal locks as
// the failing call left them, and XCloseDisplay can then wait forever. The
// connection is kept (guarded, never used again) for the life of the process.
void AbandonX11Connection(_XDisplay* display);

}  // namespace qx
