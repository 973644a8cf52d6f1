// qxctl: the command-line client of the utility, over the same core.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/FirstStart.h"
#include "app/Folders.h"
#include "base/DataFile.h"
#include "base/Text.h"
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
    {"apply", "apply [--wait SECONDS]        write the active profile into the mouse (qxctl apply --help)", RunApply},
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

std::optional<int> StoredLanguage(const std::filesystem::path& dataFolder) {
    if (CheckRegularFile(LanguageCfgPath(dataFolder)) != FileError::None) return std::nullopt;
    RecordingNotifier quiet;
    return ReadLanguageCfg(dataFolder, quiet);
}

void LoadCliLanguage(Context& context) {
    // The stored language when there is one; English otherwise (the utility
    // itself would show a message and fall back to 1, which a script does not want).
    int number = kLanguageEnglish;
    if (const auto stored = StoredLanguage(context.dataFolder); stored && FindLanguage(*stored))
        number = *stored;
    context.language.currentLanguage = number;
    context.language.chineseMode = number == kLanguageChinese;
    LoadLanguageFile(context.language, ExecutableFolder() / FindLanguage(number)->file);
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "qxctl: %s\n", text.c_str());
    return 1;
}

std::string TerminalText(std::u16string_view text) {
    std::string out;
    auto escape = [&out](const char* format, unsigned value) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, format, value);
        out += buffer;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += ToUtf8(text.substr(i, 2));
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            escape("\\x%02x", c);
        } else if ((c >= 0x80 && c <= 0x9F) || high || low || (c >= 0x202A && c <= 0x202E) ||
                   (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C) {
            escape("\\u%04x", c);
        } else if (c == u'\\') {
            out += "\\\\";
        } else {
            out += ToUtf8(text.substr(i, 1));
        }
    }
    return out;
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
    // A save must fail (and say so) at a file-size limit, not kill qxctl.
    std::signal(SIGXFSZ, SIG_IGN);
    if (dataDir.empty()) {
        const auto localAppData = qx::LocalAppDataFolder();
        if (localAppData.empty()) return Fail("no home folder: give --data-dir DIR");
        context.dataFolder = qx::DataFolderBelow(localAppData);
    } else {
        // Stored in the profile table as it is given: a relative folder would
        // name another place once the working folder changes.
        std::error_code error;
        context.dataFolder = std::filesystem::absolute(dataDir, error).lexically_normal();
        if (error) return Fail("cannot make " + dataDir + " an absolute folder");
    }
    if (!qx::EnsurePrivateFolder(context.dataFolder))
        return Fail("cannot create the data folder " + context.dataFolder.string());
    if (const auto verdict = qx::CheckDataFolder(context.dataFolder); qx::IsRefused(verdict))
        return Fail(qx::ToUtf8(qx::DataFolderRefusal(verdict, context.dataFolder, false)));
    qx::TidyDataFolder(context.dataFolder);

    LoadCliLanguage(context);
    for (const auto& command : kCommands)
        if (name == command.name) return command.run(context);
    std::fprintf(stderr, "qxctl: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
