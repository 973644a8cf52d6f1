// The twelve language files as installed: complete, well-formed, with the
// format keys the messages rely on, and written in their own language.
#include <algorithm>

#include <gtest/gtest.h>

#include "base/Text.h"
#include "i18n/LanguageTable.h"
#include "i18n/XmlReader.h"

namespace qx {
namespace {

std::size_t Count(std::u16string_view text, std::u16string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::u16string_view::npos;
         at = text.find(what, at + what.size()))
        ++n;
    return n;
}

}  // namespace

// Readable test names and messages for the parameter.
void PrintTo(const LanguageRow& row, std::ostream* out) {
    *out << row.file;
}

namespace {

class ShippedFile : public ::testing::TestWithParam<LanguageRow> {
protected:
    void SetUp() override {
        path = std::filesystem::path(QX_APP_DIR) / GetParam().file;
        LoadLanguageFile(language, path);
    }
    std::filesystem::path path;
    Localization language;
};

TEST_P(ShippedFile, IsWellFormedAndHoldsEveryKey) {
    XmlReader reader;
    EXPECT_TRUE(reader.LoadXmlFile(path)) << reader.ResultText();
    EXPECT_EQ(reader.CodePage(), 65001);
    for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
        const auto& text = language.table.TextAt(static_cast<int>(i + 1));
        EXPECT_FALSE(text.empty()) << kLanguageKeys[i];
        EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << kLanguageKeys[i];
        EXPECT_EQ(text.find(u'\n'), std::u16string::npos) << kLanguageKeys[i];
    }
}

TEST_P(ShippedFile, FormatKeysCarryTheRightPlaceholders) {
    const auto& notFound = language.table.Text("str_msg2");
    EXPECT_EQ(Count(notFound, u"%s"), 1u);
    EXPECT_EQ(Count(notFound, u"%"), 1u);
    const std::u16string path = u"/home/user/.local/share/ORVIK/6E41/Language.cfg";
    EXPECT_NE(FormatText(notFound, {path}).find(path), std::u16string::npos);
    // Shown unchanged, and used as a format without arguments.
    EXPECT_EQ(Count(language.table.Text("str_msg4"), u"%"), 0u);
    EXPECT_EQ(Count(language.table.Text("str_msg5"), u"%"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedFile, ::testing::ValuesIn(kLanguageList),
                         [](const auto& info) {
                             std::string name(info.param.file.substr(9));
                             return name.substr(0, name.find('.'));
                         });

// Texts of the non-Latin languages hold no Latin words but product names and units.
TEST(ShippedFiles, NonLatinLanguagesLeaveNoEnglishInPlace) {
    for (const int number : {1, 4, 10, 11, 12}) {
        const LanguageRow& row = *FindLanguage(number);
        SCOPED_TRACE(std::string(row.file));
        Localization language;
        LoadLanguageFile(language, std::filesystem::path(QX_APP_DIR) / row.file);
        for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
            std::u16string text = language.table.TextAt(static_cast<int>(i + 1));
            for (const std::u16string_view allowed :
                 {u"Orvik", u"DPI", u"USB", u"PC", u"ms", u"%s"})
                for (std::size_t at; (at = text.find(allowed)) != std::u16string::npos;)
                    text.erase(at, allowed.size());
            EXPECT_FALSE(std::any_of(
                text.begin(), text.end(),
                [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }))
                << kLanguageKeys[i] << ": "
                << ToUtf8(language.table.TextAt(static_cast<int>(i + 1)));
        }
    }
}

TEST(ShippedFiles, TraditionalChineseIsWrittenInTraditionalCharacters) {
    Localization simplified, traditional;
    LoadLanguageFile(simplified, std::filesystem::path(QX_APP_DIR) / "Language/sc.xml");
    LoadLanguageFile(traditional, std::filesystem::path(QX_APP_DIR) / "Language/tw.xml");
    // Characters that exist only in the simplified script.
    const std::u16string simplifiedOnly =
        u"设键录换开关删导档页动应态图认击灯颜网载择单级统计奖驱应术释声";
    int different = 0;
    for (std::size_t i = 1; i <= kLanguageKeyCount; ++i) {
        const auto& text = traditional.table.TextAt(static_cast<int>(i));
        EXPECT_EQ(text.find_first_of(simplifiedOnly), std::u16string::npos) << ToUtf8(text);
        if (text != simplified.table.TextAt(static_cast<int>(i))) ++different;
    }
    EXPECT_GT(different, 100);
}

TEST(ShippedFiles, EveryLanguageHasItsOwnTexts) {
    // A file copied from another language would show here.
    std::vector<std::u16string> titles;
    for (const auto& row : kLanguageList) {
        Localization language;
        LoadLanguageFile(language, std::filesystem::path(QX_APP_DIR) / row.file);
        titles.push_back(language.table.Text("str_macro_manager") + u"|" +
                         language.table.Text("str_resetSts"));
    }
    for (std::size_t i = 0; i < titles.size(); ++i)
        for (std::size_t j = i + 1; j < titles.size(); ++j)
            EXPECT_NE(titles[i], titles[j])
                << kLanguageList[i].file << " " << kLanguageList[j].file;
}

}  // namespace
}  // namespace qx
