// What the update check accepts from its setting and from a description, and
// how it reads versions: tables of ordinary and hostile values.
#include "support/UpdateServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <optional>

#include "base/Text.h"
#include "i18n/XmlReader.h"
#include "support/FirmwareVersionText.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::TempDir;
using test::WriteText;

TEST(FirmwareVersionTextTest, VersionNumberReadsLeadingDigitsAsUnsigned) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    const struct {
        std::u16string_view text;
        std::uint32_t number;
    } cases[] = {
        {u"", 0},
        {u"12", 12},
        {u"9", 9},  // compared as numbers: 9 < 10 although "9" > "10"
        {u"10", 10},
        {u"\n    13\n  ", 13},  // a pretty-printed element keeps its blanks
        {u"+7", 7},
        {u"12abc", 12},
        {u"abc", 0},
        {u"-1", 0},  // not the largest number there is
        {u"- 5", 0},
        {u"0x1F", 0},
        {u"4294967295", kMax},
        {u"4294967296", kMax},
        {u"99999999999999999999999999999999", kMax},
        {u"\u0661\u0662", 0},  // Arabic-Indic digits are not decimal digits here
        {u"\uFF11\uFF12", 0},  // nor are full-width ones
    };
    for (const auto& c : cases) EXPECT_EQ(VersionNumber(c.text), c.number) << ToUtf8(c.text);
}

