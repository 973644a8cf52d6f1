// The 22 game categories a macro id carries in its top byte, with the texts
// under which the category menu, the category button and the per-button
// editor's category list show them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qx {

inline constexpr std::uint32_t kMacroCategoryCount = 22;

struct MacroCategoryTexts {
    std::uint32_t id;  // 1-22
    std::u16string_view englishMenu;
    std::u16string_view englishButton;
    std::u16string_view chineseMenu;
    std::u16string_view chineseButton;
};

// In id order; entry i is category i + 1.
const std::array<MacroCategoryTexts, kMacroCategoryCount>& MacroCategories();

// Empty outside 1-22.
std::u16string_view MacroCategoryMenuText(std::uint32_t id, bool chineseMode);
std::u16string_view MacroCategoryButtonText(std::uint32_t id, bool chineseMode);

}  // namespace qx
