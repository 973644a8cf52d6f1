#include "ui/PngHSlider.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"
#include "ui/layout/ControlMath.h"

namespace qx::ui {

CPngHSlider::CPngHSlider(QWidget* parent, const QImage& thumb) : QWidget(parent), thumb_(thumb) {
    resize(thumb_.size());
    // The bar handles the mouse; the thumb only shows where the position is.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CPngHSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!thumb_.isNull()) p.drawImage(0, 0, thumb_);
}

CPngHSliderBar::CPngHSliderBar(const std::filesystem::path& thumbPath, const QRect& rect,
                               QWidget* parent, int id, const QImage& windowPicture)
    : QWidget(parent), id_(id), background_(CutImage(windowPicture, rect)) {
    setGeometry(rect);
    const SkinPicture thumb = LoadSkinPicture(thumbPath);
    thumb_ = new CPngHSlider(this, thumb.image);
    thumbWidth_ = thumb.width;
    PlaceThumb();
}

void CPngHSliderBar::SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum;
    SetPos(pos_);
}

void CPngHSliderBar::SetPos(int pos) {
    pos_ = std::clamp(pos, min_, std::max(min_, max_));
    PlaceThumb();
    update();
}

void CPngHSliderBar::SetTrackShortening(int pixels) {
    trackShortening_ = pixels;
    PlaceThumb();
    update();
}

void CPngHSliderBar::PlaceThumb() {
    const int x = layout::SliderThumbLeft(min_, max_, pos_, 0, TrackRight(), thumbWidth_);
    thumb_->move(x, (height() - thumb_->height()) / 2);
}

void CPngHSliderBar::MoveTo(int x) {
    const int pos = layout::SliderPositionAt(min_, max_, x, 0, TrackRight(), thumbWidth_);
    pos_ = pos;
    PlaceThumb();
    update();
    PostWindowMessage(parentWidget(), kMsgSliderPos, static_cast<WParam>(pos_), id_);
}

void CPngHSliderBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!background_.isNull()) p.drawImage(0, 0, background_);
}

void CPngHSliderBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int x = e->position().toPoint().x();
    if (thumb_->geometry().contains(e->position().toPoint())) {
        dragging_ = true;
        grabOffset_ = x - thumb_->x();
        return;
    }
    MoveTo(x);
}

void CPngHSliderBar::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) MoveTo(e->position().toPoint().x() - grabOffset_);
}

void CPngHSliderBar::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

}  // namespace qx::ui
