// Where the firmware update check finds its server, keeps its downloads and
// finds the burner, and what it accepts from the server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qx {

class XmlReader;

// The maker's host; the update server unless FWUpdate/update.ini names another.
inline constexpr char kMakerHost[] = "www.orvik.com";
inline constexpr char kDefaultUpdateBaseUrl[] = "https://www.orvik.com";
// Below the base URL, with the device model for %s. The period after "xml" is
// part of the path the server publishes.
inline constexpr char16_t kDescriptionPath[] = u"/software/%s/update.xml.";

inline constexpr std::size_t kMaxDescriptionBytes = 1u << 20;
inline constexpr std::size_t kMaxFirmwareBytes = 16u << 20;
inline constexpr std::size_t kMaxUrlLength = 2048;

struct UpdatePaths {
    std::filesystem::path settings;          // FWUpdate/update.ini
    std::filesystem::path downloadFolder;    // FWUpdate/new_version
    std::filesystem::path localDescription;  // FWUpdate/new_version/update.xml
    std::filesystem::path localFirmware;     // FWUpdate/new_version/OrvikGameDevice.bin
    std::filesystem::path burner;            // FWUpdate/BuringFW
};
UpdatePaths UpdatePathsFor(const std::filesystem::path& appFolder);

struct UpdateServer {
    // Scheme, host and perhaps a path, without a trailing '/'. Empty when the
    // setting is unusable: every check then ends as a failed download.
    std::string baseUrl;
    // Plain http is used only when the setting names an http server.
    bool allowHttp = false;
};

// Section "update", key "base_url" of the settings file; the maker's host
// over https when the file or the key is missing or the value is empty.
UpdateServer ReadUpdateServer(const std::filesystem::path& settings);
// An http:// or https:// URL with a host and no query or fragment.
std::optional<UpdateServer> ParseBaseUrl(std::string_view value);

// True for an absolute http(s) URL with a host, made of printable ASCII and
// at most kMaxUrlLength long; http only when allowHttp.
bool IsFetchableUrl(std::string_view url, bool allowHttp);

// The description's URL for the model; empty when the server is unusable.
std::string DescriptionUrl(const UpdateServer& server, std::u16string_view deviceModel);

// The firmware URL a description names, blanks around it removed, or nothing
// when it may not be fetched (see IsFetchableUrl, with the server's http
// permission).
std::optional<std::string> FirmwareUrl(std::u16string_view newfile, const UpdateServer& server);

// What the check reads from a description: the texts of "current" and
// "newfile" in the first "firmware" element. Anything missing is empty.
struct UpdateDescription {
    std::u16string current;
    std::u16string newfile;
};
UpdateDescription ParseUpdateDescription(XmlReader& reader, std::span<const std::uint8_t> bytes);
// The local copy; a missing, unreadable or oversized file reads as empty.
UpdateDescription ReadUpdateDescription(XmlReader& reader, const std::filesystem::path& file);

}  // namespace qx
