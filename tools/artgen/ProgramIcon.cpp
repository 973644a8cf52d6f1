// The program's icon: one drawing on a 64-unit square, painted at any size
// for the window, the tray and the desktop's icon theme, and written as SVG
// for the theme's scalable size.
#include <QByteArray>
#include <QLinearGradient>

#include "tools/artgen/Pictures.h"

namespace artgen {
namespace {

constexpr qreal kUnits = 64;
// The plate: a rounded square with a diagonal shade and a cyan rim.
const QRectF kPlate(2, 2, 60, 60);
constexpr qreal kPlateRadius = 12;
constexpr qreal kRimWidth = 2;
const QColor kShadeFrom(0x1C, 0x22, 0x2B);
const QColor kShadeTo(0x07, 0x09, 0x0C);
// The mouse: a gold outline with the wheel's split from the top.
const QRectF kMouse(20, 12, 24, 40);
constexpr qreal kMouseWidth = 3;
constexpr qreal kSplitLength = 0.38;  // of the mouse's height

QString Hex(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString Number(qreal v) {
    return QString::number(v, 'g', 6);
}

}  // namespace

QImage AppIcon(int size) {
    QImage img = NewTransparent(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    QLinearGradient g(0, 0, kUnits, kUnits);
    g.setColorAt(0, kShadeFrom);
    g.setColorAt(1, kShadeTo);
    p.setBrush(g);
    p.setPen(QPen(colour::kCyan, kRimWidth));
    p.drawRoundedRect(kPlate, kPlateRadius, kPlateRadius);
    const qreal mouseRadius = kMouse.width() / 2;
    p.setPen(QPen(colour::kGold, kMouseWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(kMouse, mouseRadius, mouseRadius);
    p.drawLine(QPointF(kMouse.center().x(), kMouse.top()),
               QPointF(kMouse.center().x(), kMouse.top() + kMouse.height() * kSplitLength));
    return img;
}

QByteArray AppIconSvg() {
    const qreal mouseRadius = kMouse.width() / 2;
    QString svg;
    svg += QString(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
               "viewBox=\"0 0 %1 %1\">\n")
               .arg(Number(kUnits));
    svg += QString(
               "  <defs>\n    <linearGradient id=\"shade\" gradientUnits=\"userSpaceOnUse\" "
               "x1=\"0\" y1=\"0\" x2=\"%1\" y2=\"%1\">\n"
               "      <stop offset=\"0\" stop-color=\"%2\"/>\n"
               "      <stop offset=\"1\" stop-color=\"%3\"/>\n"
               "    </linearGradient>\n  </defs>\n")
               .arg(Number(kUnits), Hex(kShadeFrom), Hex(kShadeTo));
    svg += QString(
               "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" ry=\"%5\" "
               "fill=\"url(#shade)\" stroke=\"%6\" stroke-width=\"%7\"/>\n")
               .arg(Number(kPlate.x()), Number(kPlate.y()), Number(kPlate.width()),
                    Number(kPlate.height()), Number(kPlateRadius), Hex(colour::kCyan),
                    Number(kRimWidth));
    // Qt's pen ends lines square; SVG's default would cut them at the ends.
    svg += QString(
               "  <g fill=\"none\" stroke=\"%1\" stroke-width=\"%2\" "
               "stroke-linecap=\"square\">\n")
               .arg(Hex(colour::kGold), Number(kMouseWidth));
    svg += QString("    <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" ry=\"%5\"/>\n")
               .arg(Number(kMouse.x()), Number(kMouse.y()), Number(kMouse.width()),
                    Number(kMouse.height()), Number(mouseRadius));
    svg += QString("    <line x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/>\n")
               .arg(Number(kMouse.center().x()), Number(kMouse.top()),
                    Number(kMouse.top() + kMouse.height() * kSplitLength));
    svg += "  </g>\n</svg>\n";
    return svg.toUtf8();
}

}  // namespace artgen
