#include "buttons/ButtonAssignment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "base/Text.h"

namespace qx {
namespace {

using Kind = RecordingNotifier::Kind;

std::unique_ptr<ProfileSettings> Profile(std::array<std::int32_t, kButtonCount> functions) {
    auto p = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*p, false);
    for (int i = 0; i < kButtonCount; ++i) p->buttons[i].function = functions[i];
    return p;
}

SettingResult Basic(std::int32_t code) {
    return {0, code, kSettingKindBasic, 0, {}};
}
SettingResult Macro(std::int32_t id) {
    return {0, id, kSettingKindMacro, 0, {}};
}

std::string Hex(const DeviceBytes& b) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
    return text;
}

TEST(DeviceButtonCodes, PerKindOfAssignment) {
    auto p = Profile({1, 4, 2, 8, 16, 11, 22});
    const char* defaults[] = {"01 00 F0 00", "01 00 F2 00", "01 00 F1 00", "01 00 F4 00",
                              "01 00 F3 00", "04 00 01 00", "04 00 02 00"};
    for (int i = 0; i < kButtonCount; ++i) {
        EXPECT_EQ(Hex(DeviceButtonCode(i, p->buttons[i], std::nullopt)), defaults[i]) << i;
        // A software function keeps the button's own default in the mouse.
        ButtonSetting software = p->buttons[(i + 1) % kButtonCount];
        software.function = kFunctionSoftware;
        EXPECT_EQ(Hex(DeviceButtonCode(i, software, std::nullopt)), defaults[i]) << i;
        EXPECT_TRUE(HoldsBackNativeEvent(software));
        EXPECT_FALSE(HoldsBackNativeEvent(p->buttons[i]));
    }

    ButtonSetting b = p->buttons[0];
    b.function = kFunctionKeyCombination;
    b.comboCode = CombinationCode(kModCtrl | kModAlt, 0x3D);
    EXPECT_EQ(Hex(DeviceButtonCode(0, b, std::nullopt)), "00 05 3D 00");

    b.function = kFunctionMacro;
    EXPECT_EQ(Hex(DeviceButtonCode(3, b, MacroSlotCode{2, 0x41})), "09 00 02 41");
    EXPECT_EQ(Hex(DeviceButtonCode(3, b, std::nullopt)), "00 00 00 00");  // no macro in the mouse

    for (std::int32_t code : {143, 142, 121, 32}) {
        b.function = code;
        EXPECT_EQ(DeviceButtonCode(0, b, std::nullopt), FindBasicFunction(code)->deviceBytes);
    }
    b.function = 143;
    EXPECT_EQ(Hex(DeviceButtonCode(0, b, std::nullopt)), "0A F0 18 02");

    for (std::int32_t unknown : {0, 3, 77, -1, 1000}) {
        b.function = unknown;
        EXPECT_EQ(Hex(DeviceButtonCode(0, b, std::nullopt)), "00 00 00 00");
        EXPECT_FALSE(HasDeviceValue(unknown));
    }
    for (std::int32_t known : {1, 5, 6, 19, 121, 143}) EXPECT_TRUE(HasDeviceValue(known));
}

TEST(DeviceButtonCodes, EventCodesOfTheButtons) {
    const std::uint32_t expected[] = {0x0201, 0x0207, 0x0204, 0x2020B, 0x1020B, 0x20A01, 0x20A00};
    for (int i = 0; i < kButtonCount; ++i) EXPECT_EQ(ButtonEventCode(i), expected[i]);
}

struct RuleCase {
    const char* what;
    std::array<std::int32_t, kButtonCount> functions;
    int button;
    SettingResult result;
    const char16_t* message;  // nullptr: accepted
};

class AssignmentRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(AssignmentRules, FirstFailingRuleShowsItsMessage) {
    const auto& c = GetParam();
    auto p = Profile(c.functions);
    RecordingNotifier notifier;
    const bool accepted = ValidateAssignment(c.button, c.result, *p, notifier, false);
    EXPECT_EQ(accepted, c.message == nullptr);
    if (c.message) {
        ASSERT_EQ(notifier.Messages().size(), 1u);
        EXPECT_EQ(notifier.Messages()[0], (RecordingNotifier::Message{Kind::Info, c.message}));
    } else {
        EXPECT_TRUE(notifier.Messages().empty());
    }
}

