#include "ui/GDIBitmapBtn.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"

namespace qx::ui {

QFont ShellDlgFont(int pixelHeight, int weight) {
    QFont f;
    f.setFamilies({"MS Shell Dlg", "DejaVu Sans", "WenQuanYi Micro Hei"});
    f.setPixelSize(pixelHeight);
    // Windows weights 100-900 map onto Qt's weights of the same numbers.
    f.setWeight(static_cast<QFont::Weight>(weight));
    return f;
}

CGDIBitmapBtn::CGDIBitmapBtn(QWidget* parent, int id) : QAbstractButton(parent), id_(id) {
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (checkMode_ && toggleOnClick_) SetSelected(!selected_);
        PostWindowMessage(parentWidget(), kWmCommand, static_cast<WParam>(id_), WindowHandle(this));
    });
}

void CGDIBitmapBtn::SetImages(int left, int top, int right, int bottom, const QImage* normal,
                              const QImage* over, const QImage* down, const QImage* disabled,
                              const QImage* altNormal, const QImage* altDown) {
    const QRect r(left, top, right - left, bottom - top);
    auto cut = [&r](const QImage* full) { return full ? CutImage(*full, r) : QImage(); };
    normal_ = cut(normal);
    over_ = cut(over);
    down_ = cut(down);
    disabled_ = cut(disabled);
    altNormal_ = cut(altNormal);
    altDown_ = cut(altDown);
    setGeometry(r);
    // Pictures replace the border and the keyboard focus of a push button.
    setFocusPolicy(Qt::NoFocus);
    update();
}

void CGDIBitmapBtn::UseAlternativeImages(bool use) {
    useAlternative_ = use;
    update();
}

void CGDIBitmapBtn::SetSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void CGDIBitmapBtn::SetTextColors(QColor normal, QColor over, QColor down) {
    textNormal_ = normal;
    textOver_ = over;
    textDown_ = down;
    update();
}

void CGDIBitmapBtn::SetLargeCaption(bool large) {
    largeCaption_ = large;
    update();
}

CGDIBitmapBtn::Look CGDIBitmapBtn::CurrentLook() const {
    if ((checkMode_ && selected_) || isDown()) return Look::Down;
    if (hoverEnabled_ && hovered_ && isEnabled()) return Look::Over;
    if (!isEnabled()) return Look::Disabled;
    return Look::Normal;
}

void CGDIBitmapBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Look look = CurrentLook();
    const QImage* image = &normal_;
    QColor text = textNormal_;
    switch (look) {
        case Look::Down:
            image = useAlternative_ && !altDown_.isNull() ? &altDown_ : &down_;
            text = textDown_;
            break;
        case Look::Over:
            image = &over_;
            text = textOver_;
            break;
        case Look::Disabled:
            image = &disabled_;
            text = QColor(0x26, 0x2A, 0x27);
            break;
        case Look::Normal:
            image = useAlternative_ && !altNormal_.isNull() ? &altNormal_ : &normal_;
            break;
    }
    if (!image->isNull()) p.drawImage(0, 0, *image);
    if (!this->text().isEmpty()) {
        p.setFont(ShellDlgFont(largeCaption_ ? 20 : 14, 300));
        p.setPen(text);
        QRect area = rect();
        if (look == Look::Down && checkMode_ && selected_) area.translate(1, 1);
        const QString shown =
            p.fontMetrics().elidedText(this->text(), Qt::ElideRight, area.width());
        p.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, shown);
    }
}

void CGDIBitmapBtn::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void CGDIBitmapBtn::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void CGDIBitmapBtn::mouseMoveEvent(QMouseEvent* e) {
    if (!hovered_ && rect().contains(e->position().toPoint())) {
        hovered_ = true;
        update();
    }
    // The parent's own hover logic (hint lines) keeps seeing the pointer.
    const QPoint inParent = mapToParent(e->position().toPoint());
    PostWindowMessage(parentWidget(), kWmMouseMove, MouseKeyFlags(e->buttons(), e->modifiers()),
                      MakeLParam(inParent.x(), inParent.y()));
    QAbstractButton::mouseMoveEvent(e);
}

void CGDIBitmapBtn::mousePressEvent(QMouseEvent* e) {
    if (window() && !window()->isActiveWindow()) window()->activateWindow();
    if (mouseReporting_ && e->button() == Qt::LeftButton && parentWidget())
        PostWindowMessage(parentWidget()->parentWidget(), kMsgButtonMouse, kWmLButtonDown,
                          WindowHandle(this));
    QAbstractButton::mousePressEvent(e);
}

void CGDIBitmapBtn::mouseReleaseEvent(QMouseEvent* e) {
    if (mouseReporting_ && e->button() == Qt::LeftButton && parentWidget())
        PostWindowMessage(parentWidget()->parentWidget(), kMsgButtonMouse, kWmLButtonUp,
                          WindowHandle(this));
    QAbstractButton::mouseReleaseEvent(e);
}

}  // namespace qx::ui
