#include "i18n/LanguageTable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/IniFile.h"
#include "base/Notifier.h"
#include "base/Text.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::TempDir;
using Kind = RecordingNotifier::Kind;

std::string LanguageFile(const std::string& config) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<language>\n<config>\n" + config +
           "</config>\n</language>\n";
}

Localization Loaded(const std::string& xml) {
    TempDir dir;
    test::WriteText(dir / "l.xml", xml);
    Localization language;
    LoadLanguageFile(language, dir / "l.xml");
    return language;
}

std::vector<std::uint8_t> LittleEndian(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

TEST(LanguageFile, KeysComeFromTheConfigChildOfAnyRoot) {
    const auto language = Loaded(LanguageFile(
        "<str_main>Buttons</str_main>\n<str_ok>A &amp; B</str_ok>\n"
        "<str_msg2><![CDATA[<%s> &amp;]]></str_msg2>\n<str_sts><b>x</b></str_sts>\n"
        "<str_about> spaced </str_about>\n<str_firmware_version>last</str_firmware_version>\n"
        "<str_unknown>ignored</str_unknown>\n"));
    EXPECT_EQ(language.table.Text("str_main"), u"Buttons");
    EXPECT_EQ(language.table.Text("str_ok"), u"A & B");
    EXPECT_EQ(language.table.Text("str_msg2"), u"<%s> &amp;");
    EXPECT_EQ(language.table.Text("str_sts"), u"");  // has a child element
    EXPECT_EQ(language.table.Text("str_about"), u" spaced ");
    EXPECT_EQ(language.table.Text("str_firmware_version"), u"last");
    EXPECT_EQ(language.table.Text("str_led_title"), u"");  // absent
}

TEST(LanguageFile, RootNamedConfigGivesEmptyTexts) {
    const auto language =
        Loaded("<config><str_main>Buttons</str_main><str_ok>OK</str_ok></config>");
    for (std::size_t i = 1; i <= kLanguageKeyCount; ++i)
        EXPECT_EQ(language.table.TextAt(static_cast<int>(i)), u"");
}

TEST(LanguageFile, ALoadReplacesEveryText) {
    TempDir dir;
    test::WriteText(dir / "a.xml", LanguageFile("<str_main>A</str_main><str_ok>OK</str_ok>"));
    test::WriteText(dir / "b.xml", LanguageFile("<str_main>B</str_main>"));
    Localization language;
    LoadLanguageFile(language, dir / "a.xml");
    LoadLanguageFile(language, dir / "b.xml");
    EXPECT_EQ(language.table.Text("str_main"), u"B");
    EXPECT_EQ(language.table.Text("str_ok"), u"");
    LoadLanguageFile(language, dir / "missing.xml");
    EXPECT_EQ(language.table.Text("str_main"), u"");
}

TEST(LanguageFile, Utf16FileReadsLikeUtf8) {
    Localization language;
    LoadLanguageFile(language, std::filesystem::path(QX_I18N_FIXTURES) / "utf16le-language.xml");
    EXPECT_EQ(language.table.Text("str_main"), u"Tasten & Leistung");
    EXPECT_EQ(language.table.Text("str_led_title"), u"燈光效果");
    EXPECT_EQ(FormatText(language.table.Text("str_msg2"), {u"/x/y"}),
              u"Datei nicht gefunden: /x/y");
}

TEST(LanguageHints, CodesSelectTheirKeys) {
    struct Case {
        int code;
        const char* key;  // nullptr: the hint line is cleared
    };
    const Case cases[] = {
        {1, "str_main"},
        {11, "str_ok"},
        {18, "str_rollerScreen"},
        {19, nullptr},
        {25, nullptr},
        {26, "str_ledspe"},
        {39, "str_led_custom"},
        {40, "str_new_macro"},
        {58, "str_resetSts"},
        {59, "str_update"},
        {60, "str_orvikWeb"},
        {61, "str_importFile"},
        {62, "str_exportFile"},
        {63, "str_defaultname"},
        {64, "str_dpi_setting"},
        {86, "str_choose_color"},
        {93, "str_firmware_version"},
        {94, nullptr},
        {99, nullptr},
        {0, nullptr},
        {-5, nullptr},
    };
    Localization language;
    for (std::size_t i = 0; i < kLanguageKeyCount; ++i)
        language.table.SetAt(static_cast<int>(i + 1), FromUtf8(kLanguageKeys[i]));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ToUtf8(HintText(language, c.code)), c.key ? c.key : "");
    }
}

TEST(LanguageList, TwelveRowsInNumberOrder) {
    const auto list = LanguageList();
    ASSERT_EQ(list.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(list[i].number, i + 1);
        EXPECT_EQ(list[i].menuIcon, 130 + i);
        EXPECT_EQ(list[i].labelPicture, 142 + i);
        EXPECT_EQ(FindLanguage(i + 1), &list[i]);
    }
    EXPECT_EQ(list[0].menuName, "Chinese");
    EXPECT_EQ(list[11].menuName, "Trad.Chinese");
    EXPECT_EQ(list[11].file, "Language/tw.xml");
    EXPECT_EQ(FindLanguage(0), nullptr);
    EXPECT_EQ(FindLanguage(13), nullptr);
}

