// Software-executed button functions: a button whose function is 19 makes the
// utility, not the mouse, play a sound, run a program or open a file or
// folder. The input hook holds the button's own event back and reports it.
#pragma once

#include <cstdint>

#include "base/Messages.h"
#include "base/ProfileRecord.h"
#include "platform/DesktopActions.h"

namespace qx {

inline constexpr std::int32_t kActionSound = 0xC0;
inline constexpr std::int32_t kActionProgram = 0xD0;
inline constexpr std::int32_t kActionFile = 0xE0;
inline constexpr std::int32_t kActionFolder = 0xF0;

// The button (0-6) of a hook event code, or -1.
int ButtonOfEventCode(std::uint32_t eventCode);

// The main window's WM_USER+1003 handler: every report goes on to the
// statistics page first (WM_USER+201, parameters unchanged), then a
// software-function button's action is carried out. Each path is handed over
// as one argument, so blanks need no quoting.
void OnButtonReport(WParam eventCode, LParam lParam, const ProfileSettings& settings,
                    const TargetHandle& statisticsPage, DesktopActions& actions);

}  // namespace qx
