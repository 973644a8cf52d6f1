#include "i18n/XmlReader.h"

#include <gtest/gtest.h>

#include "base/Text.h"
#include "i18n/XmlEncoding.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool bigEndian) {
    std::vector<std::uint8_t> out =
        bigEndian ? std::vector<std::uint8_t>{0xFE, 0xFF} : std::vector<std::uint8_t>{0xFF, 0xFE};
    for (const char16_t unit : text) {
        const auto low = static_cast<std::uint8_t>(unit & 0xFF);
        const auto high = static_cast<std::uint8_t>(unit >> 8);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
    return out;
}

std::u16string ChildText(std::string_view xml, std::string_view parent = "config",
                         std::string_view child = "k") {
    XmlReader reader;
    reader.LoadXmlBytes(Bytes(xml));
    return reader.ReadChildText(parent, child);
}

TEST(XmlReader, ByteOrderMarksAndUtf8GiveTheSameDocument) {
    const std::string document = "<language><config><k>Grüße 中文</k></config></language>";
    const std::u16string wide = FromUtf8(document);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        XmlReader::ByteOrderMark bom;
    };
    const Case cases[] = {
        {"UTF-8 without mark", Bytes(document), XmlReader::ByteOrderMark::None},
        {"UTF-8 with mark", Bytes("\xEF\xBB\xBF" + document), XmlReader::ByteOrderMark::Utf8},
        {"UTF-16LE", Utf16(wide, false), XmlReader::ByteOrderMark::Utf16Le},
        {"UTF-16BE", Utf16(wide, true), XmlReader::ByteOrderMark::Utf16Be},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XmlReader reader;
        EXPECT_TRUE(reader.LoadXmlBytes(c.bytes));
        EXPECT_EQ(reader.Bom(), c.bom);
        EXPECT_EQ(reader.DocumentText(), wide);
        EXPECT_EQ(reader.ReadChildText("config", "k"), u"Grüße 中文");
    }
}

TEST(XmlReader, UndeclaredNonUtf8FileIsReadInWindows1252) {
    // Leading blank, no declaration, bytes that are not UTF-8: é and the euro
    // sign of windows-1252 (0x80 would be a control character in Latin-1).
    XmlReader reader;
    reader.LoadXmlBytes(Bytes("  <r><config><k>caf\xE9 \x80</k></config></r>"));
    EXPECT_EQ(reader.CodePage(), kAnsiCodePage);
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"café €");

    // A file starting with '<' is taken as UTF-8 without the test; bad bytes
    // become the replacement character.
    reader.LoadXmlBytes(Bytes("<r><config><k>caf\xE9</k></config></r>"));
    EXPECT_EQ(reader.CodePage(), kCodePageUtf8);
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"caf\uFFFD");
}

TEST(XmlReader, DeclaredEncodingsAreConverted) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
    };
    const std::string body = "<r><config><k>";
    const std::string end = "</k></config></r>";
    const Case cases[] = {
        {"windows-1251",
         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>" + body + "\xCF\xF0\xE8" + end, u"При"},
        {"gb2312", "<?xml version='1.0' encoding='gb2312'?>" + body + "\xD6\xD0\xCE\xC4" + end,
         u"中文"},
        {"euc-cn", "<?xml version=\"1.0\" encoding=\"EUC-CN\"?>" + body + "\xD6\xD0\xCE\xC4" + end,
         u"中文"},
        {"big5", "<?xml version=\"1.0\" encoding = \"Big5\" ?>" + body + "\xA4\xA4\xA4\xE5" + end,
         u"中文"},
        {"shift_jis",
         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + body + "\x93\xFA\x96\x7B" + end,
         u"日本"},
        {"koi8-r", "<?xml version=\"1.0\" encoding=\"koi8-r\"?>" + body + "\xF0\xD2\xC9" + end,
         u"При"},
        {"euc-kr", "<?xml version=\"1.0\" encoding=\"euc-kr\"?>" + body + "\xC7\xD1" + end, u"한"},
        {"html meta charset",
         "<html><head><title>t</title><meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=koi8-r\"></head><config><k>\xF0\xD2\xC9</k></config></html>",
         u"При"},
        {"unknown name reads as windows-1252",
         "<?xml version=\"1.0\" encoding=\"x-no-such\"?>" + body + "\xE9" + end, u"é"},
        // A declaration readable as 8-bit text cannot belong to a UTF-16 file.
        {"utf-16 declared in an 8-bit file",
         "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body + "\xC3\xA9" + end, u"é"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChildText(c.bytes), c.text);
    }
}

TEST(XmlReader, ZeroBytesAndUnitsAreRemoved) {
    EXPECT_EQ(ChildText(std::string("<r><config><k>a\0b</k></config></r>", 34)), u"ab");
    XmlReader reader;
    reader.LoadXmlBytes(Utf16(std::u16string(u"<r><config><k>a\0b</k></config></r>", 34), false));
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"ab");
}

