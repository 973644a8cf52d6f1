// Shared pieces of the qxctl commands.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Notifier.h"
#include "i18n/LanguageTable.h"

namespace qx::cli {

struct Context {
    std::filesystem::path dataFolder;
    std::vector<std::string> args;  // after the command name
    ConsoleNotifier notifier;
    Localization language;

    bool HasFlag(const std::string& flag) const;
    // Positional arguments, flags removed.
    std::vector<std::string> Positional() const;
};

// Loads the stored language (English when none is stored) into the context.
void LoadCliLanguage(Context& context);
// The number in Language.cfg; nullopt when there is no such (regular) file.
std::optional<int> StoredLanguage(const std::filesystem::path& dataFolder);

// Prints "qxctl: <text>" on stderr and returns the failure exit code.
int Fail(const std::string& text);

// Text from a data file for the terminal: control characters (escape
// sequences included), bidirectional overrides and broken UTF-16 are written
// as \xNN / \uNNNN, and a backslash as \\, so a name cannot move the
// cursor, recolour or rewrite what the terminal shows.
std::string TerminalText(std::u16string_view text);

int RunApply(Context& context);
int RunAutostart(Context& context);
int RunProfiles(Context& context);
int RunProfile(Context& context);
int RunDevices(Context& context);
int RunVersion(Context& context);
int RunMacro(Context& context);
int RunLanguage(Context& context);
int RunText(Context& context);

}  // namespace qx::cli
