// The pointer position on an X server. The connection is opened by the first
// read, on the sampling thread, and used by that thread alone; it is guarded,
// so a server that goes away ends the samples instead of the process.
#pragma once

#include <atomic>
#include <string>

#include "platform/PointerPosition.h"
#include "platform/X11Display.h"

namespace qx {

class X11PointerPosition final : public PointerPositionSource {
public:
    // An empty name means $DISPLAY.
    explicit X11PointerPosition(std::string displayName = {});
    ~X11PointerPosition() override;
    X11PointerPosition(const X11PointerPosition&) = delete;
    X11PointerPosition& operator=(const X11PointerPosition&) = delete;

    std::optional<PointerPosition> ReadPointerPosition() override;

private:
    enum class State { NotOpened, Open, Gone };

    std::string displayName_;
    X11Display display_;
    State state_ = State::NotOpened;
    std::atomic<bool> lost_{false};
};

}  // namespace qx
