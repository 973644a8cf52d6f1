#include "buttons/SettingEditorModel.h"

#include <algorithm>
#include <system_error>

#include "base/KeyTables.h"
#include "base/Text.h"
#include "macro/MacroPageLayout.h"

namespace qx {
namespace {

// Virtual keys of the four modifier boxes: the generic key, then left and right.
enum class Modifier { None, Ctrl, Alt, Shift, Win };

Modifier ModifierOf(std::uint32_t vk) {
    switch (vk) {
        case 16:
        case 160:
        case 161:
            return Modifier::Shift;
        case 17:
        case 162:
        case 163:
            return Modifier::Ctrl;
        case 18:
        case 164:
        case 165:
            return Modifier::Alt;
        case 91:
        case 92:
            return Modifier::Win;
        default:
            return Modifier::None;
    }
}

// A key press as the hook reports it: plain, extended, injected, with Alt
// held, or a mix of these; a release carries the up flag and is none of them.
bool IsPressFlags(std::uint32_t flags) {
    switch (flags) {
        case 0:
        case 1:
        case 16:
        case 17:
        case 32:
        case 33:
            return true;
        default:
            return false;
    }
}

constexpr std::int32_t kDisableValue = 7;

}  // namespace

ComboKeyEffect OnComboHookKey(ComboTabState& state, std::uint32_t virtualKey, std::uint32_t flags) {
    const Modifier modifier = ModifierOf(virtualKey);
    if (modifier == Modifier::None) {
        state.capturedKey = virtualKey;
        return ComboKeyEffect::KeyCaptured;
    }
    if (!IsPressFlags(flags)) return ComboKeyEffect::None;
    switch (modifier) {
        case Modifier::Ctrl:
            state.ctrl = !state.ctrl;
            break;
        case Modifier::Alt:
            state.alt = !state.alt;
            break;
        case Modifier::Shift:
            state.shift = !state.shift;
            break;
        case Modifier::Win:
            state.win = !state.win;
            break;
        case Modifier::None:
            break;
    }
    return ComboKeyEffect::ModifierToggled;
}

std::int32_t ComboTabValue(const ComboTabState& state, int currentLanguage) {
    return static_cast<std::int32_t>(MakeCombinationCode(
        state.ctrl, state.alt, state.shift, state.win, state.capturedKey, currentLanguage));
}

std::vector<MacroListItem> MacrosOfCategory(const MacroTable& macros, std::uint32_t category) {
    std::vector<MacroListItem> items;
    for (const MacroEntry& entry : macros.Slots())
        if (HoldsMacro(entry) && MacroCategory(entry.id) == category)
            items.push_back({FromBuffer(entry.name), entry.id});
    return items;
}

std::vector<std::u16string> CategoryListTexts(bool chineseMode) {
    std::vector<std::u16string> texts;
    for (int id = 1; id <= macro::kCategoryCount; ++id)
        texts.emplace_back(macro::CategoryMenuText(id, chineseMode));
    return texts;
}

PathRequest AdvancedPathRequest(int row, const std::filesystem::path& home,
                                const std::filesystem::path& soundsFolder) {
    PathRequest request;
    FileDialogOptions& o = request.options;
    o.hideReadOnly = true;
    o.promptOverwrite = true;
    o.startFolder = home;
    switch (row) {
        case 0: {
            o.defaultExtension = u".wav*";
            o.proposedName = u"*.wav*";
            o.filter = u"(*.wav*)|*.wav*||";
            std::error_code ec;
            if (std::filesystem::is_directory(soundsFolder, ec)) o.startFolder = soundsFolder;
            break;
        }
        case 1:
            // Programs here carry no extension: every file first, .exe
            // (programs run through a compatibility layer) as the second choice.
            o.defaultExtension = u".exe";
            o.proposedName = u"*.exe";
            o.filter = u"(*)|*|(*.exe)|*.exe||";
            o.startFolder = "/usr/bin";
            break;
        case 2:
            // "*.*" means every file; a Linux name need not have a dot.
            o.defaultExtension = u".";
            o.proposedName = u"*.*";
            o.filter = u"(*.*)|*||";
            break;
        default:
            request.folder = true;
            break;
    }
    return request;
}

SettingEditorModel::SettingEditorModel(int buttonIndex, InputHooks& hooks) : hooks_(hooks) {
    result_.buttonIndex = buttonIndex;
}

void SettingEditorModel::SelectTab(int tab) {
    if (tab < 1 || tab > kEditorTabCount) return;
    if (disabled_) {
        selectedButton_ = 0;
        visible_ = EditorTab::None;
        // No tab is shown, so none may capture keys.
        hooks_.SetKeyForwarding(false);
        return;
    }
    selectedButton_ = tab;
    visible_ = static_cast<EditorTab>(tab);
    if (visible_ == EditorTab::Combination) {
        hooks_.SetHookTarget(comboTarget_);
        hooks_.SetKeyForwarding(true);
    } else {
        hooks_.SetKeyForwarding(false);
    }
}

void SettingEditorModel::ToggleDisable() {
    disabled_ = !disabled_;
    SelectTab(1);
}

int SettingEditorModel::Close() {
    hooks_.SetKeyForwarding(false);
    return kIdCancel;
}

int SettingEditorModel::DefaultSetting() {
    result_.value = kDefaultFunctions[static_cast<std::size_t>(result_.buttonIndex)];
    hooks_.SetKeyForwarding(false);
    return kIdOk;
}

int SettingEditorModel::Ok(int currentLanguage) {
    if (disabled_) {
        result_.value = kDisableValue;
        result_.kind = kSettingKindDisable;
    } else {
        switch (visible_) {
            case EditorTab::Combination:
                result_.value = ComboTabValue(combo, currentLanguage);
                result_.kind = kSettingKindCombination;
                break;
            case EditorTab::Macro:
                if (selectedMacro) {
                    result_.value = static_cast<std::int32_t>(*selectedMacro);
                    result_.kind = kSettingKindMacro;
                } else {
                    result_.value = 0;
                }
                break;
            case EditorTab::Basic:
                result_.value = selectedBasic;
                break;
            case EditorTab::Advanced: {
                const int row = advanced.selectedRow;
                if (row >= 0 && row < kAdvancedRowCount && !advanced.paths[row].empty()) {
                    result_.value = AdvancedChoiceValue(row, result_.buttonIndex);
                    result_.kind = kSettingKindSoftware;
                    result_.actionIndex = row;
                    result_.path = advanced.paths[row].substr(0, kMaxActionPathUnits);
                } else {
                    result_.value = 0;
                }
                break;
            }
            case EditorTab::None:
                result_.value = 0;
                break;
        }
    }
    hooks_.SetKeyForwarding(false);
    return result_.value != 0 ? kIdOk : kIdCancel;
}

void SettingEditorModel::SelectAdvancedRow(int row) {
    if (row >= 0 && row < kAdvancedRowCount) advanced.selectedRow = row;
}

bool SettingEditorModel::SetAdvancedPath(int row, std::u16string path, Notifier& notifier,
                                         bool chineseMode) {
    if (row < 0 || row >= kAdvancedRowCount) return false;
    SelectAdvancedRow(row);
    if (path.size() > kMaxActionPathUnits) {
        notifier.ShowInfoMessage(chineseMode ? kMsgPathTooLongZh : kMsgPathTooLongEn);
        return false;
    }
    advanced.paths[row] = std::move(path);
    return true;
}

}  // namespace qx
