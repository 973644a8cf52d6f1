// The texts of the current language, one per str_* key, and the flags that
// choose between the built-in Chinese and English texts.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qx {

inline constexpr std::size_t kLanguageKeyCount = 117;

// In the order in which a language file is loaded (hint codes and tooltips
// refer to keys by their 1-based place in this list).
inline constexpr std::array<std::string_view, kLanguageKeyCount> kLanguageKeys = {
    "str_main", "str_led_title", "str_macro_manager", "str_sts", "str_about",
    "str_profile1", "str_profile2", "str_profile3", "str_profile4", "str_profile5",
    "str_ok", "str_dpiwant", "str_mouseSpeed", "str_improveAccuracy", "str_sheight",
    "str_rollingrate", "str_rollerColumn", "str_rollerScreen", "str_close", "str_lock",
    "str_run", "str_show", "str_win8_classic", "str_win8_switch", "str_win8_winp",
    "str_win8_winm", "str_find", "str_mouseleft", "str_mousemiddle", "str_mouseright",
    "str_pre", "str_back", "str_player", "str_PL", "str_stop",
    "str_pre_media", "str_next_media", "str_vol_dw", "str_vol_up", "str_mute",
    "str_snipe", "str_fire", "str_advanced_sound", "str_advanced_exe", "str_advanced_file",
    "str_advanced_dir", "str_ledspe", "str_led_apmbre", "str_led_off", "str_led_norbre",
    "str_led_frequency", "str_led_brealways", "str_led_brightness", "str_led_symphony",
    "str_led_changeClolor", "str_led_setColor", "str_led_symphonySpeed", "str_led_body_on",
    "str_led_body_off", "str_led_custom", "str_new_macro", "str_del_macro", "str_import_macro",
    "str_export_macro", "str_macro_new", "str_macro_del", "str_macro_modify", "str_macro_start",
    "str_macro_end", "str_macro_delay", "str_macro_loop", "str_click", "str_middle",
    "str_menu", "str_macro_msg6", "str_macro_msg7", "str_macro_msg8", "str_cups",
    "str_resetSts", "str_update", "str_importFile", "str_exportFile", "str_orvikWeb",
    "str_defaultname", "str_msg2", "str_msg4", "str_msg5", "str_dpi_setting",
    "str_sensor", "str_usbrate", "str_windows_scroll", "str_mouse_key", "str_panel",
    "str_cur_function", "str_key_com", "str_macro_set", "str_basic", "str_advance",
    "str_disable", "str_default_setting", "str_browse", "str_backlight", "str_breath_speed",
    "str_multicolor1", "str_multicolor2", "str_multicolor3", "str_proximity_sensing",
    "str_color_setting", "str_cur_color", "str_choose_color", "str_preset_color",
    "str_custom_color", "str_macro_choose", "str_marco_list", "str_key_list",
    "str_driver_version", "str_firmware_version",
};

// 0-based index of a key, or -1.
int LanguageKeyIndex(std::string_view key);

class LanguageTable {
public:
    // The text of a key; the empty text for an unknown key.
    const std::u16string& Text(std::string_view key) const;
    // 1-based place in the key list, as hint codes use it.
    const std::u16string& TextAt(int number) const;
    void Set(std::string_view key, std::u16string text);
    void SetAt(int number, std::u16string text);
    void Clear();

private:
    std::array<std::u16string, kLanguageKeyCount> texts_;
};

// The process-wide language state.
struct Localization {
    LanguageTable table;
    bool chineseMode = false;     // applied language is 1, Simplified Chinese
    bool startupChinese = false;  // languagetype.ini said Chinese
    int currentLanguage = 0;      // 1-12 once a language was applied
};

}  // namespace qx
