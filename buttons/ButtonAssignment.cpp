#include "buttons/ButtonAssignment.h"

#include <vector>

#include "base/Text.h"

namespace qx {
namespace {

constexpr DeviceBytes kNoValue = {0, 0, 0, 0};
constexpr int kMaxMacroButtons = 3;
constexpr std::int32_t kActionCodes[] = {0xC0, 0xD0, 0xE0, 0xF0};

bool IsWheel(int buttonIndex) {
    return buttonIndex == 5 || buttonIndex == 6;
}

}  // namespace

bool HasDeviceValue(std::int32_t function) {
    return function == kFunctionKeyCombination || function == kFunctionMacro ||
           function == kFunctionSoftware || FindBasicFunction(function) != nullptr;
}

DeviceBytes DeviceButtonCode(int buttonIndex, const ButtonSetting& button,
                             std::optional<MacroSlotCode> macro) {
    switch (button.function) {
        case kFunctionKeyCombination: {
            const auto c = button.comboCode;
            return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                    static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 24)};
        }
        case kFunctionMacro:
            if (!macro) return kNoValue;
            return {0x09, 0x00, macro->slot, macro->lengthByte};
        case kFunctionSoftware:
            return DefaultDeviceBytes(buttonIndex);
        default: {
            const auto* function = FindBasicFunction(button.function);
            return function ? function->deviceBytes : kNoValue;
        }
    }
}

bool ValidateAssignment(int buttonIndex, const SettingResult& result,
                        const ProfileSettings& settings, Notifier& notifier, bool chineseMode) {
    const auto refuse = [&](const char16_t* zh, const char16_t* en) {
        notifier.ShowInfoMessage(chineseMode ? zh : en);
        return false;
    };
    const bool isClick = result.kind == kSettingKindBasic && result.value == kFunctionClick;
    if (!isClick) {
        bool otherClick = false;
        for (int j = 0; j < kButtonCount; ++j)
            if (j != buttonIndex && settings.buttons[j].function == kFunctionClick)
                otherClick = true;
        if (!otherClick) return refuse(kMsgKeepClickZh, kMsgKeepClickEn);
    }
    if (result.value == kFunctionSnipe && IsWheel(buttonIndex))
        return refuse(kMsgNoSnipeZh, kMsgNoSnipeEn);
    if (result.kind == kSettingKindMacro) {
        int others = 0;
        for (int j = 0; j < kButtonCount; ++j)
            if (j != buttonIndex && settings.buttons[j].function == kFunctionMacro) ++others;
        if (others >= kMaxMacroButtons) return refuse(kMsgMacroLimitZh, kMsgMacroLimitEn);
    }
    return true;
}

void StoreAssignment(int buttonIndex, const SettingResult& result, ProfileSettings& settings,
                     ButtonMacroIds& macroIds, const AssignmentContext& context) {
    auto& button = settings.buttons[buttonIndex];
    auto& slotId = macroIds[static_cast<std::size_t>(buttonIndex)];
    const bool chinese = context.language.chineseMode;
    slotId = 0;
    switch (result.kind) {
        case kSettingKindCombination: {
            button.function = kFunctionKeyCombination;
            button.comboCode = static_cast<std::uint32_t>(result.value);
            ToBuffer(
                CombinationText(button.comboCode, context.language.currentLanguage, context.layout),
                button.displayName);
            break;
        }
        case kSettingKindMacro: {
            slotId = result.value;
            button.function = kFunctionMacro;
            button.macroId = result.value;
            std::u16string name;
            if (const auto index =
                    context.macros.FindMacroById(static_cast<std::uint32_t>(result.value)))
                name = FromBuffer(context.macros.Slot(*index).name);
            ToBuffer(name, button.displayName);
            break;
        }
        case kSettingKindSoftware:
            button.function = kFunctionSoftware;
            button.actionValue = result.value;
            ToBuffer(result.path, button.actionPath);
            ToBuffer(result.path, button.displayName);
            if (result.actionIndex >= 0 && result.actionIndex < 4)
                button.actionCode = kActionCodes[result.actionIndex];
            break;
        case kSettingKindDisable:
            button.function = kFunctionDisable;
            ToBuffer(FunctionName(kFunctionDisable, chinese), button.displayName);
            break;
        case kSettingKindBasic:
            button.function = result.value;
            ToBuffer(FunctionName(result.value, chinese), button.displayName);
            break;
        default:
            break;
    }
}

bool AcceptAssignment(int buttonIndex, const SettingResult& result, ProfileSettings& settings,
                      ButtonMacroIds& macroIds, const AssignmentContext& context) {
    if (!ValidateAssignment(buttonIndex, result, settings, context.notifier,
                            context.language.chineseMode))
        return false;
    StoreAssignment(buttonIndex, result, settings, macroIds, context);
    return true;
}

void SwitchDefaultName(ButtonSetting& button, bool chineseMode) {
    const auto name = FromBuffer(button.displayName);
    if (const auto inLanguage = DefaultNameInLanguage(name, chineseMode))
        ToBuffer(*inLanguage, button.displayName);
}

std::vector<std::u16string> EditorListTexts(const LanguageTable& table) {
    std::vector<std::u16string> texts;
    for (const auto& entry : EditorFunctionList()) texts.push_back(table.Text(entry.key));
    return texts;
}

}  // namespace qx
