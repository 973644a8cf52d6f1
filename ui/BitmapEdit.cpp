#include "ui/BitmapEdit.h"

#include <QPainter>

#include "ui/GDIBitmapBtn.h"
#include "ui/SkinPicture.h"

namespace qx::ui {

CBitmapEdit::CBitmapEdit(QWidget* parent, const QRect& rect, const QImage& windowPicture)
    : QLineEdit(parent), background_(CutImage(windowPicture, rect)) {
    setGeometry(rect);
    setFrame(false);
    setFont(ShellDlgFont(14, 400));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, QColor(0x58, 0x5F, 0x67));
    setPalette(pal);
    setAttribute(Qt::WA_TranslucentBackground);
}

void CBitmapEdit::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        if (!background_.isNull()) p.drawImage(0, 0, background_);
    }
    QLineEdit::paintEvent(e);
}

}  // namespace qx::ui
