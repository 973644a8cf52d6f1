// qx-virtual-mouse as a process of its own, for tests and benchmarks: started
// in the folder that QX_VIRTUAL_HID_DIR names for its clients, ready once it
// says it serves, and its trace read back.
#pragma once

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ChildProcess.h"

namespace qx::emu {

inline constexpr char kDefaultSocketName[] = "qx-mouse.sock";

// One line of the trace (--trace FILE).
struct TraceLine {
    double tMs = 0;
    std::string kind;  // "feature", "get_feature" or "output"
    std::string hex;   // the report, report ID first
    bool refused = false;
};

// Reads the lines the virtual mouse wrote; each is one flat JSON object.
std::vector<TraceLine> ReadTrace(const std::filesystem::path& path);

class VirtualMouseProcess {
public:
    // program: the qx-virtual-mouse to run; folder: where it serves (several
    // mice may share one).
    VirtualMouseProcess(std::filesystem::path program, std::filesystem::path folder);
    // Stops a mouse still running with SIGTERM, so that it removes its socket.
    ~VirtualMouseProcess();
    VirtualMouseProcess(const VirtualMouseProcess&) = delete;
    VirtualMouseProcess& operator=(const VirtualMouseProcess&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path SocketPath(const std::string& name = kDefaultSocketName) const {
        return folder_ / name;
    }
    // QX_VIRTUAL_HID_DIR for the programs that are to find this mouse.
    EnvironmentSettings ClientEnvironment() const;

    // Starts the mouse with the options and waits until it serves; false when
    // it gave up (a bad option, a live mouse on the same socket) or said
    // nothing within five seconds.
    bool Start(const std::vector<std::string>& options,
               const std::string& socketName = kDefaultSocketName);
    // Sends the signal and waits: the exit code, 128 + the signal's number
    // when the signal ended it.
    int Stop(int signal = SIGTERM);

private:
    std::filesystem::path program_;
    std::filesystem::path folder_;
    ChildProcess process_;
};

}  // namespace qx::emu
