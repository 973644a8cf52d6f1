#include "buttons/SettingEditorModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/KeyTables.h"
#include "base/Text.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::RecordingTarget;

constexpr std::uint32_t kVkShift = 0x10, kVkLShift = 0xA0, kVkCtrl = 0x11, kVkLCtrl = 0xA2,
                        kVkRAlt = 0xA5, kVkLWin = 0x5B, kVkA = 0x41, kVkReturn = 0x0D;
constexpr std::uint32_t kUp = kKeyFlagUp;

struct Key {
    std::uint32_t vk, flags;
};

ComboTabState Feed(std::initializer_list<Key> keys) {
    ComboTabState state;
    for (const Key& k : keys) OnComboHookKey(state, k.vk, k.flags);
    return state;
}

TEST(ComboTab, ModifiersToggleOnPressesOnly) {
    // Pressed and released once: selected. Again: cleared.
    EXPECT_TRUE(Feed({{kVkLCtrl, 0}, {kVkLCtrl, kUp}}).ctrl);
    EXPECT_FALSE(Feed({{kVkLCtrl, 0}, {kVkLCtrl, kUp}, {kVkLCtrl, 0}, {kVkLCtrl, kUp}}).ctrl);
    // Injected (16), extended (1), with Alt held (32) and their mixes are presses.
    EXPECT_TRUE(Feed({{kVkShift, 16}}).shift);
    EXPECT_TRUE(Feed({{kVkRAlt, 33}}).alt);
    EXPECT_TRUE(Feed({{kVkLWin, 1}}).win);
    // Any other flags (a release, with or without the others) leave the box.
    for (std::uint32_t flags : {0x80u, 0x81u, 0x90u, 0xA0u, 2u})
        EXPECT_FALSE(Feed({{kVkCtrl, flags}}).ctrl) << flags;
    ComboTabState state;
    EXPECT_EQ(OnComboHookKey(state, kVkLShift, kUp), ComboKeyEffect::None);
    EXPECT_EQ(OnComboHookKey(state, kVkLShift, 0), ComboKeyEffect::ModifierToggled);
}

TEST(ComboTab, AnyOtherKeyIsCapturedPressedOrReleased) {
    ComboTabState state;
    EXPECT_EQ(OnComboHookKey(state, kVkA, 0), ComboKeyEffect::KeyCaptured);
    EXPECT_EQ(state.capturedKey, kVkA);
    // Enter reaches the tab only through the hook, and is a key like any other.
    EXPECT_EQ(OnComboHookKey(state, kVkReturn, kUp), ComboKeyEffect::KeyCaptured);
    EXPECT_EQ(state.capturedKey, kVkReturn);
}

TEST(ComboTab, ValueOfTheBoxesAndTheKey) {
    const int english = 2;
    // Shift held, A pressed: mask 2, usage 0x04.
    const auto shiftA = Feed({{kVkLShift, 16}, {kVkA, 16}, {kVkA, 0x90}, {kVkLShift, 0x90}});
    EXPECT_EQ(static_cast<std::uint32_t>(ComboTabValue(shiftA, english)),
              CombinationCode(kModShift, 0x04));
    // Two modifiers without a key make nothing; one alone is that modifier key.
    EXPECT_EQ(ComboTabValue(Feed({{kVkLCtrl, 0}, {kVkRAlt, 1}}), english), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(ComboTabValue(Feed({{kVkLCtrl, 0}}), english)),
              CombinationCode(0, 0xE0));
    EXPECT_EQ(ComboTabValue(ComboTabState{}, english), 0);
}

class Editor : public ::testing::Test {
protected:
    RecordingTarget mainWindow, comboTab;
    InputHooks hooks;
    RecordingNotifier notifier;
    std::unique_ptr<SettingEditorModel> Open(int button) {
        hooks.InstallInputHooks(Unowned(mainWindow));
        auto model = std::make_unique<SettingEditorModel>(button, hooks);
        model->SetComboTarget(Unowned(comboTab));
        model->SelectTab(1);
        return model;
    }
    // Where a key pressed now would go, if anywhere.
    MessageTarget* KeysGoTo() { return hooks.KeyForwarding() ? hooks.HookTarget().get() : nullptr; }
};

