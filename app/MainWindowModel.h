// The main window's rules that need no window: which hint a pointer position
// asks for, what each tab shows, and what the tray icon's mouse messages do.
#pragma once

#include <array>
#include <cstdint>

#include "base/Messages.h"

namespace qx {

// The six pages in creation order.
enum class PageId : int { Buttons, MousePicture, Lighting, Macros, Trophies, Support };
inline constexpr int kPageCount = 6;

// Hint codes of the main window's own region buttons: tabs 1-5, profiles 1-5
// and Apply, in that order.
inline constexpr int kHintFirstTab = 1;
inline constexpr int kHintFirstProfile = 6;
inline constexpr int kHintApply = 11;

// The hint code the pointer at (x, y) of the client area asks for: the first
// region button whose bounding box, widened by one pixel on every side,
// contains the point; 0 when none does.
int MainHintCodeAt(int x, int y);

// What SwitchPage(k) does to the pages and the buttons below them.
struct PageSwitch {
    bool valid = false;  // tabs 1-5; any other k changes nothing
    std::array<bool, kPageCount> shown{};
    bool profileButtonsEnabled = false;  // the five profile buttons and Apply
    bool refreshButtonsPage = false;     // RefreshFromProfile of the buttons page
    bool refreshLightingPage = false;    // Refresh of the lighting page (and a repaint)
    bool leavesMacroPage = false;        // close the category menu, stop a recording
};
PageSwitch SwitchPageTable(int tab);

// WM_USER+108 from the tray icon (or a second start), by its mouse message.
enum class TrayAction { Nothing, RefreshAndShow, ShowMenu };
TrayAction TrayCallbackAction(LParam mouseMessage);

// Commands of the tray menu.
inline constexpr int kTrayCommandConfig = 0x6000;
inline constexpr int kTrayCommandExit = 0x6001;

// Which keys the main window lets through: Enter, Escape and Space are dropped
// so they neither press a control nor close a window; Alt+F4 hides the window.
enum class KeyVerdict { Pass, Drop, HideToTray };
// Windows virtual-key codes of the keys concerned.
inline constexpr std::uint32_t kVkReturn = 0x0D;
inline constexpr std::uint32_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kVkSpace = 0x20;
inline constexpr std::uint32_t kVkF4 = 0x73;
KeyVerdict FilterMainWindowKey(std::uint32_t virtualKey, bool altHeld);

inline constexpr char16_t kMainWindowTitle[] = u"Orvik QX-Gaming Mouse Driver";

}  // namespace qx
