#include "macro/InputHooks.h"

namespace qx {

bool InputHooks::InstallInputHooks(TargetHandle mainWindow) {
    mainWindow_.store(mainWindow, std::memory_order_release);
    target_.store(std::move(mainWindow), std::memory_order_release);
    const bool running = tap_ != nullptr && tap_->Start(*this);
    installed_.store(running, std::memory_order_release);
    return running;
}

bool InputHooks::RemoveInputHooks() {
    if (tap_ != nullptr) tap_->Stop();
    installed_.store(false, std::memory_order_release);
    return true;
}

void InputHooks::SetHookTarget(TargetHandle window) {
    target_.store(std::move(window), std::memory_order_release);
}

void InputHooks::SetKeyForwarding(bool on) {
    keyForwarding_.store(on, std::memory_order_relaxed);
    if (!on) target_.store(mainWindow_.load(std::memory_order_acquire), std::memory_order_release);
}

void InputHooks::SetButtonIntercept(std::uint32_t code, bool hold) {
    if (code == 0) return;
    bool changed = false;
    if (hold) {
        if (IsIntercepted(code)) return;
        for (auto& entry : table_) {
            std::uint32_t empty = 0;
            if (entry.compare_exchange_strong(empty, code, std::memory_order_release)) {
                changed = true;
                break;
            }
        }
    } else {
        for (auto& entry : table_) {
            std::uint32_t held = code;
            if (entry.compare_exchange_strong(held, 0, std::memory_order_release)) changed = true;
        }
    }
    if (changed && tap_ != nullptr) tap_->InterceptsChanged();
}

void InputHooks::SetReportAllButtons(bool on) {
    reportAll_.store(on, std::memory_order_relaxed);
}

bool InputHooks::IsIntercepted(std::uint32_t code) const {
    for (const auto& entry : table_)
        if (entry.load(std::memory_order_acquire) == code) return true;
    return false;
}

std::array<std::uint32_t, kInterceptTableSize> InputHooks::MouseInterceptTable() const {
    std::array<std::uint32_t, kInterceptTableSize> copy{};
    for (int i = 0; i < kInterceptTableSize; ++i)
        copy[i] = table_[i].load(std::memory_order_acquire);
    return copy;
}

void InputHooks::Report(std::uint32_t code) {
    if (const TargetHandle target = target_.load(std::memory_order_acquire))
        target->PostMessage(kMsgHookButton, code, 0);
}

MouseVerdict InputHooks::MouseHookProc(const MouseEvent& event) {
    MouseVerdict verdict;
    const std::uint32_t m = event.message;
    std::uint32_t code = 0;
    std::uint32_t release = 0;  // the button-up to swallow after a held-back press
    if (m == kWmLButtonDown || m == kWmRButtonDown || m == kWmMButtonDown) {
        code = m;
        release = m + 1;
    } else if (m == kWmMouseWheel) {
        code = static_cast<std::int32_t>(event.mouseData) >= 0 ? kEventWheelForward
                                                               : kEventWheelBackward;
    } else if (m == kWmXButtonDown) {
        code = kWmXButtonDown + event.mouseData;
        release = kWmXButtonUp;
    }

    if (code != 0) {
        if (IsIntercepted(code)) {
            Report(code);
            if (release != 0) pendingRelease_.store(release, std::memory_order_relaxed);
            return {code, true};
        }
        if (reportAll_.load(std::memory_order_relaxed)) {
            Report(code);
            verdict.reported = code;
        }
    }

    const std::uint32_t pending = pendingRelease_.load(std::memory_order_relaxed);
    if (pending != 0 && m == pending) {
        pendingRelease_.store(0, std::memory_order_relaxed);
        verdict.swallow = true;
    }
    return verdict;
}

void InputHooks::KeyboardHookProc(const KeyEvent& event) {
    if (!keyForwarding_.load(std::memory_order_relaxed)) return;
    if (const TargetHandle target = target_.load(std::memory_order_acquire))
        target->PostMessage(kMsgHookKey, event.vkCode, static_cast<LParam>(event.flags));
}

}  // namespace qx
