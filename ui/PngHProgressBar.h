// Progress bar of two PNG pictures: the empty track, and over it the full
// track up to the current position.
#pragma once

#include <QImage>
#include <QWidget>

namespace qx::ui {

class CPngHProgressBar : public QWidget {
    Q_OBJECT
public:
    // The two pictures are cut at rect.
    CPngHProgressBar(QWidget* parent, int id, const QRect& rect, const QImage& emptyPicture,
                     const QImage& fullPicture);

    int Id() const { return id_; }
    void SetRange(int minimum, int maximum);
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    // Width of the filled part for the current position.
    int FilledWidth() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int id_;
    QImage empty_, full_;
    int min_ = 0, max_ = 10, pos_ = 0;
    bool readOnly_ = false;
};

}  // namespace qx::ui
