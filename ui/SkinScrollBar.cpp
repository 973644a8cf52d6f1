#include "ui/SkinScrollBar.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"

namespace qx::ui {

namespace {
constexpr int kCell = layout::kScrollCell;
constexpr int kCap = 3;  // thumb end caps kept unstretched
}  // namespace

CSkinScrollBar::CSkinScrollBar(QWidget* parent, Qt::Orientation orientation)
    : QWidget(parent),
      orientation_(orientation),
      cells_(LoadResourcePicture(skin::kScrollBarCells).image) {
    delay_.setSingleShot(true);
    delay_.setTimerType(Qt::PreciseTimer);
    repeat_.setTimerType(Qt::PreciseTimer);
    delay_.setInterval(kFirstDelayMs);
    repeat_.setInterval(kRepeatMs);
    connect(&delay_, &QTimer::timeout, this, [this] {
        Repeat();
        if (pressed_ != Part::None) repeat_.start();
    });
    connect(&repeat_, &QTimer::timeout, this, &CSkinScrollBar::Repeat);
    setMouseTracking(true);  // the hover row follows the pointer without a button held
}

void CSkinScrollBar::SetScrollInfo(int minimum, int maximum, int page, int pos) {
    min_ = minimum;
    max_ = maximum;
    page_ = page;
    pos_ = pos;
    update();
}

layout::ScrollGeometry CSkinScrollBar::Geometry() const {
    const bool v = orientation_ == Qt::Vertical;
    return layout::ComputeScrollGeometry(v ? height() : width(), v ? width() : height(), min_, max_,
                                         page_, pos_);
}

int CSkinScrollBar::Along(const QPoint& p) const {
    return orientation_ == Qt::Vertical ? p.y() : p.x();
}

CSkinScrollBar::Part CSkinScrollBar::PartAt(int along) const {
    const auto g = Geometry();
    const int length = orientation_ == Qt::Vertical ? height() : width();
    if (along < g.arrow) return Part::FirstArrow;
    if (along >= length - g.arrow) return Part::SecondArrow;
    if (!g.hasThumb) return Part::None;
    if (along < g.thumbStart) return Part::PageBefore;
    if (along >= g.thumbStart + g.thumbLength) return Part::PageAfter;
    return Part::Thumb;
}

void CSkinScrollBar::Send(int code, int pos) {
    const WParam w = static_cast<WParam>((static_cast<std::uint32_t>(pos) << 16) | (code & 0xFFFF));
    PostWindowMessage(parentWidget(), orientation_ == Qt::Vertical ? kWmVScroll : kWmHScroll, w,
                      WindowHandle(this));
    emit Scrolled(code, pos);
}

bool CSkinScrollBar::RepeatShouldStop() const {
    const int last = max_ - page_ + 1;
    switch (pressed_) {
        case Part::FirstArrow:
            return pos_ <= min_;
        case Part::SecondArrow:
            return pos_ >= last;
        case Part::PageBefore:
        case Part::PageAfter: {
            const Part now = PartAt(pointerAlong_);
            return now != pressed_;  // the thumb has reached the pointer
        }
        default:
            return true;
    }
}

// The scroll code an arrow or page area sends (SB_LINEUP is 0); -1 otherwise.
int CSkinScrollBar::ScrollCode(Part part) {
    // clang-format off
    switch (part) {
        case Part::FirstArrow: return kSbLineUp;
        case Part::SecondArrow: return kSbLineDown;
        case Part::PageBefore: return kSbPageUp;
        case Part::PageAfter: return kSbPageDown;
        default: return -1;
    }
    // clang-format on
}

void CSkinScrollBar::Repeat() {
    if (pressed_ == Part::None || RepeatShouldStop()) {
        repeat_.stop();
        return;
    }
    if (const int code = ScrollCode(pressed_); code >= 0) Send(code);
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pointerAlong_ = Along(e->position().toPoint());
    pressed_ = PartAt(pointerAlong_);
    if (pressed_ == Part::None) return;
    if (pressed_ == Part::Thumb) {
        grabOffset_ = pointerAlong_ - Geometry().thumbStart;
        trackPos_ = pos_;
        update();
        return;
    }
    Send(ScrollCode(pressed_));
    delay_.start();
    update();
}

void CSkinScrollBar::SetHovered(Part part) {
    // Only the arrows and the thumb have a hover look; the track's cells are
    // alike in every row.
    if (part == Part::PageBefore || part == Part::PageAfter) part = Part::None;
    if (part == hovered_) return;
    hovered_ = part;
    update();
}

void CSkinScrollBar::leaveEvent(QEvent*) {
    SetHovered(Part::None);
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* e) {
    pointerAlong_ = Along(e->position().toPoint());
    SetHovered(rect().contains(e->position().toPoint()) ? PartAt(pointerAlong_) : Part::None);
    if (pressed_ != Part::Thumb) return;
    const int pos =
        layout::ScrollPositionForThumb(Geometry(), min_, max_, page_, pointerAlong_ - grabOffset_);
    if (pos != trackPos_) {
        trackPos_ = pos;
        Send(kSbThumbTrack, pos);
    }
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent*) {
    if (pressed_ == Part::Thumb) Send(kSbThumbPosition, trackPos_);
    pressed_ = Part::None;
    delay_.stop();
    repeat_.stop();
    update();
}

void CSkinScrollBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool v = orientation_ == Qt::Vertical;
    const int col0 = v ? 0 : 4;
    auto cell = [&](int col, int row) {
        return QRect((col0 + col) * kCell, row * kCell, kCell, kCell);
    };
    const auto g = Geometry();
    const int length = v ? height() : width();
    auto span = [&](int start, int len) {
        return v ? QRect(0, start, width(), len) : QRect(start, 0, len, height());
    };
    // Rows of the picture: 0 normal, 1 hover, 2 pressed.
    auto rowOf = [&](Part part) {
        if (pressed_ != Part::None) return pressed_ == part ? 2 : 0;
        return hovered_ == part ? 1 : 0;
    };
    if (cells_.isNull()) return;
    p.drawImage(span(g.arrow, g.track), cells_, cell(3, 0));
    p.drawImage(span(0, g.arrow), cells_, cell(0, rowOf(Part::FirstArrow)));
    p.drawImage(span(length - g.arrow, g.arrow), cells_, cell(1, rowOf(Part::SecondArrow)));
    if (!g.hasThumb) return;
    const QRect src = cell(2, rowOf(Part::Thumb));
    // Thumb: caps at both ends as drawn, the middle stretched.
    const int cap = std::min(kCap, g.thumbLength / 2);
    if (v) {
        p.drawImage(QRect(0, g.thumbStart, width(), cap), cells_,
                    QRect(src.left(), src.top(), kCell, cap));
        p.drawImage(QRect(0, g.thumbStart + cap, width(), g.thumbLength - 2 * cap), cells_,
                    QRect(src.left(), src.top() + cap, kCell, kCell - 2 * cap));
        p.drawImage(QRect(0, g.thumbStart + g.thumbLength - cap, width(), cap), cells_,
                    QRect(src.left(), src.bottom() + 1 - cap, kCell, cap));
    } else {
        p.drawImage(QRect(g.thumbStart, 0, cap, height()), cells_,
                    QRect(src.left(), src.top(), cap, kCell));
        p.drawImage(QRect(g.thumbStart + cap, 0, g.thumbLength - 2 * cap, height()), cells_,
                    QRect(src.left() + cap, src.top(), kCell - 2 * cap, kCell));
        p.drawImage(QRect(g.thumbStart + g.thumbLength - cap, 0, cap, height()), cells_,
                    QRect(src.right() + 1 - cap, src.top(), cap, kCell));
    }
}