TEST(FirmwareVersionTextTest, SupportPageShowsOneOrTwoDigitsAsVersionAndMoreWhole) {
    const struct {
        std::u16string_view text, shown;
    } cases[] = {
        {u"", u"Unknown"},   {u"5", u"V 0.0.5"}, {u"7", u"V 0.0.7"},   {u"12", u"V 0.1.2"},
        {u"15", u"V 0.1.5"}, {u"123", u"V 123"}, {u"2805", u"V 2805"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirmwareVersionDisplay(c.text), c.shown) << ToUtf8(c.text);
}

TEST(UpdateServerTest, PathsLieUnderTheInstallationsFWUpdateFolder) {
    const UpdatePaths p = UpdatePathsFor("/opt/qx");
    EXPECT_EQ(p.settings, "/opt/qx/FWUpdate/update.ini");
    EXPECT_EQ(p.localDescription, "/opt/qx/FWUpdate/new_version/update.xml");
    EXPECT_EQ(p.localFirmware, "/opt/qx/FWUpdate/new_version/OrvikGameDevice.bin");
    EXPECT_EQ(p.burner, "/opt/qx/FWUpdate/BuringFW");
}

TEST(UpdateServerTest, SettingNamesTheServerAndOnlyItMayAllowHttp) {
    TempDir dir;
    const auto ini = dir / "update.ini";
    EXPECT_EQ(ReadUpdateServer(ini).baseUrl, kDefaultUpdateBaseUrl);  // no file
    EXPECT_FALSE(ReadUpdateServer(ini).allowHttp);

    const struct {
        std::string file;
        std::string baseUrl;  // empty: unusable
        bool allowHttp;
    } cases[] = {
        {"[other]\nbase_url=http://127.0.0.1:1\n", kDefaultUpdateBaseUrl, false},
        {"[update]\n", kDefaultUpdateBaseUrl, false},
        {"[update]\nbase_url=\n", kDefaultUpdateBaseUrl, false},
        {"[update]\nbase_url=http://127.0.0.1:8080\n", "http://127.0.0.1:8080", true},
        {"[Update]\nBASE_URL=HTTP://127.0.0.1:8080/\n", "HTTP://127.0.0.1:8080", true},
        {"[update]\nbase_url= https://mirror.example/orvik// \r\n", "https://mirror.example/orvik",
         false},
        {"[update]\nbase_url=ftp://mirror.example\n", "", false},
        {"[update]\nbase_url=file:///srv/update\n", "", false},
        {"[update]\nbase_url=127.0.0.1:8080\n", "", false},
        {"[update]\nbase_url=http://\n", "", false},
        {"[update]\nbase_url=https:///software\n", "", false},
        {"[update]\nbase_url=https://mirror.example/?x=1\n", "", false},
        {"[update]\nbase_url=https://mirror example\n", "", false},
        {"[update]\nbase_url=https://" + std::string(3000, 'a') + "\n", "", false},
    };
    for (const auto& c : cases) {
        WriteText(ini, c.file);
        const UpdateServer server = ReadUpdateServer(ini);
        EXPECT_EQ(server.baseUrl, c.baseUrl) << c.file;
        if (c.baseUrl.empty()) {
            EXPECT_EQ(DescriptionUrl(server, u"QX600"), "") << c.file;
        } else {
            EXPECT_EQ(server.allowHttp, c.allowHttp) << c.file;
        }
    }
}

TEST(UpdateServerTest, DescriptionUrlIsTheBaseWithTheModelsPath) {
    EXPECT_EQ(DescriptionUrl(*ParseBaseUrl(kDefaultUpdateBaseUrl), u"QX600"),
              "https://www.orvik.com/software/QX600/update.xml.");
    EXPECT_EQ(DescriptionUrl(*ParseBaseUrl("http://127.0.0.1:8080/mirror/"), u"QX100"),
              "http://127.0.0.1:8080/mirror/software/QX100/update.xml.");
    // Whatever a model file holds cannot leave the path.
    EXPECT_EQ(DescriptionUrl(*ParseBaseUrl("https://h"), u" QX1/../%s?"),
              "https://h/software/%20QX1%2F..%2F%25s%3F/update.xml.");
}

TEST(UpdateServerTest, FirmwareUrlOnlyHttpsOrTheHttpTheSettingAllows) {
    const UpdateServer https = *ParseBaseUrl("https://www.orvik.com");
    const UpdateServer http = *ParseBaseUrl("http://127.0.0.1:8080");
    const std::string longUrl = "https://h/" + std::string(kMaxUrlLength, 'a');
    const struct {
        std::u16string newfile;
        std::optional<std::string> viaHttps, viaHttp;
    } cases[] = {
        {u"https://cdn.example/fw.bin", "https://cdn.example/fw.bin", "https://cdn.example/fw.bin"},
        {u"HTTPS://CDN.example/fw.bin", "HTTPS://CDN.example/fw.bin", "HTTPS://CDN.example/fw.bin"},
        {u"\n   https://h/fw.bin\n  ", "https://h/fw.bin", "https://h/fw.bin"},
        {u"http://127.0.0.1:8080/fw.bin", std::nullopt, "http://127.0.0.1:8080/fw.bin"},
        {u"file:///etc/passwd", std::nullopt, std::nullopt},
        {u"FILE:///etc/passwd", std::nullopt, std::nullopt},
        {u"ftp://127.0.0.1/fw.bin", std::nullopt, std::nullopt},
        {u"gopher://h/fw.bin", std::nullopt, std::nullopt},
        {u"javascript:alert(1)", std::nullopt, std::nullopt},
        {u"//h/fw.bin", std::nullopt, std::nullopt},
        {u"h/fw.bin", std::nullopt, std::nullopt},
        {u"https:h/fw.bin", std::nullopt, std::nullopt},
        {u"https:///fw.bin", std::nullopt, std::nullopt},
        {u"https://", std::nullopt, std::nullopt},
        {u"", std::nullopt, std::nullopt},
        {u"https://h/f w.bin", std::nullopt, std::nullopt},
        {u"https://h/fw.bin\r\nHost: elsewhere", std::nullopt, std::nullopt},
        {u"https://h/\u00e9.bin", std::nullopt, std::nullopt},
        {std::u16string(u"https://h/fw.bin\0.txt", 21), std::nullopt, std::nullopt},
        {FromUtf8(longUrl), std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FirmwareUrl(c.newfile, https), c.viaHttps) << ToUtf8(c.newfile);
        EXPECT_EQ(FirmwareUrl(c.newfile, http), c.viaHttp) << ToUtf8(c.newfile);
    }
    EXPECT_EQ(FirmwareUrl(u"https://h/fw.bin", UpdateServer{}), std::nullopt);  // unusable setting
}

// Descriptions a hostile or broken server might send, read as the check reads
// them: the version that counts and whether the firmware URL may be fetched.
TEST(UpdateServerTest, HostileDescriptionsGiveAVersionAndAFetchableUrlOrNone) {
    const UpdateServer server = *ParseBaseUrl("https://www.orvik.com");
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    deep += "<firmware><current>13</current></firmware>";
    std::string nestedFirmware = "<u>";
    for (int i = 0; i < 5000; ++i) nestedFirmware += "<firmware>";
    nestedFirmware += "<current>14</current><newfile>https://h/fw.bin</newfile>";
    const std::string many = "<u>" + std::string(50000, ' ') + [] {
        std::string s;
        for (int i = 0; i < 20000; ++i) s += "<x/>";
        return s;
    }() + "<firmware><current>15</current></firmware></u>";

    const struct {
        const char* name;
        std::string bytes;
        std::uint32_t version;
        std::optional<std::string> url;
    } cases[] = {
        {"plain",
         "<u><firmware><current>13</current><newfile>https://h/fw.bin</newfile></firmware></u>", 13,
         "https://h/fw.bin"},
        {"empty file", "", 0, std::nullopt},
        {"not xml", std::string("\x00\xff\xfe garbage \x01\x02", 14), 0, std::nullopt},
        {"no firmware", "<u><current>99</current></u>", 0, std::nullopt},
        {"no current", "<u><firmware><newfile>https://h/fw.bin</newfile></firmware></u>", 0,
         "https://h/fw.bin"},
        {"huge number",
         "<u><firmware><current>184467440737095516161844674407370955</current></firmware></u>",
         std::numeric_limits<std::uint32_t>::max(), std::nullopt},
        {"negative", "<u><firmware><current>-1</current></firmware></u>", 0, std::nullopt},
        {"current with children", "<u><firmware><current><b>99</b></current></firmware></u>", 0,
         std::nullopt},
        {"unclosed", "<u><firmware><current>21", 21, std::nullopt},
        {"scheme as references",
         "<u><firmware><current>2</current><newfile>&#102;ile:///etc/passwd</newfile></firmware></"
         "u>",
         2, std::nullopt},
        {"scheme in CDATA",
         "<u><firmware><current>2</current><newfile><![CDATA[ftp://h/fw]]></newfile></firmware></"
         "u>",
         2, std::nullopt},
        {"url split by a comment",
         "<u><firmware><newfile>https://h/<!-- x -->fw.bin</newfile></firmware></u>", 0,
         "https://h/fw.bin"},
        {"deep nesting", deep, 0, std::nullopt},
        {"firmware in firmware", nestedFirmware, 14, "https://h/fw.bin"},
        {"many siblings", many, 15, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XmlReader reader;
        const auto start = std::chrono::steady_clock::now();
        const UpdateDescription d = ParseUpdateDescription(
            reader, {reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(VersionNumber(d.current), c.version);
        EXPECT_EQ(FirmwareUrl(d.newfile, server), c.url);
    }
}

TEST(UpdateServerTest, LocalDescriptionBeyondTheDownloadBoundReadsAsEmpty) {
    TempDir dir;
    XmlReader reader;
    std::string text = "<u><firmware><current>13</current></firmware><!--";
    text += std::string(kMaxDescriptionBytes - text.size() - 3, 'x') + "-->";
    WriteText(dir / "update.xml", text);
    EXPECT_EQ(ReadUpdateDescription(reader, dir / "update.xml").current, u"13");
    WriteText(dir / "update.xml", text + "\n");
    EXPECT_EQ(ReadUpdateDescription(reader, dir / "update.xml").current, u"");
    EXPECT_EQ(ReadUpdateDescription(reader, dir / "missing.xml").current, u"");
}

}  // namespace
}  // namespace qx
