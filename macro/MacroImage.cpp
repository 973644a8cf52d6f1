#include "macro/MacroImage.h"

#include <algorithm>
#include <initializer_list>

#include "base/KeyTables.h"

namespace qx {
namespace {

// Fills the image in 2-byte units; n is the index of the next unit.
class ImageWriter {
public:
    explicit ImageWriter(MacroImage& image) : image_(image) {}

    bool Fits(std::size_t bytes) const { return 2 * n_ + bytes <= kMacroImageSize; }
    void Put(std::initializer_list<std::uint8_t> bytes) {
        std::size_t at = 2 * n_;
        for (const auto b : bytes) image_.bytes[at++] = b;
        n_ += bytes.size() / 2;
    }
    void OrAt(std::uint8_t flag, std::uint8_t second) {
        image_.bytes[2 * n_] |= flag;
        image_.bytes[2 * n_ + 1] = second;
        n_ += 1;
    }
    // Adds to the first byte of the unit just written (a key's flag byte).
    void AddToPrevious(std::uint8_t steps) {
        auto& b = image_.bytes[2 * n_ - 2];
        b = static_cast<std::uint8_t>(b + steps);
    }

private:
    MacroImage& image_;
    std::size_t n_ = 1;
};

std::uint8_t Hi(std::uint32_t v) {
    return static_cast<std::uint8_t>(v >> 8);
}
std::uint8_t Lo(std::uint32_t v) {
    return static_cast<std::uint8_t>(v);
}

struct WalkState {
    std::uint32_t imageBytes = 2;
    bool afterPosition = false;
};

// Writes one event; false when its item does not fit, which ends the image.
bool EncodeEvent(ImageWriter& out, WalkState& state, MacroEvent event, std::size_t index,
                 int currentLanguage) {
    const std::uint32_t value = EventValue(event);
    switch (static_cast<MacroEventKind>(EventKindByte(event))) {
        case MacroEventKind::KeyPress:
        case MacroEventKind::KeyRelease: {
            if (!out.Fits(2)) return false;
            const bool release = EventKindByte(event) == 0xE0;
            out.OrAt(release ? 0x81 : 0x01, VirtualKeyToDeviceKey(value, currentLanguage));
            state.imageBytes += 2;
            state.afterPosition = false;
            return true;
        }
        case MacroEventKind::CursorPosition: {
            if (!out.Fits(8)) return false;
            const auto p = UnpackCursorPosition(value);
            const auto ax = static_cast<std::uint32_t>(p.x < 0 ? -p.x : p.x);
            const auto ay = static_cast<std::uint32_t>(p.y < 0 ? -p.y : p.y);
            out.Put({0x00, static_cast<std::uint8_t>(0x04 + (p.x < 0)), Hi(ax), Lo(ax), 0x00,
                     static_cast<std::uint8_t>(0x06 + (p.y < 0)), Hi(ay), Lo(ay)});
            state.imageBytes += 8;
            state.afterPosition = true;
            return true;
        }
        case MacroEventKind::Delay:
            break;
        default:
            if (!out.Fits(2)) return false;
            out.Put({0x00, 0x00});
            return true;
    }

    const std::uint32_t d = value;
    if (state.afterPosition) {
        // Right after a position the pause is always in 20 ms steps. Above
        // 1310700 ms the count no longer fits 16 bits: the item keeps the
        // count's low 16 bits, and above 6553500 ms it is four zero bytes.
        // Which unit codes the mouse takes after a position is not known, so
        // the 50 and 100 ms units are not tried here.
        if (!out.Fits(4)) return false;
        const std::uint32_t steps = std::max<std::uint32_t>(d, 20) / 20;
        if (d > 6553500)
            out.Put({0x00, 0x00, 0x00, 0x00});
        else
            out.Put({0x00, 0x01, Hi(steps), Lo(steps)});
        state.imageBytes += 4;
        state.afterPosition = false;
        return true;
    }
    // Only the pause after a position counts in imageBytes.
    if (index == 0) {  // the macro begins with a pause
        if (!out.Fits(4)) return false;
        const std::uint32_t v = (d % 65536) / 100;
        out.Put({0x00, 0x03, Hi(v), Lo(v)});
    } else if (d <= 1270) {
        // Folded into the unit before, in 20 ms steps; under 20 ms is one step.
        out.AddToPrevious(static_cast<std::uint8_t>((std::max<std::uint32_t>(d, 20) / 20) & 0x7F));
    } else if (d <= 1310700) {
        if (!out.Fits(4)) return false;
        out.Put({0x00, 0x01, Hi(d / 20), Lo(d / 20)});
    } else if (d <= 3276750) {
        if (!out.Fits(4)) return false;
        out.Put({0x00, 0x02, Hi(d / 50), Lo(d / 50)});
    } else if (d <= 6553500) {
        if (!out.Fits(4)) return false;
        out.Put({0x00, 0x03, Hi(d / 100), Lo(d / 100)});
    } else {
        if (!out.Fits(2)) return false;
        out.Put({0x00, 0x00});
    }
    return true;
}

}  // namespace

MacroImage EncodeMacroImage(const MacroEntry& entry, int slot, int currentLanguage) {
    MacroImage image;
    image.slot = slot;
    image.bytes[0] = Hi(entry.loopMode);
    image.bytes[1] = Lo(entry.loopMode);
    ImageWriter out(image);
    WalkState state;
    const std::size_t count = entry.UsableEventCount();
    for (std::size_t i = 0; i < count; ++i)
        if (!EncodeEvent(out, state, entry.events[i], i, currentLanguage)) break;
    image.lengthValue =
        state.imageBytes + 32 > kMacroImageSize ? 641 : (state.imageBytes / 32 + 1) * 32 + 1;
    return image;
}

std::optional<MacroImage> EncodeMacroById(const MacroTable& table, std::uint32_t id, int slot,
                                          int currentLanguage) {
    const auto entry = table.CopyMacroById(id);
    if (!entry || entry->byteSize == 0) return std::nullopt;
    return EncodeMacroImage(*entry, slot, currentLanguage);
}

}  // namespace qx
