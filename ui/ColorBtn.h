// Colour swatch button of the lighting page.
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace qx::ui {

class CColorBtn : public QAbstractButton {
    Q_OBJECT
public:
    explicit CColorBtn(QWidget* parent, int id = 0);
    void SetColor(QColor colour);
    QColor Color() const { return colour_; }
    void SetTooltip(const QString& text) { setToolTip(text); }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    int id_;
    QColor colour_{Qt::black};
    bool hovered_ = false;
};

}  // namespace qx::ui
