// qx-virtual-mouse: a stand-in for the mouse that serves its configuration
// interface on a Unix socket in $QX_VIRTUAL_HID_DIR. SIGTERM or SIGINT
// removes the socket, which the utility sees as the mouse being unplugged.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "emulator/VirtualMouseServer.h"
#include "platform/VirtualHidProtocol.h"

namespace {

int stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(stopPipe[1], &byte, 1);
}

constexpr char kUsage[] =
    "usage: qx-virtual-mouse [OPTIONS]\n"
    "Serves a virtual Orvik QX mouse on a socket in $QX_VIRTUAL_HID_DIR.\n\n"
    "  --state FILE      keep the stored settings in FILE across restarts\n"
    "  --version N       answer the firmware version query with N (0-99)\n"
    "  --firmware-mode   appear as the mouse in its firmware-update mode (VID_04D9&PID_8022)\n"
    "  --refuse RULES     refuse reports: feature:N, output:N, get_feature:N (the Nth of\n"
    "                    its kind), command:0xNN (every feature report with that byte 1);\n"
    "                    comma-separated, may be repeated\n"
    "  --trace FILE      append one JSON line per report received\n"
    "  --socket NAME     socket file name in the folder (default qx-mouse.sock)\n"
    "  --dump            print the stored state (from --state) as JSON and exit\n";

int Fail(const std::string& text) {
    std::fprintf(stderr, "qx-virtual-mouse: %s\n", text.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qx::emu;
    VirtualMouseFirmware::Options firmwareOptions;
    VirtualMouseServer::Options serverOptions;
    std::string socketName = "qx-mouse.sock";
    bool dump = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--firmware-mode") {
            firmwareOptions.firmwareMode = true;
        } else if (arg == "--dump") {
            dump = true;
        } else if (arg == "--state" || arg == "--trace" || arg == "--socket" ||
                   arg == "--version" || arg == "--refuse") {
            const char* text = value();
            if (!text) return Fail(arg + " needs a value");
            if (arg == "--state") serverOptions.statePath = text;
            if (arg == "--trace") serverOptions.tracePath = text;
            if (arg == "--socket") socketName = text;
            if (arg == "--version") {
                char* end = nullptr;
                const long version = std::strtol(text, &end, 10);
                if (*text == '\0' || *end != '\0' || version < 0 || version > 99)
                    return Fail("--version takes a number from 0 to 99");
                firmwareOptions.version = static_cast<int>(version);
            }
            if (arg == "--refuse") {
                const auto rules = ParseRefuseRules(text);
                if (!rules) return Fail(std::string("bad --refuse rule: ") + text);
                firmwareOptions.refuse.insert(firmwareOptions.refuse.end(), rules->begin(),
                                              rules->end());
            }
        } else {
            std::fputs(kUsage, stderr);
            return Fail("unknown option " + arg);
        }
    }

    VirtualMouseState state;
    if (!serverOptions.statePath.empty() && !LoadState(serverOptions.statePath, state))
        return Fail("the state file " + serverOptions.statePath.string() + " is damaged");
    if (dump) {
        std::printf("%s\n", StateJson(state).c_str());
        return 0;
    }

    const char* folder = std::getenv(qx::vhid::kDirVariable);
    if (!folder || !*folder) return Fail(std::string(qx::vhid::kDirVariable) + " is not set");
    if (socketName.empty() || socketName.find('/') != std::string::npos)
        return Fail("--socket takes a file name");
    serverOptions.socketPath = std::filesystem::path(folder) / socketName;

    VirtualMouseFirmware firmware(firmwareOptions);
    firmware.SetState(state);
    VirtualMouseServer server(firmware, serverOptions);
    std::string error;
    if (::pipe2(stopPipe, O_CLOEXEC) != 0) return Fail("cannot create a pipe");
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    if (!server.Listen(error)) return Fail(error);

    std::printf("qx-virtual-mouse: serving %s\n", serverOptions.socketPath.c_str());
    std::fflush(stdout);
    return server.Run(stopPipe[0]) ? 0 : 1;
}
