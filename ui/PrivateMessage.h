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
#include <memory>
#include <mutex>
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

// The key flags of a mouse message (wParam of WM_MOUSEMOVE): MK_LBUTTON 1,
// MK_RBUTTON 2, MK_SHIFT 4, MK_CONTROL 8, MK_MBUTTON 0x10, MK_XBUTTON1 0x20,
// MK_XBUTTON2 0x40.
WParam MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// What other threads keep of a window: posts go through it while the window
// lives and are dropped once the window has detached it on its way out. The
// lock makes a post either finish before the detach (Qt then discards the
// event with the window) or see the detached handle.
class WindowPostHandle final : public MessageTarget {
public:
    explicit WindowPostHandle(QObject* window) : window_(window) {}
    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override;
    void Detach();

private:
    std::mutex mutex_;
    QObject* window_;
};

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
    ~CMessageWndT() override { handle_->Detach(); }

    void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
        handle_->PostMessage(message, wParam, lParam);
    }
    // Give this, never the window itself, to anything that may post from
    // another thread or after the window is gone.
    TargetHandle Handle() const { return handle_; }
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

private:
    std::shared_ptr<WindowPostHandle> handle_ = std::make_shared<WindowPostHandle>(this);
};

using CMessageWidget = CMessageWndT<QWidget>;
using CMessageDialog = CMessageWndT<QDialog>;

}  // namespace qx::ui
