// Single-line edit whose background is the window picture under it, so it
// looks transparent on the skin.
#pragma once

#include <QImage>
#include <QLineEdit>

namespace qx::ui {

class CBitmapEdit : public QLineEdit {
    Q_OBJECT
public:
    CBitmapEdit(QWidget* parent, const QRect& rect, const QImage& windowPicture);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage background_;
};

}  // namespace qx::ui
