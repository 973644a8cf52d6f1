#include "i18n/LanguageTable.h"

namespace qx {
namespace {
const std::u16string kEmpty;
}

int LanguageKeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kLanguageKeys.size(); ++i)
        if (kLanguageKeys[i] == key) return static_cast<int>(i);
    return -1;
}

const std::u16string& LanguageTable::Text(std::string_view key) const {
    const int index = LanguageKeyIndex(key);
    return index < 0 ? kEmpty : texts_[static_cast<std::size_t>(index)];
}

const std::u16string& LanguageTable::TextAt(int number) const {
    if (number < 1 || number > static_cast<int>(kLanguageKeyCount)) return kEmpty;
    return texts_[static_cast<std::size_t>(number - 1)];
}

void LanguageTable::Set(std::string_view key, std::u16string text) {
    const int index = LanguageKeyIndex(key);
    if (index >= 0) texts_[static_cast<std::size_t>(index)] = std::move(text);
}

void LanguageTable::SetAt(int number, std::u16string text) {
    if (number >= 1 && number <= static_cast<int>(kLanguageKeyCount))
        texts_[static_cast<std::size_t>(number - 1)] = std::move(text);
}

void LanguageTable::Clear() {
    for (auto& text : texts_) text.clear();
}

}  // namespace qx
