// Starting the utility with the desktop: a per-user XDG autostart entry
// (~/.config/autostart/qx-driver.desktop) that qxctl writes and removes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

inline constexpr char kAutostartFileName[] = "qx-driver.desktop";
inline constexpr char kDriverProgramName[] = "qx-driver";

// Where autostart entries are looked up: the user's folder first, then the
// system's, the way the desktop's session reads them.
struct AutostartFolders {
    std::filesystem::path user;                 // $XDG_CONFIG_HOME/autostart
    std::vector<std::filesystem::path> system;  // each of $XDG_CONFIG_DIRS + /autostart

    std::filesystem::path UserEntry() const { return user / kAutostartFileName; }
};

// From XDG_CONFIG_HOME (else $HOME/.config) and XDG_CONFIG_DIRS (else
// /etc/xdg); relative entries are ignored, as the base directory rules say.
AutostartFolders AutostartFoldersFromEnvironment();
AutostartFolders AutostartFoldersFor(std::string_view configHome, std::string_view home,
                                     std::string_view configDirs);

// The value of an Exec key that runs exactly this program, quoted and escaped
// by the desktop entry rules; nothing for a path no entry can carry (control
// characters, not UTF-8, relative).
std::optional<std::string> DesktopExecValue(const std::filesystem::path& program);

// The whole autostart entry for the program, or nothing (see DesktopExecValue).
std::optional<std::string> AutostartEntryText(const std::filesystem::path& program);

// The program an entry should name: a qx-driver found through PATH when it is
// this installation's own (so /usr/bin/qx-driver rather than the folder behind
// it), else the one in appFolder.
std::filesystem::path AutostartProgram(const std::filesystem::path& appFolder,
                                       std::string_view pathVariable);

// On when the first entry found (user's, then system's) exists and is neither
// Hidden nor switched off with X-GNOME-Autostart-enabled=false.
bool AutostartEnabled(const AutostartFolders& folders);

// Writes the user's entry atomically (replacing whatever is there, a link
// included, never what it points to). Empty on success, else why not.
std::string EnableAutostart(const AutostartFolders& folders, const std::filesystem::path& program);
// Removes the user's entry; when a system entry would start the utility
// anyway, writes a Hidden one over it instead.
std::string DisableAutostart(const AutostartFolders& folders);

}  // namespace qx
