#include "base/Text.h"

#include <algorithm>

namespace qx {

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // lone surrogate
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80         ? 0
                          : (b >> 5) == 6  ? 1
                          : (b >> 4) == 14 ? 2
                          : (b >> 3) == 30 ? 3
                                           : -1;
        bool ok = extra >= 0 && text.size() - i > static_cast<std::size_t>(extra);
        char32_t c = b & (0x7F >> (extra > 0 ? extra + 1 : 0));
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + k]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        if (ok && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        AppendCodePoint(out, c);
        i += extra + 1;
    }
    return out;
}

void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

std::u16string FromBuffer(std::span<const char16_t> buffer) {
    std::size_t n = 0;
    while (n < buffer.size() && buffer[n] != 0) ++n;
    return std::u16string(buffer.data(), n);
}

void ToBuffer(std::u16string_view text, std::span<char16_t> buffer) {
    if (buffer.empty()) return;
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    std::fill(buffer.begin() + n, buffer.end(), u'\0');
}

std::u16string FormatText(std::u16string_view format,
                          std::initializer_list<std::u16string_view> args) {
    std::u16string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size()) {
            if (format[i + 1] == u's') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
            if (format[i + 1] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

}  // namespace qx
