// The vocabulary of button assignments: function codes, their built-in names
// and the four bytes the mouse receives for each basic function.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qx {

inline constexpr int kButtonCount = 7;

// Function codes besides the basic ones.
inline constexpr std::int32_t kFunctionClick = 1;
inline constexpr std::int32_t kFunctionKeyCombination = 5;
inline constexpr std::int32_t kFunctionMacro = 6;
inline constexpr std::int32_t kFunctionSoftware = 19;
inline constexpr std::int32_t kFunctionDisable = 121;
inline constexpr std::int32_t kFunctionSnipe = 142;

// Left, middle, right, forward, back, wheel forward, wheel backward.
inline constexpr std::array<std::int32_t, kButtonCount> kDefaultFunctions = {1, 4, 2, 8, 16, 11, 22};

using DeviceBytes = std::array<std::uint8_t, 4>;

struct BasicFunction {
    std::int32_t code;
    std::u16string_view english;
    std::u16string_view chinese;
    std::string_view editorKey;  // language key of the editor's list; empty when not listed
    DeviceBytes deviceBytes;
};

std::span<const BasicFunction> BasicFunctions();
const BasicFunction* FindBasicFunction(std::int32_t code);

// The built-in name of a basic function: Chinese only in Simplified Chinese
// mode, English in every other language; empty for an unknown code.
std::u16string FunctionName(std::int32_t code, bool chineseMode);

}  // namespace qx
