#include "ui/PrivateMessage.h"

namespace qx::ui {

QEvent::Type CPrivateMessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CPrivateMessageEvent::CPrivateMessageEvent(std::uint32_t message_, WParam wParam_, LParam lParam_)
    : QEvent(EventType()), message(message_), wParam(wParam_), lParam(lParam_) {}

void PostWindowMessage(QObject* target, std::uint32_t message, WParam wParam, LParam lParam) {
    if (target == nullptr) return;
    QCoreApplication::postEvent(target, new CPrivateMessageEvent(message, wParam, lParam));
}

void WindowPostHandle::PostMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    std::lock_guard lock(mutex_);
    PostWindowMessage(window_, message, wParam, lParam);
}

void WindowPostHandle::Detach() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
}

MessageMap& MessageMap::On(std::uint32_t message, Handler handler) {
    entries_.push_back({message, std::move(handler)});
    return *this;
}

MessageMap& MessageMap::OnOther(AnyHandler handler) {
    other_ = std::move(handler);
    return *this;
}

bool MessageMap::Dispatch(std::uint32_t message, WParam wParam, LParam lParam) const {
    for (const Entry& e : entries_)
        if (e.message == message) {
            e.handler(wParam, lParam);
            return true;
        }
    if (other_) {
        other_(message, wParam, lParam);
        return true;
    }
    return false;
}

WParam MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WParam flags = 0;
    if (buttons & Qt::LeftButton) flags |= 0x0001;
    if (buttons & Qt::RightButton) flags |= 0x0002;
    if (modifiers & Qt::ShiftModifier) flags |= 0x0004;
    if (modifiers & Qt::ControlModifier) flags |= 0x0008;
    if (buttons & Qt::MiddleButton) flags |= 0x0010;
    if (buttons & Qt::XButton1) flags |= 0x0020;
    if (buttons & Qt::XButton2) flags |= 0x0040;
    return flags;
}

}  // namespace qx::ui
