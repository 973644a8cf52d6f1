// Private window messages inside the Qt windows: a posted event that carries
// the message number with its two parameters, and a per-window message map
// that dispatches it, so every WM_USER+n keeps its number in the code.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/Messages.h"

namespace qx::ui {

class CPrivateMessageEvent final : public QEvent {
public:
    CPrivateMessageEvent(std::uint32_t message, WParam wParam, LParam lParam);
    static QEvent::Type EventType();

    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

// Posts to the object's thread; safe from any thread. A null target is ignored.
void PostWindowMessage(QObject* target, std::uint32_t message, WParam wParam, LParam lParam);

// The handle a control passes in wParam or lParam to name itself.
inline LParam WindowHandle(const QObject* window) {
    return reinterpret_cast<LParam>(window);
}
inline LParam MakeLParam(int low, int high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(high) << 16) |
                               (static_cast<std::uint32_t>(low) & 0xFFFF));
}

class MessageMap {
public:
    using Handler = std::function<void(WParam, LParam)>;
    using AnyHandler = std::function<void(std::uint32_t, WParam, LParam)>;

    MessageMap& On(std::uint32_t message, Handler handler);
    // Receives every message without its own entry.
    MessageMap& OnOther(AnyHandler handler);
    bool Dispatch(std::uint32_t message, WParam wParam, LParam lParam) const;

private:
    struct Entry {
        std::uint32_t message;
        Handler handler;
    };
    std::vector<Entry> entries_;
    AnyHandler other_;
};

// A window that receives posted private messages: Base is QWidget or QDialog.
// WM_CLOSE without an entry of its own closes the window.
template <class Base>
class CMessageWndT : public Base, public MessageTarget {
public:
    using Base::Base;

    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        PostWindowMessage(this, message, wParam, lParam);
    }
    // Handles the message at once on the calling (window) thread.
    void SendMessage(std::uint32_t message, WParam wParam, LParam lParam) {
        if (!messageMap_.Dispatch(message, wParam, lParam) && message == kWmClose) Base::close();
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == CPrivateMessageEvent::EventType()) {
            auto* m = static_cast<CPrivateMessageEvent*>(e);
            SendMessage(m->message, m->wParam, m->lParam);
            return true;
        }
        return Base::event(e);
    }

    MessageMap messageMap_;
};

using CMessageWidget = CMessageWndT<QWidget>;
using CMessageDialog = CMessageWndT<QDialog>;

}  // namespace qx::ui
