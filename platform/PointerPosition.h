// Where the pointer is on the screen, as the usage statistics sample it. The
// interface is free of any window system; platform/ implements it for X11
// and tests give it scripted positions.
#pragma once

#include <cstdint>
#include <optional>

namespace qx {

struct PointerPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PointerPosition&) const = default;
};

class PointerPositionSource {
public:
    virtual ~PointerPositionSource() = default;
    // The pointer's position in screen pixels; nothing when it cannot be read
    // (no display, a lost server). Called from the sampling thread only.
    virtual std::optional<PointerPosition> ReadPointerPosition() = 0;
};

}  // namespace qx
