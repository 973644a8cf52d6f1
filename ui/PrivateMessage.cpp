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

}  // namespace qx::ui