TEST_F(Editor, OnlyTheVisibleCombinationTabCapturesKeys) {
    auto m = Open(2);
    EXPECT_EQ(m->VisibleTab(), EditorTab::Combination);
    EXPECT_EQ(m->SelectedTabButton(), 1);
    EXPECT_EQ(KeysGoTo(), &comboTab);

    m->SelectTab(3);
    EXPECT_EQ(m->VisibleTab(), EditorTab::Basic);
    EXPECT_EQ(KeysGoTo(), nullptr);
    EXPECT_EQ(hooks.HookTarget().get(), &mainWindow);

    // The disable box hides every tab, the combination tab included.
    m->SelectTab(1);
    m->ToggleDisable();
    EXPECT_EQ(m->VisibleTab(), EditorTab::None);
    EXPECT_EQ(m->SelectedTabButton(), 0);
    EXPECT_EQ(KeysGoTo(), nullptr);
    m->SelectTab(4);  // still nothing while disabled
    EXPECT_EQ(m->VisibleTab(), EditorTab::None);
    // Clearing it brings the combination tab back.
    m->ToggleDisable();
    EXPECT_EQ(m->VisibleTab(), EditorTab::Combination);
    EXPECT_EQ(KeysGoTo(), &comboTab);
}

TEST_F(Editor, EveryWayOutEndsTheCapture) {
    for (int way = 0; way < 3; ++way) {
        auto m = Open(6);
        ASSERT_EQ(KeysGoTo(), &comboTab);
        const int answer = way == 0 ? m->Close() : way == 1 ? m->DefaultSetting() : m->Ok(2);
        EXPECT_EQ(KeysGoTo(), nullptr) << way;
        EXPECT_EQ(answer, way == 1 ? kIdOk : kIdCancel) << way;
    }
}

struct OkCase {
    const char* name;
    std::function<void(SettingEditorModel&)> act;
    int answer;
    std::int32_t value, kind, actionIndex;
    std::u16string path;
};

TEST_F(Editor, ResultOfEachTab) {
    const int button = 4;
    const std::vector<OkCase> cases = {
        {"nothing on the combination tab", [](auto&) {}, kIdCancel, 0, 0, 0, u""},
        {"shift and a",
         [](auto& m) {
             OnComboHookKey(m.combo, kVkLShift, 0);
             OnComboHookKey(m.combo, kVkA, 0);
         },
         kIdOk, 0x00040200, kSettingKindCombination, 0, u""},
        {"disabled, whatever tab",
         [](auto& m) {
             m.SelectTab(3);
             m.selectedBasic = 32;
             m.ToggleDisable();
         },
         kIdOk, 7, kSettingKindDisable, 0, u""},
        {"macro tab without a macro", [](auto& m) { m.SelectTab(2); }, kIdCancel, 0, 0, 0, u""},
        {"macro tab with a macro",
         [](auto& m) {
             m.SelectTab(2);
             m.selectedMacro = 0x11000042u;
         },
         kIdOk, 0x11000042, kSettingKindMacro, 0, u""},
        {"basic tab without an entry", [](auto& m) { m.SelectTab(3); }, kIdCancel, 0, 0, 0, u""},
        {"basic tab with Play/Pause",
         [](auto& m) {
             m.SelectTab(3);
             m.selectedBasic = 32;
         },
         kIdOk, 32, kSettingKindBasic, 0, u""},
        {"advanced row without a path",
         [](auto& m) {
             m.SelectTab(4);
             m.SelectAdvancedRow(1);
         },
         kIdCancel, 0, 0, 0, u""},
        {"a path in another row than the selected one",
         [this](auto& m) {
             m.SelectTab(4);
             m.SetAdvancedPath(0, u"/usr/share/sounds/a.wav", notifier, false);
             m.SelectAdvancedRow(2);
         },
         kIdCancel, 0, 0, 0, u""},
        {"a program with spaces in its path",
         [this](auto& m) {
             m.SelectTab(4);
             m.SetAdvancedPath(1, u"/opt/My Tools/run me", notifier, false);
         },
         kIdOk, ((0xD0 + button) << 16) | 6, kSettingKindSoftware, 1, u"/opt/My Tools/run me"},
        {"a folder",
         [this](auto& m) {
             m.SelectTab(4);
             m.SetAdvancedPath(3, u"/home/me/Music", notifier, false);
         },
         kIdOk, 0x00F40006, kSettingKindSoftware, 3, u"/home/me/Music"},
    };
    for (const OkCase& c : cases) {
        auto m = Open(button);
        c.act(*m);
        EXPECT_EQ(m->Ok(2), c.answer) << c.name;
        const SettingResult& r = m->Result();
        EXPECT_EQ(r.buttonIndex, button) << c.name;
        EXPECT_EQ(r.value, c.value) << c.name;
        if (c.answer == kIdOk) {
            EXPECT_EQ(r.kind, c.kind) << c.name;
            EXPECT_EQ(r.actionIndex, c.actionIndex) << c.name;
            EXPECT_EQ(r.path, c.path) << c.name;
        }
    }
}

