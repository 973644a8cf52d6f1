// The virtual mouse's shell: a Unix socket in the virtual-device folder that
// serves the firmware to any number of clients (the channel's read and write
// handles, and short enumeration probes), a trace of every report received,
// and the state file written whenever the stored state changes.
#pragma once

#include <cstdio>
#include <filesystem>
#include <span>
#include <string>

#include "emulator/VirtualMouseFirmware.h"

namespace qx::emu {

// One JSON line per report: {"t_ms": ..., "kind": ..., "hex": ...}; a refused
// report carries "refused": true as well.
class TraceFile {
public:
    TraceFile() = default;
    ~TraceFile();
    bool Open(const std::filesystem::path& path);
    void Record(const char* kind, std::span<const std::uint8_t> report, bool refused);

private:
    std::FILE* file_ = nullptr;
};

class VirtualMouseServer {
public:
    struct Options {
        std::filesystem::path socketPath;
        std::filesystem::path statePath;  // empty: nothing saved
        std::filesystem::path tracePath;  // empty: no trace
    };

    VirtualMouseServer(VirtualMouseFirmware& firmware, Options options);
    ~VirtualMouseServer();

    // Creates the socket (replacing a stale one, refusing a live one).
    bool Listen(std::string& error);
    // Serves until stopFd becomes readable; removes the socket on return.
    bool Run(int stopFd);

private:
    struct Client;
    std::vector<std::uint8_t> Handle(const std::vector<std::uint8_t>& request);

    VirtualMouseFirmware& firmware_;
    Options options_;
    TraceFile trace_;
    int listenFd_ = -1;
};

}  // namespace qx::emu
