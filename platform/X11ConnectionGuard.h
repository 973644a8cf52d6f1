// Keeps our own X connections from ending the process. Xlib's default answer
// to a broken connection, and to any protocol error (BadMatch from a device
// that refuses a property, BadDevice from one that has just gone), is exit(1).
// While a connection is guarded, a broken connection raises its flag and its
// calls return, and a protocol error is counted and the failing request simply
// fails. Connections of other parts of the process (Qt's, other threads')
// keep whatever handling they had.
#pragma once

#include <atomic>
#include <cstdint>

struct _XDisplay;

namespace qx {

// Until ReleaseX11Connection, a broken connection sets *lost instead of
// ending the process, and protocol errors are counted. *lost must outlive the
// guard. Release after closing the connection, so that the errors Xlib reads
// while closing are still caught.
void GuardX11Connection(_XDisplay* display, std::atomic<bool>* lost);
void ReleaseX11Connection(_XDisplay* display);
// For a connection that was lost: Xlib may still hold its internal locks as
// the failing call left them, and XCloseDisplay can then wait forever. The
// connection is kept (guarded, never used again) for the life of the process.
void AbandonX11Connection(_XDisplay* display);

// Protocol errors received so far on a guarded connection (0 for others).
// Errors arrive with the server's answers: XSync first to see those of the
// requests just made.
std::uint64_t X11ProtocolErrors(_XDisplay* display);
// XSync, then whether a protocol error arrived since `before` was read.
bool X11RequestsFailedSince(_XDisplay* display, std::uint64_t before);

}  // namespace qx
