#include "ui/PngHProgressBar.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"
#include "ui/layout/ControlMath.h"

namespace qx::ui {

CPngHProgressBar::CPngHProgressBar(QWidget* parent, int id, const QRect& rect,
                                   const QImage& emptyPicture, const QImage& fullPicture)
    : QWidget(parent),
      id_(id),
      empty_(CutImage(emptyPicture, rect)),
      full_(CutImage(fullPicture, rect)) {
    setGeometry(rect);
}

void CPngHProgressBar::SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum;
    SetPos(pos_);
}

void CPngHProgressBar::SetPos(int pos) {
    pos_ = std::clamp(pos, min_, std::max(min_, max_));
    update();
}

int CPngHProgressBar::FilledWidth() const {
    if (max_ <= min_) return 0;
    return static_cast<int>(static_cast<long long>(pos_ - min_) * width() / (max_ - min_));
}

void CPngHProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!empty_.isNull()) p.drawImage(0, 0, empty_);
    const int w = FilledWidth();
    if (!full_.isNull() && w > 0) p.drawImage(QPoint(0, 0), full_, QRect(0, 0, w, height()));
}

void CPngHProgressBar::mousePressEvent(QMouseEvent* e) {
    if (readOnly_ || e->button() != Qt::LeftButton) return;
    SetPos(layout::SliderPositionAt(min_, max_, e->position().toPoint().x(), 0, width(), 0));
}

void CPngHProgressBar::mouseReleaseEvent(QMouseEvent* e) {
    if (readOnly_ || e->button() != Qt::LeftButton) return;
    PostWindowMessage(parentWidget(), kMsgProgressBarPos, static_cast<WParam>(pos_), id_);
}

}  // namespace qx::ui
