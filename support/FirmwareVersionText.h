// The mouse's firmware version as the update check compares it and as the
// support page shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// The number of a decimal version text: leading blanks are skipped, an
// optional '+' taken, then the leading digits read as an unsigned number that
// stops growing at its largest value. Empty or non-numeric text is 0, and so
// is a negative one: "-1" must not count as the newest firmware there is.
std::uint32_t VersionNumber(std::u16string_view text);

// The support page's firmware version: "Unknown" for no version, "V 0.0.d"
// for one digit, "V 0.d1.d2" for two, and three or more digits whole
// ("V 123").
std::u16string FirmwareVersionDisplay(std::u16string_view firmwareVersionText);

// The driver version the support page shows beside it.
inline constexpr char16_t kDriverVersionText[] = u"V1.0.0";

}  // namespace qx