TEST(LanguageCfg, ReadCases) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int number;
    };
    const Case cases[] = {
        {"four bytes", {2, 0, 0, 0}, 2},
        {"twelve", {12, 0, 0, 0}, 12},
        {"negative", {0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"empty file keeps the default", {}, 1},
        {"one byte replaces the low byte", {5}, 5},
        {"one zero byte", {0}, 0},
        {"two bytes", {0x00, 0x01}, 0x100},
        {"longer file: the first four bytes", {3, 0, 0, 0, 9, 9}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        test::WriteBytes(dir / "Language.cfg", c.bytes.data(), c.bytes.size());
        RecordingNotifier notifier;
        EXPECT_EQ(ReadLanguageCfg(dir.path(), notifier), c.number);
        EXPECT_TRUE(notifier.Messages().empty());
    }
}

TEST(LanguageCfg, MissingFileIsReportedWithItsPath) {
    TempDir dir;
    for (const auto& folder : {dir.path(), dir / "no-such-folder"}) {
        RecordingNotifier notifier;
        EXPECT_EQ(ReadLanguageCfg(folder, notifier), 1);
        const auto path = FromUtf8((folder / "Language.cfg").string());
        const std::vector<RecordingNotifier::Message> expected = {
            {Kind::Info, u"Failed to open file, check whether there is a " + path + u" path?"}};
        EXPECT_EQ(notifier.Messages(), expected);
    }
    // Something that is not a file cannot be opened either (a FIFO used to hang).
    std::filesystem::create_directory(dir / "Language.cfg");
    std::filesystem::create_directory(dir / "fifo");
    ASSERT_EQ(::mkfifo((dir / "fifo/Language.cfg").c_str(), 0600), 0);
    for (const auto& folder : {dir.path(), dir / "fifo"}) {
        RecordingNotifier notifier;
        EXPECT_EQ(ReadLanguageCfg(folder, notifier), 1);
        ASSERT_EQ(notifier.Messages().size(), 1u);
        EXPECT_EQ(notifier.Messages()[0].kind, Kind::Info);
    }
}

TEST(LanguageCfg, WriteFailuresShowTheLanguagesMessages) {
    TempDir dir;
    Localization language;
    language.table.Set("str_msg2", u"Not found: %s");
    language.table.Set("str_msg5", u"Denied");
    RecordingNotifier notifier;
    EXPECT_FALSE(WriteLanguageCfg(dir / "gone", 3, language, notifier));
    const auto path = FromUtf8((dir / "gone" / "Language.cfg").string());
    std::vector<RecordingNotifier::Message> expected = {{Kind::Standard, u"Not found: " + path}};
    EXPECT_EQ(notifier.Messages(), expected);

    notifier.Clear();
    std::filesystem::create_directory(dir / "Language.cfg");  // cannot be replaced
    EXPECT_FALSE(WriteLanguageCfg(dir.path(), 3, language, notifier));
    expected = {{Kind::Standard, u"Denied"}};
    EXPECT_EQ(notifier.Messages(), expected);
}

struct RecordingTarget : MessageTarget {
    struct Posted {
        std::uint32_t message;
        WParam wParam;
        LParam lParam;
        bool operator==(const Posted&) const = default;
    };
    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        posted.push_back({message, wParam, lParam});
    }
    std::vector<Posted> posted;
};

class LanguageChoice : public ::testing::Test {
protected:
    // The installed files, as the utility finds them.
    const std::filesystem::path appFolder = QX_APP_DIR;
    TempDir data;
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    int tooltipUpdates = 0;
    Localization language;

    void SetUp() override {
        tooltips.Add([this] { ++tooltipUpdates; });
    }

    ApplyLanguageOutcome Apply(WParam reason, LParam number, bool menuOpen) {
        return ApplyLanguage(language, appFolder, data.path(), notifier, tooltips, reason, number,
                             menuOpen);
    }
    std::vector<std::uint8_t> Stored() const { return test::ReadBytes(data / "Language.cfg"); }
    std::u16string Expected(int number, std::string_view key) const {
        Localization other;
        LoadLanguageFile(other, appFolder / FindLanguage(number)->file);
        return other.table.Text(key);
    }
};

