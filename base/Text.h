// UTF-16 text helpers. Strings stored in files are zero-terminated UTF-16 in
// fixed buffers; in memory they are std::u16string.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace qx {

std::string ToUtf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Appends a code point (up to U+10FFFF), as a surrogate pair above U+FFFF.
void AppendCodePoint(std::u16string& out, char32_t c);

// Text of a fixed, zero-terminated buffer (stops at the first zero or the end).
std::u16string FromBuffer(std::span<const char16_t> buffer);

// Copies text into a fixed buffer, cut to size-1 units, zero-terminated; the
// rest of the buffer is zeroed.
void ToBuffer(std::u16string_view text, std::span<char16_t> buffer);

// swprintf-like substitution of "%s" by the arguments, in order. "%%" is a
// literal percent sign; any other conversion is left as it stands. Missing
// arguments substitute nothing.
std::u16string FormatText(std::u16string_view format,
                          std::initializer_list<std::u16string_view> args = {});

inline std::u16string operator""_u16(const char* text, std::size_t length) {
    return FromUtf8(std::string_view(text, length));
}

}  // namespace qx
