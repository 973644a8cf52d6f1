// Picture button: its state images are cut from the window's full pictures at
// the button's rectangle.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <cstdint>

namespace qx::ui {

class CGDIBitmapBtn : public QAbstractButton {
    Q_OBJECT
public:
    explicit CGDIBitmapBtn(QWidget* parent, int id = 0);

    int Id() const { return id_; }
    // Cuts the images at (left, top, right, bottom) of the pictures and places
    // the button there. Missing pictures leave that state without an image.
    void SetImages(int left, int top, int right, int bottom, const QImage* normal,
                   const QImage* over, const QImage* down, const QImage* disabled,
                   const QImage* altNormal = nullptr, const QImage* altDown = nullptr);
    // Switches to the alternative normal and down images (and back).
    void UseAlternativeImages(bool use);

    void SetCheckMode(bool on) {
        checkMode_ = on;
        update();
    }
    void SetToggleOnClick(bool on) { toggleOnClick_ = on; }
    void SetSelected(bool selected);
    bool GetSelected() const { return selected_; }
    void SetHoverEnabled(bool on) {
        hoverEnabled_ = on;
        update();
    }
    void SetTextColors(QColor normal, QColor over, QColor down);
    void SetLargeCaption(bool large);
    void SetTooltip(const QString& text) { setToolTip(text); }
    void SetValue(std::int32_t value) { value_ = value; }
    std::int32_t GetValue() const { return value_; }
    // Posts WM_USER+781 (513 down / 514 up, this button) to the parent's parent.
    void SetMouseReporting(bool on) { mouseReporting_ = on; }

    bool IsHovered() const { return hovered_; }
    enum class Look { Normal, Over, Down, Disabled };
    Look CurrentLook() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int id_;
    QImage normal_, over_, down_, disabled_, altNormal_, altDown_;
    bool useAlternative_ = false;
    bool checkMode_ = false;
    bool toggleOnClick_ = false;
    bool selected_ = false;
    bool hoverEnabled_ = true;
    bool hovered_ = false;
    bool largeCaption_ = false;
    bool mouseReporting_ = false;
    std::int32_t value_ = 0;
    QColor textNormal_{0xBD, 0xBD, 0xC8}, textOver_{Qt::white}, textDown_{0x26, 0x1D, 0x05};
};

// The font of the skinned controls ("MS Shell Dlg" resolves to DejaVu Sans).
QFont ShellDlgFont(int pixelHeight, int weight);

}  // namespace qx::ui
