// Horizontal slider drawn from a window picture (track) and a PNG thumb.
#pragma once

#include <QImage>
#include <QWidget>
#include <filesystem>

namespace qx::ui {

class CPngHSlider : public QWidget {
    Q_OBJECT
public:
    CPngHSlider(QWidget* parent, const QImage& thumb);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage thumb_;
};

class CPngHSliderBar : public QWidget {
    Q_OBJECT
public:
    // thumbPath: "Slider.png"; background: the window's picture under rect.
    CPngHSliderBar(const std::filesystem::path& thumbPath, const QRect& rect, QWidget* parent,
                   int id, const QImage& windowPicture);

    int Id() const { return id_; }
    void SetRange(int minimum, int maximum);
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    void Enable(bool on) { setEnabled(on); }
    // The thumb stops this many pixels short of the bar's right end.
    void SetTrackShortening(int pixels);
    CPngHSlider* Thumb() const { return thumb_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void PlaceThumb();
    void MoveTo(int x);

    int id_;
    QImage background_;
    CPngHSlider* thumb_;
    int thumbWidth_ = 0;
    int TrackRight() const { return width() - trackShortening_; }

    int min_ = 0, max_ = 10, pos_ = 0;
    int trackShortening_ = 0;
    bool dragging_ = false;
    int grabOffset_ = 0;
};

}  // namespace qx::ui
