// Region-shaped button (page tabs, profile buttons, Apply, assignment tabs).
// The polygon becomes the widget's mask, so a click on a transparent corner
// of the bounding box reaches the window below.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPolygon>

#include "ui/layout/SkinLayout.h"

namespace qx::ui {

class CIrrButton : public QAbstractButton {
    Q_OBJECT
public:
    // The quad is in the parent's client coordinates.
    CIrrButton(QWidget* parent, const layout::Quad& quad, int id = 0);

    int Id() const { return id_; }
    // Full-window pictures; the button draws the part under its box.
    void SetImages(const QImage& normal, const QImage& down, const QImage& over,
                   const QImage& disabled);
    // The four compiled-in pictures by resource number.
    void SetResourceImages(int normal, int down, int over, int disabled);
    void SetCheckMode(bool on) {
        checkMode_ = on;
        update();
    }
    void SetSelected(bool selected);
    bool GetSelected() const { return selected_; }
    const QPolygon& Shape() const { return shape_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    int id_;
    QPolygon shape_;  // in own coordinates
    QImage normal_, down_, over_, disabled_;
    bool checkMode_ = false;
    bool selected_ = false;
    bool hovered_ = false;
};

}  // namespace qx::ui
