#include "support/FirmwareVersionText.h"

#include <limits>

namespace qx {

std::uint32_t VersionNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    if (i < text.size() && text[i] == u'+') ++i;
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const std::uint32_t digit = text[i] - u'0';
        if (value > (kMax - digit) / 10) return kMax;
        value = value * 10 + digit;
    }
    return value;
}

std::u16string FirmwareVersionDisplay(std::u16string_view firmwareVersionText) {
    const std::u16string_view t = firmwareVersionText;
    switch (t.size()) {
        case 0:
            return u"Unknown";
        case 1:
            return std::u16string(u"V 0.0.") + t[0];
        case 2:
            return std::u16string(u"V 0.") + t[0] + u'.' + t[1];
        default:
            return std::u16string(u"V ") + std::u16string(t);
    }
}

}  // namespace qx
