// INI access with the behaviour of the private-profile functions the utility
// was written against: section and key names match without regard to letter
// case, a value loses one pair of surrounding quotes, and a write
// updates an existing file in place, keeping every other section, key, comment
// and line order. Files are UTF-8 (a UTF-8 byte-order mark is skipped).
// Unlike those functions, blanks around a string value are kept: a model name
// written with a leading blank must not pass for a valid one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qx {

// The value, or `fallback` when the file, section or key is missing. At most
// maxChars-1 characters are returned, as a fixed buffer would hold.
std::u16string ReadIniString(const std::filesystem::path& path, std::u16string_view section,
                             std::u16string_view key, std::u16string_view fallback,
                             std::size_t maxChars = 260);

// Leading digits of the value (an optional sign, decimal); `fallback` when the
// key is missing, 0 when the value does not start with a number.
int ReadIniInt(const std::filesystem::path& path, std::u16string_view section,
               std::u16string_view key, int fallback);

// Sets the key, creating the file and section when needed. Written atomically.
bool WriteIniString(const std::filesystem::path& path, std::u16string_view section,
                    std::u16string_view key, std::u16string_view value);

}  // namespace qx
