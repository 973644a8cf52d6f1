#include "support/UpdateServer.h"

#include <vector>

#include "base/DataFile.h"
#include "base/IniFile.h"
#include "base/Text.h"
#include "i18n/XmlReader.h"

namespace qx {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

std::u16string_view TrimBlanks(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of "http://" or "https://" at the start (any letter case), else 0.
std::size_t SchemePrefix(std::string_view url, bool allowHttp) {
    std::string head;
    for (char c : url.substr(0, 8)) head += Lower(c);
    if (head.starts_with("https://")) return 8;
    if (allowHttp && head.starts_with("http://")) return 7;
    return 0;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

UpdatePaths UpdatePathsFor(const std::filesystem::path& appFolder) {
    UpdatePaths p;
    const auto folder = appFolder / "FWUpdate";
    p.settings = folder / "update.ini";
    p.downloadFolder = folder / "new_version";
    p.localDescription = p.downloadFolder / "update.xml";
    p.localFirmware = p.downloadFolder / "OrvikGameDevice.bin";
    p.burner = folder / "BuringFW";
    return p;
}

bool IsFetchableUrl(std::string_view url, bool allowHttp) {
    if (url.size() > kMaxUrlLength) return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return false;
    const std::size_t prefix = SchemePrefix(url, allowHttp);
    if (prefix == 0) return false;
    const std::string_view rest = url.substr(prefix);
    const std::size_t hostEnd = rest.find_first_of("/?#");
    return hostEnd != 0 && !rest.empty();
}

std::optional<UpdateServer> ParseBaseUrl(std::string_view value) {
    UpdateServer server;
    server.allowHttp = SchemePrefix(value, false) == 0;  // not https: http if anything
    if (!IsFetchableUrl(value, server.allowHttp)) return std::nullopt;
    if (value.find_first_of("?#") != std::string_view::npos) return std::nullopt;
    while (value.ends_with('/')) value.remove_suffix(1);
    if (!IsFetchableUrl(value, server.allowHttp)) return std::nullopt;
    server.baseUrl = value;
    return server;
}

UpdateServer ReadUpdateServer(const std::filesystem::path& settings) {
    const std::u16string value =
        ReadIniString(settings, u"update", u"base_url", u"", kMaxUrlLength + 2);
    const std::u16string_view trimmed = TrimBlanks(value);
    if (trimmed.empty()) return *ParseBaseUrl(kDefaultUpdateBaseUrl);
    return ParseBaseUrl(ToUtf8(trimmed)).value_or(UpdateServer{});
}

std::string DescriptionUrl(const UpdateServer& server, std::u16string_view deviceModel) {
    if (server.baseUrl.empty()) return {};
    std::u16string model;
    for (unsigned char c : ToUtf8(deviceModel)) {
        if (IsUnreserved(c)) {
            model += static_cast<char16_t>(c);
        } else {
            constexpr char kHex[] = "0123456789ABCDEF";
            model +=
                {u'%', static_cast<char16_t>(kHex[c >> 4]), static_cast<char16_t>(kHex[c & 15])};
        }
    }
    return server.baseUrl + ToUtf8(FormatText(kDescriptionPath, {model}));
}

std::optional<std::string> FirmwareUrl(std::u16string_view newfile, const UpdateServer& server) {
    const std::u16string_view trimmed = TrimBlanks(newfile);
    for (char16_t c : trimmed)
        if (c >= 0x7F) return std::nullopt;  // not ASCII: refused before any conversion
    std::string url = ToUtf8(trimmed);
    if (server.baseUrl.empty() || !IsFetchableUrl(url, server.allowHttp)) return std::nullopt;
    return url;
}

UpdateDescription ParseUpdateDescription(XmlReader& reader, std::span<const std::uint8_t> bytes) {
    reader.LoadXmlBytes(bytes);
    return {reader.ReadChildText("firmware", "current"),
            reader.ReadChildText("firmware", "newfile")};
}

UpdateDescription ReadUpdateDescription(XmlReader& reader, const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(file, bytes, kMaxDescriptionBytes) != FileError::None) bytes.clear();
    return ParseUpdateDescription(reader, bytes);
}

}  // namespace qx
