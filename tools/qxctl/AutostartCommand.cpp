// qxctl autostart on|off|status.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/Autostart.h"
#include "app/Folders.h"
#include "tools/qxctl/Cli.h"

namespace qx::cli {

int RunAutostart(Context& context) {
    const auto positional = context.Positional();
    if (positional.size() != 1 || context.args.size() != 1)
        return Fail("usage: qxctl autostart on|off|status"), 2;
    const std::string& action = positional.front();
    const AutostartFolders folders = AutostartFoldersFromEnvironment();

    if (action == "status") {
        std::printf("%s\n", AutostartEnabled(folders) ? "on" : "off");
        return 0;
    }
    if (action == "on") {
        // The utility of this installation, the one beside qxctl.
        const auto appFolder = ExecutableFolder();
        if (::access((appFolder / kDriverProgramName).c_str(), X_OK) != 0)
            return Fail("no qx-driver beside qxctl in " + appFolder.string());
        const char* path = std::getenv("PATH");
        const auto program = AutostartProgram(appFolder, path ? path : "");
        if (const auto error = EnableAutostart(folders, program); !error.empty())
            return Fail(error);
        std::printf("on: %s starts with the desktop (%s)\n", program.c_str(),
                    folders.UserEntry().c_str());
        return 0;
    }
    if (action == "off") {
        if (const auto error = DisableAutostart(folders); !error.empty()) return Fail(error);
        std::printf("off\n");
        return 0;
    }
    return Fail("usage: qxctl autostart on|off|status"), 2;
}

}  // namespace qx::cli