constexpr std::int32_t M = kFunctionMacro;
INSTANTIATE_TEST_SUITE_P(
    Cases, AssignmentRules,
    ::testing::Values(
        RuleCase{"macro on the only Click",
                 {1, 4, 2, 8, 16, 11, 22},
                 0,
                 Macro(0x16000001),
                 kMsgKeepClickEn},
        RuleCase{"Click again on the only Click", {1, 4, 2, 8, 16, 11, 22}, 0, Basic(1), nullptr},
        RuleCase{"disable the only Click",
                 {1, 4, 2, 8, 16, 11, 22},
                 0,
                 {0, 121, kSettingKindDisable, 0, {}},
                 kMsgKeepClickEn},
        RuleCase{"Click kept on the middle button",
                 {1, 1, 2, 8, 16, 11, 22},
                 0,
                 Macro(0x16000001),
                 nullptr},
        RuleCase{"fourth macro", {1, M, M, M, 16, 11, 22}, 4, Macro(0x16000001), kMsgMacroLimitEn},
        RuleCase{"macro again on a macro button",
                 {1, M, M, M, 16, 11, 22},
                 2,
                 Macro(0x16000002),
                 nullptr},
        RuleCase{"third macro", {1, M, M, 8, 16, 11, 22}, 3, Macro(0x16000002), nullptr},
        RuleCase{
            "basic function beside three macros", {1, M, M, M, 16, 11, 22}, 4, Basic(32), nullptr},
        RuleCase{"snipe on wheel forward", {1, 4, 2, 8, 16, 11, 22}, 5, Basic(142), kMsgNoSnipeEn},
        RuleCase{"snipe on wheel backward", {1, 4, 2, 8, 16, 11, 22}, 6, Basic(142), kMsgNoSnipeEn},
        RuleCase{"snipe on the middle button", {1, 4, 2, 8, 16, 11, 22}, 1, Basic(142), nullptr},
        RuleCase{"snipe on the back button", {1, 4, 2, 8, 16, 11, 22}, 4, Basic(142), nullptr},
        RuleCase{"snipe on the left button beside a Click",
                 {1, 1, 2, 8, 16, 11, 22},
                 0,
                 Basic(142),
                 nullptr},
        RuleCase{"left-click rule before the sniper rule",
                 {4, 4, 2, 8, 16, 1, 22},
                 5,
                 Basic(142),
                 kMsgKeepClickEn},
        RuleCase{"left-click rule before the macro rule",
                 {M, M, M, 8, 16, 11, 22},
                 4,
                 Macro(1),
                 kMsgKeepClickEn}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(AssignmentRulesLanguage, ChineseMessagesInChineseMode) {
    RecordingNotifier notifier;
    auto p = Profile({1, M, M, M, 16, 11, 22});
    EXPECT_FALSE(ValidateAssignment(0, Macro(1), *p, notifier, true));
    EXPECT_FALSE(ValidateAssignment(4, Macro(1), *p, notifier, true));
    EXPECT_FALSE(ValidateAssignment(5, Basic(142), *p, notifier, true));
    const auto messages = notifier.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, u"请保留至少一个键为\"单击\"功能!");
    EXPECT_EQ(messages[1].text, u"最多只能有三个按键能同时设置为宏");
    EXPECT_EQ(messages[2].text, u"此按键不可使用狙击功能!");
}

class StoringRules : public ::testing::Test {
protected:
    StoringRules() : context{language, layout, macros, notifier} {
        MacroEntry record{};
        record.byteSize = 4104;
        record.tag = kMacroTag;
        record.id = 0x16ABCDEF;
        ToBuffer(u"Reload", record.name);
        macros.StoreRecord(record);
    }

    std::u16string Name(int button) const {
        return FromBuffer(settings->buttons[button].displayName);
    }

    Localization language;
    UsKeyboardLayout layout;
    MacroTable macros;
    RecordingNotifier notifier;
    AssignmentContext context;
    std::unique_ptr<ProfileSettings> settings = Profile({1, 1, 2, 8, 16, 11, 22});
    ButtonMacroIds ids{};
};

TEST_F(StoringRules, EachKindFillsItsFieldsAndTheMacroIdsFollow) {
    ids[2] = 0x16000001;  // the right button had a macro before
    settings->buttons[2].function = M;
    StoreAssignment(2, {2, static_cast<std::int32_t>(CombinationCode(kModWin, 0x0F)), 5, 0, {}},
                    *settings, ids, context);
    EXPECT_EQ(settings->buttons[2].function, 5);
    EXPECT_EQ(settings->buttons[2].comboCode, 0x000F0800u);
    EXPECT_EQ(Name(2), u"Win + L");
    EXPECT_EQ(ids[2], 0);

    StoreAssignment(3, Macro(0x16ABCDEF), *settings, ids, context);
    EXPECT_EQ(settings->buttons[3].function, M);
    EXPECT_EQ(settings->buttons[3].macroId, 0x16ABCDEF);
    EXPECT_EQ(ids[3], 0x16ABCDEF);
    EXPECT_EQ(Name(3), u"Reload");

    StoreAssignment(4, Macro(0x16000099), *settings, ids, context);  // no such macro
    EXPECT_EQ(Name(4), u"");

    ToBuffer(u"/tmp/old", settings->buttons[1].actionPath);
    StoreAssignment(1, {1, 0x00D10006, kSettingKindSoftware, 1, u"/usr/bin/xterm"}, *settings, ids,
                    context);
    EXPECT_EQ(settings->buttons[1].function, kFunctionSoftware);
    EXPECT_EQ(settings->buttons[1].actionCode, 0xD0);
    EXPECT_EQ(settings->buttons[1].actionValue, 0x00D10006);
    EXPECT_EQ(FromBuffer(settings->buttons[1].actionPath), u"/usr/bin/xterm");
    EXPECT_EQ(Name(1), u"/usr/bin/xterm");

    StoreAssignment(3, {3, 121, kSettingKindDisable, 0, {}}, *settings, ids, context);
    EXPECT_EQ(settings->buttons[3].function, 121);
    EXPECT_EQ(Name(3), u"Disable key");
    EXPECT_EQ(ids[3], 0);
    // Fields of other kinds keep what they held.
    EXPECT_EQ(settings->buttons[3].macroId, 0x16ABCDEF);

    language.chineseMode = true;
    StoreAssignment(6, Basic(32), *settings, ids, context);
    EXPECT_EQ(settings->buttons[6].function, 32);
    EXPECT_EQ(Name(6), u"播放/暂停");
}

TEST_F(StoringRules, ActionIndexSelectsTheActionCode) {
    const std::int32_t expected[] = {0xC0, 0xD0, 0xE0, 0xF0};
    for (int index = 0; index < 4; ++index) {
        StoreAssignment(4, {4, 1, kSettingKindSoftware, index, u"x"}, *settings, ids, context);
        EXPECT_EQ(settings->buttons[4].actionCode, expected[index]);
    }
}

TEST_F(StoringRules, RefusedAssignmentChangesNothing) {
    auto before = std::make_unique<ProfileSettings>(*settings);
    settings->buttons[1].function = 4;  // left is the only Click now
    *before = *settings;
    ids = {0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(AcceptAssignment(0, Macro(0x16ABCDEF), *settings, ids, context));
    EXPECT_EQ(std::memcmp(before.get(), settings.get(), sizeof(ProfileSettings)), 0);
    EXPECT_EQ(ids, (ButtonMacroIds{}));
    EXPECT_EQ(notifier.Messages().size(), 1u);

    EXPECT_TRUE(AcceptAssignment(1, Macro(0x16ABCDEF), *settings, ids, context));
    EXPECT_EQ(ids[1], 0x16ABCDEF);
}

TEST(TabChanged, AgainstTheDefaultFunctions) {
    auto p = Profile({1, 4, 2, 8, 16, 11, 22});
    for (int i = 0; i < kButtonCount; ++i) EXPECT_FALSE(IsTabChanged(i, p->buttons[i]));
    p->buttons[5].function = 22;
    EXPECT_TRUE(IsTabChanged(5, p->buttons[5]));
    EXPECT_FALSE(IsTabChanged(6, p->buttons[5]));
}

TEST(DefaultNames, SwitchToTheCurrentLanguage) {
    struct Case {
        std::u16string stored;
        bool chinese;
        std::u16string shown;
    } cases[] = {
        {u"单击", false, u"Click"},          {u"Click", true, u"单击"},
        {u"Scroll down", true, u"滚轮后滚"}, {u"滚轮前滚", false, u"Scroll up"},
        {u"Menu", false, u"Menu"},           {u"Play/Pause", true, u"Play/Pause"},
        {u"Click ", true, u"Click "},        {u"", true, u""},
    };
    ButtonSetting button{};
    for (const auto& c : cases) {
        ToBuffer(c.stored, button.displayName);
        SwitchDefaultName(button, c.chinese);
        EXPECT_EQ(FromBuffer(button.displayName), c.shown);
    }
}

TEST(EditorList, TwentyFourBasicFunctionsWithTheirLanguageKeys) {
    const auto list = EditorFunctionList();
    std::set<std::int32_t> codes;
    for (const auto& entry : list) {
        const auto* function = FindBasicFunction(entry.code);
        ASSERT_NE(function, nullptr) << entry.code;
        EXPECT_EQ(function->editorKey, entry.key);
        EXPECT_GE(LanguageKeyIndex(entry.key), 0) << entry.key;
        codes.insert(entry.code);
    }
    EXPECT_EQ(codes.size(), kEditorFunctionCount);
    for (std::int32_t absent : {11, 22, 121}) EXPECT_EQ(codes.count(absent), 0u);
    EXPECT_EQ(list.front().code, 81);
    EXPECT_EQ(list[9].code, 1);
    EXPECT_EQ(list.back().code, 143);

    LanguageTable table;
    table.Set("str_close", u"Fenster schließen");
    const auto texts = EditorListTexts(table);
    ASSERT_EQ(texts.size(), kEditorFunctionCount);
    EXPECT_EQ(texts[0], u"Fenster schließen");
}

TEST(FunctionNames, FixedTextsEnglishOutsideSimplifiedChinese) {
    EXPECT_EQ(FunctionName(126, false), u"sreen zoom in");
    EXPECT_EQ(FunctionName(142, true), u"狙击键");
    EXPECT_EQ(FunctionName(5, false), u"");
}

}  // namespace
}  // namespace qx
