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
inline constexpr std::array<std::int32_t, kButtonCount> kDefaultFunctions = {1,  4,  2, 8,
                                                                             16, 11, 22};

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

// The bytes of a button's own default function, which a software-function
// button keeps in the mouse.
const DeviceBytes& DefaultDeviceBytes(int buttonIndex);

// The event code under which the input hooks know each button's native event
// (left down, middle down, right down, extra 2 down, extra 1 down, wheel
// forward, wheel backward).
inline constexpr std::array<std::uint32_t, kButtonCount> kButtonEventCodes = {
    0x0201, 0x0207, 0x0204, 0x2020B, 0x1020B, 0x20A01, 0x20A00};
inline std::uint32_t ButtonEventCode(int buttonIndex) {
    return kButtonEventCodes[static_cast<std::size_t>(buttonIndex)];
}

// The basic functions of the per-button editor's list, in list order; the
// list shows the language-file text of each key.
struct EditorFunction {
    std::string_view key;
    std::int32_t code;
};
inline constexpr std::size_t kEditorFunctionCount = 24;
std::span<const EditorFunction, kEditorFunctionCount> EditorFunctionList();

// The names of the seven default functions in both languages. A stored name
// that is one of them follows the language: returns the member of the pair
// for the current language, or nullopt when the name is none of the fourteen.
std::optional<std::u16string_view> DefaultNameInLanguage(std::u16string_view name,
                                                         bool chineseMode);

}  // namespace qx
