// Scroll bars drawn from the compiled-in picture 166, and the host that puts
// them around a list in place of the list's own bars.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "ui/layout/ControlMath.h"

class QAbstractScrollArea;
class QScrollBar;

namespace qx::ui {

// Scroll codes carried in the low word of wParam.
inline constexpr int kSbLineUp = 0;
inline constexpr int kSbLineDown = 1;
inline constexpr int kSbPageUp = 2;
inline constexpr int kSbPageDown = 3;
inline constexpr int kSbThumbPosition = 4;
inline constexpr int kSbThumbTrack = 5;

class CSkinScrollBar : public QWidget {
    Q_OBJECT
public:
    CSkinScrollBar(QWidget* parent, Qt::Orientation orientation);

    void SetScrollInfo(int minimum, int maximum, int page, int pos);
    int Pos() const { return pos_; }
    layout::ScrollGeometry Geometry() const;
    Qt::Orientation Orientation() const { return orientation_; }

    static inline constexpr int kFirstDelayMs = 500;  // timer 200
    static inline constexpr int kRepeatMs = 100;      // timer 100

signals:
    // Also posted to the parent as WM_VSCROLL / WM_HSCROLL.
    void Scrolled(int code, int pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    enum class Part { None, FirstArrow, SecondArrow, PageBefore, PageAfter, Thumb };
    Part PartAt(int along) const;
    int Along(const QPoint& p) const;
    void Send(int code, int pos = 0);
    void Repeat();
    static int ScrollCode(Part part);
    bool RepeatShouldStop() const;
    void SetHovered(Part part);

    Qt::Orientation orientation_;
    QImage cells_;
    int min_ = 0, max_ = 0, page_ = 0, pos_ = 0;
    Part pressed_ = Part::None;
    Part hovered_ = Part::None;
    int pointerAlong_ = 0;
    int grabOffset_ = 0;
    int trackPos_ = 0;
    QTimer delay_, repeat_;
};

// Re-parents a list into itself and shows a skinned vertical bar at its right.
class CSkinScrollWnd : public QWidget {
    Q_OBJECT
public:
    CSkinScrollWnd(QWidget* parent, QAbstractScrollArea* list);
    CSkinScrollBar* VerticalBar() const { return vertical_; }
    void Sync();

    static inline constexpr int kPollMs = 500;  // timer 100 of the host

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void OnScrolled(int code, int pos);

    QAbstractScrollArea* list_;
    CSkinScrollBar* vertical_;
    QTimer poll_;
};

}  // namespace qx::ui
