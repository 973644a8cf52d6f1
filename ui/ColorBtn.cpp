#include "ui/ColorBtn.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/PrivateMessage.h"

namespace qx::ui {

CColorBtn::CColorBtn(QWidget* parent, int id) : QAbstractButton(parent), id_(id) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        PostWindowMessage(parentWidget(), kWmCommand, static_cast<WParam>(id_), WindowHandle(this));
    });
}

void CColorBtn::SetColor(QColor colour) {
    colour_ = colour;
    update();
}

void CColorBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect face = rect();
    if (isDown()) face.translate(1, 1);
    p.fillRect(face, isEnabled() ? colour_ : colour_.darker(250));
    // Same looks as the picture buttons: cyan edge on hover, gold when pressed.
    if (isDown()) {
        p.setPen(QPen(QColor(0xF0, 0xB8, 0x3C), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    } else if (hovered_ && isEnabled()) {
        p.setPen(QPen(QColor(0x19, 0xC3, 0xEE), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void CColorBtn::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void CColorBtn::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void CColorBtn::mouseMoveEvent(QMouseEvent* e) {
    const QPoint inParent = mapToParent(e->position().toPoint());
    PostWindowMessage(parentWidget(), kWmMouseMove, MouseKeyFlags(e->buttons(), e->modifiers()),
                      MakeLParam(inParent.x(), inParent.y()));
    QAbstractButton::mouseMoveEvent(e);
}

}  // namespace qx::ui
