// What a button's software function does on the desktop: play a sound file,
// start a program, open a file or folder with its default application. Every
// call returns at once and reports nothing: a sound that cannot play or a
// program that cannot start simply does not happen.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class DesktopActions {
public:
    virtual ~DesktopActions() = default;
    // Plays without waiting; a new sound cuts the previous one off.
    virtual void PlaySoundFile(const std::filesystem::path& file) = 0;
    // Starts the program with no arguments, detached, never through a shell.
    virtual void RunProgram(const std::filesystem::path& program) = 0;
    // Hands the path, as one argument, to the desktop's opener (xdg-open).
    virtual void OpenPath(const std::filesystem::path& fileOrFolder) = 0;
    // Hands an http(s) URL to the same opener; anything else is not opened.
    virtual void OpenUrl(std::string_view url) = 0;
};

// An absolute http:// or https:// URL of printable ASCII without blanks: what
// the opener may be given as a web address and never take for an option.
bool IsWebUrl(std::string_view url);

// Sounds through libcanberra; the opener is $QX_OPEN_COMMAND when set (a
// program, not a command line), otherwise xdg-open.
std::unique_ptr<DesktopActions> MakeDesktopActions();
std::unique_ptr<DesktopActions> MakeDesktopActions(std::string openCommand);

// Starts argv[0] (searched in PATH when it holds no slash) with the arguments
// as they are: in its own session, with standard input from /dev/null, none of
// the caller's other descriptors and default signal handling. The caller keeps
// no child behind. False when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv);

}  // namespace qx
