// What a button's assignment means for the mouse and how a new one is
// checked and stored: the four device bytes of each assignment, which buttons
// the input hook holds back, the three rules an assignment must pass with
// their messages, and the storing rules per kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/FunctionCatalogue.h"
#include "base/KeyTables.h"
#include "base/Notifier.h"
#include "base/ProfileRecord.h"
#include "i18n/LanguageTable.h"
#include "macro/MacroTable.h"

namespace qx {

// Where a macro button's macro went in this synchronisation.
struct MacroSlotCode {
    std::uint8_t slot;        // 1, 2, 3 ... in button order
    std::uint8_t lengthByte;  // from the macro's image
};

// The four bytes the mouse receives for button i. A macro button without a
// macro in the mouse (none stored under its id, or an empty slot) and any
// unknown function give 00 00 00 00.
DeviceBytes DeviceButtonCode(int buttonIndex, const ButtonSetting& button,
                             std::optional<MacroSlotCode> macro);
// False for a function code with no device value at all: the writer leaves
// that button's entry empty and moves on without its pause.
bool HasDeviceValue(std::int32_t function);
// A software-function button: the mouse hook holds back its native event
// (ButtonEventCode) and the utility runs the action.
inline bool HoldsBackNativeEvent(const ButtonSetting& button) {
    return button.function == kFunctionSoftware;
}
// The bytes as the little-endian int32 that a combination code is stored as.
constexpr std::uint32_t DeviceBytesValue(const DeviceBytes& b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
}

// What the per-button editor hands back.
inline constexpr std::int32_t kSettingKindBasic = 0;  // also the default setting
inline constexpr std::int32_t kSettingKindCombination = 5;
inline constexpr std::int32_t kSettingKindMacro = 6;
inline constexpr std::int32_t kSettingKindSoftware = 19;
inline constexpr std::int32_t kSettingKindDisable = 121;

struct SettingResult {
    std::int32_t buttonIndex = 0;
    std::int32_t value = 0;  // 0: nothing chosen
    std::int32_t kind = kSettingKindBasic;
    std::int32_t actionIndex = 0;  // 0 sound, 1 program, 2 file, 3 folder
    std::u16string path;
};

// The three rules in order: a Click must remain, no SNIPE on a wheel button,
// at most three macro buttons. The first that fails shows its message in the
// skinned box and refuses.
bool ValidateAssignment(int buttonIndex, const SettingResult& result,
                        const ProfileSettings& settings, Notifier& notifier, bool chineseMode);

// What storing needs besides the profile: names of combinations and macros.
struct AssignmentContext {
    const Localization& language;
    const KeyboardLayout& layout;
    const MacroTable& macros;
    Notifier& notifier;
};

// Stores an accepted result into button i (no checks).
void StoreAssignment(int buttonIndex, const SettingResult& result, ProfileSettings& settings,
                     ButtonMacroIds& macroIds, const AssignmentContext& context);
// ValidateAssignment, then StoreAssignment when it passes; the result tells
// whether the assignment was taken. Changes only memory.
bool AcceptAssignment(int buttonIndex, const SettingResult& result, ProfileSettings& settings,
                      ButtonMacroIds& macroIds, const AssignmentContext& context);

// The button page marks a tab as changed when its function is not the
// button's default.
inline bool IsTabChanged(int buttonIndex, const ButtonSetting& button) {
    return button.function != kDefaultFunctions[static_cast<std::size_t>(buttonIndex)];
}

// Before the editor opens: a default function's name in either language is
// rewritten in the current one; any other name stays.
void SwitchDefaultName(ButtonSetting& button, bool chineseMode);

// The texts of the editor's 24-entry list, from the language file.
std::vector<std::u16string> EditorListTexts(const LanguageTable& table);

inline constexpr char16_t kMsgKeepClickZh[] = u"请保留至少一个键为\"单击\"功能!";
inline constexpr char16_t kMsgKeepClickEn[] =
    u"At least one button must be configured as 'Left click'!";
inline constexpr char16_t kMsgNoSnipeZh[] = u"此按键不可使用狙击功能!";
inline constexpr char16_t kMsgNoSnipeEn[] = u"This key can not use the sniper function!";
inline constexpr char16_t kMsgMacroLimitZh[] = u"最多只能有三个按键能同时设置为宏";
inline constexpr char16_t kMsgMacroLimitEn[] = u"Only up to three buttons can be set as macro key";

}  // namespace qx