TEST(XmlReader, ReferencesDecodeOrStayLiteral) {
    struct Case {
        const char* in;
        std::u16string out;
    };
    const Case cases[] = {
        {"&#x4E2D;", u"中"},
        {"&#X4e2d;", u"中"},
        {"&#20013;", u"中"},
        {"&#x1F600;", u"\U0001F600"},  // above U+FFFF: a surrogate pair
        {"&amp;&lt;&gt;&quot;&apos;", u"&<>\"'"},
        {"&AMP;", u"&"},
        {"&oslash;&Oslash;&OSLASH;", u"øØØ"},
        {"&rarr;&rArr;", u"→⇒"},
        {"&thetasym;", u"ϑ"},
        {"&#0;", u"&#0;"},
        {"&#x0;", u"&#x0;"},
        {"&nosuch;", u"&nosuch;"},
        {"&;", u"&;"},
        {"&#;", u"&#;"},
        {"&#12a;", u"&#12a;"},
        {"&#xD800;", u"&#xD800;"},
        // A pair spelt as two references is one character; a half alone is none.
        {"&#xD83D;&#xDE00;", u"\U0001F600"},
        {"&#55357;&#56832;!", u"\U0001F600!"},
        {"&#xDE00;&#xD83D;", u"&#xDE00;&#xD83D;"},
        {"&#xD83D;x&#xDE00;", u"&#xD83D;x&#xDE00;"},
        {"&#xD83D;&amp;", u"&#xD83D;&"},
        {"&#x110000;", u"&#x110000;"},
        {"&abcdefghi;", u"&abcdefghi;"},    // 9 characters: looked up, unknown
        {"&abcdefghij;", u"&abcdefghij;"},  // ';' too late
        {"&é;", u"&é;"},
        {"a & b", u"a & b"},
        {"x&", u"x&"},
        {"&amp", u"&amp"},
        {"&amp;amp;", u"&amp;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        std::u16string out;
        AppendDecodedText(FromUtf8(c.in), out);
        EXPECT_EQ(out, c.out);
    }
}

TEST(XmlReader, ChildTextSkipsCommentsAndKeepsCdata) {
    struct Case {
        const char* content;
        std::u16string text;
    };
    const Case cases[] = {
        {"a<!-- note -->b", u"ab"},
        {"<![CDATA[<x>&amp;]]>", u"<x>&amp;"},
        {"x &amp; <![CDATA[&amp;]]>", u"x & &amp;"},
        {"  spaced  ", u"  spaced  "},
        {"\n  <!-- c -->\n  text\n", u"\n  text\n"},
        {"a<?pi data?>b", u"ab"},
        {"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(ChildText(std::string("<r><config><k>") + c.content + "</k></config></r>"),
                  c.text);
    }
    EXPECT_EQ(ChildText("<r><config><k><b>x</b></k></config></r>"), u"");
    EXPECT_EQ(ChildText("<r><config><k/></config></r>"), u"");
    EXPECT_EQ(ChildText("<r><config><k a=\"1\">v</k></config></r>"), u"v");
}

TEST(XmlReader, ReadChildTextSearchesFromTheRootsChildren) {
    // Parent only deeper than the root's children: not found.
    EXPECT_EQ(ChildText("<r><x><config><k>v</k></config></x></r>"), u"");
    // Root itself named like the parent: not a child of the root.
    EXPECT_EQ(ChildText("<config><k>v</k></config>"), u"");
    // The parent lacks the child: one level deeper in a parent of the same name.
    EXPECT_EQ(ChildText("<r><config><other/><config><k>deep</k></config></config></r>"), u"deep");
    // Only the first parent element is searched, and the first child wins.
    EXPECT_EQ(ChildText("<r><config><j/></config><config><k>second</k></config></r>"), u"");
    EXPECT_EQ(ChildText("<r><config><k>one</k><k>two</k></config></r>"), u"one");
    // Names match exactly.
    EXPECT_EQ(ChildText("<r><Config><k>v</k></Config></r>"), u"");
    EXPECT_EQ(ChildText("<r><config><K>v</K></config></r>"), u"");
    EXPECT_EQ(ChildText("<r><config><kk>v</kk></config></r>"), u"");
}

TEST(XmlReader, PositionMovesAsTheLookupsSay) {
    XmlReader reader;
    ASSERT_TRUE(reader.LoadXmlBytes(Bytes("<r><a>1</a><b><c>2</c></b><a>3</a></r>")));
    EXPECT_FALSE(reader.StepIntoChild());
    EXPECT_TRUE(reader.FindChildElement(u"a"));  // selects the root first
    EXPECT_EQ(reader.ChildElementText(), u"1");
    EXPECT_TRUE(reader.FindChildElement(u"a"));  // after the current child
    EXPECT_EQ(reader.ChildElementText(), u"3");
    EXPECT_FALSE(reader.FindChildElement(u"a"));
    EXPECT_EQ(reader.ChildElementText(), u"3");  // a failed search changes nothing
    EXPECT_FALSE(reader.FindNextElement());      // the root has no sibling
    reader.ResetPosition();
    EXPECT_TRUE(reader.FindChildElement(u"b"));
    EXPECT_EQ(reader.ChildElementText(), u"");  // b has a child element
    EXPECT_TRUE(reader.StepIntoChild());
    EXPECT_TRUE(reader.FindChildElement(u""));  // any name
    EXPECT_EQ(reader.ChildElementText(), u"2");
    EXPECT_TRUE(reader.FindNextElement(u"a"));  // the sibling after b; the child is cleared
    EXPECT_EQ(reader.ChildElementText(), u"");
    EXPECT_FALSE(reader.FindChildElement(u""));
    EXPECT_FALSE(reader.FindNextElement(u"a"));
}

TEST(XmlReader, ProblemsAreRecordedWithTheirOffsets) {
    struct Case {
        const char* xml;
        const char* problem;
    };
    const Case cases[] = {
        {"<a></b></a>", "No start tag for end tag 'b' at offset 3"},
        {"<a><b></a>", "End tag 'a' at offset 6 does not match start tag 'b' at offset 3"},
        {"<a><b>", "Element 'b' at offset 3 not ended"},
        {"<a>x <= y</a>", "Incorrect tag name character at offset 6"},
        {"<a\"b></a>", "Incorrect tag name character at offset 2"},
        {"<!x><a/>", "Incorrect ! tag at offset 0"},
        {"<!-x><a/>", "Incorrect comment tag at offset 0"},
        {"<a><b <c/></a>", "Incorrect tag at offset 3"},
        {"<a></b", "Element end tag at offset 3 unterminated"},
        {"<a><b x='>", "Element tag at offset 3 unterminated"},
        {"<a><![CDATA[x", "CDATA Section at offset 3 unterminated"},
        {"<a><?pi", "Processing instruction at offset 3 unterminated"},
        {"<a><!-- x", "Comment at offset 3 unterminated"},
        {"<!DOCTYPE a [ <!ENTITY x 'y'> ", "Doctype at offset 0 unterminated"},
        {"<a><", "tag at offset 3 unterminated"},
        {"", "Empty document"},
        {"just text", "No root element"},
        {"<a/><b/>", "Root element has sibling"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        XmlReader reader;
        EXPECT_FALSE(reader.LoadXmlBytes(Bytes(c.xml)));
        EXPECT_NE(reader.ResultText().find(c.problem), std::string::npos) << reader.ResultText();
    }
    XmlReader reader;
    EXPECT_TRUE(reader.LoadXmlBytes(
        Bytes("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x \"]>\">]><!-- c --><r a='>'/>")));
    EXPECT_EQ(reader.ElementCount(), 1u);
}

TEST(XmlReader, MalformedDocumentIsUsedAsFarAsIndexed) {
    // Never closed, and a stray end tag: the keys are still found.
    EXPECT_EQ(ChildText("<r><config></x><k>v</k><j>w", "config", "k"), u"v");
    EXPECT_EQ(ChildText("<r><config></x><k>v</k><j>w", "config", "j"), u"w");
    // An end tag closing an outer element ends the inner one where it stands.
    EXPECT_EQ(ChildText("<r><config><k>v</config><j>w</j></r>", "config", "k"), u"v");
}

TEST(XmlReader, MissingFileLeavesAnEmptyDocument) {
    test::TempDir dir;
    test::WriteText(dir / "a.xml", "<r><config><k>v</k></config></r>");
    XmlReader reader;
    ASSERT_TRUE(reader.LoadXmlFile(dir / "a.xml"));
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"v");
    EXPECT_FALSE(reader.LoadXmlFile(dir / "missing.xml"));  // replaces the document
    EXPECT_EQ(reader.ElementCount(), 0u);
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"");
}

TEST(XmlReader, DeepNestingNeedsNoStack) {
    constexpr int kDepth = 200000;
    std::string xml = "<r>";
    for (int i = 0; i < kDepth; ++i) xml += "<config>";
    xml += "<k>bottom</k>";
    for (int i = 0; i < kDepth; ++i) xml += "</config>";
    xml += "</r>";
    XmlReader reader;
    EXPECT_TRUE(reader.LoadXmlBytes(Bytes(xml)));
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"bottom");
    // Unclosed all the way down.
    reader.LoadXmlBytes(Bytes(xml.substr(0, 3 + 8 * kDepth + 13)));
    EXPECT_EQ(reader.ReadChildText("config", "k"), u"bottom");
    // End tags that close nothing under a deep stack are turned away at once.
    std::string stray = "<r>" + std::string(8 * kDepth / 10, 'x');
    for (int i = 0; i < kDepth / 10; ++i) stray += "<a>";
    for (int i = 0; i < kDepth / 10; ++i) stray += "</b>";
    EXPECT_FALSE(reader.LoadXmlBytes(Bytes(stray)));
    EXPECT_EQ(reader.ElementCount(), 1u + kDepth / 10);
}

}  // namespace
}  // namespace qx
