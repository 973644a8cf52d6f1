// The operations the channel needs from the platform's HID layer, and nothing
// more: list the HID interfaces, read an interface's IDs and feature values,
// open it for reading or writing, and move reports through an open interface.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/HidDescriptor.h"

namespace qx {

struct HidInterfaceInfo {
    std::string path;        // what Open and the queries take
    std::string identifier;  // Windows-style, e.g. "HID\VID_7D3A&PID_6E41\hidraw3"
    bool isVirtual = false;  // served by the virtual mouse
};

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
};

enum class HidAccess { Read, Write };

enum class HidWriteResult {
    Written,   // the device took the report
    TimedOut,  // not confirmed within the wait; the caller decides what that means
    Failed,    // refused, or the interface is gone
};

// One open interface. Reports are byte 0 report ID, then the report's bytes.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    virtual bool SetFeature(std::span<const std::uint8_t> report) = 0;
    // report[0] holds the report ID on entry; the answer replaces the buffer.
    virtual bool GetFeature(std::span<std::uint8_t> report) = 0;
    virtual HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                                       std::chrono::milliseconds completionWait) = 0;
};

// Held while one program writes to a device; dropping it lets the next one in.
// This one holds nothing: for backends whose devices no other program reaches.
class HidDeviceLock {
public:
    virtual ~HidDeviceLock() = default;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidInterfaceInfo> EnumerateInterfaces() = 0;
    virtual std::optional<HidAttributes> GetAttributes(const std::string& path) = 0;
    // The feature value capabilities of the interface, in the order the HID
    // class driver reports them; nullopt when they cannot be read.
    virtual std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(
        const std::string& path) = 0;
    // nullptr when the interface cannot be opened.
    virtual std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) = 0;
    // An exclusive lock on the interface's device, the same one for every
    // program, waited for at most `wait`; nullptr when another holder kept it
    // that long. A lock that cannot be set up at all does not stop a writer.
    virtual std::unique_ptr<HidDeviceLock> LockDevice(const std::string& path,
                                                      std::chrono::milliseconds wait) {
        (void)path;
        (void)wait;
        return std::make_unique<HidDeviceLock>();
    }
};

}  // namespace qx