CSkinScrollWnd::CSkinScrollWnd(QWidget* parent, QAbstractScrollArea* list)
    : QWidget(parent), list_(list) {
    setGeometry(list->geometry());
    list->setParent(this);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->show();
    vertical_ = new CSkinScrollBar(this, Qt::Vertical);
    connect(vertical_, &CSkinScrollBar::Scrolled, this, &CSkinScrollWnd::OnScrolled);
    QScrollBar* own = list->verticalScrollBar();
    connect(own, &QScrollBar::rangeChanged, this, &CSkinScrollWnd::Sync);
    connect(own, &QScrollBar::valueChanged, this, &CSkinScrollWnd::Sync);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &CSkinScrollWnd::Sync);
    poll_.start();
    resizeEvent(nullptr);
    Sync();
}

void CSkinScrollWnd::resizeEvent(QResizeEvent*) {
    const bool needed = list_->verticalScrollBar()->maximum() > 0;
    const int barWidth = needed ? kCell : 0;
    list_->setGeometry(0, 0, width() - barWidth, height());
    vertical_->setGeometry(width() - kCell, 0, kCell, height());
    vertical_->setVisible(needed);
}

void CSkinScrollWnd::Sync() {
    const QScrollBar* own = list_->verticalScrollBar();
    const bool needed = own->maximum() > 0;
    if (needed != vertical_->isVisible()) resizeEvent(nullptr);
    // Qt's maximum is the last first-visible position; the bar counts items.
    vertical_->SetScrollInfo(own->minimum(), own->maximum() + own->pageStep() - 1, own->pageStep(),
                             own->value());
}

void CSkinScrollWnd::OnScrolled(int code, int pos) {
    QScrollBar* own = list_->verticalScrollBar();
    switch (code) {
        case kSbLineUp:
            own->setValue(own->value() - own->singleStep());
            break;
        case kSbLineDown:
            own->setValue(own->value() + own->singleStep());
            break;
        case kSbPageUp:
            own->setValue(own->value() - own->pageStep());
            break;
        case kSbPageDown:
            own->setValue(own->value() + own->pageStep());
            break;
        case kSbThumbTrack:
        case kSbThumbPosition:
            own->setValue(pos);
            break;
        default:
            break;
    }
    Sync();
}

}  // namespace qx::ui
