// The controls of the macro page as data: kind, control id, rectangle, how
// each cuts its state images from the page's pictures, tooltip key and hover
// help number. The rectangles live in the shared skin layout, so the art
// generator paints the pictures where the page cuts its controls. Qt-free.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/layout/SkinLayout.h"

namespace qx::macro {

enum class ControlKind { Button, CheckButton, Picker, List, Edit, Picture };

// Which of the page's pictures (normal, over, down) a control shows in its
// normal, over, down and disabled states.
enum class SkinRule {
    Standard,  // normal, over, down, normal
    Category,  // normal, normal, down, normal
    Picker,    // normal, down, down, normal
    Ok,        // over, over, down, normal
    None,      // not a picture control
};

enum Control : int {
    kCategoryButton,
    kMacroList,
    kNewMacroButton,
    kDeleteMacroButton,
    kImportButton,
    kExportButton,
    kEventList,
    kInsertButton,
    kDeleteEventButton,
    kModifyButton,
    kRecordButton,
    kDelaySwitch,
    kLoopCountEdit,
    kLoopCountSwitch,
    kLoopWhileHeldSwitch,
    kLoopToggleSwitch,
    kPickerLeft,
    kPickerMiddle,
    kPickerRight,
    kKeyTypeButton,
    kKeyEdit,
    kKeyOkButton,
    kDelayTypeButton,
    kDelayEdit,
    kDelayOkButton,
    kPositionTypeButton,
    kXEdit,
    kXUpButton,
    kXDownButton,
    kYEdit,
    kYUpButton,
    kYDownButton,
    kPositionOkButton,
    kMacroListLabel,
    kMacroListFrame,
    kEventListLabel,
    kEventListFrame,
    kControlCount
};

// Control ids the lists and edits report with; the buttons' ids are the
// page's own and only travel in its WM_COMMAND.
inline constexpr int kMacroListId = 256;
inline constexpr int kEventListId = 257;
inline constexpr int kLoopCountEditId = 1001;
inline constexpr int kKeyEditId = 2564;
inline constexpr int kDelayEditId = 2565;
inline constexpr int kXEditId = 2566;
inline constexpr int kYEditId = 2567;
inline constexpr int kFirstButtonId = 3000;  // + the Control index

// The record button asks for help 48 instead of its row's 47 while recording.
inline constexpr int kRecordingHint = 48;

struct ControlRow {
    ControlKind kind;
    int id;
    layout::Rect rect;
    SkinRule skin;
    std::string_view tooltip;  // language key; empty for none
    int hint;                  // hover help number; 0 for none
};

constexpr std::array<ControlRow, kControlCount> MakeControls() {
    namespace M = layout::macro_page;
    using K = ControlKind;
    using S = SkinRule;
    auto button = [](Control c) { return kFirstButtonId + static_cast<int>(c); };
    return {{
        {K::Button, button(kCategoryButton), M::kCategoryButton, S::Category, "", 0},
        {K::List, kMacroListId, M::kMacroList, S::None, "", 0},
        {K::Button, button(kNewMacroButton), M::kNewMacro, S::Standard, "str_new_macro", 40},
        {K::Button, button(kDeleteMacroButton), M::kDeleteMacro, S::Standard, "str_del_macro", 41},
        {K::Button, button(kImportButton), M::kImport, S::Standard, "str_import_macro", 42},
        {K::Button, button(kExportButton), M::kExport, S::Standard, "str_export_macro", 43},
        {K::List, kEventListId, M::kEventList, S::None, "", 0},
        {K::Button, button(kInsertButton), M::kInsert, S::Standard, "str_macro_new", 44},
        {K::Button, button(kDeleteEventButton), M::kDeleteEvent, S::Standard, "str_macro_del", 45},
        {K::Button, button(kModifyButton), M::kModify, S::Standard, "str_macro_modify", 46},
        {K::Button, button(kRecordButton), M::kRecord, S::Standard, "", 47},
        {K::CheckButton, button(kDelaySwitch), M::kDelaySwitch, S::Standard, "str_macro_delay", 49},
        {K::Edit, kLoopCountEditId, M::kLoopCountEdit, S::None, "", 50},
        {K::CheckButton, button(kLoopCountSwitch), M::kLoopCount, S::Standard, "", 0},
        {K::CheckButton, button(kLoopWhileHeldSwitch), M::kLoopWhileHeld, S::Standard, "", 0},
        {K::CheckButton, button(kLoopToggleSwitch), M::kLoopToggle, S::Standard, "", 0},
        {K::Picker, button(kPickerLeft), M::kPickerLeft, S::Picker, "str_click", 51},
        {K::Picker, button(kPickerMiddle), M::kPickerMiddle, S::Picker, "str_middle", 52},
        {K::Picker, button(kPickerRight), M::kPickerRight, S::Picker, "str_menu", 53},
        {K::CheckButton, button(kKeyTypeButton), M::kKeyType, S::Standard, "str_macro_msg6", 54},
        {K::Edit, kKeyEditId, M::kKeyEdit, S::None, "", 54},
        {K::Button, button(kKeyOkButton), M::kKeyOk, S::Ok, "str_macro_msg6", 0},
        {K::CheckButton, button(kDelayTypeButton), M::kDelayType, S::Standard, "str_macro_msg7",
         55},
        {K::Edit, kDelayEditId, M::kDelayEdit, S::None, "", 55},
        {K::Button, button(kDelayOkButton), M::kDelayOk, S::Ok, "str_macro_msg7", 0},
        {K::CheckButton, button(kPositionTypeButton), M::kPositionType, S::Standard,
         "str_macro_msg8", 56},
        {K::Edit, kXEditId, M::kXEdit, S::None, "", 56},
        {K::Button, button(kXUpButton), M::kXUp, S::Standard, "", 0},
        {K::Button, button(kXDownButton), M::kXDown, S::Standard, "", 0},
        {K::Edit, kYEditId, M::kYEdit, S::None, "", 56},
        {K::Button, button(kYUpButton), M::kYUp, S::Standard, "", 0},
        {K::Button, button(kYDownButton), M::kYDown, S::Standard, "", 0},
        {K::Button, button(kPositionOkButton), M::kPositionOk, S::Ok, "str_macro_msg8", 0},
        {K::Picture, 0, M::kMacroListLabel, S::None, "", 89},
        {K::Picture, 0, M::kMacroListFrame, S::None, "", 90},
        {K::Picture, 0, M::kEventListLabel, S::None, "", 91},
        {K::Picture, 0, M::kEventListFrame, S::None, "", 91},
    }};
}
inline constexpr std::array<ControlRow, kControlCount> kControls = MakeControls();

// The control a WM_COMMAND id names; kControlCount for none.
constexpr Control ControlOfButtonId(std::uintptr_t id) {
    if (id < static_cast<std::uintptr_t>(kFirstButtonId) ||
        id >= static_cast<std::uintptr_t>(kFirstButtonId + kControlCount))
        return kControlCount;
    const auto c = static_cast<Control>(id - kFirstButtonId);
    const ControlKind kind = kControls[c].kind;
    return kind == ControlKind::Button || kind == ControlKind::CheckButton ||
                   kind == ControlKind::Picker
               ? c
               : kControlCount;
}

// Where a control sits: the Chinese layout moves ten of them, fixed when the
// page is created.
constexpr layout::Rect ControlRect(Control c, bool chineseLayout) {
    if (chineseLayout) {
        namespace C = layout::macro_page::chinese;
        switch (c) {
            case kDeleteMacroButton:
                return C::kDeleteMacro;
            case kImportButton:
                return C::kImport;
            case kExportButton:
                return C::kExport;
            case kLoopWhileHeldSwitch:
                return C::kLoopWhileHeld;
            case kLoopToggleSwitch:
                return C::kLoopToggle;
            case kKeyTypeButton:
                return C::kKeyType;
            case kKeyEdit:
                return C::kKeyEdit;
            case kDelayTypeButton:
                return C::kDelayType;
            case kDelayEdit:
                return C::kDelayEdit;
            case kPositionTypeButton:
                return C::kPositionType;
            default:
                break;
        }
    }
    return kControls[c].rect;
}

// Game categories: the top byte of a macro id.
inline constexpr int kCategoryCount = 22;
struct CategoryTexts {
    std::u16string_view englishMenu, englishButton, chineseMenu, chineseButton;
};
// Category id 1-22 at index id - 1.
extern const std::array<CategoryTexts, kCategoryCount> kCategories;

// The caption of the category button for an id; empty outside 1-22.
std::u16string_view CategoryButtonText(std::int32_t id, bool chinese);
std::u16string_view CategoryMenuText(std::int32_t id, bool chinese);

// The help numbers a pointer at (x, y) of the page asks for: every visible
// control whose rectangle, one pixel larger on each side, holds the point, in
// table order. `visible` answers for a control.
template <class Visible>
std::vector<int> HintsAt(int x, int y, bool recording, bool chineseLayout, Visible&& visible) {
    std::vector<int> hints;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        if (row.hint == 0 || !visible(static_cast<Control>(i))) continue;
        const layout::Rect r = ControlRect(static_cast<Control>(i), chineseLayout);
        const layout::Rect grown{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        if (!grown.Contains(x, y)) continue;
        hints.push_back(i == kRecordButton && recording ? kRecordingHint : row.hint);
    }
    return hints;
}

}  // namespace qx::macro
