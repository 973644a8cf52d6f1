#include "app/Autostart.h"

#include <cstdlib>
#include <span>
#include <system_error>

#include "app/Folders.h"
#include "base/DataFile.h"

namespace qx {
namespace fs = std::filesystem;

namespace {

// What the menu entry says too.
constexpr char kEntryName[] = "Orvik QX-Gaming Mouse Driver";
constexpr char kEntryComment[] = "Configure the buttons, DPI, lighting and macros of Orvik QX mice";
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// A path a desktop entry can name: absolute, UTF-8, no control characters
// (a line break would end the value).
bool IsCarriablePath(const std::string& path) {
    if (path.empty() || path.front() != '/' || !IsValidUtf8(path)) return false;
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

// The escapes of a string value: a backslash stands for itself only doubled.
std::string EscapeString(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Whether the entry would start its program: read as the session reads it,
// from the [Desktop Entry] group only.
bool EntryEnabled(const fs::path& entry) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(entry, bytes, kMaxEntryBytes) != FileError::None) return false;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool inEntryGroup = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto eq = line.find('=');
        if (!inEntryGroup || eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (key == "Hidden" && value == "true") return false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
    }
    return true;
}

std::string WriteEntry(const fs::path& entry, std::string_view text) {
    // A link in the user's folder (often to the menu entry) is replaced, never
    // written through: its target belongs to the system.
    std::error_code ec;
    if (fs::is_symlink(entry, ec) && !fs::remove(entry, ec))
        return "cannot remove the link " + entry.string() + ": " + ec.message();
    const FileError error = WriteFileAtomic(entry, std::as_bytes(std::span(text)));
    if (error == FileError::None) return {};
    return "cannot write " + entry.string() +
           (error == FileError::AccessDenied ? ": access denied" : "");
}

}  // namespace

AutostartFolders AutostartFoldersFor(std::string_view configHome, std::string_view home,
                                     std::string_view configDirs) {
    AutostartFolders folders;
    const fs::path configRoot = configHome.starts_with('/') ? fs::path(configHome)
                                : home.empty()              ? fs::path("/tmp") / ".config"
                                                            : fs::path(home) / ".config";
    folders.user = configRoot / "autostart";
    if (configDirs.empty()) configDirs = "/etc/xdg";
    std::size_t start = 0;
    while (start <= configDirs.size()) {
        std::size_t end = configDirs.find(':', start);
        if (end == std::string_view::npos) end = configDirs.size();
        const std::string_view dir = configDirs.substr(start, end - start);
        if (dir.starts_with('/')) folders.system.push_back(fs::path(dir) / "autostart");
        start = end + 1;
    }
    return folders;
}

AutostartFolders AutostartFoldersFromEnvironment() {
    const auto get = [](const char* name) -> std::string_view {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    return AutostartFoldersFor(get("XDG_CONFIG_HOME"), get("HOME"), get("XDG_CONFIG_DIRS"));
}

std::optional<std::string> DesktopExecValue(const fs::path& program) {
    const std::string path = program.string();
    if (!IsCarriablePath(path)) return std::nullopt;
    // Characters that make the launcher split or interpret the argument.
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quote = path.find_first_of(kReserved) != std::string::npos;
    std::string argument;
    if (quote) argument += '"';
    for (const char c : path) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
        if (c == '%') argument += '%';  // not a field code
        argument += c;
    }
    if (quote) argument += '"';
    return EscapeString(argument);
}

std::optional<std::string> AutostartEntryText(const fs::path& program) {
    const auto exec = DesktopExecValue(program);
    if (!exec) return std::nullopt;
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += std::string("Name=") + kEntryName + "\n";
    text += std::string("Comment=") + kEntryComment + "\n";
    text += "Exec=" + *exec + "\n";
    // A removed installation leaves an entry the session skips quietly.
    text += "TryExec=" + EscapeString(program.string()) + "\n";
    text += "Icon=qx-driver\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text;
}

fs::path AutostartProgram(const fs::path& appFolder, std::string_view pathVariable) {
    const fs::path own = appFolder / kDriverProgramName;
    std::size_t start = 0;
    while (start < pathVariable.size()) {
        std::size_t end = pathVariable.find(':', start);
        if (end == std::string_view::npos) end = pathVariable.size();
        const std::string_view dir = pathVariable.substr(start, end - start);
        start = end + 1;
        if (!dir.starts_with('/')) continue;
        const fs::path candidate = fs::path(dir) / kDriverProgramName;
        std::error_code ec;
        if (fs::equivalent(candidate, own, ec)) return candidate.lexically_normal();
    }
    return own;
}

bool AutostartEnabled(const AutostartFolders& folders) {
    std::error_code ec;
    if (fs::exists(folders.UserEntry(), ec)) return EntryEnabled(folders.UserEntry());
    for (const auto& dir : folders.system) {
        const fs::path entry = dir / kAutostartFileName;
        if (fs::exists(entry, ec)) return EntryEnabled(entry);
    }
    return false;
}

std::string EnableAutostart(const AutostartFolders& folders, const fs::path& program) {
    const auto text = AutostartEntryText(program);
    if (!text) return "a desktop entry cannot name the program " + program.string();
    if (!EnsurePrivateFolder(folders.user)) return "cannot create " + folders.user.string();
    return WriteEntry(folders.UserEntry(), *text);
}

std::string DisableAutostart(const AutostartFolders& folders) {
    std::error_code ec;
    const fs::path entry = folders.UserEntry();
    if (!fs::remove(entry, ec) && ec)
        return "cannot remove " + entry.string() + ": " + ec.message();
    if (!AutostartEnabled(folders)) return {};
    // A system-wide entry: only a hidden one of the user's own overrides it.
    if (!EnsurePrivateFolder(folders.user)) return "cannot create " + folders.user.string();
    return WriteEntry(entry, std::string("[Desktop Entry]\nType=Application\nName=") + kEntryName +
                                 "\nHidden=true\n");
}

}  // namespace qx
