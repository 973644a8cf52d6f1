// Every private window message of the system, with its number. Messages keep
// the numbers they have always had (WM_USER is 0x400) so that the protocol
// between windows and threads stays the same and visible in the code.
#pragma once

#include <cstdint>
#include <memory>

namespace qx {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;

inline constexpr std::uint32_t kWmUser = 0x400;

// Standard window messages that travel the same way.
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmInitDialog = 0x0110;  // 272, the start-up reason of ApplyLanguage
inline constexpr std::uint32_t kWmHScroll = 0x0114;
inline constexpr std::uint32_t kWmVScroll = 0x0115;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmMButtonDown = 0x0207;
inline constexpr std::uint32_t kWmMButtonUp = 0x0208;
inline constexpr std::uint32_t kWmMouseWheel = 0x020A;
inline constexpr std::uint32_t kWmXButtonDown = 0x020B;
inline constexpr std::uint32_t kWmXButtonUp = 0x020C;
inline constexpr std::uint32_t kWmMouseHWheel = 0x020E;

// clang-format off
// Main window.
inline constexpr std::uint32_t kMsgApplyLanguage = kWmUser + 1;        // 1025: reason, language
inline constexpr std::uint32_t kMsgTrayCallback = kWmUser + 108;       // 1132: 0, mouse message
inline constexpr std::uint32_t kMsgSyncSucceeded = kWmUser + 771;      // 1795
inline constexpr std::uint32_t kMsgSyncFailed = kWmUser + 772;         // 1796: 0, failure code
inline constexpr std::uint32_t kMsgHookButton = kWmUser + 1003;        // 2027: event code, 0
inline constexpr std::uint32_t kMsgHint = kWmUser + 1029;              // 2053: 0, hint code
inline constexpr std::uint32_t kMsgRestoreDefaults = kWmUser + 1030;   // 2054

// Update check thread to the support page: 1 stored / 0 failed, then the check
// number (a description) or 0 (the firmware).
inline constexpr std::uint32_t kMsgUpdateCheckDone = kWmUser + 1040;     // 2064
inline constexpr std::uint32_t kMsgFirmwareDownloaded = kWmUser + 1041;  // 2065

// Hook targets, pages and windows.
inline constexpr std::uint32_t kMsgHookKey = kWmUser + 10;             // 1034: virtual key, flags
inline constexpr std::uint32_t kMsgProgress = kWmUser + 43;            // 1067: percent, 0
inline constexpr std::uint32_t kMsgStatsButton = kWmUser + 201;        // 1225: event code, hook lParam
inline constexpr std::uint32_t kMsgStatsSample = kWmUser + 202;        // 1226: pointer sampled
inline constexpr std::uint32_t kMsgMenuChoice = kWmUser + 257;         // 0x501: -, item value

// Skinned controls to their parents.
inline constexpr std::uint32_t kMsgProgressBarPos = kWmUser + 80;      // position, control id
inline constexpr std::uint32_t kMsgListSelChange = kWmUser + 101;      // control id, index
inline constexpr std::uint32_t kMsgListEditDone = kWmUser + 112;       // control id, index
inline constexpr std::uint32_t kMsgButtonMouse = kWmUser + 781;        // 513 / 514, button
inline constexpr std::uint32_t kMsgSliderPos = kWmUser + 1024;         // position, control id
// clang-format on

// Receives posted messages: a window, or a recorder in tests. Posting never
// blocks and may happen from any thread.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) = 0;
};

// What other threads keep of a window they post to. A window hands out a
// handle that it detaches when it goes away, so a late post is dropped instead
// of reaching freed memory.
using TargetHandle = std::shared_ptr<MessageTarget>;

// A handle to a target that outlives every poster by construction (tests,
// command-line tools); it owns nothing.
inline TargetHandle Unowned(MessageTarget& target) {
    return TargetHandle(TargetHandle(), &target);
}

}  // namespace qx