TEST_F(LanguageChoice, MenuChoiceLoadsStoresAndRefreshesTooltips) {
    struct Case {
        int number;
        bool chinese;
        int label;
    };
    const Case cases[] = {{2, false, 143}, {1, true, 142}, {12, false, 153}, {10, false, 151}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        tooltipUpdates = 0;
        const auto outcome = Apply(0, c.number, true);
        EXPECT_TRUE(outcome.handled);
        EXPECT_TRUE(outcome.closeMenu);
        EXPECT_EQ(outcome.labelPicture, c.label);
        EXPECT_EQ(language.currentLanguage, c.number);
        EXPECT_EQ(language.chineseMode, c.chinese);
        EXPECT_EQ(language.table.Text("str_led_title"), Expected(c.number, "str_led_title"));
        EXPECT_EQ(Stored(), LittleEndian(c.number));
        EXPECT_EQ(tooltipUpdates, 1);
    }
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(LanguageChoice, NothingHappensWithoutChoiceOrMenu) {
    language.currentLanguage = 2;
    language.chineseMode = true;
    for (const auto& [reason, number, menuOpen] :
         {std::tuple<WParam, LParam, bool>{0, 0, true}, {0, 3, false}, {kWmInitDialog, 0, false}}) {
        const auto outcome = Apply(reason, number, menuOpen);
        EXPECT_FALSE(outcome.handled);
    }
    EXPECT_EQ(language.currentLanguage, 2);
    EXPECT_TRUE(language.chineseMode);
    EXPECT_FALSE(std::filesystem::exists(data / "Language.cfg"));
    EXPECT_EQ(tooltipUpdates, 0);
}

TEST_F(LanguageChoice, StartupApplyNeedsNoMenuAndKeepsNone) {
    const auto outcome = Apply(kWmInitDialog, 3, false);
    EXPECT_TRUE(outcome.handled);
    EXPECT_FALSE(outcome.closeMenu);
    EXPECT_EQ(language.currentLanguage, 3);
    EXPECT_EQ(language.table.Text("str_main"), Expected(3, "str_main"));
}

TEST_F(LanguageChoice, NumberOutsideTheListKeepsTextsAndIsWrittenBack) {
    language.table.Set("str_main", u"start-up text");
    language.chineseMode = true;
    language.currentLanguage = 0;
    const auto outcome = Apply(kWmInitDialog, 13, false);
    EXPECT_TRUE(outcome.handled);
    EXPECT_EQ(outcome.labelPicture, 0);
    EXPECT_EQ(language.table.Text("str_main"), u"start-up text");
    EXPECT_FALSE(language.chineseMode);
    EXPECT_EQ(language.currentLanguage, 0);
    EXPECT_EQ(Stored(), (std::vector<std::uint8_t>{13, 0, 0, 0}));
    EXPECT_EQ(tooltipUpdates, 1);
}

TEST_F(LanguageChoice, StartupFollowsLanguagetypeThenTheStoredLanguage) {
    // The installation's files, with a languagetype.ini of the test's choosing.
    TempDir app;
    std::filesystem::create_directories(app / "skins");
    std::filesystem::copy(appFolder / "Language", app / "Language");
    struct Case {
        const char* ini;  // nullptr: no languagetype.ini
        bool chinese;
        int label;
    };
    const Case cases[] = {{"[languagetype]\nvalue=1\n", true, 142},
                          {"[languagetype]\nvalue=2\n", false, 143},
                          {"[other]\nvalue=1\n", false, 143},
                          {nullptr, false, 143}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "missing");
        std::filesystem::remove(app / "skins" / "languagetype.ini");
        if (c.ini) test::WriteText(app / "skins" / "languagetype.ini", c.ini);
        Localization startup;
        EXPECT_EQ(LoadStartupLanguage(startup, app.path()), c.label);
        EXPECT_EQ(startup.chineseMode, c.chinese);
        EXPECT_EQ(startup.startupChinese, c.chinese);
        EXPECT_EQ(startup.currentLanguage, 0);
        EXPECT_EQ(startup.table.Text("str_main"), Expected(c.chinese ? 1 : 2, "str_main"));
    }

    // Chinese start-up with English stored: English texts, the start-up flag stays.
    test::WriteText(app / "skins" / "languagetype.ini", "[languagetype]\nvalue=1\n");
    LoadStartupLanguage(language, app.path());
    const auto english = LittleEndian(2);
    test::WriteBytes(data / "Language.cfg", english.data(), english.size());
    RecordingTarget mainWindow;
    PostStoredLanguage(mainWindow, data.path(), notifier);
    const std::vector<RecordingTarget::Posted> expected = {{kMsgApplyLanguage, kWmInitDialog, 2}};
    ASSERT_EQ(mainWindow.posted, expected);
    Apply(mainWindow.posted[0].wParam, mainWindow.posted[0].lParam, false);
    EXPECT_FALSE(language.chineseMode);
    EXPECT_TRUE(language.startupChinese);
    EXPECT_EQ(language.table.Text("str_main"), Expected(2, "str_main"));
}

TEST(TooltipObservers, RemovedObserverIsNotCalled) {
    TooltipObservers observers;
    int a = 0, b = 0;
    const int idA = observers.Add([&] { ++a; });
    observers.Add([&] { ++b; });
    observers.Notify();
    observers.Remove(idA);
    observers.Notify();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

}  // namespace
}  // namespace qx
