#include "base/IniFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "base/DataFile.h"
#include "base/Text.h"

namespace qx {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> ReadLines(const std::filesystem::path& path, bool& exists) {
    std::vector<std::uint8_t> bytes;
    exists = ReadWholeFile(path, bytes, 1u << 20) == FileError::None;
    std::string text(bytes.begin(), bytes.end());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// Index of the key line in the section, and the section's header and end.
struct Location {
    std::optional<std::size_t> section, keyLine;
    std::size_t sectionEnd = 0;
};

Location Find(const std::vector<std::string>& lines, std::string_view section,
              std::string_view key) {
    Location loc;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionName(lines[i])) {
            if (loc.section) break;
            if (EqualNoCase(*name, section)) loc.section = i;
            continue;
        }
        if (!loc.section) continue;
        const std::string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        loc.sectionEnd = i + 1;
        const auto eq = line.find('=');
        if (eq != std::string_view::npos && !loc.keyLine &&
            EqualNoCase(Trim(line.substr(0, eq)), key))
            loc.keyLine = i;
    }
    if (loc.section && loc.sectionEnd == 0) loc.sectionEnd = *loc.section + 1;
    return loc;
}

}  // namespace

std::u16string ReadIniString(const std::filesystem::path& path, std::u16string_view section,
                             std::u16string_view key, std::u16string_view fallback,
                             std::size_t maxChars) {
    bool exists = false;
    const auto lines = ReadLines(path, exists);
    const auto loc = Find(lines, ToUtf8(section), ToUtf8(key));
    std::u16string value(fallback);
    if (loc.keyLine) {
        // The value is taken as it stands after '=' (only the line end is
        // dropped), so a name written with a leading blank stays different.
        std::string_view line = lines[*loc.keyLine];
        std::string_view v = line.substr(line.find('=') + 1);
        if (!v.empty() && v.back() == '\r') v.remove_suffix(1);
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        value = FromUtf8(v);
    }
    if (maxChars > 0 && value.size() > maxChars - 1) value.resize(maxChars - 1);
    return value;
}

int ReadIniInt(const std::filesystem::path& path, std::u16string_view section,
               std::u16string_view key, int fallback) {
    const std::u16string marker = u"\x01missing";
    const std::u16string text = ReadIniString(path, section, key, marker);
    if (text == marker) return fallback;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i++] - u'0');
        if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL;
    }
    return static_cast<int>(negative ? -value : value);
}

bool WriteIniString(const std::filesystem::path& path, std::u16string_view section,
                    std::u16string_view key, std::u16string_view value) {
    bool exists = false;
    auto lines = ReadLines(path, exists);
    const std::string s = ToUtf8(section), k = ToUtf8(key), v = ToUtf8(value);
    const auto loc = Find(lines, s, k);
    const std::string entry = k + "=" + v;
    if (loc.keyLine) {
        lines[*loc.keyLine] = entry;
    } else if (loc.section) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(loc.sectionEnd), entry);
    } else {
        lines.push_back("[" + s + "]");
        lines.push_back(entry);
    }
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return WriteFileAtomic(path, std::as_bytes(std::span(text.data(), text.size()))) ==
           FileError::None;
}

}  // namespace qx
