// Skinned popup menus: the layered popup window, the item menu drawn in it,
// the language menu of the main window, and the look of the tray menu.
#pragma once

#include <QImage>
#include <QMenu>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "base/Messages.h"

namespace qx::ui {

// A top-most popup without caption. Its content is drawn on magenta, which
// becomes transparent, over the frame picture (PNG 129) when one is set.
// A click outside it or the loss of activation closes it; closing sends
// WM_USER+1 (0, 0) to the parent.
class CWndPopup : public QWidget {
    Q_OBJECT
public:
    explicit CWndPopup(QObject* parent);
    void SetFramePicture(const QImage& frame) { frame_ = frame; }
    // The window's picture: content keyed on magenta, placed over the frame.
    QImage Compose() const;
    static inline const QColor kKey{0xFF, 0x00, 0xFF};

protected:
    // Fills and pictures, drawn on the magenta key.
    virtual void DrawContent(QPainter& p) = 0;
    // Lettering, drawn over the keyed result so its smoothing never mixes
    // with the key colour (which would fringe it with magenta).
    virtual void DrawText(QPainter&) {}
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent*) override;
    void hideEvent(QHideEvent*) override;
    QObject* owner_;
    QImage frame_;
    bool closedSent_ = false;
};

class CMenuEx : public CWndPopup {
    Q_OBJECT
public:
    struct Item {
        bool separator = false;
        std::int32_t value = 0;
        int icon = 0;  // PNG resource number, 0 for none
        QString text;
    };
    // command: the message a click sends (wParam 0, lParam the item's value).
    CMenuEx(QObject* owner, std::uint32_t command);
    void AddItem(std::int32_t value, const QString& text, int icon = 0);
    void AddSeparator();
    void OpenAt(const QPoint& topLeftOnScreen);
    QRect ItemRect(int index) const;
    int HoverIndex() const { return hover_; }
    const std::vector<Item>& Items() const { return items_; }

protected:
    void DrawContent(QPainter& p) override;
    void DrawText(QPainter& p) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int IndexAt(const QPoint& p) const;
    void Relayout();
    std::uint32_t command_;
    std::vector<Item> items_;
    std::vector<QImage> icons_;
    int hover_ = -1;
};

// The language menu: twelve languages with their icons, reported with
// WM_USER+1 and the language number.
class CMenuExA : public CMenuEx {
    Q_OBJECT
public:
    explicit CMenuExA(QObject* owner);
    // Opens 4 pixels left of the language button, 287 pixels above its bottom.
    void OpenAtButton(const QRect& buttonOnScreen);
};

// The tray menu's owner-drawn look.
class CXPMenu : public QMenu {
    Q_OBJECT
public:
    explicit CXPMenu(QWidget* parent = nullptr);
    QAction* AddItem(int command, const QString& text, int iconResource);
};

}  // namespace qx::ui