TEST_F(Editor, DefaultSettingGivesTheButtonsOwnFunction) {
    for (int button = 0; button < kButtonCount; ++button) {
        auto m = Open(button);
        m->SelectTab(3);
        m->selectedBasic = 32;  // the tabs do not matter
        EXPECT_EQ(m->DefaultSetting(), kIdOk);
        EXPECT_EQ(m->Result().value, kDefaultFunctions[button]);
        EXPECT_EQ(m->Result().kind, kSettingKindBasic);
    }
}

TEST_F(Editor, APathTooLongForTheButtonIsRefusedNotCut) {
    auto m = Open(0);
    m->SelectTab(4);
    const std::u16string fits(kMaxActionPathUnits, u'a');
    const std::u16string tooLong(kMaxActionPathUnits + 1, u'b');
    EXPECT_TRUE(m->SetAdvancedPath(2, u"/" + fits.substr(1), notifier, false));
    EXPECT_FALSE(m->SetAdvancedPath(2, tooLong, notifier, false));
    EXPECT_EQ(m->advanced.paths[2].size(), kMaxActionPathUnits);  // the box kept its path
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, kMsgPathTooLongEn);
    EXPECT_FALSE(m->SetAdvancedPath(0, tooLong, notifier, true));
    EXPECT_EQ(notifier.Messages()[1].text, kMsgPathTooLongZh);
    EXPECT_EQ(m->advanced.selectedRow, 0);  // choosing selects the row even when refused
    EXPECT_TRUE(m->advanced.paths[0].empty());
}

TEST(AdvancedDialogs, StartFoldersAndFilters) {
    test::TempDir dir;
    const auto home = dir.path() / "home";
    const auto sounds = dir.path() / "sounds";
    std::filesystem::create_directories(sounds);

    PathRequest sound = AdvancedPathRequest(0, home, sounds);
    EXPECT_FALSE(sound.folder);
    EXPECT_EQ(sound.options.startFolder, sounds);
    EXPECT_EQ(sound.options.filter, u"(*.wav*)|*.wav*||");
    EXPECT_EQ(AdvancedPathRequest(0, home, dir.path() / "missing").options.startFolder, home);

    PathRequest program = AdvancedPathRequest(1, home, sounds);
    EXPECT_EQ(program.options.startFolder, "/usr/bin");
    // Every file is offered first: programs here have no extension.
    EXPECT_EQ(program.options.filter.substr(0, 5), u"(*)|*");

    EXPECT_EQ(AdvancedPathRequest(2, home, sounds).options.startFolder, home);
    EXPECT_EQ(AdvancedPathRequest(2, home, sounds).options.filter, u"(*.*)|*||");
    PathRequest folder = AdvancedPathRequest(3, home, sounds);
    EXPECT_TRUE(folder.folder);
    EXPECT_EQ(folder.options.startFolder, home);
}

TEST(MacroTab, MacrosOfTheChosenCategoryInStorageOrder) {
    MacroTable table;
    const std::uint32_t ids[] = {0x16000001, 0x11000002, 0x16000003, 0x11000004};
    for (std::size_t i = 0; i < std::size(ids); ++i)
        ASSERT_TRUE(table.StoreRecord(
            *test::Record(ids[i], {test::Press(0x41)}, i % 2 ? u"mine" : u"game")));
    table.ClearSlot(0x16000003);
    EXPECT_EQ(MacrosOfCategory(table, 22), (std::vector<MacroListItem>{{u"game", 0x16000001}}));
    EXPECT_EQ(MacrosOfCategory(table, 17),
              (std::vector<MacroListItem>{{u"mine", 0x11000002}, {u"mine", 0x11000004}}));
    // Category 0, the list before any category is chosen, holds nothing.
    EXPECT_TRUE(MacrosOfCategory(table, 0).empty());

    const auto english = CategoryListTexts(false);
    ASSERT_EQ(english.size(), 22u);
    EXPECT_EQ(english[16], u"Minecraft");  // list index 16 is category 17
    EXPECT_EQ(CategoryListTexts(true)[21], u"玩家自定义");
}

}  // namespace
}  // namespace qx
