// The drawing vocabulary of the skin: one dark look with grey-blue lettering,
// cyan for hover and gold for pressed or selected controls.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRect>
#include <QString>

#include "ui/layout/SkinLayout.h"

namespace artgen {

enum State { kNormal = 0, kOver = 1, kDown = 2 };

namespace colour {
inline const QColor kBackground{0x0B, 0x0D, 0x11};
inline const QColor kPanel{0x12, 0x16, 0x1C};
inline const QColor kPanelEdge{0x24, 0x2D, 0x38};
inline const QColor kInset{0x07, 0x09, 0x0C};
inline const QColor kText{0x8C, 0x9A, 0xAD};
inline const QColor kHeading{0xC1, 0xD2, 0xEE};
inline const QColor kCyan{0x19, 0xC3, 0xEE};
inline const QColor kCyanDeep{0x00, 0x6E, 0x9A};
inline const QColor kGold{0xF0, 0xB8, 0x3C};
inline const QColor kGoldDeep{0xB9, 0x7A, 0x12};
inline const QColor kDarkText{0x26, 0x1D, 0x05};
}  // namespace colour

QRect R(const qx::layout::Rect& r);
QPolygonF Poly(const qx::layout::Quad& q);

// Fonts: DejaVu Sans for Latin, WenQuanYi Micro Hei for Chinese.
QFont Font(int pixelSize, int weight = QFont::Normal, bool italic = false);

QImage NewPicture(int width, int height);
QImage NewTransparent(int width, int height);

// Window background: near-black with a faint carbon weave and vignette.
void Background(QPainter& p, const QRect& area);
// A raised panel with a thin edge and a title strip when a title is given.
void Panel(QPainter& p, const QRect& area, const QString& title = {});
void Inset(QPainter& p, const QRect& area);
// Heading lettering with a cyan marker in front and a fading rule below.
void Heading(QPainter& p, const QRect& area, const QString& text, int pixelSize = 13);
void Label(QPainter& p, const QRect& area, const QString& text, int pixelSize = 11,
           const QColor& colour = colour::kText, int flags = Qt::AlignLeft | Qt::AlignVCenter);

// Push-button face in one of the three states; text optional.
void Plate(QPainter& p, const QRect& area, State s, const QString& text = {}, int pixelSize = 11,
           int radius = 3);
void PlatePolygon(QPainter& p, const QPolygonF& shape, State s, const QString& text, int pixelSize);
// Small rounded capsule for value choices (DPI values, report rates).
void Pill(QPainter& p, const QRect& area, State s, const QString& text, int pixelSize = 10);
// Choice with a square lamp in front of its label.
void Option(QPainter& p, const QRect& area, State s, const QString& text, int pixelSize = 11,
            bool round = false);
void CheckBox(QPainter& p, const QRect& area, State s);
void SliderTrack(QPainter& p, const QRect& area, const QColor& from = colour::kCyanDeep,
                 const QColor& to = colour::kCyan);
// Window control glyphs.
void CloseGlyph(QPainter& p, const QRect& area, State s);
void MinimiseGlyph(QPainter& p, const QRect& area, State s);
void ArrowGlyph(QPainter& p, const QRect& area, bool up, const QColor& c);
void TitleBar(QPainter& p, const QRect& area);

QColor StateText(State s);

}  // namespace artgen
