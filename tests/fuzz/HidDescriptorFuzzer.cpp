// Report descriptors from an untrusted device: the reader must refuse or
// accept, never crash or read past the end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/HidDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so an overread lands outside the allocation.
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string error;
    if (const auto parsed = qx::ParseReportDescriptor(bytes, &error)) {
        for (const auto& caps : parsed->featureValues)
            if (caps.reportCount == 0 || (caps.isRange && caps.usageMax < caps.usage))
                __builtin_trap();
    }
    return 0;
}
