// qxctl: the command-line client of the utility, over the same core.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Folders.h"
#include "i18n/LanguageTable.h"
#include "tools/qxctl/Cli.h"

namespace qx::cli {
namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(Context&);
};

// clang-format off
constexpr Command kCommands[] = {
    {"profiles", "profiles                      the profile table and the active profile", RunProfiles},
    {"profile", "profile show [N] [--json]     one profile (default: the active one)", RunProfile},
    {"devices", "devices [--all]               the mouse interfaces found (--all: every HID interface)", RunDevices},
    {"version", "version                       the firmware version of the mouse", RunVersion},
    {"macro", "macro list|show|export|import|encode   the stored macros (qxctl macro for details)",
     RunMacro},
    {"language", "language                      the stored language (Language.cfg)", RunLanguage},
    {"apply", "apply                         write the active profile into the mouse", RunApply},
    {"text", "text KEY [--lang N]           one text of a language (default: the stored one)", RunText},
    {"autostart", "autostart on|off|status       start qx-driver with the desktop session (off after installing)",
     RunAutostart},
};
// clang-format on

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: qxctl [--data-dir DIR] COMMAND [ARGS]\n"
                 "       qxctl --help | --version\n\ncommands:\n");
    for (const auto& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out,
                 "\n--data-dir DIR replaces the data folder "
                 "($XDG_DATA_HOME/ORVIK/6E41, else ~/.local/share/ORVIK/6E41).\n");
}

}  // namespace

bool Context::HasFlag(const std::string& flag) const {
    for (const auto& arg : args)
        if (arg == flag) return true;
    return false;
}

std::vector<std::string> Context::Positional() const {
    std::vector<std::string> out;
    for (const auto& arg : args)
        if (!arg.starts_with("--")) out.push_back(arg);
    return out;
}

void LoadCliLanguage(Context& context) {
    // The stored language when there is one; English otherwise (the utility
    // itself would show a message and fall back to 1, which a script does not want).
    int number = 2;
    if (std::filesystem::exists(LanguageCfgPath(context.dataFolder))) {
        RecordingNotifier quiet;
        if (const int stored = ReadLanguageCfg(context.dataFolder, quiet); FindLanguage(stored))
            number = stored;
    }
    context.language.currentLanguage = number;
    context.language.chineseMode = number == 1;
    LoadLanguageFile(context.language, ExecutableFolder() / FindLanguage(number)->file);
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "qxctl: %s\n", text.c_str());
    return 1;
}

}  // namespace qx::cli

int main(int argc, char** argv) {
    using namespace qx::cli;
    Context context;
    std::string dataDir;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0) {
            if (i + 1 >= argc) return Fail("--data-dir needs a folder");
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return 0;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("qxctl %s\n", QX_VERSION);
            return 0;
        } else {
            break;
        }
    }
    if (i >= argc) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[i++];
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
            continue;
        }
        context.args.emplace_back(argv[i]);
    }
    context.dataFolder = dataDir.empty() ? qx::DataFolderBelow(qx::LocalAppDataFolder())
                                         : std::filesystem::path(dataDir);
    if (!qx::EnsurePrivateFolder(context.dataFolder))
        return Fail("cannot create the data folder " + context.dataFolder.string());

    LoadCliLanguage(context);
    for (const auto& command : kCommands)
        if (name == command.name) return command.run(context);
    std::fprintf(stderr, "qxctl: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
