#include "ui/IrrButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/GDIBitmapBtn.h"
#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"

namespace qx::ui {

CIrrButton::CIrrButton(QWidget* parent, const layout::Quad& quad, int id)
    : QAbstractButton(parent), id_(id) {
    QPolygon poly;
    for (const auto& pt : quad) poly << QPoint(pt.x, pt.y);
    const QRect box = poly.boundingRect();
    setGeometry(box);
    shape_ = poly.translated(-box.topLeft());
    setMask(QRegion(shape_));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void CIrrButton::SetImages(const QImage& normal, const QImage& down, const QImage& over,
                           const QImage& disabled) {
    const QRect box = geometry();
    normal_ = CutImage(normal, box);
    down_ = CutImage(down, box);
    over_ = CutImage(over, box);
    disabled_ = CutImage(disabled, box);
    update();
}

void CIrrButton::SetResourceImages(int normal, int down, int over, int disabled) {
    SetImages(LoadResourcePicture(normal).image, LoadResourcePicture(down).image,
              LoadResourcePicture(over).image, LoadResourcePicture(disabled).image);
}

void CIrrButton::SetSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void CIrrButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPainterPath clip;
    clip.addPolygon(QPolygonF(shape_));
    p.setClipPath(clip);
    const QImage* image = &normal_;
    QColor text(0xBD, 0xBD, 0xC8);
    if ((checkMode_ && selected_) || isDown()) {
        image = &down_;
        text = QColor(0x26, 0x1D, 0x05);
    } else if (hovered_ && isEnabled()) {
        image = &over_;
        text = Qt::white;
    } else if (!isEnabled()) {
        image = &disabled_;
    }
    if (!image->isNull()) p.drawImage(0, 0, *image);
    if (!this->text().isEmpty()) {
        p.setFont(ShellDlgFont(14, 300));
        p.setPen(text);
        p.drawText(shape_.boundingRect(), Qt::AlignCenter, this->text());
    }
}

void CIrrButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void CIrrButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

bool CIrrButton::hitButton(const QPoint& pos) const {
    return shape_.containsPoint(pos, Qt::OddEvenFill);
}

void CIrrButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && hitButton(e->position().toPoint())) {
        // The command goes out on the press itself, not on the release.
        PostWindowMessage(parentWidget(), kWmCommand, 0, WindowHandle(this));
        setDown(true);
        emit pressed();
        emit clicked(false);
    }
    e->accept();
}

void CIrrButton::mouseReleaseEvent(QMouseEvent* e) {
    setDown(false);
    e->accept();
}

void CIrrButton::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
}

}  // namespace qx::ui
