#include "i18n/XmlEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "base/Text.h"
#include "i18n/XmlReader.h"

namespace qx {
namespace {

TEST(XmlEncoding, CharsetNamesGiveTheirCodePages) {
    struct Case {
        const char* name;
        int codePage;
    };
    // clang-format off
    const Case cases[] = {
        {"utf-8", 65001},
        {"UTF-8", 65001},
        {"utf-16", 1200},
        {"gb2312", 936},
        {"GBK", 936},
        {"EUC-CN", 936},
        {"x-euc-cn", 936},
        {"chinese", 936},
        {"big5", 950},
        {"Shift_JIS", 932},
        {"euc-kr", 949},
        {"korean", 949},
        {"koi8-r", 20866},
        {"windows-1251", 1251},
        {"windows-1252", 1252},
        {"ISO-8859-1", 28591},
        {"us-ascii", 20127},
        {"UTF-32", 65005},
        {"utf-32be", 65005},
        {"no-such-charset", 0},
        {"", 0},
        {"utf-8 ", 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CodePageOfCharset(c.name), c.codePage);
    }
}

TEST(XmlEncoding, CharsetTableIsSortedAndEveryCodePageConverts) {
    const auto table = CharsetTable();
    EXPECT_GE(table.size(), 240u);
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));
    std::set<std::string_view> names;
    for (const auto& entry : table) {
        SCOPED_TRACE(std::string(entry.name));
        EXPECT_TRUE(names.insert(entry.name).second) << "duplicate";
        EXPECT_EQ(std::count_if(entry.name.begin(), entry.name.end(),
                                [](char c) { return c >= 'A' && c <= 'Z'; }),
                  0);
        // A name whose code page iconv cannot convert would silently read as windows-1252.
        const char* iconvName = IconvNameOfCodePage(entry.codePage);
        ASSERT_NE(iconvName, nullptr);
        const iconv_t cd = iconv_open("UTF-16LE", iconvName);
        EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << iconvName;
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
}

TEST(XmlEncoding, ConversionReplacesWhatTheCodePageLacks) {
    const std::vector<std::uint8_t> bytes = {'a', 0x81, 'b', 0x80};  // 0x81 is unassigned in 1252
    EXPECT_EQ(ConvertToUtf16(bytes, 1252), u"a\uFFFDb€");
    EXPECT_EQ(ConvertToUtf16(bytes, 99999), u"a\uFFFDb€");  // unknown: the ANSI code page
    const std::vector<std::uint8_t> cut = {'x', 0xD6};      // GBK lead byte at the end
    EXPECT_EQ(ConvertToUtf16(cut, 936), u"x\uFFFD");
    const std::vector<std::uint8_t> jis = {0x1B, '$', 'B', 0x46, 0x7C, 0x1B, '(', 'B'};
    EXPECT_EQ(ConvertToUtf16(jis, 50220), u"日");
}

TEST(XmlEncoding, Utf8ConversionAgreesWithTheTextHelpers) {
    // Runs that cross the converter's internal buffer, with multi-byte and
    // invalid sequences at and around the seams.
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text += std::string(4095 - i, 'a');
        text += "\xC3\xA9\xF0\x9F\x98\x80\xE9\xE4\xB8";
    }
    text += "\xE4\xB8";  // cut off at the end
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    EXPECT_EQ(ConvertToUtf16(bytes, kCodePageUtf8), FromUtf8(text));
}

TEST(XmlEncoding, Utf8ValidityTest) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool valid;
    };
    const Case cases[] = {
        {{'a', 0xC3, 0xA9}, true},
        {{0xF0, 0x9F, 0x98, 0x80}, true},
        {{0xE9}, false},                    // Latin-1 é
        {{0xC0, 0xAF}, false},              // overlong
        {{0xED, 0xA0, 0x80}, false},        // surrogate
        {{0xE4, 0xB8}, false},              // cut off
        {{0xF4, 0x90, 0x80, 0x80}, false},  // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
}

TEST(XmlEncoding, EntityTableIsTheHtml4SetPlusApos) {
    const auto table = XmlEntityTable();
    EXPECT_EQ(table.size(), 253u);
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));
    const auto has = [&](std::string_view name, char16_t value) {
        return std::any_of(table.begin(), table.end(),
                           [&](const auto& e) { return e.name == name && e.value == value; });
    };
    EXPECT_TRUE(has("apos", u'\''));
    EXPECT_TRUE(has("nbsp", u'\u00A0'));
    EXPECT_TRUE(has("euro", u'€'));
    EXPECT_TRUE(has("diams", u'\u2666'));
}

}  // namespace
}  // namespace qx
