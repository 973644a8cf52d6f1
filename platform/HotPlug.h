// Arrivals and removals of the devices the utility cares about, from one
// descriptor the main loop can wait on: the kernel's hidraw interfaces and USB
// devices through udev, and the virtual mice of QX_VIRTUAL_HID_DIR through
// inotify. Identifiers are the texts the HID layer and the USB list use, so a
// caller matches "VID_7D3A&PID_6E41" or "VID_04D9&PID_8022" in them.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qx {

struct HotPlugEvent {
    enum class Kind { Arrival, Removal };
    Kind kind = Kind::Arrival;
    std::string identifier;

    bool operator==(const HotPlugEvent&) const = default;
};

class HotPlugSource {
public:
    virtual ~HotPlugSource() = default;
    // Readable while events wait (for poll or a QSocketNotifier); -1 when the
    // source could not be set up at all.
    virtual int Descriptor() const = 0;
    // The events that arrived since the last call, in order; never blocks.
    virtual std::vector<HotPlugEvent> TakeEvents() = 0;
};

// udev for hidraw interfaces and USB devices, plus the virtual mice of the
// folder (none when empty). A folder that does not exist yet is watched for;
// a missing udev daemon only means no kernel devices are reported. Virtual
// mice already serving are learnt before this returns, so their removal is
// reported, but they are not announced.
std::unique_ptr<HotPlugSource> MakeHotPlugSource(const std::filesystem::path& virtualFolder);

// MakeHotPlugSource with the folder of QX_VIRTUAL_HID_DIR.
std::unique_ptr<HotPlugSource> MakeSystemHotPlugSource();

// The properties of one udev event (ACTION, SUBSYSTEM, DEVTYPE, DEVPATH,
// PRODUCT, ...).
using UdevProperties = std::map<std::string, std::string>;

// An "add" or "remove" of a hidraw node or a USB device as an event: hidraw
// nodes get HidrawIdentifier's text ("HID\VID_7D3A&PID_6E41&MI_01\hidraw3"),
// USB devices their first hardware ID and their bus path
// ("USB\VID_04D9&PID_8022&REV_0100\1-2"). Everything comes from DEVPATH and the
// event's own properties, because sysfs is already gone at a removal. nullopt
// for other actions and subsystems.
std::optional<HotPlugEvent> TranslateUdevEvent(const UdevProperties& properties);

}  // namespace qx
