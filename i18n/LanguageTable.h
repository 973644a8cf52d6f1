// The texts of the current language, one per str_* key, and the flags that
// choose between the built-in Chinese and English texts.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messages.h"

namespace qx {

class Notifier;

inline constexpr std::size_t kLanguageKeyCount = 117;

// In the order in which a language file is loaded (hint codes and tooltips
// refer to keys by their 1-based place in this list).
// clang-format off
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
// clang-format on

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

// One row of the language list. The number is what Language.cfg stores and the
// language menu sends; the file is relative to appFolder.
struct LanguageRow {
    int number;
    std::string_view menuName;  // fixed English words, not from the language file
    std::string_view file;
    int menuIcon;      // PNG resource shown beside the name in the menu
    int labelPicture;  // bitmap resource of the main window's language label
};

inline constexpr int kLanguageChinese = 1;
inline constexpr int kLanguageEnglish = 2;
inline constexpr int kLanguageTradChinese = 12;
inline constexpr int kLabelChinese = 142;
inline constexpr int kLabelEnglish = 143;

inline constexpr std::array<LanguageRow, 12> kLanguageList = {{
    {1, "Chinese", "Language/sc.xml", 130, 142},
    {2, "English", "Language/en.xml", 131, 143},
    {3, "French", "Language/fre.xml", 132, 144},
    {4, "Korean", "Language/kor.xml", 133, 145},
    {5, "German", "Language/ger.xml", 134, 146},
    {6, "Italian", "Language/ita.xml", 135, 147},
    {7, "Spanish", "Language/span.xml", 136, 148},
    {8, "Dutch", "Language/dutch.xml", 137, 149},
    {9, "Portuguese", "Language/pt.xml", 138, 150},
    {10, "Russian", "Language/rus.xml", 139, 151},
    {11, "Ukrainian", "Language/ukr.xml", 140, 152},
    {12, "Trad.Chinese", "Language/tw.xml", 141, 153},
}};

// The twelve languages in number order, as the menu lists them.
std::span<const LanguageRow> LanguageList();
// The row of a language number, or nullptr outside 1-12.
const LanguageRow* FindLanguage(int number);

// A language file holds 117 short texts; anything larger is not one, and must
// not cost every start seconds and hundreds of megabytes.
inline constexpr std::size_t kMaxLanguageFileBytes = 4u << 20;

enum class LanguageFileStatus {
    Loaded,      // read and parsed without a problem
    Unreadable,  // missing, not a regular file, or larger than the bound
    Damaged,     // read, but with parse problems or without a "config" element
};

// Fills every text from the file's "config" element: each key's text, or
// empty when the file or the key is missing. Never shows a message (the
// utility shows empty texts); the status is for callers that must tell.
// Uses a reader of its own, so it cannot collide with the update check's.
LanguageFileStatus LoadLanguageFile(Localization& language, const std::filesystem::path& file);

// Key number (1-117) a hint code shows, or 0 when the code clears the hint line.
int HintKeyNumber(int code);
// The text of a hint code; empty clears the hint line.
const std::u16string& HintText(const Localization& language, int code);

// Start-up, before any page exists: languagetype.ini (in appFolder/skins)
// decides between the Chinese and the English file. Sets chineseMode and
// startupChinese and loads the file; returns the label picture to show.
int LoadStartupLanguage(Localization& language, const std::filesystem::path& appFolder);

// The number stored in Language.cfg; 1 when it cannot be read (a missing file
// is reported with its path). A short file replaces only the low-order bytes
// it supplies.
int ReadLanguageCfg(const std::filesystem::path& dataFolder, Notifier& notifier);
// Writes the 4 bytes atomically; a missing folder shows str_msg2 with the path,
// denied access str_msg5. True on success.
bool WriteLanguageCfg(const std::filesystem::path& dataFolder, int number,
                      const Localization& language, Notifier& notifier);
std::filesystem::path LanguageCfgPath(const std::filesystem::path& dataFolder);

// Later in the start-up: reads Language.cfg and posts the stored language to
// the main window (WM_USER+1, reason WM_INITDIALOG), to be applied once the
// message loop runs.
void PostStoredLanguage(MessageTarget& mainWindow, const std::filesystem::path& dataFolder,
                        Notifier& notifier);

// Windows that must set their tooltips again after a language change.
class TooltipObservers {
public:
    using Callback = std::function<void()>;
    int Add(Callback callback);  // returns an id for Remove
    void Remove(int id);
    void Notify() const;

private:
    std::vector<std::pair<int, Callback>> callbacks_;
    int nextId_ = 1;
};

struct ApplyLanguageOutcome {
    bool handled = false;    // false: nothing was done at all
    int labelPicture = 0;    // the label picture to show, 0 to keep the current one
    bool closeMenu = false;  // the language menu is to be closed and forgotten
};

// The model part of the main window's WM_USER+1 handler. `reason` is
// kWmInitDialog for the call posted at start-up, 0 from the language menu;
// `menuOpen` tells whether the language menu exists. Loads the language (1-12),
// sets the flags, stores the number in Language.cfg and asks every window to
// set its tooltips again.
ApplyLanguageOutcome ApplyLanguage(Localization& language, const std::filesystem::path& appFolder,
                                   const std::filesystem::path& dataFolder, Notifier& notifier,
                                   const TooltipObservers& tooltips, WParam reason, LParam number,
                                   bool menuOpen);

}  // namespace qx
