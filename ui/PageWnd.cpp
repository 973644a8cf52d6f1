#include "ui/PageWnd.h"

#include <QKeyEvent>
#include <QPainter>

namespace qx::ui {

CPageWnd::CPageWnd(QWidget* parent, const PageEnvironment& environment)
    : CMessageWidget(parent), env_(environment) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CPageWnd::SetPictures(QImage normal, QImage over, QImage down) {
    normal_ = std::move(normal);
    over_ = std::move(over);
    down_ = std::move(down);
    resize(normal_.isNull() ? QSize(0, 0) : normal_.size());
}

void CPageWnd::PostHint(int code) const {
    if (env_.mainWindow) env_.mainWindow->PostMessage(kMsgHint, 0, code);
}

void CPageWnd::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (normal_.isNull())
        p.fillRect(e->rect(), Qt::black);
    else
        p.drawImage(e->rect(), normal_, e->rect());
}

bool IsDroppedKey(int qtKey) {
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Escape ||
           qtKey == Qt::Key_Space;
}

void CPageWnd::keyPressEvent(QKeyEvent* e) {
    if (IsDroppedKey(e->key())) {
        e->accept();
        return;
    }
    CMessageWidget::keyPressEvent(e);
}

void CPageWnd::keyReleaseEvent(QKeyEvent* e) {
    if (IsDroppedKey(e->key())) {
        e->accept();
        return;
    }
    CMessageWidget::keyReleaseEvent(e);
}

}  // namespace qx::ui
