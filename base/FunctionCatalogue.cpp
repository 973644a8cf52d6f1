#include "base/FunctionCatalogue.h"

namespace qx {
namespace {

constexpr BasicFunction kBasicFunctions[] = {
    {1, u"Click", u"单击", "str_mouseleft", {0x01, 0x00, 0xF0, 0x00}},
    {2, u"Menu", u"菜单", "str_mouseright", {0x01, 0x00, 0xF1, 0x00}},
    {4, u"Middle", u"中键", "str_mousemiddle", {0x01, 0x00, 0xF2, 0x00}},
    {8, u"Forward", u"前进", "str_pre", {0x01, 0x00, 0xF4, 0x00}},
    {16, u"Back", u"后退", "str_back", {0x01, 0x00, 0xF3, 0x00}},
    {11, u"Scroll up", u"滚轮前滚", "", {0x04, 0x00, 0x01, 0x00}},
    {22, u"Scroll down", u"滚轮后滚", "", {0x04, 0x00, 0x02, 0x00}},
    {32, u"Play/Pause", u"播放/暂停", "str_PL", {0x03, 0x00, 0xCD, 0x00}},
    {33, u"Stop", u"停止", "str_stop", {0x03, 0x00, 0xB7, 0x00}},
    {34, u"Previous", u"上一曲", "str_pre_media", {0x03, 0x00, 0xB6, 0x00}},
    {35, u"Next", u"下一曲", "str_next_media", {0x03, 0x00, 0xB5, 0x00}},
    {37, u"Volume up", u"音量+", "str_vol_up", {0x03, 0x00, 0xE9, 0x00}},
    {38, u"Volume down", u"音量-", "str_vol_dw", {0x03, 0x00, 0xEA, 0x00}},
    {39, u"Mute", u"静音", "str_mute", {0x03, 0x00, 0xE2, 0x00}},
    {40, u"Music", u"音乐", "str_player", {0x03, 0x00, 0x83, 0x01}},
    {81, u"Close window", u"关闭窗口", "str_close", {0x00, 0x04, 0x3D, 0x00}},
    {82, u"Lock PC", u"锁定电脑", "str_lock", {0x00, 0x08, 0x0F, 0x00}},
    {84, u"Run", u"运行", "str_run", {0x00, 0x08, 0x15, 0x00}},
    {85, u"Show desktop", u"显示桌面", "str_show", {0x00, 0x08, 0x07, 0x00}},
    {121, u"Disable key", u"禁用按键", "", {0x07, 0x00, 0x00, 0x00}},
    {123, u"Enter classic desktop", u"进入传统界面", "str_win8_classic", {0x00, 0x08, 0x10, 0x00}},
    {124, u"Switch applications", u"切换应用程序", "str_win8_switch", {0x00, 0x04, 0x2B, 0x00}},
    {125, u"Search", u"搜索", "str_find", {0x00, 0x08, 0x14, 0x00}},
    {126, u"sreen zoom in", u"放大", "str_win8_winp", {0x00, 0x08, 0x57, 0x00}},
    {127, u"sreen zoom out", u"缩小", "str_win8_winm", {0x00, 0x08, 0x56, 0x00}},
    {142, u"SNIPE", u"狙击键", "str_snipe", {0x07, 0x00, 0x04, 0x08}},
    {143, u"FIRE", u"火力", "str_fire", {0x0A, 0xF0, 0x18, 0x02}},
};

constexpr EditorFunction kEditorFunctions[kEditorFunctionCount] = {
    {"str_close", 81},      {"str_lock", 82},          {"str_run", 84},
    {"str_show", 85},       {"str_win8_classic", 123}, {"str_win8_switch", 124},
    {"str_win8_winp", 126}, {"str_win8_winm", 127},    {"str_find", 125},
    {"str_mouseleft", 1},   {"str_mouseright", 2},     {"str_mousemiddle", 4},
    {"str_pre", 8},         {"str_back", 16},          {"str_player", 40},
    {"str_PL", 32},         {"str_stop", 33},          {"str_pre_media", 34},
    {"str_next_media", 35}, {"str_vol_dw", 38},        {"str_vol_up", 37},
    {"str_mute", 39},       {"str_snipe", 142},        {"str_fire", 143},
};

struct NamePair {
    std::u16string_view chinese;
    std::u16string_view english;
};
constexpr NamePair kDefaultNames[] = {
    {u"单击", u"Click"},           {u"中键", u"Middle"}, {u"菜单", u"Menu"},
    {u"前进", u"Forward"},         {u"后退", u"Back"},   {u"滚轮前滚", u"Scroll up"},
    {u"滚轮后滚", u"Scroll down"},
};

}  // namespace

std::span<const BasicFunction> BasicFunctions() {
    return kBasicFunctions;
}

const BasicFunction* FindBasicFunction(std::int32_t code) {
    for (const auto& function : kBasicFunctions)
        if (function.code == code) return &function;
    return nullptr;
}

std::u16string FunctionName(std::int32_t code, bool chineseMode) {
    const auto* function = FindBasicFunction(code);
    if (!function) return {};
    return std::u16string(chineseMode ? function->chinese : function->english);
}

const DeviceBytes& DefaultDeviceBytes(int buttonIndex) {
    return FindBasicFunction(kDefaultFunctions[static_cast<std::size_t>(buttonIndex)])->deviceBytes;
}

std::span<const EditorFunction, kEditorFunctionCount> EditorFunctionList() {
    return kEditorFunctions;
}

std::optional<std::u16string_view> DefaultNameInLanguage(std::u16string_view name,
                                                         bool chineseMode) {
    for (const auto& pair : kDefaultNames)
        if (name == pair.chinese || name == pair.english)
            return chineseMode ? pair.chinese : pair.english;
    return std::nullopt;
}

}  // namespace qx
