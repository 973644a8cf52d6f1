// Character sets of the XML reader: charset names to code pages, and the
// conversion of 8-bit text to UTF-16. Code pages keep their Windows numbers
// because documents and the charset table are written in those terms; iconv
// does the conversion.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qx {

inline constexpr int kCodePageUtf16Le = 1200;
inline constexpr int kCodePageUtf16Be = 1201;
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageUtf32 = 65005;

// The "system's ANSI code page" of a document that names no known encoding and
// is not valid UTF-8. Linux has no such setting, so it is fixed: windows-1252,
// the code page such files were most often written in.
inline constexpr int kAnsiCodePage = 1252;

// Code page of a charset name or alias, compared without regard to case; a
// name starting with "UTF-32" gives kCodePageUtf32. 0 for an unknown name.
int CodePageOfCharset(std::string_view name);

struct CharsetAlias {
    std::string_view name;  // lower case
    int codePage;
};
std::span<const CharsetAlias> CharsetTable();

// iconv's name for a code page, or nullptr when it has none.
const char* IconvNameOfCodePage(int codePage);

bool IsValidUtf8(std::span<const std::uint8_t> bytes);

// Converts bytes in the code page to UTF-16. Bytes the code page cannot map
// become U+FFFD; an unknown code page is read as kAnsiCodePage.
std::u16string ConvertToUtf16(std::span<const std::uint8_t> bytes, int codePage);

}  // namespace qx
