#include "ui/MenuEx.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/GDIBitmapBtn.h"
#include "ui/PrivateMessage.h"
#include "ui/SkinPicture.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace qx::ui {

namespace M = layout::popup_menu;

CWndPopup::CWndPopup(QObject* owner) : QWidget(nullptr), owner_(owner) {
    // A Qt popup closes on a click outside it, as the deactivation did.
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
}

QImage CWndPopup::Compose() const {
    QImage content(size(), QImage::Format_ARGB32);
    content.fill(kKey);
    {
        QPainter p(&content);
        const_cast<CWndPopup*>(this)->DrawContent(p);
    }
    // Magenta becomes fully transparent, everything else opaque.
    const QRgb key = kKey.rgb();
    for (int y = 0; y < content.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(content.scanLine(y));
        for (int x = 0; x < content.width(); ++x)
            line[x] = (line[x] & 0xFFFFFF) == (key & 0xFFFFFF) ? 0 : (line[x] | 0xFF000000);
    }
    QImage out(size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    if (!frame_.isNull()) {
        // Nine-slice the frame so its corners keep their shape at any size.
        const int c = M::kFrameCorner, fw = frame_.width(), fh = frame_.height();
        const int w = width(), h = height();
        const int xs[4] = {0, c, w - c, w}, ys[4] = {0, c, h - c, h};
        const int sx[4] = {0, c, fw - c, fw}, sy[4] = {0, c, fh - c, fh};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                p.drawImage(QRect(xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j]), frame_,
                            QRect(sx[i], sy[j], sx[i + 1] - sx[i], sy[j + 1] - sy[j]));
    } else {
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(0x00, 0x93, 0xD1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.drawImage(0, 0, content);
    const_cast<CWndPopup*>(this)->DrawText(p);
    return out;
}

void CWndPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, Compose());
}

void CWndPopup::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) close();
    QWidget::changeEvent(e);
}

void CWndPopup::hideEvent(QHideEvent* e) {
    if (!closedSent_) {
        closedSent_ = true;
        PostWindowMessage(owner_, kMsgApplyLanguage /* WM_USER+1 */, 0, 0);
    }
    QWidget::hideEvent(e);
}

CMenuEx::CMenuEx(QObject* owner, std::uint32_t command) : CWndPopup(owner), command_(command) {
    Relayout();
}

void CMenuEx::AddItem(std::int32_t value, const QString& text, int icon) {
    items_.push_back({false, value, icon, text});
    icons_.push_back(icon ? LoadResourcePicture(icon).image : QImage());
    Relayout();
}

void CMenuEx::AddSeparator() {
    items_.push_back({true, 0, 0, {}});
    icons_.emplace_back();
    Relayout();
}

QRect CMenuEx::ItemRect(int index) const {
    int y = M::kTop;
    for (int i = 0; i < index; ++i)
        y += items_[i].separator ? M::kSeparatorHeight : M::kEntryHeight;
    const int h = items_[index].separator ? M::kSeparatorHeight : M::kEntryHeight;
    return QRect(M::kEntryLeft, y, M::kEntryRight - M::kEntryLeft, h);
}

void CMenuEx::Relayout() {
    const int bottom =
        items_.empty() ? M::kTop : ItemRect(static_cast<int>(items_.size()) - 1).bottom() + 1;
    resize(M::kWidth, bottom + 3);
}

void CMenuEx::OpenAt(const QPoint& topLeft) {
    move(topLeft);
    show();
    activateWindow();
}

int CMenuEx::IndexAt(const QPoint& p) const {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (!items_[i].separator && ItemRect(i).contains(p)) return i;
    return -1;
}

void CMenuEx::DrawContent(QPainter& p) {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const QRect r = ItemRect(i);
        if (items_[i].separator) {
            p.setPen(QColor(0xF5, 0xF5, 0xF5));
            p.drawLine(32, r.center().y(), 110, r.center().y());
            continue;
        }
        // The card itself shows through everywhere but under the hot entry.
        if (i == hover_) p.fillRect(r, QColor(0x00, 0x93, 0xD1));
        const QImage& icon = icons_[i];
        if (!icon.isNull())
            p.drawImage(QPoint(r.left() + (M::kIconColumn - icon.width()) / 2,
                               r.top() + (r.height() - icon.height()) / 2),
                        icon);
    }
}

void CMenuEx::DrawText(QPainter& p) {
    QFont f;
    f.setFamilies({"Arial", "DejaVu Sans Condensed", "DejaVu Sans", "WenQuanYi Micro Hei"});
    f.setPixelSize(12);
    p.setFont(f);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (items_[i].separator) continue;
        const QRect r = ItemRect(i);
        p.setPen(i == hover_ ? QColor(0xF5, 0xF5, 0xF5) : QColor(0x05, 0x05, 0x05));
        p.drawText(r.adjusted(M::kIconColumn + 4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   items_[i].text);
    }
}

void CMenuEx::mouseMoveEvent(QMouseEvent* e) {
    const int index = IndexAt(e->position().toPoint());
    if (index != hover_) {
        hover_ = index;
        update();
    }
}

void CMenuEx::leaveEvent(QEvent*) {
    hover_ = -1;
    update();
}

void CMenuEx::mousePressEvent(QMouseEvent* e) {
    if (!rect().contains(e->position().toPoint())) {
        close();
        return;
    }
    e->accept();
}

void CMenuEx::mouseReleaseEvent(QMouseEvent* e) {
    const int index = IndexAt(e->position().toPoint());
    if (index < 0) return;
    PostWindowMessage(owner_, command_, 0, items_[index].value);
    close();
}

CMenuExA::CMenuExA(QObject* owner) : CMenuEx(owner, kMsgApplyLanguage) {
    static const char* kNames[12] = {"Chinese",    "English", "French",    "Korean",
                                     "German",     "Italian", "Spanish",   "Dutch",
                                     "Portuguese", "Russian", "Ukrainian", "Trad.Chinese"};
    for (int i = 0; i < 12; ++i) AddItem(i + 1, kNames[i], skin::kLanguageIconFirst + i);
    SetFramePicture(LoadResourcePicture(skin::kPopupFrame).image);
}

void CMenuExA::OpenAtButton(const QRect& button) {
    OpenAt(QPoint(button.left() - 4, button.bottom() + 1 - 287));
}

CXPMenu::CXPMenu(QWidget* parent) : QMenu(parent) {
    setStyleSheet(
        "QMenu { background: #DBD8D1; border: 1px solid #8C8C8C; font-family: Arial, 'DejaVu Sans';"
        " font-size: 14px; font-weight: 500; }"
        "QMenu::item { color: black; background: #DBD8D1; padding: 3px 16px 3px 33px; }"
        "QMenu::item:selected { color: #003C91; background: #B1B9CF; border: 1px solid #003C91; }"
        "QMenu::icon { padding-left: 4px; }");
}

QAction* CXPMenu::AddItem(int command, const QString& text, int iconResource) {
    QAction* a =
        addAction(QIcon(QPixmap::fromImage(LoadResourcePicture(iconResource).image)), text);
    a->setData(command);
    return a;
}

}  // namespace qx::ui
