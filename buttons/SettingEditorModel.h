// The per-button editor without its windows: the frame's tab selection with
// the keyboard capture, the disable box, the default-setting and OK commands,
// and what each of the four tabs contributes to the SettingResult.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/FileDialogs.h"
#include "buttons/ButtonAssignment.h"
#include "macro/InputHooks.h"
#include "macro/MacroTable.h"

namespace qx {

// Tab numbers of the editor; None while the disable box hides them all.
enum class EditorTab { None = 0, Combination = 1, Macro = 2, Basic = 3, Advanced = 4 };
inline constexpr int kEditorTabCount = 4;

// ---------------------------------------------------------- key combination
struct ComboTabState {
    bool ctrl = false, alt = false, shift = false, win = false;
    std::uint32_t capturedKey = 0;  // virtual key, 0 = none
};
enum class ComboKeyEffect { None, ModifierToggled, KeyCaptured };
// WM_USER+10 from the keyboard hook. A modifier key toggles its box on a
// press only (flags 0, 1, 16, 17, 32, 33); any other key, pressed or
// released, becomes the captured key.
ComboKeyEffect OnComboHookKey(ComboTabState& state, std::uint32_t virtualKey, std::uint32_t flags);
// The value OK takes from the tab; 0 when the boxes and key make no combination.
std::int32_t ComboTabValue(const ComboTabState& state, int currentLanguage);

// ---------------------------------------------------------------- macro tab
struct MacroListItem {
    std::u16string name;
    std::uint32_t id;
    bool operator==(const MacroListItem&) const = default;
};
// Every stored macro of the category, in storage order.
std::vector<MacroListItem> MacrosOfCategory(const MacroTable& macros, std::uint32_t category);
// The category list: list index i is category i + 1.
std::vector<std::u16string> CategoryListTexts(bool chineseMode);

// ------------------------------------------------------------- advanced tab
inline constexpr int kAdvancedRowCount = 4;
// The longest path a button record holds (its buffer less the terminator).
inline constexpr std::size_t kMaxActionPathUnits = 259;

// ((0xC0 + 0x10 x row + button) << 16) | 6.
constexpr std::int32_t AdvancedChoiceValue(int row, int buttonIndex) {
    return ((0xC0 + 0x10 * row + buttonIndex) << 16) | 6;
}

struct AdvancedTabState {
    int selectedRow = -1;  // none at the start
    std::array<std::u16string, kAdvancedRowCount> paths;
};

// What a browse button (or a double click on a path box) asks for.
struct PathRequest {
    bool folder = false;  // the folder browser instead of the open-file dialog
    FileDialogOptions options;
};
// Sounds start in the desktop's sound theme folder (home when there is
// none), programs in /usr/bin, files and folders at home.
PathRequest AdvancedPathRequest(int row, const std::filesystem::path& home,
                                const std::filesystem::path& soundsFolder = "/usr/share/sounds");

inline constexpr char16_t kMsgPathTooLongZh[] =
    u"路径太长（最多 259 个字符），无法保存，请选择其他位置的文件或文件夹。";
inline constexpr char16_t kMsgPathTooLongEn[] =
    u"The path is too long (at most 259 characters) and cannot be stored. Please choose a file "
    u"or folder at a shorter path.";

// ---------------------------------------------------------------- the frame
class SettingEditorModel {
public:
    SettingEditorModel(int buttonIndex, InputHooks& hooks);
    // Where the keyboard capture goes: the key combination tab.
    void SetComboTarget(TargetHandle target) { comboTarget_ = std::move(target); }

    // Tab selection 1-4. While the disable box is selected every tab button
    // is drawn unselected and no tab is shown.
    void SelectTab(int tab);
    EditorTab VisibleTab() const { return visible_; }
    // The tab button drawn selected (0 none).
    int SelectedTabButton() const { return selectedButton_; }

    bool Disabled() const { return disabled_; }
    // Toggles the box, then selects tab 1 (hiding everything while it is set).
    void ToggleDisable();

    // The three ways out, each of which ends the keyboard capture. The return
    // is kIdOk or kIdCancel.
    int Close();
    int DefaultSetting();
    int Ok(int currentLanguage);

    // Choosing a path for an advanced row selects the row; a path longer than
    // a button can store is refused (message shown, box unchanged).
    void SelectAdvancedRow(int row);
    bool SetAdvancedPath(int row, std::u16string path, Notifier& notifier, bool chineseMode);

    const SettingResult& Result() const { return result_; }

    ComboTabState combo;
    std::optional<std::uint32_t> selectedMacro;
    std::int32_t selectedBasic = 0;  // function code of the basic list's selection
    AdvancedTabState advanced;

private:
    InputHooks& hooks_;
    TargetHandle comboTarget_;
    SettingResult result_;
    EditorTab visible_ = EditorTab::None;
    int selectedButton_ = 0;
    bool disabled_ = false;
};

}  // namespace qx
