// Names of the skin files below appFolder and the numbers of the compiled-in
// pictures. Qt-free, shared by the art generator and the windows.
#pragma once

#include <array>
#include <string_view>

namespace qx::skin {

// Compiled-in pictures, keyed by resource number.
inline constexpr int kAppIcon = 128;
inline constexpr int kPopupFrame = 129;          // PNG 65 x 65
inline constexpr int kLanguageIconFirst = 130;   // PNG 130-141, languages 1-12
inline constexpr int kLanguageLabelFirst = 142;  // bitmap 142-153, languages 1-12
inline constexpr int kMainChineseNormal = 154, kMainChineseOver = 155, kMainChineseDown = 156;
inline constexpr int kMainEnglishNormal = 157, kMainEnglishOver = 158, kMainEnglishDown = 159;
inline constexpr int kSettingsChineseNormal = 161, kSettingsChineseOver = 162,
                     kSettingsChineseDown = 160;
inline constexpr int kSettingsEnglishNormal = 164, kSettingsEnglishOver = 165,
                     kSettingsEnglishDown = 163;
inline constexpr int kScrollBarCells = 166;
inline constexpr int kTrayExit = 1011;
inline constexpr int kTrayConfig = 1012;

// Every compiled-in number, for the generator and the resource table.
inline constexpr std::array<int, 41> kResourceNumbers{
    128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139,  140, 141,
    142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153,  154, 155,
    156, 157, 158, 159, 160, 161, 162, 163, 164, 165, 166, 1011, 1012};

// Resource path of a compiled-in picture inside the Qt resource system.
inline constexpr std::string_view kResourcePrefix = ":/qx/res/";

// Files below appFolder (the separators are the platform's '/').
inline constexpr std::string_view kEditorFrame[3] = {"skins/setting/Setting_Normal.bmp",
                                                     "skins/setting/Setting_Over.bmp",
                                                     "skins/setting/Setting_Down.bmp"};
inline constexpr std::string_view kComboTab[3] = {
    "skins/combo/Combo_Normal.bmp", "skins/combo/Combo_Over.bmp", "skins/combo/Combo_Down.bmp"};
inline constexpr std::string_view kMacroTab[3] = {
    "skins/macro/Macro_Normal.bmp", "skins/macro/Macro_Over.bmp", "skins/macro/Macro_Down.bmp"};
inline constexpr std::string_view kBaseTab[3] = {
    "skins/base/Base_Normal.bmp", "skins/base/Base_Over.bmp", "skins/base/Base_Down.bmp"};
inline constexpr std::string_view kAdvancedTab[3] = {"skins/advanced/Advanced_Normal.bmp",
                                                     "skins/advanced/Advanced_Over.bmp",
                                                     "skins/advanced/Advanced_Down.bmp"};
inline constexpr std::string_view kInfo[3] = {
    "skins/Info/Info_Normal.bmp", "skins/Info/Info_Over.bmp", "skins/Info/Info_Down.bmp"};
inline constexpr std::string_view kInfoCancel[3] = {"skins/Info/Info_Normal_Cancel.bmp",
                                                    "skins/Info/Info_Over_Cancel.bmp",
                                                    "skins/Info/Info_Down_Cancel.bmp"};
inline constexpr std::string_view kSliderThumb = "Slider.png";  // in skins/
inline constexpr std::string_view kLighting[3] = {
    "skins/Light/LedSet_normal.bmp", "skins/Light/LedSet_over.bmp", "skins/Light/LedSet_down.bmp"};
// The lighting and trophies pages place some controls differently when the
// utility starts in Chinese; that placement has pictures of its own. A skin
// without them falls back to the common pictures above and below.
inline constexpr std::string_view kLightingChinese[3] = {"skins/Light/LedSet_normal_cn.bmp",
                                                         "skins/Light/LedSet_over_cn.bmp",
                                                         "skins/Light/LedSet_down_cn.bmp"};
inline constexpr std::string_view kMacroPage[3] = {"skins/Macro_normal.bmp", "skins/Macro_over.bmp",
                                                   "skins/Macro_down.bmp"};
inline constexpr std::string_view kGameMenu[3] = {"MenuNorL.BMP", "MenuOverL.BMP",
                                                  "MenuDownL.BMP"};  // in skins/Menu/
inline constexpr std::string_view kModelMenu[3] = {"MenuNor_Model.BMP", "MenuOver_Model.BMP",
                                                   "MenuDown_Model.BMP"};
inline constexpr std::string_view kSubMenu[3] = {"MenuNorHaveSub.BMP", "MenuOverHaveSub.BMP",
                                                 "MenuDownHaveSub.BMP"};
inline constexpr std::string_view kModelChooser[3] = {
    "skins/Model_Normal.bmp", "skins/Model_Over.bmp", "skins/Model_Down.bmp"};
inline constexpr std::string_view kProgress[2] = {"Progress_Normal.png",
                                                  "Progress_Over.png"};  // in skins/ProgressBar/
inline constexpr std::string_view kTrophies[3] = {"skins/Sts_Normal.bmp", "skins/Sts_Over.bmp",
                                                  "skins/Sts_Down.bmp"};
inline constexpr std::string_view kTrophiesChinese[3] = {
    "skins/Sts_Normal_cn.bmp", "skins/Sts_Over_cn.bmp", "skins/Sts_Down_cn.bmp"};
inline constexpr std::string_view kTrophyFormat = "skins/trophy/trophy%dDown.bmp";
inline constexpr std::string_view kSupport[3] = {
    "skins/support_normal.bmp", "skins/support_over.bmp", "skins/support_down.bmp"};
// Event icons of the macro event list, in skins/: types 2-5, normal and selected.
inline constexpr std::string_view kEventIcons[4][2] = {
    {"up_normal.png", "up_select.png"},
    {"down_normal.png", "down_select.png"},
    {"delay_normal.png", "delay_select.png"},
    {"MouseMove_normal.png", "MouseMove_select.png"},
};
// Mouse pictures, in skins/<model>/.
inline constexpr std::string_view kMouse[3] = {"Mouse_Normal.bmp", "Mouse_Over.bmp",
                                               "Mouse_Down.bmp"};
inline constexpr std::string_view kModels[6] = {"QX100", "QX200", "QX300",
                                                "QX400", "QX500", "QX600"};

}  // namespace qx::skin
